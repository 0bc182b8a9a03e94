// CkxFileMark: a user's named pointer to a file, the common body of file shares (offered to
// others) and bookmarks (the user's own); both travel in the same 68-byte record.
// CkxFileMarkList: their record list, deleting every match by id or by file.
#pragma once

#include "model/KxDeleteIf.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxFileMark {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        int32_t nUserID;
        int32_t nDataFormat;
        int32_t nFileID;
        char szName[52];
    };
#pragma pack(pop)

    CkxFileMark() = default;
    CkxFileMark(const _COM& com) { SetComData(com); } // NOLINT
    CkxFileMark(const CkxFileMark&) = default;
    CkxFileMark& operator=(const CkxFileMark&) = default;
    virtual ~CkxFileMark() = default;

    int GetID() const { return m_nID; }

    _COM GetComData() const;
    void SetComData(const _COM& com);

    int32_t m_nID = -1;         // T_ID
    int32_t m_nUserID = -1;     // T_UserID: who created it
    int32_t m_nDataFormat = -1; // T_DataFormat
    int32_t m_nFileID = -1;     // T_FileID: the file pointed to
    std::string m_strName;      // T_Name
};

KX_RECORD_SIZE(CkxFileMark::_COM, 68);
KX_FIELD_AT(CkxFileMark::_COM, nID, 0);
KX_FIELD_AT(CkxFileMark::_COM, nUserID, 4);
KX_FIELD_AT(CkxFileMark::_COM, nDataFormat, 8);
KX_FIELD_AT(CkxFileMark::_COM, nFileID, 12);
KX_FIELD_AT(CkxFileMark::_COM, szName, 16);

template <class T>
class CkxFileMarkList : public CkxRecordList<T, kx::DeleteMode::EveryMatch> {
public:
    // Destroys and removes every record that points to the file; returns how many.
    int DeleteObj(int fileId) {
        return kx::DeleteIf(*this, [fileId](const T& r) { return r.m_nFileID == fileId; });
    }
};
