// The storage-root dialog on temporary folders as drives: listing, create through the context
// menu and the drive picker, create by double click, delete with its question, the OK rule and
// the read-only mode.
#include "storeadmin/CDlgSelectDisk.h"
#include "storeadmin/CDlgStorageRootAdmin.h"
#include "base/KxIni.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "support/TempDir.h"
#include "support/gui/MenuSteps.h"
#include "support/gui/Screenshot.h"
#include "storeadmin/ZoZI_Storage.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const char* kAskDelete = "删除存储节点会删除节点下的文件,导致文件无法再被访问!\n\n确定删除存储节点?";
const char* kAskExit = "不存在有效的存储节点,系统无法正常运行,即将退出!\n\n确定退出系统";

// The image storage's layout, as the server opens the dialog on it.
class ImageKindStorage : public ZoZI_Storage {
public:
    using ZoZI_Storage::ZoZI_Storage;
    std::string GetKindFolder() const override { return "/Image"; }
};

class AdminDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        drives = std::make_shared<FolderDriveSource>();
        c = dir.file("C");
        d = dir.file("D");
        fs::create_directories(c);
        fs::create_directories(d);
        drives->Add('C', c, 200000, 100);
        drives->Add('D', d, 300000, 150);
        storage = std::make_unique<ImageKindStorage>(drives);
        storage->Prepare("KX");
    }

    static QTreeWidget* List(QWidget* w, int id) { return w->findChild<QTreeWidget*>(QString::number(id)); }
    static QString Cell(QWidget* w, int row, int col) {
        return List(w, CDlgStorageRootAdmin::IDC_LIST_STORAGE)->topLevelItem(row)->text(col);
    }
    // Right click on a row, as the user does it.
    static void RightClick(QTreeWidget* list, int row) {
        QRect r = list->visualItemRect(list->topLevelItem(row));
        QPoint pos = r.center();
        QContextMenuEvent ev(QContextMenuEvent::Mouse, pos, list->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(list->viewport(), &ev);
    }
    static void SelectDrive(CDlgSelectDisk* dlg, const QString& root) {
        QTreeWidget* list = List(dlg, CDlgSelectDisk::IDC_LIST_DISK);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(0) == root) list->setCurrentItem(list->topLevelItem(i));
        }
    }
    std::string MakeRoot(const std::string& drive, int slot) {
        std::string root = drive + "/KX_Storage_" + std::to_string(slot);
        fs::create_directories(root + "/File/Image/Whole");
        kx::WritePrivateProfileString("BASE", "ID", std::to_string(slot), root + "/Conf");
        storage->Scan();
        return root;
    }

    TempDir dir;
    std::string c, d;
    std::shared_ptr<FolderDriveSource> drives;
    std::unique_ptr<ImageKindStorage> storage;
};

} // namespace

TEST_F(AdminDialogTest, ListsTheTwentySixSlotsWithRootNamesDrivesAndPaths) {
    std::string root = MakeRoot(d, 4);
    CDlgStorageRootAdmin dlg;
    EXPECT_EQ(dlg.SetDF(nullptr), 0);
    EXPECT_EQ(dlg.SetDF(storage.get()), 1);
    kx::ModalDriver drive;
    drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
        QTreeWidget* list = List(w, CDlgStorageRootAdmin::IDC_LIST_STORAGE);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("存储器管理"));
        ASSERT_EQ(list->topLevelItemCount(), 26);
        ASSERT_EQ(list->columnCount(), 4);
        EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("序号"));
        EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("节点名称"));
        EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("所在磁盘"));
        EXPECT_EQ(list->headerItem()->text(3), QStringLiteral("完全路径"));
        EXPECT_EQ(list->columnWidth(3), 300);
        EXPECT_EQ(list->topLevelItem(25)->data(0, Qt::UserRole).toInt(), 25);
        EXPECT_EQ(Cell(w, 25, 0), "25");
        EXPECT_EQ(Cell(w, 25, 1), "KX_Storage_25");
        EXPECT_EQ(Cell(w, 25, 2), "");
        EXPECT_EQ(Cell(w, 25, 3), "");
        EXPECT_EQ(Cell(w, 4, 2), "D:");
        EXPECT_EQ(Cell(w, 4, 3), QString::fromStdString(root));
        EXPECT_TRUE(list->isEnabled());
        // Commands without a selected row do nothing: no drive picker, no question.
        list->clearSelection();
        list->setCurrentItem(nullptr);
        w->OnCommand(CDlgStorageRootAdmin::ID_STORAGE_CREATE);
        w->OnCommand(CDlgStorageRootAdmin::ID_STORAGE_DELETE);
        EXPECT_EQ(QApplication::activeModalWidget(), w);
        kx::ClickId(w, kx::IDOK);
    });
    kx::PromptRecorder prompts(kx::AnswerYes);
    EXPECT_EQ(dlg.DoModal(), kx::IDOK); // root 4 is usable: OK closes without a question
    EXPECT_TRUE(drive.Done());
    EXPECT_FALSE(drive.TimedOut());
    EXPECT_EQ(prompts.Count(), 0u);
    EXPECT_EQ(storage->GetRootPath(4), root);
    EXPECT_TRUE(fs::exists(root));
}

TEST_F(AdminDialogTest, CreateFromTheContextMenuOnTheChosenDrive) {
    kx::PromptRecorder prompts;
    CDlgStorageRootAdmin dlg;
    dlg.SetDF(storage.get());
    const std::string root = c + "/KX_Storage_3";
    kx::ModalDriver drive;
    drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
             RightClick(List(w, CDlgStorageRootAdmin::IDC_LIST_STORAGE), 3);
         })
        .Then<QMenu>([&](QMenu* m) {
            EXPECT_EQ(m->objectName(), "create"); // an empty slot offers create only
            guitest::ChooseMenu(m, CDlgStorageRootAdmin::ID_STORAGE_CREATE);
        })
        .Then<CDlgSelectDisk>([&](CDlgSelectDisk* w) {
            QTreeWidget* list = List(w, CDlgSelectDisk::IDC_LIST_DISK);
            EXPECT_EQ(w->windowTitle(), QStringLiteral("选择磁盘"));
            ASSERT_EQ(list->topLevelItemCount(), 2);
            EXPECT_EQ(list->topLevelItem(0)->text(0), "C:\\");
            EXPECT_EQ(list->topLevelItem(0)->text(1), "200000M");
            EXPECT_EQ(list->topLevelItem(0)->text(2), "100M");
            EXPECT_EQ(list->topLevelItem(1)->text(0), "D:\\");
            // OK without a drive: the error, and the picker stays open.
            kx::ClickId(w, kx::IDOK);
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(prompts.LastText(), "没有选择目录");
            EXPECT_EQ(prompts.Requests().back().icon, kx::PromptError);
            SelectDrive(w, "C:\\");
            guitest::Screenshot(w, "CDlgSelectDisk-drive-chosen");
            kx::ClickId(w, kx::IDOK);
        })
        .Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
            EXPECT_EQ(Cell(w, 3, 2), "C:");
            EXPECT_EQ(Cell(w, 3, 3), QString::fromStdString(root));
            guitest::Screenshot(w, "CDlgStorageRootAdmin-root-created");
            kx::ClickId(w, kx::IDOK);
        });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(drive.Done());
    EXPECT_FALSE(drive.TimedOut());
    EXPECT_EQ(prompts.Count(), 1u); // the usable root let OK close without the exit question

    EXPECT_EQ(kx::GetPrivateProfileInt("BASE", "ID", -1, root + "/Conf"), 3);
    EXPECT_TRUE(fs::is_directory(root + "/File/Image/Micro"));
    EXPECT_TRUE(fs::is_directory(root + "/File/Image/Whole"));
    EXPECT_EQ(storage->GetRootPath(3), root);
}

TEST_F(AdminDialogTest, DoubleClickOnAnEmptySlotCreatesAndCancelCreatesNothing) {
    CDlgStorageRootAdmin dlg;
    dlg.SetDF(storage.get());
    auto doubleClick = [](CDlgStorageRootAdmin* w, int row) {
        QTreeWidget* list = List(w, CDlgStorageRootAdmin::IDC_LIST_STORAGE);
        QPoint pos = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, pos);
    };
    kx::ModalDriver drive;
    drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) { doubleClick(w, 7); })
        .Then<CDlgSelectDisk>([&](CDlgSelectDisk* w) { kx::ClickId(w, kx::IDCANCEL); })
        .Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
            EXPECT_EQ(Cell(w, 7, 3), "");
            doubleClick(w, 7);
        })
        .Then<CDlgSelectDisk>([&](CDlgSelectDisk* w) {
            SelectDrive(w, "D:\\");
            kx::ClickId(w, kx::IDOK);
        })
        .Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
            EXPECT_EQ(Cell(w, 7, 2), "D:");
            kx::ClickId(w, kx::IDOK);
        });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(drive.Done());
    EXPECT_TRUE(fs::is_directory(d + "/KX_Storage_7/File/Image/Micro"));
    EXPECT_FALSE(fs::exists(c + "/KX_Storage_7"));
}

TEST_F(AdminDialogTest, DeleteAsksAndRemovesTheRootWithItsFiles) {
    std::string root = MakeRoot(c, 5);
    std::ofstream(root + "/File/Image/Whole/9.jpg") << "data";
    kx::PromptRecorder prompts;
    prompts.Answer(kx::AnswerNo).Answer(kx::AnswerYes);
    CDlgStorageRootAdmin dlg;
    dlg.SetDF(storage.get());
    auto deleteRow = [&](kx::ModalDriver& drive) {
        drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
                 RightClick(List(w, CDlgStorageRootAdmin::IDC_LIST_STORAGE), 5);
             })
            .Then<QMenu>([&](QMenu* m) {
                EXPECT_EQ(m->objectName(), "delete");
                guitest::ChooseMenu(m, CDlgStorageRootAdmin::ID_STORAGE_DELETE);
            });
    };
    kx::ModalDriver drive;
    deleteRow(drive); // answered no
    drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
        EXPECT_TRUE(fs::exists(root + "/File/Image/Whole/9.jpg"));
        EXPECT_EQ(Cell(w, 5, 2), "C:");
        RightClick(List(w, CDlgStorageRootAdmin::IDC_LIST_STORAGE), 5);
    });
    drive.Then<QMenu>([&](QMenu* m) { guitest::ChooseMenu(m, CDlgStorageRootAdmin::ID_STORAGE_DELETE); });
    drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
        EXPECT_EQ(Cell(w, 5, 1), "KX_Storage_5");
        EXPECT_EQ(Cell(w, 5, 2), "");
        EXPECT_EQ(Cell(w, 5, 3), "");
        w->close(); // no root left: leave without the OK rule
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDCANCEL);
    EXPECT_TRUE(drive.Done());
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kAskDelete, kAskDelete}));
    EXPECT_FALSE(fs::exists(root));
    EXPECT_TRUE(fs::is_directory(c));
}

TEST_F(AdminDialogTest, OkWithoutUsableRootAsksAndNoKeepsTheDialogOpen) {
    kx::PromptRecorder prompts;
    prompts.Answer(kx::AnswerNo).Answer(kx::AnswerYes);
    // A root whose drive has too little free space is not usable.
    drives->SetFree('C', 50);
    MakeRoot(c, 0);
    CDlgStorageRootAdmin dlg;
    dlg.SetDF(storage.get());
    bool openAfterNo = false;
    kx::ModalDriver drive;
    drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
        kx::ClickId(w, kx::IDOK);
        openAfterNo = w->isVisible();
        kx::ClickId(w, kx::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kAskExit, kAskExit}));
    EXPECT_EQ(prompts.Requests()[0].buttons, kx::PromptYesNo);
}

TEST_F(AdminDialogTest, DisabledAdministrationLeavesTheListReadOnly) {
    kx::PromptRecorder prompts(kx::AnswerNo);
    CDlgStorageRootAdmin dlg;
    dlg.SetDF(storage.get());
    dlg.EnableAdmin(0);
    int asked = 0;
    kx::ModalDriver drive;
    drive.Then<CDlgStorageRootAdmin>([&](CDlgStorageRootAdmin* w) {
        QTreeWidget* list = List(w, CDlgStorageRootAdmin::IDC_LIST_STORAGE);
        EXPECT_FALSE(list->isEnabled());
        EXPECT_EQ(list->topLevelItemCount(), 26);
        // Neither the menu nor a command changes anything.
        RightClick(list, 2);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        list->setCurrentItem(list->topLevelItem(2));
        w->OnCommand(CDlgStorageRootAdmin::ID_STORAGE_CREATE);
        // OK still applies the usable-root rule: asked, "no" keeps it open.
        kx::ClickId(w, kx::IDOK);
        asked = static_cast<int>(prompts.Count());
        EXPECT_TRUE(w->isVisible());
        w->close();
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDCANCEL);
    EXPECT_TRUE(drive.Done());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(prompts.LastText(), kAskExit);
    EXPECT_EQ(storage->Exists(2), 0);
    EXPECT_TRUE(fs::is_empty(c));
}
