#include "librarian/gp/MDIDocument.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "tests/librarian/gp/MessageBoxRecorder.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace
{
class CTestDocument : public GP::CMDIDocument
{
public:
    BOOL OnSaveDocument(const char* path) override
    {
        saved.push_back(path);
        return WriteFileBytes(path, "saved") ? TRUE : FALSE;
    }
    std::vector<std::string> saved;
};

class MDIDocumentTest : public GpTest::CProfileFixture
{
protected:
    void SetUp() override
    {
        GpTest::CProfileFixture::SetUp();
        m_template = std::make_unique<CDocTemplate>(
            4098, "\nLibrarian\nLibrarian\nLibrarian Files (*.q9l)\n.q9l;.q9x\nQ9EL.Document\nLibrarian File");
        AfxAddDocTemplate(m_template.get());
        m_recorder = std::make_unique<GpTest::CMessageBoxRecorder>();
        ClearRecentFileList();
    }
    void TearDown() override
    {
        m_recorder.reset();
        m_documents.clear();
        m_template.reset();
        GpTest::CProfileFixture::TearDown();
    }

    CTestDocument& Open(const std::string& path)
    {
        m_documents.push_back(std::make_unique<CTestDocument>());
        m_template->AddDocument(m_documents.back().get());
        if (!path.empty())
            m_documents.back()->SetPathName(path.c_str(), FALSE);
        else
            m_documents.back()->SetTitle("Librarian1");
        return *m_documents.back();
    }

    std::unique_ptr<CDocTemplate> m_template;
    std::vector<std::unique_ptr<CTestDocument>> m_documents;
    std::unique_ptr<GpTest::CMessageBoxRecorder> m_recorder;
    std::vector<std::string>& Messages() { return m_recorder->messages; }
};

TEST_F(MDIDocumentTest, SaveAsRefusesAFileAnotherDocumentHolds)
{
    const std::string held = m_folder.File("held.q9l");
    WriteFileBytes(held, "original");
    Open(held);
    CTestDocument& mine = Open(m_folder.File("mine.q9l"));

    struct Case
    {
        const char* name;
        std::string path;
    } cases[] = {
        {"the same path", held},
        {"another spelling of the same file", m_folder.Path() + "/./sub/../held.q9l"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Messages().clear();
        EXPECT_FALSE(mine.DoSave(c.path.c_str(), TRUE));
        EXPECT_EQ(std::vector<std::string>{GP::CMDIDocument::kInUseMessage}, Messages());
        EXPECT_TRUE(mine.saved.empty());
        EXPECT_EQ(m_folder.File("mine.q9l"), mine.GetPathName());
    }
    EXPECT_EQ("original", ReadFileBytes(held));
}

TEST_F(MDIDocumentTest, InUseMessageFollowsTheMessageTablesLanguage)
{
    const std::string held = m_folder.File("held.q9l");
    Open(held);
    CTestDocument& mine = Open(m_folder.File("mine.q9l"));
    GT::CIndexedStringTable& table = GetMessageTable();
    table.Clear();
    table.Set(GT::CIndexedStringTable::kEnglishSet, GP::CMDIDocument::kInUseMessageId, GP::CMDIDocument::kInUseMessage);
    table.Set(GT::CIndexedStringTable::kJapaneseSet, GP::CMDIDocument::kInUseMessageId,
              "ファイルは現在使用中です。上書きできません。");
    table.SelectSet(GT::CIndexedStringTable::kJapaneseSet);
    EXPECT_FALSE(mine.DoSave(held.c_str(), TRUE));
    table.SelectSet(GT::CIndexedStringTable::kEnglishSet);
    table.Clear();
    EXPECT_EQ(std::vector<std::string>{"ファイルは現在使用中です。上書きできません。"}, Messages());
}

TEST_F(MDIDocumentTest, SavingUnderItsOwnOrANewPathWorks)
{
    CTestDocument& document = Open(m_folder.File("mine.q9l"));
    Open(m_folder.File("other.q9l"));
    EXPECT_TRUE(document.DoSave(document.GetPathName().c_str(), TRUE));
    EXPECT_TRUE(Messages().empty());

    const std::string copy = m_folder.File("copy.q9l");
    EXPECT_TRUE(document.DoSave(copy.c_str(), FALSE));   // a copy leaves the document's path
    EXPECT_EQ(m_folder.File("mine.q9l"), document.GetPathName());

    const std::string renamed = m_folder.File("renamed.q9l");
    EXPECT_TRUE(document.DoSave(renamed.c_str(), TRUE));
    EXPECT_EQ(renamed, document.GetPathName());
    EXPECT_EQ("renamed.q9l", document.GetTitle());
    EXPECT_EQ(renamed, GetRecentFileList().front());
    EXPECT_EQ("saved", ReadFileBytes(renamed));
}

TEST_F(MDIDocumentTest, SaveWithoutPathAsksForOneAndCancelSavesNothing)
{
    CTestDocument& document = Open("");
    GpTest::CPostedActions actions;
    std::string caption;
    actions.Post([&] {
        caption = UiDriver::GetFileDialogCaption();
        UiDriver::FinishFileDialog("", false);
    });
    actions.PostEndEverything();
    EXPECT_FALSE(document.DoSave(nullptr, TRUE));
    EXPECT_EQ("Save As", caption);
    EXPECT_TRUE(document.saved.empty());

    actions.Post([&] {
        UiDriver::EnterFileDialogFolder(m_folder.Path());
        UiDriver::FinishFileDialog("named.q9l", true);
    });
    actions.PostEndEverything();
    EXPECT_TRUE(document.DoSave(nullptr, TRUE));
    EXPECT_EQ(m_folder.File("named.q9l"), document.GetPathName());
}
}
