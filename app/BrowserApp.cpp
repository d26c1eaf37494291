#include "app/BrowserApp.h"

#include "app/BrowserDlg.h"
#include "base/Diagnostics.h"
#include "midi/SoftMidiLibrary.h"

#include <commctrl.h>
#include <ole2.h>

BOOL CBrowserApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell's folder picker needs COM on the thread that shows it.
    HRESULT com = OleInitialize(nullptr);

    // The software card's MIDI outputs are listed beside the system's while the window lives.
    CSoftMidiLibrary softwareOutputs;
    if (!softwareOutputs.IsLoaded())
        DebugTrace("%s\n", softwareOutputs.Failure().c_str());
    {
        // Destroyed before COM ends: saving the settings asks the shell for folder paths.
        CBrowserDlg dialog(nullptr, m_lpCmdLine);
        dialog.DoModal();
    }
    if (SUCCEEDED(com))
        OleUninitialize();
    return FALSE;
}
