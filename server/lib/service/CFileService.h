// CFileService: every file request reaches the catalogue rows and the stored files through it.
// It pairs each file-table statement with its storage work (stored copies written after an
// insert, deleted only after their row is gone, thumbnails loaded into listed files), always
// taking a file's storage root, id and extension from its database row, never from a request.
// CImageFileService is the one the server uses: the image file table over the data manager's
// connection and image storage.
#pragma once

#include "db/AdoDatabase.h"
#include "model/CkxCheckout.h"
#include "model/CkxFile.h"
#include "model/CkxQueryTemplet.h"
#include "storage/CFileStorage.h"
#include "table/CImageFileTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDataManager;
class CkxFileList;
class CkxQueryOperand;
class CkxQueryOperandList;
class CkxXXX;

class CFileService {
public:
    CFileService(CADODatabase& db, CFileStorage& storage);
    virtual ~CFileService();
    CFileService(const CFileService&) = delete;
    CFileService& operator=(const CFileService&) = delete;

    // The file table and the storage every operation uses.
    virtual CFileTable& GetFileTable() { return m_table; }
    virtual CFileStorage& GetStorage() { return m_storage; }
    CADODatabase& GetDatabase() { return m_db; }

    // ---- one file ----
    // The stored row of the id; null when there is none.
    std::unique_ptr<CkxFile> FindFile(int fileId);

    // Stores a new file: reserves room on a storage root, inserts the row (the file object gets
    // its new id, root, size and an empty source path), writes the thumbnail and the whole file
    // and runs `alongside` (the add's log line) before one commit. 1 when committed; 0 when no
    // root has room or any step failed (the reservation is given back, the row rolled back and
    // no file left).
    int AddFile(CkxFile& file, const std::function<bool()>& alongside = {});

    // AddFile in two steps, so that the slow part runs outside the catalogue lock: StageAdd
    // reserves room on a root and the row's id (written into file), writes and flushes the
    // thumbnail and the whole file in the root's staging folder and links them to their names
    // by the id (it takes no catalogue lock); CommitAdd, under the lock, inserts the row, runs
    // `alongside` and commits. A staged add dropped without its commit gives its room back and
    // leaves no file.
    class StagedAdd {
    public:
        StagedAdd() = default;
        ~StagedAdd();
        StagedAdd(const StagedAdd&) = delete;
        StagedAdd& operator=(const StagedAdd&) = delete;

    private:
        friend class CFileService;
        CFileStorage* m_storage = nullptr; // set while room is reserved
        int m_root = -1;
        uint32_t m_kb = 0;
        int m_wholeLen = 0;
        kx::StagedFile m_micro, m_whole;
    };
    // 1 when staged; 0 when no root has room or the content could not be written (warned).
    int StageAdd(CkxFile& file, StagedAdd& staged);
    // 1 when committed; 0 when any step failed (row rolled back, no file left, room given back).
    int CommitAdd(CkxFile& file, StagedAdd& staged, const std::function<bool()>& alongside = {});
    // Writes the fields a person edits (family, title, folder, author, time and place of
    // authorship, note, extra attributes, rights) from `edited` onto the stored row, and the
    // editor and edit time; every other column keeps the row's value. `edited` is brought to
    // the stored state. 1 when written; -1 for an unknown id; 0 when the update failed.
    int ModifyFile(CkxFile& edited, int editorId, const COleDateTime& now);

    // Moves the file to the user's recycle bin, or (purge) deletes its row and then its stored
    // data. `stored` receives the row as it was (for the caller's log); 1 when the row changed,
    // -1 for an unknown id, 0 when the statement failed.
    int DeleteFile(int userId, int fileId, int purge, std::unique_ptr<CkxFile>* stored = nullptr);
    // Deletes a file of the user's recycle bin for good: stored data goes only when its row did.
    int PurgeRecycledFile(int userId, int fileId, std::unique_ptr<CkxFile>* stored = nullptr);
    // Deletes every file of the user's recycle bin: the rows first, then their stored data.
    int EmptyRecycleBin(int userId);
    int RestoreFile(int userId, int fileId, int folderId);
    // Restores every file of the user's recycle bin into its folder, or into no folder (-1)
    // when `folderExists` says the folder is gone. Returns how many were restored, -1 on a
    // database failure (nothing restored then).
    int RestoreAll(int userId, const std::function<bool(int folderId)>& folderExists);

    // Deletes the folders and every folder below them: their files go to the user's recycle
    // bin with no folder (or their rows, when purging; stored data stays either way), then their
    // quick keys and rows, in one transaction. 1 with the deleted folders in `deleted` (listed
    // ones first), else 0 with nothing changed.
    int DeleteFolder(int userId, const std::vector<int>& folderIds, int purge, std::vector<int>& deleted,
                     std::vector<CkxFile::_COM_DelFile>* moved = nullptr);

    // ---- lists: the reader, then every file's thumbnail; the list's count ----
    int GetRecycleBin(int userId, CkxFileList& list);
    int GetFamilyFiles(int familyId, CkxFileList& list, const CFileTable::ReadLimit& limit = {});
    int GetFolderFiles(int folderId, CkxFileList& list, const CFileTable::ReadLimit& limit = {});
    int GetProjectFiles(int projectId, CkxFileList& list, const CFileTable::ReadLimit& limit = {});
    // Files bound to every keyword of the list (none for an empty list).
    int GetKeywordFilesAll(const std::vector<int32_t>& keywordIds, CkxFileList& list,
                           const CFileTable::ReadLimit& limit = {});
    // Files bound to any keyword of the list (none for an empty list).
    int GetKeywordFilesAny(const std::vector<int32_t>& keywordIds, CkxFileList& list,
                           const CFileTable::ReadLimit& limit = {});
    // From now on a list reads thumbnails only for the files that pass `limit` (the ones that
    // will be sent), up to its cap; every file of the list is still read.
    void LimitThumbnailsTo(CFileTable::ReadLimit limit) { m_thumbnails = std::move(limit); }
    // From now on lists leave their thumbnails to LoadThumbnails: a handler reads them once it
    // has let the catalogue go (they are stored files, not catalogue rows).
    void DeferThumbnails() { m_deferThumbnails = true; }
    // Reads the thumbnails of a list read while they were deferred (as LimitThumbnailsTo says).
    void LoadThumbnails(CkxFileList& list);
    // The listed ids that name a stored file not in a recycle bin, in the ids' order (those that
    // pass `limit`, up to its cap).
    int GetFilesById(const std::vector<int32_t>& fileIds, CkxFileList& list,
                     const CFileTable::ReadLimit& limit = {});
    int GetOperandFiles(const CkxQueryOperand& operand, CkxFileList& list,
                        const CFileTable::ReadLimit& limit = {});
    // A query template's block and operands over the folder tree and quick keys of `context`:
    // the matching rows, then the matching files a quick key shows in the folders.
    int QueryFiles(const CkxQueryTemplet::_FIX& block, const CkxQueryOperandList& operands,
                   const CkxXXX& context, CkxFileList& list, const CFileTable::ReadLimit& limit = {});

    // Loads the stored whole file of the row into the object; 1 on success.
    int GetWholeData(CkxFile& file);

    // ---- checkouts ----
    // The checked-out files as checkout records, in checkout-time order; -1 when unreadable.
    int ReadCheckedOut(std::vector<CkxCheckout>& out);
    // Marks the record's file checked out by the record's user at `now`; the record gets the
    // row's storage root, title and extension. 1 done, -1 unknown id, 0 failed.
    int CheckOut(CkxCheckout& record, const COleDateTime& now);
    // Clears the checkout and stamps the check-in time. Results as CheckOut.
    int CheckIn(CkxCheckout& record, const COleDateTime& now);
    // Checks in a changed file: size, width, height, editor, edit and check-in times go to the
    // row, then the new thumbnail and whole file replace the stored ones on the row's own root.
    // The file object is brought to the stored state. Results as CheckOut.
    int CheckInChanged(CkxFile& file, int editorId, const COleDateTime& now,
                       const std::function<bool()>& alongside = {});

    // CheckInChanged in three steps, so that the content is written outside the catalogue lock:
    // LocateCheckIn (under the lock, shared will do) finds the row's root and stored names;
    // StageCheckIn (no lock) writes and flushes the new copies in that root's staging folder;
    // CheckInChanged with the staged copies (under the lock alone) updates the row and puts
    // them in place, provided the row still has that root and those names.
    class StagedCheckIn {
    private:
        friend class CFileService;
        int m_root = -1;
        std::string m_wholeName, m_microName;
        kx::StagedFile m_whole, m_micro;
    };
    // -1 when no row has the file's id.
    int LocateCheckIn(const CkxFile& file, StagedCheckIn& staged);
    // 0 when the content could not be written (warned).
    int StageCheckIn(const CkxFile& file, StagedCheckIn& staged);
    int CheckInChanged(CkxFile& file, int editorId, const COleDateTime& now, StagedCheckIn& staged,
                       const std::function<bool()>& alongside = {});

protected:
    // Loads every listed file's thumbnail, unless thumbnails are deferred.
    void LoadMicros(CkxFileList& list);
    CFileTable::ReadLimit m_thumbnails; // which files of a list get their thumbnails read
    bool m_deferThumbnails = false;
    // Deletes the stored thumbnail and whole file of a row.
    void DeleteStored(const CkxFile& row);

private:
    CADODatabase& m_db;
    CFileStorage& m_storage;
    CFileTable m_table;
};

// The service over the data manager's connection and image storage, on "VUZO_FImage".
class CImageFileService : public CFileService {
public:
    explicit CImageFileService(CDataManager& data);
    CImageFileService(CADODatabase& db, CFileStorage& storage) : CFileService(db, storage) {}

    CFileTable& GetFileTable() override { return m_imageTable; }

private:
    CImageFileTable m_imageTable;
};
