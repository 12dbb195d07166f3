// Block tier, jump passes: branches to branches, branches that decide nothing, values
// known at a copy, and runs of lines that can be moved or shared.
#include "asmout/peephole_flow.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_text.h"

namespace vorax::peephole {
namespace {

bool isPlainInstruction(const WindowLine& line) {
  const std::string_view m = line.mnemonic;
  return !m.empty() && m != "nop" && m != "org" && m != "bcx" && m != "neop" && !isDataMnemonic(m);
}

// A line the cross jump may share: any instruction, a deleted line ("nop") too, but no
// data, no "org" (a label there would name the address before it) and no placeholder.
bool isSharableLine(const WindowLine& line) {
  const std::string_view m = line.mnemonic;
  return !m.empty() && m != "org" && m != "bcx" && m != "neop" && !isDataMnemonic(m);
}

// A label the passes may hang on a line and branch to: none yet, or a local one.
bool canCarryBranchTarget(const WindowLine& line) {
  return line.label.empty() || isLocalLabel(line.label);
}

// The label of line i, placing a new local label there first when it has none.
std::string targetLabelAt(RuleContext& context, int i) {
  PeepholeWindow& w = context.window();
  if (w[i].label.empty()) {
    w.setLabel(i, context.newLocalLabel());
  }
  return w[i].label;
}

bool flagsDeadAtLabel(RuleContext& context, std::string_view label) {
  const int target = context.window().findLabel(label);
  return target >= 0 && flagsDeadFrom(context, target);
}

}  // namespace

// L: bra T   =>   bra T        (every branch to L now goes to T)
// The labelled line only passes control on, so its label's users may go to T at once.
bool labelledBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if (line.mnemonic != "bra" || line.label.empty() || line.label == line.source ||
      !(isLocalLabel(line.label) || isMarkerLabel(line.label)) ||
      w.labelUses().usedOutsideWindow(line.label)) {
    return false;
  }
  const std::string label = line.label;
  const std::string target = line.source;
  w.redirectLabel(label, target);
  w.setLabel(a, "");
  return true;
}

// [cmp.X S,D] / bcc T / bra T   =>   bra T
// Both ways lead to T. The compare goes too when nothing at T reads its flags.
bool branchAfterConditionalBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1 || w[a].mnemonic != "bra" || !isConditionalBranch(w[a - 1].mnemonic) ||
      w[a - 1].source != w[a].source) {
    return false;
  }
  const std::string target = w[a].source;
  if (!w[a - 1].label.empty()) {
    w.redirectLabel(w[a - 1].label, target);
  }
  w.deleteLine(a - 1);
  if (a >= 2 && startsWith(w[a - 2].mnemonic, "cmp.") && flagsDeadAtLabel(context, target)) {
    w.deleteLine(a - 2);
  }
  return true;
}

// cmp.X #1,R / beq T / cmp.X #2,R / beq L / bra T   =>   cmp.X #2,R / beq L / bra T
// A compare-and-branch pair that goes to T where the final "bra" goes anyway decides
// nothing, as long as no later pair catches the same value for another target and
// nothing at T reads the flags. All pairs are unlabelled and compare the same operand.
bool compareChainBeforeBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (w[a].mnemonic != "bra") {
    return false;
  }
  const std::string target = w[a].source;
  int first = a;  // position of the earliest pair's compare
  for (int j = a - 1; j >= 1; j -= 2) {
    const WindowLine& branch = w[j];
    const WindowLine& compare = w[j - 1];
    if (branch.mnemonic != "beq" || !branch.label.empty() || !compare.label.empty() ||
        !startsWith(compare.mnemonic, "cmp.") || compare.destination != w[a - 2].destination ||
        isAutoModifying(compare.destination)) {
      break;
    }
    first = j - 1;
  }
  if (first == a || !flagsDeadAtLabel(context, target)) {
    return false;
  }
  bool changed = false;
  for (int p = first; p < a; p += 2) {
    if (w[p + 1].mnemonic != "beq" || w[p + 1].source != target) {
      continue;
    }
    bool caughtLater = false;
    for (int q = p + 2; q < a; q += 2) {
      caughtLater = caughtLater || (w[q + 1].mnemonic == "beq" && w[q + 1].source != target &&
                                    w[q].mnemonic == w[p].mnemonic && w[q].source == w[p].source);
    }
    if (!caughtLater) {
      w.deleteLine(p);
      w.deleteLine(p + 1);
      changed = true;
    }
  }
  return changed;
}

// mov.X #k,R1 / mov.X R1,R2   =>   mov.X #k,R2        (likewise a clear of R1)
// When R1 is dead after the copy, the constant may go straight into R2; the flags come
// from the same value. The copy must not be a branch target.
bool knownValueCopy(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return false;
  }
  const WindowLine& load = w[a - 1];
  const WindowLine& copy = w[a];
  const std::string_view cleared = clearedRegister(load);
  const bool constant = startsWith(load.mnemonic, "mov.") && startsWith(load.source, "#") &&
                        isWorkRegister(load.destination);
  if ((cleared.empty() && !constant) || !startsWith(copy.mnemonic, "mov.") || !copy.label.empty() ||
      copy.source != load.destination || !isWorkRegister(copy.destination) ||
      copy.destination == copy.source ||
      operationSize(copy.mnemonic) != operationSize(load.mnemonic)) {
    return false;
  }
  const std::string first = load.destination;
  if (!registerDeadFrom(context, a + 1, first, operationSize(load.mnemonic))) {
    return false;
  }
  const std::string second = copy.destination;
  if (!cleared.empty()) {
    w.setSource(a - 1, second);
  }
  w.setDestination(a - 1, second);
  w.deleteLine(a);
  return true;
}

// mov.X S,R / mov.X R,@-sp / mov.X S,D / bcc L   =>   mov.X S,D / mov.X D,@-sp / bcc L
// S is read once instead of twice; the push and the flags see the same value. D must be
// a register (only registers can be pushed), R dead afterwards, S neither a port nor a
// stepping operand nor built on R or D, and no line of the three a branch target but the
// first.
bool reloadBeforePushedCompare(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 3 || !isConditionalBranch(w[a].mnemonic)) {
    return false;
  }
  const WindowLine& load = w[a - 3];
  const WindowLine& push = w[a - 2];
  const WindowLine& reload = w[a - 1];
  if (!startsWith(load.mnemonic, "mov.") || push.mnemonic != load.mnemonic ||
      reload.mnemonic != load.mnemonic || !push.label.empty() || !reload.label.empty() ||
      push.source != load.destination || push.destination != "@-sp" ||
      reload.source != load.source || !isWorkRegister(load.destination) ||
      !isWorkRegister(reload.destination) || load.destination == reload.destination ||
      isAutoModifying(load.source) || isPortRegister(load.source) ||
      contains(load.source, load.destination) || contains(load.source, reload.destination)) {
    return false;
  }
  const std::string dropped = load.destination;
  const std::string kept = reload.destination;
  if (!registerDeadFrom(context, a, dropped, operationSize(load.mnemonic))) {
    return false;
  }
  w.setDestination(a - 3, kept);
  w.setSource(a - 2, kept);
  w.deleteLine(a - 1);
  return true;
}

// bra L / ... / (bra|jmp|rts) / L: x1 / ... / xn / bra M
//   =>   x1 / ... / xn / bra M / ... / (bra|jmp|rts)
// A run that starts at a label used only by one "bra", that nothing falls into (the line
// before it never falls through) and that ends in an unconditional transfer can stand in
// place of that "bra": the same lines run in the same order, and the run's end still goes
// where it went. Data, "org" and marker lines never move.
bool moveRunToItsBranch(RuleContext& context, int a) {
  static constexpr int kMaxRunLength = 64;
  PeepholeWindow& w = context.window();
  const WindowLine& jump = w[a];
  if (jump.mnemonic != "bra" || !isLocalLabel(jump.source) ||
      w.labelUses().uses(jump.source) != 1 || labelNamedElsewhere(w, jump.source, a)) {
    return false;
  }
  const std::string label = jump.source;
  const int start = w.findLabel(label);
  if (start < 1 || start == a + 1 || !isUnconditionalTransfer(w[start - 1].mnemonic)) {
    return false;
  }
  int end = start;
  while (end < w.count() && end - start < kMaxRunLength &&
         !isUnconditionalTransfer(w[end].mnemonic)) {
    if (!isPlainInstruction(w[end])) {
      return false;
    }
    ++end;
  }
  if (end >= w.count() || !isUnconditionalTransfer(w[end].mnemonic) || (a >= start && a <= end)) {
    return false;
  }
  const int length = end - start + 1;
  w.moveLines(start, length, a + 1);
  const int jumpAt = start < a ? a - length : a;
  w.deleteLine(jumpAt);
  dropLabelIfUnused(w, jumpAt + 1);
  return true;
}

// x1 / ... / xk / bra T  ...  x1 / ... / xk / bra T
//   =>   bra $n  ...  $n: x1 / ... / xk / bra T
// Two runs that end in a branch to the same place and repeat each other line for line
// are kept once: the other run's branch goes to the start of the kept one. The dropped
// run and its "bra" must not be branch targets (a path entering there would run more).
bool mergeRunsBeforeBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1 || w[a].mnemonic != "bra" || !w[a].label.empty()) {
    return false;
  }
  const std::string target = w[a].source;
  for (int b = 0; b < w.count(); ++b) {
    if (b == a || w[b].mnemonic != "bra" || w[b].source != target) {
      continue;
    }
    int length = 0;
    while (true) {
      const int i = a - 1 - length;
      const int j = b - 1 - length;
      if (i < 0 || j < 0 || (i <= b && j <= a)) {
        break;
      }
      if (!w[i].label.empty() || !isPlainInstruction(w[i]) || !sameInstruction(w[i], w[j])) {
        break;
      }
      ++length;
    }
    if (length == 0 || !canCarryBranchTarget(w[b - length])) {
      continue;
    }
    const std::string label = targetLabelAt(context, b - length);
    for (int k = 1; k <= length; ++k) {
      w.deleteLine(a - k);
    }
    w.redirectBranch(a, label);
    return true;
  }
  return false;
}

// x / bra T  ...  x / T: y   =>   bra $n  ...  $n: x / T: y
// The line before the branch repeats the line before T, so the branch may go one line
// earlier and the repeat goes. The branch must not be a branch target itself.
bool oneLineCrossJump(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1 || w[a].mnemonic != "bra" || !w[a].label.empty()) {
    return false;
  }
  const int t = w.findLabel(w[a].source);
  if (t <= a + 1) {
    return false;
  }
  const WindowLine& before = w[a - 1];
  const WindowLine& beforeTarget = w[t - 1];
  if (!isSharableLine(before) || !sameInstruction(before, beforeTarget) ||
      !canCarryBranchTarget(beforeTarget)) {
    return false;
  }
  const std::string label = targetLabelAt(context, t - 1);
  w.deleteLine(a - 1);
  w.redirectBranch(a, label);
  return true;
}

}  // namespace vorax::peephole
