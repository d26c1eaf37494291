#pragma once
// Text at the platform's edge. Inside the program text and paths are UTF-8; the platform's
// wide-character functions take UTF-16, and the 8-bit ones (and the sound card's library)
// text in the ANSI code page.

#include <optional>
#include <string>

// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD.
std::wstring WidenUtf8(const std::string& text);
std::string NarrowToUtf8(const std::wstring& text);
std::string NarrowToUtf8(const wchar_t* text);

// Text in the ANSI code page (from an 8-bit function, a file or the sound card) as UTF-8,
// and as UTF-16. Every byte counts, a zero byte included.
std::string AnsiToUtf8(const std::string& text);
std::wstring WidenAnsi(const std::string& text);

// The text in the ANSI code page when every character can be written there as itself; none
// when one can't, or only as a look-alike (best-fit mapping, such as "O" for "Ω").
std::optional<std::string> ExactAnsi(const std::wstring& text);
