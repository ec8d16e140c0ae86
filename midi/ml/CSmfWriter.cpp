#include "midi/ml/CSmfWriter.h"

namespace ML
{
bool CSmfWriter::Put(const Bytes& bytes)
{
    const size_t stored = Write(m_position, bytes.data(), bytes.size());
    if (stored != bytes.size())
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
    const size_t count = message.empty() ? 0 : message.size() - 1;
    Bytes bytes;
    bytes.reserve(count + 9);
    AppendVariableLength(bytes, delta);
    bytes.push_back(0xF0);
    AppendVariableLength(bytes, static_cast<uint32_t>(count));
    if (count > 0)
        bytes.insert(bytes.end(), message.begin() + 1, message.end());
    return Put(bytes);
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
