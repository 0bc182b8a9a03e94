#include "session/CatalogueRows.h"

#include "session/CStudioLink.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "transport/NetRead.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace kx;

namespace {

const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }
int Length(std::string_view s) { return static_cast<int>(s.size()); }

// ---- How an entity travels: its record alone, or its record and a buffer ----

template <class T>
struct Wire {
    static constexpr bool kBuffer = false;
};
template <>
struct Wire<CkxUserGroup> {
    static constexpr bool kBuffer = true;
    static void Read(CkxUserGroup& r, std::string_view b) { r.PasyQueryBuf(Bytes(b), Length(b)); }
};
template <>
struct Wire<CkxFSNode> {
    static constexpr bool kBuffer = true;
    static void Read(CkxFSNode& r, std::string_view b) { r.PasyPower(Bytes(b), Length(b)); }
};
template <>
struct Wire<CkxAttr> {
    static constexpr bool kBuffer = true;
    static void Read(CkxAttr& r, std::string_view b) { r.PasyBuf(b.data(), Length(b)); }
};
template <>
struct Wire<CkxQueryTemplet> {
    static constexpr bool kBuffer = true;
    static void Read(CkxQueryTemplet& r, std::string_view b) { r.PasyQueryBuf(Bytes(b), Length(b)); }
};
template <>
struct Wire<CkxProject> {
    static constexpr bool kBuffer = true;
    static void Read(CkxProject& r, std::string_view b) { r.PasyUserBuf(Bytes(b), Length(b)); }
};
template <>
struct Wire<CkxObjAttrTemplet> {
    static constexpr bool kBuffer = true;
    static void Read(CkxObjAttrTemplet& r, std::string_view b) { r.PasyBuf(b.data(), Length(b)); }
};
template <>
struct Wire<CkxKeywordTemplet> {
    static constexpr bool kBuffer = true;
    static void Read(CkxKeywordTemplet& r, std::string_view b) { r.PasyBuf(b.data(), Length(b)); }
};

// The entity of a message, read on the dispatch thread; nothing (the message dropped) when the
// record is short or its buffer piece is missing.
template <class T>
std::optional<T> Decode(CStudioLink& link, const NetPacket& packet, const NetMessage* message) {
    const auto com = NetReadCom<typename T::_COM>(NetBody(packet, message));
    if (!com) {
        link.Drop(packet, "a record shorter than its size");
        return std::nullopt;
    }
    T rec;
    rec.SetComData(*com);
    if constexpr (Wire<T>::kBuffer) {
        if (!message || message->GetPieceCount() < 2) {
            link.Drop(packet, "the record's second piece is missing");
            return std::nullopt;
        }
        Wire<T>::Read(rec, message->GetPiece(1));
    }
    return rec;
}

template <class T>
int IdOf(const T& rec) {
    if constexpr (requires { rec.GetID(); }) return rec.GetID();
    else return rec.m_nFileID;
}

// ---- Where an entity is kept ----

// A list of the context object (or another process-wide list) with the shared record-list
// members.
template <class T, class L, L& (*Of)()>
struct ListCache {
    static void Clear() { Of().DeleteAll(); }
    static bool Has(int id) { return Of().Find(id) != nullptr; }
    static void Append(const T& r) { Of().AddTail(r); }
    static void Update(const T& r) { Of().Update(r); }
    static void Delete(int id) { Of().Delete(id); }
};

CkxXXX& Ctx() { return KX_KXXXX(); }
CkxUserList& Users() { return Ctx().m_UserList; }
CkxUserGroupList& UserGroups() { return Ctx().m_UserGroupList; }
CkxUserRoleList& UserRoles() { return Ctx().m_UserRoleList; }
CkxFileRoleList& FileRoles() { return Ctx().m_FileRoleList; }
CkxFolderRoleList& FolderRoles() { return Ctx().m_FolderRoleList; }
CkxFSQuickKeyList& QuickKeys() { return Ctx().m_QuickKeyList; }
CkxPersonList& Persons() { return Ctx().m_PersonList; }
CkxProjectList& Projects() { return Ctx().m_ProjectList; }
CkxProjectDataList& ProjectData() { return Ctx().m_ProjectDataList; }
CkxDataTagList& DataTags() { return Ctx().m_DataTagList; }
CkxKeywordList& Keywords() { return Ctx().m_KeywordList; }
CkxKeywordGroupList& KeywordGroups() { return Ctx().m_KeywordGroupList; }
CkxKeywordLinkList& KeywordLinks() { return Ctx().m_KeywordLinkList; }

// The folder tree: entries carry their tree images (closed 1, open 2).
struct FolderCache {
    static void Clear() { Ctx().fsDeleteAll(); }
    static bool Has(int id) { return Ctx().fsFind(id) != nullptr; }
    static void Append(const CkxFSNode& n) { Ctx().fsAddDir(n, 1, 2); }
    static void Update(const CkxFSNode& n) { Ctx().fsUpdateDir(n); }
    static void Delete(int id) { Ctx().fsDeleteDir(id); }
};

// The family tree: a deleted family takes its whole sub-tree with it.
struct FamilyCache {
    static CkxFamilyXXX& R() { return KX_FamilyXXX(); }
    static void Clear() { R().family_DeleteAll(); }
    static bool Has(int id) { return R().family_Find(id) != nullptr; }
    static void Append(const CkxFamily& f) { R().t_AddTail(f); }
    static void Update(const CkxFamily& f) { R().t_Update(f); }
    static void Delete(int id) {
        CkxFamilyPtrs tree;
        R().family_GetTree(id, tree);
        std::vector<int> ids;
        for (const CkxFamily* f : tree) ids.push_back(f->GetID());
        for (int each : ids) R().family_Delete(each);
    }
};

struct FamilyAttrCache {
    static CkxFamilyXXX& R() { return KX_FamilyXXX(); }
    static void Clear() { R().attr_DeleteAll(); }
    static bool Has(int id) { return R().attr_Find(id) != nullptr; }
    static void Append(const CkxAttr& a) { R().attr_AddTail(a); }
    static void Update(const CkxAttr& a) { R().attr_Update(a); }
    static void Delete(int id) { R().attr_Delete(id); }
};

// ---- The generic handler ----

template <class T, class Cache>
void HandleEntity(CStudioLink& link, const CatalogueRow& row, const NetPacket& packet, const NetMessage* message) {
    const int raw = packet.GetSubOp();
    if (raw >= kSubAdded && raw <= kSubDeleted && !row.pushed) return;
    const int subOp = CanonicalSubOp(raw);
    if (subOp != kSubList && !row.changes) return;
    if (subOp == kSubDelete) {
        const std::optional<int> id = NetReadIdText(NetBody(packet, message));
        if (!id) return link.Drop(packet, "the deleted id is not decimal text");
        link.QueueStep([&link, &row, id = *id] {
            Cache::Delete(id);
            TellRow(link, row, row.removed, id);
        });
        return;
    }
    if (subOp != kSubList && subOp != kSubAdd && subOp != kSubModify) return;
    std::optional<T> rec = Decode<T>(link, packet, message);
    if (!rec) return;
    const bool first = NetIsFirstEntry(packet), last = NetIsLastEntry(packet);
    link.QueueStep([&link, &row, subOp, first, last, rec = std::move(*rec)] {
        const int id = IdOf(rec);
        if (subOp == kSubModify) {
            Cache::Update(rec);
            TellRow(link, row, row.updated, id);
            return;
        }
        if (subOp == kSubList && !row.each) {
            if (first) Cache::Clear();
            Cache::Append(rec);
            if (last) TellRow(link, row, row.reload, 0);
            return;
        }
        // Lists filled one entry at a time are never emptied by an answer: a second answer
        // (or an add the list already holds) replaces the entry instead of doubling it.
        if (row.each && Cache::Has(id)) Cache::Update(rec);
        else Cache::Append(rec);
        TellRow(link, row, row.added, id);
    });
}

// ---- Handlers of their own shape ----

void HandleServer(CStudioLink& link, const CatalogueRow&, const NetPacket& packet, const NetMessage* message) {
    if (packet.GetSubOp() != kSubList) return;
    const auto com = NetReadCom<CkxServer::_COM>(NetBody(packet, message));
    if (!com) return link.Drop(packet, "a server record shorter than 316 bytes");
    link.QueueStep([com = *com] { Ctx().m_Server.SetComData(com); });
}

// Every piece one record; nothing when a piece is short (the set would be wrong).
template <class T, class List>
std::optional<List> ReadPieces(CStudioLink& link, const NetPacket& packet, const NetMessage& message) {
    List entries;
    for (int i = 0; i < message.GetPieceCount(); ++i) {
        const auto com = NetReadCom<typename T::_COM>(message.GetPiece(i));
        if (!com) {
            link.Drop(packet, "a piece shorter than its record");
            return std::nullopt;
        }
        T rec;
        rec.SetComData(*com);
        entries.AddTail(rec);
    }
    return entries;
}

// The folder and every folder below the ones the pieces name go together; one removal told
// for each top of what goes.
void HandleFolders(CStudioLink& link, const CatalogueRow& row, const NetPacket& packet, const NetMessage* message) {
    if (CanonicalSubOp(packet.GetSubOp()) != kSubDelete)
        return HandleEntity<CkxFSNode, FolderCache>(link, row, packet, message);
    if (!message || message->GetPieceCount() == 0) return;
    std::vector<CkxFSNode> nodes;
    for (int i = 0; i < message->GetPieceCount(); ++i) {
        const auto com = NetReadCom<CkxFSNode::_COM>(message->GetPiece(i));
        if (!com) return link.Drop(packet, "a folder piece shorter than 120 bytes");
        nodes.emplace_back(*com);
    }
    link.QueueStep([&link, &row, nodes = std::move(nodes)] {
        Ctx().fsDeleteDir(nodes);
        // One removal for each folder whose parent is not deleted with it, wherever the sender
        // put it among the pieces (this studio sends the chosen folder last).
        std::set<int> ids;
        for (const CkxFSNode& n : nodes) ids.insert(n.m_nID);
        for (const CkxFSNode& n : nodes)
            if (!ids.count(n.m_nParentID)) TellRow(link, row, row.removed, n.m_nID);
    });
}

// A file's whole set (quick keys, project entries, keyword links): the pieces replace the set of
// the file the parameter names; a message without pieces empties it.
template <class T, class List, void (*Replace)(int fileId, const List& set)>
void HandleFileSet(CStudioLink& link, const CatalogueRow& row, const NetPacket& packet, const NetMessage* message) {
    if (!message) return link.Drop(packet, "a file's set that is not a message");
    std::optional<List> set = ReadPieces<T, List>(link, packet, *message);
    if (!set) return;
    const int fileId = static_cast<int32_t>(message->GetParam());
    link.QueueStep([&link, &row, fileId, set = std::move(*set)] {
        Replace(fileId, set);
        TellRow(link, row, row.updated, 0);
    });
}

void ReplaceQuickKeys(int fileId, const CkxFSQuickKeyList& keys) { QuickKeys().SetFile(fileId, keys); }
void ReplaceProjectData(int fileId, const CkxProjectDataList& set) { ProjectData().SetFile(fileId, set); }
void ReplaceKeywordLinks(int fileId, const CkxKeywordLinkList& links) { KeywordLinks().Set(fileId, links); }

using ProjectDataCache = ListCache<CkxProjectData, CkxProjectDataList, ProjectData>;
// Links have no id of their own: a list answer only fills the list; changes come as file sets.
struct KeywordLinkCache {
    static void Clear() { KeywordLinks().DeleteAll(); }
    static bool Has(int) { return false; }
    static void Append(const CkxKeywordLink& l) { KeywordLinks().AddTail(l); }
    static void Update(const CkxKeywordLink&) {}
    static void Delete(int) {}
};

void HandleKeywordLinks(CStudioLink& link, const CatalogueRow& row, const NetPacket& packet,
                        const NetMessage* message) {
    const int subOp = CanonicalSubOp(packet.GetSubOp());
    if (subOp == kSubList) return HandleEntity<CkxKeywordLink, KeywordLinkCache>(link, row, packet, message);
    if (subOp == kSubAdd || subOp == kSubModify || subOp == kSubDelete)
        HandleFileSet<CkxKeywordLink, CkxKeywordLinkList, ReplaceKeywordLinks>(link, row, packet, message);
}

// A removed link is named by its project and file (two 32-bit ids), told by the project's id.
void HandleProjectData(CStudioLink& link, const CatalogueRow& row, const NetPacket& packet,
                       const NetMessage* message) {
    if (CanonicalSubOp(packet.GetSubOp()) != kSubDelete)
        return HandleEntity<CkxProjectData, ProjectDataCache>(link, row, packet, message);
    struct Pair {
        int32_t projectId;
        int32_t fileId;
    };
    const auto pair = NetReadCom<Pair>(NetBody(packet, message));
    if (!pair) return link.Drop(packet, "a project link delete shorter than two ids");
    link.QueueStep([&link, &row, pair = *pair] {
        ProjectData().Delete(pair.projectId, pair.fileId);
        TellRow(link, row, row.removed, pair.projectId);
    });
}

// Each piece names one link to remove; each removal is told by the link's id.
void HandleProjectUnlink(CStudioLink& link, const CatalogueRow& row, const NetPacket& packet,
                         const NetMessage* message) {
    if (!message) return link.Drop(packet, "project links to remove that are not a message");
    std::optional<CkxProjectDataList> gone = ReadPieces<CkxProjectData, CkxProjectDataList>(link, packet, *message);
    if (!gone) return;
    link.QueueStep([&link, &row, gone = std::move(*gone)] {
        gone.ForEach([&](const CkxProjectData& d) {
            ProjectData().Delete(d.m_nProjectID, d.m_nFileID);
            TellRow(link, row, row.removed, d.GetID());
        });
    });
}

// ---- The table ----

template <class T, class L, L& (*Of)()>
constexpr CatalogueHandler kList = &HandleEntity<T, ListCache<T, L, Of>>;

struct RowBuilder {
    CatalogueRow row;
    RowBuilder(int type, CatalogueHandler handle) {
        row.type = type;
        row.handle = handle;
    }
    RowBuilder& Slot(StudioSlot s) {
        row.slots[row.slotCount++] = s;
        return *this;
    }
    RowBuilder& Codes(int base) {
        row.reload = base;
        row.added = base + 1;
        row.updated = base + 2;
        row.removed = base + 3;
        return *this;
    }
    RowBuilder& Each() {
        row.each = true;
        return *this;
    }
    RowBuilder& NoChanges() {
        row.changes = false;
        return *this;
    }
    RowBuilder& NoPushed() {
        row.pushed = false;
        return *this;
    }
    RowBuilder& FileDetails() {
        row.fileDetails = true;
        return *this;
    }
    RowBuilder& Only(int reload, int added, int updated, int removed) {
        row.reload = reload;
        row.added = added;
        row.updated = updated;
        row.removed = removed;
        return *this;
    }
};

std::vector<CatalogueRow> BuildRows() {
    auto r = [](int type, CatalogueHandler h) { return RowBuilder(type, h); };
    const RowBuilder rows[] = {
        r(kMsgServerRecord, HandleServer),
        r(kMsgUser, kList<CkxUser, CkxUserList, Users>).Slot(kSlotUsers).Only(kNoticeReload, 0, 0, 0).NoChanges(),
        r(kMsgUserGroup, kList<CkxUserGroup, CkxUserGroupList, UserGroups>).Slot(kSlotUserGroups).Codes(kNoticeReload).Each(),
        r(kMsgUserRole, kList<CkxUserRole, CkxUserRoleList, UserRoles>).Slot(kSlotUserRoles).Codes(kNoticeReload),
        r(kMsgFolder, HandleFolders).Slot(kSlotFolders).Codes(kNoticeReload).Each(),
        r(kMsgQuickKey, kList<CkxFSQuickKey, CkxFSQuickKeyList, QuickKeys>).Slot(kSlotQuickKeys).Codes(kNoticeReload),
        r(kMsgFileQuickKeys, HandleFileSet<CkxFSQuickKey, CkxFSQuickKeyList, ReplaceQuickKeys>)
            .Slot(kSlotFileDetails).Only(0, 0, kNoticeTagUpdated, 0),
        r(kMsgFileRole, kList<CkxFileRole, CkxFileRoleList, FileRoles>).Slot(kSlotFileRoles).Codes(kNoticeReload),
        r(kMsgFolderRole, kList<CkxFolderRole, CkxFolderRoleList, FolderRoles>).Slot(kSlotFolderRoles).Codes(kNoticeReload),
        r(kMsgFamily, &HandleEntity<CkxFamily, FamilyCache>).Slot(kSlotFamilies).Slot(kSlotFamilyAttrA).Codes(kNoticeReload),
        r(kMsgFamilyAttr, &HandleEntity<CkxAttr, FamilyAttrCache>).Slot(kSlotFamilyAttrA).Slot(kSlotFamilyAttrB)
            .Codes(kNoticeReload).Each(),
        r(kMsgQueryTemplet, kList<CkxQueryTemplet, CkxQueryTempletList, KX_QueryTempletList>).Slot(kSlotTemplates)
            .Codes(kNoticeReload).Each(),
        r(kMsgProject, kList<CkxProject, CkxProjectList, Projects>).Slot(kSlotProjects).Codes(kNoticeReload).Each(),
        r(kMsgProjectLink, HandleProjectData).Slot(kSlotProjectData).Codes(kNoticeReload).FileDetails(),
        r(kMsgProjectUnlink, HandleProjectUnlink).Slot(kSlotProjectData).Only(0, 0, 0, kNoticeRemoved).FileDetails(),
        r(kMsgFileProjects, HandleFileSet<CkxProjectData, CkxProjectDataList, ReplaceProjectData>)
            .Slot(kSlotProjectData).Only(0, 0, kNoticeUpdated, 0).FileDetails(),
        r(kMsgKeyword, kList<CkxKeyword, CkxKeywordList, Keywords>).Slot(kSlotKeywords).Codes(kNoticeReload),
        r(kMsgKeywordLink, HandleKeywordLinks).Slot(kSlotKeywordLinks).Slot(kSlotFileDetails)
            .Only(kNoticeReload, 0, kNoticeUpdated, 0),
        r(kMsgKeywordGroup, kList<CkxKeywordGroup, CkxKeywordGroupList, KeywordGroups>).Slot(kSlotKeywordGroups)
            .Codes(kNoticeTagReload),
        r(kMsgKeywordTemplet, kList<CkxKeywordTemplet, CkxKeywordTempletList, KX_KeywordTempletList>).NoPushed(),
        r(kMsgBookmark, kList<CkxDataTag, CkxDataTagList, DataTags>).Slot(kSlotTemplates).Codes(kNoticeTagReload),
        r(kMsgShare, kList<CkxDataShare, CkxDataShareList, KX_FileShareList>).Slot(kSlotTemplates)
            .Codes(kNoticeShareReload),
        r(kMsgFileTemplet, kList<CkxObjAttrTemplet, CkxObjAttrTempletList, KX_FileAttrTempletList>)
            .Slot(kSlotTemplates).Only(0, kNoticeAttrTempletAdded, kNoticeAttrTempletUpdated, kNoticeAttrTempletRemoved)
            .Each(),
        r(kMsgPerson, kList<CkxPerson, CkxPersonList, Persons>).Slot(kSlotPersons).Codes(kNoticeReload),
    };
    std::vector<CatalogueRow> table(kMsgTypeLast + 1);
    for (const RowBuilder& b : rows) table[static_cast<size_t>(b.row.type)] = b.row;
    return table;
}

} // namespace

const CatalogueRow* FindCatalogueRow(int type) {
    static const std::vector<CatalogueRow> table = BuildRows();
    if (type < kMsgTypeFirst || type > kMsgTypeLast) return nullptr;
    const CatalogueRow& row = table[static_cast<size_t>(type)];
    return row.handle ? &row : nullptr;
}

void TellRow(CStudioLink& link, const CatalogueRow& row, int code, int id) {
    link.NotifyObservers(row.slots, row.slotCount, code, id);
    if (row.fileDetails) link.NotifyObservers({kSlotFileDetails}, kNoticeShareUpdated, 0);
}
