// The batch file note dialog and the uniform note dialog over the small catalogue's families and
// a handful of file objects: which grids and columns a family gets, the uniform note and the
// folder choice from the right-click menus (nested dialogs driven too), and what OK hands back:
// only filled values, so a file keeps every field nobody touched.
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "ui/CDlgSelectLocDir.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CkxwDlgBatchFileNote.h"
#include "ui/CkxwFamilyFileListCtrl.h"
#include "ui/CxTreeCtrl.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using guitest::SmallCatalogue;

namespace {

const COleDateTime kShot(2023, 5, 1, 10, 0, 0);

CkxFileImage Image(int id, const char* title) {
    CkxFileImage f = SmallCatalogue::LandscapeImage(id, title);
    f.m_nAuthorID = 2;
    f.m_dtAuth = kShot;
    f.m_strAuthAddr = "北京";
    f.m_strRemark = std::string("备注") + title;
    return f;
}

// What a batch edit must leave alone, per file.
struct Fields {
    std::string title, place, remark;
    int author, folder;
    double authTime;
    bool operator==(const Fields&) const = default;
};
Fields FieldsOf(const CkxFile& f) {
    return {f.m_strTitle, f.m_strAuthAddr, f.m_strRemark, f.m_nAuthorID, f.m_nLocDirID, f.m_dtAuth.m_dt};
}
std::vector<Fields> AllFields(const CkxFileXList& files) {
    std::vector<Fields> out;
    for (POSITION p = files.GetHeadPosition(); p;) out.push_back(FieldsOf(*files.GetNext(p)->GetObj()));
    return out;
}

int ColumnOf(const CkxwFamilyFileListCtrl& grid, int attrId) {
    const auto* c = grid.colGetCol_AttrID(attrId);
    return c ? c->nIndex : -1;
}

// Drives one batch dialog: `act` gets it open and ends it with the button (0: act ends it).
int DriveBatch(const std::function<int()>& show, const std::function<void(CkxwDlgBatchFileNote*)>& act,
               int button = kx::IDOK) {
    kx::ModalDriver driver;
    driver.Then<CkxwDlgBatchFileNote>([&](CkxwDlgBatchFileNote* d) {
        act(d);
        if (button) EXPECT_TRUE(kx::ClickId(d, button));
    });
    const int result = show();
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(driver.TimedOut());
    return result;
}

void RightClick(CkxwFamilyFileListCtrl* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->GetSubItemRect(row, 0).center());
}

void SelectRows(CkxwFamilyFileListCtrl* grid, std::initializer_list<int> rows) {
    for (int r = 0; r < grid->GetItemCount(); ++r) grid->SetItemSelected(r, false);
    for (int r : rows) grid->SetItemSelected(r, true);
}

class BatchNote : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        SetCurrentUser(ALICE);
        for (int i = 0; i < 4; ++i) files.AddObj(Image(FILE_A + i, ("图" + std::to_string(i)).c_str()));
    }
    CkxFileXList files;
};

} // namespace

TEST_F(BatchNote, GridsAndColumnsFollowTheFamily) {
    // Without a family: one grid of the plain files' editable base attributes.
    ASSERT_EQ(DriveBatch([&] { return KX_ShowDlg_BatchFileNote("批量注释", files, 1); },
                         [](CkxwDlgBatchFileNote* d) {
                             EXPECT_EQ(d->windowTitle(), "批量注释");
                             EXPECT_FALSE(d->ExGrid()->isVisible());
                             EXPECT_NE(d->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly), nullptr);
                             bool fileLabel = false;
                             for (QLabel* l : d->findChildren<QLabel*>()) fileLabel |= l->text() == "文件属性" && l->isVisible();
                             EXPECT_TRUE(fileLabel);
                             EXPECT_EQ(d->BaseGrid()->IsHasAttrCol(), 6);
                             EXPECT_EQ(d->BaseGrid()->GetItemCount(), 4);
                             EXPECT_EQ(d->BaseGrid()->GetItemText(0, ColumnOf(*d->BaseGrid(), KXB_AUTHADDR)), "北京");
                             guitest::Screenshot(d, "CkxwDlgBatchFileNote-base");
                         },
                         kx::IDCANCEL),
              0);

    // A text family with an attribute of its own: no base rows, its files in the extended grid.
    CkxAttr clause;
    clause.m_nID = 350;
    clause.m_nFamilyID = FAMILY_CONTRACT;
    clause.m_strName = "条款";
    clause.m_nDataType = KXT_STR;
    clause.m_nEditWay = KXE_EDIT;
    clause.m_nFlag = 1;
    KX_FamilyXXX().attr_AddTail(clause);
    const struct {
        const char* name;
        int family;
        int baseRows, exColumns, exRows;
    } cases[] = {
        {"text family", FAMILY_CONTRACT, 0, 1, 4},
        {"image family", FAMILY_LANDSCAPE, 4, 4, 4},
        {"root family", KXF_ROOT_IMAGE, 4, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(DriveBatch([&] { return KX_ShowDlg_BatchFamilyFileNote("", c.family, files, 0); },
                             [&](CkxwDlgBatchFileNote* d) {
                                 EXPECT_TRUE(d->ExGrid()->isVisible());
                                 EXPECT_EQ(d->BaseGrid()->GetItemCount(), c.baseRows);
                                 EXPECT_EQ(d->ExGrid()->IsHasAttrCol(), c.exColumns);
                                 EXPECT_EQ(d->ExGrid()->GetItemCount(), c.exRows);
                                 if (c.family == FAMILY_LANDSCAPE) guitest::Screenshot(d, "CkxwDlgBatchFileNote-extended");
                             },
                             kx::IDCANCEL),
                  0);
    }
}

TEST_F(BatchNote, AUniformNoteChangesExactlyTheCheckedCellsOfTheSelectedRows) {
    const std::vector<Fields> before = AllFields(files);
    kx::ModalDriver driver;
    std::vector<std::string> listed;
    driver.Then<CkxwDlgBatchFileNote>([&](CkxwDlgBatchFileNote* d) {
        CkxwFamilyFileListCtrl* grid = d->BaseGrid();
        SelectRows(grid, {0, 1, 2});
        RightClick(grid, 0);
        // After the note: rows 0-2 have the new place and remark, row 3 and every other cell not.
        const int place = ColumnOf(*grid, KXB_AUTHADDR), remark = ColumnOf(*grid, KXB_REMARK);
        for (int row = 0; row < 4; ++row) {
            const bool noted = row < 3;
            EXPECT_EQ(grid->GetCellValue_Str(row, place), noted ? "上海" : "");
            EXPECT_EQ(grid->GetCellValue_Str(row, remark), noted ? "统一" : "");
            EXPECT_EQ(grid->IsEdited(row), noted ? 1 : 0);
            EXPECT_TRUE(grid->GetCellValue(row, ColumnOf(*grid, KXB_FILETITLE)).IsVoid());
        }
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CkxwDlgBatchFileNote::ID_BASE_NOTE)); });
    driver.Then<CkxwDlgFileAttrNote>([&](CkxwDlgFileAttrNote* note) {
        CkxwAttrNoteListCtrl* list = note->List();
        for (int row = 0; row < list->GetItemCount(); ++row) listed.push_back(list->GetAttr(row)->m_strName);
        for (int row = 0; row < list->GetItemCount(); ++row) {
            EXPECT_FALSE(list->GetCheck(row));
            EXPECT_TRUE(list->GetCellValue(row, CkxwAttrNoteListCtrl::COL_VALUE).IsVoid());
        }
        guitest::Screenshot(note, "CkxwDlgFileAttrNote");
        for (int row = 0; row < list->GetItemCount(); ++row) {
            const int id = list->GetAttr(row)->GetID();
            if (id == KXB_AUTHADDR) list->SetCellValue(row, CkxwAttrNoteListCtrl::COL_VALUE, CkxValueSp("上海"));
            if (id == KXB_REMARK) list->SetCellValue(row, CkxwAttrNoteListCtrl::COL_VALUE, CkxValueSp("统一"));
            if (id == KXB_AUTHADDR || id == KXB_REMARK) list->SetCheck(row, true);
            if (id == KXB_FILETITLE) list->SetCellValue(row, CkxwAttrNoteListCtrl::COL_VALUE, CkxValueSp("不用"));
        }
        EXPECT_TRUE(kx::ClickId(note, kx::IDOK));
    });
    ASSERT_EQ(KX_ShowDlg_BatchFileNote("", files, 0), 1);
    EXPECT_TRUE(driver.Done());
    // Five attributes offered, never the storage folder.
    EXPECT_EQ(listed, (std::vector<std::string>{"文件名称", "创作者", "创作时间", "创作地点", "备注"}));

    // Only filled cells reach the files: the rest of every file is as it was.
    const std::vector<Fields> after = AllFields(files);
    ASSERT_EQ(after.size(), 4u);
    for (size_t i = 0; i < after.size(); ++i) {
        Fields want = before[i];
        if (i < 3) {
            want.place = "上海";
            want.remark = "统一";
        }
        EXPECT_EQ(after[i], want) << i;
    }
}

TEST_F(BatchNote, TheFolderChoiceNeedsTheCreateRight) {
    kx::PromptRecorder prompts;
    // The first folder the current user sees in the picker but may not create files in.
    int refused = -1;
    const auto choose = [&](int folder) {
        return [folder, &refused](CDlgSelectLocDir* dlg) {
            auto* tree = dlg->findChild<CxTreeCtrl*>();
            ASSERT_TRUE(tree);
            int pick = folder;
            if (pick < 0) {
                for (int id = FOLDER_GALLERY; id <= FOLDER_DRAFTS && pick < 0; ++id)
                    if (tree->IsValid(id) && !KX_KXXXX().fsUserCan_File_Create(KX_KXXXX().GetCurUser(), id)) pick = id;
                refused = pick;
            }
            if (pick < 0) {
                ADD_FAILURE() << "no folder to refuse";
                EXPECT_TRUE(kx::ClickId(dlg, kx::IDCANCEL));
                return;
            }
            tree->SelectNode(pick);
            EXPECT_TRUE(kx::ClickId(dlg, kx::IDOK));
        };
    };
    kx::ModalDriver driver;
    driver.Then<CkxwDlgBatchFileNote>([&](CkxwDlgBatchFileNote* d) {
        CkxwFamilyFileListCtrl* grid = d->BaseGrid();
        SelectRows(grid, {1, 2});
        SetCurrentUser(BOB); // a viewer: he sees folders but may create files in none
        RightClick(grid, 1);
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"您没有在\"" + KX_KXXXX().fsGetDirName(refused) +
                                                            "\"目录下创建文件的权限"});
        EXPECT_FALSE(KX_KXXXX().fsGetDirName(refused).empty());
        EXPECT_FALSE(grid->IsEdited());
        SetCurrentUser(ALICE);
        RightClick(grid, 1); // 草稿: she may
        const int column = ColumnOf(*grid, KXB_LOCDIRID);
        EXPECT_EQ(grid->GetCellValue_Int(1, column), FOLDER_DRAFTS);
        EXPECT_EQ(grid->GetCellValue_Int(2, column), FOLDER_DRAFTS);
        EXPECT_FALSE(grid->IsEdited(0));
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CkxwDlgBatchFileNote::ID_BASE_FOLDER)); });
    driver.Then<CDlgSelectLocDir>(choose(-1));
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CkxwDlgBatchFileNote::ID_BASE_FOLDER)); });
    driver.Then<CDlgSelectLocDir>(choose(FOLDER_DRAFTS));
    ASSERT_EQ(KX_ShowDlg_BatchFileNote("", files, 0), 1);
    EXPECT_TRUE(driver.Done());
    std::vector<int> folders;
    for (const Fields& f : AllFields(files)) folders.push_back(f.folder);
    EXPECT_EQ(folders, (std::vector<int>{FOLDER_DOCS, FOLDER_DRAFTS, FOLDER_DRAFTS, FOLDER_DOCS}));
}

TEST_F(BatchNote, OkWritesWhatWasEditedAndCancelNothing) {
    const std::vector<Fields> before = AllFields(files);
    // Cancel after edits: the caller's files are as they were.
    ASSERT_EQ(DriveBatch([&] { return KX_ShowDlg_BatchFileNote("", files, 1); },
                         [](CkxwDlgBatchFileNote* d) {
                             d->BaseGrid()->SetCellValue(0, ColumnOf(*d->BaseGrid(), KXB_REMARK), CkxValueSp("改了"));
                         },
                         kx::IDCANCEL),
              0);
    EXPECT_EQ(AllFields(files), before);

    // One title edited with the values not shown, one remark cleared with them shown.
    ASSERT_EQ(DriveBatch([&] { return KX_ShowDlg_BatchFileNote("", files, 0); },
                         [](CkxwDlgBatchFileNote* d) {
                             d->BaseGrid()->SetCellValue(0, ColumnOf(*d->BaseGrid(), KXB_FILETITLE), CkxValueSp("新名"));
                         }),
              1);
    ASSERT_EQ(DriveBatch([&] { return KX_ShowDlg_BatchFileNote("", files, 1); },
                         [](CkxwDlgBatchFileNote* d) {
                             d->BaseGrid()->SetCellValue(1, ColumnOf(*d->BaseGrid(), KXB_REMARK), CkxValueSp(""));
                         }),
              1);
    std::vector<Fields> want = before;
    want[0].title = "新名";
    want[1].remark = "";
    EXPECT_EQ(AllFields(files), want);
}
