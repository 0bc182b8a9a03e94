// What a tree test reads off a tree: the items as the widget shows them, and the ids of the
// control's copies in copy-list order.
#pragma once

#include "qt/KxTreeCtrl.h"

#include <string>
#include <vector>

// "name(child,child)" of the items from `first` on, the top level joined by spaces.
inline std::string Shape(kx::TreeCtrl& t, HTREEITEM first) {
    std::string s;
    for (HTREEITEM h = first; h; h = t.GetNextSiblingItem(h)) {
        if (!s.empty()) s += first == t.GetRootItem() ? " " : ",";
        s += t.GetItemText(h).toStdString();
        if (HTREEITEM child = t.GetChildItem(h)) s += "(" + Shape(t, child) + ")";
    }
    return s;
}

template <class Tree>
std::vector<int> CopyIds(const Tree& t) {
    typename Tree::RecordList all;
    t.GetTreeNode(all);
    std::vector<int> ids;
    for (const auto& n : all) ids.push_back(n.m_nID);
    return ids;
}
