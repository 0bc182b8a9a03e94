// Named power presets from which the rights dialogs fill power words: file roles and folder
// roles, two classes of one shape, each with its list.
#pragma once

#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

#pragma pack(push, 1)
struct KxPowerRoleCom {
    int32_t nID;
    char szName[52];
    int32_t nIsSystem;
    int32_t nPower;
    char szRemark[52];
};
#pragma pack(pop)
KX_RECORD_SIZE(KxPowerRoleCom, 116);
KX_FIELD_AT(KxPowerRoleCom, nID, 0);
KX_FIELD_AT(KxPowerRoleCom, szName, 4);
KX_FIELD_AT(KxPowerRoleCom, nIsSystem, 56);
KX_FIELD_AT(KxPowerRoleCom, nPower, 60);
KX_FIELD_AT(KxPowerRoleCom, szRemark, 64);

// The shared shape; Tag only keeps file and folder roles apart as types.
template <class Tag>
class KX_EXPORT CkxPowerRole {
public:
    using _COM = KxPowerRoleCom;

    CkxPowerRole() = default;
    explicit CkxPowerRole(const _COM& c) { SetComData(c); }
    CkxPowerRole(const CkxPowerRole&) = default;
    CkxPowerRole& operator=(const CkxPowerRole&) = default;
    CkxPowerRole& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxPowerRole() = default;

    int GetID() const { return m_nID; }

    _COM GetComData() const {
        _COM c = kx::ZeroRecord<_COM>();
        c.nID = m_nID;
        kx::PutText(c.szName, m_strName);
        c.nIsSystem = m_nIsSystem;
        c.nPower = m_nPower;
        kx::PutText(c.szRemark, m_strRemark);
        return c;
    }
    void SetComData(const _COM& c) {
        m_nID = c.nID;
        m_strName = kx::GetText(c.szName);
        m_nIsSystem = c.nIsSystem;
        m_nPower = c.nPower;
        m_strRemark = kx::GetText(c.szRemark);
    }

    int32_t m_nID = -1;
    std::string m_strName;
    int32_t m_nIsSystem = 0;
    int32_t m_nPower = 0;
    std::string m_strRemark;
};

struct KxFileRoleTag {};
struct KxFolderRoleTag {};
using CkxFileRole = CkxPowerRole<KxFileRoleTag>;
using CkxFolderRole = CkxPowerRole<KxFolderRoleTag>;

template <class Role>
class KX_EXPORT CkxPowerRoleList : public CkxRecordList<Role, kx::DeleteMode::EveryMatch> {};
using CkxFileRoleList = CkxPowerRoleList<CkxFileRole>;
using CkxFolderRoleList = CkxPowerRoleList<CkxFolderRole>;
