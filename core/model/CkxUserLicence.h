// One access grant (a user or a group given a power word over a folder or a file) and the
// ordered grant list of a rights set. Several grants for one grantee may stand; lookups take
// the first.
#pragma once

#include "model/CkxBuf.h"
#include "model/KxExport.h"
#include "base/PtrList.h"
#include "base/Record.h"

#include <cstdint>
#include <vector>

// Power word bits shared by folder grants, file grants and the default power.
enum KxPowerBit : uint32_t {
    KXP_DIR_FULLCTRL = 0x1,
    KXP_DIR_OPERATE = 0x2,
    KXP_DIR_OPEN = 0x4,
    KXP_DIR_READ = 0x8,
    KXP_DIR_CREATESUBDIR = 0x10,
    KXP_DIR_FILECREATE = 0x20,
    KXP_FILE_FULLCTRL = 0x1000,
    KXP_FILE_OPERATE = 0x2000,
    KXP_FILE_READ = 0x4000,
    KXP_FILE_OPEN = 0x8000,
};

// What a grant lookup gives when no grant names the grantee.
constexpr uint32_t KX_NO_POWER = 0xFFFFFFFFu;

class KX_EXPORT CkxUserLicence {
public:
#pragma pack(push, 1)
    struct _COM {
        uint8_t nItemType;
        uint8_t reserved1[3];
        int32_t nItemID;
        uint32_t nPower;
        int32_t nAlieneeID;
        uint8_t nAlieneeType;
        uint8_t nState;
        uint8_t reserved2[2];
    };
#pragma pack(pop)

    enum { ITEM_FOLDER = 1, ITEM_FILE = 2 };
    enum { ALIENEE_GROUP = 1, ALIENEE_USER = 2 };
    enum { STATE_ALLOW = 1, STATE_FORBID = 2 };

    CkxUserLicence() = default;
    explicit CkxUserLicence(const _COM& c) { SetComData(c); }
    CkxUserLicence(const CkxUserLicence&) = default;
    CkxUserLicence& operator=(const CkxUserLicence&) = default;
    CkxUserLicence& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxUserLicence() = default;

    _COM GetComData() const;
    void SetComData(const _COM& c);

    bool IsFolder() const { return m_nItemType == ITEM_FOLDER; }
    bool IsFile() const { return m_nItemType == ITEM_FILE; }
    void SetFolder() { m_nItemType = ITEM_FOLDER; }
    void SetFile() { m_nItemType = ITEM_FILE; }
    bool IsGroup() const { return m_nAlieneeType == ALIENEE_GROUP; }
    bool IsUser() const { return m_nAlieneeType == ALIENEE_USER; }
    void SetGroup() { m_nAlieneeType = ALIENEE_GROUP; }
    void SetUser() { m_nAlieneeType = ALIENEE_USER; }
    bool IsStateAllow() const { return m_nState == STATE_ALLOW; }
    bool IsStateForbid() const { return m_nState != STATE_ALLOW; }
    void SetStateAllow() { m_nState = STATE_ALLOW; }
    void SetStateForbid() { m_nState = STATE_FORBID; }

    uint8_t m_nItemType = 0;
    int32_t m_nItemID = 0;
    uint32_t m_nPower = 0;
    int32_t m_nAlieneeID = 0;
    uint8_t m_nAlieneeType = ALIENEE_USER;
    uint8_t m_nState = STATE_ALLOW;
};

#pragma pack(push, 1)
KX_RECORD_SIZE(CkxUserLicence::_COM, 20);
KX_FIELD_AT(CkxUserLicence::_COM, nItemType, 0);
KX_FIELD_AT(CkxUserLicence::_COM, nItemID, 4);
KX_FIELD_AT(CkxUserLicence::_COM, nPower, 8);
KX_FIELD_AT(CkxUserLicence::_COM, nAlieneeID, 12);
KX_FIELD_AT(CkxUserLicence::_COM, nAlieneeType, 16);
KX_FIELD_AT(CkxUserLicence::_COM, nState, 17);
#pragma pack(pop)

class KX_EXPORT CkxUserLicenceList {
public:
    CkxUserLicenceList() = default;
    CkxUserLicenceList(const CkxUserLicenceList& o) { CopyFrom(o); }
    CkxUserLicenceList& operator=(const CkxUserLicenceList& o);
    virtual ~CkxUserLicenceList() { DeleteAll(); }

    // Appends a copy and returns it (null when no copy could be made).
    CkxUserLicence* AddTail(const CkxUserLicence& l);
    // Appends the object, which the list then owns; null is refused and returned.
    CkxUserLicence* AddTail(CkxUserLicence* l);

    CkxUserLicence* GetHead() const { return m_list.GetHead(); }
    POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
    CkxUserLicence* GetNext(POSITION& p) const { return m_list.GetNext(p); }
    int GetCount() const { return m_list.GetCount(); }
    int GetLength() const { return GetCount() * static_cast<int>(sizeof(CkxUserLicence::_COM)); }
    void DeleteAll();

    // Power of the first user (group) grant for the grantee; KX_NO_POWER when there is none.
    uint32_t GetUserPower(int userId) const { return FirstPower(CkxUserLicence::ALIENEE_USER, userId); }
    uint32_t GetGroupPower(int groupId) const { return FirstPower(CkxUserLicence::ALIENEE_GROUP, groupId); }

    // Grantee ids of every group (user) grant in list order, duplicates kept; out is emptied.
    int GetAllGroup(std::vector<int>& out) const { return AllOfKind(CkxUserLicence::ALIENEE_GROUP, out); }
    int GetAllUser(std::vector<int>& out) const { return AllOfKind(CkxUserLicence::ALIENEE_USER, out); }

    // Removes the first group (user) grant of that grantee; 1 when one was removed.
    int DeleteGroupPower(int id) { return Remove(CkxUserLicence::ALIENEE_GROUP, &id); }
    int DeleteUserPower(int id) { return Remove(CkxUserLicence::ALIENEE_USER, &id); }
    // Removes exactly this grant (compared by address); 1 when it was in the list. A caller that
    // holds pointers to grants removes the one it means, never another of the same grantee.
    int DeleteLicence(const CkxUserLicence* grant);
    // Whether the grant (by address) is in the list.
    bool Contains(const CkxUserLicence* grant) const;
    // Removes every group (user) grant; returns how many.
    int DeleteAllGroupPower() { return Remove(CkxUserLicence::ALIENEE_GROUP, nullptr); }
    int DeleteAllUserPower() { return Remove(CkxUserLicence::ALIENEE_USER, nullptr); }

    // Writes count x 20 bytes of grant records at dst (which must hold GetLength() bytes).
    int BuildTo(unsigned char* dst) const;
    // The records back to back; an empty list writes nothing and returns 0.
    int BuildBuf(CkxBuf& buf) const;
    // Replaces the list with floor(length / 20) grants; fewer than 20 bytes change nothing.
    // Returns the number of grants read.
    int PasyBuf(const unsigned char* data, int length);

private:
    void CopyFrom(const CkxUserLicenceList& o);
    uint32_t FirstPower(uint8_t kind, int id) const;
    int AllOfKind(uint8_t kind, std::vector<int>& out) const;
    int Remove(uint8_t kind, const int* id);

    KxPtrList<CkxUserLicence> m_list;
};
