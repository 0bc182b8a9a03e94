// The checkout requests: the checked-out list (kMsgCheckoutList), check out (kMsgCheckOut),
// check in (kMsgCheckIn) and check in with the changed file (kMsgCheckInChanged).
#pragma once

struct KxRequest;

namespace kx {

void HandleCheckedOutList(KxRequest& request);
void HandleCheckOut(KxRequest& request);
void HandleCheckIn(KxRequest& request);
void HandleCheckInChanged(KxRequest& request);

} // namespace kx
