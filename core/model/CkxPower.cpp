#include "model/CkxPower.h"

#include "base/Record.h"

namespace {
constexpr int kHead = 8; // inherit flag and default power
}

int CkxPower::BuildBuf(CkxBuf& buf) const {
    int len = kHead + m_LicenceList.GetLength();
    if (!buf.Create(len)) return 0;
    kx::StoreI32(buf.GetBuf(), m_nInherit);
    kx::StoreU32(buf.GetBuf() + 4, m_nEveryonePower);
    m_LicenceList.BuildTo(buf.GetBuf() + kHead);
    return len;
}

int CkxPower::PasyBuf(const unsigned char* data, int length) {
    if (!data || length < kHead) return 0;
    m_nInherit = kx::LoadI32(data);
    m_nEveryonePower = kx::LoadU32(data + 4);
    m_LicenceList.DeleteAll();
    m_LicenceList.PasyBuf(data + kHead, length - kHead);
    return 1;
}

CkxPower CkxPower::GetRootDirPower() {
    CkxPower p;
    p.m_nInherit = 0;
    p.m_nEveryonePower = kRootDirEveryonePower;
    return p;
}
