// Table operations of projects (VUZO_Project, the member list as one binary column) and of the
// links that put files into projects (VUZO_ProjectFile). Writes return 1 or 0; loads return the
// count or -1 when the table cannot be read (the list then stays as it was).
#pragma once

class CADODatabase;
class CkxProject;
class CkxProjectData;
class CkxProjectDataList;
class CkxProjectList;

namespace ProjectTable {
// 1 with the new id put into the project, else 0.
int Insert(CADODatabase& db, CkxProject& project);
// 1, or 0 when there is no such row or the write fails. A project without members stores none.
int Update(CADODatabase& db, const CkxProject& project);
// The project's own row only: its links and sub-projects stay.
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxProjectList& list);
} // namespace ProjectTable

namespace ProjectFileTable {
// 1 with the new id put into the link, else 0.
int Insert(CADODatabase& db, CkxProjectData& link);
int Update(CADODatabase& db, const CkxProjectData& link);
// " DELETE FROM VUZO_ProjectFile WHERE T_ProjectID = %d AND T_FileID = %d ".
int DeletePair(CADODatabase& db, int projectId, int fileId);
// Every pair of the list, in one transaction; 1, or 0 with nothing removed.
int DeleteLinks(CADODatabase& db, const CkxProjectDataList& links);
// Removes the file's links whose ids the list does not hold (all of them for an empty list).
int DeleteFileExcept(CADODatabase& db, int fileId, const CkxProjectDataList& links);
// Makes the list the file's complete set of links, in one transaction: the file's other links
// go, links not yet stored (id below 1) are inserted and get their ids, stored ones stay as
// they are. A listed id that is no stored link of this file (another file's link, or one
// removed meanwhile) is stored anew for this file, so the list that comes back is what the
// table holds. Links stored anew take `newLinkCreator` as creator when it is above 0.
// 1, or 0 with the table as it was (ids given inside the failed transaction are still in the
// list: the caller works on a copy).
int SaveFileLinks(CADODatabase& db, int fileId, CkxProjectDataList& links, int newLinkCreator = 0);
int LoadAll(CADODatabase& db, CkxProjectDataList& list);
// The stored links of one file, in id order; -1 when the query fails.
int LoadFile(CADODatabase& db, int fileId, CkxProjectDataList& list);
} // namespace ProjectFileTable
