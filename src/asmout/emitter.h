// The emit pipeline: every instruction, label and raw line of the output passes here.
// Instructions get their single-instruction rewrites, may be absorbed into the line
// before them, and wait in the PeepholeWindow until a global label, a full window or
// the end of the compilation writes them out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "asmout/pending_instruction.h"
#include "asmout/peephole_window.h"

namespace vorax {

class Compilation;
struct PendingInstruction;

class Emitter {
 public:
  explicit Emitter(Compilation& compilation);

  // One instruction: a one-operand instruction passes its operand as the source and an
  // empty destination. It carries the pending label.
  void emitInstruction(std::string_view mnemonic, std::string_view source,
                       std::string_view destination);
  // Makes `label` the label of the next instruction. A pad byte goes first when data ended
  // on an odd address; a label still waiting gets a "nop" of its own.
  void defineLabel(bool forgetRegisters, std::string_view label);
  // A line that is not an instruction (stub, equate, listing line): written at once when
  // no instruction waits, otherwise after the newest waiting one. It is written whole.
  void emitRawLine(std::string_view text);
  // A comment line for the reader (source echo, warning): a raw line cut to the comment
  // width.
  void emitCommentLine(std::string_view text);
  // While raw lines are held, a raw line that would go straight to the file (the window
  // being empty) waits instead, so that it can still be withdrawn. Held lines are written
  // before the next window line, by every flush, and when the hold ends.
  void holdRawLines() { holdingRawLines_ = true; }
  void releaseRawLines();
  // Removes the newest raw line equal to `text` that has not been written yet (held, or
  // attached to a window line). False when there is none.
  bool withdrawRawLine(std::string_view text);
  // Runs the block passes (when more than three lines wait), writes every line and starts
  // a new local-label space.
  void flushWindow();
  // Writes every waiting line unchanged (no block passes): the error path.
  void writeWindowUnchanged();
  // Writes every waiting line without the block passes and without starting a new
  // local-label space, for an assembly include inside a routine body: the statements
  // still open go on with their labels, and their markers leave as nothing (a spill mark
  // as the push of its register).
  void writeWindowOut();

  [[nodiscard]] const std::string& pendingLabel() const { return pendingLabel_; }
  void clearPendingLabel() { pendingLabel_.clear(); }
  void setOddDataPending(bool on) { oddDataPending_ = on; }
  [[nodiscard]] bool oddDataPending() const { return oddDataPending_; }
  [[nodiscard]] bool callEmitted() const { return callEmitted_; }
  void setCallEmitted(bool on) { callEmitted_ = on; }

  // Local labels "$n": numbers restart at 2 after every flush.
  [[nodiscard]] int newLabelNumber() { return localLabelCounter_++; }

  PeepholeWindow& window() { return window_; }
  const PeepholeWindow& window() const { return window_; }

  // Line statistics for the trailer.
  [[nodiscard]] std::int64_t emittedLines() const { return emittedLines_; }
  [[nodiscard]] std::int64_t removedLines() const { return window_.removedLines(); }
  [[nodiscard]] std::int64_t labelFillerNops() const { return labelFillerNops_; }
  // The filler lines among the removed ones: what the optimizer took away of them.
  [[nodiscard]] std::int64_t removedLabelFillers() const { return window_.removedLabelFillers(); }
  // Emits a line that only carries a label or marks a place ("nop", a marker branch): it
  // is no program code, and the line statistics leave it out once it has been removed.
  void emitLabelFiller(std::string_view mnemonic, std::string_view source);

 private:
  void append(PendingInstruction instruction);
  // Appends the compare against zero that absorption dropped when `instruction` is a
  // branch reading flags the earlier line did not set as the compare would.
  void restoreDroppedCompare(const PendingInstruction& instruction, bool labelPending);
  // Lines [first, end) are about to leave: each must be an instruction the target
  // processor has, else the compilation ends with an internal error.
  void guardLines(int first, int end);
  [[noreturn]] void refuseLine(int i, std::string_view why);
  // Marker line i leaves the window before its statement settled it.
  void leaveEarly(int i);
  void startNewLabelSpace();
  void writeHeldRawLines();

  Compilation& compilation_;
  PeepholeWindow window_;
  std::string pendingLabel_;
  bool oddDataPending_ = false;
  bool holdingRawLines_ = false;
  std::vector<std::string> heldRawLines_;
  bool callEmitted_ = false;
  bool labelFillerPending_ = false;  // the instruction being emitted is a label filler
  // The compare against zero absorption dropped last, until an instruction other than a
  // conditional branch or a marker follows it.
  std::optional<PendingInstruction> droppedCompare_;
  int localLabelCounter_ = 2;
  std::int64_t emittedLines_ = 0;
  std::int64_t labelFillerNops_ = 0;
};

}  // namespace vorax
