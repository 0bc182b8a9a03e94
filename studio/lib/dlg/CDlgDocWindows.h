// The two dialogs over the studio's open documents, each row keyed by its document's id, with
// the columns "文档窗口" (the document's title) and "类型" (its kind):
//   CDlgDocWindowChooser  "目标文档窗口": the local document into which files opened from disk
//                         go, or a new one (the first row)
//   CDlgDocWindowManager  "文档窗口管理": every open document; closes the chosen one's window
#pragma once

#include "qt/KxDialog.h"

#include <set>

class CvClientApp;
class CvClientDoc;
class QPushButton;
namespace kx {
class ReportList;
}

class CDlgDocWindowChooser : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDD = 239, IDC_LIST = 1261 };
    static constexpr const char* kNewWindow = "新建文档窗口";

    explicit CDlgDocWindowChooser(CvClientApp& app, QWidget* parent = nullptr);

    // After OK: the chosen document's id, -1 for a new document.
    int m_nDocID = -1;
    kx::ReportList* List() const { return m_list; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CvClientApp& m_app;
    kx::ReportList* m_list;
};

class CDlgDocWindowManager : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDD = 240, IDC_LIST = 1262, IDC_CLOSE = 1178 };

    explicit CDlgDocWindowManager(CvClientApp& app, QWidget* parent = nullptr);

    // Closes the window of the selected row's document (found by its id) and drops the row.
    void OnCloseWindow();
    kx::ReportList* List() const { return m_list; }

protected:
    void OnInitDialog() override;

private:
    // One row per open document not already being closed, in the open-document order.
    void Fill();
    void UpdateButton();

    CvClientApp& m_app;
    kx::ReportList* m_list;
    QPushButton* m_close;
    std::set<int> m_closing; // documents whose windows were asked to close
};

// The rows of the two lists: the document's title and kind name, item data its id.
void AddDocRow(kx::ReportList* list, const CvClientDoc& doc);
