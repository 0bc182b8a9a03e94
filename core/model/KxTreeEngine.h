// The one tree-linking engine behind the folder tree (CkxFSTree) and the node tree (CkxTree):
// an ordered list of owned nodes, each linked to its parent, first child and siblings.
// Links are derived data; the parent id and level are what the catalogue stores. Every walk is
// bounded by the node count, and no node can be linked below itself, so bad data never hangs.
#pragma once

#include "base/PtrList.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Tree links and display data of a node: owned by the tree, never sent.
template <class Node>
struct KxTreeLinks {
    POSITION m_posList = nullptr; // the node's place in its tree's list
    Node* m_pParent = nullptr;
    Node* m_pChild = nullptr; // first child
    Node* m_pPrev = nullptr;
    Node* m_pNext = nullptr;
    // Display data set by tree views (opaque here).
    void* m_hTreeItem = nullptr;
    void* m_hParentTreeItem = nullptr;
    int m_nImage = -1;
    int m_nSelectedImage = -1;

    void ClearUpperLink() {
        m_pParent = nullptr;
        m_pPrev = nullptr;
        m_pNext = nullptr;
    }
    void ClearTreeLinks() {
        m_posList = nullptr;
        m_pChild = nullptr;
        ClearUpperLink();
    }
    void ClearDisplay() {
        m_hTreeItem = nullptr;
        m_hParentTreeItem = nullptr;
        m_nImage = -1;
        m_nSelectedImage = -1;
    }
};

// The highest (or lowest) level among the nodes of a plain list; 0 for an empty list.
template <class Node>
int KxLevelExtreme(const std::vector<Node*>& nodes, bool highest) {
    int lev = 0;
    bool first = true;
    for (const Node* n : nodes) {
        if (!n) continue;
        int l = n->GetLev();
        if (first || (highest ? l > lev : l < lev)) lev = l;
        first = false;
    }
    return lev;
}

// Node must derive from KxTreeLinks<Node> and offer GetID(), GetLev(), SetLev(int),
// GetParentID(), SetParentID(int) and GetName().
template <class Node>
class KxTreeEngine {
public:
    using NodeList = std::vector<Node*>;

    explicit KxTreeEngine(int buildLink) : m_bBuildLink(buildLink) {}
    KxTreeEngine(const KxTreeEngine&) = delete;
    KxTreeEngine& operator=(const KxTreeEngine&) = delete;
    virtual ~KxTreeEngine() { DeleteAll(); }

    void SetBuildLink(int b) { m_bBuildLink = b; }
    int GetBuildLink() const { return m_bBuildLink; }

    // Appends a copy (record fields and display data, no links); links it when link-on-add is
    // set. Returns the copy, or null when no node could be made.
    Node* AddNode(const Node& src) {
        Node* n = new (std::nothrow) Node(src);
        if (!n) return nullptr;
        n->ClearTreeLinks();
        n->m_posList = m_list.AddTail(n);
        m_index.try_emplace(n->GetID(), n);
        if (m_bBuildLink) Link(n);
        return n;
    }

    // The first node in list order with the id, or null. Answered from an id index (rights
    // checks walk ancestors for every file of a list); a node's id must not change while it is
    // in the tree.
    Node* Find(int id) const {
        auto it = m_index.find(id);
        return it == m_index.end() ? nullptr : it->second;
    }
    Node* GetAt(POSITION p) const { return p ? m_list.GetAt(p) : nullptr; }

    int GetCount() const { return m_list.GetCount(); }
    POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
    Node* GetNext(POSITION& p) const { return m_list.GetNext(p); }
    void DeleteAll() {
        m_index.clear();
        while (Node* n = m_list.RemoveHead()) delete n;
    }

    // The parent by parent id; null for a top-level node or an unknown parent.
    Node* FindParent(const Node* n) const {
        if (!n || n->GetParentID() == -1) return nullptr;
        return Find(n->GetParentID());
    }
    Node* FindParent(int id) const { return FindParent(Find(id)); }

    // Direct children, first child to last.
    int FindChild(const Node* n, NodeList& out) const {
        if (!n) return 0;
        size_t guard = Bound();
        for (Node* c = n->m_pChild; c && guard--; c = c->m_pNext) out.push_back(c);
        return static_cast<int>(out.size());
    }

    // The node followed by everything below it, depth first, children in sibling order.
    int FindTree(Node* n, NodeList& out) const {
        if (!n) return 0;
        size_t before = out.size();
        size_t budget = Bound();
        Collect(n, out, budget);
        return static_cast<int>(out.size() - before);
    }
    // As FindTree without the node itself.
    int FindUnderDir(Node* n, NodeList& out) const {
        if (!n) return 0;
        size_t before = out.size();
        size_t budget = Bound();
        Collect(n, out, budget);
        out.erase(out.begin() + static_cast<std::ptrdiff_t>(before));
        return static_cast<int>(out.size() - before);
    }
    // Every node in list order (what lies under the root).
    int FindAll(NodeList& out) const {
        for (POSITION p = m_list.GetHeadPosition(); p;) out.push_back(m_list.GetNext(p));
        return static_cast<int>(out.size());
    }

    // The node (when includeSelf) then its parent, grandparent ... up to the top; follows parent
    // ids, stops at a repeat (a cycle in stored data) and never takes more steps than there are
    // nodes. Returns the count added.
    int FindAncestry(Node* n, NodeList& out, int includeSelf) const {
        if (!n) return 0;
        size_t before = out.size();
        if (includeSelf) out.push_back(n);
        size_t guard = Bound();
        for (Node* p = FindParent(n); p && guard--; p = FindParent(p)) {
            if (p == n || std::find(out.begin() + static_cast<std::ptrdiff_t>(before), out.end(), p) != out.end())
                break;
            out.push_back(p);
        }
        return static_cast<int>(out.size() - before);
    }

    // "根目录\" then the names from the top-level ancestor down, each followed by a backslash.
    std::string FindAncestryPath(Node* n, int includeSelf) const {
        std::string path = "根目录\\";
        NodeList anc;
        FindAncestry(n, anc, includeSelf);
        for (auto it = anc.rbegin(); it != anc.rend(); ++it) path += (*it)->GetName() + "\\";
        return path;
    }

    // The listed nodes that exist, then the ancestors they lack, so the result is a whole
    // branch set that can be drawn from the top.
    int FindIntactTree(NodeList& out, const std::vector<int>& ids) const {
        out.clear();
        std::vector<std::pair<Node*, bool>> listed; // node, parent already present when added
        for (int id : ids) {
            Node* n = Find(id);
            if (!n || Has(out, n)) continue;
            Node* parent = FindParent(n);
            listed.emplace_back(n, parent && Has(out, parent));
            out.push_back(n);
        }
        for (auto& [n, parentPresent] : listed) {
            if (n->GetLev() <= 0 || parentPresent) continue;
            NodeList anc;
            FindAncestry(n, anc, 0);
            for (Node* a : anc)
                if (!Has(out, a)) out.push_back(a);
        }
        return static_cast<int>(out.size());
    }

    // The first top-level node in list order without a next sibling: the end of the top chain.
    // A node linked under a parent is a child whatever level it stores (a modify may have
    // written another one), and nothing below `except` can be the chain `except` joins.
    Node* FindFirstLevLastNode(const Node* except = nullptr) const {
        for (POSITION p = m_list.GetHeadPosition(); p;) {
            Node* n = m_list.GetNext(p);
            if (n == except || n->GetLev() > 0 || n->m_pNext || n->m_pParent) continue;
            if (except && IsBelow(n, except)) continue;
            return n;
        }
        return nullptr;
    }

    // The previous sibling when linked; otherwise the last child of the node's parent (where a
    // new child goes); null when there is none.
    Node* FindPrev(const Node* n) const {
        if (!n) return nullptr;
        if (n->m_pPrev) return n->m_pPrev;
        Node* parent = n->m_pParent ? n->m_pParent : FindParent(n);
        if (!parent) return nullptr;
        return LastChild(parent, n);
    }

    // Highest / lowest level in the list; 0 for an empty tree.
    int GetMaxLevNo() const {
        NodeList all;
        FindAll(all);
        return KxLevelExtreme(all, true);
    }
    int GetMinLevNo() const {
        NodeList all;
        FindAll(all);
        return KxLevelExtreme(all, false);
    }

    // The first node with that parent and exactly that name decides: the name is free (1) when
    // it is the node being named (id), taken (0) otherwise; no such node: 1.
    int CanUseTheName(int parentId, int id, const std::string& name) const {
        for (POSITION p = m_list.GetHeadPosition(); p;) {
            Node* n = m_list.GetNext(p);
            if (n->GetParentID() == parentId && n->GetName() == name) return n->GetID() == id ? 1 : 0;
        }
        return 1;
    }

    // Whether `n` may take `newParentId` as its parent: never itself or anything below it,
    // whether "below" is read from the links or from the stored parent ids.
    bool CanSetParent(const Node* n, int newParentId) const {
        if (!n) return false;
        if (newParentId == -1) return true;
        if (newParentId == n->GetID()) return false;
        Node* target = Find(newParentId);
        if (!target) return true; // an unknown parent leaves the node unlinked, no cycle
        if (target == n) return false;
        size_t guard = Bound();
        for (Node* p = target->m_pParent; p && guard--; p = p->m_pParent)
            if (p == n) return false;
        NodeList anc;
        FindAncestry(target, anc, 0);
        for (Node* a : anc)
            if (a == n || a->GetID() == n->GetID()) return false;
        return true;
    }

    // Moves the node under a new parent as its last child and gives it and everything below it
    // the levels that follow from the new place. 1 moved, 0 refused (would make the node its
    // own ancestor), -1 no such node.
    int MoveNode(Node* n, int newParentId) {
        if (!n) return -1;
        if (!CanSetParent(n, newParentId)) return 0;
        Unlink(n);
        n->SetParentID(newParentId);
        if (newParentId == -1) {
            n->SetLev(0);
        } else if (Node* parent = Find(newParentId)) {
            n->SetLev(parent->GetLev() + 1);
        }
        Link(n);
        RelevelBelow(n);
        return 1;
    }

    // Unlinks the node, then deletes it and everything below it, children before parents.
    int DeleteNode(Node* n) {
        if (!n) return 0;
        NodeList sub;
        FindTree(n, sub);
        Unlink(n);
        std::unordered_set<int> unindexed;
        for (auto it = sub.rbegin(); it != sub.rend(); ++it) {
            auto at = m_index.find((*it)->GetID());
            if (at != m_index.end() && at->second == *it) {
                m_index.erase(at);
                unindexed.insert((*it)->GetID());
            }
            m_list.RemoveAt((*it)->m_posList);
            delete *it;
        }
        // A remaining node with the same id as a deleted one (duplicate ids) takes its place.
        if (!unindexed.empty())
            for (POSITION p = m_list.GetHeadPosition(); p;) {
                Node* r = m_list.GetNext(p);
                if (unindexed.count(r->GetID())) m_index.try_emplace(r->GetID(), r);
            }
        return static_cast<int>(sub.size());
    }

    // Links a node by its level: a top-level node joins the end of the top chain; a deeper one
    // becomes the last child of its parent (found by id). A node whose parent is not in the tree,
    // or would lie below the node itself, stays unlinked.
    void Link(Node* n) {
        if (!n) return;
        if (n->GetLev() <= 0) {
            n->m_pParent = nullptr;
            Node* last = FindFirstLevLastNode(n);
            if (last && last != n) {
                last->m_pNext = n;
                n->m_pPrev = last;
            }
            return;
        }
        Node* parent = Find(n->GetParentID());
        if (!parent || parent == n || IsBelow(parent, n)) return;
        if (Node* last = LastChild(parent, n)) {
            last->m_pNext = n;
            n->m_pPrev = last;
        } else {
            parent->m_pChild = n;
        }
        n->m_pParent = parent;
    }

    // Takes the node out of its sibling chain; its own children stay with it.
    void Unlink(Node* n) {
        if (!n) return;
        if (n->m_pPrev) {
            n->m_pPrev->m_pNext = n->m_pNext;
        } else if (n->m_pParent && n->m_pParent->m_pChild == n) {
            n->m_pParent->m_pChild = n->m_pNext;
        }
        if (n->m_pNext) n->m_pNext->m_pPrev = n->m_pPrev;
        n->ClearUpperLink();
    }

    // Relinks every node from scratch, top level first (list order within a level).
    void BuildTree() {
        NodeList all;
        FindAll(all);
        for (Node* n : all) {
            POSITION keep = n->m_posList;
            n->ClearTreeLinks();
            n->m_posList = keep;
        }
        std::stable_sort(all.begin(), all.end(),
                         [](const Node* a, const Node* b) { return a->GetLev() < b->GetLev(); });
        // Top-level nodes not yet reached are unchained too, so searching for the chain's end
        // would find one of them; the end is tracked here instead.
        Node* lastTop = nullptr;
        for (Node* n : all) {
            if (n->GetLev() > 0) {
                Link(n);
                continue;
            }
            if (lastTop) {
                lastTop->m_pNext = n;
                n->m_pPrev = lastTop;
            }
            lastTop = n;
        }
    }

protected:
    size_t Bound() const { return static_cast<size_t>(m_list.GetCount()) + 1; }

    static bool Has(const NodeList& l, const Node* n) { return std::find(l.begin(), l.end(), n) != l.end(); }

    // Whether `n` lies below `top` by the links (bounded).
    bool IsBelow(const Node* n, const Node* top) const {
        size_t guard = Bound();
        for (const Node* p = n->m_pParent; p && guard--; p = p->m_pParent)
            if (p == top) return true;
        return false;
    }

    Node* LastChild(const Node* parent, const Node* except) const {
        Node* last = nullptr;
        size_t guard = Bound();
        for (Node* c = parent->m_pChild; c && guard--; c = c->m_pNext)
            if (c != except) last = c;
        return last;
    }

    void Collect(Node* n, NodeList& out, size_t& budget) const {
        // Iterative depth-first walk; the budget stops it at the node count, and no node is
        // listed twice (a subtree delete frees each listed node once).
        std::vector<Node*> stack{n};
        std::unordered_set<const Node*> seen;
        while (!stack.empty() && budget) {
            Node* cur = stack.back();
            stack.pop_back();
            if (!seen.insert(cur).second) continue;
            --budget;
            out.push_back(cur);
            NodeList kids;
            FindChild(cur, kids);
            for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back(*it);
        }
    }

    void RelevelBelow(Node* n) {
        NodeList sub;
        FindTree(n, sub);
        for (Node* s : sub)
            if (s != n && s->m_pParent) s->SetLev(s->m_pParent->GetLev() + 1);
    }

    KxPtrList<Node> m_list;
    std::unordered_map<int, Node*> m_index; // id -> first node in list order with that id
    int m_bBuildLink;
};
