#include "base/Application.h"

int CApplication::Run(HINSTANCE instance, const char* commandLine)
{
    m_hInstance = instance;
    m_lpCmdLine = commandLine ? commandLine : "";
    return InitInstance() ? 1 : 0;
}
