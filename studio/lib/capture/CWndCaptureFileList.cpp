#include "capture/CWndCaptureFileList.h"

CWndCaptureFileList::CWndCaptureFileList(QWidget* parent) : CkxwFileListView(parent) {
    setObjectName(QString::number(ID_LIST));
    struct Column {
        const char* heading;
        int width;
    };
    const Column columns[] = {{"名称", 100}, {"大小", 80}, {"宽度", 80}, {"高度", 80}, {"捕获时间", 130}};
    int i = 0;
    for (const Column& c : columns) InsertColumn(i++, c.heading, kx::LVCFMT_LEFT, c.width);
}

std::string CWndCaptureFileList::CaptureTimeText(const COleDateTime& m) {
    if (static_cast<DATE>(m) == 0.0) return {};
    const std::string date =
        std::to_string(m.GetYear()) + "-" + std::to_string(m.GetMonth()) + "-" + std::to_string(m.GetDay());
    if (m.GetHour() == 0 && m.GetMinute() == 0 && m.GetSecond() == 0) return date;
    return date + " " + std::to_string(m.GetHour()) + ":" + std::to_string(m.GetMinute()) + ":" +
           std::to_string(m.GetSecond());
}

void CWndCaptureFileList::FillRow(int row, const CkxFile& file, const COleDateTime& captured) {
    SetItemText(row, 1, std::to_string(static_cast<unsigned>(file.GetFileSize())) + " 字节");
    SetItemText(row, 2, std::to_string(file.m_nWidth));
    SetItemText(row, 3, std::to_string(file.m_nHeight));
    SetItemText(row, 4, CaptureTimeText(captured));
}

// Entering answers a move and moving over a copy, as the plain view does otherwise: the list
// takes nothing that is dropped on it.
Qt::DropAction CWndCaptureFileList::OnDragEnter(const QMimeData*) { return Qt::MoveAction; }
Qt::DropAction CWndCaptureFileList::OnDragOver(const QMimeData*) { return Qt::CopyAction; }
