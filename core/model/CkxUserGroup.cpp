#include "model/CkxUserGroup.h"

#include "model/CkxContainer.h"

#include <algorithm>

CkxUserGroup::_COM CkxUserGroup::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    kx::PutText(c.szName, m_strName);
    kx::PutText(c.szNote, m_strNote);
    return c;
}

void CkxUserGroup::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_strName = kx::GetText(c.szName);
    m_strNote = kx::GetText(c.szNote);
}

int CkxUserGroup::CheckIncludeUser(int userId) const {
    return std::find(m_UserList.begin(), m_UserList.end(), userId) != m_UserList.end() ? 1 : 0;
}

int CkxUserGroup::BuildQueryBuf(CkxBuf& buf) const {
    CkxContainer c;
    for (int32_t id : m_UserList)
        if (!c.AddSect(&id, sizeof id)) return 0;
    return c.BuildBuf(buf);
}

int CkxUserGroup::PasyQueryBuf(const unsigned char* data, int length) {
    if (!data || length <= 0) return 0;
    CkxContainer c;
    int read = c.PasyBuf(data, length);
    // The container parser answers 0 both for a broken buffer and for a group without members.
    if (read == 0 && (length < 4 || kx::LoadI32(data) != 0)) return 0;
    std::vector<int32_t> members;
    members.reserve(static_cast<size_t>(c.GetCount()));
    for (int i = 0; i < c.GetCount(); ++i) {
        const CkxContainer::Sect* s = c.GetSect(i);
        if (s->Len() < 4) return 0;
        members.push_back(kx::LoadI32(s->Data()));
    }
    m_UserList = std::move(members);
    return 1;
}

int CkxUserGroupList::GetGroupIncludeUser(int userId, std::vector<int>& out) const {
    out.clear();
    ForEach([&](const CkxUserGroup& g) {
        if (g.CheckIncludeUser(userId)) out.push_back(g.m_nID);
    });
    return static_cast<int>(out.size());
}
