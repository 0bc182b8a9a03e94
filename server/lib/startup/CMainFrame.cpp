#include "startup/CMainFrame.h"

#include "startup/CVarniaServer.h"
#include "qt/KxPrompt.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), CDialogHost(this) {
    setWindowTitle(QString::fromUtf8(kTitle));
    m_status = new QLabel(QStringLiteral("服务器正在启动..."), this);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setMargin(24);
    setCentralWidget(m_status);

    QMenu* menu = menuBar()->addMenu(QStringLiteral("服务器(&S)"));
    QAction* db = menu->addAction(QStringLiteral("数据库配置(&D)..."));
    connect(db, &QAction::triggered, this, [this] { OnDatabaseSettings(); });
    QAction* storage = menu->addAction(QStringLiteral("存储器管理(&R)..."));
    connect(storage, &QAction::triggered, this, [this] { OnStorageRoots(); });
    menu->addSeparator();
    QAction* quit = menu->addAction(QStringLiteral("退出(&X)"));
    connect(quit, &QAction::triggered, this, [this] { close(); });
    resize(480, 240);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::ShowRunning() {
    if (!m_pServer) return;
    m_status->setText(QStringLiteral("服务器正在运行\n端口 %1\n%2")
                          .arg(m_pServer->GetListenPort())
                          .arg(QString::fromStdString(m_pServer->GetConfig().GetDataFolder())));
}

void CMainFrame::CloseWindow() {
    m_bLeaving = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_bLeaving) {
        m_bLeaving = false;
        event->accept();
        return;
    }
    if (kx::Prompt(this, kAskClose, kx::PromptYesNo, kx::PromptQuestion) != kx::AnswerYes) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::OnDatabaseSettings() {
    if (m_pServer) m_pServer->DatabaseSettings();
}

void CMainFrame::OnStorageRoots() {
    if (m_pServer) m_pServer->StorageRoots();
}
