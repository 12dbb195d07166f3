#include "asmout/emitter.h"

#include <utility>

#include "asmout/emit_rules.h"
#include "asmout/line_guard.h"
#include "diag/short_text.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

// A global label starts with a letter or "\": it begins a new routine or data item, so
// the window is written out before it and local label numbers start again.
bool isGlobalLabel(std::string_view label) {
  if (label.empty()) {
    return false;
  }
  const char c = label[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '\\';
}

// A marker line of a statement still being compiled: a "bcx" placeholder, or the "bcc"
// line of an open WITH (labelled with its own operand).
bool isPlaceholder(const WindowLine& line) {
  return line.mnemonic == "bcx" ||
         (line.mnemonic == "bcc" && !line.label.empty() && line.label[0] == '@' &&
          line.label == line.source);
}

bool isWholeDataWindow(const PeepholeWindow& window) {
  for (int i = 0; i < window.count(); ++i) {
    if (!isDataMnemonic(window[i].mnemonic)) {
      return false;
    }
  }
  return true;
}

}  // namespace

Emitter::Emitter(Compilation& compilation)
    : compilation_(compilation), window_(compilation.output) {}

void Emitter::emitInstruction(std::string_view mnemonic, std::string_view source,
                              std::string_view destination) {
  PendingInstruction instruction{std::string(mnemonic), std::string(source),
                                 std::string(destination)};
  if (startsWith(instruction.source, "$")) {
    window_.labelUses().countUse(instruction.source);
  }
  if (instruction.mnemonic == "bsr") {
    // Routines keep no register: nothing remembered survives the call.
    compilation_.registers.forgetRegisterContents();
    compilation_.registers.releaseUnlockedRegisters();
    callEmitted_ = true;
  }
  const bool labelPending = !pendingLabel_.empty();
  rewriteSingleInstruction(window_, instruction, labelPending);
  restoreDroppedCompare(instruction, labelPending);
  if (absorbIntoWindow(window_, instruction, labelPending)) {
    if (instruction.keptFlags != KeptCompareFlags::None) {
      droppedCompare_ = std::move(instruction);
    }
    return;
  }
  append(std::move(instruction));
}

void Emitter::restoreDroppedCompare(const PendingInstruction& instruction, bool labelPending) {
  if (!droppedCompare_) {
    return;
  }
  // A marker between the compare and its branch changes no flags.
  if (instruction.mnemonic == "bcx" && labelFillerPending_) {
    return;
  }
  PendingInstruction compare = *std::exchange(droppedCompare_, std::nullopt);
  if (!isConditionalBranch(instruction.mnemonic)) {
    return;
  }
  if (branchReadsOnly(instruction.mnemonic, compare.keptFlags)) {
    if (!labelPending) {
      droppedCompare_ = std::move(compare);  // a further branch may read the same flags
    }
    return;
  }
  // The compare goes in front of the branch's label: it belongs to the path falling in.
  std::string label = std::exchange(pendingLabel_, std::string());
  const bool filler = std::exchange(labelFillerPending_, false);
  compare.keptFlags = KeptCompareFlags::None;
  append(std::move(compare));
  pendingLabel_ = std::move(label);
  labelFillerPending_ = filler;
}

void Emitter::append(PendingInstruction instruction) {
  writeHeldRawLines();
  WindowLine line;
  line.label = std::exchange(pendingLabel_, std::string());
  line.labelFiller = std::exchange(labelFillerPending_, false);
  if (isGlobalLabel(line.label)) {
    flushWindow();
    // The flush forgot every use; this line's branch to a local label is one of the new
    // window's.
    if (startsWith(instruction.source, "$")) {
      window_.labelUses().countUse(instruction.source);
    }
  }
  if (window_.full()) {
    if (isWholeDataWindow(window_)) {
      window_.writeAll();
    } else if (isPlaceholder(window_[0])) {
      leaveEarly(0);
    } else {
      guardLines(0, 1);
      window_.writeOldest();
    }
  }
  line.mnemonic = std::move(instruction.mnemonic);
  line.source = std::move(instruction.source);
  line.destination = std::move(instruction.destination);
  window_.append(std::move(line));
  if (compilation_.options.localTier) {
    compilation_.optimizer.runLocalTier(window_);
    compilation_.optimizer.runClearRegisterRule(window_);
  }
  // A label never stays on an "org": it belongs to the address after the alignment.
  if (!window_.empty() && window_.last().mnemonic == "org" && !window_.last().label.empty()) {
    pendingLabel_ = window_.takeLabel(window_.count() - 1);
  }
  ++emittedLines_;
}

void Emitter::emitLabelFiller(std::string_view mnemonic, std::string_view source) {
  labelFillerPending_ = true;
  emitInstruction(mnemonic, source, "");
  labelFillerPending_ = false;  // also when the line was absorbed, never appended
  ++labelFillerNops_;
}

void Emitter::defineLabel(bool forgetRegisters, std::string_view label) {
  std::string text(label);
  if (oddDataPending_ && !window_.empty()) {
    // The pad byte goes between the data and whatever was written after it.
    std::vector<std::string> attached = std::exchange(window_.attached(window_.count() - 1), {});
    emitInstruction("db", "  0", "");
    if (window_.empty()) {
      for (const std::string& line : attached) {
        compilation_.output.writeLine(line);
      }
    } else {
      std::vector<std::string>& target = window_.attached(window_.count() - 1);
      target.insert(target.begin(), std::make_move_iterator(attached.begin()),
                    std::make_move_iterator(attached.end()));
    }
    oddDataPending_ = false;
  }
  if (!pendingLabel_.empty()) {
    // Two labels in a row: the older one gets a line of its own.
    emitLabelFiller("nop", "");
  }
  pendingLabel_ = std::move(text);
  if (forgetRegisters) {
    compilation_.registers.forgetRegisterContents();
  }
}

void Emitter::emitCommentLine(std::string_view text) {
  emitRawLine(cutText(text, kCommentLineWidth));
}

void Emitter::emitRawLine(std::string_view text) {
  std::string line(text);
  if (window_.empty() && holdingRawLines_) {
    heldRawLines_.push_back(std::move(line));
  } else if (window_.empty()) {
    compilation_.output.writeLine(line);
  } else {
    window_.attached(window_.count() - 1).push_back(std::move(line));
  }
}

void Emitter::releaseRawLines() {
  holdingRawLines_ = false;
  writeHeldRawLines();
}

void Emitter::writeHeldRawLines() {
  // Held lines were held while the window was empty: they come before every window line.
  std::vector<std::string> lines = std::exchange(heldRawLines_, {});
  for (const std::string& line : lines) {
    compilation_.output.writeLine(line);
  }
}

bool Emitter::withdrawRawLine(std::string_view text) {
  const auto removeNewest = [text](std::vector<std::string>& lines) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
      if (*it == text) {
        lines.erase(std::next(it).base());
        return true;
      }
    }
    return false;
  };
  for (int i = window_.count() - 1; i >= 0; --i) {
    if (removeNewest(window_.attached(i))) {
      return true;
    }
  }
  return removeNewest(heldRawLines_);
}

void Emitter::flushWindow() {
  writeHeldRawLines();
  if (compilation_.options.blockTier && window_.count() > 3) {
    compilation_.optimizer.runBlockTier(window_);
  }
  guardLines(0, window_.count());
  window_.writeAll();
  startNewLabelSpace();
}

void Emitter::leaveEarly(int i) {
  const WindowLine& line = window_[i];
  if (line.mnemonic == "bcx" && !line.destination.empty()) {
    // A spill mark: its value is saved on the stack here, and popped where the mark is
    // settled.
    const std::string saved = line.destination;
    window_.setLabel(i, "");
    window_.setMnemonic(i, "mov.l");
    window_.setSource(i, saved);
    window_.setDestination(i, "@-sp");
    if (i == 0) {
      guardLines(0, 1);
      window_.writeOldest();
    }
    return;
  }
  // Any other marker carries no code: it goes as nothing, and its statement, finding it
  // gone, leaves its code as it is.
  window_.removeLineKeepingAttached(i);
}

void Emitter::writeWindowOut() {
  writeHeldRawLines();
  if (!pendingLabel_.empty()) {
    emitLabelFiller("nop", "");
  }
  for (int i = window_.count() - 1; i >= 0; --i) {
    if (isPlaceholder(window_[i])) {
      leaveEarly(i);
    }
  }
  guardLines(0, window_.count());
  window_.writeAll();
}

void Emitter::guardLines(int first, int end) {
  if (!compilation_.options.guardLines) {
    return;
  }
  const TargetCpu cpu = compilation_.directives.settings().targetCpu();
  for (int i = first; i < end; ++i) {
    const std::string_view why = refusedForm(window_[i], cpu);
    if (!why.empty()) {
      refuseLine(i, why);
    }
  }
}

void Emitter::refuseLine(int i, std::string_view why) {
  // The lines before the refused one are written, then the refused line as a comment for
  // whoever looks into the fault, then the error; nothing after it.
  std::vector<std::string> text;
  formatWindowLine(window_[i], text);
  while (window_.count() > i) {
    window_.removeLine(window_.count() - 1);
  }
  for (const std::string& line : text) {
    emitRawLine(";! " + line + "    ; " + std::string(why));
  }
  compilation_.reportError(kRefusedInstruction);
}

void Emitter::writeWindowUnchanged() {
  writeHeldRawLines();
  window_.writeAll();
  startNewLabelSpace();
}

void Emitter::startNewLabelSpace() {
  window_.labelUses().clear();
  localLabelCounter_ = 2;
  pendingLabel_.clear();
}

}  // namespace vorax
