// The administration panes the right view holds whose content has not been built yet: each is
// an empty page named after its class, so the view's order and show operations stand.
#pragma once

#include <QWidget>

class CWndLog : public QWidget {
public:
    explicit CWndLog(QWidget* parent = nullptr) : QWidget(parent) { setObjectName("CWndLog"); }
};
class CWndOperatorGroup : public QWidget {
public:
    explicit CWndOperatorGroup(QWidget* parent = nullptr) : QWidget(parent) { setObjectName("CWndOperatorGroup"); }
};
