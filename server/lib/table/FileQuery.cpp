#include "table/FileQuery.h"

#include "db/AdoDatabase.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFile.h"
#include "model/CkxQueryOperand.h"
#include "base/Gbk.h"

#include <cmath>
#include <cstring>

namespace kx {

namespace {

// Dates a literal can carry: years 100 to 9999. A date from a request outside them is pulled to
// the nearest end (so a far "to" still means "no upper end"); a date that is no number at all
// sets no bound.
constexpr double kFirstWritableDate = -657434.0;            // 0100-01-01 00:00:00
constexpr double kLastWritableDate = 2958465.0 + 86399.0 / 86400.0; // 9999-12-31 23:59:59

bool WritableDate(double dt, COleDateTime& out) {
    if (!std::isfinite(dt)) return false;
    if (dt < kFirstWritableDate) dt = kFirstWritableDate;
    if (dt > kLastWritableDate) dt = kLastWritableDate;
    out = COleDateTime(dt);
    return true;
}

void AddRange(CADOFieldList& where, int32_t on, const char* from, const char* to, double dtFrom,
              double dtTo) {
    if (!on) return;
    COleDateTime dt;
    if (WritableDate(dtFrom, dt)) where.AddDate(from, dt);
    if (WritableDate(dtTo, dt)) where.AddDate(to, dt);
}

struct FixedColumn {
    int attrId;
    const char* column;
};

constexpr FixedColumn kFixedColumns[] = {
    {KXB_ID, "T_ID"},
    {KXB_FAMILYID, "T_FamilyID"},
    {KXB_ENCFORMAT, "T_CodeForm"},
    {KXB_FILETITLE, "T_Title"},
    {KXB_FILEEXNAME, "T_Sufix"},
    {KXB_WIDTH, "T_Width"},
    {KXB_HEIGHT, "T_Height"},
    {KXB_FILESIZE, "T_FileSize"},
    {KXB_LOCDIRID, "T_LocDirID"},
    {KXB_AUTHORID, "T_AuthorID"},
    {KXB_WRITERID, "T_WriterID"},
    {KXB_EDITORID, "T_EditorID"},
    {KXB_AUTHTIME, "T_AuthTime"},
    {KXB_WRITETIME, "T_WriteTime"},
    {KXB_EDITTIME, "T_EditTime"},
    {KXB_AUTHADDR, "T_AuthAddr"},
    {KXB_REMARK, "T_Remark"},
};

} // namespace

bool FileQueryFamilies(const CkxQueryTemplet::_FIX& block, const CkxFamilyXXX& families,
                       bool checkChildren, std::vector<int32_t>& ids) {
    ids.clear();
    const int32_t f = block.nFamilyID;
    const bool self = block.bFamilySelf != 0;
    const bool derived = block.bFamilyDerived != 0;
    if (f == -1 && self && derived) return false;
    if (checkChildren && !families.family_IsHasChild(f)) {
        ids.push_back(f);
    } else if (self && !derived) {
        ids.push_back(f);
    } else if (derived) {
        std::vector<int> under;
        families.t_GetUnder(f, under);
        ids.assign(under.begin(), under.end());
        // A family without sub-families stands for itself here too: an empty list would drop
        // the family condition and find the files of every family.
        if (self || ids.empty()) ids.push_back(f);
    }
    return !ids.empty();
}

std::string FileQueryWhere(const CkxQueryTemplet::_FIX& block, const CkxFamilyXXX& families,
                           const std::vector<int32_t>* folderIds) {
    CADOFieldList where;
    std::vector<int32_t> ids;
    if (FileQueryFamilies(block, families, folderIds != nullptr, ids))
        where.AddIdList(" T_FamilyID IN ", ids);
    if (folderIds) {
        std::vector<int32_t> folders = *folderIds; // the list text takes ids off its argument
        where.AddIdList(" T_LocDirID IN ", folders);
    } else if (block.nDirID > 0) {
        where.AddInt(" T_LocDirID = ", block.nDirID);
    }
    // The title field need not end in a NUL: it is read no further than its width.
    const std::string title = kx::GetText(block.szTitle);
    if (!title.empty()) where.AddText(" T_Title LIKE ", title);
    if (block.nCodeForm > 0) where.AddInt(" T_CodeForm = ", block.nCodeForm);
    if (block.nAuthorID > 0) where.AddInt(" T_AuthorID = ", block.nAuthorID);
    if (block.nWriterID > 0) where.AddInt(" T_WriterID = ", block.nWriterID);
    if (block.nEditorID > 0) where.AddInt(" T_EditorID = ", block.nEditorID);
    AddRange(where, block.bAuthTime, " T_AuthTime >= ", " T_AuthTime <= ", block.dtAuthFrom,
             block.dtAuthTo);
    AddRange(where, block.bWriteTime, " T_WriteTime >= ", " T_WriteTime <= ",
             block.dtWriteFrom, block.dtWriteTo);
    AddRange(where, block.bEditTime, " T_EditTime >= ", " T_EditTime <= ", block.dtEditFrom,
             block.dtEditTo);
    where.AddInt(" T_Deleted =  ", 0);
    return CADODatabase::BuildWhere(where);
}

std::string FileQueryStatement(const std::string& table, const CkxQueryTemplet::_FIX& block,
                               const CkxFamilyXXX& families, const std::vector<int32_t>* folderIds) {
    return " SELECT * FROM " + table + " " + FileQueryWhere(block, families, folderIds) +
           " ORDER BY T_WriteTime ";
}

bool FilePassesOperands(const CkxFile& file, const CkxQueryOperandList& operands) {
    for (POSITION p = operands.GetHeadPosition(); p;) {
        const CkxQueryOperand* op = operands.GetNext(p);
        if (!op) continue;
        CkxAttrValue value;
        const bool has = file.GetAttrValue(op->GetAttrID(), value) == 1;
        if (op->IsUnk()) {
            if (has && value.IsValid()) return false;
            continue;
        }
        if (!op->IsValid()) continue;
        if (!has || !op->CheckOK(value.m_Value)) return false;
    }
    return true;
}

const char* FileColumnOfAttr(int attrId) {
    for (const FixedColumn& c : kFixedColumns)
        if (c.attrId == attrId) return c.column;
    return nullptr;
}

} // namespace kx
