#include "browser/MemoryReading.h"

#include <cstdio>

namespace {

constexpr std::int32_t kMegabyte = 1048576;
constexpr double kKilobyte = 1024.0;

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

MemoryReading ReadMemory(std::int32_t totalBytes, std::int32_t freeBytes)
{
    if (totalBytes == 0)
        return {0, "0 MB Free"};
    double used = static_cast<double>(static_cast<std::int64_t>(totalBytes) - freeBytes);
    int position = static_cast<int>(used / totalBytes * 1000.0);
    if (freeBytes > kMegabyte)
        return {position, Format("%0.1f MB Free", freeBytes / static_cast<double>(kMegabyte))};
    return {position, Format("%0.1f kB Free", freeBytes / kKilobyte)};
}
