#include "browser/CxFileBrowser.h"

#include "app/CVarniaStudioApp.h"
#include "app/CvClientApp.h"
#include "browser/BrowserFileCommands.h"
#include "browser/CWholeFileWorker.h"
#include "doc/CvClientDoc.h"
#include "frame/CMainFrame.h"
#include "session/CServerLink.h"

#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "qt/KxWaitCursor.h"
#include "qt/KxPopupMenu.h"
#include "ui/CkxwFileListView.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QResizeEvent>

namespace {

struct ButtonSpec {
    int id;
    const char* tip;
    const char* icon; // a bundled icon (kx::ToolIcon), the same on every desktop
};

const ButtonSpec kButtons[] = {
    {CxFileBrowser::BTN_LARGE, "大图标", "view-grid"},
    {CxFileBrowser::BTN_SMALL, "小图标", "view-app-grid"},
    {CxFileBrowser::BTN_LIST, "列表", "view-list-bullet"},
    {CxFileBrowser::BTN_REPORT, "详细信息", "view-list"},
    {CxFileBrowser::BTN_MICRO, "微缩图", "image-x-generic"},
    {CxFileBrowser::BTN_MICRO_MENU, "微缩模式", "view-more"},
    {CxFileBrowser::BTN_BATCH, "文件批量注释", "document-edit"},
    {CxFileBrowser::BTN_UPLOAD, "上载到服务器", "send-to"},
    {CxFileBrowser::BTN_UPDATE, "更新到服务器", "emblem-synchronizing"},
    {CxFileBrowser::BTN_REQUERY, "重新查询", "view-refresh"},
    {CxFileBrowser::BTN_SLIDE, "幻灯片", "media-playback-start"},
    {CxFileBrowser::BTN_FIRST_PAGE, "第一页", "media-skip-backward"},
    {CxFileBrowser::BTN_PREV_PAGE, "上一页", "media-seek-backward"},
    {CxFileBrowser::BTN_NEXT_PAGE, "下一页", "media-seek-forward"},
    {CxFileBrowser::BTN_LAST_PAGE, "最后页", "media-skip-forward"},
};

struct ThumbSize {
    int menuId, contextId, mode;
    const char* text;
};
const ThumbSize kThumbs[] = {
    {ID_MICRO50, ID_CTX_MICRO50, 16, "微缩图(50x50)"},    {ID_MICRO70, ID_CTX_MICRO70, 64, "微缩图(70x70)"},
    {ID_MICRO90, ID_CTX_MICRO90, 256, "微缩图(90x90)"},   {ID_MICRO110, ID_CTX_MICRO110, 1024, "微缩图(110x110)"},
    {ID_MICRO130, ID_CTX_MICRO130, 4096, "微缩图(130x130)"},
};

struct Column {
    const char* header;
    int width;
};
const Column kColumns[] = {{"文件名称", 100}, {"编码格式", 80},  {"文件族类", 80},  {"图像宽度", 60},  {"图像高度", 60},
                           {"文件大小", 60},  {"创作者", 100},   {"录入者", 100},   {"修改者", 100},   {"创作时间", 130},
                           {"录入时间", 130}, {"修改时间", 130}, {"创作地点", 130}, {"存储目录", 130}, {"备注", 150}};

} // namespace

CxFileBrowser::CxFileBrowser(CvClientDoc& doc, CServerLink* link, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_link(link) {
    setObjectName("CxFileBrowser");
    setFocusPolicy(Qt::StrongFocus);
    m_thumbMenu = new kx::PopupMenu(this);
    for (const ThumbSize& t : kThumbs) m_thumbMenu->AppendMenu(QString::fromUtf8(t.text), t.menuId);

    m_captionBar = new CGuiMiniTool(this);
    m_captionBar->setObjectName("caption");
    m_captionBar->SetBorder(1);
    m_captionBar->SetCaption(QString(), 0);
    for (const ButtonSpec& b : kButtons) {
        auto* button = new CGuiToolButton(this);
        button->setObjectName(QString::number(b.id));
        button->SetToolTip(QString::fromUtf8(b.tip));
        button->SethIcon(kx::ToolIcon(b.icon));
        button->setAutoRaise(true);
        const int id = b.id;
        connect(button, &QToolButton::clicked, this, [this, id] { OnCommand(id); });
        if (id >= BTN_FIRST_PAGE) button->hide(); // paging has no behaviour
        m_buttons.push_back(button);
    }
    m_list = new CkxwFileListView(this);
    m_list->setObjectName(QString::number(ID_FILE_LIST));
    m_batch = new CxFileBatchNote(doc, this);
    m_batch->setObjectName(QString::number(ID_BATCH_VIEW));
    m_batch->hide();
    connect(m_list, &CkxwFileListView::SelectionChanged, this, [this] { OnItemChanged(); });
    connect(m_list, &CkxwFileListView::ItemClicked, this, [this](int row) { OnItemClicked(row); });
    connect(m_list, &CkxwFileListView::ItemDoubleClicked, this, [this](int row) { OnItemDoubleClicked(row); });
    connect(m_list, &CkxwFileListView::ItemRightClicked, this, [this](int, const QPoint& at) { OnItemRightClicked(at); });

    m_worker = std::make_unique<CWholeFileWorker>(doc, link);
    m_commands = std::make_unique<BrowserFileCommands>(*this);
    // Rows follow the document from the start, whatever arrives before the first showing.
    m_doc.SetBrowser(this);
    m_doc.AddView(this);
    resize(600, 400);
}

CxFileBrowser::~CxFileBrowser() {
    // The worker goes first: the document and its folder go after this view.
    m_worker->Stop();
    m_doc.SetBrowserReady(false);
    if (m_doc.GetBrowser() == this) m_doc.SetBrowser(nullptr);
}

CGuiToolButton* CxFileBrowser::ToolButton(int id) const {
    for (CGuiToolButton* b : m_buttons)
        if (b->objectName().toInt() == id) return b;
    return nullptr;
}

// ---- Showing ----

void CxFileBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_bInitialised) OnInitialUpdate();
}

void CxFileBrowser::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    OnActivate();
}

void CxFileBrowser::OnInitialUpdate() {
    if (m_bInitialised) return;
    m_bInitialised = true;
    const bool local = m_doc.GetKind() == CvClientDoc::KIND_LOCAL;
    for (int id : {BTN_UPLOAD, BTN_UPDATE, BTN_REQUERY}) ToolButton(id)->setEnabled(false);
    ToolButton(BTN_REQUERY)->setVisible(!local);
    for (int id : {BTN_BATCH, BTN_UPLOAD, BTN_UPDATE}) ToolButton(id)->setVisible(m_bBatchMode);
    ShowFileList();
    m_list->SetBrowseMode(CkxwFileListView::MODE_MICRO50);
    SetupColumns();
    // Files that came before the first showing.
    for (POSITION p = m_doc.GetFirstFilePosition(); p;)
        if (CkxFile* f = m_doc.GetNextFile(p); f && m_list->GetFileItem(f->GetID()) < 0) OnFileInserted(f);
    SetCaption(m_doc.GetCaption());
    m_bReady = m_worker->Start(m_doc.IsServerDoc());
    if (m_bReady) m_doc.SetBrowserReady(true);
    Layout();
}

void CxFileBrowser::OnActivate() {
    if (m_bActivated) return;
    m_bActivated = true;
    m_worker->Activate();
}

void CxFileBrowser::SetupColumns() {
    int i = 0;
    for (const Column& c : kColumns) m_list->InsertColumn(i++, c.header, kx::LVCFMT_LEFT, c.width);
}

void CxFileBrowser::FillRow(int row, const CkxFile& f) {
    const std::string texts[] = {f.FormatName(),      f.FormatEncFormat(), f.FormatFamily(),    f.FormatWidth(),
                                 f.FormatHeight(),    f.FormatSize(),      f.FormatAuthor(),    f.FormatWriter(),
                                 f.FormatEditor(),    f.FormatAuthTime(),  f.FormatWriteTime(), f.FormatEditTime(),
                                 f.FormatAuthAddr(),  f.FormatLocDir(),    f.FormatRemark()};
    int column = 0;
    for (const std::string& t : texts) m_list->SetItemText(row, column++, t);
}

void CxFileBrowser::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void CxFileBrowser::Layout() {
    const int w = width(), h = height();
    m_captionBar->setGeometry(0, 0, w, kCaptionHeight);
    m_list->setGeometry(0, kCaptionHeight, w, std::max(0, h - kCaptionHeight - 1));
    m_batch->setGeometry(0, kCaptionHeight, w, std::max(0, h - kCaptionHeight - 1));
    auto place = [&](int id, int x) { ToolButton(id)->setGeometry(x, 3, kButtonWidth, kButtonHeight); };
    place(BTN_SLIDE, w - 30);
    place(BTN_REQUERY, w - 55);
    int p = w - 80;
    if (m_bBatchMode) {
        place(BTN_UPDATE, w - 80);
        place(BTN_UPLOAD, w - 105);
        place(BTN_BATCH, w - 130);
        p = w - 155;
    }
    int x = p;
    for (int id : {BTN_MICRO_MENU, BTN_MICRO, BTN_REPORT, BTN_LIST, BTN_SMALL, BTN_LARGE}) place(id, x -= kButtonWidth);
    m_nButtonsLeft = x;
    for (CGuiToolButton* b : m_buttons) b->raise();
    FitCaption();
    m_list->ArrangeItem();
}

void CxFileBrowser::FitCaption() {
    // The buttons lie over the strip: its caption ends a little before the first of them, so a
    // narrow window shows the start and end of a long caption, never buttons over its text.
    constexpr int kGap = 4;
    QLayout* strip = m_captionBar->layout();
    const int start = strip ? strip->contentsMargins().left() : 0;
    const int room = std::max(0, m_nButtonsLeft - start - kGap);
    const QString whole = QString::fromStdString(m_strCaption);
    QLabel* caption = m_captionBar->Caption();
    m_captionBar->SetCaption(caption->fontMetrics().elidedText(whole, Qt::ElideMiddle, room), 0);
    caption->setFixedWidth(room);
    caption->setToolTip(whole);
}

void CxFileBrowser::SetCaption(const std::string& text) {
    m_strCaption = text;
    FitCaption();
    m_captionBar->update();
    for (CGuiToolButton* b : m_buttons) b->update();
    UpdateToolButtons();
}

void CxFileBrowser::UpdateToolButtons() {
    const int kind = m_doc.GetKind();
    ToolButton(BTN_REQUERY)->setEnabled(kind != CvClientDoc::KIND_LOCAL);
    ToolButton(BTN_SLIDE)->setEnabled(kind != CvClientDoc::KIND_RECYCLE);
    const bool selection = m_list->GetSelectedCount() > 0;
    // In batch mode: annotate when there are files, upload local and update server selections.
    ToolButton(BTN_BATCH)->setEnabled(m_bBatchMode && m_doc.GetFileCount() > 0);
    ToolButton(BTN_UPLOAD)->setEnabled(m_bBatchMode && kind == CvClientDoc::KIND_LOCAL && selection);
    ToolButton(BTN_UPDATE)->setEnabled(m_bBatchMode && m_doc.IsServerDoc() && selection);
}

void CxFileBrowser::ShowFileList() {
    if (m_nShownView == 1) return;
    m_batch->hide();
    m_list->show();
    m_nShownView = 1;
}

void CxFileBrowser::ShowBatchView() {
    if (m_nShownView == 2) return;
    m_list->hide();
    m_batch->show();
    m_nShownView = 2;
}

void CxFileBrowser::TouchDocument() {
    if (CvClientApp* app = CvClientApp::Current()) app->MoveDocToHead(&m_doc);
}

// ---- Commands ----

void CxFileBrowser::SetMode(int mode) { m_list->SetBrowseMode(mode); }

void CxFileBrowser::SetThumbnailMode(int mode) {
    m_nThumbMode = mode;
    SetMode(mode);
}

void CxFileBrowser::Requery() {
    TouchDocument();
    kx::WaitCursor wait;
    m_doc.RemoveAllFiles();
    CvClientApp* app = CvClientApp::Current();
    if (!app || !m_link) return;
    if (m_doc.IsRecycleBin()) app->ShowRecycleBin(*m_link);
    else app->RequeryDoc(*m_link, &m_doc);
}

void CxFileBrowser::OnCommand(int id) {
    for (const ThumbSize& t : kThumbs)
        if (id == t.menuId || id == t.contextId) return SetThumbnailMode(t.mode);
    switch (id) {
    case BTN_LARGE:
    case BTN_SMALL:
    case BTN_LIST:
    case BTN_REPORT:
    case BTN_MICRO: {
        kx::WaitCursor wait;
        m_list->setFocus();
        TouchDocument();
        ShowFileList();
        SetMode(id == BTN_MICRO ? m_nThumbMode : 1 << (id - BTN_LARGE));
        return;
    }
    case BTN_MICRO_MENU: {
        TouchDocument();
        const QRect r = ToolButton(BTN_MICRO_MENU)->geometry();
        const int chosen = m_thumbMenu->TrackPopupMenu(mapToGlobal(r.bottomLeft()));
        if (chosen > 0) OnCommand(chosen);
        return;
    }
    case BTN_BATCH:
    case ID_BATCH_NOTE:
        if (!m_bBatchMode) return;
        m_batch->setFocus();
        TouchDocument();
        ShowBatchView();
        return;
    case BTN_REQUERY:
        if (m_doc.GetKind() != CvClientDoc::KIND_LOCAL) Requery();
        return;
    case BTN_SLIDE:
    case ID_SLIDE_SHOW:
        TouchDocument();
        if (CMainFrame* frame = TheMainFrame()) frame->StartSlideShow(1);
        return;
    case ID_MODE_LARGE: return SetMode(CkxwFileListView::MODE_LARGEICON);
    case ID_MODE_SMALL: return SetMode(CkxwFileListView::MODE_SMALLICON);
    case ID_MODE_LIST: return SetMode(CkxwFileListView::MODE_LIST);
    case ID_MODE_REPORT: return SetMode(CkxwFileListView::MODE_REPORT);
    case ID_SELECT_ALL: return SelectAllItems();
    case ID_RELOAD_LOCAL:
        if (CvClientApp* app = CvClientApp::Current()) app->OpenLocalFiles(&m_doc);
        return;
    case ID_APPEND_LOCAL:
        if (CvClientApp* app = CvClientApp::Current()) app->AppendLocalFiles(&m_doc);
        return;
    default:
        m_commands->Run(id); // the file commands (the paging buttons do nothing)
        return;
    }
}

// ---- Showing a file ----

bool CxFileBrowser::MayLoad(const CkxFile& f) const {
    const int user = m_link ? m_link->GetCurrentUserId() : -1;
    return KX_KXXXX().fsUserCan_File_Load(user, f.m_nWriterID, f.GetPower()) != 0;
}

void CxFileBrowser::ShowFile(const CkxFile* file) {
    if (!file) return;
    const bool local = m_doc.GetKind() == CvClientDoc::KIND_LOCAL;
    // A file the user may not load is never fetched: the main frame shows what it may of it.
    if (file->Is_WholeState_Valid() || local || !MayLoad(*file)) {
        ++m_nPreviews;
        m_nLastPreview = file->GetID();
        if (CMainFrame* frame = TheMainFrame()) {
            frame->ShowFileStatus(file);
            frame->StartSlideShow(0);
        }
        return;
    }
    // Asked for once: a file already on its way is not asked for again.
    if (m_doc.IsServerDoc() && file->Is_WholeState_Invalid()) {
        m_doc.SetWholeStateRequest(file->GetID());
        m_worker->Wake();
    }
}

CkxFile* CxFileBrowser::SelectedFile() const {
    const int id = m_list->GetSelectedFileID();
    return id == -1 || id == 0 ? nullptr : m_doc.FindFile(id);
}

void CxFileBrowser::RefreshFile(int fileId) {
    m_worker->Wake();
    CkxFile* selected = SelectedFile();
    if (selected && selected->GetID() == fileId && selected->Is_WholeState_Valid()) ShowFile(selected);
}

// ---- List notifications ----

void CxFileBrowser::OnItemChanged() {
    TouchDocument();
    if (!m_list->IsCanPlay()) return;
    UpdateToolButtons();
    if (m_list->GetSelectedCount() == 1) ShowFile(SelectedFile());
}

void CxFileBrowser::OnItemClicked(int row) {
    TouchDocument();
    UpdateToolButtons();
    if (m_list->GetSelectedCount() != 1) return;
    // Clicking the item shown already shows it again; another item is shown by the change.
    if (row == m_list->GetLastSelItem()) ShowFile(SelectedFile());
    m_list->SetLastSelItem(row);
}

void CxFileBrowser::OnItemDoubleClicked(int) {
    TouchDocument();
    if (!m_doc.IsRecycleBin()) OnCommand(ID_OPEN_DEF);
}

BrowserMenu CxFileBrowser::BuildContextMenu() const {
    std::vector<BrowserFileRights> rights;
    const CkxXXX& c = KX_KXXXX();
    const int user = m_link ? m_link->GetCurrentUserId() : -1;
    for (CkxwFileListView::POSITION p = m_list->GetFirstSelectedItemPosition(); p;) {
        CkxFileX* handle = m_list->GetNextSelectedFile(p);
        const CkxFile* f = handle ? handle->GetObj() : nullptr;
        if (!f) continue;
        const CkxPowerEx power = f->GetPower();
        rights.push_back({c.fsUserCan_File_FullCtrl(user, f->m_nWriterID, power) != 0,
                          c.fsUserCan_File_Load(user, f->m_nWriterID, power) != 0,
                          c.fsUserCan_File_Edit(user, f->m_nWriterID, power) != 0,
                          c.fsUserCan_File_Delete(user, f->m_nWriterID, power) != 0});
    }
    return BuildBrowserMenu(m_doc.GetKind(), rights, m_bBatchMode);
}

bool CxFileBrowser::IsViewCommand(int id) {
    switch (id) {
    case ID_MODE_LARGE: case ID_MODE_SMALL: case ID_MODE_LIST: case ID_MODE_REPORT:
    case ID_CTX_MICRO50: case ID_CTX_MICRO70: case ID_CTX_MICRO90: case ID_CTX_MICRO110: case ID_CTX_MICRO130:
    case ID_BATCH_NOTE: case ID_SLIDE_SHOW: case ID_SELECT_ALL: case ID_RELOAD_LOCAL: case ID_APPEND_LOCAL:
        return true;
    default: return false;
    }
}

void CxFileBrowser::OnItemRightClicked(const QPoint& at) {
    TouchDocument();
    UpdateToolButtons();
    kx::PopupMenu* menu = MakePopupMenu(BuildContextMenu(), this);
    if (!menu) return;
    const int chosen = menu->TrackPopupMenu(at);
    menu->deleteLater();
    if (chosen > 0) OnCommand(chosen);
}

// ---- What the document asks ----

void CxFileBrowser::OnFileInserted(CkxFile* file) {
    if (!file) return;
    const int row = m_list->InsertFile_Map(file->FormatName(), file);
    if (row >= 0) FillRow(row, *file);
    if (m_bBatchMode) m_batch->AddFile(file);
    if (m_doc.IsServerDoc()) m_worker->SetLoadable(file->GetID(), MayLoad(*file));
    m_worker->Wake();
}

void CxFileBrowser::OnFileUpdated(int fileId) {
    CkxFile* file = m_doc.FindFile(fileId);
    if (!file) return;
    m_list->UpdateFile_Map(fileId, file);
    const int row = m_list->GetFileItem(fileId);
    if (row >= 0) FillRow(row, *file);
    if (m_bBatchMode) m_batch->RenameFile(*file);
    if (m_doc.IsServerDoc()) m_worker->SetLoadable(fileId, MayLoad(*file));
}

void CxFileBrowser::OnFilesRemoved(const std::vector<int>& fileIds) {
    m_list->DisableRedraw();
    m_list->DeleteFileA(fileIds);
    m_list->EnableRedraw();
    m_list->update();
    if (m_bBatchMode) m_batch->RemoveFiles(fileIds);
}

void CxFileBrowser::OnAllFilesRemoved() {
    m_list->DeleteAllFile();
    if (m_bBatchMode) m_batch->RemoveAll();
}

void CxFileBrowser::SetAutoArrange(bool on) { m_list->EnableAutoArrange(on); }
int CxFileBrowser::GetSelectedCount() const { return m_list->GetSelectedCount(); }
int CxFileBrowser::GetSelectedItem() const { return m_list->GetSelectedItem(); }
int CxFileBrowser::GetItemFileID(int item) const { return m_list->GetItemFileID(item); }
void CxFileBrowser::SelectAllItems() { m_list->SelectAllItem(); }
