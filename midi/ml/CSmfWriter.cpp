#include "midi/ml/CSmfWriter.h"

namespace ML
{
bool CSmfWriter::Put(const Bytes& bytes)
{
    return Put(bytes.data(), bytes.size());
}

bool CSmfWriter::Put(const uint8_t* bytes, size_t count)
{
    const size_t stored = Write(m_position, bytes, count);
    if (stored != count)
        return false;
    m_position += stored;
    return true;
}

bool CSmfWriter::WriteHeader()
{
    Bytes header{'M', 'T', 'h', 'd'};
    AppendBigEndian(header, 6, 4);
    AppendBigEndian(header, m_format, 2);
    AppendBigEndian(header, m_trackCount, 2);
    AppendBigEndian(header, m_division, 2);
    return Write(0, header.data(), header.size()) == header.size();
}

bool CSmfWriter::WriteTrackHeader(uint32_t length)
{
    Bytes header{'M', 'T', 'r', 'k'};
    AppendBigEndian(header, length, 4);
    return Write(m_trackStart, header.data(), header.size()) == header.size();
}

bool CSmfWriter::Begin()
{
    m_trackCount = 0;
    m_position = 0;
    m_trackStart = 0;
    m_format = 0;
    m_division = kDefaultDivision;
    if (!WriteHeader())
        return false;
    m_position = kHeaderSize;
    return true;
}

bool CSmfWriter::BeginTrack()
{
    m_trackStart = m_position;
    if (!WriteTrackHeader(0))
        return false;
    m_position += kTrackHeaderSize;
    return true;
}

bool CSmfWriter::WriteMetaEvent(uint32_t delta, const CSmfMetaEvent& event)
{
    Bytes bytes;
    bytes.reserve(event.data.size() + 10);
    AppendVariableLength(bytes, delta);
    bytes.push_back(0xFF);
    bytes.push_back(event.type);
    AppendVariableLength(bytes, static_cast<uint32_t>(event.data.size()));
    bytes.insert(bytes.end(), event.data.begin(), event.data.end());
    return Put(bytes);
}

bool CSmfWriter::WriteSysexEvent(uint32_t delta, const CLongMessage& message)
{
    return WriteSysexEvent(delta, message.data(), message.size());
}

bool CSmfWriter::WriteSysexEvent(uint32_t delta, const uint8_t* message, size_t size)
{
    // The event's head is built aside; the message's own bytes go out from where they are.
    const size_t count = size == 0 ? 0 : size - 1;
    uint8_t head[2 * kMaxVariableLengthBytes + 1];
    size_t headSize = PutVariableLength(head, delta);
    head[headSize++] = 0xF0;
    headSize += PutVariableLength(head + headSize, static_cast<uint32_t>(count));
    return Put(head, headSize) && (count == 0 || Put(message + 1, count));
}

bool CSmfWriter::EndTrack()
{
    CSmfMetaEvent endOfTrack;
    endOfTrack.type = CSmfMetaEvent::kEndOfTrack;
    if (!WriteMetaEvent(0, endOfTrack))
        return false;
    const size_t length = m_position - m_trackStart - kTrackHeaderSize;
    if (!WriteTrackHeader(static_cast<uint32_t>(length)))
        return false;
    ++m_trackCount;
    return true;
}

size_t CSmfWriter::End()
{
    m_format = m_trackCount >= 2 ? 1 : 0;
    if (!WriteHeader())
        return 0;
    return m_position;
}
}
