#include "model/CkxFSFileLoc.h"
#include "model/CkxFSQuickKey.h"

#include "core/support/WireText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CkxFSQuickKey Key(int id, int folder, int file) {
    CkxFSQuickKey k(folder, file);
    k.m_nID = id;
    return k;
}

std::vector<int> Ids(const CkxFSQuickKeyList& l) {
    std::vector<int> ids;
    l.ForEach([&](const CkxFSQuickKey& k) { ids.push_back(k.m_nID); });
    return ids;
}

} // namespace

TEST(CkxFSQuickKey, GoldenRecords) {
    CkxFSQuickKey k = Key(9, 4, 77);
    k.SetImage();
    k.SetDataStateHide();
    std::string expect = std::string("\x03\x01\x01\x00", 4) + I32(0) + I32(0) + I32(9) + I32(4) + I32(77);
    EXPECT_EQ(kx::RecordBytes(k.GetComData()), expect);
    CkxFSQuickKey::_COM c;
    ASSERT_TRUE(kx::ReadRecord(expect.data(), expect.size(), c));
    CkxFSQuickKey back(c);
    EXPECT_TRUE(back.IsImage());
    EXPECT_TRUE(back.IsDataStateHide());
    EXPECT_TRUE(back.IsDataModalQuickKey());
    EXPECT_EQ(back.m_nFileID, 77);
    EXPECT_TRUE(back.IsLoc());
    EXPECT_FALSE(CkxFSQuickKey().IsLoc());

    CkxFSFileLoc loc(5, 6);
    EXPECT_EQ(kx::RecordBytes(loc.GetComData()), I32(5) + I32(6));
    EXPECT_EQ(CkxFSFileLoc().m_nSecondID, -1);
}

TEST(CkxFSQuickKeyList, SetFindAndDelete) {
    CkxFSQuickKeyList keys;
    EXPECT_EQ(keys.Set(1, 7), 1);
    EXPECT_EQ(keys.Set(1, 7), 0);
    EXPECT_EQ(keys.GetCount(), 1);
    EXPECT_EQ(keys.Find(1, 7)->m_nID, -1);
    keys.AddTail(Key(10, 1, 8));
    keys.AddTail(Key(11, 2, 7));
    keys.AddTail(Key(12, 1, 7));
    keys.AddTail(Key(13, -1, 9));

    std::vector<CkxFSQuickKey*> ptrs;
    EXPECT_EQ(keys.GetLocQuickKey(ptrs), 4);
    EXPECT_EQ(keys.GetUnLocQuickKey(ptrs), 1);
    std::vector<int> ids{42};
    EXPECT_EQ(keys.GetFolderQuickKey(1, ids), 3);
    EXPECT_EQ(ids, (std::vector<int>{-1, 10, 12}));
    EXPECT_EQ(keys.GetFolderQuickKey(5, ids), 0);
    EXPECT_TRUE(ids.empty());
    CkxFSQuickKeyList copies;
    copies.AddTail(Key(99, 9, 9));
    EXPECT_EQ(keys.GetFileQuickKey(7, copies), 3);
    EXPECT_EQ(Ids(copies), (std::vector<int>{-1, 11, 12}));
    EXPECT_EQ(keys.GetFolderQuickKey(std::vector<int>{2, 1}, copies), 4);
    EXPECT_EQ(Ids(copies), (std::vector<int>{11, -1, 10, 12}));

    EXPECT_EQ(keys.Delete(1, 7), 2);
    EXPECT_EQ(keys.DeleteFolder(2), 1);
    EXPECT_EQ(keys.DeleteFileA(9), 1);
    EXPECT_EQ(Ids(keys), (std::vector<int>{10}));
    EXPECT_EQ(keys.Delete(10), 1);
    EXPECT_EQ(keys.GetHead(), nullptr);
}

TEST(CkxFSQuickKeyList, SetFileReplacesTheFilesKeys) {
    CkxFSQuickKeyList keys;
    keys.AddTail(Key(1, 3, 7));
    keys.AddTail(Key(2, 3, 8));
    keys.AddTail(Key(3, 4, 7));
    CkxFSQuickKeyList given;
    given.AddTail(Key(-1, 1, 7));
    given.AddTail(Key(-1, 2, 7));
    keys.SetFile(7, given);
    std::vector<CkxFSQuickKey*> of7;
    ASSERT_EQ(keys.GetFileQuickKey(7, of7), 2);
    EXPECT_EQ(of7[0]->m_nDirID, 1);
    EXPECT_EQ(of7[1]->m_nDirID, 2);
    EXPECT_EQ(keys.GetCount(), 3);
    keys.SetFile(7, keys); // given itself: unchanged, and it ends
    EXPECT_EQ(keys.GetCount(), 3);

    given.SetFile(55ul);
    EXPECT_EQ(given.GetFileQuickKey(55, of7), 2);

    CkxFSQuickKey k = Key(2, 9, 8);
    k.SetVideo();
    EXPECT_EQ(keys.Update(k), 1);
    EXPECT_TRUE(keys.Find(2)->IsVideo());
    EXPECT_EQ(keys.Find(2)->m_nDirID, 9);
}
