#include "service/KeywordService.h"

#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxXXX.h"
#include "service/RecordMessageService.h"
#include "service/RequestRights.h"
#include "table/KeywordTables.h"

namespace kx {
namespace {

// Keywords and groups are answered from the table; the server's own lists keep what it loaded
// at start.
template <class T, class List>
KxEntitySpec<T> TableSpec(int type, const char* noun, int (*load)(CADODatabase&, List&),
                          int (*insert)(CADODatabase&, T&), int (*update)(CADODatabase&, const T&),
                          int (*remove)(CADODatabase&, int), std::string what) {
    KxEntitySpec<T> s;
    s.type = type;
    s.noun = noun;
    s.logCategory = KXLOG_CAT_FILEADMIN;
    s.list = [load](CADODatabase& db, std::vector<T>& out) {
        List list;
        const int n = load(db, list);
        list.ForEach([&](const T& r) { out.push_back(r); });
        return n;
    };
    s.insert = [insert](CADODatabase& db, T& r) { return insert(db, r); };
    s.update = [update](CADODatabase& db, const T& r) { return update(db, r); };
    s.remove = [remove](CADODatabase& db, int id) { return remove(db, id); };
    s.logAction = [what](int subOp, const T& r) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加" + what + "<" + r.m_strName + ">";
        case kSubModify: return "修改" + what + "<" + r.m_strName + ">";
        default: return "删除" + what;
        }
    };
    return s;
}

KxRecordMessageSpec<CkxKeywordTemplet> TempletSpec() {
    KxRecordMessageSpec<CkxKeywordTemplet> s;
    s.type = kMsgKeywordTemplet;
    s.noun = "keyword template";
    s.logCategory = KXLOG_CAT_FILEADMIN;
    s.list = [](KxRequest& r, std::vector<CkxKeywordTemplet>& out) {
        CkxKeywordTempletList list;
        const int n = KeywordTempletTable::LoadAll(r.db, list);
        list.ForEach([&](const CkxKeywordTemplet& t) { out.push_back(t); });
        return n;
    };
    s.buffer = [](const CkxKeywordTemplet& t) {
        CkxBuf buf;
        t.PackBuf(buf);
        return std::string(buf.View());
    };
    s.readBuffer = [](CkxKeywordTemplet& t, std::string_view bytes) {
        if (bytes.size() % sizeof(int32_t) != 0) return false;
        t.m_listKeyword.clear();
        if (!bytes.empty()) t.PasyBuf(bytes.data(), static_cast<int>(bytes.size()));
        return true;
    };
    s.insert = [](CADODatabase& db, CkxKeywordTemplet& t, std::string_view) { return KeywordTempletTable::Insert(db, t); };
    s.update = [](CADODatabase& db, CkxKeywordTemplet& t, std::string_view) { return KeywordTempletTable::Update(db, t); };
    s.remove = KeywordTempletTable::Delete;
    s.logAction = [](int subOp, const CkxKeywordTemplet& t) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加关键字模板<" + t.m_strName + ">";
        case kSubModify: return "修改关键字模板<" + t.m_strName + ">";
        default: return "删除关键字模板";
        }
    };
    return s;
}

void ListLinks(KxRequest& request) {
    NetPacketSeries series(kMsgKeywordLink, kSubList, 0);
    KX_KXXXX().m_KeywordLinkList.ForEach([&](const CkxKeywordLink& l) {
        const CkxKeywordLink::_COM com = l.GetComData();
        series.AddBytes(&com, sizeof com);
    });
    SendListAnswer(request.session, series);
}

// Sets the keywords of the file named by the message's parameter: every piece is one link of
// that file; no pieces removes them all. The table and memory change together or not at all.
void SetFileLinks(KxRequest& request) {
    if (!request.message) return;
    const int fileId = static_cast<int32_t>(request.message->GetParam());
    CkxKeywordLinkList links;
    for (int i = 0; i < request.message->GetPieceCount(); ++i) {
        const std::string_view piece = request.message->GetPiece(i);
        CkxKeywordLink::_COM com;
        if (!ReadRecord(piece.data(), piece.size(), com)) {
            ServerWarning("keyword links of file %d from user %d dropped: piece %d is %zu bytes", fileId,
                          request.session.GetUserID(), i, piece.size());
            return;
        }
        CkxKeywordLink link(com);
        link.m_nFileID = fileId; // the request replaces this file's links only
        links.AddTail(link);
    }
    if (!KeywordLinkTable::SetFileLinks(request.db, fileId, links)) {
        ServerWarning("keyword links of file %d from user %d dropped: the database refused them", fileId,
                      request.session.GetUserID());
        return;
    }
    KX_KXXXX().m_KeywordLinkList.Set(fileId, links);
    NetMessage answer;
    answer.SetCommand(request.Type(), request.SubOp());
    answer.SetParam(request.message->GetParam());
    links.ForEach([&](const CkxKeywordLink& l) {
        const CkxKeywordLink::_COM com = l.GetComData();
        answer.AppendData(&com, sizeof com);
    });
    LogRequest(request, "绑定关键字", KXLOG_CAT_FILEADMIN);
    request.Sessions().SendMessageToAll(answer, FileReaders(request, fileId));
}

} // namespace

void HandleKeywordRequest(KxRequest& request) {
    static const KxEntitySpec<CkxKeyword> spec =
        TableSpec<CkxKeyword, CkxKeywordList>(42, "keyword", KeywordTable::LoadAll, KeywordTable::Insert,
                                              KeywordTable::Update, KeywordTable::Delete, "关键字");
    HandleEntityRequest(spec, request);
}

void HandleKeywordGroupRequest(KxRequest& request) {
    static const KxEntitySpec<CkxKeywordGroup> spec = TableSpec<CkxKeywordGroup, CkxKeywordGroupList>(
        44, "keyword group", KeywordGroupTable::LoadAll, KeywordGroupTable::Insert, KeywordGroupTable::Update,
        KeywordGroupTable::Delete, "关键字组");
    HandleEntityRequest(spec, request);
}

void HandleKeywordLinkRequest(KxRequest& request) {
    switch (request.SubOp()) {
    case kSubList: ListLinks(request); break;
    case kSubAdd:
    case kSubModify:
    case kSubDelete: SetFileLinks(request); break;
    default: break;
    }
}

void HandleKeywordTempletRequest(KxRequest& request) {
    static const KxRecordMessageSpec<CkxKeywordTemplet> spec = TempletSpec();
    HandleRecordMessageRequest(spec, request);
}

} // namespace kx
