// Rows of one statement or table, fetched whole when opened (a client-side static cursor), or
// read one at a time (a forward cursor, for readers that stop early or keep little of each
// row), with typed readers by column name (matched without regard to case) or by column
// position, and a pending row that AddNew/SetEditing, PutValue and Update write back to the
// table with bound values.
#pragma once

#include "db/AdoVariant.h"
#include "model/CkxBuf.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CADODatabase;
class DbCursor;

class CADORecordset {
public:
    enum OpenMode { openQuery = 0, openTable = 2 };
    enum EditState { editNone = 0, editInProgress = 2 };

    CADORecordset();
    ~CADORecordset();
    CADORecordset(const CADORecordset&) = delete;
    CADORecordset& operator=(const CADORecordset&) = delete;

    // Opens a statement (mode 0) or every row of a table (mode 2). 1 when open.
    int Open(CADODatabase* db, const std::string& text, int mode = openQuery);
    int OpenTable(CADODatabase* db, const std::string& table);
    // Opens a statement as a forward cursor on the first row: MoveNext reads the next row from
    // the database, MoveFirst does nothing, and the connection serves no other thread until
    // the last row is read or the recordset closes. 1 when open.
    int OpenForward(CADODatabase* db, const std::string& sql);
    int IsOpen() const { return m_open ? 1 : 0; }
    // True when a forward cursor's rows ended in a failure rather than at the last row.
    bool HasFailed() const { return m_failed; }
    void Close();

    int IsEOF() const { return !m_open || m_pos >= m_rows.size(); }
    void MoveNext();
    void MoveFirst() {
        if (!m_cursor) m_pos = 0;
    }
    // Number of rows; the cursor is left on the first row. A forward cursor does not know it: -1.
    int GetRecordCount();
    int GetFieldCount() const { return static_cast<int>(m_names.size()); }
    const std::string& GetStatement() const { return m_sql; }

    // The position of a column (matched without regard to case), -1 when there is none: a
    // reader of many rows looks it up once and reads with the *At readers.
    int GetFieldIndex(const char* column) const { return ColumnIndex(column); }

    // Readers of the current row: 1 on success, 0 when there is no row or no such column.
    int GetValue(const char* column, CADOVariant& out) const;
    // Null reads 0; numbers are cut to 32 bits (unsigned columns read back through a cast).
    int GetLong(const char* column, int32_t& out) const;
    int GetLongAt(int index, int32_t& out) const;
    int GetByte(const char* column, uint8_t& out) const;
    int GetInt(const char* column, int32_t& out) const { return GetLong(column, out); }
    // Null reads ""; numbers in decimal; dates with the strftime format (default
    // "%Y-%m-%d %H:%M:%S"); a byte block is not text and fails.
    int GetString(const char* column, std::string& out, const char* dateFormat = "") const;
    int GetStringAt(int index, std::string& out, const char* dateFormat = "") const;
    // Null reads the zero date.
    int GetDate(const char* column, COleDateTime& out) const;
    int GetDateAt(int index, COleDateTime& out) const;
    // The column's bytes into the buffer (empty for null); 0 when it cannot be read.
    int ReadBinary(const char* column, CkxBuf& out) const;
    int ReadBinaryAt(int index, CkxBuf& out) const;

    // The same readers for code that fills a record field by field: the column's value, or the
    // empty value (0, "", the zero date, no bytes) when there is no row, no such column or a
    // value of another kind.
    int32_t Long(const char* column) const;
    std::string Text(const char* column) const;
    COleDateTime Date(const char* column) const;
    CkxBuf Bytes(const char* column) const;

    // Writing: AddNew starts a new row, SetEditing marks the current row as changed; PutValue
    // and AppendBinary set columns; Update stores the row (on failure it is dropped and 0
    // returned); after storing a new row the cursor stands on it, with its id.
    int AddNew();
    void SetEditing();
    int PutValue(const char* column, const CADOVariant& value);
    int AppendBinary(const char* column, const void* bytes, int len);
    int Update();
    void CancelUpdate();
    int GetEditMode() const { return m_editState; }

private:
    friend class CADODatabase;

    int ColumnIndex(const char* column) const;
    const CADOVariant* Cell(const char* column) const { return CellAt(ColumnIndex(column)); }
    const CADOVariant* CellAt(int index) const;
    // A forward cursor's end: the row goes, the cursor and the connection are let go.
    void EndForward();
    // Prepares an empty recordset on a table for inserting one row (no rows are read).
    void PrepareInsert(CADODatabase* db, const std::string& table);

    CADODatabase* m_db = nullptr;
    bool m_open = false;
    std::string m_sql;
    std::string m_table; // the table rows are written back to
    std::vector<std::string> m_names;
    std::vector<std::vector<CADOVariant>> m_rows;
    size_t m_pos = 0;
    bool m_failed = false;
    std::unique_ptr<DbCursor> m_cursor;        // a forward cursor's rows still to read
    std::unique_lock<std::recursive_mutex> m_lock; // the connection, while they are

    int m_editState = editNone;
    bool m_adding = false;
    std::vector<std::pair<std::string, CADOVariant>> m_pending;
};
