#include "midi/ml/CSmfReader.h"

#include "midi/ml/CLongMessage.h"
#include "toolkit/gt/OutOfMemory.h"

#include <algorithm>
#include <cstring>

namespace ML
{
namespace
{
constexpr size_t kReadPiece = 4096;

// What follows the F0 of a message that stands for bytes that are none: F0 00 F7.
constexpr uint8_t kNoMessageTail[] = {0x00, 0xF7};
constexpr CSysexView kNoMessage(kNoMessageTail, sizeof kNoMessageTail);

// A variable-length quantity from [at, end), `at` moved past it; false when it runs past the end
// or would need a fifth byte.
inline bool DecodeVariableLength(const uint8_t*& at, const uint8_t* end, uint32_t& value)
{
    if (at != end && *at < 0x80)   // most deltas and counts are one byte
    {
        value = *at++;
        return true;
    }
    value = 0;
    for (size_t i = 0; i < CSmf::kMaxVariableLengthBytes && at != end; ++i)
    {
        const uint8_t byte = *at++;
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;
}
}

bool CSmfReader::OnHeader(const Bytes&)
{
    return true;
}

bool CSmfReader::OnTrackStart(const Bytes&, uint32_t)
{
    return true;
}

bool CSmfReader::OnChannelMessage(uint32_t, const CShortMessage&)
{
    return true;
}

bool CSmfReader::OnSysex(uint32_t, const CSysexView&)
{
    return true;
}

bool CSmfReader::OnMetaEvent(uint32_t, const CSmfMetaEvent&)
{
    return true;
}

size_t CSmfReader::Available()
{
    if (m_position - m_windowStart < m_windowSize)
        return m_windowSize - (m_position - m_windowStart);
    return Refill();
}

size_t CSmfReader::Refill()
{
    if (m_wholeData)
        return 0;
    // Bounded pieces: the data may be a file of any length, or a corrupt one.
    m_piece.resize(kReadPiece);
    m_windowSize = Read(m_piece.data(), m_position, kReadPiece);
    m_windowStart = m_position;
    m_window = m_piece.data();
    return m_windowSize;
}

bool CSmfReader::ReadBytes(Bytes& out, size_t count)
{
    // Only bytes actually there are appended: the count itself may come from a corrupt file.
    if (m_wholeData && count > Available())
        return false;
    while (count > 0)
    {
        const size_t available = Available();
        if (available == 0)
            return false;
        const size_t taken = std::min(available, count);
        const uint8_t* from = m_window + (m_position - m_windowStart);
        out.insert(out.end(), from, from + taken);
        m_position += taken;
        count -= taken;
    }
    return true;
}

bool CSmfReader::ReadLongerVariableLength(uint32_t& value)
{
    value = 0;
    for (size_t i = 0; i < kMaxVariableLengthBytes; ++i)
    {
        uint8_t byte = 0;
        if (!ReadByte(byte))
            return false;
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;   // a fifth byte would be needed
}

bool CSmfReader::Parse()
{
    return GT::ReadWithinMemory("the MIDI file", [this] { return ParseEvents(); });
}

bool CSmfReader::ParseEvents()
{
    m_trackCount = 0;
    m_position = 0;
    m_endOfTrack = false;
    m_runningStatus = 0;
    m_window = GetWholeData(m_windowSize);
    m_wholeData = m_window != nullptr;
    m_windowStart = 0;
    if (!m_wholeData)
        m_windowSize = 0;

    Bytes header;
    if (!ReadBytes(header, kHeaderSize) || std::memcmp(header.data(), "MThd", 4) != 0 ||
        ReadBigEndian(header.data() + 4, 4) != 6)
        return false;
    if (!OnHeader(header))
        return false;
    m_trackCount = ReadBigEndian(header.data() + 10, 2);
    if (m_trackCount == 0)
        return false;

    for (uint32_t track = 0; track < m_trackCount; ++track)
    {
        Bytes trackHeader;
        if (!ReadBytes(trackHeader, kTrackHeaderSize) || std::memcmp(trackHeader.data(), "MTrk", 4) != 0)
            return false;
        if (!OnTrackStart(trackHeader, track))
            return false;
        m_endOfTrack = false;
        while (!m_endOfTrack)
        {
            if (!ReadEvent())
                return false;
        }
    }
    return true;
}

bool CSmfReader::ReadEvent()
{
    size_t sysexRead = 0;
    if (!ReadSysexRunInWindow(sysexRead))
        return false;
    if (sysexRead > 0)
        return true;

    uint32_t delta = 0;
    uint8_t status = 0;
    if (!ReadVariableLength(delta) || !ReadByte(status))
        return false;

    if (status == 0xF0 || status == 0xF7)
    {
        uint32_t count = 0;
        if (!ReadVariableLength(count))
            return false;
        // One that lies whole in the window took the quick way; this one is fetched in pieces.
        Bytes& bytes = m_sysex;
        bytes.assign(status == 0xF0 ? 1 : 0, 0xF0);   // the F0 the file leaves out goes in front
        if (!ReadBytes(bytes, count))
            return false;
        if (!CLongMessage::IsValidSysex(bytes.data(), bytes.size()))
            return OnSysex(delta, kNoMessage);
        return OnSysex(delta, CSysexView(bytes.data() + 1, bytes.size() - 1));
    }

    if (status == 0xFF)
    {
        CSmfMetaEvent event;
        uint32_t count = 0;
        if (!ReadByte(event.type) || !ReadVariableLength(count) || !ReadBytes(event.data, count))
            return false;
        if (!OnMetaEvent(delta, event))
            return false;
        if (event.type == CSmfMetaEvent::kEndOfTrack)
            m_endOfTrack = true;
        return true;
    }

    if (status < 0x80)
    {
        // A data byte under running status; with no channel message yet the event is skipped and
        // the byte is read again as the next delta.
        --m_position;
        if (m_runningStatus < 0x80)
            return true;
        status = m_runningStatus;
    }

    size_t dataCount = 0;
    switch (status & 0xF0)
    {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        dataCount = 2;
        break;
    case 0xC0:
    case 0xD0:
        dataCount = 1;
        break;
    default:
        return true;   // F1h to FEh: skipped without reading data
    }
    uint8_t data[2] = {0, 0};
    for (size_t i = 0; i < dataCount; ++i)
    {
        if (!ReadByte(data[i]))
            return false;
    }
    m_runningStatus = status;
    return OnChannelMessage(delta, CShortMessage(status, data[0], data[1]));
}

bool CSmfReader::ReadSysexRunInWindow(size_t& eventCount)
{
    eventCount = 0;
    const size_t offset = m_position - m_windowStart;
    if (offset >= m_windowSize)
        return true;
    // The window stays as it is while the handlers run: only ReadEvent refills it. So the
    // cursor lives in a register and the read position is brought up to date once at the end.
    const uint8_t* const start = m_window + offset;
    const uint8_t* const end = m_window + m_windowSize;
    const uint8_t* next = start;
    size_t read = 0;
    bool goOn = true;
    while (goOn)
    {
        const uint8_t* at = next;
        uint32_t delta = 0;
        uint32_t count = 0;
        if (!DecodeVariableLength(at, end, delta) || at == end || (*at != 0xF0 && *at != 0xF7))
            break;
        const bool head = *at++ == 0xF0;
        if (!DecodeVariableLength(at, end, count) || static_cast<size_t>(end - at) < count)
            break;

        // Checked and handed over where it lies: the F0 an F0 event leaves out is implied by the
        // view, and an F7 escape that is a whole message has its own.
        const bool valid = head ? count >= 2 && at[count - 1] == 0xF7 && CLongMessage::AreDataBytes(at, count - 1)
                                : CLongMessage::IsValidSysex(at, count);
        const CSysexView message = !valid ? kNoMessage : head ? CSysexView(at, count) : CSysexView(at + 1, count - 1);
        next = at + count;
        ++read;
        goOn = OnSysex(delta, message);
    }
    m_position += static_cast<size_t>(next - start);
    eventCount = read;
    return goOn;
}

const uint8_t* CSmfMemoryReader::GetWholeData(size_t& size) const
{
    size = m_size;
    return m_data;
}

size_t CSmfMemoryReader::Read(uint8_t* out, size_t offset, size_t count)
{
    if (offset >= m_size)
        return 0;
    const size_t available = std::min(count, m_size - offset);
    std::memcpy(out, m_data + offset, available);
    return available;
}
}
