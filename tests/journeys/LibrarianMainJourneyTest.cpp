// The librarian's whole day in one journey, and its instrument vanishing half way through a read:
// every step is a click or a key on the real windows, and every check is what the screen, a file
// or the instrument's memory shows afterwards. Rows are compared as the pixels of their text.
#include "tests/journeys/JourneyFixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

namespace
{
struct CRect
{
    int x, y, width, height;
};

// Where things are in the main window's client area (Fusion, the desktop's font), the patch
// window "Main" as it first opens.
constexpr int kFileMenuX = 20;
constexpr int kEditMenuX = 56;
constexpr int kUndoButtonX = 318;
constexpr int kReadAllButtonX = 384;
constexpr int kToolBarY = 31;
constexpr int kWriteSelectedX = 437;
constexpr int kWriteSelectedY = 85;
constexpr int kFirstRowY = 129;   // the middle of row 1-1
constexpr int kRowHeight = 18;
constexpr int kNameX = 128, kNameRight = 272;
constexpr int kNumberX = 60, kNumberRight = 119;
// The File menu: New, Open..., Close, Save, Save As..., Duplicate | Export SMF... All Data, Export
// SMF... Selected Data, Import SMF... | Recent File | Exit.
constexpr int kFileOpen = 1;
constexpr int kFileClose = 2;
constexpr int kFileSaveAs = 4;
constexpr int kFileDuplicate = 5;
constexpr int kFileImportSmf = 8, kFileImportSmfSeparators = 1;
constexpr int kFileExit = 10, kFileExitSeparators = 3;

// The Edit menu: Undo | Cut, Copy, Insert, ...
constexpr int kEditCopy = 2, kEditCopySeparators = 1;

// The file dialog's name box, inside its border.
constexpr CRect kFileNameBox{100, 351, 400, 14};

const char* const kLibrarian = "Talvarix Librarian";

int RowY(int row)
{
    return kFirstRowY + kRowHeight * (row - 1);
}

CRect NameCell(int row)
{
    return {kNameX, RowY(row) - 6, kNameRight - kNameX, 13};
}

CRect NumberCell(int row)
{
    return {kNumberX, RowY(row) - 6, kNumberRight - kNumberX, 13};
}

// The text in a part of a picture: '#' where a pixel stands out from the part's background (its
// most common colour), '.' elsewhere. The same text looks the same selected or not.
std::string Ink(const CPicture& picture, const CRect& r)
{
    std::map<unsigned, int> counts;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            ++counts[picture.Colour(x, y)];
    unsigned background = 0;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (count > most)
            background = colour, most = count;
    auto channel = [](unsigned colour, int shift) { return int((colour >> shift) & 0xFF); };
    std::string ink;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
        {
            const unsigned colour = picture.Colour(x, y);
            int distance = 0;
            for (int shift : {0, 8, 16})
                distance += std::abs(channel(colour, shift) - channel(background, shift));
            ink += distance > 200 ? '#' : '.';
        }
    return ink;
}

int InkCount(const std::string& ink)
{
    return static_cast<int>(std::count(ink.begin(), ink.end(), '#'));
}

// Two texts are the same when all but a few edge pixels agree (the font's smoothing differs a
// little between dark text on light and light text on dark).
bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    int differ = 0;
    for (size_t i = 0; i < a.size(); ++i)
        differ += a[i] != b[i];
    return differ <= std::max(3, std::max(InkCount(a), InkCount(b)) / 10);
}

// Where a text's pixels are in a picture, on the white of rows that are not selected: the top-left
// of the first place that shows exactly `ink` (of the given width), or {-1, -1}.
std::pair<int, int> FindText(const CPicture& picture, const std::string& ink, int width)
{
    const int height = static_cast<int>(ink.size()) / width;
    std::vector<char> dark(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
        {
            const unsigned colour = picture.Colour(x, y);
            const int distance = 765 - int(colour >> 16) - int((colour >> 8) & 0xFF) - int(colour & 0xFF);
            dark[size_t(y) * size_t(picture.width) + size_t(x)] = distance > 200 ? '#' : '.';
        }
    for (int y = 0; y + height <= picture.height; ++y)
        for (int x = 0; x + width <= picture.width; ++x)
        {
            bool same = true;
            for (int row = 0; row < height && same; ++row)
                same = std::equal(ink.begin() + row * width, ink.begin() + (row + 1) * width,
                                  dark.begin() + std::ptrdiff_t(y + row) * picture.width + x);
            if (same)
                return {x, y};
        }
    return {-1, -1};
}

// Row `row` of the image is the selected one (its colour differs from the row above's).
bool Selected(const CPicture& picture, int row)
{
    return picture.Colour(kNumberX - 10, RowY(row)) != picture.Colour(kNumberX - 10, RowY(row - 1));
}
}

class LibrarianMainJourney : public CJourney
{
protected:
    void SetUpPorts(const std::string& extra = std::string())
    {
        ASSERT_TRUE(WriteFileBytes(Settings(kLibrarian), std::string("[MIDIConnection]\nMIDIInDevice0=") +
                                                             kFromInstrument + "\nMIDIOutDevice0=" + kToInstrument +
                                                             "\n[Option]\nReadUser=1\nWriteUser=1\n" + extra));
    }

    std::string StartLibrarian(std::unique_ptr<CChildProcess>& program)
    {
        program = Start(Q9EL_PROGRAM);
        EXPECT_EQ(Milestone(*program, "started"), "");
        return m_desktop->WaitForWindow("^Talvarix Librarian", Bound());
    }

    bool Menu(const std::string& main, int entry, int separators = 0, int menuX = kFileMenuX)
    {
        return m_desktop->ChooseMenu(main, menuX, entry, separators, "q9el");
    }

    // What the window shows once `shown` holds of it, or when the bound has passed: the program
    // paints a while after the input that asked for it, much later under valgrind.
    CPicture Showing(const std::string& window, const std::function<bool(const CPicture&)>& shown)
    {
        CPicture picture;
        m_desktop->WaitUntil(
            [&] {
                picture = m_desktop->Capture(window);
                return !picture.Empty() && shown(picture);
            },
            Bound());
        return picture;
    }

    bool WaitForTitle(const std::string& main, const std::string& title)
    {
        return m_desktop->WaitUntil([&] { return m_desktop->Title(main) == title; }, Bound());
    }

    // Read All from the tool bar; true once its progress window shows.
    bool ReadAll(const std::string& main, std::string* progress = nullptr)
    {
        m_desktop->Activate(main);
        m_desktop->Click(main, kReadAllButtonX, kToolBarY);
        const std::string window = m_desktop->WaitForWindow("^Talvarix Librarian$", Bound());
        if (progress)
            *progress = window;
        return !window.empty();
    }

    // A file dialog: waits for it, types the path into its name box and accepts; its title.
    // `nameInk` gets how many pixels of text the name box showed when it opened.
    std::string ChooseFile(const std::string& title, const std::string& path, const std::string& picture,
                           int* nameInk = nullptr)
    {
        const std::string dialog = m_desktop->WaitForWindow(title, Bound());
        if (dialog.empty())
            return dialog;
        // Once its name box is painted (white at its right end, where no name reaches).
        const CPicture shown = Showing(dialog, [](const CPicture& p) {
            return p.Colour(kFileNameBox.x + kFileNameBox.width - 4, kFileNameBox.y + 7) == 0xFFFFFF;
        });
        m_desktop->Picture(dialog, picture);
        if (nameInk)
            *nameInk = InkCount(Ink(shown, kFileNameBox));
        const std::string said = m_desktop->Title(dialog);
        m_desktop->Type(dialog, path);
        m_desktop->Keys(dialog, "Return");
        m_desktop->WaitForNoWindow(title, Bound());
        return said;
    }
};

TEST_F(LibrarianMainJourney, ReadsRenamesCopiesSavesWritesImportsAndExits)
{
    StartInstrument("librarian");
    if (IsSkipped() || HasFatalFailure())
        return;
    const std::string smf = Home("from-editor.mid");
    std::filesystem::copy_file(std::string(Q9_TEST_DATA_DIR) + "/midi/editor-patch.mid", smf);
    SetUpPorts("ImportSMF=1\n[SMF]\nInitialDirectory=" + Home("") + "\n");
    std::unique_ptr<CChildProcess> program;
    const std::string main = StartLibrarian(program);
    ASSERT_FALSE(main.empty());
    ASSERT_EQ(m_desktop->Title(main), "Talvarix Librarian - Main");
    const CWindowFrame frame = m_desktop->SettledFrame(main);
    const CPicture fresh = Showing(main, [](const CPicture& p) { return InkCount(Ink(p, NameCell(2))) > 0; });
    const std::string firstNumber = Ink(fresh, NumberCell(1));
    ASSERT_GT(InkCount(Ink(fresh, NameCell(2))), 0) << "a fresh image shows its initial patches";

    // Read All: the patches the instrument holds replace the initial ones in every row.
    std::string progress;
    ASSERT_TRUE(ReadAll(main, &progress)) << "a progress window shows the read";
    m_desktop->Picture(progress, "1-reading");
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^Talvarix Librarian$", 10 * Bound())) << "the read ends";
    const CPicture read =
        Showing(main, [&](const CPicture& p) { return !SameText(Ink(p, NameCell(9)), Ink(fresh, NameCell(9))); });
    m_desktop->Picture(main, "2-read");
    for (int row : {1, 2, 9})
        EXPECT_FALSE(SameText(Ink(read, NameCell(row)), Ink(fresh, NameCell(row)))) << "row " << row;

    // Rename 1-1 in place: a click selects the row, a right click on its name opens the editor.
    m_desktop->Click(main, kNameX + 30, RowY(1));
    m_desktop->ClickWith(main, 3, kNameX + 30, RowY(1));
    m_desktop->Keys(main, "ctrl+a");
    m_desktop->Type(main, "Journey One");
    m_desktop->Keys(main, "Return");
    m_desktop->Click(main, kNameX + 30, RowY(10));
    const CPicture renamed =
        Showing(main, [](const CPicture& p) { return InkCount(Ink(p, NameCell(1))) > 40 && Selected(p, 10); });
    const std::string journeyOne = Ink(renamed, NameCell(1));
    EXPECT_GT(InkCount(journeyOne), 40) << "the new name shows";
    m_desktop->Picture(main, "3-renamed");

    // Copy 1-1 (from the menu), insert it before 1-3 (with the keys): 1-3 shows the copy and the
    // rows below move down by one.
    m_desktop->Click(main, kNameX + 30, RowY(1));
    ASSERT_TRUE(Menu(main, kEditCopy, kEditCopySeparators, kEditMenuX));
    m_desktop->Click(main, kNameX + 30, RowY(3));
    m_desktop->Keys(main, "ctrl+v");
    m_desktop->Click(main, kNameX + 30, RowY(10));
    const CPicture pasted = Showing(
        main, [&](const CPicture& p) { return SameText(Ink(p, NameCell(3)), journeyOne) && Selected(p, 10); });
    m_desktop->Picture(main, "4-pasted");
    EXPECT_TRUE(SameText(Ink(pasted, NameCell(3)), journeyOne)) << "the copy is in row 1-3";
    EXPECT_TRUE(SameText(Ink(pasted, NameCell(1)), journeyOne)) << "the original stays";
    for (int row : {3, 4, 5})
        EXPECT_TRUE(SameText(Ink(pasted, NameCell(row + 1)), Ink(renamed, NameCell(row)))) << "row " << row << " moved down";
    // Undo from the tool bar: the rows are as before the insert.
    m_desktop->Click(main, kUndoButtonX, kToolBarY);
    m_desktop->Click(main, kNameX + 30, RowY(10));
    const CPicture undone = Showing(main, [&](const CPicture& p) {
        return SameText(Ink(p, NameCell(3)), Ink(renamed, NameCell(3))) && Selected(p, 10);
    });
    m_desktop->Picture(main, "5-undone");
    for (int row = 1; row <= 6; ++row)
        EXPECT_TRUE(SameText(Ink(undone, NameCell(row)), Ink(renamed, NameCell(row)))) << "row " << row;

    // Write Selected sends 1-1 to the instrument's first user slot, its new name with it.
    m_desktop->Click(main, kNameX + 30, RowY(1));
    m_desktop->Click(main, kWriteSelectedX, kWriteSelectedY);
    EXPECT_TRUE(m_desktop->WaitUntil([&] { return InstrumentText("30 00 00 00", 12) == "Journey One "; }, Bound()))
        << "the instrument holds: " << InstrumentText("30 00 00 00", 12);
    EXPECT_EQ(InstrumentText("30 01 00 00", 12), std::string(12, '\x01')) << "the next slot is untouched";

    // Duplicate the image into a file, Save As, close it and open it again: same rows, and the
    // title names the file without anything after it.
    const std::string file = Home("journey.q9l");
    ASSERT_TRUE(Menu(main, kFileDuplicate));
    ASSERT_TRUE(WaitForTitle(main, "Talvarix Librarian - Untitled1 *")) << m_desktop->Title(main);
    const int nameWidth = kNameRight - kNameX;
    const CPicture duplicate =
        Showing(main, [&](const CPicture& p) { return FindText(p, journeyOne, nameWidth).first != -1; });
    m_desktop->Picture(main, "6-duplicate");
    ASSERT_TRUE(Menu(main, kFileSaveAs));
    const std::string saveTitle = ChooseFile("^Save As", file, "7-save-as");
    EXPECT_EQ(saveTitle.rfind("Save As", 0), 0u) << saveTitle;
    ASSERT_TRUE(WaitForTitle(main, "Talvarix Librarian - journey.q9l")) << m_desktop->Title(main);
    EXPECT_TRUE(std::filesystem::exists(file));
    ASSERT_TRUE(Menu(main, kFileClose));
    ASSERT_TRUE(WaitForTitle(main, "Talvarix Librarian - Main")) << m_desktop->Title(main);
    ASSERT_TRUE(Menu(main, kFileOpen));
    ChooseFile("^Open", file, "8-open");
    ASSERT_TRUE(WaitForTitle(main, "Talvarix Librarian - journey.q9l")) << "'" << m_desktop->Title(main) << "'";
    const CPicture reopened =
        Showing(main, [&](const CPicture& p) { return FindText(p, journeyOne, nameWidth).first != -1; });
    m_desktop->Picture(main, "9-reopened");
    // The file windows sit elsewhere than the image: each list is found by its renamed first row,
    // then six rows of numbers and names are compared.
    const auto before = FindText(duplicate, journeyOne, nameWidth);
    const auto after = FindText(reopened, journeyOne, nameWidth);
    ASSERT_NE(before.first, -1) << "the duplicate shows 1-1's name";
    ASSERT_NE(after.first, -1) << "the reopened file shows 1-1's name";
    const CRect rowsBefore{before.first - 70, before.second, 70 + nameWidth, 6 * kRowHeight};
    const CRect rowsAfter{after.first - 70, after.second, 70 + nameWidth, 6 * kRowHeight};
    EXPECT_EQ(Ink(reopened, rowsAfter), Ink(duplicate, rowsBefore)) << "the rows come back as saved";
    ASSERT_TRUE(Menu(main, kFileClose));
    ASSERT_TRUE(WaitForTitle(main, "Talvarix Librarian - Main"));

    // Import the editor's SMF with the list at its end: the row that took the patch (1-1) is
    // selected and scrolled into view, and Write Selected sends it on.
    m_desktop->Click(main, kNameX + 30, RowY(5));
    m_desktop->Keys(main, "End");
    const CPicture atEnd =
        Showing(main, [&](const CPicture& p) { return !SameText(Ink(p, NumberCell(1)), firstNumber); });
    ASSERT_FALSE(SameText(Ink(atEnd, NumberCell(1)), firstNumber)) << "1-1 is out of view";
    ASSERT_TRUE(Menu(main, kFileImportSmf, kFileImportSmfSeparators));
    int nameInk = -1;
    const std::string importTitle = ChooseFile("^Open", "from-editor.mid", "10-import", &nameInk);
    EXPECT_EQ(importTitle.rfind("Open", 0), 0u) << importTitle;
    EXPECT_LE(nameInk, 20) << "the import dialog opens with no name in its box, only the cursor";
    const CPicture imported = Showing(main, [&](const CPicture& p) {
        return SameText(Ink(p, NumberCell(1)), firstNumber) && p.Colour(kNumberX - 10, RowY(1)) != 0xFFFFFF;
    });
    m_desktop->Picture(main, "11-imported");
    EXPECT_TRUE(SameText(Ink(imported, NumberCell(1)), firstNumber)) << "1-1 is in view after the import";
    EXPECT_NE(imported.Colour(kNumberX - 10, RowY(1)), renamed.Colour(kNumberX - 10, RowY(1))) << "1-1 is selected";
    m_desktop->Click(main, kWriteSelectedX, kWriteSelectedY);
    EXPECT_TRUE(m_desktop->WaitUntil([&] { return InstrumentText("30 00 00 00", 12) == "From Editor "; }, Bound()))
        << "the instrument holds: " << InstrumentText("30 00 00 00", 12);

    // File > Exit ends the program in order, and the window's place is kept as its frame's
    // rectangle, however slowly the program ran.
    ASSERT_TRUE(Menu(main, kFileExit, kFileExitSeparators));
    EXPECT_EQ(program->Wait(Bound()), 0);
    const std::string saved = ReadFileBytes(Settings(kLibrarian));
    const std::string expected = "Position=\"" + std::to_string(frame.x - frame.left) + "," +
                                 std::to_string(frame.y - frame.top) + "," +
                                 std::to_string(frame.x + frame.width + frame.right) + "," +
                                 std::to_string(frame.y + frame.height + frame.bottom) + "\"";
    EXPECT_NE(saved.find(expected), std::string::npos) << "the frame's rectangle " << expected << " is kept: " << saved;
}

TEST_F(LibrarianMainJourney, AnInstrumentKilledDuringReadAllEndsInAMessageAndTheProgramGoesOn)
{
    StartInstrument("librarian");
    if (IsSkipped() || HasFatalFailure())
        return;
    SetUpPorts();
    std::unique_ptr<CChildProcess> program;
    const std::string main = StartLibrarian(program);
    ASSERT_FALSE(main.empty());
    std::string progress;
    ASSERT_TRUE(ReadAll(main, &progress));
    // The instrument dies while the read is under way, as a pulled cable would do it.
    m_desktop->Picture(progress, "1-reading");
    m_instrument->Kill();
    m_instrument->Wait();
    m_instrument.reset();

    const std::string message = Milestone(*program, "message");
    EXPECT_NE(message, "<none>");
    EXPECT_EQ(message.rfind("Unable to read/write data.", 0), 0u) << message;
    const std::string box = m_desktop->WaitForWindow("^Talvarix Librarian$", Bound());
    ASSERT_FALSE(box.empty());
    m_desktop->Picture(box, "2-message");
    m_desktop->Keys(box, "Return");
    ASSERT_TRUE(m_desktop->WaitForNoWindow("^Talvarix Librarian$", Bound())) << "the message and the progress go";

    // The program goes on: the image can still be duplicated, and File > Exit ends it in order.
    ASSERT_TRUE(Menu(main, kFileDuplicate));
    EXPECT_TRUE(WaitForTitle(main, "Talvarix Librarian - Untitled1 *")) << m_desktop->Title(main);
    m_desktop->Picture(main, "3-going-on");
    ASSERT_TRUE(Menu(main, kFileExit, kFileExitSeparators));
    // The unsaved duplicate is offered for saving first: "No" leaves it.
    const std::string ask = m_desktop->WaitForWindow("^Talvarix Librarian$", Bound());
    if (!ask.empty())
    {
        m_desktop->Picture(ask, "4-save-question");
        m_desktop->Keys(ask, "alt+n");
    }
    EXPECT_EQ(program->Wait(Bound()), 0);
}
