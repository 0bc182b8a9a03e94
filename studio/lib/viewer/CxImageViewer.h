// CxImageViewer: the scrolling picture view of the file information bar. It shows one catalogue
// image at its natural size, at the user's scale or fitted to the window, pans by keys, scroll bars,
// drag and wheel, shows a notice in place of a file the user may not read, and brings each picture
// of a slide show on screen through a transition of its CkxPlaySpec, one step every 10 ms.
// Everything runs on the GUI thread; the host drives the slide show and waits for
// IsTransitionIdle before it shows the next file.
#pragma once

#include "model/CkxFile.h"
#include "ui/CkxPlaySpec.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QCursor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QSize>

class CxImageViewer : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Zoom modes.
    enum { ZOOM_ORIGINAL = 0, ZOOM_OUT = 1, ZOOM_IN = 2, ZOOM_FIT = 3, ZOOM_AUTO = 4 };
    // What the view shows.
    enum { SHOW_EMPTY = 0, SHOW_IMAGE = 1, SHOW_NORIGHT = 2 };
    // The scale's bounds and the zoom commands' step. Below the floor a picture would vanish (and
    // the arithmetic divide by nothing); above the ceiling its rectangle would leave int range.
    static constexpr float SCALE_MIN = 0.1f;
    static constexpr float SCALE_MAX = 16.0f;
    static constexpr float SCALE_STEP = 0.1f;
    static constexpr int TRANSITION_PERIOD_MS = 10;
    // The notice's box: the text and the line under it are this wide.
    static constexpr int NOTICE_WIDTH = 130;
    static const char* const NOTICE_TEXT;

    struct ZoomState {
        int mode = ZOOM_FIT;
        float scale = 1.0f;
    };

    explicit CxImageViewer(QWidget* parent = nullptr);
    ~CxImageViewer() override;

    // Shows a copy of the file. Without content of its own, a local file (negative id) is read
    // from its source path. With transition set the file is shown fitted and brought on screen
    // by the player's current transition; without, at the user's zoom at once. Null does nothing.
    void ShowFile(const CkxFile* file, int transition);
    // Background colour in the 0x00BBGGRR form; the transitions clear to it too.
    void SetBkColor(unsigned long color);
    unsigned long GetBkColor() const { return m_nBkColor; }

    // Zoom commands: each sets the user's zoom; with apply set (and a picture shown) the view
    // takes it at once, otherwise it waits for the next file shown without transition.
    void SetOriginalSize(int apply);
    void ZoomOut(int apply);
    void ZoomIn(int apply);
    void FitToWindow(int apply);
    void SetAutoSize(int apply);
    // A user scale (bounded as above); applied when it changes.
    void SetScale(float scale);

    // Stops a running transition and shows the whole picture.
    void ResetEffect();
    int IsTransitionIdle() const { return m_bTransition ? 0 : 1; }
    // Forgets the file and shows the plain background.
    void RestoreView();
    // The notice that the user may not read the file.
    void ShowNoRightNotice();

    // The current zoom (what is drawn).
    int IsOriginalSize() const { return m_cur.mode == ZOOM_ORIGINAL; }
    int IsZoomOut() const { return m_cur.mode == ZOOM_OUT; }
    int IsZoomIn() const { return m_cur.mode == ZOOM_IN; }
    int IsFitToWindow() const { return m_cur.mode == ZOOM_FIT; }
    int IsAutoSize() const { return m_cur.mode == ZOOM_AUTO; }
    ZoomState GetCurZoom() const { return m_cur; }
    ZoomState GetUserZoom() const { return m_user; }

    // The host chooses the transition type on the player itself.
    CkxPlaySpec& GetPlaySpec() { return m_PlaySpec; }

    int GetShowState() const { return m_nShow; }
    // Where the picture lies in viewport coordinates (empty while there is none).
    QRect GetDisplayRect() const { return m_rcDisplay; }
    // The picture's own size (from its content), empty when the content is no picture.
    QSize GetImageSize() const { return m_szImage; }
    const CkxFile& GetFile() const { return m_File; }

    // One step of a running transition: what the 10 ms timer runs. Public so that a host (or a
    // test) can step a transition by hand.
    void TransitionTick();

Q_SIGNALS:
    // A double click asks the application to switch between its big-screen and default layouts.
    void LayoutSwitchRequested();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void AssertGuiThread() const;
    bool HasPicture() const;
    // Takes the user's zoom (when a picture is shown) and redraws.
    void Apply();
    // Ends a running transition; the next paint draws the whole picture.
    void StopTransition();
    // The picture needs drawing again: ends any transition and repaints now.
    void Refresh();
    // Shows or hides the bars for the current zoom and sets their ranges.
    void UpdateScrollBars();
    // The picture's extent at the current zoom for a client of the given size.
    QSize DisplayExtent(const QSize& client) const;
    // Where the picture lies in the current client (bars' positions or centring).
    QRect PlacePicture() const;
    QSize ClientSize() const;
    // Draws what the view shows into the off-screen picture.
    void Render();
    void DrawPicture(QImage& target);
    void DrawNotice(QImage& target);
    // The decoded picture for a display rectangle of this size: at most the natural size, shrunk
    // on load when the rectangle is smaller; kept until the size or the file changes.
    const QImage& Decoded(const QSize& display);
    void DropDecoded();
    void ClearScreen(QImage& target) const;
    QColor BkColor() const;

    unsigned long m_nBkColor = 0;
    QImage m_imgOffscreen; // the client-sized off-screen picture
    QImage m_imgScreen;    // what the viewport shows; the transition steps draw here
    bool m_bDirty = true;  // the off-screen picture must be drawn again before the next paint
    int m_nShow = SHOW_EMPTY;
    ZoomState m_cur, m_user, m_slide, m_notice;
    CkxFile m_File;
    QSize m_szImage;
    int m_bTransition = 0;
    QSize m_szClient;
    QRect m_rcDisplay;
    QFont m_fontNotice;
    QPixmap m_iconNotice;
    QCursor m_cursorDrag;
    QPoint m_ptAnchor;
    bool m_bDragging = false;
    CkxPlaySpec m_PlaySpec;
    QBasicTimer m_timer;

    QImage m_imgDecoded;
    QSize m_szDecoded;         // the size m_imgDecoded was asked for (null when it failed)
    bool m_bInBars = false;    // guards UpdateScrollBars against the resizes it causes
};
