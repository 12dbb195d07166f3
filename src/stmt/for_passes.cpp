#include "stmt/for_passes.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/pass_support.h"

namespace vorax {
namespace {

using peephole::changesRegister;
using peephole::mentions;
using peephole::operationSize;
using peephole::sizeSuffix;
using peephole::startsWith;

constexpr std::array<std::string_view, 6> kWorkRegisters = {"r0", "r1", "r2", "r3", "r4", "r5"};

int nextCode(const PeepholeWindow& w, int i) {
  while (i < w.count() && w[i].mnemonic == "nop" && w[i].label.empty()) {
    ++i;
  }
  return i;
}

int previousCode(const PeepholeWindow& w, int i) {
  while (i >= 0 && w[i].mnemonic == "nop" && w[i].label.empty()) {
    --i;
  }
  return i;
}

bool heldByGenerators(const RegisterPool& pool, std::string_view reg) {
  if (pool.isRegisterInUse(reg) || pool.isRegisterLocked(reg)) {
    return true;
  }
  for (int i = 0; i < pool.withRegisterCount(); ++i) {
    if (pool.withRegister(i).registerText == reg) {
      return true;
    }
  }
  return false;
}

// Every line of [first, newest] that names the variable can take a register instead: it
// reads or writes the whole variable with the variable's own size, and no other operand
// reaches into the variable's bytes.
bool variableReplaceable(const PeepholeWindow& w, int first, const ForLoopLines& loop,
                         const SharedPlaces& shared) {
  const int size = loop.suffix == ".b" ? 1 : loop.suffix == ".w" ? 2 : 4;
  for (int i = first; i < w.count(); ++i) {
    const WindowLine& line = w[i];
    for (const std::string* operand : {&line.source, &line.destination}) {
      if (*operand == loop.variable) {
        if (line.mnemonic == "lea" || sizeSuffix(line.mnemonic) != loop.suffix) {
          return false;
        }
      } else if (stmtpass::isFrameOperand(*operand) &&
                 !peephole::disjointMemory(*operand, loop.variable, size, shared)) {
        return false;
      }
    }
  }
  return true;
}

// The step of the loop, from `at` on: "mov.s X,R", then (general form) the exit test
// "cmp.s E,R" / "beq" with the load of a pushed end value, then "inc.s #1,R" (or dec) and
// "mov.s R,X".
struct StepLines {
  int load = -1;
  int step = -1;
  int store = -1;
  std::string reg;
};

std::optional<StepLines> findStep(const PeepholeWindow& w, int at, const std::string& place,
                                  const std::string& suffix) {
  StepLines s;
  s.load = nextCode(w, at);
  if (s.load >= w.count()) {
    return std::nullopt;
  }
  s.reg = w[s.load].destination;
  s.step = nextCode(w, s.load + 1);
  // The exit test in front of the step reads the register and leaves it alone.
  while (s.step < w.count() &&
         ((startsWith(w[s.step].mnemonic, "cmp.") && w[s.step].destination == s.reg) ||
          (w[s.step].source == "@sp" && w[s.step].destination != s.reg) ||
          w[s.step].mnemonic == "beq")) {
    s.step = nextCode(w, s.step + 1);
  }
  s.store = nextCode(w, s.step + 1);
  if (s.store >= w.count()) {
    return std::nullopt;
  }
  const WindowLine& load = w[s.load];
  const WindowLine& step = w[s.step];
  const WindowLine& store = w[s.store];
  const bool stepping = (step.mnemonic == "inc" + suffix || step.mnemonic == "dec" + suffix) &&
                        step.source == "#1" && step.destination == s.reg;
  if (load.mnemonic != "mov" + suffix || load.source != place || !stepping ||
      store.mnemonic != load.mnemonic || store.source != s.reg || store.destination != place ||
      !step.label.empty() || !store.label.empty()) {
    return std::nullopt;
  }
  for (int i = s.load + 1; i < s.step; ++i) {
    if (!w[i].label.empty()) {
      return std::nullopt;
    }
  }
  return s;
}

// An immediate operand for a count: a negative value in parentheses, so that "end-start+1"
// stays one expression.
std::string countTerm(std::int64_t value) {
  return value < 0 ? "(" + std::to_string(value) + ")" : std::to_string(value);
}

// The number of rounds as an immediate of the counter's size: end-start+1 (start-end+1
// counting down). A count that fills the whole size is written 0: the first decrement
// wraps round.
std::string roundCount(const ForLoopLines& loop) {
  const std::int64_t high = loop.downTo ? *loop.constantStart : *loop.constantEnd;
  const std::int64_t low = loop.downTo ? *loop.constantEnd : *loop.constantStart;
  const std::int64_t rounds = high - low + 1;
  const int bits = loop.suffix == ".b" ? 8 : loop.suffix == ".w" ? 16 : 32;
  if (bits < 32 && rounds >= (std::int64_t{1} << bits)) {
    return "#0";
  }
  return "#" + countTerm(high) + "-" + countTerm(low) + "+1";
}

}  // namespace

// The start value's load in front of the initial store, once a count-down loop has made
// the store an immediate:   mov.s #start,R1 / mov.s #count,F   =>   mov.s #count,F
// Only when R1 is set again, as wide as the load set it, before anything reads the bits
// the load wrote: the window is followed line by line from the store, and a branch, a
// call or the window's end first keeps the load. A register in an address is read whole.
void dropStartLoad(PeepholeWindow& w, int init, const std::string& startRegister) {
  const int load = previousCode(w, init - 1);
  if (load < 0 || !peephole::isWorkRegister(startRegister) || !w[load].label.empty() ||
      w[load].destination != startRegister) {
    return;
  }
  const WindowLine& loadLine = w[load];
  const bool constantLoad =
      (startsWith(loadLine.mnemonic, "mov.") && startsWith(loadLine.source, "#")) ||
      peephole::clearsRegister(loadLine, startRegister);
  const int loadSize = operationSize(loadLine.mnemonic);
  if (!constantLoad || loadSize == 0) {
    return;
  }
  const auto inAddress = [&](std::string_view operand) {
    return startsWith(operand, "@") && peephole::contains(operand, startRegister);
  };
  int rewritten = 0;  // low bytes of R1 written since the load
  for (int i = init + 1; i < w.count(); ++i) {
    const WindowLine& line = w[i];
    if (peephole::isBranch(line.mnemonic) || peephole::isOpaque(line.mnemonic) ||
        peephole::isUnconditionalTransfer(line.mnemonic)) {
      return;
    }
    if (!mentions(line, startRegister) && !changesRegister(line, startRegister)) {
      continue;
    }
    const int size = operationSize(line.mnemonic);
    if (size == 0 || inAddress(line.source) || inAddress(line.destination)) {
      return;
    }
    if (peephole::setsRegister(line, startRegister) &&
        !peephole::contains(line.source, startRegister)) {
      rewritten = std::max(rewritten, size);
      if (rewritten >= loadSize) {
        w.deleteLine(load);  // a "nop": the loop's line numbers stay as they are
        return;
      }
    } else if (size > rewritten) {
      return;  // reads bits the load wrote
    }
  }
}

std::string findUnusedRegister(Compilation& c, int first) {
  const PeepholeWindow& w = c.emitter.window();
  for (std::string_view reg : kWorkRegisters) {
    bool used = heldByGenerators(c.registers, reg);
    for (int i = std::max(first, 0); i < w.count() && !used; ++i) {
      used = mentions(w[i], reg) || changesRegister(w[i], reg);
    }
    if (!used) {
      return std::string(reg);
    }
  }
  return {};
}

bool callsBetween(Compilation& c, int first, int last) {
  const PeepholeWindow& w = c.emitter.window();
  for (int i = std::max(first, 0); i <= last && i < w.count(); ++i) {
    if (w[i].mnemonic == "bsr" || w[i].mnemonic == "jsr") {
      return true;
    }
  }
  return false;
}

// Frame variable V kept in a free register F:
//   mov.s R1,V / ... / B: body(V) / mov.s V,R / inc.s #1,R / mov.s R,V / cmp.s E,R / ble B
//   =>   mov.s R1,F / ... / B: body(F) / inc.s #1,F / cmp.s E,F / ble B
// and, when the body no longer reads F and both bounds are constant, a count-down loop:
//   mov.s #end-start+1,F / B: body / dec.s #1,F / bne B
bool promoteLoopVariable(Compilation& c, const ForLoopLines& loop) {
  PeepholeWindow& w = c.emitter.window();
  if (!stmtpass::isFrameOperand(loop.variable)) {
    return false;
  }
  int init = -1;
  for (int i = std::max(loop.initFrom, 0); i < loop.body && init < 0; ++i) {
    if (startsWith(w[i].mnemonic, "mov.") && w[i].destination == loop.variable &&
        peephole::isWorkRegister(w[i].source)) {
      init = i;
    }
  }
  if (init < 0 || callsBetween(c, init, w.count() - 1) || !variableReplaceable(w, init + 1, loop, c.optimizer.sharedPlaces())) {
    return false;
  }
  const std::optional<StepLines> step = findStep(w, loop.bodyEnd, loop.variable, loop.suffix);
  if (!step) {
    return false;
  }
  // The test: a compare of the step register (after the load of a pushed end value),
  // in front of the step (general form) or after it, then the branch back.
  int compare = -1;
  for (int i = step->load + 1; i < step->step && compare < 0; ++i) {
    if (startsWith(w[i].mnemonic, "cmp.") && w[i].destination == step->reg) {
      compare = i;
    }
  }
  int branch = step->store + 1;
  for (; branch < w.count() && !peephole::isBranch(w[branch].mnemonic); ++branch) {
    if (startsWith(w[branch].mnemonic, "cmp.") && w[branch].destination == step->reg) {
      compare = branch;
    }
  }
  const std::string reg = findUnusedRegister(c, init);
  if (branch >= w.count() || reg.empty()) {
    return false;
  }
  w.setDestination(init, reg);
  for (int i = init + 1; i < w.count(); ++i) {
    if (w[i].source == loop.variable) {
      w.setSource(i, reg);
    }
    if (w[i].destination == loop.variable) {
      w.setDestination(i, reg);
    }
  }
  bool exitTestReadsLoad = false;
  for (int i = step->load + 1; i < step->step; ++i) {
    exitTestReadsLoad = exitTestReadsLoad || w[i].mnemonic == "beq";
  }
  if (exitTestReadsLoad && compare < 0) {
    // The load's own flags were the exit test (its compare with 0 was absorbed): the
    // register is tested instead.
    w.setMnemonic(step->load, "cmp" + loop.suffix);
    w.setSource(step->load, "#0");
    w.setDestination(step->load, reg);
  } else {
    w.deleteLine(step->load);
  }
  w.deleteLine(step->store);
  w.setDestination(step->step, reg);
  if (compare >= 0) {
    w.setDestination(compare, reg);
  }
  if (!loop.constantStart || !loop.constantEnd) {
    return true;
  }
  for (int i = loop.body; i < loop.bodyEnd; ++i) {
    if (mentions(w[i], reg)) {
      return true;
    }
  }
  const std::string startRegister = w[init].source;
  w.setSource(init, roundCount(loop));
  w.setMnemonic(step->step, "dec" + loop.suffix);
  if (compare >= 0) {
    w.deleteLine(compare);
  }
  w.setMnemonic(branch, "bne");
  dropStartLoad(w, init, startRegister);
  return true;
}

// mov.w V,@-sp / cmp.s V,S / bgt E / B: body / ... / mov.w @sp,R2 / cmp.s R2,R / beq E /
// step / bra B / E: adds #2,sp
//   =>   mov.w V,G / cmp.s V,S / bgt E / B: body / ... / cmp.s G,R / beq E / step / bra B / E:
// with G a register the loop leaves alone.
bool keepEndValueInRegister(Compilation& c, int bodyLine) {
  PeepholeWindow& w = c.emitter.window();
  const int newest = w.count() - 1;
  if (newest < 3 || bodyLine < 2) {
    return false;
  }
  const WindowLine& release = w[newest];
  if (release.mnemonic != "adds" || release.destination != "sp") {
    return false;
  }
  // Back from the release over the step to the exit test's compare and load.
  int compare = -1;
  for (int i = newest - 1; i > bodyLine && compare < 0; --i) {
    if (w[i].mnemonic == "beq") {
      compare = previousCode(w, i - 1);
    } else if (w[i].mnemonic != "nop" && w[i].mnemonic != "bra" &&
               !startsWith(w[i].mnemonic, "inc.") && !startsWith(w[i].mnemonic, "dec.") &&
               !startsWith(w[i].mnemonic, "mov.")) {
      return false;
    }
  }
  const int load = compare > bodyLine ? previousCode(w, compare - 1) : -1;
  if (load <= bodyLine || !startsWith(w[compare].mnemonic, "cmp.") || w[load].source != "@sp" ||
      w[compare].source != w[load].destination || !w[compare].label.empty()) {
    return false;
  }
  // In front of the body: the push, then the empty-range test.
  const int skip = previousCode(w, bodyLine - 1);
  const int firstCompare = skip > 0 ? previousCode(w, skip - 1) : -1;
  const int push = firstCompare > 0 ? previousCode(w, firstCompare - 1) : -1;
  if (push < 0 || !peephole::isConditionalBranch(w[skip].mnemonic) ||
      !startsWith(w[firstCompare].mnemonic, "cmp.") || w[push].destination != "@-sp" ||
      !peephole::isWorkRegister(w[push].source) || !w[firstCompare].label.empty() ||
      !w[skip].label.empty() || callsBetween(c, push, newest)) {
    return false;
  }
  const std::string reg = findUnusedRegister(c, push + 1);
  if (reg.empty()) {
    return false;
  }
  w.setDestination(push, reg);
  w.setSource(compare, reg);
  w.deleteLine(load);
  w.deleteLine(newest);
  return true;
}

}  // namespace vorax
