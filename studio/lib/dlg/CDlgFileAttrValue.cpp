#include "dlg/CDlgFileAttrValue.h"

#include "dlg/FileInfoFields.h"

#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxDataExchange.h"
#include "qt/KxEdit.h"
#include "qt/KxImageList.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgFamilySelect.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CxTreeCtrl.h"
#include "ui/KxShowDlg.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

using fileinfo::DropDownCombo;

CDlgFileAttrValue::CDlgFileAttrValue(QWidget* parent) : kx::Dialog(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* base = new QGroupBox(QStringLiteral("基本属性:"), this);
    auto* grid = new QGridLayout(base);
    auto label = [&](const char* text, int row, int column) {
        grid->addWidget(new QLabel(QString::fromUtf8(text), base), row, column);
    };
    label("文件名称", 0, 0);
    m_name = kx::MakeEdit(this, IDC_EDT_NAME);
    grid->addWidget(m_name, 0, 1);
    label("创 作 者", 0, 2);
    auto* author = new DropDownCombo(base);
    author->onDropDown = [this] { OnDropdownAuthor(); };
    m_author = author;
    SetDlgItemId(m_author, IDC_CMB_AUTHOR);
    grid->addWidget(m_author, 0, 3);
    label("创作时间", 1, 0);
    m_time = new QDateTimeEdit(QDateTime::currentDateTime(), base);
    m_time->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    SetDlgItemId(m_time, IDC_DT_AUTH);
    grid->addWidget(m_time, 1, 1);
    label("创作地点", 1, 2);
    m_place = kx::MakeEdit(this, IDC_EDT_PLACE);
    grid->addWidget(m_place, 1, 3);
    label("备    注", 2, 0);
    m_note = kx::MakeEdit(this, IDC_EDT_NOTE);
    grid->addWidget(m_note, 2, 1, 1, 3);
    m_useFormat = new QCheckBox(QStringLiteral("指定文件格式"), base);
    SetDlgItemId(m_useFormat, IDC_CHK_FORMAT);
    grid->addWidget(m_useFormat, 3, 0);
    // The extension shows what the file has; a format chosen with 1021 gives it a new one.
    m_ext = kx::MakeEdit(this, IDC_EDT_EXT, 0);
    m_ext->setReadOnly(true);
    grid->addWidget(m_ext, 3, 1);
    label("默认文件格式", 3, 2);
    m_format = new kx::ComboBox(base);
    SetDlgItemId(m_format, IDC_CMB_FORMAT);
    grid->addWidget(m_format, 3, 3);
    label("文件族类", 4, 0);
    auto* familyRow = new QHBoxLayout;
    m_family = kx::MakeEdit(this, IDC_EDT_FAMILY, 0);
    m_family->setReadOnly(true);
    familyRow->addWidget(m_family, 1);
    m_pickFamily = new QPushButton(QStringLiteral("..."), base);
    SetDlgItemId(m_pickFamily, IDC_BTN_FAMILY);
    m_pickFamily->setAutoDefault(false);
    m_pickFamily->setFixedWidth(32);
    familyRow->addWidget(m_pickFamily);
    grid->addLayout(familyRow, 4, 1, 1, 3);
    layout->addWidget(base);

    auto* middle = new QHBoxLayout;
    auto* folders = new QGroupBox(QStringLiteral("选择图像文件存储目录"), this);
    auto* folderLayout = new QVBoxLayout(folders);
    m_tree = new CxTreeCtrl(folders);
    SetDlgItemId(m_tree, IDC_TREE_DIR);
    folderLayout->addWidget(m_tree);
    middle->addWidget(folders, 2);
    auto* rights = new QGroupBox(QStringLiteral("权限设置"), this);
    auto* rightsLayout = new QVBoxLayout(rights);
    auto* inherit = new QCheckBox(QStringLiteral("继承父目录权限设置"), rights);
    SetDlgItemId(inherit, IDC_CHK_INHERIT);
    rightsLayout->addWidget(inherit);
    auto* power = new QPushButton(QStringLiteral("权限设置"), rights);
    SetDlgItemId(power, IDC_BTN_POWER);
    power->setAutoDefault(false);
    rightsLayout->addWidget(power);
    rightsLayout->addStretch(1);
    middle->addWidget(rights, 1);
    layout->addLayout(middle, 1);

    auto* attrs = new QGroupBox(QStringLiteral("扩展属性"), this);
    auto* attrLayout = new QVBoxLayout(attrs);
    m_grid = new CkxwAttrValueListCtrl(attrs);
    SetDlgItemId(m_grid, IDC_LIST_ATTR);
    attrLayout->addWidget(m_grid);
    layout->addWidget(attrs, 1);

    connect(m_pickFamily, &QPushButton::clicked, this, [this] { OnBtnFamily(); });
    connect(m_useFormat, &QCheckBox::clicked, this, [this] { OnChkFormat(); });
}

CDlgFileAttrValue::~CDlgFileAttrValue() = default;

void CDlgFileAttrValue::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    m_bInit = true;
    ApplyEditable();
    FillFolders();
    FillAuthors();
    FillFormats();
    // 1022 starts as 1021 does: clear, so the format list waits for the box.
    m_useFormat->setChecked(false);
    OnChkFormat();
    if (!m_nHasFile) m_file = CkxFileImage();
    ShowFile();
    FillAttrs();
}

void CDlgFileAttrValue::ApplyEditable() {
    const bool editable = m_nEditable != 0;
    for (kx::Edit* e : {m_name, m_place, m_note}) e->setReadOnly(!editable);
    for (QWidget* w : std::initializer_list<QWidget*>{m_useFormat, m_author, m_time, m_tree, m_grid, m_pickFamily})
        w->setEnabled(editable);
    if (!editable) m_format->setEnabled(false);
}

void CDlgFileAttrValue::FillFolders() { fileinfo::FillFolderTree(m_tree); }

void CDlgFileAttrValue::FillAuthors() { fileinfo::FillAuthors(m_author); }

void CDlgFileAttrValue::FillFormats() { fileinfo::FillFormats(m_format); }

void CDlgFileAttrValue::ShowFile() {
    m_name->setText(QString::fromStdString(m_file.m_strTitle));
    m_ext->setText(QString::fromStdString(m_file.m_strExName));
    m_format->SelectData(m_file.m_nEncFormat);
    m_tree->SelectItem(nullptr);
    if (m_nHasFile) {
        m_nFamilyID = m_file.m_nFamilyID;
        m_family->setText(QString::fromStdString(KX_FamilyXXX().family_GetName(m_nFamilyID)));
        m_place->setText(QString::fromStdString(m_file.m_strAuthAddr));
        m_note->setText(QString::fromStdString(m_file.m_strRemark));
        kx::DataExchange show(this, false);
        kx::DDX_DateTime(show, IDC_DT_AUTH, m_file.m_dtAuth);
        if (!m_author->SelectData(m_file.m_nAuthorID)) m_author->SetCurSel(0);
        m_tree->SelectNode(m_file.m_nLocDirID);
    } else {
        const CkxFamily* image = KX_FamilyXXX().family_GetBaseImage();
        m_nFamilyID = image ? image->GetID() : KXF_ROOT_IMAGE;
        m_family->setText(QString::fromStdString(KX_FamilyXXX().family_GetName(m_nFamilyID)));
        m_author->SetCurSel(0);
    }
}

void CDlgFileAttrValue::FillAttrs() {
    fileinfo::FillFamilyAttrs(m_grid, m_attrs, m_nFamilyID, m_nHasFile ? &m_file.m_ExAttrValueList : nullptr);
}

void CDlgFileAttrValue::SetFile(const CkxFileImage& file) {
    m_file = file;
    m_nHasFile = 1;
    if (!m_bInit) return; // OnInitDialog shows it
    ShowFile();
    FillAttrs();
}

void CDlgFileAttrValue::OnBtnFamily() {
    if (!m_nEditable) return;
    int family = -1;
    if (!KX_ShowDlg_FamilySelect(family)) return;
    m_nFamilyID = family;
    m_family->setText(QString::fromStdString(KX_FamilyXXX().family_GetName(family)));
    FillAttrs();
}

void CDlgFileAttrValue::OnChkFormat() { m_format->setEnabled(m_nEditable && m_useFormat->isChecked()); }

void CDlgFileAttrValue::OnDropdownAuthor() {
    const int previous = static_cast<int>(m_author->GetCurSel());
    FillAuthors();
    m_author->SetCurSel(previous < 0 ? 0 : std::min(previous, m_author->count() - 1));
}

int CDlgFileAttrValue::Save() {
    const std::string name = m_name->text().toStdString();
    if (name.empty()) {
        kx::Prompt(this, kx::kNameEmpty, kx::PromptOk, kx::PromptWarning);
        m_name->setFocus();
        return 0;
    }
    m_grid->CommitEdit();
    m_file.m_nFamilyID = m_nFamilyID;
    // Without a selected folder the file keeps its own: folder 0 would name no folder at all.
    if (m_tree->GetSelectedItem()) m_file.m_nLocDirID = static_cast<int>(m_tree->GetCurSelItemData());
    m_file.m_strTitle = name;
    m_file.m_strAuthAddr = m_place->text().toStdString();
    kx::DataExchange read(this, true);
    kx::DDX_DateTime(read, IDC_DT_AUTH, m_file.m_dtAuth);
    m_file.m_nAuthorID = static_cast<int>(m_author->GetCurSelData());
    m_file.m_strRemark = m_note->text().toStdString();
    const int me = KX_KXXXX().GetCurUser();
    m_file.m_nWriterID = me;
    m_file.m_nEditorID = me;
    const CkxImageTool& tool = KX_KXXXX().m_ImageTool;
    if (m_useFormat->isChecked() && m_format->GetCurSel() >= 0) {
        m_file.m_nEncFormat = static_cast<int>(m_format->GetCurSelData());
        m_file.m_strExName = tool.Get_ExName_kxID(m_file.m_nEncFormat);
        m_ext->setText(QString::fromStdString(m_file.m_strExName));
    } else {
        m_file.m_nEncFormat = tool.Get_kxID(m_file.m_strExName);
    }
    CkxAttrValueList values;
    m_grid->GetAttrValueList(values);
    values.SetObjID(m_file.GetID());
    m_file.SetExAttrValue(values);
    return 1;
}
