#include "model/CVeyBufferManager.h"
#include "model/CVeyExpression.h"
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
struct CCase
{
    const char* expression;
    bool ok;
    int32_t result;
};

void Check(const CCase* begin, const CCase* end, CVeyValueRefs& refs, bool lenient)
{
    for (const CCase* c = begin; c != end; ++c)
    {
        SCOPED_TRACE(c->expression);
        int32_t result = -12345;
        EXPECT_EQ(CVeyExpression::Evaluate(c->expression, refs, result, lenient), c->ok);
        if (c->ok)
        {
            EXPECT_EQ(result, c->result);
        }
    }
}

TEST(ExpressionTest, NumbersAndOperatorsAsWrittenInTheScript)
{
    const CCase cases[] = {
        {"1,2,+", true, 3},
        {"5,3,-", true, 2},
        {"6,7,*", true, 42},
        {"-7,2,/", true, -3},
        {"-7,2,%", true, -1},
        {"7,1,10,@clip", true, 7},
        {"12,10,1,@clip", true, 10},
        {"0,4,5,?", true, 5},
        {"1,4,5,?", true, 4},
        {"0,!", true, 1},
        {"3,!", true, 0},
        {"0,~", true, -1},
        {"-3,@abs", true, 3},
        {"12,10,&amp;", true, 8},
        {"12,3,|", true, 15},
        {"2,3,&amp;&amp;", true, 1},
        {"2,0,&amp;&amp;", true, 0},
        {"0,0,||", true, 0},
        {"0,5,||", true, 1},
        {"3,3,==", true, 1},
        {"3,4,!=", true, 1},
        {"3,4,&lt;", true, 1},
        {"3,4,&gt;", true, 0},
        {"4,4,&lt;=", true, 1},
        {"3,4,&gt;=", true, 0},
        {"3,4,@min", true, 3},
        {"3,4,@max", true, 4},
        {" 0x10 , 010 ,+ ", true, 24},
        {"-3", true, -3},
        {"+3", true, 3},
        {"1,,2,+", true, 3},
        {"0,1,-", true, -1},
        {"1,2", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"", false, 0},
        {" , ", false, 0},
        {"1,2,&&", false, 0},
        {"1,2,<", false, 0},
        {"1,2,^", false, 0},
        {"1,[2", false, 0},
    };
    CVeyValueRefs refs;
    Check(std::begin(cases), std::end(cases), refs, false);
}

TEST(ExpressionTest, ArithmeticWrapsAndNeverTraps)
{
    const CCase cases[] = {
        {"1,0,/", false, 0},
        {"1,0,%", false, 0},
        {"-2147483648,-1,/", true, INT_MIN},
        {"-2147483648,-1,%", true, 0},
        {"2147483647,1,+", true, INT_MIN},
        {"-2147483648,1,-", true, INT_MAX},
        {"65536,65536,*", true, 0},
        {"-2147483648,@abs", true, INT_MIN},
        {"0xFFFFFFFF", true, -1},
    };
    CVeyValueRefs refs;
    Check(std::begin(cases), std::end(cases), refs, false);
}

class ExpressionValueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetModel();
        ASSERT_TRUE(BuildSampleModel());
    }
    void TearDown() override { ResetModel(); }
};

TEST_F(ExpressionValueTest, NamesReadTheirValuesLenientlyOrFromTheList)
{
    CVeyValueRefs refs;
    int32_t result = 0;
    EXPECT_FALSE(CVeyExpression::EvaluateStrict("fm.pat.common.level,1,+", refs, result)) << "not in the list";
    EXPECT_TRUE(CVeyExpression::EvaluateLenient("fm.pat.common.level,1,+", refs, result));
    EXPECT_EQ(result, 101);
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_TRUE(CVeyExpression::EvaluateStrict("fm.pat.common.level,1,+", refs, result)) << "found after lenient";

    EXPECT_FALSE(CVeyExpression::EvaluateLenient("fm.pat.common.patchName", refs, result)) << "a text value";
    EXPECT_FALSE(CVeyExpression::EvaluateLenient("fm.nothing", refs, result));

    // A comma inside brackets does not split the token.
    EXPECT_TRUE(CVeyExpression::EvaluateLenient("fm.pat.tone[0,1,+].cutoff,2,/", refs, result));
    EXPECT_EQ(result, 256);
    EXPECT_EQ(refs.back().GetName(), "fm.pat.tone[0,1,+].cutoff");
}
}
