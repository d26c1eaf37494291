#include "browser/TreeBuilder.h"

#include "base/Diagnostics.h"
#include "base/WideText.h"
#include "browser/SoundFontFileItem.h"
#include "engine/BankNumbers.h"
#include "sf2/PresetReader.h"
#include "sf2/SoundFontReader.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <exception>
#include <utility>

namespace {

// Every item text is formatted into a buffer of this size (UTF-8: 255 UTF-16 units can take
// three bytes each); the tree cuts it to 255 units.
constexpr std::size_t kItemTextSize = 1024;
constexpr int kPresetCount = 128;

TreeItemRecord Record(TreeItemKind kind)
{
    TreeItemRecord record;
    record.kind = kind;
    return record;
}

// The cursor shows the wait picture while the object lives.
class CWaitCursor {
public:
    CWaitCursor()
        : m_previous(SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) // IDC_WAIT
    {
    }
    ~CWaitCursor() { SetCursor(m_previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

// The kinds whose children are listed when they are first opened.
bool CanHaveChildren(TreeItemKind kind)
{
    return kind == TreeItemKind::Device || kind == TreeItemKind::LoadedBank || kind == TreeItemKind::ListedFolder ||
           kind == TreeItemKind::SubFolder || kind == TreeItemKind::SoundFontFile;
}

bool EqualsIgnoringCase(const std::string& text, const char* other)
{
    return lstrcmpiA(text.c_str(), other) == 0;
}

std::size_t LastSeparator(const std::string& path)
{
    return path.find_last_of("\\/");
}

} // namespace

std::string BaseNameOf(const std::string& path)
{
    std::size_t separator = LastSeparator(path);
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ExtensionOf(const std::string& name)
{
    std::size_t dot = name.rfind('.');
    std::size_t separator = LastSeparator(name);
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return std::string();
    return name.substr(dot);
}

CTreeBuilder::CTreeBuilder(CSoundTree& tree, CSoundFontEngine& manager, CDeviceMap& deviceMap,
                           CLoadedBankCache& banks, const std::vector<CShellItem>& folders,
                           std::vector<std::string> storedPaths, int deepestFolderLevel)
    : m_tree(tree)
    , m_manager(manager)
    , m_deviceMap(deviceMap)
    , m_banks(banks)
    , m_folders(folders)
    , m_storedPaths(std::move(storedPaths))
    , m_deepestFolderLevel(deepestFolderLevel)
{
}

bool CTreeBuilder::Refresh(HWND owner)
{
    CWaitCursor wait;
    int deviceCount = m_manager.GetDeviceCount();
    if (deviceCount < 1) {
        ErrorBox(owner, MB_ICONSTOP | MB_OK, "Error", "No SoundFont compatible devices installed");
        return false;
    }
    m_tree.DeleteAll();
    HTREEITEM loadedRoot = Insert(TVI_ROOT, Record(TreeItemKind::LoadedRoot), false, "Loaded SoundFonts");
    ListDevices(loadedRoot, deviceCount);
    HTREEITEM diskRoot = Insert(TVI_ROOT, Record(TreeItemKind::DiskRoot), false, "Sound Files on disk");
    ListFolders(diskRoot);
    TreeView_Expand(m_tree.Window(), loadedRoot, TVE_EXPAND);
    // Nothing listed yet: the way to list something is in sight.
    if (m_folders.empty())
        TreeView_Expand(m_tree.Window(), diskRoot, TVE_EXPAND);
    return true;
}

void CTreeBuilder::ListChildren(HTREEITEM item)
{
    CTreeItemData* data = m_tree.RecordOf(item);
    if (!data || data->childrenListed)
        return;
    data->childrenListed = true;
    if (!CanHaveChildren(data->kind))
        return;
    CWaitCursor wait;
    // The record stays where it is while items are added; its values are copied all the same.
    const TreeItemRecord record = *data;
    switch (record.kind) {
    case TreeItemKind::Device:
        data->childrenListed = ListBanks(item, record.device);
        break;
    case TreeItemKind::LoadedBank:
        data->childrenListed = ListBankPresets(item, record.device, record.bank);
        break;
    case TreeItemKind::SoundFontFile:
        ListSoundFontFile(item, record.item);
        break;
    default:
        ListFolder(item, record.item);
        break;
    }
    if (data->childrenListed && !TreeView_GetChild(m_tree.Window(), item))
        m_tree.SetHasChildren(item, false);
}

void CTreeBuilder::ListDevices(HTREEITEM root, int deviceCount)
{
    for (int device = 0; device < deviceCount; ++device) {
        std::string name;
        m_manager.GetDeviceName(device, name);
        if (!m_deviceMap.EntryFor(name).enabled)
            continue;
        TreeItemRecord record = Record(TreeItemKind::Device);
        record.device = static_cast<std::uint8_t>(device);
        record.softwareDevice = m_manager.IsSoftwareDevice(device);
        Insert(root, record, true, "%s", AnsiToUtf8(name).c_str());
    }
    if (CTreeItemData* data = m_tree.RecordOf(root))
        data->childrenListed = true;
}

void CTreeBuilder::ListFolders(HTREEITEM root)
{
    for (std::size_t i = 0; i < m_folders.size(); ++i) {
        TreeItemRecord record = Record(TreeItemKind::ListedFolder);
        record.item = m_folders[i];
        record.listedPath = ListedPathOf(m_folders[i], i < m_storedPaths.size() ? m_storedPaths[i] : std::string());
        Insert(root, record, true, "%s", record.listedPath.c_str());
    }
    if (m_folders.empty())
        Insert(root, Record(TreeItemKind::AddFolderPrompt), false, "Add a folder of SoundFonts\xE2\x80\xA6");
    if (CTreeItemData* data = m_tree.RecordOf(root))
        data->childrenListed = true;
}

bool CTreeBuilder::ListBanks(HTREEITEM deviceItem, int device)
{
    CSfmDevice open = m_manager.Open(device);
    if (!open.IsOpen())
        return false;
    CLoadedBankCache::DeviceBanks& banks = m_banks.Banks(device);
    for (int bank = kFirstBank; bank <= kLastBank; ++bank) {
        CachedBank& entry = banks[static_cast<std::size_t>(bank)];
        // A bank whose name can't be had ends the list, as it always did.
        if (entry.state == CachedBank::State::Unknown && !ReadBank(open, bank, entry))
            break;
        if (entry.state != CachedBank::State::Loaded)
            continue;
        TreeItemRecord record = Record(TreeItemKind::LoadedBank);
        record.device = static_cast<std::uint8_t>(device);
        record.bank = static_cast<std::uint8_t>(bank);
        Insert(deviceItem, record, !entry.presetsKnown || !entry.presets.empty(), "%03d - %s", bank,
               entry.name.c_str());
    }
    return true;
}

// False when the bank's name could not be had. An answer that is neither "empty" nor the bank
// itself is not kept: the bank is asked for again next time.
bool CTreeBuilder::ReadBank(CSfmDevice& device, int bank, CachedBank& entry)
{
    int answer = -1;
    EngineResult queried = device.QueryBank(bank, answer);
    if (answer != bank) {
        if (answer == -1 && queried.Ok())
            entry.state = CachedBank::State::Empty;
        return true;
    }
    std::string name;
    if (device.BankName(bank, name).Failed())
        return false;
    // Asked once: the "user bank" name and the preset list both come from it.
    std::string path;
    if (device.BankFileName(bank, path).Failed())
        path.clear();
    if (EqualsIgnoringCase(name, "user bank"))
        name = BaseNameOf(path);
    else
        name = AnsiToUtf8(name);
    entry.state = CachedBank::State::Loaded;
    entry.name = std::move(name);
    entry.path = std::move(path);
    return true;
}

bool CTreeBuilder::ListBankPresets(HTREEITEM bankItem, int device, int bank)
{
    CachedBank& entry = m_banks.Banks(device)[static_cast<std::size_t>(bank)];
    if (entry.state != CachedBank::State::Loaded)
        return true;
    if (!entry.presetsKnown) {
        CSfmDevice open = m_manager.Open(device);
        if (!open.IsOpen())
            return false;
        CachedBank read = entry;
        read.presets.clear();
        read.presetsKnown = ReadBankPresets(open, bank, read);
        open.Close();
        entry = std::move(read);
    }
    TreeItemRecord record = Record(TreeItemKind::BankPreset);
    record.device = static_cast<std::uint8_t>(device);
    record.bank = static_cast<std::uint8_t>(bank);
    try {
        for (const CachedPreset& preset : entry.presets) {
            record.preset = preset.preset;
            record.fileBank = preset.fileBank;
            Insert(bankItem, record, false, "%s", preset.text.c_str());
        }
    } catch (const std::exception&) {
        DebugTrace("Couldn't list every preset of soundfont %s\n", entry.path.c_str());
    }
    return true;
}

// The presets of the bank in the order the tree shows them; false when the engine failed to
// name one, so that the list is asked for again next time.
bool CTreeBuilder::ReadBankPresets(CSfmDevice& device, int bank, CachedBank& entry)
{
    bool complete = true;
    std::vector<PresetHeader> headers;
    if (entry.path.empty() || !ReadPresetHeaders(entry.path, headers)) {
        ReadEnginePresets(device, bank, entry, complete);
        return complete;
    }
    std::sort(headers.begin(), headers.end());
    char text[kItemTextSize];
    try {
        for (const PresetHeader& header : headers) {
            int preset = header.Preset();
            int fileBank = header.Bank();
            if (fileBank == 0) {
                std::string engineName;
                EngineResult named = device.PresetName(bank, preset, engineName);
                if (named.Failed() || engineName.empty()) {
                    complete &= named.Ok();
                    continue;
                }
                std::snprintf(text, sizeof text, "%03d %s", preset, AnsiToUtf8(engineName).c_str());
            } else if (IsPercussionBank(fileBank)) {
                std::snprintf(text, sizeof text, "%03d %s", preset, AnsiToUtf8(header.Name()).c_str());
            } else {
                continue;
            }
            entry.presets.push_back({static_cast<std::uint8_t>(preset), static_cast<std::uint8_t>(fileBank), text});
        }
    } catch (const std::exception&) {
        // Out of memory among thousands of presets: the bank keeps those listed so far.
        DebugTrace("Couldn't list every preset of soundfont %s\n", entry.path.c_str());
        return false;
    }
    return complete;
}

void CTreeBuilder::ReadEnginePresets(CSfmDevice& device, int bank, CachedBank& entry, bool& complete)
{
    char text[kItemTextSize];
    for (int preset = 0; preset < kPresetCount; ++preset) {
        std::string engineName;
        EngineResult named = device.PresetName(bank, preset, engineName);
        if (named.Failed() || engineName.empty()) {
            complete &= named.Ok();
            continue;
        }
        std::snprintf(text, sizeof text, "%03d %s", preset, AnsiToUtf8(engineName).c_str());
        entry.presets.push_back({static_cast<std::uint8_t>(preset), 0, text});
    }
}

// The folder's files first, then its subfolders in the reverse of the shell's order.
void CTreeBuilder::ListFolder(HTREEITEM folderItem, const CShellItem& folder)
{
    ListFiles(folderItem, folder);
    CShellItemList subfolders;
    if (folder.EnumChildren(subfolders, SHCONTF_FOLDERS) < 0)
        return;
    if (!subfolders.empty() && m_tree.LevelOf(folderItem) + 1 > m_deepestFolderLevel) {
        DebugTrace("Folder %s is nested too deeply; its subfolders are not listed\n", folder.GetPath().c_str());
        return;
    }
    TreeItemRecord record = Record(TreeItemKind::SubFolder);
    for (auto subfolder = subfolders.rbegin(); subfolder != subfolders.rend(); ++subfolder) {
        record.item = std::move(*subfolder);
        Insert(folderItem, record, true, "%s", record.item.GetDisplayName().c_str());
    }
}

void CTreeBuilder::ListFiles(HTREEITEM folderItem, const CShellItem& folder)
{
    CShellItemList files;
    if (folder.EnumChildren(files, SHCONTF_NONFOLDERS) < 0)
        return;
    for (const CShellItem& file : files) {
        // The kind comes from the path: Windows hides the extensions of known file types in
        // the names it shows, by default.
        std::string path = file.GetPath();
        std::string extension = ExtensionOf(path);
        if (extension == ".sf2" || extension == ".SF2") {
            // Only the chunk headers are read: enough for a damaged file to show its picture.
            SoundFontSummary summary;
            if (!ReadSoundFont(path, summary, false))
                DebugTrace("Couldn't get preset list for soundfont %s\n", path.c_str());
            TreeItemRecord record = SoundFontFileRecord(file, summary.damage);
            Insert(folderItem, record, record.kind == TreeItemKind::SoundFontFile, "%s",
                   file.GetDisplayName().c_str());
        } else if (EqualsIgnoringCase(extension, ".wav")) {
            TreeItemRecord record = Record(TreeItemKind::WaveFile);
            record.item = file;
            Insert(folderItem, record, false, "%s", file.GetDisplayName().c_str());
        }
    }
}

void CTreeBuilder::ListSoundFontFile(HTREEITEM fileItem, const CShellItem& file)
{
    std::string path = file.GetPath();
    SoundFontSummary summary;
    if (!ReadSoundFont(path, summary)) {
        DebugTrace("Couldn't get preset list for soundfont %s\n", path.c_str());
        // Damaged since its folder was listed: shown as damaged from now on.
        if (summary.damage != SoundFontDamage::None)
            m_tree.ReplaceRecord(fileItem, SoundFontFileRecord(file, summary.damage));
        return;
    }
    std::vector<PresetHeader>& entries = summary.presets;
    std::sort(entries.begin(), entries.end());
    TreeItemRecord record = Record(TreeItemKind::FilePreset);
    record.item = file;
    try {
        for (const PresetHeader& entry : entries) {
            record.bank = static_cast<std::uint8_t>(entry.Bank());
            record.fileBank = static_cast<std::uint8_t>(entry.Bank());
            record.preset = static_cast<std::uint8_t>(entry.Preset());
            Insert(fileItem, record, false, "%03d-%03d %s", entry.Bank(), entry.Preset(),
                   AnsiToUtf8(entry.Name()).c_str());
        }
    } catch (const std::exception&) {
        // Out of memory among thousands of presets: the file keeps those listed so far.
        DebugTrace("Couldn't list every preset of soundfont %s\n", path.c_str());
    }
}

HTREEITEM CTreeBuilder::Insert(HTREEITEM parent, const TreeItemRecord& record, bool hasChildren, const char* format,
                               ...)
{
    char text[kItemTextSize];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return m_tree.InsertChild(parent, text, record, hasChildren);
}
