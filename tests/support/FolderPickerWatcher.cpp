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
    if (!picker)
        return false;
    SeenFolderPicker seen;
    seen.caption = WindowText(picker);
    seen.title = WindowText(GetDlgItem(picker, kTitleId));
    if (m_folder.empty()) {
        SendMessageA(GetDlgItem(picker, IDCANCEL), BM_CLICK, 0, 0);
    } else {
        // The picker takes this message from anyone, not only from its callback.
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(m_folder.c_str()));
        SendMessageA(GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
    }
    // Count the picker once it is gone, so that a caller woken by WaitForCount finds its modal
    // loop over.
    while (IsWindow(picker) && !m_stop)
        Sleep(5);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pickers.push_back(seen);
    return true;
}
