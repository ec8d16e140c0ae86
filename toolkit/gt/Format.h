#pragma once
#include <cstdarg>
#include <string>

namespace GT
{
// Longest text a formatting call produces; longer output is cut to this many characters.
constexpr size_t kMaxFormattedLength = 509;

// printf-style formatting into `out`, which is also returned. A null format gives "".
std::string& Format(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string& FormatV(std::string& out, const char* format, va_list args);
}
