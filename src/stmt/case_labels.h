// The case label list of one CASE statement: the selector values of every arm as disjoint
// ranges in ascending order, and the size estimates that choose between a compare chain
// and a jump table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorax {

// One run of selector values that lead to the same arm.
struct CaseEntry {
  std::int32_t low = 0;
  std::int32_t high = 0;  // equal to low for a single value
  std::string target;     // the arm's label
};

class CaseLabelList {
 public:
  // Enters the values [low, high] for the arm labelled `target`. A run that touches an
  // entry of the same arm is joined to it, so tags 1, 2, 3 of one arm make one range.
  // Returns false when some value already belongs to an entry (the tags collide).
  [[nodiscard]] bool add(std::int32_t low, std::int32_t high, const std::string& target);

  [[nodiscard]] const std::vector<CaseEntry>& entries() const { return entries_; }
  [[nodiscard]] bool empty() const { return entries_.empty(); }

 private:
  std::vector<CaseEntry> entries_;
};

// Estimated bytes of a compare chain for a selector of `size` bytes (1, 2 or 4): one
// compare and branch per single value, two per range.
[[nodiscard]] std::int64_t compareChainCost(const CaseLabelList& list, int size);
// Estimated bytes of a jump table: four per value from the lowest to the highest, plus
// the fixed range check and jump.
[[nodiscard]] std::int64_t jumpTableCost(const CaseLabelList& list);

}  // namespace vorax
