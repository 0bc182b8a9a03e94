// CkxwFamilyFileTreeCtrl: families as a tree under one root item "族类" and, under each family,
// the files assigned to it, so that files are moved between families by dragging. Files without
// a family sit under the "未归类文件" item after the families. Every item carries a node (see
// CkxwFFNode) that says what it is and whether it may be dragged or take a drop; the owner runs
// the drag with IsEnableDrag, IsEnableDrop and DragFileToFamily, and reads each file's family
// back from its node.
#pragma once

#include "model/CkxFamily.h"
#include "model/KxExport.h"
#include "qt/KxTreeCtrl.h"
#include "ui/CkxwFFNode.h"

#include <functional>
#include <string>
#include <vector>

class CkxFileX;

class KX_EXPORT CkxwFamilyFileTreeCtrl : public kx::TreeCtrl {
    Q_OBJECT
public:
    using Nodes = CkxwFFNodeList::Nodes;

    explicit CkxwFamilyFileTreeCtrl(QWidget* parent = nullptr);
    ~CkxwFamilyFileTreeCtrl() override;

    // --- building ---
    // The root "族类", the listed families under it (from the first family of the smallest level,
    // along sibling and child links; a family not listed is left out with its descendants) and
    // the unlinked-files item.
    void fmCreateTree(const CkxFamilyPtrs& families);
    void fmAttachChildTree(HTREEITEM parent, const CkxFamily* first, const CkxFamilyPtrs& families);
    HTREEITEM fmAddFamily(HTREEITEM parent, const CkxFamily& family);
    // A file under its family's item (a file without a family under the unlinked-files item);
    // null, adding nothing, when its family is not in the tree.
    HTREEITEM flAddFile(const CkxFileX& file);
    HTREEITEM flAddFile(HTREEITEM parent, const CkxFileX& file);

    // --- removing ---
    // The family's item goes with its whole subtree, and so do the nodes of that subtree.
    void fmDelete(int familyId);
    void flDeleteFile(int fileId);
    void flDeleteAllFile();
    bool DeleteItem(HTREEITEM item) override;
    void DeleteAllItems() override;

    // --- queries ---
    HTREEITEM GetFamilyRoot() const { return m_hRoot; }
    HTREEITEM GetUnlinkedItem() const { return m_hUnlinked; }
    HTREEITEM GetCurSelItem() const { return GetSelectedItem(); }
    CkxwFFNode* GetCurSelNode() const;
    int GetCurSelID() const;
    // The family id (kinds 2 to 12) or file id (13); -1 for any other item or one without a node.
    int GetItemID(HTREEITEM item) const;
    // Walking up: a family (or the root, -1) gives its family id; a file passes to its parent.
    int GetItemFamilyID(HTREEITEM item) const;
    int GetLinkFileID(HTREEITEM item) const;
    CkxwFFNode* GetNode(HTREEITEM item) const { return m_Nodes.Find(item); }
    CkxwFFNode* flFindNode(int fileId) const;
    CkxwFFNode* fmFindNode(int familyId) const;
    int fmGetLinkFile(HTREEITEM family, Nodes& out) const;
    int fmGetLinkFile(HTREEITEM family, std::vector<int>& fileIds) const;
    int IsCurSeLNodeHasChild() const;
    int IsEnableDrag(HTREEITEM item) const;
    int IsEnableDrop(HTREEITEM item) const;
    const CkxwFFNodeList& NodeList() const { return m_Nodes; }

    // --- changing ---
    // Moves the file item under the family item (a new item with the same node) and, when the
    // target is a family, gives the file that family; the new item, or null.
    HTREEITEM DragFileToFamily(HTREEITEM fileItem, HTREEITEM familyItem);
    HTREEITEM ChangeFileFamily(int fileId, int familyId);
    HTREEITEM ChangeFileFamily(HTREEITEM fileItem, HTREEITEM familyItem);
    void flUpdateName(int fileId, const std::string& name);
    void ExpandRoot();
    void ExpandTree();
    void FurlTree();
    void CheckAllNode();
    void DontCheckAllNode();
    void DontCheckOtherNode(HTREEITEM item);

    // Image indexes of a family of the kind, and of a file.
    static int FamilyImage(const CkxFamily& family);
    static int FileImage(const CkxFileX& file);

private:
    // Drops the nodes of the item and of every item below it.
    void ForgetSubtree(HTREEITEM item);
    void EachNodeItem(const std::function<void(HTREEITEM)>& visit) const;

    CkxwFFNodeList m_Nodes;
    HTREEITEM m_hRoot = nullptr;
    HTREEITEM m_hUnlinked = nullptr;
};
