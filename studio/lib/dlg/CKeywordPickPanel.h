// The keyword picker shared by the keyword binding dialog and the keyword chooser: the group tree,
// the available keywords of the selected group, the bound keywords in the order they were bound,
// and the four move buttons. Its two sets follow the cache: a keyword deleted on the server
// leaves both, a new one becomes available, a renamed one shows its new name on both sides.
#pragma once

#include "dlg/CKeywordPicking.h"
#include "qt/KxTreeCtrl.h"

#include <QWidget>

#include <vector>

class QListWidget;
namespace kx {
class ReportList;
}

class CKeywordPickPanel : public QWidget {
    Q_OBJECT
public:
    enum ControlId {
        IDC_LIST = 1094, IDC_TREE = 1095, IDC_BOUND = 1133,
        IDC_BIND = 1134, IDC_UNBIND = 1135, IDC_BIND_GROUP = 1136, IDC_UNBIND_ALL = 1137,
    };

    explicit CKeywordPickPanel(QWidget* parent = nullptr);

    // Fills the tree from the cache, makes every keyword available and binds `bound` in order
    // (ids the cache lacks are skipped).
    void Start(const std::vector<int>& bound);

    // The tree's current item: -2 nothing selected, -1 the root, else the group id.
    int CurrentGroup() const;
    // The keyword of the list's first selected row, 0 when none.
    int SelectedKeyword() const;

    void Bind(int id);
    void Unbind(int id);
    void BindSelected();        // ">>" and a double click in the keyword list
    void UnbindCurrent();       // "<<" and a double click in the bound list
    void BindCurrentGroup();    // ">|": every available keyword of the selected group
    void UnbindAll();           // "|<"

    // A keyword or group change the dialog was told of (the WM_USER codes).
    void OnNotice(int code, int id);

    // The bound keywords in bound order.
    const std::vector<int>& BoundIds() const { return m_picking.Bound(); }
    const CKeywordPicking& Picking() const { return m_picking; }

    kx::TreeCtrl* Tree() const { return m_tree; }
    kx::ReportList* List() const { return m_list; }
    QListWidget* BoundList() const { return m_bound; }
    HTREEITEM RootItem() const { return m_root; }
    HTREEITEM GroupItem(int groupId) const;

private:
    void ShowList();
    void ShowBound();
    void ShowBoth();

    CKeywordPicking m_picking;
    kx::TreeCtrl* m_tree = nullptr;
    kx::ReportList* m_list = nullptr;
    QListWidget* m_bound = nullptr;
    HTREEITEM m_root = nullptr;
};
