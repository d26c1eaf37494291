#include "app/BrowserApp.h"

namespace {
CBrowserApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // The runtime hands over the text after the program's name, quotes and all.
    theApp.Run(instance, commandLine);
    return 0;
}
