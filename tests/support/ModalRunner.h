#pragma once
// Runs a modal dialog on a user-interface thread of its own, so that the test's thread can
// drive it through messages and read its controls while the modal loop runs.

#include "base/Dialog.h"

#include <functional>
#include <thread>

class ModalRunner {
public:
    // Starts `dialog.DoModal()` on a new thread and waits for its window to become visible.
    explicit ModalRunner(CDialog& dialog, DWORD timeoutMs = 20000);
    // Ends the dialog with IDCANCEL if it is still open, and waits for its thread.
    ~ModalRunner();
    ModalRunner(const ModalRunner&) = delete;
    ModalRunner& operator=(const ModalRunner&) = delete;

    HWND Window() const { return m_window; }
    // Sends IDCANCEL (as Escape does) and waits for the modal loop to end; the result of
    // DoModal.
    INT_PTR Close();
    // Waits for the modal loop to end by itself; false on time-out.
    bool WaitForEnd(DWORD timeoutMs = 20000);
    INT_PTR Result() const { return m_result; }

    // Runs `action` on the dialog's thread (inside its message loop) and waits for it.
    void OnUiThread(const std::function<void()>& action);
    // Waits until the dialog's thread has handled every message posted to it before this call
    // (a message posted from another thread, such as a MIDI input callback's); false on
    // time-out.
    bool AfterPostedMessages(DWORD timeoutMs = 5000);

private:
    CDialog& m_dialog;
    HWND m_window = nullptr;
    INT_PTR m_result = 0;
    HANDLE m_ended;
    std::thread m_thread;
};
