#pragma once
// Collects the trace lines written while it lives, in place of the trace sink, and puts the
// previous sink back when it goes. One capture at a time.

#include "base/Diagnostics.h"

#include <functional>
#include <string>
#include <vector>

class TraceCapture {
public:
    // `onLine`, when given, runs for each line after it was kept (on the tracing thread).
    explicit TraceCapture(std::function<void(const std::string&)> onLine = {});
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    static void Keep(const char* line);

    static TraceCapture* s_active;
    std::function<void(const std::string&)> m_onLine;
    std::vector<std::string> m_lines;
    TraceSink m_previous;
};
