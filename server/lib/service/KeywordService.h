// Requests about keywords (type 42), the keywords tagging one file (type 43), keyword groups
// (type 44) and keyword templates (type 45).
#pragma once

struct KxRequest;

namespace kx {
void HandleKeywordRequest(KxRequest& request);
void HandleKeywordLinkRequest(KxRequest& request);
void HandleKeywordGroupRequest(KxRequest& request);
void HandleKeywordTempletRequest(KxRequest& request);
} // namespace kx
