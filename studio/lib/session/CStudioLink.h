// CStudioLink: VarniaStudio's one session with the server. It adds to the request builders of
// CServerLink the observer slots of the studio's windows and the handling of every message the
// server sends: each one is checked and decoded on the connection's dispatch thread, then applied
// on the GUI thread (in arrival order) to the core library's lists, after which the windows
// registered in the message type's slots are told, synchronously, with a window message
// (WM_USER, code, id), so they read the fresh lists.
//
// Lifetime: one per program, made before the windows and destroyed after them (tests make their
// own). Registrants are held as QPointer and leave with their windows.
#pragma once

#include "session/CServerLink.h"
#include "session/StudioNotices.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <vector>

class NetMessage;
class NetPacket;
struct CatalogueRow;

class CStudioLink : public CServerLink {
public:
    CStudioLink();
    ~CStudioLink() override;

    // ---- Observers (GUI thread) ----
    // The window joins the slot; a slot may hold several windows, each told in the order it
    // joined. Joining again changes nothing; a destroyed window is skipped and forgotten.
    void Register(StudioSlot slot, QObject* window);
    // The window leaves the slot (a window that ends without leaving is dropped all the same).
    void Unregister(StudioSlot slot, QObject* window);
    // The first live window of the slot, or null.
    QObject* GetRegistrant(StudioSlot slot) const;

    // Tells every live window of the slots, slot by slot, (WM_USER, code, id) and waits for
    // each to handle it. A code of 0 tells nobody.
    void NotifyObservers(std::initializer_list<StudioSlot> slots, int code, int id);
    void NotifyObservers(const StudioSlot* slots, int count, int code, int id);

    // ---- Start-up (GUI thread) ----
    // The lists the studio reads, in order: server record, users, user roles, user groups, file
    // and folder roles, persons, keywords, keyword groups, keyword links, quick keys, folders,
    // query templates, attribute templates, bookmarks, shares, checkouts, online users; then
    // families, family attributes, projects and project data. Stops at the first request that
    // is not queued and returns false.
    bool RequestInitialLists();

    // Messages checked and dropped on arrival (short records, missing pieces, bad ids, ...).
    uint64_t GetDroppedCount() const { return m_nDropped.load(); }

    // The dispatch of one message of flag 0 (the dispatch thread): its type's handler checks
    // and decodes it and queues the change for the GUI thread. Types outside 1..52 and those
    // the studio does not take are ignored.
    int HandleServerMessage(const NetPacket& packet, const NetMessage* message);

    // Used by the handlers: the GUI-thread step of a decoded message, and a dropped message.
    void QueueStep(std::function<void()> step) { Post(std::move(step)); }
    void Drop(const NetPacket& packet, const char* why);

protected:
    // Answers and pushes (flag 0) go to the dispatch; requests (flag 1) are not the studio's.
    void OnReply(NetPacket& packet, NetMessage* message) override { HandleServerMessage(packet, message); }
    void OnRequest(NetPacket&, NetMessage*) override {}
    QWidget* MainWindowToClose() const override;

private:
    // The session's own traffic (log-on, files, recycle bin, checkouts, file lists): types 1,
    // 15 to 19 and 23 to 37. Decoded here, applied to the checkout list and the application's
    // documents on the GUI thread.
    void OnSessionTraffic(const NetPacket& packet, const NetMessage* message);
    void OnFileList(const NetPacket& packet, const NetMessage* message);
    void OnDeleteRecords(const NetPacket& packet, const NetMessage* message);
    void OnFileModified(const NetPacket& packet, const NetMessage* message);
    void OnCheckout(const NetPacket& packet, const NetMessage* message);
    void OnWholeFile(const NetPacket& packet, const NetMessage* message);

    std::array<std::vector<QPointer<QObject>>, kSlotCount> m_slots;
    std::atomic<uint64_t> m_nDropped{0};
};

// The program's one session. main() makes it before the windows, installs it, and uninstalls
// (nullptr) and destroys it after them.
void InstallStudioLink(CStudioLink* link);
// The installed session; ends the program when none is installed (a window made too early).
CStudioLink& TheStudioLink();
