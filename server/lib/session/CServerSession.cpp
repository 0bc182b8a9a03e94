#include "session/CServerSession.h"

#include "session/RequestDispatcher.h"

CServerSession::~CServerSession() { StopAndClose(); }

void CServerSession::OnRequest(NetPacket& packet, NetMessage* message) {
    m_dispatcher.Dispatch(*this, packet, message);
}
