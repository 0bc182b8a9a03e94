// What the session's user must be allowed before a request changes anything or reads something
// restricted: one test per request type, named in the request table's rows and run by the
// dispatcher before the handler (under the catalogue lock, on the server's own catalogue). The
// tests are the ones the workstations and the console apply before they send the request, so a
// client that follows its own gates is never refused. A refused request changes nothing, is
// answered with nothing, and leaves one warning line in the operation log naming the user and
// the request type (never its payload, which may hold a password).
#pragma once

#include "session/CSessionList.h"

class CkxFile;
struct KxRequest;

namespace kx {

// The refusal: the server log's warning and the operation log's line. Returns false.
bool RefuseForRights(const KxRequest& request);

// Changes (add, modify, delete) of accounts, groups and roles: user administration.
bool UserAdminChanges(KxRequest& request);
// Changes of families, attributes and file templates: family administration.
bool FamilyAdminChanges(KxRequest& request);
// Changes of keywords, keyword groups and keyword templates: keyword operation.
bool KeywordChanges(KxRequest& request);
// Changes of persons: person operation.
bool PersonChanges(KxRequest& request);
// Everything of the type (the operation log's read and delete): system administration.
bool SystemAdminOnly(KxRequest& request);

// Folders (10): creating at the root or below the parent, operating on the chosen folders, full
// control to change their rights, creating below a new parent for a move.
bool FolderChanges(KxRequest& request);
// Quick keys of a folder (11): operating on that folder.
bool QuickKeyChanges(KxRequest& request);
// A file's quick keys (12) and keyword links (43): editing the file.
bool FileQuickKeyChanges(KxRequest& request);
bool KeywordLinkChanges(KxRequest& request);
// File records (23): creating in the target folder; deleting each named file.
bool FileRecordChanges(KxRequest& request);
// A captured file (24): creating in its folder.
bool CaptureFileAdd(KxRequest& request);
// A file's attributes and rights (25): editing the file; full control for its rights or owner.
bool FileModify(KxRequest& request);
// Check-out (27): editing the file. Check-in (28, 29): holding its check-out, or system
// administration.
bool CheckOutAllowed(KxRequest& request);
bool CheckInAllowed(KxRequest& request);
// Projects (38): creating; administering the stored project to modify or delete it.
bool ProjectChanges(KxRequest& request);
// Links of files to projects (39, 40, 41): linking to a project the user may link to, unlinking
// what the user may unlink.
bool ProjectLinkChanges(KxRequest& request);
bool ProjectUnlinkChanges(KxRequest& request);
bool FileProjectChanges(KxRequest& request);

// A new file's folder takes files from the session's user (tested by the add handlers once
// they have read the file); false after the refusal.
bool FileCreateAllowed(const KxRequest& request, const CkxFile& file);

// The session's user may read the file (the checked-out list shows only those).
bool UserMayReadFile(const KxRequest& request, int fileId);
// The sessions whose user may read the file, by the rule the file lists apply: who hears of
// it. The stored file's rights count; for an id no file has, everybody (an empty match: there
// is nothing to hide).
CSessionList::Match FileReaders(const KxRequest& request, int fileId);
CSessionList::Match FileReaders(const CkxFile& file);

} // namespace kx
