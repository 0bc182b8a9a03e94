#include "model/CkxQueryOperand.h"
#include "model/CkxQuerySQL.h"
#include "model/CkxXXX.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

COleDateTime Dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return COleDateTime(y, mo, d, h, mi, s); }

// Header bytes built by hand: link, code, attribute, type, length, extra data.
std::string Header(uint8_t link, uint8_t code, int32_t attr, uint8_t type, int32_t len, int32_t ex = 0) {
    std::string b(20, '\0');
    b[0] = static_cast<char>(link);
    b[1] = static_cast<char>(code);
    std::memcpy(&b[4], &attr, 4);
    b[8] = static_cast<char>(type);
    std::memcpy(&b[12], &len, 4);
    std::memcpy(&b[16], &ex, 4);
    return b;
}

template <class T>
std::string Bytes(T v) {
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

CkxQueryOperand Read(const std::string& bytes) {
    CkxQueryOperand o;
    EXPECT_GT(o.PasyBuf(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size())), 0);
    return o;
}

struct SqlRow {
    const char* what;
    std::function<CkxQueryOperand()> make;
    const char* fix;  // FormatSQL_Fix("c")
    const char* link; // FormatSQL_Link("attrid", "attrvalue")
};

const std::vector<SqlRow>& SqlRows() {
    static const std::vector<SqlRow> rows = {
        {"int >=", [] { CkxQueryOperand o; o.Set_GreatEqual(12, 3); return o; },
         " c >= 3 ", " attrid = 12 AND attrvalue >= 3 "},
        {"int = negative", [] { CkxQueryOperand o; o.Set_Equal(12, -7); return o; },
         " c = -7 ", " attrid = 12 AND attrvalue = -7 "},
        {"int !=", [] { CkxQueryOperand o; o.Set_NotEqual(1, 0); return o; }, " c != 0 ", " attrid = 1 AND attrvalue != 0 "},
        {"int <=", [] { CkxQueryOperand o; o.Set_LessEqual(1, 5); return o; }, " c <= 5 ", " attrid = 1 AND attrvalue <= 5 "},
        {"int range open", [] { CkxQueryOperand o; o.Set_FromTo(5, 1, 9); return o; },
         "c > 1 AND c < 9 ", " attrid = 5 AND attrvalue > 1 AND attrvalue < 9 "},
        {"int range closed", [] { CkxQueryOperand o; o.Set_FromTo_Close(5, 1, 9); return o; },
         "c >= 1 AND c <= 9 ", " attrid = 5 AND attrvalue >= 1 AND attrvalue <= 9 "},
        {"int range closed left", [] { CkxQueryOperand o; o.Set_FromTo_CloseLeft(5, 1, 9); return o; },
         "c >= 1 AND c < 9 ", " attrid = 5 AND attrvalue >= 1 AND attrvalue < 9 "},
        {"int range closed right", [] { CkxQueryOperand o; o.Set_FromTo_CloseRight(5, 1, 9); return o; },
         "c > 1 AND c <= 9 ", " attrid = 5 AND attrvalue > 1 AND attrvalue <= 9 "},
        {"float <", [] { CkxQueryOperand o; o.Set_Less(7, 2.5f); return o; },
         " c < 2.5000 ", " attrid = 7 AND attrvalue < 2.5000 "},
        {"float range", [] { CkxQueryOperand o; o.Set_FromTo_Close(7, 0.5f, -1.25f); return o; },
         " c >= 0.5000 AND c <= -1.2500 ", " attrid = 7 AND attrvalue >= 0.5000 AND attrvalue <= -1.2500 "},
        {"date =", [] { CkxQueryOperand o; o.Set_Equal(9, Dt(2024, 3, 5, 14, 7, 9)); return o; },
         " c = '2024-03-05 14:07:09' ", " attrid = 9 AND attrvalue = '2024-03-05 14:07:09' "},
        {"date >", [] { CkxQueryOperand o; o.Set_Great(9, Dt(2024, 3, 5)); return o; },
         " c > '2024-03-05 00:00:00' ", " attrid = 9 AND attrvalue > '2024-03-05 00:00:00' "},
        {"date range", [] { CkxQueryOperand o; o.Set_FromTo_CloseLeft(9, Dt(2024, 1, 1), Dt(2024, 12, 31, 23, 59, 59)); return o; },
         " c >= '2024-01-01 00:00:00' AND c < '2024-12-31 23:59:59' ",
         " attrid = 9 AND attrvalue >= '2024-01-01 00:00:00' AND attrvalue < '2024-12-31 23:59:59' "},
        {"text = doubles quotes", [] { CkxQueryOperand o; o.Set_Equal(3, std::string("O'Neil")); return o; },
         " c = 'O''Neil' ", " attrid = 3 AND attrvalue = 'O''Neil' "},
        {"keyword is equality", [] { CkxQueryOperand o; o.Set_Keyword(3, "abc"); return o; },
         " c = 'abc' ", " attrid = 3 AND attrvalue = 'abc' "},
        {"text !=", [] { CkxQueryOperand o; o.Set_NotEqual(3, std::string("abc")); return o; },
         " c != 'abc' ", " attrid = 3 AND attrvalue != 'abc' "},
        {"contains doubles quotes", [] { CkxQueryOperand o; o.Set_Include(3, "it's'); DROP"); return o; },
         " c LIKE '%it''s''); DROP%' ", " attrid = 3 AND attrvalue LIKE '%it''s''); DROP%' "},
        {"chinese text", [] { CkxQueryOperand o; o.Set_Equal(3, std::string("风景")); return o; },
         " c = '风景' ", " attrid = 3 AND attrvalue = '风景' "},
        // Codes that do not belong to the value type, and values that cannot be written.
        {"range code on one int", [] { return Read(Header(1, 17, 5, 5, 4) + Bytes<int32_t>(3)); }, "", ""},
        {"single code on a range", [] { return Read(Header(1, 11, 5, 6, 8) + Bytes<int32_t>(1) + Bytes<int32_t>(2)); }, "", ""},
        {"order code on text", [] { return Read(Header(1, 13, 5, 17, 4) + std::string("abc", 4)); }, "", ""},
        {"unknown type", [] { return Read(Header(1, 11, 5, 3, 4) + Bytes<int32_t>(3)); }, "", ""},
        {"not a number", [] { CkxQueryOperand o; o.Set_Equal(7, std::numeric_limits<float>::quiet_NaN()); return o; }, "", ""},
        {"date out of range", [] { return Read(Header(1, 11, 9, 13, 8) + Bytes<double>(1e12)); }, "", ""},
    };
    return rows;
}

} // namespace

TEST(CkxQueryOperand, SqlTextForEveryTypeAndCodeOnBothDatabaseKinds) {
    for (int kind : {KX_DB_POSTGRESQL, KX_DB_SQLITE}) {
        if (kind == KX_DB_SQLITE) KX_KXXXX().SetDatabase_SQLite(); else KX_KXXXX().SetDatabase_PostgreSQL();
        for (const auto& r : SqlRows()) {
            SCOPED_TRACE(std::string(r.what) + " kind " + std::to_string(kind));
            CkxQueryOperand o = r.make();
            EXPECT_EQ(o.FormatSQL_Fix("c"), r.fix);
            EXPECT_EQ(o.FormatSQL_Link("attrid", "attrvalue"), r.link);
        }
    }
    KX_KXXXX().SetDatabase_PostgreSQL();
}

TEST(CkxQueryOperand, LinkFormWithTableAndListForm) {
    CkxQueryOperand ge;
    ge.SetLinkAttr();
    ge.Set_GreatEqual(12, 3);
    EXPECT_EQ(ge.FormatSQL_Link("v", "attrid", "attrvalue"), " v.attrid = 12 AND v.attrvalue >= 3 ");

    CkxQueryOperandList list;
    list.AddTail(ge);
    EXPECT_EQ(list.FormatSQL(), " attrid = 12 AND attrvalue >= 3  ");

    CkxQueryOperand broken = Read(Header(1, 17, 5, 5, 4) + Bytes<int32_t>(3)); // no condition
    CkxQueryOperand kw;
    kw.SetLinkKeyword();
    kw.Set_Keyword(4, "sea");
    list.AddTail(broken);
    list.AddTail(kw);
    EXPECT_EQ(list.FormatSQL(), " attrid = 12 AND attrvalue >= 3   AND  attrid = 4 AND attrvalue = 'sea'  ");

    CkxQueryOperandList::Operands out{nullptr};
    EXPECT_EQ(list.GetAttrOperand(out), 2);
    EXPECT_EQ(list.GetKeywordOperand(out), 1);
    EXPECT_EQ(out[0]->GetAttrID(), 4);
    EXPECT_EQ(list.GetLength(), (20 + 4) + (20 + 4) + (20 + 4));
}

TEST(CkxQueryOperand, NumbersIgnoreADecimalCommaLocale) {
    TempDir dir;
    std::string cmd = "localedef -i de_DE -f UTF-8 " + dir.file("de_DE.UTF-8") + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "no locale compiler";
    setenv("LOCPATH", dir.str().c_str(), 1);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "locale not loadable";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    EXPECT_STREQ(probe, "2,5"); // the locale really writes a comma

    CkxQueryOperand o;
    o.SetLinkAttr();
    o.Set_FromTo(7, 0.5f, 2.25f);
    EXPECT_EQ(o.FormatSQL_Fix("c"), " c > 0.5000 AND c < 2.2500 ");
    EXPECT_EQ(CkxQuerySQL::FormatStr(2.5), "2.500000");
    EXPECT_EQ(CkxQuerySQL::FormatStr(1.5f), "1.500000");
    EXPECT_EQ(o.GetFormatText(), "0.5000");
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
}

TEST(CkxQueryOperand, WireFormRoundTripsAndMatchesHandBuiltBytes) {
    CkxQueryOperand o;
    o.SetLinkKeyword();
    o.Set_Include(0x01020304, "ab");
    o.SetExData(-5);
    CkxBuf buf;
    ASSERT_EQ(o.BuildBuf(buf), 23);
    EXPECT_EQ(std::string(buf.View()), Header(2, 31, 0x01020304, 17, 3, -5) + std::string("ab", 3));

    CkxQueryOperand back;
    ASSERT_EQ(back.PasyBuf(buf), 23);
    EXPECT_EQ(back.GetLinkType(), 2);
    EXPECT_EQ(back.GetOperateSign(), 31);
    EXPECT_EQ(back.GetAttrID(), 0x01020304);
    EXPECT_EQ(back.GetExData(), -5);
    EXPECT_EQ(back.Get_Str(), "ab");
    EXPECT_EQ(back.GetLength(), 23);

    // Each value type round trips with its bytes.
    CkxQueryOperand d;
    d.SetLinkAttr();
    d.Set_FromTo_Close(9, Dt(2020, 1, 2), Dt(2021, 3, 4, 5, 6, 7));
    ASSERT_EQ(d.BuildBuf(buf), 36);
    CkxQueryOperand d2;
    ASSERT_EQ(d2.PasyBuf(buf), 36);
    EXPECT_EQ(d2.Get_Dt().m_dt, Dt(2020, 1, 2).m_dt);
    EXPECT_EQ(d2.Get_Dt2().m_dt, Dt(2021, 3, 4, 5, 6, 7).m_dt);
    EXPECT_EQ(d2.GetDataType(), CkxQueryOperand::TYPE_DATE2);

    // Chinese text travels as GBK: two characters are four bytes and a NUL.
    CkxQueryOperand c;
    c.Set_Equal(1, std::string("风景"));
    EXPECT_EQ(c.GetValueLen(), 5);
}

TEST(CkxQueryOperand, ReaderRefusesShortNegativeAndOverrunningLengths) {
    struct Row {
        const char* what;
        std::string bytes;
    } rows[] = {
        {"19 bytes", Header(1, 11, 5, 5, 0).substr(0, 19)},
        {"announces 10, carries 4", Header(1, 11, 5, 17, 10) + std::string("abc", 4)},
        {"negative length", Header(1, 11, 5, 17, -1) + std::string("abc", 4)},
        {"huge length", Header(1, 11, 5, 17, 0x7FFFFFFF) + std::string("abc", 4)},
        {"int with 2 bytes", Header(1, 11, 5, 5, 2) + std::string("\1\2", 2)},
        {"int range with 4 bytes", Header(1, 17, 5, 6, 4) + Bytes<int32_t>(1)},
        {"date with 4 bytes", Header(1, 11, 5, 13, 4) + Bytes<int32_t>(1)},
        {"date range with 8 bytes", Header(1, 17, 5, 14, 8) + Bytes<double>(1)},
        {"text without bytes", Header(1, 11, 5, 17, 0)},
    };
    CkxQueryOperand keep;
    keep.SetLinkAttr();
    keep.Set_Equal(42, 7);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CkxQueryOperand o = keep;
        EXPECT_EQ(o.PasyBuf(reinterpret_cast<const unsigned char*>(r.bytes.data()), static_cast<int>(r.bytes.size())), 0);
        EXPECT_EQ(o.GetAttrID(), 42);
        EXPECT_EQ(o.Get_Int(), 7);
    }
    CkxQueryOperand o;
    EXPECT_EQ(o.PasyBuf(nullptr, 40), 0);
    // A header with no value and extra bytes after it reads only what it announces.
    std::string extra = Header(1, 1, 5, 0, 0) + "tail";
    EXPECT_EQ(o.PasyBuf(reinterpret_cast<const unsigned char*>(extra.data()), static_cast<int>(extra.size())), 20);
    EXPECT_TRUE(o.IsUnk());
}

TEST(CkxQueryOperand, ValidityTypesAndDisplayText) {
    struct Row {
        const char* what;
        std::function<CkxQueryOperand()> make;
        bool valid;
        const char* text;
        const char* text2;
    } rows[] = {
        {"no link kind", [] { CkxQueryOperand o; o.Set_Equal(1, 3); return o; }, false, "", ""},
        {"int", [] { CkxQueryOperand o; o.SetLinkAttr(); o.Set_GreatEqual(1, 3); return o; }, true, "3", ">= 3"},
        {"no attribute", [] { CkxQueryOperand o; o.SetLinkAttr(); o.Set_Equal(-1, 3); return o; }, false, "", ""},
        {"empty text", [] { CkxQueryOperand o; o.SetLinkAttr(); o.Set_Equal(1, std::string()); return o; }, false, "", ""},
        {"float range", [] { CkxQueryOperand o; o.SetLinkAttr(); o.Set_FromTo_CloseLeft(1, 1.5f, 2.0f); return o; },
         true, "1.5000", "[1.5000, 2.0000)"},
        {"date", [] { CkxQueryOperand o; o.SetLinkAttr(); o.Set_Less(1, Dt(2024, 3, 5, 4, 0, 9)); return o; },
         true, "2024-3-5 4:0:9", "< 2024-3-5 4:0:9"},
        {"contains", [] { CkxQueryOperand o; o.SetLinkAttr(); o.Set_Include(1, "海"); return o; }, true, "海", "*海*"},
        {"unknown comparison", [] { CkxQueryOperand o; o.SetLinkAttr(); o.Set_Unk(4); return o; }, false, "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CkxQueryOperand o = r.make();
        EXPECT_EQ(o.IsValid(), r.valid);
        EXPECT_EQ(o.GetFormatText(), r.text);
        EXPECT_EQ(o.GetFormatText2(), r.text2);
    }
    struct TypeRow {
        int type;
        bool isInt, isFloat, isDate, isStr;
    } types[] = {{1, 1, 0, 0, 0}, {6, 1, 0, 0, 0}, {7, 0, 0, 0, 0}, {9, 0, 1, 0, 0}, {12, 0, 1, 0, 0},
                 {13, 0, 0, 1, 0}, {14, 0, 0, 1, 0}, {15, 1, 0, 0, 0}, {16, 1, 0, 0, 0}, {17, 0, 0, 0, 1},
                 {18, 0, 0, 0, 1}, {0, 0, 0, 0, 0}};
    for (const auto& t : types) {
        SCOPED_TRACE(t.type);
        int n = t.type == 6 ? 8 : t.type == 9 ? 4 : t.type == 13 ? 8 : t.type == 14 ? 16 : t.type == 17 ? 1 : 0;
        CkxQueryOperand o = Read(Header(1, 11, 1, static_cast<uint8_t>(t.type), n) + std::string(n, '\0'));
        EXPECT_EQ(o.IsInt(), t.isInt);
        EXPECT_EQ(o.IsFloat(), t.isFloat);
        EXPECT_EQ(o.IsDate(), t.isDate);
        EXPECT_EQ(o.IsStr(), t.isStr);
    }
}

TEST(CkxQueryOperand, CheckOkComparesStoredValues) {
    auto op = [](auto set) {
        CkxQueryOperand o;
        o.SetLinkAttr();
        set(o);
        return o;
    };
    struct Row {
        const char* what;
        CkxQueryOperand o;
        CkxValueSp stored;
        int expected;
    } rows[] = {
        {">= equal", op([](auto& o) { o.Set_GreatEqual(1, 3); }), CkxValueSp(3), 1},
        {"> equal", op([](auto& o) { o.Set_Great(1, 3); }), CkxValueSp(3), 0},
        {"kind mismatch", op([](auto& o) { o.Set_Equal(1, 3); }), CkxValueSp(3.0f), 0},
        {"range open edge", op([](auto& o) { o.Set_FromTo(1, 1, 5); }), CkxValueSp(5), 0},
        {"range closed right edge", op([](auto& o) { o.Set_FromTo_CloseRight(1, 1, 5); }), CkxValueSp(5), 1},
        {"range closed left edge", op([](auto& o) { o.Set_FromTo_CloseLeft(1, 1, 5); }), CkxValueSp(1), 1},
        {"float <=", op([](auto& o) { o.Set_LessEqual(1, 2.5f); }), CkxValueSp(2.5f), 1},
        {"date range", op([](auto& o) { o.Set_FromTo_Close(1, Dt(2024, 1, 1), Dt(2024, 2, 1)); }),
         CkxValueSp(Dt(2024, 1, 15)), 1},
        {"date !=", op([](auto& o) { o.Set_NotEqual(1, Dt(2024, 1, 1)); }), CkxValueSp(Dt(2024, 1, 1)), 0},
        {"text contains", op([](auto& o) { o.Set_Include(1, "abc"); }), CkxValueSp("xabcx"), 1},
        {"text keyword exact", op([](auto& o) { o.Set_Keyword(1, "abc"); }), CkxValueSp("abcd"), 0},
        {"text equal", op([](auto& o) { o.Set_Equal(1, std::string("风景")); }), CkxValueSp("风景"), 1},
        {"text not equal", op([](auto& o) { o.Set_NotEqual(1, std::string("a")); }), CkxValueSp("b"), 1},
        {"range code on one int", Read(Header(1, 17, 5, 5, 4) + Bytes<int32_t>(3)), CkxValueSp(3), 0},
        {"unknown type", Read(Header(1, 11, 5, 3, 4) + Bytes<int32_t>(3)), CkxValueSp(3), 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.o.CheckOK(r.stored), r.expected);
    }
}

TEST(CkxQueryOperand, ConstructorsFromTypedValues) {
    CkxQueryOperand one(12, 14, CkxValueSp(3));
    EXPECT_TRUE(one.IsValid());
    EXPECT_EQ(one.FormatSQL_Fix("c"), " c >= 3 ");
    CkxQueryOperand range(12, 18, CkxValueSp(Dt(2024, 1, 1)), CkxValueSp(Dt(2024, 2, 1)));
    EXPECT_EQ(range.GetDataType(), CkxQueryOperand::TYPE_DATE2);
    EXPECT_EQ(range.GetValue2().GetDate(), Dt(2024, 2, 1).m_dt);
    CkxQueryOperand contains(12, 31, CkxValueSp("ab"), CkxValueSp("ab"));
    EXPECT_EQ(contains.GetDataType(), CkxQueryOperand::TYPE_STR);
    EXPECT_EQ(contains.GetValue2().GetStr(), "ab");
    CkxQueryOperand mixed(12, 17, CkxValueSp(1), CkxValueSp(2.0f));
    EXPECT_FALSE(mixed.IsValid());
    EXPECT_EQ(mixed.GetOperateSign(), 17);
}

TEST(CkxQuerySQL, OperatorTextsAndFormatters) {
    struct Row {
        int code;
        const char* text;
    } os[] = {{11, " =  "}, {12, " != "}, {13, " >  "}, {14, " >= "}, {15, " <  "}, {16, " <= "}, {17, " "}, {0, " "}};
    for (const auto& r : os) EXPECT_EQ(CkxQuerySQL::OS_STR(r.code), r.text) << r.code;
    struct IdRow {
        const char* text;
        int code;
    } ids[] = {{" <= ", 16}, {"==", 11}, {"=", 11}, {">", 13}, {">=", 14}, {"<", 15}, {"!=", 12}, {"", 11}, {"like", 11}};
    for (const auto& r : ids) EXPECT_EQ(CkxQuerySQL::OS_ID(r.text), r.code) << r.text;

    EXPECT_EQ(CkxQuerySQL::FormatStr(static_cast<unsigned char>(200)), "200");
    EXPECT_EQ(CkxQuerySQL::FormatStr(static_cast<short>(-3)), "-3");
    EXPECT_EQ(CkxQuerySQL::FormatStr('x'), "x");
    EXPECT_EQ(CkxQuerySQL::FormatStr(Dt(2001, 2, 3, 4, 5, 6)), "'2001-02-03 04:05:06'");
    EXPECT_EQ(CkxQuerySQL::FormatStr(std::string("a'b''c")), "a''b''''c");
    EXPECT_EQ(CkxQuerySQL::QuoteText("it's"), "'it''s'");
}

// Damaged operand bytes (random flips, cut tails, random lengths) are read or refused without
// reading past the buffer, and whatever is read writes SQL whose quotes are balanced: each
// quoted literal opens and closes, every quote inside it doubled.
TEST(CkxQueryOperand, DamagedBytesNeverOverreadAndSqlQuotesStayBalanced) {
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<std::string> seeds;
    for (const auto& r : SqlRows()) {
        CkxBuf b;
        r.make().BuildBuf(b);
        seeds.emplace_back(b.View());
    }
    const std::string quoty = Header(1, 31, 3, 17, 9) + std::string("a'b''c'\\", 8) + std::string(1, '\0');
    seeds.push_back(quoty);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes = seeds[static_cast<size_t>(pick(0, static_cast<int>(seeds.size()) - 1))];
        switch (pick(0, 3)) {
        case 0: bytes[static_cast<size_t>(pick(0, static_cast<int>(bytes.size()) - 1))] = static_cast<char>(pick(0, 255)); break;
        case 1: bytes.resize(static_cast<size_t>(pick(0, static_cast<int>(bytes.size())))); break;
        case 2: {
            int32_t n = pick(-3, 40);
            std::memcpy(&bytes[12], &n, 4);
            break;
        }
        default:
            for (size_t k = 20; k < bytes.size(); ++k)
                if (pick(0, 3) == 0) bytes[k] = "'%_\\x"[pick(0, 4)];
            break;
        }
        // A heap copy of exactly the bytes, so the sanitizer sees any read past them.
        std::vector<unsigned char> heap(bytes.begin(), bytes.end());
        CkxQueryOperand o;
        int n = o.PasyBuf(heap.empty() ? nullptr : heap.data(), static_cast<int>(heap.size()));
        if (n == 0) continue;
        ASSERT_LE(n, static_cast<int>(heap.size()));
        ASSERT_EQ(n, o.GetLength());
        o.GetFormatText2();
        o.CheckOK(CkxValueSp("x"));
        for (const std::string& sql : {o.FormatSQL_Fix("c"), o.FormatSQL_Link("attrid", "attrvalue")}) {
            // Outside literals only the columns, operators, numbers and AND/LIKE appear.
            bool inside = false;
            for (size_t k = 0; k < sql.size(); ++k) {
                if (sql[k] != '\'') continue;
                if (inside && k + 1 < sql.size() && sql[k + 1] == '\'') {
                    ++k;
                    continue;
                }
                inside = !inside;
            }
            ASSERT_FALSE(inside) << sql;
        }
    }
}
