// The librarian's manuals as the build leaves them beside the program: real PDF files in both
// languages that hold every numbered section of their source (among them the one the "Unable to
// read/write data." message sends the reader to) and every picture the source names; and Help >
// Manual choosing the manual of the language the messages are shown in.
#include "librarian/app/LibrarianApp.h"
#include "librarian/app/LibrarianData.h"
#include "tests/support/ManualCheck.h"
#include "toolkit/gt/IndexedStringTable.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct CManualCase
{
    uint32_t language;
    const char* pdf;
    const char* source;
};
const CManualCase kManuals[] = {
    {GT::CIndexedStringTable::kEnglishSet, "TalvarixLibrarianManualE.pdf", "LibrarianManual.en.md"},
    {GT::CIndexedStringTable::kJapaneseSet, "TalvarixLibrarianManualJ.pdf", "LibrarianManual.ja.md"},
};

// Runs the check in each language, the message table put back afterwards.
template <class Check>
void InEachLanguage(Check check)
{
    GT::CIndexedStringTable& messages = GetMessageTable();
    CLibrarianData::FillMessageTable();
    const uint32_t selected = messages.GetSelectedSet();
    for (const CManualCase& manual : kManuals)
    {
        messages.SelectSet(manual.language);
        check(manual);
    }
    messages.SelectSet(selected);
}
}

TEST(LibrarianManual, EachLanguagesManualHoldsItsSectionsAndPicturesAndTheSectionTheReadWriteMessageNames)
{
    InEachLanguage([](const CManualCase& manual) {
        const std::string named =
            ManualCheck::SectionNamedBy(CLibrarianData::GetMessage(CLibrarianData::kMessageReadWrite));
        EXPECT_EQ(named.compare(0, 3, "7. "), 0) << named;
        ManualCheck::ExpectManualComplete(std::string(Q9_LIBRARIAN_MANUAL_DIR) + "/" + manual.pdf,
                                          std::string(Q9_MANUAL_SOURCE_DIR) + "/" + manual.source,
                                          Q9_MANUAL_PICTURE_DIR, named);
    });
}

TEST(LibrarianManual, HelpManualOpensTheManualOfTheMessagesLanguage)
{
    CApp application;
    application.SetProgramFolder("/opt/q9");
    InEachLanguage([&application](const CManualCase& manual) {
        EXPECT_EQ(application.BuildManualPath(), std::string("/opt/q9/Manual/") + manual.pdf);
    });
}
