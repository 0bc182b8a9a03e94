#include "data/CatalogueLoaders.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "log/ServerLog.h"

#include <optional>
#include <vector>

namespace kx {
namespace {

int32_t Int(const CADORecordset& rs, const char* column) { return rs.Long(column); }
std::string Text(const CADORecordset& rs, const char* column) { return rs.Text(column); }
COleDateTime Date(const CADORecordset& rs, const char* column) { return rs.Date(column); }
CkxBuf Bytes(const CADORecordset& rs, const char* column) { return rs.Bytes(column); }

// Opens the statement and hands every row to `row`; -1 when it cannot be opened, else the
// rows visited.
template <class F> int EachRow(CADODatabase& db, const char* sql, F&& row) {
    CADORecordset rs;
    if (!db.Query(sql, rs)) return -1;
    int n = 0;
    for (; !rs.IsEOF(); rs.MoveNext(), ++n) row(rs);
    return n;
}

// Reads the rows into a temporary list first, so a failed statement leaves `list` untouched.
// `make` gives a record, or an empty optional for a row that must not be loaded.
template <class List, class F> int LoadList(CADODatabase& db, const char* sql, List& list, F&& make) {
    List fresh;
    auto add = [&](const CADORecordset& rs) {
        auto r = make(rs);
        if constexpr (requires { r.has_value(); }) {
            if (r) fresh.AddTail(*r);
        } else {
            fresh.AddTail(r);
        }
    };
    if (EachRow(db, sql, add) < 0) return -1;
    list.DeleteAll();
    while (auto* r = fresh.RemoveHead()) list.AddTail(r);
    return list.GetCount();
}

template <class Role> Role ReadPowerRole(const CADORecordset& rs) {
    Role r;
    r.m_nID = Int(rs, "T_ID");
    r.m_strName = Text(rs, "T_Name");
    r.m_nIsSystem = Int(rs, "T_IsSystem");
    r.m_nPower = Int(rs, "T_Power");
    r.m_strRemark = Text(rs, "T_Remark");
    return r;
}

template <class Mark> Mark ReadFileMark(const CADORecordset& rs) {
    Mark m;
    m.m_nID = Int(rs, "T_ID");
    m.m_nUserID = Int(rs, "T_UserID");
    m.m_nDataFormat = Int(rs, "T_DataFormat");
    m.m_nFileID = Int(rs, "T_FileID");
    m.m_strName = Text(rs, "T_Name");
    return m;
}

} // namespace

int LoadFolders(CADODatabase& db, CkxFSTree& tree) {
    std::vector<CkxFSNode> nodes;
    const int rows = EachRow(db, " SELECT * FROM VUZO_Dir ORDER BY T_Lev,T_ID ", [&](const CADORecordset& rs) {
        CkxFSNode n;
        n.m_nID = Int(rs, "T_ID");
        n.m_strName = Text(rs, "T_Name");
        n.m_nLev = Int(rs, "T_Lev");
        n.m_nParentID = Int(rs, "T_ParentID");
        n.m_nType = static_cast<uint8_t>(Int(rs, "T_Type"));
        n.m_nState = static_cast<uint8_t>(Int(rs, "T_State"));
        n.m_nCreatorID = Int(rs, "T_CreatorID");
        n.m_strNote = Text(rs, "T_Remark");
        const CkxBuf power = Bytes(rs, "T_UserPower");
        if (power.GetLen() > 0) n.PasyPower(power.GetBuf(), power.GetLen());
        nodes.push_back(std::move(n));
    });
    if (rows < 0) return -1;
    tree.DeleteAll();
    for (const CkxFSNode& n : nodes) tree.Add(n);
    return tree.GetCount();
}

int LoadUsers(CADODatabase& db, CkxUserList& list) {
    return LoadList(db, " SELECT * FROM VUZO_User ", list, [](const CADORecordset& rs) -> std::optional<CkxUser> {
        CkxUser u;
        u.m_nID = Int(rs, "T_ID");
        // The role travels in one byte: a stored role outside 0-255 would name another role
        // with other powers, so such an account is not loaded (it cannot log on).
        if (!u.SetRoleID(Int(rs, "T_Role"))) {
            ServerWarning("user %d has role %d, which no account can carry; not loaded", u.m_nID,
                          Int(rs, "T_Role"));
            return std::nullopt;
        }
        u.m_strLogon = Text(rs, "T_Logon");
        u.m_strUser = Text(rs, "T_User");
        u.m_strPassword = Text(rs, "T_Password");
        u.m_nState = static_cast<uint8_t>(Int(rs, "T_State"));
        u.m_strDept = Text(rs, "T_Dept");
        u.m_strJob = Text(rs, "T_Job");
        u.m_strTel = Text(rs, "T_Tel");
        u.m_strMobile = Text(rs, "T_Mobile");
        u.m_strEMail = Text(rs, "T_EMail");
        u.m_strRemark = Text(rs, "T_Remark");
        return u;
    });
}

int LoadUserGroups(CADODatabase& db, CkxUserGroupList& list) {
    return LoadList(db, " SELECT * FROM VUZO_UserGroup ", list, [](const CADORecordset& rs) {
        CkxUserGroup g;
        g.m_nID = Int(rs, "T_ID");
        g.m_strName = Text(rs, "T_Name");
        g.m_strNote = Text(rs, "T_Remark");
        const CkxBuf members = Bytes(rs, "T_UserList");
        if (members.GetLen() > 0) g.PasyQueryBuf(members.GetBuf(), members.GetLen());
        return g;
    });
}

int LoadUserRoles(CADODatabase& db, CkxUserRoleList& list) {
    return LoadList(db, " SELECT * FROM VUZO_UserRole ", list, [](const CADORecordset& rs) {
        CkxUserRole r;
        r.m_nID = Int(rs, "T_ID");
        r.m_strName = Text(rs, "T_Name");
        r.m_nIsSystem = Int(rs, "T_IsSystem");
        r.m_nType = static_cast<uint8_t>(Int(rs, "T_Type"));
        r.m_nPower = Int(rs, "T_Power");
        r.m_strRemark = Text(rs, "T_Remark");
        return r;
    });
}

int LoadPersons(CADODatabase& db, CkxPersonList& list) {
    return LoadList(db, " SELECT * FROM VUZO_Person ", list, [](const CADORecordset& rs) {
        CkxPerson p;
        p.m_nID = Int(rs, "T_ID");
        p.m_strName = Text(rs, "T_Name");
        p.m_nRelation = static_cast<uint8_t>(Int(rs, "T_Type"));
        p.m_nProfession = static_cast<uint8_t>(Int(rs, "T_Job"));
        p.m_strNote = Text(rs, "T_Remark");
        return p;
    });
}

int LoadFileRoles(CADODatabase& db, CkxFileRoleList& list) {
    return LoadList(db, " SELECT * FROM VUZO_FileRole ", list, ReadPowerRole<CkxFileRole>);
}

int LoadFolderRoles(CADODatabase& db, CkxFolderRoleList& list) {
    return LoadList(db, " SELECT * FROM VUZO_FolderRole ", list, ReadPowerRole<CkxFolderRole>);
}

int LoadQuickKeys(CADODatabase& db, CkxFSQuickKeyList& list) {
    return LoadList(db, " SELECT * FROM VUZO_QuickKey ", list, [](const CADORecordset& rs) {
        CkxFSQuickKey k;
        k.m_nID = Int(rs, "T_ID");
        k.m_nDirID = Int(rs, "T_DirID");
        k.m_nFileID = Int(rs, "T_FileID");
        k.SetDataKind(Int(rs, "T_DataFormat"));
        k.SetDataModal(Int(rs, "T_DataModal"));
        k.SetDataState(Int(rs, "T_DataState"));
        return k;
    });
}

int LoadProjects(CADODatabase& db, CkxProjectList& list) {
    return LoadList(db, " SELECT * FROM VUZO_Project ", list, [](const CADORecordset& rs) {
        CkxProject p;
        p.m_nID = Int(rs, "T_ID");
        p.m_strName = Text(rs, "T_Name");
        p.m_nLev = Int(rs, "T_Lev");
        p.m_nParentID = Int(rs, "T_ParentID");
        p.m_nNodeType = Int(rs, "T_Type");
        p.m_nState = static_cast<uint8_t>(Int(rs, "T_State"));
        p.m_nCreatorID = Int(rs, "T_CreatorID");
        p.m_nCoworkerID = Int(rs, "T_CoworkerID");
        p.m_dtCreate = Date(rs, "T_CreateTime");
        p.m_dtEnd = Date(rs, "T_EndTime");
        p.m_strDescribe = Text(rs, "T_Describe");
        p.m_strNote = Text(rs, "T_Remark");
        const CkxBuf members = Bytes(rs, "T_UserList");
        if (members.GetLen() > 0) p.PasyUserBuf(members.GetBuf(), members.GetLen());
        return p;
    });
}

int LoadKeywords(CADODatabase& db, CkxKeywordList& list) {
    return LoadList(db, " SELECT * FROM VUZO_Keyword ", list, [](const CADORecordset& rs) {
        CkxKeyword k;
        k.m_nID = Int(rs, "T_ID");
        k.m_nGroupID = Int(rs, "T_GroupID");
        k.m_strName = Text(rs, "T_Name");
        k.m_strNote = Text(rs, "T_Remark");
        return k;
    });
}

int LoadKeywordGroups(CADODatabase& db, CkxKeywordGroupList& list) {
    return LoadList(db, " SELECT * FROM VUZO_KeywordGroup ", list, [](const CADORecordset& rs) {
        CkxKeywordGroup g;
        g.m_nID = Int(rs, "T_ID");
        g.m_strName = Text(rs, "T_Name");
        g.m_strNote = Text(rs, "T_Remark");
        return g;
    });
}

int LoadKeywordLinks(CADODatabase& db, CkxKeywordLinkList& list) {
    return LoadList(db, " SELECT * FROM VUZO_KeywordLink ", list, [](const CADORecordset& rs) {
        CkxKeywordLink l;
        l.m_nFileID = Int(rs, "T_FileID");
        l.m_nKeywordID = Int(rs, "T_KeyID");
        return l;
    });
}

int LoadBookmarks(CADODatabase& db, CkxDataTagList& list) {
    return LoadList(db, " SELECT * FROM VUZO_FileTag ", list, ReadFileMark<CkxDataTag>);
}

int LoadFileShares(CADODatabase& db, CkxDataShareList& list) {
    return LoadList(db, " SELECT * FROM VUZO_FileShare ", list, ReadFileMark<CkxDataShare>);
}

int LoadFamilies(CADODatabase& db, CkxFamilyXXX& registry) {
    std::vector<CkxFamily> families;
    const int rows = EachRow(db, " SELECT * FROM VUZO_Family ORDER BY T_Lev,T_ID ", [&](const CADORecordset& rs) {
        CkxFamily f;
        f.m_nID = Int(rs, "T_ID");
        f.m_strName = Text(rs, "T_Name");
        f.m_nLevel = Int(rs, "T_Lev");
        f.m_nParentID = Int(rs, "T_ParentID");
        f.SetDataKind(Int(rs, "T_DataFormat"));
        f.SetDataState(Int(rs, "T_DataState"));
        f.m_nCreatorID = Int(rs, "T_CreatorID");
        f.m_dtCreate = Date(rs, "T_CreateTime");
        f.m_strNote = Text(rs, "T_Remark");
        families.push_back(std::move(f));
    });
    if (rows < 0) return -1;
    // Drop what an earlier load put there; the built-in root families stay.
    std::vector<int> stale;
    for (POSITION p = registry.family_GetHeadPosition(); p;) {
        const CkxFamily* f = registry.family_GetNext(p);
        if (!CkxFamily::IsRootID(f->m_nID)) stale.push_back(f->m_nID);
    }
    for (int id : stale)
        if (registry.family_Find(id)) registry.family_Delete(id);
    int added = 0;
    for (const CkxFamily& f : families) {
        // A stored row never replaces a built-in root; a row naming itself as its own ancestor
        // is refused by the tree.
        if (CkxFamily::IsRootID(f.m_nID) || registry.family_Find(f.m_nID)) continue;
        added += registry.family_AddTail(f);
    }
    return added;
}

void AddCatalogueLoaders(CDataLoaderList& loaders, CkxXXX& c, CkxFamilyXXX& families,
                         CkxDataShareList& shares) {
    loaders.Add(kLoadFolders, [&c](CADODatabase& db) { return LoadFolders(db, c.m_FSTree); }, false);
    loaders.Add(kLoadUsers, [&c](CADODatabase& db) { return LoadUsers(db, c.m_UserList); });
    loaders.Add(kLoadUserGroups, [&c](CADODatabase& db) { return LoadUserGroups(db, c.m_UserGroupList); });
    loaders.Add(kLoadUserRoles, [&c](CADODatabase& db) { return LoadUserRoles(db, c.m_UserRoleList); });
    loaders.Add(kLoadPersons, [&c](CADODatabase& db) { return LoadPersons(db, c.m_PersonList); });
    loaders.Add(kLoadFileRoles, [&c](CADODatabase& db) { return LoadFileRoles(db, c.m_FileRoleList); });
    loaders.Add(kLoadFolderRoles, [&c](CADODatabase& db) { return LoadFolderRoles(db, c.m_FolderRoleList); });
    loaders.Add(kLoadQuickKeys, [&c](CADODatabase& db) { return LoadQuickKeys(db, c.m_QuickKeyList); });
    loaders.Add(kLoadProjects, [&c](CADODatabase& db) { return LoadProjects(db, c.m_ProjectList); });
    loaders.Add(kLoadKeywords, [&c](CADODatabase& db) { return LoadKeywords(db, c.m_KeywordList); });
    loaders.Add(kLoadKeywordGroups, [&c](CADODatabase& db) { return LoadKeywordGroups(db, c.m_KeywordGroupList); });
    loaders.Add(kLoadKeywordLinks, [&c](CADODatabase& db) { return LoadKeywordLinks(db, c.m_KeywordLinkList); });
    loaders.Add(kLoadBookmarks, [&c](CADODatabase& db) { return LoadBookmarks(db, c.m_DataTagList); });
    loaders.Add(kLoadFileShares, [&shares](CADODatabase& db) { return LoadFileShares(db, shares); });
    loaders.Add(kLoadFamilies, [&families](CADODatabase& db) { return LoadFamilies(db, families); });
}

} // namespace kx
