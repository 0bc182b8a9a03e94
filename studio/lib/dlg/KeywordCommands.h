// The keyword and keyword-group commands shared by the keyword administration dialog and the
// keyword chooser: each edits a copy in the library's dialog (or asks before a delete) and sends
// the request; the views change when the server's answer comes back.
#pragma once

#include <string>

class CStudioLink;
class QWidget;
namespace kx {
class PopupMenu;
}

namespace keywordcmd {

enum Command {
    ID_KEYWORD_NEW = 32820, ID_KEYWORD_MODIFY = 32817, ID_KEYWORD_DELETE = 32819,
    ID_GROUP_NEW = 32821, ID_GROUP_MODIFY = 32822, ID_GROUP_DELETE = 32823,
};

// The keyword context menu's pop-ups by position: 0 list without a row, 1 list with a row in a
// group, 2 list with a row at the root, 3 the tree's root, 4 a group in the tree. A new menu
// owned by `parent`; its entries are grayed for a user who may not change keywords.
kx::PopupMenu* Popup(QWidget* parent, int index, bool mayOperate);

// Runs one of the commands above for the tree's current item (`group`: 0 the root, above 0 a
// group, below 0 nothing selected) and the keyword of the selected row (0: none). A group is
// made only at the root; group commands need a group.
void Run(QWidget* parent, CStudioLink& link, int command, int group, int keyword);

// Whether the user may change keywords and groups (the server refuses anyone else).
bool MayOperate(const CStudioLink& link);
// A new keyword in the group (-1: none).
void NewKeyword(QWidget* parent, CStudioLink& link, int groupId);
void ModifyKeyword(QWidget* parent, CStudioLink& link, int keywordId);
void DeleteKeyword(QWidget* parent, CStudioLink& link, int keywordId);
void NewGroup(QWidget* parent, CStudioLink& link);
void ModifyGroup(QWidget* parent, CStudioLink& link, int groupId);
void DeleteGroup(QWidget* parent, CStudioLink& link, int groupId);

std::string DeleteKeywordQuestion(const std::string& name);
std::string DeleteGroupQuestion(const std::string& name);

} // namespace keywordcmd
