#include "model/CkxBuf.h"
#include "model/CkxFixed.h"
#include "model/CkxValue.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CkxBuf, CreateFillAndAssign) {
    CkxBuf b;
    EXPECT_EQ(b.Fill("abc", 0), 0);
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(b.Fill("abc", 3), 1);
    EXPECT_EQ(b.Fill(nullptr, 3), 0);
    EXPECT_EQ(b.View(), "abc"); // a refused Fill leaves the buffer as it was

    CkxBuf empty;
    EXPECT_EQ(b = empty, 0);
    EXPECT_EQ(b.View(), "abc");

    EXPECT_EQ(b.Create(0), 1);
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(b.GetLen(), 0);
    EXPECT_EQ(b.Create(-1), 0);
    EXPECT_EQ(b.GetBuf(), nullptr);

    CkxBuf c;
    c.Fill("hello", 5);
    CkxBuf d(c);
    EXPECT_EQ(d.View(), "hello");
    EXPECT_NE(d.GetBuf(), c.GetBuf());
    // Filling from a slice of itself keeps the right bytes.
    EXPECT_EQ(d.Fill(d.GetBuf() + 1, 3), 1);
    EXPECT_EQ(d.View(), "ell");
}

TEST(CkxValue, KindsLengthsAndBuffers) {
    CkxValue v;
    EXPECT_EQ(v.GetType(), 0);
    EXPECT_EQ(v.GetDataLen(), 0);
    EXPECT_EQ(v.GetDataBuf(), nullptr);
    v.SetValue(std::string("图像abc"));
    EXPECT_TRUE(v.IsString());
    EXPECT_EQ(v.GetDataLen(), static_cast<int>(std::strlen("图像abc")));
    v.SetValue(7);
    EXPECT_EQ(v.GetDataLen(), 4);
    EXPECT_EQ(v.GetInt(), 7);
    v.SetValue(COleDateTime(2006, 5, 7, 0, 0, 0));
    EXPECT_EQ(v.GetDataLen(), 8);
    EXPECT_EQ(kx::DateText(v.GetDate()), "2006-5-7");
    CkxValue copy(v);
    EXPECT_TRUE(copy.IsDate());
    char out[4];
    int n = 4;
    EXPECT_EQ(v.CopyBinary(out, n), 0); // no binary block: nothing copied
    EXPECT_EQ(n, 0);
    n = 0;
    EXPECT_EQ(v.CopyBinary(out, n), 0);
}

TEST(CkxValueSp, ValidityAndText) {
    struct Case {
        CkxValueSp v;
        bool valid;
        const char* text;
    };
    COleDateTime mid(2006, 5, 7, 0, 0, 0), morning(2006, 5, 7, 8, 5, 9);
    const Case cases[] = {
        {CkxValueSp(), false, ""},
        {CkxValueSp(-5), true, "-5"},
        {CkxValueSp(static_cast<char>(-3)), true, "-3"},
        {CkxValueSp(1.5f), true, "1.5000"},
        {CkxValueSp(0.0), false, ""},
        {CkxValueSp(mid), true, "2006-5-7"},
        {CkxValueSp(morning), true, "2006-5-7 8:5:9"},
        {CkxValueSp(""), false, ""},
        {CkxValueSp("文本"), true, "文本"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.v.IsValid(), c.valid) << c.text;
        EXPECT_EQ(c.v.GetText(), c.text);
    }
}

TEST(CkxValueSp, AssignmentClearsOtherMembers) {
    CkxValueSp v("abc");
    v = 3;
    EXPECT_TRUE(v.IsInt());
    EXPECT_EQ(v.GetStr(), "");
    v.SetStr(); // the kind only changes
    EXPECT_EQ(v.GetInt(), 3);
}

TEST(CkxValueSp, GoldenImage) {
    CkxValueSp v("中");
    v.SetInt(); // kind 1 but text kept: every member travels
    CkxValueSp::_COM com = v.GetComData();
    unsigned char expect[288] = {};
    expect[8] = 1;                 // kind
    expect[32] = 0xD6;             // "中" in GBK
    expect[33] = 0xD0;
    EXPECT_EQ(std::memcmp(&com, expect, 288), 0);

    CkxValueSp d(COleDateTime(2000, 1, 1, 0, 0, 0));
    com = d.GetComData();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&com);
    EXPECT_EQ(p[8], 4);
    double dt;
    std::memcpy(&dt, p + 24, 8);
    EXPECT_DOUBLE_EQ(dt, 36526.0);

    CkxValueSp f(2.0f);
    com = f.GetComData();
    float fl;
    std::memcpy(&fl, reinterpret_cast<const char*>(&com) + 16, 4);
    EXPECT_EQ(fl, 2.0f);
}

TEST(CkxValueSp, ImageRoundTripAndLongTextCut) {
    std::string longText;
    for (int i = 0; i < 200; ++i) longText += "字"; // 400 GBK bytes
    CkxValueSp v(longText);
    EXPECT_EQ(kx::GbkLength(v.GetStr()), 254u); // 127 whole characters fit in 255 bytes
    CkxValueSp::_COM com = v.GetComData();
    com.nTypeWord = 0x12345678; // a sender's type word is ignored
    CkxValueSp back;
    back.SetComData(com);
    EXPECT_EQ(back, v);
}

TEST(CkxFixed, Str256AndPairs) {
    CkxStr256 s;
    EXPECT_TRUE(s.IsEmpty());
    s = std::string(300, 'x');
    EXPECT_EQ(s.Str().size(), 255u);
    s = "名称";
    EXPECT_EQ(s.Str(), "名称");
    CkxDt2 range;
    EXPECT_EQ(range.m_dtStart.m_dt, 0);
    CkxCStr2 pair("a", "b");
    CkxCStr2 copy = pair;
    EXPECT_EQ(copy.m_str2, "b");
}
