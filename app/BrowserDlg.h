#pragma once
// The main window: the frame around the sound tree, the memory meter and the preview controls,
// and the routing of its messages to the owners below, each of which keeps one capability.

#include "app/PlayPanel.h"
#include "app/PreviewPanel.h"
#include "base/Dialog.h"
#include "browser/MemoryMeter.h"
#include "browser/SoundTree.h"
#include "browser/TreeCommands.h"
#include "browser/TreeDrop.h"
#include "browser/TreeFind.h"
#include "browser/TreeImages.h"
#include "engine/SoundFontManager.h"
#include "midi/PreviewSession.h"
#include "settings/SettingsFile.h"

#include <commctrl.h>

#include <string>

class CBrowserDlg : public CDialog {
public:
    // `startupFile` is the command line's text: a SoundFont to load into the first device once
    // the window is up (Explorer passes it quoted); empty for none.
    explicit CBrowserDlg(HWND parent, std::string startupFile = std::string());
    ~CBrowserDlg() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Enter never ends the modal loop (Escape and the close box do): in the tree it acts on the
    // selected item as a double-click does, elsewhere it does nothing.
    void OnOK() override;
    // Escape in the find box or its results clears the box and returns to the tree; elsewhere
    // it closes the window, as the close box does.
    void OnCancel() override;

    // For a subclass that times the window's own work on the tree (bench/TreeRefreshBench).
    CSoundTree& SoundTree() { return m_soundTree; }
    CTreeCommands& TreeCommands() { return m_treeCommands; }

private:
    void Layout();
    void ToggleExpanded();
    bool CreateImageList(HWND tree);
    // Stops previewing and saves the settings, once: at the end of the session (Windows ends
    // the program after WM_ENDSESSION, without destroying anything) or at exit.
    void EndAndSave();

    SettingsDevices Devices();
    // Loads the card's and the software card's libraries and tells what failed; false when
    // neither offers devices.
    bool StartEngines();
    void AddAboutToSystemMenu();
    void CollapseToHalfWidth();
    bool OnSysCommand(UINT command);
    // Ctrl+F in the tree or the results list: the find box takes the focus.
    bool OnFindKey(NMHDR* header, LRESULT& result);
    void OnPaint();

    // The owners in the order of construction; destruction runs the reverse (the commands and
    // the tree before the folders of the settings, the ports before the engine).
    CMemoryMeter m_memoryMeter;
    std::string m_startupFile;
    TreeImages m_images;
    CSoundFontManager m_sfManager;
    CPreviewSession m_preview;
    CSettingsFile m_settings;
    CSoundTree m_soundTree;
    CTreeCommands m_treeCommands;
    CTreeDrop m_treeDrop;
    CTreeFind m_treeFind;
    CPreviewPanel m_previewPanel;
    CPlayPanel m_playPanel;
    HIMAGELIST m_imageList = nullptr;
    bool m_expanded = false;
    HICON m_hIcon;
};
