// The identity a program sends when it logs on: its kind (server, workstation, console, image
// editor), log-on name, password and a third text carried unchanged.
#pragma once

#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/Record.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxClient {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nType;
        char szLogon[50];
        char szPassword[50];
        char szThird[52];
    };
#pragma pack(pop)

    enum { MS_SERVER = 1, MS_STUDIO = 2, MS_MANAGER = 3, MS_TINTWORK = 4 };

    CkxClient() = default;
    explicit CkxClient(const _COM& c) { SetComData(c); }
    CkxClient(const CkxClient&) = default;
    CkxClient& operator=(const CkxClient&) = default;
    virtual ~CkxClient() = default;

    _COM GetComData() const {
        _COM c = kx::ZeroRecord<_COM>();
        c.nType = m_nType;
        kx::PutText(c.szLogon, m_strLogon);
        kx::PutText(c.szPassword, m_strPassword);
        kx::PutText(c.szThird, m_strThird);
        return c;
    }
    void SetComData(const _COM& c) {
        m_nType = c.nType;
        m_strLogon = kx::GetText(c.szLogon);
        m_strPassword = kx::GetText(c.szPassword);
        m_strThird = kx::GetText(c.szThird);
    }

    void Set_MS_Server() { m_nType = MS_SERVER; }
    void Set_MS_Studio() { m_nType = MS_STUDIO; }
    void Set_MS_Manager() { m_nType = MS_MANAGER; }
    void Set_MS_Tintwork() { m_nType = MS_TINTWORK; }
    bool Is_MS_Server() const { return m_nType == MS_SERVER; }
    bool Is_MS_Studio() const { return m_nType == MS_STUDIO; }
    bool Is_MS_Manager() const { return m_nType == MS_MANAGER; }
    bool Is_MS_Tintwork() const { return m_nType == MS_TINTWORK; }

    int32_t m_nType = 0;
    std::string m_strLogon;
    std::string m_strPassword;
    std::string m_strThird;
};

KX_RECORD_SIZE(CkxClient::_COM, 156);
KX_FIELD_AT(CkxClient::_COM, nType, 0);
KX_FIELD_AT(CkxClient::_COM, szLogon, 4);
KX_FIELD_AT(CkxClient::_COM, szPassword, 54);
KX_FIELD_AT(CkxClient::_COM, szThird, 104);
