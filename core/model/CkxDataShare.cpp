#include "model/CkxDataShare.h"

int CkxDataShareList::GetUserCreate(int userId, std::vector<CkxDataShare*>& out) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxDataShare* r = GetNext(p);
        if (r->m_nUserID == userId) out.push_back(r);
    }
    return static_cast<int>(out.size());
}
