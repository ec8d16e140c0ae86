#include "toolkit/gt/Format.h"
#include "toolkit/gt/TextOut.h"
#include "toolkit/gt/TraceTextOut.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

namespace
{
class CStringTextOut : public GT::ATextOut
{
public:
    std::string text;
    int rawWrites = 0;

protected:
    void WriteRaw(const std::string& raw) override
    {
        text += raw;
        ++rawWrites;
    }
};
}

TEST(TextOut, IndentationContinuesAnUnfinishedLine)
{
    CStringTextOut out;
    out.Indent(2);
    out.Write("a\nb");
    out.Write("c\n");
    EXPECT_EQ(out.text, "  a\n  bc\n");
    EXPECT_EQ(out.rawWrites, 2);
}

TEST(TextOut, NegativeIndentStopsAtZero)
{
    CStringTextOut out;
    out.Indent(2);
    out.Indent(-10);
    out.Write("x\n");
    EXPECT_EQ(out.text, "x\n");
}

TEST(TextOut, PrintfIgnoresExtraArgumentsAndIsNotCut)
{
    CStringTextOut out;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-extra-args"
    out.Printf("Unable to create knob. : %s\n", "k1", 42);
#pragma GCC diagnostic pop
    EXPECT_EQ(out.text, "Unable to create knob. : k1\n");

    const std::string longText(2000, 'x');
    out.text.clear();
    out.Printf("%s", longText.c_str());
    EXPECT_EQ(out.text, longText);
}

TEST(Format, CutsAt509Characters)
{
    std::string out;
    const std::string longText(600, 'y');
    GT::Format(out, "%s", longText.c_str());
    EXPECT_EQ(out.size(), 509u);
    EXPECT_EQ(GT::Format(out, nullptr), "");
    EXPECT_EQ(GT::Format(out, "%d-%s", 7, "a"), "7-a");
}

TEST(TraceTextOut, KeepsTheLatestLinesInOrder)
{
    CTraceCapture capture;
    GetTraceTextOut().Printf("first %d\n", 1);
    GetTraceTextOut().Write("second\n");
    EXPECT_EQ(capture.Text(), "first 1\nsecond\n");
}

TEST(TraceTextOut, DropsTheOldestLinesBeyondTheLimit)
{
    CTraceCapture capture;
    for (size_t i = 0; i < GT::CTraceTextOut::kMaxLines + 5; ++i)
        GetTraceTextOut().Printf("line %zu\n", i);
    const std::string text = capture.Text();
    EXPECT_EQ(text.rfind("line 5\n", 0), 0u) << text.substr(0, 40);
    EXPECT_NE(text.find("line 10004\n"), std::string::npos);
}

TEST(TraceTextOut, ForwardsToAnInstalledSink)
{
    CTraceCapture capture;
    CStringTextOut window;
    GetTraceTextOut().SetForward(&window);
    GetTraceTextOut().Write("shown\n");
    GetTraceTextOut().SetForward(nullptr);
    GetTraceTextOut().Write("not shown\n");
    EXPECT_EQ(window.text, "shown\n");
}
