// The about box "关于 Varnia Studio": the program's title line, its version and what it is for.
#pragma once

#include "qt/KxDialog.h"

class CDlgAbout : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDD = 100, IDC_TITLE = 1000, IDC_PARTICULARS = 1001 };
    static constexpr const char* kTitleLine = "Varnia Studio 图库工作站";
    static constexpr const char* kVersion = "版本 1.0";
    static constexpr const char* kParticulars =
        "团队媒体图库的客户端程序：浏览、查询、采集、查看与打印图库中的文件。\n"
        "Varnia 项目  版权所有";

    explicit CDlgAbout(QWidget* parent = nullptr);
};
