#include "controls/CCJColorPickerPopup.h"

#include "qt/KxDraw3d.h"
#include "qt/KxWindowMessage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace studio {

namespace {

struct NamedColour {
    kx::COLORREF value;
    const char* name;
};

// The grid's colours, in cell order (0x00BBGGRR).
constexpr NamedColour kColours[CCJColorPickerPopup::kColourCount] = {
    {0x000000, "Black"},          {0x002AA5, "Brown"},          {0x404000, "Dark Olive Green"},
    {0x005500, "Dark Green"},     {0x5E0000, "Dark Teal"},      {0x8B0000, "Dark blue"},
    {0x82004B, "Indigo"},         {0x282828, "Dark grey"},      {0x00008B, "Dark red"},
    {0x2068FF, "Orange"},         {0x008B8B, "Dark yellow"},    {0x009300, "Green"},
    {0x8E8E38, "Teal"},           {0xFF0000, "Blue"},           {0xC07B7B, "Blue-grey"},
    {0x666666, "Grey - 40"},      {0x0000FF, "Red"},            {0x5BADFF, "Light orange"},
    {0x32CD32, "Lime"},           {0x71B33C, "Sea green"},      {0xD4FF7F, "Aqua"},
    {0xC09E7D, "Light blue"},     {0x800080, "Violet"},         {0x7F7F7F, "Grey - 50"},
    {0xCBC0FF, "Pink"},           {0x00D7FF, "Gold"},           {0x00FFFF, "Yellow"},
    {0x00FF00, "Bright green"},   {0xD0E040, "Turquoise"},      {0xFFFFC0, "Skyblue"},
    {0x480048, "Plum"},           {0xC0C0C0, "Light grey"},     {0xE1E4FF, "Rose"},
    {0x8CB4D2, "Tan"},            {0xE0FFFF, "Light yellow"},   {0x98FB98, "Pale green "},
    {0xEEEEAF, "Pale turquoise"}, {0x8B8368, "Pale blue"},      {0xFAE6E6, "Lavender"},
    {0xFFFFFF, "White"},
};

// A rectangle from its left, top and exclusive right and bottom edges.
QRect Edges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

} // namespace

kx::COLORREF CCJColorPickerPopup::CellColour(int index) {
    return index >= 0 && index < kColourCount ? kColours[index].value : 0;
}

const char* CCJColorPickerPopup::CellName(int index) {
    return index >= 0 && index < kColourCount ? kColours[index].name : "";
}

CCJColorPickerPopup::CCJColorPickerPopup(QPoint screenPoint, kx::COLORREF colour, QObject* owner,
                                         const QString& defaultText, const QString& customText)
    : QWidget(qobject_cast<QWidget*>(owner), Qt::Popup | Qt::FramelessWindowHint),
      m_strDefaultText(defaultText), m_strCustomText(customText), m_crInitialColour(colour), m_crColour(colour),
      m_pOwner(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(QApplication::font("QMessageBox"));
    if (auto* w = qobject_cast<QWidget*>(owner)) m_nOwnerHeight = w->height();

    m_nMargin = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    m_nBoxSize = std::max(m_nBoxSize, 2 * m_nMargin + 7);
    m_nNumColours = std::min(m_nNumColours, 100);

    SetWindowSize(screenPoint);
    FindCellFromColour();

    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &CCJColorPickerPopup::OnApplicationStateChanged);
    show();
    // A popup takes the mouse and keyboard while it is shown; the grab goes with the hide.
    setFocus(Qt::PopupFocusReason);
}

CCJColorPickerPopup::~CCJColorPickerPopup() {
    // Destroyed without an end (its owner went first): nothing more is sent to anyone.
    m_bEnding = true;
    if (QWidget::mouseGrabber() == this) releaseMouse();
}

void CCJColorPickerPopup::SetWindowSize(QPoint topLeft) {
    const int m = m_nMargin, b = m_nBoxSize;
    QSize text;
    if (HasDefault() || HasCustom()) {
        const QFontMetrics fm(font());
        for (const QString* s : {&m_strDefaultText, &m_strCustomText}) {
            if (s->isEmpty()) continue;
            text = text.expandedTo(QSize(fm.horizontalAdvance(*s), fm.height()));
        }
        text += QSize(2 * m, 4 * m + 2);
    }

    m_nNumColumns = kColumns;
    m_nNumRows = m_nNumColours / m_nNumColumns + (m_nNumColours % m_nNumColumns ? 1 : 0);

    QRect w(topLeft, QSize(m_nNumColumns * b + 2 * m, m_nNumRows * b + 2 * m));
    if (HasDefault()) {
        if (w.width() < text.width()) w.setWidth(text.width());
        m_DefaultTextRect = Edges(m, m, m + w.width() - 2 * m, text.height() + 2 * m);
        w.setHeight(w.height() + m_DefaultTextRect.height() + 2 * m);
    }
    if (HasCustom()) {
        if (w.width() < text.width()) w.setWidth(text.width());
        const int h = w.height();
        m_CustomTextRect = Edges(m, h, m + w.width() - 2 * m, h + m + text.height());
        w.setHeight(w.height() + m_CustomTextRect.height() + 2 * m);
    }

    // Keep it on the screen: left at the right edge, above the picker at the bottom, and never
    // above the screen's top (opening above a tall picker could put it there).
    const QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect g = screen->geometry();
        if (w.right() > g.right()) w.translate(g.right() - w.right(), 0);
        if (w.left() < g.left()) w.moveLeft(g.left());
        if (w.bottom() > g.bottom()) w.translate(0, -(m_nOwnerHeight + w.height()));
        if (w.top() < g.top()) w.moveTop(g.top());
    }
    m_WindowRect = w;
    setGeometry(w);
}

void CCJColorPickerPopup::FindCellFromColour() {
    if (m_crInitialColour == kColorDefault && HasDefault()) {
        m_nChosenColourSel = kDefaultBox;
        return;
    }
    for (int i = 0; i < m_nNumColours; ++i) {
        if (CellColour(i) == m_crInitialColour) {
            m_nChosenColourSel = i;
            return;
        }
    }
    m_nChosenColourSel = HasCustom() ? kCustomBox : kNone;
}

QRect CCJColorPickerPopup::CellRect(int index) const {
    if (index < 0 || index >= m_nNumColours) return {};
    const int m = m_nMargin, b = m_nBoxSize;
    const int top = (index / m_nNumColumns) * b + m + (HasDefault() ? m_DefaultTextRect.height() + m : 0);
    return QRect((index % m_nNumColumns) * b + m, top, b, b);
}

QRect CCJColorPickerPopup::ItemRect(int index) const {
    if (index == kDefaultBox) return HasDefault() ? m_DefaultTextRect : QRect();
    if (index == kCustomBox) return HasCustom() ? m_CustomTextRect : QRect();
    return CellRect(index);
}

int CCJColorPickerPopup::ItemAt(QPoint client) const {
    const QPoint p = client - QPoint(m_nMargin, m_nMargin);
    if (HasCustom() && m_CustomTextRect.contains(p)) return kCustomBox;
    if (HasDefault() && m_DefaultTextRect.contains(p)) return kDefaultBox;
    const int x = p.x(), y = p.y() - (HasDefault() ? m_DefaultTextRect.height() : 0);
    // The margin left of or above the grid is no cell (dividing a small negative number would
    // give row or column 0).
    if (x < 0 || y < 0) return kNone;
    const int row = y / m_nBoxSize, col = x / m_nBoxSize;
    const int index = row * m_nNumColumns + col;
    if (row < m_nNumRows && col < m_nNumColumns && index < m_nNumColours) return index;
    return kNone;
}

int CCJColorPickerPopup::KeyTarget(int key, int from) const {
    const int lastCell = m_nNumColours - 1;
    const int wrap = HasCustom() ? kCustomBox : HasDefault() ? kDefaultBox : 0;
    const int last = HasCustom() ? kCustomBox : lastCell;
    const int defaultOrLast = HasDefault() ? kDefaultBox : last;
    const int defaultOrFirst = HasDefault() ? kDefaultBox : 0;
    const bool down = key == Qt::Key_Down, up = key == Qt::Key_Up;
    const bool right = key == Qt::Key_Right, left = key == Qt::Key_Left;
    if (!down && !up && !right && !left) return from;

    if (from == kNone || (from >= 0 && from > lastCell)) return (down || right) ? wrap : defaultOrLast;
    if (from == kDefaultBox) return (down || right) ? 0 : last;
    if (from == kCustomBox) return (down || right) ? defaultOrFirst : lastCell;
    if (down) return from + m_nNumColumns <= lastCell ? from + m_nNumColumns : wrap;
    if (up) return from >= m_nNumColumns ? from - m_nNumColumns : defaultOrLast;
    if (right) return from + 1 <= lastCell ? from + 1 : wrap;
    return from > 0 ? from - 1 : defaultOrLast;
}

void CCJColorPickerPopup::ChangeSelection(int index) {
    const QRect old = ItemRect(m_nCurrentSel);
    m_nCurrentSel = index;
    update(old);
    update(ItemRect(index));

    kx::COLORREF sent = m_crInitialColour;
    if (index == kDefaultBox) {
        m_crColour = kColorDefault;
        sent = m_crColour;
    } else if (index >= 0 && index < m_nNumColours) {
        m_crColour = CellColour(index);
        sent = m_crColour;
    }
    kx::SendMessage(m_pOwner.data(), kCpnSelChange, sent, 0);
}

void CCJColorPickerPopup::EndSelection(unsigned message) {
    if (m_bEnding) return;
    m_bEnding = true;
    QPointer<CCJColorPickerPopup> self(this);
    if (QWidget::mouseGrabber() == this) releaseMouse();
    hide();

    if (message == kCpnSelEndOk && m_nCurrentSel == kCustomBox) {
        // On the heap and owned by the owner's window: when the owner goes while the dialog runs,
        // the dialog goes with it and the run returns.
        auto* ownerWidget = qobject_cast<QWidget*>(m_pOwner.data());
        m_pColourDialog = new QColorDialog(kx::FromColorRef(m_crInitialColour), ownerWidget ? ownerWidget->window() : nullptr);
        m_pColourDialog->setOption(QColorDialog::DontUseNativeDialog);
        const int answer = m_pColourDialog->exec();
        if (!self) return;
        if (answer == QDialog::Accepted && m_pColourDialog) m_crColour = kx::ToColorRef(m_pColourDialog->currentColor());
        else message = kCpnSelEndCancel;
        delete m_pColourDialog.data();
    }
    if (message == kCpnSelEndCancel) m_crColour = m_crInitialColour;
    kx::SendMessage(m_pOwner.data(), message, m_crColour, 0);
    if (self) deleteLater();
}

void CCJColorPickerPopup::OnApplicationStateChanged(Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) EndSelection(kCpnSelEndCancel);
}

void CCJColorPickerPopup::mouseMoveEvent(QMouseEvent* e) {
    const int index = ItemAt(e->position().toPoint());
    if (index != kNone && index != m_nCurrentSel) ChangeSelection(index);
}

void CCJColorPickerPopup::mousePressEvent(QMouseEvent* e) {
    // A press outside does not close the popup: the release decides how the pick ends.
    e->accept();
}

void CCJColorPickerPopup::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    EndSelection(rect().contains(e->position().toPoint()) ? kCpnSelEndOk : kCpnSelEndCancel);
}

void CCJColorPickerPopup::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Left:
        ChangeSelection(KeyTarget(e->key(), m_nCurrentSel));
        e->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        EndSelection(kCpnSelEndOk);
        return;
    case Qt::Key_Escape:
        m_crColour = m_crInitialColour;
        EndSelection(kCpnSelEndCancel);
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void CCJColorPickerPopup::closeEvent(QCloseEvent* e) {
    // Closed from outside (another popup, the window system): the pick ends as a cancel.
    e->accept();
    EndSelection(kCpnSelEndCancel);
}

bool CCJColorPickerPopup::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        for (int i = 0; i < m_nNumColours; ++i) {
            if (CellRect(i).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), QString::fromLatin1(CellName(i)), this, CellRect(i));
                return true;
            }
        }
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    return QWidget::event(e);
}

void CCJColorPickerPopup::DrawItemFrame(QPainter& p, const QRect& r, int index) const {
    const QPalette& pal = palette();
    const bool hot = index == m_nCurrentSel, chosen = index == m_nChosenColourSel && !hot;
    // The button-highlight and 3D-light colours are both the palette's Light.
    p.fillRect(r, chosen ? pal.color(QPalette::Light) : pal.color(QPalette::Button));
    if (hot) kx::DrawEdge(p, r, kx::kRaisedInner, pal);
    else if (chosen) kx::DrawEdge(p, r, kx::kSunkenOuter, pal);
}

void CCJColorPickerPopup::DrawCell(QPainter& p, int index) const {
    const QRect r = CellRect(index);
    DrawItemFrame(p, r, index);
    const int in = m_nMargin + 1;
    const QRect swatch = r.adjusted(in, in, -in, -in);
    if (swatch.isEmpty()) return;
    p.setPen(palette().color(QPalette::Dark));
    p.setBrush(kx::FromColorRef(CellColour(index)));
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void CCJColorPickerPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button), shadow = pal.color(QPalette::Dark);
    const int m = m_nMargin;
    p.fillRect(rect(), face);
    p.setFont(font());

    if (HasDefault()) {
        p.fillRect(m_DefaultTextRect, face);
        const QRect r = m_DefaultTextRect.adjusted(1, 1, -1, -1);
        DrawItemFrame(p, r, kDefaultBox);
        p.setPen(shadow);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(2 * m, 2 * m, -2 * m - 1, -2 * m - 1));
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, m_strDefaultText);
    }
    for (int i = 0; i < m_nNumColours; ++i) DrawCell(p, i);
    if (HasCustom()) {
        const QRect box = m_CustomTextRect;
        const QRect r = box.adjusted(0, 2 * m, 0, 0);
        p.fillRect(r, face);
        p.fillRect(QRect(box.left() + 2 * m, box.top(), box.width() - 4 * m, 1), shadow);
        p.fillRect(QRect(box.left() + 2 * m, box.top() + 1, box.width() - 4 * m, 1), pal.color(QPalette::Light));
        const QRect inner = r.adjusted(1, 1, -1, -1);
        DrawItemFrame(p, inner, kCustomBox);
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, m_strCustomText);
    }
    kx::DrawEdge(p, rect(), kx::kEdgeRaised, pal);
}

} // namespace studio
