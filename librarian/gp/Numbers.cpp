#include "librarian/gp/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace GP
{
namespace
{
constexpr double kFractionScale = 268435456.0;   // 2^28: the hexadecimal fraction's unit

const char* SkipSpace(const char* text)
{
    while (*text && std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    return text;
}

// Reads hexadecimal digits as a 32-bit value (LP64 "%lx" would read 64 bits).
bool ScanHex(const char* text, uint32_t& value)
{
    unsigned long long wide = 0;
    if (std::sscanf(text, "%llx", &wide) != 1)
        return false;
    value = static_cast<uint32_t>(wide);
    return true;
}
}

bool ParseInteger(const char* text, int32_t& value)
{
    if (!text)
        return false;
    text = SkipSpace(text);
    const bool negative = (*text == '-');
    if (negative)
        ++text;
    // "%i" into a wide unsigned: "0xFFFFFFE6" must give -26 as Windows' 32-bit long does.
    long long wide = 0;
    if (std::sscanf(text, "%lli", &wide) != 1)
        return false;
    int32_t result = static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(wide)));
    value = negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(result)) : result;
    return true;
}

int32_t ParseInteger(const char* text)
{
    int32_t value = 0;
    return ParseInteger(text, value) ? value : 0;
}

bool ParseReal(const char* text, double& value)
{
    if (!text)
        return false;
    text = SkipSpace(text);
    const bool negative = (*text == '-');
    if (negative)
        ++text;
    double result = 0;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    {
        const char* digits = text + 2;
        // "0x" alone is no number, though the scanner would read its 0.
        if (!std::isxdigit(static_cast<unsigned char>(*digits)))
            return false;
        const char* point = nullptr;
        for (const char* p = digits; std::isxdigit(static_cast<unsigned char>(*p)) || *p == '.'; ++p)
            if (*p == '.')
            {
                point = p;
                break;
            }
        uint32_t whole = 0;
        if (!ScanHex(text, whole))
            return false;
        result = whole;
        if (point)
        {
            char fraction[8] = "0000000";
            for (int i = 0; i < 7 && std::isxdigit(static_cast<unsigned char>(point[1 + i])); ++i)
                fraction[i] = point[1 + i];
            uint32_t fractionValue = 0;
            ScanHex(fraction, fractionValue);
            result += fractionValue / kFractionScale;
        }
    }
    // "nan" and "inf" read as numbers but are none a value can take.
    else if (std::sscanf(text, "%lf", &result) != 1 || !std::isfinite(result))
        return false;
    value = negative ? -result : result;
    return true;
}

double ParseReal(const char* text)
{
    double value = 0;
    return ParseReal(text, value) ? value : 0;
}

const char* FormatInteger(int32_t value, int format)
{
    static char buffer[32];
    const uint32_t bits = static_cast<uint32_t>(value);
    if (format == 1)
        std::snprintf(buffer, sizeof buffer, "0x%X", bits);
    else if (format == 2)
    {
        if (value < 0)
            std::snprintf(buffer, sizeof buffer, "-0x%X", 0u - bits);
        else
            std::snprintf(buffer, sizeof buffer, "0x%X", bits);
    }
    else
        std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

const char* FormatReal(double value, int format, int precision, int flags)
{
    static std::string result;
    // A value that is no number shows as 0 rather than as whatever its conversion would give.
    if (!std::isfinite(value))
        value = 0;
    if (precision > 0 && (flags & 2) && value == std::floor(value))
        precision = (flags & 4) ? 1 : 0;
    // A precision beyond what a double carries only makes the text long.
    if (precision > 64)
        precision = 64;

    char buffer[512];
    if (format == 2)
    {
        const bool negative = value < 0;
        const double magnitude = std::fabs(value);
        // The hexadecimal form covers 32-bit magnitudes, like the values the editors hold.
        const double clamped = std::min(magnitude, 4294967295.0);
        const uint32_t whole = static_cast<uint32_t>(clamped);
        if (precision > 0)
        {
            const uint32_t fraction = static_cast<uint32_t>((clamped - whole) * kFractionScale);
            std::snprintf(buffer, sizeof buffer, negative ? "-0x%X.%07X" : "0x%X.%07X", whole, fraction);
            char* point = std::strchr(buffer, '.');
            if (point && static_cast<int>(std::strlen(point + 1)) > precision)
                point[1 + precision] = '\0';
        }
        else
            std::snprintf(buffer, sizeof buffer, negative ? "-0x%X" : "0x%X", whole);
    }
    else
        std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
    result = buffer;

    if (precision > 0 && (flags & 1))
    {
        const std::string::size_type point = result.find('.');
        if (point != std::string::npos)
        {
            while (result.size() > point + 1 && result.back() == '0')
                result.pop_back();
            if (result.size() == point + 1)
            {
                if (flags & 4)
                    result += '0';
                else
                    result.pop_back();
            }
        }
    }
    return result.c_str();
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0)
    {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        text.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

void TrimRight(std::string& text)
{
    // Only ASCII white space is trimmed, so the trail bytes of a multibyte character stay.
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n' || text.back() == '\v' || text.back() == '\f'))
        text.pop_back();
}
}
