// Table operations of the family tree (VUZO_Family) and of the attribute definitions families
// add to their files (VUZO_FamilyAttr, with the constants as one binary column). Writes return
// 1 or 0; loads return the count or -1 when the table cannot be read.
#pragma once

#include <vector>

class CADODatabase;
class CkxAttr;
class CkxAttrList;
class CkxFamily;
class CkxFamilyXXX;

namespace FamilyTable {
// Stamps the family with the current time as its creation time and stores it; 1 with the new
// id put into the family, else 0 (the id stays as it was).
int Insert(CADODatabase& db, CkxFamily& family);
// Writes the eight columns (the creation time as the family holds it) on the family's row.
int Update(CADODatabase& db, const CkxFamily& family);
int Delete(CADODatabase& db, int id);
// Removes the rows of the families and their attribute definitions in one transaction; 1 when
// all went, else 0 with nothing removed.
int DeleteTree(CADODatabase& db, const std::vector<int>& ids);
// The stored families into the registry (levels first, then ids), kept below its root families.
int LoadAll(CADODatabase& db, CkxFamilyXXX& registry);
} // namespace FamilyTable

namespace FamilyAttrTable {
// Gives every constant without an id (-1) its own id, starting from the table's greatest id and
// skipping ids the attribute's other constants carry; 1, or 0 when the table cannot be read.
int NumberNewConstants(CADODatabase& db, CkxAttr& attr);
// Numbers the new constants, then stores the definition; 1 with the new id put into it, else 0.
int Insert(CADODatabase& db, CkxAttr& attr);
// Numbers the new constants, then rewrites the definition's row (an attribute without
// constants stores none); 1, or 0 when there is no such row or the write fails.
int Update(CADODatabase& db, CkxAttr& attr);
int Delete(CADODatabase& db, int id);
// " DELETE FROM VUZO_FamilyAttr WHERE T_FamilyID = %d ".
int DeleteOfFamily(CADODatabase& db, int familyId);
// Appends one definition per row in the database's order; returns the list's count (entries
// already there included), -1 when the table cannot be read.
int LoadAll(CADODatabase& db, CkxAttrList& list);
} // namespace FamilyAttrTable
