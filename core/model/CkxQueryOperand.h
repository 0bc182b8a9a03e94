// CkxQueryOperand: one condition of a file search (an attribute or keyword, a comparison code,
// a value type and the value bytes) with its wire form of a 20-byte header and the value, the
// test of a stored value against it and its SQL condition text. CkxQueryOperandList: the ordered
// conditions of one search.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxQuerySQL.h"
#include "model/CkxValue.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>
#include <vector>

class KX_EXPORT CkxQueryOperand {
public:
#pragma pack(push, 1)
    // The wire header; the value bytes follow it.
    struct _COM {
        uint8_t nLinkType;
        uint8_t nOperateSign;
        uint8_t reserved1[2];
        int32_t nAttrID;
        uint8_t nDataType;
        uint8_t reserved2[3];
        int32_t nValueLen;
        int32_t nExData;
    };
#pragma pack(pop)

    enum { LINK_ATTR = 1, LINK_KEYWORD = 2 };
    // Value types and the bytes each carries (little-endian).
    enum {
        TYPE_INT = 5,        // int32
        TYPE_INT2 = 6,       // int32 low, int32 high
        TYPE_FLOAT = 9,      // float32
        TYPE_FLOAT2 = 10,    // float32 low, float32 high
        TYPE_DATE = 13,      // DATE
        TYPE_DATE2 = 14,     // DATE from, DATE to
        TYPE_STR = 17,       // text bytes (GBK) and a NUL
    };

    CkxQueryOperand() = default;
    // An attribute condition from one value (codes 11 to 16, or 30 and 31 with a text) or from
    // two (the ranges 17 to 20; for 30 and 31 the first value, a text). The value kind picks the
    // value type; a combination that makes no condition leaves the operand without a value.
    CkxQueryOperand(int attrId, int code, const CkxValueSp& v);
    CkxQueryOperand(int attrId, int code, const CkxValueSp& v1, const CkxValueSp& v2);
    CkxQueryOperand(const CkxQueryOperand&) = default;
    CkxQueryOperand& operator=(const CkxQueryOperand&) = default;
    virtual ~CkxQueryOperand() = default;

    bool IsAttr() const { return m_nLinkType == LINK_ATTR; }
    bool IsKeyword() const { return m_nLinkType == LINK_KEYWORD; }
    void SetLinkAttr() { m_nLinkType = LINK_ATTR; }
    void SetLinkKeyword() { m_nLinkType = LINK_KEYWORD; }
    int GetLinkType() const { return m_nLinkType; }
    int GetOperateSign() const { return m_nOperateSign; }
    int GetAttrID() const { return m_nAttrID; }
    void SetAttrID(int id) { m_nAttrID = id; }
    int GetDataType() const { return m_nDataType; }
    int GetValueLen() const { return static_cast<int>(m_Value.size()); }
    const std::vector<unsigned char>& GetValueBytes() const { return m_Value; }
    int GetExData() const { return m_nExData; }
    void SetExData(int v) { m_nExData = v; }

    void Set_Unk() { m_nOperateSign = CkxQuerySQL::OS_UNK; }
    void Set_Unk(int attrId) {
        m_nAttrID = attrId;
        Set_Unk();
    }
    bool IsUnk() const { return m_nOperateSign == CkxQuerySQL::OS_UNK; }

    bool IsInt() const { return (m_nDataType >= 1 && m_nDataType <= 6) || m_nDataType == 15 || m_nDataType == 16; }
    bool IsFloat() const { return m_nDataType >= 9 && m_nDataType <= 12; }
    bool IsDate() const { return m_nDataType == 13 || m_nDataType == 14; }
    bool IsStr() const { return m_nDataType == 17 || m_nDataType == 18; }

    // Each setter sets attribute id, code, value type and value together.
    void Set_Equal(int attrId, int v) { SetOne(attrId, CkxQuerySQL::OS_EQUAL, v); }
    void Set_Equal(int attrId, float v) { SetOne(attrId, CkxQuerySQL::OS_EQUAL, v); }
    void Set_Equal(int attrId, const COleDateTime& v) { SetOne(attrId, CkxQuerySQL::OS_EQUAL, v); }
    void Set_Equal(int attrId, const std::string& v) { SetText(attrId, CkxQuerySQL::OS_EQUAL, v); }
    void Set_NotEqual(int attrId, int v) { SetOne(attrId, CkxQuerySQL::OS_NOTEQUAL, v); }
    void Set_NotEqual(int attrId, float v) { SetOne(attrId, CkxQuerySQL::OS_NOTEQUAL, v); }
    void Set_NotEqual(int attrId, const COleDateTime& v) { SetOne(attrId, CkxQuerySQL::OS_NOTEQUAL, v); }
    void Set_NotEqual(int attrId, const std::string& v) { SetText(attrId, CkxQuerySQL::OS_NOTEQUAL, v); }
    template <class V>
    void Set_Great(int attrId, V v) { SetOne(attrId, CkxQuerySQL::OS_GREAT, v); }
    template <class V>
    void Set_GreatEqual(int attrId, V v) { SetOne(attrId, CkxQuerySQL::OS_GREATEQUAL, v); }
    template <class V>
    void Set_Less(int attrId, V v) { SetOne(attrId, CkxQuerySQL::OS_LESS, v); }
    template <class V>
    void Set_LessEqual(int attrId, V v) { SetOne(attrId, CkxQuerySQL::OS_LESSEQUAL, v); }
    template <class V>
    void Set_FromTo(int attrId, V low, V high) { SetTwo(attrId, CkxQuerySQL::OS_FROMTO, low, high); }
    template <class V>
    void Set_FromTo_Close(int attrId, V low, V high) { SetTwo(attrId, CkxQuerySQL::OS_FROMTO_CLOSE, low, high); }
    template <class V>
    void Set_FromTo_CloseLeft(int attrId, V low, V high) {
        SetTwo(attrId, CkxQuerySQL::OS_FROMTO_CLOSELEFT, low, high);
    }
    template <class V>
    void Set_FromTo_CloseRight(int attrId, V low, V high) {
        SetTwo(attrId, CkxQuerySQL::OS_FROMTO_CLOSERIGHT, low, high);
    }
    void Set_Keyword(int attrId, const std::string& v) { SetText(attrId, CkxQuerySQL::OS_KEYWORD, v); }
    void Set_Include(int attrId, const std::string& v) { SetText(attrId, CkxQuerySQL::OS_INCLUDE, v); }

    // ---- Wire form ----
    static constexpr int GetHeadLen() { return static_cast<int>(sizeof(_COM)); }
    int GetLength() const { return GetHeadLen() + GetValueLen(); }
    // Writes header and value; returns 20 + n (0 when the buffer cannot be allocated).
    int BuildBuf(CkxBuf& buf) const;
    // Reads header and value; returns 20 + n. Refused (0, operand unchanged): fewer than 20
    // bytes, a negative length, a length past the bytes that follow the header, or a length
    // that does not fit the value type.
    int PasyBuf(const CkxBuf& buf) { return PasyBuf(buf.GetBuf(), buf.GetLen()); }
    int PasyBuf(const unsigned char* data, int length);

    // Link kind, code and type set, an attribute id, and a value held.
    bool IsValid() const;

    // ---- Values (0, an empty text or a zero date when the value does not hold them) ----
    int Get_Int() const { return Int32At(0); }
    int Get_Int2() const { return Int32At(4); }
    float Get_Float() const { return FloatAt(0); }
    float Get_Float2() const { return FloatAt(4); }
    COleDateTime Get_Dt() const { return COleDateTime(DateAt(0)); }
    COleDateTime Get_Dt2() const { return COleDateTime(DateAt(8)); }
    std::string Get_Str() const;
    // The single value or the low / high end of a range; a text is both values.
    CkxValueSp GetValue1() const;
    CkxValueSp GetValue2() const;
    // The first value as display text; empty for an operand that is not valid.
    std::string GetFormatText() const;
    // The whole condition as display text, such as ">= 3" or "[1, 5)"; empty when not valid.
    std::string GetFormatText2() const;

    // Whether a stored value passes the condition.
    int CheckOK(const CkxValueSp& stored) const;

    // ---- SQL condition text (empty when the code does not belong to the value type) ----
    std::string FormatSQL_Fix(const std::string& column) const;
    std::string FormatSQL_Link(const std::string& idColumn, const std::string& valueColumn) const;
    std::string FormatSQL_Link(const std::string& table, const std::string& idColumn,
                               const std::string& valueColumn) const;

private:
    void Reset(int attrId, int code, int type);
    void SetOne(int attrId, int code, int v);
    void SetOne(int attrId, int code, float v);
    void SetOne(int attrId, int code, const COleDateTime& v);
    void SetTwo(int attrId, int code, int low, int high);
    void SetTwo(int attrId, int code, float low, float high);
    void SetTwo(int attrId, int code, const COleDateTime& low, const COleDateTime& high);
    void SetText(int attrId, int code, const std::string& v);
    void Append(const void* bytes, size_t n);

    int Int32At(size_t off) const;
    float FloatAt(size_t off) const;
    double DateAt(size_t off) const;
    // "column op value " or "column > low AND column < high "; empty when there is none.
    std::string ConditionCore(const std::string& column) const;

    uint8_t m_nLinkType = 0;
    uint8_t m_nOperateSign = 0;
    int32_t m_nAttrID = 0;
    uint8_t m_nDataType = 0;
    int32_t m_nExData = 0;
    std::vector<unsigned char> m_Value;
};

KX_RECORD_SIZE(CkxQueryOperand::_COM, 20);
KX_FIELD_AT(CkxQueryOperand::_COM, nLinkType, 0);
KX_FIELD_AT(CkxQueryOperand::_COM, nOperateSign, 1);
KX_FIELD_AT(CkxQueryOperand::_COM, nAttrID, 4);
KX_FIELD_AT(CkxQueryOperand::_COM, nDataType, 8);
KX_FIELD_AT(CkxQueryOperand::_COM, nValueLen, 12);
KX_FIELD_AT(CkxQueryOperand::_COM, nExData, 16);

namespace kx {
struct OperandAttrID {
    int operator()(const CkxQueryOperand& o) const { return o.GetAttrID(); }
};
} // namespace kx

// Find and Delete go by attribute id.
class KX_EXPORT CkxQueryOperandList
    : public CkxRecordList<CkxQueryOperand, kx::DeleteMode::EveryMatch, kx::OperandAttrID> {
public:
    using Operands = std::vector<CkxQueryOperand*>;

    // The conditions joined by " AND " on the attribute-value columns "attrid" and "attrvalue",
    // each followed by a space. An operand that makes no condition is left out, so the text
    // never holds a dangling AND.
    std::string FormatSQL() const;
    // Empty out, then list the attribute (keyword) operands in order; return the count.
    int GetAttrOperand(Operands& out) const { return OfLink(CkxQueryOperand::LINK_ATTR, out); }
    int GetKeywordOperand(Operands& out) const { return OfLink(CkxQueryOperand::LINK_KEYWORD, out); }
    // The sum of the operands' wire lengths.
    int GetLength() const;

private:
    int OfLink(int link, Operands& out) const;
};
