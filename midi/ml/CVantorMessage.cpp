#include "midi/ml/CVantorMessage.h"

#include "toolkit/gt/TextOut.h"

#include <algorithm>

namespace ML
{
const Bytes& CVantorMessage::Rq1Command()
{
    static const Bytes command{0x11};
    return command;
}

const Bytes& CVantorMessage::Dt1Command()
{
    static const Bytes command{0x12};
    return command;
}

CVantorMessage::CVantorMessage()
{
    CVantorMessage::Reset();
}

void CVantorMessage::Reset()
{
    CLongMessage::Reset();
    assign({0xF0, 0x41, 0x7F, 0x42, 0x12, 0xF7});
    m_fields = {{{2, 1}, {3, 1}, {4, 1}, {5, 0}, {5, 0}, {5, 0}}};
}

void CVantorMessage::SetField(EField field, const Bytes& bytes)
{
    CField& f = m_fields[field];
    const size_t offset = std::min(static_cast<size_t>(f.offset), size());
    const size_t length = std::min(static_cast<size_t>(f.length), size() - offset);
    erase(begin() + offset, begin() + offset + length);
    insert(begin() + offset, bytes.begin(), bytes.end());
    const int32_t difference = static_cast<int32_t>(bytes.size()) - f.length;
    f.length = static_cast<int32_t>(bytes.size());
    for (int later = field + 1; later < kFieldCount; ++later)
        m_fields[later].offset += difference;
}

const uint8_t* CVantorMessage::FieldBegin(EField field, size_t& length) const
{
    const CField& f = m_fields[field];
    const size_t offset = std::min(static_cast<size_t>(f.offset), size());
    length = std::min(static_cast<size_t>(f.length), size() - offset);
    return data() + offset;
}

Bytes CVantorMessage::FieldBytes(EField field) const
{
    size_t length = 0;
    const uint8_t* first = FieldBegin(field, length);
    return Bytes(first, first + length);
}

void CVantorMessage::SetModelId(const Bytes& bytes)
{
    if (!bytes.empty())
        SetField(kModelId, bytes);
}

void CVantorMessage::SetCommand(const Bytes& bytes)
{
    if (!bytes.empty())
        SetField(kCommand, bytes);
}

void CVantorMessage::SetAddress(const Bytes& bytes)
{
    SetField(kAddress, bytes);
}

void CVantorMessage::SetData(const Bytes& bytes)
{
    SetField(kData, bytes);
}

bool CVantorMessage::SetDeviceId(uint8_t id)
{
    SetField(kDeviceId, Bytes{id});
    return true;
}

Bytes CVantorMessage::GetModelId() const
{
    return FieldBytes(kModelId);
}

Bytes CVantorMessage::GetCommand() const
{
    return FieldBytes(kCommand);
}

Bytes CVantorMessage::GetAddress() const
{
    return FieldBytes(kAddress);
}

Bytes CVantorMessage::GetData() const
{
    return FieldBytes(kData);
}

size_t CVantorMessage::GetDataLength() const
{
    size_t length = 0;
    FieldBegin(kData, length);
    return length;
}

int CVantorMessage::GetDeviceId() const
{
    size_t length = 0;
    const uint8_t* first = FieldBegin(kDeviceId, length);
    return length > 0 ? *first : -1;
}

int CVantorMessage::GetChecksum() const
{
    size_t length = 0;
    const uint8_t* first = FieldBegin(kChecksum, length);
    return length > 0 ? *first : -1;
}

int CVantorMessage::ComputeChecksum() const
{
    size_t addressLength = 0;
    size_t dataLength = 0;
    const uint8_t* address = FieldBegin(kAddress, addressLength);
    const uint8_t* payload = FieldBegin(kData, dataLength);
    if (addressLength == 0 && dataLength == 0)
        return kNoChecksum;
    uint32_t sum = 0;
    for (size_t i = 0; i < addressLength; ++i)
        sum += address[i];
    for (size_t i = 0; i < dataLength; ++i)
        sum += payload[i];
    return static_cast<int>((0u - sum) & 0x7F);
}

void CVantorMessage::UpdateChecksum()
{
    const int checksum = ComputeChecksum();
    if (checksum == kNoChecksum)
        SetField(kChecksum, {});
    else
        SetField(kChecksum, Bytes{static_cast<uint8_t>(checksum)});
}

bool CVantorMessage::Parse(const Bytes& bytes, int32_t addressSize)
{
    return Parse(bytes.data(), bytes.size(), addressSize);
}

bool CVantorMessage::Parse(const uint8_t* bytes, size_t count, int32_t addressSize)
{
    if (!IsValidSysex(bytes, count) || count < 6)
        return false;
    const size_t last = count - 1;   // the F7
    std::array<CField, kFieldCount> fields{};
    fields[kDeviceId] = {2, 1};

    // Model ID and command: any number of 00h bytes and one non-zero byte each.
    size_t end = 3;
    while (end < last && bytes[end] == 0)
        ++end;
    if (end + 3 > count)   // its last byte must lie at index count - 3 or lower
        return false;
    fields[kModelId] = {3, static_cast<int32_t>(end - 3 + 1)};

    const size_t commandBegin = end + 1;
    end = commandBegin;
    while (end < last && bytes[end] == 0)
        ++end;
    if (end + 2 > count)
        return false;
    fields[kCommand] = {static_cast<int32_t>(commandBegin), static_cast<int32_t>(end - commandBegin + 1)};

    const size_t addressBegin = end + 1;
    const size_t addressLength = addressSize > 0 ? static_cast<size_t>(addressSize) : 0;
    if (addressSize > 0 ? addressBegin + addressLength + 2 > count : addressBegin > last)
        return false;
    fields[kAddress] = {static_cast<int32_t>(addressBegin), static_cast<int32_t>(addressLength)};

    const size_t dataBegin = addressBegin + addressLength;
    size_t dataLength = 0;
    if (addressSize > 0 || dataBegin != last)
    {
        if (dataBegin > count - 2)
            return false;
        dataLength = count - 2 - dataBegin;
    }
    fields[kData] = {static_cast<int32_t>(dataBegin), static_cast<int32_t>(dataLength)};

    const bool hasChecksum = addressSize > 0 || dataLength > 0;
    fields[kChecksum] = {static_cast<int32_t>(dataBegin + dataLength), hasChecksum ? 1 : 0};

    assign(bytes, bytes + count);
    m_fields = fields;
    return true;
}

void CVantorMessage::Dump(GT::ITextOut& out) const
{
    std::string text;
    if (size() >= 2)
        AppendHexBytes(text, data(), 2);
    for (EField field : {kDeviceId, kModelId, kCommand})
    {
        size_t length = 0;
        const uint8_t* first = FieldBegin(field, length);
        AppendHexBytes(text, first, length);
    }
    text += '\n';
    text += "+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n";

    size_t addressLength = 0;
    const uint8_t* address = FieldBegin(kAddress, addressLength);
    AppendHexBytes(text, address, addressLength);
    text += '\n';

    // The data continues the address's 16-column grid.
    size_t dataLength = 0;
    const uint8_t* payload = FieldBegin(kData, dataLength);
    if (dataLength > 0)
    {
        size_t column = addressLength > 0 ? (address[addressLength - 1] & 0x0F) : 0;
        for (size_t i = 0; i < column; ++i)
            text += "   ";
        for (size_t i = 0; i < dataLength; ++i)
        {
            AppendHexBytes(text, payload + i, 1);
            if (++column == 16)
            {
                text += '\n';
                column = 0;
            }
        }
        if (column != 0)
            text += '\n';
    }

    const int checksum = GetChecksum();
    const uint8_t tail[2] = {static_cast<uint8_t>(checksum < 0 ? 0xFF : checksum),
                             static_cast<uint8_t>(empty() ? 0xF7 : back())};
    AppendHexBytes(text, tail, 2);
    text.back() = '\n';
    out.Write(text);
}
}
