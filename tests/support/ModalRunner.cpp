#include "tests/support/ModalRunner.h"

namespace {

// A private message that asks the dialog's thread to run a function.
const UINT kRunOnUiThread = RegisterWindowMessageA("TonewellTestRunOnUiThread");

LRESULT CALLBACK RunHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == kRunOnUiThread)
        (*reinterpret_cast<const std::function<void()>*>(message->lParam))();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Posted last by AfterPostedMessages; the hook signals its event when the loop takes it, once
// every message posted before it has been taken and handled.
const UINT kPostedLast = RegisterWindowMessageA("TonewellTestPostedLast");
HANDLE g_postedLastTaken = nullptr;

LRESULT CALLBACK PostedLastHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kPostedLast && g_postedLastTaken)
        SetEvent(g_postedLastTaken);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

ModalRunner::ModalRunner(CDialog& dialog, DWORD timeoutMs)
    : m_dialog(dialog)
    , m_ended(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = std::thread([this] {
        m_result = m_dialog.DoModal();
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
    // Hooked only for this call: a hook on every message of the window's thread slows the
    // whole window down under Wine.
    DWORD thread = GetWindowThreadProcessId(m_window, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RunHook, nullptr, thread);
    SendMessageA(m_window, kRunOnUiThread, 0, reinterpret_cast<LPARAM>(&action));
    UnhookWindowsHookEx(hook);
}

bool ModalRunner::AfterPostedMessages(DWORD timeoutMs)
{
    DWORD thread = GetWindowThreadProcessId(m_window, nullptr);
    g_postedLastTaken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, PostedLastHook, nullptr, thread);
    const bool taken = PostMessageA(m_window, kPostedLast, 0, 0) &&
                       WaitForSingleObject(g_postedLastTaken, timeoutMs) == WAIT_OBJECT_0;
    UnhookWindowsHookEx(hook);
    CloseHandle(g_postedLastTaken);
    g_postedLastTaken = nullptr;
    return taken;
}
