// The people and preset services (types 5, 6, 7, 13, 14, 52, 48, 47) over loopback against the
// real server core and its SQLite catalogue, with two logged-on workstations: the administrator
// "su" (user-administration power) and "alice" (no administration power). Each step of the
// table checks the stored row, the in-memory list, the one log line and who heard what; a
// database that refuses the write leaves everything as it was and sends nothing.
#include "model/CkxXXX.h"
#include "transport/NetMessage.h"
#include "db/AdoRecordset.h"
#include "service/OperationLog.h"
#include "server/support/TestCatalogue.h"
#include "server/support/TestServer.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

using namespace srvtest;

namespace {

template <class Com> Com RecordOf(const Answer& a) {
    Com com{};
    EXPECT_TRUE(a.As(com)) << "answer (" << a.type << ", " << a.subOp << ") of " << a.payload.size() << " bytes";
    return com;
}

CkxUser::_COM UserRecord(const std::string& logon, const std::string& password, int role) {
    CkxUser u;
    u.m_strLogon = logon;
    u.m_strUser = "用户" + logon;
    u.m_strPassword = password;
    u.m_nState = CkxUser::STATE_ACT;
    u.m_nRoleID = static_cast<uint8_t>(role);
    u.m_nOnline = 1; // the workstation's idea; the server keeps its own
    u.m_strDept = "部";
    u.m_strEMail = "x@y";
    return u.GetComData();
}

CkxUserRole::_COM RoleRecord(const std::string& name, int power) {
    CkxUserRole r;
    r.m_strName = name;
    r.m_nType = CkxUserRole::TYPE_OPERATOR;
    r.m_nPower = power;
    r.m_strRemark = "r";
    return r.GetComData();
}

KxPowerRoleCom PowerRoleRecord(const std::string& name, int power) {
    CkxFileRole r;
    r.m_strName = name;
    r.m_nPower = power;
    r.m_strRemark = "n";
    return r.GetComData();
}

CkxPerson::_COM PersonRecord(const std::string& name, int profession) {
    CkxPerson p;
    p.m_strName = name;
    p.m_nRelation = 2;
    p.m_nProfession = static_cast<uint8_t>(profession);
    p.m_strNote = "n";
    return p.GetComData();
}

CkxFileMark::_COM MarkRecord(int user, int file, const std::string& name) {
    CkxFileMark m;
    m.m_nUserID = user;
    m.m_nFileID = file;
    m.m_nDataFormat = 3;
    m.m_strName = name;
    return m.GetComData();
}

std::string MemberBytes(const std::vector<int32_t>& ids) {
    CkxUserGroup g;
    g.m_UserList = ids;
    CkxBuf buf;
    g.BuildQueryBuf(buf);
    return std::string(reinterpret_cast<const char*>(buf.GetBuf()), static_cast<size_t>(buf.GetLen()));
}

struct LogLine {
    int level = 0;
    int category = 0;
    std::string event;
    int user = 0;
};

class UserServices : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ok());
        admin = server.LogOnAdmin();
        alice = server.LogOn("alice", "alice-pw");
        ASSERT_TRUE(admin && alice);
        // Both log-ons announce themselves to the earlier session; drop those notices.
        admin->Wait(kx::kMsgSession, kx::kSubUserOnline, 1s);
    }

    // Runs f with the catalogue mutex held.
    template <class F> auto Locked(F&& f) { return server.Locked(std::forward<F>(f)); }

    int Count(const std::string& sql) {
        return Locked([&] {
            CADORecordset rs;
            return server.Db().Query(sql, rs) ? rs.GetRecordCount() : -1;
        });
    }
    std::string Text(const std::string& table, int id, const char* column) {
        return Locked([&] {
            CADORecordset rs;
            std::string v = "<no row>";
            if (server.Db().Query(" SELECT * FROM " + table + " WHERE T_ID = " + kx::SqlNumber(id), rs) &&
                !rs.IsEOF())
                rs.GetString(column, v);
            return v;
        });
    }
    std::vector<LogLine> LogLines() {
        return Locked([&] {
            std::vector<LogLine> out;
            CADORecordset rs;
            server.Db().Query(" SELECT * FROM VUZO_Log ORDER BY T_ID ", rs);
            for (; !rs.IsEOF(); rs.MoveNext()) {
                LogLine l;
                rs.GetInt("T_Lev", l.level);
                rs.GetInt("T_Type", l.category);
                rs.GetString("T_Event", l.event);
                rs.GetInt("T_DoUser", l.user);
                out.push_back(l);
            }
            return out;
        });
    }
    void Execute(const std::string& sql) {
        ASSERT_EQ(Locked([&] { return server.Db().Execute(sql); }), 1) << sql;
    }
    static bool SendGroup(TestClient& c, int sub, const CkxUserGroup::_COM& com, const std::string& members) {
        NetMessage m;
        m.SetCommand(kx::kMsgUserGroup, sub);
        m.AppendData(&com, sizeof com);
        m.AppendData(members);
        return c.SendMessage(m) == 1;
    }

    TestServer server;
    std::unique_ptr<TestClient> admin, alice;
};

// One request and what must follow it.
struct Step {
    std::string name;
    int type = 0;
    int sub = 0;
    bool byAdmin = true;                      // who sends it
    std::function<void(TestClient&)> send;
    bool toBoth = true;                       // else the requester alone hears of it
    // Checks the answer as one client received it (isAdmin: the administrator's copy).
    std::function<void(const Answer&, bool isAdmin)> answer;
    std::function<void()> state;              // the stored row and the in-memory list
    int level = 0;                            // 0: no log line
    int category = 0;
    std::function<std::string()> event;
};

// Each entity's requests are one case on a server of its own: its add, then the modify and
// delete of what the add stored, so one entity's failure leaves the others' cases standing.
class UserServiceRequests : public UserServices, public ::testing::WithParamInterface<int> {};

TEST_P(UserServiceRequests, EachRequestStoresRemembersLogsAndAnswersAsItShould) {
    CkxXXX& kx = KX_KXXXX();
    const int aliceId = alice->UserId(), suId = admin->UserId();
    std::map<std::string, int> id; // ids the server gave, by name
    auto idText = [&](const char* key) { return [&id, key] { return std::to_string(id[key]); }; };
    auto sendText = [](int type, std::function<std::string()> text) {
        return [type, text](TestClient& c) { c.SendText(type, kx::kSubDelete, text()); };
    };
    auto deleted = [](std::function<std::string()> text) {
        return [text](const Answer& a, bool) { EXPECT_EQ(std::string(a.payload.c_str()), text()); };
    };

    const std::vector<Step> steps = {
        // ---- type 5: accounts; passwords reach only their user and administrators ----
        {"user add", kx::kMsgUser, kx::kSubAdd, true,
         [](TestClient& c) { c.SendRecord(kx::kMsgUser, kx::kSubAdd, UserRecord("erin", "e'pw", 200)); }, true,
         [&](const Answer& a, bool isAdmin) {
             auto com = RecordOf<CkxUser::_COM>(a);
             id["erin"] = com.nID;
             EXPECT_GT(com.nID, 0);
             EXPECT_STREQ(com.szLogon, "erin");
             EXPECT_EQ(com.nRoleID, 200);
             EXPECT_EQ(com.nOnline, 0);
             EXPECT_STREQ(com.szPassword, isAdmin ? "e'pw" : "");
         },
         [&] {
             EXPECT_EQ(Text("VUZO_User", id["erin"], "T_Password"), "e'pw");
             // A copy taken under the lock: the handlers may change the entry afterwards.
             const std::optional<CkxUser> u = Locked([&]() -> std::optional<CkxUser> {
                 const CkxUser* found = kx.m_UserList.Find(id["erin"]);
                 if (!found) return std::nullopt;
                 return *found;
             });
             ASSERT_TRUE(u.has_value());
             EXPECT_EQ(u->m_strPassword, "e'pw");
             EXPECT_EQ(u->m_nOnline, 0);
         },
         1, KXLOG_CAT_USERADMIN, [] { return "<su> 添加用户<erin>"; }},
        {"user modify of a logged-on account keeps it online", kx::kMsgUser, kx::kSubModify, true,
         [&](TestClient& c) {
             auto com = UserRecord("alice", "new-pw", server.OperatorRoleId());
             com.nID = aliceId;
             com.nOnline = 0;
             c.SendRecord(kx::kMsgUser, kx::kSubModify, com);
         },
         true,
         [&](const Answer& a, bool) {
             // alice sees her own password; so does the administrator.
             EXPECT_STREQ(RecordOf<CkxUser::_COM>(a).szPassword, "new-pw");
         },
         [&] {
             EXPECT_EQ(Text("VUZO_User", aliceId, "T_Password"), "new-pw");
             Locked([&] {
                 EXPECT_EQ(kx.m_UserList.Find(aliceId)->m_strPassword, "new-pw");
                 EXPECT_EQ(kx.m_UserList.Find(aliceId)->m_nOnline, 1);
             });
         },
         2, KXLOG_CAT_USERADMIN, [] { return "<su> 修改用户<alice>"; }},
        {"user delete", kx::kMsgUser, kx::kSubDelete, true, sendText(kx::kMsgUser, idText("erin")), true, deleted(idText("erin")),
         [&] {
             EXPECT_EQ(Text("VUZO_User", id["erin"], "T_Logon"), "<no row>");
             EXPECT_EQ(Locked([&] { return kx.m_UserList.Find(id["erin"]); }), nullptr);
         },
         2, KXLOG_CAT_USERADMIN, [] { return "<su> 删除用户"; }},

        // ---- type 7: user roles ----
        {"role add", kx::kMsgUserRole, kx::kSubAdd, true, [](TestClient& c) { c.SendRecord(kx::kMsgUserRole, kx::kSubAdd, RoleRecord("审核", 0x100)); }, true,
         [&](const Answer& a, bool) {
             auto com = RecordOf<CkxUserRole::_COM>(a);
             id["role"] = com.nID;
             EXPECT_GT(com.nID, 0);
             EXPECT_EQ(com.nPower, 0x100);
         },
         [&] {
             EXPECT_EQ(Text("VUZO_UserRole", id["role"], "T_Name"), "审核");
             EXPECT_EQ(Locked([&] { return kx.m_UserRoleList.Find(id["role"])->m_nPower; }), 0x100);
         },
         1, KXLOG_CAT_USERADMIN, [] { return "<su> 添加用户角色<审核>"; }},
        {"role modify", kx::kMsgUserRole, kx::kSubModify, true,
         [&](TestClient& c) {
             auto com = RoleRecord("审核2", 0x200);
             com.nID = id["role"];
             c.SendRecord(kx::kMsgUserRole, kx::kSubModify, com);
         },
         true, [](const Answer& a, bool) { EXPECT_EQ(RecordOf<CkxUserRole::_COM>(a).nPower, 0x200); },
         [&] {
             EXPECT_EQ(Text("VUZO_UserRole", id["role"], "T_Power"), "512");
             EXPECT_EQ(Locked([&] { return kx.m_UserRoleList.Find(id["role"])->m_strName; }), "审核2");
         },
         2, KXLOG_CAT_USERADMIN, [] { return "<su> 修改用户角色<审核2>"; }},
        {"role delete", kx::kMsgUserRole, kx::kSubDelete, true, sendText(kx::kMsgUserRole, idText("role")), true, deleted(idText("role")),
         [&] {
             EXPECT_EQ(Text("VUZO_UserRole", id["role"], "T_Name"), "<no row>");
             EXPECT_EQ(Locked([&] { return kx.m_UserRoleList.Find(id["role"]); }), nullptr);
         },
         2, KXLOG_CAT_USERADMIN, [] { return "<su> 删除用户角色"; }},

        // ---- type 6: user groups, a record and a member container ----
        {"group add", kx::kMsgUserGroup, kx::kSubAdd, true,
         [&](TestClient& c) {
             CkxUserGroup g;
             g.m_strName = "编辑组";
             SendGroup(c, 21, g.GetComData(), MemberBytes({aliceId}));
         },
         true,
         [&](const Answer& a, bool) {
             ASSERT_TRUE(a.isMessage);
             ASSERT_EQ(a.pieces.size(), 2u);
             auto com = RecordOf<CkxUserGroup::_COM>(a);
             id["group"] = com.nID;
             EXPECT_GT(com.nID, 0);
             EXPECT_EQ(a.pieces[1], MemberBytes({aliceId}));
         },
         [&] {
             EXPECT_EQ(Text("VUZO_UserGroup", id["group"], "T_Name"), "编辑组");
             // The server's own rights checks see the new membership at once.
             std::vector<int> groups;
             Locked([&] { return kx.ugGetGroupIncludeUser(aliceId, groups); });
             EXPECT_EQ(groups, std::vector<int>{id["group"]});
         },
         1, KXLOG_CAT_USERADMIN, [] { return "<su> 添加用户分组<编辑组>"; }},
        {"group modify moves the membership", kx::kMsgUserGroup, kx::kSubModify, true,
         [&](TestClient& c) {
             CkxUserGroup g;
             g.m_nID = id["group"];
             g.m_strName = "编辑组2";
             SendGroup(c, 22, g.GetComData(), MemberBytes({suId}));
         },
         true, [&](const Answer& a, bool) { EXPECT_EQ(a.pieces.at(1), MemberBytes({suId})); },
         [&] {
             std::vector<int> forAlice, forSu;
             Locked([&] {
                 kx.ugGetGroupIncludeUser(aliceId, forAlice);
                 return kx.ugGetGroupIncludeUser(suId, forSu);
             });
             EXPECT_TRUE(forAlice.empty());
             EXPECT_EQ(forSu, std::vector<int>{id["group"]});
         },
         1, KXLOG_CAT_USERADMIN, [] { return "<su> 修改用户分组<编辑组2>"; }},
        {"group delete", kx::kMsgUserGroup, kx::kSubDelete, true, sendText(kx::kMsgUserGroup, idText("group")), true, deleted(idText("group")),
         [&] {
             EXPECT_EQ(Text("VUZO_UserGroup", id["group"], "T_Name"), "<no row>");
             EXPECT_EQ(Locked([&] { return kx.m_UserGroupList.GetCount(); }), 0);
         },
         2, KXLOG_CAT_USERADMIN, [] { return "<su> 删除用户分组编辑组2"; }},

        // ---- types 13 and 14: file and folder roles ----
        {"file role add", kx::kMsgFileRole, kx::kSubAdd, true, [](TestClient& c) { c.SendRecord(kx::kMsgFileRole, kx::kSubAdd, PowerRoleRecord("只读", 1)); }, true,
         [&](const Answer& a, bool) { id["frole"] = RecordOf<KxPowerRoleCom>(a).nID; },
         [&] {
             EXPECT_EQ(Text("VUZO_FileRole", id["frole"], "T_Name"), "只读");
             EXPECT_NE(Locked([&] { return kx.m_FileRoleList.Find(id["frole"]); }), nullptr);
         },
         1, KXLOG_CAT_SYSADMIN, [] { return "<su> 添加文件角色<只读>"; }},
        {"file role modify", kx::kMsgFileRole, kx::kSubModify, true,
         [&](TestClient& c) {
             auto com = PowerRoleRecord("读写", 3);
             com.nID = id["frole"];
             c.SendRecord(kx::kMsgFileRole, kx::kSubModify, com);
         },
         true, nullptr,
         [&] { EXPECT_EQ(Locked([&] { return kx.m_FileRoleList.Find(id["frole"])->m_nPower; }), 3); },
         1, KXLOG_CAT_SYSADMIN, [] { return "<su> 修改文件角色<读写>"; }},
        {"file role delete", kx::kMsgFileRole, kx::kSubDelete, true, sendText(kx::kMsgFileRole, idText("frole")), true, deleted(idText("frole")),
         [&] { EXPECT_EQ(Locked([&] { return kx.m_FileRoleList.GetCount(); }), 0); },
         2, KXLOG_CAT_SYSADMIN, [] { return "<su> 删除文件角色"; }},
        {"folder role add", kx::kMsgFolderRole, kx::kSubAdd, true, [](TestClient& c) { c.SendRecord(kx::kMsgFolderRole, kx::kSubAdd, PowerRoleRecord("浏览", 60)); }, true,
         [&](const Answer& a, bool) { id["drole"] = RecordOf<KxPowerRoleCom>(a).nID; },
         [&] {
             EXPECT_EQ(Text("VUZO_FolderRole", id["drole"], "T_Power"), "60");
             EXPECT_EQ(Locked([&] { return kx.m_FolderRoleList.GetCount(); }), 1);
         },
         1, KXLOG_CAT_SYSADMIN, [] { return "<su> 添加目录角色<浏览>"; }},
        {"folder role modify", kx::kMsgFolderRole, kx::kSubModify, true,
         [&](TestClient& c) {
             auto com = PowerRoleRecord("浏览2", 61);
             com.nID = id["drole"];
             c.SendRecord(kx::kMsgFolderRole, kx::kSubModify, com);
         },
         true, nullptr, [&] { EXPECT_EQ(Text("VUZO_FolderRole", id["drole"], "T_Name"), "浏览2"); },
         1, KXLOG_CAT_SYSADMIN, [] { return "<su> 修改目录角色<浏览2>"; }},
        {"folder role delete", kx::kMsgFolderRole, kx::kSubDelete, true, sendText(kx::kMsgFolderRole, idText("drole")), true, deleted(idText("drole")),
         [&] { EXPECT_EQ(Locked([&] { return kx.m_FolderRoleList.GetCount(); }), 0); },
         2, KXLOG_CAT_SYSADMIN, [] { return "<su> 删除目录角色"; }},

        // ---- type 52: persons ----
        {"person add", kx::kMsgPerson, kx::kSubAdd, true, [](TestClient& c) { c.SendRecord(kx::kMsgPerson, kx::kSubAdd, PersonRecord("王五", 4)); }, true,
         [&](const Answer& a, bool) { id["person"] = RecordOf<CkxPerson::_COM>(a).nID; },
         [&] {
             EXPECT_EQ(Text("VUZO_Person", id["person"], "T_Job"), "4");
             EXPECT_EQ(Locked([&] { return kx.m_PersonList.GetName(id["person"]); }), "王五");
         },
         1, KXLOG_CAT_SYSADMIN, [] { return "<su> 添加人员<王五>"; }},
        {"person modify", kx::kMsgPerson, kx::kSubModify, true,
         [&](TestClient& c) {
             auto com = PersonRecord("赵六", 5);
             com.nID = id["person"];
             c.SendRecord(kx::kMsgPerson, kx::kSubModify, com);
         },
         true, nullptr, [&] { EXPECT_EQ(Locked([&] { return kx.m_PersonList.GetName(id["person"]); }), "赵六"); },
         1, KXLOG_CAT_SYSADMIN, [] { return "<su> 修改人员<赵六>"; }},
        {"person delete", kx::kMsgPerson, kx::kSubDelete, true, sendText(kx::kMsgPerson, idText("person")), true, deleted(idText("person")),
         [&] {
             EXPECT_EQ(Text("VUZO_Person", id["person"], "T_Name"), "<no row>");
             EXPECT_EQ(Locked([&] { return kx.m_PersonList.GetCount(); }), 0);
         },
         2, KXLOG_CAT_SYSADMIN, [] { return "<su> 删除人员"; }},

        // ---- type 48: shares, stored only (memory is filled at start-up) ----
        {"share add", kx::kMsgShare, kx::kSubAdd, false, [&](TestClient& c) { c.SendRecord(kx::kMsgShare, kx::kSubAdd, MarkRecord(suId, 77, "共享一")); }, true,
         [&](const Answer& a, bool) {
             auto com = RecordOf<CkxFileMark::_COM>(a);
             id["share"] = com.nID;
             EXPECT_EQ(com.nUserID, suId);
         },
         [&] {
             EXPECT_EQ(Text("VUZO_FileShare", id["share"], "T_FileID"), "77");
             EXPECT_EQ(KX_FileShareList().GetCount(), 0);
         },
         1, KXLOG_CAT_FILEADMIN, [] { return "<alice> 添加共享文件<共享一>"; }},
        {"share modify", kx::kMsgShare, kx::kSubModify, true,
         [&](TestClient& c) {
             auto com = MarkRecord(suId, 78, "共享二");
             com.nID = id["share"];
             c.SendRecord(kx::kMsgShare, kx::kSubModify, com);
         },
         true, nullptr, [&] { EXPECT_EQ(Text("VUZO_FileShare", id["share"], "T_FileID"), "78"); },
         1, KXLOG_CAT_FILEADMIN, [] { return "<su> 修改共享文件<共享二>"; }},
        {"share delete", kx::kMsgShare, kx::kSubDelete, true, sendText(kx::kMsgShare, idText("share")), true, deleted(idText("share")),
         [&] { EXPECT_EQ(Count(" SELECT * FROM VUZO_FileShare "), 0); },
         2, KXLOG_CAT_FILEADMIN, [] { return "<su> 删除共享文件"; }},

        // ---- type 47: bookmarks, the requester's own ----
        {"bookmark add is stored under the requester", kx::kMsgBookmark, kx::kSubAdd, false,
         [&](TestClient& c) { c.SendRecord(kx::kMsgBookmark, kx::kSubAdd, MarkRecord(suId, 77, "书签")); }, false,
         [&](const Answer& a, bool) {
             auto com = RecordOf<CkxFileMark::_COM>(a);
             id["tag"] = com.nID;
             EXPECT_EQ(com.nUserID, aliceId);
         },
         [&] {
             EXPECT_EQ(Text("VUZO_FileTag", id["tag"], "T_UserID"), std::to_string(aliceId));
             EXPECT_EQ(Locked([&] { return kx.m_DataTagList.GetCount(); }), 0);
         },
         1, KXLOG_CAT_FILEADMIN, [] { return "<alice> 添加文件书签书签"; }},
        {"bookmark modify", kx::kMsgBookmark, kx::kSubModify, false,
         [&](TestClient& c) {
             auto com = MarkRecord(suId, 79, "书签2");
             com.nID = id["tag"];
             c.SendRecord(kx::kMsgBookmark, kx::kSubModify, com);
         },
         false, [&](const Answer& a, bool) { EXPECT_EQ(RecordOf<CkxFileMark::_COM>(a).nUserID, aliceId); },
         [&] {
             EXPECT_EQ(Text("VUZO_FileTag", id["tag"], "T_Name"), "书签2");
             EXPECT_EQ(Text("VUZO_FileTag", id["tag"], "T_UserID"), std::to_string(aliceId));
         },
         1, KXLOG_CAT_FILEADMIN, [] { return "<alice> 修改文件书签<书签2>"; }},
        {"bookmark delete", kx::kMsgBookmark, kx::kSubDelete, false, sendText(kx::kMsgBookmark, idText("tag")), false, deleted(idText("tag")),
         [&] { EXPECT_EQ(Count(" SELECT * FROM VUZO_FileTag "), 0); },
         1, KXLOG_CAT_FILEADMIN, [] { return "<alice> 删除文件书签"; }},
    };

    int run = 0;
    for (const Step& s : steps) {
        if (s.type != GetParam()) continue;
        ++run;
        SCOPED_TRACE(s.name);
        const size_t linesBefore = LogLines().size();
        TestClient& from = s.byAdmin ? *admin : *alice;
        TestClient& other = s.byAdmin ? *alice : *admin;
        s.send(from);
        const auto mine = from.Wait(s.type, s.sub);
        ASSERT_TRUE(mine) << "no answer to the requester";
        if (s.answer) s.answer(*mine, s.byAdmin);
        if (s.toBoth) {
            const auto theirs = other.Wait(s.type, s.sub);
            ASSERT_TRUE(theirs) << "no answer to the other session";
            EXPECT_EQ(theirs->flag, 0);
            if (s.answer) s.answer(*theirs, !s.byAdmin);
        } else {
            EXPECT_TRUE(other.Quiet(s.type, s.sub, 200ms)) << "the other session heard of it";
        }
        if (s.state) s.state();
        const auto lines = LogLines();
        ASSERT_EQ(lines.size(), linesBefore + (s.level ? 1 : 0));
        if (s.level) {
            EXPECT_EQ(lines.back().level, s.level);
            EXPECT_EQ(lines.back().category, s.category);
            EXPECT_EQ(lines.back().event, s.event());
            EXPECT_EQ(lines.back().user, from.UserId());
        }
        EXPECT_TRUE(from.Quiet(s.type, -1, 0ms) && other.Quiet(s.type, -1, 0ms)) << "more than one answer";
    }
    EXPECT_GT(run, 0) << "no step of type " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(ByEntity, UserServiceRequests,
                         ::testing::Values(kx::kMsgUser, kx::kMsgUserRole, kx::kMsgUserGroup, kx::kMsgFileRole,
                                           kx::kMsgFolderRole, kx::kMsgPerson, kx::kMsgShare, kx::kMsgBookmark),
                         [](const ::testing::TestParamInfo<int>& info) { return "Type" + std::to_string(info.param); });

// List answers: users and roles from memory (passwords only where allowed), groups from the
// database with their members, bookmarks only the requester's; empty lists send nothing.
TEST_F(UserServices, ListsAnswerTheRequesterAlone) {
    const int aliceId = alice->UserId(), suId = admin->UserId();

    // Users: alice sees her own password and nobody else's; su sees every password.
    for (TestClient* c : {admin.get(), alice.get()}) {
        c->Send(kx::kMsgUser, kx::kSubList);
        const auto users = c->WaitSeries(kx::kMsgUser, kx::kSubList);
        ASSERT_TRUE(users);
        EXPECT_EQ(users->size(), 5u); // su and the four seeded accounts
        for (const Answer& a : *users) {
            auto com = RecordOf<CkxUser::_COM>(a);
            const bool visible = c == admin.get() || com.nID == aliceId;
            EXPECT_EQ(com.szPassword[0] != 0, visible) << com.szLogon;
        }
    }
    EXPECT_TRUE(admin->Quiet(kx::kMsgUser, kx::kSubList) && alice->Quiet(kx::kMsgUser, kx::kSubList));

    alice->Send(kx::kMsgUserRole, kx::kSubList);
    const auto roles = alice->WaitSeries(kx::kMsgUserRole, kx::kSubList);
    ASSERT_TRUE(roles);
    EXPECT_EQ(roles->size(), 2u);
    EXPECT_TRUE(admin->Quiet(kx::kMsgUserRole, kx::kSubList));

    // Empty lists send nothing at all.
    for (int type : {kx::kMsgUserGroup, kx::kMsgFileRole, kx::kMsgFolderRole, kx::kMsgPerson, kx::kMsgShare, kx::kMsgBookmark}) {
        SCOPED_TRACE(type);
        admin->Send(type, kx::kSubList);
        EXPECT_TRUE(admin->Quiet(type, kx::kSubList));
    }

    // Groups come from the database with their member lists.
    for (const char* name : {"g1", "g2"}) {
        CkxUserGroup g;
        g.m_strName = name;
        ASSERT_TRUE(SendGroup(*admin, 21, g.GetComData(), MemberBytes({aliceId, suId})));
        ASSERT_TRUE(admin->Wait(kx::kMsgUserGroup, kx::kSubAdd) && alice->Wait(kx::kMsgUserGroup, kx::kSubAdd));
    }
    alice->Send(kx::kMsgUserGroup, kx::kSubList);
    const auto groups = alice->WaitSeries(kx::kMsgUserGroup, kx::kSubList);
    ASSERT_TRUE(groups);
    ASSERT_EQ(groups->size(), 2u);
    EXPECT_STREQ(RecordOf<CkxUserGroup::_COM>(groups->back()).szName, "g2");
    for (const Answer& a : *groups) {
        EXPECT_TRUE(a.isMessage);
        EXPECT_EQ(a.pieces.at(1), MemberBytes({aliceId, suId}));
    }
    EXPECT_TRUE(admin->Quiet(kx::kMsgUserGroup, kx::kSubList));

    // Bookmarks: each user lists only their own, even on the same file.
    alice->SendRecord(kx::kMsgBookmark, kx::kSubAdd, MarkRecord(aliceId, 5, "a"));
    admin->SendRecord(kx::kMsgBookmark, kx::kSubAdd, MarkRecord(aliceId, 5, "s"));
    ASSERT_TRUE(alice->Wait(kx::kMsgBookmark, kx::kSubAdd) && admin->Wait(kx::kMsgBookmark, kx::kSubAdd));
    for (TestClient* c : {admin.get(), alice.get()}) {
        c->Send(kx::kMsgBookmark, kx::kSubList);
        const auto tags = c->WaitSeries(kx::kMsgBookmark, kx::kSubList);
        ASSERT_TRUE(tags);
        ASSERT_EQ(tags->size(), 1u);
        const auto com = RecordOf<CkxFileMark::_COM>(tags->front());
        EXPECT_EQ(com.nUserID, c->UserId());
        EXPECT_STREQ(com.szName, c == admin.get() ? "s" : "a");
    }
}

// A group the database holds but memory does not (stored by another program) is deleted and
// announced like any other; with no name to tell, no log line is written.
TEST_F(UserServices, GroupDeleteOfAGroupOnlyTheDatabaseKnows) {
    Execute(" INSERT INTO VUZO_UserGroup (T_Name, T_Remark) VALUES ('外来', '') ");
    const int id = Locked([&] { return server.Db().GetNewID("VUZO_UserGroup"); });
    ASSERT_GT(id, 0);
    ASSERT_EQ(Locked([&] { return KX_KXXXX().m_UserGroupList.Find(id); }), nullptr);
    const size_t lines = LogLines().size();
    ASSERT_TRUE(admin->SendText(kx::kMsgUserGroup, kx::kSubDelete, std::to_string(id)));
    for (TestClient* c : {admin.get(), alice.get()}) {
        const auto a = c->Wait(kx::kMsgUserGroup, kx::kSubDelete);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->AsInt(), id);
    }
    EXPECT_EQ(Count(" SELECT * FROM VUZO_UserGroup "), 0);
    EXPECT_EQ(LogLines().size(), lines);
}

// Deleting the account of a logged-on user removes the account, tells that user's session too,
// and leaves the session connected.
TEST_F(UserServices, DeletingALoggedOnUserLeavesTheSessionConnected) {
    const int aliceId = alice->UserId();
    ASSERT_TRUE(admin->SendText(kx::kMsgUser, kx::kSubDelete, std::to_string(aliceId)));
    for (TestClient* c : {admin.get(), alice.get()}) {
        const auto a = c->Wait(kx::kMsgUser, kx::kSubDelete);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->AsInt(), aliceId);
    }
    EXPECT_EQ(Text("VUZO_User", aliceId, "T_Logon"), "<no row>");
    EXPECT_EQ(Locked([&] { return KX_KXXXX().m_UserList.Find(aliceId); }), nullptr);
    EXPECT_FALSE(alice->WaitClosed(300ms));
    EXPECT_TRUE(server.WaitForSessions(2, 1s));
}

// What one client may not do to another's bookmark, and what cannot be stored at all: the
// request is dropped with nothing sent, stored, remembered or logged.
TEST_F(UserServices, RefusedRequestsLeaveEverythingAsItWas) {
    const int aliceId = alice->UserId();
    alice->SendRecord(kx::kMsgBookmark, kx::kSubAdd, MarkRecord(aliceId, 5, "mine"));
    const auto added = alice->Wait(kx::kMsgBookmark, kx::kSubAdd);
    ASSERT_TRUE(added);
    const int tagId = RecordOf<CkxFileMark::_COM>(*added).nID;
    const size_t lines = LogLines().size();

    struct Case {
        const char* name;
        int type, sub;
        std::function<void(TestClient&)> send;
    };
    auto other = MarkRecord(admin->UserId(), 6, "stolen");
    other.nID = tagId;
    CkxUserGroup group;
    group.m_strName = "g";
    const Case cases[] = {
        {"another user's bookmark modified", kx::kMsgBookmark, kx::kSubModify, [&](TestClient& c) { c.SendRecord(kx::kMsgBookmark, kx::kSubModify, other); }},
        {"another user's bookmark deleted", kx::kMsgBookmark, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgBookmark, kx::kSubDelete, std::to_string(tagId)); }},
        {"group without a member list", kx::kMsgUserGroup, kx::kSubAdd, [&](TestClient& c) { c.SendRecord(kx::kMsgUserGroup, kx::kSubAdd, group.GetComData()); }},
        {"group with a broken member list", kx::kMsgUserGroup, kx::kSubAdd,
         [&](TestClient& c) { SendGroup(c, 21, group.GetComData(), std::string("\x05\0\0\0\x04", 5)); }},
        {"short user record", kx::kMsgUser, kx::kSubAdd, [&](TestClient& c) { c.Send(kx::kMsgUser, kx::kSubAdd, "abc", 3); }},
        {"delete id that is not a number", kx::kMsgPerson, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgPerson, kx::kSubDelete, "12x"); }},
        {"modify of an unknown user", kx::kMsgUser, kx::kSubModify,
         [&](TestClient& c) {
             auto com = UserRecord("ghost", "x", 1);
             com.nID = 9999;
             c.SendRecord(kx::kMsgUser, kx::kSubModify, com);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.send(*admin);
        EXPECT_TRUE(admin->Quiet(c.type, c.sub) && alice->Quiet(c.type, c.sub, 0ms));
    }
    EXPECT_EQ(Text("VUZO_FileTag", tagId, "T_Name"), "mine");
    EXPECT_EQ(Text("VUZO_FileTag", tagId, "T_UserID"), std::to_string(aliceId));
    EXPECT_EQ(Count(" SELECT * FROM VUZO_UserGroup "), 0);
    EXPECT_EQ(Count(" SELECT * FROM VUZO_User WHERE T_Logon = 'ghost' "), 0);
    EXPECT_EQ(LogLines().size(), lines);
}

// A database that refuses each write: nothing is sent, memory keeps what it had, no line is
// logged. The table is taken away (renamed) for the write and put back after it.
TEST_F(UserServices, FailedDatabaseWriteSendsNothingAndKeepsMemory) {
    CkxXXX& kx = KX_KXXXX();
    // One entry of every memory-backed kind to modify and delete.
    admin->SendRecord(kx::kMsgUserRole, kx::kSubAdd, RoleRecord("r", 1));
    admin->SendRecord(kx::kMsgFileRole, kx::kSubAdd, PowerRoleRecord("f", 1));
    admin->SendRecord(kx::kMsgFolderRole, kx::kSubAdd, PowerRoleRecord("d", 1));
    admin->SendRecord(kx::kMsgPerson, kx::kSubAdd, PersonRecord("p", 1));
    admin->SendRecord(kx::kMsgShare, kx::kSubAdd, MarkRecord(1, 1, "s"));
    admin->SendRecord(kx::kMsgBookmark, kx::kSubAdd, MarkRecord(1, 1, "t"));
    CkxUserGroup g0;
    g0.m_strName = "g";
    SendGroup(*admin, 21, g0.GetComData(), MemberBytes({alice->UserId()}));
    std::map<int, int> ids;
    for (int type : {kx::kMsgUserRole, kx::kMsgFileRole, kx::kMsgFolderRole, kx::kMsgPerson, kx::kMsgShare, kx::kMsgBookmark, kx::kMsgUserGroup}) {
        const auto a = admin->Wait(type, kx::kSubAdd);
        ASSERT_TRUE(a) << type;
        ids[type] = *reinterpret_cast<const int32_t*>(a->payload.data());
        if (type != kx::kMsgBookmark) ASSERT_TRUE(alice->Wait(type, kx::kSubAdd)) << type;
    }
    ids[5] = alice->UserId();
    const size_t lines = LogLines().size();

    // The in-memory lists as text, to compare before and after.
    auto memory = [&] {
        return Locked([&] {
            std::string out;
            auto add = [&](const auto& list) {
                list.ForEach([&](const auto& r) {
                    const auto com = r.GetComData();
                    out += Bytes(com);
                });
                out += '|';
            };
            add(kx.m_UserList);
            add(kx.m_UserGroupList);
            add(kx.m_UserRoleList);
            add(kx.m_FileRoleList);
            add(kx.m_FolderRoleList);
            add(kx.m_PersonList);
            std::vector<int> groups;
            kx.ugGetGroupIncludeUser(alice->UserId(), groups);
            out += std::to_string(groups.size());
            return out;
        });
    };
    const std::string before = memory();

    const std::map<int, const char*> tables = {{5, "VUZO_User"},       {6, "VUZO_UserGroup"},
                                               {7, "VUZO_UserRole"},   {13, "VUZO_FileRole"},
                                               {14, "VUZO_FolderRole"}, {52, "VUZO_Person"},
                                               {48, "VUZO_FileShare"}, {47, "VUZO_FileTag"}};
    for (const auto& [type, table] : tables) {
        for (int sub : {21, 22, 23}) {
            SCOPED_TRACE(std::string(table) + " sub " + std::to_string(sub));
            const int id = ids[type];
            auto send = [&, type = type, sub] {
                if (sub == 23) return admin->SendText(type, kx::kSubDelete, std::to_string(id));
                switch (type) {
                case 5: {
                    auto c = UserRecord("x", "y", 1);
                    c.nID = id;
                    return admin->SendRecord(kx::kMsgUser, sub, c);
                }
                case 6: {
                    CkxUserGroup g;
                    g.m_nID = id;
                    g.m_strName = "x";
                    return SendGroup(*admin, sub, g.GetComData(), MemberBytes({alice->UserId()}));
                }
                case 7: {
                    auto c = RoleRecord("x", 2);
                    c.nID = id;
                    return admin->SendRecord(kx::kMsgUserRole, sub, c);
                }
                case 13:
                case 14: {
                    auto c = PowerRoleRecord("x", 2);
                    c.nID = id;
                    return admin->SendRecord(type, sub, c);
                }
                case 52: {
                    auto c = PersonRecord("x", 2);
                    c.nID = id;
                    return admin->SendRecord(kx::kMsgPerson, sub, c);
                }
                default: {
                    auto c = MarkRecord(1, 2, "x");
                    c.nID = id;
                    return admin->SendRecord(type, sub, c);
                }
                }
            };
            Execute(std::string(" ALTER TABLE ") + table + " RENAME TO " + table + "_off ");
            {
                kxtest::DbErrorLog quiet;
                ASSERT_TRUE(send());
                // The handler has met the missing table once its failure is logged; it is done
                // once the catalogue lock is free again. Only then may the table come back.
                EXPECT_TRUE(quiet.WaitForAny());
                Locked([] { return 0; });
                EXPECT_TRUE(admin->Quiet(type, sub, 200ms) && alice->Quiet(type, sub, 0ms));
            }
            Execute(std::string(" ALTER TABLE ") + table + "_off RENAME TO " + table + " ");
            EXPECT_EQ(memory(), before);
            EXPECT_EQ(LogLines().size(), lines);
        }
    }

    // A role whose id an account could not name is not created either.
    Execute(" UPDATE sqlite_sequence SET seq = 255 WHERE name = 'VUZO_UserRole' ");
    admin->SendRecord(kx::kMsgUserRole, kx::kSubAdd, RoleRecord("too far", 1));
    EXPECT_TRUE(admin->Quiet(kx::kMsgUserRole, kx::kSubAdd, 400ms) && alice->Quiet(kx::kMsgUserRole, kx::kSubAdd, 0ms));
    EXPECT_EQ(Count(" SELECT * FROM VUZO_UserRole WHERE T_ID > 255 "), 0);
    EXPECT_EQ(memory(), before);
    EXPECT_EQ(LogLines().size(), lines);
}

} // namespace
