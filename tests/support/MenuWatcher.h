#pragma once
// Answers the next pop-up menu that this process shows: records its entries and chooses one
// by its text (or dismisses it), from a thread of its own while the menu's modal loop runs.

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class MenuWatcher {
public:
    // Chooses the entry whose text is `choice`; an empty choice dismisses the menu.
    explicit MenuWatcher(std::string choice = std::string());
    ~MenuWatcher();
    MenuWatcher(const MenuWatcher&) = delete;
    MenuWatcher& operator=(const MenuWatcher&) = delete;

    // Whether a menu was shown (so far), and its entries.
    bool Shown() const { return m_shown; }
    std::vector<std::string> Entries() const;
    // Where the menu appeared on the screen.
    RECT Placement() const { return m_placement; }

private:
    void Watch();

    std::string m_choice;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_shown{false};
    std::vector<std::string> m_entries;
    RECT m_placement = {};
    std::thread m_thread;
};
