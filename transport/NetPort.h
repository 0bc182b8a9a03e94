// The TCP port every program of the system uses: 8800, or the value of the environment
// variable VARNIA_PORT so that several installations (and test runs) can share one machine.
#pragma once

namespace kx {

constexpr int kDefaultServicePort = 8800;

// VARNIA_PORT when it holds a number from 1 to 65535, else 8800.
int ServicePort();

} // namespace kx
