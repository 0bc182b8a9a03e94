#include "table/KeywordTables.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "table/TableOps.h"

namespace {

constexpr const char* kKeyword = "VUZO_Keyword";
constexpr const char* kGroup = "VUZO_KeywordGroup";
constexpr const char* kTemplet = "VUZO_KeywordTemplet";

CADOFieldList KeywordFields(const CkxKeyword& k) {
    CADOFieldList f;
    f.AddInt("T_GroupID", k.m_nGroupID);
    f.AddText("T_Name", k.m_strName);
    f.AddText("T_Remark", k.m_strNote);
    return f;
}

CADOFieldList GroupFields(const CkxKeywordGroup& g) {
    CADOFieldList f;
    f.AddText("T_Name", g.m_strName);
    f.AddText("T_Remark", g.m_strNote);
    return f;
}

// On update a template without keywords stores NULL, so emptying its list lasts.
CADOColumnList TempletColumns(const CkxKeywordTemplet& t, bool forUpdate) {
    CADOColumnList c;
    c.AddColumn("T_Name", t.m_strName);
    c.AddColumn("T_Remark", t.m_strNote);
    CkxBuf ids;
    if (t.PackBuf(ids) && ids.GetLen() > 0)
        c.AddBinary("T_KeywordList", ids.GetBuf(), ids.GetLen());
    else if (forUpdate)
        c.AddColumn("T_KeywordList");
    return c;
}

} // namespace

namespace KeywordTable {

int Insert(CADODatabase& db, CkxKeyword& keyword) {
    return kx::StoreNewId(keyword, db.Insert(kKeyword, KeywordFields(keyword)));
}

int Update(CADODatabase& db, const CkxKeyword& keyword) {
    return db.Update(kKeyword, KeywordFields(keyword), kx::WhereId(keyword.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kKeyword, id); }

int LoadAll(CADODatabase& db, CkxKeywordList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_Keyword ", list, [](const CADORecordset& rs) {
        CkxKeyword k;
        k.m_nID = rs.Long("T_ID");
        k.m_nGroupID = rs.Long("T_GroupID");
        k.m_strName = rs.Text("T_Name");
        k.m_strNote = rs.Text("T_Remark");
        return k;
    });
}

} // namespace KeywordTable

namespace KeywordGroupTable {

int Insert(CADODatabase& db, CkxKeywordGroup& group) {
    return kx::StoreNewId(group, db.Insert(kGroup, GroupFields(group)));
}

int Update(CADODatabase& db, const CkxKeywordGroup& group) {
    return db.Update(kGroup, GroupFields(group), kx::WhereId(group.m_nID));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kGroup, id); }

int LoadAll(CADODatabase& db, CkxKeywordGroupList& list) {
    return kx::LoadList(db, " SELECT * FROM VUZO_KeywordGroup ", list, [](const CADORecordset& rs) {
        CkxKeywordGroup g;
        g.m_nID = rs.Long("T_ID");
        g.m_strName = rs.Text("T_Name");
        g.m_strNote = rs.Text("T_Remark");
        return g;
    });
}

} // namespace KeywordGroupTable

namespace KeywordTempletTable {

int Insert(CADODatabase& db, CkxKeywordTemplet& templet) {
    return kx::StoreNewId(templet, db.InsertRecord(kTemplet, TempletColumns(templet, false)));
}

int Update(CADODatabase& db, const CkxKeywordTemplet& templet) {
    return db.UpdateRecord(kTemplet, kx::WhereId(templet.m_nID), TempletColumns(templet, true));
}

int Delete(CADODatabase& db, int id) { return db.Delete(kTemplet, id); }

int LoadAll(CADODatabase& db, CkxKeywordTempletList& list) {
    CADORecordset rs;
    if (!db.Query(" SELECT * FROM VUZO_KeywordTemplet ", rs)) return -1;
    list.DeleteAll();
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CkxKeywordTemplet t;
        rs.GetLong("T_ID", t.m_nID);
        rs.GetString("T_Name", t.m_strName);
        rs.GetString("T_Remark", t.m_strNote);
        CkxBuf ids;
        if (rs.ReadBinary("T_KeywordList", ids) && ids.GetLen() > 0) t.PasyBuf(ids);
        list.AddTail(t);
    }
    return list.GetCount();
}

} // namespace KeywordTempletTable

namespace KeywordLinkTable {

int Insert(CADODatabase& db, const CkxKeywordLink& link) {
    return db.Execute(" INSERT INTO VUZO_KeywordLink (T_FileID, T_KeyID) VALUES (" +
                      kx::SqlNumber(link.m_nFileID) + ", " + kx::SqlNumber(link.m_nKeywordID) + ") ");
}

int DeleteOfFile(CADODatabase& db, int fileId) {
    return db.Execute(" DELETE FROM  VUZO_KeywordLink WHERE T_FileID = " + kx::SqlNumber(fileId) + " ");
}

int SetFileLinks(CADODatabase& db, int fileId, const CkxKeywordLinkList& links) {
    CADOTransaction tx(db);
    if (!tx.IsActive() || !DeleteOfFile(db, fileId)) return 0;
    bool ok = true;
    links.ForEach([&](const CkxKeywordLink& l) { ok = ok && Insert(db, l); });
    return ok ? tx.Commit() : 0;
}

int LoadAll(CADODatabase& db, CkxKeywordLinkList& list) {
    // A catalogue holds hundreds of thousands of links: their two numbers are read straight
    // into one array of 8-byte links.
    std::vector<CkxKeywordLink> rows;
    const long read = db.EachNumberRow(" SELECT T_FileID, T_KeyID FROM VUZO_KeywordLink ", 2, [&](const int64_t* n) {
        CkxKeywordLink& l = rows.emplace_back();
        l.m_nFileID = static_cast<int32_t>(n[0]);
        l.m_nKeywordID = static_cast<int32_t>(n[1]);
    });
    if (read < 0) return -1;
    rows.shrink_to_fit();
    list = CkxKeywordLinkList(std::move(rows));
    return list.GetCount();
}

std::string FilesOfKeywordQuery(int keywordId) {
    return " SELECT T_FileID FROM  VUZO_KeywordLink WHERE T_KeyID = " + kx::SqlNumber(keywordId) + " ";
}

std::string NestQuery(const std::string& inner, int keywordId) {
    const std::string k = FilesOfKeywordQuery(keywordId);
    if (inner.empty()) return k;
    return k + " AND T_FileID IN ( " + inner + " ) ";
}

std::string AllKeywordsQuery(const std::vector<int>& keywordIds) {
    std::string text;
    for (auto it = keywordIds.rbegin(); it != keywordIds.rend(); ++it) text = NestQuery(text, *it);
    return text;
}

namespace {

// Appends the T_FileID of every row of the statement.
int ReadFileIds(CADODatabase& db, const std::string& sql, std::vector<int>& fileIds) {
    const int rows = kx::EachRow(db, sql, [&](const CADORecordset& rs) {
        int32_t id = 0;
        if (rs.GetLong("T_FileID", id)) fileIds.push_back(id);
    });
    return rows < 0 ? -1 : static_cast<int>(fileIds.size());
}

} // namespace

int FilesWithAllKeywords(CADODatabase& db, const std::vector<int>& keywordIds, std::vector<int>& fileIds) {
    if (keywordIds.empty()) return 0;
    return ReadFileIds(db, AllKeywordsQuery(keywordIds), fileIds);
}

int FilesWithAnyKeyword(CADODatabase& db, const std::vector<int>& keywordIds, std::vector<int>& fileIds) {
    if (keywordIds.empty()) return 0;
    std::string in;
    for (size_t i = 0; i < keywordIds.size(); ++i) in += (i == 0 ? "" : ",") + kx::SqlNumber(keywordIds[i]);
    return ReadFileIds(db, " SELECT DISTINCT T_FileID FROM VUZO_KeywordLink WHERE T_KeyID IN ( " + in + " ) ",
                       fileIds);
}

} // namespace KeywordLinkTable
