// The program's single-instance guard with real second processes: this test process is the
// first instance (it runs the event loop), the channel helper of tests/platform plays the others.
#include "toolkit/gt/InstanceManager.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class InstanceManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GT::CInstanceManager::SetChannelFolder(m_folder.Path());
        GT::CInstanceManager::SetRequestHandler([this](const std::string& request) { m_requests.push_back(request); });
    }
    void TearDown() override
    {
        GT::CInstanceManager::Close();
        GT::CInstanceManager::SetRequestHandler(nullptr);
        GT::CInstanceManager::SetChannelFolder("");
    }

    CTempDir m_folder;
    std::vector<std::string> m_requests;
};
}

TEST_F(InstanceManagerTest, RequestsWaitUntilStartUpHasFinished)
{
    {
        GT::CInstanceManager manager("Talvarix Editor");
        ASSERT_TRUE(manager.IsFirstInstance());
        CChildProcess starter(Q9_INSTANCE_HELPER, {m_folder.Path(), "InstanceManagerTalvarix Editor", "send",
                                                   "[open(\"/home/u/patch.q9e\")]"});
        EXPECT_EQ(starter.ReadLine(), "second");
        ASSERT_TRUE(GT::CInstanceManager::WaitForRequests(1, CChildProcess::kBoundMs));
        EXPECT_EQ(starter.Wait(), 0);
        // Still starting up: the request is kept back.
        EXPECT_TRUE(m_requests.empty());
    }
    // The manager, leaving the start-up routine's scope, opens the way.
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_EQ(m_requests[0], "[open(\"/home/u/patch.q9e\")]");

    // Later requests go straight to the handler.
    CChildProcess again(Q9_INSTANCE_HELPER, {m_folder.Path(), "InstanceManagerTalvarix Editor", "send", ""});
    ASSERT_TRUE(GT::CInstanceManager::WaitForRequests(2, CChildProcess::kBoundMs));
    EXPECT_EQ(again.Wait(), 0);
    ASSERT_EQ(m_requests.size(), 2u);
    EXPECT_EQ(m_requests[1], "");
}

TEST_F(InstanceManagerTest, SecondInstanceHandsItsRequestToTheFirst)
{
    CChildProcess first(Q9_INSTANCE_HELPER, {m_folder.Path(), "InstanceManagerTalvarix Librarian", "first", "1"});
    ASSERT_EQ(first.ReadLine(), "first");
    GT::CInstanceManager manager("Talvarix Librarian", "[open(\"/tmp/a.q9l\")]");
    EXPECT_FALSE(manager.IsFirstInstance());
    EXPECT_TRUE(manager.WasHandedOver());
    EXPECT_EQ(first.ReadLine(), "received:[open(\"/tmp/a.q9l\")]");
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_TRUE(m_requests.empty());
}
