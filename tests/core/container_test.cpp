#include "model/CkxContainer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {
std::string I32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
} // namespace

TEST(CkxContainer, GoldenThreeSections) {
    CkxContainer c;
    c.AddSect("abc", 3);
    c.AddSect(nullptr, 0);
    c.AddSect("12345", 5);
    CkxBuf buf;
    ASSERT_EQ(c.BuildBuf(buf), 24);
    std::string expect = I32(3) + I32(3) + I32(0) + I32(5) + "abc12345";
    EXPECT_EQ(buf.View(), expect);
    EXPECT_EQ(c.GetLength(), 8);

    CkxContainer back;
    EXPECT_EQ(back.PasyBuf(buf.GetBuf(), buf.GetLen()), 3);
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_EQ(back.GetSect(0)->View(), "abc");
    EXPECT_EQ(back.GetSect(1)->Len(), 0u);
    EXPECT_EQ(back.GetSect(2)->View(), "12345");
    EXPECT_EQ(back.GetSect(-1), nullptr);
    EXPECT_EQ(back.GetSect(3), nullptr);

    // Parsing again appends.
    EXPECT_EQ(back.PasyBuf(buf.GetBuf(), buf.GetLen()), 3);
    EXPECT_EQ(back.GetCount(), 6);
}

TEST(CkxContainer, EmptyContainerIsFourZeroBytes) {
    CkxContainer c;
    CkxBuf buf;
    ASSERT_EQ(c.BuildBuf(buf), 4);
    EXPECT_EQ(buf.View(), I32(0));
    CkxContainer back;
    EXPECT_EQ(back.PasyBuf(buf.GetBuf(), buf.GetLen()), 0);
    EXPECT_EQ(back.GetCount(), 0);
}

TEST(CkxContainer, MalformedBuffersAddNothing) {
    const int32_t big = std::numeric_limits<int32_t>::max();
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"shorter than the count", std::string("\x01\x00", 2)},
        {"negative count", I32(-1) + I32(0)},
        {"huge count", I32(big) + I32(0)},
        {"count beyond the lengths given", I32(3) + I32(1) + I32(1)},
        {"length past the end", I32(1) + I32(10) + "abc"},
        {"negative length", I32(2) + I32(-1) + I32(4) + "abc"},
        {"lengths whose sum overflows", I32(2) + I32(big) + I32(big) + "abcdef"},
        {"second section past the end", I32(2) + I32(1) + I32(5) + "abc"},
    };
    for (const Case& c : cases) {
        CkxContainer cont;
        cont.AddSect("keep", 4);
        EXPECT_EQ(cont.PasyBuf(c.bytes.data(), static_cast<int>(c.bytes.size())), 0) << c.what;
        EXPECT_EQ(cont.GetCount(), 1) << c.what;
    }
    CkxContainer cont;
    EXPECT_EQ(cont.PasyBuf(nullptr, 10), 0);
}
