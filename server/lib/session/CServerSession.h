// CServerSession: the session of the running server. Every request (flag 1) goes to the
// request dispatcher, which picks the handler by message type and runs it under the data
// manager's catalogue mutex; handlers reach the database and stored files through the data
// manager.
#pragma once

#include "session/CClientSession.h"

class CRequestDispatcher;

class CServerSession : public CClientSession {
public:
    CServerSession(CDataManager* data, CRequestDispatcher& dispatcher)
        : m_pData(data), m_dispatcher(dispatcher) {}
    ~CServerSession() override;

    CDataManager* GetDataManager() override { return m_pData; }

protected:
    void OnRequest(NetPacket& packet, NetMessage* message) override;

private:
    CDataManager* m_pData;
    CRequestDispatcher& m_dispatcher;
};
