#include "app/AboutDlg.h"

#include "base/resource.h"

CAboutDlg::CAboutDlg(HWND parent)
    : CDialog(IDD_ABOUTBOX, parent)
{
}
