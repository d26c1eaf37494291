// The sound tree's commands: context menus (from the mouse and from the keyboard), double-click,
// Enter, F5 and the Delete key, and the loads, deletes and folder changes behind them.

#include "app/BrowserDlg.h"

#include "app/Diagnostics.h"
#include "browser/TreeBuilder.h"
#include "browser/TreeAccessible.h"
#include "shell/WideText.h"

#include <commdlg.h>

namespace {

// The longest file path the load command takes.
constexpr std::size_t kMaxLoadPath = 511;
constexpr int kFirstBank = 1;
constexpr int kLastBank = 127;
// The node that holds the drives: where the folder picker starts.
constexpr int kDrivesFolder = 0x11;

enum MenuCommand : UINT { kCommand1 = 1, kCommand2 = 2, kCommand3 = 3 };

struct MenuEntry {
    UINT id;
    const char* text;
};

// The entries of a kind's context menu; empty for kinds without one.
std::vector<MenuEntry> MenuFor(TreeItemKind kind)
{
    switch (kind) {
    case TreeItemKind::Device:
        return {{kCommand1, "Load SoundFont"},
                {kCommand2, "Load SoundFont into Bank"},
                {kCommand3, "Clear all loaded SoundFonts"}};
    case TreeItemKind::LoadedBank:
        return {{kCommand1, "Delete"}};
    case TreeItemKind::DiskRoot:
        return {{kCommand1, "Add Folder"}};
    case TreeItemKind::ListedFolder:
        return {{kCommand1, "Remove"}};
    case TreeItemKind::SoundFontFile:
        return {{kCommand1, "Load"}, {kCommand2, "Load into Bank"}};
    default:
        return {};
    }
}

bool HasDevice(TreeItemKind kind)
{
    return kind == TreeItemKind::LoadedBank || kind == TreeItemKind::BankPreset ||
           kind == TreeItemKind::Device;
}

// The drive and directory of a file path, with the final separator.
std::string FolderOf(const std::string& path)
{
    std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

} // namespace

bool CBrowserDlg::OnTreeNotify(NMHDR* header, LRESULT& result)
{
    result = 0;
    switch (header->code) {
    case NM_RCLICK:
        OnTreeContextMenu();
        // Handled: the tree must not follow up with a WM_CONTEXTMENU of its own.
        result = 1;
        return true;
    case NM_DBLCLK:
        result = OnTreeDoubleClick();
        return true;
    case TVN_KEYDOWN:
        OnTreeKeyDown(reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey);
        return true;
    case NM_CLICK:
        return true;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        AnnounceTreeSelection(m_soundTree.Window());
        OnSelChangedTree();
        return true;
    default:
        return false;
    }
}

HTREEITEM CBrowserDlg::SelectItemUnderMouse()
{
    TVHITTESTINFO hit = {};
    hit.pt.x = static_cast<LONG>(g_lastTreeMouseX);
    hit.pt.y = static_cast<LONG>(g_lastTreeMouseY);
    HTREEITEM item = TreeView_HitTest(m_soundTree.Window(), &hit);
    TreeView_SelectItem(m_soundTree.Window(), item);
    return item;
}

void CBrowserDlg::UpdateMeterForRecord(const TreeItemRecord& record)
{
    UpdateMemoryMeter(HasDevice(record.kind) ? record.device : -1);
}

void CBrowserDlg::OnTreeContextMenu()
{
    POINT screen = {static_cast<LONG>(g_lastTreeMouseX), static_cast<LONG>(g_lastTreeMouseY)};
    ClientToScreen(m_soundTree.Window(), &screen);
    SelectItemUnderMouse();
    ShowContextMenu(screen);
}

bool CBrowserDlg::OnContextMenuMessage(HWND source, LPARAM position)
{
    // Shift+F10 and the menu key arrive with no position; a mouse click was already served
    // through NM_RCLICK.
    if (source != m_soundTree.Window() || position != -1)
        return false;
    HWND tree = m_soundTree.Window();
    HTREEITEM item = TreeView_GetSelection(tree);
    if (!item)
        return true;
    TreeView_EnsureVisible(tree, item);
    RECT rect = {};
    TreeView_GetItemRect(tree, item, &rect, TRUE);
    POINT screen = {rect.left, rect.bottom};
    ClientToScreen(tree, &screen);
    ShowContextMenu(screen);
    return true;
}

void CBrowserDlg::ShowContextMenu(POINT screen)
{
    HMENU menu = CreatePopupMenu();
    CTreeItemData* record = m_soundTree.SelectedRecord();
    if (record) {
        UpdateMeterForRecord(*record);
        std::vector<MenuEntry> entries = MenuFor(record->kind);
        if (!entries.empty()) {
            for (const MenuEntry& entry : entries)
                AppendMenuA(menu, MF_STRING, entry.id, entry.text);
            UINT chosen = static_cast<UINT>(TrackPopupMenu(
                menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y,
                0, m_hWnd, nullptr));
            // The command may rebuild the tree, and the record with it: it works on a copy.
            if (chosen != 0)
                RunMenuCommand(TreeItemRecord(*record), chosen);
        }
    }
    DestroyMenu(menu);
}

void CBrowserDlg::RunMenuCommand(const TreeItemRecord& record, UINT command)
{
    int device = record.device;
    switch (record.kind) {
    case TreeItemKind::Device:
        if (command == kCommand3)
            ClearDevice(device);
        else
            LoadFromMenu(device, std::string(), command == kCommand1);
        break;
    case TreeItemKind::LoadedBank:
        if (DeleteBank(device, record.bank) != 0)
            ShowCommandError("Error seleting SoundFont (%s)");
        UpdateMemoryMeter(device);
        break;
    case TreeItemKind::DiskRoot:
        AddFolder();
        break;
    case TreeItemKind::ListedFolder:
        RemoveFolder(record.listedPath);
        break;
    case TreeItemKind::SoundFontFile:
        LoadFromMenu(DefaultLoadDevice(), record.item.GetPath(), command == kCommand1);
        break;
    default:
        break;
    }
}

// The meter then shows the device loaded into, which the destination dialog may have changed.
void CBrowserDlg::LoadFromMenu(int device, const std::string& path, bool direct)
{
    if (LoadSoundFont(device, path, direct) != 0)
        ShowCommandError("Error loading SoundFont (%s)");
    UpdateMemoryMeter(device);
}

void CBrowserDlg::ShowCommandError(const char* format)
{
    ErrorBox(m_hWnd, MB_ICONSTOP | MB_OK, "Error", format, m_sfManager.GetErrorText());
}

void CBrowserDlg::ClearDevice(int device)
{
    if (m_sfManager.OpenDevice(device) != 0) {
        ShowCommandError("Error opening SoundFont device (%s)");
        return;
    }
    if (m_sfManager.ClearAllBanks() != 0) {
        ShowCommandError("Error clearing SoundFonts (%s)");
        m_sfManager.CloseDevice();
        return;
    }
    m_sfManager.CloseDevice();
    RefreshTree();
}

void CBrowserDlg::AddFolder()
{
    CShellItem folder;
    folder.SetSpecialFolder(kDrivesFolder);
    if (folder.BrowseForFolder("Select folder with SoundFonts", BIF_RETURNONLYFSDIRS) != 0)
        return;
    m_localFolders.push_back(folder);
    m_storedFolderPaths.resize(m_localFolders.size());
    RefreshTree();
}

void CBrowserDlg::RemoveFolder(const std::string& path)
{
    m_storedFolderPaths.resize(m_localFolders.size());
    for (std::size_t i = m_localFolders.size(); i-- > 0;) {
        if (ListedPathOf(m_localFolders[i], m_storedFolderPaths[i]) == path) {
            m_localFolders.erase(m_localFolders.begin() + static_cast<std::ptrdiff_t>(i));
            m_storedFolderPaths.erase(m_storedFolderPaths.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    RefreshTree();
}

LRESULT CBrowserDlg::OnTreeDoubleClick()
{
    if (!SelectItemUnderMouse())
        return 0;
    return ActivateSelectedItem() ? 1 : 0;
}

void CBrowserDlg::OnOK()
{
    if (GetFocus() == m_soundTree.Window())
        ActivateSelectedItem();
}

// Loads the selected SoundFont file on disk; other items only show their device's memory.
bool CBrowserDlg::ActivateSelectedItem()
{
    CTreeItemData* record = m_soundTree.SelectedRecord();
    if (!record)
        return false;
    UpdateMeterForRecord(*record);
    if (record->kind == TreeItemKind::SoundFontFile) {
        std::string path = record->item.GetPath();
        LoadFromMenu(DefaultLoadDevice(), path, true);
    }
    return true;
}

void CBrowserDlg::OnTreeKeyDown(WORD key)
{
    if (key == VK_F5) {
        RefreshTree();
        return;
    }
    if (key != VK_DELETE)
        return;
    CTreeItemData* record = m_soundTree.SelectedRecord();
    if (record && record->kind == TreeItemKind::LoadedBank)
        DeleteBank(record->device, record->bank);
}

bool CBrowserDlg::AskForSoundFontFile(std::string& path)
{
    wchar_t file[kMaxLoadPath + 1] = {};
    std::wstring folder = WidenUtf8(m_lastOpenDir).substr(0, kMaxLoadPath);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = L"SoundFont Files (*.sf2)\0*.sf2\0All Files (*.*)\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = kMaxLoadPath + 1;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = L"Select a SoundFont File";
    dialog.lpstrDefExt = L"sf2";
    dialog.Flags = OFN_LONGNAMES | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog))
        return false;
    path = NarrowToUtf8(file);
    m_lastOpenDir = FolderOf(path);
    return true;
}

int CBrowserDlg::LoadSoundFont(int& device, const std::string& path, bool direct)
{
    std::string file = NarrowToUtf8(WidenUtf8(path).substr(0, kMaxLoadPath));
    if (file.empty() && !AskForSoundFontFile(file))
        return 0;
    int bank = FindFreeBank(device);
    if (!direct) {
        m_destinationDlg.m_device = device;
        m_destinationDlg.m_bank = bank;
        m_destinationDlg.m_instrumentEnabled = false;
        if (m_destinationDlg.Run(m_hWnd) != IDOK)
            return 0;
        device = m_destinationDlg.m_device;
        bank = m_destinationDlg.m_bank;
    }
    if (int result = m_sfManager.OpenDevice(device); result != 0)
        return result;
    int result = m_sfManager.LoadBank(bank, file);
    m_sfManager.CloseDevice();
    if (result != 0)
        return result;
    RefreshTree();
    ShowLoadedBank(device, bank);
    return 0;
}

HTREEITEM CBrowserDlg::ExpandDevice(int device)
{
    HWND tree = m_soundTree.Window();
    TreeView_Expand(tree, m_soundTree.LoadedRoot(), TVE_EXPAND);
    HTREEITEM deviceItem = m_soundTree.DeviceItem(device);
    if (deviceItem)
        TreeView_Expand(tree, deviceItem, TVE_EXPAND);
    return deviceItem;
}

void CBrowserDlg::ShowLoadedBank(int device, int bank)
{
    HWND tree = m_soundTree.Window();
    HTREEITEM bankItem = m_soundTree.BankItem(ExpandDevice(device), bank);
    if (!bankItem)
        return;
    TreeView_Expand(tree, bankItem, TVE_EXPAND);
    if (HTREEITEM firstPreset = TreeView_GetChild(tree, bankItem))
        TreeView_SelectItem(tree, firstPreset);
}

int CBrowserDlg::DeleteBank(int device, int bank)
{
    if (int result = m_sfManager.OpenDevice(device); result != 0)
        return result;
    int result = m_sfManager.ClearBank(bank);
    m_sfManager.CloseDevice();
    if (result != 0)
        return result;
    RefreshTree();
    ExpandDevice(device);
    return 0;
}

int CBrowserDlg::FindFreeBank(int device)
{
    if (m_sfManager.OpenDevice(device) != 0)
        return 0;
    bool previewDevice = device == m_fileSoundFontDevice;
    int freeBank = 0;
    for (int bank = kFirstBank; bank <= kLastBank; ++bank) {
        if (previewDevice && bank == m_fileBank)
            continue;
        if (m_sfManager.QueryBank(bank) == -1)
            freeBank = bank;
    }
    m_sfManager.CloseDevice();
    if (freeBank != 0)
        return freeBank;
    return previewDevice && m_fileBank == kLastBank ? kLastBank - 1 : kLastBank;
}

int CBrowserDlg::DefaultLoadDevice()
{
    std::vector<std::string> names;
    m_sfManager.GetDeviceNames(names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (m_deviceMap.EntryFor(names[i]).enabled)
            return static_cast<int>(i);
    }
    return 0;
}
