// The file-list answers: the common reply that filters by the read right and stops at 1000
// files (also used by the recycle bin), the lists of a family (31), folder (32), project (33),
// query template (34), keywords all (35) or any (36), one operand (37), and the whole content
// of one file (30).
#pragma once

#include <cstdint>

class CClientSession;
class CkxFileList;
class CkxXXX;
struct KxRequest;

namespace kx {

// Files one answer carries at most; the request has no paging.
constexpr int kFileListCap = 1000;

// Sends the listed files the session's user may read (all of them without `filter`), in list
// order and at most kFileListCap, to the session: one reply message per file (type, sub-operation
// 0, the parameter and queue class given) whose one piece is the file's info body. Nothing for
// an empty answer. Returns how many files were sent.
int SendFileList(CClientSession& session, const CkxXXX& context, int type, uint32_t param,
                 int priority, bool filter, const CkxFileList& list);

void HandleWholeFile(KxRequest& request);      // 30
void HandleFamilyFiles(KxRequest& request);    // 31
void HandleFolderFiles(KxRequest& request);    // 32
void HandleProjectFiles(KxRequest& request);   // 33
void HandleQueryFiles(KxRequest& request);     // 34
void HandleKeywordFilesAll(KxRequest& request); // 35
void HandleKeywordFilesAny(KxRequest& request); // 36
void HandleOperandFiles(KxRequest& request);   // 37

} // namespace kx
