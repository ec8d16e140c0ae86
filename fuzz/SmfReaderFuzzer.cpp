// The Standard MIDI File reader, every event looked at as a caller would.
#include "midi/ml/CSmfReader.h"

#include <cstddef>
#include <cstdint>

namespace
{
class CTouchingReader final : public ML::CSmfMemoryReader
{
public:
    using ML::CSmfMemoryReader::CSmfMemoryReader;
    unsigned sum = 0;

protected:
    bool OnChannelMessage(uint32_t delta, const ML::CShortMessage& message) override
    {
        sum += delta + message.GetData1() + message.GetData2();
        return true;
    }
    bool OnSysex(uint32_t delta, const ML::CSysexView& message) override
    {
        for (size_t i = 0; i < message.size(); ++i)
            sum += message[i];
        sum += delta;
        return true;
    }
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ML::Bytes image(data, data + size);
    CTouchingReader reader(image);
    reader.Parse();
    return 0;
}
