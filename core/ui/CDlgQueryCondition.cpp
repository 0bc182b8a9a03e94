#include "ui/CDlgQueryCondition.h"

#include "image/CkxImageTool.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "qt/KxImageList.h"
#include "ui/CDlgFamilySelect.h"
#include "ui/CDlgTextMatch.h"
#include "ui/CkxAttrListCtrl.h"
#include "ui/CxTreeCtrl.h"
#include "ui/KxShowDlg.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int kFolderBitmap = 193;
constexpr int kImageRootFamily = KXF_ROOT_IMAGE;
constexpr int kShownConditionRows = 4;

QDate DateOf(double dt) {
    const COleDateTime d(dt);
    return QDate(d.GetYear(), d.GetMonth(), d.GetDay());
}

double DayStart(const QDate& d) { return COleDateTime(d.year(), d.month(), d.day(), 0, 0, 0).m_dt; }
double DayEnd(const QDate& d) { return COleDateTime(d.year(), d.month(), d.day(), 23, 59, 59).m_dt; }

std::string FamilyName(int id) {
    const CkxFamily* f = KX_FamilyXXX().family_Find(id);
    return f ? f->m_strName : std::string();
}

} // namespace

CDlgQueryCondition::CDlgQueryCondition(QWidget* parent) : kx::Dialog(parent) {
    m_Templet.m_Fix.nFamilyID = kImageRootFamily;
    auto* layout = new QVBoxLayout(this);
    auto* basic = new QGroupBox(QStringLiteral("基本参数"), this);
    auto* form = new QGridLayout(basic);
    int line = 0;

    // Family: all, or the one named, with its scope.
    m_familyRow = new QGroupBox(QStringLiteral("文件族类"), basic);
    auto* famLayout = new QHBoxLayout(m_familyRow);
    m_allFamily = new QCheckBox(QStringLiteral("所有族类"), m_familyRow);
    SetDlgItemId(m_allFamily, IDC_CHK_ALLFAMILY);
    m_familyName = kx::MakeEdit(this, IDC_EDT_FAMILY);
    m_familyName->setReadOnly(true);
    auto* famButton = new QPushButton(QStringLiteral("..."), m_familyRow);
    SetDlgItemId(famButton, IDC_BTN_FAMILY);
    famButton->setAutoDefault(false);
    m_familyButton = famButton;
    m_famBoth = new QRadioButton(QStringLiteral("本族及派生族"), m_familyRow);
    m_famSelf = new QRadioButton(QStringLiteral("本族"), m_familyRow);
    m_famDerived = new QRadioButton(QStringLiteral("派生族"), m_familyRow);
    SetDlgItemId(m_famBoth, IDC_RAD_FAM_BOTH);
    SetDlgItemId(m_famSelf, IDC_RAD_FAM_SELF);
    SetDlgItemId(m_famDerived, IDC_RAD_FAM_DERIVED);
    for (QWidget* w : std::initializer_list<QWidget*>{m_allFamily, m_familyName, famButton, m_famBoth, m_famSelf, m_famDerived})
        famLayout->addWidget(w);
    form->addWidget(m_familyRow, line++, 0, 1, 4);

    // File name pattern.
    form->addWidget(new QLabel(QStringLiteral("文件名称"), basic), line, 0);
    m_title = kx::MakeEdit(this, IDC_EDT_TITLE);
    m_title->setReadOnly(true);
    form->addWidget(m_title, line, 1, 1, 2);
    auto* titleButton = new QPushButton(QStringLiteral("..."), basic);
    SetDlgItemId(titleButton, IDC_BTN_TITLE);
    titleButton->setAutoDefault(false);
    m_titleButton = titleButton;
    form->addWidget(titleButton, line++, 3);

    // The four lists.
    const auto addCombo = [&](const char* label, int id, kx::ComboBox*& out) {
        form->addWidget(new QLabel(QString::fromUtf8(label), basic), line, 0);
        out = new kx::ComboBox(basic);
        SetDlgItemId(out, id);
        form->addWidget(out, line++, 1, 1, 3);
    };
    addCombo("文件格式", IDC_COB_FORMAT, m_format);
    addCombo("创 作 者", IDC_COB_AUTHOR, m_author);
    addCombo("录 入 者", IDC_COB_WRITER, m_writer);
    addCombo("修 改 者", IDC_COB_EDITOR, m_editor);

    // Three time ranges.
    const struct {
        const char* text;
        int check, from, to;
    } times[] = {{"创作时间", IDC_CHK_AUTHTIME, IDC_DT_AUTH_FROM, IDC_DT_AUTH_TO},
                 {"录入时间", IDC_CHK_WRITETIME, IDC_DT_WRITE_FROM, IDC_DT_WRITE_TO},
                 {"修改时间", IDC_CHK_EDITTIME, IDC_DT_EDIT_FROM, IDC_DT_EDIT_TO}};
    for (int i = 0; i < 3; ++i) {
        m_timeChecks[i] = new QCheckBox(QString::fromUtf8(times[i].text), basic);
        SetDlgItemId(m_timeChecks[i], times[i].check);
        m_timeFrom[i] = new QDateTimeEdit(QDate::currentDate(), basic);
        m_timeTo[i] = new QDateTimeEdit(QDate::currentDate(), basic);
        m_timeFrom[i]->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        m_timeTo[i]->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        SetDlgItemId(m_timeFrom[i], times[i].from);
        SetDlgItemId(m_timeTo[i], times[i].to);
        form->addWidget(m_timeChecks[i], line, 0);
        form->addWidget(new QLabel(QStringLiteral("从"), basic), line, 1, Qt::AlignRight);
        form->addWidget(m_timeFrom[i], line, 2);
        form->addWidget(new QLabel(QStringLiteral("到"), basic), line + 1, 1, Qt::AlignRight);
        form->addWidget(m_timeTo[i], line + 1, 2);
        connect(m_timeChecks[i], &QCheckBox::clicked, this, [this] { UpdateStates(); });
        line += 2;
    }

    // Folder: all, or the one chosen in the tree, with its scope.
    m_allDir = new QCheckBox(QStringLiteral("所有目录"), basic);
    SetDlgItemId(m_allDir, IDC_CHK_ALLDIR);
    m_dirBoth = new QRadioButton(QStringLiteral("本目录及子孙目录"), basic);
    m_dirSelf = new QRadioButton(QStringLiteral("本目录"), basic);
    m_dirBelow = new QRadioButton(QStringLiteral("子孙目录"), basic);
    SetDlgItemId(m_dirBoth, IDC_RAD_DIR_BOTH);
    SetDlgItemId(m_dirSelf, IDC_RAD_DIR_SELF);
    SetDlgItemId(m_dirBelow, IDC_RAD_DIR_BELOW);
    auto* dirRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{m_allDir, m_dirBoth, m_dirSelf, m_dirBelow}) dirRow->addWidget(w);
    form->addLayout(dirRow, line++, 0, 1, 4);
    m_tree = new CxTreeCtrl(basic);
    SetDlgItemId(m_tree, IDC_TREE_DIR);
    m_tree->setMinimumHeight(120);
    form->addWidget(m_tree, line++, 0, 1, 4);
    layout->addWidget(basic, 1);

    m_exGroup = new QGroupBox(QStringLiteral("扩展参数"), this);
    auto* exLayout = new QVBoxLayout(m_exGroup);
    m_grid = new CkxAttrListCtrl(m_exGroup);
    SetDlgItemId(m_grid, IDC_GRID);
    // A family's attribute conditions: four rows whole before the grid scrolls.
    m_grid->SetMinimumRows(kShownConditionRows);
    exLayout->addWidget(m_grid);
    layout->addWidget(m_exGroup, 1);

    // Each triple is kept exclusive by its click handlers (the clicked one on, the others off).
    for (auto triple : {std::array<QRadioButton*, 3>{m_famBoth, m_famSelf, m_famDerived},
                        std::array<QRadioButton*, 3>{m_dirBoth, m_dirSelf, m_dirBelow}}) {
        for (QRadioButton* r : triple) {
            r->setAutoExclusive(false);
            connect(r, &QRadioButton::clicked, this, [r, triple] {
                for (QRadioButton* other : triple) other->setChecked(other == r);
            });
        }
    }
    connect(m_allFamily, &QCheckBox::clicked, this, [this] { OnAllFamilyClicked(); });
    connect(m_allDir, &QCheckBox::clicked, this, [this] { OnAllDirClicked(); });
    connect(famButton, &QPushButton::clicked, this, [this] { OnBtnFamily(); });
    connect(titleButton, &QPushButton::clicked, this, [this] { OnBtnTitle(); });
}

CDlgQueryCondition::~CDlgQueryCondition() {
    // The rows go before the attributes they point to.
    m_grid->DeleteAllItems();
}

void CDlgQueryCondition::Exclusive(QRadioButton* chosen, std::initializer_list<QRadioButton*> group) {
    for (QRadioButton* r : group) r->setChecked(r == chosen);
}

void CDlgQueryCondition::OnInitDialog() {
    m_bInit = true;
    m_grid->InitCtrl();
    m_allFamily->setChecked(true);
    Exclusive(m_famBoth, {m_famBoth, m_famSelf, m_famDerived});
    m_allDir->setChecked(true);
    Exclusive(m_dirBoth, {m_dirBoth, m_dirSelf, m_dirBelow});

    kx::ImageList images(16, 16);
    images.LoadBitmap(kFolderBitmap);
    m_tree->SetImageList(images);
    m_hRoot = m_tree->InsertItem(QStringLiteral("根目录"), 0, 0);
    m_tree->SetItemData(m_hRoot, -1);
    CkxXXX& context = KX_KXXXX();
    CkxXXX::NodeList readable;
    context.fsGetDir_CanRead(readable);
    m_tree->AddToRoot(m_hRoot, readable, 2, 3);
    m_tree->Expand(m_hRoot, TVE_EXPAND);

    for (kx::ComboBox* users : {m_writer, m_editor}) {
        users->AddString(QStringLiteral("<全部>"), -1);
        context.m_UserList.ForEach([&](const CkxUser& u) { users->AddString(kx::Q(u.m_strUser), u.m_nID); });
        users->SetCurSel(0);
    }
    m_author->AddString(QStringLiteral("<全部>"), -1);
    context.m_PersonList.ForEach([&](const CkxPerson& p) { m_author->AddString(kx::Q(p.m_strName), p.m_nID); });
    m_author->SetCurSel(0);
    const CkxImageTool formats;
    for (const CkxImageFormat& f : formats.GetImageFormats()) m_format->AddString(kx::Q(f.name), f.kxID);
    m_format->SetCurSel(0);

    if (m_Templet.m_Fix.nFamilyID < 0) {
        if (const CkxFamily* base = KX_FamilyXXX().family_GetBaseImage()) m_Templet.m_Fix.nFamilyID = base->GetID();
    }
    m_familyName->setText(kx::Q(FamilyName(m_Templet.m_Fix.nFamilyID)));

    // Without the family choice the family row and the attribute grid are not offered.
    m_familyRow->setVisible(m_nFamilyChoice != 0);
    m_exGroup->setVisible(m_nFamilyChoice != 0);

    kx::Dialog::OnInitDialog();
    if (m_bShown) ShowTemplet();
    else ShowFolder(); // a folder given before the panel was up
    UpdateStates();
}

void CDlgQueryCondition::UpdateStates() {
    const bool editable = m_nEditable != 0;
    const bool allFamily = m_allFamily->isChecked(), allDir = m_allDir->isChecked();
    m_allFamily->setEnabled(editable);
    m_allDir->setEnabled(editable);
    for (QWidget* w : std::initializer_list<QWidget*>{m_familyButton, m_famBoth, m_famSelf, m_famDerived})
        w->setEnabled(editable && !allFamily);
    for (QWidget* w : std::initializer_list<QWidget*>{m_tree, m_dirBoth, m_dirSelf, m_dirBelow}) w->setEnabled(editable && !allDir);
    for (QWidget* w : std::initializer_list<QWidget*>{m_titleButton, m_format, m_author, m_writer, m_editor, m_grid})
        w->setEnabled(editable);
    for (int i = 0; i < 3; ++i) {
        m_timeChecks[i]->setEnabled(editable);
        m_timeFrom[i]->setEnabled(editable && m_timeChecks[i]->isChecked());
        m_timeTo[i]->setEnabled(editable && m_timeChecks[i]->isChecked());
    }
}

void CDlgQueryCondition::EnableEdit(int editable) {
    m_nEditable = editable;
    m_grid->EnableEdit(editable);
    if (m_bInit) UpdateStates();
}

void CDlgQueryCondition::AllFamilies() {
    m_allFamily->setChecked(true);
    m_grid->DeleteAllItems();
    m_attrs.DeleteAll();
    m_familyName->clear();
    UpdateStates();
}

void CDlgQueryCondition::ChooseFamily(int familyId) {
    if (familyId < 0) return AllFamilies();
    m_Templet.m_Fix.nFamilyID = familyId;
    m_familyName->setText(kx::Q(FamilyName(familyId)));
    // The rows point into the panel's own copies, never into the registry.
    m_grid->DeleteAllItems();
    m_attrs.DeleteAll();
    if (!CkxFamilyXXX::family_IsRoot(familyId)) KX_FamilyXXX().attr_GetFamilyAllExAttr(familyId, m_attrs);
    std::vector<CkxAttr*> rows;
    m_attrs.ForEach([&](const CkxAttr& a) { rows.push_back(const_cast<CkxAttr*>(&a)); });
    for (CkxAttr* a : rows) m_grid->AddAttr(a);
    m_allFamily->setChecked(false);
    UpdateStates();
}

void CDlgQueryCondition::OnBtnFamily() {
    int id = m_Templet.m_Fix.nFamilyID;
    if (KX_ShowDlg_FamilySelect(id)) ChooseFamily(id);
}

void CDlgQueryCondition::OnAllFamilyClicked() {
    if (m_allFamily->isChecked()) return AllFamilies();
    m_grid->DeleteAllItems();
    m_attrs.DeleteAll();
    m_Templet.m_Fix.nFamilyID = kImageRootFamily;
    m_familyName->setText(kx::Q(FamilyName(kImageRootFamily)));
    UpdateStates();
}

void CDlgQueryCondition::OnAllDirClicked() {
    if (!m_allDir->isChecked() && !m_tree->GetSelectedItem()) m_tree->SelectItem(m_hRoot);
    UpdateStates();
}

void CDlgQueryCondition::OnBtnTitle() {
    std::string text = m_Templet.GetFixTitle(), pattern;
    if (!KX_ShowDlg_TextMatch(text, pattern)) return;
    m_title->setText(kx::Q(text));
    m_Templet.SetFixTitle(pattern); // the bounded writer: the pattern always fits the field
}

void CDlgQueryCondition::SetQueryTemplet(const CkxQueryTemplet* templet) {
    if (!templet) return;
    m_Templet = *templet;
    m_bShown = true;
    if (m_bInit) ShowTemplet();
}

void CDlgQueryCondition::ShowTemplet() {
    const CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    m_title->setText(kx::Q(CDlgTextMatch::ChangeText(m_Templet.GetFixTitle())));
    m_familyName->setText(kx::Q(FamilyName(fix.nFamilyID)));
    const bool allFamily = fix.nFamilyID == -1 && fix.bFamilySelf && fix.bFamilyDerived;
    m_famBoth->setChecked(fix.bFamilySelf && fix.bFamilyDerived);
    m_famSelf->setChecked(fix.bFamilySelf && !fix.bFamilyDerived);
    m_famDerived->setChecked(!fix.bFamilySelf && fix.bFamilyDerived);
    if (allFamily) {
        AllFamilies();
    } else {
        const CkxQueryOperandList operands = m_Templet.m_OperandList;
        ChooseFamily(fix.nFamilyID);
        operands.ForEach([&](const CkxQueryOperand& op) { m_grid->SetOperand(&op); });
    }
    ShowFolder();

    const int32_t flags[3] = {fix.bAuthTime, fix.bWriteTime, fix.bEditTime};
    const double from[3] = {fix.dtAuthFrom, fix.dtWriteFrom, fix.dtEditFrom};
    const double to[3] = {fix.dtAuthTo, fix.dtWriteTo, fix.dtEditTo};
    for (int i = 0; i < 3; ++i) {
        m_timeChecks[i]->setChecked(flags[i] != 0);
        m_timeFrom[i]->setDate(flags[i] ? DateOf(from[i]) : QDate::currentDate());
        m_timeTo[i]->setDate(flags[i] ? DateOf(to[i]) : QDate::currentDate());
    }
    m_format->SelectData(fix.nCodeForm);
    m_author->SelectData(fix.nAuthorID);
    m_writer->SelectData(fix.nWriterID);
    m_editor->SelectData(fix.nEditorID);
    UpdateStates();
}

void CDlgQueryCondition::ShowFolder() {
    const CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    const bool allDir = fix.nDirID == -1 && fix.bDirSelf && fix.bDirBelow;
    m_allDir->setChecked(allDir);
    m_dirBoth->setChecked(fix.bDirSelf && fix.bDirBelow);
    m_dirSelf->setChecked(fix.bDirSelf && !fix.bDirBelow);
    m_dirBelow->setChecked(!fix.bDirSelf && fix.bDirBelow);
    if (fix.nDirID == -1) m_tree->SelectItem(m_hRoot);
    else m_tree->SelectNode(fix.nDirID);
}

void CDlgQueryCondition::SetFolder(int folderId) {
    CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    fix.nDirID = folderId;
    fix.bDirSelf = 1;
    fix.bDirBelow = 0;
    if (!m_bInit) return;
    ShowFolder();
    UpdateStates();
}

void CDlgQueryCondition::SetAnyFolder() {
    CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    fix.nDirID = -1;
    fix.bDirSelf = fix.bDirBelow = 1;
    if (!m_bInit) return;
    ShowFolder();
    UpdateStates();
}

CkxQueryTemplet* CDlgQueryCondition::GetQueryTemplet() {
    m_Templet.m_nDataMode = CkxQueryTemplet::kKindWithFix;
    CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    if (!m_bInit) return &m_Templet;
    m_grid->CommitEdit();

    if (m_nFamilyChoice == 0) {
        // The compact layout offers no family: a template shown keeps its family, scope and
        // attribute conditions; only a panel shown nothing asks for every family.
        if (!m_bShown) {
            fix.nFamilyID = -1;
            fix.bFamilySelf = fix.bFamilyDerived = 1;
            m_Templet.m_OperandList.DeleteAll();
        }
    } else {
        if (m_allFamily->isChecked()) {
            fix.nFamilyID = -1;
            fix.bFamilySelf = fix.bFamilyDerived = 1;
        } else if (m_famBoth->isChecked()) {
            fix.bFamilySelf = fix.bFamilyDerived = 1;
        } else if (m_famSelf->isChecked()) {
            fix.bFamilySelf = 1;
            fix.bFamilyDerived = 0;
        } else if (m_famDerived->isChecked()) {
            fix.bFamilySelf = 0;
            fix.bFamilyDerived = 1;
        } else {
            fix.nFamilyID = -1;
            fix.bFamilySelf = fix.bFamilyDerived = 1;
        }
        m_Templet.m_OperandList.DeleteAll();
        m_grid->GetOperandList(m_Templet.m_OperandList);
    }

    if (m_allDir->isChecked()) {
        fix.nDirID = -1;
        fix.bDirSelf = fix.bDirBelow = 1;
    } else {
        HTREEITEM item = m_tree->GetSelectedItem();
        fix.nDirID = item ? static_cast<int32_t>(m_tree->GetItemData(item)) : -1;
        if (m_dirBoth->isChecked()) fix.bDirSelf = fix.bDirBelow = 1;
        else if (m_dirSelf->isChecked()) fix.bDirSelf = 1, fix.bDirBelow = 0;
        else if (m_dirBelow->isChecked()) fix.bDirSelf = 0, fix.bDirBelow = 1;
        else fix.nDirID = -1, fix.bDirSelf = fix.bDirBelow = 1;
    }

    fix.nCodeForm = static_cast<int32_t>(m_format->GetCurSelData());
    fix.nAuthorID = static_cast<int32_t>(m_author->GetCurSelData());
    fix.nWriterID = static_cast<int32_t>(m_writer->GetCurSelData());
    fix.nEditorID = static_cast<int32_t>(m_editor->GetCurSelData());

    int32_t* flags[3] = {&fix.bAuthTime, &fix.bWriteTime, &fix.bEditTime};
    double* from[3] = {&fix.dtAuthFrom, &fix.dtWriteFrom, &fix.dtEditFrom};
    double* to[3] = {&fix.dtAuthTo, &fix.dtWriteTo, &fix.dtEditTo};
    for (int i = 0; i < 3; ++i) {
        const bool on = m_timeChecks[i]->isChecked();
        *flags[i] = on ? 1 : 0;
        *from[i] = on ? DayStart(m_timeFrom[i]->date()) : 0;
        *to[i] = on ? DayEnd(m_timeTo[i]->date()) : 0;
    }
    return &m_Templet;
}
