#pragma once
// Text formatting behind DebugTrace and ErrorBox. Needs no Windows header.

#include <cstdarg>
#include <cstdint>
#include <string>

// Longest message and longest trace line, in characters.
constexpr std::size_t kMaxDiagnosticText = 255;

// printf-style formatting cut to kMaxDiagnosticText characters: a long path placed into a
// message shortens the message rather than overrunning a buffer.
std::string FormatLimited(const char* format, std::va_list args);
std::string FormatLimited(const char* format, ...);

// "(%6d) %s": elapsed milliseconds right-aligned in six places, then the message; the whole
// line is cut to kMaxDiagnosticText characters.
std::string FormatTraceLine(std::int32_t elapsedMs, const std::string& message);

// The trace clock: its origin is the first reading, not the program start.
class TraceClock {
public:
    // Milliseconds since the first call, as a signed number (the clock may wrap).
    std::int32_t Elapsed(std::uint32_t nowMs);

private:
    bool m_started = false;
    std::uint32_t m_origin = 0;
};
