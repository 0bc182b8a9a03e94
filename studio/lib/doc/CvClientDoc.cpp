#include "doc/CvClientDoc.h"

#include "doc/CLocalStorage.h"
#include "doc/CvDocBrowser.h"
#include "doc/ThreadStop.h"
#include "app/CvClientApp.h"

#include "base/OleDate.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "qt/KxGuiThread.h"

#include <QApplication>
#include <QMetaObject>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

int g_nextKind = CvClientDoc::KIND_NONE;
int g_localTitles = 1;
int g_queryTitles = 1;

std::string Format(const char* pattern, int n) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, n);
    return text;
}

std::string DayText(const COleDateTime& d) {
    return std::to_string(d.GetYear()) + "年" + std::to_string(d.GetMonth()) + "月" + std::to_string(d.GetDay()) + "日";
}
std::string MonthText(const COleDateTime& d) {
    return std::to_string(d.GetYear()) + "年" + std::to_string(d.GetMonth()) + "月";
}

// The operand's n-th date (a single date or one end of a range); the zero date when it has none.
COleDateTime OperandDate(const CkxQueryOperand& op, int n) {
    const std::vector<unsigned char>& bytes = op.GetValueBytes();
    double d = 0;
    if (op.IsDate() && bytes.size() >= static_cast<size_t>(8 * (n + 1))) std::memcpy(&d, bytes.data() + 8 * n, 8);
    return COleDateTime(d);
}

int OperandInt(const CkxQueryOperand& op) {
    const std::vector<unsigned char>& bytes = op.GetValueBytes();
    int32_t v = -1;
    if (bytes.size() >= 4) std::memcpy(&v, bytes.data(), 4);
    return v;
}

// The caption of a quick query (kind 19).
std::string QuickCaption(int code, const CkxQueryOperand& op) {
    static const char* const kGroups[] = {"创作时间", "录入时间", "修改时间"};
    static const char* const kFixed[] = {"今天", "昨天", "前天", "本周", "上周", "本月", "上月"};
    if (code >= 1 && code <= 30) {
        const std::string group = kGroups[(code - 1) / 10];
        const int inGroup = (code - 1) % 10 + 1;
        std::string what;
        if (inGroup <= 7) what = kFixed[inGroup - 1];
        else if (inGroup == 8) what = DayText(OperandDate(op, 0));
        else if (inGroup == 9) what = MonthText(OperandDate(op, 0));
        else what = DayText(OperandDate(op, 0)) + " ~ " + DayText(OperandDate(op, 1));
        return group + "<" + what + ">";
    }
    const CkxXXX& c = KX_KXXXX();
    switch (code) {
    case CvClientDoc::QQ_AUTHOR: return "创作者<" + c.m_PersonList.GetName(OperandInt(op)) + ">";
    case CvClientDoc::QQ_WRITER: return "录入者<" + c.m_UserList.GetName(OperandInt(op)) + ">";
    case CvClientDoc::QQ_EDITOR: return "修改者<" + c.m_UserList.GetName(OperandInt(op)) + ">";
    case CvClientDoc::QQ_BOOKMARK: return "文件书签";
    case CvClientDoc::QQ_SHARE: return "文件共享";
    default: return "";
    }
}

} // namespace

CvClientDoc::CvClientDoc() = default;

CvClientDoc::~CvClientDoc() {
    // The loader stops and is joined before anything it could touch goes.
    StopLoader();
    ClearFiles();
}

void CvClientDoc::SetNextDocKind(int kind) { g_nextKind = kind; }
int CvClientDoc::GetNextDocKind() { return g_nextKind; }

bool CvClientDoc::OnNewDocument() {
    m_nKind = g_nextKind;
    g_nextKind = KIND_NONE;
    if (m_nKind == KIND_LOCAL) m_strTitle = Format("本地%d", g_localTitles++);
    else if (!IsServerKind(m_nKind)) m_strTitle = "NULL";
    else if (m_nKind == KIND_RECYCLE) m_strTitle = "回收站";
    else m_strTitle = Format("查询%d", g_queryTitles++);
    m_strCaption = FormatCaption();
    return StartLoader();
}

void CvClientDoc::SetKind(int kind) {
    m_nKind = kind;
    UpdateBrowserCaption();
}

void CvClientDoc::SetQuickQuery(int code) {
    m_nQuickQuery = code;
    UpdateBrowserCaption();
}

std::string CvClientDoc::GetKindName() const {
    switch (m_nKind) {
    case KIND_NONE: return "未知";
    case KIND_LOCAL: return "本地文档";
    case KIND_RECYCLE: return "回收站";
    default: return IsServerKind(m_nKind) ? "服务器文档" : "";
    }
}

std::string CvClientDoc::FormatCaption() const {
    const CkxXXX& c = KX_KXXXX();
    switch (m_nKind) {
    case KIND_LOCAL: return "本地文件<" + m_strFolderCaption + "\\>";
    case KIND_RECYCLE: return "回收站";
    case KIND_TEMPLET: return "查询文件<属性>";
    case KIND_OPERAND: return QuickCaption(m_nQuickQuery, m_Operand);
    case KIND_KEYWORDS: return "查询文件<关键字>";
    case KIND_FOLDER: {
        const std::string name = c.fsGetDirName(m_nFolderID);
        return name.empty() ? "目录文件<根目录\\>" : "目录文件<..\\" + name + "\\>";
    }
    case KIND_FAMILY: return "族类文件<" + KX_FamilyXXX().family_GetName(m_nFamilyID) + ">";
    case KIND_PROJECT: {
        const CkxProject* p = c.m_ProjectList.Find(m_nProjectID);
        return "项目文件<" + (p ? p->m_strName : std::string()) + ">";
    }
    default: return "";
    }
}

void CvClientDoc::UpdateBrowserCaption() {
    m_strCaption = FormatCaption();
    const QString caption = QString::fromStdString(m_strCaption);
    for (const QPointer<QWidget>& view : m_views)
        if (!view.isNull()) view->setWindowTitle(caption);
    if (m_pBrowser) m_pBrowser->OnCaptionChanged(m_strCaption);
}

// ---- The file set ----

void CvClientDoc::AddFile(CkxFileX* handle) {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* added = m_Files.AddAttach(handle);
    if (!added) return;
    CkxAutoLock pending(&m_pendingLock);
    m_Pending.push_back(added);
}

void CvClientDoc::InsertFile(std::unique_ptr<CkxFile> file) {
    if (!file) return;
    auto handle = std::make_unique<CkxFileX>();
    handle->AttachObj(file.release());
    // A file the set holds already (a list answered twice, a requery racing a push) is
    // refreshed, never held twice.
    if (FindFile(handle->GetID())) {
        UpdateFile(*handle);
        return;
    }
    CkxFile* added = handle->GetObj();
    AddFile(handle.release());
    if (m_pBrowser && FindFile(added->m_nID) == added) m_pBrowser->OnFileInserted(added);
}

bool CvClientDoc::InsertFileFromContainer(const CkxContainer& container) {
    std::unique_ptr<CkxFile> file(CkxFile::_CreateFile(container));
    if (!file || !file->PasyFileInfo(container)) return false;
    InsertFile(std::move(file));
    return true;
}

void CvClientDoc::RemovePending(int fileId) {
    CkxAutoLock pending(&m_pendingLock);
    auto it = std::find_if(m_Pending.begin(), m_Pending.end(), [&](CkxFileX* h) { return h->GetID() == fileId; });
    if (it != m_Pending.end()) m_Pending.erase(it);
}

void CvClientDoc::DeleteFileFromSet(int fileId) {
    CkxAutoLock files(&m_fileLock);
    // Every pending entry of the id goes: the set drops every handle of it.
    {
        CkxAutoLock pending(&m_pendingLock);
        std::erase_if(m_Pending, [&](CkxFileX* h) { return h->GetID() == fileId; });
    }
    m_Files.Delete(fileId);
}

void CvClientDoc::ClearFiles() {
    CkxAutoLock files(&m_fileLock);
    {
        CkxAutoLock pending(&m_pendingLock);
        m_Pending.clear();
    }
    m_Files.DeleteAll();
}

void CvClientDoc::RemoveFile(int fileId) { RemoveFiles({fileId}); }

void CvClientDoc::RemoveFiles(const std::vector<int>& fileIds) {
    // The rows go before the files they show.
    if (m_pBrowser) m_pBrowser->OnFilesRemoved(fileIds);
    for (int id : fileIds) DeleteFileFromSet(id);
}

void CvClientDoc::RemoveAllFiles() {
    if (GetFileCount() == 0) return;
    if (m_pBrowser) m_pBrowser->OnAllFilesRemoved();
    ClearFiles();
}

void CvClientDoc::UpdateFile(const CkxFileX& file) {
    if (!file.GetObj()) return;
    {
        CkxAutoLock files(&m_fileLock);
        CkxFileX* held = m_Files.Find(file.GetID());
        if (!held || !held->GetObj() || held == &file) return;
        // The catalogue's record changes; what this workstation fetched of the file does not.
        const CkxFileX before(*held);
        held->CreateObj(*file.GetObj());
        CkxFile* now = held->GetObj();
        const CkxFile* was = before.GetObj();
        if (!now || !was) return;
        now->m_nWholeState = was->m_nWholeState;
        now->m_MemMicro = was->m_MemMicro;
        now->m_MemWhole = was->m_MemWhole;
    }
    // Outside the lock: the browser reads the set again (the lock is not re-entrant).
    if (m_pBrowser) m_pBrowser->OnFileUpdated(file.GetID());
}

CkxFile* CvClientDoc::SetFileCheckout(const CkxCheckout& checkout) {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* held = m_Files.Find(checkout.m_nFileID);
    CkxFile* file = held ? held->GetObj() : nullptr;
    if (!file) return nullptr;
    file->m_nCheckouted = 1;
    file->m_nCheckoutUserID = checkout.m_nUserID;
    return file;
}

CkxFile* CvClientDoc::ClearFileCheckout(int fileId, bool contentChanged) {
    std::string stored;
    CkxFile* file = nullptr;
    {
        CkxAutoLock files(&m_fileLock);
        CkxFileX* held = m_Files.Find(fileId);
        file = held ? held->GetObj() : nullptr;
        if (!file) return nullptr;
        file->m_nCheckouted = 0;
        file->m_nCheckoutUserID = -1;
        if (contentChanged) {
            file->DestroyWhole();
            file->Set_WholeState_Invalid();
            stored = file->GetIDName();
            CkxAutoLock pending(&m_pendingLock);
            if (std::find(m_Pending.begin(), m_Pending.end(), held) == m_Pending.end()) m_Pending.push_back(held);
        }
    }
    if (!stored.empty()) TheLocalStorage().DeleteDocFile(m_nDocID, stored);
    return file;
}

void CvClientDoc::SetWholeStateValid(int fileId) {
    CkxAutoLock files(&m_fileLock);
    m_Files.Set_WholeState_Valid(fileId);
    RemovePending(fileId);
}

CkxFile* CvClientDoc::FindFile(int fileId) const {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* held = m_Files.Find(fileId);
    return held ? held->GetObj() : nullptr;
}

int CvClientDoc::GetFileCount() const { return m_Files.GetCount(); }

std::vector<int> CvClientDoc::GetFileIds() const {
    std::vector<int> ids;
    CkxAutoLock files(&m_fileLock);
    m_Files.Lock();
    for (POSITION p = m_Files.GetHeadPosition(); p;) ids.push_back(m_Files.GetNext(p)->GetID());
    m_Files.Unlock();
    return ids;
}

int CvClientDoc::GetPendingCount(int state) const {
    CkxAutoLock pending(&m_pendingLock);
    if (state < 0) return static_cast<int>(m_Pending.size());
    return static_cast<int>(std::count_if(m_Pending.begin(), m_Pending.end(), [&](CkxFileX* h) {
        return h->GetObj() && h->GetObj()->m_nWholeState == state;
    }));
}

CkxFile* CvClientDoc::GetFirstPending(int state) const {
    CkxAutoLock pending(&m_pendingLock);
    for (CkxFileX* h : m_Pending)
        if (h->GetObj() && h->GetObj()->m_nWholeState == state) return h->GetObj();
    return nullptr;
}

void CvClientDoc::SetWholeStateInvalid(int fileId) {
    CkxAutoLock files(&m_fileLock);
    m_Files.Set_WholeState_Invalid(fileId);
}
void CvClientDoc::SetWholeStateRequest(int fileId) {
    CkxAutoLock files(&m_fileLock);
    m_Files.Set_WholeState_Request(fileId);
}
void CvClientDoc::SetWholeStateGetting(int fileId) {
    CkxAutoLock files(&m_fileLock);
    m_Files.Set_WholeState_Getting(fileId);
}

void CvClientDoc::RequestWholeFile() {
    CkxAutoLock files(&m_fileLock);
    m_Files.RequestWholeFile();
}

void CvClientDoc::SetFileFolder(int fileId, int folderId) {
    CkxAutoLock files(&m_fileLock);
    if (CkxFileX* held = m_Files.Find(fileId); held && held->GetObj()) held->GetObj()->m_nLocDirID = folderId;
}

bool CvClientDoc::SetFileAttrValue(int fileId, const CkxAttrValueList& values) {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* held = m_Files.Find(fileId);
    if (!held || !held->GetObj()) return false;
    held->GetObj()->SetAttrValue(values);
    return true;
}

bool CvClientDoc::SetFileExAttrValue(int fileId, const CkxAttrValueList& values) {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* held = m_Files.Find(fileId);
    if (!held || !held->GetObj()) return false;
    CkxFile* file = held->GetObj();
    values.ForEach([&](const CkxAttrValue& v) { file->SetExAttrValue(v); });
    return true;
}

bool CvClientDoc::SetFileFamily(int fileId, int familyId) {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* held = m_Files.Find(fileId);
    if (!held || !held->GetObj()) return false;
    held->GetObj()->m_nFamilyID = familyId;
    return true;
}

void CvClientDoc::RefreshSelectedFile(int fileId) {
    if (m_pBrowser) m_pBrowser->RefreshSelectedFile(fileId);
}

POSITION CvClientDoc::GetFirstFilePosition() const {
    CkxAutoLock files(&m_fileLock);
    return m_Files.GetHeadPosition();
}

CkxFile* CvClientDoc::GetNextFile(POSITION& pos) const {
    CkxAutoLock files(&m_fileLock);
    if (!pos) return nullptr;
    CkxFileX* h = m_Files.GetNext(pos);
    return h ? h->GetObj() : nullptr;
}

CkxFile* CvClientDoc::GetFileAt(int index) const {
    CkxAutoLock files(&m_fileLock);
    if (index < 0) return nullptr;
    int i = 0;
    for (POSITION p = m_Files.GetHeadPosition(); p; ++i) {
        CkxFileX* h = m_Files.GetNext(p);
        if (i == index) return h ? h->GetObj() : nullptr;
    }
    return nullptr;
}

CkxFile* CvClientDoc::GetLastFile() const {
    CkxAutoLock files(&m_fileLock);
    if (m_Files.GetCount() == 0) return nullptr;
    CkxFileX* h = m_Files.GetTail();
    return h ? h->GetObj() : nullptr;
}

std::optional<int> CvClientDoc::FirstPendingId(int state) const {
    CkxAutoLock pending(&m_pendingLock);
    for (CkxFileX* h : m_Pending)
        if (h->GetObj() && h->GetObj()->m_nWholeState == state) return h->GetID();
    return std::nullopt;
}

std::optional<int> CvClientDoc::FirstInvalidId(const std::function<bool(int)>& accept) const {
    CkxAutoLock files(&m_fileLock);
    for (POSITION p = m_Files.GetHeadPosition(); p;) {
        CkxFileX* h = m_Files.GetNext(p);
        if (h && h->GetObj() && h->GetObj()->Is_WholeState_Invalid() && accept(h->GetID())) return h->GetID();
    }
    return std::nullopt;
}

bool CvClientDoc::CopyRecord(int fileId, CkxFile::_COM& record, int64_t& size) const {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* held = m_Files.Find(fileId);
    if (!held || !held->GetObj()) return false;
    record = held->GetObj()->GetComData();
    size = held->GetObj()->m_nSize;
    return true;
}

int CvClientDoc::GetWholeState(int fileId) const {
    CkxAutoLock files(&m_fileLock);
    CkxFileX* held = m_Files.Find(fileId);
    return held && held->GetObj() ? held->GetObj()->m_nWholeState : -1;
}

// ---- The browser ----

void CvClientDoc::SetBrowserReady(bool ready) {
    {
        std::lock_guard lock(m_loadMutex);
        m_bBrowserReady.store(ready);
    }
    m_loadWake.notify_all();
}

int CvClientDoc::GetSelectedCount() const { return m_pBrowser ? m_pBrowser->GetSelectedCount() : 0; }
int CvClientDoc::GetSelectedItem() const { return m_pBrowser ? m_pBrowser->GetSelectedItem() : -1; }
int CvClientDoc::GetItemFileID(int item) const { return m_pBrowser ? m_pBrowser->GetItemFileID(item) : -1; }
void CvClientDoc::SelectAllItems() {
    if (m_pBrowser) m_pBrowser->SelectAllItems();
}

// ---- The loader ----

bool CvClientDoc::StartLoader() {
    if (m_loader.joinable()) return true;
    try {
        m_loader = std::thread([this] { LoaderLoop(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CvClientDoc::StopLoader() {
    // Still joined after the limit: the document must not go while its loader works on it.
    StopAndJoin(m_loader, m_loadMutex, m_loadWake, m_bStopLoader, m_bLoaderDone, kLoaderStopLimitMs,
                "the loader of document " + std::to_string(m_nDocID.load()));
}

namespace {

// Runs on the GUI thread for the document of that id, when it is still open.
void ForOpenDoc(int docId, const std::function<void(CvClientDoc&)>& call) {
    kx::PostToGui([docId, call] {
        if (CvClientApp* app = CvClientApp::Current())
            if (CvClientDoc* doc = app->FindDoc(docId)) call(*doc);
    });
}

void LoadingCursor(int docId, bool on) {
    kx::PostToGui([on] {
        if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
        else QApplication::restoreOverrideCursor();
    });
    ForOpenDoc(docId, [on](CvClientDoc& doc) {
        if (CvDocBrowser* browser = doc.GetBrowser()) browser->SetAutoArrange(!on);
    });
}

} // namespace

void CvClientDoc::LoaderLoop() {
    std::unique_lock lock(m_loadMutex);
    for (;;) {
        m_loadWake.wait(lock, [&] { return m_bStopLoader || (!m_LocalPaths.empty() && m_bBrowserReady.load()); });
        if (m_bStopLoader) break;
        const int docId = m_nDocID.load();
        LoadingCursor(docId, true);
        while (!m_LocalPaths.empty() && !m_bStopLoader) {
            const std::string path = std::move(m_LocalPaths.front());
            m_LocalPaths.pop_front();
            lock.unlock();
            // Every queued path becomes a file, readable or not; whatever the image layer cannot
            // read (a format outside its list, a damaged picture) is a plain file without a
            // thumbnail, never a picture of 0 x 0. The whole content is not kept.
            auto image = std::make_unique<CkxFileImage>();
            if (!image->LoadFileInfo(path) && !image->LoadPlainFileInfo(path)) {
                image->SetFileName(path);
                image->m_strSourcePath = path;
                image->m_nFileType = KXFK_FILE;
            }
            image->DestroyWhole();
            image->m_nID = KX_KXXXX()._GetLocalFileID();
            // Handed over by the document's id: a closed document's file is freed unseen.
            auto holder = std::make_shared<std::unique_ptr<CkxFile>>(std::move(image));
            ForOpenDoc(docId, [holder](CvClientDoc& doc) { doc.InsertFile(std::move(*holder)); });
            lock.lock();
        }
        LoadingCursor(docId, false);
        if (m_LocalPaths.empty()) m_bLoadRequested = false;
    }
    m_bLoaderDone = true;
    m_loadWake.notify_all();
}

void CvClientDoc::RequestLocalLoad(const std::string& folderCaption, const std::vector<std::string>& paths) {
    {
        std::lock_guard lock(m_loadMutex);
        m_LocalPaths.insert(m_LocalPaths.end(), paths.begin(), paths.end());
        m_bLoadRequested = !m_LocalPaths.empty() || m_bLoadRequested;
    }
    m_strFolderCaption = folderCaption;
    UpdateBrowserCaption();
    m_loadWake.notify_all();
}

bool CvClientDoc::IsLoadRequested() const {
    std::lock_guard lock(m_loadMutex);
    return m_bLoadRequested;
}

// ---- Views ----

void CvClientDoc::AddView(QWidget* view) {
    if (view) m_views.emplace_back(view);
}

void CvClientDoc::CloseAllViews() {
    for (const QPointer<QWidget>& view : m_views)
        if (!view.isNull()) QMetaObject::invokeMethod(view.data(), "close", Qt::QueuedConnection);
}

std::vector<QWidget*> CvClientDoc::GetViews() const {
    std::vector<QWidget*> out;
    for (const QPointer<QWidget>& view : m_views)
        if (!view.isNull()) out.push_back(view.data());
    return out;
}
