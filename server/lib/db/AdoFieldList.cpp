#include "db/AdoFieldList.h"


namespace kx {

std::string SqlQuote(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

std::string SqlNumber(int64_t n) { return std::to_string(n); }

std::string SqlForLog(std::string_view sql) {
    std::string out;
    out.reserve(sql.size());
    for (size_t i = 0; i < sql.size(); ++i) {
        if (sql[i] != '\'') {
            out += sql[i];
            continue;
        }
        // Skip to the closing quote; a doubled quote inside the text is part of it. An
        // unterminated text hides everything after its opening quote.
        size_t j = i + 1;
        while (j < sql.size()) {
            if (sql[j] == '\'' && j + 1 < sql.size() && sql[j + 1] == '\'') {
                j += 2;
                continue;
            }
            if (sql[j] == '\'') break;
            ++j;
        }
        out += "'?'";
        i = j;
    }
    return out;
}

std::string DbErrorForLog(std::string_view error) {
    std::string out;
    size_t at = 0;
    while (at <= error.size()) {
        size_t end = error.find('\n', at);
        if (end == std::string_view::npos) end = error.size();
        const std::string_view line = error.substr(at, end - at);
        const size_t text = line.find_first_not_of(" \t");
        const bool detail = text != std::string_view::npos && line.substr(text).rfind("DETAIL:", 0) == 0;
        if (!detail && !line.empty()) {
            if (!out.empty()) out += ' ';
            out += line;
        }
        at = end + 1;
    }
    return out;
}

std::string SqlDate(const COleDateTime& dt) { return "'" + IsoDateText(dt.m_dt) + "'"; }

bool IsSqlName(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

} // namespace kx

void CADOFieldList::AddText(const std::string& name, std::string_view text) {
    m_entries.push_back({name, kx::SqlQuote(text)});
}

void CADOFieldList::AddInt(const std::string& name, int32_t v) {
    m_entries.push_back({name, kx::SqlNumber(v)});
}

void CADOFieldList::AddDate(const std::string& name, const COleDateTime& dt) {
    m_entries.push_back({name, kx::SqlDate(dt)});
}

void CADOFieldList::AddULong(const std::string& name, uint32_t v) {
    m_entries.push_back({name, kx::SqlNumber(v)});
}

void CADOFieldList::AddUInt(const std::string& name, uint32_t v) {
    m_entries.push_back({name, kx::SqlNumber(v)});
}

void CADOFieldList::AddIdList(const std::string& name, std::vector<int32_t>& ids) {
    if (ids.empty()) return;
    std::string text = " ( " + kx::SqlNumber(ids.front()) + " ";
    for (size_t i = 1; i < ids.size(); ++i) text += ", " + kx::SqlNumber(ids[i]) + " ";
    text += " ) ";
    ids.erase(ids.begin());
    m_entries.push_back({name, std::move(text)});
}

const CADOFieldList::Entry* CADOFieldList::Find(std::string_view name) const {
    for (const Entry& e : m_entries)
        if (e.name == name) return &e;
    return nullptr;
}

void CADOColumnList::AddColumn(const std::string& name, const CADOVariant& value) {
    m_entries.push_back({name, 0, value});
}

void CADOColumnList::AddBinary(const std::string& name, const void* bytes, int len) {
    m_entries.push_back(
        {name, 1, CADOVariant::FromBytes(bytes, len > 0 ? static_cast<size_t>(len) : 0)});
}
