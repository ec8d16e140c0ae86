#include "platform/TextCodec_p.h"
#include "platform/UserLanguage.h"
#include "platform/Wnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(TextCodec, WellFormedUtf8IsDecodedAndStrayBytesShowAsLatin1)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        QString shown;
    } cases[] = {
        {"plain ASCII", "INIT PATCH", QStringLiteral("INIT PATCH")},
        {"Japanese", "ファイル", QString::fromUtf8("ファイル")},
        {"a four-byte character", "\xF0\x9F\x8E\xB9", QString::fromUcs4(U"\U0001F3B9", 1)},
        {"a lone Latin-1 byte in a name", "Caf\xE9 Pad", QString::fromUtf8("Café Pad")},
        {"a cut sequence before ASCII", "\xE3\x83" "A", QString::fromUtf8("\xC3\xA3\xC2\x83" "A")},
        {"an overlong form", "\xC0\xAF", QString::fromUtf8("\xC3\x80\xC2\xAF")},
        {"a surrogate", "\xED\xA0\x80", QString::fromUtf8("\xC3\xAD\xC2\xA0\xC2\x80")},
        {"past U+10FFFF", "\xF4\x90\x80\x80", QString::fromUtf8("\xC3\xB4\xC2\x90\xC2\x80\xC2\x80")},
        {"a stray byte between Japanese", "音\xFF色", QString::fromUtf8("音ÿ色")},
        {"a sequence cut by the end", "ab\xE3\x81", QString::fromUtf8("ab\xC3\xA3\xC2\x81")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.shown, PlatformDetail::TextFromBytes(c.bytes));
    }
    EXPECT_EQ(QString(), PlatformDetail::TextFromBytes(static_cast<const char*>(nullptr)));
    // Only as many bytes as given are read: a text cut inside a character.
    EXPECT_EQ(QString::fromUtf8("ab\xC3\xA3"), PlatformDetail::TextFromBytes("ab\xE3\x81\xAF", 3));
    EXPECT_EQ(std::string("ファイル é"), PlatformDetail::TextToBytes(QString::fromUtf8("ファイル é")));
}

// A window's title shows Japanese and a stray byte alike, and reads back as the UTF-8 it shows.
TEST(TextCodec, WindowTitlesAreUtf8)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, "音色 Caf\xE9", WS_CAPTION, RECT{10, 10, 110, 60}, nullptr));
    EXPECT_EQ("音色 Café", window.GetWindowText());
    window.SetWindowText("ライブラリアン - 無題");
    EXPECT_EQ("ライブラリアン - 無題", window.GetWindowText());
    window.DestroyWindow();
}

TEST(UserLanguage, TheFirstSetLocaleVariableDecides)
{
    struct Saved
    {
        const char* name;
        std::string value;
        bool set;
    } saved[] = {{"LC_ALL", "", false}, {"LC_MESSAGES", "", false}, {"LANG", "", false}};
    for (Saved& s : saved)
        if (const char* value = std::getenv(s.name))
            s.value = value, s.set = true;

    struct Case
    {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* language;
    } cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", "Japanese"},
        {nullptr, nullptr, "en_US.UTF-8", "English"},
        {nullptr, nullptr, nullptr, "English"},
        {"C", nullptr, "ja_JP.UTF-8", "English"},
        {"", "ja_JP.eucJP", "en_GB.UTF-8", "Japanese"},   // an empty variable does not decide
        {"ja", nullptr, nullptr, "Japanese"},
        {nullptr, "de_DE.UTF-8", "ja_JP.UTF-8", "English"},
        {nullptr, nullptr, "jav_ID", "Japanese"},          // "ja..." as the rule reads
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.lcAll ? c.lcAll : "-") + " " + (c.lcMessages ? c.lcMessages : "-") + " " +
                     (c.lang ? c.lang : "-"));
        const char* values[] = {c.lcAll, c.lcMessages, c.lang};
        for (int i = 0; i < 3; ++i)
            values[i] ? setenv(saved[i].name, values[i], 1) : unsetenv(saved[i].name);
        EXPECT_EQ(c.language, GetUserLanguage());
    }
    for (const Saved& s : saved)
        s.set ? setenv(s.name, s.value.c_str(), 1) : unsetenv(s.name);
}
