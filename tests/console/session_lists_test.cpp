// The console session's lists against the real server program: every list the console asks
// for after a log-on, the host information and the log, changes a second workstation makes,
// and a burst of changes while the GUI thread reads the lists.
#include "console/support/ConsoleTestKit.h"

#include "model/CkxBuf.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxGuiThread.h"

#include <QTimer>

#include <algorithm>
#include <cstring>
#include <set>

namespace keepertest {
namespace {

using namespace kx;

// Ids of a context list, in list order.
template <class List>
std::vector<int> Ids(const List& list) {
    std::vector<int> ids;
    list.ForEach([&](const auto& r) { ids.push_back(r.GetID()); });
    return ids;
}

// Ids of the records a workstation gets for a list request, in the server's order.
template <class Com>
std::vector<int> ServerIds(srvtest::TestClient& client, int type) {
    std::vector<int> ids;
    EXPECT_TRUE(client.Send(type, kSubList));
    const auto series = client.WaitSeries(type, kSubList);
    if (!series) return ids;
    for (const auto& a : *series) {
        Com com{};
        std::memcpy(&com, a.payload.data(), std::min(sizeof com, a.payload.size()));
        ids.push_back(com.nID);
    }
    return ids;
}

// The console's list requests in the order the program sends them after a log-on.
void RequestAllLists(ConsoleLink& link) {
    EXPECT_EQ(link.SendServerListRequest(), 1);
    EXPECT_EQ(link.SendUserRoleListRequest(), 1);
    EXPECT_EQ(link.SendGroupListRequest(), 1);
    EXPECT_EQ(link.SendFileRoleListRequest(), 1);
    EXPECT_EQ(link.SendFolderRoleListRequest(), 1);
    EXPECT_EQ(link.SendUserListRequest(), 1);
    EXPECT_EQ(link.SendOnlineListRequest(), 1);
}

const std::vector<int> kListTypes = {kMsgSession, kMsgHostInfo, kMsgUser, kMsgUserGroup, kMsgUserRole,
                                     kMsgFileRole, kMsgFolderRole, kMsgLogQuery};

NetMessage GroupMessage(int subOp, const CkxUserGroup& group) {
    const CkxUserGroup::_COM com = group.GetComData();
    CkxBuf members;
    group.BuildQueryBuf(members);
    NetMessage m;
    m.SetCommand(kMsgUserGroup, subOp);
    m.SetQueueClass(3);
    m.AppendData(&com, sizeof com);
    m.AppendData(members.GetBuf(), static_cast<size_t>(members.GetLen()));
    return m;
}

// A console logged on as the system administrator "sysop", with the administrator "su" on a
// second workstation who has made one group (alice and bob), a file role and a folder role.
class SessionListsTest : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        ASSERT_TRUE(server.Ok());
        su = server.LogOn("su", kSuPassword);
        ASSERT_TRUE(su);
        CkxUserGroup group;
        group.m_strName = "editors";
        group.m_UserList = {server.Id("user.alice"), server.Id("user.bob")};
        ASSERT_TRUE(su->SendMessage(GroupMessage(kSubAdd, group)));
        ASSERT_TRUE(su->Wait(kMsgUserGroup, kSubAdd));
        // The catalogue starts without file and folder roles; an empty list is answered with
        // nothing at all.
        CkxFileRole fileRole;
        fileRole.m_strName = "readers";
        ASSERT_TRUE(su->SendRecord(kMsgFileRole, kSubAdd, fileRole.GetComData()));
        ASSERT_TRUE(su->Wait(kMsgFileRole, kSubAdd));
        CkxFolderRole folderRole;
        folderRole.m_strName = "browsers";
        ASSERT_TRUE(su->SendRecord(kMsgFolderRole, kSubAdd, folderRole.GetComData()));
        ASSERT_TRUE(su->Wait(kMsgFolderRole, kSubAdd));
        window.Watch(link, kListTypes);
        ASSERT_EQ(LogOn(link, server.Port(), "sysop", kSysopPassword, server.Address()), kLogonOk);
        window.Clear();
    }

    bool AllListsIn(int times) {
        for (int type : {kMsgSession, kMsgUser, kMsgUserGroup, kMsgUserRole, kMsgFileRole, kMsgFolderRole})
            if (window.Count({type, kNoticeReload, 0}) < times) return false;
        return window.Count({kNoticeUserListEnd, kNoticeReload, 0}) >= times &&
               !KX_KXXXX().m_Server.m_strName.empty();
    }

    // Typed address other than the server's own record ("127.0.0.1"), to see which one is kept.
    ConsoleServer server{"127.0.0.2"};
    std::unique_ptr<srvtest::TestClient> su;
    ConsoleLink link;
    RecordingWindow window;
};

TEST_F(SessionListsTest, AllListsFillOnceAndAgain) {
    CkxXXX& c = KX_KXXXX();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        RequestAllLists(link);
        ASSERT_TRUE(PumpUntil([&] { return AllListsIn(round); }));
        PumpFor(200ms);
        for (int type : {kMsgSession, kMsgUser, kMsgUserGroup, kMsgUserRole, kMsgFileRole, kMsgFolderRole})
            EXPECT_EQ(window.Count({type, kNoticeReload, 0}), round) << type;
        EXPECT_EQ(window.Count({kNoticeUserListEnd, kNoticeReload, 0}), round);
        // Nothing but the reloads: no entry is announced on its own.
        EXPECT_EQ(window.notices.size(), static_cast<size_t>(7 * round));

        EXPECT_EQ(Ids(c.m_UserList), ServerIds<CkxUser::_COM>(*su, kMsgUser));
        EXPECT_EQ(Ids(c.m_UserRoleList), ServerIds<CkxUserRole::_COM>(*su, kMsgUserRole));
        EXPECT_EQ(Ids(c.m_FileRoleList), ServerIds<KxPowerRoleCom>(*su, kMsgFileRole));
        EXPECT_EQ(Ids(c.m_FolderRoleList), ServerIds<KxPowerRoleCom>(*su, kMsgFolderRole));
        EXPECT_EQ(c.m_UserList.GetCount(), 8);
        ASSERT_EQ(c.m_UserGroupList.GetCount(), 1);
        EXPECT_EQ(c.m_UserGroupList.GetHead()->m_strName, "editors");
        EXPECT_EQ(c.m_UserGroupList.GetHead()->m_UserList,
                  (std::vector<int32_t>{server.Id("user.alice"), server.Id("user.bob")}));
        std::vector<int> online = c.m_UserOnline.GetList();
        std::sort(online.begin(), online.end());
        EXPECT_EQ(online, (std::vector<int>{server.Id("user.su"), server.Id("user.sysop")}));
        EXPECT_EQ(link.GetCurrentUser() ? link.GetCurrentUser()->m_strLogon : "", "sysop");
        // The server record names the address the console typed, the server's own texts kept.
        EXPECT_EQ(c.m_Server.m_strText1, "127.0.0.2");
        EXPECT_EQ(c.m_Server.m_strName, "varnia-test");
        EXPECT_EQ(c.m_Server.m_strAddr, "127.0.0.1");
    }
}

TEST_F(SessionListsTest, HostInformationShowsTheMappedDrives) {
    ASSERT_EQ(link.SendHostInfoRequest(), 1);
    ASSERT_TRUE(PumpUntil([&] { return window.Count({kMsgHostInfo, kNoticeUpdated, 0}) == 1; }));
    const CkxHostInfo& info = KX_KXXXX().m_HostInfo;
    EXPECT_GT(info.m_nMemTotal, 0u);
    EXPECT_STREQ(info.m_drives[0].szRoot, "C:\\");
    EXPECT_STREQ(info.m_drives[1].szRoot, "E:\\");
    EXPECT_STREQ(info.m_drives[2].szRoot, "");
}

TEST_F(SessionListsTest, LogQueryAndDelete) {
    auto query = [&](int y1, int m1, int d1, int y2, int m2, int d2) {
        CkxLog filter;
        filter.SetQueryTime(COleDateTime(y1, m1, d1, 0, 0, 0), COleDateTime(y2, m2, d2, 0, 0, 0));
        window.Clear();
        EXPECT_EQ(link.SendLogQueryRequest(filter), 1);
        // The old lines go at once; the answer (if any) announces itself again.
        EXPECT_EQ(KX_LogList().GetCount(), 0);
        EXPECT_EQ(window.Count({kMsgLogQuery, kNoticeReload, 0}), 1);
        PumpUntil([&] { return window.Count({kMsgLogQuery, kNoticeReload, 0}) == 2; }, 3s);
        std::vector<std::string> events;
        for (POSITION p = KX_LogList().GetHeadPosition(); p;) events.push_back(KX_LogList().GetNext(p).m_strEvent);
        return events;
    };
    EXPECT_EQ(query(2021, 3, 4, 2021, 3, 4),
              (std::vector<std::string>{"seeded 2021-03-04 #1", "seeded 2021-03-04 #2", "seeded 2021-03-04 #3"}));
    EXPECT_EQ(query(2021, 3, 1, 2021, 3, 31).size(), 5u);
    EXPECT_EQ(query(2020, 1, 1, 2020, 12, 31).size(), 0u);

    ASSERT_EQ(link.SendLogDeleteRequest(COleDateTime(2021, 3, 4, 0, 0, 0)), 1);
    EXPECT_TRUE(PumpUntil([&] { return query(2021, 3, 1, 2021, 3, 31).size() == 2u; }));
}

// One kind of entry a second workstation changes: how it sends an add (id out) or a modify or
// delete (id in), and the entry's name in the console's list ("" when absent).
struct ChangeKind {
    const char* what;
    int type;
    std::function<bool(srvtest::TestClient& su, int subOp, const std::string& name, int& id)> send;
    std::function<std::string(int id)> nameOf;
};

template <class T>
bool SendRecord(srvtest::TestClient& su, int type, int subOp, T rec, int& id) {
    if (subOp == kSubDelete)
        return su.SendText(type, kSubDelete, std::to_string(id)) && su.Wait(type, kSubDelete).has_value();
    rec.m_nID = subOp == kSubAdd ? -1 : id;
    if (!su.SendRecord(type, subOp, rec.GetComData())) return false;
    const auto echo = su.Wait(type, subOp);
    typename T::_COM back{};
    if (!echo || !echo->As(back)) return false;
    id = back.nID;
    return true;
}

template <class List>
std::function<std::string(int)> NameIn(const List& list) {
    return [&list](int id) {
        const auto* r = list.Find(id);
        return r ? r->m_strName : std::string();
    };
}

TEST_F(SessionListsTest, ChangesOfAnotherWorkstation) {
    CkxXXX& c = KX_KXXXX();
    RequestAllLists(link);
    ASSERT_TRUE(PumpUntil([&] { return AllListsIn(1); }));
    const int operatorRole = server.Id("role.operator");
    const int alice = server.Id("user.alice"), bob = server.Id("user.bob");

    const std::vector<ChangeKind> kinds = {
        {"user", kMsgUser,
         [&](srvtest::TestClient& su, int subOp, const std::string& name, int& id) {
             CkxUser u;
             u.m_strLogon = "newbie";
             u.m_strUser = name;
             u.m_strPassword = "pw";
             u.SetStateAct();
             u.SetRoleID(operatorRole);
             return SendRecord(su, kMsgUser, subOp, u, id);
         },
         [&](int id) {
             const CkxUser* u = c.m_UserList.Find(id);
             return u ? u->m_strUser : std::string();
         }},
        {"user role", kMsgUserRole,
         [&](srvtest::TestClient& su, int subOp, const std::string& name, int& id) {
             CkxUserRole r;
             r.m_strName = name;
             r.m_nPower = 0x100;
             return SendRecord(su, kMsgUserRole, subOp, r, id);
         },
         NameIn(c.m_UserRoleList)},
        {"file role", kMsgFileRole,
         [&](srvtest::TestClient& su, int subOp, const std::string& name, int& id) {
             CkxFileRole r;
             r.m_strName = name;
             r.m_nPower = 0x8000;
             return SendRecord(su, kMsgFileRole, subOp, r, id);
         },
         NameIn(c.m_FileRoleList)},
        {"folder role", kMsgFolderRole,
         [&](srvtest::TestClient& su, int subOp, const std::string& name, int& id) {
             CkxFolderRole r;
             r.m_strName = name;
             r.m_nPower = 0x8000;
             return SendRecord(su, kMsgFolderRole, subOp, r, id);
         },
         NameIn(c.m_FolderRoleList)},
        {"group", kMsgUserGroup,
         [&](srvtest::TestClient& su, int subOp, const std::string& name, int& id) {
             if (subOp == kSubDelete)
                 return su.SendText(kMsgUserGroup, kSubDelete, std::to_string(id)) &&
                        su.Wait(kMsgUserGroup, kSubDelete).has_value();
             CkxUserGroup g;
             g.m_nID = subOp == kSubAdd ? -1 : id;
             g.m_strName = name;
             g.m_UserList = {subOp == kSubAdd ? alice : bob};
             if (!su.SendMessage(GroupMessage(subOp, g))) return false;
             const auto echo = su.Wait(kMsgUserGroup, subOp);
             CkxUserGroup::_COM back{};
             if (!echo || echo->pieces.empty() || echo->pieces[0].size() < sizeof back) return false;
             std::memcpy(&back, echo->pieces[0].data(), sizeof back);
             id = back.nID;
             return true;
         },
         NameIn(c.m_UserGroupList)},
    };
    const struct {
        int subOp;
        const char* name;
        int notice;
    } steps[] = {{kSubAdd, "first", kNoticeAdded}, {kSubModify, "second", kNoticeUpdated},
                 {kSubDelete, "", kNoticeRemoved}};

    for (const ChangeKind& kind : kinds) {
        int id = -1;
        for (const auto& step : steps) {
            SCOPED_TRACE(std::string(kind.what) + " " + std::to_string(step.subOp));
            window.Clear();
            ASSERT_TRUE(kind.send(*su, step.subOp, step.name, id));
            ASSERT_TRUE(PumpUntil([&] { return !window.notices.empty(); }));
            PumpFor(100ms);
            EXPECT_EQ(window.notices, (std::vector<Notice>{{kind.type, step.notice, id}}));
            EXPECT_EQ(kind.nameOf(id), step.name);
            if (kind.type == kMsgUserGroup && step.subOp == kSubModify) {
                // The modify replaced the members.
                ASSERT_TRUE(c.m_UserGroupList.Find(id));
                EXPECT_EQ(c.m_UserGroupList.Find(id)->m_UserList, std::vector<int32_t>{bob});
            }
        }
    }
}

TEST_F(SessionListsTest, ListsChangeOnlyOnTheGuiThreadDuringABurst) {
    CkxXXX& c = KX_KXXXX();
    RequestAllLists(link);
    ASSERT_TRUE(PumpUntil([&] { return AllListsIn(1); }));
    // The GUI thread keeps walking the role list while the changes pour in.
    int walks = 0;
    QTimer walker;
    QObject::connect(&walker, &QTimer::timeout, [&] {
        kx::AssertGuiThread();
        size_t length = 0;
        c.m_UserRoleList.ForEach([&](const CkxUserRole& r) { length += r.m_strName.size(); });
        ++walks;
        (void)length;
    });
    walker.start(1);

    constexpr int kRoles = 200;
    for (int i = 0; i < kRoles; ++i) {
        CkxUserRole r;
        r.m_strName = "burst-" + std::to_string(i);
        ASSERT_TRUE(su->SendRecord(kMsgUserRole, kSubAdd, r.GetComData()));
    }
    std::vector<int> added;
    for (int i = 0; i < kRoles; ++i) {
        const auto echo = su->Wait(kMsgUserRole, kSubAdd, 20s);
        CkxUserRole::_COM back{};
        ASSERT_TRUE(echo && echo->As(back));
        added.push_back(back.nID);
    }
    for (int i = 0; i < kRoles; i += 2) ASSERT_TRUE(su->SendText(kMsgUserRole, kSubDelete, std::to_string(added[i])));
    for (int i = 0; i < kRoles; i += 2) ASSERT_TRUE(su->Wait(kMsgUserRole, kSubDelete, 20s));

    const std::vector<int> expected = ServerIds<CkxUserRole::_COM>(*su, kMsgUserRole);
    EXPECT_EQ(expected.size(), 3u + kRoles / 2);
    EXPECT_TRUE(PumpUntil([&] { return Ids(c.m_UserRoleList) == expected; }, 30s));
    EXPECT_GT(walks, 0);
    EXPECT_EQ(window.Count({kMsgUserRole, kNoticeAdded, added[1]}), 1);
    EXPECT_EQ(window.Count({kMsgUserRole, kNoticeRemoved, added[0]}), 1);
}

} // namespace
} // namespace keepertest
