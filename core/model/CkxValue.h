// Typed values: CkxValue (integer, float, date or text, plus an owned binary block) and
// CkxValueSp (the fixed form carried by attribute values and query operands, with its
// 288-byte wire image). Value kinds: 0 none, 1 integer, 2 float, 4 date, 8 text.
#pragma once

#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"

#include <cstdint>
#include <string>

enum KxValueKind { KXV_NONE = 0, KXV_INT = 1, KXV_FLOAT = 2, KXV_DATE = 4, KXV_STR = 8 };

class KX_EXPORT CkxValue {
public:
    CkxValue() = default;
    CkxValue(int v) { SetValue(v); }                       // NOLINT
    CkxValue(float v) { SetValue(v); }                     // NOLINT
    CkxValue(const COleDateTime& v) { SetValue(v); }       // NOLINT
    CkxValue(const std::string& v) { SetValue(v); }        // NOLINT
    CkxValue(const CkxValue& o) { *this = o; }
    CkxValue& operator=(const CkxValue& o);
    virtual ~CkxValue();

    void SetValue(int v);
    void SetValue(float v);
    void SetValue(const COleDateTime& v);
    void SetValue(const std::string& v);

    int GetType() const { return m_nType; }
    bool IsInt() const { return m_nType == KXV_INT; }
    bool IsFloat() const { return m_nType == KXV_FLOAT; }
    bool IsDate() const { return m_nType == KXV_DATE; }
    bool IsString() const { return m_nType == KXV_STR; }
    int GetInt() const;
    float GetFloat() const;
    COleDateTime GetDate() const;
    const std::string& GetStr() const { return m_strText; }

    // 4 for kinds 1 and 2, 8 for kind 4, the text's length (no NUL) for kind 8, else 0.
    int GetDataLen() const;
    // The number slot for kinds 1, 2 and 4, the text's characters for kind 8, else null.
    const void* GetDataBuf() const;
    // Copies min(n, binary length) bytes of the binary block into bytes; stores and returns
    // the count; 0 when bytes is null or n <= 0.
    int CopyBinary(void* bytes, int& n) const;

private:
    int32_t m_nType = KXV_NONE;
    unsigned char m_slot[8] = {};
    std::string m_strText;
    unsigned char* m_pBinary = nullptr;
    int32_t m_nBinaryLen = 0;
};

class KX_EXPORT CkxValueSp {
public:
#pragma pack(push, 1)
    // The 288-byte typed-value image of wire records.
    struct _COM {
        int32_t nTypeWord; // the sender's object type word; ignored on receipt
        int32_t nUnused1;
        int32_t nKind;
        int32_t nInt;
        float fFloat;
        int32_t nUnused2;
        double dtDate;
        char szText[256];
    };
#pragma pack(pop)

    CkxValueSp() { Void(); }
    CkxValueSp(char v) { *this = v; }                 // NOLINT
    CkxValueSp(short v) { *this = v; }                // NOLINT
    CkxValueSp(int v) { *this = v; }                  // NOLINT
    CkxValueSp(float v) { *this = v; }                // NOLINT
    CkxValueSp(double v) { *this = v; }               // NOLINT
    CkxValueSp(const COleDateTime& v) { *this = v; }  // NOLINT
    CkxValueSp(const std::string& v) { *this = v; }   // NOLINT
    CkxValueSp(const char* v) { *this = v; }          // NOLINT
    CkxValueSp(const CkxValueSp& o) = default;
    CkxValueSp& operator=(const CkxValueSp& o) = default;
    virtual ~CkxValueSp() = default;

    CkxValueSp& operator=(char v) { return SetIntValue(v); }
    CkxValueSp& operator=(short v) { return SetIntValue(v); }
    CkxValueSp& operator=(int v) { return SetIntValue(v); }
    CkxValueSp& operator=(float v);
    CkxValueSp& operator=(double v); // a DATE
    CkxValueSp& operator=(const COleDateTime& v) { return *this = v.m_dt; }
    CkxValueSp& operator=(const std::string& v);
    CkxValueSp& operator=(const char* v) { return *this = std::string(v ? v : ""); }

    void Void();
    void SetVoid() { Void(); }
    // Change the kind only.
    void SetInt() { m_nKind = KXV_INT; }
    void SetFloat() { m_nKind = KXV_FLOAT; }
    void SetDate() { m_nKind = KXV_DATE; }
    void SetStr() { m_nKind = KXV_STR; }

    bool IsVoid() const { return m_nKind == KXV_NONE; }
    bool IsInt() const { return m_nKind == KXV_INT; }
    bool IsFloat() const { return m_nKind == KXV_FLOAT; }
    bool IsDate() const { return m_nKind == KXV_DATE; }
    bool IsStr() const { return m_nKind == KXV_STR; }
    bool IsValid() const;

    int GetKind() const { return m_nKind; }
    int GetInt() const { return m_nInt; }
    float GetFloat() const { return m_fFloat; }
    double GetDate() const { return m_dtDate; }
    COleDateTime GetOleDate() const { return COleDateTime(m_dtDate); }
    const std::string& GetStr() const { return m_strText; }
    // kind 1 "%d", kind 2 "%0.4f", kind 4 the date text, kind 8 the text, else empty.
    std::string GetText() const;

    // The wire image (zeroed, text in GBK cut to 255 bytes) and its reader.
    _COM GetComData() const;
    void SetComData(const _COM& com);

    bool operator==(const CkxValueSp& o) const {
        return m_nKind == o.m_nKind && m_nInt == o.m_nInt && m_fFloat == o.m_fFloat &&
               m_dtDate == o.m_dtDate && m_strText == o.m_strText;
    }

private:
    CkxValueSp& SetIntValue(int v);

    int32_t m_nKind = KXV_NONE;
    int32_t m_nInt = 0;
    float m_fFloat = 0;
    double m_dtDate = 0;
    std::string m_strText; // UTF-8; always fits the 256-byte GBK field of the image
};

KX_RECORD_SIZE(CkxValueSp::_COM, 288);
KX_FIELD_AT(CkxValueSp::_COM, nKind, 8);
KX_FIELD_AT(CkxValueSp::_COM, nInt, 12);
KX_FIELD_AT(CkxValueSp::_COM, fFloat, 16);
KX_FIELD_AT(CkxValueSp::_COM, dtDate, 24);
KX_FIELD_AT(CkxValueSp::_COM, szText, 32);
