#include "app/BrowserDlg.h"

#include "app/resource.h"

CBrowserDlg::CBrowserDlg(HWND parent)
    : CDialog(IDD_TONEWELL_DIALOG, parent)
{
}

BOOL CBrowserDlg::OnInitDialog()
{
    return TRUE;
}
