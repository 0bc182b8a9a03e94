#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "core/support/GoldenBytes.h"

#include <gtest/gtest.h>

namespace {

template <class T>
T Mark(int id, int user, int file, const std::string& name = "n") {
    T r;
    r.m_nID = id;
    r.m_nUserID = user;
    r.m_nFileID = file;
    r.m_strName = name;
    return r;
}

} // namespace

TEST(CkxFileMark, GoldenBytesForShareAndBookmark) {
    struct Case {
        std::string name;
        std::string gbk;  // what the 52-byte field holds
        std::string back; // what a receiver reads
    };
    const Case cases[] = {
        {std::string(51, 'x'), std::string(51, 'x'), std::string(51, 'x')}, // full width: NUL last
        {Utf8Zhong(26), GbkZhong(25), Utf8Zhong(25)}, // 52 GBK bytes: cut before the 26th character
        {"图像", "\xCD\xBC\xCF\xF1", "图像"},
    };
    for (const Case& k : cases) {
        const std::string expected =
            GoldenBytes(68).I32(0, 11).I32(4, 2).I32(8, -1).I32(12, 900).Raw(16, k.gbk).Str();

        CkxDataShare share = Mark<CkxDataShare>(11, 2, 900, k.name);
        EXPECT_EQ(kx::RecordBytes(share.GetComData()), expected);
        CkxDataTag tag = Mark<CkxDataTag>(11, 2, 900, k.name);
        EXPECT_EQ(kx::RecordBytes(tag.GetComData()), expected);

        CkxDataTag::_COM com;
        ASSERT_TRUE(kx::ReadRecord(expected.data(), expected.size(), com));
        CkxDataTag back(com);
        EXPECT_EQ(back.m_nID, 11);
        EXPECT_EQ(back.m_nUserID, 2);
        EXPECT_EQ(back.m_nDataFormat, -1);
        EXPECT_EQ(back.m_nFileID, 900);
        EXPECT_EQ(back.m_strName, k.back);
    }
}

TEST(CkxDataShareList, DeleteFormsAndUpdate) {
    struct Case {
        const char* name;
        bool empty;
        int deleteId;
        int deleted;
        int deleteObjFile;
        int deletedObj;
        int countAfter;
    };
    // Fixture: ids 1, 1, 2 pointing to files 10, 10, 20, plus id 3 pointing to file 10.
    const Case cases[] = {
        {"every record with the id", false, 1, 2, 99, 0, 2},
        {"every record of the file", false, 99, 0, 10, 3, 1},
        {"both", false, 2, 1, 10, 3, 0},
        {"empty list", true, 1, 0, 10, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CkxDataTagList list;
        if (!k.empty) {
            list.AddTail(Mark<CkxDataTag>(1, 5, 10));
            list.AddTail(Mark<CkxDataTag>(1, 5, 10));
            list.AddTail(Mark<CkxDataTag>(2, 5, 20));
            list.AddTail(new CkxDataTag(Mark<CkxDataTag>(3, 6, 10)));
        }
        EXPECT_EQ(list.Delete(k.deleteId), k.deleted);
        EXPECT_EQ(list.DeleteObj(k.deleteObjFile), k.deletedObj);
        EXPECT_EQ(list.GetCount(), k.countAfter);
    }

    CkxDataShareList shares;
    shares.AddTail(Mark<CkxDataShare>(1, 5, 10, "old"));
    EXPECT_EQ(shares.Update(Mark<CkxDataShare>(9, 5, 10, "absent")), 0);
    EXPECT_EQ(shares.GetCount(), 1);
    EXPECT_EQ(shares.Update(Mark<CkxDataShare>(1, 6, 11, "new")), 1);
    EXPECT_EQ(shares.Find(1)->m_strName, "new");
    EXPECT_EQ(shares.Find(1)->m_nFileID, 11);
}

TEST(CkxDataShareList, GetUserCreateAppendsWithoutClearing) {
    CkxDataShareList list;
    list.AddTail(Mark<CkxDataShare>(1, 5, 10));
    list.AddTail(Mark<CkxDataShare>(2, 6, 10));
    list.AddTail(Mark<CkxDataShare>(3, 5, 11));
    CkxDataShare a, b;
    std::vector<CkxDataShare*> out{&a, &b};
    EXPECT_EQ(list.GetUserCreate(5, out), 4);
    EXPECT_EQ(out[2]->m_nID, 1);
    EXPECT_EQ(out[3]->m_nID, 3);
    EXPECT_EQ(list.GetUserCreate(42, out), 4);
}
