#pragma once
// A MIDI message exactly as it travels on the wire, status byte first.
#include <cstdint>
#include <string>
#include <vector>

namespace ML
{
using Bytes = std::vector<uint8_t>;

class CMessage : public Bytes
{
public:
    using Bytes::Bytes;
    CMessage() = default;
    explicit CMessage(const Bytes& bytes) : Bytes(bytes) {}
};

// Appends "%02X " for every byte to `text`.
void AppendHexBytes(std::string& text, const uint8_t* bytes, size_t count);
}
