// The operation log: the writers' event text and cut, the filtered query, the prune up to the
// end of a day, and the console's requests 50 and 51 over loopback.
#include "db/AdoRecordset.h"
#include "base/Gbk.h"
#include "server/support/TestServer.h"
#include "service/OperationLog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace srvtest;

namespace {

COleDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return COleDateTime(y, mo, d, h, mi, s); }

// A line with a chosen time, written past the writers (which always stamp "now").
int AddLine(CADODatabase& db, int level, int category, int user, const COleDateTime& time,
            const std::string& event = "line") {
    CADOFieldList f;
    f.AddInt("T_Lev", level);
    f.AddInt("T_Type", category);
    f.AddInt("T_TypeSub", 0);
    f.AddText("T_Event", event);
    f.AddDate("T_Time", time);
    f.AddInt("T_DoUser", user);
    return db.Insert("VUZO_Log", f);
}

std::vector<int> Ids(const CkxLogList& list) {
    std::vector<int> ids;
    for (POSITION p = list.GetHeadPosition(); p;) ids.push_back(list.GetNext(p).m_nID);
    return ids;
}

std::vector<std::string> Events(CADODatabase& db) {
    std::vector<std::string> out;
    CADORecordset rs;
    EXPECT_TRUE(db.Query("SELECT T_Event FROM VUZO_Log ORDER BY T_ID", rs));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        std::string e;
        rs.GetString("T_Event", e);
        out.push_back(e);
    }
    return out;
}

} // namespace

TEST(OperationLog, WritersStoreTheEventCutTo90GbkBytes) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CADODatabase& db = server.Db();
    db.Execute("DELETE FROM VUZO_Log");

    const std::string longAscii(120, 'a');
    const std::string chinese = "删除" + std::string(40, 'x') + "关键字关键字关键字关键字关键字关键字"; // 4+40+36 = 80 GBK bytes
    const struct {
        std::string user;
        std::string action;
        std::string stored;
    } cases[] = {
        {"alice", "添加族类<图片>", "<alice> 添加族类<图片>"},
        {"", "启动服务器", "<> 启动服务器"},
        {"bob", longAscii, ("<bob> " + longAscii).substr(0, 90)},
        // "<su> " is 5 bytes: 85 more fit, the double-byte character at 84-85 is whole and the
        // next one, which would end at byte 92, is dropped whole.
        {"su", chinese + "组组组组组", "<su> " + chinese + "组组"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WriteLog(&db, 7, c.user, c.action, KXLOG_CAT_SYSADMIN), 1);
        const std::string stored = Events(db).back();
        EXPECT_EQ(stored, c.stored);
        EXPECT_LE(kx::GbkLength(stored), kLogEventMax);
    }
    EXPECT_EQ(WriteLogWarning(&db, 7, "alice", "删除用户", KXLOG_CAT_USERADMIN), 1);

    CkxLogList lines;
    ASSERT_EQ(QueryLog(&db, CkxLog(), lines), 5);
    POSITION p = lines.GetHeadPosition();
    const CkxLog first = lines.GetNext(p);
    EXPECT_EQ(first.m_nLev, KXLOG_INFO);
    EXPECT_EQ(first.m_nType, KXLOG_CAT_SYSADMIN);
    EXPECT_EQ(first.m_nTypeSub, 0);
    EXPECT_EQ(first.m_nUser, 7);
    EXPECT_LT(std::fabs(first.m_dtTime.m_dt - COleDateTime::GetCurrentTime().m_dt), 60.0 / 86400);
    const CkxLog warning = *lines.Find(Ids(lines).back());
    EXPECT_EQ(warning.m_nLev, KXLOG_WARN);
    EXPECT_EQ(warning.m_nType, KXLOG_CAT_USERADMIN);

    // Without an open connection nothing is written or read.
    EXPECT_EQ(WriteLog(nullptr, 1, "a", "b", 1), 0);
    CADODatabase closed;
    EXPECT_EQ(WriteLog(&closed, 1, "a", "b", 1), 0);
    EXPECT_EQ(QueryLog(&closed, CkxLog(), lines), 0);
    EXPECT_EQ(DeleteLogBefore(&closed, At(2030, 1, 1)), 0);
}

TEST(OperationLog, QueryFiltersByEachSetFieldAndAnOrderedRange) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CADODatabase& db = server.Db();
    db.Execute("DELETE FROM VUZO_Log");
    // Written out of time order: the answer is ordered by time.
    const int c = AddLine(db, 1, 3, 5, At(2024, 3, 3, 8));
    const int a = AddLine(db, 1, 4, 5, At(2024, 3, 1, 8));
    const int d = AddLine(db, 2, 4, 6, At(2024, 3, 4, 8));
    const int b = AddLine(db, 2, 20, 6, At(2024, 3, 2, 8));

    const auto filter = [](int lev, int type, int user, COleDateTime from, COleDateTime to) {
        CkxLog f;
        f.m_nLev = static_cast<uint8_t>(lev);
        f.m_nType = static_cast<uint8_t>(type);
        f.m_nUser = user;
        f.m_dtTime = from;
        f.m_dtEnd = to;
        return f;
    };
    COleDateTime none;
    COleDateTime bad = At(2024, 3, 2);
    bad.SetStatus(COleDateTime::invalid);
    const struct {
        const char* name;
        CkxLog filter;
        std::vector<int> ids;
    } cases[] = {
        {"everything", filter(0, 0, 0, none, none), {a, b, c, d}},
        {"level", filter(2, 0, 0, none, none), {b, d}},
        {"category", filter(0, 4, 0, none, none), {a, d}},
        {"user", filter(0, 0, 6, none, none), {b, d}},
        {"user 0 is anyone", filter(0, 0, 0, none, none), {a, b, c, d}},
        {"level and category", filter(2, 4, 0, none, none), {d}},
        {"range", filter(0, 0, 0, At(2024, 3, 2), At(2024, 3, 3, 23, 59, 59)), {b, c}},
        {"reversed range holds nothing", filter(0, 0, 0, At(2024, 3, 3), At(2024, 3, 2)), {}},
        {"empty range holds nothing", filter(0, 0, 0, At(2024, 3, 3, 8), At(2024, 3, 3, 8)), {}},
        {"one end missing", filter(0, 0, 0, At(2024, 3, 3), none), {a, b, c, d}},
        {"invalid end", filter(0, 0, 0, bad, At(2024, 3, 3)), {a, b, c, d}},
        {"nothing matches", filter(3, 0, 0, none, none), {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        CkxLogList out;
        EXPECT_EQ(QueryLog(&db, k.filter, out), static_cast<int>(k.ids.size()));
        EXPECT_EQ(Ids(out), k.ids);
    }
}

TEST(OperationLog, PruneRequestDeletesThroughTheEndOfTheDay) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CADODatabase& db = server.Db();
    server.Locked([&] {
        db.Execute("DELETE FROM VUZO_Log");
        AddLine(db, 1, 1, 1, At(2024, 5, 9, 23, 59, 59));
        AddLine(db, 1, 1, 1, At(2024, 5, 10, 9));
        AddLine(db, 1, 1, 1, At(2024, 5, 10, 10));
        AddLine(db, 1, 1, 1, At(2024, 5, 10, 23, 59, 59));
        AddLine(db, 1, 1, 1, At(2024, 5, 11, 0, 0, 0));
        return 0;
    });
    auto su = server.LogOnAdmin();
    ASSERT_TRUE(su);
    const auto prune = [&](double date, size_t n = 8) {
        su->Send(kx::kMsgLogDelete, kx::kSubNone, &date, n);
        su->Send(kx::kMsgServerRecord, kx::kSubList); // answered once the prune has been handled
        EXPECT_TRUE(su->Wait(kx::kMsgServerRecord, kx::kSubList));
        EXPECT_EQ(su->Count(kx::kMsgLogDelete, -1), 0); // a prune is never answered
        return server.Locked([&] { return RowCount(db, "SELECT * FROM VUZO_Log"); });
    };
    // Every prune that ran leaves its own line (who, up to which day); refused ones leave none.
    EXPECT_EQ(prune(At(2024, 5, 8, 12)), 6);                 // before the oldest day: nothing
    EXPECT_EQ(prune(std::numeric_limits<double>::quiet_NaN()), 6);  // not a number: refused
    EXPECT_EQ(prune(std::numeric_limits<double>::infinity()), 6);
    EXPECT_EQ(prune(1e12), 6);                               // past the calendar
    EXPECT_EQ(prune(At(2024, 5, 10, 23, 0), 7), 6);          // short payload: dropped
    EXPECT_EQ(prune(At(2024, 5, 10, 10)), 3);                // 10:00 takes the whole day
    const auto events = server.Locked([&] { return Events(db); });
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events.back(), "<su> 删除2024-5-10及以前的日志");
}

TEST(OperationLog, QueryRequestAnswersEveryLineAsASeriesOfRecords) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    CADODatabase& db = server.Db();
    constexpr int kLines = 300;
    const std::string longEvent = "<alice> " + std::string(70, 'e'); // longer than the record's 50
    server.Locked([&] {
        CADOTransaction tx(db);
        db.Execute("DELETE FROM VUZO_Log");
        for (int i = 0; i < kLines; ++i)
            AddLine(db, 1 + i % 2, 20, 3, At(2024, 1, 1, 0, 0, 0).m_dt + i / 86400.0,
                    i == 0 ? longEvent : "line " + std::to_string(i));
        return tx.Commit();
    });
    auto su = server.LogOnAdmin();
    ASSERT_TRUE(su);

    su->SendRecord(kx::kMsgLogQuery, kx::kSubNone, CkxLog().GetComData()); // every line
    const auto all = su->WaitSeries(kx::kMsgLogQuery, kx::kSubNone);
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), static_cast<size_t>(kLines));
    double previous = 0;
    for (size_t i = 0; i < all->size(); ++i) {
        const Answer& a = (*all)[i];
        ASSERT_EQ(a.payload.size(), sizeof(CkxLog::_COM));
        EXPECT_EQ(a.flag, 0);
        EXPECT_EQ(a.seriesIndex, kLines - 1 - static_cast<int>(i));
        CkxLog::_COM com;
        ASSERT_TRUE(a.As(com));
        EXPECT_GT(com.dtTime, previous);
        previous = com.dtTime;
        if (i == 0) {
            EXPECT_EQ(com.szEvent[49], '\0');
            EXPECT_EQ(kx::GetText(com.szEvent), longEvent.substr(0, 49));
        }
    }
    EXPECT_EQ(all->front().seriesPos, kSeriesFirst);
    EXPECT_EQ(all->back().seriesPos, kSeriesLast);

    CkxLog warnings;
    warnings.m_nLev = KXLOG_WARN;
    su->SendRecord(kx::kMsgLogQuery, kx::kSubNone, warnings.GetComData());
    const auto half = su->WaitSeries(kx::kMsgLogQuery, kx::kSubNone);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->size(), static_cast<size_t>(kLines / 2));

    CkxLog none;
    none.m_nUser = 99;
    su->SendRecord(kx::kMsgLogQuery, kx::kSubNone, none.GetComData());
    const CkxLog::_COM filter = CkxLog().GetComData();
    su->Send(kx::kMsgLogQuery, kx::kSubNone, &filter, sizeof filter - 1); // short filter: dropped
    EXPECT_TRUE(su->Quiet(kx::kMsgLogQuery, -1));
}
