#include "grid/CInPlaceEdit.h"

#include <QKeyEvent>

CInPlaceEdit::CInPlaceEdit(QWidget* parent, CellEditSink* sink, QObject* sinkObject, int id, int row, int column,
                           const QString& initialText, Qt::Alignment alignment)
    : QLineEdit(parent), m_iItem(row), m_iSubItem(column), m_sInitText(initialText), m_sink(sink),
      m_sinkObject(sinkObject) {
    setObjectName(QString::number(id));
    setAlignment(alignment | Qt::AlignVCenter);
    if (parent) setFont(parent->font());
    setText(initialText);
    setCursorPosition(0);
    show();
    setFocus(Qt::OtherFocusReason);
}

CInPlaceEdit::~CInPlaceEdit() {
    // Destroyed before its edit ended (the grid goes): nothing more is reported.
    m_bEnded = true;
}

bool CInPlaceEdit::event(QEvent* e) {
    // Enter, Escape, Delete and Ctrl keys belong to the editor, not to a dialog's shortcuts.
    return KeepEditorKey(e, true) || QLineEdit::event(e);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* e) {
    if (IsEditEndKey(e, m_bESC)) {
        e->accept();
        // The grid takes the focus back, which ends the edit; ended here too when the focus
        // move sends no event (a window that is not active).
        if (m_sink && m_sinkObject) m_sink->TakeFocusBack();
        End();
        return;
    }
    QLineEdit::keyPressEvent(e);
    e->accept(); // no key leaves the editor for the dialog around it
    if (!e->text().isEmpty()) Widen();
}

void CInPlaceEdit::Widen() {
    const int wanted = fontMetrics().horizontalAdvance(text()) + 5;
    if (wanted <= width()) return;
    int limit = wanted;
    if (QWidget* parent = parentWidget()) limit = std::min(wanted, parent->width() - x());
    if (limit > width()) resize(limit, height());
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    End();
}

void CInPlaceEdit::End() {
    if (m_bEnded) return;
    m_bEnded = true;
    CellEditEnd end;
    end.editorId = objectName().toInt();
    end.row = m_iItem;
    end.column = m_iSubItem;
    if (!m_bESC) end.text = text();
    if (m_sink && m_sinkObject) m_sink->OnEndLabelEdit(end);
    hide();
    deleteLater();
}
