// CkxQueryTemplet: a saved search (kind, name, creator, creation time, note) with the fixed-form
// block of the query panel and its operand list; the record travels as 128 bytes and the search
// as the template buffer (a section container). CkxQueryTempletList: the templates a program holds.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxQueryOperand.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxQueryTemplet {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nDataMode;
        int32_t nID;
        char szName[52];
        int32_t nCreatorID;
        double dtCreate;
        char szRemark[56];
    };
    // The query panel's fixed form: what a kind-3 (image) template asks besides its operands.
    struct _FIX {
        int32_t nFamilyID;      // -1 all families
        int32_t nCodeForm;      // file format id, 0 any
        uint8_t nFlag1;         // carried
        uint8_t nFlag2;         // carried
        char szTitle[50];       // title text (GBK)
        int32_t nDirID;         // -1 all folders
        int32_t nAuthorID;      // -1 any
        int32_t nWriterID;      // -1 any
        int32_t nEditorID;      // -1 any
        int32_t bAuthTime;      // 1: the authoring-time range is on
        int32_t bWriteTime;     // 1: the entry-time range is on
        int32_t bEditTime;      // 1: the modification-time range is on
        double dtAuthFrom, dtAuthTo;
        double dtWriteFrom, dtWriteTo;
        double dtEditFrom, dtEditTo;
        int32_t nNumber;        // carried, -1 by default
        int32_t bFamilySelf;    // include the family itself
        int32_t bFamilyDerived; // include families derived from it
        int32_t bDirSelf;       // include the folder itself
        int32_t bDirBelow;      // include the folders below it
        int32_t nReserved;
    };
#pragma pack(pop)

    // Bytes of the block a reader takes from its section (the reserved word is not read).
    static constexpr int kFixReadLen = 156;
    static constexpr int kKindWithFix = 3;

    CkxQueryTemplet() { ResetFix(); }
    explicit CkxQueryTemplet(const _COM& c) : CkxQueryTemplet() { SetComData(c); }
    CkxQueryTemplet(const CkxQueryTemplet&) = default;
    CkxQueryTemplet& operator=(const CkxQueryTemplet&) = default;
    virtual ~CkxQueryTemplet() = default;

    int GetID() const { return m_nID; }
    _COM GetComData() const;
    void SetComData(const _COM& c);

    // The block as a new template holds it: every id -1, include flags 1, the rest 0.
    void ResetFix();
    static _FIX DefaultFix();
    std::string GetFixTitle() const;
    void SetFixTitle(const std::string& title);

    // Writes the template buffer and returns its length (0 when it cannot be allocated).
    int BuildQueryBuf(CkxBuf& buf) const;
    // Reads a template buffer. A null buffer, a length of 0 or less, a container whose lengths
    // do not fit, or a block section too short for the block change nothing and give 0. Else
    // the operands are replaced by those read (sections that do not read as an operand are
    // passed over) and the result is 1.
    int PasyQueryBuf(const unsigned char* data, int length);
    int PasyQueryBuf(const CkxBuf& buf) { return PasyQueryBuf(buf.GetBuf(), buf.GetLen()); }

    // Whether the template asks for anything: an operand, or for kind 3 any part of the block.
    bool IsValid() const;

    int32_t m_nDataMode = -1;
    int32_t m_nID = -1;
    std::string m_strName;
    int32_t m_nCreatorID = -1;
    COleDateTime m_dtCreate;
    std::string m_strRemark;
    _FIX m_Fix;
    CkxQueryOperandList m_OperandList;
};

KX_RECORD_SIZE(CkxQueryTemplet::_COM, 128);
KX_FIELD_AT(CkxQueryTemplet::_COM, nDataMode, 0);
KX_FIELD_AT(CkxQueryTemplet::_COM, nID, 4);
KX_FIELD_AT(CkxQueryTemplet::_COM, szName, 8);
KX_FIELD_AT(CkxQueryTemplet::_COM, nCreatorID, 60);
KX_FIELD_AT(CkxQueryTemplet::_COM, dtCreate, 64);
KX_FIELD_AT(CkxQueryTemplet::_COM, szRemark, 72);

KX_RECORD_SIZE(CkxQueryTemplet::_FIX, 160);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nFamilyID, 0);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nCodeForm, 4);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nFlag1, 8);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nFlag2, 9);
KX_FIELD_AT(CkxQueryTemplet::_FIX, szTitle, 10);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nDirID, 60);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nAuthorID, 64);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nWriterID, 68);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nEditorID, 72);
KX_FIELD_AT(CkxQueryTemplet::_FIX, bAuthTime, 76);
KX_FIELD_AT(CkxQueryTemplet::_FIX, bWriteTime, 80);
KX_FIELD_AT(CkxQueryTemplet::_FIX, bEditTime, 84);
KX_FIELD_AT(CkxQueryTemplet::_FIX, dtAuthFrom, 88);
KX_FIELD_AT(CkxQueryTemplet::_FIX, dtAuthTo, 96);
KX_FIELD_AT(CkxQueryTemplet::_FIX, dtWriteFrom, 104);
KX_FIELD_AT(CkxQueryTemplet::_FIX, dtWriteTo, 112);
KX_FIELD_AT(CkxQueryTemplet::_FIX, dtEditFrom, 120);
KX_FIELD_AT(CkxQueryTemplet::_FIX, dtEditTo, 128);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nNumber, 136);
KX_FIELD_AT(CkxQueryTemplet::_FIX, bFamilySelf, 140);
KX_FIELD_AT(CkxQueryTemplet::_FIX, bFamilyDerived, 144);
KX_FIELD_AT(CkxQueryTemplet::_FIX, bDirSelf, 148);
KX_FIELD_AT(CkxQueryTemplet::_FIX, bDirBelow, 152);
KX_FIELD_AT(CkxQueryTemplet::_FIX, nReserved, 156);

class KX_EXPORT CkxQueryTempletList : public CkxRecordList<CkxQueryTemplet, kx::DeleteMode::EveryMatch> {
public:
    // The first template with exactly that name decides: its own id allows the name (1), another
    // id refuses it (0); a name no template has is allowed.
    int CanUseTheName(int id, const std::string& name) const;
};
