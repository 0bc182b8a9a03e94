#include "checkout/CWndCheckoutFileCtrl.h"

#include "app/CVarniaStudioApp.h"
#include "app/CvClientApp.h"
#include "checkout/CWndCheckoutFileList.h"
#include "doc/CLocalStorage.h"
#include "doc/CvClientDoc.h"
#include "frame/CMainFrame.h"
#include "infobar/CFileInfoBar.h"
#include "session/CStudioLink.h"

#include "base/KxRegistry.h"
#include "model/CkxCheckout.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxImageList.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"

#include <QApplication>
#include <QCursor>

#include <initializer_list>
#include <vector>

namespace {

// The text with each "%s" replaced by the next argument.
std::string Fill(const char* format, std::initializer_list<std::string> args) {
    std::string out;
    auto arg = args.begin();
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && arg != args.end()) {
            out += *arg++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

struct ButtonSpec {
    int id, command, x;
    const char* tip;
    const char* icon; // a bundled icon (kx::ToolIcon), the same on every desktop
};
const ButtonSpec kButtons[3] = {
    {CWndCheckoutFileCtrl::IDC_DETAILS, CWndCheckoutFileCtrl::ID_DETAILS, 5, "详细信息", "view-list"},
    {CWndCheckoutFileCtrl::IDC_MICRO, CWndCheckoutFileCtrl::ID_MICRO, 30, "微缩图", "image-x-generic"},
    {CWndCheckoutFileCtrl::IDC_CHECKIN, CWndCheckoutFileCtrl::ID_CHECKIN, 55, "签入文件", "document-send"},
};

struct MenuItem {
    int id;
    const char* text;
};
// A 0 id is a separator.
const std::vector<MenuItem> kPopupNone = {{CWndCheckoutFileCtrl::ID_SELECT_ALL, "全选文件"}, {0, nullptr},
                                          {CWndCheckoutFileCtrl::ID_DETAILS, "详细信息"},
                                          {CWndCheckoutFileCtrl::ID_MICRO, "微缩图"}};
const std::vector<MenuItem> kPopupRows = {
    {CWndCheckoutFileCtrl::ID_OPEN_DEF, "默认打开"}, {CWndCheckoutFileCtrl::ID_OPEN_WAY, "打开方式..."},
    {CWndCheckoutFileCtrl::ID_OPEN_EDITOR, "Tintwork 打开"}, {0, nullptr},
    {CWndCheckoutFileCtrl::ID_SELECT_ALL, "全选文件"}, {0, nullptr},
    {CWndCheckoutFileCtrl::ID_CHECKIN, "签入文件"}, {0, nullptr},
    {CWndCheckoutFileCtrl::ID_DETAILS, "详细信息"}, {CWndCheckoutFileCtrl::ID_MICRO, "微缩图"}};

CMainFrame* Frame() {
    CVarniaStudioApp* app = theApp();
    return app ? app->GetMainFrame() : nullptr;
}

int WatchPeriodSetting() {
    uint32_t ms = 0;
    if (kx::RegistryStore().ReadDword(CLocalStorage::kCheckoutKey, CWndCheckoutFileCtrl::kWatchPeriodValue, ms) &&
        ms > 0 && ms <= 60000)
        return static_cast<int>(ms);
    return CWndCheckoutFileCtrl::kDefaultWatchPeriodMs;
}

CkxCheckoutList& Checkouts() { return KX_KXXXX().m_CheckoutList; }

} // namespace

CWndCheckoutFileCtrl::CWndCheckoutFileCtrl(CStudioLink& link, QWidget* parent) : QWidget(parent), m_link(link) {
    setObjectName("CWndCheckoutFileCtrl");
    m_header = new CGuiMiniTool(this);
    m_header->setObjectName(QString::number(IDC_HEADER));
    m_header->SetBorder(1);
    m_list = new CWndCheckoutFileList(this);
    m_list->setObjectName(QString::number(IDC_LIST));
    for (int i = 0; i < 3; ++i) {
        const ButtonSpec& b = kButtons[i];
        auto* button = new CGuiToolButton(this);
        button->setObjectName(QString::number(b.id));
        button->SetToolTip(QString::fromUtf8(b.tip));
        button->SethIcon(kx::ToolIcon(b.icon));
        button->setAutoRaise(true);
        const int command = b.command;
        connect(button, &QToolButton::clicked, this, [this, command] { OnCommand(command); });
        m_buttons[i] = button;
    }
    connect(m_list, &CkxwFileListView::SelectionChanged, this, [this] {
        UpdateButtons();
        if (m_list->IsCanPlay() && m_list->GetSelectedCount() == 1) ShowDetails(m_list->GetSelectedItem());
    });
    connect(m_list, &CkxwFileListView::ItemClicked, this, [this](int row) { OnItemClicked(row); });
    connect(m_list, &CkxwFileListView::ItemDoubleClicked, this, [this](int) { OnCommand(ID_OPEN_DEF); });
    connect(m_list, &CkxwFileListView::ItemRightClicked, this,
            [this](int, const QPoint& at) { OnItemRightClicked(at); });
    m_pStorage = &TheLocalStorage();
    link.Register(kSlotCheckouts, this);
    resize(500, 200);
}

CWndCheckoutFileCtrl::~CWndCheckoutFileCtrl() {
    // The thread posts to this window: it ends before the window does.
    m_watch.Stop();
}

CGuiToolButton* CWndCheckoutFileCtrl::Button(int id) const {
    for (CGuiToolButton* b : m_buttons)
        if (b->objectName().toInt() == id) return b;
    return nullptr;
}

void CWndCheckoutFileCtrl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    OnInitialUpdate();
}

void CWndCheckoutFileCtrl::OnInitialUpdate() {
    if (m_bInitialised) return;
    m_bInitialised = true;
    Button(IDC_CHECKIN)->setEnabled(false);
    m_list->SetBrowseMode(CkxwFileListView::MODE_REPORT);
    m_watch.Start(this, WatchPeriodSetting());
    Layout();
}

void CWndCheckoutFileCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void CWndCheckoutFileCtrl::Layout() {
    m_header->setGeometry(0, 0, width(), kHeaderHeight);
    m_list->setGeometry(0, kHeaderHeight, width(), std::max(0, height() - kHeaderHeight));
    for (int i = 0; i < 3; ++i) {
        m_buttons[i]->setGeometry(kButtons[i].x, 3, kButtonWidth, kButtonHeight);
        m_buttons[i]->raise();
    }
}

void CWndCheckoutFileCtrl::UpdateButtons() { Button(IDC_CHECKIN)->setEnabled(m_list->GetSelectedCount() > 0); }

std::string CWndCheckoutFileCtrl::StorageName(int fileId) const { return m_list->GetFileIDName(fileId); }

std::string CWndCheckoutFileCtrl::DisplayName(int fileId) const {
    const int row = m_list->GetFileItem(fileId);
    return row < 0 ? std::string() : m_list->GetItemText(row, CWndCheckoutFileList::COL_NAME);
}

void CWndCheckoutFileCtrl::Warn(const std::string& text) { kx::Prompt(this, text, kx::PromptOk, kx::PromptWarning); }

template <class F>
bool CWndCheckoutFileCtrl::WithOwnRecord(int fileId, F&& fn) {
    const int user = m_link.GetCurrentUserId();
    CkxCheckoutList& list = Checkouts();
    bool found = false;
    list.Lock();
    for (auto p = list.GetHeadPosition(); p && !found;) {
        CkxCheckout* r = list.GetNext(p);
        if (r->m_nFileID != fileId || r->m_nUserID != user) continue;
        fn(*r);
        found = true;
    }
    list.Unlock();
    return found;
}

// ---- Rows ----

void CWndCheckoutFileCtrl::AddFile(CkxFile* file) {
    if (!file) return;
    const std::string display = file->GetFileName(), name = file->GetIDName();
    const int fileId = file->GetID();
    // The descriptive form (thumbnail, size) from the copy; the record's names stay.
    if (m_pStorage) {
        CkxFileImage loaded;
        static_cast<CkxFile&>(loaded) = *file;
        if (m_pStorage->LoadCheckoutFileInfo(name, &loaded)) {
            loaded.m_strTitle = file->m_strTitle;
            loaded.m_strExName = file->m_strExName;
            static_cast<CkxFile&>(*file) = loaded;
        }
    }
    const int row = m_list->InsertCheckoutFile(display, file, name);
    if (row < 0) return;
    const COleDateTime ct = m_pStorage ? m_pStorage->GetCheckoutTime(name) : COleDateTime();
    const COleDateTime mt = m_pStorage ? m_pStorage->GetEffectiveModifyTime(name) : ct;
    m_list->SetMoments(row, ct, mt);
    const bool exists = m_pStorage && m_pStorage->IsCheckoutCopyValid(name);
    m_list->SetExists(row, exists);
    WithOwnRecord(fileId, [&](CkxCheckout& r) { r.m_nReserve1 = exists ? 1 : 0; });
}

void CWndCheckoutFileCtrl::AddFileWithMoment(CkxFile* file, const COleDateTime& moment) {
    if (!file) return;
    const std::string name = file->GetIDName();
    const int fileId = file->GetID();
    const int row = m_list->InsertCheckoutFile(file->GetFileName(), file, name);
    if (row < 0) return;
    m_list->SetMoments(row, moment, moment);
    const bool exists = m_pStorage && m_pStorage->IsCheckoutCopyValid(name);
    m_list->SetExists(row, exists);
    WithOwnRecord(fileId, [&](CkxCheckout& r) {
        r.m_dtReserve1 = r.m_dtReserve2 = moment;
        r.m_nReserve1 = exists ? 1 : 0;
    });
}

void CWndCheckoutFileCtrl::RemoveFile(int fileId) {
    m_list->DeleteFileA(fileId);
    UpdateButtons();
}

// ---- Notices ----

kx::LRESULT CWndCheckoutFileCtrl::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    const int id = static_cast<int>(wParam);
    switch (message) {
    case kx::WM_USER:
        switch (static_cast<int>(wParam)) {
        case kNoticeReload: OnReload(); return 1;
        case kNoticeAdded: OnCheckedOut(static_cast<int>(lParam)); return 1;
        case kNoticeRemoved: OnCheckoutEnded(static_cast<int>(lParam)); return 1;
        default: return 0;
        }
    case CCheckoutWatch::WM_COPY_MODIFIED: OnCopyModified(id); return 1;
    case CCheckoutWatch::WM_COPY_EXISTS: OnCopyExists(id, lParam != 0); return 1;
    case CCheckoutWatch::WM_COPY_SEEN: OnCopySeen(id); return 1;
    case CCheckoutWatch::WM_WATCH_SNAPSHOT: TakeSnapshot(); return 1;
    default: return 0;
    }
}

void CWndCheckoutFileCtrl::OnReload() {
    // The list starts again: a second reload must not show every row twice.
    m_list->DeleteAllFile();
    const int user = m_link.GetCurrentUserId();
    std::vector<CkxCheckout> own;
    CkxCheckoutList& list = Checkouts();
    list.Lock();
    for (auto p = list.GetHeadPosition(); p;) {
        const CkxCheckout* r = list.GetNext(p);
        if (r->m_nUserID == user) own.push_back(*r);
    }
    list.Unlock();
    for (const CkxCheckout& r : own) {
        auto* file = new CkxFileImage;
        file->m_nID = r.m_nFileID;
        file->m_strTitle = r.m_strTitle;
        file->m_strExName = r.m_strExt;
        AddFile(file);
    }
    UpdateButtons();
}

void CWndCheckoutFileCtrl::OnCheckedOut(int fileId) {
    CkxCheckout rec;
    if (!Checkouts().Find(fileId, rec) || rec.m_nUserID != m_link.GetCurrentUserId()) return;
    // A row left from before (a reload that raced the answer) gives way to the new one.
    m_list->DeleteFileA(fileId);
    m_sent.erase(fileId);
    auto* file = new CkxFileImage;
    file->m_nID = rec.m_nFileID;
    file->m_strTitle = rec.m_strTitle;
    file->m_strExName = rec.m_strExt;
    const COleDateTime now = COleDateTime::GetCurrentTime();
    std::string path, kept;
    // The requesting document (the record's last field) holds the content; without it, or
    // without readable content, no copy is written, never an empty one.
    CvClientApp* app = CvClientApp::Current();
    CvClientDoc* doc = app ? app->FindDoc(rec.m_nTag) : nullptr;
    const CkxFile* held = doc ? doc->FindFile(fileId) : nullptr;
    if (held && m_pStorage) {
        static_cast<CkxFile&>(*file) = *held;
        if (m_pStorage->LoadEncryptedWhole(rec.m_nTag, file) && file->GetMemWholeSize() > 0)
            path = m_pStorage->SaveCheckoutCopy(file, now, &kept);
        file->DestroyWhole();
    }
    const std::string display = file->GetFileName();
    AddFileWithMoment(file, now);
    if (!kept.empty()) kx::Prompt(this, Fill(kOldCopyKept, {display, m_pStorage->CheckoutPath(kept)}));
    if (path.empty() || rec.IsCheckoutOnly()) return;
    if (rec.IsCheckoutOpenDef()) {
        CkxwFileSystem::OpenFileDef(path);
    } else if (rec.IsCheckoutOpenWay()) {
        CkxwFileSystem::OpenFileWay(path);
    } else if (rec.IsCheckoutOpenTintwork()) {
        CkxwFileSystem::OpenFileOnTintwork(path);
    }
}

void CWndCheckoutFileCtrl::OnCheckoutEnded(int fileId) {
    const std::string name = StorageName(fileId);
    if (name.empty()) return;
    const std::string display = DisplayName(fileId);
    m_list->DeleteFileA(fileId);
    UpdateButtons();
    const auto sent = m_sent.find(fileId);
    const bool sentHere = sent != m_sent.end();
    const COleDateTime sentWrite = sentHere ? sent->second : COleDateTime();
    if (sentHere) m_sent.erase(sent);
    if (!m_pStorage || !m_pStorage->IsCheckoutCopyValid(name)) return;
    const std::string path = m_pStorage->CheckoutPath(name);
    // An edited copy goes only when its content is what this window checked in.
    const bool edited = m_pStorage->IsCheckoutCopyModified(name);
    const bool delivered = sentHere && CkxwFileSystem::GetFileModifyTime(path) == sentWrite;
    if (!edited || delivered) {
        m_pStorage->RemoveCheckoutFile(name);
        return;
    }
    Warn(Fill(kCopyKeptAtEnd, {display, path}));
}

// ---- The watch ----

void CWndCheckoutFileCtrl::TakeSnapshot() {
    std::vector<CCheckoutWatch::Entry> due;
    const int user = m_link.GetCurrentUserId();
    CkxCheckoutList& list = Checkouts();
    list.Lock();
    for (auto p = list.GetHeadPosition(); p;) {
        CkxCheckout* r = list.GetNext(p);
        if (r->m_nUserID == user && r->m_nReserve2 == 0) {
            CCheckoutWatch::Entry e;
            e.fileId = r->m_nFileID;
            e.exists = r->m_nReserve1 != 0;
            due.push_back(e);
        }
        if (r->m_nReserve2 > 0) --r->m_nReserve2;
    }
    list.Unlock();
    std::vector<CCheckoutWatch::Entry> snapshot;
    for (CCheckoutWatch::Entry& e : due) {
        // Only rows of this window are watched.
        const std::string name = StorageName(e.fileId);
        if (name.empty() || !m_pStorage) continue;
        e.path = m_pStorage->CheckoutPath(name);
        e.checkout = m_pStorage->GetCheckoutTime(name);
        e.modified = m_pStorage->GetModifyTime(name);
        snapshot.push_back(std::move(e));
    }
    m_watch.Deliver(std::move(snapshot));
}

void CWndCheckoutFileCtrl::OnCopyModified(int fileId) {
    const std::string name = StorageName(fileId);
    if (name.empty() || !m_pStorage) return;
    // Checked again here: a pass may report what an earlier report already handled.
    const COleDateTime ct = m_pStorage->GetCheckoutTime(name);
    const COleDateTime et = m_pStorage->GetEffectiveModifyTime(name);
    const COleDateTime mt = m_pStorage->GetModifyTime(name);
    if (!(ct < et && mt < et)) return;
    m_pStorage->SetModifyTime(name, et);
    WithOwnRecord(fileId, [&](CkxCheckout& r) {
        r.m_dtReserve1 = ct;
        r.m_dtReserve2 = et;
    });
    const int row = m_list->GetFileItem(fileId);
    CkxFileX* held = m_list->GetFile(fileId);
    if (held && !held->IsEmpty()) {
        CkxFileImage reloaded;
        static_cast<CkxFile&>(reloaded) = *held->GetObj();
        if (m_pStorage->LoadCheckoutFileInfo(name, &reloaded)) {
            reloaded.m_strTitle = held->GetObj()->m_strTitle;
            reloaded.m_strExName = held->GetObj()->m_strExName;
            m_list->UpdateFile_Create(fileId, &reloaded);
            ++m_nReloads;
        }
    }
    m_list->SetMoments(row, ct, et);
}

void CWndCheckoutFileCtrl::OnCopyExists(int fileId, bool exists) {
    const int row = m_list->GetFileItem(fileId);
    if (row < 0) return;
    WithOwnRecord(fileId, [&](CkxCheckout& r) { r.m_nReserve1 = exists ? 1 : 0; });
    m_list->SetExists(row, exists);
}

void CWndCheckoutFileCtrl::OnCopySeen(int fileId) {
    const int row = m_list->GetFileItem(fileId);
    if (row < 0) return;
    CkxCheckout rec;
    if (!Checkouts().Find(fileId, rec)) return;
    const std::string display = rec.GetFileName();
    if (m_list->GetItemText(row, CWndCheckoutFileList::COL_NAME) == display) return;
    m_list->SetItemText(row, CWndCheckoutFileList::COL_NAME, display);
    if (CkxFileX* held = m_list->GetFile(fileId); held && !held->IsEmpty()) held->GetObj()->m_strTitle = rec.m_strTitle;
}

// ---- Commands ----

void CWndCheckoutFileCtrl::OnCommand(int id) {
    switch (id) {
    case ID_OPEN_DEF:
    case ID_OPEN_WAY:
    case ID_OPEN_EDITOR: return OpenSelected(id);
    case ID_SELECT_ALL: m_list->SelectAllItem(); return UpdateButtons();
    case ID_CHECKIN: return CheckIn();
    case ID_DETAILS: return m_list->SetBrowseMode(CkxwFileListView::MODE_REPORT);
    case ID_MICRO: return m_list->SetMode_Micro50();
    default: return;
    }
}

void CWndCheckoutFileCtrl::OpenSelected(int command) {
    if (!m_pStorage) return;
    std::vector<std::string> names;
    for (auto pos = m_list->GetFirstSelectedItemPosition(); pos;) {
        const std::string name = m_list->GetItemFileIDName(m_list->GetNextSelectedItem(pos));
        if (!name.empty()) names.push_back(name);
    }
    for (const std::string& name : names) {
        if (command == ID_OPEN_DEF) m_pStorage->OpenCheckoutCopyDef(name);
        else if (command == ID_OPEN_WAY) m_pStorage->OpenCheckoutCopyWay(name);
        else m_pStorage->OpenCheckoutCopyInEditor(name);
    }
}

void CWndCheckoutFileCtrl::CheckIn() {
    std::vector<int> ids;
    for (auto pos = m_list->GetFirstSelectedItemPosition(); pos;)
        ids.push_back(m_list->GetItemFileID(m_list->GetNextSelectedItem(pos)));
    // By file id: a notice during a question may remove rows.
    for (int fileId : ids) {
        const int row = m_list->GetFileItem(fileId);
        if (row >= 0) CheckInRow(row);
    }
}

bool CWndCheckoutFileCtrl::CheckInRow(int row) {
    const int fileId = m_list->GetItemFileID(row);
    const std::string name = m_list->GetItemFileIDName(row);
    if (fileId < 0 || name.empty()) return false;
    const bool edited = m_pStorage && m_pStorage->IsCheckoutCopyValid(name) && m_pStorage->IsCheckoutCopyModified(name);
    if (!edited) {
        if (!m_link.SendCheckinOnlyRequest(fileId)) return false;
        m_sent[fileId] = COleDateTime();
        return true;
    }
    if (kx::Prompt(this, Fill(kAskCheckin, {name}), kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk)
        return false;
    const std::string path = m_pStorage->CheckoutPath(name);
    const COleDateTime written = CkxwFileSystem::GetFileModifyTime(path);
    CkxFileImage file;
    if (CkxFileX* held = m_list->GetItemFile(row); held && !held->IsEmpty()) static_cast<CkxFile&>(file) = *held->GetObj();
    const std::string title = file.m_strTitle, ext = file.m_strExName;
    file.DestroyFile();
    if (!m_pStorage->LoadCheckoutFileData(name, &file) || file.GetMemWholeSize() <= 0) {
        Warn(Fill(kCopyUnreadable, {name}));
        return false;
    }
    file.m_nID = fileId;
    file.m_strTitle = title;
    file.m_strExName = ext;
    file.m_strSourcePath.clear();
    if (!m_link.SendCheckinChangesRequest(file)) return false;
    m_sent[fileId] = written;
    return true;
}

// ---- Selection, details and the popup ----

void CWndCheckoutFileCtrl::OnItemClicked(int row) {
    UpdateButtons();
    if (m_list->GetSelectedCount() == 1 && row >= 0 && row == m_nLastSelected) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ShowDetails(row);
        QApplication::restoreOverrideCursor();
    }
    m_nLastSelected = m_list->GetSelectedCount() == 1 ? m_list->GetSelectedItem() : -1;
}

std::string CWndCheckoutFileCtrl::DetailsText(const CkxFile& f) {
    return Fill(kDetails, {f.GetFileName(), f.FormatEncFormat(), f.FormatFamily(), f.FormatWidth(), f.FormatHeight(),
                           f.FormatLocDir()});
}

void CWndCheckoutFileCtrl::ShowDetails(int row) {
    CkxFileX* held = m_list->GetItemFile(row);
    if (!held || held->IsEmpty() || !m_pStorage) return;
    CkxFile* file = held->GetObj();
    const std::string title = file->m_strTitle, ext = file->m_strExName;
    CkxFileImage loaded;
    static_cast<CkxFile&>(loaded) = *file;
    if (m_pStorage->LoadCheckoutFileInfo(m_list->GetItemFileIDName(row), &loaded)) {
        loaded.m_strTitle = title;
        loaded.m_strExName = ext;
        static_cast<CkxFile&>(*file) = loaded;
    }
    m_strDetails = DetailsText(*file);
    if (CMainFrame* frame = Frame()) {
        frame->SetStatusText(m_strDetails);
        if (CFileInfoBar* bar = frame->FileInfoBar()) bar->ShowFile(file);
    }
}

std::unique_ptr<kx::PopupMenu> CWndCheckoutFileCtrl::MakePopup() const {
    auto menu = std::make_unique<kx::PopupMenu>();
    const int selected = m_list->GetSelectedCount();
    const int which = selected == 0 ? POPUP_NONE : selected == 1 ? POPUP_ONE : POPUP_SEVERAL;
    menu->setObjectName(QString::number(which));
    for (const MenuItem& item : which == POPUP_NONE ? kPopupNone : kPopupRows) {
        if (!item.id) {
            menu->AppendSeparator();
            continue;
        }
        QAction* action = menu->AppendMenu(QString::fromUtf8(item.text), item.id);
        if (item.id == ID_DETAILS || item.id == ID_MICRO) {
            action->setCheckable(true);
            action->setChecked(item.id == ID_DETAILS ? m_list->IsMode_Report() : m_list->IsMode_Micro50());
        }
    }
    return menu;
}

void CWndCheckoutFileCtrl::OnItemRightClicked(const QPoint& at) {
    UpdateButtons();
    std::unique_ptr<kx::PopupMenu> menu = MakePopup();
    const int chosen = menu->TrackPopupMenu(at.isNull() ? QCursor::pos() : at);
    if (chosen) OnCommand(chosen);
}
