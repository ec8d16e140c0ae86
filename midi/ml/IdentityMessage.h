#pragma once
// The universal Identity Request (F0 7E dev 06 01 F7) and its reply
// (F0 7E dev 06 02 maker family[2] member[2] version[4] F7, 15 bytes).
#include "midi/ml/CLongMessage.h"

namespace ML
{
struct CIdentityReply
{
    uint8_t deviceId = 0;
    uint8_t manufacturerId = 0;
    Bytes family;    // 2 bytes
    Bytes member;    // 2 bytes
    Bytes version;   // 4 bytes
};

// The request to `deviceId` (7Fh asks every device).
CLongMessage MakeIdentityRequest(uint8_t deviceId);
// True for a valid universal non-real-time message with sub-IDs 06 01; a message too short to
// carry both sub-IDs is none.
bool IsIdentityRequest(const Bytes& bytes);
// True, with the fields filled, for a valid 15-byte reply with sub-IDs 06 02.
bool ParseIdentityReply(const Bytes& bytes, CIdentityReply& reply);
}
