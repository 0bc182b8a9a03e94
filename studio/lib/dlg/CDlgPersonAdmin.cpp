#include "dlg/CDlgPersonAdmin.h"

#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"
#include "ui/CDlgPersonEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kRelations[] = {"其它", "操作员", "合作者", "创作者", "提供者", "拥有者", "客户"};
const char* const kTitles[] = {"其它", "画家", "设计师", "摄影师", "工程师", "剪辑师", "爱好者", "学者", "网络"};

} // namespace

CDlgPersonAdmin::CDlgPersonAdmin(CStudioLink& link, QWidget* parent) : kx::Dialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("人员管理"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("人员列表")));
    m_list = new kx::ReportList(this);
    SetDlgItemId(m_list, IDC_LIST);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    m_create = AddButton(QStringLiteral("创  建"), IDC_CREATE);
    QPushButton* create = m_create;
    m_modify = AddButton(QStringLiteral("修  改"), IDC_MODIFY);
    m_delete = AddButton(QStringLiteral("删  除"), IDC_DELETE);
    QPushButton* ok = AddButton(QStringLiteral("确  定"), kx::IDOK);
    for (QPushButton* b : {create, m_modify, m_delete, ok}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(create, &QPushButton::clicked, this, [this] { OnCreate(); });
    connect(m_modify, &QPushButton::clicked, this, [this] { OnModify(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    resize(520, 360);
    link.Register(kSlotPersons, this);
}

CDlgPersonAdmin::~CDlgPersonAdmin() { m_link.Unregister(kSlotPersons, this); }

std::string CDlgPersonAdmin::RelationText(int code) {
    return code >= 0 && code < static_cast<int>(std::size(kRelations)) ? kRelations[code] : "";
}

std::string CDlgPersonAdmin::TitleText(int code) {
    return code >= 0 && code < static_cast<int>(std::size(kTitles)) ? kTitles[code] : "";
}

std::string CDlgPersonAdmin::DeleteQuestion(const std::string& name) { return "确定删除人员 \"" + name + "\" "; }

void CDlgPersonAdmin::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    if (m_list->GetColumnCount() == 0) {
        int i = 0;
        for (const auto& [title, width] : {std::pair{"名称", 100}, {"业务关系", 80}, {"头衔", 60}, {"备注", 200}})
            m_list->InsertColumn(i++, QString::fromUtf8(title), kx::LVCFMT_LEFT, width);
    }
    Fill();
}

void CDlgPersonAdmin::Fill() {
    // The cache anew: a reload never doubles the rows.
    m_list->DeleteAllItems();
    KX_KXXXX().m_PersonList.ForEach([&](const CkxPerson& p) { SetRow(m_list->InsertItem(m_list->GetItemCount(), {}), p); });
    UpdateButtons();
}

void CDlgPersonAdmin::SetRow(int row, const CkxPerson& p) {
    m_list->SetItemText(row, 0, QString::fromStdString(p.m_strName));
    m_list->SetItemText(row, 1, QString::fromStdString(RelationText(p.m_nRelation)));
    m_list->SetItemText(row, 2, QString::fromStdString(TitleText(p.m_nProfession)));
    m_list->SetItemText(row, 3, QString::fromStdString(p.m_strNote));
    m_list->SetItemData(row, p.GetID());
}

int CDlgPersonAdmin::RowOf(int id) const { return m_list->FindItemData(id); }

int CDlgPersonAdmin::SelectedId() const {
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->topLevelItem(row)->isSelected()) return static_cast<int>(m_list->GetItemData(row));
    return -1;
}

bool CDlgPersonAdmin::MayOperate() const {
    return KX_KXXXX().usHasPower_PersonOperate(m_link.GetCurrentUserId()) != 0;
}

void CDlgPersonAdmin::UpdateButtons() {
    // The server refuses person changes to a user without the power: no button offers them.
    const bool may = MayOperate();
    const int selected = static_cast<int>(m_list->selectedItems().size());
    m_create->setEnabled(may);
    m_modify->setEnabled(may && selected == 1);
    m_delete->setEnabled(may && selected == 1);
}

void CDlgPersonAdmin::OnCreate() {
    if (!MayOperate()) return;
    CkxPerson person;
    if (KX_ShowDlg_PersonEdit(1, person)) m_link.SendPersonAddRequest(person);
}

void CDlgPersonAdmin::OnModify() {
    if (!MayOperate()) return;
    const CkxPerson* stored = KX_KXXXX().m_PersonList.Find(SelectedId());
    if (!stored) return; // deleted meanwhile
    CkxPerson copy = *stored;
    if (KX_ShowDlg_PersonEdit(0, copy)) m_link.SendPersonModifyRequest(copy);
}

void CDlgPersonAdmin::OnDelete() {
    if (!MayOperate()) return;
    const CkxPerson* stored = KX_KXXXX().m_PersonList.Find(SelectedId());
    if (!stored) return;
    const int id = stored->GetID();
    if (kx::Prompt(this, DeleteQuestion(stored->m_strName), kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk)
        m_link.SendPersonDeleteRequest(id);
}

kx::LRESULT CDlgPersonAdmin::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return kx::Dialog::OnWindowMessage(message, wParam, lParam);
    const int id = static_cast<int>(lParam);
    const CkxPerson* p = KX_KXXXX().m_PersonList.Find(id);
    switch (static_cast<int>(wParam)) {
    case kNoticeReload: Fill(); break;
    case kNoticeAdded:
        if (p && RowOf(id) < 0) SetRow(m_list->InsertItem(m_list->GetItemCount(), {}), *p);
        break;
    case kNoticeUpdated:
        if (p && RowOf(id) >= 0) SetRow(RowOf(id), *p);
        break;
    case kNoticeRemoved:
        while (RowOf(id) >= 0) m_list->DeleteItem(RowOf(id));
        UpdateButtons();
        break;
    default: break;
    }
    return 1;
}
