#include "grid/CTreeGridNode.h"

int CTreeGridItem::AddSubItemText(const QString& text) {
    m_texts.push_back(text);
    return static_cast<int>(m_texts.size()) - 1;
}

void CTreeGridItem::SetSubItemText(int index, const QString& text) {
    if (index < 0) return;
    if (index >= static_cast<int>(m_texts.size())) m_texts.resize(static_cast<std::size_t>(index) + 1);
    m_texts[static_cast<std::size_t>(index)] = text;
}

QString CTreeGridItem::GetSubItemText(int index) const {
    return index >= 0 && index < static_cast<int>(m_texts.size()) ? m_texts[static_cast<std::size_t>(index)] : QString();
}

int CTreeGridItem::GetColumnKind(int column, int& kind) const {
    auto it = m_kinds.find(column);
    kind = it == m_kinds.end() ? 0 : it->second;
    return it == m_kinds.end() ? 0 : 1;
}
