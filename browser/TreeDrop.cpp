#include "browser/TreeDrop.h"

#include "base/Diagnostics.h"
#include "base/WideText.h"

namespace {

bool IsSoundFontName(const std::wstring& path)
{
    return path.size() > 4 && lstrcmpiW(path.c_str() + path.size() - 4, L".sf2") == 0;
}

std::wstring DroppedPath(HDROP drop, UINT index)
{
    UINT length = DragQueryFileW(drop, index, nullptr, 0);
    if (length == 0)
        return std::wstring();
    std::wstring path(length + 1, L'\0');
    UINT copied = DragQueryFileW(drop, index, &path[0], length + 1);
    path.resize(copied);
    return path;
}

} // namespace

CTreeDrop::CTreeDrop(CSoundTree& tree, CTreeCommands& commands, SettingsModel& settings)
    : m_tree(tree)
    , m_commands(commands)
    , m_settings(settings)
{
}

void CTreeDrop::Accept(HWND owner)
{
    m_owner = owner;
    DragAcceptFiles(owner, TRUE);
}

CTreeDrop::Dropped CTreeDrop::ReadDropped(HDROP drop)
{
    Dropped dropped;
    // This index asks for the number of files instead of one of them.
    constexpr UINT kFileCount = 0xFFFFFFFF;
    UINT count = DragQueryFileW(drop, kFileCount, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path = DroppedPath(drop, i);
        DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            dropped.folders.push_back(NarrowToUtf8(path));
        else if (IsSoundFontName(path))
            dropped.soundFonts.push_back(NarrowToUtf8(path));
    }
    return dropped;
}

CTreeDrop::Target CTreeDrop::TargetAt(HDROP drop) const
{
    Target target;
    POINT point = {};
    if (!DragQueryPoint(drop, &point))
        return target;
    HWND tree = m_tree.Window();
    MapWindowPoints(m_owner, tree, &point, 1);
    RECT client = {};
    GetClientRect(tree, &client);
    if (!PtInRect(&client, point))
        return target;
    TVHITTESTINFO hit = {};
    hit.pt = point;
    const CTreeItemData* record = m_tree.RecordOf(TreeView_HitTest(tree, &hit));
    if (!record)
        return target;
    target.onItem = true;
    target.kind = record->kind;
    target.device = record->device;
    if (record->kind == TreeItemKind::LoadedBank || record->kind == TreeItemKind::BankPreset)
        target.bank = record->bank;
    return target;
}

void CTreeDrop::OnDropFiles(HDROP drop)
{
    Dropped dropped = ReadDropped(drop);
    Target target = TargetAt(drop);
    DragFinish(drop);

    if (dropped.soundFonts.empty() && dropped.folders.empty()) {
        ErrorBox(m_owner, MB_ICONINFORMATION | MB_OK, "Error",
                 "Nothing was dropped that Tonewell can use: drop SoundFont files (.sf2) to load "
                 "them, or folders to list them.");
        return;
    }
    bool addFolders = dropped.soundFonts.empty() || (target.onItem && target.kind == TreeItemKind::DiskRoot);
    int device = -1;
    int bank = 0;
    bool loaded = LoadSoundFonts(dropped.soundFonts, target, device, bank);
    if (addFolders)
        AddFolders(dropped.folders);
    if (!loaded && !(addFolders && !dropped.folders.empty()))
        return;
    // A load selects its bank's first preset itself.
    m_commands.RefreshTree(!loaded);
    if (loaded) {
        m_commands.ShowLoadedBank(device, bank);
        m_commands.UpdateMemoryMeter(device);
    }
}

bool CTreeDrop::LoadSoundFonts(const std::vector<std::string>& files, const Target& target, int& device,
                               int& bank)
{
    bool onDevice = target.onItem && (target.kind == TreeItemKind::Device || target.bank != 0);
    int into = onDevice ? target.device : m_commands.DefaultLoadDevice();
    bool anyLoaded = false;
    for (const std::string& file : files) {
        int intoBank = onDevice && target.bank != 0 ? target.bank : m_commands.FindFreeBank(into);
        bool loaded = false;
        if (EngineResult result = m_commands.LoadIntoBank(into, intoBank, file, loaded); result.Failed())
            m_commands.ShowCommandError("Error loading SoundFont (%s)", result);
        if (loaded) {
            anyLoaded = true;
            device = into;
            bank = intoBank;
        }
    }
    return anyLoaded;
}

void CTreeDrop::AddFolders(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        CShellItem item(folder);
        if (!item.IsEmpty())
            m_settings.AddFolder(item);
    }
}
