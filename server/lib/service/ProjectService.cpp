#include "service/ProjectService.h"

#include "session/CServerSession.h"

#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "service/RecordMessageService.h"
#include "service/RequestRights.h"
#include "table/ProjectTables.h"

namespace kx {
namespace {

KxRecordMessageSpec<CkxProject> ProjectSpec() {
    KxRecordMessageSpec<CkxProject> s;
    s.type = kMsgProject;
    s.noun = "project";
    s.logCategory = KXLOG_CAT_SYSADMIN;
    s.list = [](KxRequest& r, std::vector<CkxProject>& out) {
        CkxProjectList list;
        const int n = ProjectTable::LoadAll(r.db, list);
        list.ForEach([&](const CkxProject& p) { out.push_back(p); });
        return n;
    };
    s.buffer = [](const CkxProject& p) {
        CkxBuf buf;
        p.BuildUserBuf(buf);
        return std::string(buf.View());
    };
    s.readBuffer = [](CkxProject& p, std::string_view bytes) {
        if (bytes.size() % sizeof(CkxUserX::_COM) != 0) return false;
        p.PasyUserBuf(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        return true;
    };
    s.insert = [](CADODatabase& db, CkxProject& p, std::string_view) { return ProjectTable::Insert(db, p); };
    // The creator is who made the project, and a modify keeps the stored creator and creation
    // time: a client must not make itself the creator (and so an administrator) of a project.
    s.prepare = [](const KxRequest& r, CkxProject& p) {
        if (r.SubOp() == kSubAdd) {
            p.m_nCreatorID = r.session.GetUserID();
            return;
        }
        CkxProjectList stored;
        ProjectTable::LoadAll(r.db, stored);
        if (const CkxProject* row = stored.Find(p.m_nID)) {
            p.m_nCreatorID = row->m_nCreatorID;
            p.m_dtCreate = row->m_dtCreate;
        }
    };
    s.update = [](CADODatabase& db, CkxProject& p, std::string_view) { return ProjectTable::Update(db, p); };
    s.remove = ProjectTable::Delete;
    s.logAction = [](int subOp, const CkxProject& p) -> std::string {
        switch (subOp) {
        case kSubAdd: return "添加项目<" + p.m_strName + ">";
        case kSubModify: return "修改项目<" + p.m_strName + ">";
        default: return "删除项目";
        }
    };
    return s;
}

// Type 39 for one request: a new link is created by the requesting user.
KxEntitySpec<CkxProjectData> LinkSpec(int subOp, int userId) {
    KxEntitySpec<CkxProjectData> s;
    s.type = kMsgProjectLink;
    s.noun = "project link";
    s.logCategory = subOp == kSubAdd ? KXLOG_CAT_SYSADMIN : KXLOG_CAT_FILEADMIN;
    s.list = [](CADODatabase& db, std::vector<CkxProjectData>& out) {
        CkxProjectDataList list;
        const int n = ProjectFileTable::LoadAll(db, list);
        list.ForEach([&](const CkxProjectData& d) { out.push_back(d); });
        return n;
    };
    s.insert = [userId](CADODatabase& db, CkxProjectData& d) {
        d.m_nCreatorID = userId;
        return ProjectFileTable::Insert(db, d);
    };
    s.update = [](CADODatabase& db, const CkxProjectData& d) { return ProjectFileTable::Update(db, d); };
    s.logAction = [](int, const CkxProjectData& d) { return "关联项目文件<" + d.m_strAlias + ">"; };
    return s;
}

// The links carried by a message's pieces, one 136-byte record each; false (logged) when a
// piece is not a record.
bool ReadLinks(const KxRequest& request, CkxProjectDataList& links) {
    for (int i = 0; i < request.message->GetPieceCount(); ++i) {
        const std::string_view piece = request.message->GetPiece(i);
        CkxProjectData::_COM com;
        if (!ReadRecord(piece.data(), piece.size(), com)) {
            ServerWarning("project links (%d) from user %d dropped: piece %d is %zu bytes", request.Type(),
                          request.session.GetUserID(), i, piece.size());
            return false;
        }
        links.AddTail(CkxProjectData(com));
    }
    return true;
}

void Unlink(KxRequest& request) {
    struct Pair {
        int32_t projectId;
        int32_t fileId;
    } pair;
    const std::string_view payload = request.Payload();
    if (!ReadRecord(payload.data(), payload.size(), pair)) return;
    if (!ProjectFileTable::DeletePair(request.db, pair.projectId, pair.fileId)) {
        ServerWarning("project link delete from user %d dropped: the database refused it", request.session.GetUserID());
        return;
    }
    LogRequest(request, "断开项目文件", KXLOG_CAT_FILEADMIN, true);
    AnnounceToAll(request, payload.data(), payload.size());
}

} // namespace

void HandleProjectRequest(KxRequest& request) {
    static const KxRecordMessageSpec<CkxProject> spec = ProjectSpec();
    // A project delete is a file-administration entry of the log.
    static const KxRecordMessageSpec<CkxProject> deleteSpec = [] {
        KxRecordMessageSpec<CkxProject> s = ProjectSpec();
        s.logCategory = KXLOG_CAT_FILEADMIN;
        return s;
    }();
    HandleRecordMessageRequest(request.SubOp() == kSubDelete ? deleteSpec : spec, request);
}

void HandleProjectLinkRequest(KxRequest& request) {
    if (request.SubOp() == kSubDelete) {
        Unlink(request);
        return;
    }
    HandleEntityRequest(LinkSpec(request.SubOp(), request.session.GetUserID()), request);
}

// Removes the links the pieces name (by project and file), all in one transaction.
void HandleProjectUnlinkRequest(KxRequest& request) {
    if (!request.message) return;
    CkxProjectDataList links;
    if (!ReadLinks(request, links) || links.GetCount() == 0) return;
    if (!ProjectFileTable::DeleteLinks(request.db, links)) {
        ServerWarning("project links delete from user %d dropped: the database refused it", request.session.GetUserID());
        return;
    }
    LogRequest(request, "断开项目文件", KXLOG_CAT_SYSADMIN);
    request.Sessions().SendMessageToAll(*request.message);
}

// Makes the pieces the complete set of project links of the file named by the parameter: the
// file's other links go, new ones are stored (created by the requester), stored ones stay.
void HandleFileProjectsRequest(KxRequest& request) {
    if (!request.message) return;
    const int fileId = static_cast<int32_t>(request.message->GetParam());
    CkxProjectDataList links;
    if (!ReadLinks(request, links)) return;
    links.SetNewLinkCreator(request.session.GetUserID());
    for (POSITION p = links.GetHeadPosition(); p;) {
        CkxProjectData* d = links.GetNext(p);
        if (!d->IsValid()) d->m_nFileID = fileId; // a new link of this file, whatever it said
    }
    if (!ProjectFileTable::SaveFileLinks(request.db, fileId, links, request.session.GetUserID())) {
        ServerWarning("project links of file %d from user %d dropped: the database refused them", fileId,
                      request.session.GetUserID());
        return;
    }
    // Every workstation hears what the table now holds, not what this request carried (a
    // stored link named in the request keeps its stored fields).
    CkxProjectDataList stored;
    if (ProjectFileTable::LoadFile(request.db, fileId, stored) < 0) {
        ServerWarning("project links of file %d: saved, but could not be read back", fileId);
        LogRequest(request, "更新引用项目", KXLOG_CAT_FILEADMIN);
        return;
    }
    NetMessage answer;
    answer.SetCommand(request.Type(), request.SubOp());
    answer.SetParam(request.message->GetParam());
    stored.ForEach([&](const CkxProjectData& d) {
        const CkxProjectData::_COM com = d.GetComData();
        answer.AppendData(&com, sizeof com);
    });
    LogRequest(request, "更新引用项目", KXLOG_CAT_FILEADMIN);
    request.Sessions().SendMessageToAll(answer, FileReaders(request, fileId));
}

} // namespace kx
