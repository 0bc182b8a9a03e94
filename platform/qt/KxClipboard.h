// The desktop clipboard as the programs may reach it: only from the thread of the application
// object, so a worker thread or a program without one never touches it.
#pragma once

class QClipboard;

namespace kx {

// The clipboard when the calling thread may use it, else null.
QClipboard* UsableClipboard();

} // namespace kx
