#include "midi/framework/CVeyDataSmfWriter.h"
#include "tests/midi/ml/SmfFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
ML::Bytes GoldenFile(const std::string& name)
{
    const char* folder = std::getenv("Q9_TEST_DATA");
    const std::string bytes = ReadFileBytes(std::string(folder ? folder : Q9_SOURCE_TEST_DATA) + "/midi/" + name);
    return ML::Bytes(bytes.begin(), bytes.end());
}

const char* kFirst = "F0 41 10 00 00 3C 12 1F 00 00 00 41 42 5E F7";
const char* kSecond = "F0 41 10 00 00 3C 12 1F 00 00 02 43 44 58 F7";

ML::Bytes Export(CVeyDataSmfWriter& writer, const std::vector<ML::Bytes>& messages)
{
    EXPECT_TRUE(writer.Begin());
    EXPECT_TRUE(writer.BeginTrack());
    for (const ML::Bytes& message : messages)
        writer.Send(message);
    EXPECT_TRUE(writer.EndTrack());
    const size_t size = writer.End();
    EXPECT_EQ(size, writer.GetImage().size());
    return writer.GetImage();
}
}

TEST(DataSmfWriter, ExportsTheGoldenFile)
{
    CVeyDataSmfWriter writer;
    EXPECT_TRUE(writer.Open());
    EXPECT_TRUE(writer.IsOpen());
    EXPECT_EQ(writer.GetName(), "");
    EXPECT_EQ(ToHex(Export(writer, {Hex(kFirst), Hex(kSecond)})), ToHex(GoldenFile("two-data-sets.mid")));
}

TEST(DataSmfWriter, EveryExportStartsAtDeltaZero)
{
    // A writer reused for a second export (after messages left a spacing behind) writes the same
    // bytes as a fresh one, with nothing of the first file left in the image.
    CVeyDataSmfWriter writer;
    Export(writer, {Hex(kFirst), Hex(kSecond), Hex(kSecond), Hex(kFirst)});
    writer.Send(Hex(kFirst));
    EXPECT_EQ(ToHex(Export(writer, {Hex(kFirst), Hex(kSecond)})), ToHex(GoldenFile("two-data-sets.mid")));
}

TEST(DataSmfWriter, OnlyValidSysexBecomesAnEvent)
{
    struct Case
    {
        const char* name;
        const char* bytes;
        bool written;
    };
    const Case cases[] = {
        {"data set", kFirst, true},
        {"universal", "F0 7E 10 06 01 F7", true},
        {"control change", "B0 07 64", false},
        {"continuation piece", "41 10 42 12 F7", false},
        {"unterminated", "F0 41 10 42 12", false},
        {"data byte 80h", "F0 41 10 80 12 F7", false},
        {"empty", "", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyDataSmfWriter writer;
        ASSERT_TRUE(writer.Begin());
        ASSERT_TRUE(writer.BeginTrack());
        EXPECT_EQ(writer.Send(Hex(c.bytes)), c.written);
        // An ignored message leaves no spacing behind: the next one still goes at delta 0.
        EXPECT_TRUE(writer.Send(Hex(kFirst)));
        ASSERT_TRUE(writer.EndTrack());
        ASSERT_GT(writer.End(), 0u);

        CRecordingSmfReader reader(writer.GetImage());
        ASSERT_TRUE(reader.Parse());
        std::vector<std::string> expected = {"header 00 00 00 01 00 60", "track 0"};
        if (c.written)
            expected.push_back("sysex 0 " + ToHex(Hex(c.bytes)));
        expected.push_back(std::string("sysex ") + (c.written ? "5 " : "0 ") + kFirst);
        expected.push_back("meta 0 2F");
        EXPECT_EQ(reader.events, expected);
    }
}

TEST(DataSmfWriter, IndependentReaderAgreesOnSpacing)
{
    // Messages of 6, 92 and 2048 bytes leave 5, 10 and 130 ticks before the next event.
    ML::Bytes m92(92, 0x01), m2048(2048, 0x02);
    m92.front() = m2048.front() = 0xF0;
    m92.back() = m2048.back() = 0xF7;
    CVeyDataSmfWriter writer;
    const ML::Bytes image = Export(writer, {Hex("F0 41 10 42 12 F7"), m92, m2048, Hex("F0 7E 10 06 01 F7")});

    const std::vector<std::string> csv = MidiCsvOf(image);
    ASSERT_EQ(csv.size(), 8u);
    EXPECT_EQ(csv[0], "0, 0, Header, 0, 1, 96");
    EXPECT_EQ(csv[2], "1, 0, System_exclusive, 5, 65, 16, 66, 18, 247");
    EXPECT_EQ(csv[3].substr(0, 29), "1, 5, System_exclusive, 91, 1");
    EXPECT_EQ(csv[4].substr(0, 33), "1, 15, System_exclusive, 2047, 2,");
    EXPECT_EQ(csv[5], "1, 145, System_exclusive, 5, 126, 16, 6, 1, 247");
    EXPECT_EQ(csv[6], "1, 145, End_track");
}
