#include "midi/ml/CSmfReader.h"
#include "midi/ml/CSmfWriter.h"
#include "midi/ml/CVantorMessage.h"
#include "tests/midi/ml/SmfFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

namespace
{
ML::Bytes GoldenFile(const std::string& name)
{
    const char* folder = std::getenv("Q9_TEST_DATA");
    const std::string bytes = ReadFileBytes(std::string(folder ? folder : Q9_SOURCE_TEST_DATA) + "/midi/" + name);
    return ML::Bytes(bytes.begin(), bytes.end());
}

ML::CLongMessage Sysex(const char* hex)
{
    ML::CLongMessage message;
    EXPECT_TRUE(message.Assign(Hex(hex))) << hex;
    return message;
}

std::vector<std::string> ReadEvents(const ML::Bytes& image, bool expectOk = true)
{
    CRecordingSmfReader reader(image);
    EXPECT_EQ(reader.Parse(), expectOk);
    return reader.events;
}

const char* kHeaderOneTrack = "4D 54 68 64 00 00 00 06 00 00 00 01 00 60";
const char* kTrackHeader = "4D 54 72 6B 00 00 00 00";

// A one-track file around the given event bytes.
ML::Bytes FileWithEvents(const std::string& events)
{
    return Hex(std::string(kHeaderOneTrack) + " " + kTrackHeader + " " + events);
}
}

TEST(Smf, VariableLengthQuantity)
{
    struct Case
    {
        uint32_t value;
        const char* bytes;
    };
    const Case cases[] = {{0, "00"},           {127, "7F"},          {128, "81 00"},
                          {16383, "FF 7F"},    {16384, "81 80 00"},  {2097151, "FF FF 7F"},
                          {2097152, "81 80 80 00"}, {0x0FFFFFFF, "FF FF FF 7F"},
                          {0x10000000, "00"},  {0x10000081, "81 01"}};   // 2^28 and above lose their high bits
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.value);
        ML::Bytes bytes;
        ML::CSmf::AppendVariableLength(bytes, c.value);
        EXPECT_EQ(ToHex(bytes), c.bytes);
    }
}

TEST(Smf, SysexSpacing)
{
    struct Case
    {
        size_t bytes;
        uint32_t ticks;
    };
    const Case cases[] = {{0, 4}, {6, 5}, {15, 5}, {92, 10}, {2048, 130}, {1000000, 61444}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(ML::SysexSpacingTicks(c.bytes), c.ticks);
    }
}

TEST(SmfWriter, WritesTheGoldenFile)
{
    CMemorySmfWriter writer;
    ASSERT_TRUE(writer.Begin());
    ASSERT_TRUE(writer.BeginTrack());
    ASSERT_TRUE(writer.WriteSysexEvent(0, Sysex("F0 41 10 00 00 3C 12 1F 00 00 00 41 42 5E F7")));
    ASSERT_TRUE(writer.WriteSysexEvent(5, Sysex("F0 41 10 00 00 3C 12 1F 00 00 02 43 44 58 F7")));
    ASSERT_TRUE(writer.EndTrack());
    EXPECT_EQ(writer.End(), 60u);
    EXPECT_EQ(ToHex(writer.image), ToHex(GoldenFile("two-data-sets.mid")));
}

TEST(SmfWriter, FormatFollowsTheTrackCount)
{
    struct Case
    {
        int tracks;
        const char* header;
    };
    const Case cases[] = {{0, "4D 54 68 64 00 00 00 06 00 00 00 00 00 60"},
                          {1, "4D 54 68 64 00 00 00 06 00 00 00 01 00 60"},
                          {2, "4D 54 68 64 00 00 00 06 00 01 00 02 00 60"},
                          {3, "4D 54 68 64 00 00 00 06 00 01 00 03 00 60"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.tracks);
        CMemorySmfWriter writer;
        ASSERT_TRUE(writer.Begin());
        for (int t = 0; t < c.tracks; ++t)
        {
            ASSERT_TRUE(writer.BeginTrack());
            ASSERT_TRUE(writer.WriteSysexEvent(0, Sysex("F0 41 10 42 12 F7")));
            ASSERT_TRUE(writer.EndTrack());
        }
        const size_t size = writer.End();
        EXPECT_EQ(size, 14u + static_cast<size_t>(c.tracks) * (8 + 8 + 4));
        EXPECT_EQ(ToHex(ML::Bytes(writer.image.begin(), writer.image.begin() + 14)), c.header);
        EXPECT_EQ(writer.image.size(), size);
    }
}

TEST(SmfWriter, MetaEventAndReuse)
{
    CMemorySmfWriter writer;
    ASSERT_TRUE(writer.Begin());
    ASSERT_TRUE(writer.BeginTrack());
    ML::CSmfMetaEvent tempo;
    tempo.type = 0x51;
    tempo.data = Hex("07 A1 20");
    ASSERT_TRUE(writer.WriteMetaEvent(200, tempo));
    ASSERT_TRUE(writer.EndTrack());
    ASSERT_EQ(writer.End(), 14u + 8 + 8 + 4);
    EXPECT_EQ(ToHex(ML::Bytes(writer.image.begin() + 14, writer.image.end())),
              "4D 54 72 6B 00 00 00 0C 81 48 FF 51 03 07 A1 20 00 FF 2F 00");

    // Begin starts a new file: no track is carried over.
    ASSERT_TRUE(writer.Begin());
    EXPECT_EQ(writer.GetTrackCount(), 0u);
    EXPECT_EQ(writer.End(), 14u);
}

TEST(SmfWriter, FailedWritesAreReported)
{
    // The steps of a one-event file, and how many of them succeed when the output takes only
    // `capacity` bytes.
    struct Case
    {
        const char* name;
        size_t capacity;
        int stepsDone;
    };
    const Case cases[] = {
        {"header does not fit", 13, 0},
        {"track header does not fit", 20, 1},
        {"event does not fit", 30, 2},
        {"end of track does not fit", 36, 3},
        {"everything fits", 40, 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CMemorySmfWriter writer;
        writer.capacity = c.capacity;
        const ML::CLongMessage message = Sysex("F0 41 10 42 12 01 02 7D F7");
        int done = 0;
        if (writer.Begin() && ++done && writer.BeginTrack() && ++done && writer.WriteSysexEvent(0, message) &&
            ++done && writer.EndTrack())
            ++done;
        EXPECT_EQ(done, c.stepsDone);
        EXPECT_EQ(writer.End() == 0, c.stepsDone == 0);
    }
}

TEST(SmfReader, ReadsTheGoldenFile)
{
    const std::vector<std::string> expected = {
        "header 00 00 00 01 00 60",
        "track 0",
        "sysex 0 F0 41 10 00 00 3C 12 1F 00 00 00 41 42 5E F7",
        "sysex 5 F0 41 10 00 00 3C 12 1F 00 00 02 43 44 58 F7",
        "meta 0 2F",
    };
    EXPECT_EQ(ReadEvents(GoldenFile("two-data-sets.mid")), expected);
}

TEST(SmfReader, EventsAndMalformedFiles)
{
    struct Case
    {
        const char* name;
        ML::Bytes file;
        bool ok;
        std::vector<std::string> events;   // after header and track lines
    };
    const Case cases[] = {
        {"running status", FileWithEvents("00 93 3C 64 05 3C 00 00 C2 05 01 07 00 FF 2F 00"), true,
         {"channel 0 93 3C 64", "channel 5 93 3C 00", "channel 0 C2 05", "channel 1 C2 07", "meta 0 2F"}},
        {"data bytes before any status are skipped", FileWithEvents("00 40 00 FF 2F 00"), true,
         {"meta 0 2F"}},
        {"system common statuses skipped without data", FileWithEvents("00 F2 00 FE 00 FF 2F 00"), true,
         {"meta 0 2F"}},
        {"system statuses keep the running status", FileWithEvents("00 B0 07 64 00 F8 00 0A 28 00 FF 2F 00"),
         true, {"channel 0 B0 07 64", "channel 0 B0 0A 28", "meta 0 2F"}},
        {"sysex and meta keep the running status",
         FileWithEvents("00 90 3C 64 00 F0 02 7E F7 00 FF 01 01 41 00 3C 00 00 FF 2F 00"), true,
         {"channel 0 90 3C 64", "sysex 0 F0 7E F7", "meta 0 01 41", "channel 0 90 3C 00", "meta 0 2F"}},
        {"F7 escape gives an empty sysex", FileWithEvents("00 F7 02 F8 F7 00 FF 2F 00"), true,
         {"sysex 0 F0 00 F7", "meta 0 2F"}},
        {"empty F7 escape gives an empty sysex", FileWithEvents("00 F7 00 00 FF 2F 00"), true,
         {"sysex 0 F0 00 F7", "meta 0 2F"}},
        {"empty F0 event gives an empty sysex", FileWithEvents("00 F0 00 00 FF 2F 00"), true,
         {"sysex 0 F0 00 F7", "meta 0 2F"}},
        {"sysex with a data byte 80h gives an empty sysex", FileWithEvents("00 F0 03 41 80 F7 00 FF 2F 00"), true,
         {"sysex 0 F0 00 F7", "meta 0 2F"}},
        {"sysex without its F7 gives an empty sysex", FileWithEvents("00 F0 02 41 10 00 FF 2F 00"), true,
         {"sysex 0 F0 00 F7", "meta 0 2F"}},
        {"F7 escape holding a whole sysex", FileWithEvents("00 F7 04 F0 41 10 F7 00 FF 2F 00"), true,
         {"sysex 0 F0 41 10 F7", "meta 0 2F"}},
        {"meta events we do not write are passed on",
         FileWithEvents("00 FF 51 03 07 A1 20 00 FF 58 04 04 02 18 08 00 FF 2F 00"), true,
         {"meta 0 51 07 A1 20", "meta 0 58 04 02 18 08", "meta 0 2F"}},
        {"track running past its declared length", FileWithEvents("83 60 F0 05 41 10 42 12 F7 00 FF 2F 00"), true,
         {"sysex 480 F0 41 10 42 12 F7", "meta 0 2F"}},
        {"events after the end of track are not read", FileWithEvents("00 FF 2F 00 00 F0 7F"), true,
         {"meta 0 2F"}},
        {"missing end of track", FileWithEvents("00 F0 05 41 10 42 12 F7"), false,
         {"sysex 0 F0 41 10 42 12 F7"}},
        {"empty track", FileWithEvents(""), false, {}},
        {"five-byte delta", FileWithEvents("81 81 81 81 01 FF 2F 00"), false, {}},
        {"five-byte sysex count", FileWithEvents("00 F0 81 81 81 81 01 F7"), false, {}},
        {"sysex past the end of the file", FileWithEvents("00 F0 05 41 10 F7"), false, {}},
        {"sysex length 2^28 - 1", FileWithEvents("00 F0 FF FF FF 7F 41 10 42 12 F7"), false, {}},
        {"meta length 2^28 - 1", FileWithEvents("00 FF 01 FF FF FF 7F 41"), false, {}},
        {"meta without type", FileWithEvents("00 FF"), false, {}},
        {"channel message cut short", FileWithEvents("00 90 3C"), false, {}},
        {"running status cut short", FileWithEvents("00 90 3C 64 00 3C"), false, {"channel 0 90 3C 64"}},
    };
    for (const Case& c : cases)
    {
        // The same events whether the bytes come in pieces or lie in memory whole.
        for (const bool inPlace : {false, true})
        {
            SCOPED_TRACE(std::string(c.name) + (inPlace ? " (in place)" : " (in pieces)"));
            CRecordingSmfReader reader(c.file);
            reader.inPlace = inPlace;
            EXPECT_EQ(reader.Parse(), c.ok);
            ASSERT_GE(reader.events.size(), 2u);
            EXPECT_EQ(std::vector<std::string>(reader.events.begin() + 2, reader.events.end()), c.events);
            EXPECT_LE(reader.largestRead, 4096u) << "bytes are fetched in bounded pieces";
        }
    }
}

// Events that straddle the edge of a 4 KiB piece: a system-exclusive message split across two
// pieces, and a running-status data byte that is the first byte of a new piece and is read again.
TEST(SmfReader, EventsAcrossPieceEdgesReadAsInPlace)
{
    for (size_t padding = 4040; padding < 4080; ++padding)
    {
        SCOPED_TRACE(padding);
        ML::Bytes file = FileWithEvents("");
        // A meta event of `padding` bytes moves the events behind it to the piece edge.
        const ML::Bytes meta = {0x00, 0xFF, 0x01, static_cast<uint8_t>(0x80 | padding >> 7),
                                static_cast<uint8_t>(padding & 0x7F)};
        file.insert(file.end(), meta.begin(), meta.end());
        file.insert(file.end(), padding, 0x41);
        const ML::Bytes tail = Hex("00 F0 06 41 10 42 12 01 F7 00 90 3C 64 00 3C 00 00 FF 2F 00");
        file.insert(file.end(), tail.begin(), tail.end());

        std::vector<std::string> seen[2];
        for (const bool inPlace : {false, true})
        {
            CRecordingSmfReader reader(file);
            reader.inPlace = inPlace;
            EXPECT_TRUE(reader.Parse());
            EXPECT_LE(reader.largestRead, 4096u);
            seen[inPlace] = reader.events;
        }
        EXPECT_EQ(seen[0], seen[1]);
        ASSERT_EQ(seen[1].size(), 7u);
        EXPECT_EQ(seen[1][3], "sysex 0 F0 41 10 42 12 01 F7");
        EXPECT_EQ(seen[1][4], "channel 0 90 3C 64");
        EXPECT_EQ(seen[1][5], "channel 0 90 3C 00");
    }
}

TEST(SmfReader, RejectsBadHeadersAndChunks)
{
    struct Case
    {
        const char* name;
        const char* bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"short header", "4D 54 68 64 00 00 00 06 00 00 00 01 00"},
        {"wrong magic", "4D 54 68 65 00 00 00 06 00 00 00 01 00 60 4D 54 72 6B 00 00 00 04 00 FF 2F 00"},
        {"header length 7", "4D 54 68 64 00 00 00 07 00 00 00 01 00 60 4D 54 72 6B 00 00 00 04 00 FF 2F 00"},
        {"no tracks", "4D 54 68 64 00 00 00 06 00 00 00 00 00 60"},
        {"second track missing", "4D 54 68 64 00 00 00 06 00 01 00 02 00 60 4D 54 72 6B 00 00 00 04 00 FF 2F 00"},
        {"another chunk where a track belongs",
         "4D 54 68 64 00 00 00 06 00 00 00 01 00 60 58 59 5A 5B 00 00 00 04 00 FF 2F 00"},
        {"track header cut short", "4D 54 68 64 00 00 00 06 00 00 00 01 00 60 4D 54 72 6B 00 00"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const ML::Bytes file = Hex(c.bytes);
        CRecordingSmfReader reader(file);
        EXPECT_FALSE(reader.Parse());
    }
}

TEST(SmfReader, HandlerCanStopTheReading)
{
    const ML::Bytes golden = GoldenFile("two-data-sets.mid");
    for (const char* stop : {"header", "track", "sysex 0", "meta"})
    {
        SCOPED_TRACE(stop);
        CRecordingSmfReader reader(golden);
        reader.stopAt = stop;
        EXPECT_FALSE(reader.Parse());
        EXPECT_EQ(reader.events.back().compare(0, std::string(stop).size(), stop), 0);
    }
}

// Bytes in memory are handed to the handler where they lie, with no copy; a handler that stops
// the reading in the middle of a run of messages is the last one called.
TEST(SmfReader, InMemoryMessagesAreSeenWhereTheyLie)
{
    class CTailReader : public ML::CSmfMemoryReader
    {
    public:
        using ML::CSmfMemoryReader::CSmfMemoryReader;
        std::vector<const uint8_t*> tails;
        std::vector<std::string> messages;
        size_t stopAfter = SIZE_MAX;

    protected:
        bool OnSysex(uint32_t, const ML::CSysexView& message) override
        {
            tails.push_back(message.Tail());
            messages.push_back(ToHex(message.ToBytes()));
            return tails.size() < stopAfter;
        }
    };
    // An F0 event, an F7 escape holding a whole message, an F0 event without its F7.
    const ML::Bytes file = FileWithEvents("00 F0 03 41 10 F7 00 F7 04 F0 41 10 F7 00 F0 02 41 10 00 FF 2F 00");
    const size_t events = 22;   // the header and track header before them
    {
        CTailReader reader(file);
        EXPECT_TRUE(reader.Parse());
        EXPECT_EQ(reader.messages, (std::vector<std::string>{"F0 41 10 F7", "F0 41 10 F7", "F0 00 F7"}));
        ASSERT_EQ(reader.tails.size(), 3u);
        EXPECT_EQ(reader.tails[0], file.data() + events + 3);
        EXPECT_EQ(reader.tails[1], file.data() + events + 6 + 4);
        const std::less<const uint8_t*> before;   // defined for pointers into different objects
        EXPECT_TRUE(before(reader.tails[2], file.data()) || !before(reader.tails[2], file.data() + file.size()))
            << "F0 00 F7 stands for no message; it is not in the file";
    }
    {
        CTailReader reader(file.data(), file.size());
        reader.stopAfter = 2;
        EXPECT_FALSE(reader.Parse());
        EXPECT_EQ(reader.messages, (std::vector<std::string>{"F0 41 10 F7", "F0 41 10 F7"}));
    }
}

// Every file we write is read back the same by midicsv, an independent reader.
TEST(SmfWriter, IndependentReaderAgrees)
{
    struct Case
    {
        const char* name;
        std::vector<std::vector<std::pair<uint32_t, std::string>>> tracks;   // delta, sysex hex
        std::vector<std::string> csv;
    };
    std::string longSysex = "F0 41 10 00 00 3C 12 10 00 00 00";
    std::string longCsv = "240, 65, 16, 0, 0, 60, 18, 16, 0, 0, 0";
    for (int i = 0; i < 300; ++i)
    {
        longSysex += " 55";
        longCsv += ", 85";
    }
    longSysex += " 4F F7";
    longCsv += ", 79, 247";
    const Case cases[] = {
        {"golden",
         {{{0, "F0 41 10 00 00 3C 12 1F 00 00 00 41 42 5E F7"}, {5, "F0 41 10 00 00 3C 12 1F 00 00 02 43 44 58 F7"}}},
         {"0, 0, Header, 0, 1, 96", "1, 0, Start_track",
          "1, 0, System_exclusive, 14, 65, 16, 0, 0, 60, 18, 31, 0, 0, 0, 65, 66, 94, 247",
          "1, 5, System_exclusive, 14, 65, 16, 0, 0, 60, 18, 31, 0, 0, 2, 67, 68, 88, 247", "1, 5, End_track",
          "0, 0, End_of_file"}},
        {"two tracks, long message, large deltas",
         {{{0, "F0 7E 7F 06 01 F7"}, {2097152, longSysex}}, {{130, "F0 41 10 42 12 F7"}}},
         {"0, 0, Header, 1, 2, 96", "1, 0, Start_track", "1, 0, System_exclusive, 5, 126, 127, 6, 1, 247",
          "1, 2097152, System_exclusive, " + std::to_string(Hex(longSysex).size() - 1) + ", " + longCsv.substr(5),
          "1, 2097152, End_track", "2, 0, Start_track", "2, 130, System_exclusive, 5, 65, 16, 66, 18, 247",
          "2, 130, End_track", "0, 0, End_of_file"}},
        {"empty track", {{}}, {"0, 0, Header, 0, 1, 96", "1, 0, Start_track", "1, 0, End_track", "0, 0, End_of_file"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CMemorySmfWriter writer;
        ASSERT_TRUE(writer.Begin());
        for (const auto& track : c.tracks)
        {
            ASSERT_TRUE(writer.BeginTrack());
            for (const auto& [delta, hex] : track)
                ASSERT_TRUE(writer.WriteSysexEvent(delta, Sysex(hex.c_str())));
            ASSERT_TRUE(writer.EndTrack());
        }
        ASSERT_GT(writer.End(), 0u);
        EXPECT_EQ(MidiCsvOf(writer.image), c.csv);
    }
}

// Random and mutated files: the reader ends, never reads outside the data, and never asks for
// more than a bounded piece at once.
TEST(SmfFuzz, RandomAndMutatedFiles)
{
    std::mt19937 random(31415);
    const ML::Bytes golden = GoldenFile("two-data-sets.mid");
    ASSERT_EQ(golden.size(), 60u);
    const ML::Bytes running = FileWithEvents("00 93 3C 64 05 3C 00 00 FF 51 03 07 A1 20 00 F7 02 F8 F7 00 FF 2F 00");
    for (int round = 0; round < 5000; ++round)
    {
        ML::Bytes file = round % 3 == 0 ? golden : running;
        if (round % 3 == 2)
        {
            file.resize(random() % 64);
            for (uint8_t& b : file)
                b = static_cast<uint8_t>(random());
            if (file.size() >= 22 && random() % 2)
                std::copy(golden.begin(), golden.begin() + 22, file.begin());
        }
        const int mutations = 1 + static_cast<int>(random() % 5);
        for (int m = 0; m < mutations && !file.empty(); ++m)
        {
            const size_t at = random() % file.size();
            switch (random() % 3)
            {
            case 0:
                file[at] = static_cast<uint8_t>(random());
                break;
            case 1:
                file[at] = static_cast<uint8_t>(0x80 | random());   // long counts, five-byte quantities
                break;
            default:
                file.resize(at);
                break;
            }
        }
        CRecordingSmfReader reader(file);
        const bool parsed = reader.Parse();
        ASSERT_LE(reader.largestRead, 4096u);
        ASSERT_LE(reader.events.size(), file.size() + 2);
        // Read in place, the same events and the same outcome.
        CRecordingSmfReader inPlace(file);
        inPlace.inPlace = true;
        ASSERT_EQ(inPlace.Parse(), parsed);
        ASSERT_EQ(inPlace.events, reader.events);
    }
}
