#include "model/CkxFamilyTree.h"

#include "model/CkxAttr.h"

#include <algorithm>
#include <new>

CkxFamilyTree::CkxFamilyTree(bool link) : m_bLink(link) {
    m_Root.m_nID = -1;
    m_Root.m_nLevel = -1;
    m_Root.m_nParentID = -1;
}

CkxFamilyTree::~CkxFamilyTree() { t_DeleteAll(); }

// ---- list maintenance ----

int CkxFamilyTree::t_AddTail(const CkxFamily& f) {
    CkxFamily* copy = new (std::nothrow) CkxFamily(f);
    if (!copy) return 0;
    if (!t_AddTail(copy)) {
        delete copy;
        return 0;
    }
    return 1;
}

int CkxFamilyTree::t_AddTail(CkxFamily* f) {
    if (!f) return 0;
    if (IdChainReaches(f->m_nParentID, f->m_nID)) return 0;
    f->m_pChild = nullptr;
    f->ClearUpperLink();
    f->m_pos = m_list.AddTail(f);
    if (m_bLink) t_Family_In(f);
    return 1;
}

CkxFamily* CkxFamilyTree::t_Find(int id) const {
    POSITION p = t_FindPos(id);
    return p ? m_list.GetAt(p) : nullptr;
}

POSITION CkxFamilyTree::t_FindPos(int id) const {
    for (POSITION p = m_list.GetHeadPosition(); p;) {
        POSITION at = p;
        if (m_list.GetNext(p)->m_nID == id) return at;
    }
    return nullptr;
}

CkxFamily* CkxFamilyTree::t_RemoveHead() {
    CkxFamily* f = m_list.GetHead();
    if (!f) return nullptr;
    if (m_bLink) {
        t_Family_Out(f);
        // The children stay in the list; they must not keep pointing at a family that left it.
        CkxFamily* c = f->m_pChild;
        for (int n = 0; c && n < Bound(); ++n) {
            CkxFamily* next = c->m_pNext;
            c->ClearUpperLink();
            c = next;
        }
        f->m_pChild = nullptr;
    }
    m_list.RemoveHead();
    f->m_pos = nullptr;
    return f;
}

void CkxFamilyTree::t_DeleteAll() {
    while (CkxFamily* f = m_list.RemoveHead()) delete f;
}

int CkxFamilyTree::t_Delete(int id) { return t_Delete(t_FindPos(id)); }

int CkxFamilyTree::t_Delete(POSITION p) {
    if (!p) return 0;
    CkxFamily* f = m_list.GetAt(p);
    CkxFamilyPtrs doomed{f};
    if (m_bLink) {
        PreOrder(f, doomed, false);
        t_Family_Out(f);
    } else {
        IdDescendants(f, doomed);
    }
    for (CkxFamily* d : doomed) {
        m_list.RemoveAt(d->m_pos);
        delete d;
    }
    return 1;
}

int CkxFamilyTree::t_SetParent(int id, int parentID) { return t_SetParent(t_FindPos(id), parentID); }

int CkxFamilyTree::t_SetParent(POSITION p, int parentID) {
    if (!p) return 0;
    CkxFamily* f = m_list.GetAt(p);
    if (IdChainReaches(parentID, f->m_nID)) return 0;
    if (m_bLink) {
        CkxFamily* parent = t_Find(parentID);
        if (parent && IsInSubtree(parent, f)) return 0;
        t_Family_Out(f);
    }
    f->m_nParentID = parentID;
    if (m_bLink) t_Family_In(f);
    return 1;
}

int CkxFamilyTree::t_Update(const CkxFamily& f) {
    CkxFamily* target = t_Find(f.m_nID);
    if (!target) return 0;
    if (f.m_nParentID != target->m_nParentID && IdChainReaches(f.m_nParentID, f.m_nID)) return 0;
    *target = f; // own fields only: position and links stay
    return 1;
}

int CkxFamilyTree::t_GetMaxLevNo() const {
    int level = 0;
    bool any = false;
    for (POSITION p = m_list.GetHeadPosition(); p;) {
        const CkxFamily* f = m_list.GetNext(p);
        if (!any || f->m_nLevel > level) level = f->m_nLevel;
        any = true;
    }
    return level;
}

int CkxFamilyTree::t_GetMinLevNo() const {
    int level = -1;
    bool any = false;
    for (POSITION p = m_list.GetHeadPosition(); p;) {
        const CkxFamily* f = m_list.GetNext(p);
        if (!any || f->m_nLevel < level) level = f->m_nLevel;
        any = true;
    }
    return level;
}

int CkxFamilyTree::t_BuildTree() {
    for (POSITION p = m_list.GetHeadPosition(); p;) {
        CkxFamily* f = m_list.GetNext(p);
        f->m_pChild = nullptr;
        f->ClearUpperLink();
    }
    m_bLink = true;
    int ok = 1;
    CkxFamily* lastTop = nullptr;
    for (POSITION p = m_list.GetHeadPosition(); p;) {
        CkxFamily* f = m_list.GetNext(p);
        if (f->m_nLevel == 0) {
            // Families later in the list are not chained yet, so the chain's tail is tracked
            // here rather than searched for.
            if (lastTop) {
                lastTop->m_pNext = f;
                f->m_pPrev = lastTop;
            }
            lastTop = f;
        } else if (!t_Family_In(f)) {
            ok = 0;
        }
    }
    return ok;
}

// ---- linking ----

bool CkxFamilyTree::t_Family_In(CkxFamily* f) {
    if (f->m_nLevel == 0) {
        CkxFamily* last = t_FindFirstLevLastNode(f);
        if (!last) return true;
        if (IsInSubtree(last, f)) return false;
        last->m_pNext = f;
        f->m_pPrev = last;
        return true;
    }
    CkxFamily* parent = t_Find(f->m_nParentID);
    if (!parent || IsInSubtree(parent, f)) return false;
    if (CkxFamily* last = LastChild(parent)) {
        last->m_pNext = f;
        f->m_pPrev = last;
    } else {
        parent->m_pChild = f;
    }
    f->m_pParent = parent;
    return true;
}

void CkxFamilyTree::t_Family_Out(CkxFamily* f) {
    if (f->m_pPrev)
        f->m_pPrev->m_pNext = f->m_pNext;
    else if (f->m_pParent && f->m_pParent->m_pChild == f)
        f->m_pParent->m_pChild = f->m_pNext;
    if (f->m_pNext) f->m_pNext->m_pPrev = f->m_pPrev;
    f->ClearUpperLink();
}

CkxFamily* CkxFamilyTree::t_FindFirstLevLastNode(const CkxFamily* f) const {
    for (POSITION p = m_list.GetHeadPosition(); p;) {
        CkxFamily* g = m_list.GetNext(p);
        if (g != f && g->m_nLevel == 0 && !g->m_pParent && !g->m_pNext) return g;
    }
    return nullptr;
}

CkxFamily* CkxFamilyTree::LastChild(const CkxFamily* parent) const {
    CkxFamily* c = parent ? parent->m_pChild : nullptr;
    for (int n = 0; c && c->m_pNext && n < Bound(); ++n) c = c->m_pNext;
    return c;
}

bool CkxFamilyTree::IsInSubtree(const CkxFamily* a, const CkxFamily* f) const {
    // Every family below another carries a parent link (only top-level families lack one, and
    // a top-level family is only ever chained after another top-level family).
    for (int n = 0; a && n < Bound(); ++n, a = a->m_pParent)
        if (a == f) return true;
    return false;
}

bool CkxFamilyTree::IdChainReaches(int parentID, int id) const {
    if (id == -1) return false;
    int pid = parentID;
    for (int n = 0; pid != -1 && n < Bound(); ++n) {
        if (pid == id) return true;
        const CkxFamily* p = t_Find(pid);
        if (!p) return false;
        pid = p->m_nParentID;
    }
    return false;
}

CkxFamily* CkxFamilyTree::ParentOf(const CkxFamily* f) const {
    if (m_bLink) return f->m_pParent;
    return f->m_nParentID == -1 ? nullptr : t_Find(f->m_nParentID);
}

void CkxFamilyTree::PreOrder(CkxFamily* f, CkxFamilyPtrs& out, bool withSelf) const {
    if (!f) return;
    if (withSelf) out.push_back(f);
    // Iterative, so a deep tree cannot exhaust the stack; the count bound ends any walk.
    std::vector<CkxFamily*> pending; // next siblings still to visit
    CkxFamily* c = f->m_pChild;
    for (int n = 0; c && n < Bound(); ++n) {
        out.push_back(c);
        if (c->m_pChild) {
            if (c->m_pNext) pending.push_back(c->m_pNext);
            c = c->m_pChild;
        } else if (c->m_pNext) {
            c = c->m_pNext;
        } else if (!pending.empty()) {
            c = pending.back();
            pending.pop_back();
        } else {
            c = nullptr;
        }
    }
}

void CkxFamilyTree::IdDescendants(const CkxFamily* f, CkxFamilyPtrs& out) const {
    CkxFamilyPtrs found{const_cast<CkxFamily*>(f)};
    for (size_t i = 0; i < found.size(); ++i) {
        const int id = found[i]->m_nID;
        if (id == -1) continue;
        for (POSITION p = m_list.GetHeadPosition(); p;) {
            CkxFamily* g = m_list.GetNext(p);
            if (g->m_nParentID == id && !T_IsAtList(found, g)) found.push_back(g);
        }
    }
    out.insert(out.end(), found.begin() + 1, found.end());
}

// ---- queries ----

int CkxFamilyTree::t_FindChild(POSITION p, CkxFamilyPtrs& out) const {
    if (p) {
        CkxFamily* c = m_list.GetAt(p)->m_pChild;
        for (int n = 0; c && n < Bound(); ++n, c = c->m_pNext) out.push_back(c);
    }
    return static_cast<int>(out.size());
}

int CkxFamilyTree::t_FindChild(int id, CkxFamilyPtrs& out) const { return t_FindChild(t_FindPos(id), out); }

int CkxFamilyTree::t_FindAncestry(int id, CkxFamilyPtrs& out, bool withSelf) const {
    return t_FindAncestry(t_FindPos(id), out, withSelf);
}

int CkxFamilyTree::t_FindAncestry(POSITION p, CkxFamilyPtrs& out, bool withSelf) const {
    out.clear();
    if (!p) return 0;
    CkxFamily* f = m_list.GetAt(p);
    if (withSelf) out.push_back(f);
    CkxFamily* a = ParentOf(f);
    for (int n = 0; a && a != f && n < Bound(); ++n, a = ParentOf(a)) out.push_back(a);
    return static_cast<int>(out.size());
}

int CkxFamilyTree::t_FindTree(int id, CkxFamilyPtrs& out) const {
    out.clear();
    return t_FindTree(t_FindPos(id), out);
}

int CkxFamilyTree::t_FindTree(POSITION p, CkxFamilyPtrs& out) const {
    if (p) PreOrder(m_list.GetAt(p), out, true);
    return static_cast<int>(out.size());
}

int CkxFamilyTree::t_GetTree(POSITION p, CkxFamilyPtrs& out) const {
    if (!p) return static_cast<int>(out.size());
    CkxFamily* f = m_list.GetAt(p);
    out.push_back(f);
    CkxFamilyPtrs children;
    t_FindChild(p, children);
    for (CkxFamily* c : children) {
        out.push_back(c);
        t_FindChild(c->m_pos, out);
    }
    return static_cast<int>(out.size());
}

int CkxFamilyTree::t_GetTree(int id, CkxFamilyTree& other) const {
    CkxFamilyPtrs children;
    t_FindChild(id, children);
    for (const CkxFamily* c : children) other.t_AddTail(*c);
    return other.t_GetCount();
}

int CkxFamilyTree::t_GetTree(int id, std::vector<int>& ids) const {
    CkxFamilyPtrs children;
    t_FindChild(id, children);
    for (const CkxFamily* c : children) ids.push_back(c->m_nID);
    return static_cast<int>(ids.size());
}

int CkxFamilyTree::t_GetUnder(int id, std::vector<int>& ids) const {
    CkxFamilyPtrs under;
    PreOrder(t_Find(id), under, false);
    for (const CkxFamily* f : under) ids.push_back(f->m_nID);
    return static_cast<int>(ids.size());
}

int CkxFamilyTree::t_FindAllParent(int id, std::vector<int>& ids) const {
    ids.clear();
    const CkxFamily* f = t_Find(id);
    if (!f) return 0;
    const CkxFamily* a = ParentOf(f);
    for (int n = 0; a && a != f && n < Bound(); ++n, a = ParentOf(a)) {
        ids.push_back(a->m_nID);
        if (a->IsRoot()) break;
    }
    return static_cast<int>(ids.size());
}

int CkxFamilyTree::t_FindIntactTree(CkxFamilyPtrs& out, const std::vector<int>& ids) const {
    out.clear();
    for (int id : ids) {
        CkxFamily* f = t_Find(id);
        if (f && !T_IsAtList(out, f)) out.push_back(f);
    }
    const CkxFamilyPtrs chosen = out;
    for (const CkxFamily* f : chosen) {
        if (f->m_nLevel == 0) continue;
        const CkxFamily* parent = ParentOf(f);
        if (!parent || T_IsAtList(chosen, parent)) continue;
        CkxFamilyPtrs ancestry;
        t_FindAncestry(f->m_pos, ancestry, false);
        for (CkxFamily* a : ancestry)
            if (!T_IsAtList(out, a)) out.push_back(a);
    }
    return static_cast<int>(out.size());
}

int CkxFamilyTree::t_GetKindFamily(int kind, CkxFamilyPtrs& out) const {
    out.clear();
    for (POSITION p = m_list.GetHeadPosition(); p;) {
        CkxFamily* f = m_list.GetNext(p);
        if (f->GetDataKind() == kind) out.push_back(f);
    }
    return static_cast<int>(out.size());
}

int CkxFamilyTree::t_AddAttr(const CkxAttr* a) const { return a && t_Find(a->m_nFamilyID) ? 1 : 0; }

// ---- helpers over a selection ----

bool CkxFamilyTree::T_IsAtList(const CkxFamilyPtrs& list, const CkxFamily* f) {
    return std::find(list.begin(), list.end(), f) != list.end();
}

bool CkxFamilyTree::T_IsAtList(const CkxFamilyPtrs& list, int id) { return T_FindParent(id, list) != nullptr; }

int CkxFamilyTree::T_GetMinLevNo(const CkxFamilyPtrs& list) {
    if (list.empty()) return -1;
    int level = list.front()->m_nLevel;
    for (const CkxFamily* f : list) level = std::min(level, f->m_nLevel);
    return level;
}

CkxFamily* CkxFamilyTree::T_FindFirstNode(const CkxFamilyPtrs& list) {
    if (list.empty()) return nullptr;
    const int level = T_GetMinLevNo(list);
    for (CkxFamily* f : list)
        if (f->m_nLevel == level && (!f->m_pPrev || !T_IsAtList(list, f->m_pPrev))) return f;
    return nullptr;
}

CkxFamily* CkxFamilyTree::T_FindParent(int id, const CkxFamilyPtrs& list) {
    for (CkxFamily* f : list)
        if (f->m_nID == id) return f;
    return nullptr;
}

CkxFamily* CkxFamilyTree::T_FindPrev(const CkxFamily* f) {
    CkxFamily* c = f ? f->m_pChild : nullptr;
    while (c && c->m_pNext) c = c->m_pNext;
    return c;
}

int CkxFamilyTree::T_AddListNode(CkxFamilyPtrs& list, const CkxFamilyPtrs& other) {
    for (CkxFamily* f : other)
        if (!T_IsAtList(list, f)) list.push_back(f);
    return static_cast<int>(list.size());
}
