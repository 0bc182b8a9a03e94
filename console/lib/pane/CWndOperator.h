// Keeper's operators pane: every user account with its role and state; new, modify and delete
// through the operator dialog and the session. "su" and the logged-on administrator's own
// account cannot be deleted here. The pane changes only when the server's answer comes.
#pragma once

#include "qt/KxReportList.h"

class ConsoleLink;
class CkxUser;
namespace kx {
class PopupMenu;
}

class CWndOperator : public kx::ReportList {
public:
    enum { ID_NEW = 32771, ID_MODIFY = 32772, ID_DELETE = 32773 };
    static constexpr const char* kModifyQuestion = "确定修改操作员吗";
    static constexpr const char* kModifyFailed = "修改操作员失败";
    static constexpr const char* kDeleteQuestion = "确定删除操作员吗";
    static constexpr const char* kDeleteFailed = "删除操作员失败";
    static constexpr const char* kDeleteSu = "不能删除用户su";
    static constexpr const char* kDeleteSelf = "不能删除当前登录的操作员";

    explicit CWndOperator(ConsoleLink& link, QWidget* parent = nullptr);

    void OnNotice(int notice, int userId);
    void OnCommand(int id);
    // The pop-up a right click shows: 0 ("Sel") with a row selected, else 1 ("No").
    int PopupIndex() const { return GetSelectedCount() > 0 ? 0 : 1; }
    kx::PopupMenu* Menu(int index) const { return index == 0 ? m_menuSel : m_menuNone; }
    // The state icon's index of a row: 0 active, 1 paused, 2 invalid.
    static int StateImage(int state);
    int RowStateImage(int row) const;

private:
    void AppendRow(const CkxUser& user);
    void FillRow(int row, const CkxUser& user);
    int SelectedUserId() const;

    ConsoleLink& m_link;
    kx::PopupMenu* m_menuSel;
    kx::PopupMenu* m_menuNone;
};
