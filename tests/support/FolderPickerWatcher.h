#pragma once
// Finds the shell's folder picker that this process shows and answers it from a thread of its
// own, while the test's thread is held in the picker's modal loop: either cancels it, or
// selects a given folder and presses OK.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenFolderPicker {
    std::string caption;
    // The text shown above the folder tree: the title that the program passed.
    std::string title;
};

class FolderPickerWatcher {
public:
    // Cancels every picker.
    FolderPickerWatcher();
    // Selects `folder` (a path, whose last name is the label the picker shows for it) in every
    // picker and presses OK.
    explicit FolderPickerWatcher(const std::string& folder);
    ~FolderPickerWatcher();
    FolderPickerWatcher(const FolderPickerWatcher&) = delete;
    FolderPickerWatcher& operator=(const FolderPickerWatcher&) = delete;

    std::vector<SeenFolderPicker> Pickers() const;
    // Waits until at least `count` pickers were answered; false on time-out.
    bool WaitForCount(std::size_t count, DWORD timeoutMs = 20000) const;

private:
    void Watch();
    bool AnswerOne();
    // Selects m_folder in the picker; false until its tree shows it selected.
    bool Select(HWND picker) const;

    std::string m_folder;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<SeenFolderPicker> m_pickers;
    std::thread m_thread;
};
