#include "grid/CAttrGridCtrl.h"

#include "grid/CInPlaceCombo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>

namespace {
constexpr int kListRows = 10;
const char* const kPictures = ":/studio/131-attrgrid.png";
} // namespace

CAttrGridCtrl::CAttrGridCtrl(QWidget* parent) : CTreeGridCtrl(parent) {
    kx::ImageList images(16, 16);
    m_bCreated = images.LoadStrip(QString::fromLatin1(kPictures)) && images.GetImageCount() >= 3;
    if (m_bCreated) SetImageList(images);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CAttrGridCtrl::OnHeaderClicked);
}

void CAttrGridCtrl::SetUpColumns() {
    setShowGrid(true);
    SetCheckBoxes(true);
    InsertColumn(0, QStringLiteral("名称"), Qt::AlignLeft, 200);
    int c = 1;
    for (const char* title : {"属性赋值", "数据类型", "编辑方式", "属性描述"})
        InsertColumn(c++, QString::fromUtf8(title), Qt::AlignLeft, 150);

    auto root = std::make_unique<CTreeGridItem>();
    root->SetLabel(QStringLiteral("属性"));
    root->AddSubItemText(QStringLiteral("选项一"));
    root->AddSubItemText(QStringLiteral("文本"));
    root->AddSubItemText(QStringLiteral("下拉列表"));
    root->AddSubItemText(QStringLiteral("可选的值"));
    root->SetColumnKind(CTreeGridItem::kDropDown, 0);
    root->SetChoices({QStringLiteral("选项一"), QStringLiteral("选项二"), QStringLiteral("选项三")});
    SetRootNode(std::move(root));
    auto child = std::make_unique<CTreeGridItem>();
    child->SetLabel(QStringLiteral("分组"));
    child->AddSubItemText(QString());
    child->AddSubItemText(QStringLiteral("分组"));
    child->AddSubItemText(QStringLiteral("文本"));
    child->AddSubItemText(QStringLiteral("子属性的分组"));
    CTreeGridNode* group = AddChild(GetRoot(), std::move(child), 1);
    int n = 1;
    for (const char* label : {"名称", "尺寸", "颜色"}) {
        auto leaf = std::make_unique<CTreeGridItem>();
        leaf->SetLabel(QString::fromUtf8(label));
        leaf->AddSubItemText(QStringLiteral("值%1").arg(n++));
        leaf->AddSubItemText(QStringLiteral("文本"));
        leaf->AddSubItemText(QStringLiteral("文本框"));
        AddChild(group, std::move(leaf), 0);
    }
    // The root was made with its children shown: nothing more to show there.
    ShowChildren(GetRoot(), 0);
    SelectRow(0);
}

std::unique_ptr<CTreeGridItem> CAttrGridCtrl::CloneItem(const CTreeGridItem* item) const {
    if (!item) return nullptr;
    auto copy = std::make_unique<CTreeGridItem>();
    copy->SetLabel(item->GetLabel());
    copy->SetCheck(item->GetCheck());
    for (int i = 0; i < item->GetSubItemCount(); ++i) copy->AddSubItemText(item->GetSubItemText(i));
    for (const auto& [column, kind] : item->Kinds()) copy->SetColumnKind(kind, column);
    copy->SetChoices(item->GetChoices());
    return copy;
}

int CAttrGridCtrl::IconOf(const CTreeGridNode* node) const {
    if (!node->HasChildren()) return 2;
    return node->m_bFolded ? 1 : 0;
}

QColor CAttrGridCtrl::CellColour() const { return QColor(192, 0, 0); }

bool CAttrGridCtrl::OpenChoicesAt(int row, int column) {
    const CTreeGridNode* node = NodeOfRow(row);
    int kind = 0;
    if (!node || column < 1 || !node->GetItem()->GetColumnKind(column - 1, kind) || kind != CTreeGridItem::kDropDown)
        return false;
    ShowChoices(row, column, node->GetItem()->GetChoices());
    return true;
}

void CAttrGridCtrl::OnCellClicked(int row, int column) { OpenChoicesAt(row, column); }

void CAttrGridCtrl::OnEnterKey() {
    const int row = GetSelectedRow();
    if (row < 0 || CurrentColumn() < 0 || CurrentColumn() >= ColumnCount()) return;
    if (!OpenChoicesAt(row, horizontalHeader()->logicalIndex(CurrentColumn()))) CTreeGridCtrl::OnEnterKey();
}

int CAttrGridCtrl::WidestChoice(const QComboBox* combo, const QStringList& choices) {
    if (choices.isEmpty()) return 0;
    const QFontMetrics fm(combo->font());
    int widest = 0;
    for (const QString& c : choices) widest = std::max(widest, fm.horizontalAdvance(c));
    return widest + 6;
}

CInPlaceCombo* CAttrGridCtrl::ShowChoices(int row, int column, const QStringList& choices) {
    const CTreeGridNode* node = NodeOfRow(row);
    if (!node) return nullptr;
    const QString current = node->GetItem()->GetSubItemText(column - 1);
    const QRect r = PrepareCell(row, column);
    if (r.isEmpty()) return nullptr;
    auto* combo = new CInPlaceCombo(viewport(), this, this, kChoiceEditId, row, column, choices);
    combo->setGeometry(r);
    combo->setMaxVisibleItems(kListRows);
    combo->view()->setMinimumWidth(std::max(r.width(), WidestChoice(combo, choices)));
    const int at = combo->findText(current);
    combo->setCurrentIndex(at);
    combo->showPopup();
    return combo;
}

void CAttrGridCtrl::OnHeaderClicked(int column) {
    if (column != 0 || !GetRoot()) return;
    SortChildren(GetRoot(), 1);
    if (GetRoot()->HasChildren()) {
        setUpdatesEnabled(false);
        HideChildren(GetRoot());
        ShowChildren(GetRoot(), 0);
        setUpdatesEnabled(true);
    }
}
