#include "base/OleDate.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kx;

TEST(OleDate, TextFormTable) {
    struct Case {
        DATE dt;
        const char* text;
    };
    DATE may7 = 0, may7t = 0, may7r = 0;
    ASSERT_TRUE(MakeDate(2006, 5, 7, 0, 0, 0, may7));
    ASSERT_TRUE(MakeDate(2006, 5, 7, 8, 5, 9, may7t));
    // Half a second before midnight rounds up to the next day at midnight.
    may7r = may7 + (86400.0 - 0.4) / 86400.0;
    const Case cases[] = {
        {0, ""},
        {may7, "2006-5-7"},
        {may7t, "2006-5-7 8:5:9"},
        {may7r, "2006-5-8"},
        {1.0, "1899-12-31"},
        {2.5, "1900-1-1 12:0:0"},
    };
    for (const Case& c : cases) EXPECT_EQ(DateText(c.dt), c.text) << c.dt;
}

TEST(OleDate, KnownDayNumbers) {
    DATE d = 0;
    ASSERT_TRUE(MakeDate(2000, 1, 1, 0, 0, 0, d));
    EXPECT_DOUBLE_EQ(d, 36526.0);
    ASSERT_TRUE(MakeDate(1899, 12, 30, 6, 0, 0, d));
    EXPECT_DOUBLE_EQ(d, 0.25);
    EXPECT_FALSE(MakeDate(2001, 2, 29, 0, 0, 0, d));
    EXPECT_TRUE(MakeDate(2000, 2, 29, 0, 0, 0, d));
    EXPECT_FALSE(MakeDate(2000, 1, 1, 24, 0, 0, d));
}

TEST(OleDate, FieldsIsoTextAndParse) {
    COleDateTime t(2024, 2, 29, 23, 59, 58);
    EXPECT_EQ(t.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(t.GetYear(), 2024);
    EXPECT_EQ(t.GetMonth(), 2);
    EXPECT_EQ(t.GetDay(), 29);
    EXPECT_EQ(t.GetSecond(), 58);
    EXPECT_EQ(t.GetDayOfWeek(), 5); // a Thursday
    EXPECT_EQ(IsoDateText(t), "2024-02-29 23:59:58");

    COleDateTime p;
    EXPECT_TRUE(p.ParseDateTime("2006-5-7 8:5:9"));
    EXPECT_EQ(DateText(p), "2006-5-7 8:5:9");
    COleDateTime bad(1.5);
    EXPECT_FALSE(bad.ParseDateTime("2006-13-7"));
    EXPECT_DOUBLE_EQ(bad.m_dt, 1.5);

    COleDateTime invalid(2001, 2, 30, 0, 0, 0);
    EXPECT_EQ(invalid.GetStatus(), COleDateTime::invalid);
}

// The date texts the databases and people give: ISO with or without time, slashes, a 'T', a
// fraction or zone after the seconds, spaces around the fields; a text cut after the hour or
// before the day, or with a field out of range, is refused and leaves the value alone.
TEST(OleDate, ParseDateTimeForms) {
    const struct {
        const char* text;
        const char* iso; // null: refused
    } cases[] = {
        {"2024-01-02 03:04:05", "2024-01-02 03:04:05"},
        {"2024-01-02", "2024-01-02 00:00:00"},
        {"2024/1/2 3:4", "2024-01-02 03:04:00"},
        {"2024-01-02T10:11:12.345", "2024-01-02 10:11:12"},
        {"2024-01-02 10:11:12+08", "2024-01-02 10:11:12"},
        {"  2024-01-02   7:08:09", "2024-01-02 07:08:09"},
        {"2024-01-02 10", nullptr},
        {"2024-01", nullptr},
        {"2024-02-30", nullptr},
        {"2024-01-02 24:00:00", nullptr},
        {"x2024-01-02", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        COleDateTime d(1.5);
        EXPECT_EQ(d.ParseDateTime(c.text), c.iso != nullptr);
        EXPECT_EQ(IsoDateText(d.m_dt), c.iso ? c.iso : IsoDateText(1.5));
    }
}

TEST(OleDate, TimeTRoundTrip) {
    COleDateTime t(2020, 6, 15, 10, 20, 30);
    EXPECT_EQ(COleDateTime::FromTimeT(t.ToTimeT()), t);
}

TEST(OleDate, ValuesOutsideTheCalendarAreNoDate) {
    const DATE bad[] = {1e300, -1e300, 3e6, -7e5, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()};
    for (DATE d : bad) {
        EXPECT_FALSE(IsDateInRange(d)) << d;
        EXPECT_EQ(DateText(d), "") << d;
        EXPECT_EQ(IsoDateText(d), "1899-12-30 00:00:00") << d;
    }
    DATE last = 0;
    ASSERT_TRUE(MakeDate(9999, 12, 31, 23, 59, 59, last));
    EXPECT_TRUE(IsDateInRange(last));
    EXPECT_EQ(DateText(last), "9999-12-31 23:59:59");
    DATE first = 0;
    ASSERT_TRUE(MakeDate(100, 1, 1, 0, 0, 0, first));
    EXPECT_EQ(DateText(first), "100-1-1");
}
