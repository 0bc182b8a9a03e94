// Table operations of the people catalogue: accounts (VUZO_User), user groups (VUZO_UserGroup,
// members kept as the member-container bytes) and user roles (VUZO_UserRole), on the shared
// connection. Writes return 1 (an insert: the new id, above 0) or 0; loads return the count
// read or -1 when the table cannot be read, and leave the list as it was on failure.
#pragma once

#include <cstdint>

class CADODatabase;
class CkxUser;
class CkxUserGroup;
class CkxUserGroupList;
class CkxUserList;
class CkxUserRole;
class CkxUserRoleList;

namespace UserTable {
// Stores the account's eleven columns; the new id (also put into the user), 0 on failure.
int Insert(CADODatabase& db, CkxUser& user);
int Update(CADODatabase& db, const CkxUser& user);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxUserList& list);
} // namespace UserTable

namespace UserGroupTable {
// Stores name, note and the member bytes as given; 1 with the new id put into the group, else 0.
int Insert(CADODatabase& db, CkxUserGroup& group, const void* members, int length);
// 1 when the row of the group's id was rewritten; 0 when there is none or the write failed.
int Update(CADODatabase& db, const CkxUserGroup& group, const void* members, int length);
int Delete(CADODatabase& db, int id);
// Groups with their members read from the stored member bytes.
int LoadAll(CADODatabase& db, CkxUserGroupList& list);
} // namespace UserGroupTable

namespace UserRoleTable {
// The new id (also put into the role), 0 on failure.
int Insert(CADODatabase& db, CkxUserRole& role);
int Update(CADODatabase& db, const CkxUserRole& role);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxUserRoleList& list);
} // namespace UserRoleTable
