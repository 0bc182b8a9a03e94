#include "app/CvClientApp.h"

#include "doc/CLocalStorage.h"
#include "print/CPrinterState.h"
#include "session/CServerLink.h"

#include "model/CkxFileBaseAttr.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxGuiThread.h"
#include "qt/KxPrompt.h"

#include <QMetaObject>

#include <algorithm>
#include <cstring>

namespace {

CvClientApp* g_current = nullptr;

} // namespace

CvClientApp::CvClientApp(QObject* parent) : QObject(parent), m_printer(std::make_unique<CPrinterState>()) { g_current = this; }

CvClientApp::~CvClientApp() {
    if (g_current == this) g_current = nullptr;
    // The windows outlive nothing of ours: closing them now must not call back into the list.
    std::vector<OpenDoc> docs = std::move(m_docs);
    for (OpenDoc& open : docs) {
        if (open.window.isNull()) continue;
        open.window->disconnect(this);
        delete open.window.data();
    }
    for (OpenDoc& open : docs) TheLocalStorage().DeleteDocDir(open.doc->GetDocID());
}

CvClientApp* CvClientApp::Current() { return g_current; }

// ---- Open documents ----

CvClientDoc* CvClientApp::GetFirstDoc() const { return m_docs.empty() ? nullptr : m_docs.front().doc.get(); }

int CvClientApp::IndexOfDoc(const CvClientDoc* doc) const {
    if (!doc) return -1;
    for (size_t i = 0; i < m_docs.size(); ++i)
        if (m_docs[i].doc.get() == doc) return static_cast<int>(i);
    return -1;
}

CvClientDoc* CvClientApp::FindDoc(int docId) const {
    for (const OpenDoc& open : m_docs)
        if (open.doc->GetDocID() == docId) return open.doc.get();
    return nullptr;
}

CvClientDoc* CvClientApp::FindRecycleBinDoc() const {
    for (const OpenDoc& open : m_docs)
        if (open.doc->IsRecycleBin()) return open.doc.get();
    return nullptr;
}

std::vector<CvClientDoc*> CvClientApp::GetDocs() const {
    std::vector<CvClientDoc*> out;
    for (const OpenDoc& open : m_docs) out.push_back(open.doc.get());
    return out;
}

void CvClientApp::MoveDocToHead(CvClientDoc* doc) {
    const int at = IndexOfDoc(doc);
    if (at <= 0) return;
    OpenDoc moved = std::move(m_docs[static_cast<size_t>(at)]);
    m_docs.erase(m_docs.begin() + at);
    m_docs.insert(m_docs.begin(), std::move(moved));
}

int CvClientApp::CanOpenDoc() {
    if (GetDocCount() < kMaxDocs) return 1;
    kx::Prompt(nullptr, kLimitText, kx::PromptOk, kx::PromptWarning);
    return 0;
}

CvClientDoc* CvClientApp::OpenNewDoc() {
    kx::AssertGuiThread();
    if (GetDocCount() >= kMaxDocs || !m_template.makeDoc) return nullptr;
    std::unique_ptr<CvClientDoc> doc = m_template.makeDoc();
    if (!doc || !doc->OnNewDocument()) return nullptr;
    doc->SetDocID(m_nNextDocID++);
    CvClientDoc* raw = doc.get();
    QWidget* window = m_template.makeWindow ? m_template.makeWindow(*raw) : nullptr;
    m_docs.push_back({std::move(doc), window});
    if (window) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        raw->AddView(window);
        connect(window, &QObject::destroyed, this, [this, raw] { RemoveDoc(raw); });
        raw->UpdateBrowserCaption();
        window->show();
    }
    TheLocalStorage().CreateDocDir(raw->GetDocID());
    return raw;
}

void CvClientApp::RemoveDoc(CvClientDoc* doc) {
    if (!doc) return;
    const int docId = doc->GetDocID();
    const int at = IndexOfDoc(doc);
    if (at >= 0) {
        OpenDoc gone = std::move(m_docs[static_cast<size_t>(at)]);
        m_docs.erase(m_docs.begin() + at);
        // Removed while its window still stands: the window goes too, without calling back.
        if (!gone.window.isNull()) {
            gone.window->disconnect(this);
            gone.window->deleteLater();
        }
    }
    TheLocalStorage().DeleteDocDir(docId);
}

// ---- Documents filled from the server ----

CkxQueryTemplet::_FIX CvClientApp::BuildQueryHead(const CkxQueryTemplet& templet) {
    const CkxQueryTemplet::_FIX& from = templet.m_Fix;
    CkxQueryTemplet::_FIX head;
    std::memset(&head, 0, sizeof head);
    const auto* src = reinterpret_cast<const unsigned char*>(&from);
    auto* dst = reinterpret_cast<unsigned char*>(&head);
    std::memcpy(dst, src, 10); // the two ids and the two flag bytes
    const size_t title = strnlen(from.szTitle, sizeof from.szTitle);
    std::memcpy(dst + 10, src + 10, std::min(title, sizeof from.szTitle - 1));
    std::memcpy(dst + 60, src + 60, 96); // the 24 fields from the folder to the last flag
    return head;
}

CvClientDoc* CvClientApp::NewServerDoc(int kind) {
    if (!CanOpenDoc()) return nullptr;
    CvClientDoc::SetNextDocKind(kind);
    CvClientDoc* doc = OpenNewDoc();
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_NONE);
    return doc;
}

// Sends the request of the document's stored query; the send result (kTooManyEntries for a
// query the transport cannot carry whole, after telling the user).
int CvClientApp::SendDocRequest(CServerLink& link, CvClientDoc& doc) {
    const int id = doc.GetDocID();
    int result = 0;
    switch (doc.GetKind()) {
    case CvClientDoc::KIND_TEMPLET:
        result = link.SendTempletQueryRequest(BuildQueryHead(doc.m_Templet), doc.m_Templet.m_OperandList, id);
        break;
    case CvClientDoc::KIND_OPERAND: return link.SendOperandQueryRequest(doc.m_Operand);
    case CvClientDoc::KIND_FOLDER: return link.SendFolderFilesRequest(doc.m_nFolderID, id);
    case CvClientDoc::KIND_FAMILY: return link.SendFamilyFilesRequest(doc.m_nFamilyID, id);
    case CvClientDoc::KIND_PROJECT: return link.SendProjectFilesRequest(doc.m_nProjectID, id);
    case CvClientDoc::KIND_KEYWORDS:
        // A document asks again what it asked first: all the keywords, or any of them.
        result = doc.m_bAllKeywords ? link.SendFileIdsRequest(doc.m_KeywordIDs, id)
                                    : link.SendKeywordFilesRequest(doc.m_KeywordIDs, id);
        break;
    default: return 0;
    }
    if (result == CServerLink::kTooManyEntries) kx::Prompt(nullptr, kTooLargeText, kx::PromptOk, kx::PromptWarning);
    return result;
}

CvClientDoc* CvClientApp::QueryByTemplet(CServerLink& link, const CkxQueryTemplet& templet) {
    CvClientDoc* doc = NewServerDoc(CvClientDoc::KIND_TEMPLET);
    if (!doc) return nullptr;
    doc->m_Templet = templet;
    doc->SetKind(CvClientDoc::KIND_TEMPLET);
    SendDocRequest(link, *doc);
    return doc;
}

CvClientDoc* CvClientApp::QueryByKeywordsAll(CServerLink& link, const std::vector<int>& keywordIds) {
    CvClientDoc* doc = NewServerDoc(CvClientDoc::KIND_KEYWORDS);
    if (!doc) return nullptr;
    doc->m_KeywordIDs = keywordIds;
    doc->m_bAllKeywords = true;
    doc->SetKind(CvClientDoc::KIND_KEYWORDS);
    SendDocRequest(link, *doc);
    return doc;
}

CvClientDoc* CvClientApp::QueryByKeywordsAny(CServerLink& link, const std::vector<int>& keywordIds) {
    CvClientDoc* doc = NewServerDoc(CvClientDoc::KIND_KEYWORDS);
    if (!doc) return nullptr;
    doc->m_KeywordIDs = keywordIds;
    doc->m_bAllKeywords = false;
    doc->SetKind(CvClientDoc::KIND_KEYWORDS);
    SendDocRequest(link, *doc);
    return doc;
}

CvClientDoc* CvClientApp::OperandDoc(CServerLink& link, const CkxQueryOperand& operand, int quickCode) {
    CvClientDoc* doc = NewServerDoc(CvClientDoc::KIND_OPERAND);
    if (!doc) return nullptr;
    doc->m_Operand = operand;
    // The answer finds its document by the id the operand carries.
    doc->m_Operand.SetExData(doc->GetDocID());
    if (quickCode) doc->SetQuickQuery(quickCode);
    doc->SetKind(CvClientDoc::KIND_OPERAND);
    SendDocRequest(link, *doc);
    return doc;
}

CvClientDoc* CvClientApp::ShowFileById(CServerLink& link, int fileId) {
    CkxQueryOperand op;
    op.Set_Equal(KXB_ID, fileId);
    return OperandDoc(link, op, 0);
}

CvClientDoc* CvClientApp::QueryByAuthTime(CServerLink& link, const COleDateTime& from, const COleDateTime& to, int quickCode) {
    CkxQueryOperand op;
    op.Set_FromTo_Close(KXB_AUTHTIME, from, to);
    return OperandDoc(link, op, quickCode);
}

CvClientDoc* CvClientApp::QueryByWriteTime(CServerLink& link, const COleDateTime& from, const COleDateTime& to, int quickCode) {
    CkxQueryOperand op;
    op.Set_FromTo_Close(KXB_WRITETIME, from, to);
    return OperandDoc(link, op, quickCode);
}

CvClientDoc* CvClientApp::QueryByEditTime(CServerLink& link, const COleDateTime& from, const COleDateTime& to, int quickCode) {
    CkxQueryOperand op;
    op.Set_FromTo_Close(KXB_EDITTIME, from, to);
    return OperandDoc(link, op, quickCode);
}

CvClientDoc* CvClientApp::QueryByAuthor(CServerLink& link, int personId, int quickCode) {
    CkxQueryOperand op;
    op.Set_Equal(KXB_AUTHORID, personId);
    return OperandDoc(link, op, quickCode);
}

CvClientDoc* CvClientApp::QueryByWriter(CServerLink& link, int userId, int quickCode) {
    CkxQueryOperand op;
    op.Set_Equal(KXB_WRITERID, userId);
    return OperandDoc(link, op, quickCode);
}

CvClientDoc* CvClientApp::QueryByEditor(CServerLink& link, int userId, int quickCode) {
    CkxQueryOperand op;
    op.Set_Equal(KXB_EDITORID, userId);
    return OperandDoc(link, op, quickCode);
}

CvClientDoc* CvClientApp::OpenFamilyDoc(CServerLink& link, int familyId) {
    CvClientDoc* doc = NewServerDoc(CvClientDoc::KIND_FAMILY);
    if (!doc) return nullptr;
    doc->m_nFamilyID = familyId;
    doc->SetKind(CvClientDoc::KIND_FAMILY);
    SendDocRequest(link, *doc);
    return doc;
}

CvClientDoc* CvClientApp::OpenFolderDoc(CServerLink& link, int folderId) {
    CvClientDoc* doc = NewServerDoc(CvClientDoc::KIND_FOLDER);
    if (!doc) return nullptr;
    doc->m_nFolderID = folderId;
    doc->SetKind(CvClientDoc::KIND_FOLDER);
    SendDocRequest(link, *doc);
    return doc;
}

CvClientDoc* CvClientApp::OpenProjectDoc(CServerLink& link, int projectId) {
    CvClientDoc* doc = NewServerDoc(CvClientDoc::KIND_PROJECT);
    if (!doc) return nullptr;
    doc->m_nProjectID = projectId;
    doc->SetKind(CvClientDoc::KIND_PROJECT);
    SendDocRequest(link, *doc);
    return doc;
}

int CvClientApp::ShowRecycleBin(CServerLink& link) {
    if (!CanOpenDoc()) return 0;
    CvClientDoc* doc = FindRecycleBinDoc();
    if (!doc) doc = NewServerDoc(CvClientDoc::KIND_RECYCLE);
    if (!doc) return 0;
    doc->SetKind(CvClientDoc::KIND_RECYCLE);
    return link.SendRecycleListRequest(doc->GetDocID());
}

int CvClientApp::RequeryDoc(CServerLink& link, CvClientDoc* doc) {
    if (!doc || !IsDocOpen(doc)) return 0;
    return SendDocRequest(link, *doc);
}

// ---- Local documents ----

void CvClientApp::LoadLocal(CvClientDoc* doc, bool replace) {
    if (!doc) return;
    KxStrings paths;
    std::string ext;
    if (CkxwFileSystem::ShowDlg_OpenFile(paths, ext) <= 0 || paths.empty()) return;
    LoadLocalPaths(doc, std::vector<std::string>(paths.begin(), paths.end()), replace);
}

void CvClientApp::LoadLocalPaths(CvClientDoc* doc, const std::vector<std::string>& paths, bool replace) {
    if (!doc || paths.empty()) return;
    doc->SetKind(CvClientDoc::KIND_LOCAL);
    if (replace) doc->RemoveAllFiles();
    doc->RequestLocalLoad(CkxwFileSystem::GetDir(paths.front()), paths);
}

void CvClientApp::AppendLocalFiles(CvClientDoc* doc) { LoadLocal(doc, false); }
void CvClientApp::OpenLocalFiles(CvClientDoc* doc) { LoadLocal(doc, true); }

// ---- The printer ----

int CvClientApp::HasPrinter() const { return m_printer->HasPrinter(); }
void CvClientApp::EnsurePrinter() { m_printer->EnsurePrinter(); }
int CvClientApp::SetPrinterDevMode(const std::string& bytes) { return m_printer->SetDevMode(bytes); }
int CvClientApp::GetPrintOrientation() const { return m_printer->GetOrientation(); }
void CvClientApp::SetPrintOrientation(int orientation) { m_printer->SetOrientation(orientation); }
void CvClientApp::SetPrintPortrait() { m_printer->SetPortrait(); }
void CvClientApp::SetPrintLandscape() { m_printer->SetLandscape(); }
bool CvClientApp::IsPrintPortrait() const { return m_printer->IsPortrait(); }
bool CvClientApp::IsPrintLandscape() const { return m_printer->IsLandscape(); }

int CvClientApp::SavePrinterDevMode() {
    if (!m_printer->GetPrinter()) return 0;
    return StorePrinterDevMode(m_printer->GetDevMode());
}

// ---- Notifications ----

void CvClientApp::PostNotification(std::unique_ptr<CvNotification> notification) {
    if (!notification) return;
    bool post = false;
    {
        std::lock_guard lock(m_queueMutex);
        m_queue.push_back(std::move(notification));
        post = !m_bConsumePosted;
        m_bConsumePosted = true;
    }
    if (post) QMetaObject::invokeMethod(this, [this] { ConsumeNotifications(); }, Qt::QueuedConnection);
}

size_t CvClientApp::PendingNotifications() const {
    std::lock_guard lock(m_queueMutex);
    return m_queue.size();
}

void CvClientApp::ConsumeNotifications() {
    kx::AssertGuiThread();
    for (;;) {
        std::unique_ptr<CvNotification> n;
        {
            // The lock guards the queue only: documents change outside it.
            std::lock_guard lock(m_queueMutex);
            if (m_queue.empty()) {
                m_bConsumePosted = false;
                return;
            }
            n = std::move(m_queue.front());
            m_queue.pop_front();
        }
        Apply(*n);
    }
}

void CvClientApp::Apply(const CvNotification& n) {
    CvClientDoc* bin = FindRecycleBinDoc();
    switch (n.code) {
    case CvNotification::UPDATE_FILE:
        for (CvClientDoc* doc : GetDocs()) doc->UpdateFile(n.file);
        break;
    case CvNotification::REMOVE_FILES:
        for (CvClientDoc* doc : GetDocs()) doc->RemoveFiles(n.FileIds());
        break;
    case CvNotification::CHECKED_OUT:
        for (CvClientDoc* doc : GetDocs()) doc->SetFileCheckout(n.checkout);
        break;
    case CvNotification::BIN_PURGED:
    case CvNotification::BIN_RESTORED:
        if (bin) bin->RemoveFiles(n.FileIds());
        break;
    case CvNotification::BIN_ALL_RESTORED:
        if (bin) bin->RemoveAllFiles();
        break;
    case CvNotification::CHECKED_IN:
        for (CvClientDoc* doc : GetDocs()) doc->ClearFileCheckout(n.checkout.m_nFileID, n.changed);
        break;
    default: break;
    }
}

// ---- Answers ----

void CvClientApp::InsertFiles(int docId, const std::vector<CkxContainer>& files) {
    CvClientDoc* doc = FindDoc(docId);
    if (!doc) return; // the document closed before its answer came
    for (const CkxContainer& c : files) doc->InsertFileFromContainer(c);
}

void CvClientApp::OnRecycleBinEmptied() {
    if (CvClientDoc* bin = FindRecycleBinDoc()) bin->RemoveAllFiles();
}

void CvClientApp::OnWholeFile(int docId, int fileId, const CkxFile& record, const std::string& bytes) {
    CvClientDoc* doc = FindDoc(docId);
    if (!doc) return; // its folder went with it
    if (!TheLocalStorage().SaveEncryptedCopy(docId, record, bytes.data(), static_cast<int>(bytes.size()))) return;
    doc->SetWholeStateValid(fileId);
    doc->RefreshSelectedFile(fileId);
}
