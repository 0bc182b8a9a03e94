// A file location: two ids (first and second), -1 when unset, in an 8-byte record.
#pragma once

#include "KxExport.h"
#include "Record.h"

#include <cstdint>

class KX_EXPORT CkxFSFileLoc {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nFirstID;
        int32_t nSecondID;
    };
#pragma pack(pop)

    CkxFSFileLoc() = default;
    CkxFSFileLoc(int first, int second) : m_nFirstID(first), m_nSecondID(second) {}
    explicit CkxFSFileLoc(const _COM& c) { SetComData(c); }
    CkxFSFileLoc(const CkxFSFileLoc&) = default;
    CkxFSFileLoc& operator=(const CkxFSFileLoc&) = default;
    virtual ~CkxFSFileLoc() = default;

    _COM GetComData() const {
        _COM c = kx::ZeroRecord<_COM>();
        c.nFirstID = m_nFirstID;
        c.nSecondID = m_nSecondID;
        return c;
    }
    void SetComData(const _COM& c) {
        m_nFirstID = c.nFirstID;
        m_nSecondID = c.nSecondID;
    }

    int32_t m_nFirstID = -1;
    int32_t m_nSecondID = -1;
};

KX_RECORD_SIZE(CkxFSFileLoc::_COM, 8);
KX_FIELD_AT(CkxFSFileLoc::_COM, nFirstID, 0);
KX_FIELD_AT(CkxFSFileLoc::_COM, nSecondID, 4);
