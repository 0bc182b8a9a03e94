// User groups: a name, a note and the ids of the member accounts. The members travel beside the
// 104-byte group record as a section container with one 4-byte user id per section.
#pragma once

#include "model/CkxBuf.h"
#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>
#include <vector>

class KX_EXPORT CkxUserGroup {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        char szName[50];
        char szNote[50];
    };
#pragma pack(pop)

    CkxUserGroup() = default;
    explicit CkxUserGroup(const _COM& c) { SetComData(c); }
    CkxUserGroup(const CkxUserGroup&) = default;
    CkxUserGroup& operator=(const CkxUserGroup&) = default;
    CkxUserGroup& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxUserGroup() = default;

    _COM GetComData() const;
    // Reads id, name and note; the member list stays as it was.
    void SetComData(const _COM& c);
    int GetID() const { return m_nID; }

    int CheckIncludeUser(int userId) const;
    // Writes the members as a container of 4-byte sections; returns the bytes written.
    int BuildQueryBuf(CkxBuf& buf) const;
    // Replaces the members with those of a member container. A null or empty buffer, a broken
    // container or a section shorter than 4 bytes changes nothing and returns 0; 1 when read.
    int PasyQueryBuf(const unsigned char* data, int length);

    int32_t m_nID = -1;
    std::string m_strName;
    std::string m_strNote;
    std::vector<int32_t> m_UserList;
};

KX_RECORD_SIZE(CkxUserGroup::_COM, 104);
KX_FIELD_AT(CkxUserGroup::_COM, nID, 0);
KX_FIELD_AT(CkxUserGroup::_COM, szName, 4);
KX_FIELD_AT(CkxUserGroup::_COM, szNote, 54);

class KX_EXPORT CkxUserGroupList : public CkxRecordList<CkxUserGroup, kx::DeleteMode::EveryMatch> {
public:
    // Empties out, then lists the id of every group (in list order) that has the user.
    int GetGroupIncludeUser(int userId, std::vector<int>& out) const;
};
