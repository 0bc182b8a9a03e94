// CPrintJob: prints one image file on one page. The print command records the orientation and
// the fit mode and hands the job the file; the job keeps a copy of it (with its whole content),
// opens a print preview in place of the application's main window, and draws the page: the
// image at its natural size, fitted to the paper or stretched over it. It prints on the printer
// the application hands it (or one of its own) and reaches the main window and title through
// its host (the application, or a host of its own). Owned by whoever creates it: the studio's
// application object keeps one.
#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>

#include <memory>

class CkxFile;
class CPrintFrame;
class CPrintHost;
class CPrintView;
class CxImage;
class QPainter;
class QPrinter;
class QWidget;

class CPrintJob {
public:
    static constexpr int kPreviewResource = 128; // what the application opens the preview with
    enum { ORIENT_PORTRAIT = 1, ORIENT_LANDSCAPE = 2 };
    enum { FIT_NATURAL = 1, FIT_PAPER = 2, FIT_FILL = 3 };

    // Without a host the job keeps its own (main window set on it, title from the application's
    // display name); without a printer it makes its own default printer on first use.
    explicit CPrintJob(CPrintHost* host = nullptr, QPrinter* printer = nullptr);
    ~CPrintJob(); // closes an open preview first (the main window comes back)
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    CPrintHost& GetHost();
    // The printer the job prints on; the caller keeps it alive while the job uses it.
    void SetPrinter(QPrinter* printer);
    QPrinter& GetPrinter();

    // Recorded by the print command: 1 portrait, 2 landscape; 1 natural size, 2 fit the paper,
    // 3 fill the paper.
    void SetOrientation(int orientation) { m_nOrientation = orientation; }
    int GetOrientation() const { return m_nOrientation; }
    void SetFitMode(int fitMode) { m_nFitMode = fitMode; }
    int GetFitMode() const { return m_nFitMode; }
    bool IsPortrait() const { return m_nOrientation == ORIENT_PORTRAIT; }
    bool IsLandscape() const { return m_nOrientation == ORIENT_LANDSCAPE; }
    bool IsFitNatural() const { return m_nFitMode == FIT_NATURAL; }
    bool IsFitPaper() const { return m_nFitMode == FIT_PAPER; }
    bool IsFillPaper() const { return m_nFitMode == FIT_FILL; }

    // When the file's whole content is in memory and decodes to a picture: keeps a copy of the
    // file and opens the preview. While the preview is open it is only brought forward (the
    // file shown stays the one printed). 1 when the preview shows, 0 when nothing happened.
    int SetFile(int resourceId, const CkxFile& file);
    // Opens the preview (or brings an open one forward).
    void OpenPreview(int resourceId);
    bool IsPreviewOpen() const { return m_bPreviewOpen != 0; }
    CPrintFrame* GetPreviewFrame() const;
    const CkxFile* GetFile() const { return m_pFile.get(); }

    // Draws the page on the painter's device (its whole size is the printable page): the file
    // decoded by the codec of its extension and placed by the fit mode. 1 when the page was
    // drawn (an unknown fit mode leaves it blank), 0 when the content does not decode.
    int DrawPage(QPainter& painter) const;
    // Where the picture goes on the page for a fit mode; a null rectangle for an unknown mode
    // or a picture without size.
    static QRect FitRect(int fitMode, const QSize& page, const QSize& image);

    // Prints the page. With the dialog: the print dialog over the job's printer first (Cancel
    // prints nothing); without: on the job's printer as it is set. One document named with the
    // application's title, one page; nothing is printed for content that does not decode.
    // 1 when printed.
    int PrintDirect(bool withDialog = true);

private:
    friend class CPrintView;
    // The orientation recorded here, set on the printer.
    void ApplyOrientation(QPrinter& printer) const;
    void OnPreviewEnded() { m_bPreviewOpen = 0; }
    static int DecodeFile(const CkxFile& file, CxImage& image);

    std::unique_ptr<CPrintHost> m_pOwnHost;
    CPrintHost* m_pHost = nullptr;
    std::unique_ptr<QPrinter> m_pOwnPrinter;
    QPrinter* m_pPrinter = nullptr;

    int m_bPreviewOpen = 0;
    int m_nOrientation = ORIENT_PORTRAIT;
    int m_nFitMode = FIT_NATURAL;
    std::unique_ptr<CkxFile> m_pFile; // the file to print, with its whole content
    QPointer<CPrintFrame> m_pFrame;
};
