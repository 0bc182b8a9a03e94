// The studio's log-on and log-off against the real server.
#include "studio/support/StudioTestKit.h"

#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPromptRecorder.h"
#include "transport/support/NetTestPeer.h"

#include <gtest/gtest.h>

using namespace studiotest;
using namespace kx;

namespace {

class SessionLogon : public StudioTest {
protected:
    void SetUp() override {
        StudioTest::SetUp();
        server = std::make_unique<StudioServer>();
        ASSERT_TRUE(server->Ok());
    }
};

TEST_F(SessionLogon, EachAnswerOfTheServerLeavesTheSessionAsItSays) {
    // bob is online elsewhere before the studio tries him.
    auto bob = server->LogOn("bob", "bob-pw");
    ASSERT_NE(bob, nullptr);
    struct Row {
        const char* logon;
        const char* password;
        int result;
    };
    const Row rows[] = {
        {"alice", kAlicePassword, kLogonOk},  {"alice", "wrong", kLogonWrongPassword},
        {"nobody", "x", kLogonNoSuchUser},    {"carol", "carol-pw", kLogonPaused},
        {"dave", "dave-pw", kLogonInvalid},   {"bob", "bob-pw", kLogonAlreadyOnline},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.logon + std::string("/") + row.password);
        ResetContext();
        TestStudioLink session;
        ObserverWindow dialog;
        session.SetLoginDialog(&dialog);
        ASSERT_EQ(session.SendLoginRequest(server->Port(), "127.0.0.1", StudioClient(row.logon, row.password)), 1);
        ASSERT_TRUE(PumpUntil([&] { return !dialog.commands.empty(); }));
        PumpFor(100ms);
        EXPECT_EQ(dialog.commands, std::vector<int>{CServerLink::kLoginAnswered});
        EXPECT_EQ(session.GetLoginResult(), row.result);
        if (row.result == kLogonOk) {
            EXPECT_EQ(session.GetCurrentUserId(), server->Id("user.alice"));
            EXPECT_EQ(KX_KXXXX().GetCurUser(), server->Id("user.alice"));
            EXPECT_EQ(session.GetUserName(), "alice");
            EXPECT_EQ(session.GetServerAddress(), "127.0.0.1");
        } else {
            EXPECT_EQ(session.GetCurrentUserId(), -1);
            EXPECT_EQ(KX_KXXXX().GetCurUser(), -1);
            EXPECT_EQ(session.GetUserName(), "");
            EXPECT_EQ(session.GetServerAddress(), "");
        }
    }
}

TEST_F(SessionLogon, AnotherUsersArrivalChangesNothing) {
    link = std::make_unique<TestStudioLink>();
    ASSERT_EQ(link->LogOn(server->Port(), "alice", kAlicePassword), kLogonOk);
    ObserverWindow dialog;
    link->SetLoginDialog(&dialog);
    auto su = server->LogOn("su", kSuPassword); // every session hears (1, 30) for su
    ASSERT_NE(su, nullptr);
    PumpFor(300ms);
    EXPECT_TRUE(dialog.commands.empty());
    EXPECT_EQ(link->GetCurrentUserId(), server->Id("user.alice"));
    EXPECT_EQ(link->GetLoginResult(), kLogonOk);
    // A second log-on of the same session is refused by the server ("already online"); the
    // session stays logged on as alice.
    EXPECT_EQ(link->SendLoginRequest(server->Port(), "127.0.0.1", StudioClient("alice", kAlicePassword)), 1);
    PumpFor(300ms);
    EXPECT_EQ(link->GetCurrentUserId(), server->Id("user.alice"));
    EXPECT_EQ(KX_KXXXX().GetCurUser(), server->Id("user.alice"));
}

TEST_F(SessionLogon, ARetryAfterARefusalGoesToTheAddressGivenNow) {
    link = std::make_unique<TestStudioLink>();
    ASSERT_EQ(link->LogOn(server->Port(), "alice", "wrong"), kLogonWrongPassword);
    // Nothing listens on a port whose listener has gone.
    int deadPort = 0;
    {
        nettest::HandleListener gone;
        ASSERT_TRUE(gone.Start(0, "127.0.0.1"));
        deadPort = gone.GetPort();
    }
    EXPECT_EQ(link->SendLoginRequest(deadPort, "127.0.0.1", StudioClient("alice", kAlicePassword)), 0);
    EXPECT_FALSE(link->IsRunning());
    // And the right server still takes the next try.
    EXPECT_EQ(link->LogOn(server->Port(), "alice", kAlicePassword), kLogonOk);
}

TEST_F(SessionLogon, ALogOffIsHeardByOthersAndIsNoLoss) {
    kx::PromptRecorder prompts;
    link = std::make_unique<TestStudioLink>();
    ASSERT_EQ(link->LogOn(server->Port(), "alice", kAlicePassword), kLogonOk);
    ObserverWindow main;
    link->Register(kSlotMainWindow, &main);
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    ASSERT_EQ(link->SendLogoffRequest(), 1);
    EXPECT_EQ(link->SendLogoffRequest(), 0); // once per log-on
    const auto heard = su->Wait(kMsgSession, kSubLogoff);
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->AsInt(), server->Id("user.alice"));
    EXPECT_TRUE(su->Quiet(kMsgSession, kSubLogoff));
    PumpFor(500ms);
    EXPECT_EQ(prompts.Count(), 0u);
    EXPECT_EQ(main.closes, 0);
    EXPECT_EQ(link->GetServerAddress(), "");
}

} // namespace
