#include "toolkit/ul/Clipboard.h"
#include "toolkit/ul/TextDialog.h"
#include "toolkit/ul/TextOutWindow.h"
#include "toolkit/ul/TimerTextOut.h"

#include "platform/Gdi.h"
#include "platform/Shell.h"
#include "platform/WinApp.h"
#include "tests/support/VirtualClock.h"
#include "toolkit/gt/TraceTextOut.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{
void Drain()
{
    while (PumpAllMessages())
    {
    }
}
}

TEST(TextOutControl, KeepsTheNewestLinesWithinTheLimit)
{
    UL::CTextOutWindow window;
    ASSERT_TRUE(window.Create("log", RECT{0, 0, 200, 100}, nullptr));
    UL::CTextOutControl& control = window.GetControl();
    for (int i = 1; i <= 10001; ++i)
        control.Printf("line %d\n", i);
    EXPECT_EQ(control.GetLineCount(), 10000);
    const std::string text = control.GetText();
    EXPECT_EQ(text.rfind("line 10001\n"), text.size() - 11);
    EXPECT_EQ(text.find("line 1\n"), std::string::npos);

    control.SetLineLimit(3);
    control.Write("a\r\nb\rc\n");
    EXPECT_EQ(control.GetText(), "b\nc\n");
}

TEST(TextOutWindow, ShowsTheDiagnosticOutputFromAnyThreadAndSavesItsPlacement)
{
    std::vector<std::string> saved;
    UL::CTextOutWindow* window = UL::ShowTraceWindow(RECT{10, 10, 300, 200});
    ASSERT_NE(window, nullptr);
    window->SetProfileWriter([&](const std::string& section, const std::string& entry, const std::string& value) {
        saved.push_back(section + "/" + entry + "=" + value);
    });
    GetTraceTextOut().Write("Unable to find bitmap. : knob\n");
    std::thread([] { GetTraceTextOut().Write("from the MIDI thread\n"); }).join();
    Drain();
    const std::string text = window->GetControl().GetText();
    EXPECT_NE(text.find("Unable to find bitmap. : knob\n"), std::string::npos);
    EXPECT_NE(text.find("from the MIDI thread\n"), std::string::npos);

    window->SendMessage(WM_CLOSE);   // the user cannot close it
    EXPECT_TRUE(window->IsWindowVisible());
    UL::HideTraceWindow();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].substr(0, 23), "TextOutWindow/Position=");
    EXPECT_EQ(saved[0].back(), '0');
    GetTraceTextOut().Write("after the window is gone\n");
}

TEST(TimerTextOutWindow, StaysForTheFullTimeAfterEachOutput)
{
    CVirtualClock clock;
    UL::CTimerTextOutWindow out;
    EXPECT_EQ(out.GetDuration(), 3000u);
    EXPECT_EQ(out.GetMargins()[0], 20);
    ASSERT_NE(out.GetWindow(), nullptr);
    EXPECT_EQ(out.GetWindow()->GetSafeHwnd(), nullptr);   // made on first output

    out.Write("Saved.");
    ASSERT_TRUE(out.GetWindow()->IsWindowVisible());
    CRect client;
    out.GetWindow()->GetClientRect(&client);
    CDC measure;
    measure.SelectObject(GetDefaultGuiFont());
    EXPECT_EQ(client.Width(), measure.GetTextExtent("Saved.").cx + 1 + 40);

    clock.Advance(2000);
    FireDueTimers();
    out.Write("Saved again.");
    clock.Advance(2999);
    FireDueTimers();
    EXPECT_TRUE(out.GetWindow()->IsWindowVisible());
    clock.Advance(1);
    FireDueTimers();
    EXPECT_FALSE(out.GetWindow()->IsWindowVisible());
    EXPECT_EQ(out.GetWindow()->m_text, "Saved again.");
}

TEST(TextDialog, KindsIconsAndAnswers)
{
    struct Case
    {
        const char* name;
        int kind, icon;
        int button;
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {"ok", 0, 0, IDOK, MB_OK | MB_ICONQUESTION, UL::ANSWER_OK},
        {"ok cancel, cancelled", 1, 1, IDCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION, UL::ANSWER_CANCEL},
        {"yes no, no", 2, 2, IDNO, MB_YESNO | MB_ICONSTOP, UL::ANSWER_NO},
        {"yes no cancel, cancelled", 3, 9, IDCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION, UL::ANSWER_CANCEL},
        {"yes no cancel, yes", 3, 0, IDYES, MB_YESNOCANCEL | MB_ICONQUESTION, UL::ANSWER_YES},
        {"unknown kind", 8, 0, IDOK, MB_OK | MB_ICONQUESTION, UL::ANSWER_OK},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        UINT shownType = 0xFFFF;
        auto previous = SetMessageBoxHook([&](const char*, const char*, UINT type) {
            shownType = type;
            return c.button;
        });
        EXPECT_EQ(UL::CTextDialog::GetInstance().Show(c.kind, c.icon, "Question?"), c.answer);
        SetMessageBoxHook(previous);
        EXPECT_EQ(shownType, c.type);
    }
    std::string shown;
    auto previous = SetMessageBoxHook([&](const char* text, const char*, UINT) {
        shown = text;
        return IDOK;
    });
    UL::CTextDialog::GetInstance().ShowFormat(0, 1, "%d patches, %s", 64, std::string(600, 'x').c_str());
    SetMessageBoxHook(previous);
    EXPECT_EQ(shown.size(), 509u);
    EXPECT_EQ(shown.substr(0, 12), "64 patches, ");
}

TEST(Clipboard, EveryWriteReplacesTheText)
{
    GetClipboardTextOut().Write("first");
    GetClipboardTextOut().Write("second\n");
    EXPECT_EQ(GetClipboardTextIn().ReadAll(), "second\n");
    EXPECT_EQ(GetClipboardTextIn().Read(), "second\n");
}
