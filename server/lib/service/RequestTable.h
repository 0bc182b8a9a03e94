// The request table: every message type 1..52 in type order with the handler that serves it
// (or none), what the session must have done first and how the catalogue lock is held. The
// server's dispatcher is built from it.
#pragma once

#include "session/RequestDispatcher.h"

#include <span>

namespace kx {

// The rows, one per type, in type order.
std::span<const KxRequestRow> RequestRows();

// The process's dispatcher, built from the rows on first use.
CRequestDispatcher& RequestTable();

} // namespace kx
