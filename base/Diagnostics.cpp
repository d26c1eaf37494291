#include "base/Diagnostics.h"

#include "base/TraceLine.h"
#include "base/WideText.h"

#include <mmsystem.h>

namespace {

void DebuggerSink(const char* line)
{
    OutputDebugStringA(line);
}

TraceSink g_traceSink = DebuggerSink;

bool IsUtf8(const std::string& text)
{
    return NarrowToUtf8(WidenUtf8(text)) == text;
}

// A text cut at the limit may end inside a letter of a name: that letter's bytes go.
void DropCutLetter(std::string& text)
{
    if (text.size() < kMaxDiagnosticText || IsUtf8(text))
        return;
    for (std::size_t cut = 1; cut < 4 && cut < text.size(); ++cut) {
        std::string shorter = text.substr(0, text.size() - cut);
        if (IsUtf8(shorter)) {
            text = shorter;
            return;
        }
    }
}
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
    DropCutLetter(text);
    // Names (paths, files, folders) are UTF-8 inside the program; a text from an 8-bit
    // source in the code page that is not UTF-8 is shown as it was written.
    if (!IsUtf8(text))
        return MessageBoxA(owner, text.c_str(), caption, style);
    return MessageBoxW(owner, WidenUtf8(text).c_str(), WidenUtf8(caption).c_str(), style);
}

TraceSink SetTraceSink(TraceSink sink)
{
    TraceSink previous = g_traceSink;
    g_traceSink = sink ? sink : DebuggerSink;
    return previous;
}
