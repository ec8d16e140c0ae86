#pragma once
// Byte fixtures written as hex text ("F0 41 10 F7") and printed back the same way.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<uint8_t> Hex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::istringstream in(text);
    std::string token;
    while (in >> token)
        bytes.push_back(static_cast<uint8_t>(std::strtoul(token.c_str(), nullptr, 16)));
    return bytes;
}

inline std::string ToHex(const std::vector<uint8_t>& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const uint8_t b : bytes)
    {
        if (!text.empty())
            text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}
