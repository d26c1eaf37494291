#pragma once
// The rule for the preview bank and instrument edits of the settings page: whatever the
// user types becomes a number from 0 to 127. Needs no Windows header.

#include <cstdint>

struct PreviewNumber {
    std::int32_t value = 0;
    // The text the edit must show instead of what it holds, or null when its text stays.
    const char* correctedText = nullptr;
};

// The leading decimal number of `text` (an empty or non-numeric text gives 0); below 0 it
// becomes 0 and from 128 up 127, each with its text corrected.
PreviewNumber ReadPreviewNumber(const char* text);
