#include "model/CkxFileList.h"

int CkxFileList::Add(CkxFile* file, bool owned) {
    if (!file) return 0;
    CkxAutoLock g(&lock_);
    return AddLocked(file, owned) ? 1 : 0;
}

int CkxFileList::Delete(int id) {
    CkxAutoLock g(&lock_);
    return RemoveLocked(id, false, true);
}

int CkxFileList::Remove(int id) {
    CkxAutoLock g(&lock_);
    return RemoveLocked(id, false, false);
}

void CkxFileList::SetWholeState(int id, uint8_t state) {
    CkxAutoLock g(&lock_);
    VisitLocked([&](CkxFile& f) {
        if (f.GetID() == id) f.m_nWholeState = state;
        return false;
    });
}

int CkxFileList::RequestWholeFile() {
    CkxAutoLock g(&lock_);
    int found = 0;
    VisitLocked([&](CkxFile& f) {
        if (!f.Is_WholeState_Invalid()) return false;
        f.Set_WholeState_Request();
        found = 1;
        return true;
    });
    return found;
}

int CkxFileList::IsHasFile(const std::string& name) const {
    CkxAutoLock g(&lock_);
    int found = 0;
    VisitLocked([&](const CkxFile& f) { return (found = f.GetFileName() == name ? 1 : 0) != 0; });
    return found;
}
