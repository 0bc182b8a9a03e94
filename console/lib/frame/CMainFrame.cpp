#include "frame/CMainFrame.h"

#include "frame/KeeperCommands.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
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
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    lock->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    lock->setToolTip(QStringLiteral("锁定管理器"));
    close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    close->setToolTip(QStringLiteral("关闭管理器"));
    QAction* about = FindCommand(ID_APP_ABOUT);
    about->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    about->setToolTip(QStringLiteral("关于 Keeper"));
    m_toolBar->addAction(lock);
    m_toolBar->addAction(close);
    m_toolBar->addSeparator();
    m_toolBar->addAction(about);

    m_loginPane = new QLabel(QStringLiteral("登录者: "), this);
    m_serverPane = new QLabel(QStringLiteral("服务器: "), this);
    m_loginPane->setObjectName(QStringLiteral("loginPane"));
    m_serverPane->setObjectName(QStringLiteral("serverPane"));
    m_loginPane->setMinimumWidth(140);
    m_serverPane->setMinimumWidth(160);
    statusBar()->addPermanentWidget(m_loginPane);
    statusBar()->addPermanentWidget(m_serverPane);
    statusBar()->showMessage(QStringLiteral("就绪"));
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

void CMainFrame::SetLoginPane(const std::string& text) { m_loginPane->setText(QString::fromStdString(text)); }
void CMainFrame::SetServerPane(const std::string& text) { m_serverPane->setText(QString::fromStdString(text)); }
QString CMainFrame::GetLoginPane() const { return m_loginPane->text(); }
QString CMainFrame::GetServerPane() const { return m_serverPane->text(); }
