// Message type 48: file shares, kept in VUZO_FileShare. Lists are read from the database and
// every change goes to every session; the server's share list is only filled at start-up.
#pragma once

#include "service/EntityService.h"

#include "model/CkxDataShare.h"

namespace kx {
KxEntitySpec<CkxDataShare> MakeShareSpec();
} // namespace kx
