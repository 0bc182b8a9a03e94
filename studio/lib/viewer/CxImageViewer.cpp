#include "viewer/CxImageViewer.h"

#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "model/CkxFileImage.h"
#include "qt/KxColorRef.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QThread>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>
#include <cstdint>

const char* const CxImageViewer::NOTICE_TEXT = "您无权阅读文件";

namespace {

// Pictures of a file never come larger than this on a side; zoomed rectangles stay well inside
// int range.
constexpr int64_t kMaxExtent = int64_t(1) << 30;

// The zoom commands step by tenths; keeping the scale on that grid stops float drift from making
// three steps down from 1.0 land just below 0.7 (and a truncated size one pixel short).
float OnGrid(float s) { return static_cast<float>(std::round(static_cast<double>(s) * 1e4) / 1e4); }

float Bounded(float s) { return std::clamp(s, CxImageViewer::SCALE_MIN, CxImageViewer::SCALE_MAX); }

// side x scale, truncated, at least one pixel.
int Scaled(int side, float scale) {
    const double v = std::floor(static_cast<double>(side) * (std::round(static_cast<double>(scale) * 1e4) / 1e4) + 1e-9);
    return static_cast<int>(std::clamp<double>(v, 1.0, static_cast<double>(kMaxExtent)));
}

} // namespace

CxImageViewer::CxImageViewer(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers the whole client
    m_PlaySpec.SetBkgroundColor(m_nBkColor);

    // The notice's face, with the CJK faces found on this system behind it.
    m_fontNotice.setFamilies({QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("WenQuanYi Micro Hei"),
                              QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    m_fontNotice.setPixelSize(18);
    m_fontNotice.setWeight(QFont::Normal);
    m_iconNotice = QPixmap(QStringLiteral(":/studio/233-notice.png"));
    const QPixmap drag(QStringLiteral(":/studio/132-drag.png"));
    m_cursorDrag = drag.isNull() ? QCursor(Qt::SizeAllCursor) : QCursor(drag, drag.width() / 2, drag.height() / 2);
}

CxImageViewer::~CxImageViewer() = default;

void CxImageViewer::AssertGuiThread() const {
    Q_ASSERT_X(QThread::currentThread() == thread(), "CxImageViewer", "called off the GUI thread");
}

bool CxImageViewer::HasPicture() const {
    return m_nShow == SHOW_IMAGE && m_File.IsMemWholeValid() && !m_szImage.isEmpty();
}

QColor CxImageViewer::BkColor() const { return kx::FromColorRef(m_nBkColor); }

QSize CxImageViewer::ClientSize() const { return viewport()->size(); }

// ---- operations -------------------------------------------------------------------------------

void CxImageViewer::ShowFile(const CkxFile* file, int transition) {
    AssertGuiThread();
    if (!file) return;
    StopTransition();
    m_File = *file;
    DropDecoded();
    // Only a local file's source path is on this machine: a catalogue file's is the path on the
    // uploader's workstation, and a file of that name here would be some other picture.
    if (!m_File.IsMemWholeValid() && m_File.GetID() < 0 && !m_File.GetSourcePath().empty())
        m_File.LoadMemWhole(m_File.GetSourcePath());

    // The picture's size comes from its own header: the record's width and height may be unset
    // (a local file) or disagree with the content.
    m_szImage = QSize();
    if (m_File.IsMemWholeValid()) {
        CxImageInfo info;
        const uint32_t codec = static_cast<uint32_t>(CXI_CheckImgType(m_File.GetExName()));
        if (CxImage::ReadInfo(m_File.GetMemWholeBuf(), static_cast<size_t>(m_File.GetMemWholeSize()), info, codec) &&
            info.width > 0 && info.height > 0 && info.width <= kMaxExtent && info.height <= kMaxExtent)
            m_szImage = QSize(static_cast<int>(info.width), static_cast<int>(info.height));
    }

    m_cur = transition ? m_slide : m_user;
    m_nShow = SHOW_IMAGE;
    UpdateScrollBars();
    if (transition) {
        Render();
        m_bDirty = false;
        m_bTransition = 1;
        // The timer runs only while a transition does.
        m_timer.start(TRANSITION_PERIOD_MS, Qt::PreciseTimer, this);
    } else {
        m_bDirty = true;
        viewport()->repaint();
    }
}

void CxImageViewer::SetBkColor(unsigned long color) {
    AssertGuiThread();
    if (color == m_nBkColor) return;
    m_nBkColor = color;
    m_PlaySpec.SetBkgroundColor(color);
    // The off-screen picture carries the old colour: a running transition ends with the picture
    // drawn again.
    StopTransition();
    viewport()->repaint();
}

void CxImageViewer::SetOriginalSize(int apply) {
    AssertGuiThread();
    m_user = {ZOOM_ORIGINAL, 1.0f};
    if (apply) Apply();
}

void CxImageViewer::ZoomOut(int apply) {
    AssertGuiThread();
    m_user = {ZOOM_OUT, Bounded(OnGrid(m_user.scale - SCALE_STEP))};
    if (apply) Apply();
}

void CxImageViewer::ZoomIn(int apply) {
    AssertGuiThread();
    m_user = {ZOOM_IN, Bounded(OnGrid(m_user.scale + SCALE_STEP))};
    if (apply) Apply();
}

void CxImageViewer::FitToWindow(int apply) {
    AssertGuiThread();
    m_user = {ZOOM_FIT, 1.0f};
    if (apply) Apply();
}

void CxImageViewer::SetAutoSize(int apply) {
    AssertGuiThread();
    m_user.mode = ZOOM_AUTO;
    if (apply) Apply();
}

void CxImageViewer::SetScale(float scale) {
    AssertGuiThread();
    if (!std::isfinite(scale)) return;
    scale = Bounded(scale);
    if (scale == m_user.scale) return;
    m_user.scale = scale;
    Apply();
}

void CxImageViewer::Apply() {
    if (m_nShow != SHOW_IMAGE) return;
    m_cur = m_user;
    Refresh();
}

void CxImageViewer::Refresh() {
    StopTransition();
    UpdateScrollBars();
    viewport()->repaint();
}

void CxImageViewer::StopTransition() {
    m_bTransition = 0;
    m_timer.stop();
    m_PlaySpec.Reset();
    m_bDirty = true;
}

void CxImageViewer::ResetEffect() {
    AssertGuiThread();
    StopTransition();
    viewport()->update();
}

void CxImageViewer::RestoreView() {
    AssertGuiThread();
    m_File.Destroy();
    DropDecoded();
    m_szImage = QSize();
    m_nShow = SHOW_EMPTY;
    StopTransition();
    UpdateScrollBars();
    viewport()->update();
}

void CxImageViewer::ShowNoRightNotice() {
    AssertGuiThread();
    m_cur = m_notice;
    m_nShow = SHOW_NORIGHT;
    StopTransition();
    UpdateScrollBars();
    viewport()->repaint();
}

// ---- geometry ---------------------------------------------------------------------------------

QSize CxImageViewer::DisplayExtent(const QSize& client) const {
    if (!HasPicture()) return QSize();
    const int iw = m_szImage.width(), ih = m_szImage.height();
    if (m_cur.mode != ZOOM_FIT) return QSize(Scaled(iw, m_cur.scale), Scaled(ih, m_cur.scale));
    const int cw = client.width(), ch = client.height();
    if (iw <= cw && ih <= ch) return m_szImage; // a smaller picture keeps its natural size
    if (cw <= 0 || ch <= 0) return QSize();
    const float kx = float(cw) / float(iw), ky = float(ch) / float(ih);
    // The picture touches two opposite edges; the other way it is 2 x half its scaled size
    // (at least a pixel).
    if (kx >= ky) return QSize(std::max(1, 2 * int(float(iw) * ky / 2)), ch);
    return QSize(cw, std::max(1, 2 * int(float(ih) * kx / 2)));
}

QRect CxImageViewer::PlacePicture() const {
    const QSize client = ClientSize();
    const QSize ext = DisplayExtent(client);
    if (ext.isEmpty()) return QRect();
    const int cw = client.width(), ch = client.height();
    // Narrower than the picture: the scroll position decides; otherwise centred (integer halves,
    // as the fit rectangle is).
    const int x = cw < ext.width() ? -horizontalScrollBar()->value() : cw / 2 - ext.width() / 2;
    const int y = ch < ext.height() ? -verticalScrollBar()->value() : ch / 2 - ext.height() / 2;
    return QRect(QPoint(x, y), ext);
}

void CxImageViewer::UpdateScrollBars() {
    if (m_bInBars) return;
    m_bInBars = true;
    QScrollBar* hbar = horizontalScrollBar();
    QScrollBar* vbar = verticalScrollBar();
    const QSize full = contentsRect().size(); // the client without any bar
    const QSize ext = (HasPicture() && m_cur.mode != ZOOM_FIT) ? DisplayExtent(full) : QSize();
    bool needH = false, needV = false;
    if (!ext.isEmpty()) {
        const int barH = hbar->sizeHint().height(), barW = vbar->sizeHint().width();
        needH = ext.width() > full.width();
        needV = ext.height() > full.height();
        // One bar takes room from the other axis.
        if (needH && !needV) needV = ext.height() > full.height() - barH;
        if (needV && !needH) needH = ext.width() > full.width() - barW;
    }
    setHorizontalScrollBarPolicy(needH ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(needV ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QSize client = ClientSize();
    // Positions stay within [0, display extent - client extent]; a line is a pixel, a page the
    // client's extent.
    hbar->setRange(0, needH ? std::max(0, ext.width() - client.width()) : 0);
    vbar->setRange(0, needV ? std::max(0, ext.height() - client.height()) : 0);
    hbar->setPageStep(std::max(1, client.width()));
    vbar->setPageStep(std::max(1, client.height()));
    hbar->setSingleStep(1);
    vbar->setSingleStep(1);
    m_bInBars = false;
    m_rcDisplay = m_nShow == SHOW_NORIGHT ? QRect(QPoint(0, 0), client) : PlacePicture();
}

// ---- drawing ----------------------------------------------------------------------------------

void CxImageViewer::ClearScreen(QImage& target) const { target.fill(BkColor()); }

void CxImageViewer::Render() {
    const QSize client = ClientSize();
    if (m_imgOffscreen.size() != client) m_imgOffscreen = QImage(client, QImage::Format_RGB32);
    if (m_imgScreen.size() != client) {
        m_imgScreen = QImage(client, QImage::Format_RGB32);
        ClearScreen(m_imgScreen);
    }
    ClearScreen(m_imgOffscreen);
    if (m_nShow == SHOW_IMAGE) DrawPicture(m_imgOffscreen);
    else if (m_nShow == SHOW_NORIGHT) DrawNotice(m_imgOffscreen);
    else m_rcDisplay = QRect();
}

void CxImageViewer::DrawPicture(QImage& target) {
    if (!m_File.IsMemWholeValid()) {
        m_rcDisplay = QRect();
        return;
    }
    const QRect r = PlacePicture();
    m_PlaySpec.spWeavingOpen(r);
    m_PlaySpec.spScanOpen();
    m_rcDisplay = r;
    if (r.isEmpty() || target.isNull()) return;
    const QImage& picture = Decoded(r.size());
    if (picture.isNull()) return; // content that is no picture leaves the background
    // Only the visible part of the rectangle is drawn, whatever the zoom.
    const QRect visible = r & target.rect();
    if (visible.isEmpty()) return;
    QPainter p(&target);
    if (picture.size() == r.size()) {
        p.drawImage(visible.topLeft(), picture, visible.translated(-r.topLeft()));
        return;
    }
    const double sx = double(picture.width()) / r.width(), sy = double(picture.height()) / r.height();
    const QRectF source((visible.left() - r.left()) * sx, (visible.top() - r.top()) * sy, visible.width() * sx,
                        visible.height() * sy);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(visible), picture, source);
}

void CxImageViewer::DrawNotice(QImage& target) {
    const int w = target.width(), h = target.height();
    const QColor ink(255 - int(m_nBkColor & 0xFF), 255 - int((m_nBkColor >> 8) & 0xFF),
                     255 - int((m_nBkColor >> 16) & 0xFF));
    // Integer divisions, truncating toward zero like the rest of the layout.
    const int iconX = (w - NOTICE_WIDTH) / 2 - 20, iconY = h / 2 - 28;
    const int textX = iconX + 35, textY = h / 2 - 21;
    QPainter p(&target);
    p.drawPixmap(iconX, iconY, m_iconNotice);
    p.setFont(m_fontNotice);
    p.setPen(ink);
    // The text's cell starts at textY (its top, not its baseline).
    p.drawText(QPoint(textX, textY + QFontMetrics(m_fontNotice).ascent()), QString::fromUtf8(NOTICE_TEXT));
    // The line under it: NOTICE_WIDTH pixels from textX on the middle row.
    p.fillRect(QRect(textX, h / 2, NOTICE_WIDTH, 1), ink);
}

const QImage& CxImageViewer::Decoded(const QSize& display) {
    const int iw = m_szImage.width(), ih = m_szImage.height();
    const bool shrink = display.width() < iw || display.height() < ih;
    const QSize want = shrink ? QSize(std::min(display.width(), iw), std::min(display.height(), ih)) : m_szImage;
    if (want == m_szDecoded) return m_imgDecoded;
    DropDecoded();
    m_szDecoded = want;
    const uint32_t codec = static_cast<uint32_t>(CXI_CheckImgType(m_File.GetExName()));
    CxImage image;
    const bool ok = shrink ? image.DecodeThumbnail(m_File.GetMemWholeBuf(), static_cast<size_t>(m_File.GetMemWholeSize()),
                                                   static_cast<uint32_t>(want.width()),
                                                   static_cast<uint32_t>(want.height()), codec)
                           : CkxImageTool::XIMAGE_Decode(m_File.m_MemWhole, image, static_cast<int>(codec)) != 0;
    if (ok) {
        m_imgDecoded = CkxImageTool::BuildBitmap(image);
        // Pictures with alpha are kept premultiplied, the form the painter blends fastest.
        if (m_imgDecoded.hasAlphaChannel())
            m_imgDecoded = m_imgDecoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return m_imgDecoded;
}

void CxImageViewer::DropDecoded() {
    m_imgDecoded = QImage();
    m_szDecoded = QSize();
}

// ---- events -----------------------------------------------------------------------------------

void CxImageViewer::paintEvent(QPaintEvent*) {
    // While a transition runs the screen is what its steps drew; otherwise a changed view is
    // drawn off-screen first and shown with one copy.
    if (!m_bTransition && (m_bDirty || m_imgScreen.size() != ClientSize())) {
        Render();
        m_imgScreen = m_imgOffscreen;
        m_bDirty = false;
    }
    QPainter p(viewport());
    p.drawImage(0, 0, m_imgScreen);
}

void CxImageViewer::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    const QSize client = ClientSize();
    if (client != m_szClient) {
        m_szClient = client;
        // A transition was drawing for the old size: it ends with the whole picture.
        StopTransition();
    }
    UpdateScrollBars();
}

void CxImageViewer::scrollContentsBy(int, int) {
    StopTransition();
    if (m_bInBars) return; // UpdateScrollBars places the picture itself when it is done
    m_rcDisplay = PlacePicture();
    viewport()->update();
}

void CxImageViewer::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_Up: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_PageDown:
    case Qt::Key_Down: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    e->accept();
}

void CxImageViewer::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
    setFocus(Qt::MouseFocusReason);
    m_ptAnchor = e->position().toPoint();
    viewport()->setCursor(m_cursorDrag);
}

void CxImageViewer::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(e);
    viewport()->setCursor(Qt::ArrowCursor);
}

void CxImageViewer::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return QAbstractScrollArea::mouseMoveEvent(e);
    viewport()->setCursor(m_cursorDrag);
    const QPoint pt = e->position().toPoint();
    const QPoint d = pt - m_ptAnchor;
    // The picture follows the pointer; the bars hold the positions at their ends.
    verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
    m_ptAnchor = pt;
}

void CxImageViewer::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mouseDoubleClickEvent(e);
    Q_EMIT LayoutSwitchRequested();
}

void CxImageViewer::timerEvent(QTimerEvent* e) {
    if (e->timerId() == m_timer.timerId()) TransitionTick();
    else QAbstractScrollArea::timerEvent(e);
}

// ---- transitions ------------------------------------------------------------------------------

void CxImageViewer::TransitionTick() {
    AssertGuiThread();
    if (!m_bTransition) return;
    if (m_imgScreen.size() != m_imgOffscreen.size() || m_imgScreen.size() != ClientSize()) {
        // The client changed under the transition: show the whole picture instead.
        StopTransition();
        viewport()->update();
        return;
    }
    CkxPlaySpec& ps = m_PlaySpec;
    const QRect client(QPoint(0, 0), m_imgScreen.size());
    int more = 0;
    switch (ps.GetType()) {
    case CkxPlaySpec::TYPE_SCAN: more = ps.spScanStep(m_imgScreen, m_imgOffscreen, client); break;
    case CkxPlaySpec::TYPE_MOVE:
        if (ps.spMoveIsFirst()) ClearScreen(m_imgScreen);
        more = ps.spMoveStep(m_imgScreen, m_imgOffscreen, client);
        break;
    case CkxPlaySpec::TYPE_MOSIC:
        if (ps.spMosicIsFirst()) ClearScreen(m_imgScreen);
        more = ps.spMosicStep(m_imgScreen, m_imgOffscreen, m_rcDisplay);
        break;
    case CkxPlaySpec::TYPE_BLOCK:
        if (ps.spBlockIsFirst()) ClearScreen(m_imgScreen);
        more = ps.spBlockStep(m_imgScreen, m_imgOffscreen, m_rcDisplay);
        break;
    case CkxPlaySpec::TYPE_SHUTTER:
        if (ps.spShutterIsFirst()) ClearScreen(m_imgScreen);
        more = ps.spShutterStep(m_imgScreen, m_imgOffscreen, m_rcDisplay);
        break;
    case CkxPlaySpec::TYPE_WEAVING:
        if (ps.spWeavingIsFirst()) ClearScreen(m_imgScreen);
        more = ps.spWeavingStep(m_imgScreen, m_imgOffscreen);
        break;
    default:
        // Frame, and any type the player does not know: the whole picture at once, so that a
        // slide show waiting for the transition to end never stalls.
        ps.spFrameDone(m_imgScreen, m_imgOffscreen, client);
        break;
    }
    if (!more) {
        m_bTransition = 0;
        m_timer.stop();
    }
    viewport()->update();
}
