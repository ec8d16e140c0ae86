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
    ML::CLongMessage message;
    if (!message.Assign(bytes))
        return false;
    if (!WriteSysexEvent(m_nextDelta, message))
        return false;
    m_nextDelta = ML::SysexSpacingTicks(bytes.size());
    return true;
}

size_t CVeyDataSmfWriter::Write(size_t offset, const uint8_t* bytes, size_t count)
{
    if (m_image.size() < offset + count)
        m_image.resize(offset + count);
    std::copy(bytes, bytes + count, m_image.begin() + static_cast<std::ptrdiff_t>(offset));
    return count;
}
