#include "ui/CkxwFamilyFileTreeCtrl.h"

#include "model/CkxFamilyTree.h"
#include "model/CkxFile.h"
#include "model/CkxFileX.h"

#include <functional>

namespace {

constexpr const char* kRootText = "族类";
constexpr const char* kUnlinkedText = "未归类文件";

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

CkxwFamilyFileTreeCtrl::CkxwFamilyFileTreeCtrl(QWidget* parent) : kx::TreeCtrl(parent) {}

CkxwFamilyFileTreeCtrl::~CkxwFamilyFileTreeCtrl() = default;

int CkxwFamilyFileTreeCtrl::FamilyImage(const CkxFamily& f) {
    if (f.IsImage()) return 6;
    if (f.IsText()) return 8;
    if (f.IsAudio()) return 10;
    if (f.IsVideo()) return 12;
    return 0;
}

int CkxwFamilyFileTreeCtrl::FileImage(const CkxFileX& file) {
    if (file.IsFIPhoto() || file.IsImage()) return 16;
    if (file.IsDoc()) return 18;
    if (file.IsAudio()) return 20;
    if (file.IsVideo()) return 22;
    return 0;
}

// ---- building ----

void CkxwFamilyFileTreeCtrl::fmCreateTree(const CkxFamilyPtrs& families) {
    m_hRoot = InsertItem(QString::fromUtf8(kRootText), 0, 0, TVI_ROOT, TVI_LAST);
    if (!m_hRoot) return;
    CkxwFFNode root;
    root.m_hItem = m_hRoot;
    root.m_hParent = TVI_ROOT;
    root.SetFamilyRoot();
    m_Nodes.AddTail(root);
    if (const CkxFamily* first = CkxFamilyTree::T_FindFirstNode(families)) fmAttachChildTree(m_hRoot, first, families);
    // Files without a family gather here, after the families.
    m_hUnlinked = InsertItem(QString::fromUtf8(kUnlinkedText), 0, 0, m_hRoot, TVI_LAST);
    if (m_hUnlinked) {
        CkxwFFNode unlinked;
        unlinked.m_hItem = m_hUnlinked;
        unlinked.m_hParent = m_hRoot;
        unlinked.SetFamilyUnknown(); // family id -1, no drag, no drop
        m_Nodes.AddTail(unlinked);
    }
}

void CkxwFamilyFileTreeCtrl::fmAttachChildTree(HTREEITEM parent, const CkxFamily* first, const CkxFamilyPtrs& families) {
    // The walk is bounded by the registry's own links, which never loop; the list only decides
    // what is shown.
    for (const CkxFamily* f = first; f; f = f->m_pNext) {
        if (!CkxFamilyTree::T_IsAtList(families, f)) continue; // its descendants go with it
        HTREEITEM item = fmAddFamily(parent, *f);
        if (item && f->m_pChild) fmAttachChildTree(item, f->m_pChild, families);
    }
}

HTREEITEM CkxwFamilyFileTreeCtrl::fmAddFamily(HTREEITEM parent, const CkxFamily& family) {
    if (!parent) return nullptr;
    const int image = FamilyImage(family);
    HTREEITEM item = InsertItem(Q(family.m_strName), image, image, parent, TVI_LAST);
    if (!item) return nullptr;
    CkxwFFNode node;
    node.m_hItem = item;
    node.m_hParent = parent;
    node.m_Family = family;
    node.m_nImage = node.m_nSelImage = image;
    const bool root = family.IsRoot();
    if (family.IsImage()) node.m_nKind = root ? CkxwFFNode::K_IMAGE_ROOT : CkxwFFNode::K_IMAGE;
    else if (family.IsText()) node.m_nKind = root ? CkxwFFNode::K_TEXT_ROOT : CkxwFFNode::K_TEXT;
    else if (family.IsAudio()) node.m_nKind = root ? CkxwFFNode::K_AUDIO_ROOT : CkxwFFNode::K_AUDIO;
    else if (family.IsVideo()) node.m_nKind = root ? CkxwFFNode::K_VIDEO_ROOT : CkxwFFNode::K_VIDEO;
    else if (family.IsBinary()) node.m_nKind = root ? CkxwFFNode::K_BINARY_ROOT : CkxwFFNode::K_BINARY;
    else node.m_nKind = CkxwFFNode::K_COMM;
    node.m_nDrag = 0;
    node.m_nDrop = 1;
    m_Nodes.AddTail(node);
    return item;
}

HTREEITEM CkxwFamilyFileTreeCtrl::flAddFile(const CkxFileX& file) {
    if (file.IsEmpty()) return nullptr;
    if (!file.IsLinkFamily()) return m_hUnlinked ? flAddFile(m_hUnlinked, file) : nullptr;
    const CkxwFFNode* family = fmFindNode(file.GetFamilyID());
    return family ? flAddFile(family->m_hItem, file) : nullptr;
}

HTREEITEM CkxwFamilyFileTreeCtrl::flAddFile(HTREEITEM parent, const CkxFileX& file) {
    if (!parent || file.IsEmpty()) return nullptr;
    const int image = FileImage(file);
    HTREEITEM item = InsertItem(Q(file.GetFileName()), image, image, parent, TVI_LAST);
    if (!item) return nullptr;
    auto* node = new CkxwFFNode;
    node->m_hItem = item;
    node->m_hParent = parent;
    node->SetFileNode();
    node->m_nDrag = 1;
    node->m_nDrop = 0;
    node->m_nImage = node->m_nSelImage = image;
    node->m_File.CreateObj(*file.GetObj());
    m_Nodes.AddTail(node);
    return item;
}

// ---- removing ----

void CkxwFamilyFileTreeCtrl::ForgetSubtree(HTREEITEM item) {
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child)) ForgetSubtree(child);
    m_Nodes.Delete(item);
}

bool CkxwFamilyFileTreeCtrl::DeleteItem(HTREEITEM item) {
    if (!IsItem(item)) return false;
    // Every node below goes with its item: a node left behind would hold a dead handle.
    ForgetSubtree(item);
    if (item == m_hRoot) m_hRoot = nullptr;
    if (item == m_hUnlinked || (m_hUnlinked && !m_hRoot)) m_hUnlinked = nullptr;
    return kx::TreeCtrl::DeleteItem(item);
}

void CkxwFamilyFileTreeCtrl::DeleteAllItems() {
    m_Nodes.DeleteAll();
    m_hRoot = m_hUnlinked = nullptr;
    kx::TreeCtrl::DeleteAllItems();
}

void CkxwFamilyFileTreeCtrl::fmDelete(int familyId) {
    CkxwFFNode* node = m_Nodes.Find(familyId);
    if (node) DeleteItem(node->m_hItem);
}

void CkxwFamilyFileTreeCtrl::flDeleteFile(int fileId) {
    if (CkxwFFNode* node = flFindNode(fileId)) DeleteItem(node->m_hItem);
}

void CkxwFamilyFileTreeCtrl::flDeleteAllFile() {
    std::vector<HTREEITEM> files;
    for (int i = 0; i < m_Nodes.GetCount(); ++i)
        if (m_Nodes.GetAt(i)->IsFileNode()) files.push_back(m_Nodes.GetAt(i)->m_hItem);
    for (HTREEITEM item : files) DeleteItem(item);
}

// ---- queries ----

CkxwFFNode* CkxwFamilyFileTreeCtrl::GetCurSelNode() const {
    HTREEITEM item = GetSelectedItem();
    return item ? m_Nodes.Find(item) : nullptr;
}

int CkxwFamilyFileTreeCtrl::GetItemID(HTREEITEM item) const {
    const CkxwFFNode* node = m_Nodes.Find(item);
    return node ? node->GetID() : -1;
}

int CkxwFamilyFileTreeCtrl::GetCurSelID() const { return GetItemID(GetSelectedItem()); }

int CkxwFamilyFileTreeCtrl::GetItemFamilyID(HTREEITEM item) const {
    for (int steps = 0; item && steps <= GetCount(); ++steps) {
        const CkxwFFNode* node = m_Nodes.Find(item);
        if (!node) return -1;
        if (node->m_nKind >= CkxwFFNode::K_FAMILY_ROOT && node->m_nKind <= CkxwFFNode::K_BINARY)
            return node->m_Family.GetID();
        if (!node->IsFileNode()) return -1;
        item = GetParentItem(item);
    }
    return -1;
}

int CkxwFamilyFileTreeCtrl::GetLinkFileID(HTREEITEM item) const {
    const CkxwFFNode* node = m_Nodes.Find(item);
    return node && node->IsFileNode() ? node->m_File.GetID() : -1;
}

CkxwFFNode* CkxwFamilyFileTreeCtrl::flFindNode(int fileId) const {
    for (int i = 0; i < m_Nodes.GetCount(); ++i) {
        CkxwFFNode* n = m_Nodes.GetAt(i);
        if (n->IsFileNode() && n->m_File.GetID() == fileId) return n;
    }
    return nullptr;
}

CkxwFFNode* CkxwFamilyFileTreeCtrl::fmFindNode(int familyId) const {
    for (int i = 0; i < m_Nodes.GetCount(); ++i) {
        CkxwFFNode* n = m_Nodes.GetAt(i);
        if (n->IsFamilyNode() && n->m_Family.GetID() == familyId) return n;
    }
    return nullptr;
}

int CkxwFamilyFileTreeCtrl::fmGetLinkFile(HTREEITEM family, Nodes& out) const {
    for (int i = 0; i < m_Nodes.GetCount(); ++i) {
        CkxwFFNode* n = m_Nodes.GetAt(i);
        if (family && n->IsFileNode() && n->m_hParent == family) out.push_back(n);
    }
    return static_cast<int>(out.size());
}

int CkxwFamilyFileTreeCtrl::fmGetLinkFile(HTREEITEM family, std::vector<int>& fileIds) const {
    Nodes nodes;
    fmGetLinkFile(family, nodes);
    for (const CkxwFFNode* n : nodes) fileIds.push_back(n->m_File.GetID());
    return static_cast<int>(fileIds.size());
}

int CkxwFamilyFileTreeCtrl::IsCurSeLNodeHasChild() const {
    HTREEITEM item = GetSelectedItem();
    return item && GetChildItem(item) ? 1 : 0;
}

int CkxwFamilyFileTreeCtrl::IsEnableDrag(HTREEITEM item) const {
    const CkxwFFNode* n = m_Nodes.Find(item);
    return n ? n->m_nDrag : 0;
}

int CkxwFamilyFileTreeCtrl::IsEnableDrop(HTREEITEM item) const {
    const CkxwFFNode* n = m_Nodes.Find(item);
    return n ? n->m_nDrop : 0;
}

// ---- changing ----

HTREEITEM CkxwFamilyFileTreeCtrl::DragFileToFamily(HTREEITEM fileItem, HTREEITEM familyItem) {
    if (!fileItem || !familyItem || !IsItem(familyItem)) return nullptr;
    CkxwFFNode* node = m_Nodes.Find(fileItem);
    if (!node || !node->IsFileNode()) return nullptr;
    // Only a family, the unlinked item or the root takes a file; never another file.
    const CkxwFFNode* target = m_Nodes.Find(familyItem);
    if (!target || target->IsFileNode() || target == node) return nullptr;
    HTREEITEM moved = InsertItem(GetItemText(fileItem), node->m_nImage, node->m_nSelImage, familyItem, TVI_LAST);
    if (!moved) return nullptr;
    node->m_hItem = moved;
    node->m_hParent = familyItem;
    kx::TreeCtrl::DeleteItem(fileItem); // the node now belongs to the new item
    if (target->IsFamilyNode()) node->m_File.SetFamily(target->m_Family.GetID());
    return moved;
}

HTREEITEM CkxwFamilyFileTreeCtrl::ChangeFileFamily(int fileId, int familyId) {
    const CkxwFFNode* file = flFindNode(fileId);
    const CkxwFFNode* family = fmFindNode(familyId);
    if (!file || !family) return nullptr;
    return DragFileToFamily(file->m_hItem, family->m_hItem);
}

HTREEITEM CkxwFamilyFileTreeCtrl::ChangeFileFamily(HTREEITEM fileItem, HTREEITEM familyItem) {
    if (!fileItem || !familyItem || !m_Nodes.Find(fileItem) || !m_Nodes.Find(familyItem)) return nullptr;
    return DragFileToFamily(fileItem, familyItem);
}

void CkxwFamilyFileTreeCtrl::flUpdateName(int fileId, const std::string& name) {
    if (const CkxwFFNode* n = flFindNode(fileId)) SetItemText(n->m_hItem, Q(name));
}

void CkxwFamilyFileTreeCtrl::ExpandRoot() {
    if (m_hRoot) Expand(m_hRoot, TVE_EXPAND);
}

void CkxwFamilyFileTreeCtrl::EachNodeItem(const std::function<void(HTREEITEM)>& visit) const {
    for (int i = 0; i < m_Nodes.GetCount(); ++i) visit(m_Nodes.GetAt(i)->m_hItem);
}

void CkxwFamilyFileTreeCtrl::ExpandTree() {
    EachNodeItem([&](HTREEITEM item) { Expand(item, TVE_EXPAND); });
}

void CkxwFamilyFileTreeCtrl::FurlTree() {
    EachNodeItem([&](HTREEITEM item) { Expand(item, TVE_COLLAPSE); });
}

void CkxwFamilyFileTreeCtrl::CheckAllNode() {
    EachNodeItem([&](HTREEITEM item) { SetCheck(item, true); });
}

void CkxwFamilyFileTreeCtrl::DontCheckAllNode() {
    EachNodeItem([&](HTREEITEM item) { SetCheck(item, false); });
}

void CkxwFamilyFileTreeCtrl::DontCheckOtherNode(HTREEITEM keep) {
    EachNodeItem([&](HTREEITEM item) {
        if (item != keep) SetCheck(item, false);
    });
}
