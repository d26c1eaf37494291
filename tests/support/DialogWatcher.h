#pragma once
// Waits, on a thread of its own, for a dialog of this process with a given caption and then
// answers it with the test's action (fill in fields, press a button) while the test's thread
// is held in the dialog's modal loop.

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

class DialogWatcher {
public:
    DialogWatcher(const char* caption, std::function<void(HWND)> answer);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    bool Answered() const { return m_answered; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_answered{false};
    std::thread m_thread;
};

// Presses a dialog's button as a click would.
void PressButton(HWND dialog, int id);
