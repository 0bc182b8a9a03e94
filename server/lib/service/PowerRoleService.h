// Message types 13 and 14: file roles and folder roles, the named power presets kept in
// VUZO_FileRole / VUZO_FolderRole and in the context object's two role lists. One design,
// applied to both.
#pragma once

#include "service/EntityService.h"

#include "model/CkxFileRole.h"

namespace kx {
KxEntitySpec<CkxFileRole> MakeFileRoleSpec();
KxEntitySpec<CkxFolderRole> MakeFolderRoleSpec();
} // namespace kx
