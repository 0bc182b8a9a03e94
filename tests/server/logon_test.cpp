// Log on, log off and the online users (message type 1) over loopback against the real server
// core, with the catalogue's seeded accounts.
#include "model/CkxXXX.h"
#include "server/support/TestServer.h"

#include <gtest/gtest.h>

using namespace srvtest;

namespace {

bool IsOnline(TestServer& server, int userId) {
    return server.Locked([&] {
        const CkxUser* u = KX_KXXXX().m_UserList.Find(userId);
        return u && u->m_nOnline != 0;
    });
}

// Waits until the user's online mark is `online`.
bool WaitOnline(TestServer& server, int userId, bool online) {
    for (int i = 0; i < 500; ++i) {
        if (IsOnline(server, userId) == online) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

} // namespace

TEST(Logon, ResultTableCoversEveryOutcome) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto first = server.LogOn("alice", "alice-pw"); // makes alice already online
    ASSERT_TRUE(first);

    const struct {
        const char* logon;
        const char* password;
        int kind;
        int result;
        int userId; // -2: the seeded id of the log-on name
    } cases[] = {
        {"bob", "bob-pw", CkxClient::MS_STUDIO, 0, -2},
        {"alice", "alice-pw", CkxClient::MS_STUDIO, 1, -2},   // already online
        {"bob", "bob-pw", CkxClient::MS_MANAGER, 2, -2},      // console without system admin
        {"bob", "wrong", CkxClient::MS_MANAGER, 6, -2},       // ...told only after the right password
        {"nobody", "x", CkxClient::MS_STUDIO, 3, -1},
        {"carol", "carol-pw", CkxClient::MS_STUDIO, 4, -2},   // paused
        {"dave", "dave-pw", CkxClient::MS_STUDIO, 5, -2},     // invalid
        {"bob", "BOB-PW", CkxClient::MS_STUDIO, 6, -2},       // passwords compare exactly
        {"su", TestServer::kAdminPassword, CkxClient::MS_MANAGER, 0, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.logon) + " kind " + std::to_string(c.kind));
        // A fresh client for each case; a successful log-on is logged off again, so the later
        // cases find the user offline.
        auto client = server.Connect();
        ASSERT_TRUE(client);
        int id = 12345;
        EXPECT_EQ(client->LogOn(c.logon, c.password, c.kind, &id), c.result);
        EXPECT_EQ(id, c.userId == -2 ? server.UserId(c.logon) : c.userId);
        if (c.result == 0) {
            EXPECT_TRUE(IsOnline(server, id));
            client->SendText(kx::kMsgSession, kx::kSubLogoff, std::to_string(id));
            EXPECT_TRUE(client->WaitClosed());
            EXPECT_TRUE(WaitOnline(server, id, false));
        }
    }
    // The first session of alice kept its user and still works.
    EXPECT_TRUE(IsOnline(server, first->UserId()));
    first->Send(kx::kMsgServerRecord, kx::kSubList);
    EXPECT_TRUE(first->Wait(kx::kMsgServerRecord, kx::kSubList));
}

TEST(Logon, FailedAttemptMayBeRetriedAndOnlyLogOnIsServedBefore) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto client = server.Connect();
    ASSERT_TRUE(client);
    // Before a log-on every other request is dropped.
    client->Send(kx::kMsgServerRecord, kx::kSubList);
    client->Send(kx::kMsgSession, kx::kSubOnlineUsers);
    EXPECT_TRUE(client->Quiet(kx::kMsgServerRecord, -1));
    EXPECT_EQ(client->Count(kx::kMsgSession, kx::kSubOnlineUsers), 0);

    EXPECT_EQ(client->LogOn("alice", "wrong"), 6);
    EXPECT_EQ(client->LogOn("nobody", "x"), 3);
    EXPECT_EQ(client->LogOn("alice", "alice-pw"), 0);
    client->Send(kx::kMsgServerRecord, kx::kSubList);
    EXPECT_TRUE(client->Wait(kx::kMsgServerRecord, kx::kSubList));

    // A second log-on on the same session is refused; the first user stays.
    int id = 0;
    EXPECT_EQ(client->LogOn("bob", "bob-pw", CkxClient::MS_STUDIO, &id), 1);
    EXPECT_EQ(id, server.UserId("alice"));
    EXPECT_FALSE(IsOnline(server, server.UserId("bob")));
}

TEST(Logon, ShortLogOnRecordIsDropped) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto client = server.Connect();
    ASSERT_TRUE(client);
    CkxClient::_COM com = CkxClient().GetComData();
    kx::PutText(com.szLogon, "alice");
    kx::PutText(com.szPassword, "alice-pw");
    client->Send(kx::kMsgSession, kx::kSubLogon, &com, sizeof com - 1);
    EXPECT_TRUE(client->Quiet(kx::kMsgSession, kx::kSubLogon));
    EXPECT_FALSE(IsOnline(server, server.UserId("alice")));
    EXPECT_EQ(client->LogOn("alice", "alice-pw"), 0); // the session keeps working
}

TEST(Logon, OthersHearOnceThatAUserCameOnline) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto watcher = server.LogOn("alice", "alice-pw");
    auto idle = server.Connect(); // not logged on: overhears nothing
    ASSERT_TRUE(watcher && idle);
    ASSERT_TRUE(server.WaitForSessions(2));

    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(bob);
    const int bobId = server.UserId("bob");
    for (TestClient* c : {watcher.get()}) {
        const auto notice = c->Wait(kx::kMsgSession, kx::kSubUserOnline);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->flag, 0);
        EXPECT_EQ(notice->payload, std::to_string(bobId));
        EXPECT_TRUE(c->Quiet(kx::kMsgSession, kx::kSubUserOnline)); // exactly one
    }
    EXPECT_TRUE(idle->Quiet(kx::kMsgSession, kx::kSubUserOnline));
    EXPECT_TRUE(bob->Quiet(kx::kMsgSession, kx::kSubUserOnline)); // the new session hears nothing of itself
    // A failed log-on is announced to nobody.
    auto failed = server.Connect();
    EXPECT_EQ(failed->LogOn("carol", "carol-pw"), 4);
    EXPECT_TRUE(watcher->Quiet(kx::kMsgSession, kx::kSubUserOnline));
}

TEST(Logon, LogOffEndsTheRequestersOwnUserWhateverIdItNames) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    auto su = server.LogOnAdmin();
    ASSERT_TRUE(alice && bob && su);
    ASSERT_TRUE(alice->Wait(kx::kMsgSession, kx::kSubUserOnline) && alice->Wait(kx::kMsgSession, kx::kSubUserOnline));
    ASSERT_TRUE(bob->Wait(kx::kMsgSession, kx::kSubUserOnline));
    const int aliceId = server.UserId("alice"), bobId = server.UserId("bob");

    // alice asks to log bob off: alice herself ends.
    alice->SendText(kx::kMsgSession, kx::kSubLogoff, std::to_string(bobId));
    EXPECT_TRUE(alice->WaitClosed());
    for (TestClient* c : {bob.get(), su.get()}) {
        const auto gone = c->Wait(kx::kMsgSession, kx::kSubLogoff);
        ASSERT_TRUE(gone);
        EXPECT_EQ(gone->payload, std::to_string(aliceId));
        EXPECT_EQ(gone->flag, 0);
    }
    EXPECT_TRUE(server.WaitForSessions(2));
    EXPECT_TRUE(WaitOnline(server, aliceId, false));
    EXPECT_TRUE(IsOnline(server, bobId));
    // bob still works; alice may log on again from a new connection.
    bob->Send(kx::kMsgServerRecord, kx::kSubList);
    EXPECT_TRUE(bob->Wait(kx::kMsgServerRecord, kx::kSubList));
    auto again = server.LogOn("alice", "alice-pw");
    EXPECT_TRUE(again);
}

TEST(Logon, DroppedConnectionTellsEveryOtherSession) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    auto idle = server.Connect();
    ASSERT_TRUE(alice && bob && idle);
    ASSERT_TRUE(server.WaitForSessions(3));
    const int bobId = server.UserId("bob");

    bob->StopAndClose();
    for (TestClient* c : {alice.get()}) {
        const auto gone = c->Wait(kx::kMsgSession, kx::kSubLogoff);
        ASSERT_TRUE(gone);
        EXPECT_EQ(gone->payload, std::to_string(bobId));
        EXPECT_TRUE(c->Quiet(kx::kMsgSession, kx::kSubLogoff)); // once
    }
    EXPECT_TRUE(idle->Quiet(kx::kMsgSession, kx::kSubLogoff)); // a session that never logged on overhears nothing
    EXPECT_TRUE(server.WaitForSessions(2));
    EXPECT_TRUE(WaitOnline(server, bobId, false));

    // A session that never logged on is removed too, and nobody hears of it.
    idle->StopAndClose();
    EXPECT_TRUE(server.WaitForSessions(1));
    EXPECT_TRUE(alice->Quiet(kx::kMsgSession, kx::kSubLogoff));
}

// A workstation that logs off, or loses its connection, and logs on again at once may reach the
// server before the end of its old connection has been handled: it must not be refused as
// already logged on, and the others must end up knowing the user is online.
TEST(Logon, AUserBackAtOnceAfterALogOffOrADroppedConnectionIsLetIn) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto su = server.LogOnAdmin();
    ASSERT_TRUE(su);
    const int aliceId = server.UserId("alice");
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        if (round % 2 == 0) alice->SendText(kx::kMsgSession, kx::kSubLogoff, std::to_string(aliceId));
        alice->StopAndClose();
        alice = server.Connect();
        ASSERT_TRUE(alice);
        ASSERT_EQ(alice->LogOn("alice", "alice-pw"), 0);
    }
    // Once every old connection has been removed, alice is online through the last one, and
    // the last word su heard of her says so.
    ASSERT_TRUE(server.WaitForSessions(2));
    EXPECT_TRUE(IsOnline(server, aliceId));
    su->Send(kx::kMsgSession, kx::kSubOnlineUsers);
    ASSERT_TRUE(su->Wait(kx::kMsgSession, kx::kSubOnlineUsers));
    int last = 0;
    for (const Answer& a : su->Pending())
        if (a.type == kx::kMsgSession && a.AsInt() == aliceId &&
            (a.subOp == kx::kSubUserOnline || a.subOp == kx::kSubLogoff))
            last = a.subOp;
    EXPECT_EQ(last, kx::kSubUserOnline);
    alice->Send(kx::kMsgServerRecord, kx::kSubList);
    EXPECT_TRUE(alice->Wait(kx::kMsgServerRecord, kx::kSubList));
}

TEST(Logon, OnlineUsersListTheLoggedOnSessionsInRegistryOrder) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    auto idle = server.Connect();
    auto unknown = server.Connect();
    ASSERT_TRUE(idle && unknown);
    EXPECT_EQ(unknown->LogOn("nobody", "x"), 3);
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(bob);
    ASSERT_TRUE(server.WaitForSessions(4));

    // Connections that have not logged on (or failed to) have no user to list.
    alice->Send(kx::kMsgSession, kx::kSubOnlineUsers);
    const auto list = alice->WaitSeries(kx::kMsgSession, kx::kSubOnlineUsers);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].AsInt(), server.UserId("alice"));
    EXPECT_EQ((*list)[1].AsInt(), server.UserId("bob"));
    EXPECT_EQ((*list)[0].seriesPos, kSeriesFirst);
    EXPECT_EQ((*list)[1].seriesPos, kSeriesLast);
    EXPECT_EQ((*list)[1].seriesIndex, 0);
    for (const auto& a : *list) EXPECT_EQ(a.flag, 0);
}
