// The folder edit dialog, the batch operation warning, the folder picker and the slide-show
// settings over the small catalogue: what each shows, its checks, and what reaches the caller
// (only after OK, only what the chosen modes use).
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "ui/CDlgSelectLocDir.h"
#include "ui/CDlgSliderSetting.h"
#include "ui/CDlgWarnOpeFile.h"
#include "ui/CkxwDlgFSNodeEdit.h"
#include "ui/CxTreeCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

using guitest::SmallCatalogue;

namespace {

class FolderBatchDialogs : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
    }
};

template <class T = QLineEdit>
T* Item(QWidget* dlg, int id) {
    return dlg->findChild<T*>(QString::number(id));
}
QString TextOf(QWidget* dlg, int id) { return Item(dlg, id)->text(); }
void SetText(QWidget* dlg, int id, const std::string& text) { Item(dlg, id)->setText(QString::fromStdString(text)); }

// A click on the box's indicator (a click beyond its text does not count).
void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

using guitest::DriveDialog;

CkxFSNode FolderNode(int id) {
    const CkxFSNode* n = KX_KXXXX()._kxFSTree().Find(id);
    EXPECT_NE(n, nullptr);
    return n ? *n : CkxFSNode();
}

// ---- folder edit -----------------------------------------------------------------------------

TEST_F(FolderBatchDialogs, FolderEditModesAndWhatOkChanges) {
    // Information on the root, whatever the node holds.
    CkxFSNode root;
    root.m_strName = "x";
    root.m_nCreatorID = ALICE;
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_FSNodeEdit(0, 0, root); },
                    [](kx::Dialog* dlg) {
                        EXPECT_EQ(dlg->windowTitle(), "目录信息");
                        EXPECT_EQ(TextOf(dlg, kx::IDC_EDT_NAME), "根目录");
                        EXPECT_EQ(TextOf(dlg, kx::IDC_EDT_NOTE), "系统默认创建的最高级别目录");
                        EXPECT_EQ(TextOf(dlg, CkxwDlgFSNodeEdit::IDC_EDT_CREATOR), "系统");
                        EXPECT_TRUE(Item(dlg, kx::IDC_EDT_NAME)->isReadOnly());
                        EXPECT_TRUE(Item(dlg, kx::IDC_EDT_NOTE)->isReadOnly());
                        guitest::Screenshot(dlg, "CkxwDlgFSNodeEdit-root-info");
                    },
                    kx::IDCANCEL),
              0);

    // New with an unknown creator: empty creator, caption "新建目录".
    CkxFSNode fresh;
    fresh.m_nParentID = FOLDER_GALLERY;
    fresh.m_nCreatorID = 4242;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FSNodeEdit(1, 1, fresh); },
                    [](kx::Dialog* dlg) {
                        EXPECT_EQ(dlg->windowTitle(), "新建目录");
                        EXPECT_TRUE(TextOf(dlg, CkxwDlgFSNodeEdit::IDC_EDT_CREATOR).isEmpty());
                        SetText(dlg, kx::IDC_EDT_NAME, "新目录");
                    }),
              1);
    EXPECT_EQ(fresh.m_strName, "新目录");

    // Modify keeps its own name; only name and note change.
    CkxFSNode docs = FolderNode(FOLDER_DOCS);
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_FSNodeEdit(0, 1, docs); },
                    [](kx::Dialog* dlg) {
                        EXPECT_EQ(dlg->windowTitle(), "修改目录");
                        EXPECT_EQ(TextOf(dlg, CkxwDlgFSNodeEdit::IDC_EDT_CREATOR), "su");
                        SetText(dlg, kx::IDC_EDT_NOTE, "文档说明");
                        guitest::Screenshot(dlg, "CkxwDlgFSNodeEdit-modify");
                    }),
              1);
    const CkxFSNode original = FolderNode(FOLDER_DOCS);
    EXPECT_EQ(docs.m_strName, original.m_strName);
    EXPECT_EQ(docs.m_strNote, "文档说明");
    EXPECT_EQ(docs.m_nID, original.m_nID);
    EXPECT_EQ(docs.m_nParentID, original.m_nParentID);
    EXPECT_EQ(docs.m_nCreatorID, original.m_nCreatorID);
}

TEST_F(FolderBatchDialogs, FolderEditChecksInOrder) {
    const std::string sibling = FolderNode(FOLDER_MATERIAL).m_strName; // 素材, beside 文档 under 图库
    struct Case {
        std::string name, note;
        const char* message;
        int focus;          // 0: the focus does not move
        bool nameEmptied;
    } cases[] = {
        {"", "", "目录名称不能为空", 0, false},
        {std::string(51, 'n'), "", "目录名称长度不能超过50个字母", kx::IDC_EDT_NAME, false},
        {"好名字", std::string(51, 'x'), "备注长度不能超过50个字母", kx::IDC_EDT_NOTE, false},
        {sibling, "", "目录名称已经存在,请重新输入", kx::IDC_EDT_NAME, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CkxFSNode docs = FolderNode(FOLDER_DOCS);
        const std::string name = docs.m_strName;
        kx::PromptRecorder prompts;
        EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_FSNodeEdit(0, 1, docs); },
                        [&](kx::Dialog* dlg) {
                            Item<QWidget>(dlg, kx::IDOK)->setFocus();
                            SetText(dlg, kx::IDC_EDT_NAME, c.name);
                            SetText(dlg, kx::IDC_EDT_NOTE, c.note);
                            kx::ClickId(dlg, kx::IDOK);
                            EXPECT_TRUE(dlg->isVisible());
                            EXPECT_EQ(prompts.LastText(), c.message);
                            if (c.focus) EXPECT_EQ(QApplication::focusWidget(), Item(dlg, c.focus));
                            EXPECT_EQ(TextOf(dlg, kx::IDC_EDT_NAME).isEmpty(), c.nameEmptied || c.name.empty());
                        },
                        kx::IDCANCEL),
                  0);
        EXPECT_EQ(docs.m_strName, name) << "Cancel leaves the node";
    }
}

TEST_F(FolderBatchDialogs, QuickKeyAdministrationClosesWithEitherButton) {
    for (int button : {kx::IDOK, kx::IDCANCEL}) {
        CkxwDlgFSQuickKeyAdmin dlg;
        kx::ModalDriver driver;
        driver.Then<CkxwDlgFSQuickKeyAdmin>([&](CkxwDlgFSQuickKeyAdmin* d) {
            EXPECT_NE(d->GetDlgItem(CkxwDlgFSQuickKeyAdmin::IDC_TREE_FOLDER), nullptr);
            if (button == kx::IDOK) guitest::Screenshot(d, "CkxwDlgFSQuickKeyAdmin");
            kx::ClickId(d, button);
        });
        EXPECT_EQ(dlg.DoModal(), button);
    }
}

// ---- batch warning ---------------------------------------------------------------------------

TEST_F(FolderBatchDialogs, WarningCaptionsListsAndTheDeleteOption) {
    CkxFileOpeStateList forbidden, allowed;
    forbidden.AddTail("a.jpg", 0, 1); // no right and checked out: both ticks
    forbidden.AddTail("b.jpg", 1, 0); // right held, not checked out: no tick
    forbidden.AddTail("c.jpg", 1, 1);
    allowed.AddTail("d.jpg", "图库\\素材");
    allowed.AddTail("e.jpg", "图库");

    struct Case {
        int code;
        std::function<int(int&)> show;
        const char *caption, *disabled, *enabled;
    } cases[] = {
        {0, [&](int&) { return KX_ShowDlg_WarnOpeFile_UpdateFile(forbidden, allowed); }, "修改文件", "禁止修改的文件", "允许修改的文件"},
        {1, [&](int& c) { return KX_ShowDlg_WarnOpeFile_DeleteFile(forbidden, allowed, c); }, "删除文件", "禁止删除的文件", "允许删除的文件"},
        {2, [&](int&) { return KX_ShowDlg_WarnOpeFile_SetKeyword(forbidden, allowed); }, "设置关键字", "禁止设置关键字的文件", "允许设置关键字的文件"},
        {3, [&](int&) { return KX_ShowDlg_WarnOpeFile_SetQuickkey(forbidden, allowed); }, "设置快捷键", "禁止设置快捷键的文件", "允许设置快捷键的文件"},
        {4, [&](int&) { return KX_ShowDlg_WarnOpeFile_SetPower(forbidden, allowed); }, "设置权限", "禁止设置权限的文件", "允许设置权限的文件"},
        {5, [&](int&) { return KX_ShowDlg_WarnOpeFile_DownloadToLocal(forbidden, allowed); }, "下载文件", "禁止下载的文件", "允许下载的文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        int complete = 7;
        EXPECT_EQ(DriveDialog([&] { return c.show(complete); },
                        [&](kx::Dialog* dlg) {
                            EXPECT_EQ(dlg->windowTitle(), c.caption);
                            EXPECT_EQ(Item<QLabel>(dlg, CDlgWarnOpeFile::IDC_STATIC_DISABLE)->text(), c.disabled);
                            EXPECT_EQ(Item<QLabel>(dlg, CDlgWarnOpeFile::IDC_STATIC_ENABLE)->text(), c.enabled);
                            EXPECT_EQ(Item<QGroupBox>(dlg, CDlgWarnOpeFile::IDC_GROUP_OPTION)->isVisible(), c.code == 1);
                            auto* off = Item<kx::ReportList>(dlg, CDlgWarnOpeFile::IDC_LIST_DISABLE);
                            auto* on = Item<kx::ReportList>(dlg, CDlgWarnOpeFile::IDC_LIST_ENABLE);
                            ASSERT_EQ(off->GetItemCount(), 3);
                            ASSERT_EQ(on->GetItemCount(), 2);
                            EXPECT_EQ(off->GetItemText(0, 0), "1");
                            EXPECT_EQ(off->GetItemText(2, 0), "3");
                            EXPECT_EQ(off->GetItemText(0, 2), "√");
                            EXPECT_EQ(off->GetItemText(0, 3), "√");
                            EXPECT_EQ(off->GetItemText(1, 2), "");
                            EXPECT_EQ(off->GetItemText(1, 3), "");
                            EXPECT_EQ(off->GetItemText(2, 3), "√");
                            EXPECT_EQ(on->GetItemText(1, 0), "2");
                            EXPECT_EQ(on->GetItemText(0, 2), "图库\\素材");
                            if (c.code == 1) {
                                Item<QCheckBox>(dlg, CDlgWarnOpeFile::IDC_CHK_FORCE)->setChecked(true);
                                guitest::Screenshot(dlg, "CDlgWarnOpeFile-delete");
                            }
                            if (c.code == 5) guitest::Screenshot(dlg, "CDlgWarnOpeFile-download");
                        }),
                  1);
        EXPECT_EQ(complete, c.code == 1 ? 1 : 7);
    }

    // The delete variant writes its third argument only after OK.
    int complete = 7;
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_WarnOpeFile_DeleteFile(forbidden, allowed, complete); },
                    [](kx::Dialog* dlg) { Item<QCheckBox>(dlg, CDlgWarnOpeFile::IDC_CHK_FORCE)->setChecked(true); },
                    kx::IDCANCEL),
              0);
    EXPECT_EQ(complete, 7);

    // Any other code keeps the template's caption with empty captions and lists.
    CDlgWarnOpeFile odd;
    odd.AddLists(forbidden, allowed);
    odd.SetDoing(9);
    kx::ModalDriver driver;
    driver.Then<CDlgWarnOpeFile>([](CDlgWarnOpeFile* d) {
        EXPECT_EQ(d->windowTitle(), "确定删除文件");
        EXPECT_TRUE(Item<QLabel>(d, CDlgWarnOpeFile::IDC_STATIC_DISABLE)->text().isEmpty());
        EXPECT_EQ(Item<kx::ReportList>(d, CDlgWarnOpeFile::IDC_LIST_DISABLE)->GetItemCount(), 0);
        kx::ClickId(d, kx::IDCANCEL);
    });
    EXPECT_EQ(odd.DoModal(), kx::IDCANCEL);
}

// ---- folder selection ------------------------------------------------------------------------

TEST_F(FolderBatchDialogs, FolderSelectionShowsReadableFoldersAndGivesTheChoice) {
    SetCurrentUser(BOB);
    int folder = FOLDER_DOCS;
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_SelectLocDir(folder); },
                    [](kx::Dialog* dlg) {
                        auto* tree = Item<CxTreeCtrl>(dlg, CDlgSelectLocDir::IDC_TREE_DIR);
                        HTREEITEM root = tree->GetRootItem();
                        EXPECT_EQ(tree->GetItemText(root), "根目录");
                        EXPECT_EQ(tree->GetItemData(root), -1);
                        EXPECT_EQ(tree->GetSelectedItemData(), uint32_t(FOLDER_DOCS));
                        EXPECT_FALSE(tree->IsValid(FOLDER_MATERIAL)) << "bob may not read 素材";
                        EXPECT_EQ(Item<QPlainTextEdit>(dlg, CDlgSelectLocDir::IDC_EDT_PATH)->toPlainText().toStdString(),
                                  KX_KXXXX().fsFindAncestryPath(FOLDER_DOCS, 1));
                        guitest::Screenshot(dlg, "CDlgSelectLocDir");
                        tree->SelectNode(FOLDER_GALLERY);
                    }),
              1);
    EXPECT_EQ(folder, FOLDER_GALLERY);

    struct Case {
        const char* name;
        std::function<void(CxTreeCtrl*)> select;
    } cases[] = {
        {"the root", [](CxTreeCtrl* t) { t->SelectItem(t->GetRootItem()); }},
        {"nothing selected", [](CxTreeCtrl* t) { t->SelectItem(nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int chosen = FOLDER_DOCS;
        ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_SelectLocDir(chosen); },
                        [&](kx::Dialog* dlg) { c.select(Item<CxTreeCtrl>(dlg, CDlgSelectLocDir::IDC_TREE_DIR)); }),
                  1);
        EXPECT_EQ(chosen, -1);
    }
}

// ---- slide settings --------------------------------------------------------------------------

CkxPlayParam Params() {
    CkxPlayParam p;
    p.m_bWhole = 0;
    p.m_nRangeStart = 3;
    p.m_nRangeEnd = 12;
    p.m_nStep = 4;
    p.m_nOrder = 2;
    p.m_bLoop = 0;
    p.m_nSpeedMode = 1;
    p.m_nInterTime = 5;
    p.m_nFrameNum = 8;
    p.m_nTimeUnit = 2;
    p.m_nReserved = 77;
    return p;
}

TEST_F(FolderBatchDialogs, SlideSettingsOpenFromTheWordsAndOkReadsOnlyTheChosenModes) {
    // Opening follows the words.
    CkxPlayParam p = Params();
    ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_SliderSetting(p); },
                    [](kx::Dialog* dlg) {
                        EXPECT_FALSE(Item<QCheckBox>(dlg, CDlgSliderSetting::IDC_CHK_ALL)->isChecked());
                        EXPECT_FALSE(Item(dlg, CDlgSliderSetting::IDC_EDT_FROM)->isReadOnly());
                        EXPECT_EQ(TextOf(dlg, CDlgSliderSetting::IDC_EDT_TO), "12");
                        EXPECT_EQ(Item<kx::ComboBox>(dlg, CDlgSliderSetting::IDC_CMB_SKIP)->currentText(), "4");
                        EXPECT_TRUE(Item<QCheckBox>(dlg, CDlgSliderSetting::IDC_CHK_BACKWARD)->isChecked());
                        EXPECT_TRUE(Item<QCheckBox>(dlg, CDlgSliderSetting::IDC_CHK_MILLISECONDS)->isChecked());
                        EXPECT_TRUE(Item(dlg, CDlgSliderSetting::IDC_EDT_PER_SECOND)->isReadOnly());
                        guitest::Screenshot(dlg, "CDlgSliderSetting");
                    }),
              1);
    const CkxPlayParam q = Params();
    auto words = [](const CkxPlayParam& x) {
        return std::vector<int>{x.m_bWhole,     x.m_nRangeStart, x.m_nRangeEnd,  x.m_nStep,
                                x.m_nOrder,     x.m_bLoop,       x.m_nSpeedMode, x.m_nInterTime,
                                x.m_nFrameNum,  x.m_nTimeUnit,   x.m_nReserved};
    };
    EXPECT_EQ(words(p), words(q)) << "OK without changes keeps all eleven words";

    struct Case {
        const char* name;
        std::function<void(kx::Dialog*)> act;
        std::function<void(const CkxPlayParam&)> check;
    } cases[] = {
        {"全部 on keeps range and skip",
         [](kx::Dialog* d) {
             ClickBox(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_ALL));
             EXPECT_TRUE(Item(d, CDlgSliderSetting::IDC_EDT_FROM)->isReadOnly());
             EXPECT_FALSE(Item<kx::ComboBox>(d, CDlgSliderSetting::IDC_CMB_SKIP)->isEnabled());
             SetText(d, CDlgSliderSetting::IDC_EDT_FROM, "9");
         },
         [](const CkxPlayParam& r) {
             EXPECT_EQ(r.m_bWhole, 1);
             EXPECT_EQ(r.m_nRangeStart, 3);
             EXPECT_EQ(r.m_nRangeEnd, 12);
             EXPECT_EQ(r.m_nStep, 4);
         }},
        {"per second keeps interval and unit",
         [](kx::Dialog* d) {
             ClickBox(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_PER_SECOND));
             EXPECT_FALSE(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_INTERVAL)->isChecked());
             EXPECT_FALSE(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_SECONDS)->isEnabled());
             EXPECT_TRUE(Item(d, CDlgSliderSetting::IDC_EDT_INTERVAL)->isReadOnly());
             SetText(d, CDlgSliderSetting::IDC_EDT_PER_SECOND, "25");
         },
         [](const CkxPlayParam& r) {
             EXPECT_EQ(r.m_nSpeedMode, 2);
             EXPECT_EQ(r.m_nFrameNum, 25);
             EXPECT_EQ(r.m_nInterTime, 5);
             EXPECT_EQ(r.m_nTimeUnit, 2);
         }},
        {"the order pair acts as radio buttons",
         [](kx::Dialog* d) {
             ClickBox(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_FORWARD));
             EXPECT_FALSE(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_BACKWARD)->isChecked());
             ClickBox(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_SECONDS));
             EXPECT_FALSE(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_MILLISECONDS)->isChecked());
         },
         [](const CkxPlayParam& r) {
             EXPECT_EQ(r.m_nOrder, 1);
             EXPECT_EQ(r.m_nTimeUnit, 1);
             EXPECT_EQ(r.m_nReserved, 77);
         }},
        {"a letter or a minus cannot be typed into an interval",
         [](kx::Dialog* d) {
             auto* interval = Item(d, CDlgSliderSetting::IDC_EDT_INTERVAL);
             interval->clear();
             interval->setFocus();
             QTest::keyClicks(interval, "-a7");
             EXPECT_EQ(interval->text(), "7");
         },
         [](const CkxPlayParam& r) { EXPECT_EQ(r.m_nInterTime, 7); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CkxPlayParam r = Params();
        ASSERT_EQ(DriveDialog([&] { return KX_ShowDlg_SliderSetting(r); }, c.act), 1);
        c.check(r);
    }

    // Cancel copies nothing.
    CkxPlayParam r = Params();
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_SliderSetting(r); },
                    [](kx::Dialog* d) { ClickBox(Item<QCheckBox>(d, CDlgSliderSetting::IDC_CHK_ALL)); },
                    kx::IDCANCEL),
              0);
    EXPECT_EQ(r.m_bWhole, 0);
}

} // namespace
