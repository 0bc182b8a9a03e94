// Keeper's operator groups pane: the groups as a tree (root "操作员分组") and the members of the
// selected group beside it; groups are created, changed, given members and deleted through the
// group dialog and the session, and the pane follows the server's answers.
#pragma once

#include <QWidget>

class ConsoleLink;
class QTreeWidget;
class QTreeWidgetItem;
namespace kx {
class PopupMenu;
class ReportList;
}

class CWndOperatorGroup : public QWidget {
public:
    enum { ID_NEW = 32783, ID_ASSOCIATE = 32784, ID_MODIFY = 32785, ID_DELETE = 32786 };
    static constexpr const char* kDeleteQuestion = "确定删除指定操作员分组";

    explicit CWndOperatorGroup(ConsoleLink& link, QWidget* parent = nullptr);

    void OnNotice(int notice, int groupId);
    void OnCommand(int id);
    // The pop-up a right click on the tree shows: 0 ("Title") on the root, else 1 ("Node").
    int PopupIndex() const;
    kx::PopupMenu* Menu(int index) const { return index == 0 ? m_menuTitle : m_menuNode; }

    QTreeWidget* Tree() const { return m_tree; }
    kx::ReportList* Members() const { return m_members; }
    QTreeWidgetItem* Root() const { return m_root; }
    // The group item with that id, or null.
    QTreeWidgetItem* FindGroupItem(int groupId) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rebuild();
    void ShowMembers();
    int SelectedGroupId() const;
    void EditGroup(bool associate);

    ConsoleLink& m_link;
    QTreeWidget* m_tree;
    kx::ReportList* m_members;
    QTreeWidgetItem* m_root;
    kx::PopupMenu* m_menuTitle;
    kx::PopupMenu* m_menuNode;
};
