#include "model/CVeyDataFile.h"

#include "model/CVeyErrorOut.h"
#include "platform/Shell.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/SaveFault.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/ul/Cursor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace
{
constexpr size_t kBodySize = 23;   // common 17, tone[0] 3, tone[1] 3

std::string GoldenPath()
{
    const char* root = std::getenv("Q9_TEST_DATA");
    return std::string(root ? root : "tests/data") + "/model/SampleData.q9e";
}

std::string Header(const std::string& magic, const std::string& path, const std::string& product)
{
    std::string header = magic + std::string(16 - magic.size(), ' ');
    header += path + std::string(64 - path.size(), ' ');
    header += product + std::string(16 - product.size(), ' ');
    return header + std::string(160, '\0');
}

// The sample model of the model tests, bound to the data file as the editor binds it.
class CDataFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetModel();
        ASSERT_TRUE(BuildSampleModel());
        root = static_cast<CVeyRootStruct*>(Manager().FindStructOrNull("fm"));
        File().SetRootStruct(root);
        File().SetProductName("Talvarix");
        GetMessageTable().Set(GT::CIndexedStringTable::kEnglishSet, 4, "The file could not be loaded.");
        GetMessageTable().Set(GT::CIndexedStringTable::kEnglishSet, 5, "The file could not be saved.");
        m_previousHook = SetMessageBoxHook([this](const char* text, const char*, UINT) {
            shown.push_back(text);
            return IDOK;
        });
        CVeyBufferedErrorOut::GetInstance().Flush();
        shown.clear();
    }
    void TearDown() override
    {
        CVeyBufferedErrorOut::GetInstance().Flush();
        SetMessageBoxHook(m_previousHook);
        GetMessageTable().Clear();
        File().SetRootStruct(nullptr);
        ResetModel();
    }

    static CVeyBufferManager& Manager() { return CVeyBufferManager::GetInstance(); }
    static CVeyDataFile& File() { return CVeyDataFile::GetInstance(); }

    // The values of the golden file.
    void SetGoldenValues()
    {
        Manager().FindValueOrNull("fm.pat.common.patchName")->SetText("Golden Tone1");
        const std::pair<const char*, int32_t> numbers[] = {
            {"fm.pat.common.level", 100}, {"fm.pat.common.pan", 70}, {"fm.pat.common.tune", 200},
            {"fm.pat.common.rate", 5}, {"fm.pat.tone[0].sw", 1}, {"fm.pat.tone[0].cutoff", 1000},
            {"fm.pat.tone[1].sw", 0}, {"fm.pat.tone[1].cutoff", 1023},
        };
        for (const auto& [path, number] : numbers)
            Manager().FindValueOrNull(path)->SetNumber(number);
    }

    // Every data byte of the model, leaves in file order.
    std::string Body() const
    {
        std::ostringstream out;
        WriteStructData(*root, out);
        return out.str();
    }

    // The user sees, at the next idle pass, exactly these messages.
    std::vector<std::string> FlushShown()
    {
        CVeyBufferedErrorOut::GetInstance().Flush();
        return std::exchange(shown, {});
    }

    CVeyRootStruct* root = nullptr;
    std::vector<std::string> shown;

private:
    MessageBoxHook m_previousHook;
};

const std::string kLoadFailed = "The file could not be loaded.";
const std::string kSaveFailed = "The file could not be saved.";
}

TEST_F(CDataFileTest, SaveWritesTheGoldenFileAndLoadReadsItBack)
{
    const std::string golden = ReadFileBytes(GoldenPath());
    ASSERT_EQ(256 + kBodySize, golden.size());
    CTempDir folder;
    const std::string path = folder.File("saved.q9e");

    SetGoldenValues();
    root->SetModified(true);
    ASSERT_TRUE(File().Save(path));
    EXPECT_EQ(golden, ReadFileBytes(path));
    EXPECT_FALSE(root->IsModified());
    EXPECT_FALSE(UL::CCursor::Instance().HasRequests());

    ResetModel();
    ASSERT_TRUE(BuildSampleModel());
    root = static_cast<CVeyRootStruct*>(Manager().FindStructOrNull("fm"));
    File().SetRootStruct(root);
    root->SetModified(true);
    ASSERT_TRUE(File().Load(GoldenPath()));
    EXPECT_EQ(golden.substr(256), Body());
    EXPECT_EQ("Golden Tone1", Manager().FindValueOrNull("fm.pat.common.patchName")->GetText());
    EXPECT_EQ(1000, Manager().FindValueOrNull("fm.pat.tone[0].cutoff")->GetNumber());
    EXPECT_FALSE(root->IsModified());
    // Every value read is listed for the views; nothing is sent by reading.
    EXPECT_EQ(9u, Manager().GetChangeList().size());
    EXPECT_TRUE(FlushShown().empty());
    EXPECT_FALSE(UL::CCursor::Instance().HasRequests());
}

TEST_F(CDataFileTest, BadFilesChangeNothing)
{
    const std::string golden = ReadFileBytes(GoldenPath());
    const std::string body = golden.substr(256);
    struct Case
    {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"shorter than the header", golden.substr(0, 255)},
        {"header only", golden.substr(0, 256)},
        {"one byte short", golden.substr(0, golden.size() - 1)},
        {"other magic", Header("VeyDataFile00002", "fm", "Talvarix") + body},
        {"other root struct", Header("VeyDataFile00001", "fx", "Talvarix") + body},
        {"other product", Header("VeyDataFile00001", "fm", "Talvarex") + body},
        {"zero bytes in place of blanks", std::string("VeyDataFile00001fm") + std::string(238, '\0') + body},
    };
    CTempDir folder;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File("bad.q9e");
        ASSERT_TRUE(WriteFileBytes(path, c.bytes));
        const std::string before = Body();
        root->SetModified(true);
        EXPECT_FALSE(File().Load(path));
        EXPECT_EQ(before, Body());
        EXPECT_TRUE(Manager().GetChangeList().empty());
        EXPECT_TRUE(root->IsModified());
        EXPECT_EQ(std::vector<std::string>{kLoadFailed}, FlushShown());
        EXPECT_FALSE(UL::CCursor::Instance().HasRequests());
    }

    EXPECT_FALSE(File().Load(folder.File("missing.q9e")));
    EXPECT_EQ(std::vector<std::string>{kLoadFailed}, FlushShown());
    // A good header with blanks, tabs and line breaks around the fields reads as equal.
    std::string padded = "VeyDataFile00001" + std::string(" \tfm\n") + std::string(59, ' ') + "\tTalvarix" +
                         std::string(7, ' ') + std::string(160, '\0') + body;
    std::istringstream stream(padded);
    EXPECT_TRUE(File().Read(stream));
}

TEST_F(CDataFileTest, BytesAfterTheBodyAreIgnoredWithADiagnosticLine)
{
    const std::string golden = ReadFileBytes(GoldenPath());
    const std::string body = golden.substr(256);
    CTempDir folder;
    for (const std::string& longer : {golden + "x", golden + body})
    {
        SCOPED_TRACE(longer.size());
        ResetModel();
        ASSERT_TRUE(BuildSampleModel());
        root = static_cast<CVeyRootStruct*>(Manager().FindStructOrNull("fm"));
        File().SetRootStruct(root);
        root->SetModified(true);
        const std::string path = folder.File("longer.q9e");
        ASSERT_TRUE(WriteFileBytes(path, longer));
        CTraceCapture trace;
        EXPECT_TRUE(File().Load(path));
        EXPECT_EQ(body, Body());
        EXPECT_FALSE(root->IsModified());
        EXPECT_TRUE(FlushShown().empty());
        EXPECT_EQ("Data file is longer than the data of fm; the bytes after it are ignored.\n", trace.Text());
    }
    // A file of exactly the body's length says nothing.
    CTraceCapture trace;
    EXPECT_TRUE(File().Load(GoldenPath()));
    EXPECT_EQ("", trace.Text());
}

TEST_F(CDataFileTest, ProductNameIsCutTo16Characters)
{
    File().SetProductName("TalvarixTalvarix1");
    std::ostringstream out;
    ASSERT_TRUE(File().Write(out));
    EXPECT_EQ("TalvarixTalvarix", out.str().substr(80, 16));
    // Cut on writing, the name no longer matches the one it was cut from.
    std::istringstream in(out.str());
    EXPECT_FALSE(File().Read(in));
    EXPECT_EQ(std::vector<std::string>{kLoadFailed}, FlushShown());
}

TEST_F(CDataFileTest, NothingWorksWithoutARootStruct)
{
    File().SetRootStruct(nullptr);
    CVeyDataFile::CHeader header;
    EXPECT_FALSE(File().GetHeader(header));
    EXPECT_FALSE(File().CheckHeader({"VeyDataFile00001", "fm", "Talvarix"}));
    std::ostringstream out;
    EXPECT_FALSE(File().Write(out));
    EXPECT_EQ(std::vector<std::string>{kSaveFailed}, FlushShown());
    std::istringstream in(ReadFileBytes(GoldenPath()));
    EXPECT_FALSE(File().Read(in));
    EXPECT_EQ(std::vector<std::string>{kLoadFailed}, FlushShown());
    CTempDir folder;
    EXPECT_FALSE(File().Save(folder.File("x.q9e")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.q9e")));
}

TEST_F(CDataFileTest, FailedSaveKeepsThePreviousFile)
{
    CTempDir folder;
    const std::string path = folder.File("doc.q9e");
    ASSERT_TRUE(WriteFileBytes(path, "previous contents"));
    ASSERT_EQ(0, chmod(path.c_str(), 0640));
    root->SetModified(true);

    // The disk fills up after 100 bytes of the new file.
    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    const bool saved100 = File().Save(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved100);
    EXPECT_EQ("previous contents", ReadFileBytes(path));
    EXPECT_TRUE(root->IsModified());
    EXPECT_EQ(std::vector<std::string>{kSaveFailed}, FlushShown());
    // No temporary file is left behind.
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder.Path()), {}));

    // A save into a missing folder fails the same way.
    EXPECT_FALSE(File().Save(folder.File("none/doc.q9e")));
    EXPECT_EQ(std::vector<std::string>{kSaveFailed}, FlushShown());

    // A successful save replaces the contents and keeps the file's permissions.
    ASSERT_TRUE(File().Save(path));
    EXPECT_EQ(256 + kBodySize, ReadFileBytes(path).size());
    struct stat info;
    ASSERT_EQ(0, stat(path.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
    EXPECT_FALSE(root->IsModified());
}

TEST_F(CDataFileTest, EveryFailedSaveKeepsThePreviousFileAndSaysSo)
{
    for (ESaveFault kind : AllSaveFaults())
    {
        SCOPED_TRACE(SaveFaultName(kind));
        CTempDir folder;
        const std::string path = folder.File("doc.q9e");
        CSaveFault fault(kind, path, "previous contents");
        if (!fault.IsPossible())
            continue;
        root->SetModified(true);
        EXPECT_FALSE(File().Save(path));
        EXPECT_TRUE(fault.IsUntouched());
        EXPECT_TRUE(root->IsModified());
        EXPECT_EQ(std::vector<std::string>{kSaveFailed}, FlushShown());
    }
}

TEST_F(CDataFileTest, FailedWriteKeepsTheModifiedFlag)
{
    // A stream that accepts 100 bytes, then fails.
    class CShortStreamBuf : public std::streambuf
    {
    protected:
        int_type overflow(int_type c) override { return ++m_count > 100 ? traits_type::eof() : c; }

    private:
        int m_count = 0;
    } buffer;
    std::ostream stream(&buffer);
    root->SetModified(true);
    EXPECT_FALSE(File().Write(stream));
    EXPECT_TRUE(root->IsModified());
    EXPECT_EQ(std::vector<std::string>{kSaveFailed}, FlushShown());
}

TEST_F(CDataFileTest, LoadFailingMidwayIsUndone)
{
    // Takes tone[0]'s block and swallows more bytes than it has: the read of tone[1] then fails.
    class COverreader : public IVeyBufferHandler
    {
    public:
        bool OnReadStructData(CVeyStruct* s, std::istream& stream) override
        {
            if (s->GetName() != "tone[0]")
                return false;
            char bytes[5];
            stream.read(bytes, sizeof bytes);
            return true;
        }
    };
    Manager().GetHandlers().Append(new COverreader);
    const std::string before = Body();
    std::istringstream in(ReadFileBytes(GoldenPath()));
    EXPECT_FALSE(File().Read(in));
    EXPECT_EQ(before, Body());
    EXPECT_TRUE(Manager().GetChangeList().empty());
    EXPECT_EQ(std::vector<std::string>{kLoadFailed}, FlushShown());
}

TEST_F(CDataFileTest, RandomBytesNeverCrashTheReader)
{
    const std::string header = Header("VeyDataFile00001", "fm", "Talvarix");
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round)
    {
        const bool withHeader = round % 2 == 0;
        const size_t length = random() % 320;
        std::string bytes(length, '\0');
        for (char& c : bytes)
            c = char(random() % 256);
        if (withHeader)
            bytes = header + bytes;
        const std::string before = Body();
        std::istringstream in(bytes);
        const bool read = File().Read(in);
        EXPECT_EQ(withHeader && length >= kBodySize, read);
        if (!read)
        {
            EXPECT_EQ(before, Body());
            EXPECT_TRUE(Manager().GetChangeList().empty());
        }
        Manager().ClearChanges();
        FlushShown();
    }
}
