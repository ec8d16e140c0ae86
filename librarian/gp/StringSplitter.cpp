#include "librarian/gp/StringSplitter.h"

namespace GP
{
CStringSplitter::CStringSplitter(const char* text, int separator, bool merge)
    : m_text(text ? text : ""), m_separator(separator), m_merge(merge)
{
    Split();
}

CStringSplitter::CStringSplitter(const char* text, const std::vector<std::string>& separators, bool merge)
    : m_text(text ? text : ""), m_separator(kSeparatorStrings), m_separators(separators), m_merge(merge)
{
    Split();
}

const char* CStringSplitter::GetToken(int index, const char* defaultValue) const
{
    if (index < 0 || index >= GetTokenCount())
        return defaultValue;
    return m_tokens[static_cast<size_t>(index)].c_str();
}

size_t CStringSplitter::SeparatorLengthAt(size_t position) const
{
    if (m_separator != kSeparatorStrings)
        return static_cast<unsigned char>(m_text[position]) == static_cast<unsigned char>(m_separator) ? 1 : 0;
    for (const std::string& separator : m_separators)
        if (!separator.empty() && m_text.compare(position, separator.size(), separator) == 0)
            return separator.size();
    return 0;
}

void CStringSplitter::Split()
{
    m_tokens.clear();
    size_t start = 0;
    bool quoted = false;
    size_t position = 0;
    while (position < m_text.size())
    {
        const char c = m_text[position];
        if (c == '"' && (position == 0 || m_text[position - 1] != '\\'))
        {
            quoted = !quoted;
            ++position;
            continue;
        }
        const size_t length = quoted ? 0 : SeparatorLengthAt(position);
        if (length == 0)
        {
            ++position;
            continue;
        }
        m_tokens.push_back(m_text.substr(start, position - start));
        position += length;
        if (m_merge)
            while (position < m_text.size())
            {
                const size_t next = SeparatorLengthAt(position);
                if (next == 0)
                    break;
                position += next;
            }
        start = position;
    }
    m_tokens.push_back(m_text.substr(start));
}
}
