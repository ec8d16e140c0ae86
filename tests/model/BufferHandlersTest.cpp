#include "model/CVeyBufferHandlers.h"
#include "model/CVeyBufferManager.h"
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

namespace
{
class CVote : public IVeyBufferHandler
{
public:
    CVote(bool answer, int* calls) : m_answer(answer), m_calls(calls) {}
    bool OnSetValues(const CVeyValueNumbers&) override { return ++*m_calls, m_answer; }
    bool OnReadStructData(CVeyStruct*, std::istream&) override { return ++*m_calls, m_answer; }

private:
    bool m_answer;
    int* m_calls;
};

TEST(BufferHandlersTest, EveryHandlerIsCalledAndAnyTrueWins)
{
    struct CCase
    {
        const char* name;
        std::vector<bool> answers;
        bool result;
    } cases[] = {
        {"empty list", {}, false},
        {"all false", {false, false}, false},
        {"first takes over, second still asked", {true, false}, true},
        {"last takes over", {false, false, true}, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        int calls = 0;
        CVeyBufferHandlers handlers;
        for (bool answer : c.answers)
            handlers.Append(new CVote(answer, &calls));
        EXPECT_EQ(handlers.OnSetValues({}), c.result);
        EXPECT_EQ(calls, static_cast<int>(c.answers.size()));
        EXPECT_FALSE(handlers.OnValuesChanged({})) << "defaults answer false";
    }
}

class BufferSynchronizerTest : public ::testing::Test
{
protected:
    // Four tones T0..T3 of equal layout (a at byte 0, b at bytes 1-2) and a mask value.
    void SetUp() override
    {
        ResetModel();
        AddStructType(MakeType("toneT", {{"name", "$name"}, {"address", "$address"}}, {},
                               {MakeElement("int1x7", {{"name", "a"}}), MakeElement("int2x7", {{"name", "b"}})}));
        AddStructType(MakeType("shortT", {{"name", "$name"}, {"address", "$address"}}, {},
                               {MakeElement("int1x7", {{"name", "a"}}), MakeElement("int1x7", {{"name", "c"}})}));
        AddStructType(MakeType("rootT", {{"name", "$name"}, {"address", "$address"}},
                               {MakeElement("toneT", {{"name", "t"},
                                                      {"address", "00 00"},
                                                      {"address", "00 10"},
                                                      {"address", "00 20"},
                                                      {"address", "00 30"}}),
                                MakeElement("shortT", {{"name", "s"}, {"address", "00 40"}}),
                                MakeElement("maskT", {{"name", "ctl"}, {"address", "00 50"}})},
                               {}));
        AddStructType(MakeType("maskT", {{"name", "$name"}, {"address", "$address"}}, {},
                               {MakeElement("int1x7", {{"name", "mask"}})}));
        AddRootStruct(MakeElement("rootT", {{"name", "r"}, {"address", "00 00"}}));
        ASSERT_TRUE(manager.CreateStructs());
        mask = manager.FindValueOrNull("r.ctl.mask");
        auto* synchronizer = new CVeyBufferSynchronizer(mask);
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(synchronizer->AddStruct(manager.FindStructOrNull("r.t[" + std::to_string(i) + "]")));
        EXPECT_FALSE(synchronizer->AddStruct(manager.FindStructOrNull("r"))) << "a root has no data";
        sync = synchronizer;
        manager.GetHandlers().Append(synchronizer);
    }
    void TearDown() override { ResetModel(); }

    CVeyValue* Value(const std::string& path) { return manager.FindValueOrNull(path); }

    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    CVeyValue* mask = nullptr;
    CVeyBufferSynchronizer* sync = nullptr;
};

TEST_F(BufferSynchronizerTest, AChangeInOneLinkedStructIsCopiedToTheOthers)
{
    mask->SetNumber(0b0101);
    manager.SetValue(Value("r.t[2].b"), 1000);
    EXPECT_EQ(Value("r.t[0].b")->GetNumber(), 1000);
    EXPECT_EQ(Value("r.t[1].b")->GetNumber(), 0);
    EXPECT_EQ(Value("r.t[3].b")->GetNumber(), 0);
    EXPECT_EQ(manager.GetChangeList(), (CVeyValueList{Value("r.t[2].b"), Value("r.t[0].b")}));

    manager.ClearChanges();
    manager.SetValue(Value("r.t[1].a"), 5);
    EXPECT_EQ(Value("r.t[0].a")->GetNumber(), 0) << "bit 1 is clear";
    EXPECT_EQ(manager.GetChangeList().size(), 1u);
}

TEST_F(BufferSynchronizerTest, ASingleBitLinksNothing)
{
    mask->SetNumber(0b0100);
    EXPECT_FALSE(sync->OnValuesChanged({Value("r.t[2].a")}));
    mask->SetNumber(0b1111);
    EXPECT_TRUE(sync->OnValuesChanged({Value("r.t[2].a")}));
    EXPECT_FALSE(sync->OnValuesChanged({mask})) << "outside every linked struct";
}

TEST_F(BufferSynchronizerTest, OnlyAValueOfTheSameSizeAtTheSameOffsetTakesTheBytes)
{
    CVeyBufferSynchronizer mixed(mask);
    ASSERT_TRUE(mixed.AddStruct(manager.FindStructOrNull("r.t[0]")));
    ASSERT_TRUE(mixed.AddStruct(manager.FindStructOrNull("r.s")));
    mask->SetNumber(0b11);
    Value("r.t[0].b")->SetNumber(0x3FFF);
    Value("r.t[0].a")->SetNumber(9);
    // s has a 1-byte "c" where t has the 2-byte "b": copying would run past s's block.
    mixed.OnValuesChanged({Value("r.t[0].b"), Value("r.t[0].a")});
    EXPECT_EQ(Value("r.s.c")->GetNumber(), 0);
    EXPECT_EQ(Value("r.s.a")->GetNumber(), 9);
}

TEST_F(BufferSynchronizerTest, AWindowMustLieInsideTheBlock)
{
    CVeyBufferSynchronizer windowed(mask);
    CVeyStruct* t0 = manager.FindStructOrNull("r.t[0]");
    EXPECT_TRUE(windowed.AddStruct(t0, 1, 2));
    EXPECT_FALSE(windowed.AddStruct(t0, 2, 2));
    EXPECT_FALSE(windowed.AddStruct(t0, -1, 1));
}

class CPathBinder : public CVeyBufferAccessor
{
public:
    CVeyStruct* pat = nullptr;
    CVeyValue* level = nullptr;

protected:
    void BindPaths() override
    {
        FindStruct("fm.pat", pat);
        FindValue("fm.pat.common.level", level);
    }
};

TEST(BufferAccessorTest, BindResolvesThePathsThroughTheManager)
{
    ResetModel();
    ASSERT_TRUE(BuildSampleModel());
    CPathBinder binder;
    binder.Bind(&CVeyBufferManager::GetInstance());
    ASSERT_NE(binder.pat, nullptr);
    EXPECT_EQ(binder.pat->GetPathName(), "fm.pat");
    EXPECT_EQ(binder.level->GetNumber(), 100);
    ResetModel();
}
}
