#include "base/Application.h"

CApplication* CApplication::s_instance = nullptr;

CApplication::CApplication()
{
    s_instance = this;
}

CApplication::~CApplication()
{
    if (s_instance == this)
        s_instance = nullptr;
}

int CApplication::Run(HINSTANCE instance, const char* commandLine)
{
    m_hInstance = instance;
    m_lpCmdLine = commandLine ? commandLine : "";
    return InitInstance() ? 1 : 0;
}
