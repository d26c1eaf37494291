#pragma once

#include "base/Dialog.h"

// "About Tonewell": no data and no handlers of its own; OK and Escape close it.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(HWND parent);
};
