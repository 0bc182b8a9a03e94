#include "pane/CWndOperator.h"

#include "dlg/CDlgOperator.h"
#include "link/ConsoleLink.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"

#include <QStyle>

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Where a row keeps the index of its state icon.
constexpr int kStateImageRole = Qt::UserRole + 50;

QString StateText(int state) {
    switch (state) {
    case CkxUser::STATE_ACT: return QStringLiteral("启用");
    case CkxUser::STATE_PAUSE: return QStringLiteral("暂停");
    default: return QStringLiteral("无效");
    }
}

} // namespace

CWndOperator::CWndOperator(ConsoleLink& link, QWidget* parent) : kx::ReportList(parent), m_link(link) {
    setObjectName("CWndOperator");
    const std::pair<const char*, int> columns[] = {{"登录名", 100}, {"姓名", 80},  {"角色", 100}, {"状态", 40},
                                                    {"部门", 80},   {"职位", 60},  {"电话", 80},  {"手机", 80},
                                                    {"EMail", 100}, {"备注", 300}};
    int c = 0;
    for (const auto& [title, width] : columns) InsertColumn(c++, QString::fromUtf8(title), kx::LVCFMT_LEFT, width);
    SetFullRowSelect(true);
    m_menuSel = new kx::PopupMenu(this);
    m_menuSel->setObjectName("135:Sel");
    m_menuSel->AppendMenu(QStringLiteral("新建操作员"), ID_NEW);
    m_menuSel->AppendMenu(QStringLiteral("修改操作员"), ID_MODIFY);
    m_menuSel->AppendSeparator();
    m_menuSel->AppendMenu(QStringLiteral("删除操作员"), ID_DELETE);
    m_menuNone = new kx::PopupMenu(this);
    m_menuNone->setObjectName("135:No");
    m_menuNone->AppendMenu(QStringLiteral("新建操作员"), ID_NEW);
    connect(this, &kx::ReportList::ItemRightClicked, this, [this](int, int, const QPoint& at) {
        const int id = Menu(PopupIndex())->TrackPopupMenu(at);
        if (id > 0) OnCommand(id);
    });
    link.Observe(kx::kMsgUser, this, [this](int notice, int id) { OnNotice(notice, id); });
}

int CWndOperator::StateImage(int state) {
    return state == CkxUser::STATE_ACT ? 0 : state == CkxUser::STATE_PAUSE ? 1 : 2;
}

void CWndOperator::FillRow(int row, const CkxUser& u) {
    static const QStyle::StandardPixmap kIcons[] = {QStyle::SP_DialogApplyButton, QStyle::SP_MediaPause,
                                                    QStyle::SP_DialogCancelButton};
    const CkxUserRole* role = KX_KXXXX().m_UserRoleList.Find(u.GetRoleID());
    const QString texts[] = {Text(u.m_strLogon), Text(u.m_strUser), role ? Text(role->m_strName) : QString(),
                             StateText(u.m_nState), Text(u.m_strDept), Text(u.m_strJob), Text(u.m_strTel),
                             Text(u.m_strMobile), Text(u.m_strEMail), Text(u.m_strRemark)};
    for (int c = 0; c < 10; ++c) SetItemText(row, c, texts[c]);
    topLevelItem(row)->setIcon(0, style()->standardIcon(kIcons[StateImage(u.m_nState)]));
    topLevelItem(row)->setData(0, kStateImageRole, StateImage(u.m_nState));
    SetItemData(row, u.GetID());
}

void CWndOperator::AppendRow(const CkxUser& user) {
    const int row = InsertItem(GetItemCount(), Text(user.m_strLogon));
    if (row >= 0) FillRow(row, user);
}

void CWndOperator::OnNotice(int notice, int userId) {
    const CkxUserList& users = KX_KXXXX().m_UserList;
    switch (notice) {
    case kNoticeReload:
        DeleteAllItems();
        users.ForEach([&](const CkxUser& u) { AppendRow(u); });
        break;
    case kNoticeAdded:
        if (const CkxUser* u = users.Find(userId)) AppendRow(*u);
        break;
    case kNoticeUpdated:
        if (const CkxUser* u = users.Find(userId))
            if (const int row = FindItemData(userId); row >= 0) FillRow(row, *u);
        break;
    case kNoticeRemoved:
        if (const int row = FindItemData(userId); row >= 0) DeleteItem(row);
        break;
    default: break;
    }
}

int CWndOperator::RowStateImage(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kStateImageRole).toInt() : -1;
}

int CWndOperator::SelectedUserId() const {
    const int row = GetSelectedRow();
    return row < 0 ? -1 : static_cast<int>(GetItemData(row));
}

void CWndOperator::OnCommand(int id) {
    const int current = m_link.GetCurrentUserId();
    switch (id) {
    case ID_NEW: {
        CDlgOperator dlg(current, this);
        if (dlg.DoModal() == kx::IDOK) m_link.SendUserAddRequest(dlg.m_User);
        return;
    }
    case ID_MODIFY: {
        const CkxUser* user = KX_KXXXX().m_UserList.Find(SelectedUserId());
        if (!user) return;
        CDlgOperator dlg(current, this);
        dlg.m_bCreate = 0;
        dlg.m_User = *user;
        if (dlg.DoModal() != kx::IDOK) return;
        if (kx::Prompt(this, kModifyQuestion, kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk) return;
        if (!m_link.SendUserUpdateRequest(dlg.m_User)) kx::Prompt(this, kModifyFailed, kx::PromptOk, kx::PromptError);
        return;
    }
    case ID_DELETE: {
        const int userId = SelectedUserId();
        const CkxUser* user = KX_KXXXX().m_UserList.Find(userId);
        if (userId < 0) return;
        // Deleting either would lock the administrators out.
        if (user && user->m_strLogon == "su") return void(kx::Prompt(this, kDeleteSu, kx::PromptOk, kx::PromptWarning));
        if (userId == current) return void(kx::Prompt(this, kDeleteSelf, kx::PromptOk, kx::PromptWarning));
        if (kx::Prompt(this, kDeleteQuestion, kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk) return;
        if (!m_link.SendUserDeleteRequest(userId)) kx::Prompt(this, kDeleteFailed, kx::PromptOk, kx::PromptError);
        return;
    }
    default: return;
    }
}
