#include "dlg/CDlgFileTempletEdit.h"

#include "dlg/CDlgFileAttrValue.h"

#include "model/CkxData.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "ui/KxShowDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

CDlgFileTempletEdit::CDlgFileTempletEdit(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("文件模板编辑"));
    auto* layout = new QVBoxLayout(this);
    auto* info = new QGroupBox(QStringLiteral("模板基本信息"), this);
    auto* grid = new QGridLayout(info);
    grid->addWidget(new QLabel(QStringLiteral("名    称"), info), 0, 0);
    m_name = kx::MakeEdit(this, IDC_EDT_NAME);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("文件类型"), info), 0, 2);
    m_kind = new kx::ComboBox(info);
    SetDlgItemId(m_kind, IDC_CMB_KIND);
    grid->addWidget(m_kind, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("备    注"), info), 1, 0);
    m_note = kx::MakeEdit(this, IDC_EDT_NOTE);
    grid->addWidget(m_note, 1, 1, 1, 3);
    layout->addWidget(info);
    m_frame = new QGroupBox(QStringLiteral("模板编辑"), this);
    SetDlgItemId(m_frame, IDC_FRAME);
    new QVBoxLayout(m_frame);
    layout->addWidget(m_frame, 1);
    kx::AddOkCancel(this, layout);
    resize(640, 640);
}

CDlgFileTempletEdit::~CDlgFileTempletEdit() = default;

void CDlgFileTempletEdit::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    if (!m_panel) {
        // The panel takes the dialog's flags before it fills itself.
        m_panel = new CDlgFileAttrValue;
        m_panel->SetHasFile(m_nNew ? 0 : 1);
        m_panel->SetEditable(m_nEditable);
        m_panel->Create(m_frame);
        m_frame->layout()->addWidget(m_panel);
    }
    const bool editable = m_nEditable != 0;
    m_name->setReadOnly(!editable);
    m_note->setReadOnly(!editable);
    m_kind->ResetContent();
    for (int kind = KXD_BINARY; kind <= KXD_AUDIO; ++kind)
        m_kind->AddString(QString::fromStdString(CkxDataMode(kind).GetDataModeName()), kind);
    // The kind follows the template; it is never chosen here.
    m_kind->setEnabled(false);
    if (!m_nNew) {
        m_nDataKind = m_Templet.m_nDataMode;
        m_name->setText(QString::fromStdString(m_Templet.m_strName));
        m_note->setText(QString::fromStdString(m_Templet.m_strRemark));
        m_panel->SetFile(m_Templet.m_AttrSet);
    }
    if (!m_kind->SelectData(m_nDataKind)) m_kind->SetCurSel(-1);
}

void CDlgFileTempletEdit::OnOK() {
    // Viewing changes nothing: the panel would stamp the viewer as writer and editor.
    if (!m_nEditable) {
        EndDialog(kx::IDOK);
        return;
    }
    if (!m_panel || !m_panel->Save()) return;
    CkxObjAttrTemplet edited = m_Templet;
    edited.m_AttrSet = m_panel->GetFile();
    edited.m_strName = m_name->text().toStdString();
    edited.m_strRemark = m_note->text().toStdString();
    edited.m_nDataMode = m_kind->GetCurSel() >= 0 ? static_cast<int>(m_kind->GetCurSelData()) : m_nDataKind;
    kx::OkChecks ok(*this);
    ok.NotEmpty(IDC_EDT_NAME, edited.m_strName, kx::kNameEmpty)
        .AtMost(IDC_EDT_NAME, edited.m_strName, kx::kNameTooLong)
        .AtMost(IDC_EDT_NOTE, edited.m_strRemark, kx::kNoteTooLong);
    if (!ok.Passed()) return;
    m_Templet = edited;
    EndDialog(kx::IDOK);
}
