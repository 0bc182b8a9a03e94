// The library's entity dialogs and the frame of their show functions: the caller's object changes
// only after OK (Cancel leaves its wire record byte for byte), OK brings every field back with the
// ids untouched, the OK checks run in their order with the focus on the edit at fault and the
// dialog open, and the OK button and the controls follow the new flag.
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"

#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxPerson.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "ui/CDlgDataShareEdit.h"
#include "ui/CDlgDataTagEdit.h"
#include "ui/CDlgKeywordEdit.h"
#include "ui/CDlgKeywordGroupEdit.h"
#include "ui/CDlgPersonEdit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstring>
#include <functional>
#include <string>

using guitest::SmallCatalogue;

namespace {

class EntityDialogs : public SmallCatalogue {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        SmallCatalogue::SetUp();
    }
};

// n Chinese characters: 2n GBK bytes.
std::string Han(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "图";
    return s;
}

template <class T>
std::string Wire(const T& entity) {
    auto com = entity.GetComData();
    return std::string(reinterpret_cast<const char*>(&com), sizeof com);
}

QLineEdit* EditOf(QWidget* dlg, int id) { return dlg->findChild<QLineEdit*>(QString::number(id)); }
QString TextOf(QWidget* dlg, int id) { return EditOf(dlg, id)->text(); }
void SetText(QWidget* dlg, int id, const std::string& text) {
    EditOf(dlg, id)->setText(QString::fromStdString(text));
}
void SelectPos(QWidget* dlg, int id, int pos) {
    dlg->findChild<QComboBox*>(QString::number(id))->setCurrentIndex(pos);
}
QString OkText(QWidget* dlg) { return dlg->findChild<QPushButton*>(QString::number(kx::IDOK))->text(); }

using guitest::DriveDialog;

} // namespace

TEST_F(EntityDialogs, OnlyOkCopiesEveryFieldBackAndTheIdsStay) {
    CkxKeyword keyword;
    keyword.m_nID = 41, keyword.m_nGroupID = 7, keyword.m_strName = "海岸", keyword.m_strNote = "风景";
    CkxKeywordGroup group;
    group.m_nID = 42, group.m_strName = "地点", group.m_strNote = "地名";
    CkxDataShare share;
    share.m_nID = 43, share.m_nUserID = ALICE, share.m_nDataFormat = 2, share.m_nFileID = FILE_A;
    share.m_strName = "春季封面";
    CkxDataTag tag;
    tag.m_nID = 44, tag.m_nUserID = BOB, tag.m_nDataFormat = 3, tag.m_nFileID = FILE_B;
    tag.m_strName = "待选";
    CkxPerson person;
    person.m_nID = 45, person.m_strName = "赵六", person.m_nRelation = 3, person.m_nProfession = 2;
    person.m_strNote = "外聘";

    const auto nameNote = [](kx::Dialog* d) {
        SetText(d, kx::IDC_EDT_NAME, "新名");
        if (EditOf(d, kx::IDC_EDT_NOTE)) SetText(d, kx::IDC_EDT_NOTE, "新注");
    };
    struct Case {
        const char* name;
        std::function<std::string()> wire;
        std::function<int()> show;
        std::function<void(kx::Dialog*)> change;
        std::function<void()> checkOk;
    };
    const Case cases[] = {
        {"keyword", [&] { return Wire(keyword); }, [&] { return KX_ShowDlg_KeywordEdit(0, keyword); }, nameNote,
         [&] {
             EXPECT_EQ(keyword.m_nID, 41);
             EXPECT_EQ(keyword.m_nGroupID, 7);
             EXPECT_EQ(keyword.m_strName, "新名");
             EXPECT_EQ(keyword.m_strNote, "新注");
         }},
        {"keyword group", [&] { return Wire(group); }, [&] { return KX_ShowDlg_KeywordGroupEdit(0, group); },
         nameNote,
         [&] {
             EXPECT_EQ(group.m_nID, 42);
             EXPECT_EQ(group.m_strName, "新名");
             EXPECT_EQ(group.m_strNote, "新注");
         }},
        {"share", [&] { return Wire(share); }, [&] { return KX_ShowDlg_FileShareEdit(share); }, nameNote,
         [&] {
             EXPECT_EQ(share.m_nID, 43);
             EXPECT_EQ(share.m_nUserID, ALICE);
             EXPECT_EQ(share.m_nDataFormat, 2);
             EXPECT_EQ(share.m_nFileID, FILE_A);
             EXPECT_EQ(share.m_strName, "新名");
         }},
        {"bookmark", [&] { return Wire(tag); }, [&] { return KX_ShowDlg_FileTagEdit(tag); }, nameNote,
         [&] {
             EXPECT_EQ(tag.m_nID, 44);
             EXPECT_EQ(tag.m_nUserID, BOB);
             EXPECT_EQ(tag.m_nDataFormat, 3);
             EXPECT_EQ(tag.m_nFileID, FILE_B);
             EXPECT_EQ(tag.m_strName, "新名");
         }},
        {"person", [&] { return Wire(person); }, [&] { return KX_ShowDlg_PersonEdit(0, person); },
         [&](kx::Dialog* d) {
             nameNote(d);
             SelectPos(d, CDlgPersonEdit::IDC_CMB_RELATION, 6);
             SelectPos(d, CDlgPersonEdit::IDC_CMB_TITLE, 8);
         },
         [&] {
             EXPECT_EQ(person.m_nID, 45);
             EXPECT_EQ(person.m_strName, "新名");
             EXPECT_EQ(person.m_nRelation, 6);
             EXPECT_EQ(person.m_nProfession, 8);
             EXPECT_EQ(person.m_strNote, "新注");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = c.wire();
        EXPECT_EQ(DriveDialog(c.show, c.change, kx::IDCANCEL), 0);
        EXPECT_EQ(c.wire(), before);
        // The close box and Escape go the same way as Cancel.
        EXPECT_EQ(DriveDialog(c.show, [&](kx::Dialog* d) { c.change(d); QTest::keyClick(d, Qt::Key_Escape); }, 0), 0);
        EXPECT_EQ(c.wire(), before);
        EXPECT_EQ(DriveDialog(c.show, c.change, kx::IDOK), 1);
        c.checkOk();
    }
}

TEST_F(EntityDialogs, OkChecksRunInOrderAndKeepTheDialogOpen) {
    enum Kind { KEYWORD, GROUP, SHARE, TAG, PERSON };
    const std::string ok = "名字", long50 = Han(25), long51 = Han(25) + "a";
    const struct {
        Kind kind;
        std::string name, note;
        const char* message; // null: the dialog closes with OK
        int focus;
    } rows[] = {
        {KEYWORD, "", long51, "关键字不能为空", 1030}, // only the first failure is told
        {KEYWORD, long51, long51, "关键字长度不能超过50个字母", 1030},
        {KEYWORD, ok, long51, "备注长度不能超过50个字母", 1020},
        {KEYWORD, long50, long50, nullptr, 0},
        {GROUP, "", long51, "名称不能为空", 1030},
        {GROUP, long51, ok, "名称长度不能超过50个字母", 1030},
        {GROUP, ok, long51, "备注长度不能超过50个字母", 1020},
        {GROUP, long50, long50, nullptr, 0},
        {SHARE, "", "", "名称不能为空", 1030},
        {SHARE, long51, "", "名称长度不能超过50个字母", 1030},
        {SHARE, long50, "", nullptr, 0},
        {TAG, "", "", "名称不能为空", 1030},
        {TAG, long50 + "a", "", "名称长度不能超过50个字母", 1030},
        {PERSON, "", long51, "名称不能为空", 1030},
        {PERSON, long51, ok, "名称长度不能超过50个字母", 1030},
        {PERSON, ok, long51, "备注长度不能超过50个字母", 1020},
        {PERSON, long50, long50, nullptr, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.kind << " " << r.name << " / " << r.note);
        kx::PromptRecorder prompts;
        CkxKeyword keyword;
        CkxKeywordGroup group;
        CkxDataShare share;
        share.m_strName = "旧名";
        CkxDataTag tag;
        tag.m_strName = "旧名";
        CkxPerson person;
        kx::ModalDriver driver;
        driver.Then<kx::Dialog>([&](kx::Dialog* d) {
            SetText(d, 1030, r.name);
            if (EditOf(d, 1020)) SetText(d, 1020, r.note);
            kx::ClickId(d, kx::IDOK);
        });
        if (r.message) {
            driver.Then<kx::Dialog>([&](kx::Dialog* d) {
                EXPECT_TRUE(d->isVisible());
                ASSERT_NE(d->focusWidget(), nullptr);
                EXPECT_EQ(d->focusWidget()->objectName(), QString::number(r.focus));
                EXPECT_EQ(TextOf(d, 1030).toStdString(), r.name); // everything typed is still there
                if (EditOf(d, 1020)) EXPECT_EQ(TextOf(d, 1020).toStdString(), r.note);
                kx::ClickId(d, kx::IDCANCEL);
            });
        }
        int result = 0;
        switch (r.kind) {
        case KEYWORD: result = KX_ShowDlg_KeywordEdit(1, keyword); break;
        case GROUP: result = KX_ShowDlg_KeywordGroupEdit(1, group); break;
        case SHARE: result = KX_ShowDlg_FileShareEdit(share); break;
        case TAG: result = KX_ShowDlg_FileTagEdit(tag); break;
        case PERSON: result = KX_ShowDlg_PersonEdit(1, person); break;
        }
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(result, r.message ? 0 : 1);
        if (r.message) {
            ASSERT_EQ(prompts.Count(), 1u);
            EXPECT_EQ(prompts.LastText(), r.message);
            EXPECT_EQ(prompts.Requests()[0].icon, kx::PromptWarning);
            EXPECT_EQ(prompts.Requests()[0].buttons, kx::PromptOk);
            EXPECT_EQ(share.m_strName, "旧名"); // a refused OK and then Cancel change nothing
        } else {
            EXPECT_EQ(prompts.Count(), 0u);
        }
    }
}

TEST_F(EntityDialogs, TheNewFlagDecidesTheOkTextAndWhatTheControlsShow) {
    CkxKeyword keyword;
    keyword.m_strName = "海岸", keyword.m_strNote = "风景";
    CkxKeywordGroup group;
    group.m_strName = "地点", group.m_strNote = "地名";
    CkxPerson person;
    person.m_strName = "赵六", person.m_nRelation = 3, person.m_nProfession = 2, person.m_strNote = "外聘";
    const struct {
        const char* name;
        std::function<int(int)> show;
        int typedLimit;
    } dialogs[] = {
        {"CDlgKeywordEdit", [&](int n) { return KX_ShowDlg_KeywordEdit(n, keyword); }, 45},
        {"CDlgKeywordGroupEdit", [&](int n) { return KX_ShowDlg_KeywordGroupEdit(n, group); }, 45},
        {"CDlgPersonEdit", [&](int n) { return KX_ShowDlg_PersonEdit(n, person); }, 50},
    };
    for (const auto& dlg : dialogs) {
        for (int newFlag : {1, 0}) {
            SCOPED_TRACE(testing::Message() << dlg.name << " new " << newFlag);
            DriveDialog([&] { return dlg.show(newFlag); },
                  [&](kx::Dialog* d) {
                      EXPECT_EQ(OkText(d), newFlag ? "创  建" : "修  改");
                      EXPECT_EQ(TextOf(d, 1030).isEmpty(), newFlag != 0);
                      EXPECT_EQ(TextOf(d, 1020).isEmpty(), newFlag != 0);
                      EXPECT_EQ(static_cast<kx::Edit*>(EditOf(d, 1030))->GetLimitText(), dlg.typedLimit);
                      EXPECT_EQ(static_cast<kx::Edit*>(EditOf(d, 1020))->GetLimitText(), dlg.typedLimit);
                      if (!newFlag) guitest::Screenshot(d, std::string(dlg.name) + "-modify");
                  },
                  kx::IDCANCEL);
        }
    }
}

TEST_F(EntityDialogs, PersonOpensOnOtherAndStoresTheSelectedPositions) {
    CkxPerson person;
    person.m_nID = 9, person.m_strName = "旧名", person.m_nRelation = 4, person.m_nProfession = 7;
    // Create mode: "其它" in both combos whatever the person holds; a name alone gives codes 0.
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_PersonEdit(1, person); },
                    [](kx::Dialog* d) {
                        auto* relation = d->findChild<kx::ComboBox*>("1031");
                        auto* title = d->findChild<kx::ComboBox*>("1032");
                        EXPECT_EQ(relation->count(), 7);
                        EXPECT_EQ(title->count(), 9);
                        EXPECT_EQ(relation->currentText(), "其它");
                        EXPECT_EQ(title->currentText(), "其它");
                        EXPECT_EQ(title->itemText(8), "网络");
                        EXPECT_EQ(relation->GetItemData(6), 6);
                        SetText(d, 1030, "钱七");
                    },
                    kx::IDOK),
              1);
    EXPECT_EQ(person.m_nID, 9);
    EXPECT_EQ(person.m_strName, "钱七");
    EXPECT_EQ(person.m_nRelation, 0);
    EXPECT_EQ(person.m_nProfession, 0);

    // Modify mode selects the person's codes.
    person.m_nRelation = 5, person.m_nProfession = 3, person.m_strNote = "签约摄影";
    EXPECT_EQ(DriveDialog([&] { return KX_ShowDlg_PersonEdit(0, person); },
                    [](kx::Dialog* d) {
                        EXPECT_EQ(d->findChild<kx::ComboBox*>("1031")->currentText(), "拥有者");
                        EXPECT_EQ(d->findChild<kx::ComboBox*>("1032")->currentText(), "摄影师");
                    },
                    kx::IDOK),
              1);
    EXPECT_EQ(person.m_nRelation, 5);
    EXPECT_EQ(person.m_nProfession, 3);
}

TEST_F(EntityDialogs, TheShareDialogIsUsableDirectly) {
    CDlgDataShareEdit dlg;
    dlg.m_Entity.m_nID = 43, dlg.m_Entity.m_nFileID = FILE_C, dlg.m_Entity.m_strName = "年报终稿";
    kx::ModalDriver driver;
    driver.Then<CDlgDataShareEdit>([](CDlgDataShareEdit* d) {
        EXPECT_EQ(d->windowTitle(), "修改共享");
        EXPECT_EQ(TextOf(d, 1030), "年报终稿");
        EXPECT_EQ(OkText(d), "确  定"); // always modifies: the OK button keeps its text
        guitest::Screenshot(d, "CDlgDataShareEdit-modify");
        SetText(d, 1030, "年报定稿");
        kx::ClickId(d, kx::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_EQ(dlg.m_Entity.m_strName, "年报定稿");
    EXPECT_EQ(dlg.m_Entity.m_nFileID, FILE_C);

    CkxDataTag tag;
    tag.m_strName = "待选";
    DriveDialog([&] { return KX_ShowDlg_FileTagEdit(tag); },
          [](kx::Dialog* d) { guitest::Screenshot(d, "CDlgDataTagEdit-modify"); }, kx::IDCANCEL);
}
