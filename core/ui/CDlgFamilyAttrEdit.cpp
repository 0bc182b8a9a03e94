#include "ui/CDlgFamilyAttrEdit.h"

#include "model/CkxConst.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "ui/CkxwConstEditCtrl.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

CDlgFamilyAttrEdit::CDlgFamilyAttrEdit(QWidget* parent) : kx::EntityDlg<CkxAttr>(parent) {
    setWindowTitle(QStringLiteral("族类属性"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("基本信息"), this);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("属性名称"), kx::MakeEdit(this, kx::IDC_EDT_NAME));
    m_format = new kx::ComboBox(box);
    SetDlgItemId(m_format, IDC_COB_FORMAT);
    form->addRow(QStringLiteral("数据类型"), m_format);
    m_way = new kx::ComboBox(box);
    SetDlgItemId(m_way, IDC_COB_WAY);
    form->addRow(QStringLiteral("编辑方式"), m_way);
    form->addRow(QStringLiteral("备    注"), kx::MakeEdit(this, kx::IDC_EDT_NOTE));
    layout->addWidget(box);

    layout->addWidget(new QLabel(QStringLiteral("常量列表框"), this));
    auto* constRow = new QHBoxLayout;
    m_consts = new CkxwConstEditCtrl(this);
    SetDlgItemId(m_consts, IDC_LIST_CONST);
    constRow->addWidget(m_consts, 1);
    auto* buttons = new QVBoxLayout;
    const struct {
        const char* text;
        int id;
        void (CDlgFamilyAttrEdit::*handler)();
    } actions[] = {{"添加", IDC_BTN_ADD, &CDlgFamilyAttrEdit::OnBtnAddConst},
                   {"删除", IDC_BTN_DEL, &CDlgFamilyAttrEdit::OnBtnDelConst},
                   {"清空", IDC_BTN_CLEAR, &CDlgFamilyAttrEdit::OnBtnClearConst},
                   {"↑", IDC_BTN_UP, &CDlgFamilyAttrEdit::OnBtnMoveUp},
                   {"↓", IDC_BTN_DOWN, &CDlgFamilyAttrEdit::OnBtnMoveDown}};
    for (const auto& a : actions) {
        auto* button = new QPushButton(QString::fromUtf8(a.text), this);
        SetDlgItemId(button, a.id);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, h = a.handler] { (this->*h)(); });
        buttons->addWidget(button);
        m_constButtons.push_back(button);
    }
    buttons->addStretch(1);
    constRow->addLayout(buttons);
    layout->addLayout(constRow, 1);
    kx::AddOkCancel(this, layout);

    connect(m_format, qOverload<int>(&QComboBox::activated), this, [this] { OnSelchangeCobFormat(); });
    connect(m_way, qOverload<int>(&QComboBox::activated), this, [this] { OnSelchangeCOBWay(); });
    // A double click on the list's empty area (no row selected) adds a row.
    m_consts->viewport()->installEventFilter(this);
    resize(380, 460);
}

std::string CDlgFamilyAttrEdit::DataTypeText(int type) {
    if (type == KXT_NONE) return "空";
    CkxAttr a;
    a.m_nDataType = static_cast<uint8_t>(type);
    return a.GetDataTypeStr();
}

std::string CDlgFamilyAttrEdit::EditWayText(int way) {
    CkxAttr a;
    a.m_nEditWay = static_cast<uint8_t>(way);
    return a.GetEditWayStr();
}

std::vector<int> CDlgFamilyAttrEdit::WaysFor(int type) {
    switch (type) {
    case KXT_INT:
    case KXT_FLOAT:
    case KXT_STR: return {KXE_EDIT, KXE_COMBO};
    case KXT_DATE: return {KXE_TIME, KXE_COMBO};
    default: return {};
    }
}

void CDlgFamilyAttrEdit::OnInitDialog() {
    m_consts->Init();
    for (int type : {KXT_INT, KXT_FLOAT, KXT_DATE, KXT_STR}) m_format->AddString(kx::Q(DataTypeText(type)), type);
    m_format->SetCurSel(0);
    OnSelchangeCobFormat();
    EnableConstEdit(0);
    if (!IsNew()) SetEditData(m_Entity);
    kx::EntityDlg<CkxAttr>::OnInitDialog();
}

void CDlgFamilyAttrEdit::EnableConstEdit(int enable) {
    m_consts->setEnabled(enable != 0);
    for (QPushButton* b : m_constButtons) b->setEnabled(enable != 0);
}

void CDlgFamilyAttrEdit::OnSelchangeCobFormat() {
    const int type = m_format->GetCurSel() < 0 ? 0 : static_cast<int>(m_format->GetCurSelData());
    m_consts->SetConstType(type);
    m_way->ResetContent();
    for (int way : WaysFor(type)) m_way->AddString(kx::Q(EditWayText(way)), way);
    m_way->SetCurSel(m_way->count() > 0 ? 0 : -1);
    OnSelchangeCOBWay();
}

void CDlgFamilyAttrEdit::OnSelchangeCOBWay() {
    const int way = m_way->GetCurSel() < 0 ? -1 : static_cast<int>(m_way->GetCurSelData());
    EnableConstEdit(way == KXE_COMBO ? 1 : 0);
}

void CDlgFamilyAttrEdit::SetEditData(const CkxAttr& attr) {
    if (auto* name = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NAME)) name->setText(kx::Q(attr.m_strName));
    if (auto* note = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NOTE)) note->setText(kx::Q(attr.m_strNote));
    m_format->SelectData(attr.m_nDataType);
    OnSelchangeCobFormat();
    m_way->SelectData(attr.m_nEditWay);
    OnSelchangeCOBWay();
    m_consts->cstAdd(attr.m_Consts);
}

void CDlgFamilyAttrEdit::GetEditData(CkxAttr& attr) const {
    if (auto* name = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NAME)) attr.m_strName = name->text().toStdString();
    if (auto* note = GetDlgItemAs<kx::Edit>(kx::IDC_EDT_NOTE)) attr.m_strNote = note->text().toStdString();
    attr.m_nDataType = static_cast<uint8_t>(m_format->GetCurSel() < 0 ? 0 : m_format->GetCurSelData());
    attr.m_nEditWay = static_cast<uint8_t>(m_way->GetCurSel() < 0 ? 0 : m_way->GetCurSelData());
    // The constants stay with the attribute whatever the way, as entered.
    m_consts->cstGetAll(attr.m_Consts);
}

void CDlgFamilyAttrEdit::OnBtnAddConst() { m_consts->cstAddVoid(); }

void CDlgFamilyAttrEdit::OnBtnDelConst() { m_consts->DeleteCurSelItem(); }

void CDlgFamilyAttrEdit::OnBtnClearConst() { m_consts->DeleteAllItems(); }

void CDlgFamilyAttrEdit::OnBtnMoveUp() { m_consts->cstMoveUp(); }

void CDlgFamilyAttrEdit::OnBtnMoveDown() { m_consts->cstMoveDown(); }

bool CDlgFamilyAttrEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_consts->viewport() && event->type() == QEvent::MouseButtonDblClick && m_consts->isEnabled()) {
        const bool onRow = m_consts->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()) != nullptr;
        if (!onRow) {
            OnDblclkListConst();
            return true;
        }
    }
    return kx::EntityDlg<CkxAttr>::eventFilter(watched, event);
}

void CDlgFamilyAttrEdit::OnDblclkListConst() {
    if (m_consts->GetSelectCount() == 0) m_consts->cstAddVoid();
}

void CDlgFamilyAttrEdit::OnOK() {
    m_consts->CommitEdit();
    GetEditData(m_Entity);
    kx::OkChecks ok(*this);
    ok.NotEmpty(kx::IDC_EDT_NAME, m_Entity.m_strName, "属性名称不能为空")
        .AtMost(kx::IDC_EDT_NAME, m_Entity.m_strName, "属性名称长度不能超过50个字母")
        .AtMost(kx::IDC_EDT_NOTE, m_Entity.m_strNote, kx::kNoteTooLong);
    if (ok.Passed()) EndDialog(kx::IDOK);
}

int KX_ShowDlg_FamilyAttrEdit(int newFlag, CkxAttr& attr) {
    return kx::ShowEntityDlg<CDlgFamilyAttrEdit>(newFlag, attr);
}
