#include "model/CkxXXX.h"

#include "model/CkxFamilyXXX.h"

CkxXXX::CkxXXX() = default;
CkxXXX::~CkxXXX() = default;

std::string CkxXXX::fsGetDirName(int folderId) const {
    const CkxFSNode* n = fsFind(folderId);
    return n ? n->GetName() : std::string();
}

int CkxXXX::fsDeleteDir(int folderId) {
    int deleted = m_FSTree.Delete(folderId);
    m_QuickKeyList.DeleteFolder(folderId);
    return deleted;
}

int CkxXXX::fsDeleteDir(const std::vector<CkxFSNode>& nodes) {
    int deleted = 0;
    for (const CkxFSNode& n : nodes) deleted += fsDeleteDir(n.GetID());
    return deleted;
}

int CkxXXX::fsGetDirQuickKey(int folderId, std::vector<int>& out) const {
    out.clear();
    if (!fsFind(folderId)) return 0;
    return m_QuickKeyList.GetFolderQuickKey(folderId, out);
}

int CkxXXX::fsGetDirConstList(CkxConstList& out) const {
    for (POSITION p = m_FSTree.GetHeadPosition(); p;) {
        const CkxFSNode* n = m_FSTree.GetNext(p);
        if (!n->IsStateAct()) continue;
        CkxConst c;
        c.m_nID = n->GetID();
        c.m_nID2 = n->GetParentID();
        c.m_Value = n->GetName();
        out.AddTail(c);
    }
    return out.GetCount();
}

std::string CkxXXX::licGetAlieneeName(const CkxUserLicence* grant) const {
    if (!grant) return std::string();
    if (grant->IsGroup()) {
        const CkxUserGroup* g = m_UserGroupList.Find(grant->m_nAlieneeID);
        return g ? g->m_strName : std::string();
    }
    if (grant->IsUser()) return m_UserList.GetName(grant->m_nAlieneeID);
    return std::string();
}

int CkxXXX::coIsFileCheckoutedByOthers(int fileId) const {
    CkxCheckout c;
    if (!m_CheckoutList.Find(fileId, c)) return 0;
    return c.m_nUserID != m_nCurUserID ? 1 : 0;
}

int CkxXXX::tagIsTagFile(int userId, int fileId) const {
    for (POSITION p = m_DataTagList.GetHeadPosition(); p;) {
        const CkxDataTag* t = m_DataTagList.GetNext(p);
        if (t->m_nUserID == userId && t->m_nFileID == fileId) return 1;
    }
    return 0;
}

CkxXXX& KX_KXXXX() {
    static CkxXXX context;
    return context;
}

CkxFamilyXXX& KX_FamilyXXX() {
    static CkxFamilyXXX registry;
    return registry;
}

CkxDataShareList& KX_FileShareList() {
    static CkxDataShareList shares;
    return shares;
}

CkxQueryTempletList& KX_QueryTempletList() {
    static CkxQueryTempletList templets;
    return templets;
}

CkxKeywordTempletList& KX_KeywordTempletList() {
    static CkxKeywordTempletList templets;
    return templets;
}

CkxObjAttrTempletList& KX_FileAttrTempletList() {
    static CkxObjAttrTempletList templets;
    return templets;
}

CkxLogList& KX_LogList() {
    static CkxLogList logs;
    return logs;
}
