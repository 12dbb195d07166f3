// The window of not-yet-written instruction lines that the peephole rules rewrite, and
// the line operations every rule goes through. The operations keep the local-label use
// counters right, so no rule ever touches a counter itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorax {

class OutputFile;

// Labels and operands are names and addresses: they keep their whole length, since a cut
// one names something else. Only comment lines (the source echo, warnings) are display
// texts, cut to this width.
inline constexpr std::size_t kCommentLineWidth = 48;

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

class PeepholeWindow {
 public:
  static constexpr int kCapacity = 4096;

  explicit PeepholeWindow(OutputFile& output);

  [[nodiscard]] int count() const { return static_cast<int>(lines_.size()); }
  [[nodiscard]] bool empty() const { return lines_.empty(); }
  [[nodiscard]] bool full() const { return count() >= kCapacity; }
  WindowLine& operator[](int i) { return lines_[static_cast<std::size_t>(i)]; }
  const WindowLine& operator[](int i) const { return lines_[static_cast<std::size_t>(i)]; }
  WindowLine& last() { return lines_.back(); }

  LocalLabelUses& labelUses() { return labelUses_; }
  const LocalLabelUses& labelUses() const { return labelUses_; }
  [[nodiscard]] std::int64_t removedLines() const { return removedLines_; }
  // How many of the removed lines were label-carrying filler "nop" lines.
  [[nodiscard]] std::int64_t removedLabelFillers() const { return removedLabelFillers_; }

  // Appends a line as it is (the emit pipeline has already cut its fields and counted
  // its branch target). The caller makes room first when the window is full.
  void append(WindowLine line);

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
  // Replaces line i's source operand, keeping the label-use counts right.
  void setSource(int i, std::string_view source);
  // Every line that names label `from` (a branch target or an item of a data list) names
  // `to` instead; the uses move along. The label itself stays on its line.
  void redirectLabel(std::string_view from, std::string_view to);
  // Moves `length` lines starting at `first` so that they stand before line `before`
  // (which lies outside the moved run); lines keep their labels and attached lines.
  void moveLines(int first, int length, int before);
  // Position of the line carrying `label`, or -1.
  [[nodiscard]] int findLabel(std::string_view label) const;

  // Writes the oldest line out and drops it (window full); not counted as removed.
  void writeOldest();
  // Writes every line in order and empties the window.
  void writeAll();

 private:
  void writeLine(WindowLine& line);

  OutputFile& output_;
  std::vector<WindowLine> lines_;
  LocalLabelUses labelUses_;
  std::int64_t removedLines_ = 0;
  std::int64_t removedLabelFillers_ = 0;
  std::vector<std::string> formatted_;  // reused buffer for writing
};

}  // namespace vorax
