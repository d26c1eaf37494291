#pragma once
// Explorer's "hide extensions of known file types" for the scope of a test. Windows hides them
// by default and a new Wine prefix shows them; the shell reads the setting on every naming, so
// a test can run under either.

#include <windows.h>

#include <cstdint>
#include <optional>

class HiddenExtensions {
public:
    explicit HiddenExtensions(bool hidden);
    // Puts back what was there before, or removes the value when there was none.
    ~HiddenExtensions();
    HiddenExtensions(const HiddenExtensions&) = delete;
    HiddenExtensions& operator=(const HiddenExtensions&) = delete;

    // Whether the value could be written.
    bool Applied() const { return m_applied; }

private:
    HKEY m_key = nullptr;
    std::optional<std::uint32_t> m_previous;
    bool m_applied = false;
};
