// CWndCheckoutFileList: the checkout window's list of checked-out files, one row per file with
// its local copy's storage name, the checkout and modification moments, whether the copy was
// modified and whether it exists. Each row holds its own file object (an image file object).
#pragma once

#include "base/OleDate.h"
#include "ui/CkxwFileListView.h"

#include <string>

class CkxFile;

class CWndCheckoutFileList : public CkxwFileListView {
    Q_OBJECT
public:
    enum Column { COL_NAME, COL_COPY, COL_CHECKOUT, COL_MODIFY, COL_MODIFIED, COL_EXISTS, COL_COUNT };
    static constexpr const char* kYes = "√";
    static constexpr const char* kNo = "×";

    explicit CWndCheckoutFileList(QWidget* parent = nullptr);

    // A moment as the list shows it: "Y-M-D h:m:s", the date alone at midnight, empty for the
    // zero date.
    static std::string MomentText(const COleDateTime& moment);

    // Inserts a row that takes the file object (owned by the list from the call on), with the
    // display name and the copy's storage name; the row, or -1 (a null file or one already shown).
    int InsertCheckoutFile(const std::string& text, CkxFile* file, const std::string& storageName);
    // A row that only refers to an image file (not owned); -1 for other kinds and for null.
    int InsertImageFile(const std::string& text, CkxFile* file);
    // Columns 2 to 4 of the row from the checkout and modification moments (both also kept for
    // sorting); the modification moment shows only when later than the checkout moment.
    void SetMoments(int row, const COleDateTime& checkout, const COleDateTime& modify);
    // Column 5.
    void SetExists(int row, bool exists);
};
