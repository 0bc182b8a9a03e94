#include "ui/CDlgQueryTempletEdit.h"

#include "model/CkxData.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "qt/KxReportList.h"
#include "ui/CDlgQueryCondition.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr const char* kNameEmpty = "查询模板名称不能为空";
constexpr const char* kNameTooLong = "查询模板名称长度不能超过50个字母";
constexpr const char* kNameTaken = "查询模板名称已经被使用，请重新命名";

// The checks both OK buttons run, in order.
bool TempletChecks(kx::Dialog& dlg, const CkxQueryTemplet& t) {
    kx::OkChecks ok(dlg);
    ok.NotEmpty(kx::IDC_EDT_NAME, t.m_strName, kNameEmpty)
        .AtMost(kx::IDC_EDT_NAME, t.m_strName, kNameTooLong)
        .AtMost(kx::IDC_EDT_NOTE, t.m_strRemark, kx::kNoteTooLong)
        .Require(KX_QueryTempletList().CanUseTheName(t.GetID(), t.m_strName) != 0, kx::IDC_EDT_NAME, kNameTaken);
    return ok.Passed();
}

std::string EditText(const kx::Dialog& dlg, int id) {
    const auto* edit = dlg.GetDlgItemAs<kx::Edit>(id);
    return edit ? edit->text().toStdString() : std::string();
}

} // namespace

// ---- CDlgQueryTempletEdit ----

CDlgQueryTempletEdit::CDlgQueryTempletEdit(QWidget* parent) : kx::EntityDlg<CkxQueryTemplet>(parent) {
    setWindowTitle(QStringLiteral("查询模板编辑"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("模板基本信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("模板名称"), kx::MakeEdit(this, kx::IDC_EDT_NAME));
    form->addRow(QStringLiteral("模板备注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    m_kind = new kx::ComboBox(box);
    SetDlgItemId(m_kind, IDC_COB_KIND);
    form->addRow(QStringLiteral("文件类型"), m_kind);
    layout->addWidget(box);
    m_editGroup = new QGroupBox(QStringLiteral("模板编辑"), this);
    SetDlgItemId(m_editGroup, IDC_GROUP_EDIT);
    new QVBoxLayout(m_editGroup);
    layout->addWidget(m_editGroup, 1);
    kx::AddOkCancel(this, layout);
    resize(560, 720);
}

CDlgQueryTempletEdit::~CDlgQueryTempletEdit() = default;

void CDlgQueryTempletEdit::MoveEditDlg() {
    if (!m_panel) return;
    if (m_editGroup->layout()->indexOf(m_panel) < 0) m_editGroup->layout()->addWidget(m_panel);
}

void CDlgQueryTempletEdit::OnInitDialog() {
    m_panel = new CDlgQueryCondition(m_editGroup);
    m_panel->EnableEdit(m_nEditable);
    m_panel->EnableFamily(m_nFamilyChoice);
    m_panel->Create(m_editGroup);
    MoveEditDlg();
    m_panel->show();

    m_bInit = true;
    for (int id : {kx::IDC_EDT_NAME, kx::IDC_EDT_NOTE})
        if (auto* edit = GetDlgItemAs<kx::Edit>(id)) edit->setReadOnly(m_nEditable == 0);
    for (int kind = 1; kind <= 5; ++kind) m_kind->AddString(kx::Q(KX_DataKindName(kind)), kind);
    if (!IsNew()) {
        GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NAME)->setText(kx::Q(m_Entity.m_strName));
        GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NOTE)->setText(kx::Q(m_Entity.m_strRemark));
        m_nDataMode = m_Entity.m_nDataMode;
        m_panel->SetQueryTemplet(&m_Entity);
    }
    m_kind->SelectData(m_nDataMode);
    m_kind->setEnabled(false);
    if (m_nEditable == 0) setWindowTitle(QStringLiteral("查看模板"));
    else setWindowTitle(IsNew() ? QStringLiteral("新建模板") : QStringLiteral("修改模板"));
    kx::EntityDlg<CkxQueryTemplet>::OnInitDialog();
}

void CDlgQueryTempletEdit::OnOK() {
    if (m_panel) {
        // The panel's template replaces the dialog's whole; the id stays the one being edited.
        const int id = m_Entity.m_nID;
        m_Entity = *m_panel->GetQueryTemplet();
        m_Entity.m_nID = id;
    }
    m_Entity.m_strName = EditText(*this, kx::IDC_EDT_NAME);
    m_Entity.m_strRemark = EditText(*this, kx::IDC_EDT_NOTE);
    m_Entity.m_nDataMode = static_cast<int32_t>(m_kind->GetCurSelData());
    if (TempletChecks(*this, m_Entity)) EndDialog(kx::IDOK);
}

int KX_ShowDlg_QueryTempletEdit(int newFlag, int editable, int familyChoice, CkxQueryTemplet& templet) {
    return kx::RunDlg<CDlgQueryTempletEdit>(
        [&](CDlgQueryTempletEdit& d) {
            d.m_nNew = newFlag;
            d.m_Entity = templet;
            d.EnableEdit(editable);
            d.EnableFamily(familyChoice);
        },
        [&](CDlgQueryTempletEdit& d) { templet = d.m_Entity; });
}

// ---- CDlgQueryTempletBase ----

CDlgQueryTempletBase::CDlgQueryTempletBase(QWidget* parent) : kx::EntityDlg<CkxQueryTemplet>(parent) {
    setWindowTitle(QStringLiteral("查询模板编辑"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("查询模板信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("模板名称"), kx::MakeEdit(this, kx::IDC_EDT_NAME));
    form->addRow(QStringLiteral("模板备注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
    resize(320, sizeHint().height());
}

void CDlgQueryTempletBase::OnOK() {
    m_Entity.m_strName = EditText(*this, kx::IDC_EDT_NAME);
    m_Entity.m_strRemark = EditText(*this, kx::IDC_EDT_NOTE);
    if (TempletChecks(*this, m_Entity)) EndDialog(kx::IDOK);
}

int KX_ShowDlg_QueryTempletBase(int /*unused*/, CkxQueryTemplet& templet) {
    return kx::RunDlg<CDlgQueryTempletBase>([](CDlgQueryTempletBase&) {},
                                            [&](CDlgQueryTempletBase& d) { templet = d.m_Entity; });
}

// ---- CDlgQueryTempletSelect ----

CDlgQueryTempletSelect::CDlgQueryTempletSelect(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择查询模板"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("查询模板列表"), this));
    m_list = kx::MakeReportList(this, IDC_LIST, {{"名称", 120}, {"文件类型", 60}, {"备注", 200}}, true);
    layout->addWidget(m_list, 1);
    kx::AddOkCancel(this, layout);
    resize(420, 320);
}

void CDlgQueryTempletSelect::AddTail(const CkxQueryTemplet* t) {
    if (!t) return;
    const int row = m_list->InsertItem(m_list->GetItemCount(), kx::Q(t->m_strName));
    m_list->SetItemText(row, 1, kx::Q(KX_DataKindName(t->m_nDataMode)));
    m_list->SetItemText(row, 2, kx::Q(t->m_strRemark));
    m_list->SetItemData(row, t->GetID());
}

void CDlgQueryTempletSelect::OnInitDialog() {
    KX_QueryTempletList().ForEach([&](const CkxQueryTemplet& t) { AddTail(&t); });
    kx::Dialog::OnInitDialog();
}

const CkxQueryTemplet* CDlgQueryTempletSelect::GetCurSel() {
    const int row = m_list->GetSelectedRow();
    if (row < 0) return nullptr;
    const CkxQueryTemplet* t = KX_QueryTempletList().Find(static_cast<int>(m_list->GetItemData(row)));
    if (t) m_nTempletID = t->GetID();
    return t;
}

void CDlgQueryTempletSelect::OnOK() {
    if (GetCurSel()) EndDialog(kx::IDOK);
}

int KX_ShowDlg_QueryTempletSelect(int& templetId) {
    return kx::RunDlg<CDlgQueryTempletSelect>([](CDlgQueryTempletSelect&) {},
                                              [&](CDlgQueryTempletSelect& d) { templetId = d.GetTempletID(); });
}
