#pragma once
// UTF-8 to UTF-16 for opening files by their UTF-8 path on Windows, where the C library's
// 8-bit functions take the ANSI code page instead.

#include <string>

// False, with `wide` empty, when `text` is not well-formed UTF-8 (overlong forms, surrogates,
// code points above U+10FFFF and cut sequences are refused).
bool Utf8ToUtf16(const std::string& text, std::u16string& wide);
