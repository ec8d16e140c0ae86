#include "model/CVeyErrorOut.h"

#include "platform/Shell.h"
#include "toolkit/gt/IndexedStringTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
struct CShownBox
{
    std::string text;
    UINT type;
};

// Records every message box instead of showing it; `onShow` runs while a box is "open".
class CErrorOutTest : public testing::Test
{
protected:
    void SetUp() override
    {
        GetMessageTable().Set(GT::CIndexedStringTable::kEnglishSet, 4, "The file could not be loaded.");
        GetMessageTable().Set(GT::CIndexedStringTable::kEnglishSet, 5, "The file could not be saved.");
        GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
        m_previous = SetMessageBoxHook([this](const char* text, const char*, UINT type) {
            shown.push_back({text, type});
            if (onShow)
                onShow();
            return IDOK;
        });
        Buffered().SetMode(CVeyBufferedErrorOut::kKeepLatest);
        Buffered().Flush();
        shown.clear();
    }
    void TearDown() override
    {
        onShow = nullptr;
        Buffered().SetMode(CVeyBufferedErrorOut::kKeepLatest);
        Buffered().Flush();
        SetMessageBoxHook(m_previous);
        GetMessageTable().Clear();
    }

    static CVeyBufferedErrorOut& Buffered() { return CVeyBufferedErrorOut::GetInstance(); }

    std::vector<CShownBox> shown;
    std::function<void()> onShow;

private:
    MessageBoxHook m_previous;
};
}

TEST_F(CErrorOutTest, ShowsAMessageAtOnceAsAWarning)
{
    CVeyErrorOut::ShowMessage(5);
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("The file could not be saved.", shown[0].text);
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, shown[0].type);

    // An unknown id still opens a box, an empty one.
    CVeyErrorOut::ShowMessage(999);
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ("", shown[1].text);
}

TEST_F(CErrorOutTest, BufferedMessageWaitsForTheFlush)
{
    struct Case
    {
        const char* name;
        int32_t mode;
        std::vector<int32_t> messages;
        std::vector<std::string> flushed;
    };
    const Case cases[] = {
        {"the latest wins", CVeyBufferedErrorOut::kKeepLatest, {4, 5}, {"The file could not be saved."}},
        {"the first wins in mode 0", CVeyBufferedErrorOut::kKeepFirst, {4, 5}, {"The file could not be loaded."}},
        {"another mode drops every text", 7, {4, 5}, {}},
        {"nothing waiting shows nothing", CVeyBufferedErrorOut::kKeepLatest, {}, {}},
        {"an unknown id empties the wait", CVeyBufferedErrorOut::kKeepLatest, {4, 999}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        shown.clear();
        Buffered().SetMode(c.mode);
        for (int32_t id : c.messages)
            CVeyBufferedErrorOut::ShowMessage(id);
        EXPECT_TRUE(shown.empty());
        Buffered().Flush();
        std::vector<std::string> texts;
        for (const auto& box : shown)
            texts.push_back(box.text);
        EXPECT_EQ(c.flushed, texts);
        // A second idle pass finds nothing more.
        Buffered().Flush();
        EXPECT_EQ(c.flushed.size(), shown.size());
    }
}

TEST_F(CErrorOutTest, FlushDuringTheOpenBoxDoesNotShowTheMessageTwice)
{
    // The box's own event loop runs the idle pass again.
    onShow = [] { CVeyBufferedErrorOut::GetInstance().Flush(); };
    CVeyBufferedErrorOut::ShowMessage(4);
    Buffered().Flush();
    EXPECT_EQ(1u, shown.size());
}
