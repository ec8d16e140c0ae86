#include "model/CVeyGraphDrawer.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTextWriter.h"
#include "model/IVeyStateImage.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/ul/Input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    UL::CDrawInfo info{&dc, nullptr, nullptr};
    CCanvas(int width, int height, COLORREF fill = kBlack)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, fill);
    }
    CRect InkBox(COLORREF background) const
    {
        CRect box(1 << 20, 1 << 20, -1, -1);
        const CSize size = bitmap.GetSize();
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                if (dc.GetPixel(x, y) != background)
                    box.SetRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1));
        return box.right < 0 ? CRect() : box;
    }
    bool SamePixels(const CCanvas& other) const
    {
        const CSize size = bitmap.GetSize();
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                if (dc.GetPixel(x, y) != other.dc.GetPixel(x, y))
                    return false;
        return true;
    }
};

CVeyElementDefinition::CAttributes Attributes(std::initializer_list<CVeyElementDefinition::CAttribute> list)
{
    return CVeyElementDefinition::CAttributes(list);
}

// White text on a transparent background, in a face that is on every test machine.
std::unique_ptr<CTextWriter> Writer(const char* horizontal, const char* vertical = "center", bool verticalFont = false)
{
    auto writer = std::make_unique<CTextWriter>();
    auto attributes = Attributes({{"name", "w"},
                                  {"fontFaceName", "DejaVu Sans"},
                                  {"fontHeight", "12"},
                                  {"fontColor", "65280,65280,65280"},
                                  {"backgroundMode", "transparent"},
                                  {"textAlignment", horizontal},
                                  {"textAlignmentVertical", vertical},
                                  {"verticalFont", verticalFont ? "true" : "false"}});
    EXPECT_TRUE(writer->Load(attributes));
    return writer;
}

// A bitmap font that records what it is asked to draw.
class CRecordingBitmap : public CVeyResource, public IVeyStateImage
{
public:
    explicit CRecordingBitmap(int32_t states, int32_t width = 5) : m_states(states), m_width(width) {}
    bool loads = true;
    int refs = 0;
    std::vector<std::pair<int32_t, int32_t>> drawn;   // (x, state)
    bool AddRef() override { return loads && ++refs > 0; }
    void Release() override { --refs; }
    int32_t GetStateCount() const override { return m_states; }
    void GetStateSize(CSize& size, int32_t) const override { size = CSize(m_width, 8); }
    void DrawState(const UL::CDrawInfo&, const CPoint& point, int32_t state) override { drawn.emplace_back(point.x, state); }

private:
    int32_t m_states;
    int32_t m_width;
};
}

TEST(TextWriter, DefaultsWithOnlyAName)
{
    CTextWriter writer;
    auto attributes = Attributes({{"name", "plain"}, {"other", "x"}});
    ASSERT_TRUE(writer.Load(attributes));
    EXPECT_EQ(writer.GetName(), "plain");
    EXPECT_EQ(attributes, Attributes({{"other", "x"}}));   // left for the unknown-tags line
    CVeyFontSettings settings;
    ASSERT_TRUE(writer.GetFont(settings));
    EXPECT_EQ(settings.faceName, "");
    EXPECT_EQ(settings.height, 10);
    EXPECT_EQ(settings.fontColor, (GT::CShortTriple{0, 0, 0}));
    EXPECT_EQ(settings.horizontalAlignment, CVeyFontSettings::LEFT);
    EXPECT_EQ(settings.verticalAlignment, CVeyFontSettings::MIDDLE);
    EXPECT_EQ(settings.backgroundMode, CVeyFontSettings::OPAQUE_BACKGROUND);
    EXPECT_FALSE(settings.vertical);
    EXPECT_TRUE(writer.GetTruncate());

    // Black on an opaque white background: 65280 is full intensity.
    CCanvas canvas(40, 20, RGB(0, 0, 255));
    writer.Draw(canvas.info, CRect(0, 0, 30, 20), "Hi");
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(29, 19), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(30, 0), RGB(0, 0, 255));
    EXPECT_NE(canvas.InkBox(kWhite), CRect(0, 0, 40, 20));
}

TEST(TextWriter, ColoursAboveTheSignedRangeDrawAsWritten)
{
    struct Case
    {
        const char* written;
        COLORREF drawn;
    };
    const Case cases[] = {{"65280,0,0", RGB(255, 0, 0)},
                          {"0,32768,65535", RGB(0, 128, 255)},
                          {"255,256,512", RGB(0, 1, 2)},
                          {"0x8000,0,0", RGB(128, 0, 0)}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.written);
        CTextWriter writer;
        auto attributes = Attributes({{"name", "c"}, {"backgroundColor", c.written}});
        ASSERT_TRUE(writer.Load(attributes));
        CCanvas canvas(10, 10);
        writer.Draw(canvas.info, CRect(0, 0, 10, 10), "");
        EXPECT_EQ(canvas.dc.GetPixel(5, 5), c.drawn);
    }
}

TEST(TextWriter, BadAttributesAreReportedAndFailTheLoad)
{
    struct Case
    {
        const char* name;
        const char* value;
        const char* line;
        bool loads;
    };
    const Case cases[] = {
        {"fontFaceName", " \t\n", "Text writer fontFaceName is invalid. : w :  \t\n\n", true},
        {"fontHeight", "tall", "Text writer fontHeight is invalid. : w : tall\n", false},
        {"fontColor", "1,2", "Text writer fontColor is invalid. : w : 1,2\n", false},
        {"backgroundColor", "red", "Text writer backgroundColor is invalid. : w : red\n", false},
        {"verticalFont", "yes", "Text writer verticalFont is invalid. : w : yes\n", false},
        {"textAlignment", "middle", "Text writer textAlignmentHorizontal is invalid. : w : middle\n", false},
        {"textAlignmentVertical", "left", "Text writer textAlignmentVertical is invalid. : w : left\n", false},
        {"backgroundMode", "clear", "Text writer backgroundMode is invalid. : w : clear\n", false},
        {"truncate", "yes", "Text writer truncate is invalid. : w : yes\n", false},
        {"bitmapRef", "nowhere", "Unable to find bitmap. : w : nowhere\n", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CTextWriter writer;
        auto attributes = Attributes({{"name", "w"}, {c.name, c.value}});
        EXPECT_EQ(writer.Load(attributes), c.loads);
        EXPECT_EQ(trace.Text(), c.line);
    }
}

TEST(TextWriter, SpellingsCaseAndOrderOfAttributes)
{
    CTextWriter writer;
    auto attributes = Attributes({{"name", "w"},
                                  {"textAlignmentHorizontal", "right"},
                                  {"textAlignment", " Center\n"},
                                  {"verticalFont", "TRUE"},
                                  {"truncate", "0"},
                                  {"fontFaceName", "DEFAULT"}});
    ASSERT_TRUE(writer.Load(attributes));
    CVeyFontSettings settings;
    ASSERT_TRUE(writer.GetFont(settings));
    EXPECT_EQ(settings.horizontalAlignment, CVeyFontSettings::CENTER);
    EXPECT_TRUE(settings.vertical);
    EXPECT_FALSE(writer.GetTruncate());
    EXPECT_EQ(settings.faceName, "DEFAULT_GUI_FONT");
}

TEST(TextWriter, AlignmentsPlaceTheTextInTheRectangle)
{
    struct Case
    {
        const char* horizontal;
        const char* vertical;
    };
    const Case cases[] = {{"left", "top"}, {"center", "center"}, {"right", "bottom"}};
    const CRect rect(10, 10, 110, 50);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.horizontal) + " " + c.vertical);
        auto writer = Writer(c.horizontal, c.vertical);
        CCanvas canvas(120, 60);
        writer->Draw(canvas.info, rect, "Abc");
        const CRect ink = canvas.InkBox(kBlack);
        ASSERT_FALSE(ink.IsRectEmpty());
        EXPECT_GE(ink.left, rect.left);
        EXPECT_LE(ink.right, rect.right);
        const int centre = (ink.left + ink.right) / 2;
        const int middle = (ink.top + ink.bottom) / 2;
        if (std::string(c.horizontal) == "left")
            EXPECT_LT(ink.left, rect.left + 3);
        else if (std::string(c.horizontal) == "right")
            EXPECT_GT(ink.right, rect.right - 4);
        else
            EXPECT_NEAR(centre, 60, 3);
        if (std::string(c.vertical) == "top")
            EXPECT_LT(ink.top, rect.top + 6);
        else if (std::string(c.vertical) == "bottom")
            EXPECT_GT(ink.bottom, rect.bottom - 6);
        else
            EXPECT_NEAR(middle, 30, 3);
    }
}

TEST(TextWriter, TruncatesWithAnEllipsisDrawnFromTheLeft)
{
    auto writer = Writer("right");
    CDC measure;
    CFont font;
    LOGFONT log;
    log.lfHeight = -12;
    std::strncpy(log.lfFaceName, "DejaVu Sans", LF_FACESIZE - 1);
    font.CreateFontIndirect(&log);
    measure.SelectObject(&font);
    const std::string text = "Cutoff";
    const int32_t fits = measure.GetTextExtent(text).cx;

    // Exactly wide enough: drawn as it is, right-aligned.
    CCanvas exact(fits, 20);
    writer->Draw(exact.info, CRect(0, 0, fits, 20), text);
    CCanvas reference(fits, 20);
    RECT box{0, 0, fits, 20};
    reference.dc.SelectObject(&font);
    reference.dc.SetTextColor(kWhite);
    reference.dc.SetBkMode(TRANSPARENT);
    reference.dc.DrawText(text, &box, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    EXPECT_TRUE(exact.SamePixels(reference));

    // One pixel too narrow: the longest start that leaves room, then "...", from the left.
    const int32_t room = fits - 1;
    std::string expected = text;
    while (!expected.empty() && measure.GetTextExtent(expected).cx + measure.GetTextExtent("...").cx >= room)
        expected.pop_back();
    CCanvas cut(room, 20);
    writer->Draw(cut.info, CRect(0, 0, room, 20), text);
    CCanvas cutReference(room, 20);
    RECT cutBox{0, 0, room, 20};
    cutReference.dc.SelectObject(&font);
    cutReference.dc.SetTextColor(kWhite);
    cutReference.dc.SetBkMode(TRANSPARENT);
    cutReference.dc.DrawText(expected + "...", &cutBox, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    EXPECT_TRUE(cut.SamePixels(cutReference));
}

TEST(TextWriter, RectanglesNarrowerThanTheEllipsisEndQuickly)
{
    auto writer = Writer("left");
    for (const int width : {0, 1, 3})
    {
        SCOPED_TRACE(width);
        CCanvas canvas(10, 20);
        writer->Draw(canvas.info, CRect(2, 0, 2 + width, 20), "Some long text");
        const CRect ink = canvas.InkBox(kBlack);
        if (!ink.IsRectEmpty())
        {
            EXPECT_GE(ink.left, 2);
            EXPECT_LE(ink.right, 2 + width);
        }
    }
    // A value text of any length costs a few measurements, not one per character.
    CCanvas wide(60, 20);
    writer->Draw(wide.info, CRect(0, 0, 60, 20), std::string(200000, 'W'));
    EXPECT_FALSE(wide.InkBox(kBlack).IsRectEmpty());

    auto upward = Writer("left", "top", true);
    CCanvas canvas(20, 10);
    upward->Draw(canvas.info, CRect(0, 2, 20, 4), "Some long text");
    EXPECT_TRUE(canvas.InkBox(kBlack).IsRectEmpty() || canvas.InkBox(kBlack).top >= 2);
}

TEST(TextWriter, VerticalTextRunsUpInsideTheRectangle)
{
    auto writer = Writer("left", "bottom", true);
    CCanvas canvas(40, 120);
    const CRect rect(10, 10, 30, 110);
    writer->Draw(canvas.info, rect, "Upward");
    const CRect ink = canvas.InkBox(kBlack);
    ASSERT_FALSE(ink.IsRectEmpty());
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_GE(ink.left, rect.left);
    EXPECT_LE(ink.right, rect.right);
    EXPECT_GT(ink.bottom, rect.bottom - 4);
    EXPECT_LE(ink.bottom, rect.bottom);
}

TEST(TextWriter, BitmapFontsMapBytesToStates)
{
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    auto font = std::make_unique<CRecordingBitmap>(95);
    CRecordingBitmap* bitmap = font.get();
    ASSERT_TRUE(resources.GetBitmaps().Insert("chars", std::move(font)));
    CTextWriter writer;
    auto attributes = Attributes({{"name", "w"}, {"bitmapRef", "chars"}});
    ASSERT_TRUE(writer.Load(attributes));
    EXPECT_EQ(bitmap->refs, 1);

    CCanvas canvas(100, 10);
    const std::string text = {'A', '\x1f', '\x7f', '\x80', '\xff', ' '};
    writer.Draw(canvas.info, CRect(10, 0, 100, 10), text);
    EXPECT_EQ(bitmap->drawn, (std::vector<std::pair<int32_t, int32_t>>{{10, 33}, {15, 0}, {20, 94}, {25, 0}, {30, 0}, {35, 0}}));

    // Truncating: nothing starts at or beyond the right edge.
    bitmap->drawn.clear();
    writer.Draw(canvas.info, CRect(10, 0, 21, 10), "abcdef");
    EXPECT_EQ(bitmap->drawn.size(), 3u);
    resources.Clear();
}

TEST(TextWriter, BitmapFontsOfFewStatesAndZeroWidthEnd)
{
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    auto font = std::make_unique<CRecordingBitmap>(3, 0);
    CRecordingBitmap* bitmap = font.get();
    resources.GetBitmaps().Insert("narrow", std::move(font));
    auto broken = std::make_unique<CRecordingBitmap>(3);
    broken->loads = false;
    resources.GetBitmaps().Insert("broken", std::move(broken));

    CTextWriter writer;
    auto attributes = Attributes({{"name", "w"}, {"bitmapRef", "narrow"}});
    ASSERT_TRUE(writer.Load(attributes));
    CCanvas canvas(10, 10);
    writer.Draw(canvas.info, CRect(0, 0, 10, 10), "zz!");
    EXPECT_EQ(bitmap->drawn, (std::vector<std::pair<int32_t, int32_t>>{{0, 2}, {0, 2}, {0, 1}}));

    CTraceCapture trace;
    CTextWriter failing;
    auto failingAttributes = Attributes({{"name", "f"}, {"bitmapRef", "broken"}});
    EXPECT_FALSE(failing.Load(failingAttributes));
    EXPECT_EQ(trace.Text(), "Unable to create bitmap. : f\n");
    resources.Clear();
}

TEST(GraphDrawer, LinesSetTheirEndPixelAndClipIsRestored)
{
    CGraphDrawer drawer;
    const GT::CShortTriple white{-256, -256, -256};
    CCanvas canvas(8, 8);
    drawer.Polyline(canvas.info, {CPoint(0, 0), CPoint(3, 0), CPoint(3, 3)}, 1, white);
    EXPECT_EQ(canvas.dc.GetPixel(3, 3), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(3, 4), kBlack);
    drawer.Polyline(canvas.info, {}, 1, white);
    drawer.MoveTo(canvas.info, CPoint(0, 6));
    drawer.LineTo(canvas.info, CPoint(5, 6), 1, white);
    EXPECT_EQ(canvas.dc.GetPixel(5, 6), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(6, 6), kBlack);

    CCanvas fill(8, 8);
    drawer.FillRect(fill.info, CRect(2, 2, 4, 4), GT::CShortTriple{-256, 0, 0});
    EXPECT_EQ(fill.dc.GetPixel(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(fill.dc.GetPixel(4, 4), kBlack);
    EXPECT_TRUE(fill.dc.RectVisible(RECT{5, 5, 8, 8}));

    CCanvas clipped(8, 8);
    clipped.dc.ExcludeClipRect(RECT{3, 3, 5, 5});
    EXPECT_TRUE(drawer.BeginClip(clipped.info, CRect(0, 0, 6, 6)));   // a hole: complex
    drawer.Polygon(clipped.info, {CPoint(0, 0), CPoint(7, 0), CPoint(7, 7), CPoint(0, 7)}, white);
    EXPECT_TRUE(drawer.EndClip(clipped.info));
    EXPECT_FALSE(drawer.EndClip(clipped.info));
    EXPECT_EQ(clipped.dc.GetPixel(3, 3), CLR_INVALID);   // still excluded after EndClip
    EXPECT_FALSE(drawer.BeginClip(clipped.info, CRect(0, 0, 2, 2)));
    drawer.EndClip(clipped.info);
    clipped.dc.SelectClipRect(nullptr);
    EXPECT_EQ(clipped.dc.GetPixel(1, 1), kWhite);
    EXPECT_EQ(clipped.dc.GetPixel(3, 3), kBlack);
    EXPECT_EQ(clipped.dc.GetPixel(6, 6), kBlack);
}
