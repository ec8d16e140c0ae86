#pragma once
// Number parsing and formatting shared by the spin edit and the editing list control, plus a
// printf-style formatter and a trailing-space trim. Numbers are 32-bit as the instrument's values;
// parsing and printing always follow the C locale.
#include <cstdint>
#include <string>

namespace GP
{
// Leading white space, an optional '-', then decimal, "0x" hexadecimal or leading-zero octal.
// False when no number could be read.
bool ParseInteger(const char* text, int32_t& value);
// The number, or 0 when none could be read.
int32_t ParseInteger(const char* text);

// Decimal, or "0x" hexadecimal with an optional fraction of up to 7 hexadecimal digits (the
// fraction counts in 2^-28 steps).
bool ParseReal(const char* text, double& value);
double ParseReal(const char* text);

// Format 0 "%d", 1 "0x%X" (two's complement), 2 signed hexadecimal ("-0x1A").
// The formatters return a text that stays valid until the next call of the same formatter.
const char* FormatInteger(int32_t value, int format);
// Format 0 decimal, 2 signed hexadecimal with a 2^-28 fraction. Flags: 1 removes trailing zeros
// (and the point), 2 drops the fraction of whole numbers (keeping one digit with 4), 4 keeps one
// '0' after the point.
const char* FormatReal(double value, int format, int precision, int flags);

std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Removes trailing white space.
void TrimRight(std::string& text);
}
