// The process's table of registered names: a clipboard format or a window message registered by
// name gets a number from 0xC000 upward, the same number for the same name, for the life of the
// process. Any thread may register.
#pragma once

#include <cstdint>
#include <string>

namespace kx {

inline constexpr std::uint16_t kFirstAtom = 0xC000;

// The name's number; 0 for an empty name or when the table is full.
std::uint16_t RegisterAtom(const std::string& name);
// The name registered under the number; empty for a number never given.
std::string AtomName(std::uint16_t atom);

} // namespace kx
