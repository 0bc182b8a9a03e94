#include "service/FamilyService.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "service/RecordMessageService.h"
#include "table/FamilyTables.h"

namespace kx {
namespace {

CkxFamilyXXX& Registry() { return KX_FamilyXXX(); }

// The family and every family below it, the family first.
std::vector<int> SubtreeIds(int id) {
    CkxFamilyPtrs tree;
    Registry().family_GetTree(id, tree);
    std::vector<int> ids;
    for (const CkxFamily* f : tree) ids.push_back(f->m_nID);
    return ids;
}

// Whether following parents up from `parentId` reaches `id` (bounded by the tree's size).
bool WouldBeOwnAncestor(int id, int parentId) {
    int bound = Registry().family_GetCount() + 1;
    for (int p = parentId; p != -1 && bound-- > 0;) {
        if (p == id) return true;
        const CkxFamily* f = Registry().family_Find(p);
        if (!f) return false;
        p = f->m_nParentID;
    }
    return false;
}

// Removes the families' attribute definitions from the registry, then the families.
void ForgetSubtree(int id) {
    for (int familyId : SubtreeIds(id)) {
        CkxAttrPtrs attrs;
        Registry().attr_GetFamilyLocalAttr(familyId, attrs);
        std::vector<int> attrIds;
        for (const CkxAttr* a : attrs) attrIds.push_back(a->m_nID);
        for (int attrId : attrIds) Registry().attr_Delete(attrId);
    }
    Registry().family_Delete(id);
}

KxEntitySpec<CkxFamily> FamilySpec() {
    KxEntitySpec<CkxFamily> s;
    s.type = kMsgFamily;
    s.logCategory = KXLOG_CAT_SYSADMIN;
    s.noun = "family";
    s.list = [](CADODatabase&, std::vector<CkxFamily>& out) {
        for (POSITION p = Registry().family_GetHeadPosition(); p;) out.push_back(*Registry().family_GetNext(p));
        return static_cast<int>(out.size());
    };
    s.find = [](CADODatabase&, int id, CkxFamily& out) {
        const CkxFamily* f = Registry().family_Find(id);
        if (!f) return false;
        out = *f;
        return true;
    };
    s.insert = [](CADODatabase& db, CkxFamily& f) { return FamilyTable::Insert(db, f); };
    s.update = [](CADODatabase& db, const CkxFamily& f) { return FamilyTable::Update(db, f); };
    s.remove = [](CADODatabase& db, int id) { return FamilyTable::DeleteTree(db, SubtreeIds(id)); };
    s.memoryAdd = [](const CkxFamily& f) { Registry().family_AddTail(f); };
    s.memoryUpdate = [](const CkxFamily& f) { Registry().t_Update(f); };
    s.memoryDelete = ForgetSubtree;
    // The root families belong to the program, not to the database; a family never becomes
    // its own ancestor.
    s.check = [](int subOp, const CkxFamily& f, std::string& why) {
        if (subOp != kSubAdd && CkxFamily::IsRootID(f.m_nID)) {
            why = "a root family cannot be changed";
            return false;
        }
        if (subOp == kSubModify && WouldBeOwnAncestor(f.m_nID, f.m_nParentID)) {
            why = "the family would become its own ancestor";
            return false;
        }
        return true;
    };
    s.logAction = [](int subOp, const CkxFamily& f) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加族类<" + f.m_strName + ">";
        case kSubModify: return "修改族类<" + f.m_strName + ">";
        default: return "删除族类";
        }
    };
    return s;
}

std::string ConstantsOf(const CkxAttr& a) {
    CkxBuf buf;
    a.BuildBuf(buf);
    return std::string(buf.View());
}

KxRecordMessageSpec<CkxAttr> AttrSpec() {
    KxRecordMessageSpec<CkxAttr> s;
    s.type = kMsgFamilyAttr;
    s.logCategory = KXLOG_CAT_SYSADMIN;
    s.noun = "family attribute";
    // Read from the table on every request: the registry also holds the built-in attributes.
    s.list = [](KxRequest& r, std::vector<CkxAttr>& out) {
        CkxAttrList list;
        const int n = FamilyAttrTable::LoadAll(r.db, list);
        list.ForEach([&](const CkxAttr& a) { out.push_back(a); });
        return n;
    };
    s.buffer = ConstantsOf;
    s.listAsSeries = false;
    s.readBuffer = [](CkxAttr& a, std::string_view bytes) {
        if (bytes.size() % sizeof(CkxConst::_COM) != 0) return false;
        a.PasyBuf(bytes.data(), static_cast<int>(bytes.size()));
        return true;
    };
    s.insert = [](CADODatabase& db, CkxAttr& a, std::string_view) { return FamilyAttrTable::Insert(db, a); };
    s.update = [](CADODatabase& db, CkxAttr& a, std::string_view) { return FamilyAttrTable::Update(db, a); };
    s.memoryAdd = [](const CkxAttr& a) { Registry().attr_AddTail(a); };
    s.memoryUpdate = [](const CkxAttr& a) { Registry().attr_Update(a); };
    s.logAction = [](int, const CkxAttr&) { return std::string("更新族类属性"); };
    // New constants get their ids from the database side: both pieces go back rebuilt.
    s.rewriteBuffer = true;
    return s;
}

// An attribute delete is an ordinary change of the definitions (a normal log line).
void DeleteAttr(KxRequest& request) {
    int id = -1;
    if (!ReadRequestId(request, id)) return;
    if (!FamilyAttrTable::Delete(request.db, id)) {
        ServerWarning("family attribute delete (%d) from user %d dropped: the database refused it", id,
                      request.session.GetUserID());
        return;
    }
    Registry().attr_Delete(id);
    LogRequest(request, "更新族类属性", KXLOG_CAT_SYSADMIN);
    const std::string_view payload = request.Payload();
    AnnounceToAll(request, payload.data(), payload.size());
}

} // namespace

void HandleFamilyRequest(KxRequest& request) {
    static const KxEntitySpec<CkxFamily> spec = FamilySpec();
    HandleEntityRequest(spec, request);
}

void HandleFamilyAttrRequest(KxRequest& request) {
    static const KxRecordMessageSpec<CkxAttr> spec = AttrSpec();
    if (request.SubOp() == kSubDelete)
        DeleteAttr(request);
    else
        HandleRecordMessageRequest(spec, request);
}

} // namespace kx
