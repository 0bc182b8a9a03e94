#include "model/CkxProjectData.h"

#include "model/KxDeleteIf.h"

CkxProjectData::CkxProjectData() {
    m_nDataKind = KXD_IMAGE;
    m_nDataState = KXS_ACT;
    SetDataModalLink();
    m_dtCreate = COleDateTime::GetCurrentTime();
}

CkxProjectData::_COM CkxProjectData::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    c.nProjectID = m_nProjectID;
    c.nFileID = m_nFileID;
    c.nDataKind = static_cast<uint8_t>(m_nDataKind);
    c.nDataState = static_cast<uint8_t>(m_nDataState);
    c.nCreatorID = m_nCreatorID;
    c.dtCreate = m_dtCreate.m_dt;
    kx::PutText(c.szAlias, m_strAlias);
    kx::PutText(c.szRemark, m_strRemark);
    return c;
}

void CkxProjectData::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_nProjectID = c.nProjectID;
    m_nFileID = c.nFileID;
    m_nDataKind = static_cast<int8_t>(c.nDataKind);
    m_nDataState = static_cast<int8_t>(c.nDataState);
    m_nCreatorID = c.nCreatorID;
    m_dtCreate = COleDateTime(c.dtCreate);
    m_strAlias = kx::GetText(c.szAlias);
    m_strRemark = kx::GetText(c.szRemark);
}

int CkxProjectDataList::Update(const CkxProjectData& d) {
    CkxProjectData* found = Find(d.m_nProjectID, d.m_nFileID);
    if (!found) return 0;
    if (found != &d) *found = d;
    return 1;
}

int CkxProjectDataList::Delete(int projectId, int fileId) {
    return kx::DeleteIf(*this, [=](const CkxProjectData& d) { return d.SamePair(projectId, fileId); });
}

int CkxProjectDataList::GetID(int projectId, int fileId) const {
    const CkxProjectData* d = Find(projectId, fileId);
    return d ? d->m_nID : -1;
}

CkxProjectData* CkxProjectDataList::Find(int projectId, int fileId) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxProjectData* d = GetNext(p);
        if (d->SamePair(projectId, fileId)) return d;
    }
    return nullptr;
}

int CkxProjectDataList::DeleteProject(int projectId) {
    return kx::DeleteIf(*this, [=](const CkxProjectData& d) { return d.m_nProjectID == projectId; });
}

int CkxProjectDataList::DeleteFileA(int fileId) {
    return kx::DeleteIf(*this, [=](const CkxProjectData& d) { return d.m_nFileID == fileId; });
}

CkxProjectData* CkxProjectDataList::FindData(int fileId) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxProjectData* d = GetNext(p);
        if (d->m_nFileID == fileId) return d;
    }
    return nullptr;
}

int CkxProjectDataList::GetFileRefProject(int fileId, std::vector<int>& out) const {
    out.clear();
    ForEach([&](const CkxProjectData& d) {
        if (d.m_nFileID == fileId) out.push_back(d.m_nProjectID);
    });
    return static_cast<int>(out.size());
}

void CkxProjectDataList::AppendCopies(const CkxProjectDataList& links) {
    links.ForEach([this](const CkxProjectData& d) { Base::AddTail(d); });
}

void CkxProjectDataList::SetFile(int fileId, const CkxProjectDataList& links) {
    // Given itself, the list already holds what it is asked to take.
    if (&links == this) return;
    DeleteFileA(fileId);
    AppendCopies(links);
}

void CkxProjectDataList::SetProject(int projectId, const CkxProjectDataList& links) {
    if (&links == this) return;
    DeleteProject(projectId);
    AppendCopies(links);
}

void CkxProjectDataList::SetNewLinkCreator(int userId) {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxProjectData* d = GetNext(p);
        if (d->m_nID <= 0) d->m_nCreatorID = userId;
    }
}
