#include "CServerSession.h"

#include "RequestDispatcher.h"

CServerSession::~CServerSession() { StopAndClose(); }

void CServerSession::OnRequest(NetPacket& packet, NetMessage* message) {
    CRequestDispatcher::Table().Dispatch(*this, packet, message);
}
