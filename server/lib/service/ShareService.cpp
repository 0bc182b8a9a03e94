#include "service/ShareService.h"

#include "table/ShareTables.h"

namespace kx {

KxEntitySpec<CkxDataShare> MakeShareSpec() {
    KxEntitySpec<CkxDataShare> spec;
    spec.type = kMsgShare;
    spec.logCategory = KXLOG_CAT_FILEADMIN;
    spec.noun = "file share";
    spec.list = [](CADODatabase& db, std::vector<CkxDataShare>& out) {
        CkxDataShareList shares;
        const int n = FileShareTable::LoadAll(db, shares);
        shares.ForEach([&](const CkxDataShare& s) { out.push_back(s); });
        return n;
    };
    spec.insert = [](CADODatabase& db, CkxDataShare& rec) { return FileShareTable::Insert(db, rec); };
    spec.update = [](CADODatabase& db, const CkxDataShare& rec) { return FileShareTable::Update(db, rec); };
    spec.remove = [](CADODatabase& db, int id) { return FileShareTable::Delete(db, id); };
    spec.logAction = [](int subOp, const CkxDataShare& rec) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加共享文件<" + rec.m_strName + ">";
        case kSubModify: return "修改共享文件<" + rec.m_strName + ">";
        case kSubDelete: return "删除共享文件";
        default: return {};
        }
    };
    return spec;
}

} // namespace kx
