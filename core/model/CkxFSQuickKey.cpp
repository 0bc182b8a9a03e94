#include "model/CkxFSQuickKey.h"

#include "model/KxDeleteIf.h"

CkxFSQuickKey::_COM CkxFSQuickKey::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nDataKind = static_cast<uint8_t>(m_nDataKind);
    c.nDataState = static_cast<uint8_t>(m_nDataState);
    c.nDataModal = static_cast<uint8_t>(m_nDataModal);
    c.nID = m_nID;
    c.nDirID = m_nDirID;
    c.nFileID = m_nFileID;
    return c;
}

void CkxFSQuickKey::SetComData(const _COM& c) {
    m_nDataKind = static_cast<int8_t>(c.nDataKind);
    m_nDataState = static_cast<int8_t>(c.nDataState);
    m_nDataModal = static_cast<int8_t>(c.nDataModal);
    m_nID = c.nID;
    m_nDirID = c.nDirID;
    m_nFileID = c.nFileID;
}

CkxFSQuickKey* CkxFSQuickKeyList::Find(int folderId, int fileId) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxFSQuickKey* k = GetNext(p);
        if (k->m_nDirID == folderId && k->m_nFileID == fileId) return k;
    }
    return nullptr;
}

int CkxFSQuickKeyList::Set(int folderId, int fileId) {
    if (Find(folderId, fileId)) return 0;
    return AddTail(CkxFSQuickKey(folderId, fileId));
}

int CkxFSQuickKeyList::Delete(int folderId, int fileId) {
    return kx::DeleteIf(*this, [=](const CkxFSQuickKey& k) { return k.m_nDirID == folderId && k.m_nFileID == fileId; });
}

int CkxFSQuickKeyList::DeleteFolder(int folderId) {
    return kx::DeleteIf(*this, [=](const CkxFSQuickKey& k) { return k.m_nDirID == folderId; });
}

int CkxFSQuickKeyList::DeleteFileA(int fileId) {
    return kx::DeleteIf(*this, [=](const CkxFSQuickKey& k) { return k.m_nFileID == fileId; });
}

void CkxFSQuickKeyList::SetFile(int fileId, const CkxFSQuickKeyList& keys) {
    // Given itself, the list already holds what it is asked to take.
    if (&keys == this) return;
    DeleteFileA(fileId);
    keys.ForEach([this](const CkxFSQuickKey& k) { AddTail(k); });
}

void CkxFSQuickKeyList::SetFile(unsigned long fileId) {
    const int id = static_cast<int>(fileId);
    for (POSITION p = GetHeadPosition(); p;) GetNext(p)->m_nFileID = id;
}

int CkxFSQuickKeyList::Pick(bool byFolder, int id, KeyPtrs& out) const {
    out.clear();
    for (POSITION p = GetHeadPosition(); p;) {
        CkxFSQuickKey* k = GetNext(p);
        if ((byFolder ? k->m_nDirID : k->m_nFileID) == id) out.push_back(k);
    }
    return static_cast<int>(out.size());
}

int CkxFSQuickKeyList::PickCopies(bool byFolder, int id, CkxFSQuickKeyList& out) const {
    if (&out == this) return GetCount();
    KeyPtrs keys;
    Pick(byFolder, id, keys);
    out.DeleteAll();
    for (const CkxFSQuickKey* k : keys) out.AddTail(*k);
    return out.GetCount();
}

int CkxFSQuickKeyList::PickIds(bool byFolder, int id, std::vector<int>& out) const {
    KeyPtrs keys;
    Pick(byFolder, id, keys);
    out.clear();
    for (const CkxFSQuickKey* k : keys) out.push_back(k->m_nID);
    return static_cast<int>(out.size());
}

int CkxFSQuickKeyList::GetFolderQuickKey(const std::vector<int>& folderIds, CkxFSQuickKeyList& out) const {
    if (&out == this) return GetCount();
    out.DeleteAll();
    for (int folderId : folderIds) {
        KeyPtrs keys;
        Pick(true, folderId, keys);
        for (const CkxFSQuickKey* k : keys) out.AddTail(*k);
    }
    return out.GetCount();
}

int CkxFSQuickKeyList::GetLocQuickKey(KeyPtrs& out) const {
    out.clear();
    ForEach([&](const CkxFSQuickKey& k) {
        if (k.IsLoc()) out.push_back(const_cast<CkxFSQuickKey*>(&k));
    });
    return static_cast<int>(out.size());
}

int CkxFSQuickKeyList::GetUnLocQuickKey(KeyPtrs& out) const {
    out.clear();
    ForEach([&](const CkxFSQuickKey& k) {
        if (!k.IsLoc()) out.push_back(const_cast<CkxFSQuickKey*>(&k));
    });
    return static_cast<int>(out.size());
}
