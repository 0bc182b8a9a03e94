// CkxFileOpeState: one line of the report a batch file operation shows before it runs. A file
// to be processed carries its folder path and file name; a refused file carries its file name,
// whether the user has the right (0 or 1) and whether another user has it checked out (0 or 1).
// CkxFileOpeStateList is the unguarded list of them.
#pragma once

#include "model/KxExport.h"
#include "base/PtrList.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxFileOpeState {
public:
    // Exchanged within a process only.
    struct _COM {
        std::string strFirst;
        std::string strSecond;
        int32_t nFirst = 0;
        int32_t nSecond = 0;
    };

    CkxFileOpeState() = default;
    CkxFileOpeState(const CkxFileOpeState&) = default;
    explicit CkxFileOpeState(const _COM& com) { SetComData(com); }
    CkxFileOpeState& operator=(const CkxFileOpeState&) = default;
    CkxFileOpeState& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxFileOpeState() = default;

    _COM GetComData() const { return {m_strFirst, m_strSecond, m_nFirst, m_nSecond}; }
    void SetComData(const _COM& c) {
        m_strFirst = c.strFirst;
        m_strSecond = c.strSecond;
        m_nFirst = c.nFirst;
        m_nSecond = c.nSecond;
    }

    std::string m_strFirst;
    std::string m_strSecond;
    int32_t m_nFirst = 0;
    int32_t m_nSecond = 0;
};

class KX_EXPORT CkxFileOpeStateList {
public:
    CkxFileOpeStateList() = default;
    CkxFileOpeStateList(const CkxFileOpeStateList&) = default;
    CkxFileOpeStateList& operator=(const CkxFileOpeStateList&) = default;
    virtual ~CkxFileOpeStateList() = default;

    // Each appends a copy; 1, or 0 when memory runs out.
    int AddTail(const CkxFileOpeState& s) { return m_list.AddTail(s); }
    // A refused file: its name, whether the user has the right, whether it is checked out.
    int AddTail(const std::string& first, int firstNumber, int secondNumber);
    // A file to be processed: folder path and file name (numbers 0).
    int AddTail(const std::string& first, const std::string& second);

    POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
    CkxFileOpeState* GetNext(POSITION& p) const { return m_list.GetNext(p); }
    int GetCount() const { return m_list.GetCount(); }
    void DeleteAll() { m_list.DeleteAll(); }

private:
    // States have no id; the list is only appended to, walked and emptied.
    struct NoID {
        int operator()(const CkxFileOpeState&) const { return -1; }
    };
    CkxRecordList<CkxFileOpeState, kx::DeleteMode::FirstMatch, NoID> m_list;
};
