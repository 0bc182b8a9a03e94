// Table operations of file shares (VUZO_FileShare: a file offered to a user) and bookmarks
// (VUZO_FileTag: one user's own mark on a file); both tables have the 68-byte record's columns.
// A bookmark belongs to its T_UserID: the changes that name an owner touch only that owner's
// rows. Writes return 1 or 0; loads return the count read or -1 when the table cannot be read
// (the list then stays as it was).
#pragma once

class CADODatabase;
class CkxDataShare;
class CkxDataShareList;
class CkxDataTag;
class CkxDataTagList;

namespace FileShareTable {
// 1 with the new id put into the share, else 0.
int Insert(CADODatabase& db, CkxDataShare& share);
int Update(CADODatabase& db, const CkxDataShare& share);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxDataShareList& list);
} // namespace FileShareTable

namespace FileTagTable {
// 1 with the new id put into the bookmark, else 0. The owner is the bookmark's user id.
int Insert(CADODatabase& db, CkxDataTag& tag);
// Rewrites the bookmark's row only when it belongs to the bookmark's user id; 1 when a row was
// rewritten, 0 when none (unknown id, another user's bookmark) or on failure.
int Update(CADODatabase& db, const CkxDataTag& tag);
// Deletes the row only when it belongs to the owner; 1 when a row went, else 0.
int Delete(CADODatabase& db, int id, int ownerId);
// The bookmarks of one user.
int LoadUser(CADODatabase& db, int userId, CkxDataTagList& list);
// Every user's bookmarks.
int LoadAll(CADODatabase& db, CkxDataTagList& list);
} // namespace FileTagTable
