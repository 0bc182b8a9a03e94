// The whole protocol the server serves, one row per message type in type order. A row without
// a handler is a type the numbering has but nobody serves: its requests are ignored. The last
// column names what the session's user must be allowed (service/RequestRights.h); the server
// applies it itself, so a hand-made frame gets no further than the client's own gate would let
// it. Reads of the shared catalogue need nothing beyond the log-on; adds of files are tested by
// their handlers once the file (and with it its folder) is read.
#include "service/RequestTable.h"

#include "protocol/KxMessage.h"
#include "service/BookmarkService.h"
#include "service/CheckoutHandlers.h"
#include "service/EntityService.h"
#include "service/FamilyService.h"
#include "service/FileListHandlers.h"
#include "service/FileRequestHandlers.h"
#include "service/FileTempletService.h"
#include "service/FolderService.h"
#include "service/KeywordService.h"
#include "service/OperationLog.h"
#include "service/PersonService.h"
#include "service/PowerRoleService.h"
#include "service/ProjectService.h"
#include "service/QueryTempletService.h"
#include "service/QuickKeyService.h"
#include "service/RequestRights.h"
#include "service/ServerInfoService.h"
#include "service/SessionService.h"
#include "service/ShareService.h"
#include "service/UserGroupService.h"
#include "service/UserRoleService.h"
#include "service/UserService.h"

#include <array>

namespace kx {
namespace {

// An entity served by the shared list / add / modify / delete pattern; its description is
// made once, on the first request.
template <auto MakeSpec>
void Entity(KxRequest& request) {
    static const auto spec = MakeSpec();
    HandleEntityRequest(spec, request);
}

using Needs = KxRequestRow::Needs;
using Locking = KxRequestRow::Locking;
using Allowed = bool (*)(KxRequest&);

// A served type: logged on, the test of what the user must be allowed (none: any user who
// logged on), under the catalogue lock held alone unless said otherwise. Handlers that only
// read the catalogue and send share it; a reader must change nothing in memory.
constexpr KxRequestRow Serve(int type, void (*handler)(KxRequest&), Allowed allowed = nullptr,
                             Locking locking = Locking::Exclusive) {
    return {type, handler, Needs::LoggedOn, locking, allowed};
}
// A type in the numbering that nobody serves.
constexpr KxRequestRow NotServed(int type) { return {type, nullptr, Needs::LoggedOn, Locking::Exclusive, nullptr}; }

// clang-format off
constexpr std::array kRows{
    //    type                   handler                      the user must be allowed
    // The session row takes the catalogue lock itself (a delayed log-on waits outside it).
    KxRequestRow{kMsgSession, HandleSessionRequest, Needs::LogOnRequest, Locking::None, nullptr},
    NotServed(kMsgUnused2),
    Serve(kMsgServerRecord,      HandleServerRecord),
    Serve(kMsgHostInfo,          HandleHostInfo, nullptr, Locking::None), // samples for about a second
    Serve(kMsgUser,              Entity<MakeUserSpec>,        UserAdminChanges, Locking::MemoryForList),
    Serve(kMsgUserGroup,         HandleUserGroupRequest,      UserAdminChanges),
    Serve(kMsgUserRole,          Entity<MakeUserRoleSpec>,    UserAdminChanges, Locking::MemoryForList),
    NotServed(kMsgUnused8),
    NotServed(kMsgUnused9),
    Serve(kMsgFolder,            HandleFolder,                FolderChanges),
    Serve(kMsgQuickKey,          Entity<MakeQuickKeySpec>,    QuickKeyChanges),
    Serve(kMsgFileQuickKeys,     HandleFileQuickKeys,         FileQuickKeyChanges),
    Serve(kMsgFileRole,          Entity<MakeFileRoleSpec>,    UserAdminChanges, Locking::MemoryForList),
    Serve(kMsgFolderRole,        Entity<MakeFolderRoleSpec>,  UserAdminChanges, Locking::MemoryForList),
    Serve(kMsgRecycleList,       HandleRecycleBrowse,         nullptr, Locking::Shared),
    Serve(kMsgRecycleEmpty,      HandleRecycleEmpty),
    Serve(kMsgRecyclePurge,      HandleRecyclePurge),
    Serve(kMsgRecycleRestore,    HandleRecycleRestore),
    Serve(kMsgRecycleRestoreAll, HandleRecycleRestoreAll),
    Serve(kMsgFamily,            HandleFamilyRequest,         FamilyAdminChanges),
    Serve(kMsgFamilyAttr,        HandleFamilyAttrRequest,     FamilyAdminChanges),
    Serve(kMsgQueryTemplet,      HandleQueryTempletRequest),
    // Adds write their content before they take the catalogue lock, and then take it themselves.
    Serve(kMsgFile,              HandleFileRecord,            FileRecordChanges, Locking::AloneButAdd),
    Serve(kMsgCaptureFile,       HandleCaptureFileAdd,        nullptr, Locking::None),
    Serve(kMsgFileModify,        HandleFileModify,            FileModify),
    Serve(kMsgCheckoutList,      HandleCheckedOutList,        nullptr, Locking::Shared),
    Serve(kMsgCheckOut,          HandleCheckOut,              CheckOutAllowed),
    Serve(kMsgCheckIn,           HandleCheckIn,               CheckInAllowed),
    // Tests CheckInAllowed itself, around writing the new content outside the lock.
    Serve(kMsgCheckInChanged,    HandleCheckInChanged,        nullptr, Locking::None),
    Serve(kMsgWholeFile,         HandleWholeFile,             nullptr, Locking::Shared),
    Serve(kMsgFamilyFiles,       HandleFamilyFiles,           nullptr, Locking::Shared),
    Serve(kMsgFolderFiles,       HandleFolderFiles,           nullptr, Locking::Shared),
    Serve(kMsgProjectFiles,      HandleProjectFiles,          nullptr, Locking::Shared),
    Serve(kMsgQueryFiles,        HandleQueryFiles,            nullptr, Locking::Shared),
    Serve(kMsgKeywordFilesAll,   HandleKeywordFilesAll,       nullptr, Locking::Shared),
    Serve(kMsgKeywordFilesAny,   HandleKeywordFilesAny,       nullptr, Locking::Shared),
    Serve(kMsgOperandFiles,      HandleOperandFiles,          nullptr, Locking::Shared),
    Serve(kMsgProject,           HandleProjectRequest,        ProjectChanges),
    Serve(kMsgProjectLink,       HandleProjectLinkRequest,    ProjectLinkChanges),
    Serve(kMsgProjectUnlink,     HandleProjectUnlinkRequest,  ProjectUnlinkChanges),
    Serve(kMsgFileProjects,      HandleFileProjectsRequest,   FileProjectChanges),
    Serve(kMsgKeyword,           HandleKeywordRequest,        KeywordChanges),
    Serve(kMsgKeywordLink,       HandleKeywordLinkRequest,    KeywordLinkChanges),
    Serve(kMsgKeywordGroup,      HandleKeywordGroupRequest,   KeywordChanges),
    Serve(kMsgKeywordTemplet,    HandleKeywordTempletRequest, KeywordChanges),
    NotServed(kMsgUnused46),
    Serve(kMsgBookmark,          HandleBookmarkRequest),
    Serve(kMsgShare,             Entity<MakeShareSpec>),
    Serve(kMsgFileTemplet,       HandleFileTempletRequest,    FamilyAdminChanges),
    Serve(kMsgLogDelete,         HandleLogDelete,             SystemAdminOnly),
    Serve(kMsgLogQuery,          HandleLogQuery,              SystemAdminOnly),
    Serve(kMsgPerson,            Entity<MakePersonSpec>,      PersonChanges),
};
// clang-format on

constexpr bool InTypeOrder() {
    for (size_t i = 0; i < kRows.size(); ++i)
        if (kRows[i].type != kMsgTypeFirst + static_cast<int>(i)) return false;
    return kRows.size() == kMsgTypeLast - kMsgTypeFirst + 1;
}
static_assert(InTypeOrder(), "one row per message type, in type order");
static_assert(CRequestDispatcher::kFirstType == kMsgTypeFirst &&
              CRequestDispatcher::kLastType == kMsgTypeLast);

} // namespace

std::span<const KxRequestRow> RequestRows() { return kRows; }

CRequestDispatcher& RequestTable() {
    static CRequestDispatcher table(kRows);
    return table;
}

} // namespace kx
