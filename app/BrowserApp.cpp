#include "app/BrowserApp.h"

#include "app/BrowserDlg.h"

#include <commctrl.h>

BOOL CBrowserApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    CBrowserDlg dialog(nullptr);
    dialog.m_startupFile = m_lpCmdLine;
    dialog.DoModal();
    return FALSE;
}
