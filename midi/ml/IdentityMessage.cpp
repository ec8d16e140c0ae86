#include "midi/ml/IdentityMessage.h"

namespace ML
{
namespace
{
constexpr uint8_t kUniversalNonRealTime = 0x7E;
constexpr uint8_t kGeneralInformation = 0x06;
constexpr uint8_t kIdentityRequest = 0x01;
constexpr uint8_t kIdentityReply = 0x02;
constexpr size_t kReplySize = 15;
}

CLongMessage MakeIdentityRequest(uint8_t deviceId)
{
    return CLongMessage(Bytes{0xF0, kUniversalNonRealTime, static_cast<uint8_t>(deviceId & 0x7F), kGeneralInformation,
                              kIdentityRequest, 0xF7});
}

bool IsIdentityRequest(const Bytes& bytes)
{
    return bytes.size() >= 6 && CLongMessage::IsValidSysex(bytes.data(), bytes.size()) &&
           bytes[1] == kUniversalNonRealTime && bytes[3] == kGeneralInformation && bytes[4] == kIdentityRequest;
}

bool ParseIdentityReply(const Bytes& bytes, CIdentityReply& reply)
{
    if (bytes.size() != kReplySize || !CLongMessage::IsValidSysex(bytes.data(), bytes.size()) ||
        bytes[1] != kUniversalNonRealTime || bytes[3] != kGeneralInformation || bytes[4] != kIdentityReply)
        return false;
    reply.deviceId = bytes[2];
    reply.manufacturerId = bytes[5];
    reply.family.assign(bytes.begin() + 6, bytes.begin() + 8);
    reply.member.assign(bytes.begin() + 8, bytes.begin() + 10);
    reply.version.assign(bytes.begin() + 10, bytes.begin() + 14);
    return true;
}
}
