#include "platform/TextCodec_p.h"

#include <cstring>

namespace PlatformDetail
{
namespace
{
bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at `bytes` (at most `left` bytes) and its code
// point; 0 when the bytes there do not form one (overlong forms, surrogates and values past
// U+10FFFF included).
size_t DecodeSequence(const unsigned char* bytes, size_t left, char32_t& codePoint)
{
    const unsigned char lead = bytes[0];
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    }
    if (length == 0 || left < length || bytes[1] < low || bytes[1] > high)
        return 0;
    codePoint = lead & (0xFF >> (length + 1));
    for (size_t i = 1; i < length; ++i)
    {
        if (!IsContinuation(bytes[i]))
            return 0;
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    return length;
}
}

QString TextFromBytes(const char* bytes, size_t length)
{
    QString text;
    if (!bytes)
        return text;
    text.reserve(static_cast<qsizetype>(length));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    size_t i = 0;
    while (i < length)
    {
        if (data[i] < 0x80)
        {
            text += QChar(data[i++]);
            continue;
        }
        char32_t codePoint = 0;
        const size_t sequence = DecodeSequence(data + i, length - i, codePoint);
        if (sequence == 0)
        {
            text += QChar(data[i++]);   // its Latin-1 character
            continue;
        }
        text += QString::fromUcs4(&codePoint, 1);
        i += sequence;
    }
    return text;
}

QString TextFromBytes(const std::string& text) { return TextFromBytes(text.data(), text.size()); }

QString TextFromBytes(const char* text) { return text ? TextFromBytes(text, std::strlen(text)) : QString(); }

std::string TextToBytes(const QString& text) { return text.toUtf8().toStdString(); }
}
