// What the studio's documents and checkout list hold after file actions, each by the studio or
// by a second workstation: deletes, the recycle bin, check-outs, check-ins and a title change.
#include "studio/support/StudioTestKit.h"

#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "transport/NetMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

using namespace studiotest;
using namespace kx;

namespace {

std::string View(const CkxBuf& b) { return std::string(b.View()); }

class FileActions : public StudioTest {
protected:
    static std::set<int> Held(const CvClientDoc* doc) {
        const std::vector<int> ids = doc->GetFileIds();
        return {ids.begin(), ids.end()};
    }
    CkxFile::_COM_DelFile Record(const char* key, const char* folder) {
        CkxFile::_COM_DelFile rec{};
        rec.nID = static_cast<uint32_t>(Id(key));
        rec.nStorageID = 0;
        rec.nDirID = Id(folder);
        return rec;
    }
    CkxCheckout::_COM CheckoutOf(const char* key) {
        CkxCheckout c;
        c.m_nFileID = Id(key);
        c.m_nStorageID = 0;
        c.m_strTitle = key;
        c.m_strExt = "png";
        return c.GetComData();
    }
    CkxCheckout Checkout(int fileId) {
        CkxCheckout out;
        KX_KXXXX().m_CheckoutList.Find(fileId, out);
        return out;
    }
};

TEST_F(FileActions, DocumentsAndTheCheckoutListFollowEachAction) {
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    ASSERT_NO_FATAL_FAILURE(LoadInitialLists());
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    SlotWatch watch(*link, {kSlotCheckouts});
    CvClientDoc* top = app->OpenFolderDoc(*link, Id("folder.top"));
    CvClientDoc* mid = app->OpenFolderDoc(*link, Id("folder.mid"));
    ASSERT_EQ(WaitForFiles(top, 3), Files({"file.a", "file.b", "file.c"}));
    // (file.a lies in the middle folder by its quick key)
    ASSERT_EQ(WaitForFiles(mid, 3), Files({"file.a", "file.d", "file.e"}));
    CvClientDoc* bin = nullptr;
    const int fileA = Id("file.a"), fileC = Id("file.c"), fileD = Id("file.d"), suId = Id("user.su");
    auto showBin = [&](size_t n) {
        ASSERT_EQ(app->ShowRecycleBin(*link), 1);
        bin = app->FindRecycleBinDoc();
        ASSERT_NE(bin, nullptr);
        WaitForFiles(bin, n);
    };
    // The delete is done when its announcement arrives (the checkout window hears it).
    auto deleteE = [&] {
        const SlotTold gone{kSlotCheckouts, kNoticeRemoved, Id("file.e")};
        ASSERT_EQ(link->SendFileDeleteRequest({Record("file.e", "folder.mid")}), 1);
        ASSERT_TRUE(PumpUntil([&] { return std::count(watch.log.begin(), watch.log.end(), gone) > 0; }));
        watch.Clear();
    };

    struct Row {
        const char* name;
        std::function<void()> run;
    };
    const Row rows[] = {
        {"check-out by the other user",
         [&] {
             ASSERT_TRUE(su->SendRecord(kMsgCheckOut, kSubNone, CheckoutOf("file.a")));
             ASSERT_TRUE(PumpUntil([&] { return top->FindFile(fileA)->m_nCheckouted == 1; }));
             PumpFor(150ms);
             EXPECT_EQ(top->FindFile(fileA)->m_nCheckoutUserID, suId);
             EXPECT_TRUE(KX_KXXXX().coIsFileCheckouted(fileA));
             EXPECT_TRUE(watch.log.empty());
         }},
        {"check-out by the studio",
         [&] {
             // (alice may check out only what she may edit: her own file.d)
             ASSERT_EQ(link->SendCheckoutOnlyRequest({fileD, 0, "图d", "png", mid->GetDocID()}), 1);
             ASSERT_TRUE(PumpUntil([&] { return mid->FindFile(fileD)->m_nCheckouted == 1; }));
             PumpFor(150ms);
             EXPECT_EQ(mid->FindFile(fileD)->m_nCheckoutUserID, link->GetCurrentUserId());
             EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotCheckouts, kNoticeAdded, fileD}}));
         }},
        {"check-in by the other user",
         [&] {
             ASSERT_TRUE(su->SendRecord(kMsgCheckIn, kSubNone, CheckoutOf("file.a")));
             ASSERT_TRUE(PumpUntil([&] { return top->FindFile(fileA)->m_nCheckouted == 0; }));
             PumpFor(150ms);
             EXPECT_FALSE(KX_KXXXX().coIsFileCheckouted(fileA));
             EXPECT_TRUE(watch.log.empty());
         }},
        {"check-in by the studio",
         [&] {
             ASSERT_EQ(link->SendCheckinOnlyRequest(fileD), 1);
             ASSERT_TRUE(PumpUntil([&] { return mid->FindFile(fileD)->m_nCheckouted == 0; }));
             PumpFor(150ms);
             EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotCheckouts, kNoticeRemoved, fileD}}));
         }},
        {"a title change keeps the fetched content",
         [&] {
             CkxFile* c = top->FindFile(fileC);
             ASSERT_EQ(link->SendWholeFileRequest(*c, top->GetDocID()), 1);
             ASSERT_TRUE(PumpUntil([&] { return c->Is_WholeState_Valid(); }));
             ASSERT_TRUE(su->SendRecord(kMsgCheckOut, kSubNone, CheckoutOf("file.c")));
             ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().coIsFileCheckouted(fileC); }));
             CkxFileX copy;
             ASSERT_TRUE(copy.CreateObj(*c));
             CkxFile* renamed = copy.GetObj();
             renamed->m_strTitle = "新名";
             CkxBuf base, exattr, rights;
             ASSERT_TRUE(renamed->BuildBaseAttr(base));
             renamed->BuildExattr(exattr);
             renamed->BuildPower(rights);
             NetMessage m;
             m.SetCommand(kMsgFileModify, kSubModify);
             m.AppendData(View(base));
             m.AppendData(View(exattr));
             m.AppendData(View(rights));
             ASSERT_EQ(su->SendMessage(m), 1);
             ASSERT_TRUE(PumpUntil([&] { return top->FindFile(fileC)->m_strTitle == "新名"; }));
             EXPECT_TRUE(top->FindFile(fileC)->Is_WholeState_Valid());
             EXPECT_EQ(Checkout(fileC).m_strTitle, "新名");
         }},
        {"a check-in with new content drops the fetched copy",
         [&] {
             const std::string copyPath = TheLocalStorage().DocFilePath(top->GetDocID(), top->FindFile(fileC)->GetIDName());
             ASSERT_TRUE(std::filesystem::exists(copyPath));
             CkxFileX changed;
             ASSERT_TRUE(changed.CreateObj(*top->FindFile(fileC)));
             const std::string content = "new content";
             changed.GetObj()->UpdateWhole(content.data(), static_cast<int>(content.size()));
             CkxBuf data;
             ASSERT_TRUE(changed.GetObj()->BuildFileData(data));
             NetMessage m;
             m.SetCommand(kMsgCheckInChanged, kSubAdd);
             m.AppendData(View(data));
             ASSERT_EQ(su->SendMessage(m), 1);
             ASSERT_TRUE(PumpUntil([&] { return !KX_KXXXX().coIsFileCheckouted(fileC); }));
             PumpFor(100ms);
             EXPECT_FALSE(top->FindFile(fileC)->Is_WholeState_Valid());
             EXPECT_EQ(top->FindFile(fileC)->m_nCheckouted, 0);
             EXPECT_FALSE(std::filesystem::exists(copyPath));
             EXPECT_TRUE(watch.log.empty()); // not the studio's checkout
         }},
        {"two files deleted by the studio",
         [&] {
             ASSERT_EQ(link->SendFileDeleteRequest({Record("file.d", "folder.mid"), Record("file.e", "folder.mid")}), 1);
             ASSERT_TRUE(PumpUntil([&] { return mid->GetFileCount() == 1; }));
             PumpFor(150ms);
             EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotCheckouts, kNoticeRemoved, Id("file.d")},
                                                          {kSlotCheckouts, kNoticeRemoved, Id("file.e")}}));
             EXPECT_EQ(top->GetFileCount(), 3);
             showBin(2);
             EXPECT_EQ(Held(bin), Files({"file.d", "file.e"}));
         }},
        {"a purge in the bin",
         [&] {
             ASSERT_EQ(link->SendRecycleDeleteRequest({Record("file.d", "folder.mid")}), 1);
             ASSERT_TRUE(PumpUntil([&] { return bin->FindFile(Id("file.d")) == nullptr; }));
             EXPECT_EQ(Held(bin), Files({"file.e"}));
         }},
        {"a restore in the bin",
         [&] {
             ASSERT_EQ(link->SendRecycleRestoreRequest({Record("file.e", "folder.mid")}), 1);
             ASSERT_TRUE(PumpUntil([&] { return bin->GetFileCount() == 0; }));
         }},
        {"restore-all by the other user leaves the studio's bin",
         [&] {
             deleteE();
             showBin(1);
             ASSERT_EQ(Held(bin), Files({"file.e"}));
             NetPacket all;
             all.InitCommand(kMsgRecycleRestoreAll);
             all.Header().nReserved = static_cast<uint32_t>(suId);
             ASSERT_EQ(su->SendPacket(all), 1);
             PumpFor(400ms);
             EXPECT_EQ(Held(bin), Files({"file.e"}));
         }},
        {"restore-all by the studio empties its bin",
         [&] {
             ASSERT_EQ(link->SendRestoreAllRequest(), 1);
             ASSERT_TRUE(PumpUntil([&] { return bin->GetFileCount() == 0; }));
         }},
        {"emptying the bin",
         [&] {
             deleteE();
             showBin(1);
             ASSERT_EQ(bin->GetFileCount(), 1);
             ASSERT_EQ(link->SendRecycleEmptyRequest(0), 1);
             ASSERT_TRUE(PumpUntil([&] { return bin->GetFileCount() == 0; }));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        watch.Clear();
        row.run();
        if (HasFatalFailure()) return;
    }
}

TEST_F(FileActions, FilesCheckedOutBeforeTheLogOnAreListedOnce) {
    server = std::make_unique<StudioServer>();
    ASSERT_TRUE(server->Ok());
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    for (const char* key : {"file.a", "file.b", "file.c"}) {
        ASSERT_TRUE(su->SendRecord(kMsgCheckOut, kSubNone, CheckoutOf(key)));
        ASSERT_TRUE(su->Wait(kMsgCheckOut, kSubNone));
    }
    link = std::make_unique<TestStudioLink>();
    ASSERT_EQ(link->LogOn(server->Port(), "alice", kAlicePassword), kLogonOk);
    SlotWatch watch(*link, {kSlotCheckouts});
    ASSERT_EQ(link->SendCheckedOutListRequest(), 1);
    ASSERT_TRUE(PumpUntil([&] { return !watch.log.empty(); }));
    PumpFor(200ms);
    EXPECT_EQ(KX_KXXXX().m_CheckoutList.GetCount(), 3);
    EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotCheckouts, kNoticeReload, 0}}));
    EXPECT_EQ(Checkout(Id("file.b")).m_nUserID, Id("user.su"));
}

} // namespace
