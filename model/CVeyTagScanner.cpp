#include "model/CVeyTagScanner.h"

#include "model/VeyTextSearch.h"

#include <cstdint>
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

void CVeyTagScanner::SkipTo(const char* position)
{
    if (position >= m_position && position <= m_end)
        m_position = position;
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

void CVeyTagScanner::NextTag(const char*& begin, const char*& end)
{
    while (true)
    {
        const char* open = VeyFindChar(m_position, m_end, '<');
        if (!open)
        {
            m_position = m_end;
            begin = end = m_end;
            return;
        }
        begin = open + 1;
        const char* close = VeyFindChar(begin, m_end, '>');
        end = close ? close : m_end;
        m_position = close ? end + 1 : m_end;
        if (!(end - begin >= 3 && begin[0] == '!' && begin[1] == '-' && begin[2] == '-'))
            return;
        // A comment, skipped as ReadTag does: it ends at the first '>' with "--" right before it.
        char last[2] = {end[-2], end[-1]};
        while (!(last[0] == '-' && last[1] == '-') && m_position != m_end)
        {
            const char* stretch = m_position;
            const char* next = VeyFindChar(stretch, m_end, '>');
            const char* stretchEnd = next ? next : m_end;
            m_position = next ? stretchEnd + 1 : m_end;
            if (stretchEnd - stretch >= 2)
                last[0] = stretchEnd[-2];
            else if (stretchEnd - stretch == 1)
                last[0] = last[1];
            if (stretchEnd != stretch)
                last[1] = stretchEnd[-1];
        }
    }
}

bool CVeyTagScanner::FindBody(const char* tag, size_t tagLength, const char*& begin, const char*& end)
{
    const char* at = m_position;
    int depth = 0;
    while (at != m_end)
    {
        const char* piece = VeyFindChar(at, m_end, '<');
        if (!piece)
            break;
        const char* close = VeyFindChar(piece + 1, m_end, '>');
        const char* pieceEnd = close ? close + 1 : m_end;
        const size_t inner = close ? static_cast<size_t>(pieceEnd - piece - 2) : 0;   // between '<' and '>'
        if (close && inner == tagLength + 1 && piece[1] == '/' && std::memcmp(piece + 2, tag, tagLength) == 0)
        {
            if (depth == 0)
            {
                begin = m_position;
                end = piece;
                m_position = pieceEnd;
                return true;
            }
            --depth;
        }
        else if (close && inner == tagLength && std::memcmp(piece + 1, tag, tagLength) == 0)
        {
            ++depth;
        }
        else if (pieceEnd - piece >= 4 && piece[1] == '!' && piece[2] == '-' && piece[3] == '-')
        {
            return false;
        }
        at = pieceEnd;
    }
    // No end tag: the body runs to the end of the text.
    begin = m_position;
    end = m_end;
    m_position = m_end;
    return true;
}

void CVeyTagScanner::ReadBodyOf(const char* tag, size_t tagLength, const char*& begin, const char*& end,
                                std::string& scratch)
{
    if (FindBody(tag, tagLength, begin, end))
        return;
    m_currentTag.assign(tag, tagLength);
    ReadBody(scratch);
    begin = scratch.data();
    end = begin + scratch.size();
}

std::string CVeyTagScanner::ReadBody()
{
    std::string body;
    ReadBody(body);
    return body;
}
