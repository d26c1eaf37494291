#pragma once
// Files of the tests read and written whole, byte for byte, through the platform's own calls.

#include <optional>
#include <string>

// The file's bytes; none when it can't be opened (it may be open for writing elsewhere).
std::optional<std::string> ReadWholeFile(const std::string& path);
// Replaces the file with `bytes`; false when not all could be written.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
