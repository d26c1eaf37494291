#include "tests/support/TraceCapture.h"

TraceCapture* TraceCapture::s_active = nullptr;

TraceCapture::TraceCapture(std::function<void(const std::string&)> onLine)
    : m_onLine(std::move(onLine))
{
    s_active = this;
    m_previous = SetTraceSink(Keep);
}

TraceCapture::~TraceCapture()
{
    SetTraceSink(m_previous);
    s_active = nullptr;
}

void TraceCapture::Keep(const char* line)
{
    if (!s_active)
        return;
    s_active->m_lines.emplace_back(line);
    if (s_active->m_onLine)
        s_active->m_onLine(s_active->m_lines.back());
}
