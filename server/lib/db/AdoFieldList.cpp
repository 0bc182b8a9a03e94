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
