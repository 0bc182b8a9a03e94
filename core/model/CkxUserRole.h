// User roles: a named set of power bits (user, system and family administration, and the
// operate rights for folders, files, projects, persons and keywords) with its list.
#pragma once

#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

// Role power bits.
enum KxRolePower : int32_t {
    KXR_USERADMIN = 0x1,
    KXR_SYSTEMADMIN = 0x2,
    KXR_FAMILYADMIN = 0x4,
    KXR_DIROPERATE = 0x100,
    KXR_FILEOPERATE = 0x200,
    KXR_PROJECTOPERATE = 0x400,
    KXR_PERSONOPERATE = 0x800,
    KXR_KEYWORDOPERATE = 0x1000,
};

class KX_EXPORT CkxUserRole {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        char szName[52];
        int32_t nIsSystem;
        uint8_t nType;
        uint8_t reserved[3];
        int32_t nPower;
        char szRemark[200];
    };
#pragma pack(pop)

    enum { TYPE_NULL = 0, TYPE_OPERATOR = 1, TYPE_DEVICE = 2, TYPE_OI = 3 };

    CkxUserRole() = default;
    explicit CkxUserRole(const _COM& c) { SetComData(c); }
    CkxUserRole(const CkxUserRole&) = default;
    CkxUserRole& operator=(const CkxUserRole&) = default;
    CkxUserRole& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxUserRole() = default;

    void Clear() { *this = CkxUserRole(); }
    _COM GetComData() const;
    void SetComData(const _COM& c);
    int GetID() const { return m_nID; }

    void SetTypeNull() { m_nType = TYPE_NULL; }
    void SetTypeOperator() { m_nType = TYPE_OPERATOR; }
    void SetTypeDevice() { m_nType = TYPE_DEVICE; }
    void SetTypeOI() { m_nType = TYPE_OI; }
    bool IsTypeNull() const { return m_nType == TYPE_NULL; }
    bool IsTypeOperator() const { return m_nType == TYPE_OPERATOR; }
    bool IsTypeDevice() const { return m_nType == TYPE_DEVICE; }
    bool IsTypeOI() const { return m_nType == TYPE_OI; }

    // Tests over a role's power bits; the administration bits imply the operate rights.
    static int IsHasPower_UserAdmin(int p) { return (p & KXR_USERADMIN) ? 1 : 0; }
    static int IsHasPower_SystemAdmin(int p) { return (p & (KXR_USERADMIN | KXR_SYSTEMADMIN)) ? 1 : 0; }
    static int IsHasPower_FamilyAdmin(int p) {
        return (p & (KXR_USERADMIN | KXR_SYSTEMADMIN | KXR_FAMILYADMIN)) ? 1 : 0;
    }
    static int IsHasPower_DirOperate(int p) { return AdminOr(p, KXR_DIROPERATE); }
    static int IsHasPower_FileOperate(int p) { return AdminOr(p, KXR_FILEOPERATE); }
    static int IsHasPower_ProjectOperate(int p) { return AdminOr(p, KXR_PROJECTOPERATE); }
    static int IsHasPower_PersonOperate(int p) { return AdminOr(p, KXR_PERSONOPERATE); }
    static int IsHasPower_KeywordOperate(int p) { return AdminOr(p, KXR_KEYWORDOPERATE); }
    static int IsHasPower_OnlyQuery(int p) { return p == 0 ? 1 : 0; }

    int32_t m_nID = -1;
    std::string m_strName;
    int32_t m_nIsSystem = 0;
    uint8_t m_nType = TYPE_NULL;
    int32_t m_nPower = 0;
    std::string m_strRemark;

private:
    static int AdminOr(int p, int bit) { return (IsHasPower_SystemAdmin(p) || (p & bit)) ? 1 : 0; }
};

KX_RECORD_SIZE(CkxUserRole::_COM, 268);
KX_FIELD_AT(CkxUserRole::_COM, nID, 0);
KX_FIELD_AT(CkxUserRole::_COM, szName, 4);
KX_FIELD_AT(CkxUserRole::_COM, nIsSystem, 56);
KX_FIELD_AT(CkxUserRole::_COM, nType, 60);
KX_FIELD_AT(CkxUserRole::_COM, nPower, 64);
KX_FIELD_AT(CkxUserRole::_COM, szRemark, 68);

class KX_EXPORT CkxUserRoleList : public CkxRecordList<CkxUserRole, kx::DeleteMode::EveryMatch> {};
