#pragma once
// A system-exclusive message: F0, manufacturer ID, data, F7. Universal messages (F0 7E/7F) carry
// the device ID in byte 2 and their two sub-IDs in bytes 3 and 4.
#include "midi/ml/CMessage.h"

#include <cstring>

namespace GT
{
class ITextOut;
}

namespace ML
{
class CLongMessage : public CMessage
{
public:
    // F0 00 F7 with room for 256 bytes.
    CLongMessage();
    // Taken without any check; use Assign for bytes from outside.
    explicit CLongMessage(const Bytes& bytes);
    virtual ~CLongMessage() = default;

    // True, and the message takes the bytes, when they are a valid system-exclusive message: at
    // least 3 bytes, F0 first, F7 last, every byte between below 80h. Otherwise unchanged.
    bool Assign(const Bytes& bytes);
    bool Assign(const uint8_t* bytes, size_t count);
    static bool IsValidSysex(const uint8_t* bytes, size_t count)
    {
        return count >= 3 && bytes[0] == 0xF0 && bytes[count - 1] == 0xF7 && AreDataBytes(bytes + 1, count - 2);
    }
    // True when every byte is below 80h.
    static bool AreDataBytes(const uint8_t* bytes, size_t count)
    {
        // Sixteen bytes at a time, the last eight overlapping the ones before: only high bits
        // matter. Inline, as every message read from a file or a port is checked.
        const auto word = [bytes](size_t at) {
            uint64_t eight;
            std::memcpy(&eight, bytes + at, 8);
            return eight;
        };
        uint64_t highBits = 0;
        if (count >= 8)
        {
            size_t at = 0;
            for (; at + 16 < count; at += 16)
                highBits |= word(at) | word(at + 8);
            if (at + 8 < count)
                highBits |= word(at);
            highBits |= word(count - 8);
        }
        else
        {
            for (size_t at = 0; at < count; ++at)
                highBits |= bytes[at];
        }
        return (highBits & 0x8080808080808080u) == 0;
    }

    // The byte getters give -1 when the message is too short for the byte to lie before the
    // closing F7 (a received F0 7E F7 has no sub-IDs); the setters then refuse with false so
    // that the F7 is never overwritten and nothing is written past the end.
    int GetManufacturerId() const;
    // Written only for 0 to 7Fh; a negative value leaves byte 1 unchanged.
    bool SetManufacturerId(int8_t id);
    int GetByte3() const;
    bool SetByte3(uint8_t value);
    int GetByte4() const;
    bool SetByte4(uint8_t value);

    virtual void Reset();
    // Keeps bytes 0 and 1, then the bytes, then F7.
    virtual void SetData(const Bytes& bytes);
    virtual Bytes GetData() const;
    virtual size_t GetDataLength() const;
    virtual bool SetDeviceId(uint8_t id);
    virtual int GetDeviceId() const;
    virtual void Dump(GT::ITextOut& out) const;

protected:
    static constexpr size_t kReservedSize = 256;

    // Byte `index` when it lies before the final byte, else -1.
    int GetInnerByte(size_t index) const;
    bool SetInnerByte(size_t index, uint8_t value);
};
}
