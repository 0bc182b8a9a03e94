#include "ui/CDlgFamilyEdit.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "qt/KxPrompt.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

// ---- CDlgFamilyEdit ----

CDlgFamilyEdit::CDlgFamilyEdit(QWidget* parent) : kx::EntityDlg<CkxFamily>(parent) {
    setWindowTitle(QStringLiteral("族类编辑"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("族类信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("名  称"), kx::MakeEdit(this, kx::IDC_EDT_NAME));
    m_type = new kx::ComboBox(box);
    SetDlgItemId(m_type, IDC_COB_TYPE);
    form->addRow(QStringLiteral("类  型"), m_type);
    m_parent = new kx::ComboBox(box);
    SetDlgItemId(m_parent, IDC_COB_PARENT);
    form->addRow(QStringLiteral("父  族"), m_parent);
    form->addRow(QStringLiteral("备  注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
    resize(320, sizeHint().height());
}

int CDlgFamilyEdit::GetSelMode() const { return m_type->GetCurSel() < 0 ? 0 : static_cast<int>(m_type->GetCurSelData()); }

int CDlgFamilyEdit::GetSelParent() const {
    return m_parent->GetCurSel() < 0 ? -1 : static_cast<int>(m_parent->GetCurSelData());
}

void CDlgFamilyEdit::SelMode(int kind) { m_type->SelectData(kind); }

void CDlgFamilyEdit::SelParent(int parentId) { m_parent->SelectData(parentId); }

void CDlgFamilyEdit::OnInitDialog() {
    const struct {
        const char* text;
        int kind;
    } kinds[] = {{"文本", KXD_TEXT}, {"图像", KXD_IMAGE}, {"视频", KXD_VIDEO}, {"音频", KXD_AUDIO}, {"二进制", KXD_BINARY}};
    for (const auto& k : kinds) {
        const int at = m_type->AddString(QString::fromUtf8(k.text), k.kind);
        if (k.kind == KXD_IMAGE) m_type->SetCurSel(at);
    }
    // A family can never be its own ancestor: when modifying, neither the family nor anything
    // below it is offered as its parent.
    std::vector<int> excluded;
    const CkxFamilyXXX& reg = KX_FamilyXXX();
    if (!IsNew() && m_Entity.GetID() >= 0) {
        excluded.push_back(m_Entity.GetID());
        reg.family_GetOffspring(m_Entity.GetID(), excluded);
    }
    m_parent->AddString(QStringLiteral("--"), -1);
    for (POSITION p = reg.family_GetHeadPosition(); p;) {
        const CkxFamily* f = reg.family_GetNext(p);
        if (std::find(excluded.begin(), excluded.end(), f->GetID()) != excluded.end()) continue;
        m_parent->AddString(kx::Q(f->m_strName), f->GetID());
    }
    m_parent->SetCurSel(-1); // no parent chosen yet
    if (!IsNew()) {
        SelMode(m_Entity.m_nDataKind);
        SelParent(m_Entity.m_nParentID);
    }
    kx::EntityDlg<CkxFamily>::OnInitDialog();
}

void CDlgFamilyEdit::DoDataExchange(kx::DataExchange& dx) {
    if (!ExchangeRuns(dx)) return;
    kx::DDX_Text(dx, kx::IDC_EDT_NAME, m_Entity.m_strName);
    kx::DDX_Text(dx, kx::IDC_EDT_NOTE, m_Entity.m_strNote);
}

void CDlgFamilyEdit::OnOK() {
    if (!UpdateData(true)) return;
    m_Entity.SetDataKind(GetSelMode());
    m_Entity.m_nParentID = GetSelParent();
    kx::OkChecks ok(*this);
    ok.NotEmpty(kx::IDC_EDT_NAME, m_Entity.m_strName, kx::kNameEmpty)
        .AtMost(kx::IDC_EDT_NAME, m_Entity.m_strName, kx::kNameTooLong)
        .AtMost(kx::IDC_EDT_NOTE, m_Entity.m_strNote, kx::kNoteTooLong);
    if (ok.Passed()) EndDialog(kx::IDOK);
}

int KX_ShowDlg_FamilyEdit(int newFlag, CkxFamily& family) {
    return kx::ShowEntityDlg<CDlgFamilyEdit>(newFlag, family);
}

// ---- CDlgFamilyNodeAdd ----

CDlgFamilyNodeAdd::CDlgFamilyNodeAdd(QWidget* parent) : kx::EntityDlg<CkxFamily>(parent) {
    setWindowTitle(QStringLiteral("族类"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("族类信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("名  称"), kx::MakeEdit(this, kx::IDC_EDT_NAME));
    form->addRow(QStringLiteral("备  注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
    resize(300, sizeHint().height());
}

void CDlgFamilyNodeAdd::OnInitDialog() {
    setWindowTitle(IsNew() ? QStringLiteral("新建子族") : QStringLiteral("修改族类"));
    kx::EntityDlg<CkxFamily>::OnInitDialog();
}

void CDlgFamilyNodeAdd::DoDataExchange(kx::DataExchange& dx) {
    if (!ExchangeRuns(dx)) return;
    kx::DDX_Text(dx, kx::IDC_EDT_NAME, m_Entity.m_strName);
    kx::DDX_Text(dx, kx::IDC_EDT_NOTE, m_Entity.m_strNote);
}

void CDlgFamilyNodeAdd::OnOK() {
    if (!UpdateData(true)) return;
    kx::OkChecks ok(*this);
    ok.NotEmpty(kx::IDC_EDT_NAME, m_Entity.m_strName, "族类名称不能为空")
        .AtMost(kx::IDC_EDT_NAME, m_Entity.m_strName, "族类名称长度不能超过50个字母")
        .AtMost(kx::IDC_EDT_NOTE, m_Entity.m_strNote, kx::kNoteTooLong);
    if (!ok.Passed()) return;
    if (!KX_FamilyXXX().family_CanUseName(m_Entity.GetID(), m_Entity.m_strName)) {
        kx::Prompt(this, "族类名称已经被使用，请重新输入", kx::PromptOk, kx::PromptWarning);
        if (QWidget* name = GetDlgItem(kx::IDC_EDT_NAME)) {
            if (auto* edit = qobject_cast<kx::Edit*>(name)) edit->clear();
            name->setFocus();
        }
        return;
    }
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_FamilyNodeAdd(int newFlag, CkxFamily& family) {
    return kx::ShowEntityDlg<CDlgFamilyNodeAdd>(newFlag, family);
}
