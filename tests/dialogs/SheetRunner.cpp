#include "tests/dialogs/SheetRunner.h"

#include "tests/support/MessageBoxWatcher.h"

#include <commctrl.h>

SheetRunner::SheetRunner(std::function<INT_PTR()> show, const char* caption, DWORD timeoutMs)
    : m_show(std::move(show))
    , m_ended(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = std::thread([this] {
        m_result = m_show();
        SetEvent(m_ended);
    });
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        m_sheet = FindOwnWindow("#32770", caption);
        if (m_sheet || WaitForSingleObject(m_ended, 10) == WAIT_OBJECT_0)
            break;
    }
}

SheetRunner::~SheetRunner()
{
    if (WaitForSingleObject(m_ended, 0) != WAIT_OBJECT_0 && m_sheet)
        PostMessageA(m_sheet, WM_COMMAND, IDCANCEL, 0);
    m_thread.join();
    CloseHandle(m_ended);
}

HWND SheetRunner::Page() const
{
    return PropSheet_GetCurrentPageHwnd(m_sheet);
}

void SheetRunner::Press(int button)
{
    SendMessageA(GetDlgItem(m_sheet, button), BM_CLICK, 0, 0);
}

bool SheetRunner::WaitForEnd(DWORD timeoutMs)
{
    return WaitForSingleObject(m_ended, timeoutMs) == WAIT_OBJECT_0;
}

void Choose(HWND page, int comboId, int position)
{
    HWND combo = GetDlgItem(page, comboId);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void Click(HWND page, int buttonId)
{
    SendMessageA(GetDlgItem(page, buttonId), BM_CLICK, 0, 0);
}

void Type(HWND page, int editId, const char* text)
{
    SendMessageA(GetDlgItem(page, editId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

const std::vector<SheetClosing>& ClosingsWithoutOK()
{
    static const std::vector<SheetClosing> closings = {
        {"Cancel", [](SheetRunner& r) { r.Press(IDCANCEL); }},
        {"Apply, then Cancel",
         [](SheetRunner& r) {
             r.Press(kApplyButton);
             r.Press(IDCANCEL);
         }},
        {"the close box", [](SheetRunner& r) { PostMessageA(r.Sheet(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    return closings;
}
