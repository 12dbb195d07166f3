// The random numbers of the program generator. A generated program must be the same for
// one seed on every machine and with every standard library, so the generator never uses
// <random>'s distributions (their results are implementation-defined): it draws from its
// own xoshiro256** stream, seeded through splitmix64.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vorax::randprog {

class RandomSource {
 public:
  explicit RandomSource(uint64_t seed) {
    for (uint64_t& word : state_) word = splitMix(seed);
  }

  uint64_t next() {
    const uint64_t result = rotate(state_[1] * 5, 7) * 9;
    const uint64_t shifted = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= shifted;
    state_[3] = rotate(state_[3], 45);
    return result;
  }

  // A number in [0, count); count must be positive.
  uint64_t below(uint64_t count) {
    if (count == 0) throw std::logic_error("RandomSource::below(0)");
    // Rejection keeps every value equally likely.
    const uint64_t limit = UINT64_MAX - UINT64_MAX % count;
    uint64_t value = next();
    while (value >= limit) value = next();
    return value % count;
  }

  // A number in [low, high].
  int64_t between(int64_t low, int64_t high) {
    if (high < low) throw std::logic_error("RandomSource::between: empty range");
    const uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low) + 1;
    if (span == 0) return static_cast<int64_t>(next());  // the whole 64-bit range
    return static_cast<int64_t>(static_cast<uint64_t>(low) + below(span));
  }

  // True with the given chance in percent.
  bool percent(int chance) { return static_cast<int>(below(100)) < chance; }

  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items.at(below(items.size()));
  }

  // An index into `weights`, each entry's chance proportional to its weight (at least one
  // weight must be positive).
  size_t weighted(const std::vector<int>& weights) {
    int total = 0;
    for (int weight : weights) total += weight > 0 ? weight : 0;
    if (total == 0) throw std::logic_error("RandomSource::weighted: no positive weight");
    int roll = static_cast<int>(below(static_cast<uint64_t>(total)));
    for (size_t i = 0; i < weights.size(); ++i) {
      if (weights[i] <= 0) continue;
      if (roll < weights[i]) return i;
      roll -= weights[i];
    }
    return weights.size() - 1;
  }

 private:
  static uint64_t rotate(uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }
  static uint64_t splitMix(uint64_t& seed) {
    uint64_t z = (seed += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }

  uint64_t state_[4] = {};
};

}  // namespace vorax::randprog
