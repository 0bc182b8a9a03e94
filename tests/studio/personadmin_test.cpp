// The person administration dialog against the studio server: persons created, changed and
// deleted through the server show after its answer, another workstation's changes show too,
// reloads never double the rows, and the code texts follow their table.
#include "studio/support/StudioTestKit.h"

#include "dlg/CDlgPersonAdmin.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "ui/CDlgPersonEdit.h"

#include <QComboBox>
#include <QLineEdit>

using namespace studiotest;
using namespace kx;

namespace {

// The studio logged on as su, who may change persons.
class PersonAdmin : public StudioTest {
protected:
    void SetUp() override {
        StudioTest::SetUp();
        server = std::make_unique<StudioServer>();
        ASSERT_TRUE(server->Ok());
        link = std::make_unique<TestStudioLink>();
        ASSERT_EQ(link->LogOn(server->Port(), "su", kSuPassword), kLogonOk);
        ASSERT_TRUE(link->RequestInitialLists());
        ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().m_PersonList.GetCount() == 2 && KX_KXXXX().m_UserRoleList.GetCount() > 0; }));
        PumpFor(200ms);
        host = std::make_unique<QWidget>();
        host->resize(560, 400);
        dlg = new CDlgPersonAdmin(*link);
        ASSERT_TRUE(dlg->Create(host.get()));
        host->show();
    }
    void TearDown() override {
        host.reset();
        StudioTest::TearDown();
    }
    std::vector<std::string> Row(int row) const {
        std::vector<std::string> out;
        for (int c = 0; c < 4; ++c) out.push_back(dlg->List()->GetItemText(row, c).toStdString());
        return out;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (int r = 0; r < dlg->List()->GetItemCount(); ++r) out.push_back(dlg->List()->GetItemText(r, 0).toStdString());
        return out;
    }
    void SelectRows(std::initializer_list<int> rows) {
        dlg->List()->clearSelection();
        for (int r : rows) dlg->List()->topLevelItem(r)->setSelected(true);
    }
    static void Edit(Dialog* d, const char* name, int relation, int title) {
        d->findChild<QLineEdit*>(QString::number(IDC_EDT_NAME))->setText(QString::fromUtf8(name));
        d->findChild<QComboBox*>(QString::number(CDlgPersonEdit::IDC_CMB_RELATION))->setCurrentIndex(relation);
        d->findChild<QComboBox*>(QString::number(CDlgPersonEdit::IDC_CMB_TITLE))->setCurrentIndex(title);
    }
    std::unique_ptr<QWidget> host;
    CDlgPersonAdmin* dlg = nullptr; // a form of the host
};

TEST_F(PersonAdmin, CodeTextsFollowTheirTable) {
    struct Row {
        int code;
        const char* relation;
        const char* title;
    };
    const Row rows[] = {{0, "其它", "其它"}, {3, "创作者", "摄影师"}, {6, "客户", "爱好者"}, {7, "", "学者"},
                        {8, "", "网络"},    {9, "", ""},           {255, "", ""}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(CDlgPersonAdmin::RelationText(r.code), r.relation);
        EXPECT_EQ(CDlgPersonAdmin::TitleText(r.code), r.title);
    }
}

TEST_F(PersonAdmin, ChangesGoThroughTheServerAndShowAfterItsAnswer) {
    EXPECT_EQ(Names(), (std::vector<std::string>{"王", "李"}));
    EXPECT_EQ(Row(0), (std::vector<std::string>{"王", "其它", "其它", ""}));
    guitest::Screenshot(dlg, "studio_person_admin");

    // Create: nothing shows until the server's answer.
    ASSERT_EQ(guitest::DriveDialog([&] { dlg->OnCreate(); return 1; }, [](Dialog* d) { Edit(d, "赵", 3, 2); }), 1);
    EXPECT_EQ(Names().size(), 2u);
    ASSERT_TRUE(PumpUntil([&] { return Names().size() == 3; }));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"赵", "创作者", "设计师", ""}));

    // Modify and delete need exactly one selected row.
    SelectRows({0, 1});
    EXPECT_FALSE(dlg->GetDlgItem(CDlgPersonAdmin::IDC_MODIFY)->isEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(CDlgPersonAdmin::IDC_DELETE)->isEnabled());
    SelectRows({2});
    EXPECT_TRUE(dlg->GetDlgItem(CDlgPersonAdmin::IDC_MODIFY)->isEnabled());
    ASSERT_EQ(guitest::DriveDialog([&] { dlg->OnModify(); return 1; }, [](Dialog* d) { Edit(d, "赵钱", 6, 8); }), 1);
    ASSERT_TRUE(PumpUntil([&] { return Row(2) == std::vector<std::string>{"赵钱", "客户", "网络", ""}; }));

    PromptRecorder prompts;
    prompts.Answer(AnswerCancel);
    SelectRows({2});
    dlg->OnDelete();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除人员 \"赵钱\" "});
    PumpFor(300ms);
    EXPECT_EQ(Names().size(), 3u);
    dlg->OnDelete(); // answered OK
    ASSERT_TRUE(PumpUntil([&] { return Names() == std::vector<std::string>{"王", "李"}; }));
}

// A user without the person power meets no button that the server would refuse.
class PersonAdminWithoutThePower : public LoggedOnTest {};

TEST_F(PersonAdminWithoutThePower, OffersNoChanges) {
    QWidget host;
    auto* dlg = new CDlgPersonAdmin(*link);
    ASSERT_TRUE(dlg->Create(&host));
    ASSERT_EQ(dlg->List()->GetItemCount(), 2);
    dlg->List()->topLevelItem(0)->setSelected(true);
    for (int id : {CDlgPersonAdmin::IDC_CREATE, CDlgPersonAdmin::IDC_MODIFY, CDlgPersonAdmin::IDC_DELETE})
        EXPECT_FALSE(dlg->GetDlgItem(id)->isEnabled()) << id;
}

TEST_F(PersonAdminWithoutThePower, AnotherWorkstationsChangesAndReloadsShowOnce) {
    QWidget host;
    auto* dlg = new CDlgPersonAdmin(*link);
    ASSERT_TRUE(dlg->Create(&host));
    auto Names = [&] {
        std::vector<std::string> out;
        for (int r = 0; r < dlg->List()->GetItemCount(); ++r) out.push_back(dlg->List()->GetItemText(r, 0).toStdString());
        return out;
    };
    auto Row = [&](int row) {
        std::vector<std::string> out;
        for (int c = 0; c < 4; ++c) out.push_back(dlg->List()->GetItemText(row, c).toStdString());
        return out;
    };
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    CkxPerson p;
    p.m_strName = "孙";
    p.m_nRelation = 9; // outside the table
    p.m_nProfession = 1;
    ASSERT_TRUE(su->SendRecord(kMsgPerson, kSubAdd, p.GetComData()));
    ASSERT_TRUE(PumpUntil([&] { return Names().size() == 3; }));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"孙", "", "画家", ""}));
    for (int i = 0; i < 2; ++i) ASSERT_EQ(link->SendPersonListRequest(), 1);
    PumpFor(500ms);
    EXPECT_EQ(Names(), (std::vector<std::string>{"王", "李", "孙"}));
    // A notice for an id the cache does not hold changes nothing.
    dlg->OnWindowMessage(WM_USER, kNoticeAdded, 987654);
    dlg->OnWindowMessage(WM_USER, kNoticeUpdated, 987654);
    EXPECT_EQ(Names().size(), 3u);
}

} // namespace
