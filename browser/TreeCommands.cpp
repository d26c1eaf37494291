#include "browser/TreeCommands.h"

#include "base/Diagnostics.h"
#include "base/WideText.h"
#include "browser/TooLargeRefusal.h"
#include "browser/SoundFontFileItem.h"
#include "browser/TreeBuilder.h"
#include "browser/TreePlace.h"

#include <commdlg.h>

namespace {

// The longest file path the load command takes.
constexpr std::size_t kMaxLoadPath = 511;
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

CTreeCommands::CTreeCommands(CSoundTree& tree, CSoundFontEngine& engine, SettingsModel& settings,
                             CMemoryMeter& meter)
    : m_tree(tree)
    , m_engine(engine)
    , m_card(engine)
    , m_settings(settings)
    , m_meter(meter)
{
}

CTreeBuilder CTreeCommands::Builder()
{
    return CTreeBuilder(m_tree, m_engine, m_settings.preview.deviceMap, m_banks, m_settings.folders,
                        m_settings.storedFolderPaths);
}

void CTreeCommands::RefreshTree(bool keepSelection)
{
    if (m_busy)
        m_busy();
    HWND tree = m_tree.Window();
    const CTreePlace place = CTreePlace::Capture(m_tree);
    // Drawing each insertion and each branch opened again would cost more than the work.
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    if (Builder().Refresh(m_owner))
        place.Restore(m_tree, [this](HTREEITEM item) { ListChildren(item); }, keepSelection);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    if (m_refreshed)
        m_refreshed();
}

void CTreeCommands::RefreshFromCard()
{
    m_banks.ForgetAll();
    RefreshTree();
}

void CTreeCommands::ListChildren(HTREEITEM item)
{
    if (m_busy)
        m_busy();
    Builder().ListChildren(item);
}

void CTreeCommands::Open(HTREEITEM item)
{
    ListChildren(item);
    TreeView_Expand(m_tree.Window(), item, TVE_EXPAND);
}

void CTreeCommands::UpdateMemoryMeter(int device)
{
    m_meter.Update(m_card, device);
}

bool CTreeCommands::OnTreeNotify(NMHDR* header, LRESULT& result)
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
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        // The two forms differ only in the texts they point to.
        const auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
        if (change->action & TVE_EXPAND) {
            ListChildren(change->itemNew.hItem);
            // A branch with children is opened: TVN_ITEMEXPANDED follows.
            if (TreeView_GetChild(m_tree.Window(), change->itemNew.hItem))
                m_input.HoldDrawing();
        }
        return true;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
        m_input.ResumeDrawing();
        return true;
    case TVN_KEYDOWN:
        OnTreeKeyDown(reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey);
        return true;
    case NM_CLICK:
        return true;
    case TVN_GETINFOTIPA:
    case TVN_GETINFOTIPW:
        return FillInfoTip(m_tree, header);
    default:
        return false;
    }
}

HTREEITEM CTreeCommands::SelectItemUnderMouse()
{
    TVHITTESTINFO hit = {};
    hit.pt = m_input.LastMouse();
    HTREEITEM item = TreeView_HitTest(m_tree.Window(), &hit);
    TreeView_SelectItem(m_tree.Window(), item);
    return item;
}

void CTreeCommands::UpdateMeterForRecord(const TreeItemRecord& record)
{
    // A damaged file's size can't be read: the default device's free memory alone.
    if (record.kind == TreeItemKind::SoundFontFile || record.kind == TreeItemKind::DamagedSoundFontFile)
        m_meter.UpdateForFile(m_card, DefaultLoadDevice(), record.item.GetPath());
    else
        UpdateMemoryMeter(HasDevice(record.kind) ? record.device : -1);
}

void CTreeCommands::OnTreeContextMenu()
{
    POINT screen = m_input.LastMouse();
    ClientToScreen(m_tree.Window(), &screen);
    SelectItemUnderMouse();
    ShowContextMenu(screen);
}

bool CTreeCommands::OnContextMenuMessage(HWND source, LPARAM position)
{
    // Shift+F10 and the menu key arrive with no position; a mouse click was already served
    // through NM_RCLICK.
    if (source != m_tree.Window() || position != -1)
        return false;
    HWND tree = m_tree.Window();
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

void CTreeCommands::ShowContextMenu(POINT screen)
{
    HMENU menu = CreatePopupMenu();
    CTreeItemData* record = m_tree.SelectedRecord();
    if (record) {
        UpdateMeterForRecord(*record);
        std::vector<MenuEntry> entries = MenuFor(record->kind);
        if (!entries.empty()) {
            for (const MenuEntry& entry : entries)
                AppendMenuA(menu, MF_STRING, entry.id, entry.text);
            UINT chosen = static_cast<UINT>(TrackPopupMenu(
                menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y,
                0, m_owner, nullptr));
            // The command may rebuild the tree, and the record with it: it works on a copy.
            if (chosen != 0)
                RunMenuCommand(TreeItemRecord(*record), chosen);
        }
    }
    DestroyMenu(menu);
}

void CTreeCommands::RunMenuCommand(const TreeItemRecord& record, UINT command)
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
        if (EngineResult deleted = DeleteBank(device, record.bank); deleted.Failed())
            ShowCommandError("Error seleting SoundFont (%s)", deleted);
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
void CTreeCommands::LoadFromMenu(int device, const std::string& path, bool direct)
{
    if (EngineResult loaded = LoadSoundFont(device, path, direct); loaded.Failed())
        ShowCommandError("Error loading SoundFont (%s)", loaded);
    // A file still selected was not loaded (refused, or cancelled): the meter keeps saying
    // what it needs of the device.
    const CTreeItemData* selected = m_tree.SelectedRecord();
    if (selected && selected->kind == TreeItemKind::SoundFontFile)
        m_meter.UpdateForFile(m_card, device, selected->item.GetPath());
    else
        UpdateMemoryMeter(device);
}

void CTreeCommands::ShowCommandError(const char* format, const EngineResult& failure)
{
    ErrorBox(m_owner, MB_ICONSTOP | MB_OK, "Error", format, failure.Text());
}

void CTreeCommands::ClearDevice(int device)
{
    CardResult cleared = m_card.Clear(device);
    if (cleared.openFailed) {
        ShowCommandError("Error opening SoundFont device (%s)", cleared.result);
        return;
    }
    // Some banks may have gone even when the engine reports a failure.
    m_banks.ForgetDevice(device);
    if (cleared.result.Failed()) {
        ShowCommandError("Error clearing SoundFonts (%s)", cleared.result);
        return;
    }
    RefreshTree();
}

void CTreeCommands::AddFolder()
{
    CShellItem folder;
    folder.SetSpecialFolder(kDrivesFolder);
    if (folder.BrowseForFolder("Select folder with SoundFonts", BIF_RETURNONLYFSDIRS) != 0)
        return;
    m_settings.AddFolder(folder);
    RefreshTree();
}

void CTreeCommands::RemoveFolder(const std::string& path)
{
    m_settings.RemoveFolder(path);
    RefreshTree();
}

LRESULT CTreeCommands::OnTreeDoubleClick()
{
    if (!SelectItemUnderMouse())
        return 0;
    return ActivateSelectedItem() ? 1 : 0;
}

void CTreeCommands::OnEnter()
{
    if (GetFocus() == m_tree.Window())
        ActivateSelectedItem();
}

// Loads the selected SoundFont file on disk, says why a damaged one can't be, or asks for a
// folder to list from the prompt of an empty list; other items only show their device's memory.
bool CTreeCommands::ActivateSelectedItem()
{
    CTreeItemData* record = m_tree.SelectedRecord();
    if (!record)
        return false;
    UpdateMeterForRecord(*record);
    if (record->kind == TreeItemKind::SoundFontFile) {
        std::string path = record->item.GetPath();
        LoadFromMenu(DefaultLoadDevice(), path, true);
    } else if (record->kind == TreeItemKind::AddFolderPrompt) {
        AddFolder();
    } else if (record->kind == TreeItemKind::DamagedSoundFontFile) {
        ErrorBox(m_owner, MB_ICONSTOP | MB_OK, "Error", "%s",
                 DamagedFileMessage(record->item.GetPath(), record->damage).c_str());
    }
    return true;
}

void CTreeCommands::OnTreeKeyDown(WORD key)
{
    if (key == VK_F5) {
        RefreshFromCard();
        return;
    }
    if (key != VK_DELETE)
        return;
    CTreeItemData* record = m_tree.SelectedRecord();
    if (record && record->kind == TreeItemKind::LoadedBank)
        DeleteBank(record->device, record->bank);
}

bool CTreeCommands::AskForSoundFontFile(std::string& path)
{
    wchar_t file[kMaxLoadPath + 1] = {};
    std::wstring folder = WidenUtf8(m_settings.lastOpenDir).substr(0, kMaxLoadPath);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_owner;
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
    m_settings.lastOpenDir = FolderOf(path);
    return true;
}

EngineResult CTreeCommands::LoadSoundFont(int& device, const std::string& path, bool direct)
{
    std::string file = NarrowToUtf8(WidenUtf8(path).substr(0, kMaxLoadPath));
    if (file.empty() && !AskForSoundFontFile(file))
        return EngineResult();
    int bank = FindFreeBank(device);
    if (!direct) {
        std::vector<std::string> names;
        m_engine.GetDeviceNames(names);
        if (!ChooseLoadDestination(m_owner, names, device, bank))
            return EngineResult();
    }
    bool loaded = false;
    if (EngineResult result = LoadIntoBank(device, bank, file, loaded); result.Failed() || !loaded)
        return result;
    RefreshTree(false);
    ShowLoadedBank(device, bank);
    return EngineResult();
}

EngineResult CTreeCommands::LoadIntoBank(int device, int bank, const std::string& path, bool& loaded)
{
    loaded = false;
    std::string file = path.substr(0, kMaxLoadPath);
    if (RefuseLoadThatCantFit(m_owner, m_card.CheckFit(device, bank, file), file))
        return EngineResult();
    CardResult result = m_card.Load(device, bank, file);
    if (result.openFailed)
        return result.result;
    m_banks.ForgetBank(device, bank);
    loaded = result.Ok();
    return result.result;
}

HTREEITEM CTreeCommands::ExpandDevice(int device)
{
    Open(m_tree.LoadedRoot());
    HTREEITEM deviceItem = m_tree.DeviceItem(device);
    if (deviceItem)
        Open(deviceItem);
    return deviceItem;
}

void CTreeCommands::ShowLoadedBank(int device, int bank)
{
    HWND tree = m_tree.Window();
    HTREEITEM bankItem = m_tree.BankItem(ExpandDevice(device), bank);
    if (!bankItem)
        return;
    Open(bankItem);
    if (HTREEITEM firstPreset = TreeView_GetChild(tree, bankItem))
        TreeView_SelectItem(tree, firstPreset);
}

EngineResult CTreeCommands::DeleteBank(int device, int bank)
{
    CardResult result = m_card.DeleteBank(device, bank);
    if (result.openFailed)
        return result.result;
    m_banks.ForgetBank(device, bank);
    if (result.result.Failed())
        return result.result;
    RefreshTree();
    ExpandDevice(device);
    return EngineResult();
}

int CTreeCommands::FindFreeBank(int device)
{
    return m_card.FreeBank(device, PreviewBankOf(m_settings.preview));
}

int CTreeCommands::DefaultLoadDevice()
{
    CDeviceMap& deviceMap = m_settings.preview.deviceMap;
    return m_card.DefaultDevice([&](const std::string& name) { return deviceMap.EntryFor(name).enabled; });
}
