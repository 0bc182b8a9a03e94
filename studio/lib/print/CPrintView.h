// CPrintView: the view of the print job's preview frame. It draws nothing on screen and forwards
// the printing steps to its job: the job's single page is the page it prints (page count left
// unknown, so exactly one page), and the end of its preview clears the job's preview-open flag.
#pragma once

#include "print/CPrintViewBase.h"

class CPrintJob;

class CPrintView : public CPrintViewBase {
    Q_OBJECT
public:
    CPrintView(CPrintHost& host, QPrinter& printer, CPrintJob* job, QWidget* parent = nullptr);
    ~CPrintView() override;

    CPrintJob* GetJob() const { return m_pJob; }

    int OnPrint(QPainter& painter, CPrintInfo& info) override;

protected:
    void OnPreviewEnded() override;
    void PreparePrinter(QPrinter& printer) override;

private:
    CPrintJob* m_pJob;
};
