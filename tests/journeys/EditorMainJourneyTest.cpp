// The editor's main way through, as a musician takes it on a first day: no MIDI set up, the
// instrument's ports chosen in the set-up dialog, a patch read, a knob turned, a user patch chosen,
// renamed and written, the instrument brought in line, the work saved, opened again after a
// restart and exported as a standard MIDI file. Every step is a click, a wheel notch or a key;
// every check is what the screen shows or what the instrument holds afterwards.
#include "tests/journeys/JourneyFixture.h"
#include "platform/Gdi.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace
{
// Where things are on the bundled panels, in client pixels below the menu bar.
constexpr int kMainPanelHeight = 660;
// The header's buttons and the patch name.
constexpr int kHeaderY = 28;
constexpr int kPatchNameX = 90;
constexpr int kSelectX = 292;
constexpr int kWriteX = 360;
constexpr int kReadX = 508;
constexpr int kSyncX = 568;
// The common section's Level knob.
constexpr int kLevelKnobX = 40;
constexpr int kLevelKnobY = 101;

// The menu bar's titles; the File menu: Open... | Save, Save As... | Import SMF..., Export SMF... | Exit.
constexpr int kFileMenuX = 21;
constexpr int kSetupMenuX = 144;

// The SELECT and WRITE panels' name list: rows of 16 pixels below a header row.
constexpr int kListLeft = 10;
constexpr int kListWidth = 240;
constexpr int kFirstRowTop = 72;
constexpr int kRowHeight = 16;
constexpr int kVisibleRows = 16;
int RowY(int row) { return kFirstRowTop + kRowHeight * (row - 1) + kRowHeight / 2; }

// The set-up dialog's lists and its OK button.
constexpr int kComboX = 367;
constexpr int kInputComboY = 41;
constexpr int kOutputComboY = 71;
constexpr int kOkX = 522;
constexpr int kOkY = 226;

// Addresses in the instrument, as on the wire.
const char* const kTemporaryName = "1F 00 00 00";
const char* const kTemporaryLevel = "1F 00 00 0D";
const char* const kSlot5Name = "30 04 00 00";
const char* const kSlot5Level = "30 04 00 0D";
const char* const kProgram = "01 00 00 04";   // bank select MSB, LSB, program number

std::string HexBytes(const std::string& text)
{
    std::string hex;
    for (unsigned char c : text)
    {
        char two[4];
        std::snprintf(two, sizeof two, "%s%02X", hex.empty() ? "" : " ", c);
        hex += two;
    }
    return hex;
}

// A list row's highlight: the current row and the selection, each active or inactive.
bool IsHighlight(uint32_t pixel)
{
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    const int colours[4][3] = {{240, 190, 90}, {70, 90, 130}, {170, 140, 80}, {60, 66, 78}};
    for (const auto& c : colours)
        if (std::abs(r - c[0]) <= 6 && std::abs(g - c[1]) <= 6 && std::abs(b - c[2]) <= 6)
            return true;
    return false;
}

// True once the picture shows something: a window the program has not painted yet is black.
bool IsPainted(const std::string& picture)
{
    CBitmap bitmap;
    if (!bitmap.LoadFile(picture.c_str()))
        return false;
    const CSize size = bitmap.GetPixelSize();
    for (int y = 0; y < size.cy; y += 3)
        for (int x = 0; x < size.cx; x += 3)
            if (bitmap.GetRow(y)[x] & 0xFFFFFFu)
                return true;
    return false;
}

bool IsListBackground(uint32_t pixel)
{
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return std::abs(r - 24) <= 6 && std::abs(g - 27) <= 6 && std::abs(b - 32) <= 6;
}

// The highlighted rows of a name list in a picture of its panel (1 = the first visible row);
// empty when the picture could not be read or does not show the list.
std::vector<int> HighlightedRows(const std::string& picture)
{
    CBitmap bitmap;
    if (!bitmap.LoadFile(picture.c_str()) || bitmap.GetPixelSize().cy < kFirstRowTop + kRowHeight * kVisibleRows ||
        bitmap.GetPixelSize().cx < kListLeft + kListWidth)
        return {};
    std::vector<int> rows;
    int plain = 0;
    for (int row = 1; row <= kVisibleRows; ++row)
    {
        // The row's right end, beside any text.
        const uint32_t pixel = bitmap.GetRow(RowY(row))[kListLeft + kListWidth - 6];
        if (IsHighlight(pixel))
            rows.push_back(row);
        else if (IsListBackground(pixel))
            ++plain;
    }
    // Every other row is the list's own: the picture is of the list, not of what covered it.
    if (plain + static_cast<int>(rows.size()) != kVisibleRows)
        return {};
    return rows;
}
}

class EditorMainJourney : public CJourney
{
protected:
    void SetUp() override
    {
        CJourney::SetUp();
        // The set-up dialog lists the ports of every MIDI system there is, JACK's among them.
        unsetenv("Q9_MIDI_API");
    }

    // The instrument's bytes from `address` as the dump prints them ("4A 6F ..."); empty on failure.
    std::string Memory(const std::string& address, int count)
    {
        if (!m_instrument->WriteLine("dump " + address + " " + std::to_string(count)))
            return std::string();
        std::string bytes;
        for (int read = 0; read < count; read += 16)
        {
            const std::string line = m_instrument->ReadLine();
            const size_t colon = line.find(": ");
            if (colon == std::string::npos)
                return std::string();
            bytes += (bytes.empty() ? "" : " ") + line.substr(colon + 2);
        }
        return bytes;
    }

    // Waits until the instrument holds `expected` there; false (with what it held) when it did not
    // within the bound.
    ::testing::AssertionResult Holds(const std::string& address, const std::string& expected)
    {
        const int count = static_cast<int>((expected.size() + 1) / 3);
        std::string held;
        if (CDesktop::WaitUntil([&] { return (held = Memory(address, count)) == expected; }, Bound()))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "at " << address << " the instrument holds " << held << ", not "
                                             << expected;
    }

    // Turns the Level knob up a notch at a time, as a person turns until the value shows, until
    // the instrument holds `target` (two hexadecimal digits); false past it or when a notch did
    // not reach the instrument. A notch that arrives while the program still ends a transfer may
    // be dropped, as the program drops input while it waits.
    ::testing::AssertionResult TurnLevelUpTo(const std::string& main, const std::string& target)
    {
        std::string held = Memory(kTemporaryLevel, 1);
        for (int notch = 0; notch < 8 && held != target; ++notch)
        {
            if (held.empty() || std::stoi(held, nullptr, 16) > std::stoi(target, nullptr, 16))
                break;
            const std::string before = held;
            m_desktop->Wheel(main, kLevelKnobX, kLevelKnobY + MenuBarHeight(main), 1);
            CDesktop::WaitUntil([&] { return (held = Memory(kTemporaryLevel, 1)) != before; }, Bound() / 6);
        }
        if (held == target)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the level on the instrument is " << held << ", not " << target;
    }

    // Changes the instrument's memory as its own panel would.
    void Change(const std::string& address, const std::string& bytes)
    {
        ASSERT_TRUE(m_instrument->WriteLine("set " + address + " " + bytes));
        ASSERT_EQ(m_instrument->ReadLine(), "ok");
    }

    // Keys and text to whatever has the keyboard now: an open list or field that is no window of
    // the window manager's.
    static void KeysHere(const std::string& keys) { CDesktop::Run({"xdotool", "key", "--clearmodifiers", keys}); }
    static void TypeHere(const std::string& text) { CDesktop::Run({"xdotool", "type", "--delay", "5", text}); }

    // The main window's client area starts with the menu bar; the panel lies below it.
    int MenuBarHeight(const std::string& main) const { return m_desktop->Frame(main).height - kMainPanelHeight; }
    void ClickPanel(const std::string& main, int x, int y) const { m_desktop->Click(main, x, y + MenuBarHeight(main)); }

    // Opens a combo box's list with a click and picks the entry that starts with `prefix` by typing.
    void ChooseInCombo(const std::string& dialog, int x, int y, const std::string& prefix)
    {
        const std::vector<std::string> before = m_desktop->ProgramWindows("q9ee");
        m_desktop->Click(dialog, x, y);
        const std::string list = m_desktop->WaitForNewWindow("q9ee", before, Bound());
        ASSERT_FALSE(list.empty()) << "the list did not open";
        TypeHere(prefix);
        KeysHere("Return");
        EXPECT_TRUE(CDesktop::WaitUntil([&] { return m_desktop->ProgramWindows("q9ee").size() == before.size(); }, Bound()));
    }

    // Types a path into the file dialog titled so and accepts it.
    void EnterInFileDialog(const std::string& title, const std::string& path, const std::string& picture)
    {
        const std::string dialog = m_desktop->WaitForWindow(title, Bound());
        ASSERT_FALSE(dialog.empty()) << "no window titled " << title;
        Picture(dialog, picture);
        m_desktop->Type(dialog, path);
        m_desktop->Keys(dialog, "Return");
        EXPECT_TRUE(m_desktop->WaitForNoWindow(title, Bound()));
    }

    std::string PicturePath(const std::string& name) const
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string(Q9_JOURNEY_PICTURES) + "/" + test->test_suite_name() + "." + test->name() +
               (m_valgrind ? ".valgrind" : "") + "/" + name + ".png";
    }

    // A picture of the window, taken again until the program has painted it.
    void Picture(const std::string& window, const std::string& name)
    {
        EXPECT_TRUE(CDesktop::WaitUntil(
            [&] { return m_desktop->Picture(window, name) && IsPainted(PicturePath(name)); }, Bound()))
            << name << " stayed black";
    }

    // A picture of a panel window brought to the top, taken again until the window has painted.
    std::string PanelPicture(const std::string& window, const std::string& name)
    {
        const std::string path = PicturePath(name);
        CDesktop::WaitUntil(
            [&] {
                m_desktop->Raise(window);
                return m_desktop->Picture(window, name) && !HighlightedRows(path).empty();
            },
            Bound());
        return path;
    }

    std::string StartAndWaitForMain(std::unique_ptr<CChildProcess>& program)
    {
        program = Start(Q9EE_PROGRAM);
        // Started without a word to the user.
        for (std::string line = program->ReadLine(Bound()); line != "milestone started"; line = program->ReadLine(Bound()))
        {
            EXPECT_EQ(line.rfind("milestone message", 0), std::string::npos) << line;
            if (line == "<none>")
                return std::string();
        }
        return m_desktop->WaitForWindow("^Talvarix Editor - ", Bound());
    }

    int ExitFromTheMenu(const std::string& main, CChildProcess& program)
    {
        EXPECT_TRUE(m_desktop->ChooseMenu(main, kFileMenuX, 5, 3, "q9ee"));
        return program.Wait(Bound());
    }
};

TEST_F(EditorMainJourney, SetsUpMidiReadsEditsWritesSyncsSavesOpensExportsAndExits)
{
    StartInstrument("editor");
    if (IsSkipped() || HasFatalFailure())
        return;
    // A patch of the instrument's own that the editor has not seen.
    Change(kTemporaryName, HexBytes("Sim Strings "));
    Change(kTemporaryLevel, "50");

    // First start: nothing set up, and the program says so before its window opens.
    std::unique_ptr<CChildProcess> program = Start(Q9EE_PROGRAM);
    const std::string message = Milestone(*program, "message");
    EXPECT_NE(message.find("MIDI devices aren't set up correctly"), std::string::npos) << message;
    const std::string box = m_desktop->WaitForBox("^Talvarix Editor$", Bound());
    ASSERT_FALSE(box.empty());
    Picture(box, "0-not-set-up");
    m_desktop->Keys(box, "Return");
    EXPECT_EQ(Milestone(*program, "started"), "");
    std::string main = m_desktop->WaitForWindow("^Talvarix Editor - Untitled$", Bound());
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(m_desktop->Frame(main).width, 1000) << "the main panel's width";
    EXPECT_GT(MenuBarHeight(main), 0) << "a menu bar above the panel";

    // Setup > Set Up MIDI Devices...: the instrument's JACK ports, chosen from the lists.
    ASSERT_TRUE(m_desktop->ChooseMenu(main, kSetupMenuX, 0, 0, "q9ee"));
    const std::string setUp = m_desktop->WaitForWindow("^Set Up MIDI Devices$", Bound());
    ASSERT_FALSE(setUp.empty());
    ChooseInCombo(setUp, kComboX, kInputComboY, "JACK: Talvarix Sim Out");
    ChooseInCombo(setUp, kComboX, kOutputComboY, "JACK: Talvarix Sim:");
    Picture(setUp, "1-midi-set-up");
    m_desktop->Click(setUp, kOkX, kOkY);
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^Set Up MIDI Devices$", Bound()));
    const std::string settings = ReadFileBytes(Settings("Talvarix Editor"));
    EXPECT_NE(settings.find(std::string("MIDIInDevice0=JACK: ") + kFromInstrument), std::string::npos) << settings;
    EXPECT_NE(settings.find(std::string("MIDIOutDevice0=JACK: ") + kToInstrument), std::string::npos) << settings;

    // READ takes the instrument's level (50 hexadecimal); three notches up on the Level knob send
    // it back three higher.
    ClickPanel(main, kReadX, kHeaderY);
    EXPECT_EQ(Milestone(*program, "done Read"), "");
    EXPECT_TRUE(TurnLevelUpTo(main, "53"));
    Picture(main, "2-read-and-turned");

    // SELECT: user patch 3 is chosen on the instrument; closing the panel reads it (level 64).
    ClickPanel(main, kSelectX, kHeaderY - 1);
    std::string select = m_desktop->WaitForWindow("^select$", Bound());
    ASSERT_FALSE(select.empty());
    m_desktop->Click(select, kListLeft + 30, RowY(3));
    EXPECT_TRUE(Holds(kProgram, "57 00 02"));
    m_desktop->Click(select, 232, 43);   // CLOSE
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^select$", Bound()));
    EXPECT_EQ(Milestone(*program, "done ReadReservedPatches"), "");

    // The patch name, typed over in its field, goes to the instrument as it is entered.
    {
        const std::vector<std::string> before = m_desktop->ProgramWindows("q9ee");
        ClickPanel(main, kPatchNameX, kHeaderY);
        const std::string field = m_desktop->WaitForNewWindow("q9ee", before, Bound());
        ASSERT_FALSE(field.empty()) << "the name field did not open";
        KeysHere("ctrl+a");
        TypeHere("Journey Pad");
        KeysHere("Return");
    }
    EXPECT_TRUE(Holds(kTemporaryName, HexBytes("Journey Pad ")));

    // WRITE into user patch 5: the instrument's slot holds the name and the level read from patch 3.
    ClickPanel(main, kWriteX, kHeaderY - 1);
    const std::string write = m_desktop->WaitForWindow("^write$", Bound());
    ASSERT_FALSE(write.empty());
    m_desktop->Click(write, kListLeft + 30, RowY(5));
    Picture(write, "3-write");
    m_desktop->Click(write, 198, 346);   // the panel's WRITE
    EXPECT_EQ(Milestone(*program, "done WritePatch"), "");
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^write$", Bound()));
    EXPECT_TRUE(Holds(kSlot5Name, HexBytes("Journey Pad ")));
    EXPECT_TRUE(Holds(kSlot5Level, "64"));
    EXPECT_TRUE(Holds(kProgram, "57 00 04"));

    // SELECT after the write shows one highlighted row, the written patch's.
    ClickPanel(main, kSelectX, kHeaderY - 1);
    select = m_desktop->WaitForWindow("^select$", Bound());
    ASSERT_FALSE(select.empty());
    EXPECT_EQ(HighlightedRows(PanelPicture(select, "4-select-after-write")), std::vector<int>{5});

    // The slot read back: changed on the instrument, chosen again and read when the panel closes;
    // a notch up on the knob shows the editor now has the instrument's value.
    Change(kSlot5Level, "2A");
    m_desktop->Click(select, kListLeft + 30, RowY(3));
    EXPECT_TRUE(Holds(kProgram, "57 00 02"));
    m_desktop->Click(select, kListLeft + 30, RowY(5));
    EXPECT_TRUE(Holds(kProgram, "57 00 04"));
    m_desktop->Click(select, 232, 43);
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^select$", Bound()));
    EXPECT_EQ(Milestone(*program, "done ReadReservedPatches"), "");
    EXPECT_TRUE(TurnLevelUpTo(main, "2B"));
    EXPECT_TRUE(Holds(kTemporaryName, HexBytes("Journey Pad ")));

    // SYNC puts the editor's patch back over what the instrument's panel changed.
    Change(kTemporaryLevel, "05");
    Change(kTemporaryName, HexBytes("Changed     "));
    ClickPanel(main, kSyncX, kHeaderY);
    EXPECT_EQ(Milestone(*program, "done Sync"), "");
    EXPECT_TRUE(Holds(kTemporaryLevel, "2B"));
    EXPECT_TRUE(Holds(kTemporaryName, HexBytes("Journey Pad ")));

    // Save (Ctrl+S asks for a name the first time); the title names the file.
    const std::string document = Home("journey.q9e");
    m_desktop->Keys(main, "ctrl+s");
    EnterInFileDialog("^Save As", document, "5-save-as");
    EXPECT_TRUE(CDesktop::WaitUntil([&] { return m_desktop->Title(main) == "Talvarix Editor - " + document; }, Bound()))
        << m_desktop->Title(main);
    EXPECT_TRUE(std::filesystem::exists(document));
    Picture(main, "6-saved");
    ASSERT_EQ(ExitFromTheMenu(main, *program), 0);

    // Start again (the ports come back from the settings, no message), then Open: the title names
    // the file, and the level is the saved one again, whatever the instrument had meanwhile.
    Change(kTemporaryLevel, "05");
    main = StartAndWaitForMain(program);
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(m_desktop->Title(main), "Talvarix Editor - Untitled");
    // The start-up read counts as a change: Open first asks whether to save it.
    m_desktop->Keys(main, "ctrl+o");
    EXPECT_EQ(Milestone(*program, "message"), "Save changes to Untitled?");
    const std::string ask = m_desktop->WaitForBox("^Talvarix Editor$", Bound());
    ASSERT_FALSE(ask.empty());
    m_desktop->Keys(ask, "alt+n");
    EnterInFileDialog("^Open", document, "7-open");
    EXPECT_TRUE(CDesktop::WaitUntil([&] { return m_desktop->Title(main) == "Talvarix Editor - " + document; }, Bound()))
        << m_desktop->Title(main);
    EXPECT_TRUE(TurnLevelUpTo(main, "2C"));

    // File > Export SMF...: a standard MIDI file that a reader of the format takes, with the
    // patch's data set in it.
    const std::string smf = Home("journey.mid");
    ASSERT_TRUE(m_desktop->ChooseMenu(main, kFileMenuX, 4, 2, "q9ee"));
    EnterInFileDialog("^Save As", smf, "8-export-smf");
    ASSERT_TRUE(CDesktop::WaitUntil([&] { return std::filesystem::exists(smf); }, Bound()));
    int status = -1;
    const std::string csv = CDesktop::Run({"midicsv", smf}, &status);
    EXPECT_EQ(status, 0) << csv;
    EXPECT_NE(csv.find("System_exclusive"), std::string::npos) << csv;
    EXPECT_NE(csv.find("74, 111, 117, 114, 110, 101, 121, 32, 80, 97, 100"), std::string::npos) << "the patch's name";

    // The knob turned since the Open: Exit asks first, and No ends the program without saving.
    ASSERT_TRUE(m_desktop->ChooseMenu(main, kFileMenuX, 5, 3, "q9ee"));
    EXPECT_EQ(Milestone(*program, "message"), "Save changes to " + document + "?");
    const std::string save = m_desktop->WaitForBox("^Talvarix Editor$", Bound());
    ASSERT_FALSE(save.empty());
    m_desktop->Keys(save, "alt+n");
    EXPECT_EQ(program->Wait(Bound()), 0);
}
