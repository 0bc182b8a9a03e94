#include "frame/CWorkRightView.h"

#include "link/ConsoleLink.h"
#include "pane/CWndCatalog.h"
#include "pane/CWndOperatorOnline.h"
#include "pane/CWndServerInfo.h"
#include "pane/CWndLog.h"
#include "pane/CWndOperator.h"
#include "pane/CWndOperatorGroup.h"
#include "role/CWndUserRole.h"
#include "role/RolePanes.h"

CWorkRightView::CWorkRightView(ConsoleLink& link, QWidget* parent) : QWidget(parent), m_link(link) {
    setObjectName("CWorkRightView");
    m_fileRole = new CWndFileRole(link, this);
    m_folderRole = new CWndFolderRole(link, this);
    m_catalog = new CWndCatalog(this);
    m_userRole = new CWndUserRole(link, this);
    m_operator = new CWndOperator(link, this);
    m_online = new CWndOperatorOnline(link, this);
    m_log = new CWndLog(link, this);
    m_group = new CWndOperatorGroup(link, this);
    m_serverInfo = new CWndServerInfo(link, this);
    m_panes = {m_fileRole, m_folderRole, m_catalog, m_userRole, m_operator, m_online, m_log, m_group, m_serverInfo};
    for (QWidget* pane : m_panes) pane->hide();
    ShowOnlinePane();
}

void CWorkRightView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (QWidget* pane : m_panes) pane->setGeometry(rect());
}

void CWorkRightView::HideAllPanes() {
    for (QWidget* pane : m_panes) pane->hide();
}

void CWorkRightView::Show(QWidget* pane) {
    HideAllPanes();
    pane->setGeometry(rect());
    pane->show();
}

QWidget* CWorkRightView::CurrentPane() const {
    for (QWidget* pane : m_panes)
        if (pane->isVisibleTo(const_cast<CWorkRightView*>(this))) return pane;
    return nullptr;
}

void CWorkRightView::ShowFileRolePane() { Show(m_fileRole); }
void CWorkRightView::ShowFolderRolePane() { Show(m_folderRole); }
void CWorkRightView::ShowCatalogPane() { Show(m_catalog); }
void CWorkRightView::ShowUserRolePane() { Show(m_userRole); }
void CWorkRightView::ShowOperatorPane() { Show(m_operator); }
void CWorkRightView::ShowOnlinePane() { Show(m_online); }
void CWorkRightView::ShowLogPane() { Show(m_log); }
void CWorkRightView::ShowGroupPane() { Show(m_group); }

void CWorkRightView::ShowServerInfoPane() {
    Show(m_serverInfo);
    m_serverInfo->setFocus();
    m_link.SendHostInfoRequest();
}
