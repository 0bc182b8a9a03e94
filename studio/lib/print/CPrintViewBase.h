// CPrintViewBase: a view that prints. It draws nothing on screen; it prints and previews its pages
// through the printing steps its subclasses give (prepare, begin printing, print a page, end
// printing), and owns the preview's life: while its preview frame is open the application's main
// window is hidden and the frame is the main window; ending the preview restores both and
// destroys the frame (and this view with it). The view prints on a printer it is handed.
#pragma once

#include "print/CPrintRun.h"

#include <QPointer>
#include <QWidget>

class CPrintFrame;
class CPrintHost;
class QPainter;
class QPrinter;
class QPrintPreviewWidget;

class CPrintViewBase : public QWidget {
    Q_OBJECT
public:
    // host and printer outlive the view.
    CPrintViewBase(CPrintHost& host, QPrinter& printer, QWidget* parent = nullptr);
    ~CPrintViewBase() override;

    CPrintHost& GetHost() const { return m_host; }
    QPrinter& GetPrinter() const { return m_printer; }
    CPrintFrame* GetFrame() const;

    // Opens the preview frame over this view: the frame (named by resourceId) takes the view,
    // the application's current main window is saved and hidden, the frame becomes the main
    // window and shows maximised, and the print preview starts. The frame owns the view from
    // then on.
    CPrintFrame* OpenPreviewFrame(int resourceId);

    // ---- the framework's printing steps ----
    // Preparation: the standard preparation (the print dialog when printing with a dialog).
    virtual bool OnPreparePrinting(CPrintInfo& info) { return DoPreparePrinting(info); }
    virtual void OnBeginPrinting(QPainter&, CPrintInfo&) {}
    // Draws page info.m_nCurPage; a value of 0 or less fails the run.
    virtual int OnPrint(QPainter&, CPrintInfo&) { return 1; }
    virtual void OnEndPrinting(QPainter&, CPrintInfo&) {}
    // After the preview frame closed: the saved main window shown again as the main window,
    // then OnPreviewEnded, then the frame destroyed.
    virtual void OnEndPrintPreview();

    // The standard print preview of this view's pages inside its frame.
    void OnFilePrintPreview();
    // Prints on the view's printer through the print dialog; 1 when printed.
    int OnFilePrint() { return PrintOn(m_printer, true); }
    // Prepares and prints on a printer: with a dialog, the print dialog over it first (Cancel
    // ends it); without, on the printer's current settings. 1 when every page printed.
    int PrintOn(QPrinter& printer, bool withDialog);

protected:
    // The standard preparation: true at once for a preview or a print without dialog, else the
    // print dialog's answer.
    bool DoPreparePrinting(CPrintInfo& info);
    // What a view does when its preview ended (its own preview-open flags).
    virtual void OnPreviewEnded() {}
    // Applies the view's page settings to the printer before a preview or a print.
    virtual void PreparePrinter(QPrinter&) {}
    // The dialog's parent: the frame while the preview is open, else the main window.
    QWidget* DialogParent() const;

    void paintEvent(QPaintEvent*) override {}

private:
    CPrintSteps Steps();

    CPrintHost& m_host;
    QPrinter& m_printer;
    QPrinter* m_pRunPrinter = nullptr; // the printer of the run being prepared
    QPointer<QWidget> m_pMainWnd;      // the main window before the preview
    QPointer<CPrintFrame> m_pFrame;
};
