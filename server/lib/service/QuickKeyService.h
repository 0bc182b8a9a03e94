// The quick-key services: type 11 handles single quick keys with the shared list, add, modify
// and delete pattern; type 12 replaces the whole set of one file's quick keys and announces the
// stored set, with the new ids, to every session.
#pragma once

#include "service/EntityService.h"
#include "model/CkxFSQuickKey.h"

namespace kx {

KxEntitySpec<CkxFSQuickKey> MakeQuickKeySpec();
// Handles one type-12 request: the header parameter names the file, each piece is one 24-byte
// key of it (no pieces: the file keeps no key).
void HandleFileQuickKeys(KxRequest& request);

// A change of a folder's quick key (type 11) needs the right to operate on that folder (on both
// folders when a key moves); false after the refusal.
bool QuickKeyChanges(KxRequest& request);

} // namespace kx
