#include "model/CkxLog.h"
#include "core/support/GoldenBytes.h"

#include <gtest/gtest.h>

TEST(CkxLog, GoldenBytesRoundTrip) {
    struct Case {
        std::string event;
        std::string gbk;  // what the 50-byte field holds
        std::string back; // what a receiver reads
    };
    const Case cases[] = {
        {std::string(49, 'e'), std::string(49, 'e'), std::string(49, 'e')}, // NUL in the last byte
        {"a" + Utf8Zhong(25), "a" + GbkZhong(24), "a" + Utf8Zhong(24)},     // exactly 49 bytes
        {Utf8Zhong(25), GbkZhong(24), Utf8Zhong(24)}, // the 25th character would end past byte 49
    };
    for (const Case& k : cases) {
        CkxLog log;
        log.m_nID = 3001;
        log.SetLevWarn();
        log.m_nType = 0xFE;
        log.m_nTypeSub = 7;
        log.m_strEvent = k.event;
        log.m_dtTime = COleDateTime(39508.25);
        log.m_dtEnd = COleDateTime(39509.5);
        log.m_nUser = -1;
        // Unused bytes 57-63 and 84-87 go out as zeros, as does the rest of the event field.
        const std::string expected = GoldenBytes(88)
                                         .I32(0, 3001)
                                         .U8(4, 2)
                                         .U8(5, 0xFE)
                                         .U8(6, 7)
                                         .Raw(7, k.gbk)
                                         .Date(64, 39508.25)
                                         .Date(72, 39509.5)
                                         .I32(80, -1)
                                         .Str();
        ASSERT_EQ(kx::RecordBytes(log.GetComData()), expected);

        CkxLog::_COM com;
        ASSERT_TRUE(kx::ReadRecord(expected.data(), expected.size(), com));
        CkxLog back(com);
        EXPECT_EQ(back.m_nID, 3001);
        EXPECT_TRUE(back.IsLevWarn());
        EXPECT_EQ(back.m_nType, 0xFE);
        EXPECT_EQ(back.m_nTypeSub, 7);
        EXPECT_EQ(back.m_strEvent, k.back);
        EXPECT_EQ(static_cast<DATE>(back.m_dtTime), 39508.25);
        EXPECT_EQ(static_cast<DATE>(back.m_dtEnd), 39509.5);
        EXPECT_EQ(back.m_nUser, -1);
        EXPECT_EQ(back.GetTimeStr(), "2008-3-1 6:0:0");
    }
}

TEST(CkxLog, LevelsAndQueryRange) {
    struct Case {
        int lev;
        const char* name;
        bool isNull;
    };
    const Case cases[] = {{0, "<全部>", true}, {1, "普通", false}, {2, "警告", false},
                          {3, "严重", false}, {4, "<全部>", true}, {255, "<全部>", true}};
    for (const Case& k : cases) {
        CkxLog log;
        log.m_nLev = static_cast<uint8_t>(k.lev);
        EXPECT_EQ(log.GetLevStr(), k.name) << k.lev;
        EXPECT_EQ(log.IsLevNull(), k.isNull) << k.lev;
    }
    CkxLog log;
    EXPECT_TRUE(log.IsLevNull());
    log.SetLevError();
    EXPECT_TRUE(log.IsLevError());
    EXPECT_EQ(log.GetTimeStr(), ""); // no time yet

    log.SetQueryTime(COleDateTime(2008, 3, 1, 10, 0, 0), COleDateTime(2008, 3, 2, 9, 0, 0));
    EXPECT_EQ(kx::DateText(log.m_dtTime), "2008-3-1");
    EXPECT_EQ(kx::DateText(log.m_dtEnd), "2008-3-2 23:59:59");
    EXPECT_EQ(static_cast<DATE>(log.m_dtTime), 39508.0);
    // A range inside one day still spans the whole day.
    log.SetQueryTime(COleDateTime(2008, 3, 1, 23, 0, 0), COleDateTime(2008, 3, 1, 0, 0, 0));
    EXPECT_EQ(kx::DateText(log.m_dtTime), "2008-3-1");
    EXPECT_EQ(kx::DateText(log.m_dtEnd), "2008-3-1 23:59:59");
}

TEST(CkxLogList, ValuesCopiesAndFind) {
    CkxLogList list;
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Find(1), nullptr);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);

    CkxLog log;
    for (int id : {1, 2, 1}) {
        log.m_nID = id;
        log.m_strEvent = "e" + std::to_string(id);
        EXPECT_EQ(list.AddTail(log), 1);
    }
    log.m_strEvent = "changed after adding";
    EXPECT_EQ(list.GetCount(), 3);

    POSITION p = list.GetHeadPosition();
    CkxLog first = list.GetNext(p);
    first.m_strEvent = "edited copy";
    EXPECT_EQ(list.Find(1)->m_strEvent, "e1"); // GetNext gave a copy
    EXPECT_EQ(list.GetNext(p).m_nID, 2);
    EXPECT_EQ(list.GetNext(p).m_nID, 1);
    EXPECT_EQ(p, nullptr);

    list.Find(2)->m_nUser = 9; // Find points into the list
    p = list.GetHeadPosition();
    list.GetNext(p);
    EXPECT_EQ(list.GetNext(p).m_nUser, 9);

    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
}
