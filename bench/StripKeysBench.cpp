// Playing from the computer keyboard in the real main window on the simulated card under
// Wine: from a key press reaching the piano strip's window to the note-on leaving the preview
// path (the platform's send), for each of a number of presses, and the heap allocations made
// per note on the way:
//
//     bench_strip_keys [presses]   (1000 by default)
//
// winmm is replaced by a stub with one input and one output that accepts every call and keeps
// the time of the last note-on sent. The window previews a preset of a loaded bank; each press
// is a WM_KEYDOWN of a playing key sent to the strip on the window's thread, then its WM_KEYUP.
// Prints the median and the worst press, in microseconds, and the allocations per note.
#include "app/BrowserDlg.h"
#include "base/resource.h"
#include "midi/WinMidiApi.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <commctrl.h>

// ---- Allocation counting: every operator new, and malloc, calloc and realloc of the code
// linked into the program (the link wraps them, see bench/CMakeLists.txt), made on the
// window's thread: the window's other threads (the find box's index) are not the key's path.

namespace {
std::atomic<long> g_allocations{0};
std::atomic<DWORD> g_countedThread{0};

void CountAllocation()
{
    if (GetCurrentThreadId() == g_countedThread.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
}
}

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);

void* __wrap_malloc(std::size_t size)
{
    CountAllocation();
    return __real_malloc(size);
}

void* __wrap_calloc(std::size_t count, std::size_t size)
{
    CountAllocation();
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, std::size_t size)
{
    CountAllocation();
    return __real_realloc(block, size);
}
}

namespace {

void* CountedNew(std::size_t size)
{
    CountAllocation();
    if (void* block = __real_malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return CountedNew(size); }
void* operator new[](std::size_t size) { return CountedNew(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

// When the last note-on left, in performance-counter ticks.
std::atomic<long long> g_noteOnSent{0};
std::atomic<long> g_noteOns{0};

long long Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

// A winmm with one input and one output that accept every call; the output keeps the time
// of each note-on.
UINT WINAPI StubGetNumDevs() { return 1; }
MMRESULT WINAPI StubOutOpen(LPHMIDIOUT handle, UINT, DWORD_PTR, DWORD_PTR, DWORD)
{
    *handle = reinterpret_cast<HMIDIOUT>(0x1000);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI StubOutClose(HMIDIOUT) { return MMSYSERR_NOERROR; }
MMRESULT WINAPI StubOutShortMsg(HMIDIOUT, DWORD word)
{
    if ((word & 0xF0) == 0x90 && (word & 0xFF0000) != 0) {
        g_noteOnSent.store(Now(), std::memory_order_relaxed);
        g_noteOns.fetch_add(1, std::memory_order_relaxed);
    }
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI StubInOpen(LPHMIDIIN handle, UINT, DWORD_PTR, DWORD_PTR, DWORD)
{
    *handle = reinterpret_cast<HMIDIIN>(0x2000);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI StubInHandle(HMIDIIN) { return MMSYSERR_NOERROR; }

WinMidiApi StubWinMidiApi()
{
    WinMidiApi api = RealWinMidiApi();
    api.outGetNumDevs = StubGetNumDevs;
    api.outOpen = StubOutOpen;
    api.outClose = StubOutClose;
    api.outShortMsg = StubOutShortMsg;
    api.inGetNumDevs = StubGetNumDevs;
    api.inOpen = StubInOpen;
    api.inClose = StubInHandle;
    api.inStart = StubInHandle;
    api.inStop = StubInHandle;
    return api;
}

std::string IniPath() { return CProfile::ProgramDirectory() + "tnw.ini"; }

// Opens `item`'s branch on the window's thread and returns its first child.
HTREEITEM OpenAndFirstChild(ModalRunner& runner, HWND tree, HTREEITEM item)
{
    HTREEITEM child = nullptr;
    runner.OnUiThread([&] {
        TreeView_Expand(tree, item, TVE_EXPAND);
        child = TreeView_GetChild(tree, item);
    });
    return child;
}

struct Figures {
    double medianUs;
    double worstUs;
    double allocationsPerNote;
    long notes;
};

// Presses and releases the strip's keys `presses` times on the window's thread.
Figures Press(ModalRunner& runner, HWND strip, int presses)
{
    // Z S X D C V G B: the lower row's first keys, set-1 scan codes.
    const BYTE scanCodes[] = {0x2C, 0x1F, 0x2D, 0x20, 0x2E, 0x2F, 0x22, 0x30};
    std::vector<double> microseconds(static_cast<std::size_t>(presses));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    long allocations = 0;
    const long notesBefore = g_noteOns.load();
    runner.OnUiThread([&] {
        SetFocus(strip);
        g_countedThread.store(GetCurrentThreadId());
        const long before = g_allocations.load();
        for (int i = 0; i < presses; ++i) {
            const BYTE scan = scanCodes[i % (sizeof scanCodes)];
            const WPARAM key = MapVirtualKeyA(scan, 1 /* MAPVK_VSC_TO_VK */);
            const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16;
            const long long start = Now();
            SendMessageA(strip, WM_KEYDOWN, key, down);
            const long long sent = g_noteOnSent.load(std::memory_order_relaxed);
            microseconds[static_cast<std::size_t>(i)] =
                static_cast<double>(sent - start) * 1e6 / static_cast<double>(frequency.QuadPart);
            SendMessageA(strip, WM_KEYUP, key, down | 0xC0000000);
        }
        allocations = g_allocations.load() - before;
        g_countedThread.store(0);
    });
    const long notes = g_noteOns.load() - notesBefore;
    std::sort(microseconds.begin(), microseconds.end());
    return {microseconds[microseconds.size() / 2], microseconds.back(),
            notes > 0 ? static_cast<double>(allocations) / static_cast<double>(notes) : -1.0, notes};
}

} // namespace

int main(int argc, char** argv)
{
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const WinMidiApi stub = StubWinMidiApi();
    SetMidiApi(&stub);
    MessageBoxWatcher boxes;
    DeleteFileA(IniPath().c_str());

    // A SoundFont loaded into bank 4 of the first device, whose preset the window previews.
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string file = std::string(temp) + "tonewell-strip-bench.sf2";
    FixtureSoundFont soundFont;
    soundFont.name = "Bench";
    soundFont.presets = {{"Grand", 0, 0, 16}};
    WriteSoundFont(file, soundFont);
    {
        CSoundFontManager manager;
        bool loaded = manager.Initialize().Ok();
        if (loaded) {
            CSfmDevice device = manager.Open(0);
            loaded = device.IsOpen() && device.LoadBank(4, file).Ok();
        }
        if (!loaded) {
            std::fprintf(stderr, "bench_strip_keys: the simulated card could not load %s\n", file.c_str());
            return 1;
        }
    }

    int status = 0;
    {
        CBrowserDlg dialog(nullptr);
        ModalRunner runner(dialog);
        HWND window = runner.Window();
        HWND tree = GetDlgItem(window, IDC_SOUND_TREE);
        HWND strip = GetDlgItem(window, IDC_PIANO_STRIP);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        HTREEITEM item = TreeView_GetRoot(tree);
        for (int depth = 0; depth < 3 && item; ++depth)
            item = OpenAndFirstChild(runner, tree, item);
        if (!item || !strip) {
            std::fprintf(stderr, "bench_strip_keys: no preset to preview or no strip\n");
            status = 1;
        } else {
            runner.OnUiThread([&] { TreeView_SelectItem(tree, item); });
            Press(runner, strip, presses / 10 + 1); // warm-up
            const Figures figures = Press(runner, strip, presses);
            std::printf("strip keys: key press to note-on sent, %d presses (%ld notes)\n", presses, figures.notes);
            std::printf("  median %8.1f us   worst %8.1f us   allocations per note: %.2f\n", figures.medianUs,
                        figures.worstUs, figures.allocationsPerNote);
            if (figures.notes != presses)
                status = 1;
        }
        runner.Close();
    }
    SetMidiApi(nullptr);
    DeleteFileA(IniPath().c_str());
    DeleteFileA(file.c_str());
    return status;
}
