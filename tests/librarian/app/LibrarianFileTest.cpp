#include "librarian/app/InitialFileDocument.h"
#include "librarian/app/LibrarianFile.h"
#include "toolkit/gt/SafeFile.h"
#include "tests/librarian/app/LibrarianFixtures.h"
#include "tests/support/SaveFault.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>

namespace
{
void PutWord(std::string& bytes, size_t offset, uint32_t value)
{
    bytes[offset] = static_cast<char>(value >> 24);
    bytes[offset + 1] = static_cast<char>(value >> 16);
    bytes[offset + 2] = static_cast<char>(value >> 8);
    bytes[offset + 3] = static_cast<char>(value);
}

// Offsets in the two-patch fixture.
constexpr size_t kFirstRecord = 160;
constexpr size_t kSecondRecord = kFirstRecord + 4 + 1125;
constexpr size_t kToneCountOfSecond = kSecondRecord + 4 + 472;

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A stream buffer that takes `capacity` bytes and then refuses, like a full disk.
class CFullStreamBuffer : public std::streambuf
{
public:
    explicit CFullStreamBuffer(size_t capacity) : m_capacity(capacity) {}

protected:
    std::streamsize xsputn(const char*, std::streamsize count) override
    {
        const std::streamsize taken = std::min<std::streamsize>(count, static_cast<std::streamsize>(m_capacity));
        m_capacity -= static_cast<size_t>(taken);
        return taken;
    }
    int_type overflow(int_type c) override
    {
        if (m_capacity == 0)
            return traits_type::eof();
        --m_capacity;
        return traits_type::not_eof(c);
    }

private:
    size_t m_capacity;
};
}

TEST(LibrarianFile, GoldenFileOfTwoPatchesRoundTripsByteForByte)
{
    const std::string golden = LoadHexFixture("two-patches.q9l.hex");
    ASSERT_EQ(golden.size(), 160u + 4 + 1125 + 4 + 1112);
    const CPatchArray model = MakeTwoPatchFixture();
    EXPECT_EQ(model[0].GetSerializedSize(), 1125u);

    CTempDir folder;
    CImageDocument written;
    written.GetCurrent().GetPatches() = model;
    ASSERT_TRUE(written.WriteFile(folder.File("two.q9l")));
    EXPECT_EQ(ReadFileBytes(folder.File("two.q9l")), golden);

    CFileDocument read;
    ASSERT_TRUE(read.ReadFile(folder.File("two.q9l")));
    EXPECT_TRUE(SamePatches(read.GetCurrent().GetPatches(), model));
    EXPECT_EQ(read.GetCurrent().GetPatches().At(1).GetName(), "Bass\xA5" "01     ");
    EXPECT_EQ(read.GetCurrent().GetPatches()[0].GetText(2), "\x83\x41\x83\x8B");

    ASSERT_TRUE(read.WriteFile(folder.File("again.q9l")));
    EXPECT_EQ(ReadFileBytes(folder.File("again.q9l")), golden);
}

TEST(LibrarianFile, EmptyListIsAHeaderOnly)
{
    const std::string empty = ParseHexFixture(R"("Q9ELibrarianFile0000" 20*12  00*128)");
    EXPECT_EQ(WriteBytes(CPatchArray()), empty);

    CPatchArray patches = MakeTwoPatchFixture();
    std::istringstream in(empty);
    EXPECT_EQ(ReadLibrarianFile(in, patches), kFileMessageNone);
    EXPECT_TRUE(patches.IsEmpty());
}

TEST(LibrarianFile, IgnoresOtherHeaderWordsAndBytesAfterTheLastRecord)
{
    std::string bytes = LoadHexFixture("two-patches.q9l.hex");
    PutWord(bytes, 32, 0xDEADBEEF);
    PutWord(bytes, 156, 7);
    bytes += "trailing";
    const CReadResult result = ReadBytes(bytes);
    EXPECT_EQ(result.message, kFileMessageNone);
    EXPECT_TRUE(SamePatches(result.patches, MakeTwoPatchFixture()));

    PutWord(bytes, 36, 1);
    EXPECT_EQ(ReadBytes(bytes).patches.GetSize(), 1u);
}

TEST(LibrarianFile, ManyRecordsAndRecordsOfAnyLengthReadBack)
{
    // Some hundred thousand bytes of records, with memos from none to over a megabyte, so
    // records start and end at every kind of place in what the reader takes in at once.
    CPatchArray patches;
    for (size_t i = 0; i < 1200; ++i)
    {
        auto patch = std::make_unique<CPatch>(MakeLayoutPatch("P" + std::to_string(i)));
        patch->GetParts()[CPatch::kTone][3][153] = static_cast<uint8_t>(i & 0x7F);
        patch->SetText(static_cast<int>(i % CParameter::kTextCount), std::string(i * 7 % 1500, static_cast<char>('a' + i % 26)));
        if (i % 400 == 7)
            patch->SetText(1, std::string((i + 1) * 3000, 'm'));
        patches.Add(std::move(patch));
    }
    const std::string bytes = WriteBytes(patches);
    ASSERT_GT(bytes.size(), size_t(4) << 20);

    const CReadResult result = ReadBytes(bytes);
    EXPECT_EQ(result.message, kFileMessageNone);
    EXPECT_TRUE(SamePatches(result.patches, patches));
    // The same file cut anywhere in its last record is refused as one cut short.
    EXPECT_EQ(ReadBytes(bytes.substr(0, bytes.size() - 700)).message, kFileMessageNotLoaded);
}

// Patches read from a file keep their blocks in the file's bytes until they are asked for; a
// copy shares them. Every copy must still behave as a value of its own, and outlive the file.
TEST(LibrarianFile, PatchesReadFromAFileAreValuesOfTheirOwn)
{
    const std::string golden = LoadHexFixture("two-patches.q9l.hex");
    const CPatchArray model = MakeTwoPatchFixture();
    std::unique_ptr<CParameter> copyOfFirst;
    std::unique_ptr<CParameter> copyOfSecond;
    {
        CReadResult result = ReadBytes(golden);
        ASSERT_EQ(result.message, kFileMessageNone);
        CPatchArray& read = result.patches;
        EXPECT_TRUE(read[0].FitsLayout());
        EXPECT_EQ(read[0].GetSerializedSize(), model[0].GetSerializedSize());
        EXPECT_EQ(read[1].GetSerializedSize(), model[1].GetSerializedSize());
        copyOfFirst = read[0].Clone();
        copyOfSecond = read[1].Clone();

        // Changing the copy leaves the original as it was read, and the other way round.
        copyOfFirst->GetParts()[CPatch::kTone][2][5] ^= 0x7F;
        read[1].GetParts()[CPatch::kCommon][0][20] ^= 0x7F;
        EXPECT_EQ(read[0].GetParts(), model[0].GetParts());
        EXPECT_EQ(copyOfSecond->GetParts(), model[1].GetParts());

        // A list of packed and unpacked patches writes as the file it came from, but for the
        // one byte changed.
        std::string expected = golden;
        expected[kSecondRecord + 4 + 4 + 4 + 20] = static_cast<char>(expected[kSecondRecord + 4 + 4 + 4 + 20] ^ 0x7F);
        EXPECT_EQ(WriteBytes(read), expected);
    }
    // The file's list is gone: the copies still hold their bytes.
    CParameter::CParts changed = model[0].GetParts();
    changed[CPatch::kTone][2][5] ^= 0x7F;
    EXPECT_EQ(copyOfFirst->GetParts(), changed);
    EXPECT_EQ(copyOfSecond->GetParts(), model[1].GetParts());
    EXPECT_EQ(static_cast<const CPatch&>(*copyOfSecond).GetName(), "Bass\xA5" "01     ");

    // Assigning a packed patch over one with parts of its own, and back.
    CPatch target = model.At(1);
    CReadResult again = ReadBytes(golden);
    target = again.patches.At(0);
    EXPECT_EQ(target.GetParts(), model[0].GetParts());
    target = model.At(1);
    EXPECT_EQ(target.GetParts(), model[1].GetParts());
}

TEST(LibrarianFile, RefusesBadFilesWithTheirMessageAndChangesNoDocument)
{
    const std::string golden = LoadHexFixture("two-patches.q9l.hex");
    auto edited = [&golden](size_t offset, uint32_t value) {
        std::string bytes = golden;
        PutWord(bytes, offset, value);
        return bytes;
    };
    std::string magicEndsInZero = golden;
    magicEndsInZero[31] = 0;
    std::string unterminatedText = golden;
    unterminatedText.back() = 'x';
    // 65 empty TONE blocks, the record consistent: more than a part may hold.
    std::string manyTones = golden.substr(0, kToneCountOfSecond + 4);
    PutWord(manyTones, kToneCountOfSecond, 65);
    for (int i = 0; i < 65; ++i)
        manyTones += std::string(4, '\0');
    manyTones += std::string(4, '\0');
    PutWord(manyTones, kSecondRecord, static_cast<uint32_t>(manyTones.size() - kSecondRecord - 4));

    const struct
    {
        const char* name;
        std::string bytes;
        int message;
    } cases[] = {
        {"empty file", "", kFileMessageWrongType},
        {"header one byte short", golden.substr(0, 159), kFileMessageWrongType},
        {"magic ends in a zero byte", magicEndsInZero, kFileMessageWrongType},
        {"magic of another program", "Q9EEditorFile" + golden.substr(13), kFileMessageWrongType},
        {"more records than follow", edited(36, 3), kFileMessageWrongType},
        {"record count of 2^32-1", edited(36, 0xFFFFFFFF), kFileMessageWrongType},
        {"record length 0", edited(kFirstRecord, 0), kFileMessageWrongType},
        {"record length missing halfway", golden.substr(0, kSecondRecord + 2), kFileMessageWrongType},
        {"record cut short", golden.substr(0, golden.size() - 1), kFileMessageNotLoaded},
        {"record length 2^32-1", edited(kFirstRecord, 0xFFFFFFFF), kFileMessageNotLoaded},
        {"record length past the file", edited(kSecondRecord, 1113), kFileMessageNotLoaded},
        {"record length too small for its blocks", edited(kSecondRecord, 600), kFileMessageWrongType},
        {"block count 2^32-1", edited(kFirstRecord + 4, 0xFFFFFFFF), kFileMessageWrongType},
        {"65 TONE blocks, record consistent", manyTones, kFileMessageWrongType},
        {"five TONE blocks, the fifth past the record", edited(kToneCountOfSecond, 5), kFileMessageWrongType},
        {"COMMON block past the record", edited(kFirstRecord + 8, 1200), kFileMessageWrongType},
        {"TONE block of 2^32-1 bytes", edited(kToneCountOfSecond + 4, 0xFFFFFFFF), kFileMessageWrongType},
        {"memo without its terminator", unterminatedText, kFileMessageWrongType},
    };
    CTempDir folder;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(folder.File("bad.q9l"), c.bytes));
        CFileDocument document;
        document.GetCurrent().GetPatches().Add(std::make_unique<CPatch>(MakeLayoutPatch("KEEP")));
        CMessageCapture capture;
        EXPECT_FALSE(document.ReadFile(folder.File("bad.q9l")));
        EXPECT_EQ(capture.messages, std::vector<int>{c.message});
        ASSERT_EQ(document.GetCurrent().GetPatches().GetSize(), 1u);
        EXPECT_EQ(document.GetCurrent().GetPatches().At(0).GetName(), "KEEP        ");
    }
}

TEST(LibrarianFile, PathsThatAreNoReadableFileCannotBeLoaded)
{
    CTempDir folder;
    const std::string pipe = folder.File("pipe.q9l");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {folder.File("missing.q9l"), folder.Path(), pipe})
    {
        SCOPED_TRACE(path);
        CFileDocument document;
        CMessageCapture capture;
        EXPECT_FALSE(document.ReadFile(path));
        EXPECT_EQ(capture.messages, std::vector<int>{kFileMessageNotLoaded});
    }
}

// Records whose parts differ from the layout open with their blocks as they stand, and save
// back byte for byte.
TEST(LibrarianFile, RecordsOfOtherBlockCountsOpenAsTheyStandAndSaveAsTheyAre)
{
    const std::string odd = LoadHexFixture("odd-blocks.q9l.hex");
    CTempDir folder;
    ASSERT_TRUE(WriteFileBytes(folder.File("odd.q9l"), odd));
    CFileDocument document;
    CMessageCapture capture;
    ASSERT_TRUE(document.ReadFile(folder.File("odd.q9l")));
    EXPECT_TRUE(capture.messages.empty());
    const CPatchArray& patches = document.GetCurrent().GetPatches();
    ASSERT_EQ(patches.GetSize(), 2u);

    const CPatch& first = patches.At(0);
    EXPECT_FALSE(first.FitsLayout());
    EXPECT_EQ(first.GetName(), "Short name  ");
    EXPECT_EQ(first.GetText(0), "odd");
    const CParameter::CParts& parts = first.GetParts();
    ASSERT_EQ(parts.size(), 6u);
    std::vector<std::vector<size_t>> sizes;
    for (const CParameter::CPart& part : parts)
    {
        sizes.emplace_back();
        for (const CParameter::CBlock& block : part)
            sizes.back().push_back(block.size());
    }
    EXPECT_EQ(sizes, (std::vector<std::vector<size_t>>{{14}, {}, {84}, {}, {41, 3}, {154, 10}}));
    EXPECT_EQ(parts[CPatch::kTone][1], CParameter::CBlock(10, 0x32));
    EXPECT_EQ(first.GetSerializedSize(), 361u);

    const CPatch& second = patches.At(1);
    EXPECT_EQ(second.GetName(), std::string(12, ' '));
    EXPECT_EQ(second.GetSerializedSize(), 28u);

    // Sorting by name, copying and saving use the blocks as they are.
    EXPECT_EQ(first.Compare(CPatch::kNameColumn, second, 0, 1, false), 1);
    EXPECT_TRUE(SamePatches(CPatchArray(patches), patches));
    ASSERT_TRUE(document.WriteFile(folder.File("again.q9l")));
    EXPECT_EQ(ReadFileBytes(folder.File("again.q9l")), odd);
}

TEST(LibrarianFile, WritesEveryPatchAsItHoldsIt)
{
    // Blocks lost, short or extra are written as they are and read back the same; a part past
    // the layout has no place in a record.
    CPatchArray patches;
    auto odd = std::make_unique<CPatch>(MakeLayoutPatch("Odd"));
    odd->GetParts()[CPatch::kTone].resize(2);
    odd->GetParts()[CPatch::kTone][1].assign(10, 0x22);
    odd->GetParts()[CPatch::kCommon].push_back(CParameter::CBlock(5, 0x11));
    odd->GetParts()[CPatch::kMfx].clear();
    CPatch expected = *odd;
    odd->GetParts().push_back(CParameter::CPart(1));
    patches.Add(std::move(odd));
    auto fewParts = std::make_unique<CPatch>();
    fewParts->SetName("Few");
    patches.Add(std::move(fewParts));
    patches.Add(std::make_unique<CPatch>());

    const CReadResult result = ReadBytes(WriteBytes(patches));
    ASSERT_EQ(result.message, kFileMessageNone);
    ASSERT_EQ(result.patches.GetSize(), 3u);
    EXPECT_EQ(result.patches.At(0).GetParts(), expected.GetParts());
    EXPECT_EQ(result.patches.At(1).GetName(), "Few         ");
    EXPECT_EQ(result.patches.At(1).GetParts().size(), 6u);
    EXPECT_EQ(result.patches.At(1).GetParts()[CPatch::kTone].size(), 0u);

    // A part of more blocks than a file may hold cannot be saved: the save fails and says so.
    CPatchArray tooMany;
    auto many = std::make_unique<CPatch>(MakeLayoutPatch("Many"));
    many->GetParts()[CPatch::kTone].resize(65);
    tooMany.Add(std::move(many));
    std::ostringstream out;
    EXPECT_FALSE(WriteLibrarianFile(out, tooMany));
}

TEST(LibrarianFile, FailingStreamIsReportedAsAFailure)
{
    const CPatchArray patches = MakeTwoPatchFixture();
    for (size_t capacity : {size_t(0), size_t(100), size_t(160), size_t(1000), size_t(2400)})
    {
        SCOPED_TRACE(capacity);
        CFullStreamBuffer buffer(capacity);
        std::ostream out(&buffer);
        EXPECT_FALSE(WriteLibrarianFile(out, patches));
    }
}

TEST(LibrarianFileSave, FailedSaveLeavesThePreviousFileIntact)
{
    CTempDir folder;
    const std::string path = folder.File("kept.q9l");
    const std::string previous = "the previous version";
    ASSERT_TRUE(WriteFileBytes(path, previous));

    // The content writer gives up halfway.
    EXPECT_FALSE(GT::SaveFileAtomically(path, [](std::ostream& out) {
        out << "half of the new";
        return false;
    }));
    EXPECT_EQ(ReadFileBytes(path), previous);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"kept.q9l"});

    // The content writer is interrupted by an exception.
    EXPECT_THROW(GT::SaveFileAtomically(path,
                                    [](std::ostream& out) -> bool {
                                        out << "part";
                                        throw std::bad_alloc();
                                    }),
                 std::bad_alloc);
    EXPECT_EQ(ReadFileBytes(path), previous);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"kept.q9l"});

    // The disk refuses: files may not grow past 1000 bytes.
    CImageDocument document;
    document.GetCurrent().GetPatches() = MakeTwoPatchFixture();
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    CMessageCapture capture;
    const bool saved_ok = document.WriteFile(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(capture.messages, std::vector<int>{kFileMessageNotSaved});
    EXPECT_EQ(ReadFileBytes(path), previous);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"kept.q9l"});

    // A folder that does not exist.
    capture.messages.clear();
    EXPECT_FALSE(document.WriteFile(folder.File("no/such/folder/x.q9l")));
    EXPECT_EQ(capture.messages, std::vector<int>{kFileMessageNotSaved});
}

TEST(LibrarianFileSave, EveryFailedSaveKeepsThePreviousFileAndSaysSo)
{
    CImageDocument document;
    document.GetCurrent().GetPatches() = MakeTwoPatchFixture();
    for (ESaveFault kind : AllSaveFaults())
    {
        SCOPED_TRACE(SaveFaultName(kind));
        CTempDir folder;
        const std::string path = folder.File("kept.q9l");
        CSaveFault fault(kind, path, "the previous version");
        if (!fault.IsPossible())
            continue;
        CMessageCapture capture;
        EXPECT_FALSE(document.WriteFile(path));
        EXPECT_TRUE(fault.IsUntouched());
        EXPECT_EQ(capture.messages, std::vector<int>{kFileMessageNotSaved});
    }
}

TEST(LibrarianFileSave, ReplacingKeepsPermissionsAndSymbolicLinks)
{
    CTempDir folder;
    const std::string real = folder.File("real.q9l");
    const std::string link = folder.File("link.q9l");
    ASSERT_TRUE(WriteFileBytes(real, "old"));
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    std::filesystem::create_symlink(real, link);

    CImageDocument document;
    document.GetCurrent().GetPatches() = MakeTwoPatchFixture();
    ASSERT_TRUE(document.WriteFile(link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), LoadHexFixture("two-patches.q9l.hex"));
    struct stat status;
    ASSERT_EQ(stat(real.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(folder.Path()), (std::vector<std::string>{"link.q9l", "real.q9l"}));
}

TEST(InitialFile, AcceptedFileIsTheTemplateOfEveryInitializedPatch)
{
    CInitialFileReset reset;
    CTempDir folder;
    const std::string path = folder.File("InitialData.q9l");
    ASSERT_TRUE(WriteFileBytes(path, LoadHexFixture("InitialData.q9l.hex")));
    CInitialFileDocument& initial = CInitialFileDocument::GetInstance();
    ASSERT_TRUE(initial.Load(path));
    ASSERT_TRUE(initial.IsAccepted());
    ASSERT_NE(initial.GetFirstPatch(), nullptr);

    CPatchArray patches = MakeTwoPatchFixture();
    patches.At(1).Initialize();
    patches.Resize(3);
    for (size_t i : {size_t(1), size_t(2)})
    {
        SCOPED_TRACE(i);
        const CPatch& patch = patches.At(i);
        EXPECT_EQ(patch.GetName(), "TEMPLATE 1  ");
        EXPECT_EQ(patch.GetText(0), "from file");
        EXPECT_EQ(patch.GetParts()[CPatch::kCommon][0][20], 0x40);
        EXPECT_EQ(patch.GetParts()[CPatch::kTmt][0][0], 0x10);
        EXPECT_EQ(patch.GetParts(), initial.GetFirstPatch()->GetParts());
    }
    EXPECT_EQ(CInitialFileDocument::MakePath("/opt/q9"), "/opt/q9/Script/Q9EL/InitialData.q9l");
}

TEST(InitialFile, RefusedFilesLeavePatchesToTheBuiltInTemplate)
{
    CInitialFileReset reset;
    const std::string initialData = LoadHexFixture("InitialData.q9l.hex");
    std::string twoToneBlocksFirst = initialData + initialData.substr(160);
    PutWord(twoToneBlocksFirst, 36, 2);
    PutWord(twoToneBlocksFirst, 160 + 4 + 472, 2);
    std::string noPatches = initialData.substr(0, 160);
    PutWord(noPatches, 36, 0);

    const struct
    {
        const char* name;
        std::string bytes;
        std::vector<int> messages;
    } cases[] = {
        {"first patch with two TONE blocks", twoToneBlocksFirst, {}},
        {"no patches", noPatches, {}},
        {"not a librarian file", "INIT", {kFileMessageWrongType}},
    };
    CTempDir folder;
    CInitialFileDocument& initial = CInitialFileDocument::GetInstance();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(folder.File("InitialData.q9l"), initialData));
        ASSERT_TRUE(initial.Load(folder.File("InitialData.q9l")));
        ASSERT_TRUE(WriteFileBytes(folder.File("InitialData.q9l"), c.bytes));
        CMessageCapture capture;
        EXPECT_FALSE(initial.Load(folder.File("InitialData.q9l")));
        EXPECT_EQ(capture.messages, c.messages);
        EXPECT_FALSE(initial.IsAccepted());
        EXPECT_EQ(initial.GetFirstPatch(), nullptr);
        CPatch patch;
        patch.Initialize();
        EXPECT_EQ(patch.GetName(), "INIT PATCH  ");
    }
    CMessageCapture capture;
    EXPECT_FALSE(initial.Load(folder.File("absent.q9l")));
    EXPECT_EQ(capture.messages, std::vector<int>{kFileMessageNotLoaded});
}
