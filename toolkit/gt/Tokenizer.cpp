#include "toolkit/gt/Tokenizer.h"

namespace GT
{
CTokenizer::CTokenizer(const std::string& text, char delimiter, bool collapse)
    : m_text(text.begin(), text.end())
{
    const size_t length = m_text.size();
    m_text.push_back('\0');
    const auto isEscape = [this, length](size_t i) {
        return m_text[i] == '\\' && i + 1 < length && (m_text[i + 1] == '"' || m_text[i + 1] == '\\');
    };
    m_tokens.push_back(0);
    size_t i = 0;
    while (i < length)
    {
        const char c = m_text[i];
        if (c == '"')
        {
            for (++i; i < length && m_text[i] != '"';)
                i += isEscape(i) ? 2 : 1;
            if (i < length)
                ++i;   // the closing quote
        }
        else if (isEscape(i))
        {
            i += 2;
        }
        else if (c == delimiter)
        {
            m_text[i++] = '\0';
            if (collapse)
                while (i < length && m_text[i] == delimiter)
                    m_text[i++] = '\0';
            m_tokens.push_back(i);
        }
        else
        {
            ++i;
        }
    }
}

const char* CTokenizer::GetToken(int index, const char* fallback) const
{
    if (index < 0 || index >= GetCount())
        return fallback;
    return m_text.data() + m_tokens[static_cast<size_t>(index)];
}
}
