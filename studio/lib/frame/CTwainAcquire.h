// Image acquisition as the main frame uses it: open and close the source manager, choose a
// source, acquire images; the frame answers the three hooks (transfer every pending image, agree
// to close, store each image). The scanner backend comes with the capture station; until it is
// there no source exists and the commands say so.
#pragma once

#include <QImage>

class QWidget;

class CTwainAcquire {
public:
    static constexpr const char* kNoSource = "没有可用的图像输入设备";

    virtual ~CTwainAcquire() = default;

    // True when a source manager could be opened for the window.
    virtual bool OpenSourceManager(QWidget* owner);
    virtual void CloseSourceManager();
    virtual bool SelectSource();
    // Acquires up to `count` images (-1: any number); each goes to OnImageAcquired.
    virtual bool Acquire(int count);
    virtual bool IsSourceOpen() const { return false; }

    // Hooks: 0 transfer the pending image (1 skip, 2 abort); 1 agree to close; one image.
    virtual int OnTransferDecision() { return 0; }
    virtual int OnCloseRequest() { return 1; }
    virtual void OnImageAcquired(const QImage& image) = 0;

protected:
    QWidget* m_owner = nullptr;
};
