#include "model/CkxKeywordGroup.h"

#include "base/Gbk.h"

namespace kx {

KxNameNoteCom MakeNameNoteCom(int id, const std::string& name, const std::string& note) {
    KxNameNoteCom com = ZeroRecord<KxNameNoteCom>();
    com.nID = id;
    PutText(com.szName, name);
    PutText(com.szNote, note);
    return com;
}

void ReadNameNoteCom(const KxNameNoteCom& com, int32_t& id, std::string& name, std::string& note) {
    id = com.nID;
    name = GetText(com.szName);
    note = GetText(com.szNote);
}

} // namespace kx
