#include "ViewTestSupport.h"

#include "model/CVeyValue.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/VeyTipBar.h"

#include <gtest/gtest.h>

namespace
{
struct RecordingUpdater : IVeyViewUpdater
{
    bool UpdateViews(const std::vector<CVeyValue*>& changes) override
    {
        calls.push_back(changes);
        return true;
    }
    std::vector<std::vector<CVeyValue*>> calls;
};

struct Views : ::testing::Test
{
    void SetUp() override { ASSERT_TRUE(BuildViewTestModel()); }
    void TearDown() override
    {
        CVeyBufferManager::GetInstance().SetViewUpdater(nullptr);
        ClearViewTestModel();
    }

    // A control read from the attributes and created in `parent`; null when either step fails.
    std::unique_ptr<CTestControl> Make(CVeyElementDefinition::CAttributes attributes)
    {
        auto control = std::make_unique<CTestControl>();
        if (!control->LoadAttributes(attributes) || !control->Create(&parent))
            return nullptr;
        return control;
    }

    CTestParentView parent;
};
}

TEST_F(Views, AttributesGiveTheRectangleRelativeToTheParent)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        CRect rect;
    } cases[] = {
        {"no position or size", {}, CRect(100, 50, 100, 50)},
        {"position and size", {{"position", "10,20"}, {"size", "30,40"}}, CRect(110, 70, 140, 110)},
        {"blank after the comma", {{"position", "10, 20"}, {"size", "30,40"}}, CRect(110, 70, 140, 110)},
        {"size only", {{"size", "5,6"}}, CRect(100, 50, 105, 56)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = Make(c.attributes);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetRect(), c.rect);
        EXPECT_EQ(control->GetParent(), &parent);
    }
}

TEST_F(Views, BadAttributesFailWithTheirLines)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* trace;
    } cases[] = {
        {"blank before the comma", {{"name", "cutoff"}, {"position", "10 ,20"}},
         "Position is invalid for view. : testControl : cutoff : 10 ,20\n"},
        {"size not a pair", {{"name", "cutoff"}, {"size", "30"}},
         "Size is invalid for view. : testControl : cutoff : 30\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CTestControl control;
        CVeyElementDefinition::CAttributes attributes = c.attributes;
        EXPECT_FALSE(control.LoadAttributes(attributes));
        EXPECT_EQ(trace.Text(), c.trace);
    }
}

TEST_F(Views, AttributeReadingTakesOnlyWhatItKnows)
{
    CTestControl control;
    auto attributes = TestAttributes({{"name", "a&amp;b"},
                                      {"valueRef", "fm.pat.common.level"},
                                      {"bitmapRef", "knob"},
                                      {"valueRef", "fm.pat.common.page"}});
    ASSERT_TRUE(control.LoadAttributes(attributes));
    EXPECT_EQ(control.GetName(), "a&b");
    ASSERT_EQ(control.GetValueRefCount(), 2);
    EXPECT_EQ(control.GetValueRef(0).GetName(), "fm.pat.common.level");
    EXPECT_EQ(control.GetValueRef(1).GetName(), "fm.pat.common.page");
    EXPECT_EQ(control.GetValueRef(-1).GetName(), "fm.pat.common.level");
    ASSERT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes[0].first, "bitmapRef");
    // A reference the control never read is empty, not past the end of the list.
    EXPECT_EQ(control.GetValue(5), nullptr);
    EXPECT_TRUE(control.GetValueRef(5).GetName().empty());
}

TEST_F(Views, AnUnknownValueFailsCreation)
{
    CTraceCapture trace;
    EXPECT_EQ(Make({{"name", "cutoff"}, {"valueRef", "fm.pat.nothing"}}), nullptr);
    EXPECT_EQ(trace.Text(), "Unable to convert value reference name fm.pat.nothing to value.\n"
                            "Unable to associate view. : testControl : cutoff\n"
                            "Unable to create control cutoff.\n");
}

TEST_F(Views, ChangedValuesUpdateAndInvalidateTheControl)
{
    auto control = Make({{"name", "c"}, {"position", "1,2"}, {"size", "3,4"}, {"valueRef", "fm.pat.common.level"}});
    ASSERT_NE(control, nullptr);
    CVeyValue* level = FindTestValue("fm.pat.common.level");
    CVeyValue* page = FindTestValue("fm.pat.common.page");
    EXPECT_TRUE(control->OnValuesChanged({})) << "opens with its parent";
    parent.invalidated.clear();

    EXPECT_FALSE(control->OnValuesChanged({page}));
    EXPECT_EQ(control->updates, 0);
    EXPECT_TRUE(parent.invalidated.empty());

    EXPECT_TRUE(control->OnValuesChanged({page, level}));
    EXPECT_EQ(control->updates, 1);
    ASSERT_EQ(parent.invalidated.size(), 1u);
    EXPECT_EQ(parent.invalidated[0], CRect(101, 52, 104, 56));
}

TEST_F(Views, AChangedIndexResolvesTheReferenceAgain)
{
    auto control = Make({{"name", "c"}, {"valueRef", "fm.pat.tone[fm.pat.common.idx].cutoff"}});
    ASSERT_NE(control, nullptr);
    CVeyValue* idx = FindTestValue("fm.pat.common.idx");
    EXPECT_EQ(control->GetValue(0), FindTestValue("fm.pat.tone[0].cutoff"));

    // The newly named value did not change itself; the index did.
    idx->SetNumber(2);
    EXPECT_TRUE(control->OnValuesChanged({idx}));
    EXPECT_EQ(control->GetValue(0), FindTestValue("fm.pat.tone[2].cutoff"));
    EXPECT_EQ(control->updates, 1);

    // An index that names no tone keeps the control on the value it had.
    CTraceCapture trace;
    idx->SetNumber(5);
    EXPECT_TRUE(control->OnValuesChanged({idx}));
    EXPECT_EQ(control->GetValue(0), FindTestValue("fm.pat.tone[2].cutoff"));
    EXPECT_EQ(trace.Text(), "Unable to convert value reference name fm.pat.tone[fm.pat.common.idx].cutoff to value.\n");

    // ... and follows the index again once it names one.
    idx->SetNumber(3);
    EXPECT_TRUE(control->OnValuesChanged({idx}));
    EXPECT_EQ(control->GetValue(0), FindTestValue("fm.pat.tone[3].cutoff"));
}

TEST_F(Views, AControlOpensAndClosesWithItsParent)
{
    auto control = Make({{"name", "c"}});
    ASSERT_NE(control, nullptr);
    EXPECT_FALSE(control->IsOpen());
    EXPECT_TRUE(control->OnValuesChanged({}));
    EXPECT_TRUE(control->IsOpen());
    EXPECT_FALSE(control->OnValuesChanged({}));
    parent.SetOpenFlag(false);
    EXPECT_TRUE(control->Refresh());
    EXPECT_FALSE(control->IsOpen());
    EXPECT_EQ(control->updates, 1);
}

TEST_F(Views, FocusMovesBetweenViewsAndTheTipBarFollows)
{
    auto a = Make({{"name", "a"}});
    auto b = Make({{"name", "b"}});
    CVeyViewPointers& pointers = CVeyViewPointers::GetInstance();

    a->SetFocus(true);
    EXPECT_TRUE(a->HasFocus());
    EXPECT_EQ(pointers.tipBar, a.get());
    VeyGetRecordingTipBar().Show(true);
    b->SetFocus(true);
    EXPECT_FALSE(a->HasFocus());
    EXPECT_TRUE(b->HasFocus());
    EXPECT_EQ(pointers.tipBar, b.get());
    EXPECT_FALSE(VeyGetRecordingTipBar().IsShown()) << "a's tip bar went with a's focus";

    VeyGetRecordingTipBar().Show(true);
    a->SetFocus(false);
    EXPECT_TRUE(b->HasFocus());
    EXPECT_TRUE(VeyGetRecordingTipBar().IsShown()) << "a had no focus to give up";
    b->SetFocus(false);
    EXPECT_EQ(pointers.focused, nullptr);
    EXPECT_EQ(pointers.tipBar, nullptr);
    EXPECT_FALSE(VeyGetRecordingTipBar().IsShown());

    // A destroyed view leaves no pointer behind.
    a->SetFocus(true);
    a->SetCapture(true);
    a.reset();
    EXPECT_EQ(pointers.focused, nullptr);
    EXPECT_EQ(pointers.capturing, nullptr);
    EXPECT_EQ(pointers.tipBar, nullptr);
}

TEST_F(Views, CaptureTravelsUpAndTheCursorStaysWhileCapturing)
{
    auto control = Make({{"name", "c"}, {"position", "10,10"}, {"size", "20,20"}});
    ASSERT_NE(control, nullptr);
    control->SetCapture(true);
    EXPECT_TRUE(parent.IsCapturing());
    EXPECT_TRUE(control->IsCapturing());
    EXPECT_EQ(CVeyViewPointers::GetInstance().capturing, control.get());

    const CPoint outside(CTestParentView::kScreenOffset.x + 5, CTestParentView::kScreenOffset.y + 5);
    const CPoint inside(CTestParentView::kScreenOffset.x + 115, CTestParentView::kScreenOffset.y + 65);
    control->Change(UL::CURSOR_CROSS);
    control->OnRefresh(outside);
    EXPECT_NE(control->GetHandle(), -1) << "kept while capturing";

    control->SetCapture(false);
    EXPECT_EQ(CVeyViewPointers::GetInstance().capturing, nullptr);
    control->OnRefresh(inside);
    EXPECT_NE(control->GetHandle(), -1);
    control->OnRefresh(outside);
    EXPECT_EQ(control->GetHandle(), -1);
}

TEST_F(Views, DumpWritesNamePositionAndSizeIndented)
{
    CTestParentView root;
    root.SetName("main");
    root.SetRect(CRect(0, 0, 640, 400));
    auto control = std::make_unique<CTestControl>();
    auto attributes = TestAttributes({{"name", "cutoff"}, {"position", "10,20"}, {"size", "30,40"}});
    ASSERT_TRUE(control->LoadAttributes(attributes));
    ASSERT_TRUE(control->Create(&root));
    CTraceCapture trace;
    GetTraceTextOut().Printf("[\n");
    control->DumpAttributes(GetTraceTextOut());
    control->DumpNames(GetTraceTextOut());
    GetTraceTextOut().Printf("]\n");
    EXPECT_EQ(trace.Text(), "[\n"
                            "    main.cutoff, position=10 20, size=30 40, \n"
                            "    main.cutoff\n"
                            "]\n");
}

TEST_F(Views, CommittingAnIndexSetsSendsAndRedraws)
{
    RecordingUpdater updater;
    CVeyBufferManager::GetInstance().SetViewUpdater(&updater);
    auto control = Make({{"name", "c"}, {"valueRef", "fm.pat.common.page"}});
    ASSERT_NE(control, nullptr);
    CVeyValue* page = FindTestValue("fm.pat.common.page");
    EXPECT_EQ(control->GetValueCount(), 4);

    control->SetValue(page->GetIndex());
    EXPECT_TRUE(updater.calls.empty()) << "the same index commits nothing";

    control->SetValue(3);
    EXPECT_EQ(page->GetNumber(), 3);
    ASSERT_EQ(updater.calls.size(), 1u);
    EXPECT_EQ(updater.calls[0], std::vector<CVeyValue*>{page});
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
}
