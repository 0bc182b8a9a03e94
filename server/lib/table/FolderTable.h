// The folder table VUZO_Dir: one row per folder of the tree with its rights buffer. The rows
// are read back into a tree by LoadAll (the start-up load and the folder list).
#pragma once

#include "model/CkxFSNode.h"

#include <vector>

class CADODatabase;
class CkxFSTree;

namespace DirTable {

// Stores a new folder and puts the id the database gave into it; 1, or 0 (node unchanged).
int Insert(CADODatabase& db, CkxFSNode& node);
// Rewrites the row of the node's id; 1, or 0 (also when no row has the id).
int Update(CADODatabase& db, const CkxFSNode& node);
int Delete(CADODatabase& db, int folderId);
// Sets the level of one folder's row (levels of a moved subtree); 1 or 0.
int UpdateLevel(CADODatabase& db, int folderId, int level);
// Every folder, parents before children, into the tree (emptied first); the count, or -1
// (tree untouched) when the table cannot be read.
int LoadAll(CADODatabase& db, CkxFSTree& tree);
// The listed folders followed by every folder below them, read from the table's parent ids
// (the table, not memory, decides what would be left behind). Each folder once; false when
// the table cannot be read.
bool WithSubtrees(CADODatabase& db, const std::vector<int>& listed, std::vector<int>& out);

} // namespace DirTable
