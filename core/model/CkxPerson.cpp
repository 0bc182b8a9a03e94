#include "model/CkxPerson.h"

CkxPerson::_COM CkxPerson::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    kx::PutText(c.szName, m_strName);
    c.nRelation = m_nRelation;
    c.nProfession = m_nProfession;
    kx::PutText(c.szNote, m_strNote);
    return c;
}

void CkxPerson::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_strName = kx::GetText(c.szName);
    m_nRelation = c.nRelation;
    m_nProfession = c.nProfession;
    m_strNote = kx::GetText(c.szNote);
}

std::string CkxPerson::GetRelationName(int relation) {
    static const char* const names[] = {"其它", "操作员", "合作者", "创作者", "提供者", "拥有者", "客户"};
    return relation >= 0 && relation < 7 ? names[relation] : "";
}

std::string CkxPerson::GetProfessionName(int profession) {
    static const char* const names[] = {"其它", "画家", "设计师", "摄影师", "工程师", "剪辑师", "爱好者", "学者", "网络"};
    return profession >= 0 && profession < 9 ? names[profession] : "";
}
