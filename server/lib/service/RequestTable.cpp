// The whole protocol the server serves, one row per message type in type order. A row without
// a handler is a type the numbering has but nobody serves: its requests are ignored. The rights
// column is where the authorisation a type needs will go; nothing is checked through it yet.
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

// A served type: logged on, under the catalogue lock unless said otherwise.
constexpr KxRequestRow Serve(int type, void (*handler)(KxRequest&),
                             Locking locking = Locking::Exclusive) {
    return {type, handler, Needs::LoggedOn, locking, 0};
}
// A type in the numbering that nobody serves.
constexpr KxRequestRow NotServed(int type) { return {type, nullptr, Needs::LoggedOn, Locking::Exclusive, 0}; }

// clang-format off
constexpr std::array kRows{
    //                    type                   handler                    needs / locking
    KxRequestRow{kMsgSession, HandleSessionRequest, Needs::LogOnRequest, Locking::Exclusive, 0},
    NotServed(kMsgUnused2),
    Serve(kMsgServerRecord,      HandleServerRecord),
    Serve(kMsgHostInfo,          HandleHostInfo, Locking::None), // samples for about a second
    Serve(kMsgUser,              Entity<MakeUserSpec>),
    Serve(kMsgUserGroup,         HandleUserGroupRequest),
    Serve(kMsgUserRole,          Entity<MakeUserRoleSpec>),
    NotServed(kMsgUnused8),
    NotServed(kMsgUnused9),
    Serve(kMsgFolder,            HandleFolder),
    Serve(kMsgQuickKey,          Entity<MakeQuickKeySpec>),
    Serve(kMsgFileQuickKeys,     HandleFileQuickKeys),
    Serve(kMsgFileRole,          Entity<MakeFileRoleSpec>),
    Serve(kMsgFolderRole,        Entity<MakeFolderRoleSpec>),
    Serve(kMsgRecycleList,       HandleRecycleBrowse),
    Serve(kMsgRecycleEmpty,      HandleRecycleEmpty),
    Serve(kMsgRecyclePurge,      HandleRecyclePurge),
    Serve(kMsgRecycleRestore,    HandleRecycleRestore),
    Serve(kMsgRecycleRestoreAll, HandleRecycleRestoreAll),
    Serve(kMsgFamily,            HandleFamilyRequest),
    Serve(kMsgFamilyAttr,        HandleFamilyAttrRequest),
    Serve(kMsgQueryTemplet,      HandleQueryTempletRequest),
    Serve(kMsgFile,              HandleFileRecord),
    Serve(kMsgCaptureFile,       HandleCaptureFileAdd),
    Serve(kMsgFileModify,        HandleFileModify),
    Serve(kMsgCheckoutList,      HandleCheckedOutList),
    Serve(kMsgCheckOut,          HandleCheckOut),
    Serve(kMsgCheckIn,           HandleCheckIn),
    Serve(kMsgCheckInChanged,    HandleCheckInChanged),
    Serve(kMsgWholeFile,         HandleWholeFile),
    Serve(kMsgFamilyFiles,       HandleFamilyFiles),
    Serve(kMsgFolderFiles,       HandleFolderFiles),
    Serve(kMsgProjectFiles,      HandleProjectFiles),
    Serve(kMsgQueryFiles,        HandleQueryFiles),
    Serve(kMsgKeywordFilesAll,   HandleKeywordFilesAll),
    Serve(kMsgKeywordFilesAny,   HandleKeywordFilesAny),
    Serve(kMsgOperandFiles,      HandleOperandFiles),
    Serve(kMsgProject,           HandleProjectRequest),
    Serve(kMsgProjectLink,       HandleProjectLinkRequest),
    Serve(kMsgProjectUnlink,     HandleProjectUnlinkRequest),
    Serve(kMsgFileProjects,      HandleFileProjectsRequest),
    Serve(kMsgKeyword,           HandleKeywordRequest),
    Serve(kMsgKeywordLink,       HandleKeywordLinkRequest),
    Serve(kMsgKeywordGroup,      HandleKeywordGroupRequest),
    Serve(kMsgKeywordTemplet,    HandleKeywordTempletRequest),
    NotServed(kMsgUnused46),
    Serve(kMsgBookmark,          HandleBookmarkRequest),
    Serve(kMsgShare,             Entity<MakeShareSpec>),
    Serve(kMsgFileTemplet,       HandleFileTempletRequest),
    Serve(kMsgLogDelete,         HandleLogDelete),
    Serve(kMsgLogQuery,          HandleLogQuery),
    Serve(kMsgPerson,            Entity<MakePersonSpec>),
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
