// A library without the `SFManager` export: the one a test puts in place to see the binding
// report the missing entry point.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
