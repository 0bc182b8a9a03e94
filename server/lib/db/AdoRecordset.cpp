#include "db/AdoRecordset.h"

#include "db/AdoDatabase.h"
#include "db/DbEngine.h"

#include <cctype>
#include <charconv>
#include <strings.h>

namespace {

// The table a "SELECT ... FROM name ..." statement reads, for writing rows back.
std::string TableOfSelect(const std::string& sql) {
    std::string upper = sql;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    size_t at = upper.find(" FROM ");
    if (at == std::string::npos) return "";
    at += 6;
    while (at < sql.size() && sql[at] == ' ') ++at;
    size_t end = at;
    while (end < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
        ++end;
    return sql.substr(at, end - at);
}

int32_t Low32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

} // namespace

int CADORecordset::Open(CADODatabase* db, const std::string& text, int mode) {
    Close();
    if (!db) return 0;
    std::string t = text;
    t.erase(0, t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
    if (!t.empty()) m_sql = t;
    std::string sql;
    if (mode == openTable) {
        if (!kx::IsSqlName(m_sql)) return 0;
        m_table = m_sql;
        sql = "SELECT * FROM " + m_table;
    } else {
        if (m_sql.empty()) return 0;
        m_table = TableOfSelect(m_sql);
        sql = m_sql;
    }
    std::lock_guard<std::recursive_mutex> lock(db->m_mutex);
    DbRows rows;
    if (!db->RunLocked(sql, {}, &rows)) return 0;
    m_db = db;
    m_names = std::move(rows.names);
    m_rows = std::move(rows.rows);
    m_pos = 0;
    m_open = true;
    return 1;
}

CADORecordset::CADORecordset() = default;

CADORecordset::~CADORecordset() { Close(); }

int CADORecordset::OpenForward(CADODatabase* db, const std::string& sql) {
    Close();
    if (!db || sql.empty()) return 0;
    std::unique_lock<std::recursive_mutex> lock(db->m_mutex);
    if (!db->EnsureOpenLocked()) return 0;
    std::string error;
    std::unique_ptr<DbCursor> cursor = db->m_engine->OpenCursor(sql, error);
    if (!cursor) {
        db->Fail("statement failed", kx::DbErrorForLog(error) + " [" + kx::SqlForLog(sql) + "]");
        return 0;
    }
    m_db = db;
    m_sql = sql;
    m_table = TableOfSelect(sql);
    m_names = cursor->Names();
    m_rows.assign(1, {});
    m_pos = 0;
    m_open = true;
    m_cursor = std::move(cursor);
    m_lock = std::move(lock);
    if (!m_cursor->Next(m_rows[0], error)) {
        EndForward();
        if (!error.empty()) {
            db->Fail("statement failed", kx::DbErrorForLog(error) + " [" + kx::SqlForLog(sql) + "]");
            Close();
            return 0;
        }
    }
    return 1;
}

void CADORecordset::EndForward() {
    m_rows.clear();
    m_pos = 0;
    m_cursor.reset();
    if (m_lock.owns_lock()) m_lock.unlock();
}

void CADORecordset::MoveNext() {
    if (!m_cursor) {
        if (m_pos < m_rows.size()) ++m_pos;
        return;
    }
    std::string error;
    if (m_cursor->Next(m_rows[0], error)) return;
    // A failure part way is logged; the reader sees the end of the rows.
    m_failed = !error.empty();
    if (m_failed && m_db)
        m_db->Fail("statement failed", kx::DbErrorForLog(error) + " [" + kx::SqlForLog(m_sql) + "]");
    EndForward();
}

int CADORecordset::OpenTable(CADODatabase* db, const std::string& table) {
    if (table.empty()) return 0;
    return Open(db, table, openTable);
}

void CADORecordset::PrepareInsert(CADODatabase* db, const std::string& table) {
    Close();
    m_db = db;
    m_table = table;
    m_open = true;
}

void CADORecordset::Close() {
    if (m_editState != editNone) CancelUpdate();
    EndForward();
    m_failed = false;
    m_open = false;
    m_names.clear();
    m_rows.clear();
    m_pos = 0;
}

int CADORecordset::GetRecordCount() {
    if (m_cursor) return -1;
    m_pos = 0;
    return m_open ? static_cast<int>(m_rows.size()) : 0;
}

int CADORecordset::ColumnIndex(const char* column) const {
    if (!column) return -1;
    for (size_t i = 0; i < m_names.size(); ++i)
        if (strcasecmp(m_names[i].c_str(), column) == 0) return static_cast<int>(i);
    return -1;
}

const CADOVariant* CADORecordset::CellAt(int index) const {
    if (IsEOF() || index < 0 || static_cast<size_t>(index) >= m_rows[m_pos].size()) return nullptr;
    return &m_rows[m_pos][static_cast<size_t>(index)];
}

int CADORecordset::GetValue(const char* column, CADOVariant& out) const {
    const CADOVariant* v = Cell(column);
    if (!v) return 0;
    out = *v;
    return 1;
}

static int32_t LongOf(const CADOVariant& v) {
    switch (v.GetKind()) {
    case CADOVariant::Int: return Low32(v.GetInt64());
    case CADOVariant::Double:
    case CADOVariant::Date: return Low32(static_cast<int64_t>(v.GetDouble()));
    case CADOVariant::Text: {
        int64_t n = 0;
        const std::string& s = v.GetBytes();
        std::from_chars(s.data(), s.data() + s.size(), n);
        return Low32(n);
    }
    default: return 0;
    }
}

int CADORecordset::GetLong(const char* column, int32_t& out) const {
    return GetLongAt(ColumnIndex(column), out);
}

int CADORecordset::GetLongAt(int index, int32_t& out) const {
    const CADOVariant* v = CellAt(index);
    if (!v) return 0;
    out = LongOf(*v);
    return 1;
}

int CADORecordset::GetByte(const char* column, uint8_t& out) const {
    int32_t n = 0;
    if (!GetLong(column, n)) return 0;
    out = static_cast<uint8_t>(n);
    return 1;
}

int CADORecordset::GetString(const char* column, std::string& out, const char* dateFormat) const {
    return GetStringAt(ColumnIndex(column), out, dateFormat);
}

int CADORecordset::GetStringAt(int index, std::string& out, const char* dateFormat) const {
    const CADOVariant* v = CellAt(index);
    if (!v) return 0;
    switch (v->GetKind()) {
    case CADOVariant::Null: out.clear(); return 1;
    case CADOVariant::Int: out = std::to_string(v->GetInt64()); return 1;
    case CADOVariant::Double: {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, v->GetDouble());
        out.assign(buf, r.ptr);
        return 1;
    }
    case CADOVariant::Date:
        out = COleDateTime(v->GetDouble())
                  .Format(dateFormat && *dateFormat ? dateFormat : "%Y-%m-%d %H:%M:%S");
        return 1;
    case CADOVariant::Text: out = v->GetBytes(); return 1;
    case CADOVariant::Binary: return 0;
    }
    return 0;
}

int CADORecordset::GetDate(const char* column, COleDateTime& out) const {
    return GetDateAt(ColumnIndex(column), out);
}

int CADORecordset::GetDateAt(int index, COleDateTime& out) const {
    const CADOVariant* v = CellAt(index);
    if (!v) return 0;
    switch (v->GetKind()) {
    case CADOVariant::Null: out = COleDateTime(0.0); return 1;
    case CADOVariant::Date:
    case CADOVariant::Double: out = COleDateTime(v->GetDouble()); return 1;
    case CADOVariant::Int: out = COleDateTime(static_cast<double>(v->GetInt64())); return 1;
    case CADOVariant::Text: {
        COleDateTime dt;
        if (!dt.ParseDateTime(v->GetBytes())) return 0;
        out = dt;
        return 1;
    }
    case CADOVariant::Binary: return 0;
    }
    return 0;
}

int CADORecordset::ReadBinary(const char* column, CkxBuf& out) const {
    return ReadBinaryAt(ColumnIndex(column), out);
}

int CADORecordset::ReadBinaryAt(int index, CkxBuf& out) const {
    const CADOVariant* v = CellAt(index);
    if (!v) return 0;
    if (v->GetKind() != CADOVariant::Binary && v->GetKind() != CADOVariant::Text &&
        v->GetKind() != CADOVariant::Null)
        return 0;
    const std::string& b = v->GetBytes();
    if (b.empty()) {
        out.Destroy();
        return 1;
    }
    return out.Fill(b.data(), static_cast<int>(b.size()));
}

int32_t CADORecordset::Long(const char* column) const {
    int32_t v = 0;
    GetLong(column, v);
    return v;
}

std::string CADORecordset::Text(const char* column) const {
    std::string v;
    if (!GetString(column, v)) v.clear();
    return v;
}

COleDateTime CADORecordset::Date(const char* column) const {
    COleDateTime v(0.0);
    if (!GetDate(column, v)) v = COleDateTime(0.0);
    return v;
}

CkxBuf CADORecordset::Bytes(const char* column) const {
    CkxBuf v;
    if (!ReadBinary(column, v)) v.Destroy();
    return v;
}

int CADORecordset::AddNew() {
    if (!m_open || m_table.empty()) return 0;
    m_pending.clear();
    m_adding = true;
    m_editState = editInProgress;
    return 1;
}

void CADORecordset::SetEditing() {
    m_pending.clear();
    m_adding = false;
    m_editState = editInProgress;
}

int CADORecordset::PutValue(const char* column, const CADOVariant& value) {
    if (m_editState == editNone || !column || !kx::IsSqlName(column)) return 0;
    for (auto& p : m_pending)
        if (strcasecmp(p.first.c_str(), column) == 0) {
            p.second = value;
            return 1;
        }
    m_pending.emplace_back(column, value);
    return 1;
}

int CADORecordset::AppendBinary(const char* column, const void* bytes, int len) {
    return PutValue(column, CADOVariant::FromBytes(bytes, len > 0 ? static_cast<size_t>(len) : 0));
}

void CADORecordset::CancelUpdate() {
    m_pending.clear();
    m_adding = false;
    m_editState = editNone;
}

int CADORecordset::Update() {
    if (m_editState == editNone || !m_db || !kx::IsSqlName(m_table)) {
        CancelUpdate();
        return 0;
    }
    std::lock_guard<std::recursive_mutex> lock(m_db->m_mutex);
    // Markers depend on the engine, which a reconnect may change.
    if (!m_db->EnsureOpenLocked()) {
        CancelUpdate();
        return 0;
    }
    std::vector<CADOVariant> params;
    std::string sql;
    if (m_adding) {
        if (m_pending.empty()) {
            sql = "INSERT INTO " + m_table + " DEFAULT VALUES RETURNING *";
        } else {
            std::string names, markers;
            for (const auto& p : m_pending) {
                if (!params.empty()) {
                    names += " , ";
                    markers += " , ";
                }
                params.push_back(p.second);
                names += p.first;
                markers += m_db->Marker(static_cast<int>(params.size()));
            }
            sql = "INSERT INTO " + m_table + " ( " + names + " ) VALUES ( " + markers +
                  " ) RETURNING *";
        }
    } else {
        // A changed row is written back by its id.
        const CADOVariant* id = Cell("T_ID");
        if (!id || id->GetKind() != CADOVariant::Int || m_pending.empty()) {
            CancelUpdate();
            return 0;
        }
        std::string set;
        for (const auto& p : m_pending) {
            if (!params.empty()) set += " , ";
            params.push_back(p.second);
            set += p.first + " = " + m_db->Marker(static_cast<int>(params.size()));
        }
        params.push_back(*id);
        sql = "UPDATE " + m_table + " SET " + set +
              " WHERE T_ID = " + m_db->Marker(static_cast<int>(params.size())) + " RETURNING *";
    }
    DbRows rows;
    const bool ok = m_db->RunLocked(sql, params, &rows);
    const bool adding = m_adding;
    CancelUpdate();
    if (!ok) return 0;
    if (!rows.rows.empty()) {
        if (m_names.empty()) m_names = rows.names;
        if (rows.names.size() == m_names.size()) {
            if (adding) {
                m_rows.push_back(std::move(rows.rows[0]));
                m_pos = m_rows.size() - 1;
            } else {
                m_rows[m_pos] = std::move(rows.rows[0]);
            }
        }
    }
    return 1;
}
