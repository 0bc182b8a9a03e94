#include "frame/CMainFrame.h"

#include "frame/CWorkRightView.h"
#include "frame/CWorkTreeView.h"
#include "frame/KeeperCommands.h"
#include "frame/SixthSplitter.h"
#include "link/ConsoleLink.h"
#include "qt/KxElidedLabel.h"
#include "qt/KxImageList.h"
#include "qt/KxPrompt.h"
#include "qt/KxSessionClose.h"

#include <QAction>
#include <QCloseEvent>
#include <QSplitter>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

CMainFrame::CMainFrame(ConsoleLink& link, QWidget* parent) : QMainWindow(parent), m_link(link) {
    setWindowTitle(QStringLiteral("Keeper"));
    resize(800, 560);

    QMenu* system = menuBar()->addMenu(QStringLiteral("系统(&S)"));
    QAction* lock = AddCommand(system, QStringLiteral("锁定管理器(&L)"), ID_APP_LOCK);
    lock->setStatusTip(QStringLiteral("锁定管理器"));
    system->addSeparator();
    QAction* close = AddCommand(system, QStringLiteral("关闭管理器(&X)"), ID_APP_CLOSE);
    close->setStatusTip(QStringLiteral("关闭管理器"));

    QMenu* view = menuBar()->addMenu(QStringLiteral("查看(&V)"));
    QAction* toolBar = AddCommand(view, QStringLiteral("工具栏(&T)"), ID_VIEW_TOOLBAR);
    QAction* statusBarItem = AddCommand(view, QStringLiteral("状态栏(&S)"), ID_VIEW_STATUS_BAR);
    toolBar->setCheckable(true);
    toolBar->setChecked(true);
    statusBarItem->setCheckable(true);
    statusBarItem->setChecked(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    AddCommand(help, QStringLiteral("用户手册"), ID_HELP_FINDER);
    help->addSeparator();
    AddCommand(help, QStringLiteral("关于 Keeper..."), ID_APP_ABOUT);

    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    lock->setIcon(kx::ToolIcon("system-lock-screen"));
    lock->setToolTip(QStringLiteral("锁定管理器"));
    close->setIcon(kx::ToolIcon("application-exit"));
    close->setToolTip(QStringLiteral("关闭管理器"));
    QAction* about = FindCommand(ID_APP_ABOUT);
    about->setIcon(kx::ToolIcon("help-about"));
    about->setToolTip(QStringLiteral("关于 Keeper"));
    m_toolBar->addAction(lock);
    m_toolBar->addAction(close);
    m_toolBar->addSeparator();
    m_toolBar->addAction(about);

    auto pane = [this](const char* name, int width) {
        // The stretching pane draws what fits of a long text instead of widening the window.
        QLabel* label = width > 0 ? new QLabel(this) : new kx::ElidedLabel(this);
        label->setObjectName(QString::fromUtf8(name));
        if (width > 0) label->setFixedWidth(width);
        return label;
    };
    m_operationPane = pane("operationPane", 0);
    m_serverPane = pane("serverPane", 138);
    m_loginPane = pane("loginPane", 100);
    m_ownerPane = pane("ownerPane", 138);
    statusBar()->addWidget(m_operationPane, 1);
    statusBar()->addPermanentWidget(m_serverPane);
    statusBar()->addPermanentWidget(m_loginPane);
    statusBar()->addPermanentWidget(m_ownerPane);
    SetOperationText("就绪");
    SetServerText("服务器: ");
    SetLoginText("登录者: ");
    SetOwnerText(kOwnerText);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName("splitter");
    m_tree = new CWorkTreeView(link, m_splitter);
    m_right = new CWorkRightView(link, m_splitter);
    m_tree->SetRightView(m_right);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    // The tree fills itself when the user list is complete (told before this): then its labels'
    // width is known.
    link.ObserveUserListEnd(this, [this] { Layout(); });
    Layout();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddCommand(QMenu* menu, const QString& text, int id) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::number(id));
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    return action;
}

QAction* CMainFrame::FindCommand(int id) const {
    return findChild<QAction*>(QString::number(id));
}

void CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR: {
        QWidget* bar = id == ID_VIEW_TOOLBAR ? static_cast<QWidget*>(m_toolBar) : statusBar();
        const bool show = !bar->isVisibleTo(this);
        bar->setVisible(show);
        if (QAction* item = FindCommand(id)) item->setChecked(show);
        break;
    }
    default:
        if (m_onCommand) m_onCommand(id);
        break;
    }
}

namespace {

void SetPane(QLabel* pane, const std::string& text) {
    pane->setText(text.empty() ? QStringLiteral("-") : QString::fromStdString(text));
}

} // namespace

void CMainFrame::SetOperationText(const std::string& text) { SetPane(m_operationPane, text); }
void CMainFrame::SetServerText(const std::string& text) { SetPane(m_serverPane, text); }
void CMainFrame::SetLoginText(const std::string& text) { SetPane(m_loginPane, text); }
void CMainFrame::SetOwnerText(const std::string& text) { SetPane(m_ownerPane, text); }
QString CMainFrame::GetLoginPane() const { return m_loginPane->text(); }
QString CMainFrame::GetServerPane() const { return m_serverPane->text(); }
QString CMainFrame::GetOperationPane() const { return m_operationPane->text(); }
QString CMainFrame::GetOwnerPane() const { return m_ownerPane->text(); }

void CMainFrame::Layout() {
    if (m_splitter) kx::SetFirstColumnToSixth(*m_splitter, m_splitter->width(), m_tree ? m_tree->LabelsWidth() : 0);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Layout();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!kx::ConfirmSessionClose(this, m_link, kCloseQuestion)) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
