// Data exchange between a dialog's members and its controls, the modeless form, drop-down lists
// with item data and the pre-OK hook that commits an open in-place editor.
#include "qt/KxComboBox.h"
#include "qt/KxDialog.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <clocale>
#include <functional>

namespace {

enum {
    IDC_NAME = 1001, IDC_NOTE = 1002, IDC_COUNT = 1003, IDC_ACTIVE = 1004, IDC_ROUND = 1005,
    IDC_KIND = 1006, IDC_WHEN = 1007
};

// Every binding of the layer over members a test sets and reads.
class BoundDialog : public kx::Dialog {
    Q_OBJECT
public:
    explicit BoundDialog(QWidget* parent = nullptr) : kx::Dialog(parent) {
        auto* layout = new QVBoxLayout(this);
        auto add = [&](QWidget* w, int id) {
            SetDlgItemId(w, id);
            layout->addWidget(w);
            return w;
        };
        name = static_cast<QLineEdit*>(add(new QLineEdit(this), IDC_NAME));
        note = static_cast<QPlainTextEdit*>(add(new QPlainTextEdit(this), IDC_NOTE));
        count = static_cast<QLineEdit*>(add(new QLineEdit(this), IDC_COUNT));
        active = static_cast<QCheckBox*>(add(new QCheckBox(QStringLiteral("有效"), this), IDC_ACTIVE));
        round = static_cast<QRadioButton*>(add(new QRadioButton(QStringLiteral("圆"), this), IDC_ROUND));
        round->setAutoExclusive(false);
        kind = static_cast<kx::ComboBox*>(add(new kx::ComboBox(this), IDC_KIND));
        kind->AddString(QStringLiteral("图像"), 30);
        kind->AddString(QStringLiteral("文本"), 10);
        kind->AddString(QStringLiteral("音频"), 20);
        when = static_cast<QDateTimeEdit*>(add(new QDateTimeEdit(this), IDC_WHEN));
        layout->addWidget(AddButton(QStringLiteral("确定"), kx::IDOK));
        layout->addWidget(AddButton(QStringLiteral("取消"), kx::IDCANCEL));
    }

    std::string m_strName, m_strNote;
    int m_nCount = 0, m_bActive = 0, m_bRound = 0, m_nKind = -1;
    COleDateTime m_dtWhen{2024, 2, 29, 13, 45, 30};
    int inits = 0;

    QLineEdit* name;
    QPlainTextEdit* note;
    QLineEdit* count;
    QCheckBox* active;
    QRadioButton* round;
    kx::ComboBox* kind;
    QDateTimeEdit* when;

protected:
    void OnInitDialog() override {
        ++inits;
        kx::Dialog::OnInitDialog();
    }
    void DoDataExchange(kx::DataExchange& dx) override {
        kx::DDX_Text(dx, IDC_NAME, m_strName);
        kx::DDX_Text(dx, IDC_NOTE, m_strNote);
        kx::DDX_Text(dx, IDC_COUNT, m_nCount);
        kx::DDX_Check(dx, IDC_ACTIVE, m_bActive);
        kx::DDX_Check(dx, IDC_ROUND, m_bRound);
        kx::DDX_CBData(dx, IDC_KIND, m_nKind);
        kx::DDX_DateTime(dx, IDC_WHEN, m_dtWhen);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { kx::EnsureApplication(); }
};

} // namespace

TEST_F(DataExchangeTest, EachBindingMovesBothWays) {
    struct Case {
        const char* what;
        std::function<void(BoundDialog&)> setMember;   // before UpdateData(false)
        std::function<bool(BoundDialog&)> controlShows; // after it
        std::function<void(BoundDialog&)> setControl;   // before UpdateData(true)
        std::function<bool(BoundDialog&)> memberHolds;  // after it
    };
    const Case cases[] = {
        {"text to a line edit", [](BoundDialog& d) { d.m_strName = "图像 α"; },
         [](BoundDialog& d) { return d.name->text() == QStringLiteral("图像 α"); },
         [](BoundDialog& d) { d.name->setText(QStringLiteral("新名称")); },
         [](BoundDialog& d) { return d.m_strName == "新名称"; }},
        {"text to a multi-line edit", [](BoundDialog& d) { d.m_strNote = "一\n二"; },
         [](BoundDialog& d) { return d.note->toPlainText() == QStringLiteral("一\n二"); },
         [](BoundDialog& d) { d.note->setPlainText(QStringLiteral("三\n四")); },
         [](BoundDialog& d) { return d.m_strNote == "三\n四"; }},
        {"int to a line edit", [](BoundDialog& d) { d.m_nCount = -1234567; },
         [](BoundDialog& d) { return d.count->text() == "-1234567"; },
         [](BoundDialog& d) { d.count->setText(" 42 "); },
         [](BoundDialog& d) { return d.m_nCount == 42; }},
        {"flag to a check box", [](BoundDialog& d) { d.m_bActive = 1; },
         [](BoundDialog& d) { return d.active->isChecked(); },
         [](BoundDialog& d) { d.active->setChecked(false); },
         [](BoundDialog& d) { return d.m_bActive == 0; }},
        {"flag to a radio button", [](BoundDialog& d) { d.m_bRound = 0; },
         [](BoundDialog& d) { return !d.round->isChecked(); },
         [](BoundDialog& d) { d.round->setChecked(true); },
         [](BoundDialog& d) { return d.m_bRound == 1; }},
        {"item data of a drop-down", [](BoundDialog& d) { d.m_nKind = 20; },
         [](BoundDialog& d) { return d.kind->currentIndex() == 2; },
         [](BoundDialog& d) { d.kind->setCurrentIndex(0); },
         [](BoundDialog& d) { return d.m_nKind == 30; }},
        {"no entry selected reads -1", [](BoundDialog& d) { d.m_nKind = 10; },
         [](BoundDialog& d) { return d.kind->currentIndex() == 1; },
         [](BoundDialog& d) { d.kind->setCurrentIndex(-1); },
         [](BoundDialog& d) { return d.m_nKind == -1; }},
        {"date to a date-time picker", [](BoundDialog& d) { d.m_dtWhen = COleDateTime(2024, 2, 29, 13, 45, 30); },
         [](BoundDialog& d) {
             return d.when->dateTime() == QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30));
         },
         [](BoundDialog& d) { d.when->setDateTime(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58))); },
         [](BoundDialog& d) { return d.m_dtWhen == COleDateTime(1999, 12, 31, 23, 59, 58); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BoundDialog dlg;
        c.setMember(dlg);
        ASSERT_TRUE(dlg.UpdateData(false));
        EXPECT_TRUE(c.controlShows(dlg));
        c.setControl(dlg);
        ASSERT_TRUE(dlg.UpdateData(true));
        EXPECT_TRUE(c.memberHolds(dlg));
    }
}

TEST_F(DataExchangeTest, ALetterInANumberEditKeepsTheDialogOpenWithTheFocusThere) {
    kx::PromptRecorder prompts;
    BoundDialog dlg;
    dlg.m_strName = "旧";
    dlg.m_nCount = 7;
    kx::ModalDriver driver;
    driver
        .Then<BoundDialog>([&](BoundDialog* w) {
            EXPECT_EQ(w->count->text(), "7"); // OnInitDialog moved the members in
            w->name->setText(QStringLiteral("新"));
            w->count->setText("1x");
            kx::ClickId(w, kx::IDOK);
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(prompts.Count(), 1u);
            EXPECT_EQ(prompts.LastText(), kx::kEnterInteger);
            EXPECT_EQ(QApplication::focusWidget(), w->count);
            EXPECT_EQ(w->count->text(), "1x"); // nothing typed is lost
            w->count->setText("12");
            kx::ClickId(w, kx::IDOK);
        });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(dlg.inits, 1);
    EXPECT_EQ(dlg.m_nCount, 12);
    EXPECT_EQ(dlg.m_strName, "新");
    EXPECT_EQ(prompts.Count(), 1u);
}

TEST_F(DataExchangeTest, NumbersDoNotFollowADecimalCommaLocale) {
    const QLocale oldLocale;
    const std::string oldC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // may be missing; Qt's default locale is set anyway
    for (int value : {0, 1234567, -98765, 2147483647}) {
        SCOPED_TRACE(value);
        BoundDialog dlg;
        dlg.m_nCount = value;
        dlg.UpdateData(false);
        EXPECT_EQ(dlg.count->text().toStdString(), std::to_string(value));
        dlg.m_nCount = 0;
        ASSERT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.m_nCount, value);
    }
    // A grouped number as the locale would write it is no whole number here.
    kx::PromptRecorder prompts;
    BoundDialog dlg;
    dlg.count->setText("1.234");
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(prompts.LastText(), kx::kEnterInteger);
    QLocale::setDefault(oldLocale);
    std::setlocale(LC_ALL, oldC.c_str());
}

TEST_F(DataExchangeTest, AFormIsInitialisedOnceAndShownInsideItsParent) {
    QWidget host;
    host.resize(400, 300);
    host.show();
    auto* form = new BoundDialog;
    form->m_strName = "面板";
    ASSERT_TRUE(form->Create(&host));
    EXPECT_FALSE(form->Create(&host)); // once only
    EXPECT_EQ(form->inits, 1);
    EXPECT_EQ(form->parentWidget(), &host);
    EXPECT_FALSE(form->isWindow());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->name->text(), QStringLiteral("面板"));
    // Escape inside a form closes nothing.
    QTest::keyClick(form->name, Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(DataExchangeTest, DropDownsKeepTheirOrderAndSelectOnlyByKnownData) {
    kx::ComboBox combo;
    EXPECT_EQ(combo.AddString("z", 5), 0);
    EXPECT_EQ(combo.AddString("a", -7), 1);
    EXPECT_EQ(combo.AddString("m", 900000000000LL), 2);
    EXPECT_EQ(combo.itemText(0), "z");
    EXPECT_EQ(combo.itemText(1), "a");
    EXPECT_EQ(combo.GetItemData(2), 900000000000LL);
    EXPECT_TRUE(combo.SelectData(-7));
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_FALSE(combo.SelectData(6));
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.GetCurSelData(), -7);
    combo.SetCurSel(-1);
    EXPECT_EQ(combo.GetCurSelData(), -1);
}

namespace {

// Stands in for the editable list: holds an in-place editor whose text reaches the list only
// when the editor is committed.
class EditorList : public QWidget, public kx::InPlaceEditorHost {
public:
    explicit EditorList(QWidget* parent) : QWidget(parent), editor(new QLineEdit(this)) {}
    void CommitInPlaceEditor() override {
        if (editor->isHidden()) return;
        committed = editor->text();
        editor->hide();
    }
    QLineEdit* editor;
    QString committed;
};

class HostDialog : public kx::Dialog {
    Q_OBJECT
public:
    HostDialog() {
        auto* layout = new QVBoxLayout(this);
        list = new EditorList(this);
        layout->addWidget(list);
        layout->addWidget(AddButton(QStringLiteral("确定"), kx::IDOK));
    }
    EditorList* list;
    QString seenByOnOK;

protected:
    void OnOK() override {
        seenByOnOK = list->committed;
        kx::Dialog::OnOK();
    }
};

} // namespace

TEST_F(DataExchangeTest, EnterInAnOpenEditorCommitsItBeforeOnOK) {
    HostDialog dlg;
    kx::ModalDriver driver;
    driver.Then<HostDialog>([&](HostDialog* w) {
        w->list->editor->setFocus();
        w->list->editor->setText(QStringLiteral("最后一格"));
        QTest::keyClick(w->list->editor, Qt::Key_Return);
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(dlg.seenByOnOK, QStringLiteral("最后一格"));
}

#include "dataexchange_test.moc"
