// Checkout and check-in (types 26 to 29) over loopback against the real server core.
#include "model/CkxCheckout.h"
#include "server/support/FileTestKit.h"

#include <gtest/gtest.h>

using namespace srvtest;

namespace {

CkxCheckout::_COM CheckoutRecord(int fileId, int mode, int user = -1) {
    CkxCheckout c;
    c.m_nFileID = fileId;
    c.m_nStorageID = 6; // wrong on purpose: the row's root is announced
    c.m_strTitle = "stale";
    c.m_strExt = "jpg";
    c.m_nUserID = user;
    c.m_nOpenMode = mode;
    c.m_nTag = 31;
    return c.GetComData();
}

double CheckinTime(TestServer& s, int id) {
    CADORecordset rs;
    if (!s.Db().Query("SELECT T_CheckinTime FROM VUZO_FImage WHERE T_ID = " + std::to_string(id), rs))
        return -1;
    rs.MoveFirst();
    COleDateTime dt;
    rs.GetDate("T_CheckinTime", dt);
    return dt.m_dt;
}

} // namespace

TEST(Checkout, SecondCheckoutLeavesTheSecondHolderAndCheckinKeepsCheckoutTime) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOnAdmin(); // the second holder may edit alice's file
    ASSERT_TRUE(alice && bob);
    CkxFileImage f = MakeFile("pic", "png", alice->UserId());
    const int id = InsertRow(server.Db(), f);

    ASSERT_TRUE(alice->SendRecord(kx::kMsgCheckOut, kx::kSubNone, CheckoutRecord(id, KXCO_OPEN_DEF, 99)));
    ASSERT_TRUE(alice->Wait(kx::kMsgCheckOut));
    ASSERT_TRUE(bob->Wait(kx::kMsgCheckOut));
    ASSERT_TRUE(bob->SendRecord(kx::kMsgCheckOut, kx::kSubNone, CheckoutRecord(id, KXCO_OPEN_DEF)));
    for (TestClient* c : {alice.get(), bob.get()}) {
        auto a = c->Wait(kx::kMsgCheckOut);
        ASSERT_TRUE(a);
        CkxCheckout::_COM com;
        ASSERT_TRUE(a->As(com));
        EXPECT_EQ(com.nUserID, bob->UserId());
        EXPECT_EQ(com.nStorageID, 0);
        EXPECT_STREQ(com.szTitle, "pic");
        EXPECT_EQ(com.nTag, 31);
        EXPECT_NE(com.dtCheckout, 0.0);
    }
    auto row = ReadRow(server.Db(), id);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->m_nCheckouted, 1);
    EXPECT_EQ(row->m_nCheckoutUserID, bob->UserId());
    const double checkedOut = row->m_dtCheckout.m_dt;

    // The checked-out list names the holder.
    ASSERT_TRUE(alice->Send(kx::kMsgCheckoutList, kx::kSubList));
    auto list = alice->WaitSeries(kx::kMsgCheckoutList, kx::kSubNone);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);
    CkxCheckout::_COM listed;
    ASSERT_TRUE(list->front().As(listed));
    EXPECT_EQ(listed.nFileID, id);
    EXPECT_EQ(listed.nUserID, bob->UserId());

    // The holder checks in.
    ASSERT_TRUE(bob->SendRecord(kx::kMsgCheckIn, kx::kSubNone, CheckoutRecord(id, KXCI_ONLY)));
    ASSERT_TRUE(alice->Wait(kx::kMsgCheckIn));
    row = ReadRow(server.Db(), id);
    EXPECT_EQ(row->m_nCheckouted, 0);
    EXPECT_EQ(row->m_nCheckoutUserID, -1);
    EXPECT_EQ(row->m_dtCheckout.m_dt, checkedOut);
    EXPECT_GT(CheckinTime(server, id), 0.0);

    ASSERT_TRUE(alice->Send(kx::kMsgCheckoutList, kx::kSubList));
    EXPECT_TRUE(alice->Quiet(kx::kMsgCheckoutList, -1, 300ms)); // nothing checked out: no list
}

TEST(Checkout, UnknownIdsAnnounceNothing) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    CkxFileImage f = MakeFile("pic", "jpg", alice->UserId(), kReadOpen, "W", "m");
    f.m_nID = 4711;
    for (int type : {kx::kMsgCheckOut, kx::kMsgCheckIn}) ASSERT_TRUE(alice->SendRecord(type, kx::kSubNone, CheckoutRecord(4711, 0)));
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgCheckInChanged, kx::kSubAdd, {FileData(f)}));
    for (int type : {kx::kMsgCheckOut, kx::kMsgCheckIn, kx::kMsgCheckInChanged}) EXPECT_TRUE(alice->Quiet(type, -1, 300ms)) << type;
}

TEST(Checkout, CheckinWithContentReplacesSizeAndStoredBytesOnTheRowsRoot) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(alice && bob);
    CkxFileImage f = MakeFile("pic", "jpg", alice->UserId(), kReadOpen, "old-whole", "old-micro");
    f.m_nCheckouted = 1;
    f.m_nCheckoutUserID = alice->UserId();
    const int id = StoreFile(server, f);

    const std::string fresh = RandomBytes(20000, 7);
    CkxFileImage changed = MakeFile("pic", "jpg", alice->UserId(), kReadOpen, fresh, "new-micro");
    changed.m_nID = id;
    changed.m_nStorageID = 3; // the row's root is the one written
    changed.m_nWidth = 640;
    changed.m_nHeight = 480;
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgCheckInChanged, kx::kSubAdd, {FileData(changed)}));
    for (TestClient* c : {alice.get(), bob.get()}) {
        auto a = c->Wait(kx::kMsgCheckInChanged, kx::kSubNone);
        ASSERT_TRUE(a);
        CkxCheckout::_COM com;
        ASSERT_TRUE(a->As(com));
        EXPECT_EQ(com.nFileID, id);
        EXPECT_EQ(com.nUserID, alice->UserId());
        EXPECT_EQ(a->param, 0u);
    }
    auto row = ReadRow(server.Db(), id);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->m_nSize, static_cast<int>(fresh.size()));
    EXPECT_EQ(row->m_nWidth, 640);
    EXPECT_EQ(row->m_nHeight, 480);
    EXPECT_EQ(row->m_nStorageID, 0);
    EXPECT_EQ(row->m_nCheckouted, 0);
    EXPECT_EQ(row->m_nEditorID, alice->UserId());
    EXPECT_EQ(ReadDisk(WholePath(server, id, "jpg")), fresh);
    EXPECT_EQ(ReadDisk(MicroPath(server, id)), "new-micro");
}
