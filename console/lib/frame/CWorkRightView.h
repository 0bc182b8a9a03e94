// The right column of Keeper's main window: it holds the nine administration panes, each filling
// the view, one shown at a time (the online operators after start-up).
#pragma once

#include <QWidget>

#include <vector>

class ConsoleLink;
class CWndCatalog;
class CWndOperatorOnline;
class CWndServerInfo;

class CWorkRightView : public QWidget {
public:
    CWorkRightView(ConsoleLink& link, QWidget* parent = nullptr);

    void HideAllPanes();
    void ShowFileRolePane();
    void ShowFolderRolePane();
    void ShowCatalogPane();
    void ShowUserRolePane();
    void ShowOperatorPane();
    void ShowOnlinePane();
    void ShowLogPane();
    void ShowGroupPane();
    // Also gives the pane the focus and asks the server for fresh host information.
    void ShowServerInfoPane();

    // The pane shown now, or null.
    QWidget* CurrentPane() const;
    const std::vector<QWidget*>& Panes() const { return m_panes; }
    CWndOperatorOnline* OnlinePane() const { return m_online; }
    CWndServerInfo* ServerInfoPane() const { return m_serverInfo; }
    CWndCatalog* CatalogPane() const { return m_catalog; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Show(QWidget* pane);

    ConsoleLink& m_link;
    std::vector<QWidget*> m_panes; // in creation order
    QWidget* m_fileRole;
    QWidget* m_folderRole;
    CWndCatalog* m_catalog;
    QWidget* m_userRole;
    QWidget* m_operator;
    CWndOperatorOnline* m_online;
    QWidget* m_log;
    QWidget* m_group;
    CWndServerInfo* m_serverInfo;
};
