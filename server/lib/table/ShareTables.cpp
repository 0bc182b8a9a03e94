#include "table/ShareTables.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "table/TableOps.h"

namespace {

constexpr const char* kShare = "VUZO_FileShare";
constexpr const char* kTag = "VUZO_FileTag";

CADOFieldList Fields(const CkxFileMark& m) {
    CADOFieldList f;
    f.AddText("T_Name", m.m_strName);
    f.AddInt("T_FileID", m.m_nFileID);
    f.AddInt("T_DataFormat", m.m_nDataFormat);
    f.AddInt("T_UserID", m.m_nUserID);
    return f;
}

CADOFieldList WhereOwned(int id, int ownerId) {
    CADOFieldList where = kx::WhereId(id);
    where.AddInt(" T_UserID = ", ownerId);
    return where;
}

template <class Mark>
Mark ReadMark(const CADORecordset& rs) {
    Mark m;
    m.m_nID = rs.Long("T_ID");
    m.m_nUserID = rs.Long("T_UserID");
    m.m_nDataFormat = rs.Long("T_DataFormat");
    m.m_nFileID = rs.Long("T_FileID");
    m.m_strName = rs.Text("T_Name");
    return m;
}

int InsertMark(CADODatabase& db, const char* table, CkxFileMark& mark) {
    return kx::StoreNewId(mark, db.Insert(table, Fields(mark)));
}

// Runs a statement that must change exactly the rows it names; the transaction keeps another
// statement from running between it and the count of changed rows.
template <class Write> int ChangedSome(CADODatabase& db, Write&& write) {
    CADOTransaction tx(db);
    if (!tx.IsActive() || !write() || db.GetRecordsAffected() < 1) return 0;
    return tx.Commit();
}

} // namespace

namespace FileShareTable {

int Insert(CADODatabase& db, CkxDataShare& share) { return InsertMark(db, kShare, share); }

int Update(CADODatabase& db, const CkxDataShare& share) {
    return db.Update(kShare, Fields(share), kx::WhereId(share.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kShare, id); }

int LoadAll(CADODatabase& db, CkxDataShareList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_FileShare ", list, ReadMark<CkxDataShare>);
}

} // namespace FileShareTable

namespace FileTagTable {

int Insert(CADODatabase& db, CkxDataTag& tag) { return InsertMark(db, kTag, tag); }

int Update(CADODatabase& db, const CkxDataTag& tag) {
    return ChangedSome(db, [&] {
        return db.Update(kTag, Fields(tag), WhereOwned(tag.m_nID, tag.m_nUserID));
    });
}

int Delete(CADODatabase& db, int id, int ownerId) {
    return ChangedSome(db, [&] {
        return db.Execute(" DELETE FROM " + std::string(kTag) + " WHERE T_ID = " +
                          kx::SqlNumber(id) + " AND T_UserID = " + kx::SqlNumber(ownerId) + " ");
    });
}

int LoadUser(CADODatabase& db, int userId, CkxDataTagList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_FileTag WHERE T_UserID = " + kx::SqlNumber(userId) + " ",
                        list, ReadMark<CkxDataTag>);
}

int LoadAll(CADODatabase& db, CkxDataTagList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_FileTag ", list, ReadMark<CkxDataTag>);
}

} // namespace FileTagTable
