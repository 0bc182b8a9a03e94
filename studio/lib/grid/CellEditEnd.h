// What an in-place cell editor reports when its edit ends: which editor, which cell, the text
// (none when the edit was cancelled) and, for a drop-down list, the chosen entry's data. The grid
// that opened the editor receives it through CellEditSink.
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QString>

#include <cstdint>
#include <optional>

struct CellEditEnd {
    int editorId = 0;
    int row = -1;
    int column = 0;
    std::optional<QString> text;
    std::intptr_t param = 0;
};

class CellEditSink {
public:
    virtual ~CellEditSink() = default;
    virtual void OnEndLabelEdit(const CellEditEnd& end) = 0;
    // The widget that takes the focus back when an edit ends.
    virtual void TakeFocusBack() = 0;
};

// Keys an in-place editor keeps for itself before a dialog's shortcuts see them: Enter and
// Escape always, Delete and Ctrl keys too for a text editor. Accepts the shortcut override and
// returns true for them.
inline bool KeepEditorKey(QEvent* e, bool textEditor) {
    if (e->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    const int k = key->key();
    const bool kept = k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape ||
                      (textEditor && (k == Qt::Key_Delete || (key->modifiers() & Qt::ControlModifier)));
    if (kept) e->accept();
    return kept;
}

// Enter or Escape in an editor: returns true (and sets `cancelled` for Escape) when the key ends
// the edit.
inline bool IsEditEndKey(const QKeyEvent* e, bool& cancelled) {
    if (e->key() == Qt::Key_Escape) cancelled = true;
    return e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
