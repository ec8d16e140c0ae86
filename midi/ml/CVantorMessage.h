#pragma once
// The maker's system-exclusive message: F0 41 device model command address data checksum F7.
// Besides the bytes it keeps, for each of its six fields, where the field lies in the bytes; the
// fields always tile the message from byte 2 up to the byte before F7.
#include "midi/ml/CLongMessage.h"

#include <array>

namespace ML
{
class CVantorMessage : public CLongMessage
{
public:
    enum EField
    {
        kDeviceId,
        kModelId,
        kCommand,
        kAddress,
        kData,
        kChecksum,
        kFieldCount
    };

    struct CField
    {
        int32_t offset;
        int32_t length;
    };

    // ComputeChecksum's answer when there is neither address nor data: no checksum byte.
    static constexpr int kNoChecksum = 255;

    static const Bytes& Rq1Command();   // {11h}, data request
    static const Bytes& Dt1Command();   // {12h}, data set

    // F0 41 7F 42 12 F7.
    CVantorMessage();

    // Empty model IDs and commands are ignored; an empty address or data empties the field.
    void SetModelId(const Bytes& bytes);
    void SetCommand(const Bytes& bytes);
    void SetAddress(const Bytes& bytes);
    void SetData(const Bytes& bytes) override;
    bool SetDeviceId(uint8_t id) override;

    Bytes GetModelId() const;
    Bytes GetCommand() const;
    Bytes GetAddress() const;
    Bytes GetData() const override;
    size_t GetDataLength() const override;
    int GetDeviceId() const override;
    // The checksum byte, or -1 when the message has none.
    int GetChecksum() const;
    const CField& GetField(EField field) const { return m_fields[field]; }

    // (-(sum of address and data bytes)) & 7Fh, or kNoChecksum when both fields are empty.
    // No setter recomputes the checksum: a builder sets address and data, then updates it.
    int ComputeChecksum() const;
    void UpdateChecksum();

    // Splits received bytes into the fields, `addressSize` address bytes after the command.
    // The checksum, device ID and model ID are not verified here: the receiver compares them.
    // On false the message is left as it was.
    bool Parse(const Bytes& bytes, int32_t addressSize);
    bool Parse(const uint8_t* bytes, size_t count, int32_t addressSize);

    void Reset() override;
    void Dump(GT::ITextOut& out) const override;

private:
    void SetField(EField field, const Bytes& bytes);
    // The field's bytes, clipped to the message so that a stale table never reads outside it.
    const uint8_t* FieldBegin(EField field, size_t& length) const;
    Bytes FieldBytes(EField field) const;

    std::array<CField, kFieldCount> m_fields;
};
}
