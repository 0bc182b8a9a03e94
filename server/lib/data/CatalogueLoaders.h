// The start-up load order: which table's reader (in table/) fills which in-memory list the
// server keeps while it runs, and in what order.
#pragma once

#include "data/CDataLoaderList.h"

class CkxDataShareList;
class CkxFamilyXXX;
class CkxXXX;

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

// The start-up load: folders (their result is not looked at), users, user groups, user roles,
// persons, file roles, folder roles, quick keys, projects, keywords, keyword groups, keyword
// links, bookmarks, file shares, then families, into the given context and lists.
void AddCatalogueLoaders(CDataLoaderList& loaders, CkxXXX& context, CkxFamilyXXX& families,
                         CkxDataShareList& shares);

} // namespace kx
