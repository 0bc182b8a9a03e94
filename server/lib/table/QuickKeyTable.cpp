#include "table/QuickKeyTable.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "table/TableOps.h"

#include <set>
#include <vector>

namespace QuickKeyTable {
namespace {

const char* const kTable = "VUZO_QuickKey";

void Columns(CADOColumnList& c, const CkxFSQuickKey& key) {
    c.AddColumn("T_DirID", key.m_nDirID);
    c.AddColumn("T_FileID", key.m_nFileID);
    c.AddColumn("T_DataFormat", key.GetDataKind());
    c.AddColumn("T_DataModal", key.GetDataModal());
    c.AddColumn("T_DataState", key.GetDataState());
}

} // namespace

int Insert(CADODatabase& db, CkxFSQuickKey& key) {
    CADOColumnList columns;
    Columns(columns, key);
    return kx::StoreNewId(key, db.InsertRecord(kTable, columns));
}

int Update(CADODatabase& db, const CkxFSQuickKey& key) {
    CADOColumnList columns;
    Columns(columns, key);
    return db.UpdateRecord(kTable, kx::WhereId(key.m_nID), columns);
}

int Delete(CADODatabase& db, int keyId) { return db.Delete(kTable, keyId); }

int DeleteFolder(CADODatabase& db, int folderId) {
    return db.Execute(" DELETE FROM VUZO_QuickKey WHERE T_DirID = " + kx::SqlNumber(folderId) + " ");
}

int SaveFileKeys(CADODatabase& db, int fileId, CkxFSQuickKeyList& keys) {
    CADOTransaction transaction(db);
    if (!transaction.IsActive()) return 0;

    std::set<int> stored;
    {
        CADORecordset rs;
        if (!db.Query(" SELECT * FROM VUZO_QuickKey WHERE T_FileID = " + kx::SqlNumber(fileId) + " ", rs))
            return 0;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            int32_t id = 0;
            if (rs.GetLong("T_ID", id)) stored.insert(id);
        }
    }

    // Work on copies so a failure leaves the caller's keys as they came.
    std::vector<CkxFSQuickKey> saved;
    std::set<int> kept;
    bool ok = true;
    keys.ForEach([&](const CkxFSQuickKey& given) {
        if (!ok) return;
        CkxFSQuickKey key = given;
        key.m_nFileID = fileId;
        if (stored.count(key.m_nID) && kept.insert(key.m_nID).second) {
            ok = Update(db, key) == 1;
        } else {
            key.m_nID = -1;
            ok = Insert(db, key) == 1;
        }
        saved.push_back(key);
    });
    if (!ok) return 0;
    for (int id : stored)
        if (!kept.count(id) && !Delete(db, id)) return 0;
    if (!transaction.Commit()) return 0;

    keys.DeleteAll();
    for (const CkxFSQuickKey& k : saved) keys.AddTail(k);
    return 1;
}

int LoadAll(CADODatabase& db, CkxFSQuickKeyList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_QuickKey ", list, [](const CADORecordset& rs) {
        CkxFSQuickKey k;
        k.m_nID = rs.Long("T_ID");
        k.m_nDirID = rs.Long("T_DirID");
        k.m_nFileID = rs.Long("T_FileID");
        k.SetDataKind(rs.Long("T_DataFormat"));
        k.SetDataModal(rs.Long("T_DataModal"));
        k.SetDataState(rs.Long("T_DataState"));
        return k;
    });
}

} // namespace QuickKeyTable
