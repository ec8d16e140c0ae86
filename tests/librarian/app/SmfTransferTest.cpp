// Patches exported to and imported from Standard MIDI Files of data sets.
#include "librarian/app/LibrarianFile.h"
#include "librarian/app/ParameterAddress.h"
#include "midi/framework/CVeyDataSmfWriter.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "tests/librarian/app/LibrarianFixtures.h"
#include "tests/librarian/app/TransferFixture.h"
#include "tests/midi/ml/HexBytes.h"
#include "tests/support/SaveFault.h"
#include "tests/support/TempDir.h"

#include <numeric>
#include <sstream>

namespace
{
using SmfTransfer = CTransferTest;

std::vector<int> AllPatches()
{
    std::vector<int> indices(256);
    std::iota(indices.begin(), indices.end(), 0);
    return indices;
}

std::string Export(CWriter& writer, int area, const std::vector<int>& indices, const CParameterArray& patches)
{
    std::ostringstream out(std::ios::binary);
    EXPECT_TRUE(writer.ExportSmf(out, area, indices, patches));
    return out.str();
}

bool Import(AReader& reader, const std::string& file, CParameterArray& patches)
{
    std::istringstream in(file, std::ios::binary);
    return reader.ImportSmf(in, patches);
}

// A one-track file of the given system-exclusive messages.
std::string MakeSmf(const std::vector<Bytes>& messages)
{
    CVeyDataSmfWriter writer;
    EXPECT_TRUE(writer.Begin() && writer.BeginTrack());
    for (const Bytes& message : messages)
        EXPECT_TRUE(writer.Send(message)) << ToHex(message);
    EXPECT_TRUE(writer.EndTrack() && writer.End() > 0);
    return std::string(writer.GetImage().begin(), writer.GetImage().end());
}

// F0 41 dd 00 00 3C 12 address data checksum F7 (a wrong checksum when `checksumError` is set).
Bytes DataSet(const char* address, const Bytes& data, uint8_t deviceId = 0x10, const char* model = "00 00 3C",
              uint8_t command = 0x12, int checksumError = 0)
{
    Bytes message{0xF0, 0x41, deviceId};
    const Bytes modelId = Hex(model);
    message.insert(message.end(), modelId.begin(), modelId.end());
    message.push_back(command);
    const Bytes addressBytes = Hex(address);
    message.insert(message.end(), addressBytes.begin(), addressBytes.end());
    message.insert(message.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (size_t i = 4 + modelId.size(); i < message.size(); ++i)
        sum += message[i];
    message.push_back(static_cast<uint8_t>((0x80 - (sum & 0x7F) + checksumError) & 0x7F));
    message.push_back(0xF7);
    return message;
}

// The track's events: "delta length" per system-exclusive event.
std::vector<std::string> SysexEvents(const std::string& file)
{
    std::vector<std::string> events;
    size_t at = 22;
    auto vlq = [&] {
        uint32_t value = 0;
        uint8_t byte = 0;
        do
        {
            byte = static_cast<uint8_t>(file.at(at++));
            value = value << 7 | (byte & 0x7F);
        } while (byte & 0x80);
        return value;
    };
    while (at < file.size())
    {
        const uint32_t delta = vlq();
        const uint8_t status = static_cast<uint8_t>(file.at(at++));
        if (status != 0xF0)
            break;
        const uint32_t length = vlq();
        events.push_back(std::to_string(delta) + " " + std::to_string(length + 1));
        at += length;
    }
    return events;
}

TEST_F(SmfTransfer, OneInitialisedPatchExportsToTheKnownFile)
{
    CPatchArray image;
    image.Resize(1);
    const std::string file = Export(m_writer, kAreaUserPatches, {0}, image);
    EXPECT_EQ(m_writer.GetLastResult(), kTransferDone);
    ASSERT_EQ(file.size(), 1214u);
    const Bytes bytes(file.begin(), file.end());
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 39)),
              "4D 54 68 64 00 00 00 06 00 00 00 01 00 60 4D 54 72 6B 00 00 04 A8 "
              "00 F0 5B 41 10 00 00 3C 12 30 00 00 00 49 4E 49 54");
    EXPECT_EQ(ToHex(Bytes(bytes.begin() + 22 + 92, bytes.begin() + 22 + 94)), "4C F7");
    EXPECT_EQ(ToHex(Bytes(bytes.end() - 4, bytes.end())), "00 FF 2F 00");
    EXPECT_EQ(SysexEvents(file), (std::vector<std::string>{"0 92", "10 158", "14 97", "10 96", "10 54", "8 167",
                                                           "15 167", "15 167", "15 167"}));
    EXPECT_TRUE(m_instrument.GetReceived().empty()) << "an export sends nothing to the instrument";
    EXPECT_EQ(m_progress.begun, 0) << "no progress window for a file";
}

TEST_F(SmfTransfer, AnExportReadsBackIntoTheSamePatchesAndTheSameFile)
{
    const CPatchArray source = MakeDistinctImage(20);
    const std::string file = Export(m_writer, kAreaUserPatches, AllPatches(), source);
    CPatchArray target;
    target.Resize(256);
    ASSERT_TRUE(Import(m_reader, file, target));
    EXPECT_EQ(m_reader.GetLastResult(), kTransferDone);
    for (size_t i = 0; i < 256; ++i)
    {
        ASSERT_TRUE(target[i].GetParts() == source[i].GetParts()) << i;
        EXPECT_EQ(target[i].GetText(0), "") << "memos are the librarian's, never in the file";
    }
    EXPECT_EQ(Export(m_writer, kAreaUserPatches, AllPatches(), target), file);

    // Selected patches keep their slots; the temporary patch comes back as patch 0.
    const std::string two = Export(m_writer, kAreaUserPatches, {200, 4}, source);
    CPatchArray fresh;
    fresh.Resize(256);
    const CPatchArray untouched = fresh;
    ASSERT_TRUE(Import(m_reader, two, fresh));
    EXPECT_TRUE(fresh[200].GetParts() == source[200].GetParts());
    EXPECT_TRUE(fresh[4].GetParts() == source[4].GetParts());
    EXPECT_TRUE(fresh[5].GetParts() == untouched[5].GetParts());
    const std::string temporary = Export(m_writer, kAreaTemporaryPatch, {77}, source);
    ASSERT_TRUE(Import(m_reader, temporary, fresh));
    EXPECT_TRUE(fresh[0].GetParts() == source[77].GetParts());
}

TEST_F(SmfTransfer, UnreadableFilesAreRefusedAndFilesWithNothingForThisInstrumentChangeNothing)
{
    const CPatchArray source = MakeDistinctImage(21);
    const std::string good = Export(m_writer, kAreaUserPatches, {0, 1}, source);
    const Bytes common(79, 0x33);
    // Two notes and the end of the track.
    const std::string song = ParseHexFixture("4D 54 68 64 00 00 00 06 00 00 00 01 00 60 4D 54 72 6B 00 00 00 0C "
                                             "00 90 3C 64 60 80 3C 00 00 FF 2F 00");
    struct CCase
    {
        const char* name;
        std::string file;
        bool readable;
    };
    const CCase cases[] = {
        {"empty", "", false},
        {"not a MIDI file", "RIFF....WAVEfmt not a standard MIDI file at all", false},
        {"cut short in its last event", good.substr(0, good.size() - 30), false},
        {"a header promising two tracks", good.substr(0, 11) + '\x02' + good.substr(12), false},
        {"a file larger than any export", std::string(AReader::kMaxImportSize + 1, 'M'), false},
        {"a song without data sets", song, true},
        {"another device ID", MakeSmf({DataSet("30 00 00 00", common, 0x11)}), true},
        {"another model ID", MakeSmf({DataSet("30 00 00 00", common, 0x10, "00 00 3D")}), true},
        {"a wrong checksum", MakeSmf({DataSet("30 00 00 00", common, 0x10, "00 00 3C", 0x12, 1)}), true},
        {"a data request", MakeSmf({DataSet("30 00 00 00", {0, 0, 0, 0x4F}, 0x10, "00 00 3C", 0x11)}), true},
        {"another maker", MakeSmf({Hex("F0 43 10 4C 00 00 7E 00 F7")}), true},
        {"an address outside the patches", MakeSmf({DataSet("32 00 00 00", common)}), true},
        {"the tone type", MakeSmf({DataSet("01 00 00 04", {0x57, 0x00})}), true},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CPatchArray image = MakeDistinctImage(22);
        const CPatchArray before = image;
        EXPECT_EQ(Import(m_reader, c.file, image), c.readable);
        EXPECT_EQ(m_reader.GetLastResult(), c.readable ? kTransferDone : kTransferFailed);
        EXPECT_TRUE(SamePatches(image, before));
    }
}

TEST_F(SmfTransfer, OnlyTheFittingDataSetsOfAFileAreStored)
{
    CPatchArray image = MakeDistinctImage(23);
    const CPatchArray before = image;
    const std::string file = MakeSmf({
        DataSet("30 02 00 00", Bytes(79, 0x21), 0x11),   // another device: skipped
        DataSet("30 03 00 0C", {0x41, 0x42}),            // two parameters inside patch 3's COMMON
        DataSet("1F 00 02 00", Bytes(145, 0x22)),        // temporary patch: into patch 0
    });
    ASSERT_TRUE(Import(m_reader, file, image));
    EXPECT_TRUE(image[2].GetParts() == before[2].GetParts());
    CParameter::CBlock expected = before[3].GetParts()[0][0];
    expected[12] = 0x41;
    expected[13] = 0x42;
    EXPECT_EQ(image[3].GetParts()[0][0], expected) << "stored at their place, the rest kept";
    EXPECT_EQ(image[3].GetText(0), "");
    EXPECT_EQ(image[0].GetParts()[1][0], CParameter::CBlock(145, 0x22));
    EXPECT_EQ(image[0].GetText(0), before[0].GetText(0)) << "MFX data keeps the memos";
}

TEST_F(SmfTransfer, EveryFailedExportLeavesTheOldFileAndSaysSo)
{
    CPatchArray image;
    image.Resize(2);
    for (ESaveFault kind : AllSaveFaults())
    {
        SCOPED_TRACE(SaveFaultName(kind));
        CTempDir folder;
        const std::string path = folder.File("patches.mid");
        CSaveFault fault(kind, path, "old contents");
        if (!fault.IsPossible())
            continue;
        EXPECT_FALSE(m_writer.ExportSmfFile(path, kAreaUserPatches, {0, 1}, image));
        EXPECT_EQ(m_writer.GetLastResult(), kTransferFailed);
        EXPECT_TRUE(fault.IsUntouched());
    }
}

TEST_F(SmfTransfer, AFailedExportLeavesTheOldFileAndSaysSo)
{
    CTempDir folder;
    const std::string path = folder.File("patches.mid");
    ASSERT_TRUE(WriteFileBytes(path, "old contents"));
    CPatchArray image;
    image.Resize(2);
    image[1].GetParts()[2][0][5] = 0x80;   // no data byte: no valid message can carry it
    EXPECT_FALSE(m_writer.ExportSmfFile(path, kAreaUserPatches, {0, 1}, image));
    EXPECT_EQ(m_writer.GetLastResult(), kTransferFailed);
    EXPECT_EQ(ReadFileBytes(path), "old contents");

    EXPECT_FALSE(m_writer.ExportSmfFile(folder.File("missing/patches.mid"), kAreaUserPatches, {0}, image));
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(m_writer.ExportSmf(broken, kAreaUserPatches, {0}, image));

    ASSERT_TRUE(m_writer.ExportSmfFile(path, kAreaUserPatches, {0}, image));
    EXPECT_EQ(m_writer.GetLastResult(), kTransferDone);
    const std::string written = ReadFileBytes(path);
    EXPECT_EQ(written, Export(m_writer, kAreaUserPatches, {0}, image));
    CPatchArray back;
    back.Resize(1);
    back.At(0).SetName("OTHER");
    ASSERT_TRUE(m_reader.ImportSmfFile(path, back));
    EXPECT_EQ(back.At(0).GetName(), "INIT PATCH  ");
    EXPECT_FALSE(m_reader.ImportSmfFile(folder.File("absent.mid"), back));
}
}

namespace
{
// Patches opened from a file whose records lack blocks, hold them short or hold one too many:
// the instrument and an exported file get the blocks the patch has, each as far as it goes,
// and nothing past the layout.
TEST_F(SmfTransfer, PatchesOfOtherBlockCountsSendAndExportWhatTheyHold)
{
    const CReadResult odd = ReadBytes(LoadHexFixture("odd-blocks.q9l.hex"));
    ASSERT_EQ(odd.message, kFileMessageNone);
    const std::vector<std::string> sent{"30 00 00 00", "30 00 04 00", "30 00 10 00", "30 00 20 00", "30 00 22 00"};
    const std::vector<size_t> sizes{14, 84, 41, 154, 10};

    const CPatch before = InstrumentPatch(0);
    ASSERT_TRUE(m_writer.Write(kAreaUserPatches, {0, 1}, odd.patches));
    EXPECT_EQ(DataSetAddresses(), sent) << "the second patch has no block to send";
    const auto sets = m_instrument.GetAcceptedDataSets();
    for (size_t i = 0; i < sets.size() && i < sizes.size(); ++i)
        EXPECT_EQ(sets[i].bytes.size(), 13u + sizes[i]) << sent[i];
    // The short COMMON block wrote its 14 bytes; the instrument keeps the rest of the block.
    const CPatch after = InstrumentPatch(0);
    EXPECT_EQ(after.GetName(), "Short name  ");
    EXPECT_EQ(after.GetParts()[CPatch::kCommon][0][14], before.GetParts()[CPatch::kCommon][0][14]);
    EXPECT_EQ(after.GetParts()[CPatch::kMfx][0], before.GetParts()[CPatch::kMfx][0]);

    const std::string file = Export(m_writer, kAreaUserPatches, {0, 1}, odd.patches);
    std::vector<std::string> events = SysexEvents(file);
    ASSERT_EQ(events.size(), sent.size());
    for (size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ(events[i].substr(events[i].find(' ') + 1), std::to_string(13 + sizes[i]));
}
}
