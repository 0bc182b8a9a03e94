// File handles: CkxFileX holds at most one file object (of any kind class) and says whether it
// owns it (mode 1, deleted with the handle) or only refers to it (mode 2). CkxFileXList is the
// guarded list of handles with lookups by id and name and the whole-content bookkeeping;
// CkxFileXX pairs a number with a list of files it does not own.
#pragma once

#include "model/CkxFile.h"
#include "model/CkxFileList.h"
#include "model/CkxOwnerPtrList.h"
#include "model/KxExport.h"
#include "base/OleDate.h"

#include <string>

class KX_EXPORT CkxFileX {
public:
    enum Mode { MODE_NONE = 0, MODE_OWNED = 1, MODE_MAPPED = 2 };

    CkxFileX() = default;
    // A copy of an owning handle owns its own copy of the object (of the same class); a copy
    // of a mapping handle refers to the same object. No object ever has two owners.
    CkxFileX(const CkxFileX& o);
    // Takes an owned copy of the other's object (of the same class).
    CkxFileX& operator=(const CkxFileX& o);
    // Refers to the file (mapped).
    CkxFileX& operator=(CkxFile* file) {
        MapObj(file);
        return *this;
    }
    // Owns a copy of the file (of the same class).
    CkxFileX& operator=(const CkxFile& file) {
        CreateObj(file);
        return *this;
    }
    virtual ~CkxFileX() { Destroy(); }

    // Deletes an owned object, forgets a mapped one; the mode becomes 0.
    void Destroy();
    // Adopts the object (mode 1) / refers to it (mode 2), releasing the current one first.
    void AttachObj(CkxFile* file);
    void MapObj(CkxFile* file);
    // Owns a new copy of the file, of the file's own class (a photo keeps its capture fields).
    // 1, or 0 when memory runs out (the handle is then empty).
    int CreateObj(const CkxFile& file);
    // Builds the object from a received base record: the file kind at offset 8 picks the class
    // (1 image, 2 text, 3 audio, 4 video, 5 binary, 6 photo, else plain file) and the record is
    // read into it. The current object is released first; null bytes or fewer bytes than the
    // chosen class's record leave the handle empty. 1 when an object was made.
    int CreateObj(const void* record, int len);

    CkxFile* GetObj() const { return m_pFile; }
    CkxFile* GetFile() const { return m_pFile; }
    int GetMode() const { return m_nMode; }
    bool IsEmpty() const { return m_pFile == nullptr; }

    int GetID() const { return m_pFile ? m_pFile->GetID() : -1; }
    int GetFamilyID() const { return m_pFile ? m_pFile->GetFamilyID() : -1; }
    int GetLocDirID() const { return m_pFile ? m_pFile->GetLocDirID() : -1; }
    int GetFileSize() const { return m_pFile ? m_pFile->GetFileSize() : 0; }
    COleDateTime GetWriteTime() const { return m_pFile ? m_pFile->m_dtWrite : COleDateTime(); }
    std::string GetFileName() const { return m_pFile ? m_pFile->GetFileName() : std::string(); }
    std::string GetIDName() const { return m_pFile ? m_pFile->GetIDName() : std::string(); }
    std::string GetExName() const { return m_pFile ? m_pFile->GetExName() : std::string(); }
    std::string GetSourcePath() const { return m_pFile ? m_pFile->GetSourcePath() : std::string(); }
    int IsImage() const { return m_pFile && m_pFile->IsImage(); }
    int IsDoc() const { return m_pFile && m_pFile->IsText(); }
    int IsAudio() const { return m_pFile && m_pFile->IsAudio(); }
    int IsVideo() const { return m_pFile && m_pFile->IsVideo(); }
    int IsBinary() const { return m_pFile && m_pFile->IsBinary(); }
    int IsFIPhoto() const { return m_pFile && m_pFile->IsFIPhoto(); }
    int IsLinkFamily() const { return m_pFile && m_pFile->GetFamilyID() >= 0; }
    void SetFamily(int id) {
        if (m_pFile) m_pFile->m_nFamilyID = id;
    }
    void SetEditor(int id) {
        if (m_pFile) m_pFile->m_nEditorID = id;
    }
    void SetEditTime(const COleDateTime& t) {
        if (m_pFile) m_pFile->m_dtEdit = t;
    }
    void Set_WholeState_Invalid() { SetWholeState(KXW_INVALID); }
    void Set_WholeState_Request() { SetWholeState(KXW_REQUEST); }
    void Set_WholeState_Getting() { SetWholeState(KXW_GETTING); }
    void Set_WholeState_Valid() { SetWholeState(KXW_VALID); }
    int Is_WholeState_Invalid() const { return m_pFile && m_pFile->Is_WholeState_Invalid(); }
    int Is_WholeState_Request() const { return m_pFile && m_pFile->Is_WholeState_Request(); }
    int Is_WholeState_Getting() const { return m_pFile && m_pFile->Is_WholeState_Getting(); }
    int Is_WholeState_Valid() const { return m_pFile && m_pFile->Is_WholeState_Valid(); }

private:
    void SetWholeState(uint8_t s) {
        if (m_pFile) m_pFile->m_nWholeState = s;
    }

    CkxFile* m_pFile = nullptr;
    int32_t m_nMode = MODE_NONE;
};

// Every member takes the list's busy flag and releases it before returning.
class KX_EXPORT CkxFileXList : public CkxOwnerPtrList<CkxFileX> {
public:
    CkxFileXList() = default;
    CkxFileXList& operator=(const CkxFileXList& o);
    ~CkxFileXList() override = default;

    // Append the handle as owned / as mapped; return it, or null for a null handle.
    CkxFileX* AddAttach(CkxFileX* h) { return Add(h, true); }
    CkxFileX* AddMap(CkxFileX* h) { return Add(h, false); }
    // Append a new owned handle holding an owned copy of the object; return it (null when the
    // source is empty or memory runs out).
    CkxFileX* AddObj(const CkxFileX& h);
    CkxFileX* AddObj(const CkxFile& file);

    // Removes every entry whose handle holds a file with the id, deleting owned handles.
    int Delete(int id);
    int IsHas(int id) const { return Find(id) ? 1 : 0; }
    // 1 when some handle's GetFileName() equals name (byte comparison).
    int IsHas(const std::string& name) const;
    std::string GetFileName(int id) const;
    std::string GetFileExname(int id) const;
    std::string GetIDName(int id) const;

    // The handle with the same id takes an owned copy of the given handle's object; 1 when
    // there was one.
    int Update(const CkxFileX& h);

    // Set the whole state of the first handle with the id.
    void Set_WholeState_Invalid(int id) { SetWholeState(id, KXW_INVALID); }
    void Set_WholeState_Request(int id) { SetWholeState(id, KXW_REQUEST); }
    void Set_WholeState_Getting(int id) { SetWholeState(id, KXW_GETTING); }
    void Set_WholeState_Valid(int id) { SetWholeState(id, KXW_VALID); }
    // The first handle whose whole state is invalid becomes requested; 1 when there was one.
    int RequestWholeFile();

private:
    CkxFileX* Add(CkxFileX* h, bool owned);
    void SetWholeState(int id, uint8_t state);
};

// A number and a list of files that the pair refers to but does not own.
class KX_EXPORT CkxFileXX {
public:
    CkxFileXX() = default;
    CkxFileXX(const CkxFileXX& o) { *this = o; }
    CkxFileXX& operator=(const CkxFileXX& o);
    virtual ~CkxFileXX() = default;

    int32_t m_nValue = 0;
    CkxFileList m_FileList;
};
