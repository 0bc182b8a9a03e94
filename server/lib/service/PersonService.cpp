#include "service/PersonService.h"

#include "model/CkxXXX.h"
#include "table/PersonTable.h"

namespace kx {

KxEntitySpec<CkxPerson> MakePersonSpec() {
    KxEntitySpec<CkxPerson> spec;
    spec.type = 52;
    spec.logCategory = KXLOG_CAT_SYSADMIN;
    spec.noun = "person";
    UseMemoryList(spec, []() -> CkxPersonList& { return KX_KXXXX().m_PersonList; });
    spec.insert = [](CADODatabase* db, CkxPerson& rec) { return db ? PersonTable::Insert(*db, rec) : 0; };
    spec.update = [](CADODatabase* db, const CkxPerson& rec) { return db ? PersonTable::Update(*db, rec) : 0; };
    spec.remove = [](CADODatabase* db, int id) { return db ? PersonTable::Delete(*db, id) : 0; };
    spec.logAction = [](int subOp, const CkxPerson& rec) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加人员<" + rec.m_strName + ">";
        case kSubModify: return "修改人员<" + rec.m_strName + ">";
        case kSubDelete: return "删除人员";
        default: return {};
        }
    };
    return spec;
}

} // namespace kx

static const bool kPersonServiceRegistered = kx::RegisterEntityService(kx::MakePersonSpec());
