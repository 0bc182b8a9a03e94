// One value of a database column or statement parameter: nothing (SQL NULL), an integer, a
// floating-point number, a text (UTF-8), a date-time (DATE) or a byte block.
#pragma once

#include "base/OleDate.h"

#include <cstdint>
#include <string>
#include <string_view>

class CADOVariant {
public:
    enum Kind { Null = 0, Int = 1, Double = 2, Text = 3, Date = 4, Binary = 5 };

    CADOVariant() = default;
    CADOVariant(int v) : m_kind(Int), m_int(v) {}                       // NOLINT
    CADOVariant(unsigned v) : m_kind(Int), m_int(v) {}                  // NOLINT
    CADOVariant(int64_t v) : m_kind(Int), m_int(v) {}                   // NOLINT
    CADOVariant(const std::string& v) : m_kind(Text), m_bytes(v) {}     // NOLINT
    CADOVariant(const char* v) : m_kind(Text), m_bytes(v ? v : "") {}   // NOLINT
    CADOVariant(const COleDateTime& v) : m_kind(Date), m_double(v.m_dt) {} // NOLINT

    static CADOVariant FromDouble(double v) {
        CADOVariant r;
        r.m_kind = Double;
        r.m_double = v;
        return r;
    }
    static CADOVariant FromDate(DATE v) { return CADOVariant(COleDateTime(v)); }
    // A copy of the bytes; a null pointer or length 0 gives an empty block (not NULL).
    static CADOVariant FromBytes(const void* bytes, size_t len) {
        CADOVariant r;
        r.m_kind = Binary;
        if (bytes && len) r.m_bytes.assign(static_cast<const char*>(bytes), len);
        return r;
    }

    Kind GetKind() const { return m_kind; }
    bool IsNull() const { return m_kind == Null; }
    int64_t GetInt64() const { return m_int; }
    double GetDouble() const { return m_double; } // Double and Date values
    // The text of a Text value, the bytes of a Binary value.
    const std::string& GetBytes() const { return m_bytes; }

    bool operator==(const CADOVariant& o) const {
        return m_kind == o.m_kind && m_int == o.m_int && m_double == o.m_double &&
               m_bytes == o.m_bytes;
    }

private:
    Kind m_kind = Null;
    int64_t m_int = 0;
    double m_double = 0;
    std::string m_bytes;
};
