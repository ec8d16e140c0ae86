#include "toolkit/gt/Strings.h"

#include "toolkit/gt/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace GT
{
namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// Control characters and space; bytes from 80h up are letters of the 8-bit code page.
bool IsListPadding(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

void AppendTrimmedItems(const char* begin, const char* end, std::vector<std::string>& items)
{
    const char* itemBegin = begin;
    while (true)
    {
        const char* itemEnd = itemBegin;
        while (itemEnd != end && *itemEnd != ',')
            ++itemEnd;
        const char* first = itemBegin;
        const char* last = itemEnd;
        while (first != last && IsListPadding(*first))
            ++first;
        while (last != first && IsListPadding(last[-1]))
            --last;
        if (first != last)
            items.emplace_back(first, last);
        if (itemEnd == end)
            break;
        itemBegin = itemEnd + 1;
    }
}

std::string UnescapeListItem(const std::string& item)
{
    std::string out;
    out.reserve(item.size());
    for (size_t i = 0; i < item.size(); ++i)
    {
        const char c = item[i];
        if (c == '\\' && i + 1 < item.size())
        {
            const char next = item[i + 1];
            if (next == '\\' || next == 'c' || next == 's')
            {
                out += next == '\\' ? '\\' : next == 'c' ? ',' : ' ';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}

std::string Left(const std::string& text, int count)
{
    return count <= 0 ? std::string() : text.substr(0, static_cast<size_t>(count));
}

std::string Right(const std::string& text, int count)
{
    if (count <= 0)
        return {};
    const size_t n = static_cast<size_t>(count);
    return n >= text.size() ? text : text.substr(text.size() - n);
}

std::string Mid(const std::string& text, int position, int count)
{
    if (position < 0)
        position = 0;
    if (count <= 0 || static_cast<size_t>(position) >= text.size())
        return {};
    return text.substr(static_cast<size_t>(position), static_cast<size_t>(count));
}

std::string MakeLower(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

bool Trim(const std::string& text, std::string& out)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    out.assign(text, first, last - first);
    return !out.empty();
}

std::string TrimCopy(const std::string& text)
{
    std::string out;
    Trim(text, out);
    return out;
}

bool ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement,
                std::string& out)
{
    if (find.empty())
    {
        out = text;
        return false;
    }
    std::string result;
    result.reserve(text.size());
    bool found = false;
    size_t copied = 0;
    for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, copied))
    {
        found = true;
        result.append(text, copied, at - copied);
        result += replacement;
        copied = at + find.size();
    }
    result.append(text, copied, std::string::npos);
    out = std::move(result);
    return found;
}

std::string ConvertLineEnds(const std::string& text, const std::string& lineEnd)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '\r')
        {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += lineEnd;
        }
        else if (c == '\n')
        {
            out += lineEnd;
        }
        else
        {
            out += c;
        }
    }
    return out;
}

std::string ToCrLf(const std::string& text)
{
    return ConvertLineEnds(text, "\r\n");
}

std::string UnescapeBackslashes(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\'))
            ++i;
        out += text[i];
    }
    return out;
}

std::string Unquote(const std::string& text, bool unescape)
{
    std::string out = text;
    if (out.size() >= 2 && out.front() == '"' && out.back() == '"')
        out = out.substr(1, out.size() - 2);
    return unescape ? UnescapeBackslashes(out) : out;
}

std::string UnquoteCString(const char* text, bool unescape)
{
    return text ? Unquote(text, unescape) : std::string();
}

std::string UnescapeXml(const std::string& text)
{
    std::string out;
    UnescapeXmlTo(text, out);
    return out;
}

void UnescapeXmlTo(const std::string& text, std::string& out)
{
    static const std::pair<std::string, std::string> kEntities[] = {
        {"&quot;", "\""}, {"&apos;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"},
    };
    std::string current = text;
    for (const auto& entity : kEntities)
    {
        std::string next;
        ReplaceAll(current, entity.first, entity.second, next);
        current.swap(next);
    }
    out = std::move(current);
}

bool SplitListCString(const char* text, std::vector<std::string>& items)
{
    if (!text)
        return false;
    const char* end = text;
    while (*end)
        ++end;
    AppendTrimmedItems(text, end, items);
    return true;
}

bool SplitList(const std::string& text, std::vector<std::string>& items)
{
    AppendTrimmedItems(text.data(), text.data() + text.size(), items);
    return true;
}

bool SplitEscapedList(const char* text, std::vector<std::string>& items)
{
    return SplitEscapedList(std::string(text ? text : ""), items);
}

bool SplitEscapedList(const std::string& text, std::vector<std::string>& items)
{
    std::vector<std::string> raw;
    SplitList(text, raw);
    for (const std::string& item : raw)
        items.push_back(UnescapeListItem(item));
    return true;
}

bool NumericLess(const std::string& a, const std::string& b)
{
    const auto filter = [](const std::string& text) {
        std::string out;
        for (char c : text)
            if ((c >= '0' && c <= '9') || c == '.' || c == '-')
                out += c;
        return out;
    };
    double x, y;
    if (!StringToDouble(filter(a), &x))
        return true;
    if (!StringToDouble(filter(b), &y))
        return false;
    return x < y;
}

bool SmartLess(const std::string& a, const std::string& b)
{
    const std::string lowerA = MakeLower(a);
    const std::string lowerB = MakeLower(b);
    double x, y;
    const bool aIsNumber = StringToDouble(lowerA, &x);
    const bool bIsNumber = StringToDouble(lowerB, &y);
    if (aIsNumber && bIsNumber)
        return x < y;
    if (aIsNumber != bIsNumber)
        return aIsNumber;
    return lowerA < lowerB;
}

int TextDistance(const std::string& a, const std::string& b)
{
    const std::string lowerA = MakeLower(a);
    const std::string lowerB = MakeLower(b);
    const size_t length = std::max(lowerA.size(), lowerB.size());
    // Kept wide so that very long texts cannot overflow; the result saturates.
    int64_t distance = 0;
    for (size_t i = 0; i < length; ++i)
    {
        if (i >= lowerA.size() || i >= lowerB.size())
            distance += 1;
        else if (lowerA[i] != lowerB[i])
            distance += std::abs(static_cast<signed char>(lowerA[i]) - static_cast<signed char>(lowerB[i])) + 1;
    }
    return static_cast<int>(std::min<int64_t>(distance, std::numeric_limits<int>::max()));
}

double ValueDistance(const std::string& a, const std::string& b)
{
    double x, y;
    if (StringToDouble(a, &x) && StringToDouble(b, &y))
        return std::fabs(x - y);
    return static_cast<double>(TextDistance(a, b));
}
}
