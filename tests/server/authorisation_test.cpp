// The server applies the rights itself: a user whose role has no powers and who holds no grant
// sends requests by hand and each is refused (nothing announced, the catalogue unchanged, one
// warning line naming the user and the type), while a user with the right passes. Then the finer
// rules: a full-control grant on one folder, the holder of a check-out, the checked-out list.
#include "model/CkxCheckout.h"
#include "model/CkxFSNode.h"
#include "model/CkxKeyword.h"
#include "model/CkxLog.h"
#include "model/CkxPerson.h"
#include "model/CkxProject.h"
#include "model/CkxUser.h"
#include "model/CkxUserRole.h"
#include "model/CkxXXX.h"
#include "server/support/FileTestKit.h"
#include "server/support/TwoWorkstations.h"
#include "transport/NetMessage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <functional>
#include <string>

using namespace srvtest;
using namespace std::chrono_literals;

namespace {

constexpr int kNoPowerRole = 99; // role ids are a byte

NetMessage Pieces(int type, int sub, const std::vector<std::string>& pieces, uint32_t param = 0) {
    NetMessage m;
    m.SetCommand(type, sub);
    m.SetParam(param);
    for (const std::string& p : pieces) m.AppendData(p.data(), p.size());
    return m;
}

std::string RightsOf(const CkxFSNode& n) {
    CkxBuf b;
    n.BuildPower(b);
    return std::string(b.View());
}

// su, alice (an operator) and bob, whose role is changed to one without any power.
class Authorisation : public ThreeWorkstations {
protected:
    void SetUp() override {
        ThreeWorkstations::SetUp();
        if (HasFatalFailure()) return;
        server.Locked([&] {
            CkxUserRole none;
            none.m_nID = kNoPowerRole;
            none.m_strName = "无权";
            none.m_nPower = 0;
            KX_KXXXX().m_UserRoleList.AddTail(none);
            KX_KXXXX().m_UserList.Find(bob->UserId())->m_nRoleID = kNoPowerRole;
            return 0;
        });
        // A folder of su's that nobody else may even see, with one file of su's in it.
        secret = AddFolderDirect(server, "机密", -1, su->UserId(), 0);
        CkxFileImage f = MakeFile("secret", "jpg", su->UserId(), 0, "SECRET", "m");
        f.m_nLocDirID = secret.m_nID;
        file = StoreFile(server, f);
        ASSERT_GT(file, 0);
    }

    int Refusals(int type, int sub) {
        return LogLines(server.Db(), "<bob> 无权执行的请求(类型 " + std::to_string(type) + ", 操作 " + std::to_string(sub) + ")被拒绝");
    }

    CkxFSNode secret;
    int file = -1;
};

struct Case {
    const char* name;
    int type, sub;
    std::function<void(TestClient&)> send;
    std::function<std::string()> state; // what must not change when refused
    bool suPasses = true;               // su, with every power, gets the answer
};

TEST_F(Authorisation, APowerlessUserIsRefusedEveryChangeAndRestrictedRead) {
    CADODatabase& db = server.Db();
    auto count = [&](const char* table) { return [&db, table] { return std::to_string(RowCount(db, std::string(" SELECT * FROM ") + table)); }; };
    const int suRole = server.Locked([&] { return KX_KXXXX().m_UserList.Find(su->UserId())->m_nRoleID; });

    const Case cases[] = {
        {"raise its own role", kx::kMsgUser, kx::kSubModify,
         [&](TestClient& c) {
             CkxUser u = server.Locked([&] { return *KX_KXXXX().m_UserList.Find(bob->UserId()); });
             u.m_nRoleID = static_cast<uint8_t>(suRole);
             c.SendRecord(kx::kMsgUser, kx::kSubModify, u.GetComData());
         },
         [&] { return std::to_string(QueryInt(db, " SELECT T_Role FROM VUZO_User WHERE T_Logon = 'bob' ")); }},
        {"delete another account", kx::kMsgUser, kx::kSubDelete,
         [&](TestClient& c) { c.SendText(kx::kMsgUser, kx::kSubDelete, std::to_string(server.UserId("dave"))); }, count("VUZO_User")},
        {"add a role", kx::kMsgUserRole, kx::kSubAdd,
         [](TestClient& c) {
             CkxUserRole r;
             r.m_strName = "全能";
             r.m_nPower = 0x1F07;
             c.SendRecord(kx::kMsgUserRole, kx::kSubAdd, r.GetComData());
         },
         count("VUZO_UserRole")},
        {"grant itself the secret folder", kx::kMsgFolder, kx::kSubModify,
         [&](TestClient& c) {
             CkxFSNode n = secret;
             n.m_Power.m_nEveryonePower = 0xFFFFFFFF;
             const CkxFSNode::_COM com = n.GetComData();
             c.SendMessage(Pieces(kx::kMsgFolder, kx::kSubModify, {Bytes(com), RightsOf(n)}));
         },
         [&] { return server.Locked([&] { return RightsOf(*KX_KXXXX().fsFind(secret.m_nID)); }); }},
        {"a folder at the root", kx::kMsgFolder, kx::kSubAdd,
         [](TestClient& c) {
             CkxFSNode n;
             n.m_strName = "新";
             n.m_nParentID = -1;
             c.SendMessage(Pieces(kx::kMsgFolder, kx::kSubAdd, {Bytes(n.GetComData())}));
         },
         count("VUZO_Dir")},
        {"delete the secret folder", kx::kMsgFolder, kx::kSubDelete,
         [&](TestClient& c) { c.SendMessage(Pieces(kx::kMsgFolder, kx::kSubDelete, {Bytes(secret.GetComData())})); }, count("VUZO_Dir")},
        {"a file at the root", kx::kMsgFile, kx::kSubAdd,
         [](TestClient& c) {
             CkxFileImage f = MakeFile("up", "jpg", -1, kReadOpen, "UP", "m");
             SendPieces(c, kx::kMsgFile, kx::kSubAdd, {FileData(f)});
         },
         count("VUZO_FImage"), false /* su's add gets no answer either */},
        {"rename su's file and open its rights", kx::kMsgFileModify, kx::kSubModify,
         [&](TestClient& c) {
             auto row = ReadRow(db, file);
             row->m_strTitle = "mine";
             row->m_Power.m_nEveryonePower = 0xFFFFFFFF;
             CkxBuf base, ex, power;
             row->BuildBaseAttr(base);
             row->BuildExattr(ex);
             row->BuildPower(power);
             SendPieces(c, kx::kMsgFileModify, kx::kSubModify, {std::string(base.View()), std::string(ex.View()), std::string(power.View())});
         },
         [&] { return ReadRow(db, file)->m_strTitle; }},
        {"check su's file out", kx::kMsgCheckOut, kx::kSubNone,
         [&](TestClient& c) {
             CkxCheckout co;
             co.m_nFileID = file;
             c.SendRecord(kx::kMsgCheckOut, kx::kSubNone, co.GetComData());
         },
         [&] { return std::to_string(ReadRow(db, file)->m_nCheckouted); }},
        {"a family", kx::kMsgFamily, kx::kSubDelete, [](TestClient& c) { c.SendText(kx::kMsgFamily, kx::kSubDelete, "100000001"); },
         count("VUZO_Family"), false},
        {"a keyword", kx::kMsgKeyword, kx::kSubAdd,
         [](TestClient& c) {
             CkxKeyword k;
             k.m_nGroupID = 1;
             k.m_strName = "偷";
             c.SendRecord(kx::kMsgKeyword, kx::kSubAdd, k.GetComData());
         },
         count("VUZO_Keyword")},
        {"a person", kx::kMsgPerson, kx::kSubAdd,
         [](TestClient& c) {
             CkxPerson p;
             p.m_strName = "某人";
             c.SendRecord(kx::kMsgPerson, kx::kSubAdd, p.GetComData());
         },
         count("VUZO_Person")},
        {"a project", kx::kMsgProject, kx::kSubAdd,
         [](TestClient& c) {
             CkxProject p;
             p.m_strName = "项目";
             c.SendMessage(Pieces(kx::kMsgProject, kx::kSubAdd, {Bytes(p.GetComData()), std::string()}));
         },
         count("VUZO_Project")},
        {"read the operation log", kx::kMsgLogQuery, kx::kSubNone,
         [](TestClient& c) { c.SendRecord(kx::kMsgLogQuery, kx::kSubNone, CkxLog().GetComData()); }, [] { return std::string(); }},
        {"delete the operation log", kx::kMsgLogDelete, kx::kSubNone,
         [](TestClient& c) {
             const double day = COleDateTime::GetCurrentTime().m_dt + 1;
             c.Send(kx::kMsgLogDelete, kx::kSubNone, &day, sizeof day);
         },
         // the refusal's own line aside
         [&] { return std::to_string(RowCount(db, " SELECT * FROM VUZO_Log WHERE T_Event NOT LIKE '%无权执行%' ")); },
         false /* a prune is never answered */},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = c.state();
        const int refusalsBefore = Refusals(c.type, c.sub);
        c.send(*bob);
        // Answered once handled: a later request shows the refused one went by.
        bob->Send(kx::kMsgServerRecord, kx::kSubList);
        ASSERT_TRUE(bob->Wait(kx::kMsgServerRecord, kx::kSubList));
        EXPECT_TRUE(bob->Quiet(c.type, -1, 0ms)) << "the requester heard something";
        EXPECT_TRUE(alice->Quiet(c.type, -1, 100ms)) << "another session heard something";
        EXPECT_EQ(c.state(), before) << "changed";
        EXPECT_EQ(Refusals(c.type, c.sub), refusalsBefore + 1) << "one warning line naming the user and the type";
    }

    // su, with the powers, passes where the request has an answer.
    for (const Case& c : cases) {
        if (!c.suPasses) continue;
        SCOPED_TRACE(std::string("su: ") + c.name);
        c.send(*su);
        EXPECT_TRUE(su->Wait(c.type, -1, 3s)) << "refused to the user with the right";
    }
}

TEST_F(Authorisation, FullControlOfOneFolderAllowsItsRightsAndNothingAbove) {
    // A sub-folder of the secret one, whose rights give bob full control of it alone.
    const CkxFSNode sub = AddFolderDirect(server, "子", secret.m_nID, su->UserId(), 0xFFFFFFFF);
    // Bob's role gets folder operation, so only the folders' rights decide.
    server.Locked([&] {
        KX_KXXXX().m_UserRoleList.Find(kNoPowerRole)->m_nPower = KXR_DIROPERATE;
        // Bob may open the way down to the sub-folder.
        KX_KXXXX().fsFind(secret.m_nID)->m_Power.m_nEveryonePower = KXP_DIR_OPEN | KXP_DIR_READ;
        return 0;
    });

    // The change is a multi-part message, which the server handles after any whole packet sent
    // behind it: the test waits for the change's own outcome (its notice, or its refusal line).
    const std::string refusal = "无权执行的请求(类型 " + std::to_string(kx::kMsgFolder);
    auto change = [&](const CkxFSNode& n, bool allowed) {
        const int refusedBefore = server.Locked([&] { return LogLines(server.Db(), refusal); });
        CkxFSNode edited = n;
        edited.m_Power.m_nEveryonePower = KXP_DIR_OPEN;
        bob->SendMessage(Pieces(kx::kMsgFolder, kx::kSubModify, {Bytes(edited.GetComData()), RightsOf(edited)}));
        if (allowed) {
            EXPECT_TRUE(bob->Wait(kx::kMsgFolder, kx::kSubModify, 10s));
        } else {
            const auto until = std::chrono::steady_clock::now() + 10s;
            while (server.Locked([&] { return LogLines(server.Db(), refusal); }) == refusedBefore &&
                   std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(20ms);
            EXPECT_GT(server.Locked([&] { return LogLines(server.Db(), refusal); }), refusedBefore);
        }
        return server.Locked([&] { return KX_KXXXX().fsFind(n.m_nID)->m_Power.m_nEveryonePower; });
    };
    EXPECT_EQ(change(sub, true), static_cast<uint32_t>(KXP_DIR_OPEN)) << "full control of the sub-folder";
    EXPECT_NE(change(secret, false), static_cast<uint32_t>(KXP_DIR_OPEN)) << "nothing above it";
}

TEST_F(Authorisation, OnlyTheHolderChecksInAndTheListShowsOnlyReadableFiles) {
    // Alice's own file in a folder of her own, checked out by her.
    const CkxFSNode mine = AddFolderDirect(server, "alice", -1, alice->UserId(), 0);
    CkxFileImage f = MakeFile("hers", "jpg", alice->UserId(), 0, "H", "m");
    f.m_nLocDirID = mine.m_nID;
    const int hers = StoreFile(server, f);
    CkxCheckout co;
    co.m_nFileID = hers;
    ASSERT_TRUE(alice->SendRecord(kx::kMsgCheckOut, kx::kSubNone, co.GetComData()));
    ASSERT_TRUE(alice->Wait(kx::kMsgCheckOut));

    // Bob may not check it in; alice may.
    ASSERT_TRUE(bob->SendRecord(kx::kMsgCheckIn, kx::kSubNone, co.GetComData()));
    EXPECT_TRUE(alice->Quiet(kx::kMsgCheckIn, -1, 200ms));
    EXPECT_EQ(ReadRow(server.Db(), hers)->m_nCheckouted, 1);

    // The checked-out list: bob sees nothing of alice's (he may not read it), su sees it.
    bob->Send(kx::kMsgCheckoutList, kx::kSubList);
    auto forBob = bob->WaitSeries(kx::kMsgCheckoutList, kx::kSubNone, 500ms);
    EXPECT_TRUE(!forBob || forBob->empty());
    su->Send(kx::kMsgCheckoutList, kx::kSubList);
    auto forSu = su->WaitSeries(kx::kMsgCheckoutList, kx::kSubNone);
    ASSERT_TRUE(forSu);
    EXPECT_EQ(forSu->size(), 1u);

    ASSERT_TRUE(alice->SendRecord(kx::kMsgCheckIn, kx::kSubNone, co.GetComData()));
    EXPECT_TRUE(alice->Wait(kx::kMsgCheckIn));
    EXPECT_EQ(ReadRow(server.Db(), hers)->m_nCheckouted, 0);
}

} // namespace
