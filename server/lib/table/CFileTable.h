// CFileTable: every statement that reads or writes catalogue file rows (insert, update, recycle
// bin, purge, restore, the list readers and the template and operand queries) on one file table
// of the shared connection. The table's name and the class of the file objects it makes come from
// the derived table; the server uses CImageFileTable ("VUZO_FImage") for every file.
#pragma once

#include "db/AdoDatabase.h"
#include "model/CkxFile.h"
#include "model/CkxQueryTemplet.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CADORecordset;
class CkxFileList;
class CkxQueryOperand;
class CkxQueryOperandList;

// A list reader may stop early: `keep` decides which rows count (all when empty) and reading
// ends once `cap` of them are in the list (0: no cap). The rows come in the statement's order,
// so the list holds exactly the first `cap` rows that count.
struct KxFileReadLimit {
    std::function<bool(const CkxFile&)> keep;
    int cap = 0;
};

// The positions of the file columns in one statement's rows, looked up once per statement so
// that reading a row costs no name matching. A column the statement lacks has position -1 and
// reads as empty.
class KxFileColumns {
public:
    enum Column {
        ID, FamilyID, FileType, CodeForm, ProgStct, FileVers, IsEntity, Title, Sufix, Width, Height,
        FileSize, LocStgID, LocDirID, LocalPath, AuthorID, WriterID, EditorID, AuthTime, WriteTime,
        EditTime, Deleted, DeleterID, DeleteTime, Checkouted, CheckoutorID, CheckoutTime, AuthAddr,
        Remark, UserPower, ExattrValue, kCount
    };
    explicit KxFileColumns(const CADORecordset& rs);
    int operator[](Column c) const { return m_at[c]; }

private:
    int m_at[kCount];
};

class CFileTable {
public:
    CFileTable() = default;
    CFileTable(const CFileTable&) = delete;
    CFileTable& operator=(const CFileTable&) = delete;
    virtual ~CFileTable() = default;

    // ---- what a derived table decides ----
    virtual std::string GetTableName() const { return "File"; }
    // A new empty file object of the table's class; the caller owns it.
    virtual CkxFile* CreateFileObj() const { return new CkxFile; }
    // The written columns in their fixed order (T_FamilyID to T_UserPower; never T_ID or
    // T_CheckinTime), with the extra-attribute and rights buffers as byte blocks.
    virtual void FillColumns(CADOColumnList& columns, const CkxFile& file, const CkxBuf& exattr,
                             const CkxBuf& power) const;
    // Reads the recordset's current row (T_ID included) into the file object by the column
    // positions of its statement; 1, or 0 when there is no current row.
    virtual int ReadRow(const CADORecordset& rs, const KxFileColumns& columns, CkxFile& file) const;
    int ReadRow(const CADORecordset& rs, CkxFile& file) const { return ReadRow(rs, KxFileColumns(rs), file); }
    virtual void DestroyFileObj(CkxFile* file) const { delete file; }

    // ---- writes; 1 when the statement ran, else 0 ----
    // Stores a new row under an id reserved for it (CADODatabase::ReserveID), written into file;
    // 1 when inserted, else 0.
    int InsertFile(CADODatabase& db, CkxFile& file, const CkxBuf& exattr, const CkxBuf& power);
    // The same under the file's own id, which the caller reserved already.
    int InsertReservedFile(CADODatabase& db, const CkxFile& file, const CkxBuf& exattr, const CkxBuf& power);
    // Rewrites the row of the file's id.
    int UpdateFile(CADODatabase& db, const CkxFile& file, const CkxBuf& exattr,
                   const CkxBuf& power);
    // purge: the row goes; else the file moves to the user's recycle bin.
    int DeleteFile(CADODatabase& db, int userId, int fileId, int purge);
    int PurgeRecycled(CADODatabase& db, int userId, int fileId);
    int EmptyRecycleBin(CADODatabase& db, int userId);
    int RestoreFile(CADODatabase& db, int userId, int fileId, int folderId);
    // The folder's files: rows deleted (purge) or moved to the user's recycle bin with no folder.
    int RemoveFolderFiles(CADODatabase& db, int userId, int folderId, int purge);

    using ReadLimit = KxFileReadLimit;

    // ---- readers: append to the list in row order, return the list's count (0 on failure) ----
    int SelectFile(CADODatabase& db, int fileId, CkxFileList& list);
    int ReadRecycleBin(CADODatabase& db, int userId, CkxFileList& list);
    int ReadFamilyFiles(CADODatabase& db, int familyId, CkxFileList& list, const ReadLimit& limit = {});
    // Files of the folder and files a quick key shows in it.
    int ReadFolderFiles(CADODatabase& db, int folderId, CkxFileList& list, const ReadLimit& limit = {});
    int ReadProjectFiles(CADODatabase& db, int projectId, CkxFileList& list, const ReadLimit& limit = {});
    int ReadCheckedOut(CADODatabase& db, CkxFileList& list);

    // ---- queries ----
    // The block's conditions with the caller's folder list, then every operand tested on each
    // row in memory.
    int QueryByTemplate(CADODatabase& db, const CkxQueryTemplet::_FIX& block,
                        const std::vector<int32_t>& folderIds, const CkxQueryOperandList& operands,
                        CkxFileList& list, const ReadLimit& limit = {});
    // The same with the block's own folder in place of a folder list.
    int QueryBySingleFolder(CADODatabase& db, const CkxQueryTemplet::_FIX& block,
                            const CkxQueryOperandList& operands, CkxFileList& list,
                            const ReadLimit& limit = {});
    // One condition on a fixed file column; an operand on any other attribute finds nothing.
    int QueryByOperand(CADODatabase& db, const CkxQueryOperand& operand, CkxFileList& list,
                       const ReadLimit& limit = {});

    // The statement texts the operations run (for the operations above and for tests).
    std::string DeleteFileText(int userId, int fileId, int purge) const;
    std::string PurgeRecycledText(int userId, int fileId) const;
    std::string EmptyRecycleBinText(int userId) const;
    std::string RestoreFileText(int userId, int fileId, int folderId) const;
    std::string RemoveFolderFilesText(int userId, int folderId, int purge) const;
    std::string SelectFileText(int fileId) const;
    std::string ReadRecycleBinText(int userId) const;
    std::string ReadFamilyFilesText(int familyId) const;
    std::string ReadFolderFilesText(int folderId) const;
    std::string ReadProjectFilesText(int projectId) const;
    std::string ReadCheckedOutText() const;
    std::string QueryByOperandText(const CkxQueryOperand& operand) const;

protected:
    // Runs a SELECT and appends every row that passes the operands (none: every row).
    int ReadFiles(CADODatabase& db, const std::string& sql, CkxFileList& list,
                  const CkxQueryOperandList* operands = nullptr, const ReadLimit& limit = {});
};
