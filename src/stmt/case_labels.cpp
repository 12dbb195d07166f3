#include "stmt/case_labels.h"

namespace vorax {

// Walks the entries from the lowest. Distances are taken in 64 bits, so tags at the ends
// of the 32-bit range compare without overflow.
bool CaseLabelList::add(std::int32_t low, std::int32_t high, const std::string& target) {
  const std::int64_t lo = low;
  const std::int64_t hi = high;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    CaseEntry& entry = entries_[i];
    const std::int64_t gapAbove = static_cast<std::int64_t>(entry.low) - hi;
    if (gapAbove >= 2 || (gapAbove == 1 && entry.target != target)) {
      // The new run lies wholly below this entry (and above the ones before it).
      entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i), {low, high, target});
      return true;
    }
    if (gapAbove == 1) {
      entry.low = low;
      return true;
    }
    const std::int64_t gapBelow = lo - static_cast<std::int64_t>(entry.high);
    if (gapBelow <= 0) {
      return false;
    }
    if (gapBelow == 1 && entry.target == target) {
      entry.high = high;
      // The extended entry may now touch its successor of the same arm.
      if (i + 1 < entries_.size()) {
        const CaseEntry& next = entries_[i + 1];
        if (static_cast<std::int64_t>(next.low) == hi + 1 && next.target == target) {
          entry.high = next.high;
          entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        } else if (static_cast<std::int64_t>(next.low) <= hi) {
          return false;
        }
      }
      return true;
    }
  }
  entries_.push_back({low, high, target});
  return true;
}

std::int64_t compareChainCost(const CaseLabelList& list, int size) {
  const std::int64_t perTest = size == 1 ? 6 : size == 2 ? 8 : 10;
  std::int64_t cost = 0;
  for (const CaseEntry& entry : list.entries()) {
    cost += entry.low == entry.high ? perTest : 2 * perTest;
  }
  return cost;
}

std::int64_t jumpTableCost(const CaseLabelList& list) {
  if (list.empty()) {
    return 28;
  }
  const std::int64_t span = static_cast<std::int64_t>(list.entries().back().high) -
                            static_cast<std::int64_t>(list.entries().front().low);
  return span * 4 + 28;
}

}  // namespace vorax
