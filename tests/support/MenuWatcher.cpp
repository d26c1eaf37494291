#include "tests/support/MenuWatcher.h"

#include "tests/support/MessageBoxWatcher.h"

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

MenuWatcher::MenuWatcher(std::string choice)
    : m_choice(std::move(choice))
    , m_thread([this] { Watch(); })
{
}

MenuWatcher::~MenuWatcher()
{
    m_stop = true;
    m_thread.join();
}

std::vector<std::string> MenuWatcher::Entries() const
{
    return m_shown ? m_entries : std::vector<std::string>();
}

void MenuWatcher::Watch()
{
    HWND popup = nullptr;
    while (!m_stop && !(popup = FindOwnWindow("#32768", nullptr)))
        Sleep(5);
    if (!popup)
        return;
    auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    int chosen = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        m_entries.push_back(text);
        if (m_choice == text)
            chosen = i;
    }
    GetWindowRect(popup, &m_placement);
    m_shown = true;
    // The menu's loop reads the keyboard of the thread that shows it.
    DWORD thread = GetWindowThreadProcessId(popup, nullptr);
    auto key = [&](WPARAM code) {
        PostThreadMessageA(thread, WM_KEYDOWN, code, 0);
        PostThreadMessageA(thread, WM_KEYUP, code, 0xC0000000);
    };
    if (chosen < 0) {
        key(VK_ESCAPE);
    } else {
        for (int i = 0; i <= chosen; ++i)
            key(VK_DOWN);
        key(VK_RETURN);
    }
}
