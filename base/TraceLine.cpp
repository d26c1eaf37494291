#include "base/TraceLine.h"

#include <cstdio>

std::string FormatLimited(const char* format, std::va_list args)
{
    char buffer[kMaxDiagnosticText + 1];
    int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (written < 0)
        return std::string();
    return std::string(buffer);
}

std::string FormatLimited(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::string text = FormatLimited(format, args);
    va_end(args);
    return text;
}

std::string FormatTraceLine(std::int32_t elapsedMs, const std::string& message)
{
    return FormatLimited("(%6d) %s", static_cast<int>(elapsedMs), message.c_str());
}

std::int32_t TraceClock::Elapsed(std::uint32_t nowMs)
{
    if (!m_started) {
        m_started = true;
        m_origin = nowMs;
    }
    return static_cast<std::int32_t>(nowMs - m_origin);
}
