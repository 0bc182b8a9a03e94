// Message type 52: persons named in file data, kept in VUZO_Person and in the context object's
// person list.
#pragma once

#include "service/EntityService.h"

#include "model/CkxPerson.h"

namespace kx {
KxEntitySpec<CkxPerson> MakePersonSpec();
} // namespace kx
