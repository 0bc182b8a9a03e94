// The folder service (message type 10): the folder list read from the database, and folder
// add, modify and delete kept in step between VUZO_Dir and the in-memory folder tree, each change
// announced to every session. A delete takes the listed folders' whole subtrees: their files go
// to the requester's recycle bin, their quick keys and rows are deleted, in one transaction.
#pragma once

#include "model/CkxFile.h"

#include <vector>

class CADODatabase;
struct KxRequest;

namespace kx {

// The rights a type-10 change needs of the session's user: creating a folder at the root or
// below its parent; operating on each folder modified or deleted (a delete takes the folders
// below with it); creating below the new parent of a move; full control to change its rights.
// False (after the refusal) when the user lacks one.
bool FolderChanges(KxRequest& request);

// Handles one type-10 request (sub-operations 20 list, 21 add, 22 modify, 23 delete).
void HandleFolder(KxRequest& request);

// The database side of deleting folders, for the folder service and the file service: each
// listed folder and every folder below it (by the table's parent ids) loses its files (into the
// user's recycle bin with no folder, or for good when purging), its quick keys and its row. One
// transaction: 1 when committed, with the folders deleted in `deleted` (listed ones first) and,
// when `moved` is given, a delete record for each file that left them; else 0 with nothing
// changed.
int DeleteFolderData(CADODatabase& db, int userId, const std::vector<int>& folderIds, int purge,
                     std::vector<int>& deleted, std::vector<CkxFile::_COM_DelFile>* moved = nullptr);

} // namespace kx
