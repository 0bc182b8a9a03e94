#include "service/BookmarkService.h"

#include "table/ShareTables.h"

namespace kx {

KxEntitySpec<CkxDataTag> MakeBookmarkSpec(int userId) {
    KxEntitySpec<CkxDataTag> spec;
    spec.type = 47;
    spec.logCategory = KXLOG_CAT_FILEADMIN;
    spec.noun = "bookmark";
    spec.announceToRequesterOnly = true;
    spec.list = [userId](CADODatabase* db, std::vector<CkxDataTag>& out) {
        CkxDataTagList tags;
        const int n = db ? FileTagTable::LoadUser(*db, userId, tags) : -1;
        tags.ForEach([&](const CkxDataTag& t) { out.push_back(t); });
        return n;
    };
    spec.insert = [userId](CADODatabase* db, CkxDataTag& rec) {
        rec.m_nUserID = userId;
        return db ? FileTagTable::Insert(*db, rec) : 0;
    };
    spec.update = [userId](CADODatabase* db, const CkxDataTag& rec) {
        CkxDataTag owned = rec;
        owned.m_nUserID = userId;
        return db ? FileTagTable::Update(*db, owned) : 0;
    };
    spec.remove = [userId](CADODatabase* db, int id) { return db ? FileTagTable::Delete(*db, id, userId) : 0; };
    // The record that comes back names its owner, the requester.
    spec.tailor = [userId](const CClientSession&, CkxDataTag::_COM& com) { com.nUserID = userId; };
    // Bookmarks are private notes: even their deletion is an ordinary log line.
    spec.logAsWarning = [](int) { return false; };
    spec.logAction = [](int subOp, const CkxDataTag& rec) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加文件书签" + rec.m_strName;
        case kSubModify: return "修改文件书签<" + rec.m_strName + ">";
        case kSubDelete: return "删除文件书签";
        default: return {};
        }
    };
    return spec;
}

void HandleBookmarkRequest(KxRequest& request) {
    HandleEntityRequest(MakeBookmarkSpec(request.session.GetUserID()), request);
}

} // namespace kx

KX_REQUEST_HANDLER(47, kx::HandleBookmarkRequest);
