#include "table/ProjectTables.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "table/TableOps.h"

#include <set>

namespace {

constexpr const char* kProject = "VUZO_Project";
constexpr const char* kLink = "VUZO_ProjectFile";

// On update a project without members stores NULL, so removing the last member lasts.
CADOColumnList ProjectColumns(const CkxProject& p, bool forUpdate) {
    CADOColumnList c;
    c.AddColumn("T_Name", p.m_strName);
    c.AddColumn("T_Lev", p.m_nLev);
    c.AddColumn("T_ParentID", p.m_nParentID);
    c.AddColumn("T_Type", p.m_nNodeType);
    c.AddColumn("T_State", static_cast<int>(p.m_nState));
    c.AddColumn("T_CreatorID", p.m_nCreatorID);
    c.AddColumn("T_CoworkerID", p.m_nCoworkerID);
    c.AddColumn("T_CreateTime", p.m_dtCreate);
    c.AddColumn("T_EndTime", p.m_dtEnd);
    c.AddColumn("T_Describe", p.m_strDescribe);
    c.AddColumn("T_Remark", p.m_strNote);
    CkxBuf members;
    if (p.BuildUserBuf(members) > 0)
        c.AddBinary("T_UserList", members.GetBuf(), members.GetLen());
    else if (forUpdate)
        c.AddColumn("T_UserList");
    return c;
}

CADOFieldList LinkFields(const CkxProjectData& d) {
    CADOFieldList f;
    f.AddInt("T_ProjectID", d.m_nProjectID);
    f.AddInt("T_FileID", d.m_nFileID);
    f.AddInt("T_DataFormat", d.GetDataKind());
    f.AddInt("T_CreatorID", d.m_nCreatorID);
    f.AddDate("T_CreateTime", d.m_dtCreate);
    f.AddText("T_Alias", d.m_strAlias);
    f.AddText("T_Remark", d.m_strRemark);
    return f;
}

} // namespace

namespace ProjectTable {

int Insert(CADODatabase& db, CkxProject& project) {
    return kx::StoreNewId(project, db.InsertRecord(kProject, ProjectColumns(project, false)));
}

int Update(CADODatabase& db, const CkxProject& project) {
    return db.UpdateRecord(kProject, kx::WhereId(project.m_nID), ProjectColumns(project, true));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kProject, id); }

int LoadAll(CADODatabase& db, CkxProjectList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_Project ", list, [](const CADORecordset& rs) {
        CkxProject p;
        p.m_nID = rs.Long("T_ID");
        p.m_strName = rs.Text("T_Name");
        p.m_nLev = rs.Long("T_Lev");
        p.m_nParentID = rs.Long("T_ParentID");
        p.m_nNodeType = rs.Long("T_Type");
        p.m_nState = static_cast<uint8_t>(rs.Long("T_State"));
        p.m_nCreatorID = rs.Long("T_CreatorID");
        p.m_nCoworkerID = rs.Long("T_CoworkerID");
        p.m_dtCreate = rs.Date("T_CreateTime");
        p.m_dtEnd = rs.Date("T_EndTime");
        p.m_strDescribe = rs.Text("T_Describe");
        p.m_strNote = rs.Text("T_Remark");
        const CkxBuf members = rs.Bytes("T_UserList");
        if (members.GetLen() > 0) p.PasyUserBuf(members.GetBuf(), members.GetLen());
        return p;
    });
}

} // namespace ProjectTable

namespace ProjectFileTable {

int Insert(CADODatabase& db, CkxProjectData& link) {
    return kx::StoreNewId(link, db.Insert(kLink, LinkFields(link)));
}

int Update(CADODatabase& db, const CkxProjectData& link) {
    return db.Update(kLink, LinkFields(link), kx::WhereId(link.m_nID));
}

int DeletePair(CADODatabase& db, int projectId, int fileId) {
    return db.Execute(" DELETE FROM VUZO_ProjectFile WHERE T_ProjectID = " + kx::SqlNumber(projectId) +
                      " AND T_FileID = " + kx::SqlNumber(fileId) + " ");
}

int DeleteLinks(CADODatabase& db, const CkxProjectDataList& links) {
    CADOTransaction tx(db);
    if (!tx.IsActive()) return 0;
    for (POSITION p = links.GetHeadPosition(); p;) {
        const CkxProjectData* d = links.GetNext(p);
        if (!DeletePair(db, d->m_nProjectID, d->m_nFileID)) return 0;
    }
    return tx.Commit();
}

int DeleteFileExcept(CADODatabase& db, int fileId, const CkxProjectDataList& links) {
    std::string sql = " DELETE FROM  VUZO_ProjectFile WHERE T_FileID = " + kx::SqlNumber(fileId);
    std::string ids;
    for (POSITION p = links.GetHeadPosition(); p;) {
        if (!ids.empty()) ids += " , ";
        ids += kx::SqlNumber(links.GetNext(p)->m_nID);
    }
    if (!ids.empty()) sql += " AND T_ID NOT IN ( " + ids + " )";
    return db.Execute(sql + " ");
}

int SaveFileLinks(CADODatabase& db, int fileId, CkxProjectDataList& links, int newLinkCreator) {
    CADOTransaction tx(db);
    if (!tx.IsActive()) return 0;
    std::set<int> stored;
    {
        CADORecordset rs;
        if (!db.Query(" SELECT T_ID FROM VUZO_ProjectFile WHERE T_FileID = " + kx::SqlNumber(fileId) + " ", rs))
            return 0;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            int32_t id = 0;
            if (rs.GetLong("T_ID", id)) stored.insert(id);
        }
    }
    for (POSITION p = links.GetHeadPosition(); p;) {
        CkxProjectData* d = links.GetNext(p);
        if (d->m_nID < 1 || stored.count(d->m_nID)) continue;
        d->m_nID = -1;
        d->m_nFileID = fileId;
    }
    if (!DeleteFileExcept(db, fileId, links)) return 0;
    for (POSITION p = links.GetHeadPosition(); p;) {
        CkxProjectData* d = links.GetNext(p);
        if (d->m_nID >= 1) continue;
        if (newLinkCreator > 0) d->m_nCreatorID = newLinkCreator;
        if (!Insert(db, *d)) return 0;
    }
    return tx.Commit();
}

namespace {
int LoadWhere(CADODatabase& db, const std::string& where, CkxProjectDataList& list) {
    CkxProjectDataList fresh;
    CADORecordset rs;
    if (!db.Query(" SELECT * FROM VUZO_ProjectFile " + where, rs)) return -1;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CkxProjectData d;
        int32_t v = 0;
        rs.GetLong("T_ID", d.m_nID);
        rs.GetLong("T_ProjectID", d.m_nProjectID);
        rs.GetLong("T_FileID", d.m_nFileID);
        if (rs.GetLong("T_DataFormat", v)) d.SetDataKind(v);
        rs.GetLong("T_CreatorID", d.m_nCreatorID);
        rs.GetDate("T_CreateTime", d.m_dtCreate);
        rs.GetString("T_Alias", d.m_strAlias);
        rs.GetString("T_Remark", d.m_strRemark);
        fresh.AddTail(d);
    }
    list.DeleteAll();
    while (CkxProjectData* d = fresh.RemoveHead()) list.AddTail(d);
    return list.GetCount();
}
} // namespace

int LoadAll(CADODatabase& db, CkxProjectDataList& list) { return LoadWhere(db, "", list); }

int LoadFile(CADODatabase& db, int fileId, CkxProjectDataList& list) {
    return LoadWhere(db, " WHERE T_FileID = " + std::to_string(fileId) + " ORDER BY T_ID ", list);
}

} // namespace ProjectFileTable
