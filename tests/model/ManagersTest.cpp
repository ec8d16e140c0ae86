#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

namespace
{
constexpr EVeyManager kAllManagers[] = {EVeyManager::kResource, EVeyManager::kBuffer, EVeyManager::kMidi,
                                        EVeyManager::kView};

const char* ManagerName(EVeyManager manager)
{
    switch (manager)
    {
    case EVeyManager::kResource: return "resource";
    case EVeyManager::kBuffer: return "buffer";
    case EVeyManager::kMidi: return "midi";
    case EVeyManager::kView: return "view";
    }
    return "?";
}

// One definition in every group of the store.
void FillStore()
{
    CVeyScriptDefinitions& store = CVeyScriptDefinitions::GetInstance();
    store.GetBufferGroup().rootStructs.emplace_back("fmT");
    store.GetMidiGroup().outputs.emplace_back();
    store.GetViewGroup().rootPanels.emplace_back("mainT");
    store.GetResourceGroup().bitmaps.emplace_back();
}

class Managers : public ::testing::Test
{
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }

    static void Reset()
    {
        for (EVeyManager manager : kAllManagers)
            VeySetManagerStep(manager, {}, {});
        CVeyScriptDefinitions::GetInstance().Clear();
    }

    // Registers steps that log "create <name>" and "destroy <name>"; `failing` fails its create.
    void RegisterLoggingSteps(const EVeyManager* failing)
    {
        for (EVeyManager manager : kAllManagers)
        {
            const std::string name = ManagerName(manager);
            const bool fails = failing && *failing == manager;
            VeySetManagerStep(
                manager,
                [this, name, fails] {
                    m_log += "create " + name + "\n";
                    return !fails;
                },
                [this, name] { m_log += "destroy " + name + "\n"; });
        }
    }

    std::string m_log;
};
}

TEST_F(Managers, CreateInOrderAndDestroyInReverse)
{
    RegisterLoggingSteps(nullptr);
    FillStore();
    CTraceCapture capture;
    EXPECT_TRUE(VeyCreateManagers());
    EXPECT_EQ(m_log, "create resource\ncreate buffer\ncreate midi\ncreate view\n");
    VeyDestroyManagers();
    EXPECT_EQ(m_log, "create resource\ncreate buffer\ncreate midi\ncreate view\n"
                     "destroy view\ndestroy midi\ndestroy buffer\ndestroy resource\n");
    EXPECT_EQ(capture.Text(), "");
    EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().IsEmpty());
}

TEST_F(Managers, AFailingStepReportsAndTearsEverythingDown)
{
    const struct
    {
        EVeyManager failing;
        const char* creates;
        const char* message;
    } cases[] = {
        {EVeyManager::kResource, "create resource\n", "Unable to create resource manager.\n"},
        {EVeyManager::kBuffer, "create resource\ncreate buffer\n", "Unable to create buffer manager.\n"},
        {EVeyManager::kMidi, "create resource\ncreate buffer\ncreate midi\n", "Unable to create MIDI manager.\n"},
        {EVeyManager::kView, "create resource\ncreate buffer\ncreate midi\ncreate view\n",
         "Unable to create view manager.\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ManagerName(c.failing));
        m_log.clear();
        RegisterLoggingSteps(&c.failing);
        FillStore();
        CTraceCapture capture;
        EXPECT_FALSE(VeyCreateManagers());
        EXPECT_EQ(m_log, std::string(c.creates) + "destroy view\ndestroy midi\ndestroy buffer\ndestroy resource\n");
        EXPECT_EQ(capture.Text(), c.message);
        EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().IsEmpty());
    }
}

TEST_F(Managers, UnregisteredStepsSucceedAndClearTheirDefinitions)
{
    FillStore();
    EXPECT_TRUE(VeyCreateManagers());
    // Creation leaves the definitions to their managers.
    EXPECT_FALSE(CVeyScriptDefinitions::GetInstance().IsEmpty());

    // Only the view manager registered: it sees its own definitions; the others are cleared all the same.
    size_t panelsSeenAtTeardown = 0;
    VeySetManagerStep(EVeyManager::kView, [] { return true; }, [&panelsSeenAtTeardown] {
        panelsSeenAtTeardown = CVeyScriptDefinitions::GetInstance().GetViewGroup().rootPanels.size();
    });
    VeyDestroyManagers();
    EXPECT_EQ(panelsSeenAtTeardown, 1u);
    EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().IsEmpty());
}
