#include "asmout/emit_rules.h"

#include <array>
#include <cstdint>
#include <utility>

#include "asmout/operand_text.h"
#include "asmout/peephole_window.h"

namespace vorax {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool isConditionalBranch(std::string_view mnemonic) {
  static constexpr std::array<std::string_view, 11> kBranches = {
      "beq", "bne", "ble", "blt", "bge", "bgt", "bpl", "bcc", "bhi", "bls", "bcs"};
  for (std::string_view branch : kBranches) {
    if (mnemonic == branch) {
      return true;
    }
  }
  return false;
}

bool isDataMnemonic(std::string_view mnemonic) {
  return mnemonic == "db" || mnemonic == "dw" || mnemonic == "dl";
}

char sizeLetter(std::string_view mnemonic) {
  const std::size_t dot = mnemonic.find('.');
  return dot != std::string_view::npos && dot + 1 < mnemonic.size() ? mnemonic[dot + 1] : '\0';
}

namespace {

bool mentions(const WindowLine& line, std::string_view operand) {
  return !operand.empty() && (line.source.find(operand) != std::string::npos ||
                              line.destination.find(operand) != std::string::npos);
}

// True when the line stores a new value into `operand`: its destination, or its only
// operand, is that text. Compares and bit tests only read.
bool writes(const WindowLine& line, std::string_view operand) {
  if (line.mnemonic == "nop" || line.mnemonic == "btst" || startsWith(line.mnemonic, "cmp.")) {
    return false;
  }
  return line.destination == operand || (line.destination.empty() && line.source == operand);
}

// The offset d of a frame slot written exactly "@(d,fp)".
bool parseFrameSlot(std::string_view text, std::int64_t& offset) {
  if (!startsWith(text, "@(") || text.size() < 6 || text.substr(text.size() - 4) != ",fp)") {
    return false;
  }
  return parseDecimal(text.substr(2, text.size() - 6), offset);
}

// ---- single-instruction rewrites -------------------------------------------------------

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
void maskMakesExtensionDead(PeepholeWindow& w, const PendingInstruction& in, bool labelPending) {
  if (labelPending || w.empty() || !startsWith(in.mnemonic, "and.") ||
      !startsWith(in.source, "#")) {
    return;
  }
  const WindowLine& last = w.last();
  if ((startsWith(last.mnemonic, "extu") || startsWith(last.mnemonic, "exts")) &&
      last.source == in.destination) {
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

// ---- absorption tests ------------------------------------------------------------------

// inc.w #1,R / dec.w #1,R   =>   nop
bool cancelOppositeSteps(PeepholeWindow& w, PendingInstruction& in) {
  const WindowLine& last = w.last();
  if (!last.label.empty() || last.source != in.source || last.destination != in.destination ||
      last.mnemonic.size() != 5 || in.mnemonic.size() != 5 ||
      sizeLetter(last.mnemonic) != sizeLetter(in.mnemonic)) {
    return false;
  }
  const std::string_view a = std::string_view(last.mnemonic).substr(0, 4);
  const std::string_view b = std::string_view(in.mnemonic).substr(0, 4);
  if ((a == "inc." && b == "dec.") || (a == "dec." && b == "inc.")) {
    w.deleteLine(w.count() - 1);
    return true;
  }
  return false;
}

bool setsFlagsFromDestination(std::string_view m) {
  static constexpr std::array<std::string_view, 12> kPrefixes = {"add.", "sub.", "inc.", "dec.",
                                                                 "shal", "shar", "shll", "shlr",
                                                                 "and.", "or.b", "or.w", "or.l"};
  for (std::string_view prefix : kPrefixes) {
    if (startsWith(m, prefix)) {
      return true;
    }
  }
  return false;
}

// add.w r1,r0 / cmp.w #0,r0   =>   add.w r1,r0          (the flags already tell)
// btst #3,r2 / cmp.w #0,r0    =>   btst #3,r2 / and.w r0,r0
// The search for the line that set the flags passes markers, filler "nop"s, conditional
// branches and the same compare; any other compare set flags of its own and stops it.
bool zeroCompareUsesEarlierFlags(PeepholeWindow& w, PendingInstruction& in) {
  if (!startsWith(in.mnemonic, "cmp.") || in.source != "#0") {
    return false;
  }
  const std::string& r = in.destination;
  int i = w.count() - 1;
  while (i >= 0) {
    const WindowLine& line = w[i];
    const bool passed =
        startsWith(line.label, "@") ||
        (line.label.empty() &&
         (line.mnemonic == "nop" || isConditionalBranch(line.mnemonic) ||
          (line.mnemonic == in.mnemonic && line.source == in.source && line.destination == r)));
    if (!passed) {
      break;
    }
    --i;
  }
  // "beq L / bra $00 / L: nop / cmp.X #0,R": the only way here is the branch to L, so the
  // flags are those of the line before that branch.
  if (i >= 2 && !w[i].label.empty() && w[i].mnemonic == "nop" && w[i - 1].mnemonic == "bra" &&
      w[i - 1].source == "$00" && isConditionalBranch(w[i - 2].mnemonic) &&
      w[i - 2].source == w[i].label && w.labelUses().uses(w[i].label) == 1) {
    i -= 3;
  }
  if (i >= 0) {
    const WindowLine& setter = w[i];
    const std::string_view m = setter.mnemonic;
    if (sizeLetter(m) == sizeLetter(in.mnemonic)) {
      if (setsFlagsFromDestination(m) && setter.destination == r) {
        return true;
      }
      if (startsWith(m, "mov.") && (setter.source == r || setter.destination == r)) {
        return true;
      }
      if ((startsWith(m, "neg.") || startsWith(m, "not.")) && setter.source == r) {
        return true;
      }
    }
  }
  in.mnemonic = "and." + in.mnemonic.substr(4);
  in.source = r;
  return false;
}

// bsr \lodc / bsr \addss     =>   bsr \addc
// bsr \lodsi / db ... / bsr \addss   =>   bsr \addsi / db ...
bool appendStringIntoLoad(PeepholeWindow& w, PendingInstruction& in) {
  if (in.source != "\\addss") {
    return false;
  }
  const int last = w.count() - 1;
  if (w[last].source == "\\lodc") {
    w.setSource(last, "\\addc");
    return true;
  }
  if (last >= 1 && w[last - 1].source == "\\lodsi") {
    w.setSource(last - 1, "\\addsi");
    return true;
  }
  return false;
}

// subs #2,sp / sub.l #6,sp   =>   sub.l #8,sp
bool mergeStackReservations(PeepholeWindow& w, PendingInstruction& in) {
  WindowLine& last = w.last();
  auto reserves = [](std::string_view m, std::string_view dest) {
    return (m == "subs" || m == "sub.l") && dest == "sp";
  };
  std::int64_t a = 0;
  std::int64_t b = 0;
  if (!reserves(in.mnemonic, in.destination) || !reserves(last.mnemonic, last.destination) ||
      !parseDecimalImmediate(last.source, a) || !parseDecimalImmediate(in.source, b)) {
    return false;
  }
  last.mnemonic = "sub.l";
  last.source = "#" + std::to_string(a + b);
  return true;
}

// and.b #m,R / extu.w R   =>   and.w #m,R
bool extensionIntoMask(PeepholeWindow& w, PendingInstruction& in) {
  WindowLine& last = w.last();
  if (!startsWith(in.mnemonic, "extu") || in.mnemonic.size() < 6 ||
      !startsWith(last.mnemonic, "and.") || last.mnemonic.size() < 5 ||
      !startsWith(last.source, "#") || last.destination != in.source) {
    return false;
  }
  last.mnemonic[4] = in.mnemonic[5];
  return true;
}

// db 1 / db 2   =>   db 1,2      (while the operand stays below 32 characters; nothing
// goes behind a quoted string)
bool mergeDataLines(PeepholeWindow& w, PendingInstruction& in) {
  WindowLine& last = w.last();
  if (!isDataMnemonic(in.mnemonic) || in.mnemonic != last.mnemonic ||
      (!last.source.empty() && (last.source.back() == '\'' || last.source.back() == '"')) ||
      last.source.size() + in.source.size() >= 32) {
    return false;
  }
  // Edited directly: a local label among the values keeps the use counted when it came in.
  last.source += ',';
  last.source += in.source;
  return true;
}

// dw ... / org ($+1)/2*2   =>   dw ...      (already aligned)
bool alignmentAfterAlignedLine(PeepholeWindow& w, PendingInstruction& in) {
  const std::string& m = w.last().mnemonic;
  return in.mnemonic == "org" && (m == "org" || m == "dw" || m == "dl" || m == "bsr");
}

// add.X #0,R   =>   (nothing)
bool addOfZero(PeepholeWindow&, PendingInstruction& in) {
  return (startsWith(in.mnemonic, "add.") || startsWith(in.mnemonic, "sub.")) && in.source == "#0";
}

// extu.w R / extu.l R   =>   and.l #255,R
bool doubleExtensionIntoMask(PeepholeWindow& w, PendingInstruction& in) {
  WindowLine& last = w.last();
  if (last.mnemonic != "extu.w" || in.mnemonic != "extu.l" || last.source != in.source ||
      !last.destination.empty() || !in.destination.empty()) {
    return false;
  }
  last.mnemonic = "and.l";
  last.destination = last.source;
  last.source = "#255";
  return true;
}

// mov.w #a,R2 / mov.w R2,@-sp / mov.w #b,R / mov.w R,@-sp   =>
// mov.l #h'bbbbaaaa,R2 / mov.l R2,@-sp / nop                 (a != b)
bool pushConstantPairAsLong(PeepholeWindow& w, PendingInstruction& in) {
  const int n = w.count();
  if (n < 3) {
    return false;
  }
  WindowLine& third = w[n - 3];
  WindowLine& before = w[n - 2];
  const WindowLine& last = w[n - 1];
  std::int64_t a = 0;
  std::int64_t b = 0;
  if (!last.label.empty() || !before.label.empty() || third.mnemonic != "mov.w" ||
      before.mnemonic != "mov.w" || last.mnemonic != "mov.w" || in.mnemonic != "mov.w" ||
      !parseDecimalImmediate(third.source, a) || before.source != third.destination ||
      before.destination != "@-sp" || !parseDecimalImmediate(last.source, b) ||
      in.source != last.destination || in.destination != "@-sp" || a == b) {
    return false;
  }
  // The word pushed second lies lower, so it is the high half of the long.
  const std::int64_t combined = ((b & 0xFFFF) << 16) | (a & 0xFFFF);
  third.mnemonic = "mov.l";
  third.source = "#" + hexImmediate32(combined);
  before.mnemonic = "mov.l";
  w.deleteLine(n - 1);
  return true;
}

// mov.w @(d+2,fp),R2 / mov.w R2,@-sp / mov.w @(d,fp),R / mov.w R,@-sp   =>
// mov.l @(d,fp),R2 / mov.l R2,@-sp / nop
bool pushFrameWordPairAsLong(PeepholeWindow& w, PendingInstruction& in) {
  const int n = w.count();
  if (n < 3) {
    return false;
  }
  WindowLine& third = w[n - 3];
  WindowLine& before = w[n - 2];
  const WindowLine& last = w[n - 1];
  std::int64_t d2 = 0;
  std::int64_t d1 = 0;
  if (!third.label.empty() || !before.label.empty() || !last.label.empty() ||
      third.mnemonic != "mov.w" || before.mnemonic != "mov.w" || last.mnemonic != "mov.w" ||
      in.mnemonic != "mov.w" || !parseFrameSlot(third.source, d2) ||
      before.source != third.destination || before.destination != "@-sp" ||
      !parseFrameSlot(last.source, d1) || in.source != last.destination ||
      in.destination != "@-sp" || d2 != d1 + 2) {
    return false;
  }
  third.mnemonic = "mov.l";
  third.source = last.source;
  before.mnemonic = "mov.l";
  w.deleteLine(n - 1);
  return true;
}

// mov.b @(5,fp),R / extu.w R   =>   mov.w @(4,fp),R
// A byte parameter at an odd offset is the low half of the word its caller pushed.
bool byteParameterAsWord(PeepholeWindow& w, PendingInstruction& in) {
  WindowLine& last = w.last();
  std::int64_t d = 0;
  if (last.mnemonic != "mov.b" || in.mnemonic != "extu.w" || in.source != last.destination ||
      !parseFrameSlot(last.source, d) || last.source[2] < '0' || last.source[2] > '9' ||
      d % 2 != 1) {
    return false;
  }
  last.mnemonic = "mov.w";
  last.source = "@(" + std::to_string(d - 1) + ",fp)";
  return true;
}

// and.b #m,R / (lines that leave R alone) / extu.w R   =>   and.w #m,R / ...
bool extensionIntoEarlierMask(PeepholeWindow& w, PendingInstruction& in) {
  if (in.mnemonic != "extu.w") {
    return false;
  }
  const std::string& r = in.source;
  for (int i = w.count() - 1; i >= 6; --i) {
    WindowLine& line = w[i];
    if (!line.label.empty() || line.mnemonic == "bsr") {
      return false;
    }
    if (line.mnemonic == "and.b" && startsWith(line.source, "#") && line.destination == r) {
      line.mnemonic = "and.w";
      return true;
    }
    if (writes(line, r)) {
      return false;
    }
  }
  return false;
}

struct AbsorptionTest {
  std::string_view name;
  bool (*absorb)(PeepholeWindow&, PendingInstruction&);
  bool skippedWhileLabelPending;
};

// The order matters: the first test that absorbs ends the search.
constexpr std::array<AbsorptionTest, 13> kAbsorptionTests = {{
    {"cancelOppositeSteps", cancelOppositeSteps, true},
    // A jump to a pending label may arrive with other flags, so the compare must stay.
    {"zeroCompareUsesEarlierFlags", zeroCompareUsesEarlierFlags, true},
    {"appendStringIntoLoad", appendStringIntoLoad, false},
    {"mergeStackReservations", mergeStackReservations, true},
    {"extensionIntoMask", extensionIntoMask, true},
    {"mergeDataLines", mergeDataLines, true},
    {"alignmentAfterAlignedLine", alignmentAfterAlignedLine, false},
    {"addOfZero", addOfZero, false},
    {"doubleExtensionIntoMask", doubleExtensionIntoMask, true},
    {"pushConstantPairAsLong", pushConstantPairAsLong, true},
    {"pushFrameWordPairAsLong", pushFrameWordPairAsLong, true},
    {"byteParameterAsWord", byteParameterAsWord, true},
    {"extensionIntoEarlierMask", extensionIntoEarlierMask, true},
}};

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

bool absorbIntoWindow(PeepholeWindow& window, PendingInstruction& instruction, bool labelPending) {
  for (const AbsorptionTest& test : kAbsorptionTests) {
    if (labelPending && test.skippedWhileLabelPending) {
      continue;
    }
    // Every test but the one for "add #0" looks at the newest line.
    if (window.empty() && test.absorb != addOfZero) {
      continue;
    }
    if (test.absorb(window, instruction)) {
      return true;
    }
  }
  return false;
}

}  // namespace vorax
