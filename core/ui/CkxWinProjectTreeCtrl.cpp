#include "ui/CkxWinProjectTreeCtrl.h"

void CkxWinProjectTreeCtrlPolicy::FillServer(CkxProject& record, const CkxServer& server) {
    record.m_strName = server.m_strName;
    record.m_strNote = server.m_strRemark;
    record.m_nID = 0;
    record.m_nLev = 0;
    record.m_nParentID = 0;
    record.m_nNodeType = CkxNode::NODE_SERVER;
    // The data reference is the server record's address, which only the item data (pointer
    // sized) can carry; the record's 32-bit field stays 0.
    record.m_nFifth = 0;
    record.ClearUpperLink();
}

CkxWinProjectTreeCtrl::CkxWinProjectTreeCtrl(QWidget* parent) : Base(parent) {}

HTREEITEM CkxWinProjectTreeCtrl::AddRoot(CkxProject& project) { return AddTop(project, 0, 1); }

int CkxWinProjectTreeCtrl::AddNode(CkxProject& project, int expand) { return AddByLevel(project, expand, 0, 1); }

void CkxWinProjectTreeCtrl::AddChild(HTREEITEM item, const CkxProject* first, const ProjectList& projects) {
    BuildFrom(item, first, projects,
              [this](HTREEITEM under, const CkxProject& p) { return Base::AddNode(under, p); });
}

void CkxWinProjectTreeCtrl::AddChild(HTREEITEM item, const CkxProject* first, const ProjectList* projects) {
    if (projects) AddChild(item, first, *projects);
}

void CkxWinProjectTreeCtrl::AddTree(HTREEITEM item, const ProjectList& projects) {
    AddChild(item, CkxProjectList::FindFirstNode(projects), projects);
}

int CkxWinProjectTreeCtrl::UpdateTree(const std::list<CkxProject>& projects) {
    return FillByLevels(projects, FixedImages);
}

HTREEITEM CkxWinProjectTreeCtrl::AddNode_ParentRange(const PositionList& positions, const CkxProject& project) {
    return AddUnderParentRange(positions, project,
                               [this](HTREEITEM under, const CkxProject& p) { return Base::AddNode(under, p); });
}
