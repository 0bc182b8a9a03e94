// The family-file list (files as rows, a family's attributes as columns) and the family-file
// tree (families with their files, files moved between families), over the small catalogue's
// families and attributes and a few file objects. Real widgets under the offscreen platform.
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileX.h"
#include "model/CkxXXX.h"
#include "qt/KxModalDriver.h"
#include "ui/CkxwFamilyFileListCtrl.h"
#include "ui/CkxwFamilyFileTreeCtrl.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using guitest::SmallCatalogue;

namespace {

CkxFileImage MakeImage(int id, const char* title, int family) {
    CkxFileImage f;
    f.m_nID = id;
    f.m_strTitle = title;
    f.m_strExName = "jpg";
    f.m_nFamilyID = family;
    return f;
}

CkxAttr* Registered(int id) { return KX_FamilyXXX().attr_Find(id); }

class FamilyFile : public SmallCatalogue {
protected:
    void SetUp() override {
        SmallCatalogue::SetUp();
        kx::EnsureApplication();
    }
};

} // namespace

// ---- the list ----

TEST_F(FamilyFile, AttributeColumnsTakeTheirWidthFromTypeAndName) {
    const auto attr = [](const std::string& name, uint8_t type, uint8_t editWay = KXE_EDIT) {
        CkxAttr a;
        a.m_strName = name;
        a.m_nDataType = type;
        a.m_nEditWay = editWay;
        return a;
    };
    const struct {
        const char* name;
        CkxAttr a;
        int width;
    } cases[] = {
        {"10-byte integer", attr("abcdefghij", KXT_INT), 73},
        {"4-byte date-time", attr("日期", KXT_DATE), 130},
        {"short text", attr("名", KXT_STR), 100},
        {"40-byte name", attr(std::string(40, 'n'), KXT_INT), 278},
        {"33 bytes", attr(std::string(33, 'n'), KXT_INT), 222},
        {"49-byte name", attr(std::string(49, 'n'), KXT_STR), 334},
        {"tree, short name", attr("类", KXT_INT, KXE_TREE), 150},
        {"no type", attr("", KXT_NONE), 80},
    };
    for (const auto& c : cases) EXPECT_EQ(CkxwFamilyFileListCtrl::ColumnWidth(c.a), c.width) << c.name;
}

TEST_F(FamilyFile, TheListBindsEachAttributeColumnWithItsChoices) {
    CkxwFamilyFileListCtrl list;
    EXPECT_EQ(list.GetColumnCount(), 1);
    EXPECT_EQ(list.headerItem()->text(0).toStdString(), "序号");
    list.SelectFamily({});
    EXPECT_EQ(list.GetColumnCount(), 1);
    EXPECT_EQ(list.IsHasAttrCol(), 0);

    CkxAttr stranger; // not in the registry
    stranger.m_nID = 999;
    stranger.m_strName = "外来";
    stranger.m_nDataType = KXT_STR;
    stranger.m_nEditWay = KXE_EDIT;
    list.SelectFamily({Registered(ATTR_REGION), Registered(ATTR_CATEGORY), Registered(ATTR_SHOT_DATE),
                       Registered(ATTR_PHOTOGRAPHER), &stranger});
    ASSERT_EQ(list.GetColumnCount(), 6);
    EXPECT_EQ(list.IsHasAttrCol(), 5);
    EXPECT_EQ(list.GetColumnWidth(list.colGetCol_AttrID(ATTR_CATEGORY)->nIndex), 150);

    CkxFileImage a = MakeImage(FILE_A, "山", FAMILY_LANDSCAPE);
    list.AddFile(&a, 0);
    list.AddFile(nullptr, 1);
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 0).toStdString(), "1");
    EXPECT_EQ(list.GetItemFileID(0), FILE_A);
    const auto cell = [&](int attrId) { return list.LC_Find(0, list.colGetCol_AttrID(attrId)->nIndex); };
    EXPECT_EQ(cell(ATTR_REGION)->arCombo.size(), 3u);
    ASSERT_EQ(cell(ATTR_CATEGORY)->lsTree.size(), 5u);
    EXPECT_EQ(cell(ATTR_CATEGORY)->lsTree[1].parentId, 10);
    EXPECT_EQ(cell(ATTR_PHOTOGRAPHER)->arCombo.size(), 3u); // from the provider: the persons
    EXPECT_EQ(cell(ATTR_SHOT_DATE)->nCtrlType, CkxListCtrlEdit::CTRL_DATE);
    EXPECT_TRUE(cell(999)->arCombo.empty());

    // Empty cells: one kind-none value per known attribute column; the stranger is skipped.
    CkxAttrValueList values;
    ASSERT_EQ(list.GetFileAttrValue(0, values), 4);
    values.ForEach([&](const CkxAttrValue& v) {
        EXPECT_EQ(v.GetObjID(), FILE_A);
        EXPECT_TRUE(v.m_Value.IsVoid()) << v.GetAttrID();
    });
}

TEST_F(FamilyFile, FilesAreLoadedWithoutEditsAndEditedValuesComeBack) {
    CkxwFamilyFileListCtrl list;
    list.SelectFamily({Registered(ATTR_REGION), Registered(ATTR_SHOT_DATE)});
    CkxFileImage a = MakeImage(FILE_A, "山", FAMILY_LANDSCAPE);
    CkxAttrValue north(FILE_A, ATTR_REGION);
    north.m_Value = CkxValueSp(1);
    a.SetExAttrValue(north);
    CkxFileImage b = MakeImage(FILE_B, "湖", FAMILY_LANDSCAPE);
    list.AddFile(&a, 1);
    list.AddFile(&b, 1);
    EXPECT_EQ(list.GetItemText(0, list.colGetCol_AttrID(ATTR_REGION)->nIndex).toStdString(), "华北");
    EXPECT_FALSE(list.IsEdited()); // loading is not editing

    CkxAttrValueList change;
    CkxAttrValue east(FILE_B, ATTR_REGION), elsewhere(FILE_B, ATTR_CATEGORY);
    east.m_Value = CkxValueSp(2);
    elsewhere.m_Value = CkxValueSp(11);
    change.AddTail(east);
    change.AddTail(elsewhere); // no column: ignored
    list.SetFileAttrValue(1, change);
    EXPECT_TRUE(list.IsEdited(1));
    EXPECT_FALSE(list.IsEdited(0));
    CkxAttrValueList back;
    ASSERT_EQ(list.GetFileAttrValue(1, back), 2);
    EXPECT_EQ(back.Find(FILE_B, ATTR_REGION)->GetInt(), 2);

    list.UpdateFileName(FILE_B, "湖.jpg");
    EXPECT_EQ(list.GetItemText(1, 0).toStdString(), "湖.jpg");
    list.resize(420, 160);
    guitest::Screenshot(&list, "CkxwFamilyFileListCtrl");

    // Selection and removal by file id: the first row holding it goes, an unknown id nothing.
    EXPECT_EQ(list.GetCurSelItemData(), 0);
    list.AddFile(&a, 0);
    ASSERT_EQ(list.GetItemCount(), 3);
    list.DeleteFileA(12345);
    EXPECT_EQ(list.GetItemCount(), 3);
    list.DeleteFileA(FILE_A);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemFileID(0), FILE_B);
    EXPECT_EQ(list.GetItemFileID(1), FILE_A);
    EXPECT_EQ(list.GetItemText(1, 0).toStdString(), "3"); // the number it was added with
    list.SelectItem(1);
    EXPECT_EQ(list.GetCurSelItemData(), FILE_A);
}

// ---- the tree ----

class FamilyFileTree : public FamilyFile {
protected:
    void SetUp() override {
        FamilyFile::SetUp();
        reg = &KX_FamilyXXX();
        // A child family whose parent is not listed: neither shows.
        CkxFamily child;
        child.m_nID = 203;
        child.m_nParentID = FAMILY_CONTRACT;
        child.m_nLevel = 2;
        child.m_strName = "合同附件";
        child.SetDataKind(KXD_TEXT);
        reg->family_AddTail(child);
        for (int id : {int(KXF_ROOT_IMAGE), int(FAMILY_LANDSCAPE), int(KXF_ROOT_TEXT), 203}) families.push_back(reg->family_Find(id));
        tree = std::make_unique<CkxwFamilyFileTreeCtrl>();
        tree->fmCreateTree(families);
    }
    HTREEITEM FamilyItem(int id) const { return tree->fmFindNode(id) ? tree->fmFindNode(id)->m_hItem : nullptr; }

    CkxFamilyXXX* reg = nullptr;
    CkxFamilyPtrs families;
    std::unique_ptr<CkxwFamilyFileTreeCtrl> tree;
};

TEST_F(FamilyFileTree, FamiliesAndFilesTakeTheirPlacesKindsAndImages) {
    HTREEITEM root = tree->GetFamilyRoot();
    ASSERT_TRUE(root);
    EXPECT_EQ(tree->GetItemText(root).toStdString(), "族类");
    EXPECT_EQ(tree->GetRootItem(), root);
    // Under the root: the image root (with 风景 below it), the text root, then unlinked files.
    std::vector<std::string> top;
    for (HTREEITEM i = tree->GetChildItem(root); i; i = tree->GetNextSiblingItem(i)) top.push_back(tree->GetItemText(i).toStdString());
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top.back(), "未归类文件");
    EXPECT_EQ(tree->fmFindNode(203), nullptr); // its parent is not listed
    EXPECT_EQ(tree->fmFindNode(FAMILY_CONTRACT), nullptr);
    EXPECT_EQ(tree->GetParentItem(FamilyItem(FAMILY_LANDSCAPE)), FamilyItem(KXF_ROOT_IMAGE));

    const struct {
        int id;
        uint8_t kind;
        int image;
    } families[] = {{KXF_ROOT_IMAGE, CkxwFFNode::K_IMAGE_ROOT, 6}, {FAMILY_LANDSCAPE, CkxwFFNode::K_IMAGE, 6},
                    {KXF_ROOT_TEXT, CkxwFFNode::K_TEXT_ROOT, 8}};
    for (const auto& f : families) {
        const CkxwFFNode* n = tree->fmFindNode(f.id);
        ASSERT_NE(n, nullptr) << f.id;
        EXPECT_EQ(n->GetKind(), f.kind) << f.id;
        EXPECT_EQ(n->m_nImage, f.image) << f.id;
        EXPECT_EQ(tree->IsEnableDrop(n->m_hItem), 1);
        EXPECT_EQ(tree->IsEnableDrag(n->m_hItem), 0);
    }

    CkxFileImage a = MakeImage(FILE_A, "山", FAMILY_LANDSCAPE), loose = MakeImage(FILE_B, "散", -1),
                 lost = MakeImage(FILE_C, "失", FAMILY_CONTRACT);
    CkxFileX ha, hloose, hlost, none;
    ha = static_cast<const CkxFile&>(a);
    hloose = static_cast<const CkxFile&>(loose);
    hlost = static_cast<const CkxFile&>(lost);
    HTREEITEM ia = tree->flAddFile(ha);
    ASSERT_TRUE(ia);
    EXPECT_EQ(tree->GetParentItem(ia), FamilyItem(FAMILY_LANDSCAPE));
    EXPECT_EQ(tree->GetItemText(ia).toStdString(), "山.jpg");
    EXPECT_EQ(tree->GetNode(ia)->GetKind(), CkxwFFNode::K_FILE);
    EXPECT_EQ(tree->GetNode(ia)->m_nImage, 16);
    EXPECT_EQ(tree->IsEnableDrag(ia), 1);
    EXPECT_EQ(tree->IsEnableDrop(ia), 0);
    EXPECT_NE(tree->GetNode(ia)->m_File.GetObj(), ha.GetObj()); // the node owns its own copy
    HTREEITEM iloose = tree->flAddFile(hloose);
    EXPECT_EQ(tree->GetParentItem(iloose), tree->GetUnlinkedItem());
    EXPECT_EQ(tree->GetItemFamilyID(iloose), -1);
    const int before = tree->GetCount();
    EXPECT_EQ(tree->flAddFile(hlost), nullptr); // its family is not shown
    EXPECT_EQ(tree->flAddFile(none), nullptr);
    EXPECT_EQ(tree->flAddFile(nullptr, ha), nullptr);
    EXPECT_EQ(tree->GetCount(), before);

    // Lookups.
    tree->SelectItem(root);
    EXPECT_EQ(tree->GetCurSelID(), -1);
    EXPECT_EQ(tree->IsCurSeLNodeHasChild(), 1);
    tree->SelectItem(ia);
    EXPECT_EQ(tree->GetCurSelID(), FILE_A);
    EXPECT_EQ(tree->GetItemFamilyID(ia), FAMILY_LANDSCAPE);
    EXPECT_EQ(tree->GetLinkFileID(ia), FILE_A);
    EXPECT_EQ(tree->GetLinkFileID(root), -1);
    EXPECT_EQ(tree->GetItemID(FamilyItem(FAMILY_LANDSCAPE)), FAMILY_LANDSCAPE);
    EXPECT_EQ(tree->GetItemID(nullptr), -1);
    std::vector<int> ids;
    EXPECT_EQ(tree->fmGetLinkFile(FamilyItem(FAMILY_LANDSCAPE), ids), 1);
    EXPECT_EQ(ids, std::vector<int>{FILE_A});
    CkxwFFNodeList::Nodes attached;
    EXPECT_EQ(tree->NodeList().GetFamilyAttachFile(FAMILY_LANDSCAPE, attached), 1);

    tree->SetCheckBoxes(true);
    tree->CheckAllNode();
    tree->DontCheckOtherNode(ia);
    EXPECT_TRUE(tree->GetCheck(ia));
    EXPECT_FALSE(tree->GetCheck(root));
    tree->SetCheckBoxes(false);
    CkxFileX hdoc;
    hdoc = static_cast<const CkxFile&>(MakeImage(1004, "合同扫描", KXF_ROOT_TEXT));
    ASSERT_TRUE(tree->flAddFile(hdoc));
    tree->ExpandTree();
    tree->resize(300, 260);
    guitest::Screenshot(tree.get(), "CkxwFamilyFileTreeCtrl");
}

TEST_F(FamilyFileTree, FilesMoveBetweenFamiliesAndDeletedFamiliesLeaveNothing) {
    CkxFileImage a = MakeImage(FILE_A, "山", FAMILY_LANDSCAPE), b = MakeImage(FILE_B, "湖", KXF_ROOT_TEXT);
    CkxFileX ha, hb;
    ha = static_cast<const CkxFile&>(a);
    hb = static_cast<const CkxFile&>(b);
    HTREEITEM ia = tree->flAddFile(ha), ib = tree->flAddFile(hb);
    ASSERT_TRUE(ia && ib);
    HTREEITEM landscape = FamilyItem(FAMILY_LANDSCAPE), text = FamilyItem(KXF_ROOT_TEXT);

    // Refused: a family as the thing dragged, a file as the target, nothing at all.
    EXPECT_EQ(tree->DragFileToFamily(landscape, text), nullptr);
    EXPECT_EQ(tree->DragFileToFamily(ia, ib), nullptr);
    EXPECT_EQ(tree->DragFileToFamily(nullptr, text), nullptr);
    EXPECT_EQ(tree->ChangeFileFamily(FILE_A, 4242), nullptr);

    // Into another family: moved and re-familied.
    HTREEITEM moved = tree->DragFileToFamily(ia, text);
    ASSERT_TRUE(moved);
    EXPECT_FALSE(tree->IsItem(ia));
    EXPECT_EQ(tree->GetParentItem(moved), text);
    EXPECT_EQ(tree->GetItemFamilyID(moved), KXF_ROOT_TEXT);
    EXPECT_EQ(tree->flFindNode(FILE_A)->m_File.GetFamilyID(), KXF_ROOT_TEXT);
    std::vector<int> ids;
    EXPECT_EQ(tree->fmGetLinkFile(landscape, ids), 0);

    // Onto the root: moved, family kept.
    HTREEITEM atRoot = tree->DragFileToFamily(moved, tree->GetFamilyRoot());
    ASSERT_TRUE(atRoot);
    EXPECT_EQ(tree->flFindNode(FILE_A)->m_File.GetFamilyID(), KXF_ROOT_TEXT);
    EXPECT_EQ(tree->GetItemFamilyID(atRoot), -1); // the root's empty record
    HTREEITEM back = tree->ChangeFileFamily(FILE_A, FAMILY_LANDSCAPE);
    ASSERT_TRUE(back);
    EXPECT_EQ(tree->flFindNode(FILE_A)->m_File.GetFamilyID(), FAMILY_LANDSCAPE);

    // Deleting the image root takes 风景 and its file, items and nodes alike.
    tree->fmDelete(KXF_ROOT_IMAGE);
    EXPECT_FALSE(tree->IsItem(landscape));
    EXPECT_EQ(tree->GetNode(back), nullptr);
    EXPECT_EQ(tree->GetNode(landscape), nullptr);
    EXPECT_EQ(tree->flFindNode(FILE_A), nullptr);
    EXPECT_EQ(tree->fmFindNode(FAMILY_LANDSCAPE), nullptr);
    EXPECT_EQ(tree->GetItemID(back), -1);
    EXPECT_NE(tree->flFindNode(FILE_B), nullptr);

    tree->flDeleteAllFile();
    EXPECT_EQ(tree->flFindNode(FILE_B), nullptr);
    EXPECT_TRUE(tree->IsItem(text));
}
