// The two-column layout of Keeper's frame and catalogue pane: the left column takes one sixth
// of the width, or what its labels need when that is more (up to half), the right the rest.
#pragma once

#include <QSplitter>

#include <algorithm>

namespace kx {

inline void SetFirstColumnToSixth(QSplitter& splitter, int width, int leastLeft = 0) {
    const int left = std::max({0, width / 6, std::min(leastLeft, width / 2)});
    splitter.setSizes({left, std::max(0, width - left - splitter.handleWidth())});
}

} // namespace kx
