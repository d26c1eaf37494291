// Fills the sound tree of the real main window from a large generated library on the simulated
// card under Wine, and prints the time of a whole refresh beside its floor, measured in the
// same run, and the window's start-up time:
//
//     bench_tree_refresh [passes] [files per folder]
//
// The library: a listed folder of 10 folders of 10 folders of 10 SoundFont files (by default)
// of 100 presets each, and device 0 of the card with all 127 banks loaded from its files;
// about 114,000 tree items. It lives in the temporary folder for the run only.
// The floor is made of three parts, each timed on its own:
//   - shell: the same folders enumerated through the shell, one display name and one path per
//     item (files and folders);
//   - presets: the preset headers of the same files read (the files of the loaded banks and
//     the listed files);
//   - tree: as many items, with the same texts and depths, inserted into a bare tree control.
// Each pass times a refresh as the Refresh button runs it (emptying the tree that the last one
// built, then filling it), each floor part right after it, then the refresh's two halves
// apart. Before that, the window is opened once to warm the caches and then once per pass
// with the library listed in tnw.ini: start-up runs from constructing the window to its
// OnInitDialog returning, close from asking it to close to its thread's end. The window runs
// on a thread of its own, as in the program. Figures are the medians of the passes.
#include "app/BrowserDlg.h"
#include "app/core/Diagnostics.h"
#include "app/core/resource.h"
#include "bench/BenchLibrary.h"
#include "bench/RefreshFloor.h"
#include "browser/TreeBuilder.h"
#include "settings/Profile.h"
#include "shell/ShellItem.h"
#include "tests/support/MessageBoxWatcher.h"

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
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintRow(const char* name, const std::vector<double>& passes)
{
    std::printf("%-22s %8.3f   ", name, Median(passes));
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

// A command of the benchmark's own, beside the window's: empties the tree as a refresh does
// first.
constexpr WORD kDeleteTree = 0x7F01;

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
        if (id == kDeleteTree)
            m_soundTree.DeleteAll();
        else
            handled = CBrowserDlg::OnCommand(id, code, control);
        commandSeconds = SecondsSince(start);
        return handled;
    }

private:
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

HWND BareTree()
{
    // The styles of the main window's tree.
    const DWORD style = WS_POPUP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                        TVS_DISABLEDRAGDROP | TVS_TRACKSELECT;
    return CreateWindowExA(0, WC_TREEVIEWA, "", style, 0, 0, 300, 400, nullptr, nullptr, nullptr, nullptr);
}

double TimeInsert(const TreeShape& shape)
{
    HWND tree = BareTree();
    const Clock::time_point start = Clock::now();
    InsertShape(tree, shape);
    const double seconds = SecondsSince(start);
    DestroyWindow(tree);
    return seconds;
}

// The tree the window builds, built again on a bare tree control: the texts and depths that
// the floor inserts.
TreeShape ShapeOfRefresh(CSoundFontManager& manager, const CShellItem& listed)
{
    HWND bare = BareTree();
    TreeImages images;
    CSoundTree tree;
    tree.Attach(bare, &images);
    CDeviceMap deviceMap;
    std::vector<CShellItem> folders{listed};
    CTreeBuilder(tree, manager, deviceMap, folders).Refresh(nullptr);
    TreeShape shape = CaptureShape(bare);
    tree.DeleteAll();
    DestroyWindow(bare);
    return shape;
}

bool Fail(const std::string& what)
{
    std::fprintf(stderr, "bench_tree_refresh: %s\n", what.c_str());
    return false;
}

struct Figures {
    std::vector<double> start, close, refresh, deleteTree, fill, shell, presets, tree, floor, ratio;
    std::size_t items = 0;
};

bool Measure(CSoundFontManager& manager, const CBenchLibrary& library, int passes, Figures& figures)
{
    CShellItem listed(library.Root());
    if (listed.IsEmpty())
        return Fail("the shell can't parse " + library.Root());
    // The refresh reads the files of the loaded banks first, then the files in the folders.
    const std::vector<std::string>& files = library.Files();
    std::vector<std::string> presetFiles(files.begin(), files.begin() + CBenchLibrary::kLoadedBanks);
    presetFiles.insert(presetFiles.end(), files.begin(), files.end());

    // The first opening warms the file system's and the shell's caches and is not counted.
    for (int pass = 0; pass <= passes; ++pass) {
        CWindowThread window;
        if (!window.Window())
            return Fail("the main window did not open");
        const double start = window.StartSeconds();
        const double close = window.Close();
        if (pass > 0) {
            figures.start.push_back(start);
            figures.close.push_back(close);
        }
    }

    CWindowThread window;
    const TreeShape shape = ShapeOfRefresh(manager, listed);
    figures.items = TreeView_GetCount(GetDlgItem(window.Window(), IDC_SOUND_TREE));
    if (figures.items != shape.levels.size())
        return Fail("the window's tree and the same tree built again differ in size");
    for (int pass = 0; pass < passes; ++pass) {
        figures.refresh.push_back(window.Command(IDC_REFRESH));

        Clock::time_point start = Clock::now();
        const std::size_t named = WalkFolders(listed.GetIdList());
        figures.shell.push_back(SecondsSince(start));

        start = Clock::now();
        const std::size_t presets = ReadEveryPresetList(presetFiles);
        figures.presets.push_back(SecondsSince(start));

        figures.tree.push_back(TimeInsert(shape));
        figures.floor.push_back(figures.shell.back() + figures.presets.back() + figures.tree.back());
        figures.ratio.push_back(figures.refresh.back() / figures.floor.back());

        // The refresh again in its two halves: emptying the tree, and filling the empty tree.
        figures.deleteTree.push_back(window.Command(kDeleteTree));
        figures.fill.push_back(window.Command(IDC_REFRESH));
        if (pass == 0)
            std::printf("Floor work: %zu shell items named, %zu presets read, %zu tree items inserted\n", named,
                        presets, shape.levels.size());
    }
    return true;
}

void Print(const CBenchLibrary& library, int passes, const Figures& figures)
{
    std::printf("Sound tree refresh of %zu SoundFont files in %zu folders and %d loaded banks: %zu tree items; "
                "%d passes, warm cache\n",
                library.Files().size(), library.FolderCount(), CBenchLibrary::kLoadedBanks, figures.items, passes);
    std::printf("%-22s %8s    %s\n", "", "median", "seconds, each pass");
    PrintRow("start-up", figures.start);
    PrintRow("close", figures.close);
    PrintRow("refresh", figures.refresh);
    PrintRow("  delete the tree", figures.deleteTree);
    PrintRow("  fill an empty tree", figures.fill);
    PrintRow("floor: shell", figures.shell);
    PrintRow("floor: presets", figures.presets);
    PrintRow("floor: tree", figures.tree);
    PrintRow("floor: sum", figures.floor);
    std::printf("%-22s %8.2f    (median refresh / median floor; goal at most 1.50)\n", "ratio",
                Median(figures.refresh) / Median(figures.floor));
    // A burst of load from elsewhere falls on a refresh and the floor parts timed right after
    // it alike, so the ratio of each pass says more on a busy machine.
    PrintRow("ratio of each pass", figures.ratio);
}

} // namespace

int main(int argc, char** argv)
{
    const int passes = argc > 1 ? std::atoi(argv[1]) : 5;
    BenchLibraryShape shape;
    if (argc > 2)
        shape.filesPerSet = std::strtoul(argv[2], nullptr, 10);
    if (passes <= 0 || shape.filesPerSet == 0) {
        std::fprintf(stderr, "usage: %s [passes > 0] [files per folder > 0]\n", argv[0]);
        return 2;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell is used with COM, as on the window's thread.
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
        if (manager.Initialize() != 0) {
            Fail(std::string("no SoundFont manager: ") + manager.GetErrorText());
        } else if (!library.LoadEveryBank(manager, error)) {
            Fail(error);
        } else {
            CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {library.Root()});
            measured = Measure(manager, library, passes, figures);
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
