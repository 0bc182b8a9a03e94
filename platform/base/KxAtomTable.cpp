#include "base/KxAtomTable.h"

#include <map>
#include <mutex>
#include <vector>

namespace kx {

namespace {

struct Table {
    std::mutex mutex;
    std::map<std::string, std::uint16_t> byName;
    std::vector<std::string> names; // index = number - kFirstAtom
};

Table& Atoms() {
    static Table t;
    return t;
}

} // namespace

std::uint16_t RegisterAtom(const std::string& name) {
    if (name.empty()) return 0;
    Table& t = Atoms();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (auto it = t.byName.find(name); it != t.byName.end()) return it->second;
    if (t.names.size() >= std::size_t(0x10000 - kFirstAtom)) return 0;
    const auto number = static_cast<std::uint16_t>(kFirstAtom + t.names.size());
    t.names.push_back(name);
    t.byName.emplace(name, number);
    return number;
}

std::string AtomName(std::uint16_t atom) {
    Table& t = Atoms();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (atom < kFirstAtom || std::size_t(atom - kFirstAtom) >= t.names.size()) return {};
    return t.names[std::size_t(atom - kFirstAtom)];
}

} // namespace kx
