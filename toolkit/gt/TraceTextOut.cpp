#include "toolkit/gt/TraceTextOut.h"

#include <cstdio>
#include <cstdlib>

namespace GT
{
CTraceTextOut::CTraceTextOut()
{
    const char* echo = std::getenv("Q9_TRACE");
    m_echo = echo && *echo;
}

std::string CTraceTextOut::GetText() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string text;
    for (size_t i = 0; i < m_lines.size(); ++i)
    {
        text += m_lines[i];
        if (i + 1 < m_lines.size())
            text += '\n';
    }
    return text;
}

void CTraceTextOut::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}

void CTraceTextOut::SetForward(ATextOut* sink)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_forward = sink;
}

void CTraceTextOut::EchoToStandardError()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_echo = true;
}

void CTraceTextOut::WriteRaw(const std::string& text)
{
    ATextOut* forward = nullptr;
    bool echo = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_lines.empty())
            m_lines.emplace_back();
        for (const char c : text)
        {
            if (c == '\n')
                m_lines.emplace_back();
            else
                m_lines.back() += c;
        }
        // The unfinished last line does not count against the limit.
        while (m_lines.size() > kMaxLines + 1)
            m_lines.pop_front();
        forward = m_forward;
        echo = m_echo;
    }
    if (echo)
        std::fwrite(text.data(), 1, text.size(), stderr);
    if (forward)
        forward->Write(text);
}
}

GT::CTraceTextOut& GetTraceTextOut()
{
    static GT::CTraceTextOut output;
    return output;
}
