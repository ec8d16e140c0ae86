#include "tests/support/HexFixture.h"

#include <cctype>

bool DecodeHexFixture(const std::string& text, std::string& bytes, std::string& error)
{
    bytes.clear();
    size_t i = 0;
    while (i < text.size())
    {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c)))
        {
            ++i;
        }
        else if (c == '#')
        {
            while (i < text.size() && text[i] != '\n')
                ++i;
        }
        else if (c == '"')
        {
            const size_t end = text.find('"', i + 1);
            if (end == std::string::npos)
            {
                error = "unterminated text in hex fixture";
                return false;
            }
            bytes += text.substr(i + 1, end - i - 1);
            i = end + 1;
        }
        else
        {
            size_t end = i;
            while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '#')
                ++end;
            const std::string token = text.substr(i, end - i);
            const size_t star = token.find('*');
            const std::string hex = token.substr(0, star);
            const std::string repeat = star == std::string::npos ? "1" : token.substr(star + 1);
            const bool hexOk = hex.size() == 2 && std::isxdigit(static_cast<unsigned char>(hex[0])) &&
                               std::isxdigit(static_cast<unsigned char>(hex[1]));
            const bool repeatOk = !repeat.empty() && repeat.size() <= 6 &&
                                  repeat.find_first_not_of("0123456789") == std::string::npos;
            if (!hexOk || !repeatOk)
            {
                error = "bad token in hex fixture: " + token;
                return false;
            }
            bytes.append(std::stoul(repeat), static_cast<char>(std::stoul(hex, nullptr, 16)));
            i = end;
        }
    }
    return true;
}
