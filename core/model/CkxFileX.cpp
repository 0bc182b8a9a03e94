#include "model/CkxFileX.h"

#include <memory>
#include <new>
#include <vector>

// ---- CkxFileX ----

CkxFileX::CkxFileX(const CkxFileX& o) {
    if (o.m_nMode == MODE_MAPPED) MapObj(o.m_pFile);
    else if (o.m_pFile) CreateObj(*o.m_pFile);
}

CkxFileX& CkxFileX::operator=(const CkxFileX& o) {
    if (this == &o) return *this;
    if (o.m_pFile) CreateObj(*o.m_pFile);
    else Destroy();
    return *this;
}

void CkxFileX::Destroy() {
    if (m_nMode == MODE_OWNED) delete m_pFile;
    m_pFile = nullptr;
    m_nMode = MODE_NONE;
}

void CkxFileX::AttachObj(CkxFile* file) {
    if (file == m_pFile && m_nMode == MODE_OWNED) return;
    Destroy();
    m_pFile = file;
    m_nMode = file ? MODE_OWNED : MODE_NONE;
}

void CkxFileX::MapObj(CkxFile* file) {
    if (file == m_pFile && m_nMode == MODE_OWNED) {
        // Keep the object alive: it is ours, and a mapping of it would leave nobody to free it.
        return;
    }
    Destroy();
    m_pFile = file;
    m_nMode = file ? MODE_MAPPED : MODE_NONE;
}

int CkxFileX::CreateObj(const CkxFile& file) {
    // The copy is made before the current object goes: file may be that object.
    CkxFile* copy = nullptr;
    try {
        copy = file.Clone();
    } catch (const std::bad_alloc&) {
        copy = nullptr;
    }
    Destroy();
    if (!copy) return 0;
    m_pFile = copy;
    m_nMode = MODE_OWNED;
    return 1;
}

int CkxFileX::CreateObj(const void* record, int len) {
    Destroy();
    std::unique_ptr<CkxFile> file(CkxFile::_CreateFile(record, len));
    if (!file || !file->PasyBaseAttr(record, len)) return 0;
    AttachObj(file.release());
    return 1;
}

// ---- CkxFileXList ----

CkxFileX* CkxFileXList::Add(CkxFileX* h, bool owned) {
    if (!h) return nullptr;
    CkxAutoLock g(&lock_);
    return AddLocked(h, owned) ? h : nullptr;
}

CkxFileX* CkxFileXList::AddObj(const CkxFileX& h) {
    if (!h.GetObj()) return nullptr;
    return AddObj(*h.GetObj());
}

CkxFileX* CkxFileXList::AddObj(const CkxFile& file) {
    auto* h = new (std::nothrow) CkxFileX;
    if (!h) return nullptr;
    if (!h->CreateObj(file)) {
        delete h;
        return nullptr;
    }
    if (!AddAttach(h)) {
        delete h;
        return nullptr;
    }
    return h;
}

int CkxFileXList::Delete(int id) {
    CkxAutoLock g(&lock_);
    return RemoveLocked(id, true, true);
}

int CkxFileXList::IsHas(const std::string& name) const {
    CkxAutoLock g(&lock_);
    int found = 0;
    VisitLocked([&](const CkxFileX& h) { return (found = h.GetFileName() == name ? 1 : 0) != 0; });
    return found;
}

std::string CkxFileXList::GetFileName(int id) const {
    CkxAutoLock g(&lock_);
    const CkxFileX* h = FindLocked(id);
    return h ? h->GetFileName() : std::string();
}

std::string CkxFileXList::GetFileExname(int id) const {
    CkxAutoLock g(&lock_);
    const CkxFileX* h = FindLocked(id);
    return h ? h->GetExName() : std::string();
}

std::string CkxFileXList::GetIDName(int id) const {
    CkxAutoLock g(&lock_);
    const CkxFileX* h = FindLocked(id);
    return h ? h->GetIDName() : std::string();
}

int CkxFileXList::Update(const CkxFileX& h) {
    if (!h.GetObj()) return 0;
    CkxAutoLock g(&lock_);
    CkxFileX* found = FindLocked(h.GetID());
    if (!found) return 0;
    if (found != &h) found->CreateObj(*h.GetObj());
    return 1;
}

void CkxFileXList::SetWholeState(int id, uint8_t state) {
    CkxAutoLock g(&lock_);
    CkxFileX* h = FindLocked(id);
    if (h && h->GetObj()) h->GetObj()->m_nWholeState = state;
}

int CkxFileXList::RequestWholeFile() {
    CkxAutoLock g(&lock_);
    int found = 0;
    VisitLocked([&](CkxFileX& h) {
        if (!h.Is_WholeState_Invalid()) return false;
        h.Set_WholeState_Request();
        found = 1;
        return true;
    });
    return found;
}

CkxFileXList& CkxFileXList::operator=(const CkxFileXList& o) {
    if (this == &o) return *this;
    // Copies are taken under the other's flag, then put in under ours: the two flags are never
    // held together.
    std::vector<std::unique_ptr<CkxFile>> copies;
    {
        CkxAutoLock g(&o.lock_);
        o.VisitLocked([&](const CkxFileX& h) {
            if (h.GetObj()) copies.emplace_back(h.GetObj()->Clone());
            return false;
        });
    }
    CkxAutoLock g(&lock_);
    DeleteAllLocked();
    for (auto& c : copies) {
        auto* h = new (std::nothrow) CkxFileX;
        if (!h) break;
        h->AttachObj(c.release());
        if (!AddLocked(h, true)) {
            delete h;
            break;
        }
    }
    return *this;
}

// ---- CkxFileXX ----

CkxFileXX& CkxFileXX::operator=(const CkxFileXX& o) {
    if (this == &o) return *this;
    m_nValue = o.m_nValue;
    m_FileList.DeleteAll();
    std::vector<CkxFile*> files;
    o.m_FileList.Lock();
    for (POSITION p = o.m_FileList.GetHeadPosition(); p;)
        if (CkxFile* f = o.m_FileList.GetNext(p)) files.push_back(f);
    o.m_FileList.Unlock();
    for (CkxFile* f : files) m_FileList.AddMap(f);
    return *this;
}
