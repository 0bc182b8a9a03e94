// Column/value lists that the statement builders turn into SQL: CADOFieldList carries values
// already written as SQL text (texts quoted, numbers locale-independent, dates as quoted ISO
// literals); CADOColumnList carries typed values, binary blocks included, that are bound.
#pragma once

#include "db/AdoVariant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kx {
// A text as an SQL literal: between single quotes, each quote inside written twice. The text
// ends at its first NUL.
std::string SqlQuote(std::string_view text);
// Decimal text of a number, the same in every locale.
std::string SqlNumber(int64_t n);
// The statement as it may appear in a log: every quoted text becomes '?', so no value a
// statement carries (a password, a name) reaches the terminal or a log file.
std::string SqlForLog(std::string_view sql);
// A database error message without the lines that quote row values (PostgreSQL's DETAIL).
std::string DbErrorForLog(std::string_view error);
// A date-time as the quoted ISO literal 'YYYY-MM-DD HH:MM:SS' both engines read.
std::string SqlDate(const COleDateTime& dt);
// True for a plain SQL name (letters, digits, '_', not starting with a digit).
bool IsSqlName(std::string_view name);
} // namespace kx

class CADOFieldList {
public:
    struct Entry {
        std::string name;  // a column name, or for a condition the column with its operator
        std::string value; // SQL text
    };

    void AddText(const std::string& name, std::string_view text);
    void AddInt(const std::string& name, int32_t v);
    void AddDate(const std::string& name, const COleDateTime& dt);
    void AddULong(const std::string& name, uint32_t v);
    void AddUInt(const std::string& name, uint32_t v);
    // " ( a , b , c ) " as " ( %d ", ", %d " ..., " ) ". The first id is taken off the
    // caller's list; nothing is added for an empty list.
    void AddIdList(const std::string& name, std::vector<int32_t>& ids);

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const std::vector<Entry>& Entries() const { return m_entries; }
    // The entry with exactly this name, or null.
    const Entry* Find(std::string_view name) const;

private:
    std::vector<Entry> m_entries;
};

class CADOColumnList {
public:
    struct Entry {
        std::string name;
        int binary = 0; // 1: value is a byte block written as one chunk
        CADOVariant value;
    };

    // A plain column with its value (an empty value writes NULL).
    void AddColumn(const std::string& name, const CADOVariant& value = {});
    // A binary column holding a copy of the bytes; a null pointer gives an empty block.
    void AddBinary(const std::string& name, const void* bytes, int len);

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};
