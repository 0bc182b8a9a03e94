#include "table/CFileTable.h"

#include "db/AdoRecordset.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFileList.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxXXX.h"
#include "table/FileQuery.h"
#include "table/TableOps.h"

#include <memory>

namespace {

std::string N(int64_t v) { return kx::SqlNumber(v); }

CADOVariant Unsigned(int32_t v) { return CADOVariant(static_cast<unsigned>(v)); }

COleDateTime DateOf(const CADORecordset& rs, const char* column) {
    COleDateTime dt;
    rs.GetDate(column, dt);
    return dt;
}

int32_t LongOf(const CADORecordset& rs, const char* column) {
    int32_t v = 0;
    rs.GetLong(column, v);
    return v;
}

std::string TextOf(const CADORecordset& rs, const char* column) {
    std::string s;
    rs.GetString(column, s);
    return s;
}

} // namespace

// ---- columns ----

void CFileTable::FillColumns(CADOColumnList& c, const CkxFile& f, const CkxBuf& exattr,
                             const CkxBuf& power) const {
    c.AddColumn("T_FamilyID", f.m_nFamilyID);
    c.AddColumn("T_FileType", Unsigned(f.m_nFileType));
    c.AddColumn("T_CodeForm", f.m_nEncFormat);
    c.AddColumn("T_ProgStct", Unsigned(f.m_nProgStct));
    c.AddColumn("T_FileVers", Unsigned(f.m_nVersion));
    c.AddColumn("T_IsEntity", f.m_nEntity);
    c.AddColumn("T_Title", f.m_strTitle);
    c.AddColumn("T_Sufix", f.m_strExName);
    c.AddColumn("T_Width", f.m_nWidth);
    c.AddColumn("T_Height", f.m_nHeight);
    c.AddColumn("T_FileSize", Unsigned(f.m_nSize));
    c.AddColumn("T_LocStgID", f.m_nStorageID);
    c.AddColumn("T_LocDirID", f.m_nLocDirID);
    c.AddColumn("T_LocalPath", f.m_strSourcePath);
    c.AddColumn("T_AuthorID", f.m_nAuthorID);
    c.AddColumn("T_WriterID", f.m_nWriterID);
    c.AddColumn("T_EditorID", f.m_nEditorID);
    c.AddColumn("T_AuthTime", f.m_dtAuth);
    c.AddColumn("T_WriteTime", f.m_dtWrite);
    c.AddColumn("T_EditTime", f.m_dtEdit);
    c.AddColumn("T_Deleted", f.m_nDeleted);
    c.AddColumn("T_DeleterID", f.m_nDeleterID);
    c.AddColumn("T_DeleteTime", f.m_dtDelete);
    c.AddColumn("T_Checkouted", f.m_nCheckouted);
    c.AddColumn("T_CheckoutorID", f.m_nCheckoutUserID);
    c.AddColumn("T_CheckoutTime", f.m_dtCheckout);
    c.AddColumn("T_AuthAddr", f.m_strAuthAddr);
    c.AddColumn("T_Remark", f.m_strRemark);
    c.AddBinary("T_ExattrValue", exattr.GetBuf(), exattr.GetLen());
    c.AddBinary("T_UserPower", power.GetBuf(), power.GetLen());
}

int CFileTable::ReadRow(const CADORecordset& rs, CkxFile& f) const {
    if (rs.IsEOF()) return 0;
    f.m_nID = LongOf(rs, "T_ID");
    f.m_nFamilyID = LongOf(rs, "T_FamilyID");
    f.m_nFileType = LongOf(rs, "T_FileType");
    f.m_nEncFormat = LongOf(rs, "T_CodeForm");
    f.m_nProgStct = LongOf(rs, "T_ProgStct");
    f.m_nVersion = LongOf(rs, "T_FileVers");
    f.m_nEntity = LongOf(rs, "T_IsEntity");
    f.m_strTitle = TextOf(rs, "T_Title");
    f.m_strExName = TextOf(rs, "T_Sufix");
    f.m_nWidth = LongOf(rs, "T_Width");
    f.m_nHeight = LongOf(rs, "T_Height");
    f.m_nSize = LongOf(rs, "T_FileSize");
    f.m_nStorageID = LongOf(rs, "T_LocStgID");
    f.m_nLocDirID = LongOf(rs, "T_LocDirID");
    f.m_strSourcePath = TextOf(rs, "T_LocalPath");
    f.m_nAuthorID = LongOf(rs, "T_AuthorID");
    f.m_nWriterID = LongOf(rs, "T_WriterID");
    f.m_nEditorID = LongOf(rs, "T_EditorID");
    f.m_dtAuth = DateOf(rs, "T_AuthTime");
    f.m_dtWrite = DateOf(rs, "T_WriteTime");
    f.m_dtEdit = DateOf(rs, "T_EditTime");
    f.m_nDeleted = LongOf(rs, "T_Deleted");
    f.m_nDeleterID = LongOf(rs, "T_DeleterID");
    f.m_dtDelete = DateOf(rs, "T_DeleteTime");
    f.m_nCheckouted = LongOf(rs, "T_Checkouted");
    f.m_nCheckoutUserID = LongOf(rs, "T_CheckoutorID");
    f.m_dtCheckout = DateOf(rs, "T_CheckoutTime");
    f.m_strAuthAddr = TextOf(rs, "T_AuthAddr");
    f.m_strRemark = TextOf(rs, "T_Remark");
    CkxBuf power, exattr;
    if (rs.ReadBinary("T_UserPower", power) && power.GetLen() > 0)
        f.PasyPower(power.GetBuf(), power.GetLen());
    if (rs.ReadBinary("T_ExattrValue", exattr)) f.PasyExattr(exattr);
    return 1;
}

// ---- writes ----

int CFileTable::InsertFile(CADODatabase& db, CkxFile& file, const CkxBuf& exattr,
                           const CkxBuf& power) {
    CADOColumnList columns;
    FillColumns(columns, file, exattr, power);
    return kx::StoreNewId(file, db.InsertRecord(GetTableName(), columns));
}

int CFileTable::UpdateFile(CADODatabase& db, const CkxFile& file, const CkxBuf& exattr,
                           const CkxBuf& power) {
    CADOColumnList columns;
    FillColumns(columns, file, exattr, power);
    return db.UpdateRecord(GetTableName(), kx::WhereId(file.m_nID), columns);
}

std::string CFileTable::DeleteFileText(int userId, int fileId, int purge) const {
    if (purge) return " DELETE FROM " + GetTableName() + " WHERE T_ID = " + N(fileId) + " ";
    return " UPDATE " + GetTableName() + " SET T_Deleted = 1, T_DeleterID = " + N(userId) +
           " WHERE T_ID = " + N(fileId) + " ";
}

std::string CFileTable::PurgeRecycledText(int userId, int fileId) const {
    return " DELETE FROM " + GetTableName() + " WHERE T_Deleted = 1 AND T_DeleterID = " +
           N(userId) + " AND T_ID = " + N(fileId) + " ";
}

std::string CFileTable::EmptyRecycleBinText(int userId) const {
    return " DELETE FROM " + GetTableName() + " WHERE T_Deleted = 1 AND T_DeleterID = " +
           N(userId) + " ";
}

std::string CFileTable::RestoreFileText(int /*userId*/, int fileId, int folderId) const {
    // A restored file leaves every recycle bin: its deleter becomes nobody.
    return " UPDATE " + GetTableName() + " SET T_Deleted = 0, T_DeleterID = " + N(-1) +
           ", T_LocDirID = " + N(folderId) + " WHERE T_ID = " + N(fileId) + " ";
}

std::string CFileTable::RemoveFolderFilesText(int userId, int folderId, int purge) const {
    if (purge) return " DELETE FROM " + GetTableName() + " WHERE T_LocDirID = " + N(folderId) + " ";
    return " UPDATE " + GetTableName() + " SET T_Deleted = 1, T_DeleterID = " + N(userId) +
           ", T_LocDirID = " + N(-1) + " WHERE T_LocDirID = " + N(folderId) + " ";
}

int CFileTable::DeleteFile(CADODatabase& db, int userId, int fileId, int purge) {
    return db.Execute(DeleteFileText(userId, fileId, purge));
}

int CFileTable::PurgeRecycled(CADODatabase& db, int userId, int fileId) {
    return db.Execute(PurgeRecycledText(userId, fileId));
}

int CFileTable::EmptyRecycleBin(CADODatabase& db, int userId) {
    return db.Execute(EmptyRecycleBinText(userId));
}

int CFileTable::RestoreFile(CADODatabase& db, int userId, int fileId, int folderId) {
    return db.Execute(RestoreFileText(userId, fileId, folderId));
}

int CFileTable::RemoveFolderFiles(CADODatabase& db, int userId, int folderId, int purge) {
    return db.Execute(RemoveFolderFilesText(userId, folderId, purge));
}

// ---- readers ----

std::string CFileTable::SelectFileText(int fileId) const {
    return " SELECT * FROM " + GetTableName() + " WHERE T_ID = " + N(fileId) + " ";
}

std::string CFileTable::ReadRecycleBinText(int userId) const {
    return " SELECT * FROM " + GetTableName() + " WHERE T_Deleted = 1 AND T_DeleterID = " +
           N(userId) + "  ORDER BY T_WriteTime";
}

std::string CFileTable::ReadFamilyFilesText(int familyId) const {
    return "SELECT * FROM " + GetTableName() + " WHERE T_Deleted = 0 AND T_FamilyID = " +
           N(familyId) + " ORDER BY T_WriteTime";
}

std::string CFileTable::ReadFolderFilesText(int folderId) const {
    return "SELECT * FROM " + GetTableName() +
           " WHERE T_Deleted = 0 AND T_ID IN (SELECT DISTINCT T_ID  FROM VUZO_FImage WHERE "
           "T_LocDirID = " +
           N(folderId) + " OR T_ID IN ( SELECT T_FileID as T_ID FROM VuZO_QuickKey WHERE T_DirID = " +
           N(folderId) + "))  ORDER BY T_WriteTime";
}

std::string CFileTable::ReadProjectFilesText(int projectId) const {
    return " SELECT * FROM " + GetTableName() +
           " WHERE T_Deleted = 0 AND T_ID IN ( SELECT T_FileID FROM VUZO_ProjectFile WHERE "
           "T_ProjectID = " +
           N(projectId) + " AND T_DataFormat = " + N(3) + " )  ORDER BY T_WriteTime";
}

std::string CFileTable::ReadCheckedOutText() const {
    return " SELECT * FROM " + GetTableName() +
           " WHERE T_Deleted = 0 AND T_Checkouted = 1  ORDER BY T_CheckoutTime ";
}

int CFileTable::ReadFiles(CADODatabase& db, const std::string& sql, CkxFileList& list,
                          const CkxQueryOperandList* operands, const ReadLimit& limit) {
    CADORecordset rs;
    if (!db.Query(sql, rs)) return 0;
    int kept = 0;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        if (limit.cap > 0 && kept >= limit.cap) break; // the rest would not be sent
        CkxFile* file = CreateFileObj();
        if (!file) continue;
        if (!ReadRow(rs, *file) || (operands && !kx::FilePassesOperands(*file, *operands)) ||
            (limit.keep && !limit.keep(*file))) {
            DestroyFileObj(file);
            continue;
        }
        list.AddObj(file);
        ++kept;
    }
    return list.GetCount();
}

int CFileTable::SelectFile(CADODatabase& db, int fileId, CkxFileList& list) {
    return ReadFiles(db, SelectFileText(fileId), list);
}

int CFileTable::ReadRecycleBin(CADODatabase& db, int userId, CkxFileList& list) {
    return ReadFiles(db, ReadRecycleBinText(userId), list);
}

int CFileTable::ReadFamilyFiles(CADODatabase& db, int familyId, CkxFileList& list, const ReadLimit& limit) {
    return ReadFiles(db, ReadFamilyFilesText(familyId), list, nullptr, limit);
}

int CFileTable::ReadFolderFiles(CADODatabase& db, int folderId, CkxFileList& list, const ReadLimit& limit) {
    return ReadFiles(db, ReadFolderFilesText(folderId), list, nullptr, limit);
}

int CFileTable::ReadProjectFiles(CADODatabase& db, int projectId, CkxFileList& list, const ReadLimit& limit) {
    return ReadFiles(db, ReadProjectFilesText(projectId), list, nullptr, limit);
}

int CFileTable::ReadCheckedOut(CADODatabase& db, CkxFileList& list) {
    return ReadFiles(db, ReadCheckedOutText(), list);
}

// ---- queries ----

int CFileTable::QueryByTemplate(CADODatabase& db, const CkxQueryTemplet::_FIX& block,
                                const std::vector<int32_t>& folderIds,
                                const CkxQueryOperandList& operands, CkxFileList& list) {
    return ReadFiles(db, kx::FileQueryStatement(GetTableName(), block, KX_FamilyXXX(), &folderIds),
                     list, &operands);
}

int CFileTable::QueryBySingleFolder(CADODatabase& db, const CkxQueryTemplet::_FIX& block,
                                    const CkxQueryOperandList& operands, CkxFileList& list) {
    return ReadFiles(db, kx::FileQueryStatement(GetTableName(), block, KX_FamilyXXX(), nullptr),
                     list, &operands);
}

std::string CFileTable::QueryByOperandText(const CkxQueryOperand& operand) const {
    const char* column = kx::FileColumnOfAttr(operand.GetAttrID());
    if (!column) return std::string();
    const std::string condition = operand.FormatSQL_Fix(column);
    if (condition.empty()) return std::string();
    return " SELECT * FROM " + GetTableName() + " WHERE T_Deleted = 0 AND " + condition +
           " ORDER BY T_WriteTime ";
}

int CFileTable::QueryByOperand(CADODatabase& db, const CkxQueryOperand& operand,
                               CkxFileList& list) {
    // An operand the file columns cannot answer (another attribute, or a comparison its value
    // type does not have) finds nothing rather than running a broken statement.
    const std::string sql = QueryByOperandText(operand);
    if (sql.empty()) return list.GetCount();
    return ReadFiles(db, sql, list);
}
