// CkxLog: one entry of the server's operation log; with its two dates taken as a range it is
// also the query for log entries. CkxLogList: a list of log values (the console's answers).
#pragma once

#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

// Log levels; 0 in a query asks for every level.
enum KxLogLevel { KXLOG_NULL = 0, KXLOG_INFO = 1, KXLOG_WARN = 2, KXLOG_ERROR = 3 };

class KX_EXPORT CkxLog {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        uint8_t nLev;
        uint8_t nType;
        uint8_t nTypeSub;
        char szEvent[50];
        uint8_t unused1[7];
        double dtTime;
        double dtEnd;
        int32_t nUser;
        int32_t unused2;
    };
#pragma pack(pop)

    CkxLog() = default;
    CkxLog(const _COM& com) { SetComData(com); } // NOLINT
    CkxLog(const CkxLog&) = default;
    CkxLog& operator=(const CkxLog&) = default;
    CkxLog& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxLog() = default;

    int GetID() const { return m_nID; }

    bool IsLevNull() const { return m_nLev < KXLOG_INFO || m_nLev > KXLOG_ERROR; }
    bool IsLevInfo() const { return m_nLev == KXLOG_INFO; }
    bool IsLevWarn() const { return m_nLev == KXLOG_WARN; }
    bool IsLevError() const { return m_nLev == KXLOG_ERROR; }
    void SetLevInfo() { m_nLev = KXLOG_INFO; }
    void SetLevWarn() { m_nLev = KXLOG_WARN; }
    void SetLevError() { m_nLev = KXLOG_ERROR; }

    // "<全部>", "普通", "警告", "严重"; "<全部>" for any other level.
    std::string GetLevStr() const;
    // The time in the system's date text form.
    std::string GetTimeStr() const { return kx::DateText(m_dtTime); }

    // The query range: the whole days from `from` 00:00:00 to `to` 23:59:59.
    void SetQueryTime(const COleDateTime& from, const COleDateTime& to);

    _COM GetComData() const;
    void SetComData(const _COM& com);

    int32_t m_nID = -1;
    uint8_t m_nLev = KXLOG_NULL; // T_Lev
    uint8_t m_nType = 0;         // T_Type
    uint8_t m_nTypeSub = 0;      // T_TypeSub
    std::string m_strEvent;      // T_Event
    COleDateTime m_dtTime;       // T_Time; in a query, the start of the range
    COleDateTime m_dtEnd;        // in a query, the end of the range
    int32_t m_nUser = 0;         // T_DoUser
};

KX_RECORD_SIZE(CkxLog::_COM, 88);
KX_FIELD_AT(CkxLog::_COM, nID, 0);
KX_FIELD_AT(CkxLog::_COM, nLev, 4);
KX_FIELD_AT(CkxLog::_COM, nType, 5);
KX_FIELD_AT(CkxLog::_COM, nTypeSub, 6);
KX_FIELD_AT(CkxLog::_COM, szEvent, 7);
KX_FIELD_AT(CkxLog::_COM, unused1, 57);
KX_FIELD_AT(CkxLog::_COM, dtTime, 64);
KX_FIELD_AT(CkxLog::_COM, dtEnd, 72);
KX_FIELD_AT(CkxLog::_COM, nUser, 80);
KX_FIELD_AT(CkxLog::_COM, unused2, 84);

// A list of log values: GetNext hands back a copy; Find points at the value inside the list.
class KX_EXPORT CkxLogList {
public:
    CkxLogList() = default;
    CkxLogList(const CkxLogList&) = default;
    CkxLogList& operator=(const CkxLogList&) = default;
    virtual ~CkxLogList() = default;

    // Appends a copy: 1, or 0 when memory runs out.
    int AddTail(const CkxLog& log) { return m_list.AddTail(log); }
    CkxLog GetNext(POSITION& p) const { return *m_list.GetNext(p); }
    CkxLog* Find(int id) const { return m_list.Find(id); }
    int GetCount() const { return m_list.GetCount(); }
    POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
    void DeleteAll() { m_list.DeleteAll(); }

private:
    CkxRecordList<CkxLog> m_list;
};
