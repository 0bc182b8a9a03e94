// The file template editor and its attribute value panel over the small catalogue: what the OK
// checks accept and refuse (with the dialog left open and the typing kept), how the format and
// the folder are stored, the view mode that changes nothing, and the panel's family, author and
// attribute grid.
#include "dlg/CDlgFileAttrValue.h"
#include "dlg/CDlgFileTempletEdit.h"

#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"
#include "ui/CDlgFamilySelect.h"
#include "ui/CkxFamilyTreeCtrl.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CxTreeCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using guitest::SmallCatalogue;
using namespace kx;

namespace {

QLineEdit* EditOf(QWidget* w, int id) { return w->findChild<QLineEdit*>(QString::number(id)); }
std::string TextOf(QWidget* w, int id) { return EditOf(w, id)->text().toStdString(); }
void SetText(QWidget* w, int id, const std::string& text) { EditOf(w, id)->setText(QString::fromStdString(text)); }

int FormatId(const char* ext) { return KX_KXXXX().m_ImageTool.Get_kxID(ext); }

// A stored template of family 风景 by carol: author 李四, folder 文档, a region value.
CkxObjAttrTemplet StoredTemplet() {
    CkxObjAttrTemplet t;
    t.m_nID = 7;
    t.m_strName = "风景默认";
    t.m_strRemark = "外景";
    t.m_nDataMode = KXD_IMAGE;
    t.m_nFamilyID = SmallCatalogue::FAMILY_LANDSCAPE;
    t.m_nCreatorID = SmallCatalogue::CAROL;
    CkxFileImage& f = t.m_AttrSet;
    f.m_nID = 7;
    f.m_nFamilyID = SmallCatalogue::FAMILY_LANDSCAPE;
    f.m_strTitle = "山景";
    f.m_strExName = "jpg";
    f.m_nEncFormat = 0; // stale: the extension decides
    f.m_nLocDirID = SmallCatalogue::FOLDER_DOCS;
    f.m_nAuthorID = 2;
    f.m_nWriterID = f.m_nEditorID = SmallCatalogue::CAROL;
    f.m_dtAuth = COleDateTime(2021, 3, 4, 5, 6, 7);
    f.m_strAuthAddr = "黄山";
    f.m_strRemark = "云海";
    CkxAttrValue region(7, SmallCatalogue::ATTR_REGION);
    region.m_Value = CkxValueSp(2); // 华东, a constant of the drop-down
    f.m_ExAttrValueList.AddTail(region);
    return t;
}

class FileTemplet : public SmallCatalogue {
protected:
    FileTemplet() { EnsureApplication(); }
    void SetUp() override {
        SmallCatalogue::SetUp();
        SetCurrentUser(ALICE);
    }
    // Runs the editor; `edit` gets it open, then OK is clicked. The result of DoModal.
    static int Run(CDlgFileTempletEdit& dlg, const std::function<void(CDlgFileTempletEdit*)>& edit) {
        return guitest::DriveDialog([&] { return dlg.DoModal(); },
                                    [&](Dialog* d) { edit(static_cast<CDlgFileTempletEdit*>(d)); });
    }
};

TEST_F(FileTemplet, TheOkChecksAndTheStoredFormat) {
    const std::string fifty(50, 'n'), chinese50(50, 'x');
    std::string han25;
    for (int i = 0; i < 25; ++i) han25 += "图";
    struct Case {
        const char* what;
        std::string name, note, fileName;
        bool useFormat;
        const char* format; // the chosen row's suffix, with useFormat
        const char* refused; // the message, null when accepted
        int focus;
    };
    const Case cases[] = {
        {"chosen format", "模板", "", "图一", true, "png", nullptr, 0},
        {"no format chosen, a new file has no extension", "模板", "", "图一", false, nullptr, nullptr, 0},
        {"name of exactly 50 bytes", fifty, "", "图一", false, nullptr, nullptr, 0},
        {"Chinese name of 50 bytes", han25, "", "图一", false, nullptr, nullptr, 0},
        {"name of 51 bytes", fifty + "n", "", "图一", false, nullptr, "名称长度不能超过50个字母", CDlgFileTempletEdit::IDC_EDT_NAME},
        {"Chinese name of 51 bytes", han25 + "n", "", "图一", false, nullptr, "名称长度不能超过50个字母",
         CDlgFileTempletEdit::IDC_EDT_NAME},
        {"note of 50 bytes", "模板", fifty, "图一", false, nullptr, nullptr, 0},
        {"note of 51 bytes", "模板", han25 + "n", "图一", false, nullptr, "备注长度不能超过50个字母",
         CDlgFileTempletEdit::IDC_EDT_NOTE},
        {"empty name", "", "", "图一", false, nullptr, "名称不能为空", CDlgFileTempletEdit::IDC_EDT_NAME},
        {"empty file name", "模板", "", "", false, nullptr, "名称不能为空", CDlgFileAttrValue::IDC_EDT_NAME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PromptRecorder prompts;
        CDlgFileTempletEdit dlg;
        bool stayedOpen = false;
        std::string focused;
        const int result = guitest::DriveDialog([&] { return dlg.DoModal(); }, [&](Dialog* d) {
            auto* e = static_cast<CDlgFileTempletEdit*>(d);
            SetText(e, CDlgFileTempletEdit::IDC_EDT_NAME, c.name);
            SetText(e, CDlgFileTempletEdit::IDC_EDT_NOTE, c.note);
            CDlgFileAttrValue* panel = e->Panel();
            SetText(panel, CDlgFileAttrValue::IDC_EDT_NAME, c.fileName);
            if (c.useFormat) {
                QTest::mouseClick(panel->findChild<QCheckBox*>(QString::number(CDlgFileAttrValue::IDC_CHK_FORMAT)),
                                  Qt::LeftButton);
                EXPECT_TRUE(panel->Formats()->isEnabled());
                EXPECT_TRUE(panel->Formats()->SelectData(FormatId(c.format)));
            }
            if (!c.refused) return;
            EXPECT_TRUE(ClickId(e, IDOK));
            stayedOpen = e->isVisible();
            if (QWidget* f = QApplication::focusWidget()) focused = f->objectName().toStdString();
            // What was typed is still there.
            EXPECT_EQ(TextOf(e, CDlgFileTempletEdit::IDC_EDT_NAME), c.name);
            EXPECT_EQ(TextOf(e, CDlgFileTempletEdit::IDC_EDT_NOTE), c.note);
            EXPECT_EQ(TextOf(panel, CDlgFileAttrValue::IDC_EDT_NAME), c.fileName);
            e->EndDialog(IDCANCEL);
        }, c.refused ? 0 : IDOK);
        if (c.refused) {
            EXPECT_EQ(result, IDCANCEL);
            EXPECT_TRUE(stayedOpen);
            EXPECT_EQ(prompts.Texts(), std::vector<std::string>{c.refused});
            EXPECT_EQ(focused, std::to_string(c.focus));
            EXPECT_EQ(dlg.m_Templet.m_strName, ""); // nothing taken
            continue;
        }
        ASSERT_EQ(result, IDOK);
        EXPECT_TRUE(prompts.Texts().empty());
        const CkxObjAttrTemplet& t = dlg.m_Templet;
        EXPECT_EQ(t.m_strName, c.name);
        EXPECT_EQ(t.m_strRemark, c.note);
        EXPECT_EQ(t.m_nDataMode, KXD_IMAGE);
        const CkxFileImage& f = t.m_AttrSet;
        EXPECT_EQ(f.m_strTitle, c.fileName);
        EXPECT_EQ(f.m_nFamilyID, KXF_ROOT_IMAGE);
        EXPECT_EQ(f.m_nLocDirID, -1); // a new template's file lies at the root
        EXPECT_EQ(f.m_nWriterID, ALICE);
        EXPECT_EQ(f.m_nEditorID, ALICE);
        EXPECT_EQ(f.m_nAuthorID, -1);
        EXPECT_EQ(f.m_nEncFormat, c.useFormat ? FormatId(c.format) : 0);
        EXPECT_EQ(f.m_strExName, c.useFormat ? c.format : "");
    }
}

TEST_F(FileTemplet, WithoutTheFormatBoxTheExtensionDecidesAndTheFileKeepsAnUnlistedFolder) {
    CkxObjAttrTemplet stored = StoredTemplet();
    stored.m_AttrSet.m_nLocDirID = FOLDER_ARCHIVE; // closed to alice: no item in her tree
    CDlgFileTempletEdit dlg;
    dlg.SetNew(0);
    dlg.m_Templet = stored;
    ASSERT_EQ(Run(dlg, [](CDlgFileTempletEdit* e) {
                  EXPECT_EQ(e->Panel()->Tree()->GetSelectedItem(), nullptr);
                  EXPECT_FALSE(e->Panel()->Formats()->isEnabled());
              }),
              IDOK);
    const CkxFileImage& f = dlg.m_Templet.m_AttrSet;
    EXPECT_EQ(f.m_nLocDirID, FOLDER_ARCHIVE);
    EXPECT_EQ(f.m_strExName, "jpg");
    EXPECT_EQ(f.m_nEncFormat, FormatId("jpg"));
    EXPECT_NE(FormatId("jpg"), 0);
    EXPECT_EQ(f.m_nWriterID, ALICE); // the editor stamps who saved it
    EXPECT_EQ(f.m_nID, 7);
    // The values are the grid's, stamped with the file's id.
    const CkxAttrValue* region = f.m_ExAttrValueList.Find(7, ATTR_REGION);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->m_Value.GetInt(), 2);
    f.m_ExAttrValueList.ForEach([](const CkxAttrValue& v) { EXPECT_EQ(v.GetObjID(), 7); });

    // With its folder in the tree, a folder chosen there is stored; cleared, the file keeps it.
    CDlgFileTempletEdit again;
    again.SetNew(0);
    again.m_Templet = StoredTemplet();
    ASSERT_EQ(Run(again, [](CDlgFileTempletEdit* e) {
                  CxTreeCtrl* tree = e->Panel()->Tree();
                  EXPECT_EQ(tree->GetCurSelItemData(), static_cast<uint32_t>(FOLDER_DOCS));
                  tree->SelectItem(nullptr);
              }),
              IDOK);
    EXPECT_EQ(again.m_Templet.m_AttrSet.m_nLocDirID, FOLDER_DOCS);
    ASSERT_EQ(Run(again, [](CDlgFileTempletEdit* e) { e->Panel()->Tree()->SelectNode(FOLDER_DRAFTS); }), IDOK);
    EXPECT_EQ(again.m_Templet.m_AttrSet.m_nLocDirID, FOLDER_DRAFTS);
}

TEST_F(FileTemplet, ViewModeShowsEveryValueAndChangesNothing) {
    const CkxObjAttrTemplet stored = StoredTemplet();
    CDlgFileTempletEdit dlg;
    dlg.SetNew(0);
    dlg.SetEditable(0);
    dlg.m_Templet = stored;
    PromptRecorder prompts;
    ASSERT_EQ(Run(dlg, [](CDlgFileTempletEdit* e) {
                  CDlgFileAttrValue* p = e->Panel();
                  EXPECT_EQ(TextOf(e, CDlgFileTempletEdit::IDC_EDT_NAME), "风景默认");
                  EXPECT_EQ(TextOf(e, CDlgFileTempletEdit::IDC_EDT_NOTE), "外景");
                  EXPECT_EQ(e->findChild<ComboBox*>(QString::number(CDlgFileTempletEdit::IDC_CMB_KIND))
                                ->currentText()
                                .toStdString(),
                            "图像");
                  EXPECT_EQ(TextOf(p, CDlgFileAttrValue::IDC_EDT_NAME), "山景");
                  EXPECT_EQ(TextOf(p, CDlgFileAttrValue::IDC_EDT_EXT), "jpg");
                  EXPECT_EQ(TextOf(p, CDlgFileAttrValue::IDC_EDT_PLACE), "黄山");
                  EXPECT_EQ(TextOf(p, CDlgFileAttrValue::IDC_EDT_NOTE), "云海");
                  EXPECT_EQ(TextOf(p, CDlgFileAttrValue::IDC_EDT_FAMILY), "风景");
                  EXPECT_EQ(p->Authors()->currentText().toStdString(), "李四");
                  EXPECT_EQ(p->findChild<QDateTimeEdit*>(QString::number(CDlgFileAttrValue::IDC_DT_AUTH))
                                ->dateTime(),
                            QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)));
                  EXPECT_EQ(p->Tree()->GetCurSelItemData(), static_cast<uint32_t>(FOLDER_DOCS));
                  const int regionRow = [&] {
                      for (int r = 0; r < p->Grid()->GetAttrCount(); ++r)
                          if (p->Grid()->GetAttr(r)->GetID() == ATTR_REGION) return r;
                      return -1;
                  }();
                  ASSERT_GE(regionRow, 0);
                  EXPECT_EQ(p->Grid()->GetItemText(regionRow, CkxwAttrValueListCtrl::COL_VALUE).toStdString(), "华东");
                  // Nothing takes a change.
                  for (int id : {CDlgFileTempletEdit::IDC_EDT_NAME, CDlgFileTempletEdit::IDC_EDT_NOTE})
                      EXPECT_TRUE(EditOf(e, id)->isReadOnly()) << id;
                  for (int id : {CDlgFileAttrValue::IDC_EDT_NAME, CDlgFileAttrValue::IDC_EDT_EXT,
                                 CDlgFileAttrValue::IDC_EDT_PLACE, CDlgFileAttrValue::IDC_EDT_NOTE,
                                 CDlgFileAttrValue::IDC_EDT_FAMILY})
                      EXPECT_TRUE(EditOf(p, id)->isReadOnly()) << id;
                  for (int id : {CDlgFileAttrValue::IDC_CHK_FORMAT, CDlgFileAttrValue::IDC_CMB_FORMAT,
                                 CDlgFileAttrValue::IDC_CMB_AUTHOR, CDlgFileAttrValue::IDC_DT_AUTH,
                                 CDlgFileAttrValue::IDC_TREE_DIR, CDlgFileAttrValue::IDC_LIST_ATTR,
                                 CDlgFileAttrValue::IDC_BTN_FAMILY})
                      EXPECT_FALSE(p->GetDlgItem(id)->isEnabled()) << id;
                  EXPECT_FALSE(e->GetDlgItem(CDlgFileTempletEdit::IDC_CMB_KIND)->isEnabled());
                  guitest::Screenshot(e, "CDlgFileTempletEdit-view");
              }),
              IDOK);
    EXPECT_TRUE(prompts.Texts().empty());
    const CkxObjAttrTemplet& t = dlg.m_Templet;
    EXPECT_EQ(t.m_strName, stored.m_strName);
    EXPECT_EQ(t.m_AttrSet.m_nWriterID, CAROL);
    EXPECT_EQ(t.m_AttrSet.m_nEditorID, CAROL);
    EXPECT_EQ(t.m_AttrSet.m_nEncFormat, 0);
    EXPECT_EQ(t.m_AttrSet.m_dtAuth, stored.m_AttrSet.m_dtAuth);
}

TEST_F(FileTemplet, ANewTemplateShowsItsDefaultsAndTheKindIsFixed) {
    CDlgFileTempletEdit dlg;
    ASSERT_EQ(guitest::DriveDialog([&] { return dlg.DoModal(); },
                                   [](Dialog* d) {
                                       auto* e = static_cast<CDlgFileTempletEdit*>(d);
                                       CDlgFileAttrValue* p = e->Panel();
                                       auto* kinds = e->findChild<ComboBox*>(
                                           QString::number(CDlgFileTempletEdit::IDC_CMB_KIND));
                                       ASSERT_EQ(kinds->count(), 5);
                                       EXPECT_EQ(kinds->itemText(0).toStdString(), "二进制");
                                       EXPECT_EQ(kinds->itemText(4).toStdString(), "音频");
                                       EXPECT_EQ(kinds->GetCurSelData(), KXD_IMAGE);
                                       EXPECT_FALSE(kinds->isEnabled());
                                       EXPECT_EQ(TextOf(p, CDlgFileAttrValue::IDC_EDT_FAMILY),
                                                 KX_FamilyXXX().family_GetName(KXF_ROOT_IMAGE));
                                       EXPECT_EQ(p->Grid()->GetAttrCount(), 0); // a root family
                                       EXPECT_EQ(p->Authors()->currentText().toStdString(), "未知");
                                       // The folder tree: the root, then the folders alice may read.
                                       CxTreeCtrl* tree = p->Tree();
                                       const HTREEITEM root = tree->GetRootItem();
                                       ASSERT_NE(root, nullptr);
                                       EXPECT_EQ(tree->GetItemText(root).toStdString(), "根目录");
                                       EXPECT_EQ(tree->GetItemData(root), -1);
                                       EXPECT_TRUE(tree->IsValid(FOLDER_GALLERY));
                                       EXPECT_FALSE(tree->IsValid(FOLDER_ARCHIVE));
                                       // The format list skips the table's "all formats" row.
                                       const auto& formats = KX_KXXXX().m_ImageTool.GetImageFormats();
                                       EXPECT_EQ(p->Formats()->count(), static_cast<int>(formats.size()) - 1);
                                       EXPECT_EQ(p->Formats()->itemText(0).toStdString(), formats[1].name);
                                       EXPECT_FALSE(p->Formats()->isEnabled());
                                       guitest::Screenshot(e, "CDlgFileTempletEdit-new");
                                   },
                                   IDCANCEL),
              IDCANCEL);
}

// The panel on its own, as a form.
class FileAttrPanel : public FileTemplet {
protected:
    void SetUp() override {
        FileTemplet::SetUp();
        panel = new CDlgFileAttrValue;
        ASSERT_TRUE(panel->Create(&host));
        host.resize(600, 560);
        host.show();
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (int r = 0; r < panel->Grid()->GetAttrCount(); ++r) out.push_back(panel->Grid()->GetAttr(r)->m_strName);
        return out;
    }
    QWidget host;
    CDlgFileAttrValue* panel = nullptr;
};

TEST_F(FileAttrPanel, TheChosenFamilyRefillsTheGridAndTheFileShowsItsValues) {
    panel->SetFile(StoredTemplet().m_AttrSet);
    // The family's extended attributes: the inherited one of the image root first.
    EXPECT_EQ(Rows(), (std::vector<std::string>{"拍摄日期", "地区", "分类", "摄影师"}));

    // "..." opens the family picker; cancelled, nothing changes.
    ModalDriver cancel;
    cancel.Then<CDlgFamilySelect>([](CDlgFamilySelect* d) { ClickId(d, IDCANCEL); });
    QTest::mouseClick(panel->GetDlgItem(CDlgFileAttrValue::IDC_BTN_FAMILY), Qt::LeftButton);
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(panel->GetFamilyID(), FAMILY_LANDSCAPE);

    // A text family without attributes empties the grid.
    ModalDriver pick;
    pick.Then<CDlgFamilySelect>([](CDlgFamilySelect* d) {
        d->Tree()->SelectNode(FAMILY_CONTRACT);
        ClickId(d, IDOK);
    });
    panel->OnBtnFamily();
    EXPECT_TRUE(pick.Done());
    EXPECT_EQ(panel->GetFamilyID(), FAMILY_CONTRACT);
    EXPECT_EQ(TextOf(panel, CDlgFileAttrValue::IDC_EDT_FAMILY), "合同");
    EXPECT_TRUE(Rows().empty());
    ASSERT_EQ(panel->Save(), 1);
    EXPECT_EQ(panel->GetFile().m_nFamilyID, FAMILY_CONTRACT);
    EXPECT_EQ(panel->GetFile().m_ExAttrValueList.GetCount(), 0);
}

TEST_F(FileAttrPanel, TheAuthorListIsRebuiltWhenItDropsDownAndKeepsTheChoice) {
    panel->SetFile(StoredTemplet().m_AttrSet);
    ComboBox* authors = panel->Authors();
    ASSERT_EQ(authors->count(), 4); // 未知 and three persons
    EXPECT_EQ(authors->currentText().toStdString(), "李四");
    CkxPerson zhao;
    zhao.m_nID = 9;
    zhao.m_strName = "赵六";
    KX_KXXXX().m_PersonList.AddTail(zhao);
    authors->showPopup();
    authors->hidePopup();
    ASSERT_EQ(authors->count(), 5);
    EXPECT_EQ(authors->itemText(4).toStdString(), "赵六");
    EXPECT_EQ(authors->currentText().toStdString(), "李四");
    // No choice at all: the first row.
    authors->SetCurSel(-1);
    panel->OnDropdownAuthor();
    EXPECT_EQ(authors->GetCurSel(), 0);
    authors->SetCurSel(4);
    ASSERT_EQ(panel->Save(), 1);
    EXPECT_EQ(panel->GetFile().m_nAuthorID, 9);
}

TEST_F(FileAttrPanel, AnEmptyFileNameIsRefusedAndNothingIsStored) {
    panel->SetFile(StoredTemplet().m_AttrSet);
    SetText(panel, CDlgFileAttrValue::IDC_EDT_NAME, "");
    SetText(panel, CDlgFileAttrValue::IDC_EDT_PLACE, "泰山");
    PromptRecorder prompts;
    EXPECT_EQ(panel->Save(), 0);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"名称不能为空"});
    EXPECT_EQ(prompts.Requests().front().icon, PromptWarning);
    EXPECT_EQ(panel->GetFile().m_strAuthAddr, "黄山");
    EXPECT_EQ(panel->GetFile().m_strTitle, "山景");
}

} // namespace
