#pragma once
// Channel and system messages of one to three bytes; the length always follows the status byte.
#include "midi/ml/CMessage.h"

#include <string>

namespace GT
{
class ITextOut;
}

namespace ML
{
class CShortMessage : public CMessage
{
public:
    CShortMessage(uint8_t status, uint8_t data1, uint8_t data2);
    CShortMessage(uint8_t kind, uint8_t channel, uint8_t data1, uint8_t data2);
    explicit CShortMessage(const Bytes& bytes);
    // The word the MIDI input delivers: status in bits 0-7, data 1 in 8-15, data 2 in 16-23.
    explicit CShortMessage(uint32_t packed);
    virtual ~CShortMessage() = default;

    // Number of bytes a message with this status byte has (for 80h-EFh the upper nibble decides);
    // 0 for a byte below 80h, which is no status.
    static size_t LengthOfStatus(uint8_t status);

    void SetStatus(uint8_t status);
    void SetStatus(uint8_t kind, uint8_t channel);
    void Set(uint8_t status, uint8_t data1, uint8_t data2);
    void Set(uint8_t kind, uint8_t channel, uint8_t data1, uint8_t data2);

    uint8_t GetStatus() const;
    // Channel messages split into kind and channel; for F0h and above `channel` is left untouched.
    void GetKindAndChannel(uint8_t& kind, uint8_t& channel) const;

    void SetData1(uint8_t data);
    void SetData2(uint8_t data);
    uint8_t GetData1() const;
    uint8_t GetData2() const;

    // status | data1 << 8 | data2 << 16, missing bytes counted as 0.
    uint32_t Pack() const;

    virtual void Dump(GT::ITextOut& out) const;
};
}
