// CPrintFrame: the print preview window ("打印预览"). It holds the view whose pages it previews
// (a hidden child: the view draws nothing on screen) and the preview of those pages, with the
// preview's print, zoom and close commands. Closing it ends the view's print preview; the frame
// is destroyed afterwards.
#pragma once

#include <QMainWindow>

class CPrintViewBase;
class QAction;
class QCloseEvent;
class QPrintPreviewWidget;

class CPrintFrame : public QMainWindow {
    Q_OBJECT
public:
    // resourceId names the frame (its objectName), as a template's resources named it.
    explicit CPrintFrame(int resourceId);
    ~CPrintFrame() override;

    // The view this frame previews; it becomes the frame's child.
    void SetView(CPrintViewBase* view);
    CPrintViewBase* GetView() const { return m_pView; }
    // The preview widget that fills the frame; it becomes the frame's child.
    void SetPreview(QPrintPreviewWidget* preview);
    QPrintPreviewWidget* GetPreview() const { return m_pPreview; }

    QAction* PrintAction() const { return m_pPrint; }
    QAction* CloseAction() const { return m_pClose; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    CPrintViewBase* m_pView = nullptr;
    QPrintPreviewWidget* m_pPreview = nullptr;
    QAction* m_pPrint = nullptr;
    QAction* m_pClose = nullptr;
    bool m_bEnded = false;
};
