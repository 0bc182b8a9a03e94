// A push button that reacts to the pointer: flat (a border only while hovered or pressed) or with
// a classic 3D border, an optional icon beside or above its caption, a caption colour of its own
// while hovered, its parent's background under it when transparent, and a lock that holds its
// pressed look. A 10 ms check notices the pointer leaving.
#pragma once

#include "qt/KxColorRef.h"

#include <QBasicTimer>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QSize>
#include <QString>

namespace studio {

class CFlatHoverButton : public QPushButton {
    Q_OBJECT
public:
    // The button's states.
    static constexpr int kHovered = 0;
    static constexpr int kNormal = 1;
    static constexpr int kReleased = 2;
    static constexpr int kPressed = 3;
    // Where the icon sits.
    static constexpr int kIconLeft = 0;
    static constexpr int kIconAbove = 1;

    explicit CFlatHoverButton(QWidget* parent = nullptr);

    void SetIconLeftOffset(int offset);
    void SetLayout(int layout);
    void SetIconTopOffset(int offset);
    void SetHoverColour(kx::COLORREF colour);
    void SetNormalColour(kx::COLORREF colour);
    void SetTransparent(bool transparent) { m_bTransparent = transparent; }
    void SetFlat(bool flat) { m_bFlat = flat; }
    // Icons from two resource pictures (normal, hover); their size becomes the icon size.
    void SetIcons(const QString& normalResource, const QString& hoverResource);
    // Icons given with the size to lay them out by.
    void SetIcons(const QIcon& normal, const QIcon& hover, int width, int height);
    // Drawn when the button's own text is empty.
    void SetFallbackCaption(const QString& caption) { m_strCaption = caption; }
    // A cursor from a resource picture; an empty name removes the cursor and succeeds; false when
    // the picture does not load.
    bool SetBtnCursor(const QString& resource);
    void SetLock(bool lock);
    bool IsLocked() const { return m_bLocked; }

    int State() const { return m_nState; }
    bool IsHovering() const { return m_bHover; }
    kx::COLORREF CurrentCaptionColour() const { return m_crCurrent; }
    bool BackgroundCaptured() const { return m_bBackgroundCaptured; }
    bool HoverTimerActive() const { return m_timer.isActive(); }

    // The pointer check the 10 ms timer makes: the pointer left the button when `pointerInside`
    // is false.
    void CheckPointer(bool pointerInside);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void timerEvent(QTimerEvent*) override;

private:
    void Redraw() { update(); }
    void CaptureBackground();
    void DrawFrame(QPainter& p) const;
    void DrawIcon(QPainter& p) const;
    void DrawCaption(QPainter& p);

    QPixmap m_background;
    bool m_bBackgroundCaptured = false;
    bool m_bHover = false;
    bool m_bEnabled = true;
    bool m_bFocus = false;
    bool m_bFlat = true;
    bool m_bTransparent = true;
    kx::COLORREF m_crCurrent = 0;
    kx::COLORREF m_crHover = 0;
    kx::COLORREF m_crNormal = 0;
    bool m_bHasIcon = false;
    int m_nIconTop = 5;
    int m_nIconLeft = 5;
    int m_nState = kNormal;
    int m_nLayout = kIconLeft;
    QIcon m_iconHover;
    QIcon m_iconNormal;
    QSize m_iconSize{0, 0};
    bool m_bLocked = false;
    QString m_strCaption;
    QBasicTimer m_timer;
};

} // namespace studio
