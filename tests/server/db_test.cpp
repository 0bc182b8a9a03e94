// The catalogue connection on a real SQLite file and on the real PostgreSQL server
// (VARNIA_TEST_PG): the same cases run on both, each on a fresh catalogue.
#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "db/CatalogueMaker.h"
#include "support/TempDir.h"
#include "server/support/TestCatalogue.h"
#include "table/CImageFileTable.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

namespace {

using ErrorLog = kxtest::DbErrorLog;
using kxtest::PgText;

// The shared fresh catalogue, with its connections under short names.
class CatalogueTest : public kxtest::CatalogueTest {
protected:
    CADOVariant Value(const std::string& table, int id, const char* column) {
        return catalogue.Value(table, id, column);
    }
    int Count(const std::string& sql) { return catalogue.Count(sql); }

    CADODatabase& db = catalogue.db;
    CADODatabase& admin = catalogue.admin;
};

TEST_P(CatalogueTest, FirstRowsAreTheAdministratorAndItsRole) {
    EXPECT_EQ(db.GetDatabaseKind(), GetParam());
    CADORecordset rs;
    ASSERT_EQ(db.Query(" SELECT * FROM VUZO_UserRole ", rs), 1);
    ASSERT_EQ(rs.GetRecordCount(), 1);
    std::string name;
    int32_t power = 0, roleId = 0, system = 0;
    rs.GetString("T_Name", name);
    rs.GetLong("T_Power", power);
    rs.GetLong("T_ID", roleId);
    rs.GetLong("T_IsSystem", system);
    EXPECT_EQ(name, "超级管理");
    EXPECT_EQ(power, 0x1F07);
    EXPECT_EQ(system, 1);

    ASSERT_EQ(db.Query(" SELECT * FROM VUZO_User ", rs), 1);
    ASSERT_EQ(rs.GetRecordCount(), 1);
    std::string logon, password;
    uint8_t role = 0, state = 0;
    rs.GetString("T_Logon", logon);
    rs.GetString("T_Password", password);
    rs.GetByte("T_Role", role);
    rs.GetByte("T_State", state);
    EXPECT_EQ(logon, "su");
    EXPECT_EQ(password, "Pw-1");
    EXPECT_EQ(role, roleId);
    EXPECT_EQ(state, 1);

    // A second creation on the same database is refused whole: still one administrator.
    ErrorLog quiet;
    std::string error;
    EXPECT_EQ(kx::CreateCatalogue(db, "other", error), 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Count(" SELECT * FROM VUZO_User "), 1);
    // Every table the server writes exists.
    for (const char* t : {"VUZO_Log", "VUZO_Family", "VUZO_FamilyAttr", "VUZO_FileTemplet",
                          "VUZO_Keyword", "VUZO_KeywordGroup", "VUZO_KeywordLink",
                          "VUZO_KeywordTemplet", "VUZO_QueryTemplet", "VUZO_User",
                          "VUZO_UserGroup", "VUZO_UserRole", "VUZO_FileRole", "VUZO_FolderRole",
                          "VUZO_Person", "VUZO_Dir", "VUZO_QuickKey", "VUZO_FileShare",
                          "VUZO_FileTag", "VUZO_Project", "VUZO_ProjectFile", "VUZO_FImage"})
        EXPECT_GE(Count(std::string(" SELECT * FROM ") + t), 0) << t;
}

TEST_P(CatalogueTest, ValuesRoundTrip) {
    const COleDateTime when(2010, 1, 2, 3, 4, 5);
    struct Case {
        int32_t number;
        uint32_t size;
        std::string text;
        COleDateTime date;
    };
    const std::vector<Case> cases = {
        {0, 0, "", COleDateTime(0.0)},
        {-2147483647 - 1, 4294967295u, "中文名称", when},
        {2147483647, 2147483648u, "O'Brien", COleDateTime(2099, 12, 31, 23, 59, 59)},
        {-1, 1, "x'); DROP TABLE VUZO_FImage; --", when},
        {7, 12345, "back\\slash and \"double\" and %d", when},
    };
    for (const Case& c : cases) {
        CADOFieldList f;
        f.AddInt("T_FamilyID", c.number);
        f.AddULong("T_FileSize", c.size);
        f.AddUInt("T_FileType", c.size);
        f.AddText("T_Title", c.text);
        f.AddDate("T_WriteTime", c.date);
        const int id = db.Insert("VUZO_FImage", f);
        ASSERT_GT(id, 0) << c.text;
        CADORecordset rs;
        ASSERT_EQ(db.Query(" SELECT * FROM VUZO_FImage WHERE T_ID = " + std::to_string(id), rs), 1);
        int32_t n = 0, size = 0;
        std::string text, dateText;
        COleDateTime date(1.5);
        EXPECT_EQ(rs.GetLong("T_FamilyID", n), 1);
        EXPECT_EQ(rs.GetLong("T_FileSize", size), 1);
        EXPECT_EQ(rs.GetString("T_Title", text), 1);
        EXPECT_EQ(rs.GetDate("T_WriteTime", date), 1);
        EXPECT_EQ(rs.GetString("T_WriteTime", dateText, "%Y/%m/%d"), 1);
        EXPECT_EQ(n, c.number);
        EXPECT_EQ(static_cast<uint32_t>(size), c.size);
        EXPECT_EQ(text, c.text);
        EXPECT_DOUBLE_EQ(date.m_dt, c.date.m_dt);
        EXPECT_EQ(dateText, c.date.Format("%Y/%m/%d"));
        std::string sizeText;
        rs.GetString("T_FileSize", sizeText);
        EXPECT_EQ(sizeText, std::to_string(c.size));
    }
    EXPECT_EQ(Count(" SELECT * FROM VUZO_FImage "), static_cast<int>(cases.size()));

    // Blocks are bound, not quoted: every byte value survives, and an empty block stays empty.
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    for (const std::string& block : {bytes, std::string("'\0'", 3), std::string()}) {
        CADOColumnList cols;
        cols.AddColumn("T_Name", CADOVariant("块"));
        cols.AddColumn("T_CreateTime", CADOVariant(when));
        cols.AddBinary("T_OperandValue", block.data(), static_cast<int>(block.size()));
        const int id = db.InsertRecord("VUZO_QueryTemplet", cols);
        ASSERT_GT(id, 0);
        CADORecordset rs;
        ASSERT_EQ(db.Query(" SELECT * FROM VUZO_QueryTemplet WHERE T_ID = " + std::to_string(id), rs), 1);
        CkxBuf buf;
        buf.Fill("old", 3);
        EXPECT_EQ(rs.ReadBinary("T_OperandValue", buf), 1);
        EXPECT_EQ(buf.View(), block);
        COleDateTime d;
        rs.GetDate("T_CreateTime", d);
        EXPECT_EQ(d, when);
        // A column never written reads as null: 0, "" and an empty block.
        int32_t n = 5;
        std::string s = "x";
        EXPECT_EQ(rs.GetLong("T_DataMode", n), 1);
        EXPECT_EQ(rs.GetString("T_Remark", s), 1);
        EXPECT_EQ(n, 0);
        EXPECT_EQ(s, "");
    }
}

TEST_P(CatalogueTest, BuildersWriteAndFindRows) {
    ErrorLog quiet;
    CADOFieldList empty;
    EXPECT_EQ(db.Insert("VUZO_Keyword", empty), -1);

    std::vector<int> ids;
    for (const char* name : {"甲", "乙", "丙"}) {
        CADOFieldList f;
        f.AddInt("T_GroupID", 4);
        f.AddText("T_Name", name);
        f.AddText("T_Remark", "");
        ids.push_back(db.Insert("VUZO_Keyword", f));
    }
    EXPECT_GT(ids[0], 0);
    EXPECT_EQ(ids[1], ids[0] + 1);
    EXPECT_EQ(ids[2], ids[1] + 1);
    EXPECT_EQ(db.GetNewID("VUZO_Keyword"), ids[2]);
    EXPECT_EQ(db.GetNewID("VUZO_KeywordGroup"), 0); // empty table

    CADOFieldList set, where;
    set.AddText("T_Name", "丁'");
    where.AddInt(" T_ID = ", ids[1]);
    EXPECT_EQ(db.Update("VUZO_Keyword", set, where), 1);
    EXPECT_EQ(Value("VUZO_Keyword", ids[1], "T_Name"), CADOVariant("丁'"));
    EXPECT_EQ(Value("VUZO_Keyword", ids[0], "T_Name"), CADOVariant("甲"));

    // Id lists and conditions select rows; a name without an operator drops the whole WHERE.
    std::vector<int32_t> list = {ids[0], ids[2]};
    CADOFieldList in;
    in.AddIdList(" T_ID IN ", list);
    in.AddInt(" T_GroupID = ", 4);
    EXPECT_EQ(Count(" SELECT * FROM VUZO_Keyword " + CADODatabase::BuildWhere(in)), 2);

    EXPECT_EQ(db.Delete("VUZO_Keyword", ids[0]), 1);
    EXPECT_EQ(db.Delete("VUZO_Keyword", 999999), 1); // no row is not a failure
    EXPECT_EQ(Count(" SELECT * FROM VUZO_Keyword "), 2);
    // A removed id is never handed out again.
    CADOFieldList f;
    f.AddText("T_Name", "戊");
    EXPECT_EQ(db.Delete("VUZO_Keyword", ids[2]), 1);
    EXPECT_EQ(db.Insert("VUZO_Keyword", f), ids[2] + 1);

    // UpdateRecord writes the first matching row only, binary columns included.
    CADOColumnList cols;
    cols.AddColumn("T_Name", CADOVariant("组"));
    const int g1 = db.InsertRecord("VUZO_UserGroup", cols);
    const int g2 = db.InsertRecord("VUZO_UserGroup", cols);
    ASSERT_GT(g1, 0);
    ASSERT_EQ(g2, g1 + 1);
    CADOFieldList byName;
    byName.AddText(" T_Name = ", "组");
    CADOColumnList change;
    change.AddColumn("T_Remark", CADOVariant("first"));
    change.AddBinary("T_UserList", "\1\0\0\0", 4);
    EXPECT_EQ(db.UpdateRecord("VUZO_UserGroup", byName, change), 1);
    CADORecordset rs;
    ASSERT_EQ(db.Query(" SELECT * FROM VUZO_UserGroup ORDER BY T_ID", rs), 1);
    std::string remark;
    CkxBuf members;
    rs.GetString("T_Remark", remark);
    rs.ReadBinary("T_UserList", members);
    EXPECT_EQ(remark, "first");
    EXPECT_EQ(members.View(), std::string("\1\0\0\0", 4));
    rs.MoveNext();
    rs.GetString("T_Remark", remark);
    EXPECT_EQ(remark, "");
    CADOFieldList none;
    none.AddInt(" T_ID = ", 999999);
    EXPECT_EQ(db.UpdateRecord("VUZO_UserGroup", none, change), 0);

    // Failures are results: bad statements, unknown tables and names that are not names.
    EXPECT_EQ(db.Execute("UPDATE NoSuchTable SET x = 1"), 0);
    EXPECT_EQ(db.Insert("VUZO_Keyword; DROP TABLE VUZO_User", f), 0);
    EXPECT_EQ(db.InsertRecord("NoSuchTable", cols), -1);
    EXPECT_EQ(db.Execute(" DELETE FROM VUZO_User ; DELETE FROM VUZO_UserRole "), 0);
    EXPECT_EQ(Count(" SELECT * FROM VUZO_User "), 1);
    EXPECT_EQ(db.Query("SELECT nonsense FROM", rs), 0);
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_TRUE(quiet.Contains("NoSuchTable"));
    EXPECT_EQ(db.IsOpen(), 1); // a failed statement leaves the connection usable
}

TEST_P(CatalogueTest, RecordsetCursorNamesAndEditing) {
    for (int i = 1; i <= 3; ++i) {
        CADOFieldList f;
        f.AddText("T_Name", "p" + std::to_string(i));
        f.AddInt("T_Type", i);
        ASSERT_GT(db.Insert("VUZO_Person", f), 0);
    }
    CADORecordset rs;
    EXPECT_EQ(rs.OpenTable(&db, ""), 0);
    EXPECT_FALSE(rs.IsOpen());
    ASSERT_EQ(rs.OpenTable(&db, "VUZO_Person"), 1);
    rs.MoveNext();
    rs.MoveNext();
    EXPECT_EQ(rs.GetRecordCount(), 3);
    std::string name;
    rs.GetString("t_name", name); // names match without regard to case
    EXPECT_EQ(name, "p1");
    int rows = 0;
    for (; !rs.IsEOF(); rs.MoveNext()) ++rows;
    EXPECT_EQ(rows, 3);
    int32_t n = 0;
    EXPECT_EQ(rs.GetLong("T_Type", n), 0); // past the end
    rs.MoveFirst();
    EXPECT_EQ(rs.GetLong("NoColumn", n), 0);
    EXPECT_EQ(rs.GetLongAt(0, n), 1);
    EXPECT_GT(n, 0);
    EXPECT_EQ(rs.GetLongAt(99, n), 0);

    // A new row stored through the recordset comes back with its id; a cancelled one is gone.
    ASSERT_EQ(rs.AddNew(), 1);
    rs.PutValue("T_Name", CADOVariant("new"));
    ASSERT_EQ(rs.Update(), 1);
    int32_t newId = 0;
    rs.GetLong("T_ID", newId);
    EXPECT_GT(newId, 0);
    rs.AddNew();
    rs.PutValue("T_Name", CADOVariant("dropped"));
    rs.CancelUpdate();
    EXPECT_EQ(rs.Update(), 0);
    rs.AddNew();
    rs.PutValue("T_Name", CADOVariant("closed before update"));
    rs.Close();
    EXPECT_EQ(Count(" SELECT * FROM VUZO_Person "), 4);
}

// A forward cursor reads rows as the reader steps: a reader that stops part way (past the
// server's first batch) leaves the connection free for the next statement, a full read sees
// every row once, and a statement that cannot run opens nothing.
TEST_P(CatalogueTest, ForwardCursorReadsRowByRowAndMayStopEarly) {
    constexpr int kRows = 1100;
    {
        CADOTransaction tx(db);
        for (int i = 0; i < kRows; ++i)
            ASSERT_EQ(db.Execute(" INSERT INTO VUZO_KeywordLink (T_FileID, T_KeyID) VALUES (" +
                                 kx::SqlNumber(i) + ", " + kx::SqlNumber(i % 7) + ") "),
                      1);
        ASSERT_EQ(tx.Commit(), 1);
    }
    const std::string sql = " SELECT * FROM VUZO_KeywordLink ORDER BY T_FileID ";
    {
        CADORecordset rs;
        ASSERT_EQ(db.QueryForward(sql, rs), 1);
        EXPECT_EQ(rs.GetRecordCount(), -1); // not known before the end
        const int file = rs.GetFieldIndex("t_fileid"), key = rs.GetFieldIndex("T_KeyID");
        ASSERT_GE(file, 0);
        ASSERT_GE(key, 0);
        EXPECT_EQ(rs.GetFieldIndex("NoColumn"), -1);
        for (int i = 0; i < 600; ++i, rs.MoveNext()) {
            ASSERT_FALSE(rs.IsEOF());
            int32_t f = -1, k = -1;
            ASSERT_EQ(rs.GetLongAt(file, f), 1);
            ASSERT_EQ(rs.GetLongAt(key, k), 1);
            ASSERT_EQ(f, i);
            ASSERT_EQ(k, i % 7);
        }
    } // closed part way
    EXPECT_EQ(db.Execute(" DELETE FROM VUZO_KeywordLink WHERE T_FileID = 0 "), 1);
    EXPECT_EQ(Count(sql), kRows - 1);

    CADORecordset rs;
    ASSERT_EQ(db.QueryForward(sql, rs), 1);
    int rows = 0;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) ++rows;
    EXPECT_EQ(rows, kRows - 1);
    EXPECT_FALSE(rs.HasFailed());
    int32_t n = 0;
    EXPECT_EQ(rs.GetLongAt(0, n), 0); // past the end
    rs.Close();

    ErrorLog quiet;
    CADORecordset bad;
    EXPECT_EQ(db.QueryForward(" SELECT * FROM NoSuchTable ", bad), 0);
    EXPECT_FALSE(bad.IsOpen());
    EXPECT_EQ(db.Execute(" DELETE FROM VUZO_KeywordLink WHERE T_FileID = 1 "), 1); // still usable
}

// The catalogue tool makes the catalogue with the indexes the lists read by and the planner's
// statistics gathered, on both engines; asking again when they are there changes nothing.
TEST_P(CatalogueTest, MadeWithListIndexesAndStatistics) {
    const bool sqlite = GetParam() == KX_DB_SQLITE;
    const std::string indexes =
        sqlite ? " SELECT name FROM sqlite_master WHERE type = 'index' AND lower(name) IN "
                 "('ix_vuzo_fimage_family_order', 'ix_vuzo_fimage_folder_order') "
               : " SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() AND indexname IN "
                 "('ix_vuzo_fimage_family_order', 'ix_vuzo_fimage_folder_order') ";
    EXPECT_EQ(Count(indexes), 2);
    const std::string stats =
        sqlite ? " SELECT * FROM sqlite_master WHERE name = 'sqlite_stat1' "
               : " SELECT * FROM pg_class WHERE oid = to_regclass('vuzo_fimage') AND reltuples >= 0 ";
    EXPECT_EQ(Count(stats), 1);
    EXPECT_EQ(db.GatherStatistics(true), 1);
    EXPECT_EQ(db.GatherStatistics(false), 1);
    EXPECT_EQ(Count(stats), 1);
}

TEST_P(CatalogueTest, FieldReadersGiveTheEmptyValueForWhatCannotBeRead) {
    const COleDateTime when(2010, 1, 2, 3, 4, 5);
    CADOColumnList cols;
    cols.AddColumn("T_Name", CADOVariant("模板"));
    cols.AddColumn("T_DataMode", CADOVariant(-7));
    cols.AddColumn("T_CreateTime", CADOVariant(when));
    cols.AddBinary("T_OperandValue", "\0\1\2", 3);
    const int id = db.InsertRecord("VUZO_QueryTemplet", cols);
    ASSERT_GT(id, 0);
    CADORecordset rs;
    ASSERT_EQ(db.Query(" SELECT * FROM VUZO_QueryTemplet ", rs), 1);
    EXPECT_EQ(rs.Long("t_id"), id);
    EXPECT_EQ(rs.Long("T_DataMode"), -7);
    EXPECT_EQ(rs.Text("T_Name"), "模板");
    EXPECT_EQ(rs.Text("T_DataMode"), "-7");
    EXPECT_EQ(rs.Date("T_CreateTime"), when);
    EXPECT_EQ(rs.Bytes("T_OperandValue").View(), std::string("\0\1\2", 3));
    // Null columns, missing columns and values of another kind read as the empty value.
    EXPECT_EQ(rs.Long("T_CreatorID"), 0);
    EXPECT_EQ(rs.Text("T_Remark"), "");
    EXPECT_EQ(rs.Text("NoColumn"), "");
    EXPECT_EQ(rs.Long("NoColumn"), 0);
    EXPECT_EQ(rs.Date("NoColumn"), COleDateTime(0.0));
    EXPECT_EQ(rs.Date("T_Name"), COleDateTime(0.0));
    EXPECT_EQ(rs.Text("T_OperandValue"), ""); // a byte block is not text
    EXPECT_EQ(rs.Bytes("T_DataMode").GetLen(), 0);
    rs.MoveNext();
    ASSERT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.Long("T_ID"), 0);
    EXPECT_EQ(rs.Text("T_Name"), "");
}

TEST_P(CatalogueTest, TransactionIsAllOrNothing) {
    ErrorLog quiet;
    auto add = [&](const char* name) {
        CADOFieldList f;
        f.AddText("T_Name", name);
        return db.Insert("VUZO_FileRole", f);
    };
    {
        CADOTransaction tx(db);
        ASSERT_EQ(tx.IsActive(), 1);
        EXPECT_GT(add("a"), 0);
        EXPECT_GT(add("b"), 0);
    } // no Commit: rolled back
    EXPECT_EQ(Count(" SELECT * FROM VUZO_FileRole "), 0);
    {
        CADOTransaction tx(db);
        EXPECT_GT(add("a"), 0);
        EXPECT_EQ(db.Execute("INSERT INTO NoSuchTable VALUES (1)"), 0);
        // The failed statement decides: the caller rolls the whole change back.
    }
    EXPECT_EQ(Count(" SELECT * FROM VUZO_FileRole "), 0);
    {
        CADOTransaction tx(db);
        EXPECT_GT(add("a"), 0);
        EXPECT_GT(add("b"), 0);
        EXPECT_EQ(tx.Commit(), 1);
    }
    EXPECT_EQ(Count(" SELECT * FROM VUZO_FileRole "), 2);
}

TEST_P(CatalogueTest, TwoThreadsInsertingGetTheirOwnIds) {
    constexpr int kPerThread = 150;
    std::vector<std::vector<int>> ids(2);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                CADOFieldList f;
                f.AddInt("T_Lev", 1);
                f.AddText("T_Event", "t" + std::to_string(t) + "-" + std::to_string(i));
                f.AddInt("T_DoUser", t);
                ids[t].push_back(db.Insert("VUZO_Log", f));
            }
        });
    for (auto& th : threads) th.join();
    std::set<int> all;
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < kPerThread; ++i) {
            ASSERT_GT(ids[t][i], 0);
            all.insert(ids[t][i]);
        }
    EXPECT_EQ(all.size(), 2u * kPerThread);
    // Each id names the row its own thread wrote.
    CADORecordset rs;
    ASSERT_EQ(db.Query(" SELECT * FROM VUZO_Log ", rs), 1);
    EXPECT_EQ(rs.GetRecordCount(), 2 * kPerThread);
    std::map<int, std::string> events;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        int32_t id = 0;
        std::string e;
        rs.GetLong("T_ID", id);
        rs.GetString("T_Event", e);
        events[id] = e;
    }
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < kPerThread; ++i)
            EXPECT_EQ(events[ids[t][i]], "t" + std::to_string(t) + "-" + std::to_string(i));
}

// Ids taken for rows yet to be written (a new file's content is put in place under its id before
// its row goes in): never the same twice, even from two threads, and never one a row had, even
// after that row is gone and the catalogue is opened again.
TEST_P(CatalogueTest, ReservedFileIdsAreNeverGivenTwiceNorReused) {
    const std::string table = CImageFileTable().GetTableName();
    constexpr int kPerThread = 100;
    std::vector<std::vector<int>> ids(2);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) ids[t].push_back(db.ReserveID(table));
        });
    for (auto& th : threads) th.join();
    std::set<int> all;
    for (const auto& some : ids) all.insert(some.begin(), some.end());
    EXPECT_EQ(all.size(), 2u * kPerThread);
    ASSERT_GT(*all.begin(), 0);
    const int largest = *all.rbegin();

    // A row under the largest id, then purged: its id stays spent.
    CImageFileTable files;
    CkxFileImage f;
    f.m_strTitle = "reserved";
    f.m_strExName = "jpg";
    f.m_nID = largest;
    const CkxBuf none;
    ASSERT_EQ(files.InsertReservedFile(db, f, none, none), 1);
    EXPECT_EQ(Count(" SELECT * FROM " + table + " WHERE T_ID = " + std::to_string(largest) + " "), 1);
    EXPECT_EQ(files.InsertReservedFile(db, f, none, none), 0); // the id is taken
    ASSERT_EQ(files.DeleteFile(db, 1, largest, 1), 1);
    CADODatabase again;
    ASSERT_EQ(again.Connect(db.GetConnectionString(), "", ""), 1);
    EXPECT_GT(again.ReserveID(table), largest);
    // An insert that takes its own id takes it the same way.
    CkxFileImage g;
    g.m_strTitle = "own id";
    ASSERT_EQ(files.InsertFile(again, g, none, none), 1);
    EXPECT_GT(g.m_nID, largest);
    EXPECT_EQ(db.ReserveID("no such table"), 0);
}

// Commits do not copy the write-ahead log into the catalogue file themselves (that is left to a
// thread of its own, so no commit waits for its syncs): the copy still happens, and the file
// takes what was written.
TEST_P(CatalogueTest, WrittenLogIsCopiedIntoTheCatalogueFile) {
    if (GetParam() != KX_DB_SQLITE) GTEST_SKIP() << "a PostgreSQL server keeps its own log";
    const std::string file = catalogue.path;
    const uintmax_t before = std::filesystem::file_size(file);
    const std::string text(3000, 'w');
    for (int i = 0; i < 3000; ++i) {
        CADOFieldList f;
        f.AddInt("T_Lev", 1);
        f.AddText("T_Event", text + std::to_string(i));
        f.AddInt("T_DoUser", 1);
        ASSERT_GT(db.Insert("VUZO_Log", f), 0);
    }
    // About 9 MB went into the log in 3,000 commits; wait for the catalogue file to take it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::filesystem::file_size(file) < before + (4u << 20) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(std::filesystem::file_size(file), before + (4u << 20)) << "the log was never copied into the catalogue file";
    EXPECT_EQ(Count(" SELECT * FROM VUZO_Log "), 3000);
}

// Tables of numbers read whole (keyword links at start-up) skip the recordset: the same numbers,
// NULL as 0, and a statement that fails or lacks the columns asked for is a failure.
TEST_P(CatalogueTest, NumberRowsReadStraightIntoTheirNumbers) {
    for (auto [file, key] : {std::pair{7, 1}, {2147483647, 2}, {9, -3}})
        ASSERT_EQ(db.Execute(" INSERT INTO VUZO_KeywordLink (T_FileID, T_KeyID) VALUES (" + std::to_string(file) +
                             ", " + std::to_string(key) + ") "),
                  1);
    ASSERT_EQ(db.Execute(" INSERT INTO VUZO_KeywordLink (T_FileID) VALUES (11) "), 1);
    std::vector<std::pair<int64_t, int64_t>> read;
    EXPECT_EQ(db.EachNumberRow(" SELECT T_FileID, T_KeyID FROM VUZO_KeywordLink ORDER BY T_FileID ", 2,
                               [&](const int64_t* n) { read.emplace_back(n[0], n[1]); }),
              4);
    EXPECT_EQ(read, (std::vector<std::pair<int64_t, int64_t>>{{7, 1}, {9, -3}, {11, 0}, {2147483647, 2}}));

    ErrorLog errors;
    int calls = 0;
    const auto count = [&](const int64_t*) { ++calls; };
    EXPECT_EQ(db.EachNumberRow(" SELECT T_FileID FROM VUZO_NoSuchTable ", 1, count), -1);
    EXPECT_EQ(db.EachNumberRow(" SELECT T_FileID FROM VUZO_KeywordLink ", 2, count), -1);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(errors.Contains("VUZO_NoSuchTable"));
}

TEST_P(CatalogueTest, ReconnectsSilentlyAfterClose) {
    const std::string remembered = db.GetConnectionString();
    db.Close();
    EXPECT_EQ(db.IsOpen(), 0);
    EXPECT_EQ(Count(" SELECT * FROM VUZO_User "), 1); // Query reopens
    EXPECT_EQ(db.IsOpen(), 1);
    db.Close();
    CADOFieldList f;
    f.AddText("T_Name", "after close");
    EXPECT_GT(db.Insert("VUZO_Person", f), 0); // so do the builders
    // An empty text reuses the remembered one.
    EXPECT_EQ(db.Connect("", "", ""), 1);
    EXPECT_EQ(db.GetConnectionString(), remembered);
    EXPECT_EQ(Count(" SELECT * FROM VUZO_Person "), 1);
}

TEST_P(CatalogueTest, DroppedServerLinkIsReopenedBeforeTheNextStatement) {
    if (GetParam() != KX_DB_POSTGRESQL) GTEST_SKIP() << "a file has no link to drop";
    CADORecordset rs;
    ASSERT_EQ(db.Query("SELECT pg_backend_pid() AS pid", rs), 1);
    int32_t pid = 0;
    rs.GetLong("PID", pid);
    ASSERT_GT(pid, 0);
    ASSERT_EQ(admin.Execute("SELECT pg_terminate_backend(" + std::to_string(pid) + ")"), 1);
    // The session ends shortly after the signal; the layer's link check then sees it closed.
    for (int i = 0; i < 250 && db.IsOpen(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(db.IsOpen(), 0);
    EXPECT_EQ(Count(" SELECT * FROM VUZO_User "), 1); // same schema: the remembered text
    ASSERT_EQ(db.Query("SELECT pg_backend_pid() AS pid", rs), 1);
    int32_t pid2 = 0;
    rs.GetLong("pid", pid2);
    EXPECT_NE(pid2, pid);
}

KX_ON_BOTH_ENGINES(CatalogueTest);

// ---- statement texts ----

TEST(StatementText, BuildersKeepTheirExactShape) {
    CADOFieldList log;
    log.AddInt("T_Lev", 1);
    log.AddText("T_Event", "O'Brien");
    log.AddDate("T_Time", COleDateTime(2010, 1, 2, 3, 4, 5));
    log.AddULong("T_Size", 4294967295u);
    log.AddUInt("T_Kind", 7);
    log.AddInt("T_DoUser", -1);
    CADOFieldList set, cond, noOperator;
    set.AddText("T_Event", "x");
    cond.AddInt(" T_ID = ", 12);
    std::vector<int32_t> ids = {5, 7, 9};
    CADOFieldList idList;
    idList.AddIdList(" T_ID IN ", ids);
    noOperator.AddInt("T_Lev", 1);
    noOperator.AddInt(" T_ID = ", 2);
    CADOFieldList plain;
    plain.AddInt("T_ID", 3); // passes the operator test through its letter I
    plain.AddDate(" T_Time >= ", COleDateTime(0.0));

    struct Case {
        std::string got, want;
    } cases[] = {
        {CADODatabase::InsertText("VUZO_Log", log),
         " INSERT INTO VUZO_Log ( T_Lev , T_Event , T_Time , T_Size , T_Kind , T_DoUser ) VALUES "
         "( 1 , 'O''Brien' , '2010-01-02 03:04:05' , 4294967295 , 7 , -1 ) "},
        {CADODatabase::UpdateText("VUZO_Log", set, cond),
         std::string(" UPDATE ") + "VUZO_Log" + " SET " + "T_Event" + " = " + "'x'" + " WHERE " +
             " T_ID = " + "12"},
        {CADODatabase::UpdateText("VUZO_Log", set, CADOFieldList()), " UPDATE VUZO_Log SET T_Event = 'x'"},
        {CADODatabase::DeleteText("VUZO_Dir", 42), " DELETE FROM VUZO_Dir WHERE T_ID = 42 "},
        {CADODatabase::BuildWhere(CADOFieldList()), ""},
        {CADODatabase::BuildWhere(noOperator), ""},
        {CADODatabase::BuildWhere(plain), " WHERE T_ID3 AND  T_Time >= '1899-12-30 00:00:00'"},
        {CADODatabase::BuildWhere(idList), " WHERE  T_ID IN  ( 5 , 7 , 9  ) "},
        {CADODatabase::FormatDate(COleDateTime(2010, 1, 2, 3, 4, 5)), "'2010-01-02 03:04:05'"},
        {kx::SqlQuote("it's ''quoted''"), "'it''s ''''quoted'''''"},
        {kx::SqlQuote(std::string("cut\0here", 8)), "'cut'"},
        {kx::SqlQuote("中文'"), "'中文'''"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
    // The first id is taken off the caller's list; an empty list adds nothing.
    EXPECT_EQ(ids, (std::vector<int32_t>{7, 9}));
    std::vector<int32_t> none;
    idList.AddIdList("x", none);
    EXPECT_EQ(idList.GetCount(), 1);
}

TEST(StatementText, ConnectionTexts) {
    EXPECT_EQ(CADODatabase::SqliteConnectionString("/data/库 a?#%.db"),
              "file:/data/%E5%BA%93%20a%3F%23%25.db");
    EXPECT_EQ(CADODatabase::PostgresConnectionString("cat", "", "su", "p'w\\"),
              "dbname='cat' user='su' password='p\\'w\\\\' connect_timeout=10");
    EXPECT_EQ(CADODatabase::PostgresConnectionString("cat", "db1", "", ""),
              "host='db1' dbname='cat' connect_timeout=10");
}

// ---- databases that cannot be used ----

TEST(BrokenDatabase, MissingOrDamagedFileIsRefused) {
    ErrorLog log;
    TempDir dir;
    CADODatabase db;
    const std::string missing = dir.file("missing.db");
    EXPECT_EQ(db.OpenAccess(missing), 0);
    EXPECT_FALSE(std::filesystem::exists(missing)); // opening never creates the file
    EXPECT_TRUE(log.Contains("连接数据库失败"));
    EXPECT_NE(db.GetLastError().find("连接数据库失败"), std::string::npos);

    const std::string corrupt = dir.file("corrupt.db");
    {
        std::ofstream out(corrupt, std::ios::binary);
        for (int i = 0; i < 4096; ++i) out.put(static_cast<char>(i * 37));
    }
    EXPECT_EQ(db.OpenAccess(corrupt), 0);
    EXPECT_EQ(db.IsOpen(), 0);
    // Every later operation fails by result (each retry of the remembered text fails too).
    CADORecordset rs;
    CADOFieldList f;
    f.AddInt("T_Lev", 1);
    EXPECT_EQ(db.Query(" SELECT * FROM VUZO_Log ", rs), 0);
    EXPECT_EQ(db.Execute(" DELETE FROM VUZO_Log "), 0);
    EXPECT_EQ(db.Insert("VUZO_Log", f), 0);
    EXPECT_EQ(db.InsertRecord("VUZO_Log", CADOColumnList()), -1);
    EXPECT_EQ(rs.OpenTable(&db, "VUZO_Log"), 0);

    // A damaged page inside a real catalogue: opening or reading fails, nothing crashes.
    const std::string damaged = dir.file("damaged.db");
    std::string error;
    ASSERT_EQ(kx::CreateSqliteCatalogue(damaged, "pw", error), 1) << error;
    {
        std::fstream io(damaged, std::ios::binary | std::ios::in | std::ios::out);
        io.seekp(100);
        for (int i = 0; i < 8000; ++i) io.put(static_cast<char>(0xA5));
    }
    if (db.OpenAccess(damaged)) {
        EXPECT_EQ(db.Query(" SELECT * FROM VUZO_User ", rs), 0);
    }
    EXPECT_FALSE(db.GetLastError().empty());

    // The creation tool never overwrites an existing file.
    EXPECT_EQ(kx::CreateSqliteCatalogue(corrupt, "pw", error), 0);
    EXPECT_NE(error.find("exists"), std::string::npos);
    EXPECT_EQ(kx::CreateSqliteCatalogue(dir.file("x.db"), "", error), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.db")));
}

// The integrity check finds a damaged page of every table it checks; a table it is told to skip
// is not read, and the whole-file check still finds the damage there.
TEST(BrokenDatabase, IntegrityCheckFindsDamageInEveryCheckedTable) {
    const std::vector<std::string> skip = {"VUZO_FImage", "VUZO_Log"};
    const struct {
        const char* damaged; // the table whose root page is overwritten; null: none
        bool soundWithSkip;
        bool soundWhole;
    } cases[] = {
        {nullptr, true, true},
        {"VUZO_User", false, false},
        {"VUZO_KeywordLink", false, false},
        {"sqlite_stat1", false, false},
        {"VUZO_FImage", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damaged ? c.damaged : "none");
        TempDir dir;
        const std::string path = dir.file("catalogue.db");
        std::string error;
        ASSERT_EQ(kx::CreateSqliteCatalogue(path, "pw", error), 1) << error;
        if (c.damaged) {
            int32_t root = 0, pageSize = 0;
            {
                CADODatabase db;
                ASSERT_TRUE(db.OpenAccess(path));
                CADORecordset rs;
                ASSERT_TRUE(db.Query(std::string("SELECT rootpage FROM sqlite_master WHERE name = '") + c.damaged + "'", rs));
                ASSERT_FALSE(rs.IsEOF());
                rs.GetLongAt(0, root);
                CADORecordset ps;
                ASSERT_TRUE(db.Query("PRAGMA page_size", ps));
                ps.GetLongAt(0, pageSize);
            }
            ASSERT_GT(root, 1);
            std::fstream io(path, std::ios::binary | std::ios::in | std::ios::out);
            io.seekp(static_cast<std::streamoff>(root - 1) * pageSize);
            const std::string garbage(static_cast<size_t>(pageSize), '\x5A');
            io.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
        }
        CADODatabase db;
        ASSERT_TRUE(db.OpenAccess(path));
        std::string detail;
        EXPECT_EQ(db.QuickCheck(detail, skip), c.soundWithSkip ? 1 : 0) << detail;
        EXPECT_EQ(detail.empty(), c.soundWithSkip);
        EXPECT_EQ(db.QuickCheck(detail), c.soundWhole ? 1 : 0) << detail;
    }
}

TEST(BrokenDatabase, UnknownAccountDatabaseOrServerIsRefused) {
    if (PgText().empty()) GTEST_SKIP() << "VARNIA_TEST_PG is not set: no PostgreSQL server";
    // An account or database that does not exist is refused however the server checks
    // passwords (a test server may trust every local connection).
    ErrorLog log;
    CADODatabase db;
    EXPECT_EQ(db.Connect(PgText() + " user='varnia_no_such_role'", "", ""), 0);
    EXPECT_EQ(db.IsOpen(), 0);
    EXPECT_TRUE(log.Contains("varnia_no_such_role"));
    EXPECT_EQ(db.Execute("SELECT 1"), 0); // the remembered text fails again, by result
    EXPECT_EQ(db.Connect(PgText() + " dbname='varnia_no_such_db'", "", ""), 0);
    EXPECT_TRUE(log.Contains("varnia_no_such_db"));
    // Credentials given beside the text are not remembered: the retry uses the text alone.
    EXPECT_EQ(db.Connect(PgText(), "varnia_no_such_role", ""), 0);
    EXPECT_EQ(db.Execute("SELECT 1"), 1);
    db.Close();
    EXPECT_EQ(db.OpenSqlServer("varnia_test", "127.0.0.1 port=1", "varnia", "varnia"), 0);
    EXPECT_EQ(db.Connect("host=127.0.0.1 port=1 connect_timeout=3", "", ""), 0);
    EXPECT_TRUE(log.Contains("连接数据库失败"));
}

TEST(Connection, KindAndRememberedTextBeforeTheFirstOpen) {
    ErrorLog log;
    TempDir dir;
    std::string error;
    const std::string path = dir.file("catalogue.db");
    ASSERT_EQ(kx::CreateSqliteCatalogue(path, "pw", error), 1) << error;

    CADODatabase db;
    EXPECT_EQ(db.GetDatabaseKind(), kDbKindNone);
    EXPECT_EQ(db.GetNewID("VUZO_User"), 0); // no connection has been opened
    EXPECT_EQ(db.IsOpen(), 0);
    EXPECT_EQ(db.Execute(" DELETE FROM VUZO_Log "), 0); // nothing to reconnect with
    EXPECT_EQ(db.Connect("", "", ""), 0);
    // The kind and text set before an open are what the first statement connects with.
    db.SetDatabaseKind(KX_DB_SQLITE, CADODatabase::SqliteConnectionString(path));
    EXPECT_EQ(db.GetDatabaseKind(), KX_DB_SQLITE);
    EXPECT_EQ(db.IsOpen(), 0);
    CADORecordset rs;
    ASSERT_EQ(db.Query(" SELECT * FROM VUZO_User ", rs), 1);
    EXPECT_EQ(rs.GetRecordCount(), 1);
    EXPECT_EQ(db.IsOpen(), 1);
    EXPECT_EQ(db.GetNewID("VUZO_User"), rs.Long("T_ID"));
    EXPECT_EQ(db.GetNewID("VUZO_User; DROP TABLE VUZO_User"), -1);
}

TEST(AdminPassword, GeneratedOnesDifferAndFit) {
    const std::string a = kx::GenerateAdminPassword(), b = kx::GenerateAdminPassword();
    EXPECT_NE(a, b);
    std::string why;
    EXPECT_TRUE(kx::IsValidAdminPassword(a, why));
    EXPECT_FALSE(kx::IsValidAdminPassword(std::string(50, 'x'), why));
    EXPECT_TRUE(kx::IsValidAdminPassword(std::string(49, 'x'), why));
    EXPECT_FALSE(kx::IsValidAdminPassword("😀", why)); // no GBK form
}

} // namespace
