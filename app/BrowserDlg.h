#pragma once
// The main window.

#include "app/Dialog.h"

#include <string>

class CBrowserDlg : public CDialog {
public:
    explicit CBrowserDlg(HWND parent);

    // The command-line text; when not empty, the SoundFont loaded at start.
    std::string m_startupFile;

protected:
    BOOL OnInitDialog() override;
    // Enter does nothing; Escape and the close box end the modal loop.
    void OnOK() override {}
};
