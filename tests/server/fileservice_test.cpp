// The file service on a real SQLite catalogue and real stored files: what an add reserves and
// gives back, and that stored data goes only with its row.
#include "service/CFileService.h"
#include "server/support/FileTestKit.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace srvtest;
namespace fs = std::filesystem;

TEST(FileService, FailedInsertGivesTheReservationBackAndWritesNothing) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CImageFileService service(server.Data());
    CImageStorage& storage = server.Data().GetImageStorage();
    const std::string whole = RandomBytes(300 * 1024, 5);
    CkxFileImage f = MakeFile("x", "jpg", 1, kReadOpen, whole, RandomBytes(4096, 6));

    const uint32_t before = storage.GetCapacity(0);
    ASSERT_TRUE(server.Db().Execute("ALTER TABLE VUZO_FImage RENAME TO VUZO_FImage_away"));
    EXPECT_EQ(service.AddFile(f), 0);
    ASSERT_TRUE(server.Db().Execute("ALTER TABLE VUZO_FImage_away RENAME TO VUZO_FImage"));
    EXPECT_EQ(storage.GetCapacity(0), before);
    EXPECT_TRUE(fs::is_empty(server.StorageRoot() + "/File/Image/Whole"));

    // The same file stored: its size in KB is taken from the root, and both copies are written.
    ASSERT_EQ(service.AddFile(f), 1);
    EXPECT_EQ(storage.GetCapacity(0), before - (300 * 1024 + 4096) / 1024);
    EXPECT_EQ(ReadDisk(WholePath(server, f.GetID(), "jpg")), whole);

    // No root with room: no row.
    ASSERT_TRUE(storage.Reserve(0, storage.GetCapacity(0) - 30000));
    CkxFileImage g = MakeFile("y", "jpg", 1, kReadOpen, "w", "m");
    EXPECT_EQ(service.AddFile(g), 0);
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage"), 1);
}

TEST(FileService, StoredDataGoesOnlyWithItsRow) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CImageFileService service(server.Data());
    CkxFileImage binned = MakeFile("b", "png", 1, kReadOpen, "BB", "b");
    binned.m_nDeleted = 1;
    binned.m_nDeleterID = 2;
    CkxFileImage live = MakeFile("l", "png", 1, kReadOpen, "LL", "l");
    const int idBin = StoreFile(server, binned), idLive = StoreFile(server, live);

    // Another user's purge of the bin file, and a purge of a live file: rows and data stay.
    EXPECT_EQ(service.PurgeRecycledFile(3, idBin), 0);
    EXPECT_EQ(service.PurgeRecycledFile(2, idLive), 0);
    EXPECT_EQ(service.PurgeRecycledFile(2, idLive + 50), -1);
    EXPECT_TRUE(fs::exists(WholePath(server, idBin, "png")));
    EXPECT_TRUE(fs::exists(WholePath(server, idLive, "png")));

    // The bin's owner empties it: the row and then the data go; the live file stays whole.
    EXPECT_EQ(service.EmptyRecycleBin(2), 1);
    EXPECT_FALSE(ReadRow(server.Db(), idBin));
    EXPECT_FALSE(fs::exists(WholePath(server, idBin, "png")));
    EXPECT_FALSE(fs::exists(MicroPath(server, idBin)));
    EXPECT_TRUE(fs::exists(WholePath(server, idLive, "png")));

    // A soft delete keeps the data; a purge by id takes it with the row.
    EXPECT_EQ(service.DeleteFile(2, idLive, 0), 1);
    EXPECT_TRUE(fs::exists(WholePath(server, idLive, "png")));
    EXPECT_EQ(service.DeleteFile(2, idLive, 1), 1);
    EXPECT_FALSE(fs::exists(WholePath(server, idLive, "png")));
    EXPECT_EQ(service.DeleteFile(2, idLive, 1), -1);
}

// Content that cannot be written (the root's folder for whole files is not a folder, which
// stops root as well as anyone else): an add leaves no row, no thumbnail and no reservation;
// a check-in with new content leaves the row checked out and the old content in place.
TEST(FileService, ContentThatCannotBeWrittenIsNeverReportedAsStored) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CImageFileService service(server.Data());
    CImageStorage& storage = server.Data().GetImageStorage();
    const std::string wholeDir = server.StorageRoot() + "/File/Image/Whole";
    auto blockWholeFolder = [&] {
        fs::rename(wholeDir, wholeDir + "_away");
        std::ofstream(wholeDir) << "not a folder";
    };
    auto unblockWholeFolder = [&] {
        fs::remove(wholeDir);
        fs::rename(wholeDir + "_away", wholeDir);
    };

    CkxFileImage kept = MakeFile("kept", "jpg", 2, kReadOpen, "old-whole", "old-micro");
    kept.m_nCheckouted = 1;
    kept.m_nCheckoutUserID = 2;
    const int keptId = StoreFile(server, kept);
    const uint32_t before = storage.GetCapacity(0);

    blockWholeFolder();
    CkxFileImage f = MakeFile("x", "jpg", 1, kReadOpen, RandomBytes(40 * 1024, 8), "micro");
    EXPECT_EQ(service.AddFile(f), 0);
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage"), 1);
    EXPECT_EQ(storage.GetCapacity(0), before);

    CkxFileImage changed = MakeFile("kept", "jpg", 2, kReadOpen, "new-whole", "new-micro");
    changed.m_nID = keptId;
    EXPECT_EQ(service.CheckInChanged(changed, 2, COleDateTime::GetCurrentTime()), 0);
    unblockWholeFolder();

    for (const auto& entry : fs::directory_iterator(server.StorageRoot() + "/File/Image/Micro"))
        EXPECT_EQ(entry.path().filename().string(), std::to_string(keptId));
    auto row = ReadRow(server.Db(), keptId);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->m_nCheckouted, 1);
    EXPECT_EQ(row->m_nSize, static_cast<int>(std::string("old-whole").size()));
    EXPECT_EQ(ReadDisk(WholePath(server, keptId, "jpg")), "old-whole");
    EXPECT_EQ(ReadDisk(MicroPath(server, keptId)), "old-micro");

    // With the folder back the same check-in goes through.
    EXPECT_EQ(service.CheckInChanged(changed, 2, COleDateTime::GetCurrentTime()), 1);
    EXPECT_EQ(ReadDisk(WholePath(server, keptId, "jpg")), "new-whole");
}

// A list reads thumbnails only for the files it will send: those that pass the limit, up to its
// cap; the other files are still listed, without a thumbnail.
TEST(FileService, ThumbnailsAreReadOnlyForTheFilesSent) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CImageFileService service(server.Data());
    std::vector<int> ids;
    for (int i = 0; i < 5; ++i) {
        CkxFileImage f = MakeFile("t" + std::to_string(i), "jpg", 1, kReadOpen, "whole", "micro" + std::to_string(i));
        f.m_nFamilyID = 100000001;
        f.m_dtWrite = COleDateTime(45000.0 + i);
        ids.push_back(StoreFile(server, f));
    }
    CFileTable::ReadLimit limit;
    limit.keep = [&](const CkxFile& f) { return f.GetID() != ids[1]; }; // the second is not sent
    limit.cap = 2;
    service.LimitThumbnailsTo(limit);
    CkxFileList list;
    ASSERT_EQ(service.GetFamilyFiles(100000001, list), 5);
    std::vector<int> withMicro;
    for (POSITION p = list.GetHeadPosition(); p;) {
        const CkxFile* f = list.GetNext(p);
        if (f->IsMemMicroValid()) withMicro.push_back(f->GetID());
    }
    EXPECT_EQ(withMicro, (std::vector<int>{ids[0], ids[2]}));
}
