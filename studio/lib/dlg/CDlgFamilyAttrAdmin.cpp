#include "dlg/CDlgFamilyAttrAdmin.h"

#include "session/CStudioLink.h"

#include "model/CkxAttr.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxEdit.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"
#include "ui/CDlgFamilyAttrEdit.h"
#include "ui/KxShowDlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum Column { COL_NUMBER, COL_NAME, COL_TYPE, COL_WAY };

QGroupBox* Group(QWidget* parent, const char* title, QWidget* content) {
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

int SelectedId(const kx::ReportList* list) {
    const int row = list->GetSelectedRow();
    return row < 0 ? -1 : static_cast<int>(list->GetItemData(row));
}

} // namespace

CDlgFamilyAttrAdmin::CDlgFamilyAttrAdmin(CStudioLink& link, QWidget* parent) : kx::Dialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("族类属性"));
    const std::initializer_list<kx::ListColumn> plain = {
        {"序号", 50}, {"属性名称", 100}, {"数据类型", 60}, {"编辑方式", 60}, {"备注", 150}};
    m_base = kx::MakeReportList(this, IDC_LIST_BASE, plain);
    m_inherit = kx::MakeReportList(this, IDC_LIST_INHERIT,
                                   {{"序号", 50}, {"属性名称", 100}, {"数据类型", 60}, {"编辑方式", 60},
                                    {"文件族类名称", 100}, {"备注", 100}});
    m_own = kx::MakeReportList(this, IDC_LIST_OWN, plain);
    m_consts = new QListWidget(this);
    SetDlgItemId(m_consts, IDC_LIST_CONST);
    m_name = kx::MakeEdit(this, IDC_EDT_NAME);
    m_note = kx::MakeEdit(this, IDC_EDT_NOTE);
    m_add = AddButton(QStringLiteral("添  加"), IDC_BTN_ADD);
    m_modify = AddButton(QStringLiteral("修  改"), IDC_BTN_MODIFY);
    m_delete = AddButton(QStringLiteral("删  除"), IDC_BTN_DELETE);

    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(Group(this, "根族基本属性", m_base), 1);
    left->addWidget(Group(this, "继承父族属性", m_inherit), 1);
    auto* ownBox = Group(this, "本族扩展属性", m_own);
    auto* ownButtons = new QHBoxLayout;
    ownButtons->addStretch(1);
    for (QPushButton* b : {m_add, m_modify, m_delete}) ownButtons->addWidget(b);
    static_cast<QVBoxLayout*>(ownBox->layout())->addLayout(ownButtons);
    left->addWidget(ownBox, 1);
    columns->addLayout(left, 2);
    auto* right = new QVBoxLayout;
    auto* describe = new QGroupBox(QStringLiteral("族类描述"), this);
    auto* texts = new QGridLayout(describe);
    texts->addWidget(new QLabel(QStringLiteral("名  称"), describe), 0, 0);
    texts->addWidget(m_name, 0, 1);
    texts->addWidget(new QLabel(QStringLiteral("备  注"), describe), 1, 0);
    texts->addWidget(m_note, 1, 1);
    right->addWidget(describe);
    right->addStretch(1);
    right->addWidget(Group(this, "常量列表", m_consts), 3);
    columns->addLayout(right, 1);
    layout->addLayout(columns, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    layout->addLayout(bottom);

    connect(m_add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_modify, &QPushButton::clicked, this, [this] { OnModify(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    for (kx::ReportList* list : {m_own, m_base, m_inherit})
        connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] { ShowConsts(list); });
    resize(820, 620);
    link.Register(kSlotFamilyAttrB, this);
}

// The observation ends with the dialog, not with the session.
CDlgFamilyAttrAdmin::~CDlgFamilyAttrAdmin() { m_link.Unregister(kSlotFamilyAttrB, this); }

std::string CDlgFamilyAttrAdmin::DeleteQuestion(const std::string& name) { return "确定删除属性--\"" + name + "\""; }

void CDlgFamilyAttrAdmin::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    if (m_nKeepTexts == 0) {
        m_strName = m_Family.m_strName;
        m_strNote = m_Family.m_strNote;
        m_name->setText(QString::fromStdString(m_strName));
        m_note->setText(QString::fromStdString(m_strNote));
    }
    const CkxFamilyXXX& registry = KX_FamilyXXX();
    for (kx::ReportList* list : {m_base, m_inherit, m_own}) list->DeleteAllItems();
    m_consts->clear();

    CkxAttrList base;
    if (registry.attr_GetModeBaseAttr(m_Family.GetDataKind(), base) > 0)
        base.ForEach([&](const CkxAttr& a) { AppendRow(m_base, a, false); });
    CkxAttrPtrs inherited;
    if (registry.attr_GetAllInheritExAttr(m_Family.GetID(), inherited) > 0)
        for (const CkxAttr* a : inherited)
            if (a) AppendRow(m_inherit, *a, true);
    if (!CkxFamilyXXX::family_IsRoot(m_Family.GetID())) {
        CkxAttrPtrs own;
        if (registry.attr_GetFamilyLocalAttr(m_Family.GetID(), own) > 0)
            for (const CkxAttr* a : own)
                if (a) AppendRow(m_own, *a, false);
    }

    setWindowTitle(QString::fromUtf8(m_nViewMode == kModeInfo ? "族类信息" : "修改属性"));
    m_name->setReadOnly(true);
    m_note->setReadOnly(true);
    const bool editing = MayEdit();
    for (QPushButton* b : {m_add, m_modify, m_delete}) b->setEnabled(editing);
}

bool CDlgFamilyAttrAdmin::MayEdit() const {
    // The server refuses attribute changes to a user without the family power; a root family's
    // attributes are fixed.
    return m_nViewMode != kModeInfo && !m_Family.IsRoot() &&
           KX_KXXXX().usHasPower_FamilyAdmin(m_link.GetCurrentUserId()) != 0;
}

void CDlgFamilyAttrAdmin::SetRowTexts(kx::ReportList* list, int row, const CkxAttr& attr, bool withFamily) {
    list->SetItemText(row, COL_NAME, QString::fromStdString(attr.m_strName));
    list->SetItemText(row, COL_TYPE, QString::fromStdString(attr.GetDataTypeStr()));
    list->SetItemText(row, COL_WAY, QString::fromStdString(attr.GetEditWayStr()));
    int column = COL_WAY + 1;
    if (withFamily)
        list->SetItemText(row, column++, QString::fromStdString(KX_FamilyXXX().family_GetName(attr.m_nFamilyID)));
    list->SetItemText(row, column, QString::fromStdString(attr.m_strNote));
}

void CDlgFamilyAttrAdmin::AppendRow(kx::ReportList* list, const CkxAttr& attr, bool withFamily) {
    // Numbers are the count before the row plus one and are never renumbered.
    const int count = list->GetItemCount();
    const int row = list->InsertItem(count, QString::number(count + 1));
    if (row < 0) return;
    SetRowTexts(list, row, attr, withFamily);
    list->SetItemData(row, attr.GetID());
}

void CDlgFamilyAttrAdmin::ShowConsts(const kx::ReportList* list) {
    const CkxAttr* attr = KX_FamilyXXX().attr_Find(SelectedId(list));
    if (!attr) return;
    m_consts->clear();
    CkxConstList consts;
    if (attr->m_Consts.GetCount() > 0) consts = attr->m_Consts;
    else if (!attr->CallConstProvider(consts)) return;
    consts.ForEach([&](const CkxConst& c) { m_consts->addItem(QString::fromStdString(c.GetText())); });
}

const CkxAttr* CDlgFamilyAttrAdmin::SelectedOwn() const { return KX_FamilyXXX().attr_Find(SelectedId(m_own)); }

void CDlgFamilyAttrAdmin::OnAdd() {
    if (!MayEdit()) return;
    CkxAttr attr;
    attr.m_nFamilyID = m_Family.GetID();
    if (KX_ShowDlg_FamilyAttrEdit(1, attr)) m_link.SendFamilyAttrAddRequest(attr);
}

void CDlgFamilyAttrAdmin::OnModify() {
    if (!MayEdit()) return;
    const CkxAttr* stored = SelectedOwn();
    if (!stored) return;
    CkxAttr copy = *stored;
    if (KX_ShowDlg_FamilyAttrEdit(0, copy)) m_link.SendFamilyAttrModifyRequest(copy);
}

void CDlgFamilyAttrAdmin::OnDelete() {
    if (!MayEdit()) return;
    const CkxAttr* stored = SelectedOwn();
    if (!stored) return;
    const int id = stored->GetID();
    if (kx::Prompt(this, DeleteQuestion(stored->m_strName), kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk)
        m_link.SendFamilyAttrDeleteRequest(id);
}

kx::LRESULT CDlgFamilyAttrAdmin::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return kx::Dialog::OnWindowMessage(message, wParam, lParam);
    const int id = static_cast<int>(lParam);
    const CkxAttr* attr = KX_FamilyXXX().attr_Find(id);
    // Only this family's attributes belong in its own list.
    const bool ours = attr && attr->m_nFamilyID == m_Family.GetID();
    const int row = m_own->FindItemData(id);
    switch (static_cast<int>(wParam)) {
    case kNoticeAdded:
        if (ours && row < 0) AppendRow(m_own, *attr, false);
        break;
    case kNoticeUpdated:
        if (attr && row >= 0) SetRowTexts(m_own, row, *attr, false);
        break;
    case kNoticeRemoved:
        if (row >= 0) m_own->DeleteItem(row);
        break;
    default: break;
    }
    return 1;
}
