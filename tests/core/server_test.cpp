#include "model/CkxServer.h"
#include "base/Gbk.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
void PutAt(std::string& bytes, size_t off, const std::string& s) { bytes.replace(off, s.size(), s); }
void PutI32At(std::string& bytes, size_t off, int32_t v) {
    for (int i = 0; i < 4; ++i) bytes[off + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}
} // namespace

TEST(CkxServer, ConstructionAndGoldenBytes) {
    CkxServer empty;
    EXPECT_EQ(empty.m_nUserID, -1);
    EXPECT_EQ(empty.m_nValue1, 0);
    std::string expected(316, '\0');
    PutI32At(expected, 252, -1);
    EXPECT_EQ(kx::RecordBytes(empty.GetComData()), expected);

    CkxServer s;
    s.m_strText1 = "t1";
    s.m_strName = "图像服务器";
    s.m_strAddr = "10.0.0.5";
    s.m_strDept = "Archive";
    s.m_strRemark = "night";
    s.m_nUserID = 7;
    s.m_strText6 = "six";
    s.m_nValue1 = 0x01020304;
    s.m_nValue2 = -2;

    expected.assign(316, '\0');
    PutAt(expected, 0, "t1");
    PutAt(expected, 50, "\xCD\xBC\xCF\xF1\xB7\xFE\xCE\xF1\xC6\xF7"); // 图像服务器 in GBK
    PutAt(expected, 100, "10.0.0.5");
    PutAt(expected, 150, "Archive");
    PutAt(expected, 200, "night");
    PutI32At(expected, 252, 7);
    PutAt(expected, 256, "six");
    PutI32At(expected, 308, 0x01020304);
    PutI32At(expected, 312, -2);
    EXPECT_EQ(kx::RecordBytes(s.GetComData()), expected);

    CkxServer back;
    CkxServer::_COM com;
    ASSERT_TRUE(kx::ReadRecord(expected.data(), expected.size(), com));
    back.SetComData(com);
    EXPECT_EQ(back.m_strName, "图像服务器");
    EXPECT_EQ(back.m_strRemark, "night");
    EXPECT_EQ(back.m_nUserID, 7);
    EXPECT_EQ(back.m_strText6, "six");
    EXPECT_EQ(back.m_nValue2, -2);
    EXPECT_FALSE(kx::ReadRecord(expected.data(), 315, com));
}

TEST(CkxServer, LongTextsAreCutToTheirFields) {
    CkxServer s;
    s.m_strName = std::string(80, 'n');
    s.m_strText6 = std::string(80, 's');
    s.m_strRemark = std::string(48, 'r') + "图"; // 48 + 2 GBK bytes: the character does not fit
    CkxServer::_COM c = s.GetComData();
    EXPECT_EQ(std::strlen(c.szName), 49u);
    EXPECT_EQ(std::strlen(c.szText6), 51u);
    EXPECT_EQ(kx::GetText(c.szRemark), std::string(48, 'r'));
    EXPECT_EQ(c.zero[0], 0);
    EXPECT_EQ(c.zero[1], 0);
}
