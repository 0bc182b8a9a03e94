#include "model/CkxCheckout.h"
#include "core/support/GoldenBytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

CkxCheckout MakeCheckout(int file, int user, const std::string& title = "a", int root = 3) {
    CkxCheckout c;
    c.m_nFileID = file;
    c.m_nStorageID = root;
    c.m_strTitle = title;
    c.m_strExt = "jpg";
    c.m_nUserID = user;
    return c;
}

} // namespace

TEST(CkxCheckout, GoldenBytesRoundTrip) {
    CkxCheckout c;
    c.m_nFileID = 1234;
    c.m_nStorageID = -1;
    c.m_strTitle = std::string(49, 't');     // full width: NUL in the last byte
    c.m_strExt = Utf8Zhong(25);              // 50 GBK bytes: cut to 24 characters
    c.m_nUserID = 7;
    c.m_dtCheckout = COleDateTime(39508.5);  // 2008-3-1 12:00
    c.m_dtTime2 = COleDateTime(-1.25);
    c.SetCheckoutOpenTintwork();
    c.m_nTag = 0x01020304;

    const std::string expected = GoldenBytes(136)
                                     .I32(0, 1234)
                                     .I32(4, -1)
                                     .Raw(8, std::string(49, 't'))
                                     .Raw(58, GbkZhong(24))
                                     .I32(108, 7)
                                     .Date(112, 39508.5)
                                     .Date(120, -1.25)
                                     .I32(128, 3)
                                     .I32(132, 0x01020304)
                                     .Str();
    ASSERT_EQ(kx::RecordBytes(c.GetComData()), expected);

    CkxCheckout::_COM com;
    ASSERT_TRUE(kx::ReadRecord(expected.data(), expected.size(), com));
    CkxCheckout back(com);
    EXPECT_EQ(back.m_nFileID, 1234);
    EXPECT_EQ(back.m_nStorageID, -1);
    EXPECT_EQ(back.m_strTitle, std::string(49, 't'));
    EXPECT_EQ(back.m_strExt, Utf8Zhong(24));
    EXPECT_EQ(back.m_nUserID, 7);
    EXPECT_EQ(static_cast<DATE>(back.m_dtCheckout), 39508.5);
    EXPECT_EQ(static_cast<DATE>(back.m_dtTime2), -1.25);
    EXPECT_TRUE(back.IsCheckoutOpenTintwork());
    EXPECT_EQ(back.m_nTag, 0x01020304);

    EXPECT_FALSE(kx::ReadRecord(expected.data(), 135, com)); // a short block is refused
}

TEST(CkxCheckout, NamesModesAndInMemoryFields) {
    CkxCheckout c = MakeCheckout(1234, 1);
    EXPECT_EQ(c.GetIDName(), "1234.jpg");
    EXPECT_EQ(c.GetFileName(), "a.jpg");

    struct Mode {
        void (CkxCheckout::*set)();
        bool (CkxCheckout::*is)() const;
        int value;
    };
    const Mode modes[] = {
        {&CkxCheckout::SetCheckoutOnly, &CkxCheckout::IsCheckoutOnly, 0},
        {&CkxCheckout::SetCheckoutOpenDef, &CkxCheckout::IsCheckoutOpenDef, 1},
        {&CkxCheckout::SetCheckoutOpenWay, &CkxCheckout::IsCheckoutOpenWay, 2},
        {&CkxCheckout::SetCheckoutOpenTintwork, &CkxCheckout::IsCheckoutOpenTintwork, 3},
        {&CkxCheckout::SetCheckinOnly, &CkxCheckout::IsCheckinOnly, 4},
        {&CkxCheckout::SetCheckinSave, &CkxCheckout::IsCheckinSave, 5},
    };
    for (const Mode& m : modes) {
        (c.*m.set)();
        EXPECT_EQ(c.m_nOpenMode, m.value);
        for (const Mode& other : modes) EXPECT_EQ((c.*other.is)(), &other == &m) << m.value;
    }

    // The fields that never travel are still copied with the record.
    c.m_nReserve1 = 5;
    c.m_dtReserve2 = COleDateTime(2.0);
    CkxCheckout copy(c);
    EXPECT_EQ(copy.m_nReserve1, 5);
    EXPECT_EQ(copy.m_nReserve2, 10);
    EXPECT_EQ(static_cast<DATE>(copy.m_dtReserve2), 2.0);
}

TEST(CkxCheckoutList, OperationsOnTwoRecordsOfOneFile) {
    struct Case {
        const char* name;
        int records; // how many of the fixture's records are added
        int deleteFile;
        int deleted;
        int countAfter;
        int rootOf5;
        int user2HoldsFile5;
    };
    // Fixture records: file 5 by user 1 (root 3), file 5 by user 2 (root 4), file 6 by user 1.
    const Case cases[] = {
        {"empty list", 0, 5, 0, 0, -1, 0},
        {"first of two records of a file", 3, 5, 1, 2, 4, 1},
        {"absent file", 3, 9, 0, 3, 3, 1},
        {"single record", 1, 5, 1, 0, -1, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CkxCheckoutList list;
        const CkxCheckout all[] = {MakeCheckout(5, 1, "a", 3), MakeCheckout(5, 2, "a", 4), MakeCheckout(6, 1, "b")};
        for (int i = 0; i < k.records; ++i) EXPECT_EQ(list.AddTail(all[i]), 1);
        EXPECT_EQ(list.Delete(k.deleteFile), k.deleted);
        EXPECT_EQ(list.GetCount(), k.countAfter);
        EXPECT_EQ(list.GetStorageRootID(5), k.rootOf5);
        EXPECT_EQ(list.IsUserCheckoutFile(5, 2), k.user2HoldsFile5);
        EXPECT_EQ(list.IsFileCheckouted(5), k.rootOf5 != -1 ? 1 : 0);
        EXPECT_EQ(list.IsUserCheckoutFile(6, 2), 0);
    }
}

TEST(CkxCheckoutList, RenameFindCopiesAndBracketedWalk) {
    CkxCheckoutList list;
    list.AddTail(MakeCheckout(5, 1, "old"));
    list.AddTail(new CkxCheckout(MakeCheckout(5, 2, "old")));
    list.AddTail(static_cast<CkxCheckout*>(nullptr));
    list.AddTail(MakeCheckout(6, 1, "keep"));
    EXPECT_EQ(list.GetCount(), 3);

    EXPECT_EQ(list.UpdateFileTitle(5, "新名"), 2);
    EXPECT_EQ(list.UpdateFileTitle(99, "x"), 0);

    CkxCheckout found;
    found.m_nFileID = -7;
    EXPECT_EQ(list.Find(42, found), 0);
    EXPECT_EQ(found.m_nFileID, -7); // untouched when absent
    ASSERT_EQ(list.Find(5, found), 1);
    EXPECT_EQ(found.m_strTitle, "新名");
    EXPECT_EQ(found.m_nUserID, 1);
    list.DeleteAll();
    EXPECT_EQ(found.m_strTitle, "新名"); // a copy outlives the list's record
    EXPECT_EQ(list.GetCount(), 0);

    list.AddTail(MakeCheckout(7, 1));
    list.AddTail(MakeCheckout(8, 1));
    list.Lock();
    std::vector<int> walked;
    for (POSITION p = list.GetHeadPosition(); p;) walked.push_back(list.GetNext(p)->m_nFileID);
    list.Unlock();
    EXPECT_EQ(walked, (std::vector<int>{7, 8}));
    EXPECT_EQ(list.GetCount(), 2); // the lock was freed
}

// Four threads add, look up, rename, walk and delete at once; each works on its own files, so
// the final state is exact. Without the lock the sanitizer build sees use-after-free and races.
TEST(CkxCheckoutList, FourThreadsMixedOperations) {
    CkxCheckoutList list;
    constexpr int kThreads = 4;
    constexpr int kRounds = 400;
    std::atomic<int> wrongLookups{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                const int file = t * 100000 + i;
                list.AddTail(MakeCheckout(file, t, "t", t));
                list.AddTail(new CkxCheckout(MakeCheckout(file, t + 10, "t", t)));
                if (list.GetStorageRootID(file) != t) ++wrongLookups;
                if (!list.IsUserCheckoutFile(file, t + 10)) ++wrongLookups;
                list.UpdateFileTitle(file, "renamed");
                CkxCheckout copy;
                if (list.Find(file, copy) != 1 || copy.m_strTitle != "renamed") ++wrongLookups;
                if (i % 8 == 0) {
                    list.Lock();
                    int n = 0;
                    for (POSITION p = list.GetHeadPosition(); p;) n += list.GetNext(p)->m_nFileID >= 0;
                    list.Unlock();
                    if (n < 1) ++wrongLookups;
                }
                list.GetCount();
                // Keep one record of every even file; remove both of every odd one.
                list.Delete(file);
                if (i % 2) list.Delete(file);
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(wrongLookups.load(), 0);
    EXPECT_EQ(list.GetCount(), kThreads * kRounds / 2);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(list.IsUserCheckoutFile(t * 100000 + 2, t + 10), 1);
        EXPECT_EQ(list.IsFileCheckouted(t * 100000 + 3), 0);
    }
}
