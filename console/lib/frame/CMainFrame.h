// Keeper's main window: the menu of the program, a tool bar, a status bar whose login and
// server panes the login dialog sets, and two columns: the navigation tree (one sixth of the
// width) and the view that shows one administration pane at a time. Commands it does not handle
// itself (showing and hiding its bars) go to the application's command handler; closing it
// while connected asks first and ends the session with the one log-off.
#pragma once

#include "frame/KeeperStatus.h"

#include <QMainWindow>

#include <functional>

class ConsoleLink;
class CWorkRightView;
class CWorkTreeView;
class QAction;
class QLabel;
class QSplitter;
class QToolBar;

class CMainFrame : public QMainWindow, public KeeperStatus {
    Q_OBJECT
public:
    static constexpr const char* kOwnerText = "Keeper";
    static constexpr const char* kCloseQuestion = "确定关闭管理器";

    explicit CMainFrame(ConsoleLink& link, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Where the application's commands go (lock, close, manual, about).
    void SetCommandHandler(std::function<void(int id)> handler) { m_onCommand = std::move(handler); }
    // Runs a command as its menu item does.
    void OnCommand(int id);

    void SetLoginPane(const std::string& text) override { SetLoginText(text); }
    void SetServerPane(const std::string& text) override { SetServerText(text); }
    QString GetLoginPane() const;
    QString GetServerPane() const;
    QString GetOperationPane() const;
    QString GetOwnerPane() const;
    // The four status panes; an empty text shows as "-".
    void SetOperationText(const std::string& text);
    void SetServerText(const std::string& text);
    void SetLoginText(const std::string& text);
    void SetOwnerText(const std::string& text);

    CWorkTreeView* TreeView() const { return m_tree; }
    CWorkRightView* RightView() const { return m_right; }
    QSplitter* Splitter() const { return m_splitter; }

    QToolBar* GetToolBar() const { return m_toolBar; }
    // The menu or tool-bar action of a command (its objectName is the id), or null.
    QAction* FindCommand(int id) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddCommand(class QMenu* menu, const QString& text, int id);
    void Layout();

    ConsoleLink& m_link;
    std::function<void(int)> m_onCommand;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_operationPane = nullptr;
    QLabel* m_loginPane = nullptr;
    QLabel* m_serverPane = nullptr;
    QLabel* m_ownerPane = nullptr;
    QSplitter* m_splitter = nullptr;
    CWorkTreeView* m_tree = nullptr;
    CWorkRightView* m_right = nullptr;
};
