// MIDI set-up as a JACK user meets it: no variable names a MIDI system, a JACK server runs with
// the simulated instrument on it, and the librarian's set-up dialog is all the user has. The
// instrument's ports are found in the dialog's lists under their marked names, chosen with the
// keyboard, answer a read, and are opened again by name at the next start.
#include "tests/journeys/JourneyFixture.h"

#include <algorithm>

namespace
{
// In the librarian's main window: the Main list's first row and its Read Selected button, and the
// File menu's Exit.
constexpr int kFirstRowX = 150;
constexpr int kFirstRowY = 129;
constexpr int kReadSelectedX = 206;
constexpr int kReadSelectedY = 85;
constexpr int kFileMenuX = 20;
constexpr int kFileExit = 10;
constexpr int kFileExitSeparators = 3;

const char* const kLibrarian = "Talvarix Librarian";
// The instrument's ports as the set-up dialog lists them beside the ALSA sequencer's.
const char* const kMarkedFromInstrument = "JACK: Talvarix Sim Out:MIDI Out";
const char* const kMarkedToInstrument = "JACK: Talvarix Sim:MIDI In";
}

class SetupJourney : public CJourney
{
protected:
    std::string StartLibrarian(std::unique_ptr<CChildProcess>& program)
    {
        program = Start(Q9EL_PROGRAM);
        EXPECT_EQ(Milestone(*program, "started"), "");
        return m_desktop->WaitForWindow("^Talvarix Librarian - Main$", Bound());
    }

    // Setup > Set Up MIDI Devices..., by its keys; the dialog.
    std::string OpenSetUp(const std::string& main)
    {
        m_desktop->Keys(main, "alt+s m");
        return m_desktop->WaitForWindow("^Set Up MIDI Devices$", Bound());
    }

    // Opens the focused combo box's list, takes its picture and chooses the entry typed.
    void ChooseInList(const std::string& entry, const std::string& picture)
    {
        const std::vector<std::string> before = m_desktop->ProgramWindows("q9el");
        m_desktop->KeysHere("space");
        const std::string list = m_desktop->WaitForNewWindow("q9el", before, Bound());
        ASSERT_FALSE(list.empty()) << "the list did not open";
        m_desktop->Picture(list, picture);
        m_desktop->TypeHere(entry);
        m_desktop->KeysHere("Return");
        EXPECT_TRUE(m_desktop->WaitUntil([&] {
            const std::vector<std::string> now = m_desktop->ProgramWindows("q9el");
            return std::find(now.begin(), now.end(), list) == now.end();
        })) << "the list closes";
    }

    // The pixels of the first row, as the list shows it now.
    std::vector<unsigned> FirstRow(const std::string& main) const
    {
        const CPicture picture = m_desktop->Capture(main);
        std::vector<unsigned> row;
        for (int y = kFirstRowY - 6; y <= kFirstRowY + 6; ++y)
            for (int x = 0; x < picture.width; ++x)
                row.push_back(picture.Colour(x, y));
        return row;
    }

    // The first patch read from the instrument, to its end: the row shows the instrument's patch
    // and no message comes (a Read All of every patch takes minutes on the dummy driver). The
    // progress window of a single patch may come and go between two looks at the screen.
    void ReadFirstPatch(const std::string& main, const std::string& picture)
    {
        m_desktop->Activate(main);
        m_desktop->Click(main, kFirstRowX, kFirstRowY);
        const std::vector<unsigned> before = FirstRow(main);
        m_desktop->Click(main, kReadSelectedX, kReadSelectedY);
        const std::string progress = m_desktop->WaitForWindow("^Talvarix Librarian$", 3000);
        if (!progress.empty())
            m_desktop->Picture(progress, picture + "-reading");
        // A missing reply would leave a message box of the same title in its place.
        if (!m_desktop->WaitForNoWindow("^Talvarix Librarian$", Bound() * 6))
        {
            m_desktop->Picture(m_desktop->WaitForWindow("^Talvarix Librarian$"), picture + "-not-ended");
            ADD_FAILURE() << "the read did not end";
        }
        EXPECT_TRUE(m_desktop->WaitUntil([&] { return FirstRow(main) != before; }, Bound()))
            << "the first row still shows what it showed before the read";
        m_desktop->Picture(main, picture);
    }

    int Exit(const std::string& main, CChildProcess& program)
    {
        EXPECT_TRUE(m_desktop->ChooseMenu(main, kFileMenuX, kFileExit, kFileExitSeparators, "q9el"));
        const int status = program.Wait(Bound());
        EXPECT_EQ(Milestone(program, "message"), "<none>") << "a message box came up";
        return status;
    }
};

TEST_F(SetupJourney, ListsTheJackPortsWithoutAVariableAndKeepsTheChosenPortsForTheNextStart)
{
    StartInstrument("librarian");
    if (IsSkipped() || HasFatalFailure())
        return;
    // Every MIDI system present, as in a user's session; no MIDI device chosen yet, and reading
    // without the question whether to overwrite the patches shown.
    unsetenv("Q9_MIDI_API");
    ASSERT_TRUE(WriteFileBytes(Settings(kLibrarian), "[Option]\nReadUser=1\n"));

    std::unique_ptr<CChildProcess> program;
    const std::string main = StartLibrarian(program);
    ASSERT_FALSE(main.empty());
    const std::string dialog = OpenSetUp(main);
    ASSERT_FALSE(dialog.empty()) << "no set-up dialog";
    m_desktop->Picture(dialog, "1-set-up");
    // The first box (MIDI IN 1) has the focus; MIDI OUT 1 is two boxes further.
    ChooseInList(kMarkedFromInstrument, "2-inputs-listed");
    m_desktop->KeysHere("Tab Tab");
    ChooseInList(kMarkedToInstrument, "3-outputs-listed");
    m_desktop->Picture(dialog, "4-chosen");
    m_desktop->KeysHere("Return");
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^Set Up MIDI Devices$", Bound()));
    // The program's own client carries its name, so a patch bay tells it from the editor.
    EXPECT_TRUE(m_desktop->WaitUntil(
        [] { return CDesktop::Run({"jack_lsp"}).find("Talvarix Librarian:") != std::string::npos; }, Bound()))
        << CDesktop::Run({"jack_lsp"});

    ReadFirstPatch(main, "5-read");
    EXPECT_EQ(Exit(main, *program), 0);
    const std::string settings = ReadFileBytes(Settings(kLibrarian));
    EXPECT_NE(settings.find(std::string("MIDIInDevice0=") + kMarkedFromInstrument + "\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find(std::string("MIDIOutDevice0=") + kMarkedToInstrument + "\n"), std::string::npos) << settings;

    // The next start opens the same ports by their names: the instrument answers at once.
    const std::string again = StartLibrarian(program);
    ASSERT_FALSE(again.empty());
    ReadFirstPatch(again, "6-read-again");
    const std::string shown = OpenSetUp(again);
    ASSERT_FALSE(shown.empty());
    m_desktop->Picture(shown, "7-set-up-again");
    m_desktop->KeysHere("Escape");
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^Set Up MIDI Devices$", Bound()));
    EXPECT_EQ(Exit(again, *program), 0);
}
