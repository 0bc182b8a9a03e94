// A file location: two ids (first and second), -1 when unset, in an 8-byte record that the
// keyword link's code writes and reads.
#pragma once

#include "model/CkxKeywordLink.h"
#include "model/KxExport.h"

#include <cstdint>

class KX_EXPORT CkxFSFileLoc {
public:
    using _COM = CkxKeywordLink::_COM; // first id at 0, second at 4

    CkxFSFileLoc() = default;
    CkxFSFileLoc(int first, int second) : m_nFirstID(first), m_nSecondID(second) {}
    explicit CkxFSFileLoc(const _COM& c) { SetComData(c); }
    CkxFSFileLoc(const CkxFSFileLoc&) = default;
    CkxFSFileLoc& operator=(const CkxFSFileLoc&) = default;
    virtual ~CkxFSFileLoc() = default;

    _COM GetComData() const { return CkxKeywordLink(m_nFirstID, m_nSecondID).GetComData(); }
    void SetComData(const _COM& c) {
        CkxKeywordLink link(c);
        m_nFirstID = link.m_nFileID;
        m_nSecondID = link.m_nKeywordID;
    }

    int32_t m_nFirstID = -1;
    int32_t m_nSecondID = -1;
};
