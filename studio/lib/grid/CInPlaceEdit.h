// A single-line editor over one cell of a tree-list grid. It takes the focus when made; Enter
// commits, Escape cancels (both hand the focus back to the grid), and losing the focus ends the
// edit: the grid hears the result once, then the editor deletes itself. Enter, Escape, Delete and
// Ctrl keys stay with the editor, so a dialog around the grid never sees them. Typing widens the
// editor to its text plus 5 pixels, never past the right edge of its parent.
#pragma once

#include "grid/CellEditEnd.h"

#include <QLineEdit>
#include <QPointer>

class CInPlaceEdit : public QLineEdit {
    Q_OBJECT
public:
    // `parent` is the widget the editor sits on (the grid's viewport); `sink` hears the result.
    CInPlaceEdit(QWidget* parent, CellEditSink* sink, QObject* sinkObject, int id, int row, int column,
                 const QString& initialText, Qt::Alignment alignment = Qt::AlignLeft);
    ~CInPlaceEdit() override;

    bool IsCancelled() const { return m_bESC; }
    int Row() const { return m_iItem; }
    int Column() const { return m_iSubItem; }
    // The grid goes: the editor reports nothing more.
    void Detach() { m_sink = nullptr; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void End();
    void Widen();

    int m_iItem;
    int m_iSubItem;
    QString m_sInitText;
    bool m_bESC = false;
    bool m_bEnded = false;
    CellEditSink* m_sink;
    QPointer<QObject> m_sinkObject;
};
