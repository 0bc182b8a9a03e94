#include "session/RequestDispatcher.h"

#include "data/CDataManager.h"
#include "session/CListenServer.h"
#include "session/CServerSession.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "session/ServerLog.h"

#include <mutex>

int KxRequest::Type() const { return packet.GetType(); }

int KxRequest::SubOp() const { return packet.GetSubOp(); }

std::string_view KxRequest::Payload() const {
    if (message) return message->GetPiece(0);
    return std::string_view(reinterpret_cast<const char*>(packet.GetData()),
                            static_cast<size_t>(packet.GetDataLength()));
}

CListenServer& KxRequest::Server() const { return *session.GetOwner(); }

CSessionList& KxRequest::Sessions() const { return Server().Sessions(); }

CRequestDispatcher& CRequestDispatcher::Table() {
    static CRequestDispatcher table;
    return table;
}

bool CRequestDispatcher::IsServedType(int type) {
    if (type < kFirstType || type > kLastType) return false;
    return type != 2 && type != 8 && type != 9 && type != 46;
}

bool CRequestDispatcher::Register(int type, KxRequestHandler handler, Locking locking) {
    if (!IsServedType(type) || !handler) return false;
    std::unique_lock lock(m_mutex);
    if (m_entries[type].handler) {
        kx::ServerWarning("a second handler for message type %d was refused", type);
        return false;
    }
    m_entries[type] = {std::move(handler), locking};
    return true;
}

CRequestDispatcher::Entry CRequestDispatcher::Swap(int type, Entry entry) {
    if (!IsServedType(type)) return {};
    std::unique_lock lock(m_mutex);
    std::swap(m_entries[type], entry);
    return entry;
}

bool CRequestDispatcher::HasHandler(int type) const {
    if (!IsServedType(type)) return false;
    std::shared_lock lock(m_mutex);
    return static_cast<bool>(m_entries[type].handler);
}

bool CRequestDispatcher::Dispatch(CServerSession& session, NetPacket& packet, NetMessage* message) {
    const int type = packet.GetType();
    if (!IsServedType(type)) return false;
    if (session.IsEnding()) return false;
    if (!session.IsLoggedOn() && !(type == 1 && packet.GetSubOp() == 10)) {
        kx::ServerInfo("request (%d, %d) before log-on dropped", type, packet.GetSubOp());
        return false;
    }
    Entry entry;
    {
        std::shared_lock lock(m_mutex);
        entry = m_entries[type];
    }
    if (!entry.handler) return false;
    CListenServer* owner = session.GetOwner();
    if (!owner) return false;

    CDataManager* data = session.GetDataManager();
    KxRequest request{session, packet, message, data ? &data->GetDatabase() : nullptr};
    if (entry.locking == Locking::Catalogue) {
        std::lock_guard lock(owner->CatalogueMutex());
        entry.handler(request);
    } else {
        entry.handler(request);
    }
    return true;
}
