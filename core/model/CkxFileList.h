// CkxFileList: the guarded list of file objects, each entry owned (the list deletes the file)
// or mapped (someone else's file). Every member takes the list's busy flag; a caller that
// iterates over several calls holds Lock() ... Unlock() around it.
#pragma once

#include "model/CkxFile.h"
#include "model/CkxOwnerPtrList.h"
#include "model/KxExport.h"

#include <string>

class KX_EXPORT CkxFileList : public CkxOwnerPtrList<CkxFile> {
public:
    CkxFileList() = default;
    ~CkxFileList() override = default;

    // Append an owned or a mapped entry; 1, or 0 for a null file.
    int AddObj(CkxFile* file) { return Add(file, true); }
    int AddMap(CkxFile* file) { return Add(file, false); }
    // Removes the first entry with the id, deleting its file when owned; 1 when one was removed.
    int Delete(int id);
    // Removes the first entry with the id without deleting its file.
    int Remove(int id);

    // Set the whole state of every file with the id.
    void Set_WholeState_Invalid(int id) { SetWholeState(id, KXW_INVALID); }
    void Set_WholeState_Request(int id) { SetWholeState(id, KXW_REQUEST); }
    void Set_WholeState_Getting(int id) { SetWholeState(id, KXW_GETTING); }
    void Set_WholeState_Valid(int id) { SetWholeState(id, KXW_VALID); }
    // The first file whose whole state is invalid becomes requested; 1 when there was one.
    int RequestWholeFile();
    // 1 when some file's GetFileName() equals name (byte comparison).
    int IsHasFile(const std::string& name) const;

private:
    int Add(CkxFile* file, bool owned);
    void SetWholeState(int id, uint8_t state);
};
