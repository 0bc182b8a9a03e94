// Message type 7: user roles, kept in VUZO_UserRole and in the context object's role list. An
// account names its role in one byte, so a role whose new id would pass 255 is not created.
#pragma once

#include "service/EntityService.h"

#include "model/CkxUserRole.h"

namespace kx {
KxEntitySpec<CkxUserRole> MakeUserRoleSpec();
} // namespace kx
