#include "dlg/CDlgFileInfo.h"

#include "dlg/FileInfoFields.h"

#include "model/CkxAttrValue.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "ui/CDlgFamilySelect.h"
#include "ui/CkxwAttrValueListCtrl.h"
#include "ui/CxTreeCtrl.h"
#include "ui/KxShowDlg.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kCaptions[4] = {"保存文件", "修改文件信息", "上载到服务器", "另存到服务器"};

std::string Replace(const char* format, const std::string& arg) {
    std::string out = format;
    const size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, arg);
    return out;
}

QDate ToQDate(const COleDateTime& m) {
    if (static_cast<DATE>(m) == 0) return QDate::currentDate();
    return QDate(m.GetYear(), m.GetMonth(), m.GetDay());
}

} // namespace

CDlgFileInfo::CDlgFileInfo(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QString::fromUtf8(kCaptions[0]));
    m_File.m_dtAuth = COleDateTime::GetCurrentTime();
    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = m_left = new QVBoxLayout;

    m_base = new QGroupBox(QStringLiteral("基本属性:"), this);
    SetDlgItemId(m_base, IDC_GRP_BASE);
    m_baseGrid = new QGridLayout(m_base);
    auto label = [&](const char* text, int id, int row, int column) {
        auto* l = new QLabel(QString::fromUtf8(text), m_base);
        SetDlgItemId(l, id);
        m_baseGrid->addWidget(l, row, column);
        return l;
    };
    label("文件名称", 1290, 0, 0);
    m_name = kx::MakeEdit(this, IDC_EDT_NAME);
    m_familyLabel = label("文件族类", IDC_LBL_FAMILY, 0, 2);
    m_family = kx::MakeEdit(this, IDC_EDT_FAMILY, 0);
    m_family->setReadOnly(true);
    m_baseGrid->addWidget(m_family, 0, 3);
    m_pickFamily = new QPushButton(QStringLiteral("..."), m_base);
    SetDlgItemId(m_pickFamily, IDC_BTN_FAMILY);
    m_pickFamily->setAutoDefault(false);
    m_pickFamily->setFixedWidth(32);
    m_baseGrid->addWidget(m_pickFamily, 0, 4);
    label("默认文件格式", 1308, 1, 0);
    m_ext = kx::MakeEdit(this, IDC_EDT_EXT, 0);
    m_ext->setReadOnly(true);
    m_baseGrid->addWidget(m_ext, 1, 1);
    m_useFormat = new QCheckBox(QStringLiteral("指定文件格式"), m_base);
    SetDlgItemId(m_useFormat, IDC_CHK_FORMAT);
    m_baseGrid->addWidget(m_useFormat, 1, 2);
    m_format = new kx::ComboBox(m_base);
    SetDlgItemId(m_format, IDC_CMB_FORMAT);
    m_baseGrid->addWidget(m_format, 1, 3, 1, 2);
    label("创 作 者", 1292, 2, 0);
    auto* author = new fileinfo::DropDownCombo(m_base);
    author->onDropDown = [this] { OnDropdownAuthor(); };
    m_author = author;
    SetDlgItemId(m_author, IDC_CMB_AUTHOR);
    m_baseGrid->addWidget(m_author, 2, 1);
    label("创作时间", 1311, 2, 2);
    m_date = new QDateEdit(QDate::currentDate(), m_base);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setCalendarPopup(true);
    SetDlgItemId(m_date, IDC_DT_AUTH);
    m_baseGrid->addWidget(m_date, 2, 3, 1, 2);
    label("创作地点", 1309, 3, 0);
    m_place = kx::MakeEdit(this, IDC_EDT_PLACE);
    m_baseGrid->addWidget(m_place, 3, 1, 1, 4);
    label("备    注", 1310, 4, 0);
    m_note = kx::MakeEdit(this, IDC_EDT_NOTE);
    m_baseGrid->addWidget(m_note, 4, 1, 1, 4);
    m_baseGrid->setRowStretch(5, 1);
    left->addWidget(m_base);

    m_attrGroup = new QGroupBox(QStringLiteral("扩展属性"), this);
    SetDlgItemId(m_attrGroup, IDC_GRP_ATTR);
    auto* attrLayout = new QVBoxLayout(m_attrGroup);
    m_grid = new CkxwAttrValueListCtrl(m_attrGroup);
    SetDlgItemId(m_grid, IDC_LIST_ATTR);
    m_grid->Init();
    attrLayout->addWidget(m_grid);
    left->addWidget(m_attrGroup, 1);
    columns->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    auto* folderLabel = new QLabel(QStringLiteral("存储目录"), this);
    SetDlgItemId(folderLabel, 1312);
    right->addWidget(folderLabel);
    m_tree = new CxTreeCtrl(this);
    SetDlgItemId(m_tree, IDC_TREE_DIR);
    right->addWidget(m_tree, 1);
    columns->addLayout(right, 1);
    outer->addLayout(columns, 1);
    kx::AddOkCancel(this, outer);

    connect(m_pickFamily, &QPushButton::clicked, this, [this] { OnBtnFamily(); });
    connect(m_useFormat, &QCheckBox::clicked, this, [this] { OnChkFormat(); });
    resize(720, 440);
}

CDlgFileInfo::~CDlgFileInfo() = default;

void CDlgFileInfo::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    fileinfo::FillAuthors(m_author);
    m_author->SetCurSel(0);
    fileinfo::FillFolderTree(m_tree);
    fileinfo::FillFormats(m_format);
    if (!m_format->SelectData(m_File.m_nEncFormat)) m_format->SetCurSel(-1);
    m_useFormat->setChecked(false);
    m_format->setEnabled(false);

    m_name->setText(QString::fromStdString(m_File.m_strTitle));
    m_ext->setText(QString::fromStdString(m_File.m_strExName));
    const CkxFamilyXXX& families = KX_FamilyXXX();
    if (m_nFileGiven) {
        m_nFamilyID = m_File.m_nFamilyID;
        m_family->setText(QString::fromStdString(families.family_GetName(m_nFamilyID)));
        m_place->setText(QString::fromStdString(m_File.m_strAuthAddr));
        m_note->setText(QString::fromStdString(m_File.m_strRemark));
        m_date->setDate(ToQDate(m_File.m_dtAuth));
        m_author->SelectData(m_File.m_nAuthorID);
        m_tree->SelectNode(m_File.m_nLocDirID);
    } else {
        if (m_nFamilyPart) {
            m_nFamilyID = KXF_ROOT_IMAGE;
            m_family->setText(QString::fromStdString(families.family_GetName(m_nFamilyID)));
        }
        m_tree->SelectNode(-1);
    }
    FillAttrs();
    setWindowTitle(QString::fromUtf8(kCaptions[m_nMode >= MODE_MODIFY && m_nMode <= MODE_SAVE_TO_SERVER ? m_nMode : 0]));
    m_useFormat->setEnabled(m_nMode != MODE_MODIFY);
    ApplyFamilyPart();
}

void CDlgFileInfo::ApplyFamilyPart() {
    const bool on = m_nFamilyPart != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{m_familyLabel, m_family, m_pickFamily, m_attrGroup, m_grid})
        w->setVisible(on);
    // Without the family part the name takes the family's place on its row and the base group
    // takes the attribute group's height.
    m_baseGrid->removeWidget(m_name);
    m_baseGrid->addWidget(m_name, 0, 1, 1, on ? 1 : 4);
    m_left->setStretchFactor(m_base, on ? 0 : 1);
}

void CDlgFileInfo::FillAttrs() {
    if (!m_nFamilyPart) return;
    fileinfo::FillFamilyAttrs(m_grid, m_attrs, m_nFamilyID, m_nFileGiven ? &m_File.m_ExAttrValueList : nullptr);
}

void CDlgFileInfo::OnChkFormat() { m_format->setEnabled(m_useFormat->isChecked()); }

void CDlgFileInfo::OnDropdownAuthor() {
    const auto previous = m_author->GetCurSelData();
    fileinfo::FillAuthors(m_author);
    if (!m_author->SelectData(previous)) m_author->SetCurSel(0);
}

void CDlgFileInfo::OnBtnFamily() {
    int family = m_nFamilyID;
    if (!KX_ShowDlg_FamilySelect(family)) return;
    m_nFamilyID = family;
    m_family->setText(QString::fromStdString(KX_FamilyXXX().family_GetName(family)));
    FillAttrs();
}

void CDlgFileInfo::OnOK() {
    const std::string name = m_name->text().toStdString();
    const std::string place = m_place->text().toStdString();
    const std::string note = m_note->text().toStdString();
    // The record holds title char[45] and place and note char[50]: longer texts are refused
    // here instead of being cut on the wire.
    kx::OkChecks ok(*this);
    ok.NotEmpty(IDC_EDT_NAME, name, kx::kNameEmpty)
        .AtMost(IDC_EDT_NAME, name, kx::kNameTooLong, kNameLimit)
        .AtMost(IDC_EDT_PLACE, place, kPlaceTooLong, kTextLimit)
        .AtMost(IDC_EDT_NOTE, note, kx::kNoteTooLong, kTextLimit);
    if (!ok.Passed()) return;

    CkxFileImage edited = m_File;
    // With the family part off the file keeps its family (and below its values): a modify
    // request writes what it carries.
    if (m_nFamilyPart) edited.m_nFamilyID = m_nFamilyID;
    edited.m_strTitle = name;
    edited.m_strAuthAddr = place;
    const QDate day = m_date->date();
    edited.m_dtAuth = COleDateTime(day.year(), day.month(), day.day(), 0, 0, 0);
    edited.m_nAuthorID = m_author->GetCurSel() >= 0 ? static_cast<int>(m_author->GetCurSelData()) : -1;

    edited.m_nLocDirID = -1;
    if (HTREEITEM item = m_tree->GetSelectedItem()) {
        const int folder = static_cast<int>(m_tree->GetItemData(item));
        const std::string folderName = m_tree->GetItemText(item).toStdString();
        const std::string message = Replace(kNoCreateRight, folderName);
        ok.Require(KX_KXXXX().fsUserCan_File_Create(KX_KXXXX().GetCurUser(), folder) != 0, IDC_TREE_DIR,
                   message.c_str());
        if (!ok.Passed()) return;
        edited.m_nLocDirID = folder;
    }
    edited.m_strRemark = note;

    const CkxImageTool& tool = KX_KXXXX().m_ImageTool;
    if (m_useFormat->isChecked() && m_format->GetCurSel() >= 0) {
        edited.m_nEncFormat = static_cast<int>(m_format->GetCurSelData());
        edited.m_strExName = tool.Get_ExName_kxID(edited.m_nEncFormat);
    } else {
        edited.m_nEncFormat = tool.Get_kxID(edited.m_strExName);
    }
    if (m_nFamilyPart) {
        m_grid->CommitEdit();
        CkxAttrValueList values;
        m_grid->GetAttrValueList(values);
        values.SetObjID(edited.GetID());
        edited.SetExAttrValue(values);
    }
    m_File = edited;
    EndDialog(kx::IDOK);
}
