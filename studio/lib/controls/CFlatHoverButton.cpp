#include "controls/CFlatHoverButton.h"

#include "qt/KxDraw3d.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTimerEvent>

namespace studio {

namespace {
constexpr int kCheckMs = 10;
constexpr int kCaptionHeight = 12;
// The icon's drawing area.
constexpr QSize kIconArea(15, 14);
} // namespace

CFlatHoverButton::CFlatHoverButton(QWidget* parent) : QPushButton(parent) {
    m_crHover = kx::ToColorRef(palette().color(QPalette::Highlight));
    m_crNormal = kx::ToColorRef(palette().color(QPalette::WindowText));
    m_crCurrent = m_crNormal;
    setMouseTracking(true);
}

void CFlatHoverButton::SetIconLeftOffset(int offset) {
    m_nIconLeft = offset;
    Redraw();
}

void CFlatHoverButton::SetLayout(int layout) {
    m_nLayout = layout;
    Redraw();
}

void CFlatHoverButton::SetIconTopOffset(int offset) {
    m_nIconTop = offset;
    Redraw();
}

void CFlatHoverButton::SetHoverColour(kx::COLORREF colour) {
    m_crHover = colour;
    Redraw();
}

void CFlatHoverButton::SetNormalColour(kx::COLORREF colour) {
    m_crNormal = colour;
    Redraw();
}

void CFlatHoverButton::SetIcons(const QString& normalResource, const QString& hoverResource) {
    const QPixmap normal(normalResource), hover(hoverResource);
    m_iconNormal = QIcon(normal);
    m_iconHover = QIcon(hover);
    m_iconSize = normal.size();
    m_bHasIcon = true;
}

void CFlatHoverButton::SetIcons(const QIcon& normal, const QIcon& hover, int width, int height) {
    m_iconNormal = normal;
    m_iconHover = hover;
    m_iconSize = QSize(width, height);
    m_bHasIcon = true;
}

bool CFlatHoverButton::SetBtnCursor(const QString& resource) {
    unsetCursor();
    if (resource.isEmpty()) return true;
    const QPixmap picture(resource);
    if (picture.isNull()) return false;
    setCursor(QCursor(picture));
    return true;
}

void CFlatHoverButton::SetLock(bool lock) {
    m_bLocked = lock;
    if (lock) {
        m_nState = kPressed;
    } else {
        m_nState = kNormal;
        m_bHover = false;
    }
    Redraw();
}

void CFlatHoverButton::CheckPointer(bool pointerInside) {
    if (m_bLocked || pointerInside || !m_bHover || !m_bEnabled) return;
    m_timer.stop();
    m_nState = kNormal;
    m_bHover = false;
    Redraw();
}

void CFlatHoverButton::mouseMoveEvent(QMouseEvent* e) {
    if ((e->buttons() & Qt::LeftButton) || m_bLocked) return;
    if (!m_bHover && m_bEnabled) {
        m_bHover = true;
        m_nState = kHovered;
        Redraw();
        m_timer.start(kCheckMs, this);
    }
    QPushButton::mouseMoveEvent(e);
}

void CFlatHoverButton::mousePressEvent(QMouseEvent* e) {
    if (m_bLocked) return;
    m_nState = kPressed;
    Redraw();
    QPushButton::mousePressEvent(e);
}

void CFlatHoverButton::mouseReleaseEvent(QMouseEvent* e) {
    if (m_bLocked) return;
    m_nState = kReleased;
    Redraw();
    QPushButton::mouseReleaseEvent(e);
}

void CFlatHoverButton::timerEvent(QTimerEvent* e) {
    if (e->timerId() == m_timer.timerId()) {
        CheckPointer(rect().contains(mapFromGlobal(QCursor::pos())));
        return;
    }
    QPushButton::timerEvent(e);
}

void CFlatHoverButton::CaptureBackground() {
    // What the parent paints under the button, once: its own background and drawing, without
    // its children (this button among them).
    QWidget* parent = parentWidget();
    m_background = QPixmap(size());
    m_background.fill(palette().color(QPalette::Button));
    if (parent) parent->render(&m_background, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    m_bBackgroundCaptured = true;
}

void CFlatHoverButton::DrawFrame(QPainter& p) const {
    const QPalette& pal = palette();
    const QColor h = pal.color(QPalette::Light), s = pal.color(QPalette::Dark), black(Qt::black);
    const QRect r = rect();
    if (!m_bFlat) {
        if (m_nState == kPressed) {
            kx::Draw3dRect(p, r, black, h);
            kx::Draw3dRect(p, r.adjusted(1, 1, -1, -1), s, h);
        } else {
            kx::Draw3dRect(p, r, h, black);
            kx::Draw3dRect(p, r.adjusted(1, 1, -1, -1), h, s);
        }
        if (m_bFocus) {
            p.setPen(black);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            // The heavier bottom-right line of the default button.
            const int right = r.right() + 1, bottom = r.bottom() + 1;
            p.drawLine(right - 2, r.top(), right - 2, bottom - 2);
            p.drawLine(right - 2, bottom - 2, r.left(), bottom - 2);
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = r.adjusted(4, 4, -4, -4);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
        return;
    }
    if (!m_bEnabled) return;
    if (m_nState == kHovered || m_nState == kReleased) kx::Draw3dRect(p, r, h, s);
    else if (m_nState == kPressed) kx::Draw3dRect(p, r, s, h);
}

void CFlatHoverButton::DrawIcon(QPainter& p) const {
    if (!m_bHasIcon) return;
    const QIcon& icon = (!m_bEnabled || m_nState == kNormal) ? m_iconNormal : m_iconHover;
    if (icon.isNull()) return;
    QPoint at;
    const QString caption = text();
    if (!caption.isEmpty()) {
        at = m_nLayout == kIconLeft ? QPoint(m_nIconLeft, (height() - m_iconSize.height()) / 2)
                                    : QPoint((width() - m_iconSize.width()) / 2, m_nIconTop);
    } else {
        const QSize area = m_iconSize.isEmpty() ? QSize(10, 10) : m_iconSize;
        at = QPoint((width() - area.width()) / 2, (height() - area.height()) / 2);
    }
    if (m_bEnabled && m_nState == kPressed) at += QPoint(1, 1);
    icon.paint(&p, QRect(at, kIconArea), Qt::AlignCenter, m_bEnabled ? QIcon::Normal : QIcon::Disabled);
}

void CFlatHoverButton::DrawCaption(QPainter& p) {
    const QString caption = text().isEmpty() ? m_strCaption : text();
    if (caption.isEmpty()) return;
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(kCaptionHeight);
    font.setWeight(QFont::Normal);
    p.setFont(font);
    const int textWidth = int(caption.size()) * (kCaptionHeight / 2);
    int x = 0, y = 0;
    if (m_nLayout == kIconLeft) {
        x = m_bHasIcon ? m_nIconLeft + 17 : (width() - textWidth) / 2;
        y = (height() - kCaptionHeight) / 2;
    } else {
        y = m_bHasIcon ? m_nIconTop + m_iconSize.height() +
                             (height() - kCaptionHeight - m_nIconTop - m_iconSize.height()) / 2
                       : (height() - kCaptionHeight) / 2;
        x = (width() - textWidth) / 2;
    }
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    if (m_bEnabled) {
        m_crCurrent = (m_nState == kHovered || m_nState == kReleased) ? m_crHover : m_crNormal;
        if (m_nState == kPressed) {
            ++x;
            ++y;
        }
        p.setPen(kx::FromColorRef(m_crCurrent));
        p.drawText(QRect(x, y, width(), kCaptionHeight * 2), flags, caption);
    } else {
        // The embossed look of disabled text.
        const QRect at(x, 5, width(), kCaptionHeight * 2);
        p.setPen(palette().color(QPalette::Light));
        p.drawText(at.translated(1, 1), flags, caption);
        p.setPen(palette().color(QPalette::Dark));
        p.drawText(at, flags, caption);
    }
}

void CFlatHoverButton::paintEvent(QPaintEvent*) {
    if (!isEnabled()) {
        m_bEnabled = false;
        m_nState = kNormal;
    } else {
        m_bEnabled = true;
    }
    m_bFocus = hasFocus();
    if (m_bTransparent && !m_bBackgroundCaptured) CaptureBackground();

    QPainter p(this);
    if (m_bTransparent) p.drawPixmap(0, 0, m_background);
    else p.fillRect(rect(), palette().color(QPalette::Button));
    DrawFrame(p);
    DrawIcon(p);
    DrawCaption(p);
}

} // namespace studio
