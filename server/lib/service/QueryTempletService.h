// Requests about saved searches (type 22). They are private: a session lists, adds, changes
// and deletes only its own user's searches, and every answer goes to the requester alone.
#pragma once

struct KxRequest;

namespace kx {
void HandleQueryTempletRequest(KxRequest& request);
} // namespace kx
