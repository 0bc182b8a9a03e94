// Message type 5: user accounts, kept in VUZO_User and in the context object's user list.
// Other users' passwords reach only sessions whose user holds the user-administration power.
#pragma once

#include "service/EntityService.h"

#include "model/CkxUser.h"

namespace kx {
KxEntitySpec<CkxUser> MakeUserSpec();
// Clears the password of an account record unless the recipient is that account's user or
// holds the user-administration power.
void HideOthersPassword(int recipientUserId, CkxUser::_COM& com);
} // namespace kx
