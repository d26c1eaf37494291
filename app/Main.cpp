#include "app/BrowserApp.h"
#include "app/core/LibrarySearch.h"

namespace {
CBrowserApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    KeepCurrentFolderOutOfLibrarySearch();
    // The runtime hands over the text after the program's name, quotes and all.
    theApp.Run(instance, commandLine);
    return 0;
}
