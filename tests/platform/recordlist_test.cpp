#include "base/RecordList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Rec {
    int id;
    std::string name;
    int GetID() const { return id; }
};

template <class L>
std::vector<std::string> Names(const L& list) {
    std::vector<std::string> out;
    list.ForEach([&](const Rec& r) { out.push_back(r.name); });
    return out;
}

using FirstList = CkxRecordList<Rec, kx::DeleteMode::FirstMatch>;
using EveryList = CkxRecordList<Rec, kx::DeleteMode::EveryMatch>;

template <class L>
void Fill(L& l) {
    l.AddTail(Rec{1, "a"});
    l.AddTail(Rec{2, "b"});
    l.AddTail(Rec{1, "c"});
    l.AddTail(Rec{3, "d"});
}

} // namespace

TEST(RecordList, DeleteFormsDiffer) {
    FirstList first;
    EveryList every;
    Fill(first);
    Fill(every);
    EXPECT_EQ(first.Delete(1), 1);
    EXPECT_EQ(Names(first), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(every.Delete(1), 2);
    EXPECT_EQ(Names(every), (std::vector<std::string>{"b", "d"}));
    EXPECT_EQ(every.Delete(42), 0);
}

TEST(RecordList, FindUpdateAndPositionsStayStable) {
    FirstList l;
    Fill(l);
    EXPECT_EQ(l.Find(1)->name, "a");
    EXPECT_EQ(l.Find(9), nullptr);
    EXPECT_EQ(l.Update(Rec{9, "x"}), 0); // no record with id 9: nothing added
    EXPECT_EQ(l.GetCount(), 4);
    EXPECT_EQ(l.Update(Rec{2, "B"}), 1);
    EXPECT_EQ(l.Find(2)->name, "B");

    Rec* d = l.Find(3);
    l.Delete(2);
    EXPECT_EQ(l.Find(3), d); // other records keep their address

    POSITION p = l.GetHeadPosition();
    std::vector<int> ids;
    while (p) ids.push_back(l.GetNext(p)->id);
    EXPECT_EQ(ids, (std::vector<int>{1, 1, 3}));
}

TEST(RecordList, OwnershipAndCopies) {
    FirstList l;
    l.AddTail(static_cast<Rec*>(nullptr));
    EXPECT_EQ(l.GetCount(), 0);
    l.AddTail(new Rec{5, "e"});
    FirstList copy = l;
    copy.Find(5)->name = "changed";
    EXPECT_EQ(l.Find(5)->name, "e");
    Rec* head = l.RemoveHead();
    EXPECT_EQ(l.GetCount(), 0);
    delete head;
}
