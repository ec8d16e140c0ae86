#include "midi/ml/CLongMessage.h"

#include "toolkit/gt/TextOut.h"

#include <cstring>

namespace ML
{
CLongMessage::CLongMessage()
{
    CLongMessage::Reset();
}

CLongMessage::CLongMessage(const Bytes& bytes) : CMessage(bytes)
{
}

bool CLongMessage::Assign(const Bytes& bytes)
{
    return Assign(bytes.data(), bytes.size());
}

bool CLongMessage::Assign(const uint8_t* bytes, size_t count)
{
    if (!IsValidSysex(bytes, count))
        return false;
    assign(bytes, bytes + count);
    return true;
}

int CLongMessage::GetInnerByte(size_t index) const
{
    return index + 1 < size() ? (*this)[index] : -1;
}

bool CLongMessage::SetInnerByte(size_t index, uint8_t value)
{
    if (index + 1 >= size())
        return false;
    (*this)[index] = value;
    return true;
}

int CLongMessage::GetManufacturerId() const
{
    return GetInnerByte(1);
}

bool CLongMessage::SetManufacturerId(int8_t id)
{
    if (id < 0)
        return false;
    return SetInnerByte(1, static_cast<uint8_t>(id));
}

int CLongMessage::GetByte3() const
{
    return GetInnerByte(3);
}

bool CLongMessage::SetByte3(uint8_t value)
{
    return SetInnerByte(3, value);
}

int CLongMessage::GetByte4() const
{
    return GetInnerByte(4);
}

bool CLongMessage::SetByte4(uint8_t value)
{
    return SetInnerByte(4, value);
}

void CLongMessage::Reset()
{
    clear();
    reserve(kReservedSize);
    push_back(0xF0);
    push_back(0x00);
    push_back(0xF7);
}

void CLongMessage::SetData(const Bytes& bytes)
{
    if (size() < 2)
        Reset();
    resize(2);
    insert(end(), bytes.begin(), bytes.end());
    push_back(0xF7);
}

Bytes CLongMessage::GetData() const
{
    if (size() < 3)
        return {};
    return Bytes(begin() + 2, end() - 1);
}

size_t CLongMessage::GetDataLength() const
{
    return size() < 3 ? 0 : size() - 3;
}

bool CLongMessage::SetDeviceId(uint8_t id)
{
    return SetInnerByte(2, id);
}

int CLongMessage::GetDeviceId() const
{
    return GetInnerByte(2);
}

void CLongMessage::Dump(GT::ITextOut& out) const
{
    if (empty())
        return;
    std::string text;
    AppendHexBytes(text, data(), 1);
    text.back() = '\n';
    text += "+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n";
    for (size_t i = 1; i + 1 < size(); ++i)
    {
        AppendHexBytes(text, data() + i, 1);
        if (i % 16 == 15)
            text += '\n';
    }
    if (size() % 16 != 0)
        text += '\n';
    if (size() >= 2)
    {
        AppendHexBytes(text, &back(), 1);
        text.back() = '\n';
    }
    out.Write(text);
}
}
