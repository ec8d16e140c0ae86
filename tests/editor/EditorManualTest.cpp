// The editor's manuals as the build leaves them beside the program: real PDF files in both
// languages that hold every numbered section of their source (among them the one the "Unable to
// read/write data." message sends the reader to) and every picture the source names; and Help >
// Manual choosing the manual of the language the messages are shown in.
#include "editor/CEditorCommands.h"
#include "editor/EditorNames.h"
#include "editor/instrument/EditorMessages.h"
#include "tests/support/ManualCheck.h"
#include "toolkit/gt/IndexedStringTable.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
constexpr int32_t kMessageUnableToReadWrite = 2;

struct CManualCase
{
    uint32_t language;
    const char* pdf;
    const char* source;
};
const CManualCase kManuals[] = {
    {GT::CIndexedStringTable::kEnglishSet, "TalvarixEditorManualE.pdf", "EditorManual.en.md"},
    {GT::CIndexedStringTable::kJapaneseSet, "TalvarixEditorManualJ.pdf", "EditorManual.ja.md"},
};
}

TEST(EditorManual, EachLanguagesManualHoldsItsSectionsAndPicturesAndTheSectionTheReadWriteMessageNames)
{
    GT::CIndexedStringTable messages;
    FillEditorMessages(messages);
    for (const CManualCase& manual : kManuals)
    {
        messages.SelectSet(manual.language);
        const std::string named = ManualCheck::SectionNamedBy(messages.Find(kMessageUnableToReadWrite));
        EXPECT_EQ(named.compare(0, 3, "6. "), 0) << named;
        ManualCheck::ExpectManualComplete(std::string(Q9_EDITOR_MANUAL_DIR) + "/" + manual.pdf,
                                          std::string(Q9_MANUAL_SOURCE_DIR) + "/" + manual.source,
                                          Q9_MANUAL_PICTURE_DIR, named);
    }
}

TEST(EditorManual, HelpManualOpensTheManualOfTheMessagesLanguage)
{
    GT::CIndexedStringTable& messages = GetMessageTable();
    FillEditorMessages(messages);
    const uint32_t selected = messages.GetSelectedSet();
    SetProgramFolder("/opt/q9");
    for (const CManualCase& manual : kManuals)
    {
        messages.SelectSet(manual.language);
        EXPECT_EQ(CEditorCommands::BuildManualPath(), std::string("/opt/q9/Manual/") + manual.pdf);
    }
    // The language string decides: exactly "English" gives the English manual.
    messages.SelectLanguage("English");
    EXPECT_EQ(CEditorCommands::BuildManualPath(), "/opt/q9/Manual/TalvarixEditorManualE.pdf");
    messages.SelectLanguage("english");
    EXPECT_EQ(CEditorCommands::BuildManualPath(), "/opt/q9/Manual/TalvarixEditorManualJ.pdf");
    SetProgramFolder("");
    messages.SelectSet(selected);
}
