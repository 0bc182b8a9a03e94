// Quick keys: each shows one file in one further folder besides its storage folder. The list
// answers by folder and by file, and replaces a file's whole set at once.
#pragma once

#include "model/CkxData.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <vector>

class KX_EXPORT CkxFSQuickKey : public CkxData {
public:
#pragma pack(push, 1)
    struct _COM {
        uint8_t nDataKind;
        uint8_t nDataState;
        uint8_t nDataModal;
        uint8_t reserved0;
        int32_t reserved1;
        int32_t reserved2;
        int32_t nID;
        int32_t nDirID;
        int32_t nFileID;
    };
#pragma pack(pop)

    CkxFSQuickKey() { SetDataModalQuickKey(); }
    CkxFSQuickKey(int folderId, int fileId) : CkxFSQuickKey() {
        m_nDirID = folderId;
        m_nFileID = fileId;
    }
    explicit CkxFSQuickKey(const _COM& c) { SetComData(c); }
    CkxFSQuickKey(const CkxFSQuickKey&) = default;
    CkxFSQuickKey& operator=(const CkxFSQuickKey&) = default;
    CkxFSQuickKey& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }

    _COM GetComData() const;
    void SetComData(const _COM& c);
    int GetID() const { return m_nID; }
    // Whether the key places the file in a folder.
    bool IsLoc() const { return m_nDirID != -1; }

    int32_t m_nID = -1;
    int32_t m_nDirID = -1;
    int32_t m_nFileID = -1;
};

KX_RECORD_SIZE(CkxFSQuickKey::_COM, 24);
KX_FIELD_AT(CkxFSQuickKey::_COM, nDataKind, 0);
KX_FIELD_AT(CkxFSQuickKey::_COM, nDataState, 1);
KX_FIELD_AT(CkxFSQuickKey::_COM, nDataModal, 2);
KX_FIELD_AT(CkxFSQuickKey::_COM, reserved1, 4);
KX_FIELD_AT(CkxFSQuickKey::_COM, nID, 12);
KX_FIELD_AT(CkxFSQuickKey::_COM, nDirID, 16);
KX_FIELD_AT(CkxFSQuickKey::_COM, nFileID, 20);

class KX_EXPORT CkxFSQuickKeyList : public CkxRecordList<CkxFSQuickKey, kx::DeleteMode::EveryMatch> {
    using Base = CkxRecordList<CkxFSQuickKey, kx::DeleteMode::EveryMatch>;

public:
    using KeyPtrs = std::vector<CkxFSQuickKey*>;
    using Base::Delete;
    using Base::Find;

    // The first key of that folder and file, or null.
    CkxFSQuickKey* Find(int folderId, int fileId) const;
    // Adds a new key (id -1) for the pair unless one exists; 1 added, 0 already there.
    int Set(int folderId, int fileId);
    // Removes every key of the pair / of the folder / of the file; return how many.
    int Delete(int folderId, int fileId);
    int DeleteFolder(int folderId);
    int DeleteFileA(int fileId);

    // Replaces the file's keys with copies of the given keys, in order.
    void SetFile(int fileId, const CkxFSQuickKeyList& keys);
    // Stamps every key with the file id.
    void SetFile(unsigned long fileId);

    // The keys of a folder in list order: the keys themselves, copies (out emptied first) or
    // their ids. Each returns the count.
    int GetFolderQuickKey(int folderId, KeyPtrs& out) const { return Pick(true, folderId, out); }
    int GetFolderQuickKey(int folderId, CkxFSQuickKeyList& out) const { return PickCopies(true, folderId, out); }
    int GetFolderQuickKey(int folderId, std::vector<int>& out) const { return PickIds(true, folderId, out); }
    // Empties out and appends the keys of each listed folder in turn.
    int GetFolderQuickKey(const std::vector<int>& folderIds, CkxFSQuickKeyList& out) const;
    // The same three forms for the keys of one file.
    int GetFileQuickKey(int fileId, KeyPtrs& out) const { return Pick(false, fileId, out); }
    int GetFileQuickKey(int fileId, CkxFSQuickKeyList& out) const { return PickCopies(false, fileId, out); }
    int GetFileQuickKey(int fileId, std::vector<int>& out) const { return PickIds(false, fileId, out); }

    // The keys that do / do not place their file in a folder.
    int GetLocQuickKey(KeyPtrs& out) const;
    int GetUnLocQuickKey(KeyPtrs& out) const;

private:
    int Pick(bool byFolder, int id, KeyPtrs& out) const;
    int PickCopies(bool byFolder, int id, CkxFSQuickKeyList& out) const;
    int PickIds(bool byFolder, int id, std::vector<int>& out) const;
};
