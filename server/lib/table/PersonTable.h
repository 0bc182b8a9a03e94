// Table operations of the persons named in file data (VUZO_Person). Writes return 1 or 0; the
// load returns the count read or -1 when the table cannot be read (the list then stays).
#pragma once

class CADODatabase;
class CkxPerson;
class CkxPersonList;

namespace PersonTable {
// 1 with the new id put into the person, else 0.
int Insert(CADODatabase& db, CkxPerson& person);
int Update(CADODatabase& db, const CkxPerson& person);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxPersonList& list);
} // namespace PersonTable
