#pragma once
// The program's command line in UTF-8: the 8-bit text WinMain receives has every character
// outside the ANSI code page replaced, so a file named in another script can't be opened by it.

#include <string>

// The text after the program's name, as the runtime cuts it for WinMain: the name ends at its
// closing quote when it starts with one, else at the first blank; the blanks after it go too.
std::string ArgumentsAfterProgram(const wchar_t* commandLine);
