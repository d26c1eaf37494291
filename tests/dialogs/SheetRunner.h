#pragma once
// Runs a modal property sheet on a user-interface thread of its own, so that the test's
// thread can drive it through messages and read its controls while the sheet is open.

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

// The sheet's Apply button.
constexpr int kApplyButton = 0x3021;

class SheetRunner {
public:
    // Starts `show`, which runs a modal sheet captioned `caption`, and waits for the sheet.
    SheetRunner(std::function<INT_PTR()> show, const char* caption, DWORD timeoutMs = 20000);
    // Cancels the sheet if it is still open, and waits for its thread.
    ~SheetRunner();
    SheetRunner(const SheetRunner&) = delete;
    SheetRunner& operator=(const SheetRunner&) = delete;

    HWND Sheet() const { return m_sheet; }
    // The page on show.
    HWND Page() const;
    HWND PageItem(int id) const { return GetDlgItem(Page(), id); }

    // Clicks one of the sheet's buttons (IDOK, IDCANCEL, kApplyButton) as the user would.
    void Press(int button);
    // Waits for `show` to return; false on time-out.
    bool WaitForEnd(DWORD timeoutMs = 10000);
    INT_PTR Result() const { return m_result; }

private:
    std::function<INT_PTR()> m_show;
    HWND m_sheet = nullptr;
    std::atomic<INT_PTR> m_result{0};
    HANDLE m_ended;
    std::thread m_thread;
};

// A way the user leaves the sheet without OK, named for the failure messages.
struct SheetClosing {
    const char* name;
    std::function<void(SheetRunner&)> close;
};
// Cancel; Apply, then Cancel; the close box.
const std::vector<SheetClosing>& ClosingsWithoutOK();

// What a user does to the page's controls; each ends with the page having handled it.
void Choose(HWND page, int comboId, int position);
void Click(HWND page, int buttonId);
void Type(HWND page, int editId, const char* text);
