// CkxKeywordTemplet: a named set of keywords a user applies to files in one step. Its record is
// the (id, name, note) record of keyword groups; the keyword ids travel apart, as the keyword
// buffer (int32 ids back to back, no count). CkxKeywordTempletList: the templates a program holds.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxKeywordGroup.h"
#include "model/KxExport.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>
#include <vector>

class KX_EXPORT CkxKeywordTemplet {
public:
    using _COM = KxNameNoteCom;

    CkxKeywordTemplet() = default;
    CkxKeywordTemplet(const _COM& com) { SetComData(com); } // NOLINT
    CkxKeywordTemplet(const CkxKeywordTemplet&) = default;
    CkxKeywordTemplet& operator=(const CkxKeywordTemplet&) = default;
    // Reads the record only; the keyword list stays as it was.
    CkxKeywordTemplet& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxKeywordTemplet() = default;

    int GetID() const { return m_nID; }

    _COM GetComData() const { return kx::MakeNameNoteCom(m_nID, m_strName, m_strNote); }
    void SetComData(const _COM& com) { kx::ReadNameNoteCom(com, m_nID, m_strName, m_strNote); }

    // Writes the keyword buffer: 1, or 0 (buffer untouched) when there are no keywords or the
    // block cannot be allocated; with no keywords the sender sends no buffer.
    int PackBuf(CkxBuf& buf) const;
    // Replaces the keyword list with length / 4 ids read from the bytes (a ragged tail is
    // ignored): 1; a null block or negative length leaves the list untouched and returns 0.
    int PasyBuf(const CkxBuf& buf) { return PasyBuf(buf.GetBuf(), buf.GetLen()); }
    int PasyBuf(const void* bytes, int n);

    int32_t m_nID = -1;
    std::string m_strName;
    std::string m_strNote;
    std::vector<int32_t> m_listKeyword;
};

class KX_EXPORT CkxKeywordTempletList
    : public CkxRecordList<CkxKeywordTemplet, kx::DeleteMode::FirstMatch> {};
