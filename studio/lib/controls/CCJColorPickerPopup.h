// The drop-down of the colour picker button: an optional "default" box, a grid of 40 named colours
// with tooltips and an optional "custom" box that opens the colour dialog. It follows the pointer
// and the arrow keys, tells its owner every change of selection (kCpnSelChange) and ends the pick
// once, with kCpnSelEndOk or kCpnSelEndCancel; then it closes and deletes itself.
#pragma once

#include "controls/ColorPickMessages.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <QColorDialog>

namespace studio {

class CCJColorPickerPopup : public QWidget {
    Q_OBJECT
public:
    // Item indices beside the cells 0..39.
    static constexpr int kNone = -1;
    static constexpr int kCustomBox = -2;
    static constexpr int kDefaultBox = -3;
    static constexpr int kColourCount = 40;
    static constexpr int kColumns = 10;

    // Opens at once at `screenPoint` (the picker's lower-left corner), showing `colour`; `owner`
    // receives the notifications as window messages. The popup is a child of the owner when the
    // owner is a widget, so it goes with it; then the owner's height decides where it opens when
    // there is no room below.
    CCJColorPickerPopup(QPoint screenPoint, kx::COLORREF colour, QObject* owner, const QString& defaultText,
                        const QString& customText);
    ~CCJColorPickerPopup() override;

    // The named colours of the grid.
    static kx::COLORREF CellColour(int index);
    static const char* CellName(int index);

    int HotIndex() const { return m_nCurrentSel; }
    int ChosenIndex() const { return m_nChosenColourSel; }
    kx::COLORREF CurrentColour() const { return m_crColour; }
    int Margin() const { return m_nMargin; }
    int BoxSize() const { return m_nBoxSize; }
    int Rows() const { return m_nNumRows; }
    // Item rectangles in client coordinates (empty for an item that does not exist).
    QRect CellRect(int index) const;
    QRect DefaultBoxRect() const { return m_DefaultTextRect; }
    QRect CustomBoxRect() const { return m_CustomTextRect; }
    // The item a client point falls on as the pointer rule finds it (kNone for nothing).
    int ItemAt(QPoint client) const;
    // The item an arrow key moves to from `from`; `from` itself for any other key.
    int KeyTarget(int key, int from) const;
    // The running colour dialog while the custom box's OK waits for it.
    QColorDialog* ColourDialog() const { return m_pColourDialog; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void closeEvent(QCloseEvent*) override;
    bool event(QEvent*) override;

private:
    void SetWindowSize(QPoint topLeft);
    void FindCellFromColour();
    void ChangeSelection(int index);
    void EndSelection(unsigned message);
    void OnApplicationStateChanged(Qt::ApplicationState state);
    bool HasDefault() const { return !m_strDefaultText.isEmpty(); }
    bool HasCustom() const { return !m_strCustomText.isEmpty(); }
    QRect ItemRect(int index) const;
    void DrawItemFrame(QPainter& p, const QRect& r, int index) const;
    void DrawCell(QPainter& p, int index) const;

    int m_nNumColours = kColourCount;
    int m_nNumColumns = 0;
    int m_nNumRows = 0;
    int m_nBoxSize = 18;
    int m_nMargin = 0;
    int m_nCurrentSel = kNone;
    int m_nChosenColourSel = kNone;
    QString m_strDefaultText;
    QString m_strCustomText;
    QRect m_CustomTextRect;
    QRect m_DefaultTextRect;
    QRect m_WindowRect;
    kx::COLORREF m_crInitialColour = 0;
    kx::COLORREF m_crColour = 0;
    QPointer<QObject> m_pOwner;
    int m_nOwnerHeight = 0;
    // Set when an end of the pick has started: every later end, the close that follows and the
    // destructor send nothing more.
    bool m_bEnding = false;
    QPointer<QColorDialog> m_pColourDialog;
};

} // namespace studio
