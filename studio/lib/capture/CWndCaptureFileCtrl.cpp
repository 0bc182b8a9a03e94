#include "capture/CWndCaptureFileCtrl.h"

#include "app/CVarniaStudioApp.h"
#include "capture/CCaptureFolderScan.h"
#include "capture/CWndCaptureFileList.h"
#include "doc/CLocalStorage.h"
#include "frame/CMainFrame.h"
#include "session/CStudioLink.h"

#include "model/CkxFileImage.h"
#include "model/CkxFileX.h"
#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "qt/KxWaitCursor.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "ui/CkxwDlgBatchFileNote.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QResizeEvent>

#include <thread>

namespace {

struct ButtonSpec {
    int id;
    const char* tip;
    const char* icon; // a bundled icon (kx::ToolIcon), the same on every desktop
    int x;
};
// Details, thumbnails, upload: the images 0 to 2 of the strip, their menu texts as tips.
const ButtonSpec kButtons[] = {
    {CWndCaptureFileCtrl::BTN_DETAILS, "详细信息", "view-list", 5},
    {CWndCaptureFileCtrl::BTN_MICRO, "微缩图", "image-x-generic", 30},
    {CWndCaptureFileCtrl::BTN_UPLOAD, "上载到服务器", "send-to", 55},
};
constexpr int kHeaderHeight = 25;
constexpr int kButtonWidth = 25;
constexpr int kButtonHeight = 18;
constexpr int kModeDetails = CkxwFileListView::MODE_REPORT;
constexpr int kModeMicro = CkxwFileListView::MODE_MICRO50;
// Between two uploads, so one batch does not flood the connection's queue at once.
constexpr auto kUploadGap = std::chrono::milliseconds(100);

enum OpenHow { OPEN_DEF, OPEN_WAY, OPEN_EDITOR };

std::string NameList(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += "\n" + n;
    return text;
}

} // namespace

CWndCaptureFileCtrl::CWndCaptureFileCtrl(CStudioLink* link, QWidget* parent) : QWidget(parent), m_link(link) {
    setObjectName("CWndCaptureFileCtrl");
    m_header = new CGuiMiniTool(this);
    m_header->setObjectName(QString::number(ID_HEADER));
    m_header->SetBorder(1);
    for (const ButtonSpec& b : kButtons) {
        auto* button = new CGuiToolButton(this);
        button->setObjectName(QString::number(b.id));
        button->SetToolTip(QString::fromUtf8(b.tip));
        button->SethIcon(kx::ToolIcon(b.icon));
        button->setAutoRaise(true);
        const int id = b.id;
        connect(button, &QToolButton::clicked, this, [this, id] { OnCommand(id); });
        m_buttons.push_back(button);
    }
    m_list = new CWndCaptureFileList(this);
    connect(m_list, &CkxwFileListView::SelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(m_list, &CkxwFileListView::ItemClicked, this, [this](int row) { OnItemClicked(row); });
    connect(m_list, &CkxwFileListView::ItemDoubleClicked, this, [this](int) { OpenSelected(OPEN_DEF); });
    connect(m_list, &CkxwFileListView::ItemRightClicked, this, [this](int, const QPoint& at) { OnItemRightClicked(at); });
    if (m_link) m_link->Register(kSlotCapture, this);
    resize(500, 200);
}

CWndCaptureFileCtrl::~CWndCaptureFileCtrl() {
    // The thread goes first: nothing it posts may find the rows half gone.
    if (m_scan) m_scan->Stop();
    if (m_link) m_link->Unregister(kSlotCapture, this);
    m_list->DeleteAllFile();
}

CGuiToolButton* CWndCaptureFileCtrl::ToolButton(int id) const {
    for (CGuiToolButton* b : m_buttons)
        if (b->objectName().toInt() == id) return b;
    return nullptr;
}

bool CWndCaptureFileCtrl::IsScanning() const { return m_scan && m_scan->IsRunning(); }

CkxFileImage* CWndCaptureFileCtrl::FindFile(int localId) const {
    const auto it = m_files.find(localId);
    return it == m_files.end() ? nullptr : it->second.get();
}

// ---- Showing ----

void CWndCaptureFileCtrl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    OnInitialUpdate();
}

void CWndCaptureFileCtrl::OnInitialUpdate() {
    if (m_bInitialised) return;
    m_bInitialised = true;
    ToolButton(BTN_UPLOAD)->setEnabled(false);
    // The 50-pixel thumbnails are made ready, then the list shows details.
    m_list->SetMode_Micro50();
    m_list->SetBrowseMode(kModeDetails);
    Layout();
    if (!m_pLocalStorage) return;
    m_scan = std::make_unique<CCaptureFolderScan>(
        *m_pLocalStorage, this,
        CCaptureFolderScan::Handlers{[this](std::shared_ptr<CkxFileImage> f) { OnFileAppeared(std::move(f)); },
                                     [this](int id) { OnFileVanished(id); }, [this] { OnFolderEmpty(); }});
    if (!m_scan->Start()) m_scan.reset();
}

void CWndCaptureFileCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void CWndCaptureFileCtrl::Layout() {
    const int w = width(), h = height();
    m_header->setGeometry(0, 0, w, kHeaderHeight);
    m_list->setGeometry(0, kHeaderHeight, w, std::max(0, h - kHeaderHeight));
    for (const ButtonSpec& b : kButtons) {
        CGuiToolButton* button = ToolButton(b.id);
        button->setGeometry(b.x, 3, kButtonWidth, kButtonHeight);
        button->raise();
    }
}

void CWndCaptureFileCtrl::UpdateUploadButton() { ToolButton(BTN_UPLOAD)->setEnabled(m_list->GetSelectedCount() > 0); }

// ---- What the scan thread says ----

void CWndCaptureFileCtrl::OnFileAppeared(std::shared_ptr<CkxFileImage> file) {
    if (!file || m_files.count(file->GetID())) return;
    const int row = m_list->InsertFile_Map(file->GetFileName(), file.get());
    if (row < 0) return;
    m_files.emplace(file->GetID(), file);
    const COleDateTime captured =
        m_pLocalStorage ? m_pLocalStorage->GetCaptureFileCreateTime(file->GetFileName()) : COleDateTime(0.0);
    m_list->FillRow(row, *file, captured);
    ToolButton(BTN_UPLOAD)->setEnabled(true);
}

void CWndCaptureFileCtrl::OnFileVanished(int localId) { RemoveRow(localId); }

void CWndCaptureFileCtrl::OnFolderEmpty() {
    if (m_list->GetItemCount() > 0) {
        m_list->DeleteAllFile();
        m_files.clear();
    }
    ToolButton(BTN_UPLOAD)->setEnabled(false);
}

void CWndCaptureFileCtrl::RemoveRow(int localId) {
    // The row first, then the object it shows.
    m_list->DeleteFileA(localId);
    m_files.erase(localId);
}

kx::LRESULT CWndCaptureFileCtrl::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message == kx::WM_USER && wParam == static_cast<kx::WPARAM>(kNoticeRemoved)) {
        OnUploaded(static_cast<int>(lParam));
        return 1;
    }
    if (message == kx::WM_COMMAND) {
        OnCommand(static_cast<int>(wParam));
        return 1;
    }
    return 0;
}

void CWndCaptureFileCtrl::OnUploaded(int localId) {
    // An id no row holds (an answer for another studio's capture, a row gone since) is ignored.
    const int row = m_list->GetFileItem(localId);
    if (row < 0) return;
    const std::string path = m_list->GetItemLocalPath(row);
    RemoveRow(localId);
    if (!path.empty()) CLocalStorage::RemoveLocalFile(path);
    UpdateUploadButton();
}

// ---- The list's notifications ----

void CWndCaptureFileCtrl::ShowDetails(int row) {
    CkxFileImage* file = FindFile(m_list->GetItemFileID(row));
    if (!file) return;
    kx::WaitCursor wait;
    m_strLastDetails = DetailsLine(*file);
    m_nLastShown = file->GetID();
    if (CMainFrame* frame = TheMainFrame()) {
        frame->SetStatusText(m_strLastDetails);
        frame->ShowFileInfo(file);
    }
}

std::string CWndCaptureFileCtrl::DetailsLine(const CkxFileImage& f) {
    return "捕获文件\"" + f.FormatName() + "\"    [" + f.FormatEncFormat() + "]  [" + f.FormatFamily() + "]  [" +
           f.FormatWidth() + "x" + f.FormatHeight() + "]  目录＝" + f.FormatSourceDir();
}

void CWndCaptureFileCtrl::OnSelectionChanged() {
    UpdateUploadButton();
    if (m_list->IsCanPlay() && m_list->GetSelectedCount() == 1) ShowDetails(m_list->GetSelectedItem());
}

void CWndCaptureFileCtrl::OnItemClicked(int) {
    UpdateUploadButton();
    const int row = m_list->GetSelectedItem();
    if (m_list->GetSelectedCount() == 1 && row == m_list->GetLastSelItem()) ShowDetails(row);
    m_list->SetLastSelItem(row);
}

int CWndCaptureFileCtrl::PopupForSelection() const {
    const int n = m_list->GetSelectedCount();
    return n == 0 ? POPUP_NONE : n == 1 ? POPUP_ONE : POPUP_SEVERAL;
}

kx::PopupMenu* CWndCaptureFileCtrl::BuildPopup(int popup) {
    struct Item {
        int id;
        const char* text;
    };
    static const Item kNone[] = {{ID_SELECT_ALL, "全选文件"}, {ID_CLEAR, "清空缓存站"}, {0, nullptr},
                                 {ID_DETAILS, "详细信息"},    {ID_MICRO, "微缩图"}};
    static const Item kRows[] = {{ID_OPEN_DEF, "默认打开"}, {ID_OPEN_WAY, "打开方式..."}, {ID_OPEN_EDITOR, "Tintwork 打开"},
                                 {0, nullptr},              {ID_UPLOAD, "上载到服务器"},   {0, nullptr},
                                 {ID_SELECT_ALL, "全选文件"}, {ID_DELETE, "删除文件"},   {ID_CLEAR, "清空缓存站"},
                                 {0, nullptr},              {ID_DETAILS, "详细信息"},      {ID_MICRO, "微缩图"}};
    auto* menu = new kx::PopupMenu(this);
    menu->setObjectName(QString::number(popup));
    auto add = [&](const Item& item) {
        if (!item.id) {
            menu->AppendSeparator();
            return;
        }
        QAction* action = menu->AppendMenu(QString::fromUtf8(item.text), item.id);
        if (item.id == ID_DETAILS || item.id == ID_MICRO) {
            action->setCheckable(true);
            action->setChecked(m_list->GetShowMode() == (item.id == ID_DETAILS ? kModeDetails : kModeMicro));
        }
    };
    if (popup == POPUP_NONE)
        for (const Item& i : kNone) add(i);
    else
        for (const Item& i : kRows) add(i);
    return menu;
}

void CWndCaptureFileCtrl::OnItemRightClicked(const QPoint& at) {
    UpdateUploadButton();
    std::unique_ptr<kx::PopupMenu> menu(BuildPopup(PopupForSelection()));
    const int id = menu->TrackPopupMenu(at);
    menu.reset();
    if (id) OnCommand(id);
}

// ---- Commands ----

void CWndCaptureFileCtrl::OnCommand(int id) {
    switch (id) {
    case ID_OPEN_DEF: OpenSelected(OPEN_DEF); break;
    case ID_OPEN_WAY: OpenSelected(OPEN_WAY); break;
    case ID_OPEN_EDITOR: OpenSelected(OPEN_EDITOR); break;
    case ID_UPLOAD:
    case BTN_UPLOAD: Upload(); break;
    case ID_SELECT_ALL: m_list->SelectAllItem(); break;
    case ID_DELETE: DeleteSelected(); break;
    case ID_CLEAR: ClearFolder(); break;
    case ID_DETAILS:
    case BTN_DETAILS: SetMode(kModeDetails); break;
    case ID_MICRO:
    case BTN_MICRO: SetMode(kModeMicro); break;
    default: break;
    }
}

void CWndCaptureFileCtrl::SetMode(int mode) { m_list->SetBrowseMode(mode); }

void CWndCaptureFileCtrl::OpenSelected(int how) {
    if (!m_pLocalStorage) return;
    kx::POSITION pos = m_list->GetFirstSelectedItemPosition();
    while (pos) {
        const int row = m_list->GetNextSelectedItem(pos);
        const std::string name = m_list->GetItemFileName(row);
        if (name.empty()) continue;
        switch (how) {
        case OPEN_DEF: m_pLocalStorage->OpenCaptureFileDef(name); break;
        case OPEN_WAY: m_pLocalStorage->OpenCaptureFileWay(name); break;
        default: m_pLocalStorage->OpenCaptureFileInEditor(name); break;
        }
    }
}

void CWndCaptureFileCtrl::DeleteSelected() {
    if (kx::Prompt(this, kDeleteQuestion, kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk) return;
    std::vector<int> ids;
    kx::POSITION pos = m_list->GetFirstSelectedItemPosition();
    while (pos) {
        const int row = m_list->GetNextSelectedItem(pos);
        const std::string path = m_list->GetItemLocalPath(row);
        if (!path.empty()) CLocalStorage::RemoveLocalFile(path);
        ids.push_back(m_list->GetItemFileID(row));
    }
    for (int id : ids) RemoveRow(id);
    UpdateUploadButton();
}

void CWndCaptureFileCtrl::ClearFolder() {
    if (kx::Prompt(this, kClearQuestion, kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk) return;
    m_list->DeleteAllFile();
    m_files.clear();
    if (m_pLocalStorage) m_pLocalStorage->ClearCaptureDir();
    UpdateUploadButton();
}

void CWndCaptureFileCtrl::Upload() {
    if (!m_pLocalStorage) return;
    std::vector<int> chosen;
    CkxFileXList list;
    kx::POSITION pos = m_list->GetFirstSelectedItemPosition();
    while (pos) {
        const int row = m_list->GetNextSelectedItem(pos);
        CkxFileImage* file = FindFile(m_list->GetItemFileID(row));
        if (!file) continue;
        file->m_nFamilyID = -1;
        chosen.push_back(file->GetID());
        list.AddObj(*file);
    }
    if (chosen.empty()) return;
    // The dialog edits copies and hands them back on OK; each keeps its row's local id.
    if (!KX_ShowDlg_BatchFileNote(kUploadCaption, list, 1)) return;

    kx::WaitCursor wait;
    std::vector<std::string> unreadable, refused;
    const int user = m_link ? m_link->GetCurrentUserId() : -1;
    bool first = true;
    for (int id : chosen) {
        // A row that went while the dialog was open (its file vanished, or was stored) is done.
        const CkxFileX* noted = list.Find(id);
        if (m_list->GetFileItem(id) < 0 || !noted || !noted->GetObj()) continue;
        std::unique_ptr<CkxFile> copy(noted->GetObj()->Clone());
        // The note's name wins over the file's own title when the content is read again.
        const std::string title = copy->m_strTitle;
        const std::string name = m_list->GetItemFileName(m_list->GetFileItem(id));
        // Only a file read whole goes: the captured file is deleted once the server has it.
        if (!m_pLocalStorage->LoadCaptureFileData(copy->GetSourcePath(), copy.get()) || !copy->IsMemWholeValid() ||
            copy->GetMemWholeSize() <= 0) {
            unreadable.push_back(name);
            continue;
        }
        if (!title.empty()) copy->m_strTitle = title;
        // The server refuses a file in a folder the user may not create files in.
        if (!KX_KXXXX().fsUserCan_File_Create(user, copy->m_nLocDirID)) {
            refused.push_back(name);
            continue;
        }
        if (!first) std::this_thread::sleep_for(kUploadGap);
        first = false;
        if (m_link) m_link->SendCaptureFileAddRequest(*copy);
    }
    if (!unreadable.empty())
        kx::Prompt(this, kUnreadable + NameList(unreadable), kx::PromptOk, kx::PromptWarning);
    if (!refused.empty()) kx::Prompt(this, kNoFolderRight + NameList(refused), kx::PromptOk, kx::PromptWarning);
}
