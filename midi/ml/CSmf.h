#pragma once
// Standard MIDI Files of system-exclusive messages: what the reader and the writer share.
// Multi-byte numbers in the file are big-endian.
#include "midi/ml/CMessage.h"

namespace ML
{
// A meta event: FFh, type, variable-length count, data. End of track is type 2Fh with no data.
struct CSmfMetaEvent
{
    static constexpr uint8_t kEndOfTrack = 0x2F;

    uint8_t type = 0xFF;
    Bytes data;
};

class CSmf
{
public:
    static constexpr size_t kHeaderSize = 14;
    static constexpr size_t kTrackHeaderSize = 8;
    static constexpr uint16_t kDefaultDivision = 96;
    // A variable-length quantity has at most four bytes, so 28 bits.
    static constexpr size_t kMaxVariableLengthBytes = 4;

    virtual ~CSmf() = default;

    // 7 bits per byte, most significant group first, bit 7 on every byte but the last; leading
    // zero groups are left out (0 gives 00). Values of 2^28 and above lose their high bits.
    static void AppendVariableLength(Bytes& out, uint32_t value);
    // The same into `out`, which has room for kMaxVariableLengthBytes; the number of bytes put.
    static size_t PutVariableLength(uint8_t* out, uint32_t value);
    static void AppendBigEndian(Bytes& out, uint32_t value, size_t byteCount);
    static uint32_t ReadBigEndian(const uint8_t* bytes, size_t byteCount);
};

// The delta time placed before the event that follows a system-exclusive message of `byteCount`
// bytes: its wire time at 3125 bytes per second plus 20 ms, in ticks of 5208.3 us (division 96 at
// 120 beats per minute), rounded down, plus one tick.
uint32_t SysexSpacingTicks(size_t byteCount);
}
