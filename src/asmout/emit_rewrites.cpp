// Single-instruction rewrites of the emit pipeline, applied in a fixed order to every
// new instruction before the absorption tests.
#include <array>
#include <cstdint>
#include <utility>

#include "asmout/emit_rules.h"
#include "asmout/operand_text.h"
#include "asmout/peephole_window.h"

namespace vorax {

namespace {

// mov.X #0,R   =>   xor.w R,R   (xor.l for a long move)
// Only for a register: exclusive-or has no memory form.
void clearByExclusiveOr(PendingInstruction& in) {
  if (startsWith(in.mnemonic, "mov") && in.source == "#0" &&
      operandKind(in.destination) == OperandKind::Register) {
    in.mnemonic = in.mnemonic == "mov.l" ? "xor.l" : "xor.w";
    in.source = in.destination;
  }
}

// add.b #1,R   =>   inc.b #1,R      add.w #2,R   =>   inc.w #2,R      (sub => dec)
void stepByIncrement(PendingInstruction& in) {
  std::string& m = in.mnemonic;
  if (in.source == "#1") {
    if (m == "add.b") {
      m = "inc.b";
    } else if (m == "sub.b") {
      m = "dec.b";
    }
  }
  if (in.source == "#1" || in.source == "#2") {
    if (m == "add.l") {
      m = "inc.l";
    } else if (m == "add.w") {
      m = "inc.w";
    } else if (m == "sub.l") {
      m = "dec.l";
    } else if (m == "sub.w") {
      m = "dec.w";
    }
  }
}

// or.X #8,R   =>   bset #3,R      (any single-bit mask of the low byte)
void singleBitOrIntoBitSet(PendingInstruction& in) {
  if (!startsWith(in.mnemonic, "or.")) {
    return;
  }
  static constexpr std::array<std::string_view, 8> kMasks = {"#1",  "#2",  "#4",  "#8",
                                                             "#16", "#32", "#64", "#128"};
  for (std::size_t bit = 0; bit < kMasks.size(); ++bit) {
    if (in.source == kMasks[bit]) {
      in.mnemonic = "bset";
      in.source = "#" + std::to_string(bit);
      return;
    }
  }
}

// extu.w R / and.X #m,R   =>   nop / and.X #m,R      (the mask decides the high bits)
// Only when the mask clears every bit the extension would have set: a mask as wide as the
// extended value whose bits all lie within the extension's source (8 bits for extu.w /
// exts.w, 16 for the long forms).
void maskMakesExtensionDead(PeepholeWindow& w, const PendingInstruction& in, bool labelPending) {
  if (labelPending || w.empty() || !startsWith(in.mnemonic, "and.")) {
    return;
  }
  const WindowLine& last = w.last();
  if ((!startsWith(last.mnemonic, "extu.") && !startsWith(last.mnemonic, "exts.")) ||
      last.source != in.destination) {
    return;
  }
  const char extended = sizeLetter(last.mnemonic);
  const char masked = sizeLetter(in.mnemonic);
  const bool wideEnough = masked == 'l' || (masked == 'w' && extended == 'w');
  const std::int64_t sourceLimit = extended == 'w' ? 0x100 : 0x10000;
  std::int64_t mask = 0;
  if (wideEnough && parseDecimalImmediate(in.source, mask) && mask >= 0 && mask < sourceLimit) {
    w.deleteLine(w.count() - 1);
  }
}

// and.w #255,R   =>   extu.w R        and.l #65535,R   =>   extu.l R
void maskIntoExtension(PendingInstruction& in) {
  if ((in.mnemonic == "and.w" && in.source == "#255") ||
      (in.mnemonic == "and.l" && in.source == "#65535")) {
    in.mnemonic = in.mnemonic == "and.w" ? "extu.w" : "extu.l";
    in.source = std::move(in.destination);
    in.destination.clear();
  }
}

// extu.l R / mov.w R,M   =>   nop / mov.w R,M      (extu.w R / mov.b R,M likewise)
void narrowStoreMakesExtensionDead(PeepholeWindow& w, const PendingInstruction& in,
                                   bool labelPending) {
  if (labelPending || w.empty() || !w.last().label.empty()) {
    return;
  }
  const WindowLine& last = w.last();
  if (in.source == last.source && ((in.mnemonic == "mov.w" && last.mnemonic == "extu.l") ||
                                   (in.mnemonic == "mov.b" && last.mnemonic == "extu.w"))) {
    w.deleteLine(w.count() - 1);
  }
}

// inc.w #1,R / mov.w S,R   =>   nop / mov.w S,R      (the step is overwritten)
// Not when S reads R (mov.w @(2,R),R needs the stepped address).
void overwrittenStepDead(PeepholeWindow& w, const PendingInstruction& in, bool labelPending) {
  if (labelPending || w.empty() || !w.last().label.empty()) {
    return;
  }
  const WindowLine& last = w.last();
  const char size = sizeLetter(in.mnemonic);
  if (!startsWith(in.mnemonic, "mov.") || in.mnemonic.size() != 5) {
    return;
  }
  const bool stepOfSameSize =
      (startsWith(last.mnemonic, "inc.") || startsWith(last.mnemonic, "dec.")) &&
      last.mnemonic.size() == 5 && sizeLetter(last.mnemonic) == size;
  if (stepOfSameSize && last.destination == in.destination &&
      in.source.find(last.destination) == std::string::npos) {
    w.deleteLine(w.count() - 1);
  }
}

// mov.l @sp+,X / mov.l X,@-sp            =>   mov.l @sp,X / nop
// mov.l @sp+,X / (uses X) / mov.l X,@-sp  =>   mov.l @sp,X / (uses X) / nop
// The line in between must neither change X nor touch the stack, or the value pushed
// back would differ from the one left on the stack.
void pushAfterPopKeepsValue(PeepholeWindow& w, PendingInstruction& in) {
  if (in.mnemonic != "mov.l" || in.destination != "@-sp" || w.empty()) {
    return;
  }
  const std::string& x = in.source;
  auto isPopIntoX = [&x](const WindowLine& line) {
    return line.mnemonic == "mov.l" && line.source == "@sp+" && line.destination == x;
  };
  const int last = w.count() - 1;
  int pop = -1;
  if (isPopIntoX(w[last])) {
    pop = last;
  } else if (last >= 1 && isPopIntoX(w[last - 1]) && mentions(w[last], x) && !writes(w[last], x) &&
             !mentions(w[last], "sp") && w[last].mnemonic != "bsr") {
    pop = last - 1;
  }
  if (pop < 0) {
    return;
  }
  w.setSource(pop, "@sp");
  in = PendingInstruction{"nop", "", ""};
}

}  // namespace

void rewriteSingleInstruction(PeepholeWindow& window, PendingInstruction& instruction,
                              bool labelPending) {
  clearByExclusiveOr(instruction);
  stepByIncrement(instruction);
  singleBitOrIntoBitSet(instruction);
  maskMakesExtensionDead(window, instruction, labelPending);
  maskIntoExtension(instruction);
  narrowStoreMakesExtensionDead(window, instruction, labelPending);
  overwrittenStepDead(window, instruction, labelPending);
  pushAfterPopKeepsValue(window, instruction);
}

}  // namespace vorax
