// Windows XP has no GetTickCount64, and the posix thread runtime linked into the 32-bit
// program imports it for its timed waits: with that import the program would not start there
// at all. This file stands in for the import (only in the 32-bit program, whose runtime
// links against the symbol below instead of kernel32's): the system's function where it
// exists, otherwise GetTickCount widened to 64 bits by counting its wrap-arounds. A wrap-around
// is seen only by a call within the 49.7 days after the one before; after a longer silence
// the count loses a period, which can only lengthen a wait the runtime is timing across it.

#include "base/TickWidening.h"

#include <windows.h>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

volatile LONGLONG g_lastTicks = 0;

ULONGLONG WidenedTickCount()
{
    for (;;) {
        LONGLONG last = InterlockedCompareExchange64(&g_lastTicks, 0, 0);
        auto next = static_cast<LONGLONG>(WidenTickCount(static_cast<std::uint64_t>(last), GetTickCount()));
        if (InterlockedCompareExchange64(&g_lastTicks, next, last) == last)
            return static_cast<ULONGLONG>(next);
    }
}

ULONGLONG WINAPI TickCount64()
{
    // Looked up on every call: the runtime may wait before any constructor of ours has run.
    FARPROC system = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64");
    if (system)
        return reinterpret_cast<TickCount64Function>(reinterpret_cast<void*>(system))();
    return WidenedTickCount();
}

} // namespace

// The import's address slot as the runtime's objects name it.
extern "C" {
__attribute__((used)) TickCount64Function tonewellTickCount64Import __asm__("__imp__GetTickCount64@0") = TickCount64;
}
