#include "service/FileListHandlers.h"

#include "service/CFileService.h"
#include "model/CkxFileList.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxXXX.h"
#include "service/FileRequestHandlers.h"
#include "transport/NetMessage.h"
#include "transport/NetSeries.h"
#include "base/Record.h"
#include "service/RequestIO.h"
#include "session/CServerSession.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>

namespace kx {

namespace {

// The payload as text read the way atoi reads it (no digits: 0).
int PayloadNumber(const KxRequest& request) {
    const std::string_view bytes = request.Payload();
    // An empty payload has no buffer at all (strnlen must not see a null pointer).
    const std::string text(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\0'));
    return std::atoi(text.c_str());
}

// Answers the list to the requester with the request's parameter and queue byte.
void Reply(KxRequest& request, const CkxFileList& list, uint32_t param) {
    SendFileList(request.session, KX_KXXXX(), request.Type(), param, request.packet.GetQueueClass(),
                 true, list);
}

// The files a list answer sends: the first kFileListCap the session's user may read, in the
// list's order.
CFileTable::ReadLimit SentFiles(const KxRequest& request) {
    CFileTable::ReadLimit limit;
    const int user = request.session.GetUserID();
    limit.keep = [user](const CkxFile& f) {
        return KX_KXXXX().fsUserCan_File_Read(user, f.m_nWriterID, f.GetPower()) != 0;
    };
    limit.cap = kFileListCap;
    return limit;
}

// A list service whose thumbnails are read for the sent files alone, once the rows are read.
std::unique_ptr<CImageFileService> ListService(const KxRequest& request) {
    auto service = FileServiceOf(request);
    service->LimitThumbnailsTo(SentFiles(request));
    service->DeferThumbnails();
    return service;
}

// The list's rows are read: the catalogue goes (changes waiting for it go in), and the
// thumbnails are read and the answer sent with only the in-memory lists held.
void ReplyWithThumbnails(KxRequest& request, CImageFileService& service, CkxFileList& list, uint32_t param) {
    request.KeepOnlyMemory();
    service.LoadThumbnails(list);
    Reply(request, list, param);
}

// Lists read by one id given as decimal text (31, 32, 33). Reading stops at the files that
// will be sent, as it does for every list below.
template <class Read>
void ListById(KxRequest& request, Read read) {
    auto service = ListService(request);
    CkxFileList list;
    (service.get()->*read)(PayloadNumber(request), list, SentFiles(request));
    ReplyWithThumbnails(request, *service, list, RequestParam(request));
}

// One keyword id per message piece (its first 4 bytes); pieces shorter than that are skipped.
std::vector<int32_t> PieceIds(const KxRequest& request) {
    std::vector<int32_t> ids;
    if (!request.message) {
        int32_t id;
        if (ReadRecord(request.Payload().data(), request.Payload().size(), id)) ids.push_back(id);
        return ids;
    }
    for (int i = 0; i < request.message->GetPieceCount(); ++i) {
        const std::string_view piece = request.message->GetPiece(i);
        int32_t id;
        if (ReadRecord(piece.data(), piece.size(), id)) ids.push_back(id);
    }
    return ids;
}

template <class Read>
void ListByKeywords(KxRequest& request, Read read) {
    const std::vector<int32_t> ids = PieceIds(request);
    if (ids.empty()) return RefuseRequest("file list", request, "no keyword id");
    auto service = ListService(request);
    CkxFileList list;
    (service.get()->*read)(ids, list, SentFiles(request));
    ReplyWithThumbnails(request, *service, list, RequestParam(request));
}

} // namespace

int SendFileList(CClientSession& session, const CkxXXX& context, int type, uint32_t param,
                 int priority, bool filter, const CkxFileList& list) {
    NetMessageSeries series(type, 0, param);
    const int user = session.GetUserID();
    list.Lock();
    for (POSITION p = list.GetHeadPosition(); p && series.GetCount() < kFileListCap;) {
        const CkxFile* file = list.GetNext(p);
        if (!file) continue;
        if (filter && !context.fsUserCan_File_Read(user, file->m_nWriterID, file->GetPower())) continue;
        CkxBuf info;
        if (!file->BuildFileInfo(info)) continue;
        NetMessage entry;
        entry.SetCommand(type, 0);
        entry.SetParam(param);
        entry.SetQueueClass(priority);
        entry.AppendData(info.GetBuf(), static_cast<size_t>(info.GetLen()));
        series.Add(std::move(entry));
    }
    list.Unlock();
    if (series.GetCount() == 0) return 0;
    session.SendReplyMessageSeries(series);
    return series.GetCount();
}

void HandleWholeFile(KxRequest& request) {
    CkxFile::_COM com;
    if (!ReadRequestRecord(request, com)) return;
    auto service = FileServiceOf(request);
    // Only the id is taken from the request: the row says where the file lies and what it is.
    std::unique_ptr<CkxFile> file = service->FindFile(com.nID);
    if (!file) return RefuseRequest("file list", request, "no file has the id");
    const int user = request.session.GetUserID();
    // A file in a recycle bin is out of every list but its deleter's bin: only that user gets it.
    if (file->IsDeleted() && file->m_nDeleterID != user)
        return RefuseRequest("file list", request, "the file is in another user's recycle bin");
    // The content goes only to a user who may both see the file (the read right every list
    // filters by) and open it.
    const CkxXXX& context = KX_KXXXX();
    if (!context.fsUserCan_File_Read(user, file->m_nWriterID, file->GetPower()) ||
        !context.fsUserCan_File_Load(user, file->m_nWriterID, file->GetPower()))
        return RefuseRequest("file list", request, "the user may not read and open the file");
    if (!service->GetWholeData(*file)) return RefuseRequest("file list", request, "the stored file cannot be read");

    NetMessage answer;
    answer.SetCommand(kMsgWholeFile, kSubNone);
    answer.SetParam(RequestParam(request));
    const CkxFile::_COM record = file->GetComData();
    if (!answer.AppendData(&record, sizeof record) ||
        !answer.AppendData(file->GetMemWholeBuf(), static_cast<size_t>(file->GetMemWholeSize())))
        return RefuseRequest("file list", request, "the file is too large for one message");
    request.session.SendReplyMessage(answer);
}

void HandleFamilyFiles(KxRequest& request) { ListById(request, &CFileService::GetFamilyFiles); }

void HandleFolderFiles(KxRequest& request) { ListById(request, &CFileService::GetFolderFiles); }

void HandleProjectFiles(KxRequest& request) { ListById(request, &CFileService::GetProjectFiles); }

void HandleQueryFiles(KxRequest& request) {
    CkxQueryTemplet::_FIX block = CkxQueryTemplet::DefaultFix();
    CkxQueryOperandList operands;
    if (request.message && request.message->GetPieceCount() > 0) {
        const std::string_view head = request.message->GetPiece(0);
        if (!ReadRecord(head.data(), head.size(), block)) return RefuseRequest("file list", request, "the query block is short");
        for (int i = 1; i < request.message->GetPieceCount(); ++i) {
            const std::string_view piece = request.message->GetPiece(i);
            CkxQueryOperand operand;
            if (!operand.PasyBuf(reinterpret_cast<const unsigned char*>(piece.data()),
                                 static_cast<int>(piece.size())))
                return RefuseRequest("file list", request, "a query operand cannot be read");
            operands.AddTail(operand);
        }
    } else if (!request.Payload().empty()) {
        const std::string_view head = request.Payload();
        if (!ReadRecord(head.data(), head.size(), block)) return RefuseRequest("file list", request, "the query block is short");
    }
    auto service = ListService(request);
    CkxFileList list;
    service->QueryFiles(block, operands, KX_KXXXX(), list, SentFiles(request));
    ReplyWithThumbnails(request, *service, list, RequestParam(request));
}

void HandleKeywordFilesAll(KxRequest& request) {
    ListByKeywords(request, &CFileService::GetKeywordFilesAll);
}

void HandleKeywordFilesAny(KxRequest& request) {
    ListByKeywords(request, &CFileService::GetKeywordFilesAny);
}

void HandleOperandFiles(KxRequest& request) {
    const std::string_view bytes = request.Payload();
    CkxQueryOperand operand;
    if (!operand.PasyBuf(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size())))
        return RefuseRequest("file list", request, "the query operand cannot be read");
    auto service = ListService(request);
    CkxFileList list;
    service->GetOperandFiles(operand, list, SentFiles(request));
    // The operand's extra data names the requester's window.
    ReplyWithThumbnails(request, *service, list, static_cast<uint32_t>(operand.GetExData()));
}

} // namespace kx
