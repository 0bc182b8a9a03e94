// The file table on a real catalogue (SQLite file and PostgreSQL): a file row round trip, the
// recycle bin, folder removal, the list readers, and the exact statement texts.
#include "table/CImageFileTable.h"
#include "model/CkxFileList.h"
#include "support/TempDir.h"
#include "server/support/TestCatalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

class FileTableTest : public kxtest::CatalogueTest {
protected:
    // Stores a plain file and returns its id.
    int Add(const std::string& title, int folder, int family = 500, int month = 1) {
        CkxFileImage f;
        f.m_strTitle = title;
        f.m_strExName = "png";
        f.m_nLocDirID = folder;
        f.m_nFamilyID = family;
        f.m_dtWrite = COleDateTime(2021, month, 1, 0, 0, 0);
        CkxBuf exattr, power;
        if (table.InsertFile(catalogue.db, f, exattr, power) != 1) return -1;
        return f.m_nID;
    }

    static std::set<int> Ids(CkxFileList& list) {
        std::set<int> ids;
        for (POSITION p = list.GetHeadPosition(); p;) ids.insert(list.GetNext(p)->GetID());
        return ids;
    }

    CImageFileTable table;
};

TEST_P(FileTableTest, FileRowRoundTrip) {
    CkxFileImage f;
    f.m_nFamilyID = 100000001;
    f.m_nFileType = KXFK_IMAGE;
    f.m_nEncFormat = 3;
    f.m_nProgStct = KXPS_FileImageObj;
    f.m_nVersion = 2;
    f.m_strTitle = "夏天 O'Brien";
    f.m_strExName = "jpg";
    f.m_nWidth = 1920;
    f.m_nHeight = 1080;
    f.m_nSize = static_cast<int32_t>(3000000000u); // above 2 GiB: an unsigned column
    f.m_nStorageID = 4;
    f.m_nLocDirID = 12;
    f.m_strSourcePath = "";
    f.m_nAuthorID = 6;
    f.m_nWriterID = 7;
    f.m_nEditorID = 8;
    f.m_dtAuth = COleDateTime(2019, 5, 6, 7, 8, 9);
    f.m_dtWrite = COleDateTime(2020, 1, 2, 3, 4, 5);
    f.m_dtEdit = COleDateTime(2021, 12, 31, 23, 59, 59);
    f.m_nCheckouted = 1;
    f.m_nCheckoutUserID = 7;
    f.m_dtCheckout = COleDateTime(2022, 2, 2, 2, 2, 2);
    f.m_strAuthAddr = "北京";
    f.m_strRemark = "note with 'quotes' and \\";
    CkxAttrValue v(-1, 9001);
    v.m_Value = std::string("值");
    f.SetExAttrValue(v);
    f.m_Power.m_nInherit = 0;
    f.m_Power.m_nEveryonePower = 0x8000;
    CkxBuf exattr, power;
    ASSERT_GT(f.BuildExattr(exattr), 0);
    ASSERT_GT(f.BuildPower(power), 0);

    ASSERT_EQ(table.InsertFile(catalogue.db, f, exattr, power), 1);
    ASSERT_GT(f.m_nID, 0);

    CkxFileList list;
    ASSERT_EQ(table.SelectFile(catalogue.db, f.m_nID, list), 1);
    CkxFile* back = list.GetHead();
    ASSERT_NE(back, nullptr);
    EXPECT_NE(dynamic_cast<CkxFileImage*>(back), nullptr);
    const auto a = kx::RecordBytes(f.GetComData());
    const auto b = kx::RecordBytes(back->GetComData());
    EXPECT_EQ(a, b);
    CkxBuf exattr2, power2;
    back->BuildExattr(exattr2);
    back->BuildPower(power2);
    EXPECT_EQ(exattr2.View(), exattr.View());
    EXPECT_EQ(power2.View(), power.View());

    // An update rewrites the same row.
    f.m_strTitle = "秋天";
    f.m_nLocDirID = 13;
    f.m_nCheckouted = 0;
    ASSERT_EQ(table.UpdateFile(catalogue.db, f, exattr, power), 1);
    CkxFileList again;
    ASSERT_EQ(table.SelectFile(catalogue.db, f.m_nID, again), 1);
    EXPECT_EQ(again.GetHead()->m_strTitle, "秋天");
    EXPECT_EQ(again.GetHead()->m_nLocDirID, 13);
    EXPECT_EQ(again.GetHead()->m_nCheckouted, 0);
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_FImage "), 1);
    // A file id the table does not hold reads nothing.
    CkxFileList none;
    EXPECT_EQ(table.SelectFile(catalogue.db, f.m_nID + 100, none), 0);
}

TEST_P(FileTableTest, RecycleBinBelongsToTheUserWhoDeleted) {
    const int a = Add("a", 10), b = Add("b", 10), c = Add("c", 11);
    ASSERT_GT(c, 0);
    ASSERT_EQ(table.DeleteFile(catalogue.db, 7, a, 0), 1);
    ASSERT_EQ(table.DeleteFile(catalogue.db, 8, b, 0), 1);

    CkxFileList bin7, bin8, family;
    EXPECT_EQ(table.ReadRecycleBin(catalogue.db, 7, bin7), 1);
    EXPECT_EQ(Ids(bin7), std::set<int>{a});
    EXPECT_EQ(table.ReadRecycleBin(catalogue.db, 8, bin8), 1);
    EXPECT_EQ(table.ReadFamilyFiles(catalogue.db, 500, family), 1);
    EXPECT_EQ(Ids(family), std::set<int>{c});

    // Another user's purge or emptying never reaches user 7's bin.
    EXPECT_EQ(table.PurgeRecycled(catalogue.db, 8, a), 1);
    EXPECT_EQ(table.EmptyRecycleBin(catalogue.db, 8), 1);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", a, "T_Deleted"), 1);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", b, "T_ID"), -999); // user 8's went

    // Restoring puts the file into a folder and out of every bin.
    EXPECT_EQ(table.RestoreFile(catalogue.db, 7, a, 12), 1);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", a, "T_Deleted"), 0);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", a, "T_DeleterID"), -1);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", a, "T_LocDirID"), 12);

    EXPECT_EQ(table.DeleteFile(catalogue.db, 7, a, 1), 1);
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_FImage "), 1);
}

TEST_P(FileTableTest, FolderRemovalAndListReaders) {
    const int a = Add("a", 10, 500, 3), b = Add("b", 10, 500, 1), c = Add("c", 11, 501, 2),
              d = Add("d", 12, 501, 4);
    ASSERT_GT(d, 0);
    // c is shown in folder 10 too; d belongs to project 5 as an image, a as another data format.
    ASSERT_EQ(catalogue.db.Execute(" INSERT INTO VUZO_QuickKey (T_DirID, T_FileID) VALUES (10, " +
                                   kx::SqlNumber(c) + ")"),
              1);
    ASSERT_EQ(catalogue.db.Execute(
                  " INSERT INTO VUZO_ProjectFile (T_ProjectID, T_FileID, T_DataFormat) VALUES (5, " +
                  kx::SqlNumber(d) + ", 3), (5, " + kx::SqlNumber(a) + ", 2)"),
              1);
    ASSERT_EQ(catalogue.db.Execute(" UPDATE VUZO_FImage SET T_Checkouted = 1 WHERE T_ID = " +
                                   kx::SqlNumber(b)),
              1);

    CkxFileList folder10, project, out;
    ASSERT_EQ(table.ReadFolderFiles(catalogue.db, 10, folder10), 3);
    std::vector<int> order;
    for (POSITION p = folder10.GetHeadPosition(); p;) order.push_back(folder10.GetNext(p)->GetID());
    EXPECT_EQ(order, (std::vector<int>{b, c, a})); // write-time order
    ASSERT_EQ(table.ReadProjectFiles(catalogue.db, 5, project), 1);
    EXPECT_EQ(Ids(project), std::set<int>{d});
    ASSERT_EQ(table.ReadCheckedOut(catalogue.db, out), 1);
    EXPECT_EQ(Ids(out), std::set<int>{b});

    // Removing folder 10 moves only its own files to the user's bin, with no folder.
    ASSERT_EQ(table.RemoveFolderFiles(catalogue.db, 9, 10, 0), 1);
    for (int id : {a, b}) {
        EXPECT_EQ(catalogue.Long("VUZO_FImage", id, "T_Deleted"), 1);
        EXPECT_EQ(catalogue.Long("VUZO_FImage", id, "T_DeleterID"), 9);
        EXPECT_EQ(catalogue.Long("VUZO_FImage", id, "T_LocDirID"), -1);
    }
    EXPECT_EQ(catalogue.Long("VUZO_FImage", c, "T_Deleted"), 0);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", c, "T_LocDirID"), 11);
    // Purging folder 11 deletes its rows.
    ASSERT_EQ(table.RemoveFolderFiles(catalogue.db, 9, 11, 1), 1);
    EXPECT_EQ(catalogue.Long("VUZO_FImage", c, "T_ID"), -999);
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_FImage "), 3);
}

// A family and a folder larger than the cap, written in shuffled time order with every sixth
// file unreadable: a capped read holds exactly the first 1000 readable files of the full read,
// in its order, and leaves the connection as it found it, inside a transaction or outside.
TEST_P(FileTableTest, CappedListsHoldTheFirstReadableFilesInOrder) {
    constexpr int kAll = 1800, kCap = 1000;
    std::vector<int> slots(kAll);
    for (int i = 0; i < kAll; ++i) slots[static_cast<size_t>(i)] = (i * 7919) % kAll; // a fixed shuffle
    {
        CADOTransaction tx(catalogue.db);
        for (int slot : slots) {
            CkxFileImage f;
            f.m_strTitle = "f" + std::to_string(slot);
            f.m_strExName = "jpg";
            f.m_nFamilyID = 700;
            f.m_nLocDirID = 70;
            f.m_nWriterID = slot % 6 == 5 ? 99 : 1; // the reader below may not read writer 99's files
            f.m_dtWrite = COleDateTime(45000.0 + slot / 1440.0);
            CkxBuf exattr, power;
            ASSERT_EQ(table.InsertFile(catalogue.db, f, exattr, power), 1);
        }
        ASSERT_EQ(tx.Commit(), 1);
    }
    CFileTable::ReadLimit limit;
    limit.keep = [](const CkxFile& f) { return f.m_nWriterID != 99; };
    limit.cap = kCap;
    const auto ids = [](CkxFileList& list) {
        std::vector<int> out;
        for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p)->GetID());
        return out;
    };
    using Read = int (CFileTable::*)(CADODatabase&, int, CkxFileList&, const CFileTable::ReadLimit&);
    const struct {
        const char* name;
        Read read;
        int id;
    } lists[] = {{"family", &CFileTable::ReadFamilyFiles, 700}, {"folder", &CFileTable::ReadFolderFiles, 70}};
    for (const auto& l : lists) {
        SCOPED_TRACE(l.name);
        CkxFileList all;
        ASSERT_EQ((table.*l.read)(catalogue.db, l.id, all, {}), kAll);
        std::vector<int> expected;
        COleDateTime last(0.0);
        for (POSITION p = all.GetHeadPosition(); p;) {
            const CkxFile* f = all.GetNext(p);
            EXPECT_GE(f->m_dtWrite.m_dt, last.m_dt); // write-time order
            last = f->m_dtWrite;
            if (f->m_nWriterID != 99 && static_cast<int>(expected.size()) < kCap) expected.push_back(f->GetID());
        }
        CkxFileList capped;
        ASSERT_EQ((table.*l.read)(catalogue.db, l.id, capped, limit), kCap);
        EXPECT_EQ(ids(capped), expected);

        // Inside a transaction the capped read leaves it open: the write after it commits with it.
        CADOTransaction tx(catalogue.db);
        CkxFileList again;
        ASSERT_EQ((table.*l.read)(catalogue.db, l.id, again, limit), kCap);
        EXPECT_EQ(ids(again), expected);
        ASSERT_EQ(catalogue.db.Execute(" UPDATE VUZO_FImage SET T_Remark = 'seen' WHERE T_ID = " +
                                       kx::SqlNumber(expected.front())),
                  1);
        ASSERT_EQ(tx.Commit(), 1);
    }
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_FImage WHERE T_Remark = 'seen' "), 1);
}

TEST_P(FileTableTest, FailuresAreResultsNotRows) {
    kxtest::DbErrorLog quiet;
    CFileTable missing; // table "File" does not exist in the catalogue
    CkxFile f;
    CkxBuf none;
    EXPECT_EQ(missing.InsertFile(catalogue.db, f, none, none), 0);
    EXPECT_EQ(f.m_nID, -1);
    EXPECT_EQ(missing.DeleteFile(catalogue.db, 1, 1, 0), 0);
    CkxFileList list;
    EXPECT_EQ(missing.ReadFamilyFiles(catalogue.db, 500, list), 0);
    EXPECT_EQ(missing.UpdateFile(catalogue.db, f, none, none), 0);
    // Updating an id with no row changes nothing and says so.
    f.m_nID = 4242;
    EXPECT_EQ(table.UpdateFile(catalogue.db, f, none, none), 0);
    EXPECT_EQ(catalogue.Count(" SELECT * FROM VUZO_FImage "), 0);
}

KX_ON_BOTH_ENGINES(FileTableTest);

TEST(FileTableText, StatementsKeepTheirExactText) {
    CImageFileTable t;
    const std::pair<std::string, std::string> cases[] = {
        {t.DeleteFileText(7, 12, 1), " DELETE FROM VUZO_FImage WHERE T_ID = 12 "},
        {t.DeleteFileText(7, 12, 0), " UPDATE VUZO_FImage SET T_Deleted = 1, T_DeleterID = 7 WHERE T_ID = 12 "},
        {t.PurgeRecycledText(7, 12),
         " DELETE FROM VUZO_FImage WHERE T_Deleted = 1 AND T_DeleterID = 7 AND T_ID = 12 "},
        {t.EmptyRecycleBinText(7), " DELETE FROM VUZO_FImage WHERE T_Deleted = 1 AND T_DeleterID = 7 "},
        {t.RestoreFileText(7, 12, 3),
         " UPDATE VUZO_FImage SET T_Deleted = 0, T_DeleterID = -1, T_LocDirID = 3 WHERE T_ID = 12 "},
        {t.RemoveFolderFilesText(7, 3, 1), " DELETE FROM VUZO_FImage WHERE T_LocDirID = 3 "},
        {t.RemoveFolderFilesText(7, 3, 0),
         " UPDATE VUZO_FImage SET T_Deleted = 1, T_DeleterID = 7, T_LocDirID = -1 WHERE T_LocDirID = 3 "},
        {t.SelectFileText(12), " SELECT * FROM VUZO_FImage WHERE T_ID = 12 "},
        {t.ReadRecycleBinText(7),
         " SELECT * FROM VUZO_FImage WHERE T_Deleted = 1 AND T_DeleterID = 7  ORDER BY T_WriteTime"},
        {t.ReadFamilyFilesText(500),
         "SELECT * FROM VUZO_FImage WHERE T_Deleted = 0 AND T_FamilyID = 500 ORDER BY T_WriteTime"},
        {t.ReadFolderFilesText(3),
         "SELECT * FROM VUZO_FImage WHERE T_Deleted = 0 AND T_ID IN (SELECT DISTINCT T_ID  FROM "
         "VUZO_FImage WHERE T_LocDirID = 3 OR T_ID IN ( SELECT T_FileID as T_ID FROM VuZO_QuickKey "
         "WHERE T_DirID = 3))  ORDER BY T_WriteTime"},
        {t.ReadProjectFilesText(5),
         " SELECT * FROM VUZO_FImage WHERE T_Deleted = 0 AND T_ID IN ( SELECT T_FileID FROM "
         "VUZO_ProjectFile WHERE T_ProjectID = 5 AND T_DataFormat = 3 )  ORDER BY T_WriteTime"},
        {t.ReadCheckedOutText(),
         " SELECT * FROM VUZO_FImage WHERE T_Deleted = 0 AND T_Checkouted = 1  ORDER BY T_CheckoutTime "},
    };
    for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
    EXPECT_EQ(CFileTable().GetTableName(), "File");
}

} // namespace
