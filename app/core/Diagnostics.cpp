#include "app/core/Diagnostics.h"

#include "app/core/TraceLine.h"

#include <mmsystem.h>

namespace {

void DebuggerSink(const char* line)
{
    OutputDebugStringA(line);
}

TraceSink g_traceSink = DebuggerSink;
TraceClock g_traceClock;

} // namespace

void DebugTrace(const char* format, ...)
{
    std::int32_t elapsed = g_traceClock.Elapsed(timeGetTime());
    std::va_list args;
    va_start(args, format);
    std::string message = FormatLimited(format, args);
    va_end(args);
    g_traceSink(FormatTraceLine(elapsed, message).c_str());
}

int ErrorBox(HWND owner, UINT style, const char* caption, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::string text = FormatLimited(format, args);
    va_end(args);
    return MessageBoxA(owner, text.c_str(), caption, style);
}

TraceSink SetTraceSink(TraceSink sink)
{
    TraceSink previous = g_traceSink;
    g_traceSink = sink ? sink : DebuggerSink;
    return previous;
}
