#include "dlg/KeywordGroupTree.h"

#include "session/StudioNotices.h"

#include "model/CkxXXX.h"

namespace keywordtree {

namespace {

void AddGroup(kx::TreeCtrl& tree, HTREEITEM root, const CkxKeywordGroup& g) {
    const HTREEITEM item = tree.InsertItem(QString::fromStdString(g.m_strName), 1, 1, root);
    tree.SetItemData(item, g.GetID());
}

} // namespace

HTREEITEM Fill(kx::TreeCtrl& tree, const char* rootText, int selected) {
    // The cache anew: a reload never doubles the items.
    tree.DeleteAllItems();
    const HTREEITEM root = tree.InsertItem(QString::fromUtf8(rootText), 0, 0);
    tree.SetItemData(root, 0);
    KX_KXXXX().m_KeywordGroupList.ForEach([&](const CkxKeywordGroup& g) { AddGroup(tree, root, g); });
    tree.Expand(root, TVE_EXPAND);
    const HTREEITEM again = selected > 0 ? Find(tree, root, selected) : (selected == 0 ? root : nullptr);
    if (again) tree.SelectItem(again);
    return root;
}

HTREEITEM Find(const kx::TreeCtrl& tree, HTREEITEM root, int groupId) {
    for (HTREEITEM c = root ? tree.GetChildItem(root) : nullptr; c; c = tree.GetNextSiblingItem(c))
        if (tree.GetItemData(c) == groupId) return c;
    return nullptr;
}

int Selected(const kx::TreeCtrl& tree, HTREEITEM root) {
    const HTREEITEM item = tree.GetSelectedItem();
    if (!item) return -1;
    return item == root ? 0 : static_cast<int>(tree.GetItemData(item));
}

void Apply(kx::TreeCtrl& tree, HTREEITEM root, int code, int groupId) {
    const CkxKeywordGroup* g = KX_KXXXX().m_KeywordGroupList.Find(groupId);
    const HTREEITEM item = Find(tree, root, groupId);
    switch (code) {
    case kNoticeTagAdded:
        if (g && !item) {
            AddGroup(tree, root, *g);
            tree.Expand(root, TVE_EXPAND);
        }
        break;
    case kNoticeTagUpdated:
        if (g && item) tree.SetItemText(item, QString::fromStdString(g->m_strName));
        break;
    case kNoticeTagRemoved:
        if (item) {
            const bool wasSelected = tree.GetSelectedItem() == item;
            tree.DeleteItem(item);
            if (wasSelected) tree.SelectItem(root);
        }
        break;
    default: break;
    }
}

} // namespace keywordtree
