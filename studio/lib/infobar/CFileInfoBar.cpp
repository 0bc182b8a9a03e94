#include "infobar/CFileInfoBar.h"

#include "app/CVarniaStudioApp.h"
#include "app/CvClientApp.h"
#include "dlg/CDlgFileInfo.h"
#include "dlg/CDlgKeywordBind.h"
#include "doc/CLocalStorage.h"
#include "doc/CvClientDoc.h"
#include "session/CStudioLink.h"
#include "viewer/CxImageViewer.h"

#include "model/CkxFileX.h"
#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"
#include "ui/CDlgFileRefProjectAdmin.h"
#include "ui/CDlgSliderSetting.h"
#include "ui/CkxwFSFileQuickKeyEdit.h"

#include <QColorDialog>
#include <QKeyEvent>

#include <algorithm>
#include <thread>

namespace {

// Each button with the icon that shows its command; the picture tab has two strips, the view
// tools over the player, so both fit the bar's width.
struct ButtonSpec {
    int tab, strip, id;
    const char* caption;
    const char* icon;
};
const ButtonSpec kButtons[] = {
    {0, 0, CFileInfoBar::ID_TOOL_MOVE, "移动", "object-move"},
    {0, 0, CFileInfoBar::ID_ZOOM_OUT, "缩小", "zoom-out"},
    {0, 0, CFileInfoBar::ID_ORIGINAL, "原图", "zoom-original"},
    {0, 0, CFileInfoBar::ID_ZOOM_IN, "放大", "zoom-in"},
    {0, 0, CFileInfoBar::ID_FIT, "锁屏", "zoom-fit-best"},
    {0, 0, CFileInfoBar::ID_BKCOLOR, "背景色", "color-select"},
    {0, 1, CFileInfoBar::ID_SLIDE_SETTINGS, "幻灯片设置", "preferences-system"},
    {0, 1, CFileInfoBar::ID_PLAY, "开始", "media-playback-start"},
    {0, 1, CFileInfoBar::ID_STOP, "停止", "media-playback-stop"},
    {0, 1, CFileInfoBar::ID_RESET, "复位", "view-refresh"},
    {0, 1, CFileInfoBar::ID_FIRST, "第一帧", "go-first"},
    {0, 1, CFileInfoBar::ID_PREV5, "上五帧", "media-seek-backward"},
    {0, 1, CFileInfoBar::ID_PREV, "上一帧", "go-previous"},
    {0, 1, CFileInfoBar::ID_NEXT, "下一帧", "go-next"},
    {0, 1, CFileInfoBar::ID_NEXT5, "下五帧", "media-seek-forward"},
    {0, 1, CFileInfoBar::ID_LAST, "最后帧", "go-last"},
    {1, 0, CFileInfoBar::ID_EDIT_ATTRS, "修改文件属性", "document-properties"},
    {2, 0, CFileInfoBar::ID_EDIT_KEYWORDS, "设置关键字", "bookmark-new"},
    {3, 0, CFileInfoBar::ID_EDIT_QUICKKEYS, "设置快捷键", "insert-link"},
    {4, 0, CFileInfoBar::ID_EDIT_PROJECTS, "设置关联项目", "emblem-documents"},
};

const char* const kAttrLabels[15] = {"文件名称", "编码格式", "文件族类", "图像宽度", "图像高度",
                                     "文件大小", "创作者",   "录入者",   "修改者",   "创作时间",
                                     "录入时间", "修改时间", "创作地点", "存储目录", "备注"};

// Every edit button has its dialog.
bool HasDialog(int id) {
    return id == CFileInfoBar::ID_EDIT_ATTRS || id == CFileInfoBar::ID_EDIT_KEYWORDS ||
           id == CFileInfoBar::ID_EDIT_QUICKKEYS || id == CFileInfoBar::ID_EDIT_PROJECTS;
}

} // namespace

CFileInfoBar::CFileInfoBar(CStudioLink& link, QWidget* parent) : CStudioBar(parent), m_link(link) {
    m_sizeHorz = m_sizeVert = m_sizeFloat = QSize(280, 280);
    m_tabs = new CGuiTabWnd(this);
    m_tabs->setObjectName("39321");
    m_viewer = new CxImageViewer;
    m_viewer->setObjectName("4097");
    struct Columns {
        std::vector<std::pair<const char*, int>> cols;
    };
    const Columns columns[5] = {{{}},
                                {{{"属性名称", 80}, {"属性值", 200}}},
                                {{{"关键字列表", 200}}},
                                {{{"快捷键目录", 200}}},
                                {{{"名称", 60}, {"创建者", 60}, {"创建时间", 130}, {"备注", 150}}}};
    const char* titles[5] = {"看图", "属性", "关键字", "快捷键", "引用项目"};
    for (int tab = 0; tab < 5; ++tab) {
        auto* container = new CGuiContainer;
        for (int index = 0; index < (tab == 0 ? 2 : 1); ++index) {
            auto* strip = new CGuiMiniTool;
            strip->SetReceiver([this](int id) { OnCommand(id); });
            for (const ButtonSpec& b : kButtons) {
                if (b.tab != tab || b.strip != index) continue;
                CGuiToolButton* button = strip->AddButton(-1, b.id, nullptr, QString(), QString::fromUtf8(b.caption));
                button->SethIcon(kx::ToolIcon(b.icon));
                m_buttons.push_back(button);
            }
            container->AddComponen(strip);
        }
        if (tab == 0) {
            container->AddComponen(m_viewer);
        } else {
            auto* list = new kx::ReportList;
            int i = 0;
            for (const auto& [title, width] : columns[tab].cols) list->InsertColumn(i++, QString::fromUtf8(title), kx::LVCFMT_LEFT, width);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            m_lists[tab] = list;
            container->AddComponen(list);
        }
        m_tabs->Addtab(container, QString::fromUtf8(titles[tab]), tab);
    }
    for (int row = 0; row < 15; ++row) m_lists[TAB_ATTRS]->InsertItem(row, QString::fromUtf8(kAttrLabels[row]));
    for (int id : {ID_EDIT_ATTRS, ID_EDIT_KEYWORDS, ID_EDIT_QUICKKEYS, ID_EDIT_PROJECTS}) Button(id)->setEnabled(false);
    setWidget(m_tabs);
    SetBarIcon(kBarIconInfo);
    setFocusPolicy(Qt::StrongFocus);
    m_play.SetPlayParam(KX_KXXXX().m_PlayParam);
    if (CVarniaStudioApp* app = theApp()) SetTransitionType(app->GetSliderSpec());
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(); });
    link.Register(kSlotFileDetails, this);
}

CFileInfoBar::~CFileInfoBar() { m_timer.stop(); }

kx::ReportList* CFileInfoBar::List(int tab) const { return tab > 0 && tab < 5 ? m_lists[tab] : nullptr; }

CGuiToolButton* CFileInfoBar::Button(int id) const {
    for (CGuiToolButton* b : m_buttons)
        if (b->objectName().toInt() == id) return b;
    return nullptr;
}

bool CFileInfoBar::SetTransitionType(int type) {
    if (!m_viewer || type < CkxPlaySpec::TYPE_FRAME || type > CkxPlaySpec::TYPE_WEAVING) return false;
    m_viewer->GetPlaySpec().SetType(type);
    return true;
}

bool CFileInfoBar::IsTransitionType(int type) const {
    return m_viewer && m_viewer->GetPlaySpec().GetType() == type;
}

std::string CFileInfoBar::DateText(const COleDateTime& m) { return kx::DateText(static_cast<DATE>(m)); }

// ---- Showing ----

CvClientDoc* CFileInfoBar::ActiveDoc() const {
    CvClientApp* app = CvClientApp::Current();
    return app ? app->GetFirstDoc() : nullptr;
}

void CFileInfoBar::Show(const CkxFile* file, CvClientDoc* doc) {
    if (!file) return Clear();
    const CkxXXX& c = KX_KXXXX();
    const int user = m_link.GetCurrentUserId();
    const CkxPowerEx power = file->GetPower();
    const bool canLoad = c.fsUserCan_File_Load(user, file->m_nWriterID, power) != 0;
    const bool canFull = c.fsUserCan_File_FullCtrl(user, file->m_nWriterID, power) != 0;
    const int id = file->GetID();
    const bool byOther = c.coIsFileCheckouted(id) && !c.coIsUserCheckoutFile(id, user);
    const bool localOrBin = doc && (doc->GetKind() == CvClientDoc::KIND_LOCAL || doc->IsRecycleBin());
    if (!doc || localOrBin || canLoad) {
        m_nFileId = id;
        m_shown.CreateObj(*file);
        m_viewer->ShowFile(m_shown.GetObj(), m_play.IsAutoPlay());
        FillAttributes();
        FillKeywords();
        FillQuickKeys();
        FillProjects();
    } else {
        Clear();
    }
    const bool editable = doc && doc->IsServerDoc() && !doc->IsRecycleBin() && canFull && !byOther;
    for (int b : {ID_EDIT_ATTRS, ID_EDIT_KEYWORDS, ID_EDIT_QUICKKEYS, ID_EDIT_PROJECTS})
        Button(b)->setEnabled(editable && HasDialog(b));
}

void CFileInfoBar::Clear() {
    m_nFileId = -1;
    m_shown.Destroy();
    m_viewer->RestoreView();
    for (int row = 0; row < 15; ++row) m_lists[TAB_ATTRS]->SetItemText(row, 1, QString());
    for (int tab : {TAB_KEYWORDS, TAB_QUICKKEYS, TAB_PROJECTS}) m_lists[tab]->DeleteAllItems();
}

void CFileInfoBar::FillAttributes() {
    if (!m_shown.GetObj()) return;
    const CkxFile& f = *m_shown.GetObj();
    const std::string values[15] = {f.FormatName(),     f.FormatEncFormat(), f.FormatFamily(),    f.FormatWidth(),
                                    f.FormatHeight(),   f.FormatSize(),      f.FormatAuthor(),    f.FormatWriter(),
                                    f.FormatEditor(),   f.FormatAuthTime(),  f.FormatWriteTime(), f.FormatEditTime(),
                                    f.FormatAuthAddr(), f.FormatLocDir(),    f.FormatRemark()};
    for (int row = 0; row < 15; ++row) m_lists[TAB_ATTRS]->SetItemText(row, 1, QString::fromStdString(values[row]));
}

void CFileInfoBar::FillKeywords() {
    kx::ReportList* list = m_lists[TAB_KEYWORDS];
    list->DeleteAllItems();
    if (m_nFileId == -1) return;
    const CkxXXX& c = KX_KXXXX();
    std::vector<int> ids;
    c.m_KeywordLinkList.GetFileKeyword(m_nFileId, ids);
    for (int id : ids) {
        const CkxKeyword* k = c.m_KeywordList.Find(id);
        if (!k) continue; // a link to a keyword that is gone
        const int row = list->InsertItem(list->GetItemCount(), QString::fromStdString(k->m_strName));
        list->SetItemData(row, id);
    }
}

void CFileInfoBar::FillQuickKeys() {
    kx::ReportList* list = m_lists[TAB_QUICKKEYS];
    list->DeleteAllItems();
    if (m_nFileId == -1) return;
    const CkxXXX& c = KX_KXXXX();
    CkxFSQuickKeyList::KeyPtrs keys;
    c.m_QuickKeyList.GetFileQuickKey(m_nFileId, keys);
    for (const CkxFSQuickKey* k : keys) {
        const int row = list->InsertItem(list->GetItemCount(), QString::fromStdString(c.fsGetDirPath(k->m_nDirID)));
        list->SetItemData(row, k->GetID());
    }
}

void CFileInfoBar::FillProjects() {
    kx::ReportList* list = m_lists[TAB_PROJECTS];
    list->DeleteAllItems();
    if (m_nFileId == -1) return;
    const CkxXXX& c = KX_KXXXX();
    std::vector<int> projects;
    c.m_ProjectDataList.GetFileRefProject(m_nFileId, projects);
    for (int id : projects) {
        const CkxProject* p = c.m_ProjectList.Find(id);
        if (!p) continue;
        const int row = list->InsertItem(list->GetItemCount(), QString::fromStdString(p->m_strName));
        list->SetItemText(row, 1, QString::fromStdString(c.m_UserList.GetName(p->m_nCreatorID)));
        list->SetItemText(row, 2, QString::fromStdString(DateText(p->m_dtCreate)));
        list->SetItemText(row, 3, QString::fromStdString(p->m_strDescribe));
        list->SetItemData(row, id);
    }
}

void CFileInfoBar::ShowFile(const CkxFile* file) {
    m_nMode = 0;
    m_play.Stop();
    m_timer.stop();
    Show(file, nullptr);
}

void CFileInfoBar::PreviewFile(int fileId, int mode) {
    CvClientDoc* doc = ActiveDoc();
    if (!doc) return;
    m_nMode = mode;
    m_play.Start(mode);
    ShowDocFile(doc, fileId);
}

void CFileInfoBar::ShowDocumentFile(int docId, int fileId, int mode) {
    CvClientApp* app = CvClientApp::Current();
    CvClientDoc* doc = app ? app->FindDoc(docId) : nullptr;
    if (!doc) return;
    m_nMode = mode;
    m_play.Start(mode);
    ShowDocFile(doc, fileId);
}

void CFileInfoBar::ShowDocFile(CvClientDoc* doc, int fileId) {
    const CkxFile* file = doc ? doc->FindFile(fileId) : nullptr;
    if (!file) return;
    if (file->IsMemWholeValid()) return Show(file, doc);
    CkxFileX copy;
    copy.CreateObj(*file);
    CkxFile* c = copy.GetObj();
    if (!c) return;
    if (doc->GetKind() == CvClientDoc::KIND_LOCAL) {
        c->LoadMemWhole(file->GetSourcePath());
    } else if (doc->IsServerDoc()) {
        CkxBuf bytes;
        if (TheLocalStorage().LoadEncryptedCopy(doc->GetDocID(), file->GetIDName(), bytes)) c->UpdateWhole(bytes);
    } else {
        return;
    }
    Show(c, doc);
}

// ---- The slide show ----

void CFileInfoBar::StartSlideShow(int mode) {
    CvClientDoc* doc = ActiveDoc();
    if (!doc) return;
    m_nDocId = doc->GetDocID();
    m_nMode = mode;
    m_play.Start(mode);
    m_play.SetCount(doc->GetFileCount());
    m_play.ToIndex(std::max(0, doc->GetSelectedItem()));
    ShowCurrent();
    m_timer.stop();
    if (m_play.IsAutoPlay()) m_timer.start(std::max(kMinIntervalMs, m_play.GetPlayParam().GetPlayTimerSpeed()));
}

void CFileInfoBar::ShowCurrent() {
    CvClientApp* app = CvClientApp::Current();
    CvClientDoc* doc = app ? app->FindDoc(m_nDocId) : nullptr;
    if (!doc) doc = ActiveDoc();
    if (!doc) return;
    const int index = m_play.GetCurIndex();
    int id = doc->GetItemFileID(index);
    if (id == -1) // no browser: the set's own order
        if (const CkxFile* f = doc->GetFileAt(index)) id = f->GetID();
    ShowDocFile(doc, id);
}

void CFileInfoBar::OnTimer() {
    if (!m_play.IsAutoPlay()) return;
    // The next picture only once the viewer's transition is done.
    if (!m_viewer->IsTransitionIdle()) return m_timer.start(kMinIntervalMs);
    CvClientApp* app = CvClientApp::Current();
    CvClientDoc* doc = app ? app->FindDoc(m_nDocId) : nullptr;
    if (!doc) return m_play.Stop();
    m_play.SetCount(doc->GetFileCount());
    m_play.ToIndex(m_play.GetNextIndex());
    ShowCurrent();
    m_timer.start(std::max(kMinIntervalMs, m_play.GetPlayParam().GetPlayTimerSpeed()));
}

void CFileInfoBar::Navigate(int id) {
    CvClientDoc* doc = ActiveDoc();
    if (!doc) return;
    if (m_nDocId == -1 || !CvClientApp::Current()->FindDoc(m_nDocId)) m_nDocId = doc->GetDocID();
    m_play.Stop();
    m_timer.stop();
    m_viewer->ResetEffect();
    if (CvClientDoc* walked = CvClientApp::Current()->FindDoc(m_nDocId)) m_play.SetCount(walked->GetFileCount());
    switch (id) {
    case ID_FIRST: m_play.ToFirst(); break;
    case ID_PREV5: m_play.ToPrev5(); break;
    case ID_PREV: m_play.ToPrev(); break;
    case ID_NEXT: m_play.ToNext(); break;
    case ID_NEXT5: m_play.ToNext5(); break;
    case ID_LAST: m_play.ToLast(); break;
    default: break;
    }
    ShowCurrent();
}

void CFileInfoBar::keyPressEvent(QKeyEvent* event) {
    if (event->text() == "n" || event->text() == "N") OnCommand(ID_NEXT);
    CStudioBar::keyPressEvent(event);
}

void CFileInfoBar::hideEvent(QHideEvent* event) {
    // Leaving the bar ends the show at once.
    m_timer.stop();
    m_play.Stop();
    CStudioBar::hideEvent(event);
}

// ---- Commands ----

void CFileInfoBar::OnCommand(int id) {
    static const char* const kTitles[5] = {"浏览", "属性", "关键字", "快捷键", "引用项目"};
    if (id >= ID_TAB_VIEW && id <= ID_TAB_PROJECTS) {
        m_tabs->SetCurtab(id - ID_TAB_VIEW);
        setWindowTitle(QString::fromUtf8(kTitles[id - ID_TAB_VIEW]));
        return;
    }
    const int apply = m_play.IsAutoPlay() ? 0 : 1;
    switch (id) {
    case ID_TOOL_MOVE: m_nTool = id; return;
    case ID_ZOOM_OUT: m_viewer->ZoomOut(apply); return;
    case ID_ORIGINAL: m_viewer->SetOriginalSize(apply); return;
    case ID_ZOOM_IN: m_viewer->ZoomIn(apply); return;
    case ID_FIT: m_viewer->FitToWindow(apply); return;
    case ID_BKCOLOR: {
        const QColor chosen = QColorDialog::getColor(Qt::black, this);
        if (chosen.isValid())
            m_viewer->SetBkColor(static_cast<unsigned long>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16)));
        return;
    }
    case ID_SLIDE_SETTINGS: {
        CkxPlayParam param = KX_KXXXX().m_PlayParam;
        if (!KX_ShowDlg_SliderSetting(param)) return;
        KX_KXXXX().m_PlayParam = param;
        if (CVarniaStudioApp* app = theApp()) app->SetSliderSetting(param);
        m_play.SetPlayParam(param);
        return;
    }
    case ID_PLAY:
        if (!ActiveDoc()) return;
        if (m_nDocId == -1 || !CvClientApp::Current()->FindDoc(m_nDocId)) m_nDocId = ActiveDoc()->GetDocID();
        m_play.Start();
        m_timer.start(std::max(kMinIntervalMs, m_play.GetPlayParam().GetPlayTimerSpeed()));
        return;
    case ID_STOP:
        m_play.Stop();
        m_timer.stop();
        m_viewer->ResetEffect();
        ShowCurrent();
        return;
    case ID_RESET:
        m_play.Reset();
        m_timer.stop();
        m_viewer->ResetEffect();
        m_play.ToFirst();
        ShowCurrent();
        return;
    case ID_FIRST:
    case ID_PREV5:
    case ID_PREV:
    case ID_NEXT:
    case ID_NEXT5:
    case ID_LAST: return Navigate(id);
    case ID_EDIT_ATTRS: return EditAttributes();
    case ID_EDIT_KEYWORDS: return EditKeywords();
    case ID_EDIT_QUICKKEYS: return EditQuickKeys();
    case ID_EDIT_PROJECTS: return EditProjects();
    default: return;
    }
}

void CFileInfoBar::EditAttributes() {
    // The button's gate (a server document's file the user fully controls, not checked out by
    // another) stands for the command too.
    if (m_nFileId == -1 || m_shown.IsEmpty() || !Button(ID_EDIT_ATTRS)->isEnabled()) return;
    CDlgFileInfo dlg(this);
    static_cast<CkxFile&>(dlg.m_File) = *m_shown.GetObj();
    dlg.m_nFileGiven = 1;
    dlg.SetModifyMode();
    dlg.HideFamilyPart();
    if (dlg.DoModal() != kx::IDOK) return;
    m_link.SendFileAttrUpdateRequest(dlg.m_File);
}

void CFileInfoBar::EditKeywords() {
    if (m_nFileId == -1 || m_shown.IsEmpty()) return;
    // A copy of its own: the slide show may show another file while the dialog is open.
    const CkxFileX file(m_shown);
    CDlgKeywordBind dlg(m_link, this);
    dlg.m_pFile = file.GetObj();
    if (dlg.DoModal() != kx::IDOK) return;
    CkxKeywordLinkList links;
    dlg.GetKeywordLinks(links);
    if (m_link.SendFileKeywordLinkRequest(file.GetID(), links) == CServerLink::kTooManyEntries)
        kx::Prompt(this, kTooMany, kx::PromptOk, kx::PromptWarning);
}

void CFileInfoBar::EditQuickKeys() {
    if (m_nFileId == -1) return;
    const int fileId = m_nFileId;
    CkxFSQuickKeyList keys;
    KX_KXXXX().m_QuickKeyList.GetFileQuickKey(fileId, keys);
    if (!KX_ShowDlg_FSFileQuickKeyEdit(fileId, keys)) return;
    if (m_link.SendFileQuickKeyRequest(fileId, keys) == CServerLink::kTooManyEntries)
        kx::Prompt(this, kTooMany, kx::PromptOk, kx::PromptWarning);
}

void CFileInfoBar::EditProjects() {
    if (m_nFileId == -1) return;
    const int fileId = m_nFileId;
    // The dialog reads the file's links itself and appends the resulting set.
    CkxProjectDataList links;
    if (!KX_ShowDlg_FileRefProjectAdmin(fileId, links)) return;
    if (m_link.SendFileProjectRequest(fileId, links) == CServerLink::kTooManyEntries)
        kx::Prompt(this, kTooMany, kx::PromptOk, kx::PromptWarning);
}

kx::LRESULT CFileInfoBar::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM) {
    if (message != kx::WM_USER) return 0;
    const int code = static_cast<int>(wParam);
    if (code >= kNoticeReload && code <= kNoticeRemoved) FillKeywords();
    else if (code >= kNoticeTagReload && code <= kNoticeTagRemoved) FillQuickKeys();
    else if (code >= kNoticeShareReload && code <= kNoticeShareRemoved) FillProjects();
    return 1;
}
