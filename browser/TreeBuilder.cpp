#include "browser/TreeBuilder.h"

#include "app/core/Diagnostics.h"
#include "app/core/WideText.h"
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

CTreeBuilder::CTreeBuilder(CSoundTree& tree, CSoundFontManager& manager, CDeviceMap& deviceMap,
                           const std::vector<CShellItem>& folders, std::vector<std::string> storedPaths,
                           int deepestFolderLevel)
    : m_tree(tree)
    , m_manager(manager)
    , m_deviceMap(deviceMap)
    , m_folders(folders)
    , m_storedPaths(std::move(storedPaths))
    , m_deepestFolderLevel(deepestFolderLevel)
{
}

void CTreeBuilder::Refresh(HWND owner)
{
    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514))); // IDC_WAIT
    int deviceCount = m_manager.GetDeviceCount();
    if (deviceCount < 1) {
        ErrorBox(owner, MB_ICONSTOP | MB_OK, "Error", "No SoundFont compatible devices installed");
        SetCursor(previousCursor);
        return;
    }
    HWND tree = m_tree.Window();
    // Drawing each of many thousand insertions would cost more than the insertions.
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    m_tree.DeleteAll();
    Insert(1, Record(TreeItemKind::LoadedRoot), "Loaded SoundFonts");
    for (int device = 0; device < deviceCount; ++device)
        ListDevice(device);
    Insert(1, Record(TreeItemKind::DiskRoot), "Sound Files on disk");
    for (std::size_t i = 0; i < m_folders.size(); ++i)
        ListFolder(m_folders[i], i < m_storedPaths.size() ? m_storedPaths[i] : std::string());
    TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_EXPAND);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    SetCursor(previousCursor);
}

void CTreeBuilder::ListDevice(int device)
{
    std::string name;
    m_manager.GetDeviceName(device, name);
    if (!m_deviceMap.EntryFor(name).enabled)
        return;
    TreeItemRecord record = Record(TreeItemKind::Device);
    record.device = static_cast<std::uint8_t>(device);
    Insert(2, record, "%s", AnsiToUtf8(name).c_str());
    m_manager.OpenDevice(device);
    for (int bank = 1; bank <= kLastBank; ++bank) {
        if (m_manager.QueryBank(bank) != bank)
            continue;
        std::string bankName;
        if (m_manager.GetBankName(bank, bankName) != 0)
            break;
        // Asked once: the "user bank" name and the preset list both come from it.
        std::string path;
        if (m_manager.GetBankFileName(bank, path) != 0)
            path.clear();
        if (EqualsIgnoringCase(bankName, "user bank"))
            bankName = BaseNameOf(path);
        else
            bankName = AnsiToUtf8(bankName);
        TreeItemRecord bankRecord = Record(TreeItemKind::LoadedBank);
        bankRecord.device = static_cast<std::uint8_t>(device);
        bankRecord.bank = static_cast<std::uint8_t>(bank);
        Insert(3, bankRecord, "%03d - %s", bank, bankName.c_str());
        ListBankPresets(device, bank, path);
    }
    m_manager.CloseDevice();
}

void CTreeBuilder::ListBankPresets(int device, int bank, const std::string& path)
{
    std::vector<PresetHeader> entries;
    if (path.empty() || !ReadPresetHeaders(path, entries)) {
        ListEnginePresets(device, bank);
        return;
    }
    std::sort(entries.begin(), entries.end());
    TreeItemRecord record = Record(TreeItemKind::BankPreset);
    record.device = static_cast<std::uint8_t>(device);
    record.bank = static_cast<std::uint8_t>(bank);
    try {
        for (const PresetHeader& entry : entries) {
            int preset = entry.Preset();
            int fileBank = entry.Bank();
            record.preset = static_cast<std::uint8_t>(preset);
            if (fileBank == 0) {
                std::string engineName;
                if (m_manager.GetPresetName(bank, preset, engineName) != 0 || engineName.empty())
                    continue;
                record.fileBank = 0;
                Insert(4, record, "%03d %s", preset, AnsiToUtf8(engineName).c_str());
            } else if (IsPercussionBank(fileBank)) {
                record.fileBank = static_cast<std::uint8_t>(fileBank);
                Insert(4, record, "%03d %s", preset, AnsiToUtf8(entry.Name()).c_str());
            }
        }
    } catch (const std::exception&) {
        // Out of memory among thousands of presets: the bank keeps those listed so far.
        DebugTrace("Couldn't list every preset of soundfont %s\n", path.c_str());
    }
}

void CTreeBuilder::ListEnginePresets(int device, int bank)
{
    TreeItemRecord record = Record(TreeItemKind::BankPreset);
    record.device = static_cast<std::uint8_t>(device);
    record.bank = static_cast<std::uint8_t>(bank);
    for (int preset = 0; preset < kPresetCount; ++preset) {
        std::string engineName;
        if (m_manager.GetPresetName(bank, preset, engineName) != 0 || engineName.empty())
            continue;
        record.preset = static_cast<std::uint8_t>(preset);
        Insert(4, record, "%03d %s", preset, AnsiToUtf8(engineName).c_str());
    }
}

void CTreeBuilder::ListFolder(const CShellItem& listed, const std::string& storedPath)
{
    std::vector<std::pair<CShellItem, int>> stack;
    stack.emplace_back(listed, 2);
    while (!stack.empty()) {
        std::pair<CShellItem, int> top = std::move(stack.back());
        stack.pop_back();
        const CShellItem& folder = top.first;
        int level = top.second;
        TreeItemRecord record;
        record.item = folder;
        if (folder.IsEqual(listed)) {
            record.kind = TreeItemKind::ListedFolder;
            record.listedPath = ListedPathOf(folder, storedPath);
            Insert(level, record, "%s", record.listedPath.c_str());
        } else {
            record.kind = TreeItemKind::SubFolder;
            Insert(level, record, "%s", folder.GetDisplayName().c_str());
        }
        ListFiles(folder, level);
        CShellItemList subfolders;
        if (folder.EnumChildren(subfolders, SHCONTF_FOLDERS) < 0)
            continue;
        if (!subfolders.empty() && level + 1 > m_deepestFolderLevel) {
            DebugTrace("Folder %s is nested too deeply; its subfolders are not listed\n",
                       folder.GetPath().c_str());
            continue;
        }
        for (CShellItem& subfolder : subfolders)
            stack.emplace_back(std::move(subfolder), level + 1);
    }
}

void CTreeBuilder::ListFiles(const CShellItem& folder, int level)
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
            ListSoundFontFile(file, path, level + 1);
        } else if (EqualsIgnoringCase(extension, ".wav")) {
            TreeItemRecord record = Record(TreeItemKind::WaveFile);
            record.item = file;
            Insert(level + 1, record, "%s", file.GetDisplayName().c_str());
        }
    }
}

void CTreeBuilder::ListSoundFontFile(const CShellItem& file, const std::string& path, int level)
{
    SoundFontSummary summary;
    if (!ReadSoundFont(path, summary))
        DebugTrace("Couldn't get preset list for soundfont %s\n", path.c_str());
    TreeItemRecord record = SoundFontFileRecord(file, summary.damage);
    Insert(level, record, "%s", file.GetDisplayName().c_str());
    if (record.kind == TreeItemKind::DamagedSoundFontFile)
        return;

    std::vector<PresetHeader>& entries = summary.presets;
    std::sort(entries.begin(), entries.end());
    record.kind = TreeItemKind::FilePreset;
    try {
        for (const PresetHeader& entry : entries) {
            record.bank = static_cast<std::uint8_t>(entry.Bank());
            record.fileBank = static_cast<std::uint8_t>(entry.Bank());
            record.preset = static_cast<std::uint8_t>(entry.Preset());
            Insert(level + 1, record, "%03d-%03d %s", entry.Bank(), entry.Preset(),
                   AnsiToUtf8(entry.Name()).c_str());
        }
    } catch (const std::exception&) {
        // Out of memory among thousands of presets: the file keeps those listed so far.
        DebugTrace("Couldn't list every preset of soundfont %s\n", path.c_str());
    }
}

void CTreeBuilder::Insert(int level, const TreeItemRecord& record, const char* format, ...)
{
    char text[kItemTextSize];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    m_tree.InsertTreeItem(text, level, record);
}
