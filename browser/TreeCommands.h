#pragma once
// The sound tree's commands: context menus (from the mouse and from the keyboard), double-click,
// Enter, F5 and the Delete key, routed to the card operations, the dialogs and the folder list.

#include "browser/LoadedBankCache.h"
#include "browser/MemoryMeter.h"
#include "browser/SoundTree.h"
#include "browser/TreeWindowInput.h"
#include "dialogs/DestinationDlg.h"
#include "card/CardOperations.h"
#include "engine/SoundFontEngine.h"
#include "settings/SettingsModel.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

class CTreeBuilder;

// Where the settings place sounds on disk for previewing.
inline PreviewBank PreviewBankOf(const PreviewSettings& preview)
{
    return {preview.fileSoundFontDevice, preview.fileBank, preview.fileInstrument};
}

class CTreeCommands {
public:
    CTreeCommands(CSoundTree& tree, CSoundFontEngine& engine, SettingsModel& settings, CMemoryMeter& meter);

    // The window that owns the tree: messages and dialogs appear over it.
    void SetOwner(HWND owner) { m_owner = owner; }
    // Puts the tree's own window procedure in front of the control's.
    void TrackTreeInput() { m_input.Attach(m_tree.Window()); }
    CTreeWindowInput& Input() { return m_input; }

    // The tree's notifications other than a changed selection; true when handled.
    bool OnTreeNotify(NMHDR* header, LRESULT& result);
    // WM_CONTEXTMENU from the keyboard; true when handled.
    bool OnContextMenuMessage(HWND source, LPARAM position);
    // Enter with the tree focused: acts on the selected item as a double-click does.
    void OnEnter();

    // Rebuilds the tree and opens again what was open; unless `keepSelection` is false (the
    // caller selects something itself), the selected item is selected again. What the card
    // reported of banks that no command changed is taken as it was.
    void RefreshTree(bool keepSelection = true);
    // The Refresh button and F5: the same, with everything on the card asked for again.
    void RefreshFromCard();
    // Inserts the children of `item` if its branch has never been opened.
    void ListChildren(HTREEITEM item);
    // Lists the children of `item` if need be and opens its branch.
    void Open(HTREEITEM item);
    // Called after each refresh of the tree.
    void SetRefreshListener(std::function<void()> listener) { m_refreshed = std::move(listener); }
    // Called when the tree starts work the user waits for: a refresh, a branch opened.
    void SetBusyListener(std::function<void()> listener) { m_busy = std::move(listener); }
    void UpdateMemoryMeter(int device);
    void UpdateMeterForRecord(const TreeItemRecord& record);

    // Unless `direct`, the user may choose another device and bank first; `device` is then
    // the one chosen.
    EngineResult LoadSoundFont(int& device, const std::string& path, bool direct);
    // Loads `path` into `bank` of `device` without asking and without refreshing the tree. A
    // file that certainly can't fit is refused with its own message: success then, and
    // `loaded` false.
    EngineResult LoadIntoBank(int device, int bank, const std::string& path, bool& loaded);
    // Opens the bank's branch and selects its first preset.
    void ShowLoadedBank(int device, int bank);
    EngineResult DeleteBank(int device, int bank);
    int FindFreeBank(int device);
    int DefaultLoadDevice();
    // Shows the failure's text in a box over the owner.
    void ShowCommandError(const char* format, const EngineResult& failure);

private:
    void OnTreeContextMenu();
    void ShowContextMenu(POINT screen);
    LRESULT OnTreeDoubleClick();
    bool ActivateSelectedItem();
    void OnTreeKeyDown(WORD key);
    HTREEITEM SelectItemUnderMouse();
    void RunMenuCommand(const TreeItemRecord& record, UINT command);
    void LoadFromMenu(int device, const std::string& path, bool direct);
    void ClearDevice(int device);
    void AddFolder();
    void RemoveFolder(const std::string& path);
    bool AskForSoundFontFile(std::string& path);
    HTREEITEM ExpandDevice(int device);
    CTreeBuilder Builder();

    CSoundTree& m_tree;
    CSoundFontEngine& m_engine;
    CCardOperations m_card;
    SettingsModel& m_settings;
    CMemoryMeter& m_meter;
    HWND m_owner = nullptr;
    CTreeWindowInput m_input;
    CLoadedBankCache m_banks;
    std::function<void()> m_refreshed;
    std::function<void()> m_busy;
};
