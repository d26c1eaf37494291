#include "tests/support/FolderPickerWatcher.h"

#include "tests/support/MessageBoxWatcher.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

// Control ids of the picker's template, the same on Windows and Wine.
constexpr int kTreeId = 0x3741;
constexpr int kTitleId = 0x3742;

bool IsFolderPicker(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0)
        return false;
    HWND tree = GetDlgItem(window, kTreeId);
    if (!tree)
        return false;
    GetClassNameA(tree, name, sizeof name);
    return lstrcmpA(name, WC_TREEVIEWA) == 0;
}

BOOL CALLBACK FindPicker(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || !IsFolderPicker(window))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

// The label of the folder selected in the picker's tree; empty while nothing is selected.
std::string SelectedLabel(HWND picker)
{
    HWND tree = GetDlgItem(picker, kTreeId);
    auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!selected)
        return std::string();
    char label[MAX_PATH] = {};
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = label;
    item.cchTextMax = sizeof label;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return label;
}

// The picker fills its tree before it takes any answer: a click or a selection made earlier
// is lost.
bool IsFilled(HWND picker)
{
    return SendMessageA(GetDlgItem(picker, kTreeId), TVM_GETCOUNT, 0, 0) > 0;
}

// Waits up to `timeoutMs` for the window to go.
bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < timeoutMs)
        Sleep(5);
    return !IsWindow(window);
}

} // namespace

FolderPickerWatcher::FolderPickerWatcher()
    : m_thread([this] { Watch(); })
{
}

FolderPickerWatcher::FolderPickerWatcher(const std::string& folder)
    : m_folder(folder)
    , m_thread([this] { Watch(); })
{
}

FolderPickerWatcher::~FolderPickerWatcher()
{
    m_stop = true;
    m_thread.join();
}

std::vector<SeenFolderPicker> FolderPickerWatcher::Pickers() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pickers;
}

bool FolderPickerWatcher::WaitForCount(std::size_t count, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_pickers.size() >= count)
                return true;
        }
        Sleep(10);
    }
    return false;
}

void FolderPickerWatcher::Watch()
{
    while (!m_stop) {
        if (!AnswerOne())
            Sleep(10);
    }
}

bool FolderPickerWatcher::AnswerOne()
{
    HWND picker = nullptr;
    EnumWindows(FindPicker, reinterpret_cast<LPARAM>(&picker));
    if (!picker || !IsFilled(picker))
        return false;
    SeenFolderPicker seen;
    seen.caption = WindowText(picker);
    seen.title = WindowText(GetDlgItem(picker, kTitleId));
    // Answer until the picker is gone, so that the test's thread never stays in its loop.
    while (!m_stop && IsWindow(picker)) {
        if (!m_folder.empty() && !Select(picker))
            continue;
        SendMessageA(GetDlgItem(picker, m_folder.empty() ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
        WaitUntilGone(picker, 1000);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pickers.push_back(seen);
    return true;
}

bool FolderPickerWatcher::Select(HWND picker) const
{
    // The picker takes this message from anyone, not only from its callback.
    SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(m_folder.c_str()));
    if (SelectedLabel(picker) == m_folder.substr(m_folder.find_last_of('\\') + 1))
        return true;
    Sleep(10);
    return false;
}
