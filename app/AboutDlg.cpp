#include "app/AboutDlg.h"

#include "app/resource.h"

CAboutDlg::CAboutDlg(HWND parent)
    : CDialog(IDD_ABOUTBOX, parent)
{
}
