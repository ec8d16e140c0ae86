#pragma once
// Numbers to text and back, and byte vectors. Numbers the script and the settings hold are
// 32-bit: every integer reader wraps its result to 32 bits (16 for the colour triple), the way the
// instrument's tools wrote them. Number reading never depends on the process locale.
#include "toolkit/gt/ValueTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace GT
{
using CBytes = std::vector<uint8_t>;

// Mode 0: "%ld"; mode 1: "0x%lX" of the two's-complement bits; mode 2: "0x%lX", or "-0x%lX" of the
// magnitude for a negative value; any other mode: "".
std::string LongToString(int32_t value, int mode = 0);

// Skips leading white space, takes one optional '-', reads the rest as "%li" (0x prefix:
// hexadecimal, leading 0: octal) and negates when the '-' was there. `value` is written only on
// success and may be null (test only). The C-string overloads return false for null.
bool StringToLong(const char* text, int32_t* value);
bool StringToLong(const std::string& text, int32_t* value);
// The value of StringToLong, or 0 when the text is no number.
int32_t ToLong(const char* text);
int32_t ToLong(const std::string& text);
// "%ld": decimal only.
bool StringToLongDecimal(const char* text, int32_t* value);
bool StringToLongDecimal(const std::string& text, int32_t* value);
// "%li,%li"; true only when both were read.
bool StringToLongPair(const char* text, int32_t* first, int32_t* second);
bool StringToLongPair(const std::string& text, int32_t* first, int32_t* second);
bool StringToPoint(const char* text, CPoint32* point);
bool StringToPoint(const std::string& text, CPoint32* point);
// "%li,%li,%li,%li" into left, top, right, bottom.
bool StringToRect(const char* text, CRect32* rect);
bool StringToRect(const std::string& text, CRect32* rect);
// "%hi,%hi,%hi".
bool StringToShortTriple(const char* text, CShortTriple* triple);
bool StringToShortTriple(const std::string& text, CShortTriple* triple);

// A decimal number ([sign] digits [. digits] [e [sign] digits]), or after an optional '-' a
// hexadecimal fixed-point number "0x<hex>[.<hex>]" with a 28-bit fraction (0x1.8 is 1.5).
// "nan", "inf" and the like are no numbers. `value` may be null (test only).
bool StringToDouble(const char* text, double* value);
bool StringToDouble(const std::string& text, double* value);

// 0..15 for a hexadecimal digit, 255 for anything else.
uint8_t HexDigitValue(char character);
// Appends the bytes of a text such as "F0 41 10": one or two hex digits per byte, separated by
// spaces only. False on anything else (bytes appended before stay); an empty text is true.
bool HexStringToBytes(const char* text, CBytes& bytes);
bool HexStringToBytes(const std::string& text, CBytes& bytes);
// Appends the numbers of a comma-separated "%li" list; false at the first empty item or item
// that holds no number (numbers appended before stay), and for an empty text.
bool StringToLongList(const char* text, std::vector<int32_t>& values);
bool StringToLongList(const std::string& text, std::vector<int32_t>& values);

std::string BytesToString(const CBytes& bytes);
CBytes StringToBytes(const std::string& text);
// Folds the bytes as value * 256 + byte, from the first byte (big-endian) or from the last one
// back; only the last four bytes folded in count.
uint32_t BytesToLong(const CBytes& bytes, bool bigEndian);
// Count as 4 bytes, most significant first, then per string its length (4 bytes) and characters.
CBytes StringListToBytes(const std::vector<std::string>& strings);

// Per channel from + (to - from) * t in double precision, truncated toward zero; results beyond
// the 16-bit range (t outside 0..1) are clamped.
void InterpolateColor(const CShortTriple& from, const CShortTriple& to, double t, CShortTriple& out);
}
