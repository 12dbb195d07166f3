// Local rules 12 to 21 (branches, compares, bit tests, extensions, known flags) and the
// clear-register rule that runs on the newest line after every append.
#include <algorithm>

#include "asmout/peephole_flow.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_text.h"

namespace vorax::peephole {
namespace {

constexpr RuleResult kNo = RuleResult::NoChange;
constexpr RuleResult kYes = RuleResult::Changed;

bool hasAutoModifyingOperand(const WindowLine& line) {
  return isAutoModifying(line.source) || isAutoModifying(line.destination);
}

// The value an immediate stands for in an operation of `size` bytes.
std::int64_t truncated(std::int64_t value, int size) {
  switch (size) {
    case 1:
      return value & 0xff;
    case 2:
      return value & 0xffff;
    default:
      return value & 0xffffffff;
  }
}

// The value an immediate stands for in a signed operation of `size` bytes.
std::int64_t signedValue(std::int64_t value, int size) {
  const std::int64_t bits = truncated(value, size);
  const std::int64_t sign = size == 1 ? 0x80 : size == 2 ? 0x8000 : 0x80000000;
  return (bits & sign) != 0 ? bits - 2 * sign : bits;
}

}  // namespace

// bra L / [nop ...] / x   =>   bra L / [nop ...] / nop      (x unlabelled)
// Nothing can reach an unlabelled line after an unconditional branch. A deleted branch or
// data line gives up its label uses.
RuleResult unreachableLine(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if (!line.label.empty() || equals(line.mnemonic, "org") || equals(line.mnemonic, "nop")) {
    return kNo;
  }
  int j = a - 1;
  while (j >= 0 && equals(w[j].mnemonic, "nop") && w[j].label.empty()) {
    --j;
  }
  if (j >= 0 && equals(w[j].mnemonic, "bra")) {
    w.deleteLine(a);
    return kYes;
  }
  return kNo;
}

// bcc L / bra T / L: x   =>   bNOTcc T / L: x
// Branching over an unconditional branch is branching the other way. A path that jumped
// to the "bra" line is sent to T directly; if both branches go to L, both go.
RuleResult branchOverBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 2 || w[a].label.empty()) {
    return kNo;
  }
  const WindowLine& conditional = w[a - 2];
  const WindowLine& jump = w[a - 1];
  if (!isConditionalBranch(conditional.mnemonic) || conditional.source != w[a].label ||
      !equals(jump.mnemonic, "bra") || jump.label == jump.source) {
    return kNo;
  }
  if (conditional.source == jump.source) {
    if (!jump.label.empty()) {
      w.redirectLabel(jump.label, jump.source);
    }
    w.deleteLine(a - 2);
    w.deleteLine(a - 1);
  } else {
    const std::string_view inverse = inverseCondition(conditional.mnemonic);
    if (inverse.empty()) {
      return kNo;
    }
    const std::string far = jump.source;
    w.setMnemonic(a - 2, inverse);
    w.redirectBranch(a - 2, far);
    if (!w[a - 1].label.empty()) {
      w.redirectLabel(w[a - 1].label, far);
    }
    w.deleteLine(a - 1);
  }
  dropLabelIfUnused(w, a);
  return kYes;
}

// cmp.X S,D / x   =>   x        (x not a branch, flags dead)
// A compare only sets flags; when no path reads them, it does nothing. Looking past x
// matters: x may be a deleted line ("nop") in front of a branch, or a move that sets N,
// Z and V but leaves the compare's C for a "bcs".
RuleResult compareWithoutBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1 || !startsWith(w[a - 1].mnemonic, "cmp.") || isBranch(w[a].mnemonic) ||
      !flagsDeadFrom(context, a)) {
    return kNo;
  }
  w.deleteLine(a - 1);
  return kYes;
}

// cmp.X S,D / bcc L / cmp.X S,D / bcc2 M   =>   cmp.X S,D / bcc L / bcc2 M
// A branch keeps the flags, so the second compare computes what is already there. Neither
// the first branch nor the second compare may be entered from elsewhere.
RuleResult repeatedCompare(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 3 || !isBranch(w[a].mnemonic) || !isBranch(w[a - 2].mnemonic)) {
    return kNo;
  }
  const WindowLine& second = w[a - 1];
  const WindowLine& first = w[a - 3];
  if (startsWith(second.mnemonic, "cmp.") && startsWith(first.mnemonic, "cmp.") &&
      second.label.empty() && w[a - 2].label.empty() && second.source == first.source &&
      second.destination == first.destination && second.mnemonic == first.mnemonic &&
      !hasAutoModifyingOperand(second)) {
    w.deleteLine(a - 1);
    return kYes;
  }
  return kNo;
}

// cmp.X #m,R / ble L / cmp.X #n,R / ble L   =>   cmp.X #n,R / ble L        (m < n)
// R <= m implies R <= n, so the first test sends nothing to L that the second would not.
// "ble" compares signed values of the operation's size, so m and n are compared as such
// ("cmp.b #200" tests against -56). The first "ble" must not be a branch target (a path
// entering there reads other flags).
RuleResult rangeTestFolding(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 3 || !equals(w[a].mnemonic, "ble") || !equals(w[a - 2].mnemonic, "ble") ||
      w[a].source != w[a - 2].source || !w[a - 2].label.empty()) {
    return kNo;
  }
  const WindowLine& second = w[a - 1];
  const WindowLine& first = w[a - 3];
  if (!startsWith(second.mnemonic, "cmp.") || second.mnemonic != first.mnemonic ||
      second.destination != first.destination) {
    return kNo;
  }
  const auto low = immediateValue(first.source);
  const auto high = immediateValue(second.source);
  const int size = operationSize(second.mnemonic);
  if (!low || !high || !(signedValue(*low, size) < signedValue(*high, size))) {
    return kNo;
  }
  w.deleteLine(a - 2);
  w.deleteLine(a - 3);
  return kYes;
}

// bcc L / L: x   =>   L: x
// A branch to the next line goes where control goes anyway. A path that jumped to the
// branch is sent to L; L goes when nothing else uses it.
RuleResult branchToNextLine(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1 || w[a].label.empty() || !isBranch(w[a - 1].mnemonic) ||
      w[a - 1].source != w[a].label) {
    return kNo;
  }
  const std::string target = w[a].label;
  if (!w[a - 1].label.empty() && w[a - 1].label != target) {
    w.redirectLabel(w[a - 1].label, target);
  }
  w.deleteLine(a - 1);
  dropLabelIfUnused(w, a);
  return kYes;
}

// and.X #2^k,R / beq L   =>   btst #k,R / beq L          (R dead after the test)
// "btst" sets Z exactly as the mask does and leaves R alone, which no path minds when R
// is dead. Both leave C alone, but "btst" leaves N and V as they were where the mask set
// them, so the branch must not read N or V ("bpl", "bge", "blt", "bgt", "ble").
RuleResult bitTestFromMask(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return kNo;
  }
  const WindowLine& mask = w[a - 1];
  const std::string_view branch = w[a].mnemonic;
  if (!startsWith(mask.mnemonic, "and.") || !isWorkRegister(mask.destination) ||
      !isBranch(branch) || (flagsReadBy(branch) & (kFlagN | kFlagV)) != 0) {
    return kNo;
  }
  const int bit = singleBitMask(mask.source);
  if (bit < 0 || !registerDeadFrom(context, a, mask.destination, operationSize(mask.mnemonic))) {
    return kNo;
  }
  w.setMnemonic(a - 1, "btst");
  w.setSource(a - 1, immediateText(bit));
  return kYes;
}

// mov.b X,R / btst #k,R   =>   btst #k,X                 (R dead after the test)
// Testing the bit where it was loaded from gives the same Z. X is a register or a fixed
// address; the bit instructions reach a fixed address only in the short I/O area on the
// 300H and 300L, so there an address must be a port register (the 2000 takes any). The
// load set N and V, which are no longer set, so no path after the test may read them.
RuleResult bitTestOfLoadedByte(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1 || !w.has(a + 1)) {
    return kNo;
  }
  const WindowLine& load = w[a - 1];
  const WindowLine& test = w[a];
  if (!equals(load.mnemonic, "mov.b") || !equals(test.mnemonic, "btst") || !test.label.empty() ||
      test.destination != load.destination || !isWorkRegister(load.destination) ||
      load.source.empty() || load.source[0] == '#' || load.source[0] == '@') {
    return kNo;
  }
  if (!context.cpu2000 && !isPortRegister(load.source) && !isRegisterOperand(load.source)) {
    return kNo;
  }
  if (!registerDeadFrom(context, a + 1, load.destination, 1) ||
      !flagsDeadFrom(context, a + 1, kFlagN | kFlagV)) {
    return kNo;
  }
  w.setDestination(a, load.source);
  w.deleteLine(a - 1);
  return kYes;
}

// extu.w R / ... / extu.w R   =>   extu.w R / ...
// The second extension finds R as the first left it: no line between changes R in any
// way, is a branch target, or leaves (bra, bsr, jmp, jsr).
RuleResult repeatedExtension(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if ((!startsWith(line.mnemonic, "extu.") && !startsWith(line.mnemonic, "exts.")) ||
      !line.label.empty()) {
    return kNo;
  }
  // The search back ends at the newest identical line (from position 1 on), if nothing
  // stops it first.
  const int same = w.findInstructionBefore(a, line.decoded.texts);
  if (same < 1) {
    return kNo;
  }
  for (int j = a - 1; j > same; --j) {
    const WindowLine& earlier = w[j];
    const std::string_view m = earlier.mnemonic;
    if (!earlier.label.empty() || equals(m, "bra") || equals(m, "bsr") || equals(m, "jmp") ||
        equals(m, "jsr") || changesRegister(earlier, line.source)) {
      return kNo;
    }
  }
  w.deleteLine(a);
  return kYes;
}

// xor.X R,R / beq L   =>   xor.X R,R / bra L        (and "bne L" goes)
// mov.X #5,D / bne L  =>   mov.X #5,D / bra L       (and "beq L" goes)
// The line before fixes Z (a move sets it from the value, whatever its destination), so
// the branch is decided. The branch must not be a branch target, and the immediate must be
// a number (a symbol's value is not known here). Reported as no change: the scan goes on
// downward.
RuleResult knownFlags(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return kNo;
  }
  const WindowLine& branch = w[a];
  if ((!equals(branch.mnemonic, "beq") && !equals(branch.mnemonic, "bne")) ||
      !branch.label.empty()) {
    return kNo;
  }
  const WindowLine& before = w[a - 1];
  bool zero = false;
  if (!clearedRegister(before).empty()) {
    zero = true;
  } else if (startsWith(before.mnemonic, "mov.")) {
    const auto value = immediateValue(before.source);
    if (!value) {
      return kNo;
    }
    zero = truncated(*value, operationSize(before.mnemonic)) == 0;
  } else {
    return kNo;
  }
  const bool taken = (equals(branch.mnemonic, "beq")) == zero;
  if (taken) {
    w.setMnemonic(a, "bra");
  } else {
    w.deleteLine(a);
  }
  return RuleResult::ChangedSilently;
}

// xor.w R,R / ... / xor.X R,R   =>   xor.X R,R / ...      (newest line, nothing between
// writes R or calls). R is still zero; a wider second clear widens the first when nothing
// between reads R or branches away (the other path would see the wider clear). The flags
// the second clear sets (N and V clear, Z set) must still be there: a later branch may
// read them, so no line between may set N, Z or V, except a move of R itself, which sets
// them just so.
bool clearRegisterRule(RuleContext& context) {
  PeepholeWindow& w = context.window();
  if (w.empty()) {
    return false;
  }
  const int a = w.count() - 1;
  const WindowLine& line = w[a];
  const std::string_view reg = clearedRegister(line);
  if (reg.empty() || !line.label.empty()) {
    return false;
  }
  bool readBetween = false;
  int widestZeroMove = 0;  // moves of R between: their flags are the clear's if R is zero
  for (int j = a - 1; j >= 0; --j) {
    const WindowLine& earlier = w[j];
    const bool movesZero = startsWith(earlier.mnemonic, "mov.") && earlier.destination == reg &&
                           immediateValue(earlier.source) == 0;
    if (clearsRegister(earlier, reg) || movesZero) {
      if (widestZeroMove > operationSize(earlier.mnemonic)) {
        return false;
      }
      if (operationSize(earlier.mnemonic) < operationSize(line.mnemonic)) {
        // Widening the first clear changes what the lines between read in R's upper part.
        if (movesZero || readBetween) {
          return false;
        }
        w.setMnemonic(j, line.mnemonic);
      }
      w.deleteLine(a);
      return true;
    }
    if (!earlier.label.empty() || equals(earlier.mnemonic, "bsr") ||
        changesRegister(earlier, reg)) {
      return false;
    }
    if ((flagsSetBy(earlier.mnemonic) & kLogicFlags) != 0) {
      if (!startsWith(earlier.mnemonic, "mov.") || earlier.source != reg) {
        return false;
      }
      widestZeroMove = std::max(widestZeroMove, operationSize(earlier.mnemonic));
    }
    readBetween = readBetween || mentions(earlier, reg) || isBranch(earlier.mnemonic);
  }
  return false;
}

}  // namespace vorax::peephole
