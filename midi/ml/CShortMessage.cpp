#include "midi/ml/CShortMessage.h"

#include "toolkit/gt/TextOut.h"

#include <cstdio>

namespace ML
{
void AppendHexBytes(std::string& text, const uint8_t* bytes, size_t count)
{
    static const char kDigits[] = "0123456789ABCDEF";
    text.reserve(text.size() + count * 3);
    for (size_t i = 0; i < count; ++i)
    {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
        text += ' ';
    }
}

CShortMessage::CShortMessage(uint8_t status, uint8_t data1, uint8_t data2)
{
    Set(status, data1, data2);
}

CShortMessage::CShortMessage(uint8_t kind, uint8_t channel, uint8_t data1, uint8_t data2)
{
    Set(kind, channel, data1, data2);
}

CShortMessage::CShortMessage(const Bytes& bytes) : CMessage(bytes)
{
}

CShortMessage::CShortMessage(uint32_t packed)
{
    Set(static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8), static_cast<uint8_t>(packed >> 16));
}

size_t CShortMessage::LengthOfStatus(uint8_t status)
{
    if (status < 0x80)
        return 0;
    if (status < 0xF0)
    {
        switch (status & 0xF0)
        {
        case 0xC0:
        case 0xD0:
            return 2;
        default:
            return 3;
        }
    }
    switch (status)
    {
    case 0xF2:
        return 3;
    case 0xF1:
    case 0xF3:
        return 2;
    default:
        return 1;
    }
}

void CShortMessage::SetStatus(uint8_t status)
{
    const size_t length = LengthOfStatus(status);
    if (length != 0)
        resize(length);
    else if (empty())
        resize(1);   // a data byte given as status: the length stays, only byte 0 changes
    (*this)[0] = status;
}

void CShortMessage::SetStatus(uint8_t kind, uint8_t channel)
{
    SetStatus(static_cast<uint8_t>(kind | channel));
}

void CShortMessage::Set(uint8_t status, uint8_t data1, uint8_t data2)
{
    SetStatus(status);
    SetData1(data1);
    SetData2(data2);
}

void CShortMessage::Set(uint8_t kind, uint8_t channel, uint8_t data1, uint8_t data2)
{
    Set(static_cast<uint8_t>(kind | channel), data1, data2);
}

uint8_t CShortMessage::GetStatus() const
{
    return empty() ? 0 : (*this)[0];
}

void CShortMessage::GetKindAndChannel(uint8_t& kind, uint8_t& channel) const
{
    const uint8_t status = GetStatus();
    if (status < 0xF0)
    {
        kind = status & 0xF0;
        channel = status & 0x0F;
    }
    else
    {
        kind = status;
    }
}

void CShortMessage::SetData1(uint8_t data)
{
    if (size() >= 2)
        (*this)[1] = data;
}

void CShortMessage::SetData2(uint8_t data)
{
    if (size() == 3)
        (*this)[2] = data;
}

uint8_t CShortMessage::GetData1() const
{
    return size() >= 2 ? (*this)[1] : 0;
}

uint8_t CShortMessage::GetData2() const
{
    return size() >= 3 ? (*this)[2] : 0;
}

uint32_t CShortMessage::Pack() const
{
    return static_cast<uint32_t>(GetStatus()) | static_cast<uint32_t>(GetData1()) << 8 |
           static_cast<uint32_t>(GetData2()) << 16;
}

void CShortMessage::Dump(GT::ITextOut& out) const
{
    std::string text;
    AppendHexBytes(text, data(), size());
    text += '\n';
    out.Write(text);
}
}
