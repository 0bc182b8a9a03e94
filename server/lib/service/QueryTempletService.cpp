#include "service/QueryTempletService.h"

#include "model/CkxQueryTemplet.h"
#include "service/RecordMessageService.h"
#include "table/TempletTables.h"

namespace kx {
namespace {

// The per-request parts take the session's user: the searches listed, the owner a new or
// changed search is stored under, and whose search a delete may remove.
KxRecordMessageSpec<CkxQueryTemplet> Spec(int userId) {
    KxRecordMessageSpec<CkxQueryTemplet> s;
    s.type = kMsgQueryTemplet;
    s.noun = "query template";
    s.logCategory = KXLOG_CAT_FILEADMIN;
    s.announceToRequesterOnly = true;
    s.list = [userId](KxRequest& r, std::vector<CkxQueryTemplet>& out) {
        CkxQueryTempletList list;
        const int n = QueryTempletTable::LoadOfCreator(r.db, userId, list);
        list.ForEach([&](const CkxQueryTemplet& t) { out.push_back(t); });
        return n;
    };
    s.buffer = [](const CkxQueryTemplet& t) {
        CkxBuf buf;
        t.BuildQueryBuf(buf);
        return std::string(buf.View());
    };
    // The search is stored as it came.
    s.bufferRequired = true;
    s.prepare = [userId](const KxRequest&, CkxQueryTemplet& t) { t.m_nCreatorID = userId; };
    s.insert = [](CADODatabase& db, CkxQueryTemplet& t, std::string_view buf) {
        return QueryTempletTable::Insert(db, t, buf.data(), static_cast<int>(buf.size()));
    };
    s.update = [](CADODatabase& db, CkxQueryTemplet& t, std::string_view buf) {
        return QueryTempletTable::Update(db, t, buf.data(), static_cast<int>(buf.size()));
    };
    s.remove = [userId](CADODatabase& db, int id) { return QueryTempletTable::Delete(db, id, userId); };
    s.logAction = [](int subOp, const CkxQueryTemplet& t) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加查询模板<" + t.m_strName + ">";
        case kSubModify: return "修改查询模板<" + t.m_strName + ">";
        default: return "删除查询模板";
        }
    };
    return s;
}

} // namespace

void HandleQueryTempletRequest(KxRequest& request) {
    const KxRecordMessageSpec<CkxQueryTemplet> spec = Spec(request.session.GetUserID());
    HandleRecordMessageRequest(spec, request);
}

} // namespace kx
