#include "pane/CWndCatalog.h"

#include "frame/SixthSplitter.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QTreeWidget>

CWndCatalog::CWndCatalog(QWidget* parent) : QWidget(parent) {
    setObjectName("CWndCatalog");
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(m_splitter);
    m_tree->setObjectName("CWndCatalogTree");
    m_tree->setHeaderHidden(true);
    auto* form = new QWidget(m_splitter);
    form->setObjectName("CWndCatalogEdit");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);
}

void CWndCatalog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    kx::SetFirstColumnToSixth(*m_splitter, width());
}
