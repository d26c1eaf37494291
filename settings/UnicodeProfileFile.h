#pragma once
// The platform's private-profile functions keep a file in the encoding they found it in: a
// file without a byte-order mark (or no file yet) is written in the ANSI code page, where a
// character outside it is lost as "?". A file that starts with the UTF-16LE mark is read and
// written in UTF-16, whatever the code page.

#include <string>

// Makes the file at `path` a UTF-16LE file with its mark: a missing file is created with the
// mark alone, a file in the ANSI code page is rewritten with the same text. True when the
// file is one afterwards; a UTF-16 big-endian file is left as it is and answers false.
bool MakeUnicodeProfileFile(const std::wstring& path);
