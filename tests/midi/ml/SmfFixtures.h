#pragma once
// Small fixtures for Standard MIDI File tests: a writer into memory (optionally failing after a
// number of bytes), a reader that records every event as a line of text, and the independent
// reader midicsv run on a file we wrote.
#include "midi/ml/CSmfReader.h"
#include "midi/ml/CSmfWriter.h"
#include "tests/midi/ml/HexBytes.h"

#include <string>
#include <vector>

class CMemorySmfWriter : public ML::CSmfWriter
{
public:
    ML::Bytes image;
    size_t capacity = SIZE_MAX;   // bytes beyond this offset are not stored

protected:
    size_t Write(size_t offset, const uint8_t* bytes, size_t count) override;
};

class CRecordingSmfReader : public ML::CSmfReader
{
public:
    explicit CRecordingSmfReader(const ML::Bytes& image) : m_image(image) {}
    explicit CRecordingSmfReader(ML::Bytes&&) = delete;

    std::vector<std::string> events;
    size_t largestRead = 0;
    std::string stopAt;   // a handler whose line starts with this returns false
    bool inPlace = false;  // hands the whole image over instead of serving pieces through Read

protected:
    bool OnHeader(const ML::Bytes& header) override;
    bool OnTrackStart(const ML::Bytes& trackHeader, uint32_t trackIndex) override;
    bool OnChannelMessage(uint32_t delta, const ML::CShortMessage& message) override;
    bool OnSysex(uint32_t delta, const ML::CSysexView& message) override;
    bool OnMetaEvent(uint32_t delta, const ML::CSmfMetaEvent& event) override;
    size_t Read(uint8_t* out, size_t offset, size_t count) override;
    const uint8_t* GetWholeData(size_t& size) const override;

private:
    bool Record(const std::string& line);

    const ML::Bytes& m_image;
};

// The lines midicsv prints for a file with these bytes; fails the calling test when midicsv is
// missing or rejects the file.
std::vector<std::string> MidiCsvOf(const ML::Bytes& image);
