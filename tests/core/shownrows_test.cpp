// Dialogs open at a size that shows their lists' rows whole, checked on what is shown (each row's
// rectangle inside the list's viewport), not on the sizes the code asks for: the attribute grid
// of the condition panel its four conditions, the folder security dialog's rights list all ten.
#include "support/gui/CatalogueRights.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/ShownGeometry.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxXXX.h"
#include "qt/KxModalDriver.h"
#include "qt/KxReportList.h"
#include "ui/CDlgQueryCondition.h"
#include "ui/CDlgQueryTempletEdit.h"
#include "ui/CkxAttrListCtrl.h"
#include "ui/CkxwDlgFolderSafeSet.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>

using guitest::SmallCatalogue;

namespace {

class ShownRows : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
        SetCurrentUser(SU);
    }
};

TEST_F(ShownRows, DialogsOpenTallEnoughForTheirRows) {
    CkxQueryTemplet north = *KX_QueryTempletList().Find(TEMPLET_NORTH_LANDSCAPES);
    CkxwDlgFolderSafeSet security;
    security.m_Power = CkxPowerEx(guitest::Rights(0, 2));
    security.m_Power.m_nItemID = FOLDER_MATERIAL;
    security.m_Power.m_nItemType = CkxUserLicence::ITEM_FOLDER;
    security.m_Power.m_nParentID = FOLDER_GALLERY;
    const struct {
        const char* picture;
        std::function<int()> show;
        std::function<QAbstractItemView*(kx::Dialog*)> list;
        int rows;
    } cases[] = {
        {"shownrows_query_conditions", [&] { return KX_ShowDlg_QueryTempletEdit(0, 1, 1, north); },
         [](kx::Dialog* d) { return static_cast<CDlgQueryTempletEdit*>(d)->Panel()->Grid(); }, 4},
        {"shownrows_folder_rights", [&] { return security.DoModal(); },
         [](kx::Dialog* d) { return static_cast<CkxwDlgFolderSafeSet*>(d)->AllowPage()->Powers(); }, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        guitest::DriveDialog(c.show, [&](kx::Dialog* d) {
            QApplication::processEvents();
            const QAbstractItemView* list = c.list(d);
            ASSERT_EQ(list->model()->rowCount(), c.rows);
            EXPECT_EQ(guitest::RowsShownWhole(*list), c.rows)
                << "viewport " << list->viewport()->height() << " px, dialog " << d->height() << " px";
            guitest::Screenshot(d, c.picture);
        }, kx::IDCANCEL);
    }
}

} // namespace
