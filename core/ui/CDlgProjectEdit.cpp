#include "ui/CDlgProjectEdit.h"

#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {
constexpr const char* kDescribeTooLong = "描述长度不能超过50个字母";
}

CDlgProjectEdit::CDlgProjectEdit(QWidget* parent) : kx::EntityDlg<CkxProject>(parent) {
    setWindowTitle(QStringLiteral("项目编辑"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("基本信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("名    称"), kx::MakeEdit(this, kx::IDC_EDT_NAME));
    state_ = new kx::ComboBox(this);
    SetDlgItemId(state_, IDC_CMB_STATE);
    form->addRow(QStringLiteral("状    态"), state_);
    coworker_ = new kx::ComboBox(this);
    SetDlgItemId(coworker_, IDC_CMB_COWORKER);
    form->addRow(QStringLiteral("合 作 者"), coworker_);
    form->addRow(QStringLiteral("描    述"), kx::MakeEdit(this, IDC_EDT_DESCRIBE));
    form->addRow(QStringLiteral("备    注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
    resize(340, sizeHint().height());
}

const char* CDlgProjectEdit::StateText(int state) {
    switch (state) {
    case CkxProject::STATE_START: return "启动";
    case CkxProject::STATE_PROCESS: return "过程";
    case CkxProject::STATE_END: return "完成";
    default: return "";
    }
}

void CDlgProjectEdit::SeleteState(int state) { state_->SelectData(state); }

void CDlgProjectEdit::SelectCoworker(int personId) { coworker_->SelectData(personId); }

void CDlgProjectEdit::OnInitDialog() {
    coworker_->ResetContent();
    KX_KXXXX().m_PersonList.ForEach(
        [this](const CkxPerson& p) { coworker_->AddString(kx::Q(p.m_strName), p.m_nID); });
    coworker_->SetCurSel(-1);
    state_->ResetContent();
    for (int code : {CkxProject::STATE_START, CkxProject::STATE_PROCESS, CkxProject::STATE_END})
        state_->AddString(kx::Q(StateText(code)), code);
    state_->SetCurSel(0);
    kx::EntityDlg<CkxProject>::OnInitDialog();
}

void CDlgProjectEdit::DoDataExchange(kx::DataExchange& dx) {
    if (!ExchangeRuns(dx)) return;
    kx::DDX_Text(dx, kx::IDC_EDT_NAME, m_Entity.m_strName);
    kx::DDX_Text(dx, IDC_EDT_DESCRIBE, m_Entity.m_strDescribe);
    kx::DDX_Text(dx, kx::IDC_EDT_NOTE, m_Entity.m_strNote);
    if (dx.Saving()) {
        const int state = static_cast<int>(state_->GetCurSelData());
        if (state_->GetCurSel() >= 0) m_Entity.m_nState = static_cast<uint8_t>(state);
        m_Entity.m_nCoworkerID = coworker_->GetCurSel() >= 0 ? static_cast<int32_t>(coworker_->GetCurSelData()) : -1;
    } else {
        SeleteState(m_Entity.m_nState);
        SelectCoworker(m_Entity.m_nCoworkerID);
    }
}

void CDlgProjectEdit::OnOK() {
    if (!UpdateData(true)) return;
    // The creation time is set once, when the project is made; later edits stamp the second date.
    const COleDateTime now = COleDateTime::GetCurrentTime();
    if (IsNew()) m_Entity.m_dtCreate = now;
    m_Entity.m_dtEnd = now;
    kx::OkChecks ok(*this);
    ok.NotEmpty(kx::IDC_EDT_NAME, m_Entity.m_strName, kx::kNameEmpty)
        .AtMost(kx::IDC_EDT_NAME, m_Entity.m_strName, kx::kNameTooLong)
        .AtMost(IDC_EDT_DESCRIBE, m_Entity.m_strDescribe, kDescribeTooLong)
        .AtMost(kx::IDC_EDT_NOTE, m_Entity.m_strNote, kx::kNoteTooLong);
    if (ok.Passed()) EndDialog(kx::IDOK);
}

int KX_ShowDlg_ProjectEdit(int newFlag, CkxProject& project) {
    return kx::ShowEntityDlg<CDlgProjectEdit>(newFlag, project);
}
