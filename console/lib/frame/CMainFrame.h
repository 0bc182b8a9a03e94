// Keeper's main window: the menu of the program, a tool bar and a status bar whose login and
// server panes the login dialog sets. Commands it does not handle itself (showing and hiding
// its bars) go to the application's command handler.
#pragma once

#include "frame/KeeperStatus.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QToolBar;

class CMainFrame : public QMainWindow, public KeeperStatus {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Where the application's commands go (lock, close, manual, about).
    void SetCommandHandler(std::function<void(int id)> handler) { m_onCommand = std::move(handler); }
    // Runs a command as its menu item does.
    void OnCommand(int id);

    void SetLoginPane(const std::string& text) override;
    void SetServerPane(const std::string& text) override;
    QString GetLoginPane() const;
    QString GetServerPane() const;

    QToolBar* GetToolBar() const { return m_toolBar; }
    // The menu or tool-bar action of a command (its objectName is the id), or null.
    QAction* FindCommand(int id) const;

private:
    QAction* AddCommand(class QMenu* menu, const QString& text, int id);

    std::function<void(int)> m_onCommand;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_loginPane = nullptr;
    QLabel* m_serverPane = nullptr;
};
