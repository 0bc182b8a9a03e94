#include "app/StudioCommands.h"

#include "app/CVarniaStudioApp.h"
#include "dlg/CDlgAbout.h"
#include "dlg/CDlgDocWindows.h"
#include "dlg/CDlgKeywordAdmin.h"
#include "dlg/CDlgLogin.h"
#include "dlg/CDlgPersonAdmin.h"
#include "dlg/CDlgPrintLayout.h"
#include "dlg/CDlgQueryFile.h"
#include "dlg/CDlgQueryKeyword.h"
#include "dlg/CDlgQueryTempletAdmin.h"
#include "frame/CMainFrame.h"
#include "infobar/CFileInfoBar.h"
#include "print/CPrintJob.h"
#include "print/CPrinterState.h"
#include "session/CStudioLink.h"

#include "image/CxImage.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "ui/CDlgGetDate.h"
#include "ui/CDlgGetPerson.h"
#include "ui/CDlgSliderSetting.h"
#include "ui/CkxPlaySpec.h"
#include "ui/CkxwDlgPowerSet.h"
#include "ui/CkxwIPC.h"

#include <QAction>
#include <QFile>
#include <QMetaObject>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

#include <algorithm>
#include <filesystem>

namespace {

// Per column the commands of the ten ranges (today ... time range); the code is
// column * 10 + range + 1.
constexpr int kQuickIds[3][10] = {
    {32946, 32947, 32948, 32950, 32951, 32952, 32953, 32949, 32954, 32955},
    {32922, 32923, 32929, 32925, 32926, 32927, 32928, 32937, 32939, 32941},
    {32930, 32931, 32932, 32933, 32934, 32935, 32936, 32938, 32940, 32942},
};

std::vector<CStudioCommands::QuickQuery> BuildQuickQueries() {
    std::vector<CStudioCommands::QuickQuery> table;
    for (int column = 0; column < 3; ++column)
        for (int range = 0; range < 10; ++range)
            table.push_back({kQuickIds[column][range], column, range, column * 10 + range + 1});
    return table;
}

// The transition commands and the player's types they choose.
struct Transition {
    int id;
    int type;
};
constexpr Transition kTransitions[] = {
    {CStudioCommands::ID_SPEC_FRAME, CkxPlaySpec::TYPE_FRAME},     {CStudioCommands::ID_SPEC_SCAN, CkxPlaySpec::TYPE_SCAN},
    {CStudioCommands::ID_SPEC_MOVE, CkxPlaySpec::TYPE_MOVE},       {CStudioCommands::ID_SPEC_MOSAIC, CkxPlaySpec::TYPE_MOSIC},
    {CStudioCommands::ID_SPEC_BLOCK, CkxPlaySpec::TYPE_BLOCK},     {CStudioCommands::ID_SPEC_SHUTTER, CkxPlaySpec::TYPE_SHUTTER},
    {CStudioCommands::ID_SPEC_WEAVING, CkxPlaySpec::TYPE_WEAVING},
};

const Transition* FindTransition(int id) {
    for (const Transition& t : kTransitions)
        if (t.id == id) return &t;
    return nullptr;
}

COleDateTime DayOf(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }
COleDateTime AddDays(const COleDateTime& day, int days) { return COleDateTime(static_cast<DATE>(day) + days); }
// The last day of the month: the day before the next month's first.
COleDateTime LastDayOf(int year, int month) {
    return AddDays(month == 12 ? DayOf(year + 1, 1, 1) : DayOf(year, month + 1, 1), -1);
}

} // namespace

CStudioCommands::CStudioCommands(CVarniaStudioApp& app) : m_app(app) {}

// ---- Date ranges ----

CkxDt2 CStudioCommands::DateRange(int range, const COleDateTime& now) {
    const COleDateTime today = DayOf(now.GetYear(), now.GetMonth(), now.GetDay());
    switch (range) {
    case RANGE_TODAY: return kx::WholeDays(today, today);
    case RANGE_YESTERDAY: return kx::WholeDays(AddDays(today, -1), AddDays(today, -1));
    case RANGE_DAY_BEFORE: return kx::WholeDays(AddDays(today, -2), AddDays(today, -2));
    case RANGE_THIS_WEEK:
    case RANGE_LAST_WEEK: {
        // Sunday to Saturday (day of week 1 to 7).
        const int dow = today.GetDayOfWeek();
        const int back = range == RANGE_LAST_WEEK ? 7 : 0;
        return kx::WholeDays(AddDays(today, -(dow - 1) - back), AddDays(today, 7 - dow - back));
    }
    case RANGE_THIS_MONTH:
        return kx::WholeDays(DayOf(today.GetYear(), today.GetMonth(), 1), LastDayOf(today.GetYear(), today.GetMonth()));
    case RANGE_LAST_MONTH: {
        const int year = today.GetMonth() == 1 ? today.GetYear() - 1 : today.GetYear();
        const int month = today.GetMonth() == 1 ? 12 : today.GetMonth() - 1;
        return kx::WholeDays(DayOf(year, month, 1), LastDayOf(year, month));
    }
    default: return CkxDt2();
    }
}

// ---- Quick queries ----

const CStudioCommands::QuickQuery* CStudioCommands::FindQuickQuery(int id) {
    static const std::vector<QuickQuery> table = BuildQuickQueries();
    for (const QuickQuery& q : table)
        if (q.id == id) return &q;
    return nullptr;
}

CvClientDoc* CStudioCommands::RunQuickQuery(int id) {
    const QuickQuery* q = FindQuickQuery(id);
    // The limit is told before any picker runs, and a cancelled picker leaves nothing open.
    if (!q || !m_app.CanOpenDoc()) return nullptr;
    CkxDt2 range;
    switch (q->range) {
    case RANGE_SOME_DAY:
        if (!KX_ShowDlg_GetDay(range)) return nullptr;
        break;
    case RANGE_SOME_MONTH:
        if (!KX_ShowDlg_GetMonth(range)) return nullptr;
        break;
    case RANGE_SPAN:
        if (!KX_ShowDlg_GetTimeRange(range)) return nullptr;
        break;
    default: range = DateRange(q->range, COleDateTime::GetCurrentTime()); break;
    }
    CStudioLink& link = m_app.GetLink();
    switch (q->column) {
    case COLUMN_CREATION: return m_app.QueryByAuthTime(link, range.m_dtStart, range.m_dtEnd, q->code);
    case COLUMN_ENTRY: return m_app.QueryByWriteTime(link, range.m_dtStart, range.m_dtEnd, q->code);
    default: return m_app.QueryByEditTime(link, range.m_dtStart, range.m_dtEnd, q->code);
    }
}

CvClientDoc* CStudioCommands::RunPersonQuery(int id) {
    if (!m_app.CanOpenDoc()) return nullptr;
    CStudioLink& link = m_app.GetLink();
    const CkxXXX& c = KX_KXXXX();
    int chosen = -1;
    switch (id) {
    case ID_QUERY_AUTHOR:
        if (!KX_ShowDlg_GetPerson(kAuthorTitle, chosen) || !c.m_PersonList.Find(chosen)) return nullptr;
        return m_app.QueryByAuthor(link, chosen, CvClientDoc::QQ_AUTHOR);
    case ID_QUERY_WRITER:
        if (!KX_ShowDlg_SelectUser(kWriterTitle, chosen) || !c.m_UserList.Find(chosen)) return nullptr;
        return m_app.QueryByWriter(link, chosen, CvClientDoc::QQ_WRITER);
    case ID_QUERY_EDITOR:
        if (!KX_ShowDlg_SelectUser(kEditorTitle, chosen) || !c.m_UserList.Find(chosen)) return nullptr;
        return m_app.QueryByEditor(link, chosen, CvClientDoc::QQ_EDITOR);
    default: return nullptr;
    }
}

// ---- Layouts ----

void CStudioCommands::ApplyLayout(int state) {
    CMainFrame* frame = m_app.GetMainFrame();
    if (!frame || state < VIEW_DEFAULT || state > VIEW_FULL) return;
    // Full screen sizes the bar from the whole screen, which the window fills once the window
    // system has made it full screen.
    const QScreen* screen = frame->screen();
    const QSize client = state == VIEW_FULL && screen ? screen->geometry().size() : frame->rect().size();
    // The big and full screens give the information bar the whole width: a shown document area
    // would keep its minimum width (about a fifth of the window) from the bar.
    frame->ShowDocumentArea(state < VIEW_BIG);
    if (state == VIEW_DEFAULT) {
        frame->ShowNavigationBar(true);
        frame->ShowFileInfoBar(true);
        frame->ShowWorkBar(true);
        frame->NavigationBar()->SetBarSize(250, 250);
        frame->FileInfoBar()->SetBarSize(280, 280);
        frame->WorkBar()->SetBarSize(200, 200);
    } else {
        frame->ShowNavigationBar(false);
        frame->ShowFileInfoBar(state != VIEW_BROWSE);
        frame->ShowWorkBar(false);
        // Three fifths of the width: multiplied first, so the integer division keeps it.
        if (state == VIEW_BROWSE_AND_VIEW) frame->FileInfoBar()->SetBarSize(client.width() * 3 / 5, client.height());
        else if (state != VIEW_BROWSE) frame->FileInfoBar()->SetBarSize(client.width(), client.height());
    }
    m_app.SetViewState(state);
    if (state == VIEW_FULL && !frame->IsFullScreen()) frame->ToggleFullScreen();
}

void CStudioCommands::OnRestoreLayout() {
    CMainFrame* frame = m_app.GetMainFrame();
    if (!frame) return;
    const bool wasFull = frame->IsFullScreen();
    ApplyLayout(m_app.GetPrevViewState());
    if (wasFull && frame->IsFullScreen()) frame->ToggleFullScreen();
}

void CStudioCommands::ToggleBar(int id) {
    CMainFrame* frame = m_app.GetMainFrame();
    if (!frame) return;
    switch (id) {
    case ID_VIEW_NAVIGATION: frame->ShowNavigationBar(!frame->IsNavigationBarVisible()); break;
    case ID_VIEW_FILEINFO: frame->ShowFileInfoBar(!frame->IsFileInfoBarVisible()); break;
    case ID_VIEW_WORK: frame->ShowWorkBar(!frame->IsWorkBarVisible()); break;
    default: break;
    }
}

// ---- Printing ----

void CStudioCommands::OnPrint() {
    CMainFrame* frame = m_app.GetMainFrame();
    if (!m_app.HasPrinter()) {
        m_app.ShowError(kNoPrinter);
        return;
    }
    // Only what the information bar shows is printed, and it shows only what the user may load.
    const CkxFile* file = frame && frame->FileInfoBar() ? frame->FileInfoBar()->ShownFile() : nullptr;
    if (!file) return;
    int orientation = m_app.GetPrintOrientation();
    int fitMode = m_app.GetPrintFitMode();
    if (m_app.GetPrintShow() == 1) {
        CDlgPrintLayout dlg(m_app, frame);
        if (dlg.DoModal() != kx::IDOK) return;
        orientation = dlg.m_nOrientation;
        fitMode = dlg.m_nFitMode;
    }
    CPrintJob& job = m_app.GetPrintJob();
    job.SetOrientation(orientation);
    job.SetFitMode(fitMode);
    m_app.PrintFile(*file);
}

void CStudioCommands::OnPrintLayout() {
    if (!m_app.HasPrinter()) {
        m_app.ShowError(kNoPrinter);
        return;
    }
    CDlgPrintLayout dlg(m_app, m_app.GetMainFrame());
    dlg.DoModal();
}

void CStudioCommands::OnPrintSetup() {
    m_app.EnsurePrinter();
    QPrintDialog dlg(m_app.Printer().GetPrinter(), m_app.GetMainFrame());
    dlg.setObjectName(QString::number(ID_PRINT_SETUP));
    // Set-up only: which pages, a selection or a file are no questions here.
    dlg.setOption(QAbstractPrintDialog::PrintToFile, false);
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dlg.exec();
    m_app.SavePrinterDevMode();
}

// ---- The player ----

void CStudioCommands::OnSlideSettings() {
    CkxPlayParam param = KX_KXXXX().m_PlayParam;
    m_app.GetSliderSetting(param);
    if (!KX_ShowDlg_SliderSetting(param)) return;
    m_app.SetSliderSetting(param);
    if (CMainFrame* frame = m_app.GetMainFrame(); frame && frame->FileInfoBar())
        frame->FileInfoBar()->PlayCtrl().SetPlayParam(param);
}

void CStudioCommands::OnTransition(int id) {
    const Transition* t = FindTransition(id);
    CMainFrame* frame = m_app.GetMainFrame();
    if (!t || !frame || !frame->FileInfoBar()) return;
    frame->FileInfoBar()->SetTransitionType(t->type);
    m_app.SetSliderSpec(t->type);
}

// ---- Files and windows ----

void CStudioCommands::OpenLocalNewWindow() {
    if (!m_app.CanOpenDoc()) return;
    KxStrings paths;
    std::string ext;
    if (CkxwFileSystem::ShowDlg_OpenFile(paths, ext) <= 0 || paths.empty()) return;
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* doc = m_app.OpenNewDoc();
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_NONE);
    m_app.LoadLocalPaths(doc, paths);
}

void CStudioCommands::OpenLocalChooseWindow() {
    CDlgDocWindowChooser chooser(m_app, m_app.GetMainFrame());
    if (chooser.DoModal() != kx::IDOK) return;
    CvClientDoc* doc = chooser.m_nDocID >= 0 ? m_app.FindDoc(chooser.m_nDocID) : nullptr;
    if (!doc && !m_app.CanOpenDoc()) return;
    KxStrings paths;
    std::string ext;
    if (CkxwFileSystem::ShowDlg_OpenFile(paths, ext) <= 0 || paths.empty()) return;
    // The chosen document may have closed while the file dialog was open.
    if (chooser.m_nDocID >= 0) doc = m_app.FindDoc(chooser.m_nDocID);
    if (!doc) {
        CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
        doc = m_app.OpenNewDoc();
        CvClientDoc::SetNextDocKind(CvClientDoc::KIND_NONE);
    }
    m_app.LoadLocalPaths(doc, paths);
}

std::string CStudioCommands::ManualFile() const {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path beside = fs::path(m_app.GetAppDir().empty() ? CkxwFileSystem::GetAppDir() : m_app.GetAppDir()) / kManualName;
    if (fs::is_regular_file(beside, ec)) return beside.string();
    // Not installed beside the program: the program's own copy, written to its data folder.
    QFile own(QStringLiteral(":/studio/") + QString::fromUtf8(kManualName));
    if (!own.open(QIODevice::ReadOnly)) return {};
    const fs::path out = fs::path(CVarniaStudioApp::DataFolder()) / kManualName;
    fs::create_directories(out.parent_path(), ec);
    QFile file(QString::fromStdString(out.string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(own.readAll()) < 0) return {};
    return out.string();
}

void CStudioCommands::OnManual() {
    const std::string path = ManualFile();
    // "Not found" only when there is no manual to open; the opener says when nothing opens it.
    if (path.empty()) m_app.ShowError(kManualMissing);
    else CkxwFileSystem::OpenFileDef(path);
}

void CStudioCommands::OnLogin() {
    if (!m_app.GetLoggedInUser().empty()) return;
    CDlgLogin login(m_app, m_app.GetMainFrame());
    if (login.DoModal() == kx::IDOK) m_app.RequestInitialLists();
}

int CStudioCommands::CurrentUserId() const { return m_app.GetLink().GetCurrentUserId(); }

// ---- The table ----

bool CStudioCommands::OnCommand(int id) {
    CMainFrame* frame = m_app.GetMainFrame();
    CStudioLink& link = m_app.GetLink();
    if (FindQuickQuery(id)) {
        RunQuickQuery(id);
        return true;
    }
    if (FindTransition(id)) {
        OnTransition(id);
        return true;
    }
    if (id >= ID_PLAY_START && id <= ID_PLAY_LAST) {
        if (frame && frame->FileInfoBar()) frame->FileInfoBar()->OnCommand(CFileInfoBar::ID_PLAY + id - ID_PLAY_START);
        return true;
    }
    if (id >= ID_NAV_FAMILY && id <= ID_NAV_QUICK) {
        if (frame && frame->NavigationBar()) frame->NavigationBar()->SelectPage(id - ID_NAV_FAMILY);
        return true;
    }
    if (id >= ID_INFO_BROWSE && id <= ID_INFO_PROJECTS) {
        if (frame && frame->FileInfoBar()) frame->FileInfoBar()->OnCommand(id);
        return true;
    }
    if (id >= ID_LAYOUT_DEFAULT && id <= ID_LAYOUT_FULL) {
        ApplyLayout(id - ID_LAYOUT_DEFAULT + VIEW_DEFAULT);
        return true;
    }
    switch (id) {
    case ID_APP_ABOUT: {
        CDlgAbout about(frame);
        about.DoModal();
        return true;
    }
    case ID_LOGIN: OnLogin(); return true;
    case ID_LOCK: {
        CDlgLogin lock(m_app, frame);
        lock.SetLockMode();
        lock.DoModal();
        return true;
    }
    case ID_CLOSE_CLIENT:
        if (frame) QMetaObject::invokeMethod(frame, "close", Qt::QueuedConnection);
        return true;
    case ID_PERSON_ADMIN:
        if (KX_KXXXX().usHasPower_PersonOperate(CurrentUserId())) {
            CDlgPersonAdmin dlg(link, frame);
            dlg.DoModal();
        }
        return true;
    case ID_KEYWORD_ADMIN:
        if (KX_KXXXX().usHasPower_KeywordOperate(CurrentUserId())) {
            CDlgKeywordAdmin dlg(link, frame);
            dlg.DoModal();
        }
        return true;
    case ID_FILE_NEW:
        if (m_app.CanOpenDoc()) {
            CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
            m_app.OpenNewDoc();
            CvClientDoc::SetNextDocKind(CvClientDoc::KIND_NONE);
        }
        return true;
    case ID_FILE_OPEN:
    case ID_OPEN_NEW_WINDOW: OpenLocalNewWindow(); return true;
    case ID_OPEN_CHOOSE_WINDOW: OpenLocalChooseWindow(); return true;
    case ID_QUERY_FILE: CDlgQueryFile::QueryFiles(link, frame, nullptr); return true;
    case ID_QUERY_KEYWORD: {
        CDlgQueryKeyword dlg(link, frame);
        if (dlg.DoModal() != kx::IDOK) return true;
        if (dlg.IsMatchAll()) m_app.QueryByKeywordsAll(link, dlg.m_keywordIds);
        else m_app.QueryByKeywordsAny(link, dlg.m_keywordIds);
        return true;
    }
    case ID_TEMPLET_ADMIN: {
        CDlgQueryTempletAdmin dlg(link, frame);
        dlg.SetPanelMode(0);
        dlg.DoModal();
        return true;
    }
    case ID_QUERY_AUTHOR:
    case ID_QUERY_WRITER:
    case ID_QUERY_EDITOR: RunPersonQuery(id); return true;
    case ID_PRINT: OnPrint(); return true;
    case ID_PRINT_LAYOUT: OnPrintLayout(); return true;
    case ID_FILE_PRINT_SETUP:
    case ID_PRINT_SETUP: OnPrintSetup(); return true;
    case ID_SLIDE_SETTINGS: OnSlideSettings(); return true;
    case ID_TINTWORK: CkxwFileSystem::OpenFileOnTintwork(""); return true;
    case ID_VIEW_NAVIGATION:
    case ID_VIEW_FILEINFO:
    case ID_VIEW_WORK: ToggleBar(id); return true;
    case ID_LAYOUT_RESTORE: OnRestoreLayout(); return true;
    case ID_VIEW_TOOLBAR:
        if (frame) frame->ToggleToolBar();
        return true;
    case ID_DOC_MANAGER: {
        CDlgDocWindowManager dlg(m_app, frame);
        dlg.DoModal();
        return true;
    }
    case ID_MANUAL: OnManual(); return true;
    case ID_SELECT_ALL:
        if (CvClientDoc* doc = m_app.GetFirstDoc()) doc->SelectAllItems();
        return true;
    case ID_EDIT_PASTE: return true; // nothing to paste into; the item only shows the clipboard
    default: return false;
    }
}

// ---- States ----

QAction* CStudioCommands::Action(int id) const {
    CMainFrame* frame = m_app.GetMainFrame();
    return frame ? frame->FindCommand(id) : nullptr;
}

void CStudioCommands::UpdateCommandUI() {
    CMainFrame* frame = m_app.GetMainFrame();
    if (!frame) return;
    const CkxXXX& c = KX_KXXXX();
    auto enable = [this](int id, bool on) {
        if (QAction* a = Action(id)) a->setEnabled(on);
    };
    auto check = [this](int id, bool on) {
        if (QAction* a = Action(id)) {
            a->setCheckable(true);
            a->setChecked(on);
        }
    };
    enable(ID_LOGIN, m_app.GetLoggedInUser().empty());
    enable(ID_PERSON_ADMIN, c.usHasPower_PersonOperate(CurrentUserId()) != 0);
    enable(ID_KEYWORD_ADMIN, c.usHasPower_KeywordOperate(CurrentUserId()) != 0);
    CFileInfoBar* info = frame->FileInfoBar();
    for (const Transition& t : kTransitions) check(t.id, info && info->IsTransitionType(t.type));
    check(ID_VIEW_NAVIGATION, frame->IsNavigationBarVisible() != 0);
    check(ID_VIEW_FILEINFO, frame->IsFileInfoBarVisible() != 0);
    check(ID_VIEW_WORK, frame->IsWorkBarVisible() != 0);
    check(ID_VIEW_TOOLBAR, frame->ToolBar() && frame->ToolBar()->isVisibleTo(frame));
    CxImage clip;
    enable(ID_EDIT_PASTE, CkxwIPC::CopyImageFromClipboard(clip) != 0);
}
