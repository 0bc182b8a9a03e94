// The family dialogs (edit, name, select), the family attribute dialog with its constant list,
// the file quick-key dialog and the tabbed file dialog, driven as modal dialogs over the small
// catalogue. The registry store of the file dialog is a file in a temporary folder.
#include "support/TempDir.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "base/KxProc.h"
#include "base/KxRegistry.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "ui/CDlgFamilyAttrEdit.h"
#include "ui/CDlgFamilyEdit.h"
#include "ui/CDlgFamilySelect.h"
#include "ui/CkxFamilyTreeCtrl.h"
#include "ui/CkxwConstEditCtrl.h"
#include "ui/CkxwFSFileQuickKeyEdit.h"
#include "ui/CkxwFileDialogSuper.h"
#include "ui/CxTreeCtrl.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using guitest::DriveDialog;
using guitest::SmallCatalogue;

namespace {

class FamilyDialogs : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
    }
};

QLineEdit* EditOf(QWidget* dlg, int id) { return dlg->findChild<QLineEdit*>(QString::number(id)); }
void SetText(QWidget* dlg, int id, const std::string& text) { EditOf(dlg, id)->setText(QString::fromStdString(text)); }
kx::ComboBox* ComboOf(QWidget* dlg, int id) { return dlg->findChild<kx::ComboBox*>(QString::number(id)); }

std::vector<std::string> Texts(const QComboBox* combo) {
    std::vector<std::string> out;
    for (int i = 0; i < combo->count(); ++i) out.push_back(combo->itemText(i).toStdString());
    return out;
}

std::vector<int> Datas(const kx::ComboBox* combo) {
    std::vector<int> out;
    for (int i = 0; i < combo->count(); ++i) out.push_back(static_cast<int>(combo->GetItemData(i)));
    return out;
}

// Picks the entry with the data as a person does (the combo's activation runs the handlers).
void Choose(kx::ComboBox* combo, int data) {
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->GetItemData(i) != data) continue;
        combo->setCurrentIndex(i);
        Q_EMIT combo->activated(i);
        return;
    }
    ADD_FAILURE() << "no entry with data " << data;
}

CkxFamily FamilyCopy(int id) { return *KX_FamilyXXX().family_Find(id); }

} // namespace

// ---- family edit, name and selection ----

TEST_F(FamilyDialogs, FamilyEditOffersKindsAndParentsAndNeverTheFamilyBelowItself) {
    CkxFamily created;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilyEdit(1, created); },
                          [](kx::Dialog* dlg) {
                              auto* type = ComboOf(dlg, CDlgFamilyEdit::IDC_COB_TYPE);
                              EXPECT_EQ(Texts(type), (std::vector<std::string>{"文本", "图像", "视频", "音频", "二进制"}));
                              EXPECT_EQ(type->currentText(), "图像");
                              auto* parent = ComboOf(dlg, CDlgFamilyEdit::IDC_COB_PARENT);
                              EXPECT_EQ(parent->itemText(0), "--");
                              EXPECT_EQ(parent->GetCurSel(), -1);
                              SetText(dlg, kx::IDC_EDT_NAME, "新族类");
                          }),
              1);
    EXPECT_EQ(created.m_strName, "新族类");
    EXPECT_EQ(created.m_nParentID, -1);
    EXPECT_EQ(created.m_nDataKind, KXD_IMAGE);

    // Modify the image root: it and 风景 below it are no parents for it; its kind is selected.
    CkxFamily root = FamilyCopy(KXF_ROOT_IMAGE);
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilyEdit(0, root); },
                          [](kx::Dialog* dlg) {
                              const auto ids = Datas(ComboOf(dlg, CDlgFamilyEdit::IDC_COB_PARENT));
                              EXPECT_EQ(std::count(ids.begin(), ids.end(), int(KXF_ROOT_IMAGE)), 0);
                              EXPECT_EQ(std::count(ids.begin(), ids.end(), int(FAMILY_LANDSCAPE)), 0);
                              EXPECT_EQ(std::count(ids.begin(), ids.end(), int(FAMILY_CONTRACT)), 1);
                              EXPECT_EQ(ComboOf(dlg, CDlgFamilyEdit::IDC_COB_PARENT)->currentText(), "--");
                              EXPECT_EQ(ComboOf(dlg, CDlgFamilyEdit::IDC_COB_TYPE)->currentText(), "图像");
                          }),
              1);
    EXPECT_EQ(root.m_nParentID, -1);

    // A parent that matches no family leaves no selection, and OK stores -1.
    CkxFamily landscape = FamilyCopy(FAMILY_LANDSCAPE);
    landscape.m_nParentID = 4242;
    landscape.SetDataKind(KXD_TEXT);
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilyEdit(0, landscape); },
                          [](kx::Dialog* dlg) {
                              EXPECT_EQ(ComboOf(dlg, CDlgFamilyEdit::IDC_COB_PARENT)->GetCurSel(), -1);
                              EXPECT_EQ(ComboOf(dlg, CDlgFamilyEdit::IDC_COB_TYPE)->currentText(), "文本");
                              guitest::Screenshot(dlg, "CDlgFamilyEdit-modify");
                          }),
              1);
    EXPECT_EQ(landscape.m_nParentID, -1);
    EXPECT_EQ(landscape.m_nDataKind, KXD_TEXT);

    // An empty name keeps the dialog open; Cancel then leaves the family untouched.
    kx::PromptRecorder prompts;
    CkxFamily untouched = FamilyCopy(FAMILY_CONTRACT);
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilyEdit(0, untouched); },
                          [](kx::Dialog* dlg) {
                              SetText(dlg, kx::IDC_EDT_NAME, "");
                              EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
                              EXPECT_TRUE(dlg->isVisible());
                          },
                          kx::IDCANCEL),
              0);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kx::kNameEmpty});
    EXPECT_EQ(untouched.m_strName, "合同");
}

TEST_F(FamilyDialogs, TheNameDialogRefusesAnotherFamilysName) {
    kx::PromptRecorder prompts;
    CkxFamily landscape = FamilyCopy(FAMILY_LANDSCAPE);
    const struct {
        const char* name;
        int newFlag;
        int id;
        const char* typed;
        int result;
        const char* caption;
    } cases[] = {
        {"its own name", 0, FAMILY_LANDSCAPE, "风景", 1, "修改族类"},
        {"another family's", 0, FAMILY_LANDSCAPE, "合同", 0, "修改族类"},
        {"a new name for a new family", 1, -1, "山水", 1, "新建子族"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        CkxFamily f = landscape;
        f.m_nID = c.id;
        f.m_strNote = "说明";
        const int result = DriveDialog([&] { return KX_ShowDlg_FamilyNodeAdd(c.newFlag, f); },
                                       [&](kx::Dialog* dlg) {
                                           EXPECT_EQ(dlg->windowTitle().toStdString(), c.caption);
                                           SetText(dlg, kx::IDC_EDT_NAME, c.typed);
                                           if (c.newFlag) SetText(dlg, kx::IDC_EDT_NOTE, "说明");
                                           EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
                                           if (c.result) return;
                                           // Refused: told, the name emptied, the note kept.
                                           EXPECT_TRUE(dlg->isVisible());
                                           EXPECT_EQ(EditOf(dlg, kx::IDC_EDT_NAME)->text(), "");
                                           EXPECT_EQ(EditOf(dlg, kx::IDC_EDT_NOTE)->text(), "说明");
                                           guitest::Screenshot(dlg, "CDlgFamilyNodeAdd-refused");
                                           EXPECT_TRUE(kx::ClickId(dlg, kx::IDCANCEL));
                                       },
                                       0);
        EXPECT_EQ(result, c.result);
        if (c.result) EXPECT_EQ(f.m_strName, c.typed);
        else EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"族类名称已经被使用，请重新输入"});
    }
}

TEST_F(FamilyDialogs, FamilySelectionOpensOnTheFamilyAndReturnsTheChoice) {
    int id = FAMILY_LANDSCAPE;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilySelect(id); },
                          [](kx::Dialog* dlg) {
                              auto* tree = dlg->findChild<CkxFamilyTreeCtrl*>(QString::number(CDlgFamilySelect::IDC_TREE));
                              ASSERT_TRUE(tree);
                              EXPECT_EQ(tree->GetItemText(tree->GetRootItem()), "族类");
                              EXPECT_EQ(tree->GetCurSelNodeID(), FAMILY_LANDSCAPE);
                              guitest::Screenshot(dlg, "CDlgFamilySelect");
                              tree->SelectNode(FAMILY_CONTRACT);
                          }),
              1);
    EXPECT_EQ(id, FAMILY_CONTRACT);

    // The root item chosen gives -1; Cancel leaves the id.
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilySelect(id); },
                          [](kx::Dialog* dlg) {
                              auto* tree = dlg->findChild<CkxFamilyTreeCtrl*>();
                              tree->SelectItem(tree->GetRootItem());
                          }),
              1);
    EXPECT_EQ(id, -1);
    id = FAMILY_LANDSCAPE;
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilySelect(id); }, [](kx::Dialog*) {}, kx::IDCANCEL), 0);
    EXPECT_EQ(id, FAMILY_LANDSCAPE);
}

// ---- family attribute ----

TEST_F(FamilyDialogs, TheAttributeDialogOffersWaysByTypeAndConstantsOnlyForDropDowns) {
    CkxAttr created;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilyAttrEdit(1, created); },
                          [](kx::Dialog* dlg) {
                              auto* d = static_cast<CDlgFamilyAttrEdit*>(dlg);
                              auto* format = ComboOf(dlg, CDlgFamilyAttrEdit::IDC_COB_FORMAT);
                              auto* way = ComboOf(dlg, CDlgFamilyAttrEdit::IDC_COB_WAY);
                              EXPECT_EQ(Texts(format), (std::vector<std::string>{"整数", "浮点数", "时间", "文本"}));
                              EXPECT_EQ(format->currentText(), "整数");
                              EXPECT_EQ(way->currentText(), "编辑框");
                              EXPECT_FALSE(d->ConstList()->isEnabled());
                              EXPECT_FALSE(dlg->findChild<QPushButton*>(QString::number(CDlgFamilyAttrEdit::IDC_BTN_ADD))->isEnabled());

                              Choose(format, KXT_DATE);
                              EXPECT_EQ(Texts(way), (std::vector<std::string>{"时间控件", "下拉框"}));
                              EXPECT_TRUE(d->ConstList()->IsConstTypeDate());
                              Choose(format, KXT_STR);
                              Choose(way, KXE_COMBO);
                              EXPECT_TRUE(d->ConstList()->isEnabled());
                              for (int id : {CDlgFamilyAttrEdit::IDC_BTN_ADD, CDlgFamilyAttrEdit::IDC_BTN_DEL,
                                             CDlgFamilyAttrEdit::IDC_BTN_CLEAR, CDlgFamilyAttrEdit::IDC_BTN_UP,
                                             CDlgFamilyAttrEdit::IDC_BTN_DOWN})
                                  EXPECT_TRUE(dlg->findChild<QPushButton*>(QString::number(id))->isEnabled()) << id;
                              // Two constants entered, the second moved up.
                              CkxwConstEditCtrl* list = d->ConstList();
                              for (const char* text : {"华北", "华东"}) {
                                  EXPECT_TRUE(kx::ClickId(dlg, CDlgFamilyAttrEdit::IDC_BTN_ADD));
                                  list->SetCellValue(list->GetItemCount() - 1, 1, CkxValueSp(text));
                              }
                              list->SelectItem(1);
                              EXPECT_TRUE(kx::ClickId(dlg, CDlgFamilyAttrEdit::IDC_BTN_UP));
                              SetText(dlg, kx::IDC_EDT_NAME, "地区");
                              guitest::Screenshot(dlg, "CDlgFamilyAttrEdit-constants");
                          }),
              1);
    EXPECT_EQ(created.m_strName, "地区");
    EXPECT_EQ(created.m_nDataType, KXT_STR);
    EXPECT_EQ(created.m_nEditWay, KXE_COMBO);
    std::vector<std::string> consts;
    created.m_Consts.ForEach([&](const CkxConst& c) { consts.push_back(c.m_Value.GetStr()); });
    EXPECT_EQ(consts, (std::vector<std::string>{"华东", "华北"}));

    // Ways or types the dialog does not offer come up as the first offered, and OK stores them.
    const struct {
        const char* name;
        uint8_t type, way;
        uint8_t wantType, wantWay;
    } cases[] = {
        {"tree way", KXT_STR, KXE_TREE, KXT_STR, KXE_EDIT},
        {"type 0", KXT_NONE, KXE_EDIT, KXT_INT, KXE_EDIT},
        {"time kept", KXT_DATE, KXE_TIME, KXT_DATE, KXE_TIME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CkxAttr a;
        a.m_strName = "属性";
        a.m_nDataType = c.type;
        a.m_nEditWay = c.way;
        ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilyAttrEdit(0, a); }, [](kx::Dialog*) {}), 1);
        EXPECT_EQ(a.m_nDataType, c.wantType);
        EXPECT_EQ(a.m_nEditWay, c.wantWay);
    }

    // An empty name keeps it open; nothing reaches the caller.
    kx::PromptRecorder prompts;
    CkxAttr kept;
    kept.m_strName = "保留";
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_FamilyAttrEdit(0, kept); },
                          [](kx::Dialog* dlg) {
                              SetText(dlg, kx::IDC_EDT_NAME, "");
                              EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
                              EXPECT_TRUE(dlg->isVisible());
                          },
                          kx::IDCANCEL),
              0);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"属性名称不能为空"});
    EXPECT_EQ(kept.m_strName, "保留");
}

// ---- quick keys ----

// Alice may create files in 图库 (1) and 文档 (8) below it, not in 素材 (2). The file has keys in
// 文档 and in 素材.
TEST_F(FamilyDialogs, QuickKeysFollowTheTickedFoldersAndKeepTheHiddenOnes) {
    SetCurrentUser(ALICE);
    const auto key = [](int id, int folder) {
        CkxFSQuickKey k(folder, FILE_A);
        k.m_nID = id;
        return k;
    };
    CkxFSQuickKeyList keys;
    keys.AddTail(key(50, FOLDER_DOCS));
    keys.AddTail(key(51, FOLDER_MATERIAL));
    const auto pairs = [](const CkxFSQuickKeyList& l) {
        std::vector<std::pair<int, int>> out;
        l.ForEach([&](const CkxFSQuickKey& k) { out.emplace_back(k.m_nID, k.m_nDirID); });
        return out;
    };
    using Pairs = std::vector<std::pair<int, int>>;
    const struct {
        const char* name;
        std::function<void(CxTreeCtrl*)> edit;
        int button;
        Pairs want;
    } cases[] = {
        {"tick the gallery", [](CxTreeCtrl* t) { t->SetCheck(FOLDER_GALLERY, 1); }, kx::IDOK,
         Pairs{{-1, FOLDER_GALLERY}, {50, FOLDER_DOCS}, {51, FOLDER_MATERIAL}}},
        {"untick everything", [](CxTreeCtrl* t) { t->DontCheckAllNode(); }, kx::IDOK, Pairs{{51, FOLDER_MATERIAL}}},
        {"cancel", [](CxTreeCtrl* t) { t->SetCheck(FOLDER_GALLERY, 1); }, kx::IDCANCEL,
         Pairs{{50, FOLDER_DOCS}, {51, FOLDER_MATERIAL}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CkxFSQuickKeyList edited = keys;
        const int result = DriveDialog([&] { return KX_ShowDlg_FSFileQuickKeyEdit(FILE_A, edited); },
                                       [&](kx::Dialog* dlg) {
                                           auto* tree = dlg->findChild<CxTreeCtrl*>();
                                           ASSERT_TRUE(tree);
                                           EXPECT_TRUE(tree->IsValid(FOLDER_GALLERY) && tree->IsValid(FOLDER_DOCS));
                                           EXPECT_FALSE(tree->IsValid(FOLDER_MATERIAL));
                                           CxTreeCtrl::RecordList ticked;
                                           ASSERT_EQ(tree->GetCheckNode(ticked), 1);
                                           EXPECT_EQ(ticked.front().m_nID, FOLDER_DOCS);
                                           if (c.button == kx::IDOK && c.want.size() == 3)
                                               guitest::Screenshot(dlg, "CkxwFSFileQuickKeyEdit");
                                           c.edit(tree);
                                       },
                                       c.button);
        EXPECT_EQ(result, c.button == kx::IDOK ? 1 : 0);
        EXPECT_EQ(pairs(edited), c.want);
        edited.ForEach([](const CkxFSQuickKey& k) { EXPECT_EQ(k.m_nFileID, FILE_A); });
    }
}

// ---- the tabbed file dialog ----

class FileDialogSuper : public FamilyDialogs {
protected:
    void SetUp() override {
        FamilyDialogs::SetUp();
        const char* old = std::getenv("XDG_CONFIG_HOME");
        savedConfig = old ? old : "";
        hadConfig = old != nullptr;
        ::setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
        for (int i = 0; i < 12; ++i) {
            files.push_back(docs.file("doc" + std::to_string(i) + ".txt"));
            std::ofstream(files.back()) << i;
        }
    }
    void TearDown() override {
        if (hadConfig) ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
        FamilyDialogs::TearDown();
    }
    std::vector<std::string> Stored() const {
        std::vector<std::string> out;
        kx::RegistryStore store;
        for (const auto& name : store.ValueNames(CkxwFileDialogSuper::RecentKey())) {
            std::string path;
            if (store.ReadString(CkxwFileDialogSuper::RecentKey(), name, path)) out.push_back(name + "=" + path);
        }
        return out;
    }
    // Opens one file through the "现存" page.
    int Open(const std::string& path) {
        CkxwFileDialogSuper dlg("打开");
        kx::ModalDriver driver;
        driver.Then<CkxwFileDialogSuper>([&](CkxwFileDialogSuper* d) {
            // Typed into the browser's file name box, as a person may.
            auto* name = d->Browser()->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_TRUE(name);
            name->setText(QString::fromStdString(path));
            EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
            if (d->isVisible()) {
                ADD_FAILURE() << "OK on the browser page did not end the dialog; selected: "
                              << d->Browser()->selectedFiles().join(",").toStdString();
                EXPECT_TRUE(kx::ClickId(d, kx::IDCANCEL));
            }
        });
        const int result = dlg.DoModal();
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(dlg.GetPage(), CkxwFileDialogSuper::PAGE_EXIST);
        EXPECT_EQ(dlg.GetPathName(), path);
        return result;
    }

    TempDir config, docs;
    std::string savedConfig;
    bool hadConfig = false;
    std::vector<std::string> files;
};

TEST_F(FileDialogSuper, TheRecentListKeepsTheTenNewestPathsWrittenWhole) {
    kx::RegistryStore store;
    const std::string key = CkxwFileDialogSuper::RecentKey();
    EXPECT_EQ(key, "SOFTWARE\\Program of Tormane\\" + kx::AppName());
    // A stale value beyond the list and one that is no text are left from an earlier version.
    ASSERT_TRUE(store.WriteDword(key, "Count", 3));
    for (int i = 0; i < 11; ++i) ASSERT_EQ(Open(files[i]), kx::IDOK);
    std::vector<std::string> want;
    for (int i = 1; i < 11; ++i) want.push_back("File" + std::to_string(i - 1) + "=" + files[i]);
    EXPECT_EQ(Stored(), want);
    const std::vector<std::string> names = store.ValueNames(key);
    EXPECT_EQ(std::count(names.begin(), names.end(), std::string("Count")), 0);
    // A known path adds nothing.
    ASSERT_EQ(Open(files[5]), kx::IDOK);
    EXPECT_EQ(Stored(), want);
}

TEST_F(FileDialogSuper, PagesChoicesAndTheFilter) {
    kx::RegistryStore store;
    const std::string key = CkxwFileDialogSuper::RecentKey();
    ASSERT_TRUE(store.WriteString(key, "File0", files[0]));
    ASSERT_TRUE(store.WriteString(key, "File1", "bare-name.txt"));

    // Without the new page the first tab is page 1; OK on "最新" without a selection does nothing,
    // a path without "/" comes back as it was.
    CkxwFileDialogSuper dlg("打开", true, false, "", "", 0, "文本|*.txt|");
    kx::ModalDriver driver;
    driver.Then<CkxwFileDialogSuper>([&](CkxwFileDialogSuper* d) {
        QTabWidget* tabs = d->Tabs();
        ASSERT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(0), "现存");
        tabs->setCurrentIndex(0);
        EXPECT_EQ(d->GetPage(), CkxwFileDialogSuper::PAGE_EXIST);
        guitest::Screenshot(d, "CkxwFileDialogSuper-existing");
        tabs->setCurrentIndex(1);
        EXPECT_EQ(d->GetPage(), CkxwFileDialogSuper::PAGE_RECENT);
        kx::ReportList* recent = d->RecentList();
        ASSERT_EQ(recent->GetItemCount(), 2);
        EXPECT_EQ(recent->GetItemText(0, 0).toStdString(), "doc0.txt");
        EXPECT_EQ(recent->GetItemText(0, 1).toStdString(), docs.str());
        EXPECT_EQ(recent->GetItemText(1, 0).toStdString(), "bare-name.txt");
        EXPECT_EQ(recent->GetItemText(1, 1).toStdString(), "");
        guitest::Screenshot(d, "CkxwFileDialogSuper-recent");
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
        EXPECT_TRUE(d->isVisible());
        recent->SetItemSelected(1, true);
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(dlg.GetPage(), CkxwFileDialogSuper::PAGE_RECENT);
    EXPECT_EQ(dlg.GetRecentFilePath(), "bare-name.txt");

    // With the new page: its types lead the filter, and a choice there ends the dialog.
    CkxwFileDialogSuper withNew("新建或打开", true, true, "", "", 0, "文本|*.txt|");
    withNew.AddNewItem("图库文档", "vdoc", 0);
    withNew.AddNewItem("项目", "vprj", 1);
    EXPECT_EQ(withNew.BuildFilter(), "图库文档 (*.vdoc)|*.vdoc|项目 (*.vprj)|*.vprj|All Files (*.*)|*.*|文本|*.txt|");
    kx::ModalDriver driver2;
    driver2.Then<CkxwFileDialogSuper>([&](CkxwFileDialogSuper* d) {
        ASSERT_EQ(d->Tabs()->count(), 3);
        EXPECT_EQ(d->GetPage(), CkxwFileDialogSuper::PAGE_EXIST); // opens on the browser
        d->Tabs()->setCurrentIndex(0);
        EXPECT_EQ(d->GetPage(), CkxwFileDialogSuper::PAGE_NEW);
        guitest::Screenshot(d, "CkxwFileDialogSuper-new");
        d->NewList()->setCurrentRow(1);
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    EXPECT_EQ(withNew.DoModal(), kx::IDOK);
    EXPECT_EQ(withNew.GetPage(), CkxwFileDialogSuper::PAGE_NEW);
    EXPECT_EQ(withNew.GetNewItemIndex(), 1);
    // Nothing opened from "现存": the list is as it was.
    EXPECT_EQ(Stored(), (std::vector<std::string>{"File0=" + files[0], "File1=bare-name.txt"}));
    EXPECT_EQ(CkxwFileDialogSuper::SplitPath("/a/b.txt"), (std::pair<std::string, std::string>{"/a", "b.txt"}));
}
