#include "browser/SampleMemoryFit.h"

#include <cstdio>

namespace {

constexpr std::uint64_t kMegabyte = 1048576;
constexpr double kKilobyte = 1024.0;

// U+00B7, the middle dot, in UTF-8: the meter is written as wide text.
constexpr const char* kSeparator = " \xC2\xB7 ";

} // namespace

std::string MemoryAmountText(std::uint64_t bytes)
{
    char text[64];
    if (bytes > kMegabyte)
        std::snprintf(text, sizeof text, "%0.1f MB", static_cast<double>(bytes) / static_cast<double>(kMegabyte));
    else
        std::snprintf(text, sizeof text, "%0.1f kB", static_cast<double>(bytes) / kKilobyte);
    return text;
}

std::string MeterTextWithNeed(const std::string& freeText, std::uint64_t freeBytes, std::uint64_t neededBytes)
{
    std::string text = freeText + kSeparator + "needs " + MemoryAmountText(neededBytes);
    if (neededBytes > freeBytes)
        text += ": too large";
    return text;
}

std::string TooLargeMessage(const std::string& fileName, std::uint64_t neededBytes, std::uint64_t availableBytes)
{
    return "\"" + fileName + "\" needs " + MemoryAmountText(neededBytes) + " of sound memory, and only " +
           MemoryAmountText(availableBytes) + " is free. Delete a loaded SoundFont to make room, then load it again.";
}
