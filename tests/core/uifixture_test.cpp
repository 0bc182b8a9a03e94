// The shared GUI fixture and what kxdll brings for the views: the small catalogue gives alice the
// folders later windows expect, a picture is written and reads back at the widget's size, and
// the compiled-in bitmap strips load with transparent unused cells.
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"
#include "support/TempDir.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxDialog.h"
#include "qt/KxImageList.h"
#include "qt/KxModalDriver.h"
#include "qt/KxReportList.h"

#include <QImage>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest-spi.h>

#include <algorithm>
#include <cstdlib>

using guitest::SmallCatalogue;

namespace {

class UiFixture : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
    }
};

std::vector<int> Ids(const CkxXXX::NodeList& nodes) {
    std::vector<int> ids;
    for (const CkxFSNode* n : nodes) ids.push_back(n->m_nID);
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

TEST_F(UiFixture, AliceMayCreateFilesInTheFoldersLaterWindowsExpect) {
    const CkxXXX& ctx = KX_KXXXX();
    const struct {
        int folder;
        int alice;
    } rows[] = {
        {FOLDER_GALLERY, 1}, {FOLDER_DOCS, 1}, {FOLDER_DRAFTS, 1}, // three levels
        {FOLDER_MATERIAL, 0}, {FOLDER_PHOTOS, 0}, {FOLDER_ARCHIVE, 0}, {FOLDER_DEEP, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.folder);
        EXPECT_EQ(ctx.fsUserCan_File_Create(ALICE, r.folder), r.alice);
        EXPECT_EQ(ctx.fsUserCan_File_Create(SU, r.folder), 1);
        EXPECT_EQ(ctx.fsUserCan_File_Create(BOB, r.folder), 0); // a viewer
    }
    CkxXXX::NodeList out;
    ctx.fsGetDir_CanCreateFile(ALICE, out);
    EXPECT_EQ(Ids(out), (std::vector<int>{FOLDER_GALLERY, FOLDER_DOCS, FOLDER_DRAFTS})); // not the hidden one
    EXPECT_TRUE(ctx.fsFind(FOLDER_HIDDEN)->IsStateHide());

    EXPECT_EQ(ctx.GetCurUser(), -1);
    SetCurrentUser(ALICE);
    EXPECT_EQ(KX_KXXXX().GetCurUser(), ALICE);
    EXPECT_EQ(ctx.m_UserList.GetName(CAROL), "carol");
    EXPECT_EQ(ctx.usHasPower_SystemAdmin(SU), 1);
    EXPECT_EQ(ctx.prjCheckProjectUser(PROJECT_REPORT, DAVE), 1); // through group 11

    // The registry: six roots and two sub-families; the provider lists the persons.
    CkxFamilyXXX& reg = KX_FamilyXXX();
    EXPECT_EQ(reg.family_GetCount(), 8);
    EXPECT_EQ(reg.family_Find(FAMILY_LANDSCAPE)->m_nParentID, KXF_ROOT_IMAGE);
    CkxConstList persons;
    EXPECT_EQ(reg.attr_Find(ATTR_PHOTOGRAPHER)->CallConstProvider(persons), 1);
    EXPECT_EQ(persons.GetCount(), 3);
    EXPECT_EQ(reg.attr_GetDateType(ATTR_SHOT_DATE), KXT_DATE);
    EXPECT_EQ(KX_QueryTempletList().Find(TEMPLET_NORTH_LANDSCAPES)->m_OperandList.GetCount(), 2);
}

TEST_F(UiFixture, EmptyLeavesWhatANewProcessHolds) {
    Empty();
    EXPECT_EQ(KX_KXXXX().m_UserList.GetCount(), 0);
    EXPECT_EQ(KX_KXXXX().fsFind(FOLDER_GALLERY), nullptr);
    EXPECT_EQ(KX_FamilyXXX().family_GetCount(), 1);
    EXPECT_NE(KX_FamilyXXX().family_GetBaseImage(), nullptr);
    EXPECT_EQ(KX_FamilyXXX().attr_Find(ATTR_REGION), nullptr);
    EXPECT_EQ(KX_QueryTempletList().GetCount(), 0);
    Fill(); // the fixture's own TearDown empties again
}

namespace {

class UserListDialog : public kx::Dialog {
    Q_OBJECT
public:
    UserListDialog() {
        setWindowTitle(QStringLiteral("用户列表"));
        auto* layout = new QVBoxLayout(this);
        list = new kx::ReportList(this);
        SetDlgItemId(list, 1001);
        list->InsertColumn(0, QStringLiteral("登录名"), kx::LVCFMT_LEFT, 90);
        list->InsertColumn(1, QStringLiteral("姓名"), kx::LVCFMT_LEFT, 90);
        list->InsertColumn(2, QStringLiteral("编号"), kx::LVCFMT_RIGHT, 50);
        list->SetFullRowSelect(true);
        icons.LoadBitmap(139);
        int row = 0;
        KX_KXXXX().m_UserList.ForEach([&](const CkxUser& u) {
            list->InsertItem(row, QString::fromStdString(u.m_strLogon));
            list->SetItemText(row, 1, QString::fromStdString(u.m_strUser));
            list->SetItemText(row, 2, QString::number(u.m_nID));
            list->topLevelItem(row)->setIcon(0, icons.Icon(row % 2 ? 7 : 6));
            ++row;
        });
        list->SetItemSelected(1, true);
        layout->addWidget(list);
        layout->addWidget(AddButton(QStringLiteral("确定"), kx::IDOK));
        resize(280, 220);
    }
    kx::ReportList* list;
    kx::ImageList icons{16, 16};
};

} // namespace

TEST_F(UiFixture, APictureIsWrittenAndReadsBackAtTheWidgetsSize) {
    UserListDialog dlg;
    const std::string path = guitest::Screenshot(&dlg, "SmallCatalogue-users");
    ASSERT_FALSE(path.empty());
    QImage back(QString::fromStdString(path));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), dlg.size());
    EXPECT_EQ(dlg.list->GetItemCount(), 5);
}

TEST_F(UiFixture, APictureThatCannotBeWrittenFailsTheTest) {
    static UserListDialog* dlg;
    UserListDialog owner;
    dlg = &owner;
    const std::string old = guitest::ScreenshotDir();
    setenv("VARNIA_SCREENSHOTS", "/proc/no-such-folder", 1);
    EXPECT_NONFATAL_FAILURE(guitest::Screenshot(dlg, "never-written"), "never-written");
    setenv("VARNIA_SCREENSHOTS", old.c_str(), 1);
}

// Two tests saving under one name would leave only the later picture to look at.
TEST_F(UiFixture, APictureNameBelongsToTheTestThatFirstWroteIt) {
    static UserListDialog* dlg;
    UserListDialog owner;
    dlg = &owner;
    TempDir dir;
    const std::string old = guitest::ScreenshotDir();
    setenv("VARNIA_SCREENSHOTS", dir.str().c_str(), 1);
    QImage other(4, 4, QImage::Format_RGB32);
    other.fill(Qt::red);
    other.setText("Test", "OtherSuite.OtherTest");
    ASSERT_TRUE(other.save(QString::fromStdString(dir.file("taken.png")), "PNG"));
    EXPECT_NONFATAL_FAILURE(guitest::Screenshot(dlg, "taken"), "already used by OtherSuite.OtherTest");
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("taken.png"))).pixel(0, 0), QColor(Qt::red).rgb());
    // The same test may write its own picture again (a second run, or a later state).
    EXPECT_FALSE(guitest::Screenshot(dlg, "mine").empty());
    EXPECT_FALSE(guitest::Screenshot(dlg, "mine").empty());
    setenv("VARNIA_SCREENSHOTS", old.c_str(), 1);
}

TEST(Bitmaps, TheCompiledInStripsLoadWithTransparentGaps) {
    kx::EnsureApplication();
    const struct {
        int id;
        int cells;
        int unused; // a cell no picture uses: all transparent
        int drawn;
    } strips[] = {{193, 4, 1, 2}, {139, 14, 4, 6}};
    for (const auto& s : strips) {
        SCOPED_TRACE(s.id);
        kx::ImageList list(16, 16);
        ASSERT_TRUE(list.LoadBitmap(s.id));
        EXPECT_EQ(list.GetImageCount(), s.cells);
        QImage gap = list.Image(s.unused);
        bool allClear = true;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) allClear = allClear && qAlpha(gap.pixel(x, y)) == 0;
        EXPECT_TRUE(allClear);
        EXPECT_EQ(qAlpha(list.Image(s.drawn).pixel(8, 8)), 255);
    }
}

#include "uifixture_test.moc"
