#include "session/CServerSession.h"

#include "session/RequestDispatcher.h"

CServerSession::~CServerSession() { StopAndClose(); }

void CServerSession::OnRequest(NetPacket& packet, NetMessage* message) {
    CRequestDispatcher::Table().Dispatch(*this, packet, message);
}
