#include "doc/CvClientDoc.h"

#include "doc/CLocalStorage.h"

#include "base/OleDate.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"

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

CvClientDoc::~CvClientDoc() { ClearFiles(); }

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
    return true;
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
    AddFile(handle.release());
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

void CvClientDoc::RemoveFile(int fileId) { DeleteFileFromSet(fileId); }

void CvClientDoc::RemoveFiles(const std::vector<int>& fileIds) {
    for (int id : fileIds) DeleteFileFromSet(id);
}

void CvClientDoc::RemoveAllFiles() {
    if (GetFileCount() == 0) return;
    ClearFiles();
}

void CvClientDoc::UpdateFile(const CkxFileX& file) {
    if (!file.GetObj()) return;
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

int CvClientDoc::GetPendingCount() const {
    CkxAutoLock pending(&m_pendingLock);
    return static_cast<int>(m_Pending.size());
}

void CvClientDoc::RequestLocalLoad(const std::string& folderCaption, const std::vector<std::string>& paths) {
    m_LocalPaths = paths;
    m_bLoadRequested = true;
    m_strFolderCaption = folderCaption;
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
