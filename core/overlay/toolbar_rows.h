#pragma once

#include <cstddef>
#include <vector>

namespace zentrel {

// Where a toolbar too wide for its screen breaks: its groups of controls (tools, colours, edits,
// …) keep their order and stay whole, `gap` apart on one row (the divider and its spacing). The
// result holds the index of each row's first group: as few rows as keep every row within
// `widthLimit`, broken so the widest row is as narrow as can be. A group wider than the limit
// takes a row of its own. Empty for no groups.
std::vector<std::size_t>
toolbarRowStarts(const std::vector<double> &groupWidths, double gap, double widthLimit);

} // namespace zentrel
