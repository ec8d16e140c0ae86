#pragma once
// The number arithmetic of the spin edit, free of windows: formatting and reading of its integer
// and real numbers (decimal, hexadecimal, hexadecimal with sign), the padding that gives the
// stepping digit a place, steps and clamping, the digit under the caret, and the auto-repeat timing.
#include <cstdint>
#include <string>

namespace GP
{
namespace SpinNumber
{
enum ENumberKind : int32_t { Integer = 0, Real = 1 };
enum EFormat : int32_t { Decimal = 0, Hexadecimal = 1, SignedHexadecimal = 2 };

// Format 0 "%d"; 1 "0x%X" of the 32-bit pattern; 2 "0x%X" with a '-' in front for negative values.
std::string FormatInteger(int32_t value, int32_t format);
// Flags: 1 drops trailing zeros (and then the point), 4 keeps one zero after the point, 2 gives a
// value without fraction the precision of bit 2 (0 or 1) before that.
std::string FormatReal(double value, int32_t format, int32_t precision, uint32_t flags);
// Leading white space and one '-' are skipped; "0x" reads hexadecimal (a fraction in 28 bits
// after a '.'), anything else decimal. False when no number could be read (value 0).
bool ParseReal(const std::string& text, double& value);

// The position of the decimal point, or without one the text length less trailing white space.
int PointPosition(const std::string& text);
// The text with spaces before or after it so that the stepping digit has a place.
std::string PadForDigit(const std::string& text, int32_t digit);
// The stepping digit for a caret at character `caretEnd` (the selection's end).
int32_t DigitFromCaret(const std::string& text, int caretEnd, bool integerMode);
// Where the caret goes to sit right after the stepping digit, clamped to the text.
int CaretAfterDigit(const std::string& text, int32_t digit);

// One unit of the digit: base^(digit + acceleration), base 16 for the hexadecimal formats.
double StepSize(int32_t format, int32_t digit, int32_t acceleration);
// The value inside [minimum, maximum] (either order); in integer mode inside the whole numbers of
// the range and rounded half away from zero.
double Clamp(double value, double minimum, double maximum, bool integerMode);

// Keyboard delay 0..3 and speed 0..31 as SPI_GETKEYBOARDDELAY/SPEED give them.
double RepeatDelay(int keyboardDelay);
double RepeatInterval(int keyboardSpeed);
// The repeat timer's period: the interval shortened by the speed factor, in whole milliseconds,
// never below 10 ms (a 0 ms timer would fire without pause).
uint32_t RepeatPeriod(double repeatInterval, double speedFactor);
// The speed factor in the first line of a settings file: 1 when the file cannot be read or the
// number is not above 0. Only the first line (at most 255 bytes) is read.
double ReadSpeedFactor(const std::string& path);

// The trackbar of sliding: thumb position 0..32767 for a value and back. An empty range (minimum
// equal to maximum) puts the thumb at 0 and always gives the minimum.
int32_t ThumbFromValue(double value, double minimum, double maximum, bool vertical);
double ValueFromThumb(int32_t thumb, double minimum, double maximum, bool vertical);
constexpr int32_t ThumbRange = 32767;
}
}
