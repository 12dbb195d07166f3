// The window of not-yet-written instruction lines that the peephole rules rewrite, and
// the line operations every rule goes through. The operations keep the local-label use
// counters right, so no rule ever touches a counter itself.
//
// Lines are read with `window[i]` (a const line) and changed only through the window's
// operations. That keeps three things true at every moment: each line's decoded form
// matches its texts, the label indexes know where every label stands and which lines
// name it, and the listener (the incremental local tier) hears of every change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "asmout/decoded_line.h"
#include "asmout/window_indexes.h"

namespace vorax {

class OutputFile;

// Labels and operands are names and addresses: they keep their whole length, since a cut
// one names something else. Only comment lines (the source echo, warnings) are display
// texts, cut to this width.
inline constexpr std::size_t kCommentLineWidth = 48;

// The lines the local rules read when they last all answered "no change" at a line,
// relative to that line (low <= 0 <= high); `far` when the incremental local tier also
// keeps the line on its list of far readers. Moves along with the line.
struct LocalReach {
  std::int32_t low = 0;
  std::int32_t high = 0;
  bool far = false;
};

struct WindowLine {
  std::string label;
  std::string mnemonic;
  std::string source;
  std::string destination;
  std::vector<std::string> attached;  // raw lines written right after this one
  bool flag = false;                  // scratch mark for the rules; cleared on append
  // A "nop" the emitter added only to carry a label (two labels in a row), not code the
  // program asked for.
  bool labelFiller = false;
  // The texts above taken apart once, so rules compare numbers. Kept up to date by the
  // window whenever a text changes.
  DecodedLine decoded;
  LocalReach reach;
};

// Use counts of the local labels "$n", indexed by n. Grows on demand, so a routine with
// any number of branches is counted correctly.
class LocalLabelUses {
 public:
  // The number of a local label text "$n", or -1 when the text is not one.
  [[nodiscard]] static int labelNumber(std::string_view text);

  void countUse(std::string_view text);
  void dropUse(std::string_view text);
  // The same for every comma-separated item of an operand text, so a merged data line
  // such as "dl $3,$4" gives up both of its uses when it goes.
  void countUsesIn(std::string_view text);
  void dropUsesIn(std::string_view text);
  [[nodiscard]] int uses(std::string_view text) const;
  [[nodiscard]] int usesOf(int number) const;
  // Uses on lines that have left the window (a window that overflowed, an assembly include
  // inside a routine): those lines can no longer be redirected, so the label they name
  // must stay on its line.
  void countWrittenUsesIn(std::string_view text);
  [[nodiscard]] bool usedOutsideWindow(std::string_view text) const;
  void clear();

 private:
  std::vector<int> counts_;
  std::vector<int> writtenCounts_;
};

// Formats one window line as it appears in the assembly file (without its attached
// lines): the label column, a tab, the mnemonic and the operands. A label of up to six
// characters shares the line with a tab, one of seven is followed directly by the
// mnemonic, a longer one stands on a line of its own; so one or two lines are appended
// to `outLines`.
void formatWindowLine(const WindowLine& line, std::vector<std::string>& outLines);

// Hears of every change of the window's lines, right after it happened.
class WindowListener {
 public:
  virtual ~WindowListener() = default;
  virtual void lineAppended() = 0;
  // The texts of line i changed (label, mnemonic or an operand).
  virtual void lineChanged(int i) = 0;
  // A new line stands at i; the lines that stood from i on moved up by one.
  virtual void lineInserted(int i) = 0;
  // Line i left; the lines after it moved down by one.
  virtual void lineRemoved(int i) = 0;
  // The oldest line was written out; every line moved down by one.
  virtual void oldestWritten() = 0;
  // The lines [first, first + length) now stand before line `before` (see moveLines).
  virtual void linesMoved(int first, int length, int before) = 0;
  // Some line took up or gave up `label`.
  virtual void labelMoved(std::string_view label) = 0;
  // The line at `position` took up or gave up the instruction `key`.
  virtual void instructionMoved(const InstructionKey& key, int position) = 0;
  // Every line was written out.
  virtual void windowEmptied() = 0;
  // The window is going away.
  virtual void windowDestroyed() = 0;
};

// Records which lines a rule looked at while it decided, so that the rule need not be
// asked again until one of them changes: the lowest and highest position read (a test
// whether a line exists counts as reading that position), and what it looked up in the
// indexes (where a label stands, where an instruction stood last).
class ReadTracker {
 public:
  void start(int position);
  void read(int position) {
    if (position < low_) low_ = position;
    if (position > high_) high_ = position;
  }
  void lookedUpLabel(std::string_view label);
  // The newest line before the rule's position holding `key` was found at absolute
  // position `found` (-1: none).
  void lookedUpInstruction(const InstructionKey& key, std::int64_t found);
  // The answer depended on something outside the window (which registers the code
  // generators hold): ask again every time.
  void readOutside() { outside_ = true; }

  [[nodiscard]] int low() const { return low_; }
  [[nodiscard]] int high() const { return high_; }
  [[nodiscard]] bool readOutsideWindow() const { return outside_; }
  struct InstructionLookup {
    InstructionKey key;
    std::int64_t found = -1;
  };
  [[nodiscard]] const std::vector<std::string>& labels() const { return labels_; }
  [[nodiscard]] const std::vector<InstructionLookup>& instructions() const { return instructions_; }

 private:
  int low_ = 0;
  int high_ = 0;
  bool outside_ = false;
  std::vector<std::string> labels_;
  std::vector<InstructionLookup> instructions_;
};

class PeepholeWindow {
 public:
  static constexpr int kCapacity = 4096;

  explicit PeepholeWindow(OutputFile& output);
  ~PeepholeWindow();
  PeepholeWindow(const PeepholeWindow&) = delete;
  PeepholeWindow& operator=(const PeepholeWindow&) = delete;

  [[nodiscard]] int count() const { return count_; }
  [[nodiscard]] bool empty() const { return count_ == 0; }
  [[nodiscard]] bool full() const { return count_ >= kCapacity; }
  const WindowLine& operator[](int i) const {
    if (tracker_ != nullptr) tracker_->read(i);
    return slot(i);
  }
  // Whether line i exists; for a rule that is being tracked, asking counts as reading
  // position i (a line appended there later changes the answer).
  [[nodiscard]] bool has(int i) const {
    if (tracker_ != nullptr) tracker_->read(i);
    return i >= 0 && i < count_;
  }
  const WindowLine& last() const { return (*this)[count_ - 1]; }
  // Line i without counting as a read of a tracked rule: for the bookkeeping around the
  // rules.
  [[nodiscard]] const WindowLine& peek(int i) const { return slot(i); }
  void setReach(int i, const LocalReach& reach) { slot(i).reach = reach; }
  // The raw lines that travel with line i: not seen by any rule, so free to edit.
  std::vector<std::string>& attached(int i) { return slot(i).attached; }

  LocalLabelUses& labelUses() { return labelUses_; }
  const LocalLabelUses& labelUses() const { return labelUses_; }
  [[nodiscard]] std::int64_t removedLines() const { return removedLines_; }
  // How many of the removed lines were label-carrying filler "nop" lines.
  [[nodiscard]] std::int64_t removedLabelFillers() const { return removedLabelFillers_; }

  // Appends a line as it is (the emit pipeline has already counted
  // its branch target). The caller makes room first when the window is full.
  void append(WindowLine line);

  // Field edits. setSource keeps the label-use counts right (the old text's uses go, the
  // new text's come); replaceSourceText changes the text alone, for the few edits that
  // must leave the counts as they are (a data line taking on another item, say).
  void setLabel(int i, std::string_view label);
  void setMnemonic(int i, std::string_view mnemonic);
  void setSource(int i, std::string_view source);
  void replaceSourceText(int i, std::string_view source);
  void setDestination(int i, std::string_view destination);
  // Gives up line i's label and returns it.
  std::string takeLabel(int i);

  // Delete: the line becomes "nop" with empty operands; its label and attached lines stay.
  void deleteLine(int i);
  // Remove: the line leaves the window; later lines move down; counts as removed.
  // Its attached lines are lost.
  void removeLine(int i);
  // Remove, but its attached lines go to the line before it (or are written out at once
  // when it is the oldest line).
  void removeLineKeepingAttached(int i);
  // Inserts before line i a "neop" line with empty operands that takes over line i's label.
  void insertBefore(int i);
  // Makes line i branch to `newTarget` instead of its present source, moving the use.
  void redirectBranch(int i, std::string_view newTarget);
  // Every line that names label `from` (a branch target or an item of a data list) names
  // `to` instead; the uses move along. The label itself stays on its line.
  void redirectLabel(std::string_view from, std::string_view to);
  // Moves `length` lines starting at `first` so that they stand before line `before`
  // (which lies outside the moved run); lines keep their labels and attached lines.
  void moveLines(int first, int length, int before);

  // Position of the first line carrying `label`, or -1.
  [[nodiscard]] int findLabel(std::string_view label) const;
  // Position of the last (newest) line carrying `label`, or -1.
  [[nodiscard]] int findLabelFromNewest(std::string_view label) const;
  // Some line other than `except` names `label` as a whole item of its source or
  // destination (see peephole::namesLabel).
  [[nodiscard]] bool labelNamedElsewhere(std::string_view label, int except) const;
  // The positions of the lines that may name `label` in an operand, oldest first: every
  // line that does is among them (a caller checks each).
  [[nodiscard]] std::vector<int> linesNaming(std::string_view label) const;
  // The newest line before position `before` that holds the same instruction as `key`
  // (mnemonic, source and destination), or -1. A tracked rule depends on the answer.
  [[nodiscard]] int findInstructionBefore(int before, const InstructionKey& key) const;
  // The index of every line, for questions that need no tracking (the code generators').
  [[nodiscard]] const WindowIndexes& indexes() const { return indexes_; }
  // Window position of an absolute index position.
  [[nodiscard]] int positionOf(std::int64_t absolute) const {
    return static_cast<int>(absolute - base_);
  }
  [[nodiscard]] std::int64_t absolutePosition(int i) const { return base_ + i; }

  // Writes the oldest line out and drops it (window full); not counted as removed.
  void writeOldest();
  // Writes every line in order and empties the window.
  void writeAll();

  // The incremental local tier listens to every change; reads are tracked while a
  // tracker is set.
  void setListener(WindowListener* listener) { listener_ = listener; }
  [[nodiscard]] WindowListener* listener() const { return listener_; }
  void setReadTracker(ReadTracker* tracker) const { tracker_ = tracker; }
  [[nodiscard]] ReadTracker* readTracker() const { return tracker_; }

 private:
  WindowLine& slot(int i) {
    return ring_[static_cast<std::size_t>((head_ + i) & (static_cast<int>(ring_.size()) - 1))];
  }
  const WindowLine& slot(int i) const {
    return ring_[static_cast<std::size_t>((head_ + i) & (static_cast<int>(ring_.size()) - 1))];
  }
  [[nodiscard]] std::int64_t absolute(int i) const { return base_ + i; }
  void grow();
  void openGap(int i);    // lines from i on move up by one; slot i is then empty
  void closeGap(int i);   // slot i goes; later lines move down by one
  void writeLine(const WindowLine& line);
  // Every edit of line i's texts: the line leaves the indexes, changes, is decoded anew
  // and enters them again; the listener hears of it.
  template <typename Edit>
  void edit(int i, Edit change);
  void decode(int i);
  void index(int i);
  void unindex(int i);
  void announceKeys(const WindowLine& line, int i);
  // The position of the oldest or the newest line carrying `label`, or -1; the lookup is
  // recorded for the incremental tier.
  [[nodiscard]] int lineCarrying(std::string_view label, bool newest) const;

  OutputFile& output_;
  std::vector<WindowLine> ring_;  // size a power of two; line i lives at (head_ + i) mod size
  int head_ = 0;
  int count_ = 0;
  std::int64_t base_ = 0;  // absolute position of line 0: grows as old lines are written
  LocalLabelUses labelUses_;
  WindowIndexes indexes_;
  TextNumbers texts_;
  std::int64_t removedLines_ = 0;
  std::int64_t removedLabelFillers_ = 0;
  std::vector<std::string> formatted_;  // reused buffer for writing
  WindowListener* listener_ = nullptr;
  mutable ReadTracker* tracker_ = nullptr;
};

}  // namespace vorax
