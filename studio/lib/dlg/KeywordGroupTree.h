// The keyword-group tree of the keyword dialogs: a root item over one item per group of the
// cache (item data: the group id, 0 for the root), rebuilt on a reload and kept in step with the
// groups the server adds, renames and removes.
#pragma once

#include "qt/KxTreeCtrl.h"

namespace keywordtree {

// Empties the tree and fills it from the cache under a root with `rootText`, expanded; selects
// the item of `selected` again (0 the root, above 0 a group, below 0 nothing). Returns the root.
HTREEITEM Fill(kx::TreeCtrl& tree, const char* rootText, int selected);
// The item of the group, or null.
HTREEITEM Find(const kx::TreeCtrl& tree, HTREEITEM root, int groupId);
// The selected item: 0 the root, above 0 a group id, -1 nothing.
int Selected(const kx::TreeCtrl& tree, HTREEITEM root);
// A group added, updated or removed (the tag notices; a reload is Fill's). When the removed
// group was selected, the root is selected instead. Ids the cache lacks change nothing.
void Apply(kx::TreeCtrl& tree, HTREEITEM root, int code, int groupId);

} // namespace keywordtree
