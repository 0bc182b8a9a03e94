// CkxServer: the server's own description (name, address, department, remark and the user of
// the session that asked), sent to clients as a 316-byte record. Text 1, text 6 and the two
// further numbers are carried unchanged; the library gives them no meaning.
#pragma once

#include "model/KxExport.h"
#include "base/Record.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxServer {
public:
#pragma pack(push, 1)
    struct _COM {
        char szText1[50];
        char szName[50];
        char szAddr[50];
        char szDept[50];
        char szRemark[50];
        char zero[2];
        int32_t nUserID;
        char szText6[52];
        int32_t nValue1;
        int32_t nValue2;
    };
#pragma pack(pop)

    CkxServer() = default;
    CkxServer(const CkxServer&) = default;
    CkxServer& operator=(const CkxServer&) = default;
    virtual ~CkxServer() = default;

    // The record, zeroed first; texts in GBK, cut to 49 bytes (text 6: 51).
    _COM GetComData() const;
    void SetComData(const _COM& com);

    std::string m_strText1;
    std::string m_strName;   // "SRV_NAME"
    std::string m_strAddr;   // "SRV_ADDR"
    std::string m_strDept;   // "SRV_DEPT"
    std::string m_strRemark; // "SRV_REMARK"
    int32_t m_nUserID = -1;  // in a session's copy: the user logged on through that session
    std::string m_strText6;
    int32_t m_nValue1 = 0;
    int32_t m_nValue2 = 0;
};

KX_RECORD_SIZE(CkxServer::_COM, 316);
KX_FIELD_AT(CkxServer::_COM, szText1, 0);
KX_FIELD_AT(CkxServer::_COM, szName, 50);
KX_FIELD_AT(CkxServer::_COM, szAddr, 100);
KX_FIELD_AT(CkxServer::_COM, szDept, 150);
KX_FIELD_AT(CkxServer::_COM, szRemark, 200);
KX_FIELD_AT(CkxServer::_COM, zero, 250);
KX_FIELD_AT(CkxServer::_COM, nUserID, 252);
KX_FIELD_AT(CkxServer::_COM, szText6, 256);
KX_FIELD_AT(CkxServer::_COM, nValue1, 308);
KX_FIELD_AT(CkxServer::_COM, nValue2, 312);
