// Table operations of keywords (VUZO_Keyword), keyword groups (VUZO_KeywordGroup), keyword
// templates (VUZO_KeywordTemplet, the keyword ids as one binary column) and the links that tag
// files with keywords (VUZO_KeywordLink, no key: a file's links are replaced as a whole), with
// the query texts that select the files carrying given keywords. Writes return 1 or 0; loads
// return the count or -1 when the table cannot be read (the list then stays as it was).
#pragma once

#include <string>
#include <vector>

class CADODatabase;
class CkxKeyword;
class CkxKeywordGroup;
class CkxKeywordGroupList;
class CkxKeywordLink;
class CkxKeywordLinkList;
class CkxKeywordList;
class CkxKeywordTemplet;
class CkxKeywordTempletList;

namespace KeywordTable {
// 1 with the new id put into the keyword, else 0 (the id stays as it was).
int Insert(CADODatabase& db, CkxKeyword& keyword);
int Update(CADODatabase& db, const CkxKeyword& keyword);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxKeywordList& list);
} // namespace KeywordTable

namespace KeywordGroupTable {
int Insert(CADODatabase& db, CkxKeywordGroup& group);
int Update(CADODatabase& db, const CkxKeywordGroup& group);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxKeywordGroupList& list);
} // namespace KeywordGroupTable

namespace KeywordTempletTable {
int Insert(CADODatabase& db, CkxKeywordTemplet& templet);
// A template without keywords stores none (its old keyword list does not survive).
int Update(CADODatabase& db, const CkxKeywordTemplet& templet);
int Delete(CADODatabase& db, int id);
int LoadAll(CADODatabase& db, CkxKeywordTempletList& list);
} // namespace KeywordTempletTable

namespace KeywordLinkTable {
int Insert(CADODatabase& db, const CkxKeywordLink& link);
int DeleteOfFile(CADODatabase& db, int fileId);
// Replaces every link row of the file with the given links, in one transaction: 1 when all were
// written, else 0 with the file's rows as they were. Each link is stored with its own file id.
int SetFileLinks(CADODatabase& db, int fileId, const CkxKeywordLinkList& links);
int LoadAll(CADODatabase& db, CkxKeywordLinkList& list);

// " SELECT T_FileID FROM  VUZO_KeywordLink WHERE T_KeyID = %d ".
std::string FilesOfKeywordQuery(int keywordId);
// The keyword's query with `inner` nested as " AND T_FileID IN ( inner ) "; either alone when
// the other is empty.
std::string NestQuery(const std::string& inner, int keywordId);
// The files that carry every keyword of the list (the first id outermost); empty for no ids.
std::string AllKeywordsQuery(const std::vector<int>& keywordIds);
// Appends to fileIds the files carrying every listed keyword; returns fileIds' count, 0 at once
// for an empty id list, -1 when the query fails.
int FilesWithAllKeywords(CADODatabase& db, const std::vector<int>& keywordIds, std::vector<int>& fileIds);
// Appends to fileIds each file carrying any listed keyword, once; returns fileIds' count, 0 at
// once for an empty id list, -1 when the query fails.
int FilesWithAnyKeyword(CADODatabase& db, const std::vector<int>& keywordIds, std::vector<int>& fileIds);
} // namespace KeywordLinkTable
