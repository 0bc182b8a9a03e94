#include "checkout/CWndCheckoutFileList.h"

#include "model/CkxFile.h"

namespace {
struct ColumnSpec {
    const char* heading;
    int width;
};
const ColumnSpec kColumns[CWndCheckoutFileList::COL_COUNT] = {
    {"文件名称", 100}, {"映像名称", 100}, {"签出时间", 130}, {"修改时间", 130}, {"修改过", 100}, {"映像存在", 100},
};
} // namespace

CWndCheckoutFileList::CWndCheckoutFileList(QWidget* parent) : CkxwFileListView(parent) {
    for (int c = 0; c < COL_COUNT; ++c) InsertColumn(c, kColumns[c].heading, kx::LVCFMT_LEFT, kColumns[c].width);
}

std::string CWndCheckoutFileList::MomentText(const COleDateTime& moment) {
    return kx::DateText(static_cast<DATE>(moment));
}

int CWndCheckoutFileList::InsertCheckoutFile(const std::string& text, CkxFile* file, const std::string& storageName) {
    const int row = InsertFile_Attach(text, file);
    if (row >= 0) SetItemText(row, COL_COPY, storageName);
    return row;
}

int CWndCheckoutFileList::InsertImageFile(const std::string& text, CkxFile* file) {
    if (!file || !file->IsImage()) return -1;
    return InsertFile_Map(text, file);
}

void CWndCheckoutFileList::SetMoments(int row, const COleDateTime& checkout, const COleDateTime& modify) {
    SetItemText(row, COL_CHECKOUT, MomentText(checkout));
    SetItemText(row, COL_MODIFY, modify > checkout ? MomentText(modify) : std::string());
    SetItemText(row, COL_MODIFIED, modify != checkout ? kYes : "");
    SetItemTime(row, checkout, modify);
}

void CWndCheckoutFileList::SetExists(int row, bool exists) { SetItemText(row, COL_EXISTS, exists ? kYes : kNo); }
