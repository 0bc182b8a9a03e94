// The log query dialog: level, category and user lists (each starting at "<全部>") and a day
// range; "查  询" fills the filter (the range from the start day's first second to the end day's
// last). A start day after the end day is refused.
#pragma once

#include "model/CkxLog.h"
#include "qt/KxDialog.h"

class QComboBox;
class QDateEdit;

class CDlgLogQuery : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_LEVEL = 1003, IDC_CATEGORY = 1004, IDC_END = 1005, IDC_USER = 1006, IDC_START = 1007 };
    static constexpr const char* kRangeReversed = "起始时间不能晚于终止时间";

    explicit CDlgLogQuery(QWidget* parent = nullptr);

    CkxLog m_Filter;

    QComboBox* Levels() const { return m_level; }
    QComboBox* Categories() const { return m_category; }
    QComboBox* Users() const { return m_user; }
    QDateEdit* Start() const { return m_start; }
    QDateEdit* End() const { return m_end; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    QComboBox* m_level;
    QComboBox* m_category;
    QComboBox* m_user;
    QDateEdit* m_start;
    QDateEdit* m_end;
};

// The log delete dialog: a day (today at first); OK asks "确定删除日志" and stays open on Cancel.
class CDlgLogDelete : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_DAY = 1002 };
    static constexpr const char* kQuestion = "确定删除日志";

    explicit CDlgLogDelete(QWidget* parent = nullptr);

    // The chosen day (at midnight) after OK.
    COleDateTime m_dtTime;
    QDateEdit* Day() const { return m_day; }

protected:
    void OnOK() override;

private:
    QDateEdit* m_day;
};

// The category texts of the log: "<全部>" for 0, then 1 "其它", 2 "用户登录", 3 "用户管理",
// 4 "系统管理", 10 "目录管理", 20 "文件管理"; empty for any other value.
const char* LogCategoryText(int category);
