#include "model/CkxFileRole.h"
#include "model/CkxPower.h"
#include "model/CkxUserLicence.h"

#include "core/support/WireText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CkxUserLicence Grant(int grantee, int kind, uint32_t power, int state = 1) {
    CkxUserLicence l;
    l.m_nItemType = CkxUserLicence::ITEM_FOLDER;
    l.m_nItemID = 11;
    l.m_nAlieneeID = grantee;
    l.m_nAlieneeType = static_cast<uint8_t>(kind);
    l.m_nPower = power;
    l.m_nState = static_cast<uint8_t>(state);
    return l;
}

// The grant record as it travels, written out by hand.
std::string GrantBytes(uint8_t item, int32_t itemId, uint32_t power, int32_t grantee, uint8_t kind,
                       uint8_t state) {
    return std::string(1, static_cast<char>(item)) + std::string(3, '\0') + I32(itemId) +
           I32(static_cast<int32_t>(power)) + I32(grantee) + std::string(1, static_cast<char>(kind)) +
           std::string(1, static_cast<char>(state)) + std::string(2, '\0');
}

} // namespace

TEST(CkxUserLicence, DefaultsAndGoldenRecord) {
    CkxUserLicence d;
    EXPECT_TRUE(d.IsUser());
    EXPECT_TRUE(d.IsStateAllow());
    EXPECT_EQ(d.m_nItemID, 0);
    CkxUserLicence g = Grant(5, 1, 0x4000, 2);
    std::string expect = GrantBytes(1, 11, 0x4000, 5, 1, 2);
    EXPECT_EQ(kx::RecordBytes(g.GetComData()), expect);
    CkxUserLicence::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxUserLicence back(c);
    EXPECT_TRUE(back.IsGroup());
    EXPECT_TRUE(back.IsStateForbid()); // carried; the evaluation does not read it
    EXPECT_EQ(back.m_nPower, 0x4000u);
    back.m_nState = 7;
    EXPECT_TRUE(back.IsStateForbid());
}

TEST(CkxUserLicenceList, LookupsTakeTheFirstGrant) {
    CkxUserLicenceList list;
    list.AddTail(Grant(5, 1, 0x0C));
    list.AddTail(Grant(3, 2, 0x10));
    list.AddTail(Grant(7, 1, 0x30));
    list.AddTail(Grant(3, 2, 0x20));
    list.AddTail(Grant(5, 1, 0x3C));
    EXPECT_EQ(list.AddTail(static_cast<CkxUserLicence*>(nullptr)), nullptr);
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.GetLength(), 100);

    EXPECT_EQ(list.GetUserPower(3), 0x10u);
    EXPECT_EQ(list.GetUserPower(5), KX_NO_POWER); // a group grant for id 5 is no user grant
    EXPECT_EQ(list.GetGroupPower(5), 0x0Cu);
    EXPECT_EQ(list.GetGroupPower(3), KX_NO_POWER);
    std::vector<int> ids{99};
    EXPECT_EQ(list.GetAllGroup(ids), 3);
    EXPECT_EQ(ids, (std::vector<int>{5, 7, 5}));
    EXPECT_EQ(list.GetAllUser(ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{3, 3}));

    EXPECT_EQ(list.DeleteUserPower(3), 1);
    EXPECT_EQ(list.GetUserPower(3), 0x20u);
    EXPECT_EQ(list.DeleteAllGroupPower(), 3);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.DeleteGroupPower(5), 0);

    CkxUserLicenceList copy(list);
    list.DeleteAll();
    EXPECT_EQ(copy.GetUserPower(3), 0x20u);
}

TEST(CkxPower, RightsBufferRoundTrip) {
    CkxPower p;
    p.m_nInherit = 0;
    p.m_nEveryonePower = 0x3C;
    p.m_LicenceList.AddTail(Grant(4, 2, 0x8000));
    p.m_LicenceList.AddTail(Grant(6, 1, 0x1000, 2));
    CkxBuf buf;
    ASSERT_EQ(p.BuildBuf(buf), 48);
    std::string expect = I32(0) + I32(0x3C) + GrantBytes(1, 11, 0x8000, 4, 2, 1) + GrantBytes(1, 11, 0x1000, 6, 1, 2);
    EXPECT_EQ(buf.View(), expect);

    CkxPower back;
    ASSERT_EQ(back.PasyBuf(buf.GetBuf(), buf.GetLen()), 1);
    EXPECT_EQ(back.IsInherit(), 0);
    EXPECT_EQ(back.m_nEveryonePower, 0x3Cu);
    EXPECT_EQ(back.m_LicenceList.GetCount(), 2);
    EXPECT_EQ(back.m_LicenceList.GetUserPower(4), 0x8000u);
    EXPECT_EQ(back.m_LicenceList.GetGroupPower(6), 0x1000u);

    // A ragged tail is ignored.
    std::string ragged = expect + "xyz";
    CkxPower r;
    ASSERT_EQ(r.PasyBuf(reinterpret_cast<const unsigned char*>(ragged.data()), static_cast<int>(ragged.size())), 1);
    EXPECT_EQ(r.m_LicenceList.GetCount(), 2);

    // No grants: 8 bytes, and reading them leaves no grants behind.
    CkxPower empty;
    CkxBuf eb;
    ASSERT_EQ(empty.BuildBuf(eb), 8);
    ASSERT_EQ(back.PasyBuf(eb.GetBuf(), eb.GetLen()), 1);
    EXPECT_EQ(back.IsInherit(), 1);
    EXPECT_EQ(back.m_LicenceList.GetCount(), 0);
}

TEST(CkxPower, ShortBuffersAreRefused) {
    CkxPower p;
    p.m_nInherit = 0;
    p.m_nEveryonePower = 7;
    p.m_LicenceList.AddTail(Grant(1, 2, 1));
    std::string bytes = I32(1) + I32(60) + "abc";
    for (int len : {-1, 0, 1, 4, 7}) {
        EXPECT_EQ(p.PasyBuf(reinterpret_cast<const unsigned char*>(bytes.data()), len), 0) << len;
        EXPECT_EQ(p.m_nEveryonePower, 7u) << len;
        EXPECT_EQ(p.m_LicenceList.GetCount(), 1) << len;
    }
    EXPECT_EQ(p.PasyBuf(nullptr, 48), 0);

    // The grant list alone keeps its grants when given less than one record.
    CkxUserLicenceList l;
    l.AddTail(Grant(1, 2, 1));
    EXPECT_EQ(l.PasyBuf(reinterpret_cast<const unsigned char*>(bytes.data()), 11), 0);
    EXPECT_EQ(l.GetCount(), 1);
    CkxBuf none;
    EXPECT_EQ(CkxUserLicenceList().BuildBuf(none), 0);
    EXPECT_EQ(l.BuildTo(nullptr), 0);
}

TEST(CkxPower, RootDefaultsAndPowerEx) {
    EXPECT_EQ(CkxPower::GetRootDirEveryonePower(), 60u);
    CkxPower root = CkxPower::GetRootDirPower();
    EXPECT_EQ(root.IsInherit(), 0);
    EXPECT_EQ(root.m_nEveryonePower, 60u);
    EXPECT_EQ(root.m_LicenceList.GetCount(), 0);
    CkxPower fresh;
    EXPECT_EQ(fresh.IsInherit(), 1);
    EXPECT_EQ(fresh.m_nEveryonePower, 0u);

    CkxPowerEx ex;
    EXPECT_TRUE(ex.IsRootChild());
    EXPECT_EQ(ex.m_nItemID, -1);
    ex.SetParentValid();
    EXPECT_FALSE(ex.IsRootChild());
    EXPECT_EQ(ex.m_nParentID, 1);
    CkxPowerValue v;
    EXPECT_EQ(v.m_nPower, 0u);
    EXPECT_FALSE(v.IsFolder());
    EXPECT_EQ(v.IsInherit(), 0);
}

TEST(CkxFileRole, GoldenRecordAndList) {
    CkxFolderRole r;
    r.m_nID = 3;
    r.m_strName = "浏览";
    r.m_nIsSystem = 1;
    r.m_nPower = 0x0C;
    r.m_strRemark = "r";
    std::string expect = I32(3) + Field("\xE4\xAF\xC0\xC0", 52) + I32(1) + I32(0x0C) + Field("r", 52);
    ASSERT_EQ(expect.size(), 116u);
    EXPECT_EQ(kx::RecordBytes(r.GetComData()), expect);
    CkxFileRole::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxFileRole back(c);
    EXPECT_EQ(back.m_strName, "浏览");
    EXPECT_EQ(back.m_nPower, 0x0C);

    CkxFileRoleList list;
    list.AddTail(back);
    back.m_nPower = 0x4000;
    EXPECT_EQ(list.Update(back), 1);
    EXPECT_EQ(list.Find(3)->m_nPower, 0x4000);
    back.m_nID = 9;
    EXPECT_EQ(list.Update(back), 0);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetHead()->m_nID, 3);
}
