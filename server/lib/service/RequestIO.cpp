#include "service/RequestIO.h"

#include "session/CServerSession.h"

#include <cctype>
#include <climits>

namespace kx {

bool ParseDecimal(std::string_view text, int& out) {
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const size_t digits = i;
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i++] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (i == digits) return false;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i != text.size()) return false;
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return false;
    out = static_cast<int>(value);
    return true;
}

bool ReadRequestId(const KxRequest& request, int& out) {
    if (ParseDecimal(request.Payload(), out)) return true;
    kx::ServerWarning("request (%d, %d): the id is not a decimal number", request.Type(),
                      request.SubOp());
    return false;
}

NetPacket MakeAnswer(int type, int subOp, const void* bytes, size_t n) {
    NetPacket packet;
    packet.InitCommand(type, subOp, 0);
    if (n > 0) packet.SetData(bytes, n);
    return packet;
}

int SendListAnswer(CClientSession& session, const NetPacketSeries& series) {
    if (series.GetCount() == 0) return 1;
    return session.SendReplyPacketSeries(series);
}

void RefuseRequest(const std::string& noun, const KxRequest& request, const char* why) {
    kx::ServerWarning("%s request (%d, %d) from user %d dropped: %s", noun.c_str(), request.Type(),
                      request.SubOp(), request.session.GetUserID(), why);
}

bool AnnounceToAll(const KxRequest& request, const void* bytes, size_t n,
                   const CSessionList::Tailor& tailor, const CSessionList::Match& only) {
    // A fresh whole packet: a request that came as a multi-part message has a part as its head.
    NetPacket announce = MakeAnswer(request.Type(), request.SubOp());
    announce.SetParam(request.packet.GetParam());
    if (n > 0 && announce.SetData(bytes, n) == 0) {
        kx::ServerWarning("announcement (%d, %d) of %zu bytes does not fit in a packet",
                          request.Type(), request.SubOp(), n);
        return false;
    }
    request.Sessions().SendToAll(announce, tailor, only);
    return true;
}

} // namespace kx
