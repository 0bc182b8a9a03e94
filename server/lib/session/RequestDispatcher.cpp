#include "session/RequestDispatcher.h"

#include "data/CDataManager.h"
#include "log/ServerLog.h"
#include "protocol/KxMessage.h"
#include "session/CListenServer.h"
#include "session/CServerSession.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"

#include <mutex>

int KxRequest::Type() const { return packet.GetType(); }

int KxRequest::SubOp() const { return packet.GetSubOp(); }

std::string_view KxRequest::Payload() const {
    if (message) return message->GetPiece(0);
    return std::string_view(reinterpret_cast<const char*>(packet.GetData()),
                            static_cast<size_t>(packet.GetDataLength()));
}

CListenServer& KxRequest::Server() const { return *session.GetOwner(); }

void KxRequest::KeepOnlyMemory() {
    if (!sharedCatalogue || !sharedCatalogue->owns_lock()) return;
    // In the order every holder of both takes them: the catalogue first.
    sharedMemory = std::shared_lock(data.MemoryMutex());
    sharedCatalogue->unlock();
}

CSessionList& KxRequest::Sessions() const { return Server().Sessions(); }

CRequestDispatcher::CRequestDispatcher(std::span<const KxRequestRow> rows) {
    int expected = kFirstType;
    for (const KxRequestRow& row : rows) {
        if (row.type != expected) {
            kx::ServerWarning("request table: row of type %d out of place (expected %d)", row.type,
                              expected);
            continue;
        }
        ++expected;
        if (!row.handler) continue;
        m_entries[row.type] = {row.handler, row.locking, row.needs, row.allowed, true};
    }
}

bool CRequestDispatcher::HasHandler(int type) const {
    if (type < kFirstType || type > kLastType) return false;
    std::shared_lock lock(m_mutex);
    return static_cast<bool>(m_entries[type].handler);
}

CRequestDispatcher::Entry CRequestDispatcher::Swap(int type, Entry entry) {
    if (type < kFirstType || type > kLastType) return {};
    std::unique_lock lock(m_mutex);
    if (!m_entries[type].served) return {};
    entry.served = true;
    std::swap(m_entries[type], entry);
    return entry;
}

bool CRequestDispatcher::Dispatch(CServerSession& session, NetPacket& packet, NetMessage* message) {
    const int type = packet.GetType();
    if (type < kFirstType || type > kLastType) return false;
    if (session.IsEnding()) return false;
    Entry entry;
    {
        std::shared_lock lock(m_mutex);
        entry = m_entries[type];
    }
    if (!entry.handler) return false;
    const bool logOnRequest = entry.needs == KxRequestRow::Needs::LogOnRequest &&
                              packet.GetSubOp() == kx::kSubLogon;
    if (!session.IsLoggedOn() && !logOnRequest) {
        kx::ServerInfo("request (%d, %d) before log-on dropped", type, packet.GetSubOp());
        return false;
    }
    CListenServer* owner = session.GetOwner();
    CDataManager* data = session.GetDataManager();
    if (!owner || !data) return false;

    KxRequest request{session, packet, message, *data, data->GetDatabase()};
    const auto run = [&] {
        if (entry.allowed && !entry.allowed(request)) return false;
        entry.handler(request);
        return true;
    };
    if (entry.locking == Locking::MemoryForList && packet.GetSubOp() == kx::kSubList) {
        std::shared_lock lock(data->MemoryMutex());
        return run();
    }
    const bool shared = entry.locking == Locking::Shared ||
                        (entry.locking == Locking::SharedForList && packet.GetSubOp() == kx::kSubList);
    if (shared) {
        std::shared_lock lock(data->CatalogueMutex());
        request.sharedCatalogue = &lock;
        const bool ran = run();
        request.sharedCatalogue = nullptr;
        return ran;
    }
    const bool unlocked = entry.locking == Locking::None ||
                          (entry.locking == Locking::AloneButAdd && packet.GetSubOp() == kx::kSubAdd);
    if (!unlocked) {
        KxCatalogueWriter lock(*data);
        return run();
    }
    return run();
}
