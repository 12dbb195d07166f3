// Make rules for the dependencies of a compiled source: the assembly file depends on the
// source and on every include file that was read.
#pragma once

#include <string>
#include <vector>

namespace vorax {

// "TARGET: PREREQUISITE..." with one prerequisite per continued line, each named once, in
// the order given. Blanks, "#" and "$" in names are escaped the way make reads them.
[[nodiscard]] std::string makeRule(const std::string& target,
                                   const std::vector<std::string>& prerequisites);

}  // namespace vorax
