#include "data/CatalogueLoaders.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "table/FamilyTables.h"
#include "table/FolderTable.h"
#include "table/KeywordTables.h"
#include "table/PersonTable.h"
#include "table/ProjectTables.h"
#include "table/QuickKeyTable.h"
#include "table/RoleTables.h"
#include "table/ShareTables.h"
#include "table/UserTables.h"

namespace kx {

void AddCatalogueLoaders(CDataLoaderList& loaders, CkxXXX& c, CkxFamilyXXX& families,
                         CkxDataShareList& shares) {
    loaders.Add(kLoadFolders, [&c](CADODatabase& db) { return DirTable::LoadAll(db, c.m_FSTree); }, false);
    loaders.Add(kLoadUsers, [&c](CADODatabase& db) { return UserTable::LoadAll(db, c.m_UserList); });
    loaders.Add(kLoadUserGroups, [&c](CADODatabase& db) { return UserGroupTable::LoadAll(db, c.m_UserGroupList); });
    loaders.Add(kLoadUserRoles, [&c](CADODatabase& db) { return UserRoleTable::LoadAll(db, c.m_UserRoleList); });
    loaders.Add(kLoadPersons, [&c](CADODatabase& db) { return PersonTable::LoadAll(db, c.m_PersonList); });
    loaders.Add(kLoadFileRoles, [&c](CADODatabase& db) { return FileRoleTable::LoadAll(db, c.m_FileRoleList); });
    loaders.Add(kLoadFolderRoles, [&c](CADODatabase& db) { return FolderRoleTable::LoadAll(db, c.m_FolderRoleList); });
    loaders.Add(kLoadQuickKeys, [&c](CADODatabase& db) { return QuickKeyTable::LoadAll(db, c.m_QuickKeyList); });
    loaders.Add(kLoadProjects, [&c](CADODatabase& db) { return ProjectTable::LoadAll(db, c.m_ProjectList); });
    loaders.Add(kLoadKeywords, [&c](CADODatabase& db) { return KeywordTable::LoadAll(db, c.m_KeywordList); });
    loaders.Add(kLoadKeywordGroups, [&c](CADODatabase& db) { return KeywordGroupTable::LoadAll(db, c.m_KeywordGroupList); });
    loaders.Add(kLoadKeywordLinks, [&c](CADODatabase& db) { return KeywordLinkTable::LoadAll(db, c.m_KeywordLinkList); });
    loaders.Add(kLoadBookmarks, [&c](CADODatabase& db) { return FileTagTable::LoadAll(db, c.m_DataTagList); });
    loaders.Add(kLoadFileShares, [&shares](CADODatabase& db) { return FileShareTable::LoadAll(db, shares); });
    loaders.Add(kLoadFamilies, [&families](CADODatabase& db) { return FamilyTable::LoadAll(db, families); });
}

} // namespace kx
