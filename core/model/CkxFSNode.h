// One folder of the catalogue's folder tree: name, level, parent, owner, kind, state and its
// rights set, plus the links and display data the tree keeps in it (never sent).
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxPower.h"
#include "base/Gbk.h"
#include "model/KxExport.h"
#include "model/KxTreeEngine.h"
#include "base/Record.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxFSNode : public KxTreeLinks<CkxFSNode> {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        char szName[52];
        int32_t nLev;
        int32_t nParentID;
        char szNote[50];
        uint8_t nType;
        uint8_t nState;
        int32_t nCreatorID;
    };
#pragma pack(pop)

    enum { TYPE_SYSTEM = 0, TYPE_USER = 1 };
    enum { STATE_ACT = 1, STATE_HIDE = 2, STATE_DELETE = 3 };

    CkxFSNode() { Clear(); }
    explicit CkxFSNode(const _COM& c) { SetComData(c); }
    CkxFSNode(const CkxFSNode&) = default;
    CkxFSNode& operator=(const CkxFSNode&) = default;
    CkxFSNode& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxFSNode() = default;

    // Resets the record fields, links and display data; note and rights stay.
    void Clear();
    _COM GetComData() const;
    void SetComData(const _COM& c);
    // Copies record fields and rights from another node (not links or display data).
    void SetInfo(const CkxFSNode& o);

    int GetID() const { return m_nID; }
    int GetLev() const { return m_nLev; }
    void SetLev(int l) { m_nLev = l; }
    int GetParentID() const { return m_nParentID; }
    void SetParentID(int p) { m_nParentID = p; }
    const std::string& GetName() const { return m_strName; }
    int GetChildLev() const { return m_nLev + 1; }
    bool IsValid() const { return m_nID != -1; }
    bool IsTopLev() const { return m_nLev == 0; }
    bool IsRootChild() const { return m_nParentID == -1; }
    int IsFamily() const { return 0; }

    bool IsUserFolder() const { return m_nType == TYPE_USER; }
    bool IsSystemFolder() const { return m_nType == TYPE_SYSTEM; }
    void SetUserFolder() { m_nType = TYPE_USER; }
    void SetSystemFolder() { m_nType = TYPE_SYSTEM; }
    bool IsStateAct() const { return m_nState == STATE_ACT; }
    bool IsStateHide() const { return m_nState == STATE_HIDE; }
    bool IsStateDelete() const { return m_nState == STATE_DELETE; }
    void SetStateAct() { m_nState = STATE_ACT; }
    void SetStateHide() { m_nState = STATE_HIDE; }
    void SetStateDelete() { m_nState = STATE_DELETE; }

    void SetInheritParentPower(int b) { m_Power.m_nInherit = b; }
    // Writes the rights buffer; returns its length (0 when it cannot be allocated).
    int BuildPower(CkxBuf& buf) const { return m_Power.BuildBuf(buf); }
    // Reads a rights buffer; 1 read, 0 refused (rights unchanged).
    int PasyPower(const unsigned char* data, int length) { return m_Power.PasyBuf(data, length); }
    // The rights set with its place: item id = folder id, kind 1, parent = the parent folder.
    CkxPowerEx GetPower() const;
    // Replaces inherit flag, default power and grants.
    void SetPower(const CkxPower& p) { m_Power = p; }

    int32_t m_nID = -1;
    std::string m_strName;
    int32_t m_nLev = 0;
    int32_t m_nParentID = -1;
    std::string m_strNote;
    uint8_t m_nType = TYPE_USER;
    uint8_t m_nState = STATE_ACT;
    int32_t m_nCreatorID = -1;
    CkxPower m_Power;
};

KX_RECORD_SIZE(CkxFSNode::_COM, 120);
KX_FIELD_AT(CkxFSNode::_COM, nID, 0);
KX_FIELD_AT(CkxFSNode::_COM, szName, 4);
KX_FIELD_AT(CkxFSNode::_COM, nLev, 56);
KX_FIELD_AT(CkxFSNode::_COM, nParentID, 60);
KX_FIELD_AT(CkxFSNode::_COM, szNote, 64);
KX_FIELD_AT(CkxFSNode::_COM, nType, 114);
KX_FIELD_AT(CkxFSNode::_COM, nState, 115);
KX_FIELD_AT(CkxFSNode::_COM, nCreatorID, 116);
