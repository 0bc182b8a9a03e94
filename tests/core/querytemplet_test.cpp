#include "model/CkxContainer.h"
#include "model/CkxQueryTemplet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

CkxQueryOperand IntOp(int attr, int v) {
    CkxQueryOperand o;
    o.SetLinkAttr();
    o.Set_GreatEqual(attr, v);
    return o;
}

CkxQueryOperand TextOp(int attr, const std::string& v) {
    CkxQueryOperand o;
    o.SetLinkKeyword();
    o.Set_Include(attr, v);
    return o;
}

std::string FixBytes(const CkxQueryTemplet::_FIX& f) { return std::string(reinterpret_cast<const char*>(&f), sizeof f); }

// A container framed by hand: count, lengths, sections.
std::string Frame(const std::vector<std::string>& sects) {
    std::string b;
    auto put = [&](int32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    put(static_cast<int32_t>(sects.size()));
    for (const auto& s : sects) put(static_cast<int32_t>(s.size()));
    for (const auto& s : sects) b += s;
    return b;
}

std::string OperandBytes(const CkxQueryOperand& o) {
    CkxBuf b;
    o.BuildBuf(b);
    return std::string(b.View());
}

int Read(CkxQueryTemplet& t, const std::string& bytes) {
    return t.PasyQueryBuf(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

} // namespace

TEST(CkxQueryTemplet, RecordBytesAndDefaults) {
    CkxQueryTemplet t;
    EXPECT_EQ(t.m_nDataMode, -1);
    EXPECT_EQ(t.m_nID, -1);
    EXPECT_EQ(t.m_nCreatorID, -1);
    // The default block, byte for byte.
    std::string fix(160, '\0');
    auto put = [&](int off, int32_t v) { std::memcpy(&fix[off], &v, 4); };
    for (int off : {0, 60, 64, 68, 72, 136}) put(off, -1);
    for (int off : {140, 144, 148, 152}) put(off, 1);
    EXPECT_EQ(FixBytes(t.m_Fix), fix);

    t.m_nDataMode = 3;
    t.m_nID = 0x11223344;
    t.m_strName = "风景查询";
    t.m_nCreatorID = 7;
    t.m_dtCreate = COleDateTime(2024, 5, 6, 7, 8, 9);
    t.m_strRemark = "note";
    CkxQueryTemplet::_COM c = t.GetComData();
    std::string rec(reinterpret_cast<const char*>(&c), sizeof c);
    std::string want(128, '\0');
    int32_t v = 3;
    std::memcpy(&want[0], &v, 4);
    v = 0x11223344;
    std::memcpy(&want[4], &v, 4);
    std::memcpy(&want[8], "\xB7\xE7\xBE\xB0\xB2\xE9\xD1\xAF", 8); // GBK
    v = 7;
    std::memcpy(&want[60], &v, 4);
    double d = t.m_dtCreate.m_dt;
    std::memcpy(&want[64], &d, 8);
    std::memcpy(&want[72], "note", 4);
    EXPECT_EQ(rec, want);

    CkxQueryTemplet back(c);
    EXPECT_EQ(back.m_strName, "风景查询");
    EXPECT_EQ(back.m_dtCreate.m_dt, d);
    EXPECT_EQ(back.m_strRemark, "note");
}

TEST(CkxQueryTemplet, KindThreeTravelsWithItsBlock) {
    CkxQueryTemplet t;
    t.m_nDataMode = 3;
    t.SetFixTitle("海边");
    t.m_Fix.nDirID = 12;
    t.m_Fix.bDirBelow = 0;
    t.m_Fix.nFlag1 = 5;
    t.m_Fix.nReserved = 99; // not read back
    t.m_OperandList.AddTail(IntOp(12, 3));
    t.m_OperandList.AddTail(TextOp(4, "sea"));

    CkxBuf buf;
    int len = t.BuildQueryBuf(buf);
    ASSERT_GT(len, 0);
    EXPECT_EQ(std::string(buf.View()),
              Frame({FixBytes(t.m_Fix), OperandBytes(IntOp(12, 3)), OperandBytes(TextOp(4, "sea"))}));

    CkxQueryTemplet back;
    back.m_nDataMode = 3;
    back.m_OperandList.AddTail(IntOp(1, 1)); // replaced
    ASSERT_EQ(back.PasyQueryBuf(buf), 1);
    EXPECT_EQ(back.GetFixTitle(), "海边");
    EXPECT_EQ(back.m_Fix.nDirID, 12);
    EXPECT_EQ(back.m_Fix.bDirBelow, 0);
    EXPECT_EQ(back.m_Fix.nFlag1, 5);
    EXPECT_EQ(back.m_Fix.nReserved, 0);
    ASSERT_EQ(back.m_OperandList.GetCount(), 2);
    EXPECT_EQ(back.m_OperandList.GetHead()->FormatSQL_Fix("c"), " c >= 3 ");
    EXPECT_EQ(back.m_OperandList.FormatSQL(), t.m_OperandList.FormatSQL());
}

TEST(CkxQueryTemplet, OtherKindsCarryOnlyOperands) {
    CkxQueryTemplet t;
    t.m_nDataMode = 1;
    t.m_OperandList.AddTail(IntOp(12, 3));
    t.m_OperandList.AddTail(TextOp(4, "sea"));
    CkxBuf buf;
    ASSERT_GT(t.BuildQueryBuf(buf), 0);
    EXPECT_EQ(std::string(buf.View()), Frame({OperandBytes(IntOp(12, 3)), OperandBytes(TextOp(4, "sea"))}));
    CkxQueryTemplet back;
    back.m_nDataMode = 1;
    ASSERT_EQ(back.PasyQueryBuf(buf), 1);
    EXPECT_EQ(back.m_OperandList.GetCount(), 2);
    EXPECT_EQ(back.m_OperandList.GetLength(), t.m_OperandList.GetLength());
}

TEST(CkxQueryTemplet, ReaderRefusesBrokenBuffersAndKeepsWhatItHad) {
    CkxQueryTemplet keep;
    keep.m_nDataMode = 3;
    keep.SetFixTitle("old");
    keep.m_OperandList.AddTail(IntOp(12, 3));
    std::string good = Frame({FixBytes(CkxQueryTemplet::DefaultFix()), OperandBytes(IntOp(1, 1))});
    struct Row {
        const char* what;
        std::string bytes;
    } rows[] = {
        {"lengths overrun", good.substr(0, good.size() - 1)},
        {"negative count", std::string("\xFF\xFF\xFF\xFF", 4)},
        {"three bytes", std::string("\1\0\0", 3)},
        {"block section too short", Frame({std::string(100, '\0'), OperandBytes(IntOp(1, 1))})},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CkxQueryTemplet t = keep;
        EXPECT_EQ(Read(t, r.bytes), 0);
        EXPECT_EQ(t.GetFixTitle(), "old");
        EXPECT_EQ(t.m_OperandList.GetCount(), 1);
    }
    CkxQueryTemplet t = keep;
    EXPECT_EQ(t.PasyQueryBuf(nullptr, 10), 0);
    EXPECT_EQ(t.PasyQueryBuf(reinterpret_cast<const unsigned char*>(good.data()), 0), 0);
    EXPECT_EQ(t.m_OperandList.GetCount(), 1);

    // Sections that are not operands are passed over; a kind-3 buffer without sections has no
    // block and so no operands.
    ASSERT_EQ(Read(t, Frame({FixBytes(CkxQueryTemplet::DefaultFix()), "junk", OperandBytes(IntOp(2, 2))})), 1);
    ASSERT_EQ(t.m_OperandList.GetCount(), 1);
    EXPECT_EQ(t.m_OperandList.GetHead()->GetAttrID(), 2);
    EXPECT_EQ(Read(t, Frame({})), 1);
    EXPECT_EQ(t.m_OperandList.GetCount(), 0);
}

TEST(CkxQueryTemplet, Validity) {
    using Change = std::function<void(CkxQueryTemplet&)>;
    struct Row {
        const char* what;
        int kind;
        Change change;
        bool valid;
    } rows[] = {
        {"default block", 3, [](auto&) {}, false},
        {"title", 3, [](auto& t) { t.SetFixTitle("a"); }, true},
        {"family 0", 3, [](auto& t) { t.m_Fix.nFamilyID = 0; }, true},
        {"file format", 3, [](auto& t) { t.m_Fix.nCodeForm = 2; }, true},
        {"flag at 8 alone", 3, [](auto& t) { t.m_Fix.nFlag1 = 1; }, false},
        {"flag at 9", 3, [](auto& t) { t.m_Fix.nFlag2 = 1; }, true},
        {"folder", 3, [](auto& t) { t.m_Fix.nDirID = 5; }, true},
        {"folder itself excluded", 3, [](auto& t) { t.m_Fix.bDirSelf = 0; }, true},
        {"folders below excluded", 3, [](auto& t) { t.m_Fix.bDirBelow = 0; }, true},
        {"family itself excluded", 3, [](auto& t) { t.m_Fix.bFamilySelf = 0; }, false},
        {"author", 3, [](auto& t) { t.m_Fix.nAuthorID = 0; }, true},
        {"writer", 3, [](auto& t) { t.m_Fix.nWriterID = 3; }, true},
        {"editor", 3, [](auto& t) { t.m_Fix.nEditorID = 3; }, true},
        {"entry from", 3, [](auto& t) { t.m_Fix.dtWriteFrom = 45000; }, true},
        {"authoring to only", 3, [](auto& t) { t.m_Fix.dtAuthTo = 45000; }, false},
        {"number", 3, [](auto& t) { t.m_Fix.nNumber = 0; }, true},
        {"kind 1 title", 1, [](auto& t) { t.SetFixTitle("a"); }, false},
        {"kind 1 operand", 1, [](auto& t) { t.m_OperandList.AddTail(IntOp(1, 1)); }, true},
        {"kind 3 operand", 3, [](auto& t) { t.m_OperandList.AddTail(IntOp(1, 1)); }, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CkxQueryTemplet t;
        t.m_nDataMode = r.kind;
        r.change(t);
        EXPECT_EQ(t.IsValid(), r.valid);
    }
}

TEST(CkxQueryTempletList, CopiesFindsUpdatesAndNames) {
    CkxQueryTempletList list;
    CkxQueryTemplet a;
    a.m_nID = 1;
    a.m_strName = "山";
    a.m_OperandList.AddTail(IntOp(1, 1));
    list.AddTail(a);
    a.m_OperandList.DeleteAll(); // the list holds its own copy
    ASSERT_NE(list.Find(1), nullptr);
    EXPECT_EQ(list.Find(1)->m_OperandList.GetCount(), 1);

    CkxQueryTemplet b;
    b.m_nID = 2;
    b.m_strName = "水";
    list.AddTail(b);
    EXPECT_EQ(list.CanUseTheName(1, "山"), 1);
    EXPECT_EQ(list.CanUseTheName(2, "山"), 0);
    EXPECT_EQ(list.CanUseTheName(2, "云"), 1);

    b.m_strName = "河";
    b.m_OperandList.AddTail(TextOp(2, "x"));
    EXPECT_EQ(list.Update(b), 1);
    EXPECT_EQ(list.Find(2)->m_strName, "河");
    EXPECT_EQ(list.Find(2)->m_OperandList.GetCount(), 1);
    list.AddTail(b);
    EXPECT_EQ(list.Delete(2), 2);
    EXPECT_EQ(list.GetCount(), 1);
}

// Damaged template buffers (flipped bytes, cut tails, forged section lengths) are read or
// refused without reading past the buffer; a refused one leaves the template as it was.
TEST(CkxQueryTemplet, DamagedBuffersNeverOverread) {
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    CkxQueryTemplet src;
    src.m_nDataMode = 3;
    src.SetFixTitle("海");
    src.m_OperandList.AddTail(IntOp(12, 3));
    src.m_OperandList.AddTail(TextOp(4, "sea"));
    CkxBuf good;
    ASSERT_GT(src.BuildQueryBuf(good), 0);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(good.View());
        switch (pick(0, 2)) {
        case 0: bytes[static_cast<size_t>(pick(0, static_cast<int>(bytes.size()) - 1))] = static_cast<char>(pick(0, 255)); break;
        case 1: bytes.resize(static_cast<size_t>(pick(1, static_cast<int>(bytes.size())))); break;
        default: {
            int32_t n = pick(-2, 400);
            std::memcpy(&bytes[static_cast<size_t>(4 * pick(0, 3))], &n, 4);
            break;
        }
        }
        std::vector<unsigned char> heap(bytes.begin(), bytes.end());
        CkxQueryTemplet t;
        t.m_nDataMode = pick(0, 1) ? 3 : 1;
        t.m_OperandList.AddTail(IntOp(99, 1));
        if (t.PasyQueryBuf(heap.data(), static_cast<int>(heap.size())) == 0) {
            ASSERT_EQ(t.m_OperandList.GetCount(), 1);
            ASSERT_EQ(t.m_OperandList.GetHead()->GetAttrID(), 99);
        }
        t.IsValid();
        t.GetFixTitle();
    }
}
