// The write button on the system area: the user is asked before the instrument's system area is
// overwritten. (A file of its own: the message box hook and the dialog helpers name the same
// answer constants.)
#include "editor/controls/CInstrumentSelectControls.h"
#include "editor/controls/CPanelButtons.h"
#include "editor/controls/InstrumentLink.h"
#include "editor/instrument/EditorMessages.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "platform/Shell.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/ul/Input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class CWriteCountingLink : public CModelInstrumentLink
{
public:
    CWriteCountingLink() { IInstrumentLink::Install(this); }
    ~CWriteCountingLink() override { IInstrumentLink::Install(nullptr); }
    int32_t GetPatchState() const override { return patchState; }
    bool RequestWrite() override
    {
        ++writes;
        return true;
    }
    bool RequestUserPatchNames(int32_t, int32_t, int32_t) override { return true; }
    bool IsMidiConnected() const override { return true; }

    int32_t patchState = kSystemArea;
    int writes = 0;
};

int32_t Number(const char* path)
{
    return CVeyBufferManager::GetInstance().FindValueOrNull(path)->GetNumber();
}

void Set(const char* path, int32_t number)
{
    CVeyBufferManager::GetInstance().SetValue(CVeyBufferManager::GetInstance().FindValueOrNull(path), number);
    CommitChanges();
}

void Click(CVeyControl& control)
{
    const CRect& rect = control.GetRect();
    const CPoint inside((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (uint32_t kind : {UL::MOUSE_DOWN, UL::MOUSE_UP})
    {
        UL::CMouseInfo info(0, inside, 0);
        info.m_kind = kind;
        info.m_flags = 0;
        control.OnMouse(info);
    }
}
}

TEST(WriteButton, AsksBeforeOverwritingTheSystemArea)
{
    CTraceCapture trace;
    CBundledScript script;
    ASSERT_TRUE(script.Read()) << trace.Text();
    CWriteCountingLink link;
    GT::CIndexedStringTable& messages = GetMessageTable();
    FillEditorMessages(messages);
    messages.SelectSet(GT::CIndexedStringTable::kEnglishSet);
    auto* write = dynamic_cast<CWritePanelButton*>(CBundledScript::FindControl("main", "writeButton"));
    ASSERT_NE(write, nullptr);
    std::vector<std::string> asked;
    int answer = IDCANCEL;
    const MessageBoxHook saved = SetMessageBoxHook([&](const char* text, const char*, UINT) {
        asked.push_back(text);
        return answer;
    });
    Set("vs.control.writePanelSw", 2);
    Click(*write);
    EXPECT_EQ(link.writes, 0) << "Cancel writes nothing";
    EXPECT_EQ(Number("vs.control.writePanelSw"), 0);
    answer = IDOK;
    Click(*write);
    EXPECT_EQ(link.writes, 1);
    EXPECT_EQ(Number("vs.control.writePanelSw"), 0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "Are you sure you want to overwrite the system area of the Talvarix?");
    // The question comes from the message table, so it follows the user's language.
    messages.SelectSet(GT::CIndexedStringTable::kJapaneseSet);
    answer = IDCANCEL;
    Click(*write);
    messages.SelectSet(GT::CIndexedStringTable::kEnglishSet);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[2], "Talvarix の System Area を書き換えます。よろしいですか？");
    // With the navigation in a negative state the button does nothing at all.
    link.patchState = IInstrumentLink::kNegativeState;
    Set("vs.control.writePanelSw", 2);
    Click(*write);
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(Number("vs.control.writePanelSw"), 2);
    SetMessageBoxHook(saved);
}
