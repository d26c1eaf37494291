// The end-to-end tests' window inspector: reads Tonewell's window from another process in the
// same Wine session and prints what it finds as plain lines of "key=value" fields, the text
// always last. It can also press a button, and start a program with an exact command line.
//
//   inspector [--caption TEXT] [--pid N] COMMAND [ARGUMENTS]
//
// The target process is the one with the top-level window captioned TEXT ("Tonewell"), or
// process N; its main window is its top-level window captioned TEXT.

#include "tests/e2e/RemoteTree.h"
#include "tests/e2e/WindowQuery.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum ExitCode { kDone = 0, kFailed = 1, kUsage = 2, kNoWindow = 3, kNotFound = 4 };

const char kUsageText[] =
    "usage: inspector [--caption TEXT] [--pid N] COMMAND [ARGUMENTS]\n"
    "  window                      the main window: process, rectangles, state, caption\n"
    "  controls ID...              class, state, value, place and text of the main window's\n"
    "                              controls (value: a progress bar's position, a combo box's\n"
    "                              selected index)\n"
    "  tree [--open] [ID [WINDOW]] every item of the tree control ID (1000) of the main window\n"
    "                              (or of WINDOW), depth first; with --open, those in collapsed\n"
    "                              branches left out\n"
    "  windows                     the process's top-level windows (dialogs, message boxes,\n"
    "                              menus) with their screen rectangles\n"
    "  children WINDOW             the controls of the process's window WINDOW, each with its\n"
    "                              middle inside WINDOW's outer rectangle\n"
    "  click WINDOW BUTTON         press BUTTON (control id or text) in window WINDOW\n"
    "  wait-window CAPTION [SEC]   wait until the process shows a window CAPTION (10 s)\n"
    "  terminate                   end the process at once (for a program that hangs)\n"
    "  launch PROGRAM [TAIL]       run PROGRAM with the command line \"PROGRAM\" TAIL, exactly,\n"
    "                              from its folder; wait for it and exit with its exit code\n"
    "A WINDOW is a caption, or a handle (0x...) as the windows command prints it.\n";

struct Options {
    std::string caption = "Tonewell";
    DWORD processId = 0;
    std::vector<std::string> words; // the command and its arguments
};

struct Target {
    DWORD processId = 0;
    HWND main = nullptr; // may be null while the process shows no main window
};

std::string Hex(const void* handle)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lx",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(handle)));
    return text;
}

const char* Flag(bool value) { return value ? "1" : "0"; }

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int at = 1; at < argc; ++at) {
        std::string word = argv[at];
        if (options.words.empty() && word == "--caption" && at + 1 < argc) {
            options.caption = argv[++at];
        } else if (options.words.empty() && word == "--pid" && at + 1 < argc) {
            options.processId = std::strtoul(argv[++at], nullptr, 10);
        } else {
            options.words.push_back(word);
        }
    }
    return !options.words.empty();
}

bool FindTarget(const Options& options, Target& target)
{
    target.processId = options.processId;
    if (!target.processId) {
        HWND window = FindWindowA(nullptr, options.caption.c_str());
        if (!window || !GetWindowThreadProcessId(window, &target.processId))
            return false;
    }
    target.main = FindProcessWindow(target.processId, options.caption);
    return true;
}

int NoWindow(const Options& options)
{
    std::fprintf(stderr, "inspector: no window \"%s\"%s\n", options.caption.c_str(),
                 options.processId ? " in that process" : "");
    return kNoWindow;
}

int PrintMainWindow(const Target& target)
{
    RECT outer = {};
    RECT client = {};
    GetWindowRect(target.main, &outer);
    GetClientRect(target.main, &client);
    std::printf("window handle=%s process=%lu visible=%s enabled=%s minimized=%s "
                "outer=%ld,%ld,%ld,%ld outer-size=%ldx%ld client-size=%ldx%ld caption=%s\n",
                Hex(target.main).c_str(), static_cast<unsigned long>(target.processId),
                Flag(IsWindowVisible(target.main)), Flag(IsWindowEnabled(target.main)),
                Flag(IsIconic(target.main)), outer.left, outer.top, outer.right, outer.bottom,
                outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom,
                OneLine(RemoteWindowText(target.main)).c_str());
    return kDone;
}

// The middle of a control, inside its top-level window's outer rectangle: the origin that
// `xdotool mousemove --window` uses for a Wine window.
std::string CentreInTopLevel(HWND control)
{
    RECT outer = {};
    RECT place = {};
    GetWindowRect(GetAncestor(control, GA_ROOT), &outer);
    GetWindowRect(control, &place);
    return std::to_string((place.left + place.right) / 2 - outer.left) + "," +
           std::to_string((place.top + place.bottom) / 2 - outer.top);
}

// What a control holds besides its text: a progress bar's position and range, a combo box's
// selected index (-1 for none) and its entries; "-" for other controls.
std::string ControlValue(const WindowFacts& facts)
{
    DWORD_PTR answer = 0;
    if (facts.className == PROGRESS_CLASSA) {
        DWORD_PTR low = 0;
        DWORD_PTR high = 0;
        SendMessageTimeoutA(facts.handle, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
        SendMessageTimeoutA(facts.handle, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, 2000, &low);
        SendMessageTimeoutA(facts.handle, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &high);
        return std::to_string(static_cast<int>(answer)) + " range=" +
               std::to_string(static_cast<int>(low)) + "-" + std::to_string(static_cast<int>(high));
    }
    if (facts.className == WC_COMBOBOXA) {
        DWORD_PTR count = 0;
        SendMessageTimeoutA(facts.handle, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
        SendMessageTimeoutA(facts.handle, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        return std::to_string(static_cast<int>(answer)) + " entries=" +
               std::to_string(static_cast<int>(count));
    }
    return "-";
}

void PrintControl(const char* label, const WindowFacts& facts)
{
    DWORD_PTR check = 0;
    SendMessageTimeoutA(facts.handle, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &check);
    std::printf("%s id=%d handle=%s class=%s visible=%s enabled=%s checked=%s value=%s at=%s "
                "text=%s\n",
                label, facts.id, Hex(facts.handle).c_str(), facts.className.c_str(),
                Flag(facts.visible), Flag(facts.enabled), Flag(check == BST_CHECKED),
                ControlValue(facts).c_str(), CentreInTopLevel(facts.handle).c_str(),
                OneLine(facts.text).c_str());
}

int PrintControls(const Target& target, const std::vector<std::string>& ids)
{
    int result = kDone;
    for (const std::string& id : ids) {
        HWND control = GetDlgItem(target.main, std::atoi(id.c_str()));
        if (!control) {
            std::printf("control id=%s missing\n", id.c_str());
            result = kNotFound;
            continue;
        }
        PrintControl("control", DescribeWindow(control));
    }
    return result;
}

// Item positions are given inside the outer rectangle of the tree's window, the origin that
// `xdotool mousemove --window` uses for a Wine window.
int PrintTree(HWND window, int treeId, bool openBranchesOnly)
{
    HWND tree = GetDlgItem(window, treeId);
    CRemoteTree reader(tree);
    std::vector<RemoteTreeItem> items = reader.Items(openBranchesOnly);
    if (!reader.Problem().empty()) {
        std::fprintf(stderr, "inspector: tree %d: %s\n", treeId, reader.Problem().c_str());
        return kFailed;
    }
    RECT outer = {};
    GetWindowRect(window, &outer);
    for (const RemoteTreeItem& item : items) {
        std::string at = "-";
        if (item.shown) {
            at = std::to_string(item.centre.x - outer.left) + "," +
                 std::to_string(item.centre.y - outer.top);
        }
        std::printf("tree-item depth=%d expanded=%s selected=%s children=%s image=%d "
                    "selected-image=%d at=%s text=%s\n",
                    item.depth, Flag(item.expanded), Flag(item.selected), Flag(item.hasChildren),
                    item.image, item.selectedImage, at.c_str(), OneLine(item.text).c_str());
    }
    return kDone;
}

int PrintWindows(const Target& target)
{
    for (HWND window : ProcessWindows(target.processId)) {
        WindowFacts facts = DescribeWindow(window);
        RECT outer = {};
        GetWindowRect(window, &outer);
        std::printf("toplevel handle=%s class=%s visible=%s enabled=%s owner=%s "
                    "outer=%ld,%ld,%ld,%ld caption=%s\n",
                    Hex(window).c_str(), facts.className.c_str(), Flag(facts.visible),
                    Flag(facts.enabled), Hex(GetWindow(window, GW_OWNER)).c_str(), outer.left,
                    outer.top, outer.right, outer.bottom, OneLine(facts.text).c_str());
    }
    return kDone;
}

// A window named by its handle ("0x...") or by its caption, among the process's own.
HWND FindNamedWindow(const Target& target, const std::string& name)
{
    if (name.size() < 3 || name.compare(0, 2, "0x") != 0)
        return FindProcessWindow(target.processId, name);
    HWND window = reinterpret_cast<HWND>(std::strtoul(name.c_str() + 2, nullptr, 16));
    DWORD owner = 0;
    if (!IsWindow(window) || !GetWindowThreadProcessId(window, &owner) ||
        owner != target.processId)
        return nullptr;
    return window;
}

// tree [--open] [ID [WINDOW]]
int PrintTreeCommand(const Target& target, std::vector<std::string> words)
{
    bool openBranchesOnly = words.size() > 1 && words[1] == "--open";
    if (openBranchesOnly)
        words.erase(words.begin() + 1);
    if (words.size() > 3) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    int treeId = words.size() > 1 ? std::atoi(words[1].c_str()) : 1000;
    if (words.size() < 3)
        return PrintTree(target.main, treeId, openBranchesOnly);
    HWND window = FindNamedWindow(target, words[2]);
    if (!window) {
        std::fprintf(stderr, "inspector: the process shows no window \"%s\"\n", words[2].c_str());
        return kNotFound;
    }
    return PrintTree(window, treeId, openBranchesOnly);
}

int PrintChildren(const Target& target, const std::string& caption)
{
    HWND window = FindNamedWindow(target, caption);
    if (!window) {
        std::fprintf(stderr, "inspector: the process shows no window \"%s\"\n", caption.c_str());
        return kNotFound;
    }
    for (HWND child : DescendantWindows(window))
        PrintControl("child", DescribeWindow(child));
    return kDone;
}

// Posted, not sent: a button that opens a modal dialog would otherwise hold this program
// until that dialog closes.
int Click(const Target& target, const std::string& caption, const std::string& button)
{
    HWND window = FindNamedWindow(target, caption);
    HWND control = window ? FindChild(window, button) : nullptr;
    if (!control) {
        std::fprintf(stderr, "inspector: no button \"%s\" in a window \"%s\"\n", button.c_str(),
                     caption.c_str());
        return kNotFound;
    }
    // Described first: the click may close the window.
    WindowFacts facts = DescribeWindow(control);
    PostMessageA(control, BM_CLICK, 0, 0);
    std::printf("clicked id=%d text=%s\n", facts.id, OneLine(facts.text).c_str());
    return kDone;
}

int WaitForWindow(const Options& options, const std::string& caption, double seconds)
{
    DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    do {
        Target target;
        if (FindTarget(options, target)) {
            HWND window = FindProcessWindow(target.processId, caption);
            if (window && IsWindowVisible(window)) {
                std::printf("toplevel handle=%s caption=%s\n", Hex(window).c_str(),
                            OneLine(caption).c_str());
                return kDone;
            }
        }
        Sleep(100);
    } while (static_cast<LONG>(deadline - GetTickCount()) > 0);
    std::fprintf(stderr, "inspector: no window \"%s\" within %.1f s\n", caption.c_str(), seconds);
    return kNotFound;
}

int Terminate(const Target& target)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, target.processId);
    if (!process || !TerminateProcess(process, 99)) {
        std::fprintf(stderr, "inspector: process %lu could not be ended\n",
                     static_cast<unsigned long>(target.processId));
        return kFailed;
    }
    CloseHandle(process);
    std::printf("terminated process=%lu\n", static_cast<unsigned long>(target.processId));
    return kDone;
}

// The command line is built here, not by Wine's launcher, which rebuilds it from its
// arguments: it quotes only those with blanks and escapes quotes they hold, so the text the
// file manager passes ("Z:\x.sf2", always quoted) can't be given to `wine program` as it is.
int Launch(const std::string& program, const std::string& tail)
{
    std::string commandLine = "\"" + program + "\"";
    if (!tail.empty())
        commandLine += " " + tail;
    std::string folder = program.substr(0, program.find_last_of("\\/") + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        std::fprintf(stderr, "inspector: %s could not be started (error %lu)\n",
                     program.c_str(), GetLastError());
        return kFailed;
    }
    std::fprintf(stderr, "launch: process %lu, command line: %s\n",
                 static_cast<unsigned long>(started.dwProcessId), commandLine.c_str());
    std::fflush(stderr);
    CloseHandle(started.hThread);
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD exitCode = kFailed;
    GetExitCodeProcess(started.hProcess, &exitCode);
    CloseHandle(started.hProcess);
    return static_cast<int>(exitCode);
}

int RunOnTarget(const Options& options)
{
    const std::vector<std::string>& w = options.words;
    const std::string& command = w[0];
    Target target;
    if (!FindTarget(options, target))
        return NoWindow(options);
    bool needsMain = command == "window" || command == "controls" || command == "tree";
    if (needsMain && !target.main)
        return NoWindow(options);

    if (command == "window" && w.size() == 1)
        return PrintMainWindow(target);
    if (command == "controls" && w.size() >= 2)
        return PrintControls(target, std::vector<std::string>(w.begin() + 1, w.end()));
    if (command == "tree" && w.size() <= 4)
        return PrintTreeCommand(target, w);
    if (command == "windows" && w.size() == 1)
        return PrintWindows(target);
    if (command == "children" && w.size() == 2)
        return PrintChildren(target, w[1]);
    if (command == "click" && w.size() == 3)
        return Click(target, w[1], w[2]);
    if (command == "terminate" && w.size() == 1)
        return Terminate(target);
    std::fputs(kUsageText, stderr);
    return kUsage;
}

} // namespace

int main(int argc, char** argv)
{
    // Plain "\n" line ends for the shell scripts that read this.
    _setmode(_fileno(stdout), _O_BINARY);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    const std::vector<std::string>& w = options.words;
    if (w[0] == "launch" && (w.size() == 2 || w.size() == 3))
        return Launch(w[1], w.size() == 3 ? w[2] : std::string());
    if (w[0] == "wait-window" && (w.size() == 2 || w.size() == 3))
        return WaitForWindow(options, w[1], w.size() == 3 ? std::atof(w[2].c_str()) : 10.0);
    return RunOnTarget(options);
}
