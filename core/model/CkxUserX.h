// An entry naming a user or a group (a project's member list is made of them) and its list
// with the 12-byte-per-entry buffer.
#pragma once

#include "model/CkxBuf.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <vector>

class KX_EXPORT CkxUserX {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        uint8_t nType;
        uint8_t reserved[3];
        int32_t nEnable;
    };
#pragma pack(pop)

    enum { TYPE_GROUP = 1, TYPE_USER = 2 };

    CkxUserX() = default;
    CkxUserX(int id, int type) : m_nID(id), m_nType(static_cast<uint8_t>(type)) {}
    explicit CkxUserX(const _COM& c) { SetComData(c); }
    CkxUserX(const CkxUserX&) = default;
    CkxUserX& operator=(const CkxUserX&) = default;
    CkxUserX& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxUserX() = default;

    _COM GetComData() const;
    void SetComData(const _COM& c);
    int GetID() const { return m_nID; }
    bool IsGroup() const { return m_nType == TYPE_GROUP; }
    bool IsUser() const { return m_nType == TYPE_USER; }
    void Enable(int b) { m_nEnable = b; }

    int32_t m_nID = -1;
    uint8_t m_nType = TYPE_USER;
    int32_t m_nEnable = 0;
};

KX_RECORD_SIZE(CkxUserX::_COM, 12);
KX_FIELD_AT(CkxUserX::_COM, nID, 0);
KX_FIELD_AT(CkxUserX::_COM, nType, 4);
KX_FIELD_AT(CkxUserX::_COM, nEnable, 8);

class KX_EXPORT CkxUserXList : public CkxRecordList<CkxUserX, kx::DeleteMode::EveryMatch> {
public:
    // 1 when an entry has that id (user or group).
    int CheckValid(int id) const { return Find(id) ? 1 : 0; }
    // Empty out, then add the group (user) entries in list order; return the count.
    int _GetAllGroup(std::vector<CkxUserX*>& out) const { return OfType(CkxUserX::TYPE_GROUP, out); }
    int _GetAllUser(std::vector<CkxUserX*>& out) const { return OfType(CkxUserX::TYPE_USER, out); }
    // count x 12 bytes of entry records; an empty list writes nothing and returns 0.
    int BuildBuf(CkxBuf& buf) const;
    // Appends floor(length / 12) entries (the list is not emptied first); returns how many.
    int PasyBuf(const unsigned char* data, int length);

private:
    int OfType(uint8_t type, std::vector<CkxUserX*>& out) const;
};
