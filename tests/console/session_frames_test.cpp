// The console session against a scripted peer (our transport on loopback), for what the real
// server never sends: short or malformed answers, pushed codes the console must ignore, repeated
// log-on answers, foreign message types and one-entry lists.
#include "console/support/ConsoleTestKit.h"

#include "link/ConsoleLog.h"
#include "model/CkxBuf.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "transport/support/NetTestPeer.h"

#include <mutex>

namespace keepertest {
namespace {

using namespace kx;

std::string Bytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

template <class T>
std::string Record(const T& rec) {
    const auto com = rec.GetComData();
    return Bytes(&com, sizeof com);
}

std::string LogonAnswer(int32_t result, int32_t userId) {
    int32_t words[2] = {result, userId};
    return Bytes(words, sizeof words);
}

CkxUser User(int id, const std::string& logon) {
    CkxUser u;
    u.m_nID = id;
    u.m_strLogon = logon;
    return u;
}

CkxUserRole Role(int id, const std::string& name) {
    CkxUserRole r;
    r.m_nID = id;
    r.m_strName = name;
    return r;
}

class SessionFramesTest : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        previousSink = SetConsoleLogSink([this](const std::string& line) {
            std::lock_guard lock(logMutex);
            logLines.push_back(line);
        });
        ASSERT_TRUE(listener.Start(0, "127.0.0.1"));
        window.Watch(link, {kMsgSession, kMsgServerRecord, kMsgHostInfo, kMsgUser, kMsgUserGroup, kMsgUserRole,
                            kMsgFileRole, kMsgFolderRole, kMsgLogQuery, kMsgPerson});
    }
    void TearDown() override {
        SetConsoleLogSink(previousSink);
        ConsoleTest::TearDown();
    }

    // Sends a log-on through the session and takes the connection's other end.
    void Open() {
        ASSERT_EQ(SendLogon(), 1);
        const int handle = listener.TakeHandle();
        ASSERT_GE(handle, 0);
        peer.Attach(handle);
        ASSERT_EQ(peer.StartThreads(), 1);
        ASSERT_TRUE(peer.WaitForCount(1));
    }
    int SendLogon() {
        return link.SendLogonRequest(listener.GetPort(), "127.0.0.1", ConsoleClient("su", "pw"));
    }
    // Logged on as user 7.
    void OpenLoggedOn() {
        Open();
        Send(kMsgSession, kSubLogon, LogonAnswer(kLogonOk, 7));
        ASSERT_TRUE(PumpUntil([&] { return window.CountOf(0) == 1; }));
        ASSERT_EQ(link.GetCurrentUserId(), 7);
        window.Clear();
    }

    // One packet from the peer; an answer (flag 0), the only entry of a series unless told.
    void Send(int type, int subOp, const std::string& payload, int flag = 0, int pos = kSeriesOnly, int index = 0) {
        NetPacket p;
        p.InitCommand(type, subOp, flag);
        p.SetQueueClass(3);
        p.SetData(payload.data(), payload.size());
        p.SetSeries(pos, index);
        ASSERT_EQ(peer.EnqueuePacket(p), 1);
    }

    // Everything sent before has been applied once this came-online push is announced: the
    // session keeps the arrival order.
    void Sync() {
        const int id = ++sentinel;
        Send(kMsgSession, kSubUserOnline, std::to_string(id));
        ASSERT_TRUE(PumpUntil([&] { return window.Count({kMsgSession, kNoticeAdded, id}) == 1; }));
        std::erase(window.notices, Notice{kMsgSession, kNoticeAdded, id});
    }

    size_t LogCount() {
        std::lock_guard lock(logMutex);
        return logLines.size();
    }

    nettest::HandleListener listener;
    nettest::RecordingConnection peer;
    ConsoleLink link;
    RecordingWindow window;
    int sentinel = 5000;
    std::mutex logMutex;
    std::vector<std::string> logLines;
    std::function<void(const std::string&)> previousSink;
};

TEST_F(SessionFramesTest, LogonAnswers) {
    Open();
    // Too short to read: a failed log-on, the dialog told, the session forgets the user.
    Send(kMsgSession, kSubLogon, Bytes("\0\0\0\0", 4));
    ASSERT_TRUE(PumpUntil([&] { return window.CountOf(0) == 1; }));
    EXPECT_EQ(link.GetLogonResult(), ConsoleLink::kLogonUnreadable);
    EXPECT_EQ(link.GetCurrentUserId(), -1);
    EXPECT_EQ(link.GetLogonName(), "");
    EXPECT_EQ(link.GetRefusedCount(), 1u);
    EXPECT_EQ(LogCount(), 1u);

    // Another try on the same connection; a press while it is awaited sends nothing.
    ASSERT_EQ(SendLogon(), 1);
    EXPECT_EQ(SendLogon(), 0);
    ASSERT_TRUE(peer.WaitForCount(2));
    Send(kMsgSession, kSubLogon, LogonAnswer(kLogonOk, 7));
    ASSERT_TRUE(PumpUntil([&] { return window.CountOf(0) == 2; }));
    EXPECT_EQ(link.GetCurrentUserId(), 7);
    EXPECT_EQ(KX_KXXXX().GetCurUser(), 7);
    EXPECT_EQ(link.GetLogonName(), "su");

    // A later answer cannot undo the session.
    Send(kMsgSession, kSubLogon, LogonAnswer(kLogonAlreadyOnline, 7));
    Sync();
    EXPECT_EQ(window.CountOf(0), 2);
    EXPECT_EQ(link.GetLogonResult(), kLogonOk);
    EXPECT_EQ(link.GetCurrentUserId(), 7);
    EXPECT_EQ(peer.Count(), 2u);
}

TEST_F(SessionFramesTest, OneEntryListsEmptyAddAndAnnounceOnce) {
    OpenLoggedOn();
    CkxXXX& c = KX_KXXXX();
    c.m_UserRoleList.AddTail(Role(90, "stale"));
    c.m_UserRoleList.AddTail(Role(91, "stale"));
    c.m_UserList.AddTail(User(92, "stale"));
    Send(kMsgUserRole, kSubList, Record(Role(3, "only")));
    Send(kMsgUser, kSubList, Record(User(7, "su")));
    Sync();
    ASSERT_EQ(c.m_UserRoleList.GetCount(), 1);
    EXPECT_EQ(c.m_UserRoleList.GetHead()->m_strName, "only");
    ASSERT_EQ(c.m_UserList.GetCount(), 1);
    EXPECT_EQ(c.m_UserList.GetHead()->m_strLogon, "su");
    EXPECT_EQ(window.notices, (std::vector<Notice>{{kMsgUserRole, kNoticeReload, 0},
                                                   {kMsgUser, kNoticeReload, 0},
                                                   {kNoticeUserListEnd, kNoticeReload, 0}}));
}

TEST_F(SessionFramesTest, SeriesEndAtIndexZero) {
    OpenLoggedOn();
    CkxXXX& c = KX_KXXXX();
    // A group list as the server sends it: a message series, records with member containers.
    NetMessageSeries groups(kMsgUserGroup, kSubList);
    for (int id : {4, 5, 6}) {
        CkxUserGroup g;
        g.m_nID = id;
        g.m_strName = "g" + std::to_string(id);
        g.m_UserList = {id * 10};
        const auto com = g.GetComData();
        CkxBuf members;
        g.BuildQueryBuf(members);
        NetMessage m;
        m.AppendData(&com, sizeof com);
        m.AppendData(members.GetBuf(), static_cast<size_t>(members.GetLen()));
        groups.Add(std::move(m));
    }
    CkxUserGroup stale;
    stale.m_nID = 1;
    c.m_UserGroupList.AddTail(stale);
    ASSERT_EQ(peer.SendReplyMessageSeries(groups), 1);
    // Log lines as a packet series of one record each.
    NetPacketSeries logs(kMsgLogQuery, kSubNone, 0);
    for (int id : {11, 12}) {
        CkxLog line;
        line.m_nID = id;
        const auto com = line.GetComData();
        logs.AddBytes(&com, sizeof com);
    }
    ASSERT_EQ(peer.SendReplyPacketSeries(logs), 1);
    // The transport hands whole packets over before completed messages, so the two lists may
    // arrive in either order.
    ASSERT_TRUE(PumpUntil([&] {
        return window.Count({kMsgUserGroup, kNoticeReload, 0}) == 1 && window.Count({kMsgLogQuery, kNoticeReload, 0}) == 1;
    }));
    Sync();
    std::vector<int> ids;
    c.m_UserGroupList.ForEach([&](const CkxUserGroup& g) { ids.push_back(g.m_nID); });
    EXPECT_EQ(ids, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(c.m_UserGroupList.Find(5)->m_UserList, std::vector<int32_t>{50});
    EXPECT_EQ(KX_LogList().GetCount(), 2);
    EXPECT_EQ(window.notices.size(), 2u);
}

TEST_F(SessionFramesTest, IgnoredAndMalformedInputChangesNothing) {
    OpenLoggedOn();
    CkxXXX& c = KX_KXXXX();
    Send(kMsgUser, kSubList, Record(User(7, "su")));
    Send(kMsgUserRole, kSubList, Record(Role(3, "role")));
    Sync();
    window.Clear();
    const uint64_t refusedBefore = link.GetRefusedCount();
    const size_t logBefore = LogCount();

    const std::string user = Record(User(7, "renamed"));
    const struct {
        const char* what;
        int type, subOp;
        std::string payload;
        int flag;
        bool logged;
    } rows[] = {
        // Users take no pushed codes.
        {"user 30", kMsgUser, kSubAdded, Record(User(99, "pushed")), 0, false},
        {"user 31", kMsgUser, kSubUpdated, user, 0, false},
        {"user 32", kMsgUser, kSubDeleted, "7", 0, false},
        // Not the console's types, and requests from the server.
        {"type 0", 0, kSubAdd, user, 0, false},
        {"type 46", kMsgUnused46, kSubAdd, user, 0, false},
        {"type 60", 60, kSubAdd, user, 0, false},
        {"type 50", kMsgLogDelete, kSubNone, user, 0, false},
        {"a request", kMsgUser, kSubAdd, Record(User(98, "asked")), 1, false},
        // Checked and refused.
        {"459-byte user", kMsgUser, kSubAdd, user.substr(0, 459), 0, true},
        {"short role", kMsgUserRole, kSubModify, Record(Role(3, "x")).substr(0, 267), 0, true},
        {"id 12x", kMsgUser, kSubDelete, "12x", 0, true},
        {"role id 3x", kMsgUserRole, kSubDeleted, "3x", 0, true},
        {"empty id", kMsgUserRole, kSubDelete, "", 0, true},
        {"online id", kMsgSession, kSubUserOnline, "abc", 0, true},
        {"host image 1615", kMsgHostInfo, kSubNone, std::string(1615, '\x01'), 0, true},
        {"server record 315", kMsgServerRecord, kSubList, std::string(315, 'a'), 0, true},
        {"log record 87", kMsgLogQuery, kSubNone, std::string(87, '\0'), 0, true},
    };
    int refused = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Send(row.type, row.subOp, row.payload, row.flag);
        Sync();
        refused += row.logged ? 1 : 0;
        EXPECT_EQ(link.GetRefusedCount(), refusedBefore + refused);
        EXPECT_EQ(LogCount(), logBefore + refused);
        ASSERT_EQ(c.m_UserList.GetCount(), 1);
        EXPECT_EQ(c.m_UserList.GetHead()->m_strLogon, "su");
        ASSERT_EQ(c.m_UserRoleList.GetCount(), 1);
        EXPECT_EQ(c.m_UserRoleList.GetHead()->m_strName, "role");
        EXPECT_EQ(c.m_HostInfo.m_nMemTotal, 0u);
        EXPECT_EQ(c.m_Server.m_strName, "");
        EXPECT_EQ(KX_LogList().GetCount(), 0);
        EXPECT_TRUE(window.notices.empty());
    }
}

TEST_F(SessionFramesTest, OnlinePushes) {
    OpenLoggedOn();
    CkxUserOnline& online = KX_KXXXX().m_UserOnline;
    Send(kMsgSession, kSubUserOnline, "8");
    Send(kMsgSession, kSubUserOnline, "8"); // already listed: nothing
    Sync();
    EXPECT_EQ(window.notices, (std::vector<Notice>{{kMsgSession, kNoticeAdded, 8}}));
    EXPECT_TRUE(online.IsValid(8));
    window.Clear();
    Send(kMsgSession, kSubLogoff, "8");
    Sync();
    EXPECT_EQ(window.notices, (std::vector<Notice>{{kMsgSession, kNoticeRemoved, 8}}));
    EXPECT_FALSE(online.IsValid(8));
}

TEST_F(SessionFramesTest, SeveralWindowsShareATypeAndLeaveWithTheirWindows) {
    OpenLoggedOn();
    auto full = std::make_unique<RecordingWindow>();
    RecordingWindow list;
    full->Watch(link, {kMsgFileRole});
    list.Watch(link, {kMsgFileRole});
    CkxFileRole role;
    role.m_nID = 4;
    role.m_strName = "readers";
    Send(kMsgFileRole, kSubAdd, Record(role));
    Sync();
    EXPECT_EQ(full->Count({kMsgFileRole, kNoticeAdded, 4}), 1);
    EXPECT_EQ(list.Count({kMsgFileRole, kNoticeAdded, 4}), 1);
    full.reset(); // the window closes: its registration goes with it
    Send(kMsgFileRole, kSubDeleted, "4");
    Sync();
    EXPECT_EQ(list.Count({kMsgFileRole, kNoticeRemoved, 4}), 1);
    EXPECT_EQ(KX_KXXXX().m_FileRoleList.GetCount(), 0);
}

} // namespace
} // namespace keepertest
