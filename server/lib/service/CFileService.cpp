#include "service/CFileService.h"

#include "db/AdoRecordset.h"
#include "model/CkxFileList.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxXXX.h"
#include "service/FolderService.h"
#include "data/CDataManager.h"
#include "log/ServerLog.h"
#include "table/KeywordTables.h"
#include "table/TableOps.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

// Visits every file of the list in order.
template <class F>
void EachFile(const CkxFileList& list, F&& f) {
    list.Lock();
    for (POSITION p = list.GetHeadPosition(); p;) {
        CkxFile* file = list.GetNext(p);
        if (file) f(*file);
    }
    list.Unlock();
}

} // namespace

CFileService::CFileService(CADODatabase& db, CFileStorage& storage) : m_db(db), m_storage(storage) {}

CFileService::~CFileService() = default;

CImageFileService::CImageFileService(CDataManager& data)
    : CFileService(data.GetDatabase(), data.GetImageStorage()) {}

// ---- one file ----

std::unique_ptr<CkxFile> CFileService::FindFile(int fileId) {
    CkxFileList list;
    if (GetFileTable().SelectFile(m_db, fileId, list) <= 0) return nullptr;
    return std::unique_ptr<CkxFile>(list.RemoveHead());
}

CFileService::StagedAdd::~StagedAdd() {
    if (m_storage) m_storage->AddCapacity(m_root, m_kb);
}

int CFileService::StageAdd(CkxFile& file, StagedAdd& staged) {
    const int microLen = file.IsMemMicroValid() ? file.GetMemMicroSize() : 0;
    const int wholeLen = file.IsMemWholeValid() ? file.GetMemWholeSize() : 0;
    const uint32_t kb = static_cast<uint32_t>((static_cast<int64_t>(microLen) + wholeLen) / 1024);

    CFileStorage& storage = GetStorage();
    const int root = storage.ChooseRoot(kb);
    if (root < 0) {
        kx::ServerWarning("file \"%s\" not stored: no storage root has %u KB free",
                          file.GetFileName().c_str(), kb);
        return 0;
    }
    staged.m_storage = &storage;
    staged.m_root = root;
    staged.m_kb = kb;
    staged.m_wholeLen = wholeLen;
    // The row's id is taken now, so that the content can be written under its own names and
    // put in place while nobody waits; until the row is committed no request can reach it.
    const int id = m_db.ReserveID(GetFileTable().GetTableName());
    if (id <= 0) {
        kx::ServerWarning("file \"%s\" not stored: the catalogue gave no id for it", file.GetFileName().c_str());
        return 0;
    }
    file.m_nID = id;
    // Written and flushed under temporary names in the root's staging folder, then linked to
    // their names by the id: a crash from here to the commit leaves no row, and temporary files
    // that the next start removes together with their targets. A thumbnail can be made again
    // from the content; a file whose thumbnail cannot be written is still stored.
    const auto place = [&](kx::StagedFile& part, bool written, const char* what) {
        if (written) {
            const kx::SafeWriteResult placed = part.Place();
            if (placed) return true;
            kx::ServerWarning("file \"%s\": %s", file.GetFileName().c_str(), placed.Message().c_str());
        }
        part.Discard();
        kx::ServerWarning("file \"%s\": its %s could not be written", file.GetFileName().c_str(), what);
        return false;
    };
    if (microLen > 0)
        place(staged.m_micro,
              storage.StageMicro(root, file.GetMicroIDName(), file.GetMemMicroBuf(), microLen, staged.m_micro),
              "thumbnail");
    if (wholeLen > 0 &&
        !place(staged.m_whole,
               storage.StageWhole(root, file.GetIDName(), file.GetMemWholeBuf(), wholeLen, staged.m_whole),
               "content"))
        return 0;
    return 1;
}

int CFileService::CommitAdd(CkxFile& file, StagedAdd& staged, const std::function<bool()>& alongside) {
    if (!staged.m_storage) return 0;
    CkxBuf exattr, power;
    file.BuildExattr(exattr);
    file.BuildPower(power);
    file.m_nStorageID = staged.m_root;
    file.m_nSize = staged.m_wholeLen;
    file.m_strSourcePath.clear();

    // The content is in place already under names nobody can reach without the row: the row
    // and the add's log line go in with one commit. Any failure rolls the row back, and the
    // staged add, dropped, removes what it placed.
    const auto fail = [&](const char* why) {
        if (why) kx::ServerWarning("file \"%s\" not stored: %s", file.GetFileName().c_str(), why);
        return 0;
    };
    CADOTransaction transaction(m_db);
    if (!transaction.IsActive()) return fail("the catalogue could not start a transaction");
    if (!GetFileTable().InsertReservedFile(m_db, file, exattr, power)) return fail(nullptr);
    if (alongside && !alongside()) return fail("its log line could not be written");
    if (!transaction.Commit()) return fail("the catalogue did not commit the row");
    staged.m_whole.Settle();
    staged.m_micro.Settle();
    staged.m_storage = nullptr; // the room is the file's now
    return 1;
}

int CFileService::AddFile(CkxFile& file, const std::function<bool()>& alongside) {
    StagedAdd staged;
    if (!StageAdd(file, staged)) return 0;
    return CommitAdd(file, staged, alongside);
}

int CFileService::ModifyFile(CkxFile& edited, int editorId, const COleDateTime& now) {
    std::unique_ptr<CkxFile> row = FindFile(edited.GetID());
    if (!row) return -1;
    // What a person edits comes from the request; everything the server owns (kind, storage,
    // size, dimensions, writer, deleted and checkout state) stays as stored.
    row->m_nFamilyID = edited.m_nFamilyID;
    row->m_strTitle = edited.m_strTitle;
    row->m_nLocDirID = edited.m_nLocDirID;
    row->m_nAuthorID = edited.m_nAuthorID;
    row->m_dtAuth = edited.m_dtAuth;
    row->m_strAuthAddr = edited.m_strAuthAddr;
    row->m_strRemark = edited.m_strRemark;
    row->m_nEditorID = editorId;
    row->m_dtEdit = now;
    CkxBuf exattr, power;
    edited.BuildExattr(exattr);
    edited.BuildPower(power);
    if (!GetFileTable().UpdateFile(m_db, *row, exattr, power)) return 0;

    CkxFile::_COM stored = row->GetComData();
    edited.SetComData(stored); // the object's own class keeps its extra fields
    return 1;
}

void CFileService::DeleteStored(const CkxFile& row) {
    GetStorage().Delete(row.m_nStorageID, static_cast<uint32_t>(row.GetID()), row.GetIDName());
}

int CFileService::DeleteFile(int userId, int fileId, int purge, std::unique_ptr<CkxFile>* stored) {
    std::unique_ptr<CkxFile> row = FindFile(fileId);
    if (!row) return -1;
    if (!GetFileTable().DeleteFile(m_db, userId, fileId, purge)) return 0;
    const bool changed = m_db.GetRecordsAffected() > 0;
    if (purge && changed) DeleteStored(*row);
    if (stored) *stored = std::move(row);
    return changed ? 1 : 0;
}

int CFileService::PurgeRecycledFile(int userId, int fileId, std::unique_ptr<CkxFile>* stored) {
    std::unique_ptr<CkxFile> row = FindFile(fileId);
    if (!row) return -1;
    if (!GetFileTable().PurgeRecycled(m_db, userId, fileId)) return 0;
    // A file that left the bin meanwhile (restored elsewhere) keeps its row and its data.
    const bool deleted = m_db.GetRecordsAffected() > 0;
    if (deleted) DeleteStored(*row);
    if (stored) *stored = std::move(row);
    return deleted ? 1 : 0;
}

int CFileService::EmptyRecycleBin(int userId) {
    CkxFileList bin;
    if (GetFileTable().ReadRecycleBin(m_db, userId, bin) < 0) return 0;
    // Rows first: a failed DELETE must not leave rows whose stored data is gone. The catalogue
    // mutex keeps the bin as read until the statement has run.
    if (!GetFileTable().EmptyRecycleBin(m_db, userId)) return 0;
    EachFile(bin, [&](const CkxFile& f) { DeleteStored(f); });
    return 1;
}

int CFileService::RestoreFile(int userId, int fileId, int folderId) {
    return GetFileTable().RestoreFile(m_db, userId, fileId, folderId);
}

int CFileService::RestoreAll(int userId, const std::function<bool(int)>& folderExists) {
    std::vector<std::pair<int, int>> moves; // file id, folder to restore into
    {
        CkxFileList bin;
        GetFileTable().ReadRecycleBin(m_db, userId, bin);
        EachFile(bin, [&](const CkxFile& f) {
            const int folder = f.GetLocDirID();
            moves.emplace_back(f.GetID(), folder == -1 || folderExists(folder) ? folder : -1);
        });
    }
    CADOTransaction transaction(m_db);
    if (!transaction.IsActive()) return -1;
    for (const auto& [id, folder] : moves)
        if (!GetFileTable().RestoreFile(m_db, userId, id, folder)) return -1;
    if (!transaction.Commit()) return -1;
    return static_cast<int>(moves.size());
}

int CFileService::DeleteFolder(int userId, const std::vector<int>& folderIds, int purge,
                               std::vector<int>& deleted, std::vector<CkxFile::_COM_DelFile>* moved) {
    return kx::DeleteFolderData(m_db, userId, folderIds, purge, deleted, moved);
}

// ---- lists ----

void CFileService::LoadMicros(CkxFileList& list) {
    if (!m_deferThumbnails) LoadThumbnails(list);
}

void CFileService::LoadThumbnails(CkxFileList& list) {
    CFileStorage& storage = GetStorage();
    int loaded = 0;
    EachFile(list, [&](CkxFile& f) {
        if (m_thumbnails.cap > 0 && loaded >= m_thumbnails.cap) return;
        if (m_thumbnails.keep && !m_thumbnails.keep(f)) return;
        ++loaded;
        CkxBuf micro;
        if (storage.LoadMicro(f.m_nStorageID, f.GetMicroIDName(), micro))
            f.UpdateMicro(micro.GetBuf(), micro.GetLen());
    });
}

int CFileService::GetRecycleBin(int userId, CkxFileList& list) {
    GetFileTable().ReadRecycleBin(m_db, userId, list);
    LoadMicros(list);
    return list.GetCount();
}

int CFileService::GetFamilyFiles(int familyId, CkxFileList& list, const CFileTable::ReadLimit& limit) {
    GetFileTable().ReadFamilyFiles(m_db, familyId, list, limit);
    LoadMicros(list);
    return list.GetCount();
}

int CFileService::GetFolderFiles(int folderId, CkxFileList& list, const CFileTable::ReadLimit& limit) {
    GetFileTable().ReadFolderFiles(m_db, folderId, list, limit);
    LoadMicros(list);
    return list.GetCount();
}

int CFileService::GetProjectFiles(int projectId, CkxFileList& list, const CFileTable::ReadLimit& limit) {
    GetFileTable().ReadProjectFiles(m_db, projectId, list, limit);
    LoadMicros(list);
    return list.GetCount();
}

int CFileService::GetFilesById(const std::vector<int32_t>& fileIds, CkxFileList& list,
                               const CFileTable::ReadLimit& limit) {
    int kept = 0;
    for (int32_t id : fileIds) {
        if (limit.cap > 0 && kept >= limit.cap) break; // the rest would not be sent
        std::unique_ptr<CkxFile> file = FindFile(id);
        if (!file || file->IsDeleted() || (limit.keep && !limit.keep(*file))) continue;
        list.AddObj(file.release());
        ++kept;
    }
    LoadMicros(list);
    return list.GetCount();
}

int CFileService::GetKeywordFilesAll(const std::vector<int32_t>& keywordIds, CkxFileList& list,
                                     const CFileTable::ReadLimit& limit) {
    if (keywordIds.empty()) return list.GetCount();
    std::vector<int> ids;
    if (KeywordLinkTable::FilesWithAllKeywords(m_db, std::vector<int>(keywordIds.begin(), keywordIds.end()),
                                               ids) < 0)
        return list.GetCount();
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return GetFilesById(std::vector<int32_t>(ids.begin(), ids.end()), list, limit);
}

int CFileService::GetKeywordFilesAny(const std::vector<int32_t>& keywordIds, CkxFileList& list,
                                     const CFileTable::ReadLimit& limit) {
    if (keywordIds.empty()) return list.GetCount();
    std::vector<int32_t> ids;
    if (KeywordLinkTable::FilesWithAnyKeyword(m_db, keywordIds, ids) < 0) return list.GetCount();
    std::sort(ids.begin(), ids.end());
    return GetFilesById(ids, list, limit);
}

int CFileService::GetOperandFiles(const CkxQueryOperand& operand, CkxFileList& list,
                                  const CFileTable::ReadLimit& limit) {
    GetFileTable().QueryByOperand(m_db, operand, list, limit);
    LoadMicros(list);
    return list.GetCount();
}

int CFileService::QueryFiles(const CkxQueryTemplet::_FIX& block, const CkxQueryOperandList& operands,
                             const CkxXXX& context, CkxFileList& list,
                             const CFileTable::ReadLimit& limit) {
    const int folder = block.nDirID;
    const bool self = block.bDirSelf != 0;
    const bool below = block.bDirBelow != 0;
    CFileTable& table = GetFileTable();
    if (folder == -1 && self && below) {
        table.QueryBySingleFolder(m_db, block, operands, list, limit);
        LoadMicros(list);
        return list.GetCount();
    }

    std::vector<int32_t> folders;
    if (folder != -1 && !context.fsIsHasChild(folder)) {
        folders.push_back(folder);
    } else if (self && !below) {
        folders.push_back(folder);
    } else if (below) {
        std::vector<int> tree;
        if (self)
            context._kxFSTree().FindTree(folder, tree);
        else
            context._kxFSTree().FindUnderDir(folder, tree);
        folders.assign(tree.begin(), tree.end());
    }
    table.QueryByTemplate(m_db, block, folders, operands, list, limit);
    // The quick keys' files come after the rows: a list already at its cap sends none of them.
    if (limit.cap > 0 && list.GetCount() >= limit.cap) {
        LoadMicros(list);
        return list.GetCount();
    }

    // Files a quick key shows in one of those folders, when they match the rest of the query.
    CkxFSQuickKeyList keys;
    std::vector<int> keyFiles;
    context.m_QuickKeyList.GetFolderQuickKey(std::vector<int>(folders.begin(), folders.end()), keys);
    keys.ForEach([&](const CkxFSQuickKey& key) { keyFiles.push_back(key.m_nFileID); });
    if (!keyFiles.empty()) {
        CkxQueryTemplet::_FIX everywhere = block;
        everywhere.nDirID = -1;
        everywhere.bDirSelf = 1;
        everywhere.bDirBelow = 1;
        CkxFileList all;
        table.QueryBySingleFolder(m_db, everywhere, operands, all);
        std::set<int> listed;
        EachFile(list, [&](const CkxFile& f) { listed.insert(f.GetID()); });
        for (int id : keyFiles) {
            const CkxFile* match = all.Find(id);
            if (!match || !listed.insert(id).second) continue; // not matching, or already listed
            list.AddObj(match->Clone());
        }
    }
    LoadMicros(list);
    return list.GetCount();
}

int CFileService::GetWholeData(CkxFile& file) {
    CkxBuf whole;
    if (!GetStorage().LoadWhole(file.m_nStorageID, file.GetIDName(), whole)) return 0;
    file.UpdateWhole(whole.GetBuf(), whole.GetLen());
    return 1;
}

// ---- checkouts ----

int CFileService::ReadCheckedOut(std::vector<CkxCheckout>& out) {
    CADORecordset rs;
    if (!m_db.Query(GetFileTable().ReadCheckedOutText(), rs)) return -1;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        CkxCheckout c;
        rs.GetLong("T_ID", c.m_nFileID);
        rs.GetLong("T_LocStgID", c.m_nStorageID);
        rs.GetString("T_Title", c.m_strTitle);
        rs.GetString("T_Sufix", c.m_strExt);
        rs.GetLong("T_CheckoutorID", c.m_nUserID);
        rs.GetDate("T_CheckoutTime", c.m_dtCheckout);
        rs.GetDate("T_CheckinTime", c.m_dtTime2);
        out.push_back(c);
    }
    return static_cast<int>(out.size());
}

namespace {

int UpdateById(CADODatabase& db, const std::string& table, int fileId, const CADOColumnList& columns) {
    return db.UpdateRecord(table, kx::WhereId(fileId), columns);
}

// The row's place and name, which the clients use to name their local copies.
void TakeRowNames(CkxCheckout& record, const CkxFile& row) {
    record.m_nStorageID = row.m_nStorageID;
    record.m_strTitle = row.m_strTitle;
    record.m_strExt = row.m_strExName;
}

} // namespace

int CFileService::CheckOut(CkxCheckout& record, const COleDateTime& now) {
    std::unique_ptr<CkxFile> row = FindFile(record.m_nFileID);
    if (!row) return -1;
    CADOColumnList columns;
    columns.AddColumn("T_Checkouted", 1);
    columns.AddColumn("T_CheckoutorID", record.m_nUserID);
    columns.AddColumn("T_CheckoutTime", now);
    if (!UpdateById(m_db, GetFileTable().GetTableName(), record.m_nFileID, columns)) return 0;
    record.m_dtCheckout = now;
    TakeRowNames(record, *row);
    return 1;
}

int CFileService::CheckIn(CkxCheckout& record, const COleDateTime& now) {
    std::unique_ptr<CkxFile> row = FindFile(record.m_nFileID);
    if (!row) return -1;
    CADOColumnList columns;
    columns.AddColumn("T_Checkouted", 0);
    columns.AddColumn("T_CheckoutorID", -1);
    columns.AddColumn("T_CheckinTime", now);
    if (!UpdateById(m_db, GetFileTable().GetTableName(), record.m_nFileID, columns)) return 0;
    TakeRowNames(record, *row);
    return 1;
}

int CFileService::CheckInChanged(CkxFile& file, int editorId, const COleDateTime& now,
                                 const std::function<bool()>& alongside) {
    StagedCheckIn staged;
    const int located = LocateCheckIn(file, staged);
    if (located != 1) return located;
    if (!StageCheckIn(file, staged)) return 0;
    return CheckInChanged(file, editorId, now, staged, alongside);
}

int CFileService::LocateCheckIn(const CkxFile& file, StagedCheckIn& staged) {
    std::unique_ptr<CkxFile> row = FindFile(file.GetID());
    if (!row) return -1;
    staged.m_root = row->m_nStorageID;
    staged.m_wholeName = row->GetIDName();
    staged.m_microName = row->GetMicroIDName();
    return 1;
}

int CFileService::StageCheckIn(const CkxFile& file, StagedCheckIn& staged) {
    const int microLen = file.IsMemMicroValid() ? file.GetMemMicroSize() : 0;
    const int wholeLen = file.IsMemWholeValid() ? file.GetMemWholeSize() : 0;
    CFileStorage& storage = GetStorage();
    if (wholeLen > 0 &&
        !storage.StageWhole(staged.m_root, staged.m_wholeName, file.GetMemWholeBuf(), wholeLen, staged.m_whole)) {
        kx::ServerWarning("check-in of file %d refused: its content could not be written", file.GetID());
        return 0;
    }
    storage.StageMicro(staged.m_root, staged.m_microName, file.GetMemMicroBuf(), microLen, staged.m_micro);
    return 1;
}

int CFileService::CheckInChanged(CkxFile& file, int editorId, const COleDateTime& now, StagedCheckIn& staged,
                                 const std::function<bool()>& alongside) {
    std::unique_ptr<CkxFile> row = FindFile(file.GetID());
    if (!row) return -1;
    // Staged for where the row was when the content came; a row moved meanwhile is not
    // written over by copies meant for another place.
    if (row->m_nStorageID != staged.m_root || row->GetIDName() != staged.m_wholeName) {
        kx::ServerWarning("check-in of file %d refused: the file moved while its content was written", row->GetID());
        return 0;
    }
    const int wholeLen = file.IsMemWholeValid() ? file.GetMemWholeSize() : 0;
    CADOColumnList columns;
    columns.AddColumn("T_FileSize", static_cast<unsigned>(wholeLen));
    columns.AddColumn("T_EditorID", editorId);
    columns.AddColumn("T_EditTime", now);
    columns.AddColumn("T_Checkouted", 0);
    columns.AddColumn("T_CheckoutorID", -1);
    columns.AddColumn("T_CheckinTime", now);
    columns.AddColumn("T_Width", file.m_nWidth);
    columns.AddColumn("T_Height", file.m_nHeight);
    // The new copies were written and flushed under temporary names first; the row is updated
    // (with the check-in's log line) in a transaction; the copies are put in place; then the
    // commit. When the content cannot be written the check-in fails with nothing changed and
    // the row still says checked out, so the workstation keeps its changed copy instead of
    // being told it was saved.
    kx::StagedFile& whole = staged.m_whole;
    kx::StagedFile& micro = staged.m_micro;
    if (wholeLen > 0 && !whole.IsStaged()) return 0;
    CADOTransaction transaction(m_db);
    if (!transaction.IsActive()) return 0;
    if (!UpdateById(m_db, GetFileTable().GetTableName(), row->GetID(), columns)) return 0;
    if (alongside && !alongside()) return 0;
    if (whole.IsStaged() && !whole.Publish().placed) return 0;
    if (micro.IsStaged()) micro.Publish();
    if (!transaction.Commit()) {
        kx::ServerWarning("check-in of file %d: the new content is in place but the catalogue did not commit",
                          row->GetID());
        return 0;
    }

    row->m_nSize = wholeLen;
    row->m_nEditorID = editorId;
    row->m_dtEdit = now;
    row->m_nCheckouted = 0;
    row->m_nCheckoutUserID = -1;
    row->m_nWidth = file.m_nWidth;
    row->m_nHeight = file.m_nHeight;
    file.SetComData(row->GetComData());
    return 1;
}
