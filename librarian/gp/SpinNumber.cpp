#include "librarian/gp/SpinNumber.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdarg>
#include <cstdlib>
#include <fstream>

namespace GP
{
namespace SpinNumber
{
namespace
{
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Printf(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0)
        return std::string();
    return std::string(buffer, static_cast<size_t>(std::min<int>(n, sizeof buffer - 1)));
}

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Doubles beyond what a 32-bit whole part holds are cut to it rather than overflowing a cast.
uint32_t WholePart(double magnitude)
{
    if (!(magnitude >= 0))
        return 0;
    return magnitude >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(magnitude);
}
}

std::string FormatInteger(int32_t value, int32_t format)
{
    switch (format)
    {
    case Hexadecimal: return Printf("0x%X", static_cast<uint32_t>(value));
    case SignedHexadecimal:
        if (value < 0)
            return Printf("-0x%X", static_cast<uint32_t>(-static_cast<int64_t>(value)));
        return Printf("0x%X", static_cast<uint32_t>(value));
    default: return Printf("%d", value);
    }
}

std::string FormatReal(double value, int32_t format, int32_t precision, uint32_t flags)
{
    if (!std::isfinite(value))
        value = 0;
    precision = std::clamp(precision, 0, 15);
    if (precision > 0 && (flags & 2) && value == std::trunc(value))
        precision = (flags & 4) ? 1 : 0;
    std::string text;
    if (format == SignedHexadecimal)
    {
        const double magnitude = std::fabs(value);
        const uint32_t whole = WholePart(magnitude);
        const char* sign = value < 0 ? "-" : "";
        if (precision > 0)
        {
            const uint32_t fraction =
                static_cast<uint32_t>((magnitude - std::floor(magnitude)) * 268435456.0) & 0x0FFFFFFFu;
            text = Printf("%s0x%X.%07X", sign, whole, fraction);
            const size_t point = text.find('.');
            text.resize(std::min(text.size(), point + 1 + static_cast<size_t>(precision)));
        }
        else
            text = Printf("%s0x%X", sign, whole);
    }
    else
        text = Printf("%.*f", precision, value);
    if (precision > 0 && (flags & 1) && text.find('.') != std::string::npos)
    {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
        {
            if (flags & 4)
                text += '0';
            else
                text.pop_back();
        }
    }
    return text;
}

bool ParseReal(const std::string& text, double& value)
{
    value = 0;
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && text[i] == '-')
    {
        negative = true;
        ++i;
    }
    const std::string rest = text.substr(i);
    double result = 0;
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
    {
        size_t j = 2;
        uint64_t whole = 0;
        size_t digits = 0;
        while (j < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[j])))
        {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(rest[j])));
            const uint64_t nibble = c <= '9' ? uint64_t(c - '0') : uint64_t(c - 'a' + 10);
            whole = ((whole << 4) | nibble) & 0xFFFFFFFFu;
            ++j;
            ++digits;
        }
        if (digits == 0)
            return false;
        result = static_cast<double>(whole);
        if (j < rest.size() && rest[j] == '.')
        {
            std::string fraction;
            for (++j; j < rest.size() && fraction.size() < 7 && std::isxdigit(static_cast<unsigned char>(rest[j])); ++j)
                fraction += rest[j];
            fraction.resize(7, '0');
            result += static_cast<double>(std::strtoul(fraction.c_str(), nullptr, 16)) / 268435456.0;
        }
    }
    else
    {
        const char* start = rest.c_str();
        char* end = nullptr;
        result = std::strtod(start, &end);
        if (end == start || !std::isfinite(result))
            return false;
    }
    value = negative ? -result : result;
    return true;
}

int PointPosition(const std::string& text)
{
    const size_t point = text.find('.');
    if (point != std::string::npos)
        return static_cast<int>(point);
    size_t k = text.size();
    while (k > 0 && IsSpace(text[k - 1]))
        --k;
    return static_cast<int>(k);
}

std::string PadForDigit(const std::string& text, int32_t digit)
{
    const int k = PointPosition(text);
    const int64_t i = digit >= 0 ? int64_t(k) - digit - 1 : int64_t(k) - digit;
    const int64_t length = static_cast<int64_t>(text.size());
    // The pad is bounded: a digit far off the number would otherwise ask for a huge string.
    if (i < 0)
        return std::string(static_cast<size_t>(std::min<int64_t>(1 - i, 64)), ' ') + text;
    if (i >= length)
        return text + std::string(static_cast<size_t>(std::min<int64_t>(i - length + 1, 64)), ' ');
    return text;
}

int32_t DigitFromCaret(const std::string& text, int caretEnd, bool integerMode)
{
    int c = caretEnd - 1;
    const int p = PointPosition(text);
    if (c == p && text.find('.') != std::string::npos)
        --c;
    int32_t digit = c < p ? p - c - 1 : p - c;
    if (integerMode && digit < 0)
        digit = 0;
    return digit;
}

int CaretAfterDigit(const std::string& text, int32_t digit)
{
    const int p = PointPosition(text);
    const int64_t index = digit >= 0 ? int64_t(p) - digit - 1 : int64_t(p) - digit;
    return static_cast<int>(std::clamp<int64_t>(index + 1, 0, static_cast<int64_t>(text.size())));
}

double StepSize(int32_t format, int32_t digit, int32_t acceleration)
{
    const double base = format == Decimal ? 10.0 : 16.0;
    return std::pow(base, static_cast<double>(digit + acceleration));
}

double Clamp(double value, double minimum, double maximum, bool integerMode)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (integerMode)
    {
        minimum = std::ceil(minimum);
        maximum = std::floor(maximum);
        value = std::round(value);
        if (minimum > maximum)   // no whole number in the range
            return minimum;
    }
    if (std::isnan(value))
        return minimum;
    return std::clamp(value, minimum, maximum);
}

double RepeatDelay(int keyboardDelay) { return keyboardDelay / 3.0 * 750.0 + 250.0; }

double RepeatInterval(int keyboardSpeed) { return 1000.0 / (keyboardSpeed / 31.0 * 27.5 + 2.5); }

uint32_t RepeatPeriod(double repeatInterval, double speedFactor)
{
    if (!(speedFactor > 0))
        speedFactor = 1;
    const double period = std::trunc(repeatInterval / speedFactor);
    return period < 10 ? 10u : static_cast<uint32_t>(std::min(period, 60000.0));
}

double ReadSpeedFactor(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return 1;
    char line[256] = {};
    file.getline(line, sizeof line);
    double factor = 0;
    if (!ParseReal(line, factor) || !(factor > 0) || !std::isfinite(factor))
        return 1;
    return factor;
}

int32_t ThumbFromValue(double value, double minimum, double maximum, bool vertical)
{
    const double span = maximum - minimum;
    if (!(span != 0) || !std::isfinite(span))
        return 0;
    const double ratio = vertical ? (maximum - value) / span : (value - minimum) / span;
    return static_cast<int32_t>(std::lround(std::clamp(ratio, 0.0, 1.0) * ThumbRange));
}

double ValueFromThumb(int32_t thumb, double minimum, double maximum, bool vertical)
{
    const double p = std::clamp(thumb, 0, ThumbRange);
    const double fromMinimum = vertical ? ThumbRange - p : p;
    return minimum + fromMinimum / ThumbRange * (maximum - minimum);
}
}
}
