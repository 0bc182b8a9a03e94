// A status pane's label: it keeps its whole text (text() and the tip) but draws what fits, cut
// with "…", and asks for no width of its own, so a long path in the status bar never widens the
// window around it.
#pragma once

#include <QLabel>

namespace kx {

class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kx
