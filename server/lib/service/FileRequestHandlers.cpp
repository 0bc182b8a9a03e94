#include "service/FileRequestHandlers.h"

#include "service/RequestRights.h"

#include "model/CkxContainer.h"
#include "model/CkxFileList.h"
#include "model/CkxFileX.h"
#include "model/CkxXXX.h"
#include "service/FileListHandlers.h"
#include "transport/NetMessage.h"
#include "service/OperationLog.h"
#include "service/RequestIO.h"
#include "base/Record.h"
#include "data/CDataManager.h"
#include "session/CServerSession.h"

#include <mutex>
#include <shared_mutex>

namespace kx {

namespace {

int UserOf(const KxRequest& request) { return request.session.GetUserID(); }

// The fields of a new file that the server sets, whatever the client sent: who put it in and
// when, no editor, not deleted, not checked out, no source path.
void PrepareNewFile(CkxFile& file, int userId, const COleDateTime& now) {
    file.m_nWriterID = userId;
    file.m_nEditorID = -1;
    file.m_dtWrite = now;
    file.m_dtEdit = COleDateTime();
    file.m_nDeleted = 0;
    file.m_nDeleterID = -1;
    file.m_dtDelete = COleDateTime();
    file.m_nCheckouted = 0;
    file.m_nCheckoutUserID = -1;
    file.m_dtCheckout = COleDateTime();
    file.m_strSourcePath.clear();
}

// Adds the file of an add request, called without the catalogue lock: the content is written,
// flushed and put in place under the row's reserved id first, with nobody waiting, and the lock
// is held alone only for the row, its log line and the commit. 1 when stored (and only then
// logged), 0 when storing failed, -1 when the user may not create files in its folder (refused,
// nothing stored).
int AddFromRequest(KxRequest& request, CImageFileService& service, CkxFile& file) {
    {
        // A first look at the rights, so that a refused add writes nothing, when a reader may
        // go in at once. While changes wait for the lock it is skipped: a reader would wait
        // behind them, and the uploads would write one after another again. The rights are
        // looked at under the lock in any case, since they may change while the content is
        // written.
        std::shared_lock lock(request.data.CatalogueMutex(), std::try_to_lock);
        if (lock.owns_lock() && !FileCreateAllowed(request, file)) return -1;
    }
    CFileService::StagedAdd staged;
    if (!service.StageAdd(file, staged)) return 0;
    // The catalogue lock alone, not the in-memory lists' lock: an add writes rows and changes
    // no list, so readers of the lists alone go on beside it.
    std::lock_guard lock(request.data.CatalogueMutex());
    if (!FileCreateAllowed(request, file)) return -1;
    PrepareNewFile(file, UserOf(request), COleDateTime::GetCurrentTime());
    // The log line is committed with the row: a file that was not stored has no add line.
    return service.CommitAdd(file, staged, [&] {
        return LogRequest(request, "添加文件" + file.GetFileName(), KXLOG_CAT_FILEADMIN) > 0;
    });
}

void AddFile(KxRequest& request) {
    auto service = FileServiceOf(request);
    std::unique_ptr<CkxFile> file = ReadFileData(request);
    if (!file) return;
    file->m_nEncFormat = CkxFile::GetFormatID(file->m_strExName);
    if (AddFromRequest(request, *service, *file) == 0) RefuseRequest("file", request, "the file could not be stored");
}

void DeleteFiles(KxRequest& request) {
    auto service = FileServiceOf(request);
    const auto records = ReadDeleteRecords(request);
    std::vector<CkxFile::_COM_DelFile> applied;
    std::vector<CSessionList::Match> readers; // of each applied record's file
    for (const auto& rec : records) {
        std::unique_ptr<CkxFile> row;
        const int id = static_cast<int>(rec.nID);
        if (service->DeleteFile(UserOf(request), id, rec.nPurge, &row) != 1) {
            ServerWarning("delete of file %d by user %d: no such file or the database refused it", id,
                          UserOf(request));
            continue;
        }
        applied.push_back(rec);
        readers.push_back(FileReaders(*row));
        const std::string name = row->GetFileName();
        LogRequest(request, rec.nPurge ? "完全删除文件\"" + name + "\"" : "移动文件\"" + name + "\"到回收站",
                   KXLOG_CAT_FILEADMIN);
    }
    AnnounceDeleteRecords(request, applied, readers);
}

} // namespace

// ---- shared helpers ----

std::unique_ptr<CImageFileService> FileServiceOf(const KxRequest& request) {
    return std::make_unique<CImageFileService>(request.data);
}

std::unique_ptr<CkxFile> ReadFileData(const KxRequest& request) {
    const std::string_view bytes = request.Payload();
    // The sections are read in place from the message: the content is copied once, into the
    // file object.
    std::vector<std::string_view> body;
    if (bytes.size() > static_cast<size_t>(INT32_MAX) ||
        !CkxContainer::SectionViews(bytes.data(), static_cast<int>(bytes.size()), body)) {
        RefuseRequest("file", request, "the file body is not a section container");
        return nullptr;
    }
    // Section 0, the base record, names the file's class.
    std::unique_ptr<CkxFile> file(CkxFile::_CreateFile(body[0].data(), static_cast<int>(body[0].size())));
    if (!file || !file->PasyFileData(body)) {
        RefuseRequest("file", request, "the file body lacks a section or its base record is short");
        return nullptr;
    }
    return file;
}

uint32_t RequestParam(const KxRequest& request) {
    return request.message ? request.message->GetParam() : request.packet.GetParam();
}

std::vector<CkxFile::_COM_DelFile> ReadDeleteRecords(const KxRequest& request) {
    const std::string_view bytes = request.Payload();
    std::vector<CkxFile::_COM_DelFile> out(RecordCount<CkxFile::_COM_DelFile>(bytes.size()));
    for (size_t i = 0; i < out.size(); ++i) ReadRecordAt(bytes.data(), bytes.size(), i, out[i]);
    return out;
}

NetMessage DeleteRecordsMessage(int type, int subOp, uint32_t param,
                                const std::vector<CkxFile::_COM_DelFile>& records) {
    NetMessage message;
    message.SetCommand(type, subOp);
    message.SetParam(param);
    message.AppendData(records.data(), records.size() * sizeof(CkxFile::_COM_DelFile));
    return message;
}

void AnnounceDeleteRecords(const KxRequest& request, const std::vector<CkxFile::_COM_DelFile>& applied,
                           const std::vector<CSessionList::Match>& readers) {
    if (applied.empty()) return;
    // Each session hears of the files its user may read, in one message; of none, nothing.
    request.Sessions().SendToEach([&](CClientSession& to) {
        std::vector<CkxFile::_COM_DelFile> seen;
        for (size_t i = 0; i < applied.size(); ++i)
            if (i < readers.size() && (!readers[i] || readers[i](to))) seen.push_back(applied[i]);
        if (seen.empty()) return 0;
        return to.SendReplyMessage(DeleteRecordsMessage(request.Type(), request.SubOp(), RequestParam(request), seen));
    });
}

// A recycle bin is its owner's alone: what leaves it is told to that user's sessions only.
void AnnounceToBinOwner(const KxRequest& request, const std::vector<CkxFile::_COM_DelFile>& applied) {
    if (applied.empty()) return;
    request.Sessions().SendMessageToUser(
        UserOf(request), DeleteRecordsMessage(request.Type(), request.SubOp(), RequestParam(request), applied));
}

// ---- handlers ----

void HandleFileRecord(KxRequest& request) {
    if (request.SubOp() == kSubAdd) return AddFile(request);
    if (request.SubOp() == kSubDelete) return DeleteFiles(request);
}

void HandleCaptureFileAdd(KxRequest& request) {
    auto service = FileServiceOf(request);
    std::unique_ptr<CkxFile> file = ReadFileData(request);
    if (!file) return;
    const int localId = file->GetID();
    // The capture station deletes its own copy when this answer comes, so it comes only for a
    // file that was stored.
    const int added = AddFromRequest(request, *service, *file);
    if (added == 0) return RefuseRequest("file", request, "the file could not be stored");
    if (added < 0) return;
    NetPacket answer = MakeAnswer(kMsgCaptureFile, kSubNone);
    answer.SetText(std::to_string(localId));
    answer.SetParam(RequestParam(request));
    request.session.SendReply(answer);
}

void HandleFileModify(KxRequest& request) {
    if (request.Type() != kMsgFileModify) return;
    if (!request.message || request.message->GetPieceCount() < 3)
        return RefuseRequest("file", request, "not a message of base record, extra attributes and rights");
    auto service = FileServiceOf(request);
    const NetMessage& m = *request.message;
    const std::string_view base = m.GetPiece(0), exattr = m.GetPiece(1), power = m.GetPiece(2);
    CkxFileX handle;
    if (!handle.CreateObj(base.data(), static_cast<int>(base.size())))
        return RefuseRequest("file", request, "the base record is short");
    CkxFile& file = *handle.GetObj();
    if (!exattr.empty() && !file.PasyExattr(exattr.data(), static_cast<int>(exattr.size())))
        return RefuseRequest("file", request, "the extra-attribute buffer cannot be read");
    if (!file.PasyPower(power.data(), static_cast<int>(power.size())))
        return RefuseRequest("file", request, "the rights buffer cannot be read");

    const int result = service->ModifyFile(file, UserOf(request), COleDateTime::GetCurrentTime());
    if (result == -1) return RefuseRequest("file", request, "no file has the id");
    if (result != 1) return RefuseRequest("file", request, "the database refused the change");

    // Everybody gets the file as it is now stored, not the request's possibly stale copy.
    NetMessage announce;
    announce.SetCommand(request.Type(), request.SubOp());
    announce.SetParam(RequestParam(request));
    CkxBuf baseBuf, exBuf, powerBuf;
    file.BuildBaseAttr(baseBuf);
    file.BuildExattr(exBuf);
    file.BuildPower(powerBuf);
    announce.AppendData(baseBuf.GetBuf(), static_cast<size_t>(baseBuf.GetLen()));
    announce.AppendData(exBuf.GetBuf(), static_cast<size_t>(exBuf.GetLen()));
    announce.AppendData(powerBuf.GetBuf(), static_cast<size_t>(powerBuf.GetLen()));
    LogRequest(request, "修改文件信息" + file.GetFileName(), KXLOG_CAT_FILEADMIN);
    request.Sessions().SendMessageToAll(announce, FileReaders(request, file.GetID()));
}

void HandleRecycleBrowse(KxRequest& request) {
    auto service = FileServiceOf(request);
    CkxFileList bin;
    service->GetRecycleBin(UserOf(request), bin);
    SendFileList(request.session, KX_KXXXX(), request.Type(), RequestParam(request),
                 request.packet.GetQueueClass(), true, bin);
    LogRequest(request, "浏览回收站文件", KXLOG_CAT_FILEADMIN, true);
}

void HandleRecycleEmpty(KxRequest& request) {
    auto service = FileServiceOf(request);
    if (!service->EmptyRecycleBin(UserOf(request))) return RefuseRequest("file", request, "the database refused the delete");
    NetPacket back(request.packet);
    LogRequest(request, "清空回收站", KXLOG_CAT_FILEADMIN, true);
    request.Sessions().SendToUser(UserOf(request), back);
}

void HandleRecyclePurge(KxRequest& request) {
    auto service = FileServiceOf(request);
    std::vector<CkxFile::_COM_DelFile> applied;
    for (const auto& rec : ReadDeleteRecords(request)) {
        std::unique_ptr<CkxFile> row;
        if (service->PurgeRecycledFile(UserOf(request), static_cast<int>(rec.nID), &row) != 1) {
            ServerWarning("purge of file %u by user %d: not in that recycle bin or refused", rec.nID,
                          UserOf(request));
            continue;
        }
        applied.push_back(rec);
        LogRequest(request, "删除回收站文件\"" + row->GetFileName() + "\"", KXLOG_CAT_FILEADMIN);
    }
    AnnounceToBinOwner(request, applied);
}

void HandleRecycleRestore(KxRequest& request) {
    auto service = FileServiceOf(request);
    const CkxXXX& context = KX_KXXXX();
    const int user = UserOf(request);
    std::vector<CkxFile::_COM_DelFile> applied;
    for (auto rec : ReadDeleteRecords(request)) {
        const int id = static_cast<int>(rec.nID);
        // Only a file of the requester's own bin is restored: a restore never moves a live file.
        std::unique_ptr<CkxFile> row = service->FindFile(id);
        if (!row || !row->IsDeleted() || row->m_nDeleterID != user) {
            ServerWarning("restore of file %d by user %d: not in that recycle bin", id, user);
            continue;
        }
        // A folder that no longer exists gives the file back to no folder, as a restore-all does.
        if (rec.nDirID != -1 && !context.fsIsDirValid(rec.nDirID)) rec.nDirID = -1;
        if (!service->RestoreFile(user, id, rec.nDirID)) {
            ServerWarning("restore of file %d by user %d: the database refused it", id, user);
            continue;
        }
        applied.push_back(rec);
        LogRequest(request, "还原回收站文件\"" + row->GetFileName() + "\"", KXLOG_CAT_FILEADMIN);
    }
    AnnounceToBinOwner(request, applied);
}

void HandleRecycleRestoreAll(KxRequest& request) {
    auto service = FileServiceOf(request);
    const CkxXXX& context = KX_KXXXX();
    const int user = UserOf(request);
    if (service->RestoreAll(user, [&](int folder) { return context.fsIsDirValid(folder) != 0; }) < 0)
        return RefuseRequest("file", request, "the database refused the restore");
    LogRequest(request, "全部还原回收站文件", KXLOG_CAT_FILEADMIN);
    // Workstations act on it when the field at 12 names their user: it names the requester.
    NetPacket copy(request.packet);
    copy.Header().nReserved = static_cast<uint32_t>(user);
    request.Sessions().SendToUser(user, copy);
}

} // namespace kx
