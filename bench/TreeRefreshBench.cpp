// The sound tree of the real main window on a large generated library on the simulated card
// under Wine: how long the window takes to open, to refresh with a few branches open, to open
// a folder of SoundFonts and one SoundFont, and to close; beside it, in the same run, the full
// build of the same tree that the window made before its branches were listed when opened:
//
//     bench_tree_refresh [passes] [files per folder] [folders per group] [full build: 1 or 0]
//
// The library: a listed folder of 10 groups of (by default) 1 folder of 100 SoundFont files of
// 100 presets each, 1,000 files; device 0 of the card with all 127 banks loaded from its files.
// It lives in the temporary folder for the run only.
//
// Each pass opens the window (start-up: from constructing it to its OnInitDialog returning),
// opens the first device, its first bank, and one folder of the library and its first file,
// each as a click on its button does, on the window's thread (opened: the branch listed and laid
// out; painted: and the tree painted), paints the tree once more with nothing changed (what any
// paint of it costs), presses Refresh,
// and closes the window (from asking it to close to its thread's end). The full build then
// lists every branch of a freshly opened window (what the start-up did before), rebuilds it so
// (what every refresh did), and closes it. The window runs on a thread of its own, as in the
// program. Figures are the medians of the passes.
#include "app/BrowserDlg.h"
#include "base/Diagnostics.h"
#include "base/resource.h"
#include "bench/BenchLibrary.h"
#include "settings/Profile.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/TreeItemText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <commctrl.h>
#include <ole2.h>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintRow(const char* name, const std::vector<double>& passes)
{
    if (passes.empty())
        return;
    std::printf("%-40s %8.3f   ", name, Median(passes));
    for (double pass : passes)
        std::printf(" %.3f", pass);
    std::printf("\n");
}

std::size_t g_traceLines = 0;

void CountTrace(const char*)
{
    ++g_traceLines;
}

std::string IniPath()
{
    return CProfile::ProgramDirectory() + "tnw.ini";
}

// Commands of the benchmark's own, beside the window's.
constexpr WORD kListEverything = 0x7F01; // every branch listed, none opened: the full build
constexpr WORD kFullRefresh = 0x7F02;    // the tree emptied and built whole again
constexpr WORD kExpand = 0x7F03;         // the item in expandItem opened
constexpr WORD kRepaint = 0x7F04;        // the whole tree painted again

// The main window, timing its initialisation and each command it is sent.
class CTimedBrowserDlg : public CBrowserDlg {
public:
    explicit CTimedBrowserDlg(HANDLE initialised)
        : CBrowserDlg(nullptr)
        , m_initialised(initialised)
    {
    }
    Clock::time_point initialisedAt;
    double commandSeconds = 0;
    HTREEITEM expandItem = nullptr;
    double expandSeconds = 0; // of the last kExpand, without its painting

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CBrowserDlg::OnInitDialog();
        initialisedAt = Clock::now();
        SetEvent(m_initialised);
        return result;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override
    {
        const Clock::time_point start = Clock::now();
        bool handled = true;
        if (id == kExpand) {
            SendMessageA(SoundTree().Window(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(expandItem));
            expandSeconds = SecondsSince(start);
        } else if (id == kRepaint) {
            InvalidateRect(SoundTree().Window(), nullptr, TRUE);
        } else if (id == kListEverything) {
            ListEverything();
        } else if (id == kFullRefresh) {
            SendMessageA(SoundTree().Window(), WM_SETREDRAW, FALSE, 0);
            SoundTree().DeleteAll();
            TreeCommands().RefreshFromCard();
            ListEverything();
        } else {
            handled = CBrowserDlg::OnCommand(id, code, control);
        }
        UpdateWindow(SoundTree().Window());
        commandSeconds = SecondsSince(start);
        return handled;
    }

private:
    // Through the records, which list the items as inserted, new ones at the end: asking the
    // tree for each item would cost a search of all its items each under Wine.
    void ListEverything()
    {
        HWND tree = SoundTree().Window();
        SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
        for (const CTreeItemData* record = SoundTree().Records().First(); record; record = record->Next()) {
            if (!record->childrenListed)
                TreeCommands().ListChildren(record->handle);
        }
        SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(tree, nullptr, TRUE);
    }

    HANDLE m_initialised;
};

// Runs the main window as the program does, on a thread of its own with COM, and nothing else
// on its messages: a test's message hook would cost a server call per message under Wine,
// tree insertions included.
class CWindowThread {
public:
    CWindowThread()
        : m_initialised(CreateEventA(nullptr, TRUE, FALSE, nullptr))
        , m_thread([this] { Run(); })
    {
        WaitForSingleObject(m_initialised, INFINITE);
    }
    ~CWindowThread()
    {
        if (m_thread.joinable())
            Close();
        CloseHandle(m_initialised);
    }
    CWindowThread(const CWindowThread&) = delete;
    CWindowThread& operator=(const CWindowThread&) = delete;

    HWND Window() const { return m_dialog ? m_dialog->GetSafeHwnd() : nullptr; }
    HWND Tree() const { return GetDlgItem(Window(), IDC_SOUND_TREE); }
    // From constructing the window to its OnInitDialog returning.
    double StartSeconds() const
    {
        return std::chrono::duration<double>(m_dialog->initialisedAt - m_constructed).count();
    }
    // The time the window takes to carry out the command, on its own thread.
    double Command(WORD id)
    {
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        return m_dialog->commandSeconds;
    }
    struct Opening {
        double opened;
        double painted;
    };
    // Opens `item` as a click on its button does, and paints the tree, on the window's thread:
    // from another thread the painting would not be waited for.
    Opening Expand(HTREEITEM item)
    {
        m_dialog->expandItem = item;
        const double painted = Command(kExpand);
        return {m_dialog->expandSeconds, painted};
    }
    // Seconds the window takes to close: the tree, its records and the settings go.
    double Close()
    {
        const Clock::time_point start = Clock::now();
        PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);
        m_thread.join();
        return SecondsSince(start);
    }

private:
    void Run()
    {
        HRESULT com = OleInitialize(nullptr);
        {
            m_constructed = Clock::now();
            CTimedBrowserDlg dialog(m_initialised);
            m_dialog = &dialog;
            const INT_PTR result = dialog.DoModal();
            m_dialog = nullptr;
            if (result == -1)
                SetEvent(m_initialised);
        }
        if (SUCCEEDED(com))
            OleUninitialize();
    }

    HANDLE m_initialised;
    Clock::time_point m_constructed;
    CTimedBrowserDlg* m_dialog = nullptr;
    std::thread m_thread;
};

HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::string& text)
{
    HTREEITEM child = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    while (child && TreeItemText(tree, child) != text)
        child = TreeView_GetNextSibling(tree, child);
    return child;
}

bool Fail(const std::string& what)
{
    std::fprintf(stderr, "bench_tree_refresh: %s\n", what.c_str());
    return false;
}

struct Figures {
    std::vector<double> start, refresh, expandFolder, expandFile, close;
    std::vector<double> paintFolder, paintFile, repaint;
    std::vector<double> fullStart, fullRefresh, fullClose;
    std::size_t items = 0;
    std::size_t fullItems = 0;
    std::size_t folderFiles = 0;
    std::size_t filePresets = 0;
};

// One pass of the window as shipped; `group` names the folder of the library to open.
bool MeasureLazy(const CBenchLibrary& library, std::size_t group, Figures& figures)
{
    CWindowThread window;
    if (!window.Window())
        return Fail("the main window did not open");
    figures.start.push_back(window.StartSeconds());
    HWND tree = window.Tree();
    HTREEITEM device = ChildNamed(tree, ChildNamed(tree, nullptr, "Loaded SoundFonts"), "Simulated Synth 1");
    if (!device)
        return Fail("no device in the tree");
    window.Expand(device);
    window.Expand(TreeView_GetChild(tree, device));
    HTREEITEM diskRoot = ChildNamed(tree, nullptr, "Sound Files on disk");
    window.Expand(diskRoot);
    HTREEITEM listed = ChildNamed(tree, diskRoot, library.Root());
    window.Expand(listed);
    HTREEITEM groupItem = ChildNamed(tree, listed, "Group " + std::to_string(group));
    window.Expand(groupItem);
    HTREEITEM folder = ChildNamed(tree, groupItem, "Set 0");
    if (!folder)
        return Fail("no folder Group " + std::to_string(group) + "\\Set 0 in the tree");
    const CWindowThread::Opening folderOpening = window.Expand(folder);
    figures.expandFolder.push_back(folderOpening.opened);
    figures.paintFolder.push_back(folderOpening.painted);
    HTREEITEM file = TreeView_GetChild(tree, folder);
    const CWindowThread::Opening fileOpening = window.Expand(file);
    figures.expandFile.push_back(fileOpening.opened);
    figures.paintFile.push_back(fileOpening.painted);
    figures.repaint.push_back(window.Command(kRepaint));
    figures.folderFiles = 0;
    for (HTREEITEM item = file; item; item = TreeView_GetNextSibling(tree, item))
        ++figures.folderFiles;
    figures.filePresets = 0;
    for (HTREEITEM item = TreeView_GetChild(tree, file); item; item = TreeView_GetNextSibling(tree, item))
        ++figures.filePresets;
    figures.refresh.push_back(window.Command(IDC_REFRESH));
    figures.items = TreeView_GetCount(tree);
    if (!(TreeView_GetItemState(tree, ChildNamed(tree, TreeView_GetChild(tree, ChildNamed(tree, nullptr, "Sound Files on disk")),
                                                  "Group " + std::to_string(group)),
                                TVIS_EXPANDED) &
          TVIS_EXPANDED))
        return Fail("the refresh did not open the branches again");
    figures.close.push_back(window.Close());
    return true;
}

// One pass of the full build: every branch listed at start and at each refresh.
bool MeasureFull(Figures& figures)
{
    CWindowThread window;
    if (!window.Window())
        return Fail("the main window did not open");
    figures.fullStart.push_back(window.StartSeconds() + window.Command(kListEverything));
    figures.fullItems = TreeView_GetCount(window.Tree());
    figures.fullRefresh.push_back(window.Command(kFullRefresh));
    figures.fullClose.push_back(window.Close());
    return true;
}

bool Measure(const CBenchLibrary& library, std::size_t groups, int passes, bool full, Figures& figures)
{
    // The first opening warms the file system's and the shell's caches and is not counted.
    {
        CWindowThread warm;
        if (!warm.Window())
            return Fail("the main window did not open");
    }
    for (int pass = 0; pass < passes; ++pass) {
        if (!MeasureLazy(library, static_cast<std::size_t>(pass) % groups, figures))
            return false;
    }
    for (int pass = 0; full && pass < passes; ++pass) {
        if (!MeasureFull(figures))
            return false;
    }
    return true;
}

void Print(const CBenchLibrary& library, int passes, const Figures& figures)
{
    std::printf("Sound tree of %zu SoundFont files in %zu folders and %d loaded banks; %d passes, warm cache\n",
                library.Files().size(), library.FolderCount(), CBenchLibrary::kLoadedBanks, passes);
    std::printf("%-40s %8s    %s\n", "", "median", "seconds, each pass");
    PrintRow("start-up", figures.start);
    PrintRow("refresh, a few branches open", figures.refresh);
    std::printf("%-40s %zu items in the tree\n", "", figures.items);
    char row[64];
    std::snprintf(row, sizeof row, "open a folder of %zu SoundFonts", figures.folderFiles);
    PrintRow(row, figures.expandFolder);
    PrintRow("  and paint the tree", figures.paintFolder);
    std::snprintf(row, sizeof row, "open a SoundFont of %zu presets", figures.filePresets);
    PrintRow(row, figures.expandFile);
    PrintRow("  and paint the tree", figures.paintFile);
    PrintRow("paint the tree, nothing changed", figures.repaint);
    PrintRow("close", figures.close);
    if (figures.fullStart.empty())
        return;
    std::printf("Full build of the same tree, every branch listed (%zu items):\n", figures.fullItems);
    PrintRow("  start-up", figures.fullStart);
    PrintRow("  refresh", figures.fullRefresh);
    PrintRow("  close", figures.fullClose);
    std::printf("%-40s %8.1f\n", "start-up, full build / as shipped", Median(figures.fullStart) / Median(figures.start));
    std::printf("%-40s %8.1f\n", "refresh, full build / as shipped", Median(figures.fullRefresh) / Median(figures.refresh));
}

} // namespace

int main(int argc, char** argv)
{
    const int passes = argc > 1 ? std::atoi(argv[1]) : 5;
    BenchLibraryShape shape;
    shape.setsPerGroup = 1;
    shape.filesPerSet = 100;
    if (argc > 2)
        shape.filesPerSet = std::strtoul(argv[2], nullptr, 10);
    if (argc > 3)
        shape.setsPerGroup = std::strtoul(argv[3], nullptr, 10);
    const bool full = argc > 4 ? std::atoi(argv[4]) != 0 : true;
    if (passes <= 0 || shape.filesPerSet == 0 || shape.setsPerGroup == 0) {
        std::fprintf(stderr, "usage: %s [passes > 0] [files per folder > 0] [folders per group > 0] [full build 1|0]\n",
                     argv[0]);
        return 2;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    // Any message box would mean the library or the card is not what the figures claim.
    MessageBoxWatcher boxes;
    SetTraceSink(CountTrace);
    Figures figures;
    bool measured = false;
    {
        std::printf("Generating the library ...\n");
        std::fflush(stdout);
        // The manager goes last: the library gives the card back empty while it is loaded.
        CSoundFontManager manager;
        CBenchLibrary library(shape);
        std::string error;
        if (EngineResult started = manager.Initialize(); started.Failed()) {
            Fail(std::string("no SoundFont manager: ") + started.Text());
        } else if (!library.LoadEveryBank(manager, error)) {
            Fail(error);
        } else {
            CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {library.Root()});
            measured = Measure(library, shape.groups, passes, full, figures);
            if (measured)
                Print(library, passes, figures);
        }
        DeleteFileA(IniPath().c_str());
    }
    for (const std::string& text : boxes.Texts())
        Fail("message box: " + text);
    if (g_traceLines > 0)
        Fail(std::to_string(g_traceLines) + " diagnostic lines were written");
    return measured && boxes.Texts().empty() && g_traceLines == 0 ? 0 : 1;
}
