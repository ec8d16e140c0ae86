#pragma once
// Resources for the tests of the concrete controls: text writers that record what they draw, state
// bitmaps written as files into a temporary bitmap folder, a canvas to draw into, and a view
// updater that records every commit and hands it to the controls under test.
#include "ViewTestSupport.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyTextWriter.h"
#include "tests/support/TempDir.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class CDrawnTextWriter : public CVeyTextWriter
{
public:
    bool SetFont(const CVeyFontSettings&) override { return true; }
    bool GetFont(CVeyFontSettings&) const override { return true; }
    void Draw(const UL::CDrawInfo&, const CRect& rect, const std::string& text) override
    {
        drawn.push_back({rect, text});
    }
    std::vector<std::pair<CRect, std::string>> drawn;
};

struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    UL::CDrawInfo info{&dc, nullptr, nullptr};
    CCanvas(int width, int height)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, RGB(0, 0, 0));
    }
};

// The colour of state s in the bitmaps of MakeBitmap.
inline COLORREF StateColour(int state)
{
    return RGB(50 + 10 * state, 0, 0);
}

// Records each commit's change list and passes it to the views, as the view manager would.
class CCommitRecorder : public IVeyViewUpdater
{
public:
    bool UpdateViews(const std::vector<CVeyValue*>& changes) override
    {
        commits.push_back(changes);
        bool changed = false;
        for (CVeyView* view : views)
            changed = view->OnValuesChanged(changes) || changed;
        return changed;
    }
    std::vector<std::vector<CVeyValue*>> commits;
    std::vector<CVeyView*> views;
};

// The view test model, writers "w0" .. "w4", bitmaps "s2" .. "s5" of 2 to 5 states (20 x 10 each,
// a vertical strip, state s filled with StateColour(s)), and string tables "names" and "empty".
struct ControlFixture : ::testing::Test
{
    void SetUp() override
    {
        parent.SetName("main");
        ASSERT_TRUE(BuildViewTestModel());
        CVeyBufferManager::GetInstance().SetViewUpdater(&recorder);
        CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
        for (int i = 0; i < 5; ++i)
        {
            auto writer = std::make_unique<CDrawnTextWriter>();
            writers.push_back(writer.get());
            resources.GetTextWriters().Insert("w" + std::to_string(i), std::move(writer));
        }
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
        for (int states = 2; states <= 5; ++states)
            MakeBitmap("s" + std::to_string(states), states);
        auto names = CVeyStringTable::Create();
        for (const char* name : {"off", "low", "mid"})
            names->Append(name);
        resources.GetStringTables().Insert("names", std::move(names));
    }
    void TearDown() override
    {
        recorder.views.clear();
        CVeyBufferManager::GetInstance().SetViewUpdater(nullptr);
        CVeyResourceManager::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
        ClearViewTestModel();
    }
    void MakeBitmap(const std::string& name, int states)
    {
        CCanvas strip(20, 10 * states);
        for (int s = 0; s < states; ++s)
            strip.dc.FillSolidRect(RECT{0, 10 * s, 20, 10 * s + 10}, StateColour(s));
        ASSERT_TRUE(strip.bitmap.SaveFile(folder.File(name + ".bmp").c_str(), "BMP"));
        auto bitmap = std::make_unique<CVeyStateBitmap>();
        auto attributes = TestAttributes({{"name", name}, {"stateCount", std::to_string(states)}});
        ASSERT_TRUE(bitmap->Load(attributes));
        CVeyResourceManager::GetInstance().GetBitmaps().Insert(name, std::move(bitmap));
    }
    // Loads and creates a control named "b" at (10, 20) of size 60 x 20 in the parent, i.e. at
    // client (110, 70). False when either step fails.
    bool Build(CVeyControl& control, CVeyElementDefinition::CAttributes attributes)
    {
        CVeyElementDefinition::CAttributes all =
            TestAttributes({{"name", "b"}, {"position", "10,20"}, {"size", "60,20"}});
        all.insert(all.end(), attributes.begin(), attributes.end());
        if (!control.LoadAttributes(all) || !control.Create(&parent))
            return false;
        recorder.views.push_back(&control);
        control.Refresh();
        return true;
    }
    static CVeyValue* Value(const std::string& path) { return FindTestValue(path); }

    CTempDir folder;
    CTestParentView parent;
    CCommitRecorder recorder;
    std::vector<CDrawnTextWriter*> writers;
};
