// The session's handlers of the file requests: add (23/21 from the browser, 24 from the capture
// station), attributes and rights (25), delete (23/23) and the recycle bin (15 browse, 16 empty,
// 17 delete for good, 18 restore some, 19 restore all), with the helpers the file handlers
// share: the file service of a request, the file body of an add or check-in, the request's
// parameter and the broadcast of the records a request applied.
#pragma once

#include "service/CFileService.h"
#include "model/CkxFile.h"
#include "session/CSessionList.h"
#include "session/RequestDispatcher.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kx {

// The image file service over the request's data manager.
std::unique_ptr<CImageFileService> FileServiceOf(const KxRequest& request);

// The file body of an add or check-in (a container of base record, extra attributes, rights,
// thumbnail and whole file in the first piece), as an object of its file kind; null (logged)
// when the body is not one.
std::unique_ptr<CkxFile> ReadFileData(const KxRequest& request);

// The request's 32-bit parameter (a multi-part message's own).
uint32_t RequestParam(const KxRequest& request);

// The 72-byte delete records of the first piece (a ragged tail ignored).
std::vector<CkxFile::_COM_DelFile> ReadDeleteRecords(const KxRequest& request);

// Sends a message of the request's type and sub-operation with the records as its one piece to
// every session, each hearing only of the files its user may read (readers[i] for applied[i]);
// nothing when no record is given.
void AnnounceDeleteRecords(const KxRequest& request, const std::vector<CkxFile::_COM_DelFile>& applied,
                           const std::vector<CSessionList::Match>& readers);

void HandleRecycleBrowse(KxRequest& request);   // 15
void HandleRecycleEmpty(KxRequest& request);    // 16
void HandleRecyclePurge(KxRequest& request);    // 17
void HandleRecycleRestore(KxRequest& request);  // 18
void HandleRecycleRestoreAll(KxRequest& request); // 19
void HandleFileRecord(KxRequest& request);      // 23: 21 add, 23 delete
void HandleCaptureFileAdd(KxRequest& request);  // 24
void HandleFileModify(KxRequest& request);      // 25

} // namespace kx
