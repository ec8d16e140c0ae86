#include "toolkit/ul/Input.h"

#include <gtest/gtest.h>

#include <vector>

TEST(InputRecords, MouseKindsAndFlags)
{
    struct Case
    {
        const char* name;
        UINT message;
        UINT messageFlags;
        uint32_t kind;
        uint32_t flags;
    };
    const Case cases[] = {
        {"left down", WM_LBUTTONDOWN, MK_LBUTTON, UL::MOUSE_DOWN, 0},
        {"left up with ctrl", WM_LBUTTONUP, MK_CONTROL, UL::MOUSE_UP, UL::MOUSE_CTRL},
        {"shift right double click", WM_RBUTTONDBLCLK, MK_RBUTTON | MK_SHIFT, UL::MOUSE_DOUBLE, 5},
        {"right up", WM_RBUTTONUP, 0, UL::MOUSE_UP, UL::MOUSE_RIGHT},
        {"move with the right button held", WM_MOUSEMOVE, MK_RBUTTON, UL::MOUSE_MOVE, 0},
        {"middle button keeps its message", 0x0207, MK_MBUTTON, 0x0207, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const UL::CMouseInfo info(c.message, CPoint(-3, 7), c.messageFlags);
        EXPECT_EQ(info.m_kind, c.kind);
        EXPECT_EQ(info.m_flags & ~uint32_t{UL::MOUSE_ALT}, c.flags);
        EXPECT_EQ(info.GetPoint(), CPoint(-3, 7));
    }
    EXPECT_EQ(UL::MouseFlags(WM_MOUSEMOVE, 0, true), uint32_t{UL::MOUSE_ALT});
}

TEST(InputRecords, WheelAmountIsNotchesTowardTheUserNegative)
{
    const UL::CWheelInfo down(WM_MOUSEWHEEL, -240, CPoint(1, 2), MK_SHIFT);
    EXPECT_DOUBLE_EQ(down.m_amount, -2.0);
    EXPECT_EQ(down.m_flags & 7u, uint32_t{UL::MOUSE_SHIFT});
    EXPECT_EQ(down.m_reserved, 0u);
    EXPECT_DOUBLE_EQ(UL::CWheelInfo(WM_MOUSEWHEEL, 60, CPoint(), 0).m_amount, 0.5);
}

TEST(InputRecords, KeyCodes)
{
    struct Case
    {
        UINT vk;
        uint32_t code;
    };
    const Case cases[] = {{VK_UP, 256},    {VK_DOWN, 257},     {VK_LEFT, 258},   {VK_RIGHT, 259}, {VK_HOME, 260},
                          {VK_END, 261},   {VK_PRIOR, 262},    {VK_NEXT, 263},   {VK_RETURN, 264}, {VK_ESCAPE, 265},
                          {VK_BACK, 266},  {VK_DELETE, 267},   {VK_TAB, 268},    {VK_F1, 269},    {0x74, 273},
                          {VK_F12, 280},   {VK_NUMPAD0, 281},  {0x69, 290},      {VK_DECIMAL, 291}, {VK_ADD, 292},
                          {VK_SUBTRACT, 293}, {VK_MULTIPLY, 294}, {VK_DIVIDE, 295}, {'A', 65}, {'7', 55},
                          {VK_SEPARATOR, 108}, {0x07, 7},       {0x7C, 0x7C}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.vk);
        EXPECT_EQ(UL::LibraryKeyCode(c.vk), c.code);
    }
    const UL::KeyInfo f5 = UL::MakeKeyInfo(WM_KEYDOWN, 0x74, true, false, true);
    EXPECT_EQ(f5.kind, 1u);
    EXPECT_EQ(f5.key, 273u);
    EXPECT_EQ(f5.modifiers, 9u);
    EXPECT_EQ(UL::MakeKeyInfo(WM_KEYUP, 'A', false, true, false).kind, 2u);
    EXPECT_EQ(UL::MakeKeyInfo(0x0102, 'A', false, false, false).kind, 0x0102u);
}

TEST(DrawInfo, VisibilityAgainstTheClipList)
{
    const std::vector<CRect> clips{CRect(0, 0, 10, 10), CRect(20, 0, 30, 10)};
    const std::vector<CRect> none;
    const UL::CDrawInfo listed(nullptr, &clips, nullptr);
    EXPECT_TRUE(listed.IsVisible(CRect(5, 5, 15, 15)));
    EXPECT_TRUE(listed.IsVisible(CRect(10, 0, 20, 10)));   // touching edges: zero width counts
    EXPECT_FALSE(listed.IsVisible(CRect(11, 0, 19, 10)));
    EXPECT_FALSE(UL::CDrawInfo(nullptr, &none, nullptr).IsVisible(CRect(0, 0, 5, 5)));

    CBitmap bitmap;
    bitmap.CreateBitmap(20, 20);
    CDC dc;
    dc.SelectObject(&bitmap);
    dc.IntersectClipRect(RECT{0, 0, 10, 10});
    const UL::CDrawInfo unlisted(&dc, nullptr, nullptr);
    EXPECT_TRUE(unlisted.IsVisible(CRect(5, 5, 15, 15)));
    EXPECT_FALSE(unlisted.IsVisible(CRect(10, 10, 15, 15)));
    EXPECT_TRUE(dc.RectVisible(RECT{0, 0, 5, 5}));   // the state was restored
}

TEST(WindowHelpers, DialogItemsAreWalkedFromFirstToLast)
{
    CWnd dialog;
    ASSERT_TRUE(dialog.CreateEx(0, "dialog", 0, RECT{0, 0, 100, 100}, nullptr));
    CWnd items[4];
    for (UINT i = 0; i < 4; ++i)
        ASSERT_TRUE(items[i].CreateEx(0, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 5, 5}, &dialog, 100 + i));
    UL::EnableDlgItems(&dialog, 101, 102, false);
    EXPECT_TRUE(items[0].IsWindowEnabled());
    EXPECT_FALSE(items[1].IsWindowEnabled());
    EXPECT_FALSE(items[2].IsWindowEnabled());
    EXPECT_TRUE(items[3].IsWindowEnabled());
    UL::EnableDlgItems(&dialog, 100, 999, false);   // a missing last item: nothing happens
    EXPECT_TRUE(items[0].IsWindowEnabled());
    UL::EnableDlgItem(&dialog, 102, true);
    EXPECT_TRUE(items[2].IsWindowEnabled());

    UL::SetDlgItemText(&dialog, 103, "Hello");
    EXPECT_EQ(UL::GetDlgItemText(&dialog, 103), "Hello");
    EXPECT_EQ(UL::GetDlgItemText(&dialog, 7), "");

    std::vector<CWnd*> windows;
    UL::EnumProcessWindows(windows);
    EXPECT_NE(std::find(windows.begin(), windows.end(), &dialog), windows.end());
    EXPECT_EQ(std::find(windows.begin(), windows.end(), &items[0]), windows.end());
}
