// A folder hierarchy without a window: by-value copies of folder records in the order added,
// the hierarchy read from each copy's level and parent id alone (links, handles and images are
// carried, never followed). Offers code without a window the lookups the tree controls make:
// names, parents, children, descendants in hunt order, ancestors and paths, with the same
// "none" values. Ids are not checked on add; every walk is bounded by the number of copies and
// visits an id once, so copies whose parents form a cycle end as "ancestor not held".
#pragma once

#include "model/CkxFSNode.h"
#include "model/KxExport.h"

#include <list>
#include <string>
#include <vector>

class KX_EXPORT CxTree {
public:
    using NodeArray = std::vector<CkxFSNode>;
    using IdArray = std::vector<int>;
    using NodeList = std::list<CkxFSNode>;

    CxTree() = default;
    virtual ~CxTree() = default;

    // Appends a copy with the name right-trimmed of white space.
    void AddNode(const CkxFSNode& node);
    // The first copy with the node's id becomes the node as given (name untrimmed).
    void UpdateNode(const CkxFSNode& node);
    // Removes the first copy with the id only; its children stay.
    void DeleteNode(int id);
    void DeleteAllNode() { m_nodes.clear(); }

    // Lookups on the first copy with the id; 0, -1, -1 and empty when not held.
    int GetNode(int id, CkxFSNode& out) const;
    int GetNodeLevelNo(int id) const;
    std::string GetNodeName(int id) const;
    int GetNodeParentID(int id) const;
    // 1 when some copy names `id` as its parent.
    int IsHasChildNode(int id) const;

    // Empties the array, then the direct children in list order; returns the array's size.
    int GetChild(int id, NodeArray& out) const;
    int GetChild(int id, IdArray& out) const;
    // Appends, in hunt order, the ids of every descendant / copies of the descendants that have
    // no children; returns the array's size.
    int HuntChildTree(int id, IdArray& out) const;
    int HuntChildTree(int id, NodeArray& out) const;
    // `id` itself (whether held or not) then its descendants' ids; returns the array's size.
    int HuntNodeAndChildTree(int id, IdArray& out) const;
    // The node's copy then the childless descendants; 0 and nothing appended when not held.
    int HuntNodeAndChildTree(int id, NodeArray& out) const;
    // The node and its ancestors at the head of `out`, top level first; returns the list's
    // count, 0 when `id` or an ancestor is not held (what was put at the head stays).
    int HuntNodeAndParentNode(int id, NodeList& out) const;

    // Empties the array, then the first copy of that level; returns the array's size.
    int GetNodeForLevel(int level, NodeArray& out) const;
    // The first level-0 copy's id (-1) and name (empty).
    int GetRootNodeID() const;
    std::string GetRootNodeName() const;
    // The path: right-trimmed names from the top level down, each followed by one backslash;
    // empty when the node or an ancestor is not held. Display text: the backslash stays.
    std::string GetCurSelDir(int id) const;
    std::string GetDirPath(int id) const;

private:
    const CkxFSNode* Find(int id) const;
    // Descendants in hunt order: each generation's children in list order, then theirs. The
    // id form takes every one, the node form those without children.
    void HuntChildNodeID(int id, IdArray* ids, NodeArray* nodes) const;

    std::list<CkxFSNode> m_nodes;
};
