// Block tier, call and store passes: register traffic around calls, stores followed by
// reloads, and stores that the frame release makes pointless.
#include <algorithm>
#include <string>

#include "asmout/peephole_flow.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_text.h"

namespace vorax::peephole {
namespace {

bool isValueRegister(std::string_view text) { return isRegisterOperand(text) && text != "fp"; }

// Runtime routines that read or keep a register: "\slset" takes r0, "\storer" keeps r1.
bool callUsesRegisters(std::string_view target) {
  return target == "\\slset" || target == "\\storer";
}

}  // namespace

// mov.X R2,R / mov.X R,@-sp / ... / bsr P   =>   mov.X R2,@-sp / ... / bsr P
// Push pass: a parameter copied into a register only to be pushed can be pushed from
// where it is. P is a compiled routine (name not beginning with "\"): it takes its
// parameters from the stack and reads no register, and no register survives the call, so
// R is not read again when nothing between the push and the call names it. Only the
// parameter pushes and loads of the call are walked back over.
bool pushBeforeCall(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (w[a].mnemonic != "bsr" || startsWith(w[a].source, "\\")) {
    return false;
  }
  for (int j = a - 1; j >= 1; --j) {
    const WindowLine& push = w[j];
    if (!push.label.empty() || !startsWith(push.mnemonic, "mov.")) {
      return false;
    }
    const WindowLine& copy = w[j - 1];
    if (push.destination == "@-sp" && isWorkRegister(push.source) &&
        copy.mnemonic == push.mnemonic && copy.destination == push.source &&
        isValueRegister(copy.source) && copy.source != push.source) {
      bool readLater = false;
      for (int k = j + 1; k < a && !readLater; ++k) {
        readLater = mentions(w[k], push.source);
      }
      if (!readLater) {
        const std::string from = copy.source;
        w.setSource(j, from);
        w.deleteLine(j - 1);
        return true;
      }
    }
  }
  return false;
}

// mov.X S,R / ... / bsr P   =>   ... / bsr P      (nothing between names R)
// A register loaded and never read before a call is lost in the call. The lines between
// must be unlabelled straight-line code (a branch could lead to a read); the call must
// not be one of the runtime routines that read or keep registers.
bool loadBeforeCall(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a + 2 >= w.count()) {
    return false;
  }
  const WindowLine& load = w[a];
  if (!startsWith(load.mnemonic, "mov.") || !isWorkRegister(load.destination) ||
      load.source == "@sp+" || isAutoModifying(load.source) || isBranch(w[a + 1].mnemonic)) {
    return false;
  }
  for (int j = a + 1; j < w.count(); ++j) {
    const WindowLine& line = w[j];
    if (!line.label.empty() || mentions(line, load.destination)) {
      return false;
    }
    if (line.mnemonic == "bsr") {
      if (callUsesRegisters(line.source)) {
        return false;
      }
      w.deleteLine(a);
      return true;
    }
    if (isBranch(line.mnemonic) || isOpaque(line.mnemonic)) {
      return false;
    }
  }
  return false;
}

// mov.X R1,M / mov.X M,R2 / x   =>   mov.X R1,R2 / mov.X R2,M / x
// Store and reload: M holds R1's bytes after the store, so R2 may take them from R1; the
// store of R2 then writes the same bytes and sets the flags the reload set (N and Z from
// the same value, V cleared, C kept), so the exchange holds whether or not x is a branch.
// Before a branch, a reload into the stored register itself is simply dropped (the store
// already set those flags); elsewhere it becomes a move of the register to itself, which
// the register-move pass removes. M must be memory that reads back what was written (no port
// register, no stepping operand, not built on R2), and the two lines unlabelled.
bool storeAndReload(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 2) {
    return false;
  }
  const WindowLine& store = w[a - 2];
  const WindowLine& reload = w[a - 1];
  const std::string_view memory = store.destination;
  if (!w[a].label.empty() || !reload.label.empty() || !startsWith(store.mnemonic, "mov.") ||
      reload.mnemonic != store.mnemonic || !isWorkRegister(store.source) ||
      !isWorkRegister(reload.destination) || reload.source != memory || memory.empty() ||
      isRegisterOperand(memory) || startsWith(memory, "#") || isAutoModifying(memory) ||
      isPortRegister(memory) || contains(memory, reload.destination)) {
    return false;
  }
  const std::string first = store.source;
  const std::string second = reload.destination;
  const std::string place(memory);
  if (isConditionalBranch(w[a].mnemonic) && first == second) {
    w.deleteLine(a - 1);
    return true;
  }
  w.setDestination(a - 2, second);
  w.setDestination(a - 1, place);
  w.setSource(a - 1, second);
  return true;
}

// mov.X R,M / bra L  ...  mov.X R,M / L: y   =>   bra $n  ...  $n: mov.X R,M / L: y
// Store before a branch: the store repeated before L can serve both ways. Only an
// unconditional branch qualifies (after a conditional one the fall-through path needs the
// store too). L goes from its line when nothing names it any more.
bool storeBeforeBranch(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a < 2 || w[a].mnemonic != "bra" || !w[a].label.empty()) {
    return false;
  }
  const WindowLine& store = w[a - 1];
  if (!store.label.empty() || !startsWith(store.mnemonic, "mov.") ||
      !isRegisterOperand(store.source) || store.source != w[a - 2].destination ||
      store.destination == "@(4,fp)") {
    return false;
  }
  const std::string oldTarget = w[a].source;
  const int t = w.findLabel(oldTarget);
  if (t < 1 || t - 1 == a || t - 1 == a - 1 || !sameInstruction(w[t - 1], store) ||
      !(w[t - 1].label.empty() || isLocalLabel(w[t - 1].label))) {
    return false;
  }
  if (w[t - 1].label.empty()) {
    w.setLabel(t - 1, context.newLocalLabel());
  }
  const std::string label = w[t - 1].label;
  w.deleteLine(a - 1);
  w.redirectBranch(a, label);
  dropLabelIfUnused(w, t);
  return true;
}

// mov.X S,R / mov.X S,D   =>   mov.X S,R / mov.X R,D
// The second read of S gets the value the first left in R (S not built on R, not a port,
// not stepping); the second line must not be a branch target.
bool registerReuse(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a + 1 >= w.count()) {
    return false;
  }
  const WindowLine& first = w[a];
  const WindowLine& second = w[a + 1];
  if (!startsWith(first.mnemonic, "mov.") || second.mnemonic != first.mnemonic ||
      second.source != first.source || !second.label.empty() ||
      operandKind(first.source) == OperandKind::PostIncrement || isAutoModifying(first.source) ||
      isPortRegister(first.source) || first.destination == second.destination ||
      !isWorkRegister(first.destination) || contains(first.source, first.destination)) {
    return false;
  }
  const std::string reg = first.destination;
  w.setSource(a + 1, reg);
  return true;
}

// mov.X S,R / mov.l fp,sp   =>   mov.l fp,sp      (R not read afterwards)
// mov.X R,@(d,fp) / mov.l fp,sp   =>   mov.l fp,sp      (the slot lies below fp)
// At the frame release, a local is never read again, and a register is dead unless the
// exit passes it on (a result in r0). A store reaching fp+0 or above changes the saved
// frame pointer or a parameter, which the exit still reads.
int deadStoreAtFrameRelease(RuleContext& context) {
  PeepholeWindow& w = context.window();
  const int newest = w.count() - 1;
  int release = -1;
  for (int i = newest; i >= 1 && i > newest - 10; --i) {
    if (w[i].mnemonic == "mov.l" && w[i].source == "fp" && w[i].destination == "sp") {
      release = i;
      break;
    }
  }
  if (release < 1) {
    return 0;
  }
  const WindowLine& line = w[release - 1];
  if (!startsWith(line.mnemonic, "mov.")) {
    return 0;
  }
  if (isWorkRegister(line.destination) &&
      (line.source == "@sp+" || !isAutoModifying(line.source)) &&
      registerDeadFrom(context, release, line.destination, operationSize(line.mnemonic))) {
    w.deleteLine(release - 1);
    return 1;
  }
  const auto offset = frameSlotOffset(line.destination);
  if (isWorkRegister(line.source) && offset &&
      *offset + std::max(operationSize(line.mnemonic), 1) <= 0) {
    w.deleteLine(release - 1);
    return 1;
  }
  return 0;
}

// extu.l R / ... / extu.l R   =>   extu.l R / ...
// Long extension: the second extension finds the upper word still clear when no line
// between changes R, calls, or is a branch target. (Widening "inc.w R" to "inc.l R" in
// between would be wrong when the word wraps, so any change of R ends the search.)
bool longExtension(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  const WindowLine& line = w[a];
  if (line.mnemonic != "extu.l" || !line.label.empty()) {
    return false;
  }
  for (int j = a - 1; j >= 4; --j) {
    const WindowLine& earlier = w[j];
    if (!earlier.label.empty() || earlier.mnemonic == "bsr") {
      return false;
    }
    if (sameInstruction(earlier, line)) {
      w.deleteLine(a);
      return true;
    }
    if (changesRegister(earlier, line.source)) {
      return false;
    }
  }
  return false;
}

}  // namespace vorax::peephole
