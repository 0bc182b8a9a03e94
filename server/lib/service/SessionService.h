// Message type 1, the session protocol: log on (10), log off (11) and the online users (20).
// The server also sends (kSubUserOnline) when a user came online and (kSubLogoff) when one went
// offline.
#pragma once

struct KxRequest;


void HandleSessionRequest(KxRequest& request);
void HandleLogon(KxRequest& request);
void HandleLogoff(KxRequest& request);
void HandleOnlineUsers(KxRequest& request);
