#pragma once
// Reading a dialog field that must hold a whole number. Needs no Windows header.

#include <cstdint>
#include <string>

// True when `text` is one signed decimal number that fits in 32 bits, blanks (spaces, tabs)
// allowed around it; `value` then holds it. False leaves `value` alone: empty text, a text
// with anything else in it, and a number out of range are not integers.
bool ParseIntegerField(const std::string& text, std::int32_t& value);
