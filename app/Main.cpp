#include "app/BrowserApp.h"
#include "app/WideCommandLine.h"
#include "base/LibrarySearch.h"

namespace {
CBrowserApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    KeepCurrentFolderOutOfLibrarySearch();
    // The text after the program's name, quotes and all, in every script.
    theApp.Run(instance, ArgumentsAfterProgram(GetCommandLineW()).c_str());
    return 0;
}
