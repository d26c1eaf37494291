#pragma once
// Finds the message boxes that this process shows, records their caption, text and owner, and
// answers them by pressing a button, from a thread of its own while the test's thread is held
// in the box's modal loop.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
};

class MessageBoxWatcher {
public:
    // Answers every box with `button` (IDOK, IDCANCEL, IDYES, ...).
    explicit MessageBoxWatcher(int button = IDOK);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenMessageBox> Boxes() const;
    // The texts of the boxes seen so far, in order.
    std::vector<std::string> Texts() const;
    // Waits until at least `count` boxes were answered; false on time-out.
    bool WaitForCount(std::size_t count, DWORD timeoutMs = 10000) const;

private:
    void Watch();
    bool AnswerOne();

    int m_button;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<SeenMessageBox> m_boxes;
    std::thread m_thread;
};

// A visible top-level window of this process with the given class and caption (either may be
// null to match any), or null.
HWND FindOwnWindow(const char* className, const char* caption);

// Text of a window (its caption or a control's text) in UTF-8.
std::string WindowText(HWND window);
