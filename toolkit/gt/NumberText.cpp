#include "toolkit/gt/NumberText.h"

#include <cctype>
#include <charconv>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace GT
{
namespace
{
bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

const char* SkipSpace(const char* p)
{
    while (*p && IsSpace(*p))
        ++p;
    return p;
}

int DigitValue(char c, unsigned base)
{
    const uint8_t value = HexDigitValue(c);
    return value < base ? value : -1;
}

// Digits in `base`, accumulated modulo 2^32 so that every input has a defined 32-bit result.
// Returns the end of the digits; `count` is how many were read.
const char* ReadDigits(const char* p, unsigned base, uint32_t& value, size_t& count)
{
    value = 0;
    count = 0;
    for (int digit; (digit = DigitValue(*p, base)) >= 0; ++p, ++count)
        value = value * base + static_cast<uint32_t>(digit);
    return p;
}

// Optional sign as a scanf conversion takes it (directly before the number, no blank between).
const char* ReadSign(const char* p, bool& negative)
{
    negative = false;
    if (*p == '-' || *p == '+')
    {
        negative = *p == '-';
        ++p;
    }
    return p;
}

enum class EBase
{
    kDecimal,    // "%ld"
    kAny,        // "%li": 0x prefix hexadecimal, leading 0 octal
    kHex,        // "%lx": optional 0x prefix
};

// One scanf-style integer conversion: skips white space, then reads [sign] number. Null when no
// number was read; otherwise the end of the number.
const char* ScanInteger(const char* p, EBase base, uint32_t& value)
{
    p = SkipSpace(p);
    bool negative;
    p = ReadSign(p, negative);
    unsigned radix = 10;
    const bool hasHexPrefix = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    if (base == EBase::kHex || (base == EBase::kAny && hasHexPrefix))
    {
        radix = 16;
        if (hasHexPrefix)
        {
            // "0x" not followed by a digit still reads as the number 0.
            if (DigitValue(p[2], 16) < 0)
            {
                value = 0;
                return p + 2;
            }
            p += 2;
        }
    }
    else if (base == EBase::kAny && p[0] == '0')
    {
        radix = 8;
    }
    size_t count;
    const char* end = ReadDigits(p, radix, value, count);
    if (count == 0)
        return nullptr;
    if (negative)
        value = 0u - value;
    return end;
}

const char* ScanLong(const char* p, EBase base, int32_t& value)
{
    uint32_t bits;
    const char* end = ScanInteger(p, base, bits);
    if (end)
        value = static_cast<int32_t>(bits);
    return end;
}

// Reads `count` comma-separated "%li" numbers ("%li,%li,..."): a comma must follow each number
// directly; blanks may stand before each number.
bool ScanLongList(const char* text, int32_t* values, size_t count)
{
    if (!text)
        return false;
    const char* p = text;
    for (size_t i = 0; i < count; ++i)
    {
        if (i > 0)
        {
            if (*p != ',')
                return false;
            ++p;
        }
        p = ScanLong(p, EBase::kAny, values[i]);
        if (!p)
            return false;
    }
    return true;
}

// Power of ten of the leading significant digit of a checked decimal number, roughly: positive
// for numbers of 1 and more. Only its sign matters.
long DecimalMagnitude(const char* begin, const char* end)
{
    long integerDigits = 0;
    long leadingFractionZeros = 0;
    bool significant = false;
    const char* p = begin;
    for (; p < end && std::isdigit(static_cast<unsigned char>(*p)); ++p)
    {
        if (significant || *p != '0')
        {
            significant = true;
            ++integerDigits;
        }
    }
    if (p < end && *p == '.')
    {
        for (++p; p < end && std::isdigit(static_cast<unsigned char>(*p)); ++p)
        {
            if (!significant && *p == '0')
                ++leadingFractionZeros;
            else
                significant = true;
        }
    }
    long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E'))
    {
        ++p;
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        for (; p < end; ++p)
            exponent = std::min(exponent * 10 + (*p - '0'), 1000000L);
        if (negative)
            exponent = -exponent;
    }
    return exponent + (integerDigits > 0 ? integerDigits : -leadingFractionZeros);
}

// A decimal floating-point number as "%lf" reads it, without the locale, hexadecimal floats,
// infinities and NaNs. Null when no number stands at `p`.
const char* ScanDecimalDouble(const char* p, double& value)
{
    p = SkipSpace(p);
    bool negative;
    const char* const signEnd = ReadSign(p, negative);
    const char* q = signEnd;
    size_t digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*q)))
        ++q, ++digits;
    if (*q == '.')
    {
        ++q;
        while (std::isdigit(static_cast<unsigned char>(*q)))
            ++q, ++digits;
    }
    if (digits == 0)
        return nullptr;
    if (*q == 'e' || *q == 'E')
    {
        const char* e = q + 1;
        if (*e == '+' || *e == '-')
            ++e;
        if (std::isdigit(static_cast<unsigned char>(*e)))
        {
            while (std::isdigit(static_cast<unsigned char>(*e)))
                ++e;
            q = e;
        }
    }
    double magnitude = 0;
    const std::from_chars_result result = std::from_chars(signEnd, q, magnitude);
    if (result.ec == std::errc::result_out_of_range)
    {
        // Too large is no number (it would be infinite); too small reads as 0.
        if (DecimalMagnitude(signEnd, q) > 0)
            return nullptr;
        magnitude = 0.0;
    }
    else if (result.ec != std::errc())
    {
        return nullptr;
    }
    value = negative ? -magnitude : magnitude;
    return q;
}
}

std::string LongToString(int32_t value, int mode)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    char buffer[32];
    switch (mode)
    {
    case 0:
        std::snprintf(buffer, sizeof buffer, "%ld", static_cast<long>(value));
        return buffer;
    case 1:
        std::snprintf(buffer, sizeof buffer, "0x%lX", static_cast<unsigned long>(bits));
        return buffer;
    case 2:
        if (value >= 0)
            std::snprintf(buffer, sizeof buffer, "0x%lX", static_cast<unsigned long>(bits));
        else
            std::snprintf(buffer, sizeof buffer, "-0x%lX", static_cast<unsigned long>(0u - bits));
        return buffer;
    default:
        return {};
    }
}

bool StringToLong(const char* text, int32_t* value)
{
    if (!text)
        return false;
    const char* p = SkipSpace(text);
    const bool negative = *p == '-';
    if (negative)
        ++p;
    int32_t number;
    if (!ScanLong(p, EBase::kAny, number))
        return false;
    if (value)
        *value = negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(number)) : number;
    return true;
}

bool StringToLong(const std::string& text, int32_t* value)
{
    return StringToLong(text.c_str(), value);
}

int32_t ToLong(const char* text)
{
    int32_t value = 0;
    return StringToLong(text, &value) ? value : 0;
}

int32_t ToLong(const std::string& text)
{
    return ToLong(text.c_str());
}

bool StringToLongDecimal(const char* text, int32_t* value)
{
    if (!text)
        return false;
    int32_t number;
    if (!ScanLong(text, EBase::kDecimal, number))
        return false;
    if (value)
        *value = number;
    return true;
}

bool StringToLongDecimal(const std::string& text, int32_t* value)
{
    return StringToLongDecimal(text.c_str(), value);
}

bool StringToLongPair(const char* text, int32_t* first, int32_t* second)
{
    int32_t values[2];
    if (!ScanLongList(text, values, 2))
        return false;
    if (first)
        *first = values[0];
    if (second)
        *second = values[1];
    return true;
}

bool StringToLongPair(const std::string& text, int32_t* first, int32_t* second)
{
    return StringToLongPair(text.c_str(), first, second);
}

bool StringToPoint(const char* text, CPoint32* point)
{
    int32_t values[2];
    if (!ScanLongList(text, values, 2))
        return false;
    if (point)
        *point = {values[0], values[1]};
    return true;
}

bool StringToPoint(const std::string& text, CPoint32* point)
{
    return StringToPoint(text.c_str(), point);
}

bool StringToRect(const char* text, CRect32* rect)
{
    int32_t values[4];
    if (!ScanLongList(text, values, 4))
        return false;
    if (rect)
        *rect = {values[0], values[1], values[2], values[3]};
    return true;
}

bool StringToRect(const std::string& text, CRect32* rect)
{
    return StringToRect(text.c_str(), rect);
}

bool StringToShortTriple(const char* text, CShortTriple* triple)
{
    int32_t values[3];
    if (!ScanLongList(text, values, 3))
        return false;
    if (triple)
        *triple = {static_cast<int16_t>(values[0]), static_cast<int16_t>(values[1]),
                   static_cast<int16_t>(values[2])};
    return true;
}

bool StringToShortTriple(const std::string& text, CShortTriple* triple)
{
    return StringToShortTriple(text.c_str(), triple);
}

bool StringToDouble(const char* text, double* value)
{
    if (!text)
        return false;
    const char* p = SkipSpace(text);
    const double sign = *p == '-' ? -1.0 : 1.0;
    if (*p == '-')
        ++p;
    double number;
    if (!(p[0] == '0' && p[1] == 'x'))
    {
        if (!ScanDecimalDouble(p, number))
            return false;
    }
    else
    {
        const std::string rest(p + 2);
        const size_t dot = rest.find('.');
        uint32_t integerPart;
        double fraction = 0;
        if (dot == std::string::npos)
        {
            if (!ScanInteger(rest.c_str(), EBase::kHex, integerPart))
                return false;
        }
        else
        {
            const std::string integerText = rest.substr(0, dot);
            if (integerText.empty() || !ScanInteger(integerText.c_str(), EBase::kHex, integerPart))
                return false;
            // Exactly seven fraction digits: 28 bits.
            std::string fractionText = rest.substr(dot + 1, 7);
            fractionText.resize(7, '0');
            uint32_t fractionBits;
            if (!ScanInteger(fractionText.c_str(), EBase::kHex, fractionBits))
                return false;
            fraction = std::ldexp(static_cast<double>(fractionBits), -28);
        }
        number = static_cast<double>(integerPart) + fraction;
    }
    if (value)
        *value = number * sign;
    return true;
}

bool StringToDouble(const std::string& text, double* value)
{
    return StringToDouble(text.c_str(), value);
}

uint8_t HexDigitValue(char character)
{
    if (character >= '0' && character <= '9')
        return static_cast<uint8_t>(character - '0');
    if (character >= 'A' && character <= 'F')
        return static_cast<uint8_t>(character - 'A' + 10);
    if (character >= 'a' && character <= 'f')
        return static_cast<uint8_t>(character - 'a' + 10);
    return 255;
}

bool HexStringToBytes(const char* text, CBytes& bytes)
{
    if (!text)
        return false;
    const char* p = text;
    while (*p)
    {
        if (*p == ' ')
        {
            ++p;
            continue;
        }
        const uint8_t high = HexDigitValue(*p++);
        if (high == 255)
            return false;
        uint8_t byte = high;
        if (*p && *p != ' ')
        {
            const uint8_t low = HexDigitValue(*p++);
            if (low == 255)
                return false;
            byte = static_cast<uint8_t>(high * 16 + low);
            if (*p && *p != ' ')
                return false;
        }
        bytes.push_back(byte);
    }
    return true;
}

bool HexStringToBytes(const std::string& text, CBytes& bytes)
{
    if (text.find('\0') != std::string::npos)
        return false;
    return HexStringToBytes(text.c_str(), bytes);
}

bool StringToLongList(const char* text, std::vector<int32_t>& values)
{
    if (!text)
        return false;
    std::istringstream stream{std::string(text)};
    std::string item;
    while (!stream.eof())
    {
        std::getline(stream, item, ',');
        int32_t value;
        if (item.empty() || !ScanLong(item.c_str(), EBase::kAny, value))
            return false;
        values.push_back(value);
    }
    return true;
}

bool StringToLongList(const std::string& text, std::vector<int32_t>& values)
{
    return StringToLongList(text.c_str(), values);
}

std::string BytesToString(const CBytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

CBytes StringToBytes(const std::string& text)
{
    return CBytes(text.begin(), text.end());
}

uint32_t BytesToLong(const CBytes& bytes, bool bigEndian)
{
    uint32_t value = 0;
    if (bigEndian)
        for (uint8_t byte : bytes)
            value = (value << 8) | byte;
    else
        for (auto it = bytes.rbegin(); it != bytes.rend(); ++it)
            value = (value << 8) | *it;
    return value;
}

CBytes StringListToBytes(const std::vector<std::string>& strings)
{
    CBytes bytes;
    const auto appendLength = [&bytes](size_t length) {
        const uint32_t value = static_cast<uint32_t>(length);
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<uint8_t>(value >> shift));
    };
    appendLength(strings.size());
    for (const std::string& text : strings)
    {
        appendLength(text.size());
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    return bytes;
}

void InterpolateColor(const CShortTriple& from, const CShortTriple& to, double t, CShortTriple& out)
{
    const auto channel = [t](int16_t a, int16_t b) {
        double value = std::trunc(a + (static_cast<double>(b) - a) * t);
        if (!(value >= std::numeric_limits<int16_t>::min()))   // also NaN
            value = std::isnan(value) ? a : std::numeric_limits<int16_t>::min();
        if (value > std::numeric_limits<int16_t>::max())
            value = std::numeric_limits<int16_t>::max();
        return static_cast<int16_t>(value);
    };
    out.red = channel(from.red, to.red);
    out.green = channel(from.green, to.green);
    out.blue = channel(from.blue, to.blue);
}
}
