// The project tree control the studio's project pane derives from: projects (CkxProject) with
// the folder control's operations, every project with images 0 and 1, a server item at the top
// level, and check boxes.
#pragma once

#include "model/CkxProject.h"
#include "model/KxExport.h"
#include "ui/KxServerTreeFamily.h"
#include "ui/KxTreeRecords.h"

#include <list>

// What the project control does where the family's members differ.
struct CkxWinProjectTreeCtrlPolicy : KxTreePolicy<false, true, 0, 1> {
    // The whole project, member list included; the engine keeps the copy's own handles.
    static void UpdateCopy(CkxProject& copy, const CkxProject& from) { copy = from; }
    static void FillServer(CkxProject& record, const CkxServer& server);
};

class KX_EXPORT CkxWinProjectTreeCtrl : public KxServerTreeFamily<CkxProject, CkxWinProjectTreeCtrlPolicy> {
public:
    using Base = KxServerTreeFamily<CkxProject, CkxWinProjectTreeCtrlPolicy>;
    using ProjectList = CkxProjectList::Projects;

    explicit CkxWinProjectTreeCtrl(QWidget* parent = nullptr);

    using Base::InitTreeCtrl;
    using Base::GetRootNode;
    // The normal image of every project (selected: the next index).
    int GetNodeIcon(const CkxProject&) const { return 0; }

    // At the top level with images 0/1; the record gets its item and a null parent item.
    HTREEITEM AddRoot(CkxProject& project);
    // Level 0 at the top level, any other under its parent's copy (not held: 0), expanding the
    // parent item when `expand` is not 0; images 0/1. The record gets both handles. 1 or 0.
    int AddNode(CkxProject& project, int expand);
    // Under `parent` with images 0/1 (null parent: null); the icon form is the same.
    using Base::AddNode;
    HTREEITEM AddNode_Icon(HTREEITEM parent, const CkxProject& project) { return Base::AddNode(parent, project); }

    // `first`, its siblings and their descendants that are in `projects`, under `item`.
    void AddChild(HTREEITEM item, const CkxProject* first, const ProjectList& projects);
    void AddChild(HTREEITEM item, const CkxProject* first, const ProjectList* projects);
    void AddChild_Icon(HTREEITEM item, const CkxProject* first, const ProjectList& projects) {
        AddChild(item, first, projects);
    }
    void AddChild_Icon(HTREEITEM item, const CkxProject* first, const ProjectList* projects) {
        AddChild(item, first, projects);
    }
    // From the list's first project (the first at the lowest level whose parent is not listed).
    void AddTree(HTREEITEM item, const ProjectList& projects);
    void AddTree_Icon(HTREEITEM item, const ProjectList& projects) { AddTree(item, projects); }
    // Level 0 at the top level, then each level under its parents; returns 1.
    int UpdateTree(const std::list<CkxProject>& projects);
    // Under its parent: a listed copy with the parent's id, else a listed sibling's parent item.
    HTREEITEM AddNode_ParentRange(const PositionList& positions, const CkxProject& project);

    // The first copy with `id`: its item (with its subtree), the copy and its descendants'
    // copies go. An id not held: nothing.
    void DeleteNode(int id) { DeleteSubtree(id); }

    using Base::CheckAllNode;
    using Base::DontCheckAllNode;
    using Base::DontCheckOtherNode;
};
