// CkxTask: a queue entry for background work of the view code: a level (0 first .. 4 idle),
// the object it works for (its linker) and the pending affairs, the urgent ones run first.
// CkxTaskList: the queue; it owns its tasks and destroys the ones it deletes.
#pragma once

#include "model/KxExport.h"
#include "base/RecordList.h"

#include <cstdint>
#include <list>

enum KxTaskLevel { KXTASK_FIRST = 0, KXTASK_URGENT = 1, KXTASK_PREFER = 2, KXTASK_COMMON = 3, KXTASK_IDLE = 4 };

struct CkxTaskAffair {
    uint32_t nID = 0;
    int32_t nUrgent = 0; // 0 or 1
};

class KX_EXPORT CkxTask {
public:
    CkxTask() = default;
    // A copy takes id, level and linker; the affairs stay with the original.
    CkxTask(const CkxTask& o) : m_nID(o.m_nID), m_nLev(o.m_nLev), m_pLinker(o.m_pLinker) {}
    CkxTask& operator=(const CkxTask& o) {
        m_nID = o.m_nID;
        m_nLev = o.m_nLev;
        m_pLinker = o.m_pLinker;
        return *this;
    }
    virtual ~CkxTask() { affair_DeleteAll(); }

    int GetID() const { return m_nID; }
    void* GetTaskLinker() const { return m_pLinker; }

    void SetLev_First() { m_nLev = KXTASK_FIRST; }
    void SetLev_Urgent() { m_nLev = KXTASK_URGENT; }
    void SetLev_Prefer() { m_nLev = KXTASK_PREFER; }
    void SetLev_Common() { m_nLev = KXTASK_COMMON; }
    void SetLev_Idle() { m_nLev = KXTASK_IDLE; }
    bool IsLev_First() const { return m_nLev == KXTASK_FIRST; }
    bool IsLev_Urgent() const { return m_nLev == KXTASK_URGENT; }
    bool IsLev_Prefer() const { return m_nLev == KXTASK_PREFER; }
    bool IsLev_Common() const { return m_nLev == KXTASK_COMMON; }
    bool IsLev_Idle() const { return m_nLev == KXTASK_IDLE; }
    void UpLev() {
        if (m_nLev > KXTASK_FIRST) --m_nLev;
    }
    void DownLev() {
        if (m_nLev < KXTASK_IDLE) ++m_nLev;
    }
    // 1 when this task is more pressing (smaller level), 0 when equal, -1 when less.
    int16_t CompareLev(const CkxTask& o) const {
        return m_nLev < o.m_nLev ? 1 : m_nLev == o.m_nLev ? 0 : -1;
    }

    // Appends a non-urgent affair (duplicates allowed).
    void affair_Add(unsigned long id);
    // The first affair with the id, or null.
    CkxTaskAffair* affair_Find(unsigned long id);
    // Marks the affair urgent; an absent one is appended, not urgent.
    void affair_EnableUrgent(unsigned long id);
    void affair_DisableUrgent(unsigned long id);
    int affair_IsUrgent(unsigned long id);
    // Removes the first affair with the id.
    void affair_Delete(unsigned long id);
    // The affair to run next: the first urgent one, else the first one; 0 when none.
    unsigned long affair_GetExeAffair() const;
    bool IsTaskFree() const { return m_listAffair.empty(); }
    void affair_DeleteAll() { m_listAffair.clear(); }
    int affair_GetCount() const { return static_cast<int>(m_listAffair.size()); }

    int32_t m_nID = -1;
    int32_t m_nLev = KXTASK_COMMON;
    void* m_pLinker = nullptr; // the object the task works for; never dereferenced here

private:
    std::list<CkxTaskAffair> m_listAffair; // stable addresses for affair_Find
};

class KX_EXPORT CkxTaskList : public CkxRecordList<CkxTask, kx::DeleteMode::EveryMatch> {
    using Base = CkxRecordList<CkxTask, kx::DeleteMode::EveryMatch>;

public:
    using Base::Find;
    CkxTask* Find(void* linker) const;
    // Removes and destroys every task with the id, or with the linker; returns how many.
    using Base::Delete;
    int Delete(void* linker);
    // Makes the found task the only first one: tasks at level 0 move to 1, then the found task
    // goes to 0. 1 when found, 0 (nothing changed) when not.
    int SetLev_First(int id) { return MakeFirst(Base::Find(id)); }
    int SetLev_First(void* linker) { return MakeFirst(Find(linker)); }

private:
    int MakeFirst(CkxTask* task);
};
