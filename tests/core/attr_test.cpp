#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxConst.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// Little-endian writers for building expected records by hand.
void PutI32(std::string& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}
void PutBytes(std::string& b, size_t at, const std::string& s) { b.replace(at, s.size(), s); }

const std::string kGbkTu = "\xCD\xBC";          // 图
const std::string kGbkTuXiang = "\xCD\xBC\xCF\xF1"; // 图像

// The 288-byte value image of an integer value.
std::string IntImage(int v) {
    std::string b(288, '\0');
    PutI32(b, 8, 1);
    PutI32(b, 12, v);
    return b;
}

template <class T>
std::string Bytes(const T& rec) {
    return std::string(reinterpret_cast<const char*>(&rec), sizeof rec);
}

} // namespace

TEST(CkxAttrValue, RecordGoldenBytesAndRoundTrip) {
    CkxAttrValue v(7, 0x2000068);
    v.m_Value = std::string("图");

    std::string want(296, '\0');
    PutI32(want, 0, 7);
    PutI32(want, 4, 0x2000068);
    PutI32(want, 8 + 8, 8);           // kind text
    PutBytes(want, 8 + 32, kGbkTu);   // text in GBK
    EXPECT_EQ(Bytes(v.GetComData()), want);

    CkxAttrValue back(v.GetComData());
    EXPECT_EQ(back.GetObjID(), 7);
    EXPECT_EQ(back.GetAttrID(), 0x2000068);
    EXPECT_EQ(back.GetStr(), "图");
}

TEST(CkxAttrValue, TextByKind) {
    struct Case {
        CkxValueSp value;
        std::string text;
    };
    const std::vector<Case> cases = {
        {CkxValueSp(), ""},
        {CkxValueSp(1.5f), "1.5000"},
        {CkxValueSp(-12), "-12"},
        {CkxValueSp(COleDateTime(2005, 3, 1, 0, 0, 0)), "2005-3-1"},
        {CkxValueSp(COleDateTime(2005, 3, 1, 8, 5, 9)), "2005-3-1 8:5:9"},
        {CkxValueSp(0.0), ""}, // a zero date
        {CkxValueSp("备注"), "备注"},
    };
    for (const Case& c : cases) {
        CkxAttrValue v;
        v.m_Value = c.value;
        EXPECT_EQ(v.GetText(), c.text) << "kind " << c.value.GetKind();
    }
    CkxAttrValue d;
    d.m_Value = COleDateTime(2005, 3, 1, 0, 0, 0);
    EXPECT_EQ(d.GetDate().GetStatus(), COleDateTime::valid);
    EXPECT_EQ(d.GetDate().GetDay(), 1);
}

TEST(CkxAttrValueList, FindUpdateSetAndObjectIds) {
    CkxAttrValueList l;
    CkxAttrValue a(1, 10), b(2, 10);
    a.m_Value = 5;
    b.m_Value = 6;
    ASSERT_EQ(l.AddTail(a), 1);
    ASSERT_EQ(l.AddTail(b), 1);
    EXPECT_EQ(l.Find(2, 10)->GetInt(), 6);
    EXPECT_EQ(l.Find(3, 10), nullptr);

    CkxAttrValue c(2, 10);
    c.m_Value = 9;
    EXPECT_EQ(l.UpdateValue(c), 1);
    EXPECT_EQ(l.Find(2, 10)->GetInt(), 9);
    EXPECT_EQ(l.Find(1, 10)->GetInt(), 5); // only the matching pair changed

    CkxAttrValue missing(3, 11);
    EXPECT_EQ(l.Update(missing), 0);
    EXPECT_EQ(l.GetCount(), 2);
    EXPECT_EQ(l.Set(missing), 1); // Set appends what Update cannot find
    EXPECT_EQ(l.GetCount(), 3);

    l.SetObjID(42);
    l.ForEach([](const CkxAttrValue& v) { EXPECT_EQ(v.GetObjID(), 42); });

    CkxAttrValue src(99, 99);
    src.m_Value = "x";
    CkxAttrValue dst(1, 2);
    dst.SetValue(src);
    EXPECT_EQ(dst.GetObjID(), 1);
    EXPECT_EQ(dst.GetStr(), "x");
}

TEST(CkxAttrValueList, BufferIsRecordsBackToBackAndRaggedTailIgnored) {
    CkxAttrValueList l;
    CkxAttrValue a(1, 100), b(2, 200);
    a.m_Value = 11;
    b.m_Value = 22;
    l.AddTail(a);
    l.AddTail(b);

    std::string want;
    for (auto [obj, attr, val] : {std::tuple{1, 100, 11}, std::tuple{2, 200, 22}}) {
        std::string rec(8, '\0');
        PutI32(rec, 0, obj);
        PutI32(rec, 4, attr);
        want += rec + IntImage(val);
    }
    CkxBuf buf;
    ASSERT_EQ(l.BuildBuf(buf), 592);
    EXPECT_EQ(std::string(buf.View()), want);

    // 600 bytes: two whole records and an 8-byte tail that is ignored; old values are dropped.
    CkxAttrValueList r;
    r.AddTail(CkxAttrValue(5, 5));
    std::string ragged = want + std::string(8, '\x7F');
    EXPECT_EQ(r.PasyBuf(ragged.data(), static_cast<int>(ragged.size())), 2);
    ASSERT_EQ(r.GetCount(), 2);
    EXPECT_EQ(r.Find(2, 200)->GetInt(), 22);
    EXPECT_EQ(r.Find(5, 5), nullptr);

    // Shorter than one record, null or negative lengths give an empty list and never read.
    EXPECT_EQ(r.PasyBuf(want.data(), 295), 0);
    EXPECT_EQ(r.GetCount(), 0);
    EXPECT_EQ(r.PasyBuf(nullptr, 296), 0);
    EXPECT_EQ(r.PasyBuf(want.data(), -296), 0);

    CkxAttrValueList empty;
    CkxBuf eb;
    EXPECT_EQ(empty.BuildBuf(eb), 0);
    EXPECT_EQ(eb.GetLen(), 0);
}

TEST(CkxConst, RecordGoldenBytesAndText) {
    CkxConst c;
    EXPECT_FALSE(c.IsValid());
    c.m_nID = 3;
    c.m_nID2 = 4;
    c.m_Value = 7;
    EXPECT_TRUE(c.IsInt());
    EXPECT_EQ(c.GetText(), "7"); // empty alias: the value's text
    c.SetAlias("图像");
    EXPECT_EQ(c.GetText(), "图像");

    std::string want(560, '\0');
    PutI32(want, 8, 3);
    PutI32(want, 12, 4);
    PutBytes(want, 16, IntImage(7));
    PutBytes(want, 304, kGbkTuXiang);
    EXPECT_EQ(Bytes(c.GetComData()), want);

    // The sender's type word is ignored on receipt.
    std::string in = want;
    PutI32(in, 0, 0x12345678);
    CkxConst::_COM com;
    std::memcpy(&com, in.data(), sizeof com);
    CkxConst back(com);
    EXPECT_EQ(back.m_nID, 3);
    EXPECT_EQ(back.m_nID2, 4);
    EXPECT_EQ(back.m_Value.GetInt(), 7);
    EXPECT_EQ(back.GetAlias(), "图像");
}

TEST(CkxConst, LongChineseAliasSurvivesTheWire) {
    // 127 Chinese characters fill 254 GBK bytes: more than 255 bytes of UTF-8, still one field.
    std::string alias;
    for (int i = 0; i < 127; ++i) alias += "图";
    CkxConst c;
    c.m_nID = 1;
    c.SetAlias(alias);
    EXPECT_EQ(c.GetAlias(), alias);
    EXPECT_EQ(CkxConst(c.GetComData()).GetAlias(), alias);
    c.SetAlias(alias + "图图"); // 258 GBK bytes: cut at a character boundary to 254
    EXPECT_EQ(c.GetAlias(), alias);
}

TEST(CkxConstList, BufferForms) {
    CkxConstList l;
    CkxBuf buf;
    buf.Fill("keep", 4);
    EXPECT_EQ(l.BuildBuf(buf), 0); // empty list: 0 and the buffer as it was
    EXPECT_EQ(buf.View(), "keep");

    for (int i = 1; i <= 3; ++i) {
        CkxConst c;
        c.m_nID = i;
        c.m_Value = i * 10;
        c.SetAlias(std::string(1, static_cast<char>('a' + i - 1)));
        ASSERT_EQ(l.AddTail(c), 1);
    }
    ASSERT_EQ(l.BuildBuf(buf), 1);
    ASSERT_EQ(buf.GetLen(), 3 * 560);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kx::LoadI32(buf.GetBuf() + i * 560 + 8), i + 1);
        EXPECT_EQ(buf.GetBuf()[i * 560 + 304], 'a' + i);
    }

    CkxConstList r;
    std::string bytes(buf.View());
    bytes += std::string(559, '\x01'); // ragged tail
    EXPECT_EQ(r.PasyBuf(bytes.data(), static_cast<int>(bytes.size())), 3);
    EXPECT_EQ(r.GetCount(), 3);
    EXPECT_EQ(r.Find(2)->GetText(), "b");
    EXPECT_EQ(r.PasyBuf(nullptr, 0), 0);
    EXPECT_EQ(r.GetCount(), 0);

    // Update copies ids, value and alias; Delete by position and by id.
    CkxConst u;
    u.m_nID = 2;
    u.m_nID2 = 8;
    u.m_Value = "二";
    EXPECT_EQ(l.Update(u), 1);
    EXPECT_EQ(l.Find(2)->GetText(), "二");
    EXPECT_EQ(l.Find(2)->m_nID2, 8);
    l.Lock();
    POSITION head = l.GetHeadPosition();
    l.Unlock();
    EXPECT_EQ(l.Delete(head), 1);
    EXPECT_EQ(l.Find(1), nullptr);
    EXPECT_EQ(l.Delete(3), 1);
    EXPECT_EQ(l.GetCount(), 1);

    CkxConstList copy;
    copy = l;
    EXPECT_EQ(copy.GetCount(), 1);
    EXPECT_NE(copy.Find(2), l.Find(2));
}

TEST(CkxConstList, MembersAreAtomicAcrossThreads) {
    CkxConstList l;
    auto adder = [&](int base) {
        for (int i = 0; i < 500; ++i) {
            CkxConst c;
            c.m_nID = base + i;
            l.AddTail(c);
            if (i % 5 == 0) l.Delete(base + i);
        }
    };
    std::thread t1(adder, 0), t2(adder, 10000);
    t1.join();
    t2.join();
    EXPECT_EQ(l.GetCount(), 800);
}

TEST(CkxAttr, RecordGoldenBytes) {
    CkxAttr a;
    EXPECT_EQ(a.m_nID, -1);
    EXPECT_TRUE(a.IsExAttr());
    EXPECT_FALSE(a.HasConstProvider());
    a.m_nID = 0x123;
    a.SetAttrType_Base();
    a.SetAudio();
    a.m_nFamilyID = 100000003;
    a.m_strName = "图";
    a.m_nDataType = KXT_STR;
    a.m_nEditWay = KXE_COMBO;
    a.m_nFlag = 1;
    a.m_strNote = "图像";
    a.SetConstProvider([](CkxConstList&) {});

    std::string want(128, '\0');
    PutI32(want, 0, 0x123);
    want[4] = 0;  // base
    PutI32(want, 8, 5);
    PutI32(want, 12, 100000003);
    PutBytes(want, 16, kGbkTu);
    want[66] = 8;
    want[67] = 2;
    PutI32(want, 68, 1);
    PutBytes(want, 72, kGbkTuXiang);
    // offset 124: the provider never goes on the wire
    EXPECT_EQ(Bytes(a.GetComData()), want);

    // Name and note are cut to their fields (49 and 51 GBK bytes) at a character boundary.
    a.m_strName = std::string(30, 'x') + "图图图图图图图图图图"; // 30 + 20 GBK bytes
    a.m_strNote = std::string(60, 'n');
    CkxAttr cut(a.GetComData());
    EXPECT_EQ(cut.m_strName, std::string(30, 'x') + "图图图图图图图图图");
    EXPECT_EQ(cut.m_strNote, std::string(51, 'n'));
}

TEST(CkxAttr, ReceivedProviderSlotGivesNoProvider) {
    CkxAttr sent;
    sent.m_nID = 9;
    sent.m_nEditWay = KXE_COMBO;
    CkxAttr::_COM com = sent.GetComData();
    com.nProvider = 0x0804ABCD; // an address in some other process

    CkxAttr held;
    int calls = 0;
    held.SetConstProvider([&](CkxConstList&) { ++calls; });
    held = com;
    EXPECT_FALSE(held.HasConstProvider());
    CkxConstList out;
    EXPECT_EQ(held.CallConstProvider(out), 0);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(CkxAttr(com).HasConstProvider());
}

TEST(CkxAttr, CopiesCarryConstantsAndProvider) {
    CkxAttr a;
    a.m_nID = 1;
    CkxConst c;
    c.m_nID = 5;
    c.SetAlias("甲");
    a.m_Consts.AddTail(c);
    a.SetConstProvider([](CkxConstList& l) {
        CkxConst p;
        p.m_nID = 77;
        l.AddTail(p);
    });

    CkxAttr b(a);
    EXPECT_EQ(b.m_Consts.GetCount(), 1);
    EXPECT_NE(b.m_Consts.Find(5), a.m_Consts.Find(5));
    CkxConstList out;
    EXPECT_EQ(b.CallConstProvider(out), 1);
    EXPECT_NE(out.Find(77), nullptr);

    // The constants travel as their own list buffer.
    CkxBuf buf;
    ASSERT_EQ(a.BuildBuf(buf), 1);
    CkxAttr r;
    EXPECT_EQ(r.PasyBuf(buf.GetBuf(), buf.GetLen()), 1);
    EXPECT_EQ(r.m_Consts.Find(5)->GetText(), "甲");
}

TEST(CkxAttr, DisplayNames) {
    const std::vector<std::pair<int, std::string>> ways = {
        {0, "禁止"}, {1, "编辑框"}, {2, "下拉框"}, {3, ""}, {4, "树型控件"},
        {5, "时间控件"}, {6, "IP控件"}, {7, "选择控件"}, {8, ""}};
    for (auto& [way, text] : ways) {
        CkxAttr a;
        a.m_nEditWay = static_cast<uint8_t>(way);
        EXPECT_EQ(a.GetEditWayStr(), text) << way;
        EXPECT_EQ(a.IsEnableEdit(), way != 0);
    }
    const std::vector<std::pair<int, std::string>> types = {
        {0, ""}, {1, "整数"}, {2, "浮点数"}, {3, ""}, {4, "时间"}, {8, "文本"}, {16, ""}};
    for (auto& [type, text] : types) {
        CkxAttr a;
        a.m_nDataType = static_cast<uint8_t>(type);
        EXPECT_EQ(a.GetDataTypeStr(), text) << type;
    }
}

TEST(CkxAttrList, FamilyAndKindQueries) {
    CkxAttrList l;
    struct Row {
        int id, family, kind;
    };
    for (Row r : {Row{1, 10, KXD_IMAGE}, Row{2, 20, KXD_TEXT}, Row{3, 10, KXD_IMAGE}, Row{4, 30, KXD_AUDIO}}) {
        CkxAttr a;
        a.m_nID = r.id;
        a.m_nFamilyID = r.family;
        a.SetDataKind(r.kind);
        ASSERT_NE(l.AddTail(a), nullptr);
    }
    EXPECT_EQ(l.AddTail(static_cast<CkxAttr*>(nullptr)), 0);

    CkxAttrPtrs out{nullptr};
    EXPECT_EQ(l.FindFamilyAttr(10, out), 2);
    EXPECT_EQ(out[0]->m_nID, 1);
    EXPECT_EQ(out[1]->m_nID, 3);
    EXPECT_EQ(l.GetAllAttr_Image(out), 2);
    EXPECT_EQ(l.GetAllAttr_Text(out), 1);
    EXPECT_EQ(l.GetAllAttr_Audio(out), 1);
    EXPECT_EQ(l.GetAllAttr_Video(out), 0);
    EXPECT_TRUE(out.empty());

    CkxAttr u;
    u.m_nID = 2;
    u.m_nFamilyID = 20;
    u.m_strName = "新";
    CkxConst c;
    c.m_nID = 1;
    u.m_Consts.AddTail(c);
    EXPECT_EQ(l.Update(u), 1);
    EXPECT_EQ(l.Find(2)->m_strName, "新");
    EXPECT_EQ(l.Find(2)->m_Consts.GetCount(), 1);

    l.DeleteFamilyAttr(10);
    EXPECT_EQ(l.GetCount(), 2);
    CkxAttr* head = l.RemoveHead();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->m_nID, 2);
    delete head;
    EXPECT_EQ(l.Delete(4), 1);
    EXPECT_EQ(l.RemoveHead(), nullptr);
}
