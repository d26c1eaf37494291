#include "tests/support/DialogWatcher.h"

#include "tests/support/MessageBoxWatcher.h"

#include <string>

DialogWatcher::DialogWatcher(const char* caption, std::function<void(HWND)> answer)
    : m_thread([this, title = std::string(caption), answer] {
        HWND dialog = nullptr;
        while (!m_stop && !(dialog = FindOwnWindow("#32770", title.c_str())))
            Sleep(10);
        if (!dialog)
            return;
        // Let the dialog finish its initialisation before it is answered.
        Sleep(100);
        answer(dialog);
        m_answered = true;
    })
{
}

DialogWatcher::~DialogWatcher()
{
    m_stop = true;
    m_thread.join();
}

void PressButton(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
