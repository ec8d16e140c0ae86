#pragma once
// Walks a Standard MIDI File and calls one handler per header, track and event. The bytes come
// through the derived class's Read, so the reader itself touches no file.
#include "midi/ml/CShortMessage.h"
#include "midi/ml/CSmf.h"
#include "midi/ml/CSysexView.h"

namespace ML
{
class CSmfReader : public CSmf
{
public:
    ~CSmfReader() override = default;

    // Reads the whole file from offset 0; true when the header and every track were read.
    // A track ends with its end-of-track event; the chunk's length field is not used. A file that
    // exhausts memory fails too.
    bool Parse();

protected:
    // The handlers return false to stop the reading.
    virtual bool OnHeader(const Bytes& header);
    virtual bool OnTrackStart(const Bytes& trackHeader, uint32_t trackIndex);
    virtual bool OnChannelMessage(uint32_t delta, const CShortMessage& message);
    // The message as it lies in the data, F0 in front; bytes that are no complete message (an
    // F7 escape) arrive as F0 00 F7. The view holds only for the call: a handler that keeps the
    // message copies it.
    virtual bool OnSysex(uint32_t delta, const CSysexView& message);
    virtual bool OnMetaEvent(uint32_t delta, const CSmfMetaEvent& event);
    // Up to `count` bytes from `offset` into `out`, fewer at the end of the data; the number given.
    virtual size_t Read(uint8_t* out, size_t offset, size_t count) = 0;
    // The whole data when it already lies in memory, so the reader can walk it in place; null
    // (the default) to have it fetched through Read in bounded pieces.
    virtual const uint8_t* GetWholeData(size_t& /*size*/) const { return nullptr; }

    uint32_t GetTrackCount() const { return m_trackCount; }

private:
    bool ParseEvents();
    bool ReadEvent();
    // The usual events, system-exclusive messages that lie whole in the window, read one after
    // another with a local cursor until another kind of event comes (for ReadEvent to read);
    // `eventCount` tells how many were read. False when a handler stopped the reading.
    bool ReadSysexRunInWindow(size_t& eventCount);
    // Exactly `count` bytes at the read position, appended to `out`. A count read from a corrupt
    // file never allocates more than the data holds.
    bool ReadBytes(Bytes& out, size_t count);
    bool ReadByte(uint8_t& byte)
    {
        // A position before the window wraps round to a large offset and takes the slow way too.
        if (m_position - m_windowStart >= m_windowSize && Refill() == 0)
            return false;
        byte = m_window[m_position++ - m_windowStart];
        return true;
    }
    bool ReadVariableLength(uint32_t& value)
    {
        // Most deltas and counts are one byte.
        const size_t at = m_position - m_windowStart;
        if (at < m_windowSize && m_window[at] < 0x80)
        {
            value = m_window[at];
            ++m_position;
            return true;
        }
        return ReadLongerVariableLength(value);
    }
    bool ReadLongerVariableLength(uint32_t& value);
    // Bytes of the window from the read position on; refills the window there when it has none.
    size_t Available();
    size_t Refill();

    uint32_t m_trackCount = 0;
    size_t m_position = 0;
    bool m_endOfTrack = false;
    uint8_t m_runningStatus = 0;

    // The bytes at hand: the whole data, or the last piece fetched through Read.
    const uint8_t* m_window = nullptr;
    size_t m_windowStart = 0;   // file offset of m_window[0]
    size_t m_windowSize = 0;
    bool m_wholeData = false;
    Bytes m_piece;
    // A system-exclusive event fetched through Read, F0 in front; its storage is reused.
    Bytes m_sysex;
};

// A reader over bytes in memory (a file read whole, or an image just written).
class CSmfMemoryReader : public CSmfReader
{
public:
    // The bytes are not copied: they must outlive the reader and stay as they are.
    explicit CSmfMemoryReader(const Bytes& image) : m_data(image.data()), m_size(image.size()) {}
    explicit CSmfMemoryReader(Bytes&&) = delete;
    CSmfMemoryReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

protected:
    size_t Read(uint8_t* out, size_t offset, size_t count) override;
    const uint8_t* GetWholeData(size_t& size) const override;

private:
    const uint8_t* m_data;
    size_t m_size;
};
}
