// The dialog layer: modal runs with IDOK/IDCANCEL, controls found by id, a dialog that refuses to
// close, nested modal runs driven from a test, and the recording prompt answerer.
#include "qt/KxDialog.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

// OK closes only when the edit (id 1001) holds text; otherwise it prompts and stays open.
class NameDialog : public kx::Dialog {
    Q_OBJECT
public:
    explicit NameDialog(QWidget* parent = nullptr) : kx::Dialog(parent) {
        edit = new QLineEdit(this);
        SetDlgItemId(edit, 1001);
        AddButton("OK", kx::IDOK);
        AddButton("Cancel", kx::IDCANCEL);
        inner = AddButton("Inner", 1002);
        connect(inner, &QPushButton::clicked, this, [this] {
            NameDialog nested(this);
            innerResult = nested.DoModal();
        });
    }
    int inits = 0;
    int innerResult = 0;
    QLineEdit* edit;
    QPushButton* inner;

protected:
    void OnInitDialog() override { ++inits; }
    void OnOK() override {
        if (edit->text().isEmpty()) {
            kx::Prompt(this, "empty name", kx::PromptOk, kx::PromptWarning);
            return;
        }
        EndDialog(kx::IDOK);
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { kx::EnsureApplication(); }
};

} // namespace

TEST_F(DialogTest, ButtonsKeysAndTheCloseBoxGiveTheirResults) {
    struct Case {
        const char* what;
        std::function<void(NameDialog*)> act;
        int result;
    };
    const Case cases[] = {
        {"OK button", [](NameDialog* d) { d->edit->setText("a"); kx::ClickId(d, kx::IDOK); }, kx::IDOK},
        {"Cancel button", [](NameDialog* d) { kx::ClickId(d, kx::IDCANCEL); }, kx::IDCANCEL},
        {"Escape", [](NameDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, kx::IDCANCEL},
        {"Enter", [](NameDialog* d) { d->edit->setText("b"); QTest::keyClick(d->edit, Qt::Key_Return); }, kx::IDOK},
        {"close box", [](NameDialog* d) { d->close(); }, kx::IDCANCEL},
    };
    for (const Case& c : cases) {
        NameDialog dlg;
        kx::ModalDriver drive;
        drive.Then<NameDialog>(c.act);
        EXPECT_EQ(dlg.DoModal(), c.result) << c.what;
        EXPECT_TRUE(drive.Done()) << c.what;
        EXPECT_FALSE(drive.TimedOut()) << c.what;
        EXPECT_EQ(dlg.inits, 1) << c.what;
    }
}

TEST_F(DialogTest, ControlsAreFoundByTheirIds) {
    NameDialog dlg;
    EXPECT_EQ(dlg.GetDlgItem(1001), dlg.edit);
    EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(1001), dlg.edit);
    EXPECT_EQ(dlg.GetDlgItemAs<QPushButton>(1001), nullptr);
    EXPECT_NE(dlg.GetDlgItemAs<QPushButton>(kx::IDOK), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
    EXPECT_FALSE(kx::ClickId(&dlg, 4242));
}

TEST_F(DialogTest, RefusedOkKeepsTheDialogOpenAndPromptsAreRecorded) {
    kx::PromptRecorder prompts;
    NameDialog dlg;
    kx::ModalDriver drive;
    bool stillOpen = false;
    drive.Then<NameDialog>([&](NameDialog* d) {
        kx::ClickId(d, kx::IDOK); // empty: refused
        stillOpen = d->isVisible();
        d->edit->setText("x");
        kx::ClickId(d, kx::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), kx::IDOK);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.LastText(), "empty name");
    EXPECT_EQ(prompts.Requests()[0].icon, kx::PromptWarning);
}

TEST_F(DialogTest, NestedModalRunsAreDrivenInOrder) {
    NameDialog outer;
    kx::ModalDriver drive;
    drive.Then<NameDialog>([](NameDialog* d) { kx::ClickId(d, 1002); }) // opens the inner one
        .Then<NameDialog>([&](NameDialog* d) {
            EXPECT_NE(d, &outer);
            kx::ClickId(d, kx::IDCANCEL);
        })
        .Then<NameDialog>([&](NameDialog* d) {
            EXPECT_EQ(d, &outer);
            d->edit->setText("done");
            kx::ClickId(d, kx::IDOK);
        });
    EXPECT_EQ(outer.DoModal(), kx::IDOK);
    EXPECT_EQ(outer.innerResult, kx::IDCANCEL);
    EXPECT_TRUE(drive.Done());
}

TEST_F(DialogTest, AStepThatNeverMatchesTimesOutInsteadOfHanging) {
    NameDialog dlg;
    kx::ModalDriver drive(200);
    drive.Then<QLineEdit>([](QLineEdit*) {}); // a line edit is never the modal widget
    EXPECT_EQ(dlg.DoModal(), kx::IDCANCEL);
    EXPECT_TRUE(drive.TimedOut());
}

TEST_F(DialogTest, RecorderAnswersInOrderThenByDefaultAndRestoresThePrevious) {
    std::vector<std::string> outerSeen;
    kx::PromptAnswerer old = kx::SetPromptAnswerer([&](const kx::PromptRequest& r) {
        outerSeen.push_back(r.text);
        return static_cast<int>(kx::AnswerCancel);
    });
    {
        kx::PromptRecorder rec(kx::AnswerNo);
        rec.Answer(kx::AnswerYes).Answer(kx::AnswerOk);
        EXPECT_EQ(kx::Prompt(nullptr, "one", kx::PromptYesNo), kx::AnswerYes);
        EXPECT_EQ(kx::Prompt(nullptr, "two"), kx::AnswerOk);
        EXPECT_EQ(kx::Prompt(nullptr, "three", kx::PromptYesNo, kx::PromptQuestion, "cap"),
                  kx::AnswerNo);
        EXPECT_EQ(rec.Texts(), (std::vector<std::string>{"one", "two", "three"}));
        EXPECT_EQ(rec.Requests()[2].caption, "cap");
        EXPECT_EQ(rec.Requests()[2].buttons, kx::PromptYesNo);
        rec.Clear();
        EXPECT_EQ(rec.Count(), 0u);
    }
    EXPECT_EQ(kx::Prompt(nullptr, "after"), kx::AnswerCancel);
    EXPECT_EQ(outerSeen, std::vector<std::string>{"after"});
    kx::SetPromptAnswerer(old);
}

TEST_F(DialogTest, WithoutAnAnswererARealBoxAsksAndOtherThreadsGetTheSafeAnswer) {
    struct Case {
        kx::PromptButtons buttons;
        QMessageBox::StandardButton click;
        int answer;
    };
    const Case cases[] = {
        {kx::PromptYesNo, QMessageBox::Yes, kx::AnswerYes},
        {kx::PromptYesNo, QMessageBox::No, kx::AnswerNo},
        {kx::PromptOkCancel, QMessageBox::Cancel, kx::AnswerCancel},
        {kx::PromptOk, QMessageBox::Ok, kx::AnswerOk},
    };
    for (const Case& c : cases) {
        QString shown;
        kx::ModalDriver drive;
        drive.Then<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->button(c.click)->click();
        });
        EXPECT_EQ(kx::Prompt(nullptr, "确定退出?", c.buttons, kx::PromptQuestion), c.answer);
        EXPECT_EQ(shown, QStringLiteral("确定退出?"));
        EXPECT_TRUE(drive.Done());
    }

    // A worker thread never builds a widget: it gets the answer that changes nothing.
    int yesNo = 0, okCancel = 0, ok = 0;
    std::thread worker([&] {
        yesNo = kx::Prompt(nullptr, "from a worker", kx::PromptYesNo);
        okCancel = kx::Prompt(nullptr, "from a worker", kx::PromptOkCancel);
        ok = kx::Prompt(nullptr, "from a worker");
    });
    worker.join();
    EXPECT_EQ(yesNo, kx::AnswerNo);
    EXPECT_EQ(okCancel, kx::AnswerCancel);
    EXPECT_EQ(ok, kx::AnswerOk);
}

#include "dialog_test.moc"
