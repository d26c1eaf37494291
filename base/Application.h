#pragma once
// The application object base: one global instance whose InitInstance runs the program.

#include <windows.h>

#include <string>

class CApplication {
public:
    CApplication() = default;
    virtual ~CApplication() = default;
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // Called once at start; returning false ends the program without a loop of its own.
    virtual BOOL InitInstance() = 0;

    // Runs the program: records the instance and command-line text, then InitInstance.
    int Run(HINSTANCE instance, const char* commandLine);

    HINSTANCE m_hInstance = nullptr;
    // The command-line text after the program's name, exactly as the platform hands it over,
    // in UTF-8.
    std::string m_lpCmdLine;
};
