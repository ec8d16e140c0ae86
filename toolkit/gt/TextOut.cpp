#include "toolkit/gt/TextOut.h"

#include "toolkit/gt/Format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace GT
{
void ATextOut::Write(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * (m_indentation.size() + 1));
    for (const char c : text)
    {
        if (m_atLineStart)
            out += m_indentation;
        out += c;
        m_atLineStart = (c == '\n');
    }
    WriteRaw(out);
}

void ATextOut::Printf(const char* format, ...)
{
    if (!format)
        return;
    // Diagnostic lines can quote whole script fragments, so the text is not cut at a fixed size.
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length > 0)
    {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        Write(std::string(buffer.data(), static_cast<size_t>(length)));
    }
    va_end(args);
}

void ATextOut::Indent(int delta)
{
    const long length = static_cast<long>(m_indentation.size()) + delta;
    m_indentation.assign(length > 0 ? static_cast<size_t>(length) : 0, ' ');
}

void ATextOut::WriteRaw(const std::string&)
{
}
}
