#pragma once
// Paths between the program (UTF-8) and the sound card's library, which takes and gives 8-bit
// paths in the ANSI code page.

#include <optional>
#include <string>

// The path to hand the card for the UTF-8 `path`: the path itself when it can be written in
// the code page exactly, else its short (8.3) form when that can; none when neither can (a
// volume without short names), and the card can't be given the file.
std::optional<std::string> CardPathOf(const std::string& path);

// A path the card gives back, as UTF-8, with its long names when the file is there: a file
// handed over by its short path is shown by its own name.
std::string PathFromCard(const std::string& cardPath);
