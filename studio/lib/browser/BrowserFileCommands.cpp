#include "browser/BrowserFileCommands.h"

#include "app/CVarniaStudioApp.h"
#include "app/CvClientApp.h"
#include "browser/BrowserMenu.h"
#include "browser/CxFileBatchNote.h"
#include "browser/CxFileBrowser.h"
#include "dlg/CDlgFileInfo.h"
#include "dlg/CDlgKeywordBind.h"
#include "doc/CLocalStorage.h"
#include "doc/CvClientDoc.h"
#include "session/CStudioLink.h"

#include "image/CxImage.h"
#include "model/CkxFileOpeState.h"
#include "model/CkxFileX.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxWaitCursor.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgDataShareEdit.h"
#include "ui/CDlgFileRefProjectAdmin.h"
#include "ui/CDlgOperatorSelect.h"
#include "ui/CDlgWarnOpeFile.h"
#include "ui/CkxwDlgBatchFileNote.h"
#include "ui/CkxwDlgPowerSet.h"
#include "ui/CkxwFSFileQuickKeyEdit.h"
#include "ui/CkxwFileListView.h"
#include "ui/CkxwIPC.h"

#include <QApplication>

namespace {

int CanLoad(int user, const CkxFile& f) { return KX_KXXXX().fsUserCan_File_Load(user, f.m_nWriterID, f.GetPower()); }
int CanEdit(int user, const CkxFile& f) { return KX_KXXXX().fsUserCan_File_Edit(user, f.m_nWriterID, f.GetPower()); }
int CanFullCtrl(int user, const CkxFile& f) {
    return KX_KXXXX().fsUserCan_File_FullCtrl(user, f.m_nWriterID, f.GetPower());
}
int CanDelete(int user, const CkxFile& f) {
    return KX_KXXXX().fsUserCan_File_Delete(user, f.m_nWriterID, f.GetPower());
}

bool CheckedOutByOthers(const CkxFile& f) { return KX_KXXXX().coIsFileCheckoutedByOthers(f.GetID()) != 0; }

// The id record of a file for deleting, restoring or purging.
CkxFile::_COM_DelFile DelRecord(const CkxFile& f, int folder, int purge) {
    CkxFile::_COM_DelFile d = f.GetComData_DelFile();
    d.nStorageID = f.m_nStorageID;
    d.nDirID = folder;
    d.nPurge = purge;
    return d;
}

std::string Lower(std::string s) { return kx::AsciiLower(std::move(s)); }

std::vector<std::unique_ptr<CkxFile>> Copies(const std::vector<CkxFile*>& files) {
    std::vector<std::unique_ptr<CkxFile>> out;
    for (const CkxFile* f : files) out.emplace_back(f->Clone());
    return out;
}

// Owning copies of the files (family -1 each) for the batch note dialog, which edits them in
// place: the document's own files stay as they are until the server announces the change.
void FillNoteList(const std::vector<CkxFile*>& files, CkxFileXList& list) {
    for (const CkxFile* f : files)
        if (CkxFileX* h = list.AddObj(*f)) h->SetFamily(-1);
}

std::vector<std::unique_ptr<CkxFile>> TakeCopies(const CkxFileXList& list) {
    std::vector<std::unique_ptr<CkxFile>> out;
    for (POSITION p = list.GetHeadPosition(); p;)
        if (const CkxFileX* h = list.GetNext(p); h && h->GetObj()) out.emplace_back(h->GetObj()->Clone());
    return out;
}

} // namespace

BrowserFileCommands::BrowserFileCommands(CxFileBrowser& browser)
    : m_browser(browser), m_doc(browser.Document()), m_list(browser.FileList()), m_link(browser.Link()),
      m_queue(browser.Link()) {
    m_queue.SetFinishHandler([this](const std::vector<std::string>& skipped) { OnQueueFinished(skipped); });
}

BrowserFileCommands::~BrowserFileCommands() = default;

void BrowserFileCommands::WaitForQueue() {
    if (!m_wait) m_wait = std::make_unique<kx::WaitCursor>();
}

bool BrowserFileCommands::Run(int id) {
    switch (id) {
    case ID_OPEN_DEF: Open(0); return true;
    case ID_OPEN_WAY: Open(1); return true;
    case ID_OPEN_EDITOR: Open(2); return true;
    case ID_COPY: CopyToClipboard(); return true;
    case ID_DOWNLOAD: Download(); return true;
    case ID_PRINT: Print(); return true;
    case ID_ATTRS: ChangeAttributes(); return true;
    case CxFileBrowser::BTN_UPDATE: UpdateToServer(); return true;
    case ID_RIGHTS: SetRights(); return true;
    case ID_KEYWORDS: SetKeywords(); return true;
    case ID_QUICKKEY: SetQuickKeys(); return true;
    case ID_BOOKMARK: Bookmark(); return true;
    case ID_SHARE: Share(); return true;
    case ID_SEND_TO: SendTo(); return true;
    case ID_LINK_PROJECT: LinkProjects(); return true;
    case ID_SAVE_TO_SERVER: SaveToServer(); return true;
    case ID_UPLOAD: UploadFromMenu(); return true;
    case CxFileBrowser::BTN_UPLOAD: UploadFromButton(); return true;
    case ID_DELETE: Delete(); return true;
    case ID_PURGE: PurgeFromRecycleBin(); return true;
    case ID_RESTORE: RestoreFromRecycleBin(); return true;
    case ID_RESTORE_ALL: RestoreAll(); return true;
    default: return false;
    }
}

// ---- Helpers ----

std::vector<CkxFile*> BrowserFileCommands::SelectedFiles() const {
    std::vector<CkxFile*> out;
    for (CkxwFileListView::POSITION p = m_list->GetFirstSelectedItemPosition(); p;) {
        const int row = m_list->GetNextSelectedItem(p);
        if (CkxFile* f = m_doc.FindFile(m_list->GetItemFileID(row))) out.push_back(f);
    }
    return out;
}

CkxFile* BrowserFileCommands::Selected() const {
    const int id = m_list->GetSelectedFileID();
    return id == -1 || id == 0 ? nullptr : m_doc.FindFile(id);
}

int BrowserFileCommands::User() const { return m_link ? m_link->GetCurrentUserId() : -1; }
bool BrowserFileCommands::IsLocal() const { return m_doc.GetKind() == CvClientDoc::KIND_LOCAL; }
bool BrowserFileCommands::IsHere(const CkxFile& f) const { return IsLocal() || f.Is_WholeState_Valid(); }

void BrowserFileCommands::Touch() const {
    if (CvClientApp* app = CvClientApp::Current()) app->MoveDocToHead(&m_doc);
}

void BrowserFileCommands::Warn(const std::string& text) const {
    kx::Prompt(&m_browser, text, kx::PromptOk, kx::PromptWarning);
}

std::vector<CkxFile*> BrowserFileCommands::FindFiles(const std::vector<int>& ids) const {
    std::vector<CkxFile*> out;
    for (int id : ids)
        if (CkxFile* f = m_doc.FindFile(id)) out.push_back(f);
    return out;
}

std::vector<int> BrowserFileCommands::Gather(Right right, CkxFileOpeStateList& refused,
                                             CkxFileOpeStateList& allowed) const {
    std::vector<int> accepted;
    const int user = User();
    for (CkxFile* f : SelectedFiles()) {
        const int may = right(user, *f) ? 1 : 0;
        const int others = CheckedOutByOthers(*f) ? 1 : 0;
        if (!may || others) {
            refused.AddTail(f->FormatName(), may, others);
        } else {
            // Name first: the warning dialog shows the first text under "文件名称" and the
            // second under "目录".
            allowed.AddTail(f->FormatName(), f->FormatLocDir());
            accepted.push_back(f->GetID());
        }
    }
    return accepted;
}

std::unique_ptr<CkxFile> BrowserFileCommands::CopyWithContent(const CkxFile& f) const {
    std::unique_ptr<CkxFile> copy(f.Clone());
    copy->DestroyWhole();
    const bool read = IsLocal() ? copy->LoadMemWhole(f.GetSourcePath()) != 0
                                : TheLocalStorage().LoadEncryptedWhole(m_doc.GetDocID(), copy.get());
    if (!read) return nullptr;
    return copy;
}

void BrowserFileCommands::OnQueueFinished(const std::vector<std::string>& skipped) {
    if (!m_queue.IsBusy()) m_wait.reset();
    if (skipped.empty()) return;
    std::string text = "以下文件无法读取，没有上载到服务器:";
    for (const std::string& name : skipped) text += "\n" + name;
    Warn(text);
}

// ---- Open ----

void BrowserFileCommands::Open(int mode) {
    Touch();
    CkxFile* f = Selected();
    if (!f) return;
    if (IsLocal()) {
        const std::string path = f->GetSourcePath();
        if (mode == 0) CkxwFileSystem::OpenFileDef(path);
        else if (mode == 1) CkxwFileSystem::OpenFileWay(path);
        else CkxwFileSystem::OpenFileOnTintwork(path);
        return;
    }
    if (!CanEdit(User(), *f)) return Warn("您无权打开文件");
    if (KX_KXXXX().coIsFileCheckouted(f->GetID())) {
        if (!KX_KXXXX().coIsUserCheckoutFile(f->GetID(), User())) return Warn("文件被他人签出，您无法打开");
        // The user's own checkout: the copy on this workstation is what he works on.
        const std::string name = f->GetIDName();
        if (mode == 0) TheLocalStorage().OpenCheckoutCopyDef(name);
        else if (mode == 1) TheLocalStorage().OpenCheckoutCopyWay(name);
        else TheLocalStorage().OpenCheckoutCopyInEditor(name);
        return;
    }
    if (!IsHere(*f)) return Warn("文件正在传输中,禁止打开");
    if (!m_link) return;
    CServerLink::CheckoutSpec spec;
    spec.fileId = f->GetID();
    spec.storageId = f->m_nStorageID;
    spec.title = f->m_strTitle;
    spec.ext = f->m_strExName;
    spec.callerValue = m_doc.GetDocID();
    if (mode == 0) m_link->SendCheckoutOpenDefRequest(spec);
    else if (mode == 1) m_link->SendCheckoutOpenWayRequest(spec);
    else m_link->SendCheckoutOpenInEditorRequest(spec);
}

// ---- Clipboard, download, print ----

void BrowserFileCommands::CopyToClipboard() {
    Touch();
    kx::WaitCursor wait;
    CkxFile* f = Selected();
    CxImage image;
    if (IsLocal()) {
        if (f && CLocalStorage::LoadImageFile(f->GetSourcePath(), image)) CkxwIPC::CopyImageToClipboard(image);
        return;
    }
    if (!f || !IsHere(*f)) return Warn("文件正在传输中,禁止复制");
    if (!CanLoad(User(), *f)) return Warn("您无权复制文件 " + f->FormatName());
    if (TheLocalStorage().LoadEncryptedImage(m_doc.GetDocID(), f->GetIDName(), image))
        CkxwIPC::CopyImageToClipboard(image);
}

void BrowserFileCommands::Download() {
    Touch();
    if (IsLocal()) return;
    const std::vector<CkxFile*> selected = SelectedFiles();
    if (selected.size() <= 1) {
        CkxFile* f = Selected();
        if (!f || !IsHere(*f)) return Warn("文件正在传输中,禁止打开");
        if (!CanLoad(User(), *f)) return Warn("您无权下载文件 " + f->FormatName());
        const int id = f->GetID();
        std::string path, ext;
        // Qt's save dialog asks before it lets the user pick a file that exists.
        if (!CkxwFileSystem::ShowDlg_SaveFile(f->m_strTitle, f->GetFileName(), path, ext) || path.empty()) return;
        f = m_doc.FindFile(id);
        if (!f) return;
        if (std::unique_ptr<CkxFile> copy = CopyWithContent(*f)) copy->SaveFile(path);
        return;
    }
    CkxFileOpeStateList refused, allowed;
    const std::vector<int> ids = Gather(CanLoad, refused, allowed);
    if (!KX_ShowDlg_WarnOpeFile_DownloadToLocal(refused, allowed)) return;
    const std::string dir = CkxwFileSystem::ShowDirBrowser("选择根目录", &m_browser);
    if (dir.empty()) return;
    for (const int id : ids) {
        // A warning below runs the event loop too: each file is looked up again.
        const CkxFile* f = m_doc.FindFile(id);
        if (!f) continue;
        if (!IsHere(*f)) {
            Warn("文件\"" + f->FormatName() + "\"正在传输中,禁止下载");
            continue;
        }
        if (!CanLoad(User(), *f)) continue;
        // SaveToDir keeps the name inside the folder and never replaces a file there.
        if (std::unique_ptr<CkxFile> copy = CopyWithContent(*f)) copy->SaveToDir(dir);
    }
}

bool BrowserFileCommands::LoadForPrint(const CkxFile& file, CkxFile& out) const {
    std::unique_ptr<CkxFile> copy = CopyWithContent(file);
    if (!copy) {
        kx::Prompt(&m_browser, "读取缓存文件失败!", kx::PromptOk, kx::PromptError);
        return false;
    }
    out = *copy;
    return true;
}

void BrowserFileCommands::Print() {
    Touch();
    CkxFile* f = Selected();
    if (!IsLocal()) {
        if (!f || !IsHere(*f)) return Warn("文件正在传输中,禁止打开");
        if (!CanLoad(User(), *f)) return Warn("您无权打印文件 " + f->FormatName());
    }
    if (!f) return;
    // The print job takes the file checked here with its content, never the one the
    // information bar happens to show.
    CkxFile printed;
    if (!LoadForPrint(*f, printed)) return;
    if (CVarniaStudioApp* app = theApp()) app->PrintFile(printed);
}

// ---- Attributes and rights ----

void BrowserFileCommands::ChangeAttributes() {
    Touch();
    CkxFileOpeStateList refused, allowed;
    const std::vector<int> ids = Gather(CanEdit, refused, allowed);
    if (!KX_ShowDlg_WarnOpeFile_UpdateFile(refused, allowed)) return;
    CkxFileXList list;
    FillNoteList(FindFiles(ids), list);
    if (!KX_ShowDlg_BatchFileNote("批量修改文件属性", list, 1)) return;
    WaitForQueue();
    m_queue.Push(CFileSendQueue::UPDATE_ATTRS, TakeCopies(list));
}

void BrowserFileCommands::SaveBatchEdits() {
    // What the batch annotation view holds goes into the files before they are sent.
    if (m_browser.IsBatchMode())
        if (CxFileBatchNote* view = m_browser.BatchView()) view->SaveEdits();
}

void BrowserFileCommands::UpdateToServer() {
    Touch();
    SaveBatchEdits();
    CkxFileOpeStateList refused, allowed;
    const std::vector<int> ids = Gather(CanEdit, refused, allowed);
    if (!KX_ShowDlg_WarnOpeFile_UpdateFile(refused, allowed)) return;
    WaitForQueue();
    m_queue.Push(CFileSendQueue::UPDATE_ATTRS, Copies(FindFiles(ids)));
}

void BrowserFileCommands::SetRights() {
    Touch();
    if (!m_link) return;
    if (SelectedFiles().size() <= 1) {
        CkxFile* f = Selected();
        if (!f) return;
        if (CheckedOutByOthers(*f)) return Warn("文件被他人签出，您无法设置权限");
        const int id = f->GetID();
        CkxPowerEx rights = f->GetPower();
        if (!KX_ShowDlg_PowerSet(0, rights)) return;
        f = m_doc.FindFile(id);
        if (!f) return;
        std::unique_ptr<CkxFile> copy(f->Clone());
        copy->SetPower(rights);
        m_link->SendFileAttrUpdateRequest(*copy);
        return;
    }
    CkxFileOpeStateList refused, allowed;
    const std::vector<int> ids = Gather(CanEdit, refused, allowed);
    if (!KX_ShowDlg_WarnOpeFile_SetPower(refused, allowed)) return;
    CkxPowerEx rights;
    rights.SetParentValid();
    rights.m_nItemType = CkxUserLicence::ITEM_FILE;
    if (!KX_ShowDlg_PowerSet(0, rights)) return;
    for (const CkxFile* f : FindFiles(ids)) {
        std::unique_ptr<CkxFile> copy(f->Clone());
        CkxPowerEx own = rights;
        own.m_nItemID = f->GetID();
        copy->SetPower(own);
        m_link->SendFileAttrUpdateRequest(*copy);
    }
}

// ---- Keywords, quick keys, bookmarks, shares, projects ----

void BrowserFileCommands::SetKeywords() {
    Touch();
    auto* link = dynamic_cast<CStudioLink*>(m_link);
    if (!link) return;
    if (SelectedFiles().size() <= 1) {
        CkxFile* f = Selected();
        if (!f) return;
        if (CheckedOutByOthers(*f)) return Warn("文件被他人签出，您无法设置关键字");
        const int id = f->GetID();
        // The dialog shows a copy: the document's object may be replaced while it runs.
        const std::unique_ptr<CkxFile> shown(f->Clone());
        CDlgKeywordBind dlg(*link, &m_browser);
        dlg.m_pFile = shown.get();
        if (dlg.DoModal() != kx::IDOK) return;
        CkxKeywordLinkList links;
        dlg.GetKeywordLinks(links);
        link->SendFileKeywordLinkRequest(id, links);
        return;
    }
    CkxFileOpeStateList refused, allowed;
    const std::vector<int> ids = Gather(CanFullCtrl, refused, allowed);
    if (!KX_ShowDlg_WarnOpeFile_SetKeyword(refused, allowed)) return;
    CDlgKeywordBind dlg(*link, &m_browser);
    if (dlg.DoModal() != kx::IDOK) return;
    CkxKeywordLinkList links;
    dlg.GetKeywordLinks(links);
    for (int id : ids) {
        links.SetFile(static_cast<unsigned long>(id));
        link->SendFileKeywordLinkRequest(id, links);
    }
}

void BrowserFileCommands::SetQuickKeys() {
    Touch();
    if (!m_link) return;
    if (SelectedFiles().size() <= 1) {
        CkxFile* f = Selected();
        if (!f) return;
        // The one-file refusal shares its text with the rights command.
        if (CheckedOutByOthers(*f)) return Warn("文件被他人签出，您无法设置权限");
        const int id = f->GetID();
        CkxFSQuickKeyList keys;
        KX_KXXXX().m_QuickKeyList.GetFileQuickKey(id, keys);
        if (!KX_ShowDlg_FSFileQuickKeyEdit(id, keys)) return;
        m_link->SendFileQuickKeyRequest(id, keys);
        return;
    }
    CkxFileOpeStateList refused, allowed;
    const std::vector<int> ids = Gather(CanFullCtrl, refused, allowed);
    if (!KX_ShowDlg_WarnOpeFile_SetQuickkey(refused, allowed)) return;
    CkxFSQuickKeyList keys;
    if (!KX_ShowDlg_FSFileQuickKeyEdit(-1, keys)) return;
    for (int id : ids) {
        keys.SetFile(static_cast<unsigned long>(id));
        m_link->SendFileQuickKeyRequest(id, keys);
    }
}

void BrowserFileCommands::Bookmark() {
    Touch();
    if (!m_link) return;
    const int user = User();
    for (const CkxFile* f : SelectedFiles()) {
        if (KX_KXXXX().tagIsTagFile(user, f->GetID())) continue;
        CkxDataTag tag;
        tag.m_nUserID = user;
        tag.m_nDataFormat = 3;
        tag.m_nFileID = f->GetID();
        tag.m_strName = f->FormatName();
        m_link->SendDataTagAddRequest(tag);
    }
}

void BrowserFileCommands::Share() {
    Touch();
    CkxFile* f = Selected();
    if (!f || !m_link) return;
    const int fileId = f->GetID();
    CDlgDataShareEdit dlg(&m_browser);
    dlg.m_Entity.m_strName = f->m_strTitle;
    if (dlg.DoModal() != kx::IDOK) return;
    CkxDataShare share;
    const CkxUser* me = KX_KXXXX().m_UserList.Find(m_link->GetUserName());
    share.m_nUserID = me ? me->m_nID : -1;
    share.m_nDataFormat = 3;
    share.m_nFileID = fileId;
    share.m_strName = dlg.m_Entity.m_strName;
    m_link->SendDataShareAddRequest(share);
}

void BrowserFileCommands::SendTo() {
    Touch();
    CkxFile* f = Selected();
    if (!f || !m_link) return;
    const int fileId = f->GetID();
    const std::string name = f->FormatName();
    CDlgOperatorSelect dlg(&m_browser);
    if (dlg.DoModal() != kx::IDOK || !dlg.m_User) return;
    CkxDataShare share;
    share.m_nUserID = dlg.m_User->m_nID;
    share.m_nDataFormat = 3;
    share.m_nFileID = fileId;
    share.m_strName = name;
    m_link->SendDataShareAddRequest(share);
}

void BrowserFileCommands::LinkProjects() {
    Touch();
    CkxFile* f = Selected();
    if (!f || !m_link) return;
    const int id = f->GetID();
    CkxProjectDataList links;
    if (!KX_ShowDlg_FileRefProjectAdmin(id, links)) return;
    m_link->SendFileProjectRequest(id, links);
}

// ---- Save to server and uploads ----

void BrowserFileCommands::SaveToServer() {
    Touch();
    CkxFile* f = Selected();
    if (!f || !IsHere(*f)) return Warn("文件正在传输中,禁止复制");
    if (!m_browser.IsSaveToServerEnabled()) return;
    const int id = f->GetID();
    // The dialog edits a copy; the family part is offered in the batch mode.
    CDlgFileInfo dlg(&m_browser);
    static_cast<CkxFile&>(dlg.m_File) = *f;
    dlg.m_nFileGiven = 1;
    dlg.SetSaveToServerMode();
    dlg.SetFamilyPart(m_browser.IsBatchMode() ? 1 : 0);
    if (dlg.DoModal() != kx::IDOK) return;
    // The document may have replaced its file objects while the dialog was open.
    if (const CkxFile* again = m_doc.FindFile(id)) SendSavedCopy(*again, dlg.m_File);
}

bool BrowserFileCommands::SendSavedCopy(const CkxFile& selected, CkxFile& edited) {
    CkxFile cached(selected);
    cached.DestroyWhole();
    if (!TheLocalStorage().LoadEncryptedWholeByName(m_doc.GetDocID(), selected.GetIDName(), &cached)) {
        kx::Prompt(&m_browser, "读取缓存文件失败!", kx::PromptOk, kx::PromptError);
        return false;
    }
    const CkxImageTool& formats = KX_KXXXX().m_ImageTool;
    std::string ext = edited.m_strExName;
    if (edited.m_nEncFormat > 0 && edited.m_nEncFormat != selected.m_nEncFormat) {
        const std::string named = formats.Get_ExName_kxID(edited.m_nEncFormat);
        if (!named.empty()) ext = named;
    }
    if (Lower(ext) == Lower(selected.m_strExName)) {
        edited.UpdateWhole(cached.GetMemWholeBuf(), cached.GetMemWholeSize());
    } else {
        // Another format chosen: the stored bytes must be in the format the stored extension
        // names, so the content is converted by the image layer.
        const uint32_t type = static_cast<uint32_t>(formats.Get_xImageID(ext));
        CxImage image;
        std::vector<uint8_t> bytes;
        if (type == 0 || !CxImage::IsWritable(type) ||
            !image.Decode(cached.GetMemWholeBuf(), static_cast<size_t>(cached.GetMemWholeSize())) ||
            !image.Encode(bytes, type) || bytes.empty()) {
            kx::Prompt(&m_browser, "无法转换为所选的文件格式", kx::PromptOk, kx::PromptError);
            return false;
        }
        edited.UpdateWhole(bytes.data(), static_cast<int>(bytes.size()));
        edited.m_strExName = ext;
        edited.m_nEncFormat = formats.Get_kxID(ext);
        edited.m_nSize = static_cast<int32_t>(bytes.size());
    }
    const bool sent = m_link && m_link->SendFileAddRequest(edited) == 1;
    edited.DestroyWhole();
    return sent;
}

void BrowserFileCommands::UploadFromMenu() {
    Touch();
    if (!IsLocal()) return;
    const std::vector<CkxFile*> selected = SelectedFiles();
    if (selected.empty()) return;
    CkxFileXList list;
    FillNoteList(selected, list);
    if (!KX_ShowDlg_BatchFileNote("批量上载到服务器", list, 1)) return;
    WaitForQueue();
    m_queue.Push(CFileSendQueue::ADD_FROM_SOURCE, TakeCopies(list));
}

void BrowserFileCommands::UploadFromButton() {
    Touch();
    if (!IsLocal()) return;
    const std::vector<CkxFile*> selected = SelectedFiles();
    if (selected.empty()) return Warn("请选择要上载到服务器的文件");
    if (kx::Prompt(&m_browser, "确定上载文件到服务器吗", kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk)
        return;
    SaveBatchEdits();
    const std::vector<CkxFile*> chosen = SelectedFiles(); // as they are after the question
    WaitForQueue();
    m_queue.Push(CFileSendQueue::ADD_FROM_SOURCE, Copies(chosen));
}

// ---- Delete and the recycle bin ----

void BrowserFileCommands::Delete() {
    Touch();
    if (IsLocal()) {
        if (SelectedFiles().empty()) return;
        if (kx::Prompt(&m_browser, "确定删除本地文件", kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk)
            return;
        std::vector<int> ids;
        for (const CkxFile* f : SelectedFiles()) {
            ids.push_back(f->GetID());
            CkxwFileSystem::DeleteFileA(f->GetSourcePath());
        }
        // The document lets go of them too, so its count and the slide show no longer see
        // files that are gone; its browser drops their rows.
        m_doc.RemoveFiles(ids);
        return;
    }
    if (!m_doc.IsServerDoc() || m_doc.IsRecycleBin() || !m_link) return;
    CkxFileOpeStateList refused, allowed;
    std::vector<CkxFile::_COM_DelFile> records;
    for (const CkxFile* f : FindFiles(Gather(CanDelete, refused, allowed))) records.push_back(DelRecord(*f, -1, 0));
    int complete = 0;
    if (!KX_ShowDlg_WarnOpeFile_DeleteFile(refused, allowed, complete)) return;
    if (records.empty()) return;
    // The dialog's "完全删除文件" is the server's purge flag.
    for (CkxFile::_COM_DelFile& r : records) r.nPurge = complete ? 1 : 0;
    m_link->SendFileDeleteRequest(records);
}

void BrowserFileCommands::PurgeFromRecycleBin() {
    Touch();
    const std::vector<CkxFile*> selected = SelectedFiles();
    if (selected.empty() || !m_link) return;
    if (kx::Prompt(&m_browser, "确定删除回收站文件", kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk)
        return;
    std::vector<CkxFile::_COM_DelFile> records;
    for (const CkxFile* f : SelectedFiles()) records.push_back(DelRecord(*f, -1, 1));
    if (!records.empty()) m_link->SendRecycleDeleteRequest(records);
}

void BrowserFileCommands::RestoreFromRecycleBin() {
    Touch();
    if (!m_link) return;
    std::vector<CkxFile::_COM_DelFile> records;
    for (const CkxFile* f : SelectedFiles()) {
        const int folder = KX_KXXXX().fsIsDirValid(f->m_nLocDirID) ? f->m_nLocDirID : -1;
        records.push_back(DelRecord(*f, folder, 0));
    }
    if (!records.empty()) m_link->SendRecycleRestoreRequest(records);
}

void BrowserFileCommands::RestoreAll() {
    Touch();
    if (m_link) m_link->SendRestoreAllRequest();
}
