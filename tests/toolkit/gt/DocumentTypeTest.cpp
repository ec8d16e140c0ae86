#include "toolkit/gt/DocumentType.h"
#include "platform/DesktopRegistration.h"
#include "platform/Profile.h"
#include "platform/SystemFolders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace
{
class DocumentTypeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetDesktopDataFolder(m_data.Path());
        SetApplicationName("Talvarix Editor");
    }
    void TearDown() override
    {
        SetDesktopDataFolder("");
        SetApplicationName("");
    }
    CTempDir m_data;
};
}

TEST_F(DocumentTypeTest, RegisteringWritesTheMimeTypeAndTheDesktopEntry)
{
    ASSERT_TRUE(GT::RegisterDocumentType(".q9e", "TalvarixEditor.Document", "Talvarix Editor Document", 0, false));
    const std::string package = ReadFileBytes(m_data.File("mime/packages/talvarixeditor.document.xml"));
    EXPECT_NE(package.find("<mime-type type=\"application/x-talvarixeditor.document\">"), std::string::npos)
        << package;
    EXPECT_NE(package.find("<glob pattern=\"*.q9e\"/>"), std::string::npos);
    EXPECT_NE(package.find("<comment>Talvarix Editor Document</comment>"), std::string::npos);

    const std::string entry = ReadFileBytes(m_data.File("applications/talvarixeditor.document.desktop"));
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u) << entry;
    EXPECT_NE(entry.find("Name=Talvarix Editor\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-talvarixeditor.document;\n"), std::string::npos);
    EXPECT_NE(entry.find("Exec=\"" + GetProgramFilePath() + "\" %f\n"), std::string::npos) << entry;

    // The program registers at every start: the same registration leaves the files as they are,
    // a changed one replaces them; removing takes both away.
    namespace fs = std::filesystem;
    const fs::path entryPath = m_data.File("applications/talvarixeditor.document.desktop");
    const fs::file_time_type old = fs::last_write_time(entryPath) - std::chrono::hours(1);
    fs::last_write_time(entryPath, old);
    ASSERT_TRUE(GT::RegisterDocumentType(".q9e", "TalvarixEditor.Document", "Talvarix Editor Document", 0, false));
    EXPECT_EQ(fs::last_write_time(entryPath), old);
    ASSERT_TRUE(GT::RegisterDocumentType(".q9e", "TalvarixEditor.Document", "Talvarix Editor File", 0, false));
    EXPECT_NE(ReadFileBytes(entryPath).find("Comment=Talvarix Editor File\n"), std::string::npos);
    ASSERT_TRUE(GT::RegisterDocumentType(".q9e", "TalvarixEditor.Document", "", 0, true));
    EXPECT_FALSE(std::filesystem::exists(m_data.File("mime/packages/talvarixeditor.document.xml")));
    EXPECT_FALSE(std::filesystem::exists(m_data.File("applications/talvarixeditor.document.desktop")));
}

TEST_F(DocumentTypeTest, RemovingLeavesAnotherProgramsClaimOfTheExtension)
{
    ASSERT_TRUE(GT::RegisterDocumentType(".q9l", "TalvarixLibrarian.Document", "Talvarix Librarian Document", 0, false));
    const std::string foreign = m_data.File("mime/packages/other.xml");
    ASSERT_TRUE(WriteFileBytes(foreign, "<mime-info><mime-type type=\"application/x-other\"><glob pattern=\"*.q9l\"/>"
                                        "</mime-type></mime-info>"));
    ASSERT_TRUE(GT::RegisterDocumentType(".q9l", "TalvarixLibrarian.Document", "", 0, true));
    EXPECT_TRUE(std::filesystem::exists(foreign));
    // Removing what is not there succeeds.
    EXPECT_TRUE(GT::RegisterDocumentType(".q9l", "TalvarixLibrarian.Document", "", 0, true));
}

TEST_F(DocumentTypeTest, ExecLineQuotesThePathAndUnusableTypesAreRefused)
{
    SDesktopDocumentType type;
    type.extension = ".q9e";
    type.typeId = "T.Document";
    type.programName = "T";
    // A program path with the characters the desktop entry format treats specially.
    const std::string folder = m_data.File("odd $dir \"x\" 100%");
    std::filesystem::create_directories(folder);
    type.programPath = folder + "/q\\9ee";
    ASSERT_TRUE(WriteFileBytes(type.programPath, "#!/bin/sh\n"));
    ASSERT_TRUE(RegisterDesktopDocumentType(type));
    const std::string entry = ReadFileBytes(DesktopEntryPath(type.typeId));
    const std::string expected = "Exec=\"" + m_data.Path() + "/odd \\\\$dir \\\\\"x\\\\\" 100%%/q\\\\\\\\9ee\" %f\n";
    EXPECT_NE(entry.find(expected), std::string::npos) << entry << "\nexpected " << expected;

    const struct
    {
        const char* name;
        const char* extension;
        const char* typeId;
        const char* program;
    } refused[] = {
        {"no extension", "", "T.Document", nullptr},
        {"extension without dot", "q9e", "T.Document", nullptr},
        {"no type id", ".q9e", "", nullptr},
        {"missing program file", ".q9e", "T.Document", "/nonexistent/q9ee"},
    };
    for (const auto& c : refused)
    {
        SCOPED_TRACE(c.name);
        SDesktopDocumentType bad = type;
        bad.extension = c.extension;
        bad.typeId = c.typeId;
        if (c.program)
            bad.programPath = c.program;
        EXPECT_FALSE(RegisterDesktopDocumentType(bad));
    }
}
