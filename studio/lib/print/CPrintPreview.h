// CPrintPreview: the base of report views. A report view lays its pages out with CPrintTable in
// metric units (hundredths of a millimetre, y growing upwards) with the view's four brushes and
// eight fonts, sets its page range in its preparation or begin printing, and draws each page
// after this class has set the mapping. It previews like the print job's view (its frame stands
// in for the main window) and prints directly, with or without the print dialog.
// PrintPageCount is the page count of a list report.
#pragma once

#include "print/CPrintViewBase.h"

#include <QBrush>
#include <QFont>

#include <cstdint>

// Pages for n items with f on the first page and k on every further one: 0 for no item, 1 when
// they fit the first page, else 1 + ceiling((n - f) / k); k below 1 counts as 1.
int PrintPageCount(int n, int f, int k);

class CPrintPreview : public CPrintViewBase {
    Q_OBJECT
public:
    static constexpr int kBrushCount = 4;
    static constexpr int kFontCount = 8;
    // The brushes' colours (0x00BBGGRR) and the fonts (height in hundredths of a millimetre,
    // face, bold).
    static const uint32_t kBrushColours[kBrushCount];
    struct FontSpec {
        int height;
        const char* face;
        bool bold;
    };
    static const FontSpec kFonts[kFontCount];

    CPrintPreview(CPrintHost& host, QPrinter& printer, QWidget* parent = nullptr);
    ~CPrintPreview() override;

    // Opens this view's preview frame (or brings an open one forward). The frame owns the view.
    void OpenPreview(int resourceId);
    bool IsPreviewOpen() const { return m_bPreviewOpen != 0; }

    // Direct print: with the dialog on the view's printer (Cancel prints nothing); the other
    // form prints on the caller's printer with its current settings. 1 when every page printed.
    int PrintDirect() { return PrintOn(GetPrinter(), true); }
    int PrintDirect(QPrinter& settings) { return PrintOn(settings, false); }

    // (Re)creates the fonts and brushes for the painter's device; with the one-page flag set
    // the range becomes page 1 only.
    void OnBeginPrinting(QPainter& painter, CPrintInfo& info) override;
    // Sets the metric mapping and a transparent background; a report view draws after it.
    int OnPrint(QPainter& painter, CPrintInfo& info) override;

    // Hundredths of a millimetre with y growing upwards, from the device's top-left corner.
    static void SetMetricMapping(QPainter& painter);
    // A font of a height in hundredths of a millimetre on the device ("宋体" and "隶书" fall back
    // to the installed CJK fonts).
    static QFont MakeFont(const QPaintDevice* device, int height, const QString& face, bool bold);

    int m_bOnePage = 0;
    QBrush m_Brush[kBrushCount];
    QFont m_Font[kFontCount];

protected:
    void OnPreviewEnded() override { m_bPreviewOpen = 0; }

private:
    int m_bPreviewOpen = 0;
};
