// Reading requests and sending answers, the same way in every handler: a payload is read as a
// record only after its length is checked, an id only when it is a decimal number; a list
// answer is a packet series (first marked first or only, last marked last, index 0 on the
// last); announcements go to every session as replies.
#pragma once

#include "transport/NetPacket.h"
#include "transport/NetSeries.h"
#include "base/Record.h"
#include "protocol/KxMessage.h"
#include "session/CSessionList.h"
#include "session/RequestDispatcher.h"
#include "log/ServerLog.h"

#include <string>
#include <string_view>

class CClientSession;

namespace kx {

// Reads the request's record; false (the request dropped, a line logged) when the payload is
// shorter than the record.
template <class Com>
bool ReadRequestRecord(const KxRequest& request, Com& out) {
    const std::string_view bytes = request.Payload();
    if (kx::ReadRecord(bytes.data(), bytes.size(), out)) return true;
    kx::ServerWarning("request (%d, %d): payload of %zu bytes is shorter than its %zu-byte record",
                      request.Type(), request.SubOp(), bytes.size(), sizeof(Com));
    return false;
}

// A decimal number as the payload's text (blanks around it allowed, ending at the payload's end
// or its first NUL); false for anything else or a value outside int.
bool ParseDecimal(std::string_view text, int& out);
// The request's id as decimal text; false (dropped, logged) when it is not a number.
bool ReadRequestId(const KxRequest& request, int& out);

// An answer packet (flag 0) of the type and sub-operation with the bytes.
NetPacket MakeAnswer(int type, int subOp, const void* bytes = nullptr, size_t n = 0);
template <class Com>
NetPacket MakeRecordAnswer(int type, int subOp, const Com& com) {
    return MakeAnswer(type, subOp, &com, sizeof com);
}

// Sends a list answer to the session: nothing for an empty series, else the series as a reply
// series. Returns 1 when sent (or nothing to send), 0 when the connection refused it.
int SendListAnswer(CClientSession& session, const NetPacketSeries& series);

// The warning line of a request that is dropped: what it was about (`noun`), its type and
// sub-operation, the session's user and why.
void RefuseRequest(const std::string& noun, const KxRequest& request, const char* why);

// The request packet with its payload replaced (type and sub-operation kept), sent to every
// session (that matches `only`, when given) as a reply. False when the bytes do not fit in a
// packet.
bool AnnounceToAll(const KxRequest& request, const void* bytes, size_t n,
                   const CSessionList::Tailor& tailor = {}, const CSessionList::Match& only = {});

} // namespace kx
