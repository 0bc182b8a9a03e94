#include "session/CStudioLink.h"

#include "session/CatalogueRows.h"

#include "protocol/KxMessage.h"
#include "qt/KxGuiThread.h"
#include "qt/KxWindowMessage.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"

#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace kx;

namespace {

CStudioLink* g_installed = nullptr;

// The session's own traffic: log-on and session events, the recycle bin, file records,
// checkouts and file lists.
bool IsSessionTraffic(int type) {
    return type == kMsgSession || (type >= kMsgRecycleList && type <= kMsgRecycleRestoreAll) ||
           (type >= kMsgFile && type <= kMsgOperandFiles);
}

} // namespace

CStudioLink::CStudioLink() = default;

CStudioLink::~CStudioLink() {
    // The dispatch thread calls this object's handlers: it ends before the slots do.
    StopAndClose();
}

// ---- Observers ----

void CStudioLink::Register(StudioSlot slot, QObject* window) {
    AssertGuiThread();
    if (!window || slot < 0 || slot >= kSlotCount) return;
    auto& registrants = m_slots[static_cast<size_t>(slot)];
    std::erase_if(registrants, [](const QPointer<QObject>& w) { return w.isNull(); });
    if (std::find(registrants.begin(), registrants.end(), window) == registrants.end())
        registrants.emplace_back(window);
}

void CStudioLink::Unregister(StudioSlot slot, QObject* window) {
    AssertGuiThread();
    if (slot < 0 || slot >= kSlotCount) return;
    std::erase_if(m_slots[static_cast<size_t>(slot)],
                  [window](const QPointer<QObject>& w) { return w.isNull() || w == window; });
}

QObject* CStudioLink::GetRegistrant(StudioSlot slot) const {
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    for (const QPointer<QObject>& w : m_slots[static_cast<size_t>(slot)])
        if (!w.isNull()) return w.data();
    return nullptr;
}

QWidget* CStudioLink::MainWindowToClose() const {
    return qobject_cast<QWidget*>(GetRegistrant(kSlotMainWindow));
}

void CStudioLink::NotifyObservers(std::initializer_list<StudioSlot> slots, int code, int id) {
    NotifyObservers(slots.begin(), static_cast<int>(slots.size()), code, id);
}

void CStudioLink::NotifyObservers(const StudioSlot* slots, int count, int code, int id) {
    AssertGuiThread();
    if (code == 0) return;
    for (int i = 0; i < count; ++i) {
        if (slots[i] < 0 || slots[i] >= kSlotCount) continue;
        // A window may join, leave or close while it is told: tell a copy, skipping the gone.
        const std::vector<QPointer<QObject>> registrants = m_slots[static_cast<size_t>(slots[i])];
        for (const QPointer<QObject>& w : registrants)
            if (!w.isNull()) kx::SendMessage(w.data(), kx::WM_USER, static_cast<WPARAM>(code), id);
    }
}

// ---- Start-up ----

bool CStudioLink::RequestInitialLists() {
    using Request = int (CServerLink::*)();
    static constexpr Request kOrder[] = {
        &CServerLink::SendServerRecordRequest,  &CServerLink::SendUserListRequest,
        &CServerLink::SendUserRoleListRequest,  &CServerLink::SendUserGroupListRequest,
        &CServerLink::SendFileRoleListRequest,  &CServerLink::SendFolderRoleListRequest,
        &CServerLink::SendPersonListRequest,    &CServerLink::SendKeywordListRequest,
        &CServerLink::SendKeywordGroupListRequest, &CServerLink::SendKeywordLinkListRequest,
        &CServerLink::SendQuickKeyListRequest,  &CServerLink::SendFolderListRequest,
        &CServerLink::SendQueryTempletListRequest, &CServerLink::SendObjAttrTempletListRequest,
        &CServerLink::SendDataTagListRequest,   &CServerLink::SendDataShareListRequest,
        &CServerLink::SendCheckedOutListRequest,  &CServerLink::SendOnlineUserListRequest,
        // The dialogs, panes and the information bar read these too.
        &CServerLink::SendFamilyListRequest,    &CServerLink::SendFamilyAttrListRequest,
        &CServerLink::SendProjectListRequest,   &CServerLink::SendProjectDataListRequest,
    };
    for (Request request : kOrder)
        if ((this->*request)() <= 0) return false;
    return true;
}

// ---- Dispatch ----

void CStudioLink::Drop(const NetPacket& packet, const char* why) {
    m_nDropped.fetch_add(1);
    std::fprintf(stderr, "studio: message (%d, %d) dropped: %s\n", packet.GetType(), packet.GetSubOp(), why);
}

int CStudioLink::HandleServerMessage(const NetPacket& packet, const NetMessage* message) {
    const int type = packet.GetType();
    if (type < kMsgTypeFirst || type > kMsgTypeLast) return 0;
    if (IsSessionTraffic(type)) {
        OnSessionTraffic(packet, message);
        return 1;
    }
    const CatalogueRow* row = FindCatalogueRow(type);
    if (!row) return 0;
    row->handle(*this, *row, packet, message);
    return 1;
}

// ---- The program's one session ----

void InstallStudioLink(CStudioLink* link) { g_installed = link; }

CStudioLink& TheStudioLink() {
    if (!g_installed) {
        std::fprintf(stderr, "studio: the server session is used before it was made\n");
        std::abort();
    }
    return *g_installed;
}
