// Message type 6: user groups, kept in VUZO_UserGroup and in the context object's group list.
// A group travels as a two-piece message: [0] the 104-byte record, [1] the member container.
// Lists are read from the database; adds, changes and deletes also update the in-memory list,
// whose membership the server's own rights checks use.
#pragma once

struct KxRequest;

namespace kx {
void HandleUserGroupRequest(KxRequest& request);
} // namespace kx
