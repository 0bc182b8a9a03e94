// Message type 1, the session protocol: log on (10), log off (11) and the online users (20).
// The server also sends (kSubUserOnline) when a user came online and (kSubLogoff) when one went
// offline.
#pragma once

struct KxRequest;

// Log-on results beyond the account check: a console without the system-administration right.
enum { CV_USER_LOGIN_CLIENT = 2 };

void HandleSessionRequest(KxRequest& request);
void HandleLogon(KxRequest& request);
void HandleLogoff(KxRequest& request);
void HandleOnlineUsers(KxRequest& request);
