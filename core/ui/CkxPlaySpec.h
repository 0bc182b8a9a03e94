// CkxPlaySpec: the slide show's transition effects. Each brings the next picture (an off-screen
// image in the window's own coordinates) into an area of the window image in small steps: a
// step draws one increment and returns 1 while more remain, 0 when the picture is complete and
// the transition's state is cleared for the next run.
#pragma once

#include "model/KxExport.h"

#include <QImage>
#include <QRect>

#include <random>
#include <vector>

class KX_EXPORT CkxPlaySpec {
public:
    enum { TYPE_FRAME = 0, TYPE_SCAN = 1, TYPE_MOVE = 2, TYPE_SHUTTER = 3, TYPE_MOSIC = 4, TYPE_BLOCK = 5, TYPE_WEAVING = 6 };
    static constexpr int CELL = 12;           // mosaic and block cells are CELL x CELL pixels
    static constexpr int SHUTTER_WIDTH = 1;   // a shutter column
    static constexpr int SHUTTER_SPACING = 5; // and the distance between columns of one pass

    CkxPlaySpec();
    virtual ~CkxPlaySpec() = default;

    void SetType(int type) { m_nType = type; }
    int GetType() const { return m_nType; }
    void SetType_Frame() { m_nType = TYPE_FRAME; }
    void SetType_Scan() { m_nType = TYPE_SCAN; }
    void SetType_Move() { m_nType = TYPE_MOVE; }
    void SetType_Shutter() { m_nType = TYPE_SHUTTER; }
    void SetType_Mosic() { m_nType = TYPE_MOSIC; }
    void SetType_Block() { m_nType = TYPE_BLOCK; }
    void SetType_Weaving() { m_nType = TYPE_WEAVING; }
    int IsType_Frame() const { return m_nType == TYPE_FRAME; }
    int IsType_Scan() const { return m_nType == TYPE_SCAN; }
    int IsType_Move() const { return m_nType == TYPE_MOVE; }
    int IsType_Shutter() const { return m_nType == TYPE_SHUTTER; }
    int IsType_Mosic() const { return m_nType == TYPE_MOSIC; }
    int IsType_Block() const { return m_nType == TYPE_BLOCK; }
    int IsType_Weaving() const { return m_nType == TYPE_WEAVING; }

    // Colour in the system's 0x00BBGGRR form.
    void SetBkgroundColor(unsigned long color) { m_nBkColor = color; }
    unsigned long GetBkgroundColor() const { return m_nBkColor; }
    // Clears the step state of every transition.
    void Reset();

    // Frame: the whole area at once.
    void spFrameDone(QImage& window, const QImage& picture, const QRect& area);

    // Scan: opens from the centre row outwards, one row more on each side per step.
    void spScanOpen();
    int spScanStep(QImage& window, const QImage& picture, const QRect& area);
    void spScanDone(QImage& window, const QImage& picture, const QRect& area);
    int spScanIsFirst() const;

    // Move: the picture's halves slide in from the left and right edges, a column per step.
    void spMoveOpen();
    int spMoveStep(QImage& window, const QImage& picture, const QRect& area);
    void spMoveDone(QImage& window, const QImage& picture, const QRect& area);
    int spMoveIsFirst() const;

    // Shutter: five passes of one-pixel columns five apart, a column per step.
    void spShutterOpen();
    int spShutterStep(QImage& window, const QImage& picture, const QRect& area);
    void spShutterDone(QImage& window, const QImage& picture, const QRect& area);
    int spShutterIsFirst() const;

    // Mosaic: the area's cells in random order, one per step (the generator is seeded from
    // the clock when the transition starts).
    void spMosicOpen();
    int spMosicStep(QImage& window, const QImage& picture, const QRect& area);
    void spMosicDone(QImage& window, const QImage& picture, const QRect& area);
    int spMosicIsFirst() const;

    // Block: the cells with even list index (row by row, left to right), then the odd ones.
    void spBlockOpen();
    int spBlockStep(QImage& window, const QImage& picture, const QRect& area);
    void spBlockDone(QImage& window, const QImage& picture, const QRect& area);
    int spBlockIsFirst() const;

    // Weaving: revealed from the bottom, each step stretching the next row up over the rest.
    void spWeavingOpen(const QRect& area);
    int spWeavingStep(QImage& window, const QImage& picture);
    void spWeavingDone(QImage& window, const QImage& picture);
    int spWeavingIsFirst() const;

    // How many cells of CELL x CELL pixels cover an area (partial cells at the right and bottom).
    static int CellCount(const QRect& area);

private:
    // The progress of one transition: the area fixed at its first step, the increments drawn,
    // their total, and for the cell transitions the order of the cells.
    struct Run {
        bool started = false;
        QRect area;
        int next = 0;
        int total = 0;
        std::vector<int> order;
    };
    using Draw = void (CkxPlaySpec::*)(Run&, int, QImage&, const QImage&);

    int Step(Run& run, Draw draw, QImage& window, const QImage& picture, const QRect& area);
    void Finish(Run& run, Draw draw, QImage& window, const QImage& picture, const QRect& area);
    void Begin(Run& run, Draw draw, const QRect& area);

    void DrawScan(Run& run, int k, QImage& window, const QImage& picture);
    void DrawMove(Run& run, int k, QImage& window, const QImage& picture);
    void DrawShutter(Run& run, int k, QImage& window, const QImage& picture);
    void DrawCell(Run& run, int k, QImage& window, const QImage& picture);
    void DrawWeaving(Run& run, int k, QImage& window, const QImage& picture);

    int m_nType = TYPE_FRAME;
    unsigned long m_nBkColor = 0xFFFFFF;
    Run m_scan, m_move, m_shutter, m_mosic, m_block, m_weaving;
    QRect m_weavingArea;
    std::mt19937 m_random;
};
