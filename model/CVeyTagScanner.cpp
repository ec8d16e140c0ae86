#include "model/CVeyTagScanner.h"

#include <cstring>

namespace
{
bool EndsWith(const std::string& text, const char* suffix)
{
    const size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}
}

CVeyTagScanner::CVeyTagScanner(const char* begin, const char* end) : m_position(begin), m_end(end)
{
}

CVeyTagScanner::CVeyTagScanner(const std::string& text)
    : CVeyTagScanner(text.data(), text.data() + text.size())
{
}

bool CVeyTagScanner::ReadUpTo(char stop, std::string& out)
{
    const void* found = std::memchr(m_position, stop, static_cast<size_t>(m_end - m_position));
    const char* stretchEnd = found ? static_cast<const char*>(found) : m_end;
    out.append(m_position, stretchEnd);
    m_position = found ? stretchEnd + 1 : m_end;
    return found != nullptr;
}

std::string CVeyTagScanner::ReadTag()
{
    std::string tag;
    while (true)
    {
        tag.clear();
        const void* open = std::memchr(m_position, '<', static_cast<size_t>(m_end - m_position));
        if (!open)
        {
            m_position = m_end;
            break;
        }
        m_position = static_cast<const char*>(open) + 1;
        ReadUpTo('>', tag);
        if (!StartsWith(tag, "!--"))
            break;
        // A comment runs until the text collected so far ends with "--"; it may hold '>'. Only its
        // last two characters matter, so the stretches are not kept.
        char last[2] = {tag[tag.size() - 2], tag[tag.size() - 1]};
        std::string stretch;
        while (!(last[0] == '-' && last[1] == '-') && m_position != m_end)
        {
            stretch.clear();
            ReadUpTo('>', stretch);
            for (char c : stretch)
            {
                last[0] = last[1];
                last[1] = c;
            }
        }
    }
    m_currentTag = tag;
    return tag;
}

void CVeyTagScanner::ReadBody(std::string& body)
{
    body.clear();
    const std::string startTag = "<" + m_currentTag + ">";
    const std::string endTag = "</" + m_currentTag + ">";
    std::string piece;
    int depth = 0;
    while (m_position != m_end)
    {
        if (!ReadUpTo('<', body))
            break;
        piece.assign(1, '<');
        if (ReadUpTo('>', piece))
            piece += '>';
        if (piece == endTag)
        {
            if (depth == 0)
                return;
            --depth;
        }
        else if (piece == startTag)
        {
            ++depth;
        }
        else if (StartsWith(piece, "<!--"))
        {
            // Dropped whole; only the end of what was collected is checked, never the whole text.
            while (!EndsWith(piece, "-->") && m_position != m_end)
            {
                const char tail[2] = {piece[piece.size() - 2], piece[piece.size() - 1]};
                piece.assign(tail, 2);
                if (ReadUpTo('>', piece))
                    piece += '>';
            }
            continue;
        }
        body += piece;
    }
}

std::string CVeyTagScanner::ReadBody()
{
    std::string body;
    ReadBody(body);
    return body;
}
