// A push button that shows a colour swatch, an optional caption and a drop-down arrow; a click
// opens the colour popup, and the pick's course reaches the parent as window messages
// (kCpnDropDown, kCpnSelChange, kCpnCloseUp, then kCpnSelEndOk or kCpnSelEndCancel; wParam the
// colour, lParam the button's control id). Mode 1 edits the caption colour, any other mode the
// background (swatch) colour.
#pragma once

#include "controls/ColorPickMessages.h"
#include "qt/KxWindowMessage.h"

#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace studio {

class CCJColorPickerPopup;

class CCJColorPicker : public QPushButton, public kx::MessageReceiver {
    Q_OBJECT
public:
    // `id` is the control id the notifications carry (also the objectName).
    explicit CCJColorPicker(QWidget* parent = nullptr, int id = 0);

    // Places the button at `r` and sizes it: at least wide enough for its arrow box, and as high
    // as the box with its edges or as a push button with a line of caption, the taller.
    void Create(const QRect& r);

    kx::COLORREF GetColor() const;
    void SetColor(kx::COLORREF colour);
    kx::COLORREF GetBkColour() const { return m_crColourBk; }
    void SetBkColour(kx::COLORREF colour);
    kx::COLORREF GetTextColour() const { return m_crColourText; }
    void SetTextColour(kx::COLORREF colour);
    void SetDefaultText(const QString& text) { m_strDefaultText = text; }
    void SetCustomText(const QString& text) { m_strCustomText = text; }
    QString GetDefaultText() const { return m_strDefaultText; }
    QString GetCustomText() const { return m_strCustomText; }
    void SetTrackSelection(bool track) { m_bTrackSelection = track; }
    bool GetTrackSelection() const { return m_bTrackSelection; }
    void SetSelectionMode(int mode) { m_nSelectionMode = mode; }
    int GetSelectionMode() const { return m_nSelectionMode; }

    bool IsPopupActive() const { return m_bActive; }
    QRect ArrowRect() const { return m_ArrowRect; }
    // The open popup, while a pick runs.
    CCJColorPickerPopup* Popup() const { return m_pPopup; }
    int ControlId() const { return m_nId; }

    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void OnClicked();
    void SizeToContent();
    void Notify(unsigned message, kx::COLORREF colour);
    void Repaint();

    bool m_bActive = false;
    bool m_bTrackSelection = false;
    kx::COLORREF m_crColourBk;
    kx::COLORREF m_crColourText;
    int m_nSelectionMode = 2;
    QRect m_ArrowRect;
    QString m_strDefaultText;
    QString m_strCustomText;
    int m_nId = 0;
    QPointer<CCJColorPickerPopup> m_pPopup;
};

} // namespace studio
