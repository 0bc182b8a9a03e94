// Request dispatch and the shared list/add/modify/delete pattern over loopback: ignored types,
// announcements to every session, list answers as packet series, refused requests that send
// nothing and leave memory alone, and many clients changing the catalogue at once.
#include "db/AdoRecordset.h"
#include "model/CkxKeywordGroup.h"
#include "server/support/TestCatalogue.h"
#include "server/support/TestServer.h"
#include "service/EntityService.h"
#include "service/OperationLog.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <thread>

using namespace srvtest;

namespace {

constexpr int kType = kx::kMsgKeywordGroup; // a plain (id, name, note) record

// The test's own in-memory list (the pattern is tested, not the keyword-group service).
CkxKeywordGroupList& Groups() {
    static CkxKeywordGroupList list;
    return list;
}

KxEntitySpec<CkxKeywordGroup> GroupSpec() {
    KxEntitySpec<CkxKeywordGroup> spec;
    spec.type = kType;
    spec.logCategory = KXLOG_CAT_FILEADMIN;
    spec.noun = "group";
    kx::UseMemoryList(spec, [] () -> CkxKeywordGroupList& { return Groups(); });
    spec.insert = [](CADODatabase& db, CkxKeywordGroup& rec) {
        CADOFieldList f;
        f.AddText("T_Name", rec.m_strName);
        f.AddText("T_Remark", rec.m_strNote);
        const int id = db.Insert("VUZO_KeywordGroup", f);
        if (id <= 0) return 0;
        rec.m_nID = id;
        return 1;
    };
    spec.update = [](CADODatabase& db, const CkxKeywordGroup& rec) {
        CADOFieldList set, where;
        set.AddText("T_Name", rec.m_strName);
        set.AddText("T_Remark", rec.m_strNote);
        where.AddInt("T_ID = ", rec.m_nID);
        return db.Update("VUZO_KeywordGroup", set, where);
    };
    spec.remove = [](CADODatabase& db, int id) { return db.Delete("VUZO_KeywordGroup", id); };
    spec.logAction = [](int subOp, const CkxKeywordGroup& rec) -> std::string {
        return subOp == kx::kSubDelete ? "删除组<" + rec.m_strName + ">" : "保存组<" + rec.m_strName + ">";
    };
    return spec;
}

// The pattern as the handler of type 44 for one test, on an empty list. The list is emptied
// under the catalogue mutex: the server's sessions may be running a handler on it.
struct GroupService {
    explicit GroupService(TestServer& server, KxEntitySpec<CkxKeywordGroup> spec = GroupSpec())
        : server(server) {
        Clear();
        handler.emplace(kType, [spec](KxRequest& r) { kx::HandleEntityRequest(spec, r); });
    }
    ~GroupService() {
        handler.reset(); // no new request reaches the list after it is emptied
        Clear();
    }
    void Clear() {
        server.Locked([] {
            Groups().DeleteAll();
            return 0;
        });
    }
    TestServer& server;
    std::optional<ScopedHandler> handler;
};

KxNameNoteCom Group(int id, const std::string& name, const std::string& note = "") {
    return kx::MakeNameNoteCom(id, name, note);
}

CkxKeywordGroup Read(const Answer& a) {
    KxNameNoteCom com{};
    EXPECT_TRUE(a.As(com));
    return CkxKeywordGroup(com);
}

} // namespace

TEST(Session, IgnoredTypesGetNoAnswerAndTheSessionKeepsWorking) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto client = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(client);
    for (int type : {0, int{kx::kMsgUnused2}, int{kx::kMsgUnused8}, int{kx::kMsgUnused9}, int{kx::kMsgUnused46}, 53, 60, 65535}) client->Send(type, kx::kSubList, "x", 1);
    client->Send(kx::kMsgServerRecord, kx::kSubList);
    // Answers come in request order on one session: the server record is the first and only.
    const auto answer = client->Wait(kx::kMsgServerRecord, kx::kSubList);
    ASSERT_TRUE(answer);
    EXPECT_TRUE(client->Pending().empty());
    EXPECT_EQ(server.Server().Sessions().GetCount(), 1);
    EXPECT_FALSE(client->IsClosed());
}

// Every type the protocol serves has its handler in the linked server (a service left out by
// the linker would silently drop its requests); the types it does not serve take none.
TEST(Session, EveryServedTypeHasAHandlerAndNoOtherTypeTakesOne) {
    CRequestDispatcher& table = kx::RequestTable();
    const auto rows = kx::RequestRows();
    ASSERT_EQ(rows.size(), 52u);
    for (int type = kx::kMsgTypeFirst; type <= kx::kMsgTypeLast; ++type) {
        const bool served = type != kx::kMsgUnused2 && type != kx::kMsgUnused8 &&
                            type != kx::kMsgUnused9 && type != kx::kMsgUnused46;
        EXPECT_EQ(rows[type - 1].type, type); // one row per type, in type order
        EXPECT_EQ(rows[type - 1].handler != nullptr, served) << type;
        EXPECT_EQ(table.HasHandler(type), served) << type;
    }
    // A type the table does not serve cannot be given a handler, not even by a test.
    for (int type : {0, int{kx::kMsgUnused2}, int{kx::kMsgUnused8}, int{kx::kMsgUnused9}, int{kx::kMsgUnused46}, 53, 60, -1}) {
        EXPECT_FALSE(table.Swap(type, {[](KxRequest&) {}}).handler) << type;
        EXPECT_FALSE(table.HasHandler(type)) << type;
    }
}

TEST(Session, ChangesReachEverySessionWithTheRequestsTypeAndSubOperation) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    GroupService service(server);
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    auto idle = server.Connect(); // registered but not logged on: overhears no change
    ASSERT_TRUE(alice && bob && idle);
    ASSERT_TRUE(server.WaitForSessions(3));
    std::vector<TestClient*> all = {alice.get(), bob.get()};

    alice->SendRecord(kType, kx::kSubAdd, Group(-1, "风景", "outdoor"));
    int id = -1;
    for (TestClient* c : all) {
        const auto added = c->Wait(kType, kx::kSubAdd);
        ASSERT_TRUE(added);
        EXPECT_EQ(added->flag, 0);
        const CkxKeywordGroup g = Read(*added);
        EXPECT_GT(g.m_nID, 0);
        EXPECT_EQ(g.m_strName, "风景");
        if (id == -1) id = g.m_nID;
        EXPECT_EQ(g.m_nID, id);
    }
    EXPECT_EQ(server.Locked([] { return Groups().GetCount(); }), 1);
    EXPECT_EQ(RowCount(server.Db(), "SELECT * FROM VUZO_KeywordGroup WHERE T_Name = '风景'"), 1);

    bob->SendRecord(kType, kx::kSubModify, Group(id, "山水", "changed"));
    for (TestClient* c : all) {
        const auto changed = c->Wait(kType, kx::kSubModify);
        ASSERT_TRUE(changed);
        EXPECT_EQ(changed->flag, 0);
        EXPECT_EQ(Read(*changed).m_strName, "山水");
    }
    EXPECT_EQ(server.Locked([&] { return Groups().Find(id)->m_strNote; }), "changed");

    alice->SendText(kType, kx::kSubDelete, std::to_string(id));
    for (TestClient* c : all) {
        const auto deleted = c->Wait(kType, kx::kSubDelete);
        ASSERT_TRUE(deleted);
        EXPECT_EQ(deleted->flag, 0);
        EXPECT_EQ(deleted->payload, std::to_string(id));
    }
    for (int sub : {kx::kSubAdd, kx::kSubModify, kx::kSubDelete}) EXPECT_TRUE(idle->Quiet(kType, sub, 100ms)) << sub;
    EXPECT_EQ(server.Locked([] { return Groups().GetCount(); }), 0);
    EXPECT_EQ(RowCount(server.Db(), "SELECT * FROM VUZO_KeywordGroup"), 0);

    // One log line per change, with the acting user; the delete as a warning.
    CkxLog filter;
    CkxLogList lines;
    filter.m_nType = KXLOG_CAT_FILEADMIN;
    ASSERT_EQ(QueryLog(&server.Db(), filter, lines), 3);
    POSITION p = lines.GetHeadPosition();
    const CkxLog add = lines.GetNext(p), modify = lines.GetNext(p), remove = lines.GetNext(p);
    EXPECT_EQ(add.m_strEvent, "<alice> 保存组<风景>");
    EXPECT_EQ(add.m_nLev, KXLOG_INFO);
    EXPECT_EQ(modify.m_strEvent, "<bob> 保存组<山水>");
    EXPECT_EQ(modify.m_nUser, server.UserId("bob"));
    EXPECT_EQ(remove.m_strEvent, "<alice> 删除组<山水>");
    EXPECT_EQ(remove.m_nLev, KXLOG_WARN);
}

TEST(Session, ListAnswerIsAPacketSeriesAndAnEmptyListSendsNothing) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    GroupService service(server);
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);

    alice->Send(kType, kx::kSubList);
    EXPECT_TRUE(alice->Quiet(kType, kx::kSubList));

    const struct {
        int count;
        std::vector<int> positions;
    } cases[] = {
        {1, {kSeriesOnly}},
        {3, {kSeriesFirst, kSeriesMiddle, kSeriesLast}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        server.Locked([&] {
            Groups().DeleteAll();
            for (int i = 0; i < c.count; ++i)
                Groups().AddTail(CkxKeywordGroup(Group(100 + i, "g" + std::to_string(i))));
            return 0;
        });
        alice->Send(kType, kx::kSubList);
        const auto list = alice->WaitSeries(kType, kx::kSubList);
        ASSERT_TRUE(list);
        ASSERT_EQ(static_cast<int>(list->size()), c.count);
        for (int i = 0; i < c.count; ++i) {
            const Answer& a = (*list)[static_cast<size_t>(i)];
            EXPECT_EQ(a.seriesPos, c.positions[static_cast<size_t>(i)]);
            EXPECT_EQ(a.seriesIndex, c.count - 1 - i);
            EXPECT_EQ(a.flag, 0);
            EXPECT_EQ(Read(a).m_nID, 100 + i);
        }
    }
}

TEST(Session, RefusedRequestsSendNothingAndLeaveMemoryAsItWas) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    GroupService service(server);
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(alice && bob);
    alice->SendRecord(kType, kx::kSubAdd, Group(-1, "kept"));
    const auto added = bob->Wait(kType, kx::kSubAdd);
    ASSERT_TRUE(added);
    const int id = Read(*added).m_nID;
    ASSERT_TRUE(alice->Wait(kType, kx::kSubAdd));

    ServerWarnings warnings;
    kxtest::DbErrorLog dbLines; // the refused statements' own lines, apart from the refusals
    const KxNameNoteCom rename = Group(id, "renamed");
    alice->Send(kType, kx::kSubAdd, &rename, sizeof rename - 1);      // short record
    alice->Send(kType, kx::kSubModify, &rename, 10);                      // short record
    alice->SendRecord(kType, kx::kSubModify, Group(id + 50, "unknown"));   // no such id
    alice->SendText(kType, kx::kSubDelete, std::to_string(id) + "x");      // not a number
    alice->SendText(kType, kx::kSubDelete, "");                            // no id at all
    alice->SendText(kType, kx::kSubDelete, std::to_string(id + 50));       // no such id
    // The database refuses every write once its table is gone.
    ASSERT_TRUE(server.Locked([&] { return server.Db().Execute("DROP TABLE VUZO_KeywordGroup"); }));
    alice->SendRecord(kType, kx::kSubAdd, Group(-1, "lost"));
    alice->SendRecord(kType, kx::kSubModify, rename);
    alice->SendText(kType, kx::kSubDelete, std::to_string(id));
    alice->Send(kx::kMsgServerRecord, kx::kSubList); // answered after all of the above: they have been handled
    ASSERT_TRUE(alice->Wait(kx::kMsgServerRecord, kx::kSubList));

    EXPECT_TRUE(bob->Quiet(kType, -1));
    EXPECT_EQ(alice->Count(kType, -1), 0);
    server.Locked([&] {
        EXPECT_EQ(Groups().GetCount(), 1);
        EXPECT_EQ(Groups().Find(id)->m_strName, "kept");
        return 0;
    });
    EXPECT_EQ(warnings.Lines().size(), 9u);
    EXPECT_EQ(dbLines.lines.size(), 3u); // the three writes on the dropped table
}

TEST(Session, RecipientsGetTheirOwnCopyOrOnlyTheRequesterHears) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    KxEntitySpec<CkxKeywordGroup> spec = GroupSpec();
    spec.tailor = [](const CClientSession& to, KxNameNoteCom& com) {
        kx::PutText(com.szNote, "for " + std::to_string(to.GetUserID()));
    };
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(alice && bob);
    {
        GroupService service(server, spec);
        alice->SendRecord(kType, kx::kSubAdd, Group(-1, "mine", "secret"));
        for (TestClient* c : {alice.get(), bob.get()}) {
            const auto added = c->Wait(kType, kx::kSubAdd);
            ASSERT_TRUE(added);
            EXPECT_EQ(Read(*added).m_strNote, "for " + std::to_string(c->UserId()));
        }
        bob->Send(kType, kx::kSubList);
        const auto list = bob->WaitSeries(kType, kx::kSubList);
        ASSERT_TRUE(list);
        EXPECT_EQ(Read(list->front()).m_strNote, "for " + std::to_string(bob->UserId()));
    }
    spec.tailor = nullptr;
    spec.announceToRequesterOnly = true;
    {
        GroupService service(server, spec);
        bob->SendRecord(kType, kx::kSubAdd, Group(-1, "private"));
        EXPECT_TRUE(bob->Wait(kType, kx::kSubAdd));
        EXPECT_TRUE(alice->Quiet(kType, kx::kSubAdd));
    }
}

TEST(Session, ManyClientsChangingAtOnceAllHearEveryChange) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    GroupService service(server);
    constexpr int kClients = 4, kAdds = 25;
    std::vector<std::unique_ptr<TestClient>> clients;
    clients.push_back(server.LogOn("alice", "alice-pw"));
    clients.push_back(server.LogOn("bob", "bob-pw"));
    clients.push_back(server.LogOnAdmin());
    clients.push_back(server.Connect());
    for (auto& c : clients) ASSERT_TRUE(c);
    ASSERT_EQ(clients[3]->LogOn("nobody", "x"), 3); // not logged on: may not add, hears nothing

    std::vector<std::thread> senders;
    for (int c = 0; c < kClients; ++c)
        senders.emplace_back([&, c] {
            for (int i = 0; i < kAdds; ++i)
                clients[static_cast<size_t>(c)]->SendRecord(kType, kx::kSubAdd, Group(-1, "c" + std::to_string(c) + "-" + std::to_string(i)));
        });
    for (auto& t : senders) t.join();

    constexpr int kStored = (kClients - 1) * kAdds;
    for (auto& c : clients) {
        if (c == clients[3]) continue; // never logged on: checked below
        std::set<int> ids;
        for (int i = 0; i < kStored; ++i) {
            const auto a = c->Wait(kType, kx::kSubAdd);
            ASSERT_TRUE(a) << "after " << i;
            ids.insert(Read(*a).m_nID);
        }
        EXPECT_EQ(static_cast<int>(ids.size()), kStored);
        EXPECT_TRUE(c->Quiet(kType, kx::kSubAdd, 100ms));
    }
    EXPECT_TRUE(clients[3]->Quiet(kType, kx::kSubAdd, 100ms));
    EXPECT_EQ(server.Locked([] { return Groups().GetCount(); }), kStored);
    EXPECT_EQ(RowCount(server.Db(), "SELECT * FROM VUZO_KeywordGroup"), kStored);
}
