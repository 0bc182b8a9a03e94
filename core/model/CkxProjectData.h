// Project links: each ties one file to one project, with its creator, creation time, the
// file's alias within the project and a remark; with the link list and its pair lookups.
#pragma once

#include "model/CkxData.h"
#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>
#include <vector>

class KX_EXPORT CkxProjectData : public CkxData {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        int32_t nProjectID;
        int32_t nFileID;
        uint8_t nDataKind;
        uint8_t nDataState;
        uint8_t reserved1[2];
        int32_t nCreatorID;
        int32_t reserved2;
        DATE dtCreate;
        char szAlias[50];
        char szRemark[50];
        int32_t reserved3;
    };
#pragma pack(pop)

    // A new link: data kind 3, created now.
    CkxProjectData();
    explicit CkxProjectData(const _COM& c) : CkxProjectData() { SetComData(c); }
    CkxProjectData(const CkxProjectData&) = default;
    CkxProjectData& operator=(const CkxProjectData&) = default;
    CkxProjectData& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }

    _COM GetComData() const;
    void SetComData(const _COM& c);
    int GetID() const { return m_nID; }
    // Whether the server has stored the link (its id is above 0).
    bool IsValid() const { return m_nID > 0; }
    bool SamePair(int projectId, int fileId) const { return m_nProjectID == projectId && m_nFileID == fileId; }

    int32_t m_nID = -1;
    int32_t m_nProjectID = 0;
    int32_t m_nFileID = 0;
    int32_t m_nCreatorID = 0;
    COleDateTime m_dtCreate;
    std::string m_strAlias;
    std::string m_strRemark;
};

KX_RECORD_SIZE(CkxProjectData::_COM, 136);
KX_FIELD_AT(CkxProjectData::_COM, nID, 0);
KX_FIELD_AT(CkxProjectData::_COM, nProjectID, 4);
KX_FIELD_AT(CkxProjectData::_COM, nFileID, 8);
KX_FIELD_AT(CkxProjectData::_COM, nDataKind, 12);
KX_FIELD_AT(CkxProjectData::_COM, nDataState, 13);
KX_FIELD_AT(CkxProjectData::_COM, nCreatorID, 16);
KX_FIELD_AT(CkxProjectData::_COM, dtCreate, 24);
KX_FIELD_AT(CkxProjectData::_COM, szAlias, 32);
KX_FIELD_AT(CkxProjectData::_COM, szRemark, 82);
KX_FIELD_AT(CkxProjectData::_COM, reserved3, 132);

class KX_EXPORT CkxProjectDataList : public CkxRecordList<CkxProjectData, kx::DeleteMode::EveryMatch> {
    using Base = CkxRecordList<CkxProjectData, kx::DeleteMode::EveryMatch>;

public:
    using Base::AddTail;
    using Base::Delete;
    using Base::Find;

    // Appends the pointer and takes ownership; 1, or 0 for null.
    int AddTail(CkxProjectData* d) {
        if (!d) return 0;
        Base::AddTail(d);
        return 1;
    }
    // Copies every field onto the first link of the same project and file; 1 done, 0 none.
    int Update(const CkxProjectData& d);
    // Removes every link of the pair; returns how many.
    int Delete(int projectId, int fileId);
    // The link id of the pair's first link, or -1; the pair's first link, or null.
    int GetID(int projectId, int fileId) const;
    CkxProjectData* Find(int projectId, int fileId) const;
    int DeleteProject(int projectId);
    int DeleteFileA(int fileId);
    // The first link of the file, or null.
    CkxProjectData* FindData(int fileId) const;
    // Clears out and lists the project id of every link of the file; returns the count.
    int GetFileRefProject(int fileId, std::vector<int>& out) const;
    // Replace the file's (project's) links with copies of the given links.
    void SetFile(int fileId, const CkxProjectDataList& links);
    void SetProject(int projectId, const CkxProjectDataList& links);
    // Links not yet stored (id 0 or less) get the user as their creator.
    void SetNewLinkCreator(int userId);

private:
    void AppendCopies(const CkxProjectDataList& links);
};
