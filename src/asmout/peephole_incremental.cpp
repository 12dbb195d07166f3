#include "asmout/peephole_incremental.h"

#include <algorithm>
#include <bit>

namespace vorax {
namespace {

// How far around a changed line the positions are looked at directly. A position whose
// rules read further than this (or looked up a label, or asked outside the window) is a
// far reader instead.
constexpr int kNearReach = 8;

// Local rules decline below this position without reading any line.
constexpr int kLowestPositionLimit = 6;

constexpr std::size_t wordOf(int i) { return static_cast<std::size_t>(i) >> 6; }
constexpr std::uint64_t bitOf(int i) {
  return std::uint64_t{1} << (static_cast<unsigned>(i) & 63u);
}

}  // namespace

// --- PositionSet -------------------------------------------------------------------

void PositionSet::ensure(int i) {
  if (wordOf(i) >= words_.size()) {
    words_.resize(wordOf(i) + 1, 0);
  }
}

void PositionSet::insert(int i) {
  if (i < 0) {
    return;
  }
  ensure(i);
  words_[wordOf(i)] |= bitOf(i);
}

void PositionSet::erase(int i) {
  if (i >= 0 && wordOf(i) < words_.size()) {
    words_[wordOf(i)] &= ~bitOf(i);
  }
}

bool PositionSet::contains(int i) const {
  return i >= 0 && wordOf(i) < words_.size() && (words_[wordOf(i)] & bitOf(i)) != 0;
}

int PositionSet::highestAtOrBelow(int i) const {
  if (i < 0 || words_.empty()) {
    return -1;
  }
  std::size_t w = std::min(wordOf(i), words_.size() - 1);
  std::uint64_t bits = words_[w];
  if (w == wordOf(i)) {
    const unsigned keep = (static_cast<unsigned>(i) & 63u) + 1;
    bits &= keep == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << keep) - 1;
  }
  while (true) {
    if (bits != 0) {
      return static_cast<int>(w * 64 + 63 - static_cast<std::size_t>(std::countl_zero(bits)));
    }
    if (w == 0) {
      return -1;
    }
    bits = words_[--w];
  }
}

void PositionSet::shiftUpFrom(int from) {
  if (words_.empty()) {
    return;
  }
  words_.push_back(0);
  const std::size_t first = wordOf(std::max(from, 0));
  // Whole words above the one holding `from` shift by one bit, carrying the top bit up.
  for (std::size_t w = words_.size() - 1; w > first; --w) {
    words_[w] = (words_[w] << 1) | (words_[w - 1] >> 63);
  }
  const unsigned offset = static_cast<unsigned>(std::max(from, 0)) & 63u;
  const std::uint64_t low = offset == 0 ? 0 : words_[first] & ((std::uint64_t{1} << offset) - 1);
  const std::uint64_t high = offset == 0 ? words_[first] : words_[first] & ~((std::uint64_t{1} << offset) - 1);
  words_[first] = low | (high << 1);
}

void PositionSet::removeAt(int from) {
  if (from < 0 || wordOf(from) >= words_.size()) {
    return;
  }
  const std::size_t first = wordOf(from);
  const unsigned offset = static_cast<unsigned>(from) & 63u;
  const std::uint64_t lowMask = offset == 0 ? 0 : (std::uint64_t{1} << offset) - 1;
  const std::uint64_t low = words_[first] & lowMask;
  // Bits above `from` in its word move down; bit `from` goes.
  std::uint64_t high = (words_[first] >> 1) & ~lowMask;
  if (first + 1 < words_.size()) {
    high |= (words_[first + 1] & 1) << 63;
  }
  words_[first] = low | high;
  for (std::size_t w = first + 1; w < words_.size(); ++w) {
    words_[w] = (words_[w] >> 1) | (w + 1 < words_.size() ? (words_[w + 1] & 1) << 63 : 0);
  }
}

void PositionSet::insertRange(int first, int last) {
  for (int i = std::max(first, 0); i <= last; ++i) {
    insert(i);
  }
}

// --- IncrementalLocalTier ---------------------------------------------------------

IncrementalLocalTier::~IncrementalLocalTier() {
  if (window_ != nullptr && window_->listener() == this) {
    window_->setListener(nullptr);
  }
}

void IncrementalLocalTier::attach(PeepholeWindow& window) {
  if (window_ == &window && window.listener() == this) {
    return;
  }
  if (window_ != nullptr && window_->listener() == this) {
    window_->setListener(nullptr);
  }
  window_ = &window;
  window.setListener(this);
  reset();
}

void IncrementalLocalTier::reset() {
  unsettled_.clear();
  farReaders_.clear();
  labelReaders_.clear();
  instructionReaders_.clear();
  readerEntries_ = 0;
  base_ = 0;
  for (int i = 0; i < window_->count(); ++i) {
    window_->setReach(i, LocalReach{});
  }
  unsettleAll();
}

void IncrementalLocalTier::unsettleAll() {
  if (window_ != nullptr) {
    unsettled_.insertRange(0, window_->count() - 1);
  }
}

bool IncrementalLocalTier::reads(int position, int first, int last) const {
  const LocalReach& reach = window_->peek(position).reach;
  return position + reach.low <= last && position + reach.high >= first;
}

void IncrementalLocalTier::unsettleReadersOf(int first, int last) {
  const int newest = window_->count() - 1;
  const int from = std::max(first - kNearReach, 0);
  const int to = std::min(last + kNearReach, newest);
  for (int p = from; p <= to; ++p) {
    if (!unsettled_.contains(p) && reads(p, first, last)) {
      unsettled_.insert(p);
    }
  }
  for (const FarReader& reader : farReaders_) {
    const int p = static_cast<int>(reader.position - base_);
    if (p >= 0 && p <= newest && reads(p, first, last)) {
      unsettled_.insert(p);
    }
  }
}

void IncrementalLocalTier::settle(int a) {
  forgetFarReader(a);
  LocalReach reach;
  reach.low = std::min(tracker_.low() - a, 0);
  reach.high = std::max(tracker_.high() - a, 0);
  reach.far = -reach.low > kNearReach || reach.high > kNearReach || tracker_.readOutsideWindow();
  window_->setReach(a, reach);
  if (reach.far) {
    farReaders_.push_back(FarReader{a + base_, tracker_.readOutsideWindow()});
  }
  const std::int64_t position = a + base_;
  for (const std::string& label : tracker_.labels()) {
    labelReaders_[label].push_back(position);
    ++readerEntries_;
  }
  for (const ReadTracker::InstructionLookup& lookup : tracker_.instructions()) {
    std::vector<InstructionReader>& readers = instructionReaders_[lookup.key];
    const InstructionReader reader{position, lookup.found};
    if (readers.empty() || readers.back().position <= position) {
      readers.push_back(reader);
    } else {
      readers.insert(std::upper_bound(readers.begin(), readers.end(), position,
                                      [](std::int64_t p, const InstructionReader& r) {
                                        return p < r.position;
                                      }),
                     reader);
    }
    ++readerEntries_;
  }
  if (readerEntries_ > 4 * static_cast<std::size_t>(window_->count()) + 4096) {
    dropStaleReaders();
  }
  unsettled_.erase(a);
}

void IncrementalLocalTier::forgetFarReader(int a) {
  if (!window_->peek(a).reach.far) {
    return;
  }
  const std::int64_t position = a + base_;
  const auto found = std::find_if(farReaders_.begin(), farReaders_.end(),
                                  [position](const FarReader& r) { return r.position == position; });
  if (found != farReaders_.end()) {
    *found = std::move(farReaders_.back());
    farReaders_.pop_back();
  }
  LocalReach reach = window_->peek(a).reach;
  reach.far = false;
  window_->setReach(a, reach);
}

void IncrementalLocalTier::lineAppended() {
  const int newest = window_->count() - 1;
  unsettled_.insert(newest);
  unsettleReadersOf(newest, newest);
}

void IncrementalLocalTier::lineChanged(int i) {
  unsettled_.insert(i);
  unsettleReadersOf(i, i);
}

void IncrementalLocalTier::shiftPositions(std::int64_t from, std::int64_t delta) {
  for (FarReader& reader : farReaders_) {
    if (reader.position >= from) {
      reader.position += delta;
    }
  }
  for (auto& [label, positions] : labelReaders_) {
    for (std::int64_t& position : positions) {
      if (position >= from) {
        position += delta;
      }
    }
  }
  for (auto& [key, readers] : instructionReaders_) {
    for (InstructionReader& reader : readers) {
      if (reader.position >= from) {
        reader.position += delta;
      }
      if (reader.found >= from) {
        reader.found += delta;
      }
    }
  }
}

void IncrementalLocalTier::lineInserted(int i) {
  // The new line arrives without a reach of its own; the positions after it move up.
  shiftPositions(i + base_, 1);
  unsettled_.shiftUpFrom(i);
  unsettled_.insert(i);
  unsettleReadersOf(i - 1, i + 1);
  unsettleLowPositions();
}

void IncrementalLocalTier::lineRemoved(int i) {
  const std::int64_t removed = i + base_;
  farReaders_.erase(std::remove_if(farReaders_.begin(), farReaders_.end(),
                                   [removed](const FarReader& r) { return r.position == removed; }),
                    farReaders_.end());
  shiftPositions(removed + 1, -1);
  unsettled_.removeAt(i);
  unsettleReadersOf(i - 1, i);
}

void IncrementalLocalTier::oldestWritten() {
  // Nothing reads differently in a way that could make a rule fire (see the header).
  farReaders_.erase(
      std::remove_if(farReaders_.begin(), farReaders_.end(),
                     [this](const FarReader& r) { return r.position == base_; }),
      farReaders_.end());
  unsettled_.removeAt(0);
  ++base_;
}

void IncrementalLocalTier::linesMoved(int first, int length, int before) {
  const int low = std::min(first, before);
  const int high = before < first ? first + length : before;  // exclusive
  // The lines of the turned run read other neighbours now: ask them all again, and
  // forget where the far readers among them stood.
  farReaders_.erase(std::remove_if(farReaders_.begin(), farReaders_.end(),
                                   [&](const FarReader& r) {
                                     return r.position >= low + base_ && r.position < high + base_;
                                   }),
                    farReaders_.end());
  for (int i = low; i < high; ++i) {
    LocalReach reach = window_->peek(i).reach;
    reach.far = false;
    reach.low = 0;
    reach.high = 0;
    window_->setReach(i, reach);
  }
  unsettled_.insertRange(low, high - 1);
  unsettleReadersOf(low - 1, high);
  unsettleLowPositions();
  // A lookup that found a line of the stretch, or was made from it, is asked again.
  const std::int64_t from = low + base_;
  const std::int64_t to = high + base_;
  for (auto& [key, readers] : instructionReaders_) {
    for (const InstructionReader& reader : readers) {
      if ((reader.found >= from && reader.found < to) || (reader.position >= from && reader.position < to)) {
        unsettleAbsolute(reader.position);
      }
    }
  }
}

// A rule may decline at a position only because it is too close to the oldest line
// ("a < 5"), reading nothing. Lines that move up can get past such a limit.
void IncrementalLocalTier::unsettleLowPositions() {
  unsettled_.insertRange(1, std::min(kLowestPositionLimit, window_->count() - 1));
}

void IncrementalLocalTier::unsettleAbsolute(std::int64_t position) {
  const std::int64_t p = position - base_;
  if (p >= 0 && p < window_->count()) {
    unsettled_.insert(static_cast<int>(p));
  }
}

void IncrementalLocalTier::labelMoved(std::string_view label) {
  const auto found = labelReaders_.find(label);
  if (found == labelReaders_.end()) {
    return;
  }
  for (std::int64_t position : found->second) {
    unsettleAbsolute(position);
  }
  // Those positions are asked again and look the label up anew.
  readerEntries_ -= found->second.size();
  labelReaders_.erase(found);
}

void IncrementalLocalTier::instructionMoved(const InstructionKey& key, int position) {
  const auto found = instructionReaders_.find(key);
  if (found == instructionReaders_.end()) {
    return;
  }
  // Only readers above the change whose answer lies at or below it are concerned.
  std::vector<InstructionReader>& readers = found->second;
  const std::int64_t changed = position + base_;
  const auto above = std::upper_bound(readers.begin(), readers.end(), changed,
                                      [](std::int64_t p, const InstructionReader& r) {
                                        return p < r.position;
                                      });
  const auto kept = std::remove_if(above, readers.end(), [&](const InstructionReader& reader) {
    if (reader.found > changed) {
      return false;
    }
    unsettleAbsolute(reader.position);
    return true;
  });
  readerEntries_ -= static_cast<std::size_t>(readers.end() - kept);
  readers.erase(kept, readers.end());
}

// Entries of positions that have left the window go; so do lists left empty.
void IncrementalLocalTier::dropStaleReaders() {
  readerEntries_ = 0;
  for (auto it = labelReaders_.begin(); it != labelReaders_.end();) {
    auto& positions = it->second;
    positions.erase(std::remove_if(positions.begin(), positions.end(),
                                   [this](std::int64_t p) { return p < base_; }),
                    positions.end());
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    readerEntries_ += positions.size();
    it = positions.empty() ? labelReaders_.erase(it) : std::next(it);
  }
  for (auto it = instructionReaders_.begin(); it != instructionReaders_.end();) {
    auto& readers = it->second;
    readers.erase(std::remove_if(readers.begin(), readers.end(),
                                 [this](const InstructionReader& r) { return r.position < base_; }),
                  readers.end());
    readerEntries_ += readers.size();
    it = readers.empty() ? instructionReaders_.erase(it) : std::next(it);
  }
}

void IncrementalLocalTier::windowEmptied() {
  unsettled_.clear();
  farReaders_.clear();
  labelReaders_.clear();
  instructionReaders_.clear();
  readerEntries_ = 0;
  base_ = 0;
}

void IncrementalLocalTier::windowDestroyed() {
  window_ = nullptr;
  windowEmptied();
}

}  // namespace vorax
