// Table operations of the saved searches (VUZO_QueryTemplet: private, each row belongs to its
// T_CreatorID) and of the shared file templates (VUZO_FileTemplet). The search or attribute
// buffer is stored exactly as given. Writes return 1 or 0; loads return the count or -1 when
// the table cannot be read.
#pragma once

class CADODatabase;
class CkxObjAttrTemplet;
class CkxObjAttrTempletList;
class CkxQueryTemplet;
class CkxQueryTempletList;

namespace QueryTempletTable {
// Stamps the template with the current time and stores it with the buffer; 1 with the new id
// put into the template, else 0.
int Insert(CADODatabase& db, CkxQueryTemplet& templet, const void* bytes, int len);
// Rewrites the row only when it belongs to the template's creator; 1 when it did, 0 when there
// is no such row of that creator or the write fails.
int Update(CADODatabase& db, const CkxQueryTemplet& templet, const void* bytes, int len);
// Deletes the row only when it belongs to the owner; the statement's result (a row that is not
// there, or not the owner's, is left alone and is not a failure).
int Delete(CADODatabase& db, int id, int ownerId);
// The templates of one creator, each with its stored search applied; the list is emptied first.
int LoadOfCreator(CADODatabase& db, int creatorId, CkxQueryTempletList& list);
} // namespace QueryTempletTable

namespace FileTempletTable {
// 1 with the new id put into the template, else 0.
int Insert(CADODatabase& db, CkxObjAttrTemplet& templet, const void* bytes, int len);
// 1, or 0 when there is no such row or the write fails.
int Update(CADODatabase& db, const CkxObjAttrTemplet& templet, const void* bytes, int len);
int Delete(CADODatabase& db, int id);
// Every template, each with its stored attribute buffer applied; the list is emptied first.
int LoadAll(CADODatabase& db, CkxObjAttrTempletList& list);
} // namespace FileTempletTable
