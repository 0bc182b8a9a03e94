// The list / add / modify / delete pattern for entities whose add and modify travel as a
// multi-part message: the record in piece 0 and a buffer of its own in piece 1 (constants,
// keyword ids, a member list, a saved search, attribute values). It follows the rules of the
// packet pattern in EntityService.h and uses it for the delete, which is a plain packet:
//   20 list:   one message per entry, pieces [record, buffer], as a message series to the
//              requester (or as single reply messages); nothing for an empty or unreadable list.
//   21 add:    the stored record (with its new id) in place of piece 0, the other pieces as
//              they came; 22 modify: the request's pieces as they came. Both only after the
//              database write succeeded, then memory, one log line, the answer.
//   23 delete: the packet pattern (id as decimal text, warning log line, the request back).
// A request that did not come as a message, lacks its record or (where required) its buffer,
// or whose buffer does not read, is dropped with a warning; so is a failed write.
#pragma once

#include "service/EntityService.h"
#include "transport/NetMessage.h"
#include "transport/NetSeries.h"

#include <string>
#include <string_view>
#include <vector>

template <class T>
struct KxRecordMessageSpec {
    using Com = typename T::_COM;

    int type = 0;
    uint8_t logCategory = KXLOG_CAT_OTHER;
    std::string noun = "record";

    // The entries of a list answer; the count, or -1 when they cannot be read.
    std::function<int(KxRequest& request, std::vector<T>& out)> list;
    // Piece 1 of an entry in a list answer (and of add and modify answers when rewriteBuffer).
    std::function<std::string(const T& rec)> buffer;
    // False: each entry of a list answer is a reply message of its own, without a series.
    bool listAsSeries = true;

    // Reads piece 1 into the record; false refuses the request. Empty: the buffer is only
    // passed to the writes.
    std::function<bool(T& rec, std::string_view bytes)> readBuffer;
    // An add or modify without piece 1 is dropped.
    bool bufferRequired = false;
    // Sets what the server decides rather than the request (the creator, ...).
    std::function<void(const KxRequest& request, T& rec)> prepare;

    // Database writes with the request's buffer; 1 or 0. insert puts the new id into the record.
    std::function<int(CADODatabase& db, T& rec, std::string_view buffer)> insert;
    std::function<int(CADODatabase& db, T& rec, std::string_view buffer)> update;
    std::function<int(CADODatabase& db, int id)> remove;

    std::function<void(const T& rec)> memoryAdd;
    std::function<void(const T& rec)> memoryUpdate;
    std::function<void(int id)> memoryDelete;

    // The action text of the log line; a delete's record carries only the id.
    std::function<std::string(int subOp, const T& rec)> logAction;

    // Add and modify answers carry the stored record in piece 0 and `buffer` in piece 1 (the
    // writes changed both).
    bool rewriteBuffer = false;
    // Answers go to the requester alone instead of every session.
    bool announceToRequesterOnly = false;
};

namespace kx {

template <class T>
class RecordMessageRequest {
public:
    using Com = typename T::_COM;

    RecordMessageRequest(const KxRecordMessageSpec<T>& spec, KxRequest& request)
        : m_spec(spec), m_req(request) {}

    void Run() {
        switch (m_req.SubOp()) {
        case kSubList: List(); break;
        case kSubAdd: Write(true); break;
        case kSubModify: Write(false); break;
        case kSubDelete: Delete(); break;
        default: break;
        }
    }

private:
    void List() {
        if (!m_spec.list) return;
        std::vector<T> records;
        const int n = m_spec.list(m_req, records);
        if (n < 0) Refuse("its list could not be read");
        if (n <= 0) return;
        NetMessageSeries series(m_spec.type, kSubList);
        for (const T& r : records) {
            NetMessage m = EntryMessage(r);
            if (m_spec.listAsSeries)
                series.Add(std::move(m));
            else
                m_req.session.SendReplyMessage(m);
        }
        if (m_spec.listAsSeries) m_req.session.SendReplyMessageSeries(series);
    }

    NetMessage EntryMessage(const T& r) const {
        NetMessage m;
        m.SetCommand(m_spec.type, kSubList);
        const Com com = r.GetComData();
        m.AppendData(&com, sizeof com);
        m.AppendData(m_spec.buffer ? m_spec.buffer(r) : std::string());
        return m;
    }

    void Write(bool add) {
        if (!(add ? m_spec.insert : m_spec.update)) return;
        if (!m_req.message) {
            Refuse("it did not come as a message");
            return;
        }
        T rec;
        Com com;
        if (!ReadRequestRecord(m_req, com)) return;
        rec.SetComData(com);
        const bool hasBuffer = m_req.message->GetPieceCount() > 1;
        if (!hasBuffer && m_spec.bufferRequired) {
            Refuse("its second piece is missing");
            return;
        }
        const std::string_view buffer = hasBuffer ? m_req.message->GetPiece(1) : std::string_view();
        if (hasBuffer && m_spec.readBuffer && !m_spec.readBuffer(rec, buffer)) {
            Refuse("its second piece does not read");
            return;
        }
        if (m_spec.prepare) m_spec.prepare(m_req, rec);
        if (!(add ? m_spec.insert : m_spec.update)(m_req.db, rec, buffer)) {
            Refuse(add ? "the database refused the new record" : "the database refused the change");
            return;
        }
        const auto& memory = add ? m_spec.memoryAdd : m_spec.memoryUpdate;
        if (memory) memory(rec);
        if (m_spec.logAction) {
            const std::string action = m_spec.logAction(m_req.SubOp(), rec);
            if (!action.empty()) LogRequest(m_req, action, m_spec.logCategory);
        }
        Send(Answer(rec, add || m_spec.rewriteBuffer));
    }

    // The request's pieces with piece 0 (and piece 1 where the writes changed it) taken from
    // the stored record.
    NetMessage Answer(const T& rec, bool rewriteRecord) const {
        NetMessage m;
        m.SetCommand(m_req.Type(), m_req.SubOp());
        m.SetParam(m_req.message->GetParam());
        const Com com = rec.GetComData();
        for (int i = 0; i < m_req.message->GetPieceCount(); ++i) {
            if (i == 0 && rewriteRecord)
                m.AppendData(&com, sizeof com);
            else if (i == 1 && m_spec.rewriteBuffer && m_spec.buffer)
                m.AppendData(m_spec.buffer(rec));
            else
                m.AppendData(m_req.message->GetPiece(i));
        }
        return m;
    }

    void Send(const NetMessage& m) {
        if (m_spec.announceToRequesterOnly)
            m_req.session.SendReplyMessage(m);
        else
            m_req.Sessions().SendMessageToAll(m);
    }

    // The delete is a plain packet: the packet pattern with this entity's delete.
    void Delete() {
        if (!m_spec.remove) return;
        KxEntitySpec<T> spec;
        spec.type = m_spec.type;
        spec.noun = m_spec.noun;
        spec.logCategory = m_spec.logCategory;
        const auto remove = m_spec.remove;
        spec.remove = [remove](CADODatabase& db, int id) { return remove(db, id); };
        spec.memoryDelete = m_spec.memoryDelete;
        spec.logAction = m_spec.logAction;
        spec.announceToRequesterOnly = m_spec.announceToRequesterOnly;
        HandleEntityRequest(spec, m_req);
    }

    void Refuse(const char* why) { RefuseRequest(m_spec.noun, m_req, why); }

    const KxRecordMessageSpec<T>& m_spec;
    KxRequest& m_req;
};

template <class T>
void HandleRecordMessageRequest(const KxRecordMessageSpec<T>& spec, KxRequest& request) {
    RecordMessageRequest<T>(spec, request).Run();
}

} // namespace kx
