// The quick-key table VUZO_QuickKey: single keys written and deleted by id, a folder's keys
// removed with the folder, and the whole set of one file's keys replaced in one transaction.
#pragma once

#include "model/CkxFSQuickKey.h"

class CADODatabase;

namespace QuickKeyTable {

// Stores a new key and puts the id the database gave into it; 1, or 0 (key unchanged).
int Insert(CADODatabase& db, CkxFSQuickKey& key);
// Rewrites the row of the key's id; 1, or 0 (also when no row has the id).
int Update(CADODatabase& db, const CkxFSQuickKey& key);
int Delete(CADODatabase& db, int keyId);
// Every key that shows a file in the folder.
int DeleteFolder(CADODatabase& db, int folderId);

// Makes the table hold exactly the given keys for the file: each key is stamped with the file's
// id; a key that names a stored key of this file rewrites it, any other key (id -1, an unknown id,
// another file's key, a repeated id) is inserted and given its new id; the file's stored keys that
// the list does not name are deleted. Keys of other files are never touched. All in one
// transaction: 1 when committed, else 0 with the table and the list's ids as they were.
int SaveFileKeys(CADODatabase& db, int fileId, CkxFSQuickKeyList& keys);
// Every key into the list (emptied first); the count, or -1 (list untouched) when the table
// cannot be read.
int LoadAll(CADODatabase& db, CkxFSQuickKeyList& list);

} // namespace QuickKeyTable
