// Enter in the batch dialogs' cell editors: "属性注释" (the uniform note) and the batch file
// note ("批量修改文件属性") end only the cell's edit on the first Enter and stay open; the next
// Enter runs OK with the typed value kept.
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "qt/KxModalDriver.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CkxwDlgBatchFileNote.h"
#include "ui/CkxwFamilyFileListCtrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

using guitest::SmallCatalogue;

namespace {

// Opens the cell's text editor with a click (a second one when the first only selected the row),
// types the text and presses Enter once; the editor, null when none opened.
QLineEdit* TypeIntoCell(CkxListCtrlEdit* grid, int row, int col, const char* text) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetSubItemRect(row, col).center());
        QApplication::processEvents();
        if (grid->IsInPlaceEditorOpen()) break;
    }
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!edit || !grid->IsInPlaceEditorOpen()) return nullptr;
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    return edit;
}

// One Enter ends the edit and leaves the dialog open; the next one runs OK.
void EnterTwice(kx::Dialog* dialog, CkxListCtrlEdit* grid, int row, int col, const char* text, const char* picture) {
    ASSERT_NE(TypeIntoCell(grid, row, col, text), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(grid->IsInPlaceEditorOpen());
    EXPECT_EQ(grid->GetCellValue_Str(row, col), text);
    guitest::Screenshot(dialog, picture);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog, Qt::Key_Return);
}

class CellEditEnter : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        SetCurrentUser(ALICE);
        for (int i = 0; i < 3; ++i) files.AddObj(LandscapeImage(FILE_A + i, ("图" + std::to_string(i)).c_str()));
    }
    CkxFileXList files;
};

} // namespace

TEST_F(CellEditEnter, TheBatchNoteEndsTheEditThenRunsOk) {
    kx::ModalDriver driver;
    driver.Then<CkxwDlgBatchFileNote>([&](CkxwDlgBatchFileNote* d) {
        CkxwFamilyFileListCtrl* grid = d->BaseGrid();
        const auto* col = grid->colGetCol_AttrID(KXB_AUTHADDR);
        ASSERT_NE(col, nullptr);
        EnterTwice(d, grid, 1, col->nIndex, "Hangzhou", "celledit_enter_batchnote");
    });
    EXPECT_EQ(KX_ShowDlg_BatchFileNote("批量修改文件属性", files, 1), 1);
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(driver.TimedOut());
    POSITION p = files.GetHeadPosition();
    files.GetNext(p);
    EXPECT_EQ(files.GetNext(p)->GetObj()->m_strAuthAddr, "Hangzhou");
}

TEST_F(CellEditEnter, TheUniformNoteEndsTheEditThenRunsOk) {
    kx::ModalDriver driver;
    driver.Then<CkxwDlgBatchFileNote>([&](CkxwDlgBatchFileNote* d) {
        CkxwFamilyFileListCtrl* grid = d->BaseGrid();
        for (int r = 0; r < grid->GetItemCount(); ++r) grid->SetItemSelected(r, true);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->GetSubItemRect(0, 0).center());
        // Back from the note: every row has the typed place.
        const int place = grid->colGetCol_AttrID(KXB_AUTHADDR)->nIndex;
        for (int r = 0; r < grid->GetItemCount(); ++r) EXPECT_EQ(grid->GetCellValue_Str(r, place), "Suzhou");
        EXPECT_TRUE(kx::ClickId(d, kx::IDOK));
    });
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(kx::ClickMenuId(m, CkxwDlgBatchFileNote::ID_BASE_NOTE)); });
    driver.Then<CkxwDlgFileAttrNote>([&](CkxwDlgFileAttrNote* note) {
        CkxwAttrNoteListCtrl* list = note->List();
        int row = -1;
        for (int r = 0; r < list->GetItemCount(); ++r)
            if (list->GetAttr(r)->GetID() == KXB_AUTHADDR) row = r;
        ASSERT_GE(row, 0);
        list->SetCheck(row, true);
        EnterTwice(note, list, row, CkxwAttrNoteListCtrl::COL_VALUE, "Suzhou", "celledit_enter_attrnote");
    });
    EXPECT_EQ(KX_ShowDlg_BatchFileNote("批量修改文件属性", files, 0), 1);
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(driver.TimedOut());
}
