#include "model/CkxFIPhoto.h"
#include "model/CkxFileX.h"
#include "core/support/GoldenBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

CkxFIPhoto SamplePhoto() {
    CkxFIPhoto p;
    p.m_nID = 77;
    p.m_strTitle = "t";
    p.m_strExName = "jpg";
    p.m_nClientID = 101;
    p.m_nDeptID = 102;
    p.m_nSrvCombID = 103;
    p.m_nThemeID = 104;
    p.m_nDressID = 105;
    p.m_nPoseID = 106;
    p.m_nPhotoType = 107;
    p.m_nManType = 108;
    p.m_nPartType = 109;
    p.m_nCameraID = 110;
    p.m_nCameraWay = 111;
    p.m_nExposal = 1;
    p.m_nCameraMan = 113;
    p.m_nDresser = 114;
    p.m_nProcessor = 115;
    p.m_dtCamera = COleDateTime(40000.5);
    p.m_dtDress = COleDateTime(40001.0);
    p.m_dtSelect = COleDateTime(40002.25);
    p.m_dtProcess = COleDateTime(40003.75);
    p.m_nWeather = 3;
    p.m_strCameraAddr = "中";
    p.m_nAdvsSelected = 1;
    p.m_nUserSelected = 2;
    p.m_nUserMark = 5;
    p.m_nMakeSelMask = -2;
    return p;
}

std::string SamplePhotoBytes() {
    // The file part: a fresh image file's fields with the sample's id, names and kind.
    return GoldenBytes(912)
        .I32(0, 77)
        .I32(4, -1)
        .I32(8, 6)
        .Raw(28, "t")
        .Raw(73, "jpg")
        .I32(96, -1)
        .I32(100, -1)
        .I32(364, -1)
        .I32(368, -1)
        .I32(372, -1)
        .I32(404, -1)
        .I32(420, -1)
        .I32(536, 101)
        .I32(540, 102)
        .I32(544, 103)
        .I32(548, 104)
        .I32(552, 105)
        .I32(556, 106)
        .I32(560, 107)
        .I32(564, 108)
        .I32(568, 109)
        .I32(572, 110)
        .I32(576, 111)
        .I32(580, 1)
        .I32(584, 113)
        .I32(588, 114)
        .I32(592, 115)
        .Date(600, 40000.5)
        .Date(608, 40001.0)
        .Date(616, 40002.25)
        .Date(624, 40003.75)
        .I32(632, 3)
        .Raw(636, "\xD6\xD0")
        .I32(892, 1)
        .I32(896, 2)
        .I32(900, 5)
        .I32(904, -2)
        .Str();
}

} // namespace

TEST(CkxFIPhoto, RecordGoldenBytesAndBody) {
    CkxFIPhoto p = SamplePhoto();
    ASSERT_EQ(kx::RecordBytes(p.GetComData()), SamplePhotoBytes());

    CkxBuf sect;
    EXPECT_EQ(p.GetSectData(0, sect), 912);
    EXPECT_EQ(std::string(sect.View()), SamplePhotoBytes());

    CkxBuf body;
    ASSERT_GT(p.BuildFileInfo(body), 0);
    CkxContainer c;
    ASSERT_EQ(c.PasyBuf(body.GetBuf(), body.GetLen()), 4);
    std::unique_ptr<CkxFile> made(CkxFile::_CreateFile(c));
    ASSERT_TRUE(dynamic_cast<CkxFIPhoto*>(made.get()));
    ASSERT_EQ(made->PasyFileInfo(c), 1);
    auto* back = static_cast<CkxFIPhoto*>(made.get());
    EXPECT_EQ(kx::RecordBytes(back->GetComData()), SamplePhotoBytes());

    // Defaults of a new photo file.
    CkxFIPhoto fresh;
    EXPECT_EQ(fresh.m_nFileType, KXFK_FIPHOTO);
    EXPECT_EQ(fresh.m_nClientID, -1);
    EXPECT_EQ(fresh.m_nExposal, 0);
    EXPECT_EQ(fresh.m_nWeather, -1);
    EXPECT_EQ(fresh.m_nMakeSelMask, 0);
}

TEST(CkxFIPhoto, CaptureAttributes) {
    CkxFIPhoto p = SamplePhoto();
    EXPECT_EQ(p.GetAttrValue(KXP_THEME).GetInt(), 104);
    EXPECT_EQ(p.GetAttrValue(KXP_SELECTTIME).GetDate().m_dt, 40002.25);
    EXPECT_EQ(p.GetAttrValue(KXP_CAMERAADDR).GetStr(), "中");
    EXPECT_EQ(p.GetAttrValue(KXB_FILETITLE).GetStr(), "t"); // the image file's own
    CkxAttrValue v;
    EXPECT_EQ(p.GetAttrValue(KXP_POSE, v), 1);
    EXPECT_TRUE(CkxFIPhoto::IsPose(v));

    // Through the base class the photo's own slots answer.
    CkxFile& asFile = p;
    CkxAttrValue weather(77, KXP_WEATHER);
    weather.m_Value = 9;
    asFile.SetAttrValue(weather);
    EXPECT_EQ(p.m_nWeather, 9);
    CkxAttrValue remark(77, KXB_REMARK);
    remark.m_Value = std::string("r");
    asFile.SetAttrValue(remark);
    EXPECT_EQ(p.m_strRemark, "r");

    EXPECT_EQ(asFile.GetAttrText(KXP_CLIENT), "101");
    EXPECT_EQ(asFile.GetAttrText(KXP_MAKESELMASK), "4294967294");
    EXPECT_EQ(asFile.GetAttrText(KXP_CAMERATIME), "2009-7-6 12:0:0");
    EXPECT_EQ(asFile.GetAttrText(KXP_DRESSTIME), "2009-7-7");
    EXPECT_EQ(asFile.GetAttrText(KXP_CAMERAADDR), "中");
    EXPECT_EQ(asFile.GetAttrText(KXB_WIDTH), "0");

    CkxAttrList base, editable;
    EXPECT_EQ(CkxFIPhoto::_GetBaseAttrList(base), 39);
    EXPECT_EQ(CkxFIPhoto::_GetCanEditBaseAttrList(editable), 31);
    const CkxAttr* client = base.Find(KXP_CLIENT);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->m_strName, "客户");
    EXPECT_EQ(client->m_nFamilyID, 100000010);
    EXPECT_EQ(client->m_nEditWay, KXE_COMBO);
    EXPECT_EQ(base.Find(KXP_PROCESSTIME)->m_nDataType, KXT_DATE);
}

// Copies of a photo, whether of the object or through handles and lists, keep the capture
// fields: a copy never falls back to the plain file class.
TEST(CkxFIPhoto, CopiesKeepCaptureFields) {
    CkxFIPhoto p = SamplePhoto();
    std::unique_ptr<CkxFile> clone(static_cast<const CkxFile&>(p).Clone());
    auto* asPhoto = dynamic_cast<CkxFIPhoto*>(clone.get());
    ASSERT_TRUE(asPhoto);
    EXPECT_EQ(kx::RecordBytes(asPhoto->GetComData()), SamplePhotoBytes());

    CkxFileX h;
    h = static_cast<const CkxFile&>(p);
    CkxFileX copy(h);
    CkxFileX assigned;
    assigned = h;
    for (CkxFileX* x : {&h, &copy, &assigned}) {
        auto* ph = dynamic_cast<CkxFIPhoto*>(x->GetObj());
        ASSERT_TRUE(ph);
        EXPECT_EQ(ph->m_nThemeID, 104);
        EXPECT_EQ(x->GetMode(), CkxFileX::MODE_OWNED);
    }
    EXPECT_NE(copy.GetObj(), h.GetObj());
    EXPECT_NE(assigned.GetObj(), h.GetObj());

    CkxFileXList list;
    list.AddObj(h);
    CkxFileXList other;
    other = list;
    ASSERT_EQ(other.GetCount(), 1);
    auto* listed = dynamic_cast<CkxFIPhoto*>(other.GetHead()->GetObj());
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->m_strCameraAddr, "中");
}
