#include "ui/CDlgPersonEdit.h"

#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kRelationCount = 7; // codes 0 to 6
constexpr int kTitleCount = 9;    // codes 0 to 8
} // namespace

CDlgPersonEdit::CDlgPersonEdit(QWidget* parent) : kx::EntityDlg<CkxPerson>(parent) {
    setWindowTitle(QStringLiteral("人员编辑"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("人员信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("名    称"), kx::MakeEdit(this, kx::IDC_EDT_NAME, kx::kPersonTypedLimit));
    relation_ = new kx::ComboBox(this);
    SetDlgItemId(relation_, IDC_CMB_RELATION);
    form->addRow(QStringLiteral("业务关系"), relation_);
    title_ = new kx::ComboBox(this);
    SetDlgItemId(title_, IDC_CMB_TITLE);
    form->addRow(QStringLiteral("头    衔"), title_);
    form->addRow(QStringLiteral("备    注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE, kx::kPersonTypedLimit));
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
    resize(320, sizeHint().height());
}

void CDlgPersonEdit::OnInitDialog() {
    relation_->ResetContent();
    for (int code = 0; code < kRelationCount; ++code)
        relation_->AddString(kx::Q(CkxPerson::GetRelationName(code)), code);
    title_->ResetContent();
    for (int code = 0; code < kTitleCount; ++code)
        title_->AddString(kx::Q(CkxPerson::GetProfessionName(code)), code);
    relation_->SetCurSel(0); // "其它"
    title_->SetCurSel(0);
    kx::SetOkTextByNewFlag(this, m_nNew);
    kx::EntityDlg<CkxPerson>::OnInitDialog();
}

void CDlgPersonEdit::DoDataExchange(kx::DataExchange& dx) {
    if (!ExchangeRuns(dx)) return;
    kx::DDX_Text(dx, kx::IDC_EDT_NAME, m_Entity.m_strName);
    kx::DDX_Text(dx, kx::IDC_EDT_NOTE, m_Entity.m_strNote);
    if (dx.Saving()) {
        // Relation and title are the selected positions, which equal the codes.
        m_Entity.m_nRelation = static_cast<uint8_t>(std::max(relation_->GetCurSel(), 0));
        m_Entity.m_nProfession = static_cast<uint8_t>(std::max(title_->GetCurSel(), 0));
    } else {
        relation_->SelectData(m_Entity.m_nRelation);
        title_->SelectData(m_Entity.m_nProfession);
    }
}

void CDlgPersonEdit::OnOK() {
    if (!UpdateData(true)) return;
    kx::OkChecks ok(*this);
    ok.NotEmpty(kx::IDC_EDT_NAME, m_Entity.m_strName, kx::kNameEmpty)
        .AtMost(kx::IDC_EDT_NAME, m_Entity.m_strName, kx::kNameTooLong)
        .AtMost(kx::IDC_EDT_NOTE, m_Entity.m_strNote, kx::kNoteTooLong);
    if (ok.Passed()) EndDialog(kx::IDOK);
}

int KX_ShowDlg_PersonEdit(int newFlag, CkxPerson& person) {
    return kx::ShowEntityDlg<CDlgPersonEdit>(newFlag, person);
}
