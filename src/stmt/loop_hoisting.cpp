// Loop-invariant hoisting: a load that gives a register the same value on every round
// of a loop is done once, in front of the loop.
#include "asmout/peephole_flow.h"
#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/pass_support.h"
#include "stmt/rewrite_passes.h"

namespace vorax {
namespace {

using peephole::changesRegister;
using peephole::isWorkRegister;
using peephole::sizeSuffix;
using peephole::startsWith;
using peephole::storeMayReach;

// Loops this short gain nothing from the pass.
constexpr int kShortestLoop = 4;

// mov.X #v,R / mov.X @(d,fp),R / xor.X R,R into a work register R.
bool isCandidateForm(const WindowLine& line) {
  if (!isWorkRegister(line.destination)) {
    return false;
  }
  if (startsWith(line.mnemonic, "mov.")) {
    return startsWith(line.source, "#") || stmtpass::isFrameOperand(line.source);
  }
  return startsWith(line.mnemonic, "xor.") && line.source == line.destination;
}

// The flags the candidate sets are set again before anything reads them (a branch right
// after the load tests them).
bool flagsUnused(const PeepholeWindow& w, int i) {
  return stmtpass::flagsUnreadFrom(w, i + 1, w.count(), peephole::flagsSetBy(w[i].mnemonic));
}

// The loop keeps the candidate's register and source as they are on every round: no
// other line writes the register, and no line stores where the source lies.
bool invariantInLoop(const PeepholeWindow& w, int loopStart, int candidate,
                     const SharedPlaces& shared) {
  const WindowLine& line = w[candidate];
  const int size = peephole::operationSize(line.mnemonic);
  for (int i = loopStart; i < w.count(); ++i) {
    if (i == candidate) {
      continue;
    }
    if (changesRegister(w[i], line.destination)) {
      return false;
    }
    if (stmtpass::isFrameOperand(line.source) &&
        storeMayReach(w[i].destination, line.source, size == 0 ? 4 : size, shared)) {
      return false;
    }
  }
  return true;
}

// Instructions whose source may be a register of the same size as well as the value the
// hoisted load put there. Shifts, rotations and the increments take counts, not values.
bool acceptsRegisterSource(const WindowLine& line, std::string_view suffix) {
  static constexpr std::string_view kForms[] = {"mov.", "add.", "sub.", "cmp.",
                                                "and.", "or.",  "xor."};
  if (sizeSuffix(line.mnemonic) != suffix) {
    return false;
  }
  for (std::string_view form : kForms) {
    if (startsWith(line.mnemonic, form)) {
      return true;
    }
  }
  return false;
}

// After the load of `source` into `reg` moved out, the loop's other reads of the same
// source take the register.
void readFromRegister(PeepholeWindow& w, int loopStart, const WindowLine& hoisted) {
  if (hoisted.source == hoisted.destination) {
    return;
  }
  const std::string_view suffix = sizeSuffix(hoisted.mnemonic);
  for (int i = loopStart; i < w.count(); ++i) {
    if (w[i].source == hoisted.source && acceptsRegisterSource(w[i], suffix)) {
      w.setSource(i, hoisted.destination);
    }
  }
}

bool loopQualifies(const PeepholeWindow& w, int loopStart) {
  if (w.count() - loopStart < kShortestLoop) {
    return false;
  }
  for (int i = loopStart; i < w.count(); ++i) {
    if (w[i].mnemonic == "bsr") {
      return false;
    }
  }
  return true;
}

}  // namespace

int hoistLoopInvariants(Compilation& c, int loopStart) {
  PeepholeWindow& w = c.emitter.window();
  int moved = 0;
  bool movedThisScan = true;
  while (movedThisScan && loopQualifies(w, loopStart)) {
    movedThisScan = false;
    for (int i = loopStart; i < w.count(); ++i) {
      const WindowLine& line = w[i];
      // A labelled line is a branch target: its label must stay where it is.
      if (!line.label.empty() || !isCandidateForm(line) || !flagsUnused(w, i) ||
          !invariantInLoop(w, loopStart, i, c.optimizer.sharedPlaces())) {
        continue;
      }
      // The loop's first line keeps its label: the hoisted line goes in front of it and
      // runs once, before the first round.
      w.moveLines(i, 1, loopStart);
      ++loopStart;
      readFromRegister(w, loopStart, w[loopStart - 1]);
      ++moved;
      movedThisScan = true;
    }
  }
  return moved;
}

}  // namespace vorax
