// The keyword and keyword-group commands shared by the keyword administration dialog and the
// keyword chooser: each edits a copy in the library's dialog (or asks before a delete) and sends
// the request; the views change when the server's answer comes back.
#pragma once

#include <string>

class CStudioLink;
class QWidget;

namespace keywordcmd {

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
