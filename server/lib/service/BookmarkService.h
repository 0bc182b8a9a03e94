// Message type 47: bookmarks, kept in VUZO_FileTag. A bookmark is private to its owner: the
// requester lists only its own, a new one is stored under the requester whatever the record
// says, a change or delete touches only the requester's rows, and only the requester hears of
// it. The server's bookmark list is only filled at start-up.
#pragma once

#include "service/EntityService.h"

#include "model/CkxDataTag.h"

namespace kx {
// The service as seen by the session of `userId`.
KxEntitySpec<CkxDataTag> MakeBookmarkSpec(int userId);
void HandleBookmarkRequest(KxRequest& request);
} // namespace kx
