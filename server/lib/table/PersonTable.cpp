#include "table/PersonTable.h"

#include "db/AdoDatabase.h"
#include "model/CkxPerson.h"
#include "db/AdoRecordset.h"
#include "table/TableOps.h"

namespace {

constexpr const char* kPerson = "VUZO_Person";

CADOFieldList Fields(const CkxPerson& p) {
    CADOFieldList f;
    f.AddText("T_Name", p.m_strName);
    f.AddInt("T_Type", p.m_nRelation);
    f.AddInt("T_Job", p.m_nProfession);
    f.AddText("T_Remark", p.m_strNote);
    return f;
}

} // namespace

namespace PersonTable {

int Insert(CADODatabase& db, CkxPerson& person) {
    return kx::StoreNewId(person, db.Insert(kPerson, Fields(person)));
}

int Update(CADODatabase& db, const CkxPerson& person) {
    return db.Update(kPerson, Fields(person), kx::WhereId(person.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kPerson, id); }

int LoadAll(CADODatabase& db, CkxPersonList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_Person ", list, [](const CADORecordset& rs) {
        CkxPerson p;
        p.m_nID = rs.Long("T_ID");
        p.m_strName = rs.Text("T_Name");
        p.m_nRelation = static_cast<uint8_t>(rs.Long("T_Type"));
        p.m_nProfession = static_cast<uint8_t>(rs.Long("T_Job"));
        p.m_strNote = rs.Text("T_Remark");
        return p;
    });
}

} // namespace PersonTable
