// The studio session's own traffic: the log-on answer, file lists for documents, the recycle
// bin, changed and deleted files, checkouts and whole-file content. Each message is checked and
// decoded here on the dispatch thread; its change runs on the GUI thread, where the checkout
// list, the documents (found by id) and the observer slots live.
#include "session/CStudioLink.h"

#include "app/CvClientApp.h"
#include "app/CvNotification.h"

#include "base/Record.h"
#include "model/CkxContainer.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "transport/NetRead.h"

#include <memory>
#include <optional>
#include <vector>

using namespace kx;

namespace {

// The 72-byte id records at the front of the body; a ragged tail is dropped.
std::vector<CkxFile::_COM_DelFile> ReadDeleteRecords(std::string_view body) {
    std::vector<CkxFile::_COM_DelFile> out(body.size() / sizeof(CkxFile::_COM_DelFile));
    for (size_t i = 0; i < out.size(); ++i) ReadRecordAt(body.data(), body.size(), i, out[i]);
    return out;
}

// Hands the notification to the application's documents (GUI thread).
void Notify(std::unique_ptr<CvNotification> n) {
    if (CvClientApp* app = CvClientApp::Current()) app->PostNotification(std::move(n));
}

CkxCheckoutList& Checkouts() { return KX_KXXXX().m_CheckoutList; }

} // namespace

void CStudioLink::OnSessionTraffic(const NetPacket& packet, const NetMessage* message) {
    const int type = packet.GetType();
    switch (type) {
    case kMsgSession: {
        // Only the answer to our log-on; other users' arrivals and departures are not ours.
        if (packet.GetSubOp() != kSubLogon) return;
        const std::string_view body = NetBody(packet, message);
        const bool readable = body.size() >= 8;
        if (!readable) Drop(packet, "a log-on answer shorter than 8 bytes");
        const int result = readable ? LoadI32(body.data()) : -1;
        const int userId = readable ? LoadI32(body.data() + 4) : -1;
        QueueStep([this, readable, result, userId] { ApplyLoginAnswer(readable, result, userId); });
        return;
    }
    case kMsgRecycleList:
    case kMsgFamilyFiles:
    case kMsgFolderFiles:
    case kMsgProjectFiles:
    case kMsgQueryFiles:
    case kMsgKeywordFilesAll:
    case kMsgKeywordFilesAny:
    case kMsgOperandFiles: return OnFileList(packet, message);
    case kMsgRecycleEmpty:
        QueueStep([] {
            if (CvClientApp* app = CvClientApp::Current()) app->OnRecycleBinEmptied();
        });
        return;
    case kMsgRecyclePurge:
    case kMsgRecycleRestore:
    case kMsgFile: return OnDeleteRecords(packet, message);
    case kMsgRecycleRestoreAll: {
        const int user = static_cast<int32_t>(packet.Header().nReserved);
        QueueStep([this, user] {
            // Another user's bin is not ours.
            if (user != m_nCurUserId) return;
            auto n = std::make_unique<CvNotification>();
            n->code = CvNotification::BIN_ALL_RESTORED;
            Notify(std::move(n));
        });
        return;
    }
    case kMsgCaptureFile: {
        const std::optional<int> id = NetReadIdText(NetBody(packet, message));
        if (!id) return Drop(packet, "the stored capture's id is not decimal text");
        QueueStep([this, id = *id] { NotifyObservers({kSlotCapture}, kNoticeRemoved, id); });
        return;
    }
    case kMsgFileModify: return OnFileModified(packet, message);
    case kMsgCheckoutList:
    case kMsgCheckOut:
    case kMsgCheckIn:
    case kMsgCheckInChanged: return OnCheckout(packet, message);
    case kMsgWholeFile: return OnWholeFile(packet, message);
    default: return;
    }
}

void CStudioLink::OnFileList(const NetPacket& packet, const NetMessage* message) {
    if (!message) return Drop(packet, "a file list that is not a message");
    // Every piece is one file's information; one the core cannot read is skipped.
    std::vector<CkxContainer> files;
    for (int i = 0; i < message->GetPieceCount(); ++i) {
        const std::string_view piece = message->GetPiece(i);
        CkxContainer c;
        if (piece.size() > static_cast<size_t>(INT32_MAX) || !c.PasyBuf(piece.data(), static_cast<int>(piece.size()))) {
            Drop(packet, "a file list piece that is no file container");
            continue;
        }
        files.push_back(std::move(c));
    }
    if (files.empty()) return;
    const int docId = static_cast<int32_t>(message->GetParam());
    QueueStep([docId, files = std::move(files)] {
        if (CvClientApp* app = CvClientApp::Current()) app->InsertFiles(docId, files);
    });
}

void CStudioLink::OnDeleteRecords(const NetPacket& packet, const NetMessage* message) {
    const int type = packet.GetType();
    const int subOp = CanonicalSubOp(packet.GetSubOp());
    // Of type 23 only deletes are the studio's: new files enter documents through file lists.
    if (type == kMsgFile && subOp != kSubDelete) return;
    std::vector<CkxFile::_COM_DelFile> records = ReadDeleteRecords(NetBody(packet, message));
    if (records.empty()) return;
    QueueStep([this, type, records = std::move(records)] {
        auto n = std::make_unique<CvNotification>();
        n->ids = records;
        if (type == kMsgFile) {
            n->code = CvNotification::REMOVE_FILES;
            for (const auto& r : records) {
                Checkouts().Delete(static_cast<int>(r.nID));
                NotifyObservers({kSlotCheckouts}, kNoticeRemoved, static_cast<int>(r.nID));
            }
        } else {
            n->code = type == kMsgRecyclePurge ? CvNotification::BIN_PURGED : CvNotification::BIN_RESTORED;
        }
        Notify(std::move(n));
    });
}

void CStudioLink::OnFileModified(const NetPacket& packet, const NetMessage* message) {
    if (!message || message->GetPieceCount() < 3) return Drop(packet, "a changed file without its three pieces");
    const std::string_view base = message->GetPiece(0);
    auto n = std::make_shared<CvNotification>();
    n->code = CvNotification::UPDATE_FILE;
    if (!n->file.CreateObj(base.data(), static_cast<int>(base.size()))) return Drop(packet, "a changed file whose record does not read");
    const std::string_view exattr = message->GetPiece(1), rights = message->GetPiece(2);
    n->file.GetObj()->PasyExattr(exattr.data(), static_cast<int>(exattr.size()));
    n->file.GetObj()->PasyPower(rights.data(), static_cast<int>(rights.size()));
    QueueStep([n] {
        // A checkout keeps the title and the extension apart: the title alone is renamed.
        Checkouts().UpdateFileTitle(static_cast<unsigned long>(n->file.GetID()), n->file.GetObj()->m_strTitle);
        auto copy = std::make_unique<CvNotification>(*n);
        Notify(std::move(copy));
    });
}

void CStudioLink::OnCheckout(const NetPacket& packet, const NetMessage* message) {
    const int type = packet.GetType();
    const auto com = NetReadCom<CkxCheckout::_COM>(NetBody(packet, message));
    if (!com) return Drop(packet, "a checkout record shorter than 136 bytes");
    const CkxCheckout rec(*com);
    const bool first = NetIsFirstEntry(packet), last = NetIsLastEntry(packet);
    QueueStep([this, type, rec, first, last] {
        const int fileId = rec.m_nFileID;
        const bool mine = rec.m_nUserID == m_nCurUserId;
        switch (type) {
        case kMsgCheckoutList:
            if (first) Checkouts().DeleteAll();
            Checkouts().AddTail(rec);
            if (last) NotifyObservers({kSlotCheckouts}, kNoticeReload, 0);
            return;
        case kMsgCheckOut: {
            Checkouts().AddTail(rec);
            if (mine) NotifyObservers({kSlotCheckouts}, kNoticeAdded, fileId);
            auto n = std::make_unique<CvNotification>();
            n->code = CvNotification::CHECKED_OUT;
            n->checkout = rec;
            Notify(std::move(n));
            return;
        }
        default: {
            // The answer names who checked in: an administrator may end this user's checkout
            // from another workstation, and the checkout window must still hear of it.
            CkxCheckout held;
            const bool wasMine = Checkouts().Find(fileId, held) && held.m_nUserID == m_nCurUserId;
            Checkouts().Delete(fileId);
            if (mine || wasMine) NotifyObservers({kSlotCheckouts}, kNoticeRemoved, fileId);
            // The documents drop the mark (and, for new content, the copy they fetched).
            auto n = std::make_unique<CvNotification>();
            n->code = CvNotification::CHECKED_IN;
            n->checkout = rec;
            n->changed = type == kMsgCheckInChanged;
            Notify(std::move(n));
            return;
        }
        }
    });
}

void CStudioLink::OnWholeFile(const NetPacket& packet, const NetMessage* message) {
    if (!message || message->GetPieceCount() < 2) return Drop(packet, "whole content without its two pieces");
    const std::string_view record = message->GetPiece(0);
    auto file = std::make_shared<CkxFileX>();
    if (!file->CreateObj(record.data(), static_cast<int>(record.size())))
        return Drop(packet, "whole content whose file record does not read");
    const std::string_view content = message->GetPiece(1);
    auto bytes = std::make_shared<std::string>(content);
    const int docId = static_cast<int32_t>(message->GetParam());
    QueueStep([docId, file, bytes] {
        if (CvClientApp* app = CvClientApp::Current()) app->OnWholeFile(docId, file->GetID(), *file->GetObj(), *bytes);
    });
}
