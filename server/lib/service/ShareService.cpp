#include "service/ShareService.h"

#include "table/ShareTables.h"

namespace kx {

KxEntitySpec<CkxDataShare> MakeShareSpec() {
    KxEntitySpec<CkxDataShare> spec;
    spec.type = 48;
    spec.logCategory = KXLOG_CAT_FILEADMIN;
    spec.noun = "file share";
    spec.list = [](CADODatabase* db, std::vector<CkxDataShare>& out) {
        CkxDataShareList shares;
        const int n = db ? FileShareTable::LoadAll(*db, shares) : -1;
        shares.ForEach([&](const CkxDataShare& s) { out.push_back(s); });
        return n;
    };
    spec.insert = [](CADODatabase* db, CkxDataShare& rec) { return db ? FileShareTable::Insert(*db, rec) : 0; };
    spec.update = [](CADODatabase* db, const CkxDataShare& rec) { return db ? FileShareTable::Update(*db, rec) : 0; };
    spec.remove = [](CADODatabase* db, int id) { return db ? FileShareTable::Delete(*db, id) : 0; };
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

static const bool kShareServiceRegistered = kx::RegisterEntityService(kx::MakeShareSpec());
