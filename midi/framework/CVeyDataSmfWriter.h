#pragma once
// A Standard MIDI File writer that is at the same time a MIDI output device: every
// system-exclusive message sent to it becomes one event of an in-memory file, spaced in time as
// the instrument needs it. An export attaches it as the only device of a MIDI output, sends the
// data blocks, and then writes the image to disk.
#include "midi/framework/CVeyMidiDevice.h"
#include "midi/ml/CSmfWriter.h"

class CVeyDataSmfWriter : public ML::CSmfWriter, public CVeyMidiOutDevice
{
public:
    CVeyDataSmfWriter() = default;

    // Starts a new file: empty image, and the first message goes at delta 0 whatever was sent
    // before.
    bool Begin();

    // Writes a valid system-exclusive message as the next event; anything else is ignored and
    // gives false.
    bool Send(const std::vector<uint8_t>& bytes) override;

    // The file so far; complete after End.
    const ML::Bytes& GetImage() const { return m_image; }

protected:
    size_t Write(size_t offset, const uint8_t* bytes, size_t count) override;

private:
    ML::Bytes m_image;
    uint32_t m_nextDelta = 0;
};
