// Readers of whole catalogue tables into the in-memory lists the server keeps while it runs,
// and the start-up load order built from them. Each reader empties its list first and returns
// the number of entries read, or -1 (list untouched) when the table cannot be read.
#pragma once

#include "data/CDataLoaderList.h"

class CADODatabase;
class CkxDataShareList;
class CkxDataTagList;
class CkxFSQuickKeyList;
class CkxFSTree;
class CkxFamilyXXX;
class CkxKeywordGroupList;
class CkxKeywordLinkList;
class CkxKeywordList;
class CkxPersonList;
class CkxProjectList;
class CkxUserGroupList;
class CkxUserList;
class CkxUserRoleList;
class CkxXXX;

#include "model/CkxFileRole.h"

namespace kx {

// Names of the start-up load steps, in the order they run.
inline constexpr const char* kLoadFolders = "folders";
inline constexpr const char* kLoadUsers = "users";
inline constexpr const char* kLoadUserGroups = "user groups";
inline constexpr const char* kLoadUserRoles = "user roles";
inline constexpr const char* kLoadPersons = "persons";
inline constexpr const char* kLoadFileRoles = "file roles";
inline constexpr const char* kLoadFolderRoles = "folder roles";
inline constexpr const char* kLoadQuickKeys = "quick keys";
inline constexpr const char* kLoadProjects = "projects";
inline constexpr const char* kLoadKeywords = "keywords";
inline constexpr const char* kLoadKeywordGroups = "keyword groups";
inline constexpr const char* kLoadKeywordLinks = "keyword links";
inline constexpr const char* kLoadBookmarks = "bookmarks";
inline constexpr const char* kLoadFileShares = "file shares";
inline constexpr const char* kLoadFamilies = "families";

// Folders ordered by level, then id, so every parent is in the tree before its children.
int LoadFolders(CADODatabase& db, CkxFSTree& tree);
int LoadUsers(CADODatabase& db, CkxUserList& list);
int LoadUserGroups(CADODatabase& db, CkxUserGroupList& list);
int LoadUserRoles(CADODatabase& db, CkxUserRoleList& list);
int LoadPersons(CADODatabase& db, CkxPersonList& list);
int LoadFileRoles(CADODatabase& db, CkxFileRoleList& list);
int LoadFolderRoles(CADODatabase& db, CkxFolderRoleList& list);
int LoadQuickKeys(CADODatabase& db, CkxFSQuickKeyList& list);
int LoadProjects(CADODatabase& db, CkxProjectList& list);
int LoadKeywords(CADODatabase& db, CkxKeywordList& list);
int LoadKeywordGroups(CADODatabase& db, CkxKeywordGroupList& list);
int LoadKeywordLinks(CADODatabase& db, CkxKeywordLinkList& list);
// Bookmarks of every user.
int LoadBookmarks(CADODatabase& db, CkxDataTagList& list);
int LoadFileShares(CADODatabase& db, CkxDataShareList& list);
// The stored families, ordered by level, then id, below the registry's built-in root families
// (which are kept); families loaded earlier are replaced. Returns the families read.
int LoadFamilies(CADODatabase& db, CkxFamilyXXX& registry);

// The start-up load: folders (their result is not looked at), users, user groups, user roles,
// persons, file roles, folder roles, quick keys, projects, keywords, keyword groups, keyword
// links, bookmarks, file shares, then families, into the given context and lists.
void AddCatalogueLoaders(CDataLoaderList& loaders, CkxXXX& context, CkxFamilyXXX& families,
                         CkxDataShareList& shares);

} // namespace kx
