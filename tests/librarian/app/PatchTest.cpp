#include "librarian/app/Data.h"
#include "tests/librarian/app/LibrarianFixtures.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(PatchLayout, PartsBlocksSizesAndAddresses)
{
    struct Row
    {
        int code;
        const char* name;
        int blocks;
        int size;
        uint32_t offset;
        uint32_t step;
    };
    const Row expected[] = {
        {0x101, "COMMON", 1, 79, 0x0000, 0},  {0x201, "MFX", 1, 145, 0x0100, 0},
        {0x301, "CHORUS", 1, 84, 0x0200, 0},  {0x401, "REVERB", 1, 83, 0x0300, 0},
        {0x501, "TMT", 1, 41, 0x0800, 0},     {0x601, "TONE %d", 4, 154, 0x1000, 0x0100},
    };
    CPatch patch;
    ASSERT_EQ(patch.GetPartCount(), 6);
    EXPECT_EQ(patch.GetKind(), 1);
    int dataBytes = 0;
    for (int part = 0; part < 6; ++part)
    {
        SCOPED_TRACE(expected[part].name);
        const CPatch::CPartLayout* layout = CPatch::GetPartLayout(part);
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(layout->code, expected[part].code);
        EXPECT_STREQ(layout->name, expected[part].name);
        EXPECT_EQ(layout->offset, expected[part].offset);
        EXPECT_EQ(layout->step, expected[part].step);
        EXPECT_EQ(patch.GetBlockCount(part), expected[part].blocks);
        EXPECT_EQ(patch.GetBlockSize(part), expected[part].size);
        EXPECT_EQ(CPatch::PartCodeFromIndex(part), expected[part].code);
        EXPECT_EQ(CPatch::PartIndexFromCode(expected[part].code), part);
        dataBytes += expected[part].blocks * expected[part].size;
    }
    EXPECT_EQ(dataBytes, 1048);
    const CPatch::CPartLayout* tone = CPatch::GetPartLayout(CPatch::kTone);
    EXPECT_EQ(tone->offset + tone->blockCount * tone->step, CPatch::kAddressSpan);

    // Outside the layout: no part, no blocks, and codes that name no part.
    EXPECT_EQ(CPatch::GetPartLayout(-1), nullptr);
    EXPECT_EQ(CPatch::GetPartLayout(6), nullptr);
    EXPECT_EQ(patch.GetBlockCount(6), 0);
    EXPECT_EQ(patch.GetBlockSize(-1), 0);
    for (int code : {0, 0x100, 0x102, 0x180, 0x701, -0xFF})
        EXPECT_EQ(CPatch::PartIndexFromCode(code), -1) << code;
}

TEST(PatchInitialize, WithoutInitialFileGivesZeroedLayoutNamedInitPatch)
{
    CInitialFileReset reset;
    CPatch patch;
    patch.Initialize();
    ASSERT_TRUE(patch.FitsLayout());
    EXPECT_EQ(patch.GetName(), "INIT PATCH  ");
    EXPECT_EQ(patch.GetSerializedSize(), 1112u);
    for (int text = 0; text < CParameter::kTextCount; ++text)
        EXPECT_EQ(patch.GetText(text), "");
    const CParameter::CBlock& common = patch.GetParts()[CPatch::kCommon][0];
    EXPECT_EQ(std::memcmp(common.data(), "INIT PATCH  ", 12), 0);
    for (size_t i = 12; i < common.size(); ++i)
        EXPECT_EQ(common[i], 0) << i;
    for (int part = 1; part < patch.GetPartCount(); ++part)
        for (const CParameter::CBlock& block : patch.GetParts()[part])
            EXPECT_EQ(block, CParameter::CBlock(block.size(), 0)) << "part " << part;
}

TEST(PatchInitialize, ClearsEveryByteOfAPatchThatHeldData)
{
    CInitialFileReset reset;
    CPatchArray fixture = MakeTwoPatchFixture();
    CPatch& patch = fixture.At(1);
    patch.SetText(1, "memo");
    patch.Initialize();

    CPatch fresh;
    fresh.Initialize();
    EXPECT_EQ(patch.GetParts(), fresh.GetParts());
    EXPECT_EQ(patch.GetText(1), "");
}

TEST(PatchInitialize, MendsABrokenShape)
{
    CInitialFileReset reset;
    CPatch patch;
    patch.GetParts().resize(9);
    patch.GetParts()[CPatch::kTone].resize(7, CParameter::CBlock(3, 0x55));
    patch.Initialize();
    EXPECT_TRUE(patch.FitsLayout());
}

TEST(PatchName, SetNamePadsCutsAndReplacesBytesOutsidePrintableAscii)
{
    const struct
    {
        const char* name;
        std::string text;
        std::string stored;
    } cases[] = {
        {"short is padded", "Bass", "Bass        "},
        {"long is cut after 12", "Strings Ensemble", "Strings Ense"},
        {"empty is all spaces", "", "            "},
        {"tab becomes space", "A\tB", "A B         "},
        {"accented byte becomes space", "Caf\xE9", "Caf         "},
        {"0x80 and 0xFF become spaces", "\x80X\xFF", " X          "},
        {"127 is kept", "\x7F" "DEL", "\x7F" "DEL        "},
        {"31 becomes space", "\x1F" "A", " A          "},
        {"a typed UTF-8 character takes one place", "Caf\xC3\xA9 Pad", "Caf  Pad    "},
        {"Japanese, one place a character", "音色 Pad", "   Pad      "},
        {"a four-byte character", "\xF0\x9F\x8E\xB9Keys", " Keys       "},
        {"a cut sequence is one stray byte a place", "\xE3\x81" "A", "  A         "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CPatch patch = MakeLayoutPatch("");
        patch.SetName(c.text);
        EXPECT_EQ(patch.GetName(), c.stored.substr(0, 12));
        EXPECT_EQ(patch.GetParts()[CPatch::kCommon][0].size(), 79u);
    }
}

TEST(PatchName, IsReadAsBytesAndSurvivesAMissingCommonBlock)
{
    CPatch empty;
    EXPECT_EQ(empty.GetName(), std::string(12, ' '));
    empty.SetName("New");
    EXPECT_EQ(empty.GetName(), "New         ");

    CPatchArray fixture = MakeTwoPatchFixture();
    EXPECT_EQ(fixture.At(1).GetName(), "Bass\xA5" "01     ");
}

TEST(PatchText, TextsAreBytesAndStopAtTheFirstZero)
{
    CPatch patch;
    patch.SetText(0, std::string("ab\0cd", 5));
    patch.SetText(1, "\x83\x41\xFF");
    patch.SetText(7, "ignored");
    EXPECT_EQ(patch.GetText(0), "ab");
    EXPECT_EQ(patch.GetText(1), "\x83\x41\xFF");
    EXPECT_EQ(patch.GetText(7), "");
    EXPECT_EQ(patch.GetText(-1), "");
}

TEST(PatchCopy, ClonesAndCopiesAreIndependent)
{
    CPatchArray fixture = MakeTwoPatchFixture();
    const CPatch& original = fixture.At(0);
    std::unique_ptr<CParameter> clone = original.Clone();
    ASSERT_NE(dynamic_cast<CPatch*>(clone.get()), nullptr);
    EXPECT_EQ(clone->GetParts(), original.GetParts());
    EXPECT_EQ(clone->GetText(0), "Memo one");

    clone->GetParts()[CPatch::kTone][2][5] = 0x33;
    clone->SetText(0, "changed");
    EXPECT_EQ(original.GetParts()[CPatch::kTone][2][5], 0);
    EXPECT_EQ(original.GetText(0), "Memo one");

    CPatch assigned;
    assigned = original;
    assigned = assigned;
    EXPECT_EQ(assigned.GetParts(), original.GetParts());
    EXPECT_EQ(assigned.GetText(3), "\xFF");
}

TEST(PatchCompare, ColumnsCaseAndTies)
{
    auto patchWith = [](const std::string& name, const std::string& memo) {
        CPatch patch = MakeLayoutPatch(name);
        patch.SetText(0, memo);
        return patch;
    };
    const struct
    {
        const char* name;
        int column;
        std::string mine, other;      // name (column 5) or memo 1 (column 1)
        uint32_t myPosition, otherPosition;
        bool descending;
        int expected;
    } cases[] = {
        {"number column is the position order", 0, "B", "A", 3, 7, false, -1},
        {"number column is never negated", 0, "B", "A", 3, 7, true, -1},
        {"positions compare unsigned", 0, "A", "A", 0xFFFFFFFFu, 1, false, 1},
        {"lower-case sorts before greater upper-case", 5, "abc", "ABD", 0, 1, false, -1},
        {"upper-case first when equal but for case", 5, "ABC", "abc", 5, 1, false, -1},
        {"lower-case after when equal but for case", 5, "abc", "ABC", 0, 1, false, 1},
        {"case rule is not negated when descending", 5, "abc", "ABD", 0, 1, true, -1},
        {"identical names keep list order", 5, "Same", "Same", 2, 9, false, -1},
        {"identical names reverse when descending", 5, "Same", "Same", 2, 9, true, 1},
        {"memo column compares memos", 1, "zeta", "Alpha", 0, 1, false, 1},
        {"empty memo sorts first", 1, "", "a", 4, 1, false, -1},
        {"high bytes compare unsigned", 1, "\xE9", "z", 0, 1, false, 1},
        {"unknown column is a tie", 9, "b", "a", 6, 1, false, 1},
        {"unknown column tie descending", 9, "b", "a", 6, 1, true, -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const CPatch mine = c.column == 5 ? patchWith(c.mine, "") : patchWith("", c.mine);
        const CPatch other = c.column == 5 ? patchWith(c.other, "") : patchWith("", c.other);
        EXPECT_EQ(mine.Compare(c.column, other, c.myPosition, c.otherPosition, c.descending), c.expected);
    }
}
