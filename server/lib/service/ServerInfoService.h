// Messages 3 and 4: the server's own record (from the session's copy) and a fresh snapshot of
// the server machine's host and disk information, each answered to the requester only.
#pragma once

struct KxRequest;

void HandleServerRecord(KxRequest& request);
// Samples the machine for about a second: registered to run outside the catalogue mutex.
void HandleHostInfo(KxRequest& request);
