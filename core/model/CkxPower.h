// The rights set of a folder or a file (inherit flag, default power for everybody, grants),
// the same set with the place of its item (CkxPowerEx), and the value an evaluation yields.
// A rights set travels as the rights buffer: int32 inherit, uint32 default power, 20-byte grants.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxUserLicence.h"
#include "model/KxExport.h"

#include <cstdint>

class KX_EXPORT CkxPower {
public:
    // Default power of the root folder for everybody: open, read, create sub-folders and files.
    static constexpr uint32_t kRootDirEveryonePower = 60;

    CkxPower() = default;
    CkxPower(const CkxPower&) = default;
    CkxPower& operator=(const CkxPower&) = default;
    virtual ~CkxPower() = default;

    void SetInherit() { m_nInherit = 1; }
    int IsInherit() const { return m_nInherit; }

    // Writes the rights buffer (8 + 20 x n bytes) and returns its length; 0 when it cannot be
    // allocated.
    int BuildBuf(CkxBuf& buf) const;
    // Reads a rights buffer: the whole set (flag, default power and grants) is replaced, an
    // 8-byte buffer leaving no grants. A null buffer, a length of 0 or less, or a buffer shorter
    // than its 8-byte head is refused and changes nothing. Returns 1 read, 0 refused.
    int PasyBuf(const unsigned char* data, int length);

    static uint32_t GetRootDirEveryonePower() { return kRootDirEveryonePower; }
    // Inherit 0, default power 60, no grants.
    static CkxPower GetRootDirPower();

    int32_t m_nInherit = 1;
    uint32_t m_nEveryonePower = 0;
    CkxUserLicenceList m_LicenceList;
};

// A rights set with its item: id, kind (1 folder, 2 file) and parent folder (-1: the root).
class KX_EXPORT CkxPowerEx : public CkxPower {
public:
    CkxPowerEx() = default;
    explicit CkxPowerEx(const CkxPower& p) : CkxPower(p) {}
    CkxPowerEx(const CkxPowerEx&) = default;
    CkxPowerEx& operator=(const CkxPowerEx&) = default;

    bool IsRootChild() const { return m_nParentID == -1; }
    // Marks that the item has a parent folder (used when one set is edited for several files).
    void SetParentValid() { m_nParentID = 1; }

    int32_t m_nItemID = -1;
    uint8_t m_nItemType = 0;
    int32_t m_nParentID = -1;
};

// The result of evaluating a rights set for one user.
class KX_EXPORT CkxPowerValue {
public:
    CkxPowerValue() = default;
    CkxPowerValue(uint32_t power, int inherit) : m_nPower(power), m_nInherit(inherit) {}
    virtual ~CkxPowerValue() = default;

    bool IsFolder() const { return m_nItemType == CkxUserLicence::ITEM_FOLDER; }
    bool IsFile() const { return m_nItemType == CkxUserLicence::ITEM_FILE; }
    int IsInherit() const { return m_nInherit; }

    uint32_t m_nPower = 0;
    uint8_t m_nItemType = 0;
    int32_t m_nInherit = 0;
};
