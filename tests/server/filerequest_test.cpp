// File add, modify, delete and the recycle bin over loopback against the real server core, on a
// real SQLite catalogue and real stored files.
#include "model/CkxCheckout.h"
#include "model/CkxFileList.h"
#include "model/CkxXXX.h"
#include "server/support/FileTestKit.h"
#include "server/support/TestCatalogue.h"
#include "server/support/TwoWorkstations.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <shared_mutex>
#include <thread>

using namespace srvtest;
namespace fs = std::filesystem;

namespace {

// The operation log's lines as "level category event", in order.
std::vector<std::string> LogTexts(TestServer& s) {
    std::vector<std::string> out;
    CADORecordset rs;
    if (!s.Db().Query(" SELECT * FROM VUZO_Log ORDER BY T_ID ", rs)) return out;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        int32_t level = 0, category = 0;
        std::string event;
        rs.GetInt("T_Lev", level);
        rs.GetInt("T_Type", category);
        rs.GetString("T_Event", event);
        out.push_back(std::to_string(level) + " " + std::to_string(category) + " " + event);
    }
    return out;
}

CkxCheckout::_COM Checkout(int fileId) {
    CkxCheckout c;
    c.m_nFileID = fileId;
    c.m_strExt = "jpg";
    return c.GetComData();
}

} // namespace

// The loopback server with the two workstations and a third, "bob" (an operator like alice), for
// the cases that check who hears of a change.
class FileWorkstations : public ThreeWorkstations {
protected:
    void SetUp() override {
        ThreeWorkstations::SetUp();
        if (HasFatalFailure()) return;
        // A folder everybody may put files in: adds at the root are the system administrator's.
        shared = AddFolderDirect(server, "共享", -1, su->UserId(), 0xFFFFFFFF).m_nID;
    }
    int shared = -1;
};
class FileAdd : public FileWorkstations {};
class FileDelete : public FileWorkstations {};
class FileModify : public FileWorkstations {};
class FileRequests : public FileWorkstations {};
class RecycleBin : public FileWorkstations {};

TEST_F(FileAdd, SmallPngGivesRowAndTwoStoredFiles) {
    const std::string png = SmallPng();
    CkxFileImage f = MakeFile("dot", "png", 77, kReadOpen, png, "micro-bytes");
    f.m_nLocDirID = shared;
    f.m_nID = -5;
    // Server-owned fields a client might send stale: they must not survive the add.
    f.m_nCheckouted = 1;
    f.m_nCheckoutUserID = 77;
    f.m_nDeleted = 1;
    f.m_nStorageID = 9;
    f.m_strSourcePath = "/home/alice/dot.png";
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgFile, kx::kSubAdd, {FileData(f)}));
    ASSERT_TRUE(alice->Quiet(kx::kMsgFile, -1, 500ms)); // an add from the browser gets no answer

    const int id = QueryInt(server.Db(), "SELECT MAX(T_ID) FROM VUZO_FImage");
    ASSERT_GT(id, 0);
    auto row = ReadRow(server.Db(), id);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->m_strTitle, "dot");
    EXPECT_EQ(row->m_nWriterID, alice->UserId());
    EXPECT_EQ(row->m_nEditorID, -1);
    EXPECT_EQ(row->m_nSize, static_cast<int>(png.size()));
    EXPECT_EQ(row->m_nStorageID, 0);
    EXPECT_EQ(row->m_nCheckouted, 0);
    EXPECT_EQ(row->m_nCheckoutUserID, -1);
    EXPECT_EQ(row->m_nDeleted, 0);
    EXPECT_EQ(row->m_strSourcePath, "");
    EXPECT_EQ(row->m_nEncFormat, CkxFile::GetFormatID("png"));
    EXPECT_EQ(ReadDisk(WholePath(server, id, "png")), png);
    EXPECT_EQ(ReadDisk(MicroPath(server, id)), "micro-bytes");
    EXPECT_EQ(LogLines(server.Db(), "添加文件dot.png"), 1);
}

// An upload or a check-in writes its content while a reader holds the catalogue lock, and needs
// the lock only to put its row in and its files in place: staged in the root's staging folder,
// then published under its id once the lock is free, with nothing left behind in staging.
TEST_F(FileAdd, UploadsWriteTheirContentBeforeTakingTheCatalogueLock) {
    const fs::path staging = fs::path(server.StorageRoot()) / "File" / "Image" / "Staging";
    const auto stagedCount = [&] {
        std::error_code ec;
        int n = 0;
        for (fs::directory_iterator it(staging, ec), end; !ec && it != end; it.increment(ec)) ++n;
        return n;
    };
    const std::string whole = RandomBytes(300000, 5);
    const struct {
        const char* name;
        int type;
    } cases[] = {{"capture add", kx::kMsgCaptureFile}, {"browser add", kx::kMsgFile}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CkxFileImage f = MakeFile(c.name, "jpg", -1, kReadOpen, whole, "micro");
        f.m_nLocDirID = shared;
        f.m_nID = -11;
        int id = 0;
        {
            // A reader holds the lock: no change can go in until it leaves.
            std::shared_lock held(server.Data().CatalogueMutex());
            ASSERT_TRUE(SendPieces(*alice, c.type, kx::kSubAdd, {FileData(f)}));
            const auto end = std::chrono::steady_clock::now() + 60s;
            while (stagedCount() < 2 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
            EXPECT_EQ(stagedCount(), 2) << "content and thumbnail staged while the lock is held";
            EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage WHERE T_Title = '" +
                                                std::string(c.name) + "'"),
                      0);
        }
        const std::string rowOf = "SELECT T_ID FROM VUZO_FImage WHERE T_Title = '" + std::string(c.name) + "'";
        if (c.type == kx::kMsgCaptureFile) {
            ASSERT_TRUE(alice->Wait(kx::kMsgCaptureFile, kx::kSubNone));
        }
        // A browser add gets no answer: its row is waited for (read under the lock).
        const auto end = std::chrono::steady_clock::now() + 60s;
        while ((id = server.Locked([&] { return QueryInt(server.Db(), rowOf); })) <= 0 &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
        ASSERT_GT(id, 0);
        EXPECT_EQ(ReadDisk(WholePath(server, id, "jpg")), whole);
        EXPECT_EQ(ReadDisk(MicroPath(server, id)), "micro");
        EXPECT_EQ(stagedCount(), 0);
    }

    // A check-in with changes likewise: its new content is staged while the reader holds the
    // lock, and replaces the stored copies once the reader has left.
    CkxFileImage out = MakeFile("checked out", "jpg", alice->UserId(), kReadOpen, "old-whole", "old-micro");
    out.m_nCheckouted = 1;
    out.m_nCheckoutUserID = alice->UserId();
    const int id = server.Locked([&] { return StoreFile(server, out); });
    CkxFileImage changed = MakeFile("checked out", "jpg", alice->UserId(), kReadOpen, whole, "new-micro");
    changed.m_nID = id;
    {
        std::shared_lock held(server.Data().CatalogueMutex());
        ASSERT_TRUE(SendPieces(*alice, kx::kMsgCheckInChanged, kx::kSubAdd, {FileData(changed)}));
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (stagedCount() < 2 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
        EXPECT_EQ(stagedCount(), 2) << "the new content staged while the lock is held";
        EXPECT_EQ(ReadDisk(WholePath(server, id, "jpg")), "old-whole");
    }
    ASSERT_TRUE(alice->Wait(kx::kMsgCheckInChanged, kx::kSubNone));
    EXPECT_EQ(ReadDisk(WholePath(server, id, "jpg")), whole);
    EXPECT_EQ(ReadDisk(MicroPath(server, id)), "new-micro");
    EXPECT_EQ(stagedCount(), 0);
}

TEST_F(FileAdd, CaptureAddAnswersTheLocalIdOnlyWhenStored) {
    CkxFileImage f = MakeFile("cap", "jpg", -1, kReadOpen, RandomBytes(3000, 1), "m");
    f.m_nLocDirID = shared;
    f.m_nID = -7;
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(f)}));
    auto answer = alice->Wait(kx::kMsgCaptureFile, kx::kSubNone);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->payload, "-7");
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage"), 1);

    // No root with room: the station keeps its copy, since no answer comes.
    CImageStorage& storage = server.Data().GetImageStorage();
    const uint32_t free = storage.GetCapacity(0);
    ASSERT_TRUE(storage.Reserve(0, free - 30000));
    f.m_nID = -8;
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(f)}));
    EXPECT_TRUE(alice->Quiet(kx::kMsgCaptureFile, -1, 500ms));
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage"), 1);

    // Room, but the content cannot be written (the root's folder for whole files is not a
    // folder): no answer, no row, the reservation back, and no add line in the log.
    storage.AddCapacity(0, free - 30000);
    const std::string wholeDir = server.StorageRoot() + "/File/Image/Whole";
    fs::rename(wholeDir, wholeDir + "_away");
    std::ofstream(wholeDir) << "not a folder";
    f.m_nID = -9;
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(f)}));
    EXPECT_TRUE(alice->Quiet(kx::kMsgCaptureFile, -1, 500ms));
    fs::remove(wholeDir);
    fs::rename(wholeDir + "_away", wholeDir);
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage"), 1);
    // Nothing of the failed add stays on the root: no thumbnail, no temporary file.
    for (const char* folder : {"/File/Image/Micro", "/File/Image/Whole"}) {
        const auto entries = std::distance(fs::directory_iterator(server.StorageRoot() + folder), fs::directory_iterator());
        EXPECT_EQ(entries, 1) << folder; // the one stored add's copy
    }
    EXPECT_EQ(storage.GetCapacity(0), free);
    EXPECT_EQ(LogLines(server.Db(), "添加文件cap.jpg"), 1); // the one stored add
}

// The row, its log line and the content are one unit: when the catalogue refuses the commit
// (here a deferred check that fails only at the commit), the content already written and put
// in place is taken away again, and neither row nor log line stays.
TEST_F(FileAdd, UploadWhoseCommitFailsLeavesNoFiles) {
    CImageStorage& storage = server.Data().GetImageStorage();
    const uint32_t free = storage.GetCapacity(0);
    {
        std::lock_guard lock(server.Data().CatalogueMutex());
        for (const char* sql : {"PRAGMA foreign_keys = ON",
                                "CREATE TABLE CommitGate (T_Ref INTEGER REFERENCES VUZO_Person (T_ID) "
                                "DEFERRABLE INITIALLY DEFERRED)",
                                "CREATE TRIGGER CommitGateOnAdd AFTER INSERT ON VUZO_FImage BEGIN "
                                "INSERT INTO CommitGate VALUES (-424242); END"})
            ASSERT_TRUE(server.Db().Execute(sql)) << sql;
    }
    CkxFileImage f = MakeFile("gate", "jpg", -1, kReadOpen, RandomBytes(64 * 1024, 4), "micro");
    f.m_nLocDirID = shared;
    f.m_nID = -11;
    {
        kxtest::DbErrorLog quiet;
        ASSERT_TRUE(SendPieces(*alice, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(f)}));
        EXPECT_TRUE(alice->Quiet(kx::kMsgCaptureFile, -1, 500ms));
        EXPECT_TRUE(quiet.Contains("COMMIT"));
    }
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage"), 0);
    EXPECT_EQ(LogLines(server.Db(), "添加文件gate.jpg"), 0);
    for (const char* folder : {"/File/Image/Micro", "/File/Image/Whole"})
        EXPECT_TRUE(fs::is_empty(server.StorageRoot() + folder)) << folder;
    EXPECT_EQ(storage.GetCapacity(0), free);

    // With the gate gone the same upload is stored and answered.
    {
        std::lock_guard lock(server.Data().CatalogueMutex());
        ASSERT_TRUE(server.Db().Execute("DROP TRIGGER CommitGateOnAdd"));
    }
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(f)}));
    ASSERT_TRUE(alice->Wait(kx::kMsgCaptureFile, kx::kSubNone));
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage"), 1);
}

TEST_F(FileModify, WritesEditedFieldsAndKeepsServerOwnedColumns) {
    CkxFileImage f = MakeFile("old", "jpg", bob->UserId(), kReadOpen, "whole", "m");
    f.m_nCheckouted = 1;
    f.m_nCheckoutUserID = bob->UserId();
    const int id = StoreFile(server, f);
    ASSERT_GT(id, 0);

    // From su: the edit changes the file's rights, which takes full control of the file.
    CkxFileImage edit = f; // a stale copy with its own ideas of the server's columns
    edit.m_strTitle = "新标题";
    edit.m_strRemark = "备注";
    edit.m_nLocDirID = shared; // a folder everybody may read: everybody hears of the change
    edit.m_nAuthorID = 3;
    edit.m_Power.m_nEveryonePower = 0x4000;
    edit.m_nStorageID = 7;
    edit.m_nSize = 1;
    edit.m_strExName = "exe";
    edit.m_nCheckouted = 0;
    edit.m_nCheckoutUserID = -1;
    edit.m_nDeleted = 1;
    CkxBuf base, ex, power;
    edit.BuildBaseAttr(base);
    edit.BuildExattr(ex);
    edit.BuildPower(power);
    ASSERT_TRUE(SendPieces(*su, kx::kMsgFileModify, kx::kSubModify,
                           {std::string(base.View()), std::string(ex.View()), std::string(power.View())}));

    for (TestClient* c : {su.get(), alice.get(), bob.get()}) {
        auto a = c->Wait(kx::kMsgFileModify, kx::kSubModify);
        ASSERT_TRUE(a);
        ASSERT_EQ(a->pieces.size(), 3u);
        CkxFile::_COM com;
        ASSERT_TRUE(a->As(com));
        EXPECT_EQ(com.nStorageID, 0);
        EXPECT_EQ(com.nEditorID, su->UserId());
    }
    auto row = ReadRow(server.Db(), id);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->m_strTitle, "新标题");
    EXPECT_EQ(row->m_strRemark, "备注");
    EXPECT_EQ(row->m_nLocDirID, shared);
    EXPECT_EQ(row->m_nAuthorID, 3);
    EXPECT_EQ(row->m_Power.m_nEveryonePower, 0x4000u);
    EXPECT_EQ(row->m_nEditorID, su->UserId());
    EXPECT_EQ(row->m_nStorageID, 0);
    EXPECT_EQ(row->m_nSize, 5);
    EXPECT_EQ(row->m_strExName, "jpg");
    EXPECT_EQ(row->m_nCheckouted, 1);
    EXPECT_EQ(row->m_nCheckoutUserID, bob->UserId());
    EXPECT_EQ(row->m_nDeleted, 0);

    // An unknown id changes nothing and announces nothing.
    edit.m_nID = id + 100;
    edit.BuildBaseAttr(base);
    ASSERT_TRUE(SendPieces(*su, kx::kMsgFileModify, kx::kSubModify,
                           {std::string(base.View()), std::string(ex.View()), std::string(power.View())}));
    EXPECT_TRUE(su->Quiet(kx::kMsgFileModify, -1, 400ms));
}

TEST_F(FileDelete, MixedPurgeAndSoftDeleteTakeRootAndNameFromTheRow) {
    CkxFileImage a = MakeFile("gone", "jpg", alice->UserId(), kReadOpen, "AAAA", "a");
    CkxFileImage b = MakeFile("binned", "jpg", alice->UserId(), kReadOpen, "BBBB", "b");
    const int ida = StoreFile(server, a), idb = StoreFile(server, b);
    // The request's root and extension are wrong on purpose: the row's are the ones that count.
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgFile, kx::kSubDelete,
                           {DeleteRecords({DeleteRecord(ida, 1, 5, -1, "../x"), DeleteRecord(idb, 0, 5)})}));
    for (TestClient* c : {alice.get(), bob.get()}) {
        auto ann = c->Wait(kx::kMsgFile, kx::kSubDelete);
        ASSERT_TRUE(ann);
        EXPECT_EQ(ann->payload.size(), 2 * sizeof(CkxFile::_COM_DelFile));
    }
    EXPECT_FALSE(ReadRow(server.Db(), ida));
    EXPECT_FALSE(fs::exists(WholePath(server, ida, "jpg")));
    EXPECT_FALSE(fs::exists(MicroPath(server, ida)));
    auto row = ReadRow(server.Db(), idb);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->m_nDeleted, 1);
    EXPECT_EQ(row->m_nDeleterID, alice->UserId());
    EXPECT_EQ(ReadDisk(WholePath(server, idb, "jpg")), "BBBB");
    EXPECT_EQ(LogLines(server.Db(), "完全删除文件\"gone.jpg\""), 1);
    EXPECT_EQ(LogLines(server.Db(), "移动文件\"binned.jpg\"到回收站"), 1);
}

TEST_F(RecycleBin, PurgeDeletesStoredDataOnlyWithTheRow) {
    CkxFileImage inBin = MakeFile("bin", "jpg", alice->UserId(), kReadOpen, "X", "x");
    inBin.m_nDeleted = 1;
    inBin.m_nDeleterID = alice->UserId();
    CkxFileImage live = MakeFile("live", "jpg", alice->UserId(), kReadOpen, "L", "l");
    const int idBin = StoreFile(server, inBin), idLive = StoreFile(server, live);

    ASSERT_TRUE(SendPieces(*alice, kx::kMsgRecyclePurge, kx::kSubNone, {DeleteRecords({DeleteRecord(idBin, 0), DeleteRecord(idLive, 0)})}));
    auto ann = alice->Wait(kx::kMsgRecyclePurge);
    ASSERT_TRUE(ann);
    ASSERT_EQ(ann->payload.size(), sizeof(CkxFile::_COM_DelFile)); // only the file that went
    CkxFile::_COM_DelFile rec;
    ASSERT_TRUE(ann->As(rec));
    EXPECT_EQ(static_cast<int>(rec.nID), idBin);
    EXPECT_FALSE(ReadRow(server.Db(), idBin));
    EXPECT_FALSE(fs::exists(WholePath(server, idBin, "jpg")));
    EXPECT_TRUE(ReadRow(server.Db(), idLive));
    EXPECT_EQ(ReadDisk(WholePath(server, idLive, "jpg")), "L");
}

TEST_F(RecycleBin, EmptyTakesOnlyTheRequestersBin) {
    std::vector<int> mine, theirs;
    for (int i = 0; i < 3; ++i) {
        CkxFileImage f = MakeFile("f" + std::to_string(i), "jpg", alice->UserId(), kReadOpen, "W", "m");
        f.m_nDeleted = 1;
        f.m_nDeleterID = i < 2 ? alice->UserId() : bob->UserId();
        (i < 2 ? mine : theirs).push_back(StoreFile(server, f));
    }
    ASSERT_TRUE(alice->Send(kx::kMsgRecycleEmpty, kx::kSubNone));
    ASSERT_TRUE(alice->Wait(kx::kMsgRecycleEmpty));
    EXPECT_TRUE(bob->Quiet(kx::kMsgRecycleEmpty, -1, 300ms));
    for (int id : mine) {
        EXPECT_FALSE(ReadRow(server.Db(), id));
        EXPECT_FALSE(fs::exists(WholePath(server, id, "jpg")));
    }
    EXPECT_TRUE(ReadRow(server.Db(), theirs[0]));
    EXPECT_TRUE(fs::exists(WholePath(server, theirs[0], "jpg")));
}

TEST_F(RecycleBin, RestoreAllPutsFilesOfVanishedFoldersInNoFolder) {
    constexpr int kKept = 4242, kGone = 999;
    server.Locked([&] {
        CkxFSNode node;
        node.m_nID = kKept;
        node.m_strName = "kept";
        return KX_KXXXX().fsAddDir(node);
    });
    const struct {
        int folder;
        int deleter;
        int deleted;
        int wantFolder;
        int wantDeleted;
    } cases[] = {
        {kKept, alice->UserId(), 1, kKept, 0},
        {kGone, alice->UserId(), 1, -1, 0},
        {kGone, bob->UserId(), 1, kGone, 1},   // another user's bin stays
    };
    std::vector<int> ids;
    for (const auto& c : cases) {
        CkxFileImage f = MakeFile("r", "jpg", alice->UserId());
        f.m_nLocDirID = c.folder;
        f.m_nDeleted = c.deleted;
        f.m_nDeleterID = c.deleter;
        ids.push_back(InsertRow(server.Db(), f));
    }
    ASSERT_TRUE(alice->Send(kx::kMsgRecycleRestoreAll, kx::kSubNone));
    // Only the bin's owner hears of it.
    ASSERT_TRUE(alice->Wait(kx::kMsgRecycleRestoreAll));
    EXPECT_TRUE(bob->Quiet(kx::kMsgRecycleRestoreAll, -1, 300ms));
    for (size_t i = 0; i < ids.size(); ++i) {
        auto row = ReadRow(server.Db(), ids[i]);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->m_nLocDirID, cases[i].wantFolder) << i;
        EXPECT_EQ(row->m_nDeleted, cases[i].wantDeleted) << i;
    }
    server.Locked([&] { return KX_KXXXX().fsDeleteDir(kKept); });
}

TEST_F(RecycleBin, RestoreSomeOnlyFromTheRequestersBin) {
    CkxFileImage binned = MakeFile("b", "jpg", alice->UserId());
    binned.m_nDeleted = 1;
    binned.m_nDeleterID = alice->UserId();
    CkxFileImage live = MakeFile("l", "jpg", alice->UserId());
    live.m_nLocDirID = -1;
    const int idBin = InsertRow(server.Db(), binned), idLive = InsertRow(server.Db(), live);
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgRecycleRestore, kx::kSubNone,
                           {DeleteRecords({DeleteRecord(idBin, 0, 0, -1), DeleteRecord(idLive, 0, 0, 555)})}));
    auto ann = alice->Wait(kx::kMsgRecycleRestore);
    ASSERT_TRUE(ann);
    EXPECT_EQ(ann->payload.size(), sizeof(CkxFile::_COM_DelFile));
    EXPECT_EQ(ReadRow(server.Db(), idBin)->m_nDeleted, 0);
    EXPECT_EQ(ReadRow(server.Db(), idLive)->m_nLocDirID, -1); // a live file is not moved
}

// Every file request in turn: who hears of it, and its one log line with level, category (file
// administration) and text. Browsing and emptying the recycle bin are warnings, the rest not.
// What leaves a recycle bin (purge, restore, restore all, empty) concerns only its owner.
TEST_F(FileRequests, EachRequestIsHeardAndLoggedAsItsKindSays) {
    CkxFileImage a = MakeFile("a", "jpg", alice->UserId(), kReadOpen, "AAAA", "a");
    CkxFileImage b = MakeFile("b", "jpg", alice->UserId(), kReadOpen, "BBBB", "b");
    const int ida = StoreFile(server, a), idb = StoreFile(server, b);
    CkxFileImage c = MakeFile("c", "jpg", -1, kReadOpen, "CCCC", "c");
    c.m_nLocDirID = shared;
    c.m_nID = -9;
    CkxFileImage renamed = a;
    renamed.m_nID = ida;
    renamed.m_strTitle = "a2";
    CkxBuf base, ex, power;
    renamed.BuildBaseAttr(base);
    renamed.BuildExattr(ex);
    renamed.BuildPower(power);
    CkxFileImage changedB = MakeFile("b", "jpg", alice->UserId(), kReadOpen, "B2", "b2");
    changedB.m_nID = idb;

    enum Heard { kNobody, kRequester, kEverybody };
    const struct Step {
        const char* name;
        int type, sub;
        std::function<bool()> send;
        Heard heard;
        const char* line; // "level category event"
    } steps[] = {
        {"add", kx::kMsgFile, kx::kSubAdd, [&] { return SendPieces(*alice, kx::kMsgFile, kx::kSubAdd, {FileData(c)}); }, kNobody, "1 20 <alice> 添加文件c.jpg"},
        {"capture add", kx::kMsgCaptureFile, kx::kSubNone, [&] { return SendPieces(*alice, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(c)}); }, kRequester,
         "1 20 <alice> 添加文件c.jpg"},
        {"modify", kx::kMsgFileModify, kx::kSubModify,
         [&] {
             return SendPieces(*alice, kx::kMsgFileModify, kx::kSubModify,
                               {std::string(base.View()), std::string(ex.View()), std::string(power.View())});
         },
         kEverybody, "1 20 <alice> 修改文件信息a2.jpg"},
        {"check out", kx::kMsgCheckOut, kx::kSubNone, [&] { return alice->SendRecord(kx::kMsgCheckOut, kx::kSubNone, Checkout(idb)); }, kEverybody, "1 20 <alice> 签出文件"},
        {"check in", kx::kMsgCheckIn, kx::kSubNone, [&] { return alice->SendRecord(kx::kMsgCheckIn, kx::kSubNone, Checkout(idb)); }, kEverybody,
         "1 20 <alice> 签入文件(仅仅签入)"},
        {"check out again", kx::kMsgCheckOut, kx::kSubNone, [&] { return alice->SendRecord(kx::kMsgCheckOut, kx::kSubNone, Checkout(idb)); }, kEverybody, "1 20 <alice> 签出文件"},
        {"check in with changes", kx::kMsgCheckInChanged, kx::kSubNone, [&] { return SendPieces(*alice, kx::kMsgCheckInChanged, kx::kSubAdd, {FileData(changedB)}); }, kEverybody,
         "1 20 <alice> 签入文件(保存修改)b.jpg"},
        {"to the recycle bin", kx::kMsgFile, kx::kSubDelete, [&] { return SendPieces(*alice, kx::kMsgFile, kx::kSubDelete, {DeleteRecords({DeleteRecord(ida, 0)})}); },
         kEverybody, "1 20 <alice> 移动文件\"a2.jpg\"到回收站"},
        {"browse the bin", kx::kMsgRecycleList, kx::kSubNone, [&] { return alice->Send(kx::kMsgRecycleList, kx::kSubNone); }, kRequester, "2 20 <alice> 浏览回收站文件"},
        {"restore one", kx::kMsgRecycleRestore, kx::kSubNone,
         [&] { return SendPieces(*alice, kx::kMsgRecycleRestore, kx::kSubNone, {DeleteRecords({DeleteRecord(ida, 0, 0, -1)})}); }, kRequester,
         "1 20 <alice> 还原回收站文件\"a2.jpg\""},
        {"b to the bin", kx::kMsgFile, kx::kSubDelete, [&] { return SendPieces(*alice, kx::kMsgFile, kx::kSubDelete, {DeleteRecords({DeleteRecord(idb, 0)})}); },
         kEverybody, "1 20 <alice> 移动文件\"b.jpg\"到回收站"},
        {"delete b for good", kx::kMsgRecyclePurge, kx::kSubNone, [&] { return SendPieces(*alice, kx::kMsgRecyclePurge, kx::kSubNone, {DeleteRecords({DeleteRecord(idb, 0)})}); },
         kRequester, "1 20 <alice> 删除回收站文件\"b.jpg\""},
        {"a to the bin again", kx::kMsgFile, kx::kSubDelete,
         [&] { return SendPieces(*alice, kx::kMsgFile, kx::kSubDelete, {DeleteRecords({DeleteRecord(ida, 0)})}); }, kEverybody,
         "1 20 <alice> 移动文件\"a2.jpg\"到回收站"},
        {"restore all", kx::kMsgRecycleRestoreAll, kx::kSubNone, [&] { return alice->Send(kx::kMsgRecycleRestoreAll, kx::kSubNone); }, kRequester, "1 20 <alice> 全部还原回收站文件"},
        {"empty the bin", kx::kMsgRecycleEmpty, kx::kSubNone, [&] { return alice->Send(kx::kMsgRecycleEmpty, kx::kSubNone); }, kRequester, "2 20 <alice> 清空回收站"},
        {"purge", kx::kMsgFile, kx::kSubDelete, [&] { return SendPieces(*alice, kx::kMsgFile, kx::kSubDelete, {DeleteRecords({DeleteRecord(ida, 1)})}); },
         kEverybody, "1 20 <alice> 完全删除文件\"a2.jpg\""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const size_t before = LogTexts(server).size();
        ASSERT_TRUE(step.send());
        if (step.heard == kNobody) {
            EXPECT_TRUE(alice->Quiet(step.type, -1, 400ms));
        } else {
            ASSERT_TRUE(alice->Wait(step.type, step.sub)) << "no answer to the requester";
        }
        if (step.heard == kEverybody)
            EXPECT_TRUE(bob->Wait(step.type, step.sub)) << "the other session heard nothing";
        else
            EXPECT_TRUE(bob->Quiet(step.type, -1, step.heard == kNobody ? 0ms : 150ms)) << "the other session heard";
        const auto lines = server.Locked([&] { return LogTexts(server); });
        ASSERT_EQ(lines.size(), before + 1);
        EXPECT_EQ(lines.back(), step.line);
        EXPECT_TRUE(alice->Quiet(step.type, -1, 0ms) && bob->Quiet(step.type, -1, 0ms)) << "more than one answer";
    }
}
