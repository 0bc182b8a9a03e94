#include "service/BookmarkService.h"

#include "table/ShareTables.h"

namespace kx {

KxEntitySpec<CkxDataTag> MakeBookmarkSpec(int userId) {
    KxEntitySpec<CkxDataTag> spec;
    spec.type = kMsgBookmark;
    spec.logCategory = KXLOG_CAT_FILEADMIN;
    spec.noun = "bookmark";
    spec.announceToRequesterOnly = true;
    spec.list = [userId](CADODatabase& db, std::vector<CkxDataTag>& out) {
        CkxDataTagList tags;
        const int n = FileTagTable::LoadUser(db, userId, tags);
        tags.ForEach([&](const CkxDataTag& t) { out.push_back(t); });
        return n;
    };
    spec.insert = [userId](CADODatabase& db, CkxDataTag& rec) {
        rec.m_nUserID = userId;
        return FileTagTable::Insert(db, rec);
    };
    spec.update = [userId](CADODatabase& db, const CkxDataTag& rec) {
        CkxDataTag owned = rec;
        owned.m_nUserID = userId;
        return FileTagTable::Update(db, owned);
    };
    spec.remove = [userId](CADODatabase& db, int id) { return FileTagTable::Delete(db, id, userId); };
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
