#include "dialogs/PreviewNumber.h"

#include "midi/MidiMessage.h"

#include <cstdlib>

PreviewNumber ReadPreviewNumber(const char* text)
{
    // strtoll saturates instead of overflowing, so any long run of digits lands above the highest.
    long long number = std::strtoll(text, nullptr, 10);
    PreviewNumber result;
    if (number < 0) {
        result.value = 0;
        result.correctedText = "0";
    } else if (number > kHighestDataByte) {
        result.value = kHighestDataByte;
        static_assert(kHighestDataByte == 127, "the corrected text spells the highest value");
        result.correctedText = "127";
    } else {
        result.value = static_cast<std::int32_t>(number);
    }
    return result;
}
