// The librarian as a musician uses it, on a desktop with a window manager, against the simulated
// instrument over JACK: every step is a click or a key, and every check is what the screen or
// the instrument shows afterwards.
#include "tests/journeys/JourneyFixture.h"

#include <filesystem>

namespace
{
// Where things are in the main window's client area (Fusion, the desktop's font).
constexpr int kFileMenuX = 20;
constexpr int kReadAllButtonX = 384;
constexpr int kToolBarY = 31;
// The progress window's Cancel button.
constexpr int kProgressCancelX = 125;
constexpr int kProgressCancelY = 67;
// The File menu: New, Open..., Close, Save, Save As..., Duplicate | Export SMF... All Data, Export
// SMF... Selected Data, Import SMF... | Recent File | Exit.
constexpr int kFileExit = 10;
constexpr int kFileExitSeparators = 3;

const char* const kLibrarian = "Talvarix Librarian";
}

class LibrarianJourney : public CJourney
{
protected:
    void SetUpPorts()
    {
        ASSERT_TRUE(WriteFileBytes(Settings(kLibrarian), std::string("[MIDIConnection]\nMIDIInDevice0=") +
                                                             kFromInstrument + "\nMIDIOutDevice0=" + kToInstrument +
                                                             "\n[Option]\nReadUser=1\nWriteUser=1\n"));
    }

    // Starts the program and waits for its main window.
    std::string StartLibrarian(std::unique_ptr<CChildProcess>& program, const std::vector<std::string>& arguments = {})
    {
        program = Start(Q9EL_PROGRAM, arguments);
        EXPECT_EQ(Milestone(*program, "started"), "");
        return m_desktop->WaitForWindow("^Talvarix Librarian", Bound());
    }

    // File > Exit, chosen with the mouse; the program's exit status.
    int ExitFromTheMenu(const std::string& main, CChildProcess& program)
    {
        EXPECT_TRUE(m_desktop->ChooseMenu(main, kFileMenuX, kFileExit, kFileExitSeparators, "q9el"));
        return program.Wait(Bound());
    }
};

TEST_F(LibrarianJourney, ReadsAllFromTheInstrumentExitsFromTheMenuAndComesBackWhereItWas)
{
    StartInstrument("librarian");
    if (IsSkipped() || HasFatalFailure())
        return;
    SetUpPorts();
    std::unique_ptr<CChildProcess> program;
    const std::string main = StartLibrarian(program);
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(m_desktop->Title(main), "Talvarix Librarian - Main");
    const CWindowFrame first = m_desktop->SettledFrame(main);
    EXPECT_GE(first.FrameTop(), 0) << "the title bar is on the screen";
    EXPECT_GT(first.top, 0) << "the window manager framed the window";
    m_desktop->Picture(main, "1-started");

    // Read All from the tool bar: the progress window carries the program's name, not Qt's, and
    // its Cancel button stops the read (all 256 patches would take long on the dummy driver).
    m_desktop->Activate(main);
    m_desktop->Click(main, kReadAllButtonX, kToolBarY);
    const std::string progress = m_desktop->WaitForWindow("^Talvarix Librarian$", Bound());
    ASSERT_FALSE(progress.empty()) << "a progress window named after the program shows the read";
    m_desktop->Picture(progress, "2-reading");
    m_desktop->Click(progress, kProgressCancelX, kProgressCancelY);
    EXPECT_TRUE(m_desktop->WaitForNoWindow("^Talvarix Librarian$", Bound())) << "the read stops";
    m_desktop->Picture(main, "3-read-cancelled");

    // File > Exit ends the program in order (it once corrupted the heap from inside the menu).
    EXPECT_EQ(ExitFromTheMenu(main, *program), 0);
    const std::string saved = ReadFileBytes(Settings(kLibrarian));
    const std::string expected = "Position=\"" + std::to_string(first.x - first.left) + "," +
                                 std::to_string(first.y - first.top) + "," +
                                 std::to_string(first.x + first.width + first.right) + "," +
                                 std::to_string(first.y + first.height + first.bottom) + "\"";
    EXPECT_NE(saved.find(expected), std::string::npos) << "the frame's rectangle " << expected << " is kept: " << saved;

    // Twice more: the window opens where it was, as large as it was.
    for (int start = 2; start <= 3; ++start)
    {
        const std::string again = StartLibrarian(program);
        ASSERT_FALSE(again.empty());
        const CWindowFrame frame = m_desktop->SettledFrame(again);
        EXPECT_EQ(frame.FrameTop(), first.FrameTop()) << "start " << start;
        EXPECT_EQ(frame.x, first.x) << "start " << start;
        EXPECT_EQ(frame.width, first.width) << "start " << start;
        EXPECT_EQ(frame.height, first.height) << "start " << start;
        EXPECT_EQ(ExitFromTheMenu(again, *program), 0);
    }
}

TEST_F(LibrarianJourney, OpensALibrarianFileNamedInItsTitleAndRefusesATextFileInItsPlace)
{
    // The initial file the build lays beside the program is a librarian file like any other.
    const std::string file = Home("journey.q9l");
    std::filesystem::copy_file(std::filesystem::path(Q9EL_PROGRAM).parent_path() / "Script/Q9EL/InitialData.q9l", file);
    std::unique_ptr<CChildProcess> program;
    const std::string main = StartLibrarian(program, {file});
    ASSERT_FALSE(main.empty());
    ASSERT_TRUE(m_desktop->WaitUntil([&] { return m_desktop->Title(main) != "Talvarix Librarian - Main"; }));
    EXPECT_EQ(m_desktop->Title(main), "Talvarix Librarian - journey.q9l") << "no space after the name";
    m_desktop->Picture(main, "1-file-open");
    EXPECT_EQ(ExitFromTheMenu(main, *program), 0);

    // A text file with the librarian's extension: one message, and the program does not go on.
    const std::string text = Home("notes.q9l");
    ASSERT_TRUE(WriteFileBytes(text, "These are not patches.\n"));
    program = Start(Q9EL_PROGRAM, {text});
    const std::string message = Milestone(*program, "message");
    EXPECT_NE(message, "<none>");
    const std::string box = m_desktop->WaitForWindow("^Talvarix Librarian$", Bound());
    ASSERT_FALSE(box.empty());
    m_desktop->Picture(box, "2-refused");
    m_desktop->Keys(box, "Return");
    EXPECT_NE(program->Wait(Bound()), -1) << "the program ends after the message";
}
