// The list / add / modify / delete pattern that every entity service shares (sub-operations 20
// to 23 of its message type). A service describes its entity once in a KxEntitySpec (how the
// list is read, how the database is written, which in-memory list follows, the log texts, who
// hears of a change); the request table serves its type with that description.
//
// What the pattern guarantees for every entity:
//   20 list:   one packet per entry (type T, sub-operation 20, flag 0) as a packet series to the
//              requester; nothing at all for an empty list.
//   21 add, 22 modify, 23 delete: the payload is checked against the record size (a delete's id
//              must be a decimal number) before it is read; the database is written first; only
//              when that succeeded is memory updated, one log line written (a warning for a
//              delete) and the stored record (for an add with its new id; for a delete the
//              request's own payload) sent with the request's type and sub-operation to every
//              session, the requester included (or to the requester alone where the entity
//              says so). A refused check, an unknown id or a failed write sends nothing, logs a
//              warning and leaves memory as it was.
#pragma once

#include "db/AdoDatabase.h"
#include "service/OperationLog.h"
#include "service/RequestIO.h"
#include "session/CServerSession.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

template <class T>
struct KxEntitySpec {
    using Com = typename T::_COM;

    int type = 0;
    uint8_t logCategory = KXLOG_CAT_OTHER;
    // For warnings: what the entity is called ("keyword", ...).
    std::string noun = "record";

    // The entries of a list answer in order, read from memory or from the database; the count,
    // or -1 when they cannot be read. Empty: the type answers no list.
    std::function<int(CADODatabase& db, std::vector<T>& out)> list;

    // Database writes. insert stores the record and puts its new id into it; 1 or 0. update and
    // remove: 1 or 0. An empty function refuses that sub-operation.
    std::function<int(CADODatabase& db, T& rec)> insert;
    std::function<int(CADODatabase& db, const T& rec)> update;
    std::function<int(CADODatabase& db, int id)> remove;

    // The stored record of an id; false when there is none (modify and delete are then refused).
    // Empty: ids are not checked before the write.
    std::function<bool(CADODatabase& db, int id, T& out)> find;

    // The in-memory catalogue; empty functions for an entity the server keeps only in the
    // database.
    std::function<void(const T& rec)> memoryAdd;
    std::function<void(const T& rec)> memoryUpdate;
    std::function<void(int id)> memoryDelete;

    // Checks before any write; false (with the reason) refuses the request.
    std::function<bool(int subOp, const T& rec, std::string& why)> check;

    // The action text of the log line ("添加关键字<name>"); empty: no line for that action. For
    // a delete `rec` is the stored record when `find` is set, else a record with only the id.
    std::function<std::string(int subOp, const T& rec)> logAction;
    // Which sub-operations log at the warning level; empty: deletes do, adds and modifies don't.
    std::function<bool(int subOp)> logAsWarning;

    // Where the change goes: every session (default) or the requester alone.
    bool announceToRequesterOnly = false;
    // Changes a recipient's copy of a record, in list answers and announcements (for example
    // clearing what that recipient may not see).
    std::function<void(const CClientSession& to, Com& com)> tailor;
    // The delete request carries the whole record instead of the id as decimal text.
    bool deleteCarriesRecord = false;
};

namespace kx {

// Sets list, find and the three memory functions from an in-memory record list (a
// CkxRecordList or anything with ForEach, Find, AddTail, Update and Delete by id). `get` is
// called each time, under the catalogue mutex.
template <class T, class GetList>
void UseMemoryList(KxEntitySpec<T>& spec, GetList get) {
    spec.list = [get](CADODatabase&, std::vector<T>& out) {
        get().ForEach([&](const T& r) { out.push_back(r); });
        return static_cast<int>(out.size());
    };
    spec.find = [get](CADODatabase&, int id, T& out) {
        const T* r = get().Find(id);
        if (!r) return false;
        out = *r;
        return true;
    };
    spec.memoryAdd = [get](const T& r) { get().AddTail(r); };
    spec.memoryUpdate = [get](const T& r) { get().Update(r); };
    spec.memoryDelete = [get](int id) { get().Delete(id); };
}

template <class T>
class EntityRequest {
public:
    using Com = typename T::_COM;

    EntityRequest(const KxEntitySpec<T>& spec, KxRequest& request) : m_spec(spec), m_req(request) {}

    void Run() {
        switch (m_req.SubOp()) {
        case kSubList: List(); break;
        case kSubAdd: Add(); break;
        case kSubModify: Modify(); break;
        case kSubDelete: Delete(); break;
        default: break;
        }
    }

private:
    void List() {
        if (!m_spec.list) return;
        std::vector<T> records;
        if (m_spec.list(m_req.db, records) < 0) {
            Refuse("its list could not be read");
            return;
        }
        NetPacketSeries series(m_spec.type, kSubList, 0);
        for (const T& r : records) {
            Com com = r.GetComData();
            if (m_spec.tailor) m_spec.tailor(m_req.session, com);
            series.AddBytes(&com, sizeof com);
        }
        SendListAnswer(m_req.session, series);
    }

    void Add() {
        T rec;
        if (!m_spec.insert || !ReadRecord(rec) || !Check(rec)) return;
        if (!m_spec.insert(m_req.db, rec)) {
            Refuse("the database refused the new record");
            return;
        }
        if (m_spec.memoryAdd) m_spec.memoryAdd(rec);
        Log(rec, false);
        Announce(rec);
    }

    void Modify() {
        T rec;
        if (!m_spec.update || !ReadRecord(rec) || !Known(rec.GetID()) || !Check(rec)) return;
        if (!m_spec.update(m_req.db, rec)) {
            Refuse("the database refused the change");
            return;
        }
        if (m_spec.memoryUpdate) m_spec.memoryUpdate(rec);
        Log(rec, false);
        Announce(rec);
    }

    void Delete() {
        if (!m_spec.remove) return;
        T rec;
        int id = -1;
        if (m_spec.deleteCarriesRecord) {
            if (!ReadRecord(rec)) return;
            id = rec.GetID();
        } else {
            if (!ReadRequestId(m_req, id)) return;
            rec = IdOnly(id);
        }
        if (m_spec.find) {
            if (!m_spec.find(m_req.db, id, rec)) {
                Refuse("no record has the id");
                return;
            }
        }
        if (!Check(rec)) return;
        if (!m_spec.remove(m_req.db, id)) {
            Refuse("the database refused the delete");
            return;
        }
        if (m_spec.memoryDelete) m_spec.memoryDelete(id);
        Log(rec, true);
        // The request goes back as it came: the id (or record) the clients delete by.
        const std::string_view payload = m_req.Payload();
        Send(payload.data(), payload.size(), false);
    }

    bool ReadRecord(T& rec) {
        Com com;
        if (!ReadRequestRecord(m_req, com)) return false;
        rec.SetComData(com);
        return true;
    }

    bool Known(int id) {
        if (!m_spec.find) return true;
        T stored;
        if (m_spec.find(m_req.db, id, stored)) return true;
        Refuse("no record has the id");
        return false;
    }

    bool Check(const T& rec) {
        if (!m_spec.check) return true;
        std::string why;
        if (m_spec.check(m_req.SubOp(), rec, why)) return true;
        Refuse(why.c_str());
        return false;
    }

    void Log(const T& rec, bool warning) {
        if (!m_spec.logAction) return;
        const std::string action = m_spec.logAction(m_req.SubOp(), rec);
        if (m_spec.logAsWarning) warning = m_spec.logAsWarning(m_req.SubOp());
        if (!action.empty()) LogRequest(m_req, action, m_spec.logCategory, warning);
    }

    void Announce(const T& rec) {
        const Com com = rec.GetComData();
        Send(&com, sizeof com, static_cast<bool>(m_spec.tailor));
    }

    void Send(const void* bytes, size_t n, bool tailored) {
        CSessionList::Tailor tailor;
        if (tailored) {
            const auto& spec = m_spec;
            tailor = [&spec](const CClientSession& to, NetPacket& copy) {
                Com com;
                if (!copy.CopyData(&com, sizeof com)) return;
                spec.tailor(to, com);
                copy.SetData(&com, sizeof com);
            };
        }
        if (!m_spec.announceToRequesterOnly) {
            AnnounceToAll(m_req, bytes, n, tailor);
            return;
        }
        NetPacket answer = MakeAnswer(m_req.Type(), m_req.SubOp(), bytes, n);
        answer.SetParam(m_req.packet.GetParam());
        if (tailor) tailor(m_req.session, answer);
        m_req.session.SendReply(answer);
    }

    void Refuse(const char* why) { RefuseRequest(m_spec.noun, m_req, why); }

    // A record that carries only the id (for records whose id is their field nID).
    static T IdOnly(int id) {
        if constexpr (requires(Com c) { c.nID = id; }) {
            Com com = ZeroRecord<Com>();
            com.nID = id;
            T rec;
            rec.SetComData(com);
            return rec;
        } else {
            return T();
        }
    }

    const KxEntitySpec<T>& m_spec;
    KxRequest& m_req;
};

// Runs the pattern for one request.
template <class T>
void HandleEntityRequest(const KxEntitySpec<T>& spec, KxRequest& request) {
    EntityRequest<T>(spec, request).Run();
}

} // namespace kx
