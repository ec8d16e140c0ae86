#include "librarian/gp/SpinNumber.h"

#include "librarian/gp/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace GP
{
namespace SpinNumber
{
namespace
{
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}

// The spin edit shows and reads its numbers with the toolkit's shared formatters, copied out of
// their shared results.
std::string FormatInteger(int32_t value, int32_t format)
{
    return GP::FormatInteger(value, format);
}

std::string FormatReal(double value, int32_t format, int32_t precision, uint32_t flags)
{
    return GP::FormatReal(value, format, std::clamp(precision, 0, 15), static_cast<int>(flags));
}

bool ParseReal(const std::string& text, double& value)
{
    value = 0;
    double read = 0;
    if (!GP::ParseReal(text.c_str(), read))
        return false;
    value = read;
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
