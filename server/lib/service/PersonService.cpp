#include "service/PersonService.h"

#include "model/CkxXXX.h"
#include "table/PersonTable.h"

namespace kx {

KxEntitySpec<CkxPerson> MakePersonSpec() {
    KxEntitySpec<CkxPerson> spec;
    spec.type = kMsgPerson;
    spec.logCategory = KXLOG_CAT_SYSADMIN;
    spec.noun = "person";
    UseMemoryList(spec, []() -> CkxPersonList& { return KX_KXXXX().m_PersonList; });
    spec.insert = [](CADODatabase& db, CkxPerson& rec) { return PersonTable::Insert(db, rec); };
    spec.update = [](CADODatabase& db, const CkxPerson& rec) { return PersonTable::Update(db, rec); };
    spec.remove = [](CADODatabase& db, int id) { return PersonTable::Delete(db, id); };
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
