// How often each peephole rule fired, in the order the optimizer's tables list the
// rules. Filled by the optimizer; printed by the command line as "ID count" lines.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace vorax {

class RuleStatistics {
 public:
  // Adds `times` to the rule with position `index` in `PeepholeOptimizer::ruleIds()`.
  void add(std::size_t index, std::int64_t times = 1);
  [[nodiscard]] std::int64_t count(std::size_t index) const;
  // The count of the rule with this id, 0 for an unknown id.
  [[nodiscard]] std::int64_t count(std::string_view id) const;
  void clear() { counts_.clear(); }

  // One line "ID count" per rule, every rule in table order, zeros included.
  void print(std::ostream& stream) const;

 private:
  std::vector<std::int64_t> counts_;
};

}  // namespace vorax
