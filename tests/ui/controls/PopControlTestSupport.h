#pragma once
// A model, resources and stand-ins for the pop control tests: a recording text writer, a popup
// edit that answers from a script of replies, and a view updater that passes each commit's change
// list to the controls under test (as the view manager does) and records it.
#include "ViewTestSupport.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "tests/support/TempDir.h"
#include "ui/controls/CVeyPopupEdit.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CRecordingTextWriter : public CVeyTextWriter
{
public:
    bool SetFont(const CVeyFontSettings&) override { return true; }
    bool GetFont(CVeyFontSettings&) const override { return false; }
    void Draw(const UL::CDrawInfo&, const CRect& rect, const std::string& text) override { drawn.push_back({rect, text}); }
    std::vector<std::pair<CRect, std::string>> drawn;
};

class CScriptedPopupEdit : public CVeyPopupEdit
{
public:
    struct CCall
    {
        CRect rect;
        std::string text;
        CVeyTextWriter* writer;
    };
    bool Run(CVeyView&, const CRect& rect, std::string& result, const std::string& current,
             CVeyTextWriter* writer) override
    {
        calls.push_back({rect, current, writer});
        if (during)
            during();
        if (replies.empty())
            return false;
        const std::pair<bool, std::string> reply = replies.front();
        replies.pop_front();
        if (reply.first)
            result = reply.second;
        return reply.first;
    }
    std::deque<std::pair<bool, std::string>> replies;
    std::vector<CCall> calls;
    std::function<void()> during;   // runs while the edit is "open"
};

class CRecordingViewUpdater : public IVeyViewUpdater
{
public:
    bool UpdateViews(const std::vector<CVeyValue*>& changes) override
    {
        commits.push_back(changes);
        for (CVeyView* view : views)
            view->OnValuesChanged(changes);
        return true;
    }
    std::vector<CVeyView*> views;
    std::vector<std::vector<CVeyValue*>> commits;
};

// fm (10 00 00 00), one struct "c": num 0..127, page 0..3, hundred 0..99, name (12 bytes, 32..127).
inline bool BuildPopTestModel()
{
    CVeyBufferManager::GetInstance().Clear();
    CVeyScriptDefinitions::GetInstance().Clear();
    const char* script = R"(<script>
<structType><type>cT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>num</name><default>35</default></value>
  <value><type>int1x7</type><name>page</name><range>0,3</range></value>
  <value><type>int1x7</type><name>hundred</name><range>0,99</range></value>
  <value><type>string</type><name>name</name><size>0C</size><range>32,127</range><default>INIT</default></value>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>cT</type><name>c</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>
</script>)";
    return CVeyScriptReader::GetInstance().ReadText(script) && CVeyBufferManager::GetInstance().CreateStructs();
}

class PopControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent.SetName("main");
        ASSERT_TRUE(BuildPopTestModel());
        CVeyBufferManager::GetInstance().SetViewUpdater(&updater);
        auto writer = std::make_unique<CRecordingTextWriter>();
        textWriter = writer.get();
        CVeyResourceManager::GetInstance().GetTextWriters().Insert("w", std::move(writer));
        std::vector<std::string> hundred;
        for (int i = 0; i < 100; ++i)
            hundred.push_back("e" + std::to_string(i));
        AddStrings("hundred", hundred);
        AddStrings("names", {"n0", "n1", "n2", "n3", "n4", "n5", "n6", "n7"});
        AddStrings("steps", {"0", "10", "20", "30"});
        // "button.bmp": two states of 16 x 10: up RGB(10, 0, 0), pressed RGB(20, 0, 0).
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
        CBitmap strip;
        strip.CreateBitmap(16, 20);
        CDC dc;
        dc.SelectObject(&strip);
        dc.FillSolidRect(RECT{0, 0, 16, 10}, kUp);
        dc.FillSolidRect(RECT{0, 10, 16, 20}, kPressed);
        ASSERT_TRUE(strip.SaveFile(folder.File("button.bmp").c_str(), "BMP"));
        auto bitmap = std::make_unique<CVeyStateBitmap>();
        auto attributes = TestAttributes({{"name", "button"}, {"stateCount", "2"}});
        ASSERT_TRUE(bitmap->Load(attributes));
        CVeyResourceManager::GetInstance().GetBitmaps().Insert("button", std::move(bitmap));
        previousEdit = VeySetPopupEdit(&edit);
    }
    void TearDown() override
    {
        VeySetPopupEdit(previousEdit);
        CVeyBufferManager::GetInstance().SetViewUpdater(nullptr);
        CVeyResourceManager::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
        CVeyBufferManager::GetInstance().Clear();
        CVeyScriptDefinitions::GetInstance().Clear();
    }
    void AddStrings(const std::string& name, const std::vector<std::string>& entries)
    {
        auto table = CVeyStringTable::Create();
        for (const std::string& entry : entries)
            table->Append(entry);
        CVeyResourceManager::GetInstance().GetStringTables().Insert(name, std::move(table));
    }
    // A control at (200, 100) .. (300, 120) inside the parent, from the given attributes.
    template <class T>
    std::unique_ptr<T> Make(CVeyElementDefinition::CAttributes extra, bool expectCreated = true)
    {
        auto control = std::make_unique<T>();
        auto attributes = TestAttributes({{"name", "pop"}, {"position", "100,50"}, {"size", "100,20"}});
        attributes.insert(attributes.end(), extra.begin(), extra.end());
        const bool loaded = control->LoadAttributes(attributes);
        EXPECT_TRUE(attributes.empty()) << "every attribute is taken";
        const bool created = loaded && control->Create(&parent);
        EXPECT_EQ(created, expectCreated);
        if (!created)
            return nullptr;
        updater.views = {control.get()};
        control->Refresh();
        return control;
    }
    static UL::CMouseInfo Press(CPoint point, UINT message = WM_LBUTTONDOWN)
    {
        return UL::CMouseInfo(message, point, MK_LBUTTON);
    }

    static constexpr COLORREF kUp = RGB(10, 0, 0);
    static constexpr COLORREF kPressed = RGB(20, 0, 0);
    CTempDir folder;
    CTestParentView parent;
    CRecordingTextWriter* textWriter = nullptr;
    CRecordingViewUpdater updater;
    CScriptedPopupEdit edit;
    CVeyPopupEdit* previousEdit = nullptr;
};
