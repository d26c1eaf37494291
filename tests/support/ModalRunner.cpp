#include "tests/support/ModalRunner.h"

namespace {

// A private message that asks the dialog's thread to run a function.
const UINT kRunOnUiThread = RegisterWindowMessageA("TonewellTestRunOnUiThread");

HHOOK g_hook = nullptr;

LRESULT CALLBACK RunHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == kRunOnUiThread)
        (*reinterpret_cast<const std::function<void()>*>(message->lParam))();
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

} // namespace

ModalRunner::ModalRunner(CDialog& dialog, DWORD timeoutMs)
    : m_dialog(dialog)
    , m_ended(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = std::thread([this] {
        g_hook = SetWindowsHookExA(WH_CALLWNDPROC, RunHook, nullptr, GetCurrentThreadId());
        m_result = m_dialog.DoModal();
        UnhookWindowsHookEx(g_hook);
        SetEvent(m_ended);
    });
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND window = m_dialog.GetSafeHwnd();
        if (window && IsWindowVisible(window)) {
            m_window = window;
            break;
        }
        if (WaitForSingleObject(m_ended, 10) == WAIT_OBJECT_0)
            break;
    }
}

ModalRunner::~ModalRunner()
{
    if (WaitForSingleObject(m_ended, 0) != WAIT_OBJECT_0)
        Close();
    m_thread.join();
    CloseHandle(m_ended);
}

INT_PTR ModalRunner::Close()
{
    HWND window = m_dialog.GetSafeHwnd();
    if (window)
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    WaitForEnd();
    return m_result;
}

bool ModalRunner::WaitForEnd(DWORD timeoutMs)
{
    return WaitForSingleObject(m_ended, timeoutMs) == WAIT_OBJECT_0;
}

void ModalRunner::OnUiThread(const std::function<void()>& action)
{
    SendMessageA(m_window, kRunOnUiThread, 0, reinterpret_cast<LPARAM>(&action));
}
