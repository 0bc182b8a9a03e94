// The catalogue pane: a frame for a catalogue editor, a tree on the left (one sixth of the
// pane's width) and an empty form on the right. It holds no data and sends nothing.
#pragma once

#include <QWidget>

class QSplitter;
class QTreeWidget;

class CWndCatalog : public QWidget {
public:
    explicit CWndCatalog(QWidget* parent = nullptr);
    QSplitter* Splitter() const { return m_splitter; }
    QTreeWidget* Tree() const { return m_tree; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QSplitter* m_splitter;
    QTreeWidget* m_tree;
};
