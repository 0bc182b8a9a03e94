#include "service/ServerInfoService.h"

#include "model/CkxHostInfo.h"
#include "model/CkxServer.h"
#include "service/RequestIO.h"
#include "session/CServerSession.h"

void HandleServerRecord(KxRequest& request) {
    if (request.SubOp() != kx::kSubList) return;
    const CkxServer::_COM com = request.session.ServerRecord().GetComData();
    request.session.SendReply(kx::MakeRecordAnswer(kx::kMsgServerRecord, kx::kSubList, com));
}

void HandleHostInfo(KxRequest& request) {
    CkxHostInfo info;
    if (!CkxHostInfo::GetCurSystemInfo(info)) return;
    const CkxHostInfo::_COM com = info.GetComData();
    NetPacket answer = kx::MakeRecordAnswer(kx::kMsgHostInfo, kx::kSubNone, com);
    answer.SetParam(0);
    request.session.SendReply(answer);
}
