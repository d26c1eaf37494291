#pragma once
// The main window.

#include "app/Dialog.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

class CBrowserDlg : public CDialog {
public:
    explicit CBrowserDlg(HWND parent);
    ~CBrowserDlg() override;

    // The command-line text; when not empty, the SoundFont loaded at start.
    std::string m_startupFile;

    // Image indices into the window's image list, one per tree picture.
    int folderOpenImage = 0;
    int folderImage = 0;
    int soundFontImage = 0;
    int waveImage = 0;
    int melodicImage = 0;
    int percussionImage = 0;
    int deviceImage = 0;

    bool m_expanded = false;
    HICON m_hIcon;

    void Layout();
    void ToggleExpanded();
    bool CreateImageList(HWND tree);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Enter does nothing; Escape and the close box end the modal loop.
    void OnOK() override {}

private:
    void AddAboutToSystemMenu();
    void CollapseToHalfWidth();
    bool OnSysCommand(UINT command);
    void OnPaint();

    HIMAGELIST m_imageList = nullptr;
};

// The last mouse position over the tree, in the tree's client coordinates: the context menu
// and double-click commands take the item under it.
extern std::uint32_t g_lastTreeMouseX;
extern std::uint32_t g_lastTreeMouseY;
