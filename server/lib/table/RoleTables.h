// Table operations of the file roles (VUZO_FileRole) and folder roles (VUZO_FolderRole): one
// layout (name, system flag, power word, note) in two tables. Writes return 1 or 0; loads return
// the count read or -1 when the table cannot be read (the list then stays as it was).
#pragma once

#include "model/CkxFileRole.h"

class CADODatabase;

namespace FileRoleTable {
// 1 with the new id put into the role, else 0.
int Insert(CADODatabase& db, CkxFileRole& role);
int Update(CADODatabase& db, const CkxFileRole& role);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxFileRoleList& list);
} // namespace FileRoleTable

namespace FolderRoleTable {
int Insert(CADODatabase& db, CkxFolderRole& role);
int Update(CADODatabase& db, const CkxFolderRole& role);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxFolderRoleList& list);
} // namespace FolderRoleTable
