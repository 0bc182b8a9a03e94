// Requests about projects (type 38) and the links that put files into projects: one link at a
// time (type 39), several removed at once (type 40) and the whole set of one file (type 41).
// Both are answered from the database; the server's project list keeps what it loaded at start.
#pragma once

struct KxRequest;

namespace kx {
void HandleProjectRequest(KxRequest& request);
void HandleProjectLinkRequest(KxRequest& request);
void HandleProjectUnlinkRequest(KxRequest& request);
void HandleFileProjectsRequest(KxRequest& request);
} // namespace kx
