// Requests about the family tree (type 20) and the attribute definitions families add to their
// files (type 21): list, add, modify and delete, kept in step between the database, the
// process's family registry and every connected workstation.
#pragma once

struct KxRequest;

namespace kx {
void HandleFamilyRequest(KxRequest& request);
void HandleFamilyAttrRequest(KxRequest& request);
} // namespace kx
