#include "asmout/peephole_statistics.h"

#include "asmout/peephole_optimizer.h"

namespace vorax {

void RuleStatistics::add(std::size_t index, std::int64_t times) {
  if (index >= counts_.size()) {
    counts_.resize(index + 1, 0);
  }
  counts_[index] += times;
}

std::int64_t RuleStatistics::count(std::size_t index) const {
  return index < counts_.size() ? counts_[index] : 0;
}

std::int64_t RuleStatistics::count(std::string_view id) const {
  const auto ids = PeepholeOptimizer::ruleIds();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (ids[i] == id) {
      return count(i);
    }
  }
  return 0;
}

void RuleStatistics::print(std::ostream& stream) const {
  const auto ids = PeepholeOptimizer::ruleIds();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    stream << ids[i] << ' ' << count(i) << '\n';
  }
}

}  // namespace vorax
