// The local tier without rescanning the window after every append.
//
// The full rescan tries every local rule at every position after every append, newest
// first, and starts again from the newest line whenever a rule reports a change. Almost
// all of those tries answer "no change" because nothing they look at has changed since
// they were last asked. This engine asks a position only when that may have changed:
// after every rule answered "no change" at a position, it remembers which lines they read
// there (the lowest and highest position, the labels they looked up, whether they asked
// about the code generators' registers) and keeps the position settled until one of those
// lines changes. A settled position would answer "no change" again, so skipping it leaves
// the order in which rules fire, and with it every byte of output, exactly as the full
// rescan gives it.
//
// Two facts keep the bookkeeping small. Most rules read only a few lines around their
// position; the few that scan back or follow branches are found in a short list. And the
// oldest line going out to the file never makes a rule fire that did not fire before: it
// only shortens what a scan back sees, and a walk that reached it now stops earlier with
// "still read", which keeps rules from firing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "asmout/peephole_window.h"

namespace vorax {

// Positions of the window, as bits.
class PositionSet {
 public:
  void insert(int i);
  void erase(int i);
  [[nodiscard]] bool contains(int i) const;
  // The highest member at or below `i`, or -1.
  [[nodiscard]] int highestAtOrBelow(int i) const;
  // Members from `from` on move up by one (a line was inserted at `from`).
  void shiftUpFrom(int from);
  // Members above `from` move down by one (the line at `from` was removed).
  void removeAt(int from);
  void insertRange(int first, int last);  // [first, last]
  void clear() { words_.clear(); }

 private:
  void ensure(int i);
  std::vector<std::uint64_t> words_;
};

class IncrementalLocalTier : public WindowListener {
 public:
  // What trying every rule at one position gave.
  struct Answer {
    bool restart = false;  // a rule reported a change: the scan starts again from the top
    bool changed = false;  // some rule changed something (possibly without a restart)
  };

  IncrementalLocalTier() = default;
  ~IncrementalLocalTier() override;
  IncrementalLocalTier(const IncrementalLocalTier&) = delete;
  IncrementalLocalTier& operator=(const IncrementalLocalTier&) = delete;

  // Follows `window` from now on. A window that was not followed until now is asked at
  // every position the next time.
  void attach(PeepholeWindow& window);
  // Every position is asked again (a setting the rules read has changed).
  void unsettleAll();

  // Asks the unsettled positions, newest first, until a pass ends without a restart:
  // `ask(a)` tries every rule at position a, as the full rescan's inner loop does.
  template <typename Ask>
  void run(Ask ask) {
    for (const FarReader& reader : farReaders_) {
      if (reader.outside) {
        unsettled_.insert(static_cast<int>(reader.position - base_));
      }
    }
    bool restart = true;
    while (restart) {
      restart = false;
      int a = unsettled_.highestAtOrBelow(window_->count() - 1);
      while (a >= 1) {
        tracker_.start(a);
        window_->setReadTracker(&tracker_);
        const Answer answer = ask(a);
        window_->setReadTracker(nullptr);
        if (answer.restart) {
          restart = true;
          break;
        }
        if (!answer.changed) {
          settle(a);
        }
        a = unsettled_.highestAtOrBelow(a - 1);
      }
    }
  }

  // WindowListener
  void lineAppended() override;
  void lineChanged(int i) override;
  void lineInserted(int i) override;
  void lineRemoved(int i) override;
  void oldestWritten() override;
  void linesMoved(int first, int length, int before) override;
  void labelMoved(std::string_view label) override;
  void instructionMoved(const InstructionKey& key, int position) override;
  void windowEmptied() override;
  void windowDestroyed() override;

 private:
  // A position whose rules read lines outside the few around it that unsettleReadersOf
  // looks at, or asked about the code generators' registers.
  struct FarReader {
    std::int64_t position = 0;  // absolute: the window position plus base_
    bool outside = false;
  };

  void settle(int a);
  void forgetFarReader(int a);
  // Positions whose last answer may depend on one of the lines [first, last] (in the
  // window's present numbering) are asked again.
  void unsettleReadersOf(int first, int last);
  void unsettleLowPositions();
  [[nodiscard]] bool reads(int position, int first, int last) const;
  void reset();
  void dropStaleReaders();
  void unsettleAbsolute(std::int64_t position);
  void shiftPositions(std::int64_t from, std::int64_t delta);

  PeepholeWindow* window_ = nullptr;
  PositionSet unsettled_;
  std::vector<FarReader> farReaders_;
  // Positions whose rules looked something up in the window's indexes. An entry may be
  // stale (the position was asked again since): asking once more is harmless. Positions
  // are absolute.
  //   Where a label stands: any line taking it up or giving it up may change the answer.
  std::unordered_map<std::string, std::vector<std::int64_t>, TextHash, std::equal_to<>>
      labelReaders_;
  //   The newest line before the position holding an instruction: only a change at or
  //   above the line found (or anywhere below the position, when none was found) may.
  struct InstructionReader {
    std::int64_t position = 0;
    std::int64_t found = -1;
  };
  struct KeyHash {
    std::size_t operator()(const InstructionKey& key) const {
      return (static_cast<std::size_t>(key.mnemonic) * 0x9E3779B97F4A7C15ull) ^
             (static_cast<std::size_t>(key.source) * 0xC2B2AE3D27D4EB4Full) ^
             (static_cast<std::size_t>(key.destination) * 0x165667B19E3779F9ull);
    }
  };
  // Each list is ordered by position.
  std::unordered_map<InstructionKey, std::vector<InstructionReader>, KeyHash> instructionReaders_;
  std::size_t readerEntries_ = 0;
  std::int64_t base_ = 0;  // grows by one whenever the oldest line goes out
  ReadTracker tracker_;
};

}  // namespace vorax
