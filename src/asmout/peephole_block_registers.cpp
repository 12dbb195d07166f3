// Block tier, register passes: run together at each position a. They replace memory
// reads by register copies and drop clears and loads that repeat a value already there.
#include <algorithm>

#include "asmout/peephole_flow.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_text.h"

namespace vorax::peephole {
namespace {

bool isValueRegister(std::string_view text) { return isRegisterOperand(text) && text != "fp"; }

// The register an address operand is built on ("@(2,r3)" -> "r3", "@r1" -> "r1",
// "@(4,fp)" -> "fp"), or empty.
std::string_view addressRegister(std::string_view operand) {
  if (!startsWith(operand, "@")) {
    return {};
  }
  for (std::size_t i = 1; i + 1 < operand.size(); ++i) {
    if (operand[i] == 'r' && operand[i + 1] >= '0' && operand[i + 1] <= '6') {
      return operand.substr(i, 2);
    }
    if ((operand[i] == 'f' || operand[i] == 's') && operand[i + 1] == 'p') {
      return operand.substr(i, 2);
    }
  }
  return {};
}

// A line after which a frame slot may hold something else: it writes memory (other than
// a push, which goes below every frame slot), or moves the frame or stack pointer.
bool mayChangeFrameSlots(const WindowLine& line) {
  const std::string_view m = line.mnemonic;
  if (isOpaque(m) || m == "org" || isDataMnemonic(m) || line.destination == "sp" ||
      changesRegister(line, "fp")) {
    return true;
  }
  if (line.destination.empty()) {
    return startsWith(line.source, "@");  // a one-operand line on memory
  }
  return line.destination != "@-sp" && !isRegisterOperand(line.destination);
}

// From line a+1 on, while `value` (a register) holds what frame slot `slot` holds, a
// same-sized load "mov.X slot,R2" becomes "mov.X value,R2". Stops at labels, branches,
// calls, at anything that may change the slot, and when `value` changes.
bool forwardSlotValue(PeepholeWindow& w, int a, std::string_view mnemonic, std::string_view slot,
                      std::string_view value) {
  bool changed = false;
  for (int j = a + 1; j < w.count(); ++j) {
    const WindowLine& line = w[j];
    if (!line.label.empty() || isBranch(line.mnemonic)) {
      break;
    }
    if (line.mnemonic == mnemonic && line.source == slot && isValueRegister(line.destination) &&
        line.destination != value) {
      w.setSource(j, value);
      changed = true;
    }
    if (mayChangeFrameSlots(line) || changesRegister(line, value)) {
      break;
    }
  }
  return changed;
}

bool isForwardableSlot(std::string_view operand) { return frameSlotOffset(operand).has_value(); }

// Line `store` writes memory that certainly does not overlap what `load` reads.
bool storesElsewhere(const WindowLine& load, const WindowLine& store, const SharedPlaces& shared) {
  const int size = std::max(operationSize(load.mnemonic), operationSize(store.mnemonic));
  return isFixedMemory(load.source) && isFixedMemory(store.destination) &&
         disjointMemory(load.source, store.destination, size == 0 ? 4 : size, shared);
}

}  // namespace

// mov.X R,@(d,fp) / ... / mov.X @(d,fp),R2   =>   mov.X R,@(d,fp) / ... / mov.X R,R2
// Frame-slot forwarding: the slot holds what R held when it was stored. While no line
// between writes memory (pushes excepted: they go below the frame), moves fp or sp,
// changes R, calls, branches or is a branch target, reading R gives the same bytes and
// the same flags as reading the slot.
bool frameSlotForwarding(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if (!startsWith(line.mnemonic, "mov.") || !isValueRegister(line.source) ||
      !isForwardableSlot(line.destination)) {
    return false;
  }
  const std::string mnemonic = line.mnemonic;
  const std::string slot = line.destination;
  const std::string value = line.source;
  return forwardSlotValue(w, a, mnemonic, slot, value);
}

// mov.X @(d,fp),R / ... / mov.X @(d,fp),R2   =>   mov.X @(d,fp),R / ... / mov.X R,R2
// The second frame-slot pass: after a load the register holds the slot's value, under the
// same conditions as the forwarding pass.
bool frameSlotReload(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if (!startsWith(line.mnemonic, "mov.") || !isWorkRegister(line.destination) ||
      !isForwardableSlot(line.source)) {
    return false;
  }
  const std::string mnemonic = line.mnemonic;
  const std::string slot = line.source;
  const std::string value = line.destination;
  return forwardSlotValue(w, a, mnemonic, slot, value);
}

// xor.w R,R / ... / xor.w R,R   =>   xor.w R,R / ...
// R is still zero when nothing between calls or writes it; the second clear's flags must
// not be read. A wider second clear widens the first when nothing between reads R or
// branches away (the other path would see the wider clear).
bool repeatedClear(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const std::string_view reg = clearedRegister(w[a]);
  if (reg.empty()) {
    return false;
  }
  const std::string cleared(reg);
  bool changed = false;
  bool mentionedBetween = false;
  for (int j = a + 1; j < w.count(); ++j) {
    const WindowLine& line = w[j];
    if (!line.label.empty()) {
      break;
    }
    if (clearsRegister(line, cleared)) {
      const bool widen = operationSize(line.mnemonic) > operationSize(w[a].mnemonic);
      if ((widen && mentionedBetween) || !flagsDeadFrom(context, j + 1, kLogicFlags)) {
        break;
      }
      if (widen) {
        w.setMnemonic(a, line.mnemonic);
      }
      w.deleteLine(j);
      changed = true;
      continue;
    }
    if (line.mnemonic == "bsr" || changesRegister(line, cleared)) {
      break;
    }
    mentionedBetween = mentionedBetween || mentions(line, cleared) || isBranch(line.mnemonic);
  }
  return changed;
}

// mov.X S,R / ... / mov.X S,R   =>   mov.X S,R / ...
// The second load finds R holding S already: nothing between is a branch target, calls,
// jumps away, changes R, S or the register S is addressed through, or, when S is memory,
// stores where S might lie (a store to another place of its own or a frame slot elsewhere
// is fine; one through a register, or to a shared place, may reach S). Its flags must not be read. Ports and stepping
// operands are read each time.
bool repeatedLoad(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if (!startsWith(line.mnemonic, "mov.") || !isWorkRegister(line.destination) ||
      line.source == "@sp+" || isAutoModifying(line.source) || isPortRegister(line.source) ||
      contains(line.source, line.destination)) {
    return false;
  }
  const WindowLine load = line;
  const bool memorySource = !isRegisterOperand(load.source) && !startsWith(load.source, "#");
  const std::string_view base = addressRegister(load.source);
  bool changed = false;
  for (int j = a + 1; j < w.count(); ++j) {
    const WindowLine& next = w[j];
    if (!next.label.empty()) {
      break;
    }
    if (sameInstruction(next, load)) {
      if (!flagsDeadFrom(context, j + 1, kLogicFlags)) {
        break;
      }
      w.deleteLine(j);
      changed = true;
      continue;
    }
    const std::string_view m = next.mnemonic;
    if (m == "bsr" || m == "jsr" || m == "bra" || isOpaque(m) ||
        changesRegister(next, load.destination) ||
        (isRegisterOperand(load.source) && changesRegister(next, load.source)) ||
        writesOperand(next, load.source) || (!base.empty() && changesRegister(next, base)) ||
        (memorySource && !next.destination.empty() && !isRegisterOperand(next.destination) &&
         next.destination != "@-sp" && !storesElsewhere(load, next, context.shared()))) {
      break;
    }
  }
  return changed;
}

namespace {

// mov.X S,R1 / mov.X R1,R2   =>   mov.X S,R2        (R1 dead after the copy)
// The value may be loaded where it is wanted; the flags come from the same value. The
// copy must not be a branch target, and S must not be built on R2.
bool loadStraightIntoCopy(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 1) {
    return false;
  }
  const WindowLine& load = w[a - 1];
  const WindowLine& copy = w[a];
  if (!copy.label.empty() || load.mnemonic != copy.mnemonic || load.destination != copy.source ||
      !isWorkRegister(load.destination) || contains(load.source, copy.destination) ||
      load.source == "@sp+" ||
      !registerDeadFrom(context, a + 1, copy.source, operationSize(copy.mnemonic))) {
    return false;
  }
  const std::string target = copy.destination;
  w.setDestination(a - 1, target);
  w.deleteLine(a);
  return true;
}

}  // namespace

// mov.X R1,R1   =>   (nothing)            when the flags it sets are not read;
// mov.X S,R1 / mov.X R1,R2   =>   mov.X S,R2         when R1 is dead afterwards;
// mov.X R1,R2 / op.Y R2,D   =>   mov.X R1,R2 / op.Y R1,D      (Y no wider than X)
// mov.X R1,R2   =>   (nothing)            when afterwards R2 and the flags are dead.
// Copy propagation: up to the next label, branch or call, and while neither register
// changes, R2's low bytes equal R1's, so a line reading R2 as its source (and writing
// something) may read R1 instead. That leaves the move dead more often for the passes
// after this one.
bool registerMove(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a + 1 >= w.count()) {
    return false;
  }
  const WindowLine& line = w[a];
  if (!startsWith(line.mnemonic, "mov.") || !isValueRegister(line.source) ||
      !isValueRegister(line.destination) || isBranch(w[a + 1].mnemonic)) {
    return false;
  }
  if (line.source == line.destination) {
    if (!flagsDeadFrom(context, a + 1, kLogicFlags)) {
      return false;
    }
    w.deleteLine(a);
    return true;
  }
  if (loadStraightIntoCopy(context, a)) {
    return true;
  }
  const std::string from = line.destination;
  const std::string to = line.source;
  const int size = operationSize(line.mnemonic);
  bool changed = false;
  for (int j = a + 1; j < w.count(); ++j) {
    const WindowLine& next = w[j];
    if (!next.label.empty() || isBranch(next.mnemonic) || isOpaque(next.mnemonic)) {
      break;
    }
    const std::string_view m = next.mnemonic;
    const bool sized = m.size() == 5 && m[3] == '.' && operationSize(m) > 0;
    if (sized && next.source == from && !next.destination.empty() && next.destination != from &&
        operationSize(m) <= size) {
      w.setSource(j, to);
      changed = true;
    }
    if (changesRegister(w[j], from) || changesRegister(w[j], to)) {
      break;
    }
  }
  // With its readers moved to R1, the copy is often dead: no path reads R2 or the flags
  // the move set.
  if (registerDeadFrom(context, a + 1, from, size) && flagsDeadFrom(context, a + 1, kLogicFlags)) {
    w.deleteLine(a);
    return true;
  }
  return changed;
}

}  // namespace vorax::peephole
