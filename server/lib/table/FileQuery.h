// The file query builder: turns the fixed block of a query template (its title read no further
// than the field's width, its dates kept writable) into the WHERE text of a file-table SELECT, and
// tests query operands against the files a SELECT returned. CFileTable runs the statements.
#pragma once

#include "model/CkxQueryTemplet.h"

#include <cstdint>
#include <string>
#include <vector>

class CkxFamilyXXX;
class CkxFile;

namespace kx {

// The family ids the block asks for; false when it sets no family condition. A family without
// sub-families stands for itself: with checkChildren whatever the two flags say, without it when
// only its sub-families are asked for.
bool FileQueryFamilies(const CkxQueryTemplet::_FIX& block, const CkxFamilyXXX& families,
                       bool checkChildren, std::vector<int32_t>& ids);

// The WHERE text of a template query. folderIds given: " T_LocDirID IN " that list (none when
// empty); null: " T_LocDirID = " the block's own folder when it is above 0.
std::string FileQueryWhere(const CkxQueryTemplet::_FIX& block, const CkxFamilyXXX& families,
                           const std::vector<int32_t>* folderIds);

// The whole SELECT on the table.
std::string FileQueryStatement(const std::string& table, const CkxQueryTemplet::_FIX& block,
                               const CkxFamilyXXX& families, const std::vector<int32_t>* folderIds);

// Whether the file passes every operand: an unknown comparison keeps files without a valid value
// of its attribute; any other valid operand needs a value that it accepts; invalid ones are
// passed over.
bool FilePassesOperands(const CkxFile& file, const CkxQueryOperandList& operands);

// The column of a fixed file attribute id (0x2000065 to 0x2000075), or null.
const char* FileColumnOfAttr(int attrId);

} // namespace kx
