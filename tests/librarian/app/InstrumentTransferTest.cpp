// Reading and writing patches with the simulated instrument, in virtual time: the checks before
// every transfer, block-by-block requests and data sets, progress and cancel, and failures.
#include "librarian/app/ParameterAddress.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "tests/librarian/app/LibrarianFixtures.h"
#include "tests/librarian/app/TransferFixture.h"
#include "tests/midi/ml/HexBytes.h"

#include <functional>
#include <numeric>

namespace
{
std::vector<int> AllPatches()
{
    std::vector<int> indices(256);
    std::iota(indices.begin(), indices.end(), 0);
    return indices;
}

using Instrument = CSimulatedInstrument;

TEST_F(CTransferTest, ReadSelectedRequestsEachBlockOnceAndStoresTheAnswers)
{
    CPatchArray image = MakeDistinctImage(1);
    const CPatchArray before = image;
    ASSERT_TRUE(m_reader.Read(kAreaUserPatches, {37}, image));
    EXPECT_EQ(m_reader.GetLastResult(), kTransferDone);
    EXPECT_TRUE(m_shown.empty());

    // The checks first: the Identity Request, then the tone type.
    const auto received = m_instrument.GetReceived();
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(ToHex(received[0].bytes), "F0 7E 10 06 01 F7");
    EXPECT_EQ(ToHex(received[1].bytes), "F0 41 10 00 00 3C 11 01 00 00 04 00 00 00 02 79 F7");
    EXPECT_EQ(ToHex(received[2].bytes), "F0 41 10 00 00 3C 11 30 25 00 00 00 00 00 4F 5C F7");
    EXPECT_EQ(BlockRequests(), (std::vector<std::string>{
                                   "30 25 00 00 00 00 00 4F", "30 25 02 00 00 00 01 11", "30 25 04 00 00 00 00 54",
                                   "30 25 06 00 00 00 00 53", "30 25 10 00 00 00 00 29", "30 25 20 00 00 00 01 1A",
                                   "30 25 22 00 00 00 01 1A", "30 25 24 00 00 00 01 1A", "30 25 26 00 00 00 01 1A"}));

    // Patch 37 is the instrument's now, memos emptied; no other patch changed.
    EXPECT_TRUE(image[37].GetParts() == InstrumentPatch(37).GetParts());
    EXPECT_EQ(image[37].GetText(0), "");
    for (size_t i = 0; i < image.GetSize(); ++i)
    {
        if (i != 37)
        {
            ASSERT_TRUE(image[i].GetParts() == before[i].GetParts()) << i;
        }
    }

    EXPECT_EQ(m_progress.begun, 1);
    EXPECT_EQ(m_progress.ended, 1);
    EXPECT_EQ(m_progress.range, 1);
    EXPECT_EQ(m_progress.pos, 1);
    EXPECT_TRUE(m_progress.cancelable);
    ASSERT_EQ(m_progress.messages.size(), 9u);
    EXPECT_EQ(m_progress.messages.front(), "User Patch 2-6: COMMON");
    EXPECT_EQ(m_progress.messages.back(), "User Patch 2-6: TONE 4");
}

TEST_F(CTransferTest, ReadAllBringsEveryUserPatch)
{
    CPatchArray image = MakeDistinctImage(2);
    ASSERT_TRUE(m_reader.Read(kAreaUserPatches, AllPatches(), image));
    EXPECT_EQ(BlockRequests().size(), 256u * 9u);
    for (int slot = 0; slot < 256; ++slot)
        ASSERT_TRUE(image[static_cast<size_t>(slot)].GetParts() == InstrumentPatch(slot).GetParts()) << slot;
    EXPECT_EQ(m_progress.range, 256);
    EXPECT_EQ(m_progress.pos, 256);
    EXPECT_EQ(m_progress.messages.size(), 256u * 9u);
    EXPECT_EQ(m_progress.messages[9 * 128], "User Patch 5-1: COMMON");
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(CTransferTest, WriteSendsOneDataSetPerBlockWithAPauseAfterEach)
{
    const CPatchArray image = MakeDistinctImage(3);
    ASSERT_TRUE(m_writer.Write(kAreaUserPatches, {3, 200}, image));
    EXPECT_EQ(m_writer.GetLastResult(), kTransferDone);
    const std::vector<std::string> addresses = DataSetAddresses();
    ASSERT_EQ(addresses.size(), 18u);
    EXPECT_EQ(addresses[0], "30 03 00 00");
    EXPECT_EQ(addresses[8], "30 03 26 00");
    EXPECT_EQ(addresses[9], "31 48 00 00");
    EXPECT_EQ(addresses[17], "31 48 26 00");
    EXPECT_TRUE(InstrumentPatch(3).GetParts() == image[3].GetParts());
    EXPECT_TRUE(InstrumentPatch(200).GetParts() == image[200].GetParts());
    EXPECT_FALSE(InstrumentPatch(4).GetParts() == image[4].GetParts()) << "only the listed patches";

    // Each data set waits for the wire time of the one before (92 bytes: 30 ms) and 20 ms more.
    const std::vector<DWORD> ticks = DataSetTicks();
    EXPECT_GE(ticks[1] - ticks[0], 29u + 20u);
    EXPECT_LE(ticks[1] - ticks[0], 31u + 20u);
    EXPECT_EQ(m_progress.range, 2);
    EXPECT_EQ(m_progress.pos, 2);
    EXPECT_EQ(m_progress.messages.size(), 18u);
    EXPECT_EQ(m_progress.ended, 1);
}

TEST_F(CTransferTest, ARowSentToTheTemporaryPatchAlwaysGoesToItsAddress)
{
    CPatchArray image;
    image.Resize(12);   // initialised: "INIT PATCH", every other byte 0
    ASSERT_TRUE(m_writer.Write(kAreaTemporaryPatch, {9}, image));
    EXPECT_EQ(DataSetAddresses(), (std::vector<std::string>{"1F 00 00 00", "1F 00 02 00", "1F 00 04 00", "1F 00 06 00",
                                                            "1F 00 10 00", "1F 00 20 00", "1F 00 22 00", "1F 00 24 00",
                                                            "1F 00 26 00"}));
    const auto sets = m_instrument.GetAcceptedDataSets();
    EXPECT_EQ(ToHex(sets[0].bytes), "F0 41 10 00 00 3C 12 1F 00 00 00 49 4E 49 54 20 50 41 54 43 48 20 20 " +
                                        [] {
                                            std::string zeros;
                                            for (int i = 0; i < 67; ++i)
                                                zeros += "00 ";
                                            return zeros;
                                        }() + "5D F7");
    EXPECT_TRUE(InstrumentPatch(-1).GetParts() == image[9].GetParts());
    EXPECT_EQ(m_progress.messages.front(), "Temporary Patch: COMMON");
}

TEST_F(CTransferTest, IndicesOutsideTheListOrTheAreaAndUnknownAreasAreSkipped)
{
    CPatchArray image = MakeDistinctImage(4);
    image.Resize(10);
    EXPECT_TRUE(m_writer.Write(kAreaUserPatches, {-1, 10, 300, 2}, image));
    EXPECT_EQ(DataSetAddresses().size(), 9u) << "only patch 2";
    EXPECT_EQ(m_progress.pos, 4) << "one step per listed index";
    EXPECT_TRUE(m_writer.Write(-1, {0, 1}, image));
    EXPECT_TRUE(m_reader.Read(-1, {0, 1}, image));
    EXPECT_EQ(DataSetAddresses().size(), 9u);
    EXPECT_TRUE(BlockRequests().empty());
}

TEST_F(CTransferTest, APatchIsWrittenInTheLayoutsShapeOnly)
{
    CPatchArray image;
    image.Resize(1);
    auto& parts = image[0].GetParts();
    parts[0].push_back(CParameter::CBlock(79, 0x11));   // a second COMMON block would land on MFX
    parts[5].push_back(CParameter::CBlock(154, 0x12));  // a fifth tone would land past the patch
    parts[1][0].resize(145 + 20, 0x13);    // a long MFX block is cut
    parts[2][0].resize(10);                // a short CHORUS block is sent as it is
    parts[4].clear();                      // no TMT block: nothing sent for it
    ASSERT_TRUE(m_writer.Write(kAreaUserPatches, {0}, image));
    EXPECT_EQ(DataSetAddresses(), (std::vector<std::string>{"30 00 00 00", "30 00 02 00", "30 00 04 00", "30 00 06 00",
                                                            "30 00 20 00", "30 00 22 00", "30 00 24 00",
                                                            "30 00 26 00"}));
    const auto sets = m_instrument.GetAcceptedDataSets();
    EXPECT_EQ(sets[1].bytes.size(), 13u + 145u);
    EXPECT_EQ(sets[2].bytes.size(), 13u + 10u);
}

// Every check that fails stops the transfer before a single block, with its message.
TEST_F(CTransferTest, AFailedCheckStopsTheTransferWithItsMessage)
{
    struct CCase
    {
        const char* name;
        std::function<void(CTransferTest&)> arrange;
        std::vector<int32_t> shown;
        bool anythingSent;
    };
    const CCase cases[] = {
        {"no output device", [](CTransferTest& t) { t.RemoveOutputDevice(); }, {12}, false},
        {"no identity reply", [](CTransferTest& t) { t.m_instrument.SetIdentity(Instrument::EIdentity::Silent); }, {2}, true},
        {"another family", [](CTransferTest& t) { t.m_instrument.SetIdentity(Instrument::EIdentity::WrongFamily); }, {2}, true},
        {"a 14-byte reply", [](CTransferTest& t) { t.m_instrument.SetIdentity(Instrument::EIdentity::Short); }, {2}, true},
        {"a 16-byte reply", [](CTransferTest& t) { t.m_instrument.SetIdentity(Instrument::EIdentity::Long); }, {2}, true},
        {"not a regular tone", [](CTransferTest& t) { t.m_instrument.Write(kToneType, {0x58, 0x00}); }, {20}, true},
        {"a tone variant out of range", [](CTransferTest& t) { t.m_instrument.Write(kToneType, {0x57, 0x02}); }, {20}, true},
        {"no tone answer", [](CTransferTest& t) { t.m_instrument.DropNextReplies(2); }, {2, 20}, true},
    };
    for (const CCase& c : cases)
    {
        for (bool writing : {false, true})
        {
            SCOPED_TRACE(std::string(c.name) + (writing ? ", writing" : ", reading"));
            ResetInstrument();
            RestoreOutputDevice();
            m_shown.clear();
            m_progress = CRecordingProgress();
            c.arrange(*this);
            CPatchArray image = MakeDistinctImage(5);
            const CPatchArray before = image;
            const DWORD start = GetTickCount();
            EXPECT_FALSE(writing ? m_writer.Write(kAreaUserPatches, {0, 1}, image)
                                 : m_reader.Read(kAreaUserPatches, {0, 1}, image));
            EXPECT_EQ(writing ? m_writer.GetLastResult() : m_reader.GetLastResult(), kTransferFailed);
            EXPECT_EQ(m_shown, c.shown);
            EXPECT_TRUE(BlockRequests().empty());
            EXPECT_TRUE(m_instrument.GetAcceptedDataSets().empty());
            EXPECT_EQ(!m_instrument.GetReceived().empty(), c.anythingSent);
            EXPECT_TRUE(SamePatches(image, before));
            EXPECT_EQ(m_progress.begun, 0) << "no progress window for a transfer that never started";
            EXPECT_LE(GetTickCount() - start, 12100u) << "two waits of two attempts at most";
        }
    }
}

TEST_F(CTransferTest, AnInstrumentThatStopsAnsweringFailsTheReadWithoutHanging)
{
    CPatchArray image = MakeDistinctImage(6);
    // Identity and tone are answered; from the first block on, nothing: the first block's
    // message marks the moment.
    struct CDropOnFirstBlock : CRecordingProgress
    {
        Instrument* instrument = nullptr;
        void SetMessage(const std::string& message) override
        {
            if (messages.empty())
                instrument->DropNextReplies(1000);
            CRecordingProgress::SetMessage(message);
        }
    } progress;
    progress.instrument = &m_instrument;
    m_reader.SetProgress(&progress);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(m_reader.Read(kAreaUserPatches, {0, 1}, image));
    EXPECT_EQ(m_reader.GetLastResult(), kTransferFailed);
    EXPECT_EQ(m_shown, (std::vector<int32_t>{2}));
    EXPECT_EQ(BlockRequests().size(), 2u) << "the first block, twice; then the read stops";
    EXPECT_GE(GetTickCount() - start, 6000u);
    EXPECT_LE(GetTickCount() - start, 6200u);
    EXPECT_EQ(progress.ended, 1) << "the window closes after a failure too";
}

TEST_F(CTransferTest, CancelStopsBetweenBlocks)
{
    for (bool writing : {false, true})
    {
        SCOPED_TRACE(writing ? "writing" : "reading");
        m_instrument.ClearLogs();
        m_progress = CRecordingProgress();
        m_progress.cancelAtBlock = 3;
        CPatchArray image = MakeDistinctImage(7);
        EXPECT_FALSE(writing ? m_writer.Write(kAreaUserPatches, {5, 6}, image)
                             : m_reader.Read(kAreaUserPatches, {5, 6}, image));
        EXPECT_EQ(writing ? m_writer.GetLastResult() : m_reader.GetLastResult(), kTransferCancelled);
        EXPECT_EQ(writing ? m_instrument.GetAcceptedDataSets().size() : BlockRequests().size(), 2u);
        EXPECT_TRUE(m_shown.empty()) << "a cancel is no failure to report";
        EXPECT_EQ(m_progress.ended, 1);
    }
}

// Unplugs the instrument when the transfer's fifth block comes up.
struct CUnplugAtFifthBlock : CRecordingProgress
{
    Instrument* instrument = nullptr;
    void SetMessage(const std::string& message) override
    {
        if (messages.size() == 4)
            instrument->SetPresent(false);
        CRecordingProgress::SetMessage(message);
    }
};

TEST_F(CTransferTest, AnUnplugMidReadFailsItAndSaysSo)
{
    CUnplugAtFifthBlock progress;
    progress.instrument = &m_instrument;
    m_reader.SetProgress(&progress);
    CPatchArray image = MakeDistinctImage(8);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(m_reader.Read(kAreaUserPatches, {0}, image));
    EXPECT_EQ(m_reader.GetLastResult(), kTransferFailed);
    EXPECT_EQ(m_shown, (std::vector<int32_t>{2}));
    EXPECT_EQ(BlockRequests().size(), 4u);
    EXPECT_LE(GetTickCount() - start, 6200u);
    EXPECT_EQ(progress.ended, 1);
}

TEST_F(CTransferTest, AnUnplugMidWriteFailsIt)
{
    CUnplugAtFifthBlock progress;
    progress.instrument = &m_instrument;
    m_writer.SetProgress(&progress);
    CPatchArray image = MakeDistinctImage(8);
    EXPECT_FALSE(m_writer.Write(kAreaUserPatches, {0}, image));
    EXPECT_EQ(m_writer.GetLastResult(), kTransferFailed);
    EXPECT_EQ(m_instrument.GetAcceptedDataSets().size(), 4u) << "the send to the missing instrument stops it";
    EXPECT_EQ(progress.ended, 1);
}

TEST_F(CTransferTest, AReplyWithABadChecksumIsNoAnswer)
{
    struct CFaultAt : CRecordingProgress
    {
        Instrument* instrument = nullptr;
        void SetMessage(const std::string& message) override
        {
            if (messages.size() == 1)
                instrument->SetReplyFault(Instrument::EReplyFault::BadChecksum);
            CRecordingProgress::SetMessage(message);
        }
    } progress;
    progress.instrument = &m_instrument;
    m_reader.SetProgress(&progress);
    CPatchArray image = MakeDistinctImage(9);
    const CPatchArray before = image;
    EXPECT_FALSE(m_reader.Read(kAreaUserPatches, {7}, image));
    EXPECT_EQ(m_shown, (std::vector<int32_t>{2}));
    EXPECT_EQ(BlockRequests().size(), 3u) << "COMMON answered; MFX asked twice";
    EXPECT_TRUE(image[7].GetParts()[1] == before[7].GetParts()[1]) << "the corrupt answer was not stored";
}

TEST_F(CTransferTest, DataTheInstrumentSendsUnaskedDuringAReadIsNotStored)
{
    struct CKnobAt : CRecordingProgress
    {
        Instrument* instrument = nullptr;
        void SetMessage(const std::string& message) override
        {
            // A knob turned on the instrument: its temporary patch and patch 37's COMMON.
            if (messages.size() == 2)
            {
                instrument->SendDataSet(kTemporaryPatch + 12, {0x7F});
                instrument->SendDataSet(kUserPatches + 37 * kUserStride, Bytes(79, 0x7E));
            }
            CRecordingProgress::SetMessage(message);
        }
    } progress;
    progress.instrument = &m_instrument;
    m_reader.SetProgress(&progress);
    CPatchArray image = MakeDistinctImage(10);
    const CPatchArray before = image;
    ASSERT_TRUE(m_reader.Read(kAreaUserPatches, {0}, image));
    EXPECT_TRUE(image[0].GetParts() == InstrumentPatch(0).GetParts());
    EXPECT_TRUE(image[37].GetParts() == before[37].GetParts());
    EXPECT_EQ(image[37].GetText(0), before[37].GetText(0));
}

TEST_F(CTransferTest, ATransferWithoutTheReadersPortsOrChecker)
{
    CWriter unchecked;
    unchecked.SetMidiOut(&CVeyMidiOutputs::GetInstance()[0]);
    CPatchArray image = MakeDistinctImage(11);
    EXPECT_FALSE(unchecked.Write(kAreaUserPatches, {0}, image)) << "an unchecked instrument is not written";
    EXPECT_TRUE(m_instrument.GetReceived().empty());
    AReader lonely;
    EXPECT_FALSE(lonely.Read(kAreaUserPatches, {0}, image));
    EXPECT_EQ(m_shown, (std::vector<int32_t>{12}));
}
}

namespace
{
// The user patches `slots` as the instrument holds them, part by part.
std::vector<CParameter::CParts> InstrumentParts(const CSimulatedInstrument& instrument, const std::vector<int>& slots)
{
    std::vector<CParameter::CParts> parts;
    for (int slot : slots)
        parts.push_back(InstrumentPatchOf(instrument, slot).GetParts());
    return parts;
}

std::vector<CParameter::CParts> ImageParts(const CPatchArray& image, const std::vector<int>& slots)
{
    std::vector<CParameter::CParts> parts;
    for (int slot : slots)
        parts.push_back(image[static_cast<size_t>(slot)].GetParts());
    return parts;
}
}

// Over a long session the instrument drops, repeats, delays past the wait, cuts short and garbles
// a tenth of its replies (a fixed seed): every transfer ends, with its message or done; a read
// that is done holds exactly the instrument's patches, a write leaves the instrument's patches all
// old (stopped before sending) or all new; and with the instrument mended everything works again.
TEST_F(CTransferTest, AnInstrumentSpoilingATenthOfItsRepliesNeverPassesForAGoodTransfer)
{
    constexpr DWORD kLateMs = 10000;
    m_instrument.SetUnreliable(35, 10, kLateMs);
    const std::vector<int> all = AllPatches();
    const std::vector<int> few = {3, 4, 5, 250};
    int done = 0;
    int failed = 0;
    for (int round = 0; round < 16; ++round)
    {
        SCOPED_TRACE(round);
        const std::vector<int>& slots = round % 4 == 0 ? all : few;
        m_shown.clear();
        const DWORD start = GetTickCount();
        if (round % 2 == 0)
        {
            CPatchArray image = MakeDistinctImage(static_cast<uint8_t>(round));
            const bool read = m_reader.Read(kAreaUserPatches, slots, image);
            if (read)
            {
                EXPECT_TRUE(ImageParts(image, slots) == InstrumentParts(m_instrument, slots));
            }
            (read ? done : failed) += 1;
            EXPECT_EQ(m_shown.size(), read ? 0u : 1u);
        }
        else
        {
            const auto before = InstrumentParts(m_instrument, slots);
            CPatchArray image = MakeDistinctImage(static_cast<uint8_t>(round));
            const bool written = m_writer.Write(kAreaUserPatches, slots, image);
            const auto after = InstrumentParts(m_instrument, slots);
            EXPECT_TRUE(written ? after == ImageParts(image, slots) : after == before);
            (written ? done : failed) += 1;
            EXPECT_EQ(m_shown.size(), written ? 0u : 1u);
        }
        EXPECT_LT(GetTickCount() - start, 600000u) << "no hang";
        EXPECT_EQ(m_progress.begun, m_progress.ended);
    }
    EXPECT_GT(m_instrument.GetSpoiledReplyCount(), 20);
    EXPECT_GT(done, 0);
    EXPECT_GT(failed, 0);

    m_instrument.SetUnreliable(0, 0, 0);
    m_clock.Advance(kLateMs);
    m_shown.clear();
    CPatchArray image = MakeDistinctImage(40);
    ASSERT_TRUE(m_writer.Write(kAreaUserPatches, all, image));
    CPatchArray readBack = MakeDistinctImage(41);
    ASSERT_TRUE(m_reader.Read(kAreaUserPatches, all, readBack));
    EXPECT_TRUE(ImageParts(readBack, all) == ImageParts(image, all));
    EXPECT_TRUE(m_shown.empty());
}
