#include "dialogs/PreviewNumber.h"

#include <cstdlib>

PreviewNumber ReadPreviewNumber(const char* text)
{
    // strtoll saturates instead of overflowing, so any long run of digits lands above 127.
    long long number = std::strtoll(text, nullptr, 10);
    PreviewNumber result;
    if (number < 0) {
        result.value = 0;
        result.correctedText = "0";
    } else if (number >= 128) {
        result.value = 127;
        result.correctedText = "127";
    } else {
        result.value = static_cast<std::int32_t>(number);
    }
    return result;
}
