#include "midi/framework/CVeyDataSmfWriter.h"

#include <algorithm>

bool CVeyDataSmfWriter::Begin()
{
    m_image.clear();
    m_nextDelta = 0;
    return ML::CSmfWriter::Begin();
}

bool CVeyDataSmfWriter::Send(const std::vector<uint8_t>& bytes)
{
    if (!ML::CLongMessage::IsValidSysex(bytes.data(), bytes.size()) ||
        !WriteSysexEvent(m_nextDelta, bytes.data(), bytes.size()))
        return false;
    m_nextDelta = ML::SysexSpacingTicks(bytes.size());
    return true;
}

size_t CVeyDataSmfWriter::Write(size_t offset, const uint8_t* bytes, size_t count)
{
    // Events are appended; only the headers are written again over bytes already there.
    if (offset == m_image.size())
    {
        m_image.insert(m_image.end(), bytes, bytes + count);
        return count;
    }
    if (m_image.size() < offset + count)
        m_image.resize(offset + count);
    std::copy(bytes, bytes + count, m_image.begin() + static_cast<std::ptrdiff_t>(offset));
    return count;
}
