#include "controls/CCJColorPicker.h"

#include "controls/CCJColorPickerPopup.h"
#include "qt/KxDraw3d.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace studio {

namespace {
constexpr int kTextMode = 1;
}

CCJColorPicker::CCJColorPicker(QWidget* parent, int id) : QPushButton(parent), m_nId(id) {
    m_crColourBk = kx::ToColorRef(palette().color(QPalette::Button));
    m_crColourText = kx::ToColorRef(palette().color(QPalette::ButtonText));
    setObjectName(QString::number(id));
    connect(this, &QPushButton::clicked, this, &CCJColorPicker::OnClicked);
    SizeToContent();
}

void CCJColorPicker::Create(const QRect& r) {
    setGeometry(r);
    SizeToContent();
}

void CCJColorPicker::SizeToContent() {
    const int ex = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int ey = ex;
    const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int side = std::max(std::max(5 * ex, thumb), std::max(5 * ey, thumb));
    const int w = std::max(width(), 2 * ex + 2 * side);
    // As high as the arrow box with its edges, and no lower than a push button with a line of
    // caption, so the caption is never cut.
    const int h = std::max(side + 2 * ey, QPushButton::sizeHint().height());
    setGeometry(QRect(pos(), QSize(w, h)));
    m_ArrowRect = QRect(QPoint(w - side - ex, ey), QPoint(w - ex - 1, h - ey - 1));
}

kx::COLORREF CCJColorPicker::GetColor() const {
    return m_nSelectionMode == kTextMode ? m_crColourText : m_crColourBk;
}

void CCJColorPicker::SetColor(kx::COLORREF colour) {
    if (m_nSelectionMode == kTextMode) SetTextColour(colour);
    else SetBkColour(colour);
}

void CCJColorPicker::SetBkColour(kx::COLORREF colour) {
    m_crColourBk = colour;
    Repaint();
}

void CCJColorPicker::SetTextColour(kx::COLORREF colour) {
    m_crColourText = colour;
    Repaint();
}

void CCJColorPicker::Repaint() {
    if (isVisible()) repaint();
    else update();
}

void CCJColorPicker::Notify(unsigned message, kx::COLORREF colour) {
    kx::SendMessage(parent(), message, colour, m_nId);
}

void CCJColorPicker::OnClicked() {
    if (m_pPopup) return; // one pick at a time
    m_bActive = true;
    Repaint();
    m_pPopup = new CCJColorPickerPopup(mapToGlobal(QPoint(0, height())), GetColor(), this, m_strDefaultText,
                                       m_strCustomText);
    Notify(kCpnDropDown, GetColor());
}

kx::LRESULT CCJColorPicker::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM) {
    const auto colour = static_cast<kx::COLORREF>(wParam);
    switch (message) {
    case kCpnSelEndOk:
    case kCpnSelEndCancel:
        // The popup deletes itself later; the next click may open a new one at once.
        m_pPopup = nullptr;
        m_bActive = false;
        SetColor(colour);
        Notify(kCpnCloseUp, colour);
        Notify(message, colour);
        return 1;
    case kCpnSelChange:
        if (m_bTrackSelection) SetColor(colour);
        Notify(kCpnSelChange, colour);
        return 1;
    default:
        return 0;
    }
}

void CCJColorPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor highlight = pal.color(QPalette::Light), shadow = pal.color(QPalette::Dark);
    const bool pressed = isDown() || m_bActive;
    const bool enabled = isEnabled();
    QRect r = rect();
    p.fillRect(r, face);

    // The arrow box at the right, drawn as a scroll bar's down button.
    const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    QRect a = r;
    a.setLeft(r.right() + 1 - thumb);
    {
        QStyleOption opt;
        opt.initFrom(this);
        opt.rect = a;
        opt.state = (enabled ? QStyle::State_Enabled : QStyle::State_None) |
                    (pressed ? QStyle::State_Sunken : QStyle::State_Raised);
        kx::DrawEdge(p, a, pressed ? kx::kEdgeSunken : kx::kEdgeRaised, pal);
        QStyleOption arrow = opt;
        arrow.rect = a.adjusted(3, 3, -3, -3).translated(pressed ? 1 : 0, pressed ? 1 : 0);
        if (!enabled) arrow.palette.setCurrentColorGroup(QPalette::Disabled);
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
    }
    // Take away the arrow's own border.
    kx::Draw3dRect(p, a, face, face);
    kx::Draw3dRect(p, a.adjusted(1, 1, -1, -1), face, face);
    if (pressed) a.translate(1, 1);

    // Divider between the swatch and the arrow.
    const int y0 = a.top() + 2, y1 = a.bottom() - 2;
    if (y1 >= y0) {
        p.fillRect(QRect(a.left() - 1, y0, 1, y1 - y0 + 1), shadow);
        p.fillRect(QRect(a.left(), y0, 1, y1 - y0 + 1), highlight);
    }

    kx::DrawEdge(p, r, pressed ? kx::kEdgeSunken : kx::kEdgeRaised, pal);

    r.adjust(2, 2, -2, -2);
    kx::Draw3dRect(p, r, face, face);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = r;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
    if (pressed) r.translate(1, 1);
    r.adjust(2, 2, -2, -2);
    r.setRight(a.left() - 4 - 1);

    if (r.width() > 0 && r.height() > 0) {
        const bool plain = !enabled || m_crColourBk == kColorDefault;
        p.setBrush(plain ? face : kx::FromColorRef(m_crColourBk));
        p.setPen(enabled ? Qt::black : Qt::white);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }

    if (!text().isEmpty()) {
        const int flags = Qt::AlignCenter | Qt::TextSingleLine;
        if (!enabled) {
            p.setPen(highlight);
            p.drawText(r.translated(1, 1), flags, text());
            p.setPen(shadow);
            p.drawText(r, flags, text());
        } else {
            p.setPen(m_crColourText == kColorDefault ? QColor(Qt::black) : kx::FromColorRef(m_crColourText));
            p.drawText(r, flags, text());
        }
    }
}

} // namespace studio
