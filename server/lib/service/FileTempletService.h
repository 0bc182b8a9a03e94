// Requests about the shared file templates (type 49): every workstation lists them and hears of
// every change; the table is their only store.
#pragma once

struct KxRequest;

namespace kx {
void HandleFileTempletRequest(KxRequest& request);
} // namespace kx
