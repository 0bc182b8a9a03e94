// The navigation tree of Keeper's main window: the root "服务器" and, once the user list is
// complete, the items the logged-on administrator's rights allow; selecting one shows its pane
// in the right view.
#pragma once

#include <QTreeWidget>

class ConsoleLink;
class CWorkRightView;

class CWorkTreeView : public QTreeWidget {
public:
    CWorkTreeView(ConsoleLink& link, QWidget* parent = nullptr);

    void SetRightView(CWorkRightView* view) { m_rightView = view; }
    // Rebuilds the items under the root from the current user's rights.
    void Fill();
    // Shows the pane of the item when the user's role allows it; else the current pane stays.
    void OnSelChanged(QTreeWidgetItem* item);

    QTreeWidgetItem* Root() const { return m_root; }
    // The item with that text under the root (or below "安全性"), or null.
    QTreeWidgetItem* FindItem(const QString& text) const;
    // How wide the tree must be to show every item's icon and label whole.
    int LabelsWidth() const;

private:
    ConsoleLink& m_link;
    CWorkRightView* m_rightView = nullptr;
    QTreeWidgetItem* m_root = nullptr;
    QTreeWidgetItem* m_security = nullptr;
    QTreeWidgetItem* m_userRoles = nullptr;
    QTreeWidgetItem* m_users = nullptr;
    QTreeWidgetItem* m_userGroups = nullptr;
    QTreeWidgetItem* m_serverInfo = nullptr;
    QTreeWidgetItem* m_online = nullptr;
    QTreeWidgetItem* m_log = nullptr;
};
