#include "model/CVeyBufferManager.h"
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
// Records every offer and notification; takes the offers over when told to.
class CRecordingHandler : public IVeyBufferHandler
{
public:
    explicit CRecordingHandler(std::string* log, const char* tag, bool takeOver = false)
        : m_log(log), m_tag(tag), m_takeOver(takeOver)
    {
    }
    bool OnSetValues(const CVeyValueNumbers& changes) override
    {
        Log("setValues", changes.size());
        return m_takeOver;
    }
    bool OnSetTexts(const CVeyValueTexts& changes) override
    {
        Log("setTexts", changes.size());
        return m_takeOver;
    }
    bool OnSetArrays(const CVeyValueArrays& changes) override
    {
        Log("setArrays", changes.size());
        return m_takeOver;
    }
    bool OnValuesChanged(const CVeyValueList& values) override
    {
        Log("changed", values.size());
        return true;
    }
    bool OnDataRead(const CVeyValueList& values) override
    {
        Log("read", values.size());
        return false;
    }
    bool OnValuesReceived(const CVeyValueList& values) override
    {
        Log("received", values.size());
        return false;
    }

private:
    void Log(const char* what, size_t count) { *m_log += std::string(m_tag) + ":" + what + "(" + std::to_string(count) + ") "; }

    std::string* m_log;
    const char* m_tag;
    bool m_takeOver;
};

class BufferManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetModel();
        ASSERT_TRUE(BuildSampleModel());
        root = static_cast<CVeyRootStruct*>(manager.FindStructOrNull("fm"));
        ASSERT_TRUE(root->SetMidiOut(&out));
        manager.SetViewUpdater(&views);
        level = manager.FindValueOrNull("fm.pat.common.level");
        pan = manager.FindValueOrNull("fm.pat.common.pan");
        name = manager.FindValueOrNull("fm.pat.common.patchName");
        common = manager.FindStructOrNull("fm.pat.common");
    }
    void TearDown() override { ResetModel(); }

    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    CRecordingTransmitter out;
    CRecordingViewUpdater views;
    CVeyRootStruct* root = nullptr;
    CVeyValue* level = nullptr;
    CVeyValue* pan = nullptr;
    CVeyValue* name = nullptr;
    CVeyStruct* common = nullptr;
};

TEST_F(BufferManagerTest, CommitSendsEveryMarkingInOrderThenRedrawsAndClears)
{
    manager.SetValue(level, 10);
    manager.SetValue(pan, 70);
    manager.SetValue(level, 11);
    EXPECT_EQ(manager.GetChangeList(), (CVeyValueList{level, pan, level})) << "duplicates kept";
    EXPECT_TRUE(root->IsModified());

    EXPECT_TRUE(manager.Flush());
    ASSERT_EQ(out.sent.size(), 3u);
    EXPECT_EQ(out.sent[0], (CSentDt1{0x200000C, {11}})) << "each entry sends the value's current bytes";
    EXPECT_EQ(out.sent[1], (CSentDt1{0x200000D, {70}}));
    EXPECT_TRUE(manager.Flush()) << "a second flush sends everything again";
    EXPECT_EQ(out.sent.size(), 6u);

    EXPECT_TRUE(manager.UpdateViews());
    ASSERT_EQ(views.calls.size(), 1u);
    EXPECT_EQ(views.calls[0], (CVeyValueList{level, pan, level}));
    manager.ClearChanges();
    EXPECT_TRUE(manager.GetChangeList().empty());
    EXPECT_FALSE(manager.UpdateViews());
}

TEST_F(BufferManagerTest, SettersStoreWithoutClampingAndByIndex)
{
    manager.SetValue(level, 200);
    EXPECT_EQ(level->GetNumber(), 200 & 0x7F);
    manager.SetText(name, "HELLO");
    EXPECT_EQ(name->GetText(), "HELLOPATCH  ");
    CVeyValue* rate = manager.FindValueOrNull("fm.pat.common.rate");
    manager.SetValueByIndex(rate, 5);
    EXPECT_EQ(rate->GetNumber(), 5);
    manager.SetArray(level, {1, 2});
    EXPECT_EQ(manager.GetChangeList(), (CVeyValueList{level, name, rate, level}));
}

TEST_F(BufferManagerTest, HandlersAreOfferedTheChangeAndCanTakeItOver)
{
    std::string log;
    manager.GetHandlers().Append(new CRecordingHandler(&log, "A", true));
    manager.GetHandlers().Append(new CRecordingHandler(&log, "B"));
    manager.SetValue(level, 1);
    EXPECT_EQ(log, "A:setValues(1) B:setValues(1) ") << "the second handler is still offered the change";
    EXPECT_EQ(level->GetNumber(), 100) << "nothing stored";
    EXPECT_TRUE(manager.GetChangeList().empty());
    EXPECT_FALSE(root->IsModified());
}

TEST_F(BufferManagerTest, HandlersAreToldAfterTheChangeIsStored)
{
    std::string log;
    manager.GetHandlers().Append(new CRecordingHandler(&log, "A"));
    manager.SetValues({{level, 1}, {pan, 2}});
    manager.SetTexts({{name, "X"}});
    EXPECT_EQ(log, "A:setValues(2) A:changed(2) A:setTexts(1) A:changed(1) ");
    EXPECT_EQ(manager.GetChangeList(), (CVeyValueList{level, pan, name}));
}

TEST_F(BufferManagerTest, ReceivedDataIsMarkedAndAnnouncedButNotSent)
{
    std::string log;
    manager.GetHandlers().Append(new CRecordingHandler(&log, "A"));
    EXPECT_TRUE(root->ReceiveDt1({0x10, 0x00, 0x00, 0x0C}, {0x05, 0x06}));
    EXPECT_EQ(log, "A:received(2) ");
    EXPECT_EQ(manager.GetChangeList(), (CVeyValueList{level, pan}));
    EXPECT_TRUE(out.sent.empty());
}

TEST_F(BufferManagerTest, StructDataReplacesALeafValueByValue)
{
    std::vector<uint8_t> bytes(17, 0x20);
    bytes[12] = 1;
    bytes[13] = 2;
    EXPECT_FALSE(manager.SetStructData(common, std::vector<uint8_t>(16, 0))) << "one byte short";
    EXPECT_FALSE(manager.SetStructData(manager.FindStructOrNull("fm.pat"), {})) << "a node has no data";
    EXPECT_TRUE(manager.GetChangeList().empty());

    std::string log;
    manager.GetHandlers().Append(new CRecordingHandler(&log, "A"));
    EXPECT_TRUE(manager.CopyStructValues(common, bytes));
    EXPECT_EQ(log, "A:setValues(4) A:setTexts(1) A:changed(5) ");
    EXPECT_EQ(*common->GetData(), bytes);
    EXPECT_EQ(level->GetNumber(), 1);
    EXPECT_EQ(manager.GetChangeList().size(), 5u);
}

TEST_F(BufferManagerTest, RevertingANodeGoesThroughTheHandlers)
{
    level->SetNumber(1);
    name->SetText("ZZZZ");
    manager.RevertStructToDefault(manager.FindStructOrNull("fm.pat"));
    EXPECT_EQ(level->GetNumber(), 100);
    EXPECT_EQ(name->GetText(), "INIT PATCH  ");
    EXPECT_EQ(manager.GetChangeList().size(), 9u);

    manager.ClearChanges();
    level->SetNumber(1);
    name->SetText("ZZZZ");
    std::string log;
    manager.GetHandlers().Append(new CRecordingHandler(&log, "A", true));
    manager.RevertStructToDefault(manager.FindStructOrNull("fm.pat"));
    EXPECT_EQ(log, "A:setValues(8) ") << "texts are not offered once the numbers are taken";
    EXPECT_EQ(level->GetNumber(), 1);
    EXPECT_EQ(name->GetText().substr(0, 4), "ZZZZ");
}

TEST_F(BufferManagerTest, ReadingTheDataBodyMarksEveryValue)
{
    std::string body(23, '\0');
    body[12] = 7;
    std::istringstream stream(body + "trailing");
    std::string log;
    manager.GetHandlers().Append(new CRecordingHandler(&log, "A"));
    EXPECT_TRUE(manager.ReadStructData(root, stream));
    EXPECT_EQ(level->GetNumber(), 7);
    EXPECT_EQ(manager.GetChangeList().size(), 9u);
    EXPECT_EQ(log, "A:read(5) A:read(2) A:read(2) ");
}

TEST_F(BufferManagerTest, AShortDataBodyChangesNothing)
{
    std::istringstream stream(std::string(22, '\x01'));
    EXPECT_FALSE(manager.ReadStructData(root, stream));
    EXPECT_EQ(level->GetNumber(), 100);
    EXPECT_TRUE(manager.GetChangeList().empty());
}

TEST_F(BufferManagerTest, AHandlerCanConsumeABlockItself)
{
    // Takes the common block over and notes which values the manager announces as read.
    class CConsumer : public IVeyBufferHandler
    {
    public:
        explicit CConsumer(std::vector<const CVeyValue*>* announced) : m_announced(announced) {}
        bool OnReadStructData(CVeyStruct* s, std::istream& stream) override
        {
            if (s->GetName() != "common")
                return false;
            stream.ignore(17);
            return true;
        }
        bool OnDataRead(const CVeyValueList& values) override
        {
            m_announced->insert(m_announced->end(), values.begin(), values.end());
            return false;
        }

    private:
        std::vector<const CVeyValue*>* m_announced;
    };
    std::vector<const CVeyValue*> announced;
    manager.GetHandlers().Append(new CConsumer(&announced));
    std::istringstream stream(std::string(17, '\x01') + std::string(6, '\x02'));
    EXPECT_TRUE(manager.ReadStructData(root, stream));
    EXPECT_EQ(level->GetNumber(), 100);
    EXPECT_EQ(manager.FindValueOrNull("fm.pat.tone[1].sw")->GetNumber(), 2);
    // The handled struct is finished: its values are neither marked changed nor announced.
    const auto common = [this](const CVeyValue* value) { return value->GetParent() == level->GetParent(); };
    EXPECT_TRUE(std::none_of(announced.begin(), announced.end(), common));
    const CVeyValueList& changes = manager.GetChangeList();
    EXPECT_TRUE(std::none_of(changes.begin(), changes.end(), common));
    EXPECT_FALSE(changes.empty()) << "the tones were read";
}

TEST_F(BufferManagerTest, RootsAreAskedBeforeMidiStructsAndInCreationOrder)
{
    auto second = CreateStruct(CVeyStruct::kRoot);
    second->SetDefinition(manager.InternStructDefinition({"fm", {0, 0}}));
    manager.AddMidiStruct(std::move(second));
    EXPECT_EQ(manager.FindStructOrNull("fm"), root);
    CVeyValue* untouched = reinterpret_cast<CVeyValue*>(0x1);
    EXPECT_FALSE(manager.FindValue("fm.none", untouched));
    EXPECT_EQ(untouched, reinterpret_cast<CVeyValue*>(0x1));
}

TEST_F(BufferManagerTest, FlushRefreshesTheMessageLinksAfterSending)
{
    class CLink : public IVeyMidiMessageValueLink
    {
    public:
        explicit CLink(CRecordingTransmitter* out, size_t* seen) : m_out(out), m_seen(seen) {}
        void Update() override { *m_seen = m_out->sent.size(); }
        std::string GetText() const override { return {}; }

    private:
        CRecordingTransmitter* m_out;
        size_t* m_seen;
    };
    size_t seen = 99;
    manager.AddMidiMessageValueLink(std::make_unique<CLink>(&out, &seen));
    manager.SetValue(level, 3);
    manager.Flush();
    EXPECT_EQ(seen, 1u);
}

TEST_F(BufferManagerTest, ClearEmptiesTheModelAndDeletesTheHandlers)
{
    class CCounted : public IVeyBufferHandler
    {
    public:
        explicit CCounted(int* deleted) : m_deleted(deleted) {}
        ~CCounted() override { ++*m_deleted; }

    private:
        int* m_deleted;
    };
    int deleted = 0;
    manager.GetHandlers().Append(new CCounted(&deleted));
    manager.GetHandlers().Append(new CCounted(&deleted));
    manager.SetValue(level, 1);
    manager.Clear();
    EXPECT_EQ(deleted, 2);
    EXPECT_TRUE(manager.GetHandlers().empty());
    EXPECT_TRUE(manager.GetChangeList().empty());
    EXPECT_TRUE(manager.GetRootStructs().empty());
    EXPECT_EQ(manager.GetValueDefinitionCount(), 0u);
    EXPECT_EQ(manager.FindStructOrNull("fm"), nullptr);
}
}
