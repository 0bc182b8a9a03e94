#include "grid/CInPlaceCombo.h"

#include <QKeyEvent>
#include <QTimer>

CInPlaceCombo::CInPlaceCombo(QWidget* parent, CellEditSink* sink, QObject* sinkObject, int id, int row, int column,
                             const QStringList& choices)
    : QComboBox(parent), m_iItem(row), m_iSubItem(column), m_lstItems(choices), m_sink(sink),
      m_sinkObject(sinkObject) {
    setObjectName(QString::number(id));
    if (parent) setFont(parent->font());
    addItems(m_lstItems);
    show();
    setFocus(Qt::OtherFocusReason);
}

CInPlaceCombo::~CInPlaceCombo() { m_bEnded = true; }

bool CInPlaceCombo::event(QEvent* e) { return KeepEditorKey(e, false) || QComboBox::event(e); }

void CInPlaceCombo::keyPressEvent(QKeyEvent* e) {
    if (IsEditEndKey(e, m_bESC)) {
        e->accept();
        GiveFocusBack();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void CInPlaceCombo::hidePopup() {
    QComboBox::hidePopup();
    // Closing the list ends the edit with the entry chosen.
    QTimer::singleShot(0, this, [this] { GiveFocusBack(); });
}

void CInPlaceCombo::GiveFocusBack() {
    if (m_sink && m_sinkObject) m_sink->TakeFocusBack();
    End();
}

void CInPlaceCombo::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    // The list of the combo itself takes the focus while it is open: that ends nothing.
    if (e->reason() == Qt::PopupFocusReason) return;
    End();
}

void CInPlaceCombo::End() {
    if (m_bEnded) return;
    m_bEnded = true;
    const int selected = currentIndex();
    if (selected >= 0) {
        CellEditEnd end;
        end.editorId = objectName().toInt();
        end.row = m_iItem;
        end.column = m_iSubItem;
        if (!m_bESC) end.text = currentText();
        end.param = currentData().isValid() ? currentData().toLongLong() : 0;
        if (m_sink && m_sinkObject) m_sink->OnEndLabelEdit(end);
    }
    hide();
    deleteLater();
}
