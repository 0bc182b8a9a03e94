#include "model/CkxQueryOperand.h"

#include "base/Gbk.h"

#include <cmath>
#include <cstring>

namespace {

bool IsSingleCode(int code) { return code >= CkxQuerySQL::OS_EQUAL && code <= CkxQuerySQL::OS_LESSEQUAL; }
bool IsRangeCode(int code) { return code >= CkxQuerySQL::OS_FROMTO && code <= CkxQuerySQL::OS_FROMTO_CLOSERIGHT; }

// The two operators of a range: low end, high end.
const char* LowOp(int code) {
    return code == CkxQuerySQL::OS_FROMTO_CLOSE || code == CkxQuerySQL::OS_FROMTO_CLOSELEFT ? ">=" : ">";
}
const char* HighOp(int code) {
    return code == CkxQuerySQL::OS_FROMTO_CLOSE || code == CkxQuerySQL::OS_FROMTO_CLOSERIGHT ? "<=" : "<";
}

template <class T>
int Compare(T stored, T value, int code) {
    switch (code) {
    case CkxQuerySQL::OS_EQUAL: return stored == value;
    case CkxQuerySQL::OS_NOTEQUAL: return stored != value;
    case CkxQuerySQL::OS_GREAT: return stored > value;
    case CkxQuerySQL::OS_GREATEQUAL: return stored >= value;
    case CkxQuerySQL::OS_LESS: return stored < value;
    case CkxQuerySQL::OS_LESSEQUAL: return stored <= value;
    default: return 0;
    }
}

template <class T>
int InRange(T stored, T low, T high, int code) {
    bool lowOk = code == CkxQuerySQL::OS_FROMTO_CLOSE || code == CkxQuerySQL::OS_FROMTO_CLOSELEFT ? stored >= low
                                                                                                 : stored > low;
    bool highOk = code == CkxQuerySQL::OS_FROMTO_CLOSE || code == CkxQuerySQL::OS_FROMTO_CLOSERIGHT ? stored <= high
                                                                                                   : stored < high;
    return IsRangeCode(code) && lowOk && highOk ? 1 : 0;
}

// How many value bytes a type must carry; -1 any (a text needs at least its NUL).
int RequiredLength(int type) {
    switch (type) {
    case CkxQueryOperand::TYPE_INT:
    case CkxQueryOperand::TYPE_FLOAT: return 4;
    case CkxQueryOperand::TYPE_INT2:
    case CkxQueryOperand::TYPE_FLOAT2:
    case CkxQueryOperand::TYPE_DATE: return 8;
    case CkxQueryOperand::TYPE_DATE2: return 16;
    default: return -1;
    }
}

bool LengthFitsType(int type, int n) {
    if (type == CkxQueryOperand::TYPE_STR) return n >= 1;
    int need = RequiredLength(type);
    return need < 0 || n == need;
}

// A value from the wire may be any double; one with no calendar form shows as nothing.
std::string DisplayDate(DATE dt) {
    if (!CkxQuerySQL::IsWritableDate(dt)) return std::string();
    kx::DateParts p = kx::SplitDate(dt);
    return std::to_string(p.year) + "-" + std::to_string(p.month) + "-" + std::to_string(p.day) + " " +
           std::to_string(p.hour) + ":" + std::to_string(p.minute) + ":" + std::to_string(p.second);
}

} // namespace

CkxQueryOperand::CkxQueryOperand(int attrId, int code, const CkxValueSp& v) {
    m_nLinkType = LINK_ATTR;
    if (v.IsStr() && (IsSingleCode(code) || code == CkxQuerySQL::OS_KEYWORD || code == CkxQuerySQL::OS_INCLUDE))
        SetText(attrId, code, v.GetStr());
    else if (v.IsInt() && IsSingleCode(code))
        SetOne(attrId, code, v.GetInt());
    else if (v.IsFloat() && IsSingleCode(code))
        SetOne(attrId, code, v.GetFloat());
    else if (v.IsDate() && IsSingleCode(code))
        SetOne(attrId, code, v.GetOleDate());
    else
        Reset(attrId, code, 0);
}

CkxQueryOperand::CkxQueryOperand(int attrId, int code, const CkxValueSp& v1, const CkxValueSp& v2) {
    m_nLinkType = LINK_ATTR;
    bool sameKind = v1.GetKind() == v2.GetKind();
    if (code == CkxQuerySQL::OS_KEYWORD || code == CkxQuerySQL::OS_INCLUDE)
        *this = CkxQueryOperand(attrId, code, v1);
    else if (sameKind && IsRangeCode(code) && v1.IsInt())
        SetTwo(attrId, code, v1.GetInt(), v2.GetInt());
    else if (sameKind && IsRangeCode(code) && v1.IsFloat())
        SetTwo(attrId, code, v1.GetFloat(), v2.GetFloat());
    else if (sameKind && IsRangeCode(code) && v1.IsDate())
        SetTwo(attrId, code, v1.GetOleDate(), v2.GetOleDate());
    else
        Reset(attrId, code, 0);
}

void CkxQueryOperand::Reset(int attrId, int code, int type) {
    m_nAttrID = attrId;
    m_nOperateSign = static_cast<uint8_t>(code);
    m_nDataType = static_cast<uint8_t>(type);
    m_Value.clear();
}

void CkxQueryOperand::Append(const void* bytes, size_t n) {
    const auto* b = static_cast<const unsigned char*>(bytes);
    m_Value.insert(m_Value.end(), b, b + n);
}

void CkxQueryOperand::SetOne(int attrId, int code, int v) {
    Reset(attrId, code, TYPE_INT);
    int32_t x = v;
    Append(&x, 4);
}

void CkxQueryOperand::SetOne(int attrId, int code, float v) {
    Reset(attrId, code, TYPE_FLOAT);
    Append(&v, 4);
}

void CkxQueryOperand::SetOne(int attrId, int code, const COleDateTime& v) {
    Reset(attrId, code, TYPE_DATE);
    double d = v.m_dt;
    Append(&d, 8);
}

void CkxQueryOperand::SetTwo(int attrId, int code, int low, int high) {
    Reset(attrId, code, TYPE_INT2);
    int32_t x[2] = {low, high};
    Append(x, 8);
}

void CkxQueryOperand::SetTwo(int attrId, int code, float low, float high) {
    Reset(attrId, code, TYPE_FLOAT2);
    float x[2] = {low, high};
    Append(x, 8);
}

void CkxQueryOperand::SetTwo(int attrId, int code, const COleDateTime& low, const COleDateTime& high) {
    Reset(attrId, code, TYPE_DATE2);
    double x[2] = {low.m_dt, high.m_dt};
    Append(x, 16);
}

void CkxQueryOperand::SetText(int attrId, int code, const std::string& v) {
    // An empty text is no value at all.
    if (v.empty()) {
        Reset(attrId, code, 0);
        return;
    }
    Reset(attrId, code, TYPE_STR);
    std::string gbk = kx::ToGbk(v);
    Append(gbk.data(), gbk.size());
    m_Value.push_back(0);
}

int CkxQueryOperand::BuildBuf(CkxBuf& buf) const {
    int total = GetLength();
    if (!buf.Create(total)) return 0;
    _COM h = kx::ZeroRecord<_COM>();
    h.nLinkType = m_nLinkType;
    h.nOperateSign = m_nOperateSign;
    h.nAttrID = m_nAttrID;
    h.nDataType = m_nDataType;
    h.nValueLen = GetValueLen();
    h.nExData = m_nExData;
    std::memcpy(buf.GetBuf(), &h, sizeof h);
    if (!m_Value.empty()) std::memcpy(buf.GetBuf() + sizeof h, m_Value.data(), m_Value.size());
    return total;
}

int CkxQueryOperand::PasyBuf(const unsigned char* data, int length) {
    _COM h;
    if (length < GetHeadLen() || !kx::ReadRecord(data, static_cast<size_t>(length), h)) return 0;
    int n = h.nValueLen;
    if (n < 0 || n > length - GetHeadLen() || !LengthFitsType(h.nDataType, n)) return 0;
    m_nLinkType = h.nLinkType;
    m_nOperateSign = h.nOperateSign;
    m_nAttrID = h.nAttrID;
    m_nDataType = h.nDataType;
    m_nExData = h.nExData;
    m_Value.assign(data + GetHeadLen(), data + GetHeadLen() + n);
    return GetHeadLen() + n;
}

bool CkxQueryOperand::IsValid() const {
    return m_nLinkType != 0 && m_nOperateSign != 0 && m_nDataType != 0 && m_nAttrID != -1 && !m_Value.empty();
}

int CkxQueryOperand::Int32At(size_t off) const {
    if (m_Value.size() < off + 4) return 0;
    return kx::LoadI32(m_Value.data() + off);
}

float CkxQueryOperand::FloatAt(size_t off) const {
    float f = 0;
    if (m_Value.size() >= off + 4) std::memcpy(&f, m_Value.data() + off, 4);
    return f;
}

double CkxQueryOperand::DateAt(size_t off) const {
    double d = 0;
    if (m_Value.size() >= off + 8) std::memcpy(&d, m_Value.data() + off, 8);
    return d;
}

std::string CkxQueryOperand::Get_Str() const {
    if (!IsStr() || m_Value.empty()) return std::string();
    const char* b = reinterpret_cast<const char*>(m_Value.data());
    size_t n = strnlen(b, m_Value.size());
    return kx::FromGbk(std::string_view(b, n));
}

CkxValueSp CkxQueryOperand::GetValue1() const {
    switch (m_nDataType) {
    case TYPE_INT:
    case TYPE_INT2: return CkxValueSp(Get_Int());
    case TYPE_FLOAT:
    case TYPE_FLOAT2: return CkxValueSp(Get_Float());
    case TYPE_DATE:
    case TYPE_DATE2: return CkxValueSp(Get_Dt());
    case TYPE_STR: return CkxValueSp(Get_Str());
    default: return CkxValueSp();
    }
}

CkxValueSp CkxQueryOperand::GetValue2() const {
    switch (m_nDataType) {
    case TYPE_INT2: return CkxValueSp(Get_Int2());
    case TYPE_FLOAT2: return CkxValueSp(Get_Float2());
    case TYPE_DATE2: return CkxValueSp(Get_Dt2());
    case TYPE_STR: return CkxValueSp(Get_Str());
    default: return CkxValueSp();
    }
}

std::string CkxQueryOperand::GetFormatText() const {
    if (!IsValid()) return std::string();
    if (IsInt()) return std::to_string(Get_Int());
    if (IsFloat()) return CkxQuerySQL::FormatFixed(Get_Float(), 4);
    if (IsDate()) return DisplayDate(DateAt(0));
    if (IsStr()) return Get_Str();
    return std::string();
}

std::string CkxQueryOperand::GetFormatText2() const {
    if (!IsValid()) return std::string();
    std::string first = GetFormatText();
    int code = m_nOperateSign;
    if (IsSingleCode(code)) return std::string(CkxQuerySQL::OperatorText(code)) + " " + first;
    if (IsRangeCode(code)) {
        std::string second = IsInt()     ? std::to_string(Get_Int2())
                             : IsFloat() ? CkxQuerySQL::FormatFixed(Get_Float2(), 4)
                             : IsDate()  ? DisplayDate(DateAt(8))
                                         : std::string();
        bool closedLow = code == CkxQuerySQL::OS_FROMTO_CLOSE || code == CkxQuerySQL::OS_FROMTO_CLOSELEFT;
        bool closedHigh = code == CkxQuerySQL::OS_FROMTO_CLOSE || code == CkxQuerySQL::OS_FROMTO_CLOSERIGHT;
        return std::string(closedLow ? "[" : "(") + first + ", " + second + (closedHigh ? "]" : ")");
    }
    if (code == CkxQuerySQL::OS_KEYWORD) return "= " + first;
    if (code == CkxQuerySQL::OS_INCLUDE) return "*" + first + "*";
    return first;
}

int CkxQueryOperand::CheckOK(const CkxValueSp& stored) const {
    int code = m_nOperateSign;
    switch (m_nDataType) {
    case TYPE_INT:
        return stored.IsInt() ? Compare(stored.GetInt(), Get_Int(), code) : 0;
    case TYPE_INT2:
        return stored.IsInt() ? InRange(stored.GetInt(), Get_Int(), Get_Int2(), code) : 0;
    case TYPE_FLOAT:
        return stored.IsFloat() ? Compare(stored.GetFloat(), Get_Float(), code) : 0;
    case TYPE_FLOAT2:
        return stored.IsFloat() ? InRange(stored.GetFloat(), Get_Float(), Get_Float2(), code) : 0;
    case TYPE_DATE:
        return stored.IsDate() ? Compare(stored.GetDate(), DateAt(0), code) : 0;
    case TYPE_DATE2:
        return stored.IsDate() ? InRange(stored.GetDate(), DateAt(0), DateAt(8), code) : 0;
    case TYPE_STR: {
        if (!stored.IsStr()) return 0;
        std::string text = Get_Str();
        if (code == CkxQuerySQL::OS_EQUAL || code == CkxQuerySQL::OS_KEYWORD) return stored.GetStr() == text;
        if (code == CkxQuerySQL::OS_NOTEQUAL) return stored.GetStr() != text;
        if (code == CkxQuerySQL::OS_INCLUDE) return stored.GetStr().find(text) != std::string::npos;
        return 0;
    }
    default: return 0;
    }
}

std::string CkxQueryOperand::ConditionCore(const std::string& col) const {
    int code = m_nOperateSign;
    auto single = [&](const std::string& value) {
        return col + " " + CkxQuerySQL::OperatorText(code) + " " + value + " ";
    };
    auto range = [&](const std::string& low, const std::string& high) {
        return col + " " + LowOp(code) + " " + low + " AND " + col + " " + HighOp(code) + " " + high + " ";
    };
    auto real = [](float f) { return std::isfinite(f) ? CkxQuerySQL::FormatFixed(f, 4) : std::string(); };
    auto date = [](double d) { return CkxQuerySQL::IsWritableDate(d) ? CkxQuerySQL::QuoteDate(d) : std::string(); };

    switch (m_nDataType) {
    case TYPE_INT:
        return IsSingleCode(code) ? single(std::to_string(Get_Int())) : std::string();
    case TYPE_INT2:
        return IsRangeCode(code) ? range(std::to_string(Get_Int()), std::to_string(Get_Int2())) : std::string();
    case TYPE_FLOAT: {
        std::string v = real(Get_Float());
        return IsSingleCode(code) && !v.empty() ? single(v) : std::string();
    }
    case TYPE_FLOAT2: {
        std::string lo = real(Get_Float()), hi = real(Get_Float2());
        return IsRangeCode(code) && !lo.empty() && !hi.empty() ? range(lo, hi) : std::string();
    }
    case TYPE_DATE: {
        std::string v = date(DateAt(0));
        return IsSingleCode(code) && !v.empty() ? single(v) : std::string();
    }
    case TYPE_DATE2: {
        std::string lo = date(DateAt(0)), hi = date(DateAt(8));
        return IsRangeCode(code) && !lo.empty() && !hi.empty() ? range(lo, hi) : std::string();
    }
    case TYPE_STR: {
        std::string text = Get_Str();
        if (code == CkxQuerySQL::OS_EQUAL || code == CkxQuerySQL::OS_KEYWORD)
            return col + " = " + CkxQuerySQL::QuoteText(text) + " ";
        if (code == CkxQuerySQL::OS_NOTEQUAL) return col + " != " + CkxQuerySQL::QuoteText(text) + " ";
        if (code == CkxQuerySQL::OS_INCLUDE) return col + " LIKE " + CkxQuerySQL::QuoteText("%" + text + "%") + " ";
        return std::string();
    }
    default: return std::string();
    }
}

std::string CkxQueryOperand::FormatSQL_Fix(const std::string& column) const {
    std::string core = ConditionCore(column);
    if (core.empty()) return core;
    // The whole-number range form is the one without a leading space.
    return m_nDataType == TYPE_INT2 ? core : " " + core;
}

std::string CkxQueryOperand::FormatSQL_Link(const std::string& idColumn, const std::string& valueColumn) const {
    std::string core = ConditionCore(valueColumn);
    if (core.empty()) return core;
    return " " + idColumn + " = " + std::to_string(m_nAttrID) + " AND " + core;
}

std::string CkxQueryOperand::FormatSQL_Link(const std::string& table, const std::string& idColumn,
                                            const std::string& valueColumn) const {
    return FormatSQL_Link(table + "." + idColumn, table + "." + valueColumn);
}

std::string CkxQueryOperandList::FormatSQL() const {
    std::string sql;
    bool first = true;
    ForEach([&](const CkxQueryOperand& o) {
        std::string cond = o.FormatSQL_Link("attrid", "attrvalue");
        if (cond.empty()) return;
        if (!first) sql += " AND ";
        sql += cond + " ";
        first = false;
    });
    return sql;
}

int CkxQueryOperandList::GetLength() const {
    int total = 0;
    ForEach([&](const CkxQueryOperand& o) { total += o.GetLength(); });
    return total;
}

int CkxQueryOperandList::OfLink(int link, Operands& out) const {
    out.clear();
    for (POSITION p = GetHeadPosition(); p;) {
        CkxQueryOperand* o = GetNext(p);
        if (o->GetLinkType() == link) out.push_back(o);
    }
    return static_cast<int>(out.size());
}
