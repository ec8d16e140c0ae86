// What a later start of the editor sends to the first one: the framed command text, received in
// two pieces, and the "open" request read from it.
#include "editor/CApp.h"
#include "platform/InstanceChannel.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte says where the bytes that follow are split into two arrivals.
    const size_t split = std::min<size_t>(data[0], size - 1);
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string buffer = bytes.substr(0, split);
    std::string command;
    CInstanceChannel::EFrame frame = CInstanceChannel::TakeCommand(buffer, command);
    if (frame == CInstanceChannel::EFrame::kIncomplete)
    {
        buffer += bytes.substr(split);
        frame = CInstanceChannel::TakeCommand(buffer, command);
    }
    if (frame == CInstanceChannel::EFrame::kComplete)
        CApp::ParseOpenRequest(command);
    return 0;
}
