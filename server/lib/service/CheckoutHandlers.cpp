// Each checkout change is announced to the sessions whose user may read the file (the rule of
// the checked-out list); an unknown file id or a refused write announces nothing.
#include "service/CheckoutHandlers.h"

#include "service/CFileService.h"
#include "model/CkxCheckout.h"
#include "service/FileRequestHandlers.h"
#include "service/OperationLog.h"
#include "service/RequestIO.h"
#include "service/RequestRights.h"
#include "data/CDataManager.h"
#include "session/CServerSession.h"

#include <mutex>
#include <shared_mutex>

namespace kx {

namespace {

const char* WhyNot(int result) { return result == -1 ? "no file has the id" : "the database refused it"; }

// Check out (27) and check in (28): the record with the session's user, announced with the
// request's own header.
void ChangeCheckout(KxRequest& request, bool checkOut) {
    CkxCheckout::_COM com;
    if (!ReadRequestRecord(request, com)) return;
    auto service = FileServiceOf(request);
    CkxCheckout record(com);
    record.m_nUserID = request.session.GetUserID();
    const COleDateTime now = COleDateTime::GetCurrentTime();
    const int result = checkOut ? service->CheckOut(record, now) : service->CheckIn(record, now);
    if (result != 1) return RefuseRequest("checkout", request, WhyNot(result));
    const CkxCheckout::_COM updated = record.GetComData();
    LogRequest(request, checkOut ? "签出文件" : "签入文件(仅仅签入)", KXLOG_CAT_FILEADMIN);
    AnnounceToAll(request, &updated, sizeof updated, {}, FileReaders(request, record.m_nFileID));
}

} // namespace

void HandleCheckedOutList(KxRequest& request) {
    auto service = FileServiceOf(request);
    std::vector<CkxCheckout> records;
    if (service->ReadCheckedOut(records) < 0) return RefuseRequest("checkout", request, "the list could not be read");
    NetPacketSeries series(kMsgCheckoutList, kSubNone, 0);
    series.SetParam(RequestParam(request));
    for (const CkxCheckout& r : records) {
        // Only the files the user may read: a title is part of what the rights hide.
        if (!UserMayReadFile(request, r.m_nFileID)) continue;
        const CkxCheckout::_COM com = r.GetComData();
        series.AddBytes(&com, sizeof com);
    }
    SendListAnswer(request.session, series);
}

void HandleCheckOut(KxRequest& request) { ChangeCheckout(request, true); }

void HandleCheckIn(KxRequest& request) { ChangeCheckout(request, false); }

// Called without the catalogue lock: the new content is written and flushed with nobody
// waiting, and the lock is held alone only for the row, the renames and the commit.
void HandleCheckInChanged(KxRequest& request) {
    auto service = FileServiceOf(request);
    std::unique_ptr<CkxFile> file = ReadFileData(request);
    if (!file) return;
    CFileService::StagedCheckIn staged;
    {
        std::shared_lock lock(request.data.CatalogueMutex());
        if (!CheckInAllowed(request)) return;
        // A check-in with changes brings the new content; without it the stored bytes would
        // stay while the record said they changed.
        if (!file->IsMemWholeValid() || file->GetMemWholeSize() <= 0)
            return RefuseRequest("checkout", request, "no content to check in");
        const int located = service->LocateCheckIn(*file, staged);
        if (located != 1) return RefuseRequest("checkout", request, WhyNot(located));
    }
    if (!service->StageCheckIn(*file, staged)) return RefuseRequest("checkout", request, WhyNot(0));
    KxCatalogueWriter lock(request.data);
    // The rights and the checkout are looked at again: they may have changed meanwhile.
    if (!CheckInAllowed(request)) return;
    const int user = request.session.GetUserID();
    const int result = service->CheckInChanged(*file, user, COleDateTime::GetCurrentTime(), staged, [&] {
        return LogRequest(request, "签入文件(保存修改)" + file->GetFileName(), KXLOG_CAT_FILEADMIN) > 0;
    });
    if (result != 1) return RefuseRequest("checkout", request, WhyNot(result));

    CkxCheckout record;
    record.m_nFileID = file->GetID();
    record.m_nStorageID = file->m_nStorageID;
    record.m_strTitle = file->m_strTitle;
    record.m_strExt = file->m_strExName;
    record.m_nUserID = user;
    const CkxCheckout::_COM com = record.GetComData();
    request.Sessions().SendToAll(MakeRecordAnswer(kMsgCheckInChanged, kSubNone, com), {},
                                 FileReaders(request, record.m_nFileID));
}

} // namespace kx
