#include "frame/CMainFrame.h"

#include "infobar/CFileInfoBar.h"

#include "doc/CLocalStorage.h"
#include "session/CStudioLink.h"

#include "model/CkxFile.h"
#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "qt/KxSessionClose.h"

#include <QAction>
#include <QBuffer>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QThread>
#include <QTimer>

namespace {

QString PaneText(const std::string& text) {
    return text.empty() ? QStringLiteral("-") : QString::fromStdString(text);
}

// "<kind>"<name>"    [name]  [format]  [family]  [WxH]..." as the status line shows a file.
std::string Brackets(const CkxFile& f) {
    return "    [" + f.FormatName() + "]  [" + f.FormatEncFormat() + "]  [" + f.FormatFamily() + "]  [" +
           f.FormatWidth() + "x" + f.FormatHeight() + "]";
}

} // namespace

CMainFrame::CMainFrame(CStudioLink& link, QWidget* parent) : CGuiMDIFrame(parent), m_link(link) {}

// The acquisition's worker calls this frame's hook: it ends before the frame does.
CMainFrame::~CMainFrame() { ReleaseTwain(); }

bool CMainFrame::CreateBar(CStudioBar* bar, const char* title, int id, Qt::DockWidgetArea area) {
    if (!bar->Create(QString::fromUtf8(title), 0, this, id)) return false;
    bar->setAllowedAreas(area);
    addDockWidget(area, bar);
    bar->StyleDispl(kStyle);
    return true;
}

int CMainFrame::OnCreate() {
    InitMenu(LoadGuiTable(":/studio/menu128.txt"));
    InitToolBar(LoadGuiTable(":/studio/toolbar128.txt"));
    InitAccelerators(LoadGuiTable(":/studio/accel128.txt"));
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
    InitStatusBar({0, 0xE002, 0xE003, 0xE004});
    EnableDocking(Qt::AllDockWidgetAreas);
    m_wndToolBar->setAllowedAreas(Qt::TopToolBarArea);
    m_wndMenuBar.SetSaveHistory(kMenuHistory, true);
    StatusBar()->SetStyle(1);
    m_strBarsProfile = kBarsProfile;
    InitMDITabbed();
    // The look is applied once more when the window is up.
    QTimer::singleShot(300, this, [this] {
        for (CStudioBar* bar : {static_cast<CStudioBar*>(m_navigationBar), static_cast<CStudioBar*>(m_fileInfoBar),
                                static_cast<CStudioBar*>(m_workBar)})
            if (bar) bar->StyleDispl(kStyle);
        StyleDispl(kStyle);
    });
    SetPaneWidth(1, 138);
    SetPaneWidth(2, 100);
    SetPaneWidth(3, 138);
    SetReadyText("就绪");
    SetServerText("服务器: ");
    SetUserText("登录者: ");
    SetCaptionText(kOrganisation);

    m_navigationBar = new CNavigationBar(m_link, this);
    m_fileInfoBar = new CFileInfoBar(m_link, this);
    m_workBar = new CWorkBar(this, &m_link);
    if (!CreateBar(m_navigationBar, "导航窗口", IDW_NAVIGATION_BAR, Qt::LeftDockWidgetArea) ||
        !CreateBar(m_fileInfoBar, "属性窗口", IDW_FILEINFO_BAR, Qt::RightDockWidgetArea) ||
        !CreateBar(m_workBar, "工作窗口", IDW_WORK_BAR, Qt::BottomDockWidgetArea))
        return -1;
    m_workBar->AjustHorz(true, 500);
    m_workBar->AjustVert(true, 500);
    m_navigationBar->SetBarSize(250, 250);
    m_fileInfoBar->SetBarSize(280, 280);
    m_workBar->SetBarSize(200, 200);
    // The saved placement wins over the defaults above.
    LoadBars();
    OpenSourceManager(this);
    m_link.Register(kSlotMainWindow, this);
    setWindowTitle(QString::fromUtf8(kTitle));
    return 0;
}

// ---- Bars ----

void CMainFrame::ShowNavigationBar(bool show) {
    if (m_navigationBar) m_navigationBar->setVisible(show);
}
void CMainFrame::ShowFileInfoBar(bool show) {
    if (m_fileInfoBar) m_fileInfoBar->setVisible(show);
}
void CMainFrame::ShowWorkBar(bool show) {
    if (m_workBar) m_workBar->setVisible(show);
}
int CMainFrame::IsNavigationBarVisible() const { return m_navigationBar && m_navigationBar->isVisibleTo(this) ? 1 : 0; }
int CMainFrame::IsFileInfoBarVisible() const { return m_fileInfoBar && m_fileInfoBar->isVisibleTo(this) ? 1 : 0; }
int CMainFrame::IsWorkBarVisible() const { return m_workBar && m_workBar->isVisibleTo(this) ? 1 : 0; }

void CMainFrame::ShowDocumentArea(bool show) {
    if (QWidget* area = centralWidget()) area->setVisible(show);
}
int CMainFrame::IsDocumentAreaVisible() const {
    const QWidget* area = centralWidget();
    return area && area->isVisibleTo(this) ? 1 : 0;
}

void CMainFrame::ToggleToolBar() {
    if (m_wndToolBar) m_wndToolBar->setVisible(!m_wndToolBar->isVisibleTo(this));
}

void CMainFrame::DeleteMDITab(int index) {
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    if (index >= 0 && index < windows.size()) m_mdiArea->removeSubWindow(windows[index]);
}

// ---- Full screen ----

QToolBar* CMainFrame::MakeFullScreenToolBar() {
    const std::vector<GuiMenuEntry> table = LoadGuiTable(":/studio/toolbar221.txt");
    if (table.empty()) return nullptr;
    auto* bar = new CGuiToolBarWnd(this);
    bar->setObjectName(QString::number(ID_FULLSCREEN_TOOLBAR));
    bar->setWindowTitle(QString());
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const GuiMenuEntry& e : table)
        if (e.id) bar->addAction(MakeAction(e, bar));
    return bar;
}

int CMainFrame::ToggleFullScreen() {
    if (!m_bFullScreen) {
        QToolBar* bar = MakeFullScreenToolBar();
        // Nothing is changed before the bar exists: a failure leaves the window as it was.
        if (!bar) return 0;
        m_savedGeometry = geometry();
        m_bToolBarWasVisible = m_wndToolBar && m_wndToolBar->isVisibleTo(this);
        m_bStatusBarWasVisible = statusBar()->isVisibleTo(this);
        if (m_wndToolBar) m_wndToolBar->hide();
        statusBar()->hide();
        addToolBar(Qt::TopToolBarArea, bar);
        bar->setAllowedAreas(Qt::NoToolBarArea);
        bar->setFloatable(true);
        bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        bar->move(100, 100);
        bar->show();
        m_fullScreenBar = bar;
        m_bFullScreen = 1;
        showFullScreen();
        return 1;
    }
    if (m_fullScreenBar) {
        removeToolBar(m_fullScreenBar);
        delete m_fullScreenBar.data();
    }
    m_bFullScreen = 0;
    showNormal();
    if (m_wndToolBar) m_wndToolBar->setVisible(m_bToolBarWasVisible);
    statusBar()->setVisible(m_bStatusBarWasVisible);
    setGeometry(m_savedGeometry);
    return 1;
}

// ---- Status panes ----

void CMainFrame::SetReadyText(const std::string& text) { SetPaneText(0, ::PaneText(text)); }
void CMainFrame::SetServerText(const std::string& text) { SetPaneText(1, ::PaneText(text)); }
void CMainFrame::SetUserText(const std::string& text) { SetPaneText(2, ::PaneText(text)); }
void CMainFrame::SetCaptionText(const std::string& text) { SetPaneText(3, ::PaneText(text)); }

QString CMainFrame::PaneText(int index) const {
    const QLabel* pane = Pane(index);
    return pane ? pane->text() : QString();
}

void CMainFrame::ShowFileStatus(const CkxFile* file) {
    if (!file) return;
    const CkxFile& f = *file;
    const std::string name = "\"" + f.FormatName() + "\"";
    std::string line;
    if (f.GetID() < -1) {
        line = "本地文件" + name + Brackets(f) + "  目录＝" + f.FormatSourceDir();
    } else if (!KX_KXXXX().fsUserCan_File_Load(m_link.GetCurrentUserId(), f.m_nWriterID, f.GetPower())) {
        line = "查询文件" + name;
    } else if (f.IsDeleted()) {
        line = "回收站文件" + name + Brackets(f);
    } else {
        line = "查询文件" + name + Brackets(f) + "  目录＝" + f.FormatLocDir();
    }
    SetReadyText(line);
}

void CMainFrame::ShowFileInfo(const CkxFile* file) {
    if (file && m_fileInfoBar) m_fileInfoBar->ShowFile(file);
}
void CMainFrame::PreviewFile(int fileId) {
    if (m_fileInfoBar) m_fileInfoBar->PreviewFile(fileId);
}
void CMainFrame::StartSlideShow(int mode) {
    if (m_fileInfoBar) m_fileInfoBar->StartSlideShow(mode);
}
void CMainFrame::ShowFileList(int docId, int fileId) {
    if (m_fileInfoBar) m_fileInfoBar->ShowDocumentFile(docId, fileId);
}

// ---- Commands and acquisition ----

void CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_TWAIN_SELECT:
        if (!SelectSource() && NoSourceFound()) kx::Prompt(this, kNoScanner, kx::PromptOk, kx::PromptWarning);
        break;
    case ID_TWAIN_ACQUIRE:
        BeginTransfer();
        if (!Acquire(-1) && NoSourceFound()) kx::Prompt(this, kNoScanner, kx::PromptOk, kx::PromptWarning);
        break;
    default:
        if (m_onCommand) m_onCommand(id);
        break;
    }
}

void CMainFrame::SetCommandHandlers(std::function<void(int)> onCommand, std::function<void()> onUpdate) {
    m_onCommand = std::move(onCommand);
    m_onUpdate = std::move(onUpdate);
}

void CMainFrame::UpdateCommandStates() {
    if (m_onUpdate) m_onUpdate();
}

std::string CMainFrame::StoreAcquiredImage(const QImage& image) {
    if (image.isNull()) return {}; // a picture that cannot be converted is skipped
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG")) return {};
    const std::string path = TheLocalStorage().SaveToNewCaptureFile(std::string(jpeg.constData(), static_cast<size_t>(jpeg.size())));
    if (path.empty() && !m_bSaveFailureTold.exchange(true)) {
        // The user believes the image was captured: say once per transfer that it was not.
        const std::string text = "扫描图像无法保存到" + TheLocalStorage().GetCaptureDir();
        if (QThread::currentThread() == thread())
            kx::Prompt(this, text, kx::PromptOk, kx::PromptError);
        else
            QMetaObject::invokeMethod(this, [this, text] { kx::Prompt(this, text, kx::PromptOk, kx::PromptError); },
                                      Qt::QueuedConnection);
    }
    return path;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!kx::ConfirmSessionClose(this, m_link, kCloseQuestion)) {
        event->ignore();
        return;
    }
    ReleaseTwain();
    SaveBars();
    CGuiMDIFrame::closeEvent(event);
}
