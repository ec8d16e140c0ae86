#include "toolkit/gt/Format.h"

#include <cstdio>

namespace GT
{
std::string& FormatV(std::string& out, const char* format, va_list args)
{
    out.clear();
    if (!format)
        return out;
    char buffer[kMaxFormattedLength + 1];
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length < 0)
        return out;
    out.assign(buffer, std::min<size_t>(static_cast<size_t>(length), kMaxFormattedLength));
    return out;
}

std::string& Format(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(out, format, args);
    va_end(args);
    return out;
}
}
