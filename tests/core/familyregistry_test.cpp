#include "model/CkxFamilyXXX.h"
#include "model/CkxFileBaseAttr.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kImg = KXF_ROOT_IMAGE;

const std::vector<int> kImageBaseIds = {KXB_FILETITLE, KXB_ENCFORMAT, KXB_FILESIZE, KXB_WIDTH,
                                        KXB_HEIGHT,    KXB_AUTHORID,  KXB_WRITERID, KXB_EDITORID,
                                        KXB_AUTHTIME,  KXB_WRITETIME, KXB_EDITTIME, KXB_AUTHADDR,
                                        KXB_LOCDIRID,  KXB_REMARK};

CkxFamily Fam(int id, int level, int parent, const std::string& name, int kind = KXD_IMAGE) {
    CkxFamily f;
    f.m_nID = id;
    f.m_nLevel = level;
    f.m_nParentID = parent;
    f.m_strName = name;
    f.SetDataKind(kind);
    return f;
}

CkxAttr Attr(int id, int family, bool ex, uint8_t editWay, int kind = KXD_IMAGE) {
    CkxAttr a;
    a.m_nID = id;
    a.m_nFamilyID = family;
    if (!ex) a.SetAttrType_Base();
    a.m_nEditWay = editWay;
    a.m_nDataType = KXT_STR;
    a.SetDataKind(kind);
    return a;
}

std::vector<int> Ids(const CkxAttrList& l) {
    std::vector<int> out;
    l.ForEach([&](const CkxAttr& a) { out.push_back(a.m_nID); });
    return out;
}
std::vector<int> Ids(const CkxAttrPtrs& l) {
    std::vector<int> out;
    for (const CkxAttr* a : l) out.push_back(a->m_nID);
    return out;
}
std::vector<int> Ids(const CkxAttrValueList& l) {
    std::vector<int> out;
    l.ForEach([&](const CkxAttrValue& v) { out.push_back(v.GetAttrID()); });
    return out;
}
std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The image root (with the 14 base attributes), P(1) under it, C(2) under P. Attributes:
// root 100 (ex, editable) and 101 (ex, not editable); P 200 (ex) and 201 (base, editable);
// C 300 (ex, editable).
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(reg.family_AddTail(Fam(1, 1, kImg, "P")), 1);
        ASSERT_EQ(reg.family_AddTail(Fam(2, 2, 1, "C")), 1);
        ASSERT_EQ(reg.attr_AddTail(Attr(100, kImg, true, KXE_EDIT)), 1);
        ASSERT_EQ(reg.attr_AddTail(Attr(101, kImg, true, KXE_NONE)), 1);
        ASSERT_EQ(reg.attr_AddTail(Attr(200, 1, true, KXE_COMBO)), 1);
        ASSERT_EQ(reg.attr_AddTail(Attr(201, 1, false, KXE_EDIT)), 1);
        ASSERT_EQ(reg.attr_AddTail(Attr(300, 2, true, KXE_EDIT)), 1);
    }
    CkxFamilyXXX reg;
};

} // namespace

TEST(FamilyRegistryFresh, HoldsTheImageRootAndItsBaseAttributes) {
    CkxFamilyXXX reg;
    EXPECT_TRUE(reg.IsLinking());
    ASSERT_EQ(reg.family_GetCount(), 1);
    const CkxFamily* root = reg.family_Find(kImg);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->IsRootImage());
    EXPECT_EQ(root->m_nValueA, 5);
    EXPECT_EQ(root->m_nLevel, 0);
    EXPECT_EQ(root->m_strName, "图像根族");
    EXPECT_EQ(reg.family_GetBaseImage(), root);
    EXPECT_EQ(reg.family_GetBaseText(), nullptr);

    CkxAttrList base;
    EXPECT_EQ(reg.attr_GetImageBaseAttr(base), 14);
    EXPECT_EQ(Ids(base), kImageBaseIds);
    EXPECT_EQ(reg.attr_GetCount(), 14);
    base.ForEach([](const CkxAttr& a) {
        EXPECT_TRUE(a.IsBaseAttr());
        EXPECT_TRUE(a.IsImage());
        EXPECT_EQ(a.m_nFamilyID, kImg);
    });
    const CkxAttr* size = reg.attr_Find(KXB_FILESIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->m_strName, "文件大小");
    EXPECT_EQ(size->m_strNote, "文件占用存储空间大小");
    EXPECT_EQ(reg.attr_GetDateType(KXB_AUTHTIME), KXT_DATE);
    EXPECT_EQ(reg.attr_GetDateType(12345), 0);

    // Editable ones: title, author, creation time, place, storage folder, remark.
    CkxAttrList edit;
    EXPECT_EQ(reg.attr_GetImageEditBaseAttr(edit), 6);
    const std::vector<int> editable = {KXB_FILETITLE, KXB_AUTHORID, KXB_AUTHTIME,
                                       KXB_AUTHADDR,  KXB_LOCDIRID, KXB_REMARK};
    EXPECT_EQ(Ids(edit), editable);
    CkxAttrValueList values;
    EXPECT_EQ(reg.attr_GetImageEditBaseAttrValue(values), 6);
    EXPECT_EQ(Ids(values), editable);
    EXPECT_FALSE(values.GetHead()->IsValid());

    for (int kind : std::vector<int>{KXD_TEXT, KXD_AUDIO, KXD_VIDEO, KXD_BINARY, 0, 6})
        EXPECT_EQ(reg.attr_GetModeBaseAttr(kind, base), 0) << kind;
    EXPECT_EQ(reg.attr_GetModeBaseAttr(KXD_IMAGE, base), 14);
}

TEST(FamilyRegistryFresh, NamesAndRootTests) {
    CkxFamilyXXX reg;
    reg.family_AddTail(Fam(7, 1, kImg, "风景"));
    const std::vector<std::pair<int, std::string>> names = {
        {kImg, "图像根族"},      {KXF_ROOT_TEXT, "文本根族"},   {KXF_ROOT_AUDIO, "音频根族"},
        {KXF_ROOT_VIDEO, "视频根族"}, {KXF_ROOT_BINARY, "二进制根族"}, {KXF_ROOT_OTHER, ""},
        {7, "风景"},             {-1, "普通文件"},             {8, "普通文件"}};
    for (auto& [id, name] : names) EXPECT_EQ(reg.family_GetName(id), name) << id;

    for (int id = kImg; id <= KXF_ROOT_OTHER; ++id) EXPECT_TRUE(CkxFamilyXXX::family_IsRoot(id));
    EXPECT_FALSE(CkxFamilyXXX::family_IsRoot(7));
    EXPECT_TRUE(CkxFamilyXXX::family_IsOtherRoot(KXF_ROOT_OTHER));
    EXPECT_TRUE(CkxFamilyXXX::family_IsBinaryRoot(KXF_ROOT_BINARY));
    EXPECT_TRUE(reg.family_IsImage(7));
    EXPECT_FALSE(reg.family_IsText(7));
    EXPECT_FALSE(reg.family_IsImage(8));

    ASSERT_EQ(reg.family_AddTail(Fam(KXF_ROOT_TEXT, 0, -1, "文本根族", KXD_TEXT)), 1);
    ASSERT_EQ(reg.family_AddTail(Fam(9, 1, KXF_ROOT_TEXT, "文档", KXD_TEXT)), 1);
    CkxFamilyPtrs out;
    EXPECT_EQ(reg.family_GetBaseFamily(out), 2);
    EXPECT_EQ(reg.family_GetBaseText()->m_nID, KXF_ROOT_TEXT);
    EXPECT_EQ(reg.family_GetTextFamily(out), 2);
    EXPECT_EQ(reg.family_GetImageFamily(out), 2);

    EXPECT_EQ(reg.family_CanUseName(7, "风景"), 1);
    EXPECT_EQ(reg.family_CanUseName(9, "风景"), 0);
    EXPECT_EQ(reg.family_CanUseName(9, "新名"), 1);

    CkxFamily moved = *reg.family_Find(9);
    EXPECT_EQ(reg.family_IsParentChange(moved), 0);
    moved.m_nParentID = 7;
    EXPECT_EQ(reg.family_IsParentChange(moved), 1);
    EXPECT_EQ(reg.family_IsParentChange(Fam(99, 1, 7, "")), 0);
}

TEST_F(Registry, FamilyQueries) {
    CkxFamilyPtrs out;
    EXPECT_EQ(reg.family_GetChild(kImg, out), 1);
    EXPECT_EQ(reg.family_GetOffspring(kImg, out), 3); // appended after the child
    EXPECT_EQ(out.back()->m_nID, 2);
    std::vector<int> ids;
    EXPECT_EQ(reg.family_GetOffspring(kImg, ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{1, 2}));
    EXPECT_EQ(reg.family_GetTree(1, out), 2);
    EXPECT_TRUE(reg.family_IsHasChild(1));
    EXPECT_FALSE(reg.family_IsHasChild(2));
    EXPECT_EQ(reg.family_GetAllParent(2, ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{1, kImg}));

    EXPECT_EQ(reg.family_Delete(1), 1);
    EXPECT_EQ(reg.family_GetCount(), 1);
    EXPECT_EQ(reg.family_Find(2), nullptr);
}

TEST_F(Registry, AttributeQueriesInOrder) {
    std::vector<int> rootLocal = Concat(kImageBaseIds, {100, 101});

    CkxAttrList list;
    EXPECT_EQ(reg.attr_GetFamilyLocalAttr(1, list), 2);
    EXPECT_EQ(Ids(list), (std::vector<int>{200, 201}));
    EXPECT_EQ(reg.attr_GetFamilyLocalAttr(999, list), 0);
    CkxAttrPtrs ptrs;
    EXPECT_EQ(reg.attr_GetFamilyLocalAttr(kImg, ptrs), 16);
    EXPECT_EQ(ptrs.back(), reg.attr_Find(101)); // the definitions themselves

    // Two levels below the root: parent's, then the root's, then its own.
    EXPECT_EQ(reg.attr_GetFamilyAllAttr(2, list), 19);
    EXPECT_EQ(Ids(list), Concat(Concat({200, 201}, rootLocal), {300}));
    EXPECT_EQ(reg.attr_GetFamilyInheritAttr(2, list), 18);
    EXPECT_EQ(Ids(list), Concat({200, 201}, rootLocal));

    EXPECT_EQ(reg.attr_GetFamilyAllExAttr(2, list), 4);
    EXPECT_EQ(Ids(list), (std::vector<int>{200, 100, 101, 300}));
    EXPECT_EQ(reg.attr_GetFamilyAllExAttr(2, ptrs), 4);
    EXPECT_EQ(reg.attr_GetFamilyInheritExAttr(2, list), 3);
    EXPECT_EQ(Ids(list), (std::vector<int>{200, 100, 101}));
    EXPECT_EQ(reg.attr_GetFamilyInheritExAttr(2, ptrs), 3);
    EXPECT_EQ(reg.attr_GetAllInheritAttr(2, ptrs), 18);
    EXPECT_EQ(reg.attr_GetAllInheritExAttr(2, ptrs), 3);
    EXPECT_EQ(Ids(ptrs), (std::vector<int>{200, 100, 101}));

    // Base attributes go by data kind: family 1's own base definition joins the image ones.
    EXPECT_EQ(reg.attr_GetFamilyBaseAttr(2, list), 15);
    EXPECT_EQ(Ids(list), Concat(kImageBaseIds, {201}));
    EXPECT_EQ(reg.attr_GetFamilyBaseAttr(999, list), 0);
}

TEST_F(Registry, EmptyValueListsForAFamily) {
    CkxAttrValueList values;
    values.AddTail(CkxAttrValue(5, 5)); // cleared first
    EXPECT_EQ(reg.GetFamilyAllExAttrValue(2, values), 4);
    EXPECT_EQ(Ids(values), (std::vector<int>{200, 100, 101, 300}));
    values.ForEach([](const CkxAttrValue& v) {
        EXPECT_EQ(v.GetObjID(), 0);
        EXPECT_EQ(v.m_Value.GetKind(), KXV_NONE);
    });
    EXPECT_EQ(reg.GetFamilyAllExAttrValueEnableEdit(2, values), 3);
    EXPECT_EQ(Ids(values), (std::vector<int>{200, 100, 300}));
    EXPECT_EQ(reg.GetFamilyAllAttrValue(2, values), 19);
    // Editable: P's 200 and 201, the root's six editable base fields and 100, C's 300.
    EXPECT_EQ(reg.GetFamilyAllAttrValueEnableEdit(2, values), 10);
    EXPECT_EQ(reg.GetFamilyAllAttrValue(999, values), 0);
}

TEST_F(Registry, AttributeMaintenance) {
    CkxAttr u = Attr(200, 1, true, KXE_TREE);
    u.m_strName = "地区";
    EXPECT_EQ(reg.attr_Update(u), 1);
    EXPECT_EQ(reg.attr_Find(200)->m_strName, "地区");
    EXPECT_EQ(reg.attr_Update(static_cast<const CkxAttr*>(nullptr)), 0);
    EXPECT_EQ(reg.attr_AddTail(static_cast<CkxAttr*>(nullptr)), 0);
    EXPECT_EQ(reg.attr_Delete(300), 1);
    EXPECT_EQ(reg.attr_GetCount(), 18);
    std::unique_ptr<CkxAttr> head(reg.attr_RemoveHead());
    EXPECT_EQ(head->m_nID, KXB_FILETITLE);
    reg.attr_DeleteAll();
    EXPECT_EQ(reg.attr_GetCount(), 0);
}
