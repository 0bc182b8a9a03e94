// CWndCaptureFileList: the capture station's list of captured files: name, size, image width
// and height, and the moment the file was captured. A drop onto it adds nothing.
#pragma once

#include "base/OleDate.h"
#include "ui/CkxwFileListView.h"

#include <string>

class CWndCaptureFileList : public CkxwFileListView {
    Q_OBJECT
public:
    enum { ID_LIST = 2024 };
    explicit CWndCaptureFileList(QWidget* parent = nullptr);

    // Columns 1 to 4 of the row from the file and its capture moment.
    void FillRow(int row, const CkxFile& file, const COleDateTime& captured);
    // "Y-M-D h:m:s", "Y-M-D" at midnight, "" for the zero date.
    static std::string CaptureTimeText(const COleDateTime& moment);

protected:
    Qt::DropAction OnDragEnter(const QMimeData* data) override;
    Qt::DropAction OnDragOver(const QMimeData* data) override;
};
