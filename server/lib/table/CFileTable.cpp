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

KxFileColumns::KxFileColumns(const CADORecordset& rs) {
    static const char* const names[kCount] = {
        "T_ID", "T_FamilyID", "T_FileType", "T_CodeForm", "T_ProgStct", "T_FileVers", "T_IsEntity",
        "T_Title", "T_Sufix", "T_Width", "T_Height", "T_FileSize", "T_LocStgID", "T_LocDirID",
        "T_LocalPath", "T_AuthorID", "T_WriterID", "T_EditorID", "T_AuthTime", "T_WriteTime",
        "T_EditTime", "T_Deleted", "T_DeleterID", "T_DeleteTime", "T_Checkouted", "T_CheckoutorID",
        "T_CheckoutTime", "T_AuthAddr", "T_Remark", "T_UserPower", "T_ExattrValue"};
    for (int c = 0; c < kCount; ++c) m_at[c] = rs.GetFieldIndex(names[c]);
}

int CFileTable::ReadRow(const CADORecordset& rs, const KxFileColumns& at, CkxFile& f) const {
    if (rs.IsEOF()) return 0;
    using C = KxFileColumns;
    const auto longOf = [&](C::Column c) {
        int32_t v = 0;
        rs.GetLongAt(at[c], v);
        return v;
    };
    const auto textOf = [&](C::Column c) {
        std::string v;
        rs.GetStringAt(at[c], v);
        return v;
    };
    const auto dateOf = [&](C::Column c) {
        COleDateTime v;
        rs.GetDateAt(at[c], v);
        return v;
    };
    f.m_nID = longOf(C::ID);
    f.m_nFamilyID = longOf(C::FamilyID);
    f.m_nFileType = longOf(C::FileType);
    f.m_nEncFormat = longOf(C::CodeForm);
    f.m_nProgStct = longOf(C::ProgStct);
    f.m_nVersion = longOf(C::FileVers);
    f.m_nEntity = longOf(C::IsEntity);
    f.m_strTitle = textOf(C::Title);
    f.m_strExName = textOf(C::Sufix);
    f.m_nWidth = longOf(C::Width);
    f.m_nHeight = longOf(C::Height);
    f.m_nSize = longOf(C::FileSize);
    f.m_nStorageID = longOf(C::LocStgID);
    f.m_nLocDirID = longOf(C::LocDirID);
    f.m_strSourcePath = textOf(C::LocalPath);
    f.m_nAuthorID = longOf(C::AuthorID);
    f.m_nWriterID = longOf(C::WriterID);
    f.m_nEditorID = longOf(C::EditorID);
    f.m_dtAuth = dateOf(C::AuthTime);
    f.m_dtWrite = dateOf(C::WriteTime);
    f.m_dtEdit = dateOf(C::EditTime);
    f.m_nDeleted = longOf(C::Deleted);
    f.m_nDeleterID = longOf(C::DeleterID);
    f.m_dtDelete = dateOf(C::DeleteTime);
    f.m_nCheckouted = longOf(C::Checkouted);
    f.m_nCheckoutUserID = longOf(C::CheckoutorID);
    f.m_dtCheckout = dateOf(C::CheckoutTime);
    f.m_strAuthAddr = textOf(C::AuthAddr);
    f.m_strRemark = textOf(C::Remark);
    CkxBuf power, exattr;
    if (rs.ReadBinaryAt(at[C::UserPower], power) && power.GetLen() > 0)
        f.PasyPower(power.GetBuf(), power.GetLen());
    if (rs.ReadBinaryAt(at[C::ExattrValue], exattr)) f.PasyExattr(exattr);
    return 1;
}

// ---- writes ----

int CFileTable::InsertFile(CADODatabase& db, CkxFile& file, const CkxBuf& exattr,
                           const CkxBuf& power) {
    const int id = db.ReserveID(GetTableName());
    if (id <= 0) return 0;
    file.m_nID = id;
    return InsertReservedFile(db, file, exattr, power);
}

int CFileTable::InsertReservedFile(CADODatabase& db, const CkxFile& file, const CkxBuf& exattr,
                                   const CkxBuf& power) {
    if (file.m_nID <= 0) return 0;
    CADOColumnList columns;
    columns.AddColumn("T_ID", file.m_nID);
    FillColumns(columns, file, exattr, power);
    return db.InsertRecord(GetTableName(), columns) == file.m_nID ? 1 : 0;
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
    // Rows are read as they are needed: a list that reaches its cap reads no further row.
    CADORecordset rs;
    if (!db.QueryForward(sql, rs)) return 0;
    const KxFileColumns columns(rs);
    int kept = 0;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (limit.cap > 0 && kept >= limit.cap) break; // the rest would not be sent
        CkxFile* file = CreateFileObj();
        if (!file) continue;
        if (!ReadRow(rs, columns, *file) || (operands && !kx::FilePassesOperands(*file, *operands)) ||
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
                                const CkxQueryOperandList& operands, CkxFileList& list,
                                const ReadLimit& limit) {
    return ReadFiles(db, kx::FileQueryStatement(GetTableName(), block, KX_FamilyXXX(), &folderIds),
                     list, &operands, limit);
}

int CFileTable::QueryBySingleFolder(CADODatabase& db, const CkxQueryTemplet::_FIX& block,
                                    const CkxQueryOperandList& operands, CkxFileList& list,
                                    const ReadLimit& limit) {
    return ReadFiles(db, kx::FileQueryStatement(GetTableName(), block, KX_FamilyXXX(), nullptr),
                     list, &operands, limit);
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
                               CkxFileList& list, const ReadLimit& limit) {
    // An operand the file columns cannot answer (another attribute, or a comparison its value
    // type does not have) finds nothing rather than running a broken statement.
    const std::string sql = QueryByOperandText(operand);
    if (sql.empty()) return list.GetCount();
    return ReadFiles(db, sql, list, nullptr, limit);
}
