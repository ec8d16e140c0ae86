// The editor as a musician uses it, on a desktop with a window manager, against the simulated
// instrument over JACK: every step is a click or a key, and every check is what the screen or
// the instrument shows afterwards.
#include "tests/journeys/JourneyFixture.h"

#include <chrono>

namespace
{
// The File menu: Open... | Save, Save As... | Import SMF..., Export SMF... | Exit.
constexpr int kFileMenuX = 21;
constexpr int kFileExit = 5;
constexpr int kFileExitSeparators = 3;

const char* const kEditor = "Talvarix Editor";
}

class EditorJourney : public CJourney
{
protected:
    // File > Exit, chosen with the mouse; the program's exit status.
    int ExitFromTheMenu(const std::string& main, CChildProcess& program)
    {
        EXPECT_TRUE(m_desktop->ChooseMenu(main, kFileMenuX, kFileExit, kFileExitSeparators, "q9ee"));
        return program.Wait(Bound());
    }

    void SetUpPorts()
    {
        ASSERT_TRUE(WriteFileBytes(Settings(kEditor), std::string("[MIDIConnection]\nMIDIInDevice0=") + kFromInstrument +
                                                          "\nMIDIOutDevice0=" + kToInstrument + "\n"));
    }
};

TEST_F(EditorJourney, FirstStartWithoutMidiSaysSoOpensOnTheScreenAndExitsFromTheMenu)
{
    std::unique_ptr<CChildProcess> program = Start(Q9EE_PROGRAM);
    const std::string message = Milestone(*program, "message");
    EXPECT_NE(message.find("MIDI devices aren't set up correctly"), std::string::npos) << message;
    const std::string box = m_desktop->WaitForBox("^Talvarix Editor$", Bound());
    ASSERT_FALSE(box.empty());
    m_desktop->Picture(box, "1-not-set-up");
    m_desktop->Keys(box, "Return");
    EXPECT_EQ(Milestone(*program, "started"), "");

    const std::string main = m_desktop->WaitForWindow("^Talvarix Editor - ", Bound());
    ASSERT_FALSE(main.empty());
    const CWindowFrame frame = m_desktop->Frame(main);
    EXPECT_GT(frame.top, 0) << "the window manager framed the window";
    EXPECT_GE(frame.FrameTop(), 0) << "the title bar is on the screen";
    m_desktop->Picture(main, "2-main");

    EXPECT_EQ(ExitFromTheMenu(main, *program), 0);
    // The next start opens the window where it was.
    program = Start(Q9EE_PROGRAM);
    Milestone(*program, "message");
    m_desktop->Keys(m_desktop->WaitForBox("^Talvarix Editor$", Bound()), "Return");
    EXPECT_EQ(Milestone(*program, "started"), "");
    const std::string again = m_desktop->WaitForWindow("^Talvarix Editor - ", Bound());
    EXPECT_EQ(m_desktop->Frame(again).FrameTop(), frame.FrameTop());
    EXPECT_EQ(m_desktop->Frame(again).x, frame.x);
    EXPECT_EQ(ExitFromTheMenu(again, *program), 0);
}

TEST_F(EditorJourney, ReadingFromAnInstrumentThatDoesNotAnswerEndsInAMessage)
{
    // The librarian's memory has none of the editor's system area: the start-up read gets no answer.
    StartInstrument("librarian");
    if (IsSkipped() || HasFatalFailure())
        return;
    SetUpPorts();
    std::unique_ptr<CChildProcess> program = Start(Q9EE_PROGRAM);
    const std::string message = Milestone(*program, "message");
    EXPECT_NE(message, "<none>");
    const std::string box = m_desktop->WaitForBox("^Talvarix Editor$", Bound());
    ASSERT_FALSE(box.empty());
    m_desktop->Picture(box, "1-no-answer");
    m_desktop->Keys(box, "Return");
    EXPECT_EQ(Milestone(*program, "started"), "");
    const std::string main = m_desktop->WaitForWindow("^Talvarix Editor - ", Bound());
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(ExitFromTheMenu(main, *program), 0);
}
