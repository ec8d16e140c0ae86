#pragma once
// Writes the header chunk, track chunks and system-exclusive and meta events of a Standard MIDI
// File. The bytes go out through the derived class's Write, so the writer touches no file.
#include "midi/ml/CLongMessage.h"
#include "midi/ml/CSmf.h"

namespace ML
{
class CSmfWriter : public CSmf
{
public:
    ~CSmfWriter() override = default;

    // Resets the writer and writes the header chunk at offset 0 (format 0, 0 tracks, division
    // 96); true when all 14 bytes were stored.
    bool Begin();
    // Remembers the track start and writes an 8-byte track header there (length 0 until EndTrack).
    bool BeginTrack();
    bool WriteMetaEvent(uint32_t delta, const CSmfMetaEvent& event);
    // The delta, F0h, the count of the message's bytes after its F0, then those bytes.
    bool WriteSysexEvent(uint32_t delta, const CLongMessage& message);
    // The same for a message given as bytes, F0 first (the bytes are not checked).
    bool WriteSysexEvent(uint32_t delta, const uint8_t* message, size_t size);
    // End-of-track event with delta 0, then the track header again with the track's length.
    bool EndTrack();
    // The header again with the track count, format 1 for two tracks or more, else 0. The total
    // size in bytes, or 0 when the header could not be stored.
    size_t End();

    uint32_t GetTrackCount() const { return m_trackCount; }

protected:
    // Stores the bytes at the offset; the number of bytes stored.
    virtual size_t Write(size_t offset, const uint8_t* bytes, size_t count) = 0;

private:
    bool Put(const Bytes& bytes);
    bool Put(const uint8_t* bytes, size_t count);
    bool WriteHeader();
    bool WriteTrackHeader(uint32_t length);

    uint32_t m_trackCount = 0;
    size_t m_position = 0;
    size_t m_trackStart = 0;
    uint16_t m_format = 0;
    uint16_t m_division = kDefaultDivision;
};
}
