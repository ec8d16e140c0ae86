// The librarian against the simulated instrument, through the application's views and commands:
// what the lists show is what the instrument and the files hold afterwards.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianFrames.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "tests/librarian/app/LibrarianAppFixture.h"

using namespace LibrarianCommands;

namespace
{
const char* const kReadWriteFailed = "Unable to read/write data.";

class LibrarianEndToEndTest : public CLibrarianAppTest
{
protected:
    void SetUp() override
    {
        CLibrarianAppTest::SetUp();
        CPatchArray initial;
        initial.Add(std::make_unique<CPatch>(MakeLayoutPatch("INIT")));
        WriteInitialFile(initial);
        ASSERT_TRUE(Start());
    }
    void Command(UINT id) { m_app->GetMainFrame()->SendMessage(WM_COMMAND, id); }
    // The image matches the instrument's user patches, slot by slot.
    void ExpectImageMatchesInstrument(const std::vector<int>& slots)
    {
        for (int slot : slots)
            EXPECT_TRUE(SamePatches(SingleList(InstrumentPatchOf(m_instrument, slot)), SingleList(Image().At(static_cast<size_t>(slot)))))
                << "slot " << slot;
    }
    static CPatchArray SingleList(const CPatch& patch)
    {
        CPatchArray list;
        list.Add(patch.Clone());
        list.At(0).ClearTexts();
        return list;
    }
    bool BoxShown(const std::string& start) const
    {
        for (const std::string& box : m_boxes)
            if (box.compare(0, start.size(), start) == 0)
                return true;
        return false;
    }
};

TEST_F(LibrarianEndToEndTest, ReadAllFillsTheImageWithProgress)
{
    ASSERT_TRUE(ImageView().ReadPatches(true)) << (m_boxes.empty() ? "" : m_boxes[0]);
    EXPECT_EQ(std::vector<int>({CMidiWarningDlg::kReadUser}), m_warnings);
    ExpectImageMatchesInstrument({0, 1, 127, 128, 255});
    EXPECT_EQ(256 * 9u, m_progress.messages.size());
    EXPECT_EQ("User Patch 8-32: TONE 4", m_progress.messages.back());
    EXPECT_EQ(1, m_progress.ended);
    // The list shows the names the instrument holds.
    CPatchListCtrl& list = ImageView().GetList();
    EXPECT_EQ(Image().At(5).GetName(), list.GetItemText(5, 1));
    EXPECT_TRUE(m_boxes.empty());
}

// Whatever stops a read half-way, the image stays exactly as it was and no Undo brings the
// half-read state back; the user gets one clear message and nothing hangs.
TEST_F(LibrarianEndToEndTest, AReadThatStopsHalfWayChangesNothing)
{
    enum class EStop { Cancel, Silent, Garbled, Unplugged };
    const struct
    {
        EStop stop;
        const char* message;
    } cases[] = {
        {EStop::Cancel, nullptr},
        {EStop::Silent, kReadWriteFailed},
        {EStop::Garbled, kReadWriteFailed},
        {EStop::Unplugged, kReadWriteFailed},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.stop));
        const CPatchArray before = MakeDistinctImage(static_cast<uint8_t>(c.stop));
        Image() = before;
        ImageDoc().UpdateAllViews();
        m_boxes.clear();
        m_progress.messages.clear();
        m_progress.cancelAtBlock = 0;
        SelectRows(ImageView(), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
        switch (c.stop)
        {
        case EStop::Cancel: m_progress.cancelAtBlock = 60; break;
        case EStop::Silent: m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Silent); break;
        case EStop::Garbled: m_clock.After(300, [this] { m_instrument.SetReplyFault(CSimulatedInstrument::EReplyFault::BadChecksum); }); break;
        case EStop::Unplugged: m_clock.After(300, [this] { m_instrument.SetPresent(false); }); break;
        }
        EXPECT_FALSE(ImageView().ReadPatches(false));
        EXPECT_TRUE(SamePatches(before, Image()));
        EXPECT_FALSE(ImageDoc().GetData().CanUndo(1));
        Command(kEditUndo);
        EXPECT_TRUE(SamePatches(before, Image()));
        if (c.message)
        {
            EXPECT_TRUE(BoxShown(c.message)) << (m_boxes.empty() ? "no message" : m_boxes[0]);
        }
        else
        {
            EXPECT_TRUE(m_boxes.empty());
        }
        if (c.stop == EStop::Unplugged)
        {
            EXPECT_EQ("MIDI connect error.", m_app->GetMainFrame()->GetBars().GetStatusText());
        }
        m_instrument.SetPresent(true);
        m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Normal);
        m_instrument.SetReplyFault(CSimulatedInstrument::EReplyFault::None);
        Idle();
    }
    // The instrument back, a read works again.
    m_progress.cancelAtBlock = 0;
    EXPECT_TRUE(ImageView().ReadPatches(false));
    ExpectImageMatchesInstrument({0, 15});
}

TEST_F(LibrarianEndToEndTest, EditSaveReopenAndWriteBack)
{
    SelectRows(ImageView(), {0, 1, 2, 3, 4, 5});
    ASSERT_TRUE(ImageView().ReadPatches(false));
    ExpectImageMatchesInstrument({0, 5});
    CPatchListCtrl& list = ImageView().GetList();
    m_app->GetMainFrame()->MDIActivate(ImageDoc().GetFrame());
    SelectRows(ImageView(), {3});
    ASSERT_TRUE(list.BeginEdit(3, 1));
    ASSERT_TRUE(UiDriver::TypeText("Warm Pad"));
    ASSERT_TRUE(list.EndEdit(true));
    ASSERT_TRUE(list.BeginEdit(3, 2));
    ASSERT_TRUE(UiDriver::TypeText("for the intro"));
    ASSERT_TRUE(list.EndEdit(true));
    EXPECT_EQ("Warm Pad    ", Image().At(3).GetName());

    // Rows 3 and 4 into a new file, saved and opened again.
    SelectRows(ImageView(), {3, 4});
    Command(kEditCopy);
    m_app->OnAppCommand(kFileNew);
    ASSERT_EQ(1u, FileDocs().size());
    CFileDoc& file = *FileDocs()[0];
    SelectRows(ViewOf(file), {0});
    Command(kEditInsert);
    const std::string path = m_files.File("pads.q9l");
    ASSERT_TRUE(file.DoSave(path.c_str()));
    const CPatchArray saved = file.GetData().GetCurrent().GetPatches();
    ASSERT_EQ(2u, saved.GetSize());
    EXPECT_EQ("for the intro", saved.At(0).GetText(0));
    m_app->CloseDocument(&file);
    Idle();
    ASSERT_TRUE(m_app->OpenFile(path));
    ASSERT_EQ(1u, FileDocs().size());
    EXPECT_TRUE(SamePatches(saved, FileDocs()[0]->GetData().GetCurrent().GetPatches()));
    EXPECT_EQ("Warm Pad", ViewOf(*FileDocs()[0]).GetList().GetItemText(0, 1).substr(0, 8));
    const CReadResult onDisk = ReadBytes(ReadFileBytes(path));
    EXPECT_TRUE(SamePatches(saved, onDisk.patches));

    // Back to the instrument, block by block in layout order.
    m_app->GetMainFrame()->MDIActivate(ImageDoc().GetFrame());
    SelectRows(ImageView(), {3, 4});
    m_instrument.ClearLogs();
    ASSERT_TRUE(ImageView().WritePatches(false));
    ExpectImageMatchesInstrument({3, 4});
    const auto sets = m_instrument.GetAcceptedDataSets();
    ASSERT_EQ(18u, sets.size());
    EXPECT_EQ("Warm Pad", std::string(sets[0].bytes.begin() + 11, sets[0].bytes.begin() + 19));

    // One row's button sends that patch to the temporary patch.
    ImageView().GetList().ScrollItemToTop(0);
    ImageView().RecreateRowButtons();
    ASSERT_GT(ImageView().GetRowButtonCount(), 3u);
    ImageView().GetRowButton(3)->Click();
    EXPECT_TRUE(SamePatches(SingleList(InstrumentPatchOf(m_instrument, -1)), SingleList(Image().At(3))));
    // So does a double click on the row.
    RECT row;
    ASSERT_TRUE(ImageView().GetList().GetSubItemRect(4, 1, &row));
    ASSERT_TRUE(UiDriver::DoubleClick(ImageView().GetList(), POINT{row.left + 5, row.top + 5}));
    EXPECT_TRUE(SamePatches(SingleList(InstrumentPatchOf(m_instrument, -1)), SingleList(Image().At(4))));
}

TEST_F(LibrarianEndToEndTest, ExportAndImportAStandardMidiFile)
{
    Image() = MakeDistinctImage(9);
    ImageDoc().UpdateAllViews();
    const CPatchArray read = Image();
    m_smfFile = m_files.File("all.mid");
    EXPECT_EQ(kTransferDone, ImageView().ExportSmf(true));
    EXPECT_EQ(m_files.Path(), GetProfileString("SMF", "InitialDirectory", ""));
    EXPECT_EQ("all.mid", GetProfileString("SMF", "InitialFileName", ""));

    SelectRows(ImageView(), {0, 1, 2});
    Command(kEditInitialize);
    EXPECT_EQ("INIT        ", Image().At(1).GetName());
    EXPECT_EQ(kTransferDone, ImageView().ImportSmf());
    for (size_t i = 0; i < 256; i += 51)
        EXPECT_TRUE(SamePatches(SingleList(read.At(i)), SingleList(Image().At(i)))) << i;
    Command(kEditUndo);
    EXPECT_EQ("INIT        ", Image().At(1).GetName()) << "the import is one undo step";

    // Confirmed, then the file dialog cancelled: Undo is offered and changes nothing visible.
    m_smfFile.clear();
    EXPECT_EQ(kTransferCancelled, ImageView().ImportSmf());
    EXPECT_TRUE(ImageDoc().GetData().CanUndo(1));

    // Files that are no export, and places that cannot be written.
    m_boxes.clear();
    m_smfFile = m_files.File("not-midi.mid");
    ASSERT_TRUE(WriteFileBytes(m_smfFile, "MThd but not really"));
    EXPECT_EQ(kTransferFailed, ImageView().ImportSmf());
    EXPECT_EQ("INIT        ", Image().At(1).GetName());
    m_smfFile = m_files.File("missing/all.mid");
    EXPECT_EQ(kTransferFailed, ImageView().ExportSmf(true));
    EXPECT_EQ(std::vector<std::string>({"The file could not be loaded.", "The file could not be saved."}), m_boxes);
}

// The imported patch is selected and scrolled into view, wherever the list stood before.
TEST_F(LibrarianEndToEndTest, AnImportSelectsAndShowsTheImportedRow)
{
    Image() = MakeDistinctImage(9);
    ImageDoc().UpdateAllViews();
    CPatchListCtrl& list = ImageView().GetList();
    const struct
    {
        int exported;
        int selectedBefore;
    } cases[] = {{200, 0}, {0, 255}};
    for (const auto& c : cases)
    {
        SelectRows(ImageView(), {c.exported});
        m_smfFile = m_files.File("one-" + std::to_string(c.exported) + ".mid");
        ASSERT_EQ(kTransferDone, ImageView().ExportSmf(false));

        SelectRows(ImageView(), {c.selectedBefore});
        list.EnsureVisible(c.selectedBefore);
        ASSERT_FALSE(c.exported >= list.GetTopIndex() && c.exported < list.GetTopIndex() + list.GetCountPerPage());
        EXPECT_EQ(kTransferDone, ImageView().ImportSmf());
        EXPECT_EQ(std::vector<int>({c.exported}), list.GetSelection()) << c.exported;
        EXPECT_LE(list.GetTopIndex(), c.exported);
        EXPECT_LT(c.exported, list.GetTopIndex() + list.GetCountPerPage());
        EXPECT_EQ(LVIS_FOCUSED, list.GetItemState(c.exported, LVIS_FOCUSED));
    }
}
}

namespace
{
// A write to an instrument that does not answer, or is not a Talvarix, or has no regular tone
// selected stops before anything is sent, with the reason.
TEST_F(LibrarianEndToEndTest, AWriteThatCannotStartSendsNothing)
{
    const struct
    {
        CSimulatedInstrument::EIdentity identity;
        bool regularTone;
        const char* message;
    } cases[] = {
        {CSimulatedInstrument::EIdentity::Silent, true, kReadWriteFailed},
        {CSimulatedInstrument::EIdentity::WrongFamily, true, kReadWriteFailed},
        {CSimulatedInstrument::EIdentity::Normal, false, "It appears that a tone other than"},
    };
    for (const auto& c : cases)
    {
        m_boxes.clear();
        m_instrument.ClearLogs();
        m_instrument.SetIdentity(c.identity);
        m_instrument.Write(kToneType, {static_cast<uint8_t>(c.regularTone ? 0x57 : 0x00), 0x00});
        EXPECT_FALSE(ImageView().WritePatches(true));
        EXPECT_TRUE(m_instrument.GetAcceptedDataSets().empty());
        EXPECT_TRUE(BoxShown(c.message)) << (m_boxes.empty() ? "no message" : m_boxes[0]);
    }
}
}
