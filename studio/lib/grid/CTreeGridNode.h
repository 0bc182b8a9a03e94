// The data of a tree-list grid: CTreeGridItem is one row's texts (the label and the sub-item
// texts), the kind of each sub-item cell (kind 1: a drop-down list), the row's choices and its
// check state; CTreeGridNode places an item in the tree (children in display order, folded flag,
// shown row, level). A node owns its item and its children.
#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class CTreeGridItem {
public:
    static constexpr int kDropDown = 1;

    void SetLabel(const QString& label) { m_strLabel = label; }
    const QString& GetLabel() const { return m_strLabel; }
    // Appends a sub-item text; returns its index (list column index + 1 shows it).
    int AddSubItemText(const QString& text);
    // Sets sub-item text `index`, growing the texts as needed.
    void SetSubItemText(int index, const QString& text);
    int GetSubItemCount() const { return static_cast<int>(m_texts.size()); }
    QString GetSubItemText(int index) const;
    // The kind of sub-item column `column` (list column column + 1).
    void SetColumnKind(int kind, int column) { m_kinds[column] = kind; }
    // 1 and the kind when the column has one; 0 (kind 0) when not.
    int GetColumnKind(int column, int& kind) const;
    const std::map<int, int>& Kinds() const { return m_kinds; }
    void SetChoices(const QStringList& choices) { m_choices = choices; }
    const QStringList& GetChoices() const { return m_choices; }
    int GetCheck() const { return m_nCheck; }
    void SetCheck(int check) { m_nCheck = check; }

private:
    std::map<int, int> m_kinds;
    QString m_strLabel;
    std::vector<QString> m_texts;
    QStringList m_choices;
    int m_nCheck = 0;
};

class CTreeGridNode {
public:
    explicit CTreeGridNode(std::unique_ptr<CTreeGridItem> item) : m_pItem(std::move(item)) {}
    CTreeGridNode(const CTreeGridNode&) = delete;
    CTreeGridNode& operator=(const CTreeGridNode&) = delete;

    std::vector<std::unique_ptr<CTreeGridNode>> m_children;
    CTreeGridNode* m_pParent = nullptr;
    std::unique_ptr<CTreeGridItem> m_pItem;
    int m_bFolded = 0;
    int m_nRow = -1;
    int m_nLevel = -1;

    CTreeGridItem* GetItem() const { return m_pItem.get(); }
    bool HasChildren() const { return !m_children.empty(); }
};
