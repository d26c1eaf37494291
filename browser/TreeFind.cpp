#include "browser/TreeFind.h"

#include "base/WideText.h"
#include "base/resource.h"
#include "browser/SoundFontFileWalk.h"
#include "engine/BankNumbers.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr int kBoxHeight = 21;
constexpr int kGap = 2;

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                                  b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

// Whether `path` lies below the folder `folder`.
bool IsBelow(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.size() <= folder.size())
        return false;
    bool separated = folder.back() == '\\' || path[folder.size()] == '\\';
    return separated && EqualIgnoringCase(path.substr(0, folder.size()), folder);
}

void AddColumn(HWND list, int index, int width, const char* text)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

// `text` in UTF-8.
void SetCell(HWND list, int row, int column, const std::string& text)
{
    std::wstring wide = WidenUtf8(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = &wide[0];
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The child of `parent` whose record passes `wanted`, or null.
template <typename Wanted>
HTREEITEM ChildWhere(const CSoundTree& tree, HTREEITEM parent, Wanted wanted)
{
    HWND window = tree.Window();
    for (HTREEITEM child = TreeView_GetChild(window, parent); child; child = TreeView_GetNextSibling(window, child)) {
        const CTreeItemData* record = tree.RecordOf(child);
        if (record && wanted(*record))
            return child;
    }
    return nullptr;
}

// The tree keeps a preset's bank in eight bits: 0 for the melodic presets of a loaded bank.
bool IsPresetOf(const TreeItemRecord& record, const IndexedPreset& preset, bool loadedBank)
{
    std::uint8_t fileBank = loadedBank && preset.bank < 128 ? 0 : static_cast<std::uint8_t>(preset.bank);
    return record.preset == static_cast<std::uint8_t>(preset.program) && record.fileBank == fileBank;
}

} // namespace

CTreeFind::CTreeFind(CSoundTree& tree, CTreeCommands& commands, CSoundFontEngine& engine, SettingsModel& settings)
    : m_tree(tree)
    , m_commands(commands)
    , m_engine(engine)
    , m_settings(settings)
    , m_builder(m_index, WalkSoundFontFiles)
{
}

namespace {

const char kBoxPreviousProcedure[] = "TonewellFindBoxProcedure";

// The find box's own keys: Ctrl+F there selects what the box holds, so that the next search
// replaces the last instead of adding to it.
LRESULT CALLBACK FindBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(box, kBoxPreviousProcedure));
    if (message == WM_KEYDOWN && wParam == 'F' && GetKeyState(VK_CONTROL) < 0) {
        SendMessageA(box, EM_SETSEL, 0, -1);
        return 0;
    }
    constexpr WPARAM kControlF = 0x06; // the character Ctrl+F types
    if (message == WM_CHAR && wParam == kControlF)
        return 0;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(box, kBoxPreviousProcedure);
    }
    return CallWindowProcA(previous, box, message, wParam, lParam);
}

} // namespace

void CTreeFind::Create(HWND owner)
{
    m_owner = owner;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    HWND tree = m_tree.Window();
    m_box = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                            10, kBoxHeight, owner, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIND_EDIT)),
                            instance, nullptr);
    m_results = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS, 0, 0, 10, 10, owner,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIND_RESULTS)), instance, nullptr);
    SendMessageA(m_results, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                 LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    SetPropA(m_box, kBoxPreviousProcedure,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(m_box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindBoxProcedure))));
    // Says what the box is for while it is empty, the focus in it or not.
    SendMessageW(m_box, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Find a sound (Ctrl+F)"));
    AddColumn(m_results, 0, 150, "Name");
    AddColumn(m_results, 1, 60, "Preset");
    AddColumn(m_results, 2, 300, "Where");
    WPARAM font = static_cast<WPARAM>(SendMessageA(owner, WM_GETFONT, 0, 0));
    SendMessageA(m_box, WM_SETFONT, font, FALSE);
    SendMessageA(m_results, WM_SETFONT, font, FALSE);
    // The box comes before the tree in the tab order, and takes its room from the tree's top.
    SetWindowPos(m_box, GetWindow(tree, GW_HWNDPREV), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(m_results, tree, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT rect = {};
    GetWindowRect(tree, &rect);
    MapWindowPoints(HWND_DESKTOP, owner, reinterpret_cast<POINT*>(&rect), 2);
    rect.top += kBoxHeight + kGap;
    SetWindowPos(tree, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Place(rect);
}

void CTreeFind::Place(const RECT& tree)
{
    if (!m_box)
        return;
    SetWindowPos(m_box, nullptr, tree.left, tree.top - kBoxHeight - kGap, tree.right - tree.left, kBoxHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_results, nullptr, tree.left, tree.top, tree.right - tree.left, tree.bottom - tree.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTreeFind::RebuildIndex()
{
    std::vector<PresetSource> banks;
    m_deviceNames.clear();
    m_engine.GetDeviceNames(m_deviceNames);
    for (std::size_t device = 0; device < m_deviceNames.size(); ++device) {
        if (!m_settings.preview.deviceMap.EntryFor(m_deviceNames[device]).enabled)
            continue;
        CSfmDevice open = m_engine.Open(static_cast<int>(device));
        if (!open.IsOpen())
            continue;
        for (int bank = kFirstBank; bank <= kLastBank; ++bank) {
            std::string path;
            if (open.IsBankLoaded(bank) && open.BankFileName(bank, path).Ok() && !path.empty())
                banks.push_back({static_cast<int>(device), bank, path});
        }
    }
    std::vector<std::string> folders;
    for (const CShellItem& folder : m_settings.folders) {
        std::string path = folder.GetPath();
        if (!path.empty())
            folders.push_back(path);
    }
    m_builder.Start(std::move(banks), std::move(folders));
    m_searchedPresets = 0;
    if (m_owner)
        SetTimer(m_owner, kProgressTimer, 150, nullptr);
}

void CTreeFind::GiveWayToWindow()
{
    // Long enough for the work and the painting after it.
    m_builder.GiveWayUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(250));
}

bool CTreeFind::OnTimer(UINT_PTR id)
{
    if (id != kProgressTimer)
        return false;
    PresetIndexCounts counts = m_index.Counts();
    if (counts.complete)
        KillTimer(m_owner, kProgressTimer);
    // Results appear as files are read; those shown keep their rows, as the index only grows.
    if (counts.presets != m_searchedPresets && !BoxText().empty() && m_shown.size() < kShownResults)
        Search();
    return true;
}

std::string CTreeFind::BoxText() const
{
    char text[256] = {};
    GetWindowTextA(m_box, text, sizeof text);
    return text;
}

void CTreeFind::Focus()
{
    SetFocus(m_box);
    SendMessageA(m_box, EM_SETSEL, 0, -1);
}

bool CTreeFind::OnEscape()
{
    HWND focus = GetFocus();
    if (!m_box || (focus != m_box && focus != m_results))
        return false;
    SetWindowTextA(m_box, "");
    SetFocus(m_tree.Window());
    return true;
}

bool CTreeFind::OnEnter()
{
    HWND focus = GetFocus();
    if (focus == m_box && !m_shown.empty()) {
        SetFocus(m_results);
        ListView_SetItemState(m_results, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return true;
    }
    if (focus != m_results)
        return focus == m_box;
    ActivateResult(ListView_GetNextItem(m_results, -1, LVNI_SELECTED));
    return true;
}

bool CTreeFind::OnCommand(WORD id, WORD code)
{
    if (id != IDC_FIND_EDIT || code != EN_CHANGE)
        return false;
    Search();
    return true;
}

void CTreeFind::Search()
{
    std::string text = BoxText();
    m_searchedPresets = m_index.Counts().presets;
    FillResults(m_index.Search(text, kShownResults));
    ShowResults(!text.empty());
}

void CTreeFind::ShowResults(bool show)
{
    ShowWindow(m_results, show ? SW_SHOWNA : SW_HIDE);
    ShowWindow(m_tree.Window(), show ? SW_HIDE : SW_SHOWNA);
}

void CTreeFind::FillResults(const std::vector<PresetMatch>& matches)
{
    m_filling = true;
    int selected = ListView_GetNextItem(m_results, -1, LVNI_SELECTED);
    SendMessageA(m_results, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_results);
    m_shown = matches;
    for (std::size_t row = 0; row < m_shown.size(); ++row) {
        const PresetMatch& match = m_shown[row];
        // Preset names are the file's 8-bit text, searched as such and shown as the tree shows them.
        std::wstring name = WidenUtf8(AnsiToUtf8(match.preset.name));
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = &name[0];
        int inserted = static_cast<int>(SendMessageW(m_results, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        char number[16];
        std::snprintf(number, sizeof number, "%03u-%03u", match.preset.bank, match.preset.program);
        SetCell(m_results, inserted, 1, number);
        SetCell(m_results, inserted, 2, WhereText(match.source));
    }
    if (selected >= 0 && selected < static_cast<int>(m_shown.size()))
        ListView_SetItemState(m_results, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(m_results, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_results, nullptr, TRUE);
    m_filling = false;
}

std::string CTreeFind::WhereText(const PresetSource& source) const
{
    // The file's name first: a narrow column still tells files of the same preset apart.
    if (!source.IsLoadedBank()) {
        const std::size_t slash = source.path.find_last_of("\\/");
        if (slash == std::string::npos)
            return source.path;
        return source.path.substr(slash + 1) + " in " + source.path.substr(0, slash);
    }
    std::string device = static_cast<std::size_t>(source.device) < m_deviceNames.size()
                             ? AnsiToUtf8(m_deviceNames[static_cast<std::size_t>(source.device)])
                             : "Device " + std::to_string(source.device);
    char bank[32];
    std::snprintf(bank, sizeof bank, ", bank %03d", source.bank);
    return device + bank;
}

bool CTreeFind::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header->idFrom != IDC_FIND_RESULTS)
        return false;
    result = 0;
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        bool nowSelected = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
        if (!m_filling && nowSelected && change->iItem >= 0 && change->iItem < static_cast<int>(m_shown.size()))
            SelectInTree(m_shown[static_cast<std::size_t>(change->iItem)]);
        return true;
    }
    case NM_DBLCLK:
        ActivateResult(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
        return true;
    case LVN_GETINFOTIPA:
    case LVN_GETINFOTIPW:
        TipOfResult(header);
        return true;
    default:
        return false;
    }
}

// A result's tip: the whole path of its file (a bank's result has none).
void CTreeFind::TipOfResult(NMHDR* header) const
{
    auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
    if (tip->iItem < 0 || tip->iItem >= static_cast<int>(m_shown.size()) || tip->cchTextMax <= 0)
        return;
    const PresetSource& source = m_shown[static_cast<std::size_t>(tip->iItem)].source;
    if (source.IsLoadedBank())
        return;
    if (header->code == LVN_GETINFOTIPW) {
        const std::wstring path = WidenUtf8(source.path);
        lstrcpynW(tip->pszText, path.c_str(), tip->cchTextMax);
    } else {
        auto* narrow = reinterpret_cast<NMLVGETINFOTIPA*>(header);
        const std::string path = ExactAnsi(WidenUtf8(source.path)).value_or(source.path);
        lstrcpynA(narrow->pszText, path.c_str(), narrow->cchTextMax);
    }
}

void CTreeFind::ActivateResult(int row)
{
    if (row < 0 || row >= static_cast<int>(m_shown.size()))
        return;
    const PresetSource source = m_shown[static_cast<std::size_t>(row)].source;
    if (source.IsLoadedBank())
        return;
    int device = m_commands.DefaultLoadDevice();
    if (EngineResult loaded = m_commands.LoadSoundFont(device, source.path, true); loaded.Failed())
        m_commands.ShowCommandError("Error loading SoundFont (%s)", loaded);
    m_commands.UpdateMemoryMeter(device);
}

void CTreeFind::SelectInTree(const PresetMatch& match)
{
    HTREEITEM item = match.source.IsLoadedBank() ? FindLoadedPreset(match) : FindFilePreset(match);
    if (!item)
        return;
    HWND tree = m_tree.Window();
    TreeView_SelectItem(tree, item);
    TreeView_EnsureVisible(tree, item);
}

// Each branch is opened before its children are looked at: a tree that inserts children as
// branches open has them then.
HTREEITEM CTreeFind::FindLoadedPreset(const PresetMatch& match)
{
    m_commands.Open(m_tree.LoadedRoot());
    HTREEITEM device = m_tree.DeviceItem(match.source.device);
    if (!device)
        return nullptr;
    m_commands.Open(device);
    HTREEITEM bank = m_tree.BankItem(device, match.source.bank);
    if (!bank)
        return nullptr;
    m_commands.Open(bank);
    return ChildWhere(m_tree, bank, [&](const TreeItemRecord& record) {
        return record.kind == TreeItemKind::BankPreset && IsPresetOf(record, match.preset, true);
    });
}

HTREEITEM CTreeFind::FindFilePreset(const PresetMatch& match)
{
    HWND tree = m_tree.Window();
    const std::string& path = match.source.path;
    HTREEITEM item = nullptr;
    for (HTREEITEM root = TreeView_GetRoot(tree); root; root = TreeView_GetNextSibling(tree, root)) {
        const CTreeItemData* record = m_tree.RecordOf(root);
        if (record && record->kind == TreeItemKind::DiskRoot)
            item = root;
    }
    // Down the folders that hold the file, then the file itself.
    while (item) {
        m_commands.Open(item);
        HTREEITEM file = ChildWhere(m_tree, item, [&](const TreeItemRecord& record) {
            return record.kind == TreeItemKind::SoundFontFile && EqualIgnoringCase(record.item.GetPath(), path);
        });
        if (file) {
            m_commands.Open(file);
            return ChildWhere(m_tree, file, [&](const TreeItemRecord& record) {
                return record.kind == TreeItemKind::FilePreset && IsPresetOf(record, match.preset, false);
            });
        }
        item = ChildWhere(m_tree, item, [&](const TreeItemRecord& record) {
            return (record.kind == TreeItemKind::ListedFolder || record.kind == TreeItemKind::SubFolder) &&
                   IsBelow(path, record.item.GetPath());
        });
    }
    return nullptr;
}
