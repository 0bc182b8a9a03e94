#include "service/RequestRights.h"

#include "log/ServerLog.h"
#include "model/CkxCheckout.h"
#include "model/CkxFSQuickKey.h"
#include "model/CkxFile.h"
#include "model/CkxFileX.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "service/CFileService.h"
#include "service/FileRequestHandlers.h"
#include "service/OperationLog.h"
#include "service/RequestIO.h"
#include "session/CServerSession.h"
#include "table/ProjectTables.h"
#include "transport/NetMessage.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace kx {

namespace {

int UserOf(const KxRequest& request) { return request.session.GetUserID(); }

bool IsChange(const KxRequest& request) {
    const int sub = request.SubOp();
    return sub == kSubAdd || sub == kSubModify || sub == kSubDelete;
}

bool Power(const KxRequest& request, int (CkxXXX::*test)(int) const) {
    return (KX_KXXXX().*test)(UserOf(request)) != 0;
}

// Changes need the power; lists are free.
bool ChangesNeed(KxRequest& request, int (CkxXXX::*test)(int) const) {
    if (!IsChange(request) || Power(request, test)) return true;
    return RefuseForRights(request);
}

// The stored file, or none.
std::unique_ptr<CkxFile> StoredFile(const KxRequest& request, int fileId) {
    if (fileId <= 0) return nullptr;
    return FileServiceOf(request)->FindFile(fileId);
}

using FileTest = int (CkxXXX::*)(int, int, const CkxPowerEx&) const;

bool MayOnFile(const KxRequest& request, const CkxFile& file, FileTest test) {
    return (KX_KXXXX().*test)(UserOf(request), file.m_nWriterID, file.GetPower()) != 0;
}

// The test on the stored file; a file that does not exist passes (the handler refuses it for
// what it is, a missing file).
bool StoredFileAllows(KxRequest& request, int fileId, FileTest test) {
    std::unique_ptr<CkxFile> stored = StoredFile(request, fileId);
    if (!stored || MayOnFile(request, *stored, test)) return true;
    return RefuseForRights(request);
}

int MessageParam(const KxRequest& request) {
    return request.message ? static_cast<int32_t>(request.message->GetParam()) : static_cast<int32_t>(request.packet.GetParam());
}

// The stored project, read from the catalogue (the memory copy is the start-up's).
std::optional<CkxProject> StoredProject(const KxRequest& request, int projectId) {
    CkxProjectList list;
    if (ProjectTable::LoadAll(request.db, list) < 0) return std::nullopt;
    const CkxProject* p = list.Find(projectId);
    if (!p) return std::nullopt;
    return *p;
}

// Administering a project: system administration, or project operation and being its creator.
bool MayAdminProject(const KxRequest& request, const CkxProject& project) {
    const CkxXXX& c = KX_KXXXX();
    const int user = UserOf(request);
    return c.usHasPower_SystemAdmin(user) || (c.usHasPower_ProjectOperate(user) && project.m_nCreatorID == user);
}

bool NamesUser(const CkxProject& project, int userId) {
    // A member entry naming the user or one of the user's groups.
    std::vector<int> groups;
    KX_KXXXX().ugGetGroupIncludeUser(userId, groups);
    bool named = false;
    project.m_UserList.ForEach([&](const CkxUserX& x) {
        if (x.IsUser() && x.m_nID == userId) named = true;
        if (x.IsGroup() && std::find(groups.begin(), groups.end(), x.m_nID) != groups.end()) named = true;
    });
    return named;
}

// Linking files to a project: administering it, or being one of its members.
bool MayLinkToProject(const KxRequest& request, int projectId) {
    const std::optional<CkxProject> p = StoredProject(request, projectId);
    if (!p) return true; // the handler meets a project that is not there
    return MayAdminProject(request, *p) || NamesUser(*p, UserOf(request));
}

// Unlinking: administering the project, or a member unlinking a link of their own.
bool MayUnlink(const KxRequest& request, int projectId, int fileId) {
    const std::optional<CkxProject> p = StoredProject(request, projectId);
    if (!p) return true;
    if (MayAdminProject(request, *p)) return true;
    if (!NamesUser(*p, UserOf(request))) return false;
    CkxProjectDataList links;
    ProjectFileTable::LoadAll(request.db, links);
    const CkxProjectData* link = links.Find(projectId, fileId);
    return link && link->m_nCreatorID == UserOf(request);
}

} // namespace

bool RefuseForRights(const KxRequest& request) {
    const int user = UserOf(request);
    ServerWarning("request (%d, %d) from user %d refused: the user has no right to it", request.Type(),
                  request.SubOp(), user);
    WriteLogWarning(&request.db, user, request.session.GetUserName(),
                    "无权执行的请求(类型 " + std::to_string(request.Type()) + ", 操作 " +
                        std::to_string(request.SubOp()) + ")被拒绝",
                    KXLOG_CAT_OTHER);
    return false;
}

bool UserAdminChanges(KxRequest& request) { return ChangesNeed(request, &CkxXXX::usHasPower_UserAdmin); }
bool FamilyAdminChanges(KxRequest& request) { return ChangesNeed(request, &CkxXXX::usHasPower_FamilyAdmin); }
bool KeywordChanges(KxRequest& request) { return ChangesNeed(request, &CkxXXX::usHasPower_KeywordOperate); }
bool PersonChanges(KxRequest& request) { return ChangesNeed(request, &CkxXXX::usHasPower_PersonOperate); }

bool SystemAdminOnly(KxRequest& request) {
    return Power(request, &CkxXXX::usHasPower_SystemAdmin) || RefuseForRights(request);
}

bool FileQuickKeyChanges(KxRequest& request) {
    if (!request.message) return true;
    return StoredFileAllows(request, MessageParam(request), &CkxXXX::fsUserCan_File_Edit);
}

bool KeywordLinkChanges(KxRequest& request) {
    if (!IsChange(request) || !request.message) return true;
    return StoredFileAllows(request, MessageParam(request), &CkxXXX::fsUserCan_File_Edit);
}

bool FileRecordChanges(KxRequest& request) {
    // Adds are tested by the handler once it has read the file (its folder is inside).
    if (request.SubOp() != kSubDelete) return true;
    for (const auto& rec : ReadDeleteRecords(request)) {
        std::unique_ptr<CkxFile> stored = StoredFile(request, static_cast<int>(rec.nID));
        if (stored && !MayOnFile(request, *stored, &CkxXXX::fsUserCan_File_Delete)) return RefuseForRights(request);
    }
    return true;
}

bool FileCreateAllowed(const KxRequest& request, const CkxFile& file) {
    if (KX_KXXXX().fsUserCan_File_Create(UserOf(request), file.m_nLocDirID)) return true;
    return RefuseForRights(request);
}

bool FileModify(KxRequest& request) {
    if (!request.message || request.message->GetPieceCount() < 3) return true; // the handler refuses it
    const std::string_view base = request.message->GetPiece(0), power = request.message->GetPiece(2);
    CkxFileX handle;
    if (!handle.CreateObj(base.data(), static_cast<int>(base.size()))) return true;
    const CkxFile& edited = *handle.GetObj();
    std::unique_ptr<CkxFile> stored = StoredFile(request, edited.GetID());
    if (!stored) return true;
    if (!MayOnFile(request, *stored, &CkxXXX::fsUserCan_File_Edit)) return RefuseForRights(request);
    // A change of the rights or of the owner needs full control.
    CkxBuf storedRights;
    stored->BuildPower(storedRights);
    const bool rightsChange = power != storedRights.View();
    const bool ownerChange = edited.m_nWriterID != stored->m_nWriterID && edited.m_nWriterID != -1;
    if ((rightsChange || ownerChange) && !MayOnFile(request, *stored, &CkxXXX::fsUserCan_File_FullCtrl))
        return RefuseForRights(request);
    return true;
}

bool CheckOutAllowed(KxRequest& request) {
    CkxCheckout::_COM com;
    if (!ReadRequestRecord(request, com)) return true;
    return StoredFileAllows(request, com.nFileID, &CkxXXX::fsUserCan_File_Edit);
}

bool CheckInAllowed(KxRequest& request) {
    int fileId = -1;
    if (request.Type() == kMsgCheckIn) {
        CkxCheckout::_COM com;
        if (!ReadRequestRecord(request, com)) return true;
        fileId = com.nFileID;
    } else {
        // The file body's base record starts with the id; the handler reads the whole body.
        std::unique_ptr<CkxFile> body = ReadFileData(request);
        if (!body) return true;
        fileId = body->GetID();
    }
    std::unique_ptr<CkxFile> stored = StoredFile(request, fileId);
    if (!stored) return true;
    const int user = UserOf(request);
    if (stored->m_nCheckouted && stored->m_nCheckoutUserID == user) return true;
    if (KX_KXXXX().usHasPower_SystemAdmin(user)) return true;
    return RefuseForRights(request);
}

bool ProjectChanges(KxRequest& request) {
    const int sub = request.SubOp();
    if (sub == kSubAdd)
        return KX_KXXXX().fsUserCan_Project_Create(UserOf(request)) || RefuseForRights(request);
    if (sub != kSubModify && sub != kSubDelete) return true;
    int id = -1;
    if (sub == kSubModify) {
        CkxProject::_COM com;
        if (!ReadRequestRecord(request, com)) return true;
        id = com.node.nID;
    } else if (!ParseDecimal(request.Payload(), id)) {
        return true;
    }
    const std::optional<CkxProject> stored = StoredProject(request, id);
    if (!stored || MayAdminProject(request, *stored)) return true;
    return RefuseForRights(request);
}

bool ProjectLinkChanges(KxRequest& request) {
    const int sub = request.SubOp();
    if (sub == kSubAdd || sub == kSubModify) {
        CkxProjectData::_COM com;
        if (!ReadRequestRecord(request, com)) return true;
        return MayLinkToProject(request, com.nProjectID) || RefuseForRights(request);
    }
    if (sub == kSubDelete) {
        struct Pair {
            int32_t projectId;
            int32_t fileId;
        } pair;
        const std::string_view payload = request.Payload();
        if (!ReadRecord(payload.data(), payload.size(), pair)) return true;
        return MayUnlink(request, pair.projectId, pair.fileId) || RefuseForRights(request);
    }
    return true;
}

bool ProjectUnlinkChanges(KxRequest& request) {
    if (!request.message) return true;
    for (int i = 0; i < request.message->GetPieceCount(); ++i) {
        const std::string_view piece = request.message->GetPiece(i);
        CkxProjectData::_COM com;
        if (!ReadRecord(piece.data(), piece.size(), com)) return true; // the handler drops it
        if (!MayUnlink(request, com.nProjectID, com.nFileID)) return RefuseForRights(request);
    }
    return true;
}

bool FileProjectChanges(KxRequest& request) {
    if (!request.message) return true;
    const int fileId = MessageParam(request);
    std::unique_ptr<CkxFile> stored = StoredFile(request, fileId);
    if (stored && !MayOnFile(request, *stored, &CkxXXX::fsUserCan_File_Edit)) return RefuseForRights(request);
    // Every project the file ends up in must be one the user may link to; links that go must be
    // ones the user may unlink.
    CkxProjectDataList current;
    ProjectFileTable::LoadAll(request.db, current);
    std::vector<int> wanted;
    for (int i = 0; i < request.message->GetPieceCount(); ++i) {
        const std::string_view piece = request.message->GetPiece(i);
        CkxProjectData::_COM com;
        if (!ReadRecord(piece.data(), piece.size(), com)) return true;
        wanted.push_back(com.nProjectID);
        if (!current.Find(com.nProjectID, fileId) && !MayLinkToProject(request, com.nProjectID))
            return RefuseForRights(request);
    }
    bool refused = false;
    current.ForEach([&](const CkxProjectData& d) {
        if (refused || d.m_nFileID != fileId) return;
        if (std::find(wanted.begin(), wanted.end(), d.m_nProjectID) == wanted.end() &&
            !MayUnlink(request, d.m_nProjectID, fileId))
            refused = true;
    });
    return refused ? RefuseForRights(request) : true;
}

bool UserMayReadFile(const KxRequest& request, int fileId) {
    std::unique_ptr<CkxFile> stored = StoredFile(request, fileId);
    return stored && MayOnFile(request, *stored, &CkxXXX::fsUserCan_File_Read);
}

CSessionList::Match FileReaders(const CkxFile& file) {
    // The test runs while the announcing handler holds the catalogue lock.
    return [writer = file.m_nWriterID, power = file.GetPower()](const CClientSession& to) {
        return KX_KXXXX().fsUserCan_File_Read(to.GetUserID(), writer, power) != 0;
    };
}

CSessionList::Match FileReaders(const KxRequest& request, int fileId) {
    std::unique_ptr<CkxFile> stored = StoredFile(request, fileId);
    // Without a stored file there are no rights to keep and no title to hide.
    if (!stored) return {};
    return FileReaders(*stored);
}

} // namespace kx
