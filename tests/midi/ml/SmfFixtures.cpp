#include "tests/midi/ml/SmfFixtures.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

size_t CMemorySmfWriter::Write(size_t offset, const uint8_t* bytes, size_t count)
{
    if (offset >= capacity)
        return 0;
    const size_t stored = std::min(count, capacity - offset);
    if (image.size() < offset + stored)
        image.resize(offset + stored);
    std::copy(bytes, bytes + stored, image.begin() + static_cast<long>(offset));
    return stored;
}

bool CRecordingSmfReader::Record(const std::string& line)
{
    events.push_back(line);
    return stopAt.empty() || line.compare(0, stopAt.size(), stopAt) != 0;
}

bool CRecordingSmfReader::OnHeader(const ML::Bytes& header)
{
    return Record("header " + ToHex(ML::Bytes(header.begin() + 8, header.end())));
}

bool CRecordingSmfReader::OnTrackStart(const ML::Bytes&, uint32_t trackIndex)
{
    return Record("track " + std::to_string(trackIndex));
}

bool CRecordingSmfReader::OnChannelMessage(uint32_t delta, const ML::CShortMessage& message)
{
    return Record("channel " + std::to_string(delta) + " " + ToHex(message));
}

bool CRecordingSmfReader::OnSysex(uint32_t delta, const ML::CSysexView& message)
{
    return Record("sysex " + std::to_string(delta) + " " + ToHex(message.ToBytes()));
}

bool CRecordingSmfReader::OnMetaEvent(uint32_t delta, const ML::CSmfMetaEvent& event)
{
    std::string line = "meta " + std::to_string(delta) + " " + ToHex({event.type});
    if (!event.data.empty())
        line += " " + ToHex(event.data);
    return Record(line);
}

size_t CRecordingSmfReader::Read(uint8_t* out, size_t offset, size_t count)
{
    largestRead = std::max(largestRead, count);
    if (offset >= m_image.size())
        return 0;
    const size_t available = std::min(count, m_image.size() - offset);
    std::memcpy(out, m_image.data() + offset, available);
    return available;
}

const uint8_t* CRecordingSmfReader::GetWholeData(size_t& size) const
{
    size = m_image.size();
    return inPlace ? m_image.data() : nullptr;
}

std::vector<std::string> MidiCsvOf(const ML::Bytes& image)
{
    std::vector<std::string> lines;
    CTempDir folder;
    const std::string path = folder.File("written.mid");
    if (!WriteFileBytes(path, std::string(image.begin(), image.end())))
    {
        ADD_FAILURE() << "cannot write " << path;
        return lines;
    }
    const std::string command = "midicsv '" + path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
    {
        ADD_FAILURE() << "cannot run midicsv";
        return lines;
    }
    std::string output;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    const int status = pclose(pipe);
    if (status != 0)
    {
        ADD_FAILURE() << "midicsv failed (is it installed? build.sh installs it): " << output;
        return lines;
    }
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}
