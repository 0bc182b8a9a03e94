// Folder records for the tree tests: id, name, level and parent id, nothing else set (no
// links, handles or images), as a test writes them down.
#pragma once

#include "model/CkxFSNode.h"

inline CkxFSNode Folder(int id, const char* name, int lev, int parent) {
    CkxFSNode n;
    n.m_nID = id;
    n.m_strName = name;
    n.m_nLev = lev;
    n.m_nParentID = parent;
    return n;
}
