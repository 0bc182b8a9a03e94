// Builders of folder and file rights for catalogue fixtures: a grant to a user or group, and a
// rights record (inherit flag, everyone's power, grants).
#pragma once

#include "model/CkxPower.h"
#include "model/CkxUserLicence.h"

#include <cstdint>
#include <vector>

namespace guitest {

inline CkxUserLicence Grant(int grantee, bool group, uint32_t power, bool forbid = false) {
    CkxUserLicence l;
    l.m_nAlieneeID = grantee;
    l.m_nPower = power;
    if (group) l.SetGroup(); else l.SetUser();
    if (forbid) l.SetStateForbid();
    return l;
}

inline CkxPower Rights(int inherit, uint32_t everyone, std::vector<CkxUserLicence> grants = {}) {
    CkxPower p;
    p.m_nInherit = inherit;
    p.m_nEveryonePower = everyone;
    for (auto& g : grants) p.m_LicenceList.AddTail(g);
    return p;
}

} // namespace guitest
