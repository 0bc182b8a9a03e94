#include "model/CkxTask.h"

#include "model/KxDeleteIf.h"

void CkxTask::affair_Add(unsigned long id) {
    CkxTaskAffair a;
    a.nID = static_cast<uint32_t>(id);
    m_listAffair.push_back(a);
}

CkxTaskAffair* CkxTask::affair_Find(unsigned long id) {
    for (CkxTaskAffair& a : m_listAffair)
        if (a.nID == static_cast<uint32_t>(id)) return &a;
    return nullptr;
}

void CkxTask::affair_EnableUrgent(unsigned long id) {
    if (CkxTaskAffair* a = affair_Find(id))
        a->nUrgent = 1;
    else
        affair_Add(id);
}

void CkxTask::affair_DisableUrgent(unsigned long id) {
    if (CkxTaskAffair* a = affair_Find(id)) a->nUrgent = 0;
}

int CkxTask::affair_IsUrgent(unsigned long id) {
    const CkxTaskAffair* a = affair_Find(id);
    return a ? a->nUrgent : 0;
}

void CkxTask::affair_Delete(unsigned long id) {
    for (auto it = m_listAffair.begin(); it != m_listAffair.end(); ++it)
        if (it->nID == static_cast<uint32_t>(id)) {
            m_listAffair.erase(it);
            return;
        }
}

unsigned long CkxTask::affair_GetExeAffair() const {
    for (const CkxTaskAffair& a : m_listAffair)
        if (a.nUrgent) return a.nID;
    return m_listAffair.empty() ? 0 : m_listAffair.front().nID;
}

CkxTask* CkxTaskList::Find(void* linker) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxTask* t = GetNext(p);
        if (t->m_pLinker == linker) return t;
    }
    return nullptr;
}

int CkxTaskList::Delete(void* linker) {
    return kx::DeleteIf(*this, [linker](const CkxTask& t) { return t.m_pLinker == linker; });
}

int CkxTaskList::MakeFirst(CkxTask* task) {
    if (!task) return 0;
    ForEach([](CkxTask& t) {
        if (t.IsLev_First()) t.SetLev_Urgent();
    });
    task->SetLev_First();
    return 1;
}
