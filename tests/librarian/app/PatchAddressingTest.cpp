// Where patches and their blocks live in the instrument, the progress texts, and where received
// data is stored.
#include "librarian/app/Data.h"
#include "librarian/app/ParameterAddress.h"
#include "tests/midi/ml/HexBytes.h"

#include <gtest/gtest.h>

namespace
{
using namespace PatchAddressing;

CParameterAddress At(const char* hex)
{
    CParameterAddress address;
    EXPECT_TRUE(CParameterAddress::FromBytes(Hex(hex), address)) << hex;
    return address;
}

TEST(PatchAddressing, PatchesAndBlocksLieWhereTheInstrumentKeepsThem)
{
    struct CCase
    {
        int area;
        int index;
        const char* patch;   // null: no such patch
    };
    const CCase cases[] = {
        {kAreaUserPatches, 0, "30 00 00 00"},     {kAreaUserPatches, 37, "30 25 00 00"},
        {kAreaUserPatches, 127, "30 7F 00 00"},   {kAreaUserPatches, 128, "31 00 00 00"},
        {kAreaUserPatches, 255, "31 7F 00 00"},   {kAreaUserPatches, 256, nullptr},
        {kAreaUserPatches, -1, nullptr},          {kAreaTemporaryPatch, 0, "1F 00 00 00"},
        {kAreaTemporaryPatch, 200, "1F 00 00 00"}, {-1, 0, nullptr},
        {0x31, 0, nullptr},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "area " << c.area << " index " << c.index);
        CParameterAddress address;
        ASSERT_EQ(GetPatchAddress(c.area, c.index, address), c.patch != nullptr);
        if (c.patch)
        {
            EXPECT_EQ(ToHex(address.ToBytes()), c.patch);
        }
    }

    // Patch 37's nine blocks, in layout order.
    CParameterAddress patch;
    ASSERT_TRUE(GetPatchAddress(kAreaUserPatches, 37, patch));
    std::vector<std::string> blocks;
    for (int part = 0; part < CPatch::kPartCount; ++part)
        for (int block = 0; block < CPatch::GetPartLayout(part)->blockCount; ++block)
            blocks.push_back(ToHex(GetBlockAddress(patch, part, block).ToBytes()));
    EXPECT_EQ(blocks, (std::vector<std::string>{"30 25 00 00", "30 25 02 00", "30 25 04 00", "30 25 06 00",
                                                "30 25 10 00", "30 25 20 00", "30 25 22 00", "30 25 24 00",
                                                "30 25 26 00"}));
}

TEST(PatchAddressing, AddressesFromTheWireMustBeFourDataBytes)
{
    CParameterAddress address(7);
    EXPECT_FALSE(CParameterAddress::FromBytes(Hex("30 00 00"), address));
    EXPECT_FALSE(CParameterAddress::FromBytes(Hex("30 00 00 00 00"), address));
    EXPECT_FALSE(CParameterAddress::FromBytes(Hex("30 80 00 00"), address));
    EXPECT_EQ(address.Get(), 7u);
    EXPECT_EQ(At("30 00 00 00").Get(), 0x6000000u);
}

TEST(PatchAddressing, ProgressTextsNameThePatchAndTheBlock)
{
    struct CCase
    {
        int area;
        int patch;
        int partCode;
        int block;
        const char* text;
    };
    const CCase cases[] = {
        {0x21, 37, 0x101, 0, "User Patch 2-6: COMMON"},
        {0x21, 0, 0x201, 0, "User Patch 1-1: MFX"},
        {0x21, 255, 0x501, 0, "User Patch 8-32: TMT"},
        {0x21, 31, 0x601, 3, "User Patch 1-32: TONE 4"},
        {0x11, 9, 0x301, 0, "Temporary Patch: CHORUS"},
        {0x11, 0, 0x401, 0, "Temporary Patch: REVERB"},
        {0x11, 0, 0x601, 0, "Temporary Patch: TONE 1"},
        {-1, 3, 0x101, 0, ""},
        {0x31, 3, 0x101, 0, ""},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(DescribeBlock(c.area, c.patch, c.partCode, c.block), c.text);
}

class StoreDataSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_patches.Resize(130);
        for (size_t i = 0; i < m_patches.GetSize(); ++i)
            m_patches[i].SetText(0, "memo");
        m_before = m_patches;
    }

    // Where the store changed anything: "patch part block first-byte-changed".
    std::vector<std::string> Changes() const
    {
        std::vector<std::string> changes;
        for (size_t i = 0; i < m_patches.GetSize(); ++i)
        {
            const auto& now = m_patches[i].GetParts();
            const auto& was = m_before[i].GetParts();
            for (size_t part = 0; part < now.size(); ++part)
                for (size_t block = 0; block < now[part].size(); ++block)
                    for (size_t byte = 0; byte < now[part][block].size(); ++byte)
                        if (now[part][block][byte] != was[part][block][byte])
                        {
                            changes.push_back(std::to_string(i) + " " + std::to_string(part) + " " +
                                              std::to_string(block) + " " + std::to_string(byte));
                            break;
                        }
        }
        return changes;
    }

    CPatchArray m_patches;
    CPatchArray m_before;
};

TEST_F(StoreDataSetTest, DataLandsInThePatchAndBlockItsAddressNames)
{
    struct CCase
    {
        const char* address;
        size_t length;
        bool stored;
        std::vector<std::string> changes;
    };
    const CCase cases[] = {
        {"30 7F 00 00", 79, true, {"127 0 0 0"}},
        {"31 00 02 00", 145, true, {"128 1 0 0"}},
        {"30 03 26 00", 154, true, {"3 5 3 0"}},
        {"30 03 10 00", 41, true, {"3 4 0 0"}},
        {"1F 00 22 00", 154, true, {"5 5 1 0"}},      // temporary data goes to the given index
        {"2F 7F 00 00", 79, false, {}},               // far beyond the temporary patch's tones
        {"32 00 00 00", 79, false, {}},               // past the user area
        {"31 7F 28 00", 154, false, {}},              // a fifth tone
        {"31 02 00 00", 79, false, {}},               // patch 130: not in the list
        {"30 00 00 50", 4, false, {}},                // the gap after COMMON's 79 bytes
        {"01 00 00 04", 2, false, {}},                // the tone type is no patch data
        {"30 00 00 0C", 1, true, {"0 0 0 12"}},       // one parameter inside a block stays at its place
        {"30 00 22 00", 0, false, {}},                // nothing to store
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.address);
        m_patches = m_before;
        EXPECT_EQ(StoreDataSet(m_patches, At(c.address), std::vector<uint8_t>(c.length, 0x55), 5), c.stored);
        EXPECT_EQ(Changes(), c.changes);
    }
}

TEST_F(StoreDataSetTest, OnlyCommonDataEmptiesTheMemosAndNothingGoesPastABlock)
{
    EXPECT_TRUE(StoreDataSet(m_patches, At("30 01 02 00"), std::vector<uint8_t>(145, 1), 0));
    EXPECT_EQ(m_patches[1].GetText(0), "memo") << "MFX data keeps the memos";
    // A COMMON message longer than the block: the block keeps its length, MFX is untouched.
    EXPECT_TRUE(StoreDataSet(m_patches, At("30 01 00 4C"), std::vector<uint8_t>(40, 0x22), 0));
    EXPECT_EQ(m_patches[1].GetText(0), "");
    const auto& parts = m_patches[1].GetParts();
    EXPECT_EQ(parts[0][0].size(), 79u);
    EXPECT_EQ(parts[0][0][75], 0x00);
    EXPECT_EQ(parts[0][0][76], 0x22);
    EXPECT_EQ(parts[0][0][78], 0x22);
    EXPECT_EQ(parts[1][0], CParameter::CBlock(145, 1));
    // A shorter message leaves the rest of the block as it was.
    EXPECT_TRUE(StoreDataSet(m_patches, At("30 01 02 00"), {9, 9}, 0));
    EXPECT_EQ(parts[1][0][1], 9);
    EXPECT_EQ(parts[1][0][2], 1);
}

TEST_F(StoreDataSetTest, APatchLackingTheBlockGetsItAtTheLayoutSize)
{
    m_patches[2].GetParts().resize(2);           // no CHORUS, REVERB, TMT or TONE
    m_patches[2].GetParts()[1][0].resize(10);    // a short MFX block
    EXPECT_TRUE(StoreDataSet(m_patches, At("30 02 26 00"), std::vector<uint8_t>(154, 3), 0));
    EXPECT_TRUE(StoreDataSet(m_patches, At("30 02 02 00"), std::vector<uint8_t>(145, 4), 0));
    const auto& parts = m_patches[2].GetParts();
    ASSERT_EQ(parts.size(), 6u);
    ASSERT_EQ(parts[5].size(), 4u);
    EXPECT_EQ(parts[5][3], CParameter::CBlock(154, 3));
    EXPECT_EQ(parts[1][0], CParameter::CBlock(145, 4));
}

TEST(PatchAddressing, BlockDataIsCutAtTheLayoutSizeAndEmptyWhenMissing)
{
    CPatch patch;
    patch.Initialize();
    patch.GetParts()[0][0].resize(100, 0x11);   // longer than COMMON's 79
    patch.GetParts()[1][0].resize(3);           // shorter than MFX's 145
    patch.GetParts()[5].resize(2);              // two tones only
    EXPECT_EQ(GetBlockData(patch, 0, 0).size(), 79u);
    EXPECT_EQ(GetBlockData(patch, 1, 0).size(), 3u);
    EXPECT_EQ(GetBlockData(patch, 5, 1).size(), 154u);
    EXPECT_TRUE(GetBlockData(patch, 5, 2).empty());
    EXPECT_TRUE(GetBlockData(patch, 6, 0).empty());
    EXPECT_TRUE(GetBlockData(patch, -1, 0).empty());
}
}
