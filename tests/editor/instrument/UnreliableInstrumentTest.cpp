// The editor reading the whole image from an instrument that, over a long session, drops, repeats,
// delays past the wait, cuts short and garbles a tenth of its replies (a fixed seed: the same
// misbehaviour on every run).
#include "editor/instrument/CBufferAccessor.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "tests/editor/instrument/InstrumentRig.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class UnreliableInstrumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CVeyMidiRequester::SetMessageShower([this](int32_t id) { m_shown.push_back(id); });
        ASSERT_TRUE(m_rig.SetUp(m_folder.Path() + "/ViewState.txt")) << m_trace.Text();
    }
    void TearDown() override
    {
        CVeyMidiRequester::SetMessageShower(nullptr);
        m_rig.TearDown();
    }

    // The editor's image made to differ from the instrument's: another name for the patch.
    void EditTheImage(int round)
    {
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        std::string name = "Edit " + std::to_string(round);
        name.resize(12, ' ');
        buffers.SetText(buffers.FindValueOrNull("fm.pat.common.patchName"), name);
        buffers.ClearChanges();
    }

    CTraceCapture m_trace;
    CTempDir m_folder;
    CInstrumentRig m_rig;
    std::vector<int32_t> m_shown;
};
}

TEST_F(UnreliableInstrumentTest, EveryReadEndsWithTheInstrumentsImageOrItsMessageAndTheOldImage)
{
    // Past every attempt's wait: a late reply belongs to a request already given up.
    constexpr DWORD kLateMs = 10000;
    m_rig.instrument.SetUnreliable(35, 10, kLateMs);
    const std::vector<BYTE> instrumentImage = m_rig.InstrumentImage();
    int succeeded = 0;
    int failed = 0;
    for (int round = 0; round < 24; ++round)
    {
        SCOPED_TRACE(round);
        EditTheImage(round);
        const std::vector<BYTE> before = m_rig.EditorImage();
        ASSERT_NE(before, instrumentImage);
        m_shown.clear();
        const DWORD start = m_rig.clock.GetTickCount();
        const bool read = m_rig.accessor.ReadAll();
        EXPECT_LT(m_rig.clock.GetTickCount() - start, 600000u) << "no hang";
        EXPECT_FALSE(m_rig.accessor.IsTransferring());
        if (read)
        {
            ++succeeded;
            EXPECT_TRUE(m_shown.empty());
            EXPECT_EQ(m_rig.EditorImage(), instrumentImage) << "a read that succeeds brings exactly the instrument's image";
        }
        else
        {
            ++failed;
            EXPECT_EQ(m_shown.size(), 1u) << "a failed read says so, once";
            EXPECT_EQ(m_rig.EditorImage(), before) << "a failed read leaves the image as it was";
        }
    }
    EXPECT_GT(m_rig.instrument.GetSpoiledReplyCount(), 20);
    EXPECT_GT(succeeded, 0);
    EXPECT_GT(failed, 0);

    // The instrument mends: what is still on its way arrives, and the editor works as ever.
    m_rig.instrument.SetUnreliable(0, 0, 0);
    m_rig.clock.Advance(kLateMs);
    EditTheImage(99);
    m_shown.clear();
    ASSERT_TRUE(m_rig.accessor.ReadAll());
    EXPECT_TRUE(m_shown.empty());
    EXPECT_EQ(m_rig.EditorImage(), instrumentImage);
    EditTheImage(100);
    ASSERT_TRUE(m_rig.accessor.WriteAll());
    EXPECT_EQ(m_rig.InstrumentImage(), m_rig.EditorImage());
}
