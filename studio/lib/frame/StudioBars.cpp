#include "frame/StudioBars.h"

#include <QMainWindow>

void CStudioBar::SetBarSize(int width, int height) {
    const QSize size(width, height);
    m_sizeHorz = m_sizeVert = m_sizeFloat = m_sizeMinFloating = size;
    if (auto* frame = qobject_cast<QMainWindow*>(parentWidget())) {
        frame->resizeDocks({this}, {width}, Qt::Horizontal);
        frame->resizeDocks({this}, {height}, Qt::Vertical);
    }
}

CNavigationBar::CNavigationBar(QWidget* parent) : CStudioBar(parent) {
    m_sizeHorz = m_sizeVert = m_sizeFloat = QSize(250, 250);
}

CFileInfoBar::CFileInfoBar(QWidget* parent) : CStudioBar(parent) {
    m_sizeHorz = m_sizeVert = m_sizeFloat = QSize(280, 280);
}

CWorkBar::CWorkBar(QWidget* parent) : CStudioBar(parent) {}
