// Printing: the print job's page placement, its preview window and direct print on a PDF
// printer, the report view's pages and the print table's geometry, fills and texts.
#include "print/CPrintFrame.h"
#include "print/CPrintHost.h"
#include "print/CPrintJob.h"
#include "print/CPrintPreview.h"
#include "print/CPrintTable.h"

#include "base/Gbk.h"
#include "model/CkxFile.h"
#include "qt/KxModalDriver.h"
#include "support/TempDir.h"
#include "support/gui/Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLine>
#include <QMainWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTest>

#include <regex>
#include <string>
#include <vector>

namespace {

const QColor kRed(200, 0, 0);

// A catalogue file whose whole content is a w x h picture of one colour, encoded as ext says.
CkxFile PictureFile(int w, int h, const QColor& colour = kRed, const char* ext = "png") {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, QByteArray(ext).toUpper().constData()));
    CkxFile file;
    file.m_strTitle = "picture";
    file.m_strExName = ext;
    file.UpdateWhole(bytes.constData(), static_cast<int>(bytes.size()));
    return file;
}

// A file with bytes that are no picture.
CkxFile TextFile(const char* ext) {
    CkxFile file;
    file.m_strTitle = "notes";
    file.m_strExName = ext;
    const std::string text = "not a picture at all";
    file.UpdateWhole(text.data(), static_cast<int>(text.size()));
    return file;
}

void PdfPrinter(QPrinter& printer, const std::string& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
}

std::string ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

// The page dictionaries of a PDF file: one media box (width, height) each.
std::vector<QSizeF> PdfPages(const std::string& path) {
    const std::string pdf = ReadAll(path);
    std::vector<QSizeF> pages;
    static const std::regex page(R"(/Type\s*/Page(?![a-zA-Z])[^]*?/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+))");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), page); it != std::sregex_iterator(); ++it)
        pages.emplace_back(std::stod((*it)[3]) - std::stod((*it)[1]), std::stod((*it)[4]) - std::stod((*it)[2]));
    return pages;
}

int PdfPageObjects(const std::string& path) {
    const std::string pdf = ReadAll(path);
    static const std::regex page(R"(/Type\s*/Page(?![a-zA-Z]))");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// Page `page` of the PDF rendered by poppler at a low resolution.
QImage RenderPdfPage(const std::string& path, int page, const TempDir& dir) {
    const QString prefix = QString::fromStdString(dir.file("render"));
    const int rc = QProcess::execute(QStringLiteral("pdftoppm"),
                                     {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"),
                                      QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                      QString::number(page), QStringLiteral("-singlefile"),
                                      QString::fromStdString(path), prefix});
    if (rc != 0) return QImage();
    return QImage(prefix + QStringLiteral(".png"));
}

bool IsRedish(QRgb c) { return qRed(c) > 150 && qGreen(c) < 80 && qBlue(c) < 80; }
bool IsWhite(QRgb c) { return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240; }

// Ends an open preview as the user does, and lets the frame go.
void ClosePreview(CPrintFrame* frame) {
    if (!frame) return;
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int OpenFrames() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<CPrintFrame*>(w)) ++n;
    return n;
}

// The application exists before any member that needs it.
struct Application {
    Application() { kx::EnsureApplication(); }
};

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        PdfPrinter(printer, pdf);
        main.setWindowTitle(QStringLiteral("VarniaStudio"));
        main.resize(400, 300);
        main.show();
        host.SetMainWnd(&main);
    }
    void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    Application app;
    TempDir dir;
    std::string pdf = dir.file("out.pdf");
    QPrinter printer{QPrinter::HighResolution};
    QMainWindow main;
    CPrintHost host;
};

// ---- the job's page ----

TEST(PrintFit, PlacesThePictureOnAnA4PageAt600Dpi) {
    const QSize page(4960, 7016);
    struct Case {
        int mode;
        QSize image;
        QRect expected; // null: nothing drawn
    } cases[] = {
        {CPrintJob::FIT_NATURAL, {1000, 800}, QRect(0, 0, 1000, 800)},
        {CPrintJob::FIT_NATURAL, {4960, 8000}, QRect(0, 0, 4349, 7016)}, // as wide as the page: fitted
        {CPrintJob::FIT_NATURAL, {4960, 1000}, QRect(0, 0, 4960, 1000)},
        {CPrintJob::FIT_PAPER, {6000, 2000}, QRect(0, 0, 4960, 1653)},
        {CPrintJob::FIT_PAPER, {1000, 800}, QRect(0, 0, 4960, 3968)},
        {CPrintJob::FIT_FILL, {1000, 800}, QRect(0, 0, 4960, 7016)},
        {4, {1000, 800}, QRect()},
        {CPrintJob::FIT_PAPER, {0, 800}, QRect()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPrintJob::FitRect(c.mode, page, c.image), c.expected) << c.mode << " " << c.image.width() << "x"
                                                                         << c.image.height();
}

TEST_F(PrintTest, DrawPageFillsExactlyTheFittedRectangle) {
    // A4 at 600 dpi; the rest on A4 at 150 dpi, which keeps the pictures larger than the page
    // small (the fit table above has the 600 dpi figures).
    const QSize a4at600(4960, 7016), a4at150(1240, 1754);
    struct Case {
        QSize page;
        int mode;
        QSize image;
        QRect drawn; // null: blank page
    } cases[] = {
        {a4at600, CPrintJob::FIT_NATURAL, {1000, 800}, QRect(0, 0, 1000, 800)},
        {a4at150, CPrintJob::FIT_NATURAL, {1240, 2000}, QRect(0, 0, 1087, 1754)},
        {a4at150, CPrintJob::FIT_PAPER, {1500, 500}, QRect(0, 0, 1240, 413)},
        {a4at150, CPrintJob::FIT_FILL, {1000, 800}, QRect(0, 0, 1240, 1754)},
        {a4at150, 4, {1000, 800}, QRect()},
    };
    for (const Case& c : cases) {
        QImage page(c.page, QImage::Format_RGB32);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " " << c.image.width() << "x" << c.image.height());
        CPrintJob job(&host, &printer);
        job.SetFitMode(c.mode);
        ASSERT_EQ(job.SetFile(CPrintJob::kPreviewResource, PictureFile(c.image.width(), c.image.height())), 1);
        page.fill(Qt::white);
        {
            QPainter p(&page);
            EXPECT_EQ(job.DrawPage(p), 1);
        }
        ClosePreview(job.GetPreviewFrame());
        if (c.drawn.isNull()) {
            for (QPoint at : {QPoint(0, 0), QPoint(c.page.width() / 2, c.page.height() / 2),
                              QPoint(c.page.width() - 1, c.page.height() - 1)}) {
                EXPECT_TRUE(IsWhite(page.pixel(at))) << at.x() << "," << at.y();
            }
            continue;
        }
        const QRect d = c.drawn;
        for (QPoint at : {d.topLeft(), d.bottomRight(), QPoint(d.right(), d.top()), QPoint(d.left(), d.bottom())})
            EXPECT_TRUE(IsRedish(page.pixel(at))) << "inside " << at.x() << "," << at.y();
        if (d.right() + 1 < page.width()) {
            EXPECT_TRUE(IsWhite(page.pixel(d.right() + 1, d.top())));
        }
        if (d.bottom() + 1 < page.height()) {
            EXPECT_TRUE(IsWhite(page.pixel(d.left(), d.bottom() + 1))); // blank paper below
            EXPECT_TRUE(IsWhite(page.pixel(d.left(), page.height() - 1)));
        }
    }
}

// ---- the preview ----

TEST_F(PrintTest, PreviewStandsInForTheMainWindowUntilItCloses) {
    CPrintJob job(&host, &printer);
    job.SetOrientation(CPrintJob::ORIENT_LANDSCAPE);
    job.SetFitMode(CPrintJob::FIT_PAPER);
    ASSERT_EQ(job.SetFile(CPrintJob::kPreviewResource, PictureFile(1200, 500)), 1);

    CPrintFrame* frame = job.GetPreviewFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(job.IsPreviewOpen());
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("打印预览"));
    EXPECT_EQ(frame->objectName(), QStringLiteral("128"));
    EXPECT_EQ(host.GetMainWnd(), frame);
    ASSERT_NE(frame->GetPreview(), nullptr);
    EXPECT_EQ(frame->GetPreview()->pageCount(), 1);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    guitest::Screenshot(frame, "CPrintFrame-preview-landscape");

    // A second file only brings the open preview forward; the page shown stays the one printed.
    EXPECT_EQ(job.SetFile(CPrintJob::kPreviewResource, PictureFile(300, 900)), 1);
    EXPECT_EQ(job.GetPreviewFrame(), frame);
    EXPECT_EQ(OpenFrames(), 1);
    EXPECT_EQ(job.GetFile()->GetMemWholeSize(), PictureFile(1200, 500).GetMemWholeSize());

    ClosePreview(frame);
    EXPECT_EQ(job.GetPreviewFrame(), nullptr);
    EXPECT_FALSE(job.IsPreviewOpen());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(host.GetMainWnd(), &main);
    EXPECT_EQ(OpenFrames(), 0);

    // And it opens again afterwards.
    ASSERT_EQ(job.SetFile(CPrintJob::kPreviewResource, PictureFile(300, 900)), 1);
    EXPECT_FALSE(main.isVisible());
    ClosePreview(job.GetPreviewFrame());
    EXPECT_TRUE(main.isVisible());
}

TEST_F(PrintTest, FilesWithoutAPictureOpenNoPreview) {
    CkxFile notFetched = PictureFile(100, 100);
    notFetched.DestroyWhole();
    CkxFile cut = PictureFile(100, 100);
    const std::string head(reinterpret_cast<const char*>(cut.GetMemWholeBuf()), 60);
    cut.UpdateWhole(head.data(), 60); // the header and nothing of the pixels
    struct Case {
        const char* what;
        CkxFile file;
    } cases[] = {
        {"content not fetched", notFetched},
        {"cut after the header", cut},
        {"text under a picture extension", TextFile("png")},
        {"text", TextFile("txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPrintJob job(&host, &printer);
        EXPECT_EQ(job.SetFile(CPrintJob::kPreviewResource, c.file), 0);
        EXPECT_FALSE(job.IsPreviewOpen());
        EXPECT_EQ(job.GetPreviewFrame(), nullptr);
        EXPECT_EQ(OpenFrames(), 0);
        EXPECT_TRUE(main.isVisible());
        EXPECT_EQ(host.GetMainWnd(), &main);
        EXPECT_EQ(job.PrintDirect(false), 0);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
    }
}

TEST_F(PrintTest, JobDestroyedWithItsPreviewOpenGivesTheMainWindowBack) {
    {
        CPrintJob job(&host, &printer);
        ASSERT_EQ(job.SetFile(CPrintJob::kPreviewResource, PictureFile(200, 100)), 1);
        EXPECT_FALSE(main.isVisible());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(host.GetMainWnd(), &main);
    EXPECT_EQ(OpenFrames(), 0);
}

// Printing the preview's page gives one page in the recorded orientation, with the picture at
// the top-left corner of the printable area.
TEST_F(PrintTest, PreviewPrintsOnePagePerOrientation) {
    for (int orientation : {CPrintJob::ORIENT_PORTRAIT, CPrintJob::ORIENT_LANDSCAPE}) {
        SCOPED_TRACE(orientation);
        QFile::remove(QString::fromStdString(pdf));
        CPrintJob job(&host, &printer);
        job.SetOrientation(orientation);
        job.SetFitMode(CPrintJob::FIT_PAPER);
        ASSERT_EQ(job.SetFile(CPrintJob::kPreviewResource, PictureFile(400, 300)), 1);
        CPrintFrame* frame = job.GetPreviewFrame();
        ASSERT_NE(frame, nullptr);

        kx::ModalDriver driver;
        driver.Then<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
        frame->PrintAction()->trigger();
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(driver.TimedOut());
        ClosePreview(frame);

        EXPECT_EQ(PdfPageObjects(pdf), 1);
        const std::vector<QSizeF> pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), 1u);
        if (orientation == CPrintJob::ORIENT_LANDSCAPE) {
            EXPECT_GT(pages[0].width(), pages[0].height());
        } else {
            EXPECT_LT(pages[0].width(), pages[0].height());
        }

        const QImage rendered = RenderPdfPage(pdf, 1, dir);
        ASSERT_FALSE(rendered.isNull()) << "pdftoppm could not render the page";
        const QRectF paper = printer.pageLayout().fullRectPoints();
        const QRectF printable = printer.pageLayout().paintRectPoints();
        const double scale = rendered.width() / paper.width();
        // Just inside the printable area's top-left corner: the picture; the far corner: paper.
        EXPECT_TRUE(IsRedish(rendered.pixel(int((printable.left() + 6) * scale), int((printable.top() + 6) * scale))));
        EXPECT_TRUE(IsWhite(rendered.pixel(rendered.width() - 3, rendered.height() - 3)));
    }
}

// ---- direct print ----

// True when the PDF's document title is the text (PDF text strings are UTF-16BE with a mark).
bool PdfTitled(const std::string& path, const QString& title) {
    QByteArray utf16("\xFE\xFF");
    for (QChar c : title) {
        utf16.append(static_cast<char>(c.unicode() >> 8));
        utf16.append(static_cast<char>(c.unicode() & 0xFF));
    }
    const QByteArray pdf = QByteArray::fromStdString(ReadAll(path));
    return pdf.contains("/Title (" + utf16 + ")");
}

TEST_F(PrintTest, DirectPrintWithTheDialog) {
    const QString before = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("VarniaStudio"));
    CPrintJob job(&host, &printer);
    ASSERT_EQ(job.SetFile(CPrintJob::kPreviewResource, PictureFile(640, 480)), 1);
    ClosePreview(job.GetPreviewFrame());
    {
        kx::ModalDriver driver;
        driver.Then<QPrintDialog>([](QPrintDialog* d) {
            EXPECT_TRUE(d->testOption(QAbstractPrintDialog::PrintCollateCopies));
            EXPECT_TRUE(d->printer()->collateCopies());
            EXPECT_EQ(d->printer()->printRange(), QPrinter::PageRange);
            EXPECT_EQ(d->minPage(), 1);
            EXPECT_EQ(d->maxPage(), 1);
            d->reject();
        });
        EXPECT_EQ(job.PrintDirect(true), 0);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
    {
        kx::ModalDriver driver;
        driver.Then<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
        EXPECT_EQ(job.PrintDirect(true), 1);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(PdfPageObjects(pdf), 1);
    EXPECT_TRUE(PdfTitled(pdf, QStringLiteral("VarniaStudio"))); // named with the application's title
    QGuiApplication::setApplicationDisplayName(before);

    // Without the dialog: on the job's printer as it is set.
    const std::string second = dir.file("second.pdf");
    printer.setOutputFileName(QString::fromStdString(second));
    EXPECT_EQ(job.PrintDirect(false), 1);
    EXPECT_EQ(PdfPageObjects(second), 1);
}

// ---- the report view ----

// A report of two pages, the range set in its preparation as a report view does.
class TwoPageReport : public CPrintPreview {
public:
    using CPrintPreview::CPrintPreview;
    bool OnPreparePrinting(CPrintInfo& info) override {
        info.m_nLastPage = 2;
        return CPrintPreview::OnPreparePrinting(info);
    }
    int OnPrint(QPainter& p, CPrintInfo& info) override {
        CPrintPreview::OnPrint(p, info);
        CPrintTable table;
        table.Build(&p, {1500, -1500, 19000, -12000}, 6, 4, PrintRgb(120, 120, 120));
        table.MergeEveryRow(0, 1, kBrushColours[1], kPrintWhite);
        table.FillRowPart(0, 1, 3, kBrushColours[0]);
        p.setFont(m_Font[4]);
        p.setPen(Qt::white);
        table.Heading(0, 1, "编号", 400, 2);
        table.RowText(0, 1, 3, info.m_nCurPage == 1 ? "图片清单 第一页" : "图片清单 第二页", 400, 1);
        p.setPen(Qt::black);
        for (int row = 1; row < 6; ++row) {
            table.TextInCell(row, 0, std::to_string((info.m_nCurPage - 1) * 5 + row), 350, 2);
            CPrintTableText t;
            t.nFirstRow = row;
            t.nFirstCol = 1;
            t.nLastRow = row;
            t.nLastCol = 3;
            t.strText = "样张 " + std::to_string(row) + " 的说明文字";
            t.pFont = &m_Font[3];
            t.nHeight = 350;
            table.TextInRange(t);
        }
        return 1;
    }
};

// A report whose second page cannot be drawn.
class BrokenReport : public TwoPageReport {
public:
    using TwoPageReport::TwoPageReport;
    int OnPrint(QPainter& p, CPrintInfo& info) override {
        return info.m_nCurPage == 2 ? 0 : TwoPageReport::OnPrint(p, info);
    }
};

TEST_F(PrintTest, ReportViewPrintsItsPageRange) {
    {
        // A failed page aborts the run: no half-written document is left behind.
        BrokenReport report(host, printer);
        EXPECT_EQ(report.PrintDirect(printer), 0);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
    }
    {
        TwoPageReport report(host, printer);
        EXPECT_EQ(report.PrintDirect(printer), 1);
        EXPECT_EQ(PdfPageObjects(pdf), 2);
        const QImage first = RenderPdfPage(pdf, 1, dir);
        ASSERT_FALSE(first.isNull());
        // The header row's fill shows near the table's top-left corner (15 mm, 15 mm + a bit).
        const double perMm = first.width() / 210.0;
        const QPointF origin = printer.pageLayout().paintRectPoints().topLeft() * (25.4 / 72.0);
        const QRgb header = first.pixel(int((origin.x() + 17) * perMm), int((origin.y() + 17) * perMm));
        EXPECT_EQ(QColor(header).blue() > 100 && QColor(header).red() < 60, true) << std::hex << header;
    }
    {
        TwoPageReport report(host, printer);
        report.m_bOnePage = 1;
        EXPECT_EQ(report.PrintDirect(printer), 1);
        EXPECT_EQ(PdfPageObjects(pdf), 1);
    }
    {
        TwoPageReport report(host, printer);
        kx::ModalDriver driver;
        driver.Then<QPrintDialog>([](QPrintDialog* d) {
            EXPECT_EQ(d->maxPage(), 2);
            d->accept();
        });
        QFile::remove(QString::fromStdString(pdf));
        EXPECT_EQ(report.PrintDirect(), 1);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(PdfPageObjects(pdf), 2);
    }
}

TEST_F(PrintTest, ReportPreviewShowsTwoPagesAndGivesTheMainWindowBack) {
    auto* report = new TwoPageReport(host, printer); // the frame owns it once open
    report->OpenPreview(CPrintJob::kPreviewResource);
    EXPECT_TRUE(report->IsPreviewOpen());
    CPrintFrame* frame = report->GetFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(host.GetMainWnd(), frame);
    ASSERT_NE(frame->GetPreview(), nullptr);
    EXPECT_EQ(frame->GetPreview()->pageCount(), 2);
    frame->GetPreview()->setViewMode(QPrintPreviewWidget::AllPagesView);
    frame->GetPreview()->fitInView();
    guitest::Screenshot(frame, "CPrintFrame-report-two-pages");
    ClosePreview(frame);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(host.GetMainWnd(), &main);
    EXPECT_EQ(OpenFrames(), 0);
}

TEST(PrintPageCount, ListReportPages) {
    struct Case {
        int n, f, k, pages;
    } cases[] = {{0, 10, 20, 0}, {5, 10, 20, 1}, {10, 10, 20, 1}, {11, 10, 20, 2}, {31, 10, 20, 3},
                 {31, 10, 0, 22}, {31, 10, -3, 22}};
    for (const Case& c : cases) EXPECT_EQ(PrintPageCount(c.n, c.f, c.k), c.pages) << c.n << " " << c.f << " " << c.k;
}

// ---- the table ----

// A table drawn on a white image at 300 dpi under the metric mapping.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        kx::EnsureApplication();
        image.setDotsPerMeterX(11811);
        image.setDotsPerMeterY(11811);
        image.fill(Qt::white);
        painter.begin(&image);
        CPrintPreview::SetMetricMapping(painter);
    }
    void TearDown() override { painter.end(); }

    // The device rectangle of a logical one.
    QRect Device(const CPrintRect& r) const {
        return painter.transform()
            .mapRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized())
            .toAlignedRect();
    }
    QRgb At(int x, int y) const { return image.pixel(x, y); }
    bool AnyDark(const QRect& area) const {
        for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
            for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
                if (qGray(image.pixel(x, y)) < 128) return true;
        return false;
    }

    QImage image{1200, 1200, QImage::Format_RGB32}; // about 10 cm square
    QPainter painter;
};

TEST_F(TableTest, RowsAndColumnsDivideWholeUnits) {
    CPrintTable table;
    table.Build(&painter, {0, 10, 10, 0}, 3, 1);
    ASSERT_EQ(table.GetCellCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const CPrintRect expected{0, 10 - 3 * i, 10, 7 - 3 * i};
        EXPECT_EQ(table.CellAt(i, 0)->m_rect, expected) << i;
        EXPECT_EQ(table.CellAt(i, 0)->m_nRow, i);
    }
    // The last unit (from 1 down to 0) lies outside every cell.
    for (int i = 0; i < 3; ++i) EXPECT_GE(table.CellAt(i, 0)->m_rect.bottom, 1);
    EXPECT_EQ(table.CellAt(3, 0), nullptr);
    EXPECT_EQ(table.CellAt(0, 1), nullptr);
    EXPECT_EQ(table.CellAt(-1, 0), nullptr);

    CPrintRect r;
    EXPECT_TRUE(table.RangeRect(0, 0, 2, 0, r));
    EXPECT_EQ(r, (CPrintRect{0, 10, 10, 1}));
    EXPECT_FALSE(table.RangeRect(0, 0, 3, 0, r));

    for (auto [rows, cols] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-2, 3}}) {
        CPrintTable empty;
        empty.Build(&painter, {0, 1000, 1000, 0}, rows, cols);
        EXPECT_EQ(empty.GetCellCount(), 0);
        EXPECT_EQ(empty.CellAt(0, 0), nullptr);
        EXPECT_EQ(empty.TextInCell(0, 0, "x"), 0);
        empty.FillCell(0, 0, kPrintBlack); // nothing to fill, nothing breaks
    }
}

TEST_F(TableTest, BorderInsetsTakeTheDivisionFirst) {
    const CPrintRect r{100, 500, 900, 100};
    struct Case {
        int u, three, two;
    } cases[] = {{4, 0, 0}, {5, 3, 2}, {7, 3, 2}, {10, 6, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.u);
        EXPECT_EQ(CPrintCell::BorderSideLine(r, CPrintCell::SIDE_LEFT, c.u, 0, 1, 0, 1),
                  QLine(100, 500 - c.three, 100, 100 + c.two));
        EXPECT_EQ(CPrintCell::BorderSideLine(r, CPrintCell::SIDE_RIGHT, c.u, 1, 0, 1, 0), QLine(900, 500, 900, 100));
        EXPECT_EQ(CPrintCell::BorderSideLine(r, CPrintCell::SIDE_TOP, c.u, 1, 0, 1, 0),
                  QLine(100 + c.three, 500, 900 - c.three, 500));
        EXPECT_EQ(CPrintCell::BorderSideLine(r, CPrintCell::SIDE_BOTTOM, c.u, 0, 1, 0, 1), QLine(100, 100, 900, 100));
    }
    EXPECT_TRUE(CPrintCell::BorderSideLine(r, 16, 10, 1, 1, 1, 1).isNull());
}

TEST_F(TableTest, LaterDrawingCoversEarlier) {
    CPrintTable table;
    table.Build(&painter, {1000, -1000, 9000, -9000}, 4, 4, kPrintBlack);
    const uint32_t red = PrintRgb(220, 0, 0), blue = PrintRgb(0, 0, 220);
    table.FillRange(0, 0, 1, 3, red);
    table.Merge(0, 0, 1, 1, blue);
    const QPoint merged = Device(table.CellAt(0, 0)->m_rect).center();
    const QPoint filledOnly = Device(table.CellAt(0, 3)->m_rect).center();
    const QPoint untouched = Device(table.CellAt(3, 3)->m_rect).center();
    EXPECT_EQ(QColor(At(merged.x(), merged.y())), QColor(0, 0, 220));
    EXPECT_EQ(QColor(At(filledOnly.x(), filledOnly.y())), QColor(220, 0, 0));
    EXPECT_EQ(QColor(At(untouched.x(), untouched.y())), QColor(Qt::white));
    EXPECT_EQ(table.CellAt(0, 3)->m_crFill, red);

    // A merge without its outline and the border side in the cell's own colour.
    table.MergeStyled({CPrintRangeFill{2, 0, 3, 1, PrintRgb(0, 160, 0), 0, kPrintBlack}});
    const QPoint green = Device(table.CellAt(2, 0)->m_rect).center();
    EXPECT_EQ(QColor(At(green.x(), green.y())), QColor(0, 160, 0));
}

TEST_F(TableTest, MultiLineTextsNeedTheirRowsAndRoom) {
    CPrintTable table;
    table.Build(&painter, {1000, -1000, 9000, -7000}, 6, 2, kPrintWhite, 0);
    const QImage blank = image.copy();
    struct Case {
        const char* what;
        int lastRow, lineMode, height;
    } cases[] = {
        {"three lines over two rows", 1, 3, 300},
        {"two lines over three rows", 2, 2, 300},
        {"last row before the first", -1, 2, 300},
        {"no room for a character", 2, 3, 9000},
        {"no height", 2, 3, 0},
        {"negative height", 0, 1, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPrintTableText t;
        t.nFirstRow = 0;
        t.nLastRow = c.lastRow;
        t.nLastCol = 1;
        t.strText = "一段多行的说明文字，分成几行写";
        t.nHeight = c.height;
        t.nLineMode = c.lineMode;
        EXPECT_EQ(table.TextInRange(t), 0);
        EXPECT_EQ(image, blank);
    }
    EXPECT_EQ(table.TextInCell(0, 0, "x", 0), 0);
    EXPECT_EQ(image, blank);
}

TEST_F(TableTest, MultiLineTextsAreCutOnCharacterBoundaries) {
    const std::string text = "中文A分行打印测试";
    for (int k : {1, 2, 3, 4, 5, 7}) {
        SCOPED_TRACE(k);
        const std::vector<std::string> lines = CPrintTable::CutLines(text, k, 3);
        ASSERT_EQ(lines.size(), 3u);
        std::string joined;
        for (const std::string& line : lines) {
            EXPECT_LE(kx::GbkLength(line), static_cast<size_t>(k));
            EXPECT_EQ(line.find('?'), std::string::npos) << line; // no split character
            EXPECT_EQ(kx::ToGbk(kx::FromGbk(kx::ToGbk(line))), kx::ToGbk(line));
            joined += line;
        }
        EXPECT_EQ(text.compare(0, joined.size(), joined), 0) << joined;
    }
    EXPECT_EQ(CPrintTable::CutLines(text, 5, 3), (std::vector<std::string>{"中文A", "分行", "打印"}));
    EXPECT_TRUE(CPrintTable::CutLines(text, 0, 3).empty());

    // Written over three rows, every row gets its own piece.
    CPrintTable table;
    table.Build(&painter, {1000, -1000, 9000, -4000}, 3, 1, kPrintWhite, 0);
    const QFont font = CPrintPreview::MakeFont(&image, 400, QStringLiteral("宋体"), false);
    CPrintTableText t;
    t.nLastRow = 2;
    t.strText = "中文说明分成三行打印出来的一段比较长的文字内容，最后还有很多字";
    t.pFont = &font;
    t.nHeight = 400;
    t.nLineMode = 3;
    EXPECT_EQ(table.TextInRange(t), 1);
    for (int row = 0; row < 3; ++row) EXPECT_TRUE(AnyDark(Device(table.CellAt(row, 0)->m_rect))) << row;
}

TEST_F(TableTest, HeadingStaysInsideItsRow) {
    CPrintTable table;
    table.Build(&painter, {1000, -1000, 9000, -9000}, 4, 3, kPrintWhite, 0);
    painter.setFont(CPrintPreview::MakeFont(&image, 400, QStringLiteral("宋体"), true));
    painter.setPen(Qt::black);
    ASSERT_EQ(table.Heading(0, 3, "Report 报表 HEADING", 400, 1), 1);

    CPrintRect band;
    ASSERT_TRUE(table.RangeRect(0, 0, 0, 2, band));
    const QRect row = Device(band);
    EXPECT_TRUE(AnyDark(row));
    // Nothing above or below the band.
    EXPECT_FALSE(AnyDark(QRect(0, 0, image.width(), row.top() - 1)));
    EXPECT_FALSE(AnyDark(QRect(0, row.bottom() + 2, image.width(), image.height())));

    // Centred text sits around the middle of its cell.
    painter.setFont(CPrintPreview::MakeFont(&image, 350, QStringLiteral("宋体"), false));
    ASSERT_EQ(table.TextInCell(2, 1, "中", 350, 2), 1);
    const QRect cell = Device(table.CellAt(2, 1)->m_rect);
    EXPECT_TRUE(AnyDark(cell.adjusted(cell.width() / 3, 0, -cell.width() / 3, 0)));
    EXPECT_FALSE(AnyDark(QRect(cell.left(), cell.top(), cell.width() / 4, cell.height())));
}

} // namespace
