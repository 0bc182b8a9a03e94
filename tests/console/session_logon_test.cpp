// The console session's log-on, log-off and connection handling against the real server
// program: the results of the log-on table, refusals that forget the user, a log-on that moves
// to another server, and what a lost connection does (and does not) report.
#include "console/support/ConsoleTestKit.h"

#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPromptRecorder.h"
#include "transport/NetListener.h"

#include <cstdlib>

namespace keepertest {
namespace {

using namespace kx;

class SessionLogonTest : public ConsoleTest {};

std::vector<int> Sorted(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// The ids of the online list a workstation gets from the server.
std::vector<int> OnlineIds(srvtest::TestClient& client) {
    std::vector<int> ids;
    if (!client.Send(kMsgSession, kSubOnlineUsers)) return ids;
    const auto series = client.WaitSeries(kMsgSession, kSubOnlineUsers);
    if (!series) return ids;
    for (const auto& a : *series) ids.push_back(a.AsInt());
    return ids;
}

TEST_F(SessionLogonTest, LogonTable) {
    ConsoleServer server;
    ASSERT_TRUE(server.Ok());
    const struct {
        const char* logon;
        const char* password;
        int result;
    } rows[] = {
        // Wrong passwords first: once an account is online the server answers 1 before it
        // looks at the password.
        {"su", "not-it", kLogonWrongPassword},
        {"nobody", "x", kLogonNoSuchUser},
        {"alice", "alice-pw", kLogonNoRight},
        {"sysop-paused", "paused-pw", kLogonPaused},
        {"sysop-off", "off-pw", kLogonInvalid},
        {"su", kSuPassword, kLogonOk},
        {"sysop", kSysopPassword, kLogonOk},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.logon);
        ResetContext();
        ConsoleLink link;
        RecordingWindow dialog;
        dialog.Watch(link, {});
        EXPECT_EQ(link.GetLogonResult(), ConsoleLink::kLogonResultNone);
        ASSERT_EQ(LogOn(link, server.Port(), row.logon, row.password), row.result);
        if (row.result == kLogonOk) {
            const int id = server.Id(std::string("user.") + row.logon);
            EXPECT_EQ(link.GetCurrentUserId(), id);
            EXPECT_EQ(KX_KXXXX().GetCurUser(), id);
            EXPECT_EQ(link.GetLogonName(), row.logon);
            EXPECT_EQ(link.GetServerAddress(), "127.0.0.1");
        } else {
            EXPECT_EQ(link.GetCurrentUserId(), -1);
            EXPECT_EQ(KX_KXXXX().GetCurUser(), -1);
            EXPECT_EQ(link.GetLogonName(), "");
            EXPECT_EQ(link.GetServerAddress(), "");
        }
        PumpFor(50ms);
        EXPECT_EQ(dialog.Count({0, 0, 0}), 1);
    }
}

TEST_F(SessionLogonTest, NameHeldByAnotherWorkstationIsAlreadyOnline) {
    ConsoleServer server;
    ASSERT_TRUE(server.Ok());
    auto studio = server.LogOn("su", kSuPassword);
    ASSERT_TRUE(studio);
    ConsoleLink link;
    EXPECT_EQ(LogOn(link, server.Port(), "su", kSuPassword), kLogonAlreadyOnline);
    EXPECT_EQ(link.GetCurrentUserId(), -1);
    EXPECT_EQ(link.GetLogonName(), "");
    // The first holder is still online; the refused console, not logged on, is not listed.
    EXPECT_EQ(OnlineIds(*studio), (std::vector<int>{server.Id("user.su")}));
    EXPECT_TRUE(link.IsRunning());
}

TEST_F(SessionLogonTest, RefusedLogonThenAnotherServerReachesTheSecond) {
    ConsoleServer first, second;
    ASSERT_TRUE(first.Ok() && second.Ok());
    auto watcher = first.LogOn("alice", "alice-pw");
    auto watcher2 = second.LogOn("alice", "alice-pw");
    ASSERT_TRUE(watcher && watcher2);
    const int alice = first.Id("user.alice");
    ConsoleLink link;
    ASSERT_EQ(LogOn(link, first.Port(), "su", "not-it"), kLogonWrongPassword);
    // The refused console stays connected to the first server, not logged on (so not listed).
    EXPECT_TRUE(link.IsRunning());
    EXPECT_EQ(Sorted(OnlineIds(*watcher)), (std::vector<int>{alice}));

    ASSERT_EQ(LogOn(link, second.Port(), "su", kSuPassword), kLogonOk);
    EXPECT_EQ(link.GetCurrentUserId(), second.Id("user.su"));
    EXPECT_EQ(Sorted(OnlineIds(*watcher2)), Sorted({alice, second.Id("user.su")}));
    EXPECT_EQ(OnlineIds(*watcher), std::vector<int>{alice});
}

TEST_F(SessionLogonTest, OneLogonAtATimeAndOneLogoff) {
    ConsoleServer server;
    ASSERT_TRUE(server.Ok());
    ConsoleLink link;
    RecordingWindow dialog;
    dialog.Watch(link, {});
    const CkxClient client = ConsoleClient("su", kSuPassword);
    ASSERT_EQ(link.SendLogonRequest(server.Port(), "127.0.0.1", client), 1);
    // A second press while the answer is awaited sends nothing.
    EXPECT_EQ(link.SendLogonRequest(server.Port(), "127.0.0.1", client), 0);
    ASSERT_TRUE(PumpUntil([&] { return dialog.CountOf(0) == 1; }));
    EXPECT_EQ(link.GetLogonResult(), kLogonOk);
    PumpFor(200ms);
    EXPECT_EQ(dialog.CountOf(0), 1);

    EXPECT_EQ(link.SendLogoffRequest(), 1);
    EXPECT_EQ(link.GetServerAddress(), "");
    EXPECT_EQ(link.GetCurrentUserId(), server.Id("user.su"));
    EXPECT_EQ(link.SendLogoffRequest(), 0);
}

TEST_F(SessionLogonTest, EmptyAddressOrNameSendsNothing) {
    ConsoleLink link;
    CkxClient client;
    client.m_strLogon = "su";
    EXPECT_EQ(link.SendLogonRequest(1, "", client), 0);
    client.m_strLogon.clear();
    EXPECT_EQ(link.SendLogonRequest(1, "127.0.0.1", client), 0);
    EXPECT_FALSE(link.IsRunning());
}

// A port nobody listens on (bound once, then released).
int FreePort() {
    NetListener probe;
    if (!probe.Start(0, "127.0.0.1")) return 0;
    const int port = probe.GetPort();
    probe.CloseAndStop();
    return port;
}

class LostConnectionTest : public ConsoleTest {
protected:
    kx::PromptRecorder prompts;
    RecordingWindow main;
};

TEST_F(LostConnectionTest, KilledServerWarnsOnceAndClosesTheMainWindow) {
    ConsoleServer server;
    ASSERT_TRUE(server.Ok());
    ConsoleLink link;
    link.SetMainWindow(&main);
    ASSERT_EQ(LogOn(link, server.Port(), "su", kSuPassword), kLogonOk);
    server.Process().Kill();
    ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0; }));
    PumpFor(300ms);
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.LastText(), ConsoleLink::kLostText);
    EXPECT_EQ(prompts.Requests()[0].icon, kx::PromptWarning);
    EXPECT_EQ(main.closes, 1);
}

TEST_F(LostConnectionTest, ServerClosingAfterOwnLogoffIsNoLoss) {
    ConsoleServer server;
    ASSERT_TRUE(server.Ok());
    ConsoleLink link;
    link.SetMainWindow(&main);
    ASSERT_EQ(LogOn(link, server.Port(), "su", kSuPassword), kLogonOk);
    ASSERT_EQ(link.SendLogoffRequest(), 1);
    ASSERT_TRUE(PumpUntil([&] { return link.IsFailed(); }));
    PumpFor(300ms);
    EXPECT_EQ(prompts.Count(), 0u);
    EXPECT_EQ(main.closes, 0);
    // The next log-on connects anew.
    EXPECT_EQ(LogOn(link, server.Port(), "su", kSuPassword), kLogonOk);
}

TEST_F(LostConnectionTest, BeforeAnyLogonAFailureIsSilentAndTheNextLogonConnectsAnew) {
    ConsoleLink link;
    link.SetMainWindow(&main);
    const int port = FreePort();
    ASSERT_GT(port, 0);
    EXPECT_EQ(LogOn(link, port, "su", kSuPassword), -100); // nobody listens
    {
        // Connected and refused, then the server dies: still nothing to report.
        ConsoleServer doomed;
        ASSERT_TRUE(doomed.Ok());
        ASSERT_EQ(LogOn(link, doomed.Port(), "su", "not-it"), kLogonWrongPassword);
        doomed.Process().Kill();
        ASSERT_TRUE(PumpUntil([&] { return link.IsFailed(); }));
    }
    ConsoleServer server("127.0.0.1", port);
    ASSERT_TRUE(server.Ok());
    EXPECT_EQ(LogOn(link, port, "su", kSuPassword), kLogonOk);
    PumpFor(200ms);
    EXPECT_EQ(prompts.Count(), 0u);
    EXPECT_EQ(main.closes, 0);
}

TEST_F(SessionLogonTest, LogonWithoutAPortUsesTheServicePort) {
    ConsoleServer server;
    ASSERT_TRUE(server.Ok());
    ::setenv("VARNIA_PORT", std::to_string(server.Port()).c_str(), 1);
    ConsoleLink link;
    RecordingWindow dialog;
    dialog.Watch(link, {});
    const int sent = link.SendLogonRequest("127.0.0.1", ConsoleClient("su", kSuPassword));
    ::unsetenv("VARNIA_PORT");
    ASSERT_EQ(sent, 1);
    ASSERT_TRUE(PumpUntil([&] { return dialog.CountOf(0) == 1; }));
    EXPECT_EQ(link.GetLogonResult(), kLogonOk);
}

} // namespace
} // namespace keepertest
