#include "model/CkxFileOpeState.h"
#include "model/CkxObjAttrTemplet.h"
#include "core/support/GoldenBytes.h"

#include <gtest/gtest.h>

#include <string>

TEST(CkxObjAttrTemplet, RecordGoldenBytes) {
    CkxObjAttrTemplet t;
    t.m_nID = 12;
    t.m_strName = "中";
    t.m_nDataMode = 3;
    t.m_nFamilyID = 100000001;
    t.m_nCreatorID = 4;
    t.m_strRemark = std::string(80, 'r'); // cut to 51 bytes
    std::string expect = GoldenBytes(120)
                             .I32(0, 12)
                             .Raw(4, "\xD6\xD0")
                             .I32(56, 3)
                             .I32(60, 100000001)
                             .I32(64, 4)
                             .Raw(68, std::string(51, 'r'))
                             .Str();
    EXPECT_EQ(kx::RecordBytes(t.GetComData()), expect);
    CkxObjAttrTemplet back(t.GetComData());
    EXPECT_EQ(back.m_strName, "中");
    EXPECT_EQ(back.m_strRemark, std::string(51, 'r'));
    EXPECT_EQ(back.m_nDataMode, 3);
}

TEST(CkxObjAttrTemplet, AttributeBufferByDataMode) {
    CkxObjAttrTemplet t;
    t.m_nDataMode = 3;
    t.m_AttrSet.m_strRemark = "applied remark";
    t.m_AttrSet.m_nAuthorID = 8;
    CkxAttrValue ex(-1, 9001);
    ex.m_Value = std::string("ex");
    t.m_AttrSet.SetExAttrValue(ex);
    CkxBuf buf;
    ASSERT_GT(t.BuildBuf(buf), 0);
    CkxContainer c;
    ASSERT_EQ(c.PasyBuf(buf.GetBuf(), buf.GetLen()), 2);
    EXPECT_EQ(c.GetSect(0)->Len(), 536u);
    EXPECT_EQ(c.GetSect(1)->Len(), 296u);

    // The record travels first: a template whose data mode is not yet set ignores the buffer.
    CkxObjAttrTemplet unset;
    EXPECT_EQ(unset.PasyBuf(buf), 0);
    EXPECT_TRUE(unset.m_AttrSet.m_strRemark.empty());
    CkxObjAttrTemplet back(t.GetComData());
    ASSERT_EQ(back.PasyBuf(buf), 1);
    EXPECT_EQ(back.m_AttrSet.m_strRemark, "applied remark");
    EXPECT_EQ(back.m_AttrSet.m_nAuthorID, 8);
    EXPECT_EQ(back.m_AttrSet.GetAttrValue(9001).GetStr(), "ex");

    // A one-section buffer is refused whole.
    CkxContainer one;
    one.AddSect(c.GetSect(0)->View());
    CkxBuf oneBuf;
    one.BuildBuf(oneBuf);
    CkxObjAttrTemplet refused(t.GetComData());
    EXPECT_EQ(refused.PasyBuf(oneBuf), 0);
    EXPECT_TRUE(refused.m_AttrSet.m_strRemark.empty());

    // Another data mode gives just the count 0.
    CkxObjAttrTemplet binary;
    binary.m_nDataMode = 1;
    CkxBuf empty;
    EXPECT_EQ(binary.BuildBuf(empty), 4);
    EXPECT_EQ(empty.View(), std::string(4, '\0'));
}

TEST(CkxObjAttrTempletList, CopiesAndUpdates) {
    CkxObjAttrTempletList list;
    CkxObjAttrTemplet t;
    t.m_nID = 1;
    t.m_strName = "a";
    list.AddTail(t);
    t.m_strName = "b";
    t.m_AttrSet.m_strRemark = "r";
    EXPECT_EQ(list.Update(t), 1);
    EXPECT_EQ(list.Find(1)->m_strName, "b");
    EXPECT_EQ(list.Find(1)->m_AttrSet.m_strRemark, "r");
    EXPECT_EQ(list.Delete(1), 1);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(CkxFileOpeStateList, ThreeWaysToAdd) {
    CkxFileOpeStateList list;
    CkxFileOpeState s;
    s.m_strFirst = "x";
    s.m_nSecond = 1;
    list.AddTail(s);
    list.AddTail("refused.jpg", 0, 1);
    list.AddTail("/folder", "file.jpg");
    ASSERT_EQ(list.GetCount(), 3);
    POSITION p = list.GetHeadPosition();
    EXPECT_EQ(list.GetNext(p)->m_nSecond, 1);
    CkxFileOpeState* refused = list.GetNext(p);
    EXPECT_EQ(refused->m_strFirst, "refused.jpg");
    EXPECT_EQ(refused->m_nFirst, 0);
    EXPECT_EQ(refused->m_nSecond, 1);
    CkxFileOpeState* todo = list.GetNext(p);
    EXPECT_EQ(todo->m_strSecond, "file.jpg");
    EXPECT_EQ(todo->m_nFirst, 0);
    EXPECT_EQ(todo->m_nSecond, 0);
    EXPECT_EQ(p, nullptr);
    CkxFileOpeState copy(todo->GetComData());
    EXPECT_EQ(copy.m_strFirst, "/folder");
    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(CkxObjAttrValue, CopiesTheValue) {
    CkxObjAttrValue v;
    v.m_nObjID = 1;
    v.m_nAttrID = 2;
    v.m_Value.SetValue(std::string("text"));
    CkxObjAttrValue copy(v);
    EXPECT_EQ(copy.m_nAttrID, 2);
    EXPECT_EQ(copy.m_Value.GetStr(), "text");
}
