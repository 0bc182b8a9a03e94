// The one engine behind the library's tree controls and tree views: a tree control that keeps
// its own list of by-value copies of the records it shows, each with the item that shows it and
// its parent's item, the item data being the record's id. It builds from linked record lists,
// adds, updates and deletes single records, answers the selection and lookup questions with
// their "none" values, selects a record with its ancestors expanded, and ticks check boxes.
// Each member class gives a policy (what differs between them) and publishes its own calls.
//
// Soundness kept for every member: a copy and its item never outlive each other; every walk up
// or down the copies is bounded by their number and visits an id once; a build adds an id at
// most once and follows the source list's links only during the call.
#pragma once

#include "base/PtrList.h"
#include "qt/KxImageList.h"
#include "qt/KxTreeCtrl.h"
#include "ui/KxTreeText.h"

#include <algorithm>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_set>
#include <vector>

// How the engine reads a record. The primary form fits the records built on KxTreeLinks (folder
// and generic nodes, projects); a record of another shape specialises it.
template <class Record>
struct KxTreeRecord {
    static int Id(const Record& r) { return r.GetID(); }
    static int Level(const Record& r) { return r.GetLev(); }
    static int ParentId(const Record& r) { return r.GetParentID(); }
    static const std::string& Name(const Record& r) { return r.GetName(); }
    static bool IsTopLevel(const Record& r) { return r.GetParentID() == -1; }
    // Links of the list a record came from (followed only while building).
    static const Record* FirstChild(const Record& r) { return r.m_pChild; }
    static const Record* Next(const Record& r) { return r.m_pNext; }
    static const Record* Prev(const Record& r) { return r.m_pPrev; }
    static const Record* Parent(const Record& r) { return r.m_pParent; }
    // The record's own image indices.
    static int Image(const Record& r) { return r.m_nImage; }
    static int SelectedImage(const Record& r) { return r.m_nSelectedImage; }
    // Records with handle fields carry their item and parent item; others ignore this.
    static void SetHandles(Record& r, HTREEITEM item, HTREEITEM parentItem) {
        if constexpr (requires { r.m_hTreeItem; r.m_hParentTreeItem; }) {
            r.m_hTreeItem = item;
            r.m_hParentTreeItem = parentItem;
        }
    }
    // The handles a record carries (null without handle fields).
    static HTREEITEM Item(const Record& r) {
        if constexpr (requires { r.m_hTreeItem; }) return static_cast<HTREEITEM>(r.m_hTreeItem);
        return nullptr;
    }
    static HTREEITEM ParentItem(const Record& r) {
        if constexpr (requires { r.m_hParentTreeItem; }) return static_cast<HTREEITEM>(r.m_hParentTreeItem);
        return nullptr;
    }
};

// One entry of a control's copy list.
template <class Record>
struct KxTreeCopy {
    Record node;
    HTREEITEM item = nullptr;
    HTREEITEM parentItem = nullptr;
};

// The usual start of a member's policy: fixed images for AddNode (item, record), whether
// SelectNode(-1) selects the root item, whether a missing ancestor makes the hunt 0.
template <bool SelectRootForNone, bool WholeAncestry, int Image, int SelectedImage>
struct KxTreePolicy {
    static constexpr bool kSelectRootForNone = SelectRootForNone;
    static constexpr bool kWholeAncestry = WholeAncestry;
    template <class Record>
    static void Images(const Record&, int& image, int& selectedImage) {
        image = Image;
        selectedImage = SelectedImage;
    }
};

// Policy (per member class), static members:
//   kSelectRootForNone   SelectNode(-1) selects and expands the root item
//   kWholeAncestry       HuntNodeAndParentNode gives 0 (not the count so far) at a missing ancestor
//   Images(r, image, selectedImage)   the images of AddNode (item, record)
//   UpdateCopy(copy, from)            what UpdateNode (record) takes over
//   ReplaceCopy(copy, from), optional what UpdateNode (item, record) takes (default: all)
template <class Record, class Policy>
class KxTreeFamily : public kx::TreeCtrl {
public:
    using R = KxTreeRecord<Record>;
    using Copy = KxTreeCopy<Record>;
    using RecordList = std::list<Record>;
    using PositionList = std::list<POSITION>;

    explicit KxTreeFamily(QWidget* parent = nullptr) : kx::TreeCtrl(parent) {}
    ~KxTreeFamily() override { DeleteCopies(); }

    // ---- Adding ----

    // Inserts the record under `parent` (TVI_ROOT: the top level) at the end, with the policy's
    // images; item data = id; a copy remembers the item and `parent`. Null parent or failed
    // insertion: null, nothing stored.
    HTREEITEM AddNode(HTREEITEM parent, const Record& node) {
        int image = 0, selectedImage = 0;
        Policy::Images(node, image, selectedImage);
        return InsertCopy(parent, node, image, selectedImage);
    }

    // ---- Changing and removing ----

    // The first copy with the record's id: its item shows the new name and the copy takes the
    // policy's share of the record. The copy always keeps its own item and parent item, so a
    // record from a cache (no handles) never cuts a copy off the item that shows it. Unknown
    // id: nothing.
    void UpdateNode(const Record& node) {
        Copy* c = FindCopy(R::Id(node));
        if (!c) return;
        SetItemText(c->item, Text(R::Name(node)));
        Policy::UpdateCopy(c->node, node);
        R::SetHandles(c->node, c->item, c->parentItem);
    }
    // Names `item` after the record and gives it the record's id; the first copy with that id
    // becomes the record as given (the policy may keep some of the copy's fields), with the
    // handles the record carries. A handle it lacks (or one that names no item here) is not
    // taken: the item is then `item`, the parent item the copy's own. A null or dead item:
    // nothing.
    void UpdateNode(HTREEITEM item, const Record& node) {
        if (!IsItem(item)) return;
        SetItemText(item, Text(R::Name(node)));
        SetItemData(item, R::Id(node));
        Copy* c = FindCopy(R::Id(node));
        if (!c) return;
        const HTREEITEM carried = R::Item(node);
        const HTREEITEM newItem = carried && IsItem(carried) ? carried : item;
        const HTREEITEM parentItem = R::ParentItem(node) ? R::ParentItem(node) : c->parentItem;
        if constexpr (requires(Record& a, const Record& b) { Policy::ReplaceCopy(a, b); })
            Policy::ReplaceCopy(c->node, node);
        else
            c->node = node;
        c->item = newItem;
        c->parentItem = parentItem;
        R::SetHandles(c->node, c->item, c->parentItem);
    }

    // Deleting an item (here or through the wrapper) drops the copies it showed.
    bool DeleteItem(HTREEITEM item) override {
        const bool done = kx::TreeCtrl::DeleteItem(item);
        if (done) PurgeOrphans();
        return done;
    }
    void DeleteAllItems() override {
        kx::TreeCtrl::DeleteAllItems();
        DeleteCopies();
    }

    // ---- Selection ----

    int GetCurSelNode(Record& out) const {
        const Copy* c = SelectedCopy();
        if (!c) return 0;
        out = c->node;
        return 1;
    }
    int GetCurSelNodeParent(Record& out) const {
        const Copy* c = SelectedCopy();
        const Copy* p = c ? FindCopy(R::ParentId(c->node)) : nullptr;
        if (!p) return 0;
        out = p->node;
        return 1;
    }
    int GetCurSelNodeID() const {
        const Copy* c = SelectedCopy();
        return c ? R::Id(c->node) : -1;
    }
    int GetCurSelNodeLevelNo() const {
        const Copy* c = SelectedCopy();
        return c ? R::Level(c->node) : -1;
    }
    int GetCurSelNodeParentID() const {
        const Copy* c = SelectedCopy();
        return c ? R::ParentId(c->node) : -1;
    }
    std::string GetCurSelNodeName() const {
        const Copy* c = SelectedCopy();
        return c ? R::Name(c->node) : std::string();
    }
    // The selected record's path: the right-trimmed names from the top level down, each
    // followed by one backslash; empty when nothing is selected or an ancestor is not held.
    std::string GetCurSelDir() const {
        const Copy* c = SelectedCopy();
        return c ? GetCurSelDir(R::Id(c->node), std::string()) : std::string();
    }
    // The path of `id` followed by `tail`; empty when `id` or an ancestor is not held.
    std::string GetCurSelDir(int id, const std::string& tail) const {
        std::string path = tail;
        std::unordered_set<int> seen;
        for (std::size_t guard = Bound(); guard--;) {
            const Copy* c = FindCopy(id);
            // A parent cycle meets an id already on the path: that ancestor counts as not held.
            if (!c || !seen.insert(id).second) return std::string();
            path = RightTrim(R::Name(c->node)) + "\\" + path;
            if (R::Level(c->node) == 0) return path;
            id = R::ParentId(c->node);
        }
        return std::string();
    }
    // The selected item's data whole (an id or an address); 0 when nothing is selected.
    std::intptr_t GetCurSelItemData() const {
        HTREEITEM item = GetSelectedItem();
        return item ? GetItemData(item) : 0;
    }
    int IsSelected() const { return GetSelectedItem() ? 1 : 0; }
    int IsSelectedItem() const { return IsSelected(); }
    int IsCurSeLNodeHasChild() const {
        HTREEITEM item = GetSelectedItem();
        return item && ItemHasChildren(item) ? 1 : 0;
    }

    // ---- Lookup and navigation ----

    int FindNode(int id, Record& out) const { return GetNode(id, out); }
    int GetNode(int id, Record& out) const {
        const Copy* c = FindCopy(id);
        if (!c) return 0;
        out = c->node;
        return 1;
    }
    // The first copy whose name equals `name`, both right-trimmed, byte for byte.
    int GetNode(const std::string& name, Record& out) const {
        const std::string wanted = RightTrim(name);
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            const Copy* c = m_copies.GetNext(p);
            if (RightTrim(R::Name(c->node)) == wanted) {
                out = c->node;
                return 1;
            }
        }
        return 0;
    }

    // The record and its ancestors at the head of `out`, top level first; 0 when `id` is not
    // held. A missing ancestor (or a parent cycle) ends the walk: the count so far, or 0 under a
    // policy that needs the whole ancestry. Returns the list's count.
    int HuntNodeAndParentNode(int id, RecordList& out) const {
        const Copy* c = FindCopy(id);
        if (!c) return 0;
        out.push_front(c->node);
        std::unordered_set<int> seen{id};
        for (std::size_t guard = Bound(); R::Level(c->node) >= 1 && guard--;) {
            const int parentId = R::ParentId(c->node);
            const Copy* p = seen.count(parentId) ? nullptr : FindCopy(parentId);
            if (!p) return Policy::kWholeAncestry ? 0 : static_cast<int>(out.size());
            seen.insert(parentId);
            out.push_front(p->node);
            c = p;
        }
        return static_cast<int>(out.size());
    }
    // The ancestors only, top level first; 0 (and `out` unchanged) when `id` or any ancestor is
    // not held. Returns the list's count.
    int HuntParentNode(int id, RecordList& out) const {
        const Copy* c = FindCopy(id);
        if (!c) return 0;
        RecordList found;
        std::unordered_set<int> seen{id};
        for (std::size_t guard = Bound(); R::Level(c->node) >= 1 && guard--;) {
            const int parentId = R::ParentId(c->node);
            const Copy* p = seen.count(parentId) ? nullptr : FindCopy(parentId);
            if (!p) return 0;
            seen.insert(parentId);
            found.push_front(p->node);
            c = p;
        }
        out.splice(out.begin(), found);
        return static_cast<int>(out.size());
    }

    // Empties `out`, then a copy of every held record in copy-list order.
    void GetTreeNode(RecordList& out) const {
        out.clear();
        for (POSITION p = m_copies.GetHeadPosition(); p;) out.push_back(m_copies.GetNext(p)->node);
    }
    POSITION GetHeadPosition() const { return m_copies.GetHeadPosition(); }
    // The copy at `pos` (by value); `pos` moves on (null after the last).
    Record GetNext(POSITION& pos) const { return m_copies.GetNext(pos)->node; }

    // Selects the record: each held ancestor from the top, then the record, is selected and
    // expanded, so the record ends selected. -1 selects and expands the root item when the
    // policy says so.
    void SelectNode(int id) {
        if (Policy::kSelectRootForNone && id == -1) {
            if (HTREEITEM root = GetRootItem()) {
                SelectItem(root);
                Expand(root, TVE_EXPAND);
            }
            return;
        }
        RecordList chain;
        if (HuntNodeAndParentNode(id, chain) <= 0) return;
        for (const Record& r : chain) {
            const Copy* c = FindCopy(R::Id(r));
            if (!c || !IsItem(c->item)) continue;
            SelectItem(c->item);
            Expand(c->item, TVE_EXPAND);
        }
    }
    void SelectNode(const std::string& name) {
        Record r;
        if (GetNode(name, r)) SelectNode(R::Id(r));
    }

    void ExpandTree() { ExpandEach(TVE_EXPAND); }
    void FurlTree() { ExpandEach(TVE_COLLAPSE); }
    void ExpandRoot() {
        if (HTREEITEM root = GetRootItem()) Expand(root, TVE_EXPAND);
    }

protected:
    // ---- Building blocks for the member classes ----

    HTREEITEM InsertCopy(HTREEITEM parent, const Record& node, int image, int selectedImage) {
        if (!parent) return nullptr;
        HTREEITEM item = InsertItem(Text(R::Name(node)), image, selectedImage, parent, TVI_LAST);
        if (!item) return nullptr;
        SetItemData(item, R::Id(node));
        auto* c = new Copy{node, item, parent};
        R::SetHandles(c->node, item, parent);
        m_copies.AddTail(c);
        return item;
    }

    // The add forms the members share. At the top level with the given images; the record
    // gets its item and a null parent item. Null on failure, nothing stored.
    HTREEITEM AddTop(Record& node, int image, int selectedImage) {
        HTREEITEM item = AddTopCopy(node, image, selectedImage);
        if (item) R::SetHandles(node, item, nullptr);
        return item;
    }
    // The same, leaving the record as it is.
    HTREEITEM AddTopCopy(const Record& node, int image, int selectedImage) {
        HTREEITEM item = InsertCopy(TVI_ROOT, node, image, selectedImage);
        if (!item) return nullptr;
        m_copies.GetTail()->parentItem = nullptr;
        R::SetHandles(m_copies.GetTail()->node, item, nullptr);
        return item;
    }
    // By level: level 0 at the top level, any other under the item of its parent's copy (not
    // held: 0), that item expanded when `expand` is not 0. The record gets both handles. 1 or 0.
    int AddByLevel(Record& node, int expand, int image, int selectedImage) {
        if (R::Level(node) == 0) return AddTop(node, image, selectedImage) ? 1 : 0;
        const Copy* parent = FindCopy(R::ParentId(node));
        if (!parent) return 0;
        const HTREEITEM under = parent->item;
        HTREEITEM item = InsertCopy(under, node, image, selectedImage);
        if (!item) return 0;
        if (expand) Expand(under, TVE_EXPAND);
        R::SetHandles(node, item, under);
        return 1;
    }
    // Under the item of the copy of the record's linked parent, or at the top level when no copy
    // has it; a record without a parent link: 0. The record gets both handles. 1 or 0.
    int AddUnderParentLink(Record& node, int image, int selectedImage) {
        const Record* link = R::Parent(node);
        if (!link) return 0;
        const Copy* parent = FindCopy(R::Id(*link));
        HTREEITEM under = parent ? parent->item : TVI_ROOT;
        HTREEITEM item = InsertCopy(under, node, image, selectedImage);
        if (!item) return 0;
        R::SetHandles(node, item, under);
        return 1;
    }
    // Puts the record under its parent with `add` (parent item, record): the first listed copy
    // whose id is the record's parent id, else the parent item of the first listed copy with
    // the same parent id. Neither (or a position not held here): null, nothing added.
    template <class Add>
    HTREEITEM AddUnderParentRange(const PositionList& positions, const Record& node, Add add) {
        for (POSITION p : positions)
            if (HoldsPosition(p) && R::Id(m_copies.GetAt(p)->node) == R::ParentId(node))
                return add(m_copies.GetAt(p)->item, node);
        for (POSITION p : positions)
            if (HoldsPosition(p) && R::ParentId(m_copies.GetAt(p)->node) == R::ParentId(node))
                return add(m_copies.GetAt(p)->parentItem ? m_copies.GetAt(p)->parentItem : TVI_ROOT, node);
        return nullptr;
    }
    // Deletes the item of the first copy with `id` (with its subtree) and removes that copy and
    // its descendants' copies; an id not held: nothing.
    void DeleteSubtree(int id) {
        POSITION at = nullptr;
        for (POSITION p = m_copies.GetHeadPosition(); p && !at;) {
            POSITION here = p;
            if (R::Id(m_copies.GetNext(p)->node) == id) at = here;
        }
        if (!at) return;
        PositionList below;
        ChildPositions(id, below);
        RemoveCopyAndItem(at);
        for (POSITION p : below) RemoveCopyAndItem(p);
        PurgeOrphans();
    }
    // The item of the first copy with `id`; null when none.
    HTREEITEM ItemOfId(int id) const {
        const Copy* c = FindCopy(id);
        return c ? c->item : nullptr;
    }
    // The first child of the root item whose data equals `data`; null when none.
    HTREEITEM FirstLevItem(uint32_t data) const {
        HTREEITEM root = GetRootItem();
        if (!root) return nullptr;
        for (HTREEITEM child = GetChildItem(root); child; child = GetNextSiblingItem(child))
            if (static_cast<uint32_t>(GetItemData(child)) == data) return child;
        return nullptr;
    }

    Copy* FindCopy(int id) const {
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            Copy* c = m_copies.GetNext(p);
            if (R::Id(c->node) == id) return c;
        }
        return nullptr;
    }
    Copy* FindCopyByItem(HTREEITEM item) const {
        if (!item) return nullptr;
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            Copy* c = m_copies.GetNext(p);
            if (c->item == item) return c;
        }
        return nullptr;
    }
    // The copy whose id is the selected item's data.
    const Copy* SelectedCopy() const {
        HTREEITEM item = GetSelectedItem();
        if (!item) return nullptr;
        const std::intptr_t data = GetItemData(item);
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            const Copy* c = m_copies.GetNext(p);
            if (static_cast<std::intptr_t>(R::Id(c->node)) == data) return c;
        }
        return nullptr;
    }
    bool HoldsPosition(POSITION pos) const {
        for (POSITION p = m_copies.GetHeadPosition(); p; m_copies.GetNext(p))
            if (p == pos) return true;
        return false;
    }
    int IsHeld(int id) const { return FindCopy(id) ? 1 : 0; }
    int HasChildCopy(int id) const {
        for (POSITION p = m_copies.GetHeadPosition(); p;)
            if (R::ParentId(m_copies.GetNext(p)->node) == id) return 1;
        return 0;
    }

    // The first node of a linked list: the first, in list order, of the lowest level present
    // whose previous sibling is absent or not in the list. Null when there is none.
    template <class List>
    static const Record* FirstNode(const List& nodes) {
        bool any = false;
        int lowest = 0;
        for (const Record* n : nodes) {
            if (!n) continue;
            if (!any || R::Level(*n) < lowest) lowest = R::Level(*n);
            any = true;
        }
        if (!any) return nullptr;
        const std::unordered_set<int> ids = IdsOf(nodes);
        for (const Record* n : nodes) {
            if (!n || R::Level(*n) != lowest) continue;
            const Record* prev = R::Prev(*n);
            if (!prev || !ids.count(R::Id(*prev))) return n;
        }
        return nullptr;
    }

    // Adds `first`, its following siblings and their descendants that are in `nodes` under
    // `item`, with `add` (parent item, record) -> new item. A node not in the list is skipped
    // with everything below it. Each id is added once and each linked node visited once, so
    // looping links end; the walk uses its own stack, not the call stack.
    template <class List, class Add>
    void BuildFrom(HTREEITEM item, const Record* first, const List& nodes, Add add) {
        if (!item || !first) return;
        const std::unordered_set<int> inList = IdsOf(nodes);
        std::unordered_set<int> added;
        std::unordered_set<const Record*> visited;
        struct Frame {
            HTREEITEM item;
            const Record* next;
        };
        std::vector<Frame> stack{{item, first}};
        while (!stack.empty()) {
            const Record* n = stack.back().next;
            if (!n || !visited.insert(n).second) {
                stack.pop_back();
                continue;
            }
            const HTREEITEM under = stack.back().item;
            stack.back().next = R::Next(*n);
            const int id = R::Id(*n);
            if (!inList.count(id) || added.count(id)) continue;
            HTREEITEM child = add(under, *n);
            added.insert(id);
            if (child) stack.push_back({child, R::FirstChild(*n)});
        }
    }

    // The working level-by-level build from a flat list: level 0 at the top level, then each
    // level present, lowest first, under the item of its parent's copy (skipped when the parent
    // is not held). `addTop` and `addUnder` (parent item, record) add one record. Returns 1.
    template <class AddTop, class AddUnder>
    int BuildByLevels(const RecordList& nodes, AddTop addTop, AddUnder addUnder) {
        std::vector<int> levels;
        for (const Record& n : nodes) {
            if (R::Level(n) == 0) {
                addTop(n);
            } else if (R::Level(n) > 0) {
                levels.push_back(R::Level(n));
            }
        }
        std::sort(levels.begin(), levels.end());
        levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
        for (int level : levels)
            for (const Record& n : nodes) {
                if (R::Level(n) != level) continue;
                const Copy* parent = FindCopy(R::ParentId(n));
                if (parent) addUnder(parent->item, n);
            }
        return 1;
    }

    // BuildByLevels adding each record with the images `images` (record, image&, selected&)
    // gives it.
    template <class Images>
    int FillByLevels(const RecordList& nodes, Images images) {
        return BuildByLevels(
            nodes,
            [&](const Record& n) {
                int image = 0, selectedImage = 0;
                images(n, image, selectedImage);
                AddTopCopy(n, image, selectedImage);
            },
            [&](HTREEITEM under, const Record& n) {
                int image = 0, selectedImage = 0;
                images(n, image, selectedImage);
                InsertCopy(under, n, image, selectedImage);
            });
    }
    // Images 0/1 for every record.
    static void FixedImages(const Record&, int& image, int& selectedImage) {
        image = 0;
        selectedImage = 1;
    }

    // Positions of every copy below `id`, depth first (a child, its descendants, then the next
    // child; children in copy-list order), appended to `out`. Each id is entered once, so a
    // parent cycle ends. Returns the list's count.
    int ChildPositions(int id, PositionList& out) const {
        std::unordered_set<int> seen{id};
        std::vector<std::pair<int, POSITION>> stack; // parent id, where to look on from
        stack.emplace_back(id, m_copies.GetHeadPosition());
        while (!stack.empty()) {
            auto& [parentId, from] = stack.back();
            POSITION found = nullptr;
            while (from) {
                POSITION here = from;
                const Copy* c = m_copies.GetNext(from);
                if (R::ParentId(c->node) == parentId && !seen.count(R::Id(c->node))) {
                    found = here;
                    break;
                }
            }
            if (!found) {
                stack.pop_back();
                continue;
            }
            const int childId = R::Id(m_copies.GetAt(found)->node);
            seen.insert(childId);
            out.push_back(found);
            stack.emplace_back(childId, m_copies.GetHeadPosition());
        }
        return static_cast<int>(out.size());
    }

    // Removes the copy at `pos` and deletes its item (and so the item's subtree), then drops
    // every copy left without an item.
    void RemoveCopyAndItem(POSITION pos) {
        Copy* c = m_copies.RemoveAt(pos);
        HTREEITEM item = c->item;
        delete c;
        kx::TreeCtrl::DeleteItem(item);
    }
    void RemoveCopy(POSITION pos) { delete m_copies.RemoveAt(pos); }

    // Drops the copies whose item is gone (deleted with an ancestor's subtree).
    void PurgeOrphans() {
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            POSITION here = p;
            const Copy* c = m_copies.GetNext(p);
            if (!IsItem(c->item)) RemoveCopy(here);
        }
    }

    // Check boxes (the owner turns them on with SetCheckBoxes), for the members that publish
    // them: every copy's item checked or unchecked, or every one but `item` unchecked.
    void CheckAllNode() { CheckEach(true); }
    void DontCheckAllNode() { CheckEach(false); }
    void DontCheckOtherNode(HTREEITEM item) { CheckEach(false, item); }
    // Creates the control's image list empty at 16 x 16 and attaches it; the owner fills it.
    void InitTreeCtrl() {
        m_ImageList = kx::ImageList(16, 16);
        SetImageList(m_ImageList);
    }
    // The first top-level item, or null.
    HTREEITEM GetRootNode() const { return GetRootItem(); }

    // Check boxes on the items of the copies.
    void CheckEach(bool checked, HTREEITEM except = nullptr) {
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            const Copy* c = m_copies.GetNext(p);
            if (c->item != except) kx::TreeCtrl::SetCheck(c->item, checked);
        }
    }
    int CheckedCopies(RecordList& out) const {
        out.clear();
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            const Copy* c = m_copies.GetNext(p);
            if (GetCheck(c->item)) out.push_back(c->node);
        }
        return static_cast<int>(out.size());
    }

    static QString Text(const std::string& s) { return QString::fromStdString(s); }
    static std::string RightTrim(const std::string& s) { return KxRightTrim(s); }
    template <class List>
    static std::unordered_set<int> IdsOf(const List& nodes) {
        std::unordered_set<int> ids;
        for (const Record* n : nodes)
            if (n) ids.insert(R::Id(*n));
        return ids;
    }
    std::size_t Bound() const { return static_cast<std::size_t>(m_copies.GetCount()) + 1; }

    KxPtrList<Copy> m_copies;
    // Created empty with the control: the images behind the indices are the owner's, attached
    // with SetImageList.
    kx::ImageList m_ImageList;

private:
    void ExpandEach(int code) {
        for (POSITION p = m_copies.GetHeadPosition(); p;) {
            const Copy* c = m_copies.GetNext(p);
            if (c->item) Expand(c->item, code);
        }
    }
    void DeleteCopies() {
        while (Copy* c = m_copies.RemoveHead()) delete c;
    }
};
