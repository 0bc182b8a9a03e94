#include "service/FileTempletService.h"

#include "model/CkxObjAttrTemplet.h"
#include "service/RecordMessageService.h"
#include "table/TempletTables.h"

namespace kx {
namespace {

KxRecordMessageSpec<CkxObjAttrTemplet> Spec() {
    KxRecordMessageSpec<CkxObjAttrTemplet> s;
    s.type = kMsgFileTemplet;
    s.noun = "file template";
    s.logCategory = KXLOG_CAT_FILEADMIN;
    s.list = [](KxRequest& r, std::vector<CkxObjAttrTemplet>& out) {
        CkxObjAttrTempletList list;
        const int n = FileTempletTable::LoadAll(r.db, list);
        list.ForEach([&](const CkxObjAttrTemplet& t) { out.push_back(t); });
        return n;
    };
    // Rebuilt from the template: only image templates carry attribute values.
    s.buffer = [](const CkxObjAttrTemplet& t) {
        CkxBuf buf;
        t.BuildBuf(buf);
        return std::string(buf.View());
    };
    // The attribute buffer is stored as it came.
    s.bufferRequired = true;
    s.insert = [](CADODatabase& db, CkxObjAttrTemplet& t, std::string_view buf) {
        return FileTempletTable::Insert(db, t, buf.data(), static_cast<int>(buf.size()));
    };
    s.update = [](CADODatabase& db, CkxObjAttrTemplet& t, std::string_view buf) {
        return FileTempletTable::Update(db, t, buf.data(), static_cast<int>(buf.size()));
    };
    s.remove = FileTempletTable::Delete;
    s.logAction = [](int subOp, const CkxObjAttrTemplet& t) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加文件模板<" + t.m_strName + ">";
        case kSubModify: return "修改文件模板<" + t.m_strName + ">";
        default: return "删除文件模板";
        }
    };
    return s;
}

} // namespace

void HandleFileTempletRequest(KxRequest& request) {
    static const KxRecordMessageSpec<CkxObjAttrTemplet> spec = Spec();
    HandleRecordMessageRequest(spec, request);
}

} // namespace kx
