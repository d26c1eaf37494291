#include "tests/support/MessageBoxWatcher.h"


namespace {

// The static control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;

struct FindRequest {
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* request = reinterpret_cast<FindRequest*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (request->className && lstrcmpA(name, request->className) != 0)
        return TRUE;
    if (request->caption && WindowText(window) != request->caption)
        return TRUE;
    request->found = window;
    return FALSE;
}

bool IsMessageBox(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0)
        return false;
    HWND text = GetDlgItem(window, kMessageTextId);
    if (!text)
        return false;
    GetClassNameA(text, name, sizeof name);
    return lstrcmpiA(name, "Static") == 0;
}

struct BoxList {
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsMessageBox(window))
        reinterpret_cast<BoxList*>(param)->boxes.push_back(window);
    return TRUE;
}

} // namespace

std::string WindowText(HWND window)
{
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    char utf8[3 * 4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

HWND FindOwnWindow(const char* className, const char* caption)
{
    FindRequest request = {className, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

MessageBoxWatcher::MessageBoxWatcher(int button)
    : m_button(button)
    , m_thread([this] { Watch(); })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    m_stop = true;
    m_thread.join();
}

std::vector<SeenMessageBox> MessageBoxWatcher::Boxes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

std::vector<std::string> MessageBoxWatcher::Texts() const
{
    std::vector<std::string> texts;
    for (const SeenMessageBox& box : Boxes())
        texts.push_back(box.text);
    return texts;
}

bool MessageBoxWatcher::WaitForCount(std::size_t count, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_boxes.size() >= count)
                return true;
        }
        Sleep(10);
    }
    return false;
}

void MessageBoxWatcher::Watch()
{
    while (!m_stop) {
        if (!AnswerOne())
            Sleep(10);
    }
}

bool MessageBoxWatcher::AnswerOne()
{
    BoxList list;
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&list));
    for (HWND box : list.boxes) {
        HWND button = GetDlgItem(box, m_button);
        if (!button)
            continue;
        SeenMessageBox seen;
        seen.caption = WindowText(box);
        seen.text = WindowText(GetDlgItem(box, kMessageTextId));
        seen.owner = GetWindow(box, GW_OWNER);
        SendMessageA(button, BM_CLICK, 0, 0);
        // Count the box once it is gone, so that a caller woken by WaitForCount finds its
        // modal loop over.
        while (IsWindow(box) && !m_stop)
            Sleep(5);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_boxes.push_back(seen);
        return true;
    }
    return false;
}
