#include "model/CkxClient.h"
#include "model/CkxContainer.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserOnline.h"
#include "model/CkxUserRole.h"
#include "model/CkxUserX.h"

#include "core/support/WireText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }
int L(const std::string& s) { return static_cast<int>(s.size()); }

CkxUser Account(int id, const std::string& logon, const std::string& pwd, int state, int online = 0) {
    CkxUser u;
    u.m_nID = id;
    u.m_strLogon = logon;
    u.m_strPassword = pwd;
    u.m_nState = static_cast<uint8_t>(state);
    u.m_nOnline = online;
    return u;
}

} // namespace

TEST(CkxUser, GoldenRecordWithAndWithoutPassword) {
    CkxUser u = Account(12, "su", "pw", 1);
    u.m_strUser = "管理员";
    ASSERT_EQ(u.SetRoleID(3), 1);
    u.m_strDept = "d";
    u.m_strJob = "j";
    u.m_strTel = "t";
    u.m_strMobile = "m";
    u.m_strEMail = "e";
    u.m_strRemark = "r";
    std::string tail = Field("d", 50) + Field("j", 50) + Field("t", 50) + Field("m", 50) + Field("e", 50) + Field("r", 50);
    std::string head = I32(12) + Field("su", 50) + Field("\xB9\xDC\xC0\xED\xD4\xB1", 50);
    std::string expect = head + Field("pw", 50) + "\x01\x03" + I32(0) + tail;
    ASSERT_EQ(expect.size(), 460u);
    EXPECT_EQ(kx::RecordBytes(u.GetComData()), expect);
    EXPECT_EQ(kx::RecordBytes(u.GetComData(false)), head + std::string(50, '\0') + "\x01\x03" + I32(0) + tail);

    CkxUser::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxUser back(c);
    EXPECT_EQ(back.m_strUser, "管理员");
    EXPECT_EQ(back.m_strPassword, "pw");
    EXPECT_EQ(back.GetRoleID(), 3);
    EXPECT_EQ(back.m_strRemark, "r");

    CkxUser fresh;
    EXPECT_EQ(fresh.m_nID, -1);
    EXPECT_TRUE(fresh.IsStateInv());
    fresh.m_nState = 9;
    EXPECT_TRUE(fresh.IsStateInv());
}

TEST(CkxUser, RoleIdsThatCannotTravelAreRefused) {
    CkxUser u;
    ASSERT_EQ(u.SetRoleID(255), 1);
    for (int id : {256, 300, -1, 511}) {
        EXPECT_EQ(u.SetRoleID(id), 0) << id;
        EXPECT_EQ(u.GetRoleID(), 255) << id;
    }
    EXPECT_EQ(u.SetRoleID(0), 1);
}

TEST(CkxUserList, CheckCanLoginInOrder) {
    CkxUserList users;
    users.AddUser(Account(1, "Ann", "a", 1));
    users.AddUser(Account(2, "bob", "b", 1, 1));
    users.AddUser(Account(3, "cy", "c", 2));
    users.AddUser(Account(4, "dee", "d", 0));
    users.AddUser(Account(5, "eve", "e", 7));
    struct Case {
        const char* logon;
        const char* pwd;
        int expect;
    } cases[] = {
        {"ann", "a", 3}, {"nobody", "x", 3}, // case matters
        {"bob", "wrong", 1},                 // online wins over a wrong password
        {"Ann", "A", 6}, {"Ann", "", 6},     {"cy", "x", 6},
        {"cy", "c", 4},  {"dee", "d", 5},    {"Ann", "a", 0},
        {"eve", "e", 0}, // states other than 0 and 2 pass
    };
    for (const Case& c : cases) EXPECT_EQ(users.CheckCanLogin(c.logon, c.pwd), c.expect) << c.logon << "/" << c.pwd;

    EXPECT_EQ(users.GetID("cy"), 3);
    EXPECT_EQ(users.GetID("CY"), -1);
    EXPECT_EQ(users.CheckLogonExist("dee"), 1);
    EXPECT_EQ(users.GetName(4), "dee");
    EXPECT_EQ(users.GetName(40), "");
    users.SetOnLine("Ann");
    EXPECT_EQ(users.CheckCanLogin("Ann", "a"), 1);
    users.SetOffline(1);
    EXPECT_EQ(users.Find(1)->m_nOnline, 0);
    users.SetOnline(1);
    EXPECT_EQ(users.Find("Ann")->m_nOnline, 1);

    CkxUser changed = Account(3, "cy", "new", 1);
    EXPECT_EQ(users.Update(changed), 1);
    EXPECT_EQ(users.CheckCanLogin("cy", "new"), 0);
    EXPECT_EQ(users.Delete(3), 1);
    EXPECT_EQ(users.Find("cy"), nullptr);
}

TEST(CkxUserRole, PowerTestsOverBitCombinations) {
    using R = CkxUserRole;
    int (*tests[])(int) = {R::IsHasPower_UserAdmin,     R::IsHasPower_SystemAdmin,   R::IsHasPower_FamilyAdmin,
                           R::IsHasPower_DirOperate,    R::IsHasPower_FileOperate,   R::IsHasPower_ProjectOperate,
                           R::IsHasPower_PersonOperate, R::IsHasPower_KeywordOperate, R::IsHasPower_OnlyQuery};
    struct Case {
        int powers;
        int expect[9];
    } cases[] = {
        {0x0, {0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {0x1, {1, 1, 1, 1, 1, 1, 1, 1, 0}},
        {0x2, {0, 1, 1, 1, 1, 1, 1, 1, 0}},
        {0x4, {0, 0, 1, 0, 0, 0, 0, 0, 0}},
        {0x100, {0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {0x200, {0, 0, 0, 0, 1, 0, 0, 0, 0}},
        {0x400, {0, 0, 0, 0, 0, 1, 0, 0, 0}},
        {0x800, {0, 0, 0, 0, 0, 0, 1, 0, 0}},
        {0x1000, {0, 0, 0, 0, 0, 0, 0, 1, 0}},
        {0x1F04, {0, 0, 1, 1, 1, 1, 1, 1, 0}},
        {0x8, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        for (int t = 0; t < 9; ++t) EXPECT_EQ(tests[t](c.powers), c.expect[t]) << std::hex << c.powers << " test " << t;
}

TEST(CkxUserRole, GoldenRecordAndList) {
    CkxUserRole r;
    r.m_nID = 2;
    r.m_strName = "op";
    r.m_nIsSystem = 1;
    r.SetTypeDevice();
    r.m_nPower = 0x300;
    r.m_strRemark = "x";
    std::string expect = I32(2) + Field("op", 52) + I32(1) + std::string("\x02\x00\x00\x00", 4) + I32(0x300) + Field("x", 200);
    ASSERT_EQ(expect.size(), 268u);
    EXPECT_EQ(kx::RecordBytes(r.GetComData()), expect);
    CkxUserRole::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxUserRole back(c);
    EXPECT_TRUE(back.IsTypeDevice());
    EXPECT_EQ(back.m_nPower, 0x300);
    CkxUserRoleList roles;
    EXPECT_EQ(roles.GetHead(), nullptr);
    roles.AddTail(back);
    back.m_strName = "renamed";
    roles.Update(back);
    EXPECT_EQ(roles.GetHead()->m_strName, "renamed");
}

TEST(CkxUserGroup, RecordAndMemberContainer) {
    CkxUserGroup g;
    g.m_nID = 4;
    g.m_strName = "g";
    g.m_strNote = "n";
    std::string expect = I32(4) + Field("g", 50) + Field("n", 50);
    EXPECT_EQ(kx::RecordBytes(g.GetComData()), expect);

    g.m_UserList = {7, 3, 9};
    CkxBuf buf;
    ASSERT_EQ(g.BuildQueryBuf(buf), 28);
    EXPECT_EQ(buf.View(), I32(3) + I32(4) + I32(4) + I32(4) + I32(7) + I32(3) + I32(9));

    CkxUserGroup back;
    back.m_UserList = {1};
    EXPECT_EQ(back.PasyQueryBuf(buf.GetBuf(), 0), 0);
    EXPECT_EQ(back.m_UserList, (std::vector<int32_t>{1}));
    ASSERT_EQ(back.PasyQueryBuf(buf.GetBuf(), buf.GetLen()), 1);
    EXPECT_EQ(back.m_UserList, (std::vector<int32_t>{7, 3, 9}));
    EXPECT_EQ(back.CheckIncludeUser(3), 1);
    EXPECT_EQ(back.CheckIncludeUser(4), 0);

    // A group without members is a container of no sections: it empties the list.
    CkxUserGroup none;
    CkxBuf empty;
    ASSERT_EQ(none.BuildQueryBuf(empty), 4);
    ASSERT_EQ(back.PasyQueryBuf(empty.GetBuf(), empty.GetLen()), 1);
    EXPECT_TRUE(back.m_UserList.empty());

    // Broken buffers change nothing.
    back.m_UserList = {1};
    std::string bad[] = {
        I32(1) + I32(2) + "ab",           // a section under 4 bytes
        I32(2) + I32(4) + I32(4) + "abcd", // lengths past the end
        std::string("\x00\x00", 2),        // shorter than the count
        I32(-1),
    };
    for (const std::string& b : bad) {
        EXPECT_EQ(back.PasyQueryBuf(U(b), L(b)), 0);
        EXPECT_EQ(back.m_UserList, (std::vector<int32_t>{1}));
    }
    EXPECT_EQ(back.PasyQueryBuf(nullptr, 8), 0);

    CkxUserGroupList groups;
    CkxUserGroup a, b2, c;
    a.m_nID = 1;
    a.m_UserList = {5, 6};
    b2.m_nID = 2;
    b2.m_UserList = {6};
    c.m_nID = 3;
    c.m_UserList = {5};
    groups.AddTail(a);
    groups.AddTail(b2);
    groups.AddTail(c);
    std::vector<int> out{99};
    EXPECT_EQ(groups.GetGroupIncludeUser(5, out), 2);
    EXPECT_EQ(out, (std::vector<int>{1, 3}));
    EXPECT_EQ(groups.GetGroupIncludeUser(8, out), 0);
    EXPECT_TRUE(out.empty());
}

TEST(CkxUserX, EntriesAndBuffer) {
    CkxUserXList list;
    list.AddTail(CkxUserX(5, CkxUserX::TYPE_GROUP));
    CkxUserX u(8, CkxUserX::TYPE_USER);
    u.Enable(1);
    list.AddTail(u);
    CkxBuf buf;
    ASSERT_EQ(list.BuildBuf(buf), 24);
    EXPECT_EQ(buf.View(), I32(5) + std::string("\x01\0\0\0", 4) + I32(0) + I32(8) + std::string("\x02\0\0\0", 4) + I32(1));

    // 25 bytes: two entries, the last byte ignored; reserved bytes are not read.
    std::string bytes = std::string(buf.View()) + "z";
    bytes[5] = 'q';
    CkxUserXList back;
    EXPECT_EQ(back.PasyBuf(U(bytes), L(bytes)), 2);
    EXPECT_EQ(back.GetCount(), 2);
    EXPECT_EQ(back.Find(8)->m_nEnable, 1);
    EXPECT_EQ(back.PasyBuf(U(bytes), 11), 0);
    EXPECT_EQ(back.PasyBuf(U(bytes), 12), 1); // appends
    EXPECT_EQ(back.GetCount(), 3);
    std::vector<CkxUserX*> groups, users;
    EXPECT_EQ(back._GetAllGroup(groups), 2);
    EXPECT_EQ(back._GetAllUser(users), 1);
    EXPECT_EQ(back.CheckValid(5), 1);
    EXPECT_EQ(back.CheckValid(6), 0);
    CkxBuf none;
    EXPECT_EQ(CkxUserXList().BuildBuf(none), 0);
}

TEST(CkxUserOnline, DuplicatesAndDelete) {
    CkxUserOnline on;
    on.AddTail(3);
    on.AddTail(3);
    on.AddTail(4);
    on.Delete(3);
    EXPECT_EQ(on.IsValid(3), 1);
    EXPECT_EQ(on.GetCount(), 2);
    on.Delete(3);
    EXPECT_EQ(on.IsValid(3), 0);
    on.DeleteAll();
    EXPECT_EQ(on.GetCount(), 0);
}

TEST(CkxClient, GoldenRecord) {
    CkxClient c;
    c.Set_MS_Manager();
    c.m_strLogon = "su";
    c.m_strPassword = std::string(60, 'p'); // cut to 49 bytes, the NUL kept
    std::string expect = I32(3) + Field("su", 50) + Field(std::string(49, 'p'), 50) + Field("", 52);
    ASSERT_EQ(expect.size(), 156u);
    EXPECT_EQ(kx::RecordBytes(c.GetComData()), expect);
    CkxClient::_COM rec;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), rec));
    CkxClient back(rec);
    EXPECT_TRUE(back.Is_MS_Manager());
    EXPECT_EQ(back.m_strPassword, std::string(49, 'p'));
}
