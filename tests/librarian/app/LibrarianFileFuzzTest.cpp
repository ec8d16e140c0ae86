// Truncated, mutated and random librarian files: each must be read or refused without a crash,
// without a huge allocation, a file that is accepted must write back to a file that reads the
// same, and its patches' names and blocks must be usable whatever their shape. Deterministic seeds; a few thousand cases.
#include "librarian/app/LibrarianFile.h"
#include "librarian/app/ParameterAddress.h"
#include "tests/librarian/app/AllocationTracker.h"
#include "tests/librarian/app/LibrarianFixtures.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace
{
// Largest allocation allowed while reading `input`: the record buffer is at most the file's size,
// the rest is bookkeeping.
size_t AllocationLimit(const std::string& input)
{
    return input.size() + 64 * 1024;
}

// Reads the bytes; when accepted, what is written from the result must read back the same.
void CheckReadIsSafe(const std::string& input)
{
    CReadResult result{};
    size_t largest = 0;
    {
        CAllocationTracker tracker;
        result = ReadBytes(input);
        largest = tracker.Largest();
    }
    EXPECT_LE(largest, AllocationLimit(input));
    EXPECT_TRUE(result.message == kFileMessageNone || result.message == kFileMessageWrongType ||
                result.message == kFileMessageNotLoaded)
        << result.message;
    if (result.message != kFileMessageNone)
    {
        EXPECT_TRUE(result.patches.IsEmpty());
        return;
    }
    // Whatever the blocks are, every use of a patch stays within them.
    for (size_t i = 0; i < result.patches.GetSize(); ++i)
    {
        const CPatch& patch = result.patches.At(i);
        EXPECT_EQ(patch.GetName().size(), 12u);
        for (int part = 0; part < CPatch::kPartCount; ++part)
            for (int block = 0; block < CPatch::GetPartLayout(part)->blockCount; ++block)
                EXPECT_LE(PatchAddressing::GetBlockData(patch, part, block).size(),
                          static_cast<size_t>(CPatch::GetPartLayout(part)->blockSize));
    }
    const std::string rewritten = WriteBytes(result.patches);
    const CReadResult again = ReadBytes(rewritten);
    EXPECT_EQ(again.message, kFileMessageNone);
    EXPECT_TRUE(SamePatches(again.patches, result.patches));
    EXPECT_EQ(WriteBytes(again.patches), rewritten);
}

void PutWord(std::string& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4 && offset + i < bytes.size(); ++i)
        bytes[offset + i] = static_cast<char>(value >> (24 - 8 * i));
}
}

TEST(LibrarianFileFuzz, EveryTruncationIsRefused)
{
    const std::string golden = LoadHexFixture("two-patches.q9l.hex");
    for (size_t length = 0; length < golden.size(); ++length)
    {
        SCOPED_TRACE(length);
        const std::string cut = golden.substr(0, length);
        CheckReadIsSafe(cut);
        EXPECT_NE(ReadBytes(cut).message, kFileMessageNone);
    }
}

TEST(LibrarianFileFuzz, MutatedFilesAreReadOrRefusedSafely)
{
    const std::string golden = LoadHexFixture("two-patches.q9l.hex");
    const uint32_t hugeValues[] = {0, 1, 3, 4, 0x7F, 0x9A, 0x458, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    std::mt19937 random(20261210);
    for (int round = 0; round < 2000; ++round)
    {
        std::string bytes = golden;
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int edit = 0; edit < edits; ++edit)
        {
            const size_t offset = random() % bytes.size();
            switch (random() % 4)
            {
            case 0:
                bytes[offset] = static_cast<char>(random());
                break;
            case 1:
                bytes[offset] = static_cast<char>(bytes[offset] ^ (1u << (random() % 8)));
                break;
            case 2:
                PutWord(bytes, offset & ~size_t(3), hugeValues[random() % std::size(hugeValues)]);
                break;
            default:
                bytes.erase(offset, 1 + random() % 16);
                if (bytes.empty())
                    bytes = golden;
                break;
            }
        }
        SCOPED_TRACE(round);
        CheckReadIsSafe(bytes);
    }
}

TEST(LibrarianFileFuzz, RandomBodiesAfterAValidHeaderAreRefusedSafely)
{
    std::mt19937 random(7);
    const std::string header = LoadHexFixture("two-patches.q9l.hex").substr(0, CDocumentHeader::kSize);
    for (int round = 0; round < 500; ++round)
    {
        std::string bytes = header;
        PutWord(bytes, 36, random() % 2 ? random() : random() % 4);
        const size_t length = random() % 3000;
        for (size_t i = 0; i < length; ++i)
            bytes += static_cast<char>(random() % 3 ? 0 : random());
        SCOPED_TRACE(round);
        CheckReadIsSafe(bytes);
    }
}
