#include "model/CkxTask.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CkxTask, LevelsStepAndCompare) {
    CkxTask t;
    t.SetLev_First();
    t.UpLev();
    EXPECT_TRUE(t.IsLev_First()); // nothing above first
    t.DownLev();
    EXPECT_TRUE(t.IsLev_Urgent());
    t.SetLev_Idle();
    t.DownLev();
    EXPECT_TRUE(t.IsLev_Idle()); // nothing below idle
    t.UpLev();
    EXPECT_TRUE(t.IsLev_Common());

    CkxTask o;
    struct Case {
        void (CkxTask::*mine)();
        void (CkxTask::*other)();
        int16_t result;
    };
    const Case cases[] = {
        {&CkxTask::SetLev_First, &CkxTask::SetLev_Urgent, 1},
        {&CkxTask::SetLev_Prefer, &CkxTask::SetLev_Prefer, 0},
        {&CkxTask::SetLev_Idle, &CkxTask::SetLev_Common, -1},
    };
    for (const Case& k : cases) {
        (t.*k.mine)();
        (o.*k.other)();
        EXPECT_EQ(t.CompareLev(o), k.result);
    }
}

TEST(CkxTask, AffairsAndTheOneToRunNext) {
    struct Case {
        const char* name;
        std::vector<unsigned long> affairs;
        std::vector<unsigned long> urgent;
        unsigned long next;
    };
    const Case cases[] = {
        {"none", {}, {}, 0},
        {"none urgent: the first", {7, 8}, {}, 7},
        {"urgent first in list order", {7, 8, 9}, {9, 8}, 8},
        {"urgent absent appends a plain affair", {7}, {5}, 7},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CkxTask t;
        for (unsigned long a : k.affairs) t.affair_Add(a);
        for (unsigned long a : k.urgent) t.affair_EnableUrgent(a);
        EXPECT_EQ(t.affair_GetExeAffair(), k.next);
        EXPECT_EQ(t.IsTaskFree(), k.affairs.empty() && k.urgent.empty());
    }

    CkxTask t;
    t.affair_EnableUrgent(5);
    EXPECT_EQ(t.affair_IsUrgent(5), 0); // appended, not urgent
    t.affair_EnableUrgent(5);
    EXPECT_EQ(t.affair_IsUrgent(5), 1);
    t.affair_DisableUrgent(5);
    EXPECT_EQ(t.affair_IsUrgent(5), 0);
    t.affair_DisableUrgent(6); // absent: nothing
    EXPECT_EQ(t.affair_IsUrgent(6), 0);
    EXPECT_EQ(t.affair_Find(6), nullptr);

    t.affair_Add(5); // duplicates allowed; delete takes the first
    t.affair_EnableUrgent(5);
    t.affair_Delete(5);
    ASSERT_NE(t.affair_Find(5), nullptr);
    EXPECT_EQ(t.affair_IsUrgent(5), 0); // the urgent mark was on the first, now gone
    t.affair_Delete(5);
    EXPECT_TRUE(t.IsTaskFree());
}

TEST(CkxTask, CopyTakesNoAffairs) {
    int target = 0;
    CkxTask t;
    t.m_nID = 4;
    t.SetLev_Prefer();
    t.m_pLinker = &target;
    t.affair_Add(1);
    CkxTask copy(t);
    EXPECT_EQ(copy.GetID(), 4);
    EXPECT_TRUE(copy.IsLev_Prefer());
    EXPECT_EQ(copy.GetTaskLinker(), &target);
    EXPECT_TRUE(copy.IsTaskFree());
    copy.affair_Add(2);
    copy = t;
    EXPECT_EQ(copy.affair_GetCount(), 1); // assignment keeps the target's own affairs
    EXPECT_EQ(copy.affair_GetExeAffair(), 2u);
}

TEST(CkxTaskList, FindDeleteAndFirst) {
    int a = 0, b = 0, c = 0;
    CkxTaskList list;
    auto add = [&](int id, void* linker, void (CkxTask::*lev)()) {
        CkxTask t;
        t.m_nID = id;
        t.m_pLinker = linker;
        (t.*lev)();
        t.affair_Add(99);
        list.AddTail(t);
    };
    add(1, &a, &CkxTask::SetLev_First);
    add(2, &b, &CkxTask::SetLev_Common);
    add(2, &c, &CkxTask::SetLev_First);
    add(3, &c, &CkxTask::SetLev_Idle);
    EXPECT_TRUE(list.Find(1)->IsTaskFree()); // the heap copy has no affairs
    EXPECT_EQ(list.Find(&c)->GetID(), 2);
    EXPECT_EQ(list.Find(nullptr), nullptr);

    EXPECT_EQ(list.SetLev_First(42), 0); // unknown: no task changes
    EXPECT_TRUE(list.Find(1)->IsLev_First());
    EXPECT_TRUE(list.Find(&c)->IsLev_First());

    EXPECT_EQ(list.SetLev_First(&b), 1);
    int firsts = 0;
    list.ForEach([&](const CkxTask& t) { firsts += t.IsLev_First(); });
    EXPECT_EQ(firsts, 1);
    EXPECT_TRUE(list.Find(&b)->IsLev_First());
    EXPECT_TRUE(list.Find(1)->IsLev_Urgent());
    EXPECT_TRUE(list.Find(3)->IsLev_Idle());

    EXPECT_EQ(list.SetLev_First(3), 1);
    EXPECT_TRUE(list.Find(3)->IsLev_First());
    EXPECT_TRUE(list.Find(&b)->IsLev_Urgent());

    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
}

// Deleted tasks are destroyed by the list (the sanitizer build reports a leak otherwise).
TEST(CkxTaskList, DeleteByIdOrLinkerDestroysEveryMatch) {
    int a = 0, b = 0, none = 0;
    struct Case {
        const char* name;
        bool empty;
        bool byLinker;
        int id;
        void* linker;
        int removed;
        int countAfter;
    };
    // Fixture: (1, a), (2, b), (2, a).
    const Case cases[] = {
        {"every task of the linker", false, true, 0, &a, 2, 1},
        {"absent linker", false, true, 0, &none, 0, 3},
        {"every task with the id", false, false, 2, nullptr, 2, 1},
        {"absent id", false, false, 9, nullptr, 0, 3},
        {"empty list", true, false, 1, nullptr, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CkxTaskList list;
        if (!k.empty)
            for (auto [id, linker] : {std::pair<int, void*>{1, &a}, {2, &b}, {2, &a}}) {
                CkxTask* t = new CkxTask;
                t->m_nID = id;
                t->m_pLinker = linker;
                t->affair_Add(5);
                list.AddTail(t);
            }
        EXPECT_EQ(k.byLinker ? list.Delete(k.linker) : list.Delete(k.id), k.removed);
        EXPECT_EQ(list.GetCount(), k.countAfter);
    }
}
