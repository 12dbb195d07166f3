// Local rules 1 to 11: moves, masks and register traffic. Each is tried at position a
// (the newest line is tried first) and looks only at lines up to a+1, except where a
// comment says it asks the flow questions of peephole_flow.h.
#include <algorithm>
#include <string>

#include "asmout/peephole_flow.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_text.h"

namespace vorax::peephole {
namespace {

constexpr RuleResult kNo = RuleResult::NoChange;
constexpr RuleResult kYes = RuleResult::Changed;

// The operand an extension, negation or complement writes is its only operand.
std::string_view writtenOperand(const WindowLine& line) {
  const std::string_view m = line.mnemonic;
  if (startsWith(m, "exts") || startsWith(m, "extu") || startsWith(m, "neg.") ||
      startsWith(m, "not.")) {
    return line.source;
  }
  return line.destination;
}

bool hasAutoModifyingOperand(const WindowLine& line) {
  return isAutoModifying(line.source) || isAutoModifying(line.destination);
}

// Whether reading operand `source` may read some of the `size` bytes at fixed place
// `place`: a read through a register may point anywhere; a fixed place unless it is
// certainly elsewhere.
bool mayReadPlace(std::string_view source, std::string_view place, int size,
                  const SharedPlaces& shared) {
  switch (operandKind(source)) {
    case OperandKind::Indirect:
    case OperandKind::Indexed:
    case OperandKind::PostIncrement:
      return true;
    case OperandKind::Plain:
    case OperandKind::FrameSlot:
      return !source.empty() && !isRegisterOperand(source) &&
             !(isFixedMemory(source) && disjointMemory(source, place, size, shared));
    default:
      return false;
  }
}

}  // namespace

// mov.X S,D / ... / mov.X D,S   =>   mov.X S,D / ...
// The second move copies back a value that is still in place: no line between writes an
// operand it names or stores where its memory operand may lie (through a pointer, into an
// overlapping place), nor changes an address register by auto-increment, and every path
// to it passes the first move (no labels between). When lines stand between, the deleted
// move's flags could differ from the flags of the line before it, so no branch may follow.
// Port registers are left alone: writing back what was read from a port is an output.
RuleResult reverseMove(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (!w.has(a + 1)) {
    return kNo;
  }
  const WindowLine& line = w[a];
  if (!line.label.empty() || !startsWith(line.mnemonic, "mov.") || equals(line.destination, "sp") ||
      equals(line.destination, "@-sp") || equals(line.source, "@sp+") ||
      isPortRegister(line.source) || isPortRegister(line.destination)) {
    return kNo;
  }
  // The search back stops at the move the other way at the latest (it writes a's source),
  // so without one there is nothing to find.
  const InstructionKey reverse{line.decoded.texts.mnemonic, line.decoded.texts.destination,
                               line.decoded.texts.source};
  if (!line.source.empty() && !line.destination.empty() && w.findInstructionBefore(a, reverse) < 0) {
    return kNo;
  }
  int d = a - 1;
  for (; d >= 0; --d) {
    const WindowLine& between = w[d];
    const std::string_view m = between.mnemonic;
    if (!between.label.empty() || equals(m, "bsr") || equals(m, "jsr") || equals(m, "org")) {
      break;
    }
    if (isDataMnemonic(m)) {
      continue;
    }
    // A return or jump leaves the following lines unreachable, so passing over it is
    // harmless; other lines whose effects are not modelled (markers that become pushes,
    // traps, block moves, multiple loads, sleep) stop the search.
    const bool leaves = equals(m, "rts") || equals(m, "rte") || equals(m, "jmp");
    if (startsWith(m, "cmp.") || isBranch(m) || (isOpaque(m) && !leaves) ||
        hasAutoModifyingOperand(between)) {
      break;
    }
    const std::string_view written = writtenOperand(between);
    if (contains(line.source, written) || contains(line.destination, written)) {
      break;
    }
    // A store elsewhere may still reach the place a's memory operand names (through a
    // pointer, or an overlapping slot).
    const int size = std::max(operationSize(m), operationSize(line.mnemonic));
    if (storeMayReach(written, line.source, size, context.shared()) ||
        storeMayReach(written, line.destination, size, context.shared())) {
      break;
    }
  }
  if (d < 0) {
    return kNo;
  }
  const WindowLine& first = w[d];
  if (first.mnemonic == line.mnemonic && first.source == line.destination &&
      first.destination == line.source && (d == a - 1 || !isBranch(w[a + 1].mnemonic))) {
    w.deleteLine(a);
    return kYes;
  }
  return kNo;
}

// op.X ...,R / mov.X S,R   =>   mov.X S,R       (S does not read R)
// The first result is overwritten before anything reads it, and the load sets the flags
// itself. The first line must not move a stack or address register as a side effect.
RuleResult deadResultBeforeLoad(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return kNo;
  }
  const WindowLine& line = w[a];
  if (!startsWith(line.mnemonic, "mov.") || !isWorkRegister(line.destination) ||
      contains(line.source, line.destination)) {
    return kNo;
  }
  const WindowLine& before = w[a - 1];
  if (before.destination != line.destination || before.mnemonic.size() < 3 ||
      hasAutoModifyingOperand(before) || !contains(before.mnemonic, sizeSuffix(line.mnemonic))) {
    return kNo;
  }
  static constexpr std::string_view kOperations[] = {"add", "and", "dec", "div", "inc", "mov",
                                                     "mul", "or.", "sha", "shl", "sub", "xor"};
  const std::string_view head = std::string_view(before.mnemonic).substr(0, 3);
  for (std::string_view operation : kOperations) {
    if (head == operation) {
      w.deleteLine(a - 1);
      return kYes;
    }
  }
  return kNo;
}

// mov.X S,D / mov.X S,D / bcc L   =>   mov.X S,D / bcc L
// The repeated move writes the same value to the same place and sets the same flags.
// Both lines must be the same instruction (a second move to another place is not a
// duplicate), the second must not be a branch target, and neither operand may step a
// register (two pushes are not one).
RuleResult duplicateLoadBeforeBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 2 || !isConditionalBranch(w[a].mnemonic)) {
    return kNo;
  }
  const WindowLine& second = w[a - 1];
  const WindowLine& first = w[a - 2];
  if (!startsWith(second.mnemonic, "mov.") || !second.label.empty() ||
      !sameInstruction(first, second) || equals(second.destination, "@(4,fp)") ||
      hasAutoModifyingOperand(second)) {
    return kNo;
  }
  w.deleteLine(a - 1);
  return kYes;
}

// mov.w @sp+,R / mov.w R,@-sp   =>   (nothing)
// Popping a word and pushing it back leaves the stack as it was; the generators never
// read a register again after pushing it.
RuleResult popThenPush(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1 || !w[a].label.empty()) {
    return kNo;
  }
  const WindowLine& pop = w[a - 1];
  const WindowLine& push = w[a];
  if (equals(pop.mnemonic, "mov.w") && equals(pop.source, "@sp+") &&
      equals(push.mnemonic, "mov.w") && equals(push.destination, "@-sp") &&
      push.source == pop.destination && !pop.destination.empty()) {
    w.deleteLine(a - 1);
    w.deleteLine(a);
    return kYes;
  }
  return kNo;
}

// not.X R / mov.X S,R   =>   mov.X S,R      (also neg., ext..; S does not read R)
// The unary result is overwritten before it is read; the load sets the flags.
RuleResult deadUnaryOperation(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return kNo;
  }
  const WindowLine& line = w[a];
  if (!startsWith(line.mnemonic, "mov.") || !isWorkRegister(line.destination) ||
      contains(line.source, line.destination)) {
    return kNo;
  }
  const WindowLine& before = w[a - 1];
  const std::string_view head = std::string_view(before.mnemonic).substr(0, 3);
  if (before.label.empty() && (equals(head, "not") || equals(head, "neg") || equals(head, "ext")) &&
      contains(before.mnemonic, sizeSuffix(line.mnemonic)) && before.source == line.destination &&
      before.destination.empty()) {
    w.deleteLine(a - 1);
    return kYes;
  }
  return kNo;
}

// mov.X R,D / ... / mov.X R,D   =>   ... / mov.X R,D
// The earlier store is overwritten by the later one and nothing between reads D (no line
// has D as source, no label lets another path in, no branch or call leaves). A read
// through a register ("@r3", "@(2,r3)", a stack slot) may reach D as well (a pointer to
// the variable), and so may a read of an overlapping place or a call through a register.
RuleResult repeatedStore(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if (!startsWith(line.mnemonic, "mov.") || !isWorkRegister(line.source)) {
    return kNo;
  }
  const OperandKind kind = operandKind(line.destination);
  if ((kind != OperandKind::Plain && kind != OperandKind::FrameSlot) ||
      isPortRegister(line.destination) || contains("@-sp|@sp", line.destination)) {
    return kNo;
  }
  // The search back ends at the newest identical line, if nothing stops it first.
  const int same = w.findInstructionBefore(a, line.decoded.texts);
  if (same < 0) {
    return kNo;
  }
  for (int j = a - 1; j > same; --j) {
    const WindowLine& earlier = w[j];
    if (!earlier.label.empty() || isBranch(earlier.mnemonic) || equals(earlier.mnemonic, "bsr") ||
        earlier.source == line.destination || isOpaque(earlier.mnemonic) ||
        mayReadPlace(earlier.source, line.destination, operationSize(line.mnemonic),
                     context.shared())) {
      return kNo;
    }
  }
  w.deleteLine(same);
  return kYes;
}

// and.X #m,R / cmp.X #m,R / beq L   =>   and.X #m,R / bne L      (m a single bit)
// After the mask R is 0 or m, so "equal to m" is "not zero". Only the equality tests
// follow from that; the compare and the branch must not be branch targets.
RuleResult maskTestIntoBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 2) {
    return kNo;
  }
  const WindowLine& branch = w[a];
  if ((!equals(branch.mnemonic, "beq") && !equals(branch.mnemonic, "bne")) ||
      !branch.label.empty()) {
    return kNo;
  }
  const WindowLine& compare = w[a - 1];
  const WindowLine& mask = w[a - 2];
  if (startsWith(compare.mnemonic, "cmp.") && startsWith(mask.mnemonic, "and.") &&
      compare.label.empty() && sizeSuffix(compare.mnemonic) == sizeSuffix(mask.mnemonic) &&
      compare.source == mask.source && singleBitMask(compare.source) >= 0 &&
      compare.destination == mask.destination) {
    w.setMnemonic(a, inverseCondition(branch.mnemonic));
    w.deleteLine(a - 1);
    return kYes;
  }
  return kNo;
}

// and.b #255,R / x   =>   x        (x not a branch, flags dead)
// Masking a byte with all ones changes nothing but N, Z and V; no path from x may read
// them before they are set again (x may be a deleted line in front of a branch).
RuleResult byteMask(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return kNo;
  }
  const WindowLine& mask = w[a - 1];
  if (equals(mask.mnemonic, "and.b") && equals(mask.source, "#255") && !isBranch(w[a].mnemonic) &&
      flagsDeadFrom(context, a, kLogicFlags)) {
    w.deleteLine(a - 1);
    return kYes;
  }
  return kNo;
}

// and.w #65535,R / mov.w R,D   =>   mov.w R,D
// Masking a word with all ones changes nothing; the move sets the flags again.
RuleResult wordMask(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return kNo;
  }
  const WindowLine& mask = w[a - 1];
  const WindowLine& line = w[a];
  if (equals(mask.mnemonic, "and.w") && equals(mask.source, "#65535") &&
      equals(line.mnemonic, "mov.w") && line.source == mask.destination) {
    w.deleteLine(a - 1);
    return kYes;
  }
  return kNo;
}

// and.X #m,R / and.X #n,R   =>   and.X #(m&n),R
// Two masks of the same width are one mask. (Masks of different widths are not: the
// narrower one keeps the upper bits.) The second line must not be a branch target.
RuleResult maskMerging(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return kNo;
  }
  const WindowLine& line = w[a];
  const WindowLine& before = w[a - 1];
  if (!startsWith(line.mnemonic, "and.") || line.mnemonic != before.mnemonic ||
      !line.label.empty() || line.destination != before.destination) {
    return kNo;
  }
  const auto first = immediateValue(before.source);
  const auto second = immediateValue(line.source);
  if (!first || !second) {
    return kNo;
  }
  w.setSource(a, immediateText(*first & *second));
  w.deleteLine(a - 1);
  return kYes;
}

namespace {

// The lowest free work register that no window line mentions, or empty.
std::string_view borrowScratchRegister(RuleContext& context) {
  static constexpr std::string_view kRegisters[] = {"r0", "r1", "r2", "r3", "r4", "r5"};
  if (!context.freeWorkRegister) {
    return {};
  }
  PeepholeWindow& w = context.window();
  for (int n = 0; n < 6; ++n) {
    const std::string_view reg = kRegisters[n];
    if (!context.workRegisterFree(n)) {
      continue;
    }
    bool mentioned = false;
    for (int i = 0; i < w.count() && !mentioned; ++i) {
      mentioned = mentions(w[i], reg);
    }
    if (!mentioned) {
      return reg;
    }
  }
  return {};
}

}  // namespace

// The exchange t := x; x := y; y := t through one register R:
//   mov.X x,R / mov.X R,t / mov.X y,R / mov.X R,x / mov.X t,R / mov.X R,y
// =>mov.X x,R / mov.X R,t / mov.X y,W / mov.X W,x /            / mov.X R,y
// A second register W keeps y, so R still holds x at the end and t need not be read back.
// The store into t stays (t is a variable other code may read). W must be free for the
// code generators and unnamed in the whole window, and x, y, t distinct fixed places.
RuleResult sixLineExchange(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 5) {
    return kNo;
  }
  const WindowLine& l0 = w[a - 5];
  const std::string& mnemonic = l0.mnemonic;
  if (!startsWith(mnemonic, "mov.")) {
    return kNo;
  }
  for (int k = 1; k <= 5; ++k) {
    const WindowLine& line = w[a - 5 + k];
    if (line.mnemonic != mnemonic || !line.label.empty()) {
      return kNo;
    }
  }
  const WindowLine& l1 = w[a - 4];
  const WindowLine& l2 = w[a - 3];
  const WindowLine& l3 = w[a - 2];
  const WindowLine& l4 = w[a - 1];
  const WindowLine& l5 = w[a];
  const bool pattern = l5.source == l2.destination && l4.source == l1.destination &&
                       l3.source == l0.destination && l2.source == l5.destination &&
                       l1.source == l4.destination && l0.source == l3.destination;
  if (!pattern) {
    return kNo;
  }
  const std::string_view reg = l0.destination;
  const std::string_view x = l0.source;
  const std::string_view t = l1.destination;
  const std::string_view y = l2.source;
  const int size = operationSize(mnemonic);
  const SharedPlaces& shared = context.shared();
  if (!isWorkRegister(reg) || l1.source != reg || l2.destination != reg || !isFixedMemory(x) ||
      !isFixedMemory(t) || !isFixedMemory(y) || !disjointMemory(x, t, size, shared) ||
      !disjointMemory(x, y, size, shared) || !disjointMemory(t, y, size, shared)) {
    return kNo;
  }
  const std::string_view scratch = borrowScratchRegister(context);
  if (scratch.empty()) {
    return kNo;
  }
  w.setDestination(a - 3, scratch);
  w.setSource(a - 2, scratch);
  w.deleteLine(a - 1);
  return kYes;
}

}  // namespace vorax::peephole
