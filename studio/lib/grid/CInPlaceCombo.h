// A drop-down list of choices over one cell of a tree-list grid. It takes the focus when made;
// choosing an entry and closing the list, or Enter, commits; Escape cancels; losing the focus
// ends the edit. The grid hears the result once (only when an entry is selected), then the
// editor deletes itself.
#pragma once

#include "grid/CellEditEnd.h"

#include <QComboBox>
#include <QPointer>
#include <QStringList>

class CInPlaceCombo : public QComboBox {
    Q_OBJECT
public:
    CInPlaceCombo(QWidget* parent, CellEditSink* sink, QObject* sinkObject, int id, int row, int column,
                  const QStringList& choices);
    ~CInPlaceCombo() override;

    bool IsCancelled() const { return m_bESC; }
    void Detach() { m_sink = nullptr; }
    void hidePopup() override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void GiveFocusBack();
    void End();

    int m_iItem;
    int m_iSubItem;
    QStringList m_lstItems;
    bool m_bESC = false;
    bool m_bEnded = false;
    CellEditSink* m_sink;
    QPointer<QObject> m_sinkObject;
};
