#include "app/AboutDlg.h"

#include "app/core/resource.h"

CAboutDlg::CAboutDlg(HWND parent)
    : CDialog(IDD_ABOUTBOX, parent)
{
}
