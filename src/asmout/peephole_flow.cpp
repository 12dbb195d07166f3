#include "asmout/peephole_flow.h"

#include <algorithm>

#include "asmout/peephole_text.h"

namespace vorax::peephole {
namespace {

// Upper bound of lines one flow question looks at, so a pathological window cannot make a
// single question expensive; running out of steps answers "still read".
constexpr int kMaxFlowSteps = 8192;

bool anyLineNamesLabelNumber(const PeepholeWindow& window, std::string_view label) {
  return window.findLabel(label) >= 0 || window.labelNamedElsewhere(label, -1);
}

// Starts a flow walk: clears the visit marks and queues the first line.
void startWalk(RuleContext& context, int start) {
  const auto size = static_cast<std::size_t>(context.window().count());
  context.visited.assign(size, 0);
  context.worklist.clear();
  context.worklist.push_back(start);
}

// Queues the line carrying `label`; false when the window does not hold it.
bool queueLabel(RuleContext& context, std::string_view label) {
  const int target = context.window().findLabel(label);
  if (target < 0) {
    return false;
  }
  context.worklist.push_back(target);
  return true;
}

enum class Step { Continue, PathEnds, Live };

// What line `line` means for the register question.
Step registerStep(const WindowLine& line, std::string_view reg, int width) {
  const std::string_view m = line.mnemonic;
  if (mentions(line, reg)) {
    const bool fullMove = startsWith(m, "mov.") && line.destination == reg &&
                          !contains(line.source, reg) && operationSize(m) >= width;
    const bool fullClear = clearsRegister(line, reg) && operationSize(m) >= width;
    return fullMove || fullClear ? Step::PathEnds : Step::Live;
  }
  if (equals(m, "bsr")) {
    // Routines do not preserve registers, except that "\slset" takes r0 and "\storer"
    // keeps r1.
    if (equals(line.source, "\\storer") || (equals(line.source, "\\slset") && equals(reg, "r0"))) {
      return Step::Live;
    }
    return Step::PathEnds;
  }
  if (equals(m, "rts")) {
    // The window holds compiled code, whose routines return a result in r0 only.
    return equals(reg, "r0") ? Step::Live : Step::PathEnds;
  }
  if (isOpaque(m) || isDataMnemonic(m) || equals(m, "org")) {
    return Step::Live;
  }
  return Step::Continue;
}

}  // namespace

std::string RuleContext::newLocalLabel() {
  std::string label;
  // Without a counter: numbers above every one in the window (found only when needed,
  // it takes a look at every line).
  int fallback = 2;
  const auto findFallback = [this, &fallback] {
    for (int i = 0; i < window().count(); ++i) {
      for (std::string_view text :
           {std::string_view(window()[i].label), std::string_view(window()[i].source)}) {
        fallback = std::max(fallback, LocalLabelUses::labelNumber(text) + 1);
      }
    }
  };
  if (!nextLabelNumber) {
    findFallback();
  }
  for (int attempt = 0; attempt < 100000; ++attempt) {
    const int number = nextLabelNumber ? nextLabelNumber() : fallback++;
    label.assign(1, '$');
    label += std::to_string(number);
    if (!anyLineNamesLabelNumber(window(), label)) {
      return label;
    }
  }
  if (nextLabelNumber) {
    findFallback();
  }
  label.assign(1, '$');
  label += std::to_string(fallback);
  return label;
}

bool registerDeadFrom(RuleContext& context, int start, std::string_view reg, int width) {
  PeepholeWindow& window = context.window();
  startWalk(context, start);
  int steps = 0;
  while (!context.worklist.empty()) {
    int i = context.worklist.back();
    context.worklist.pop_back();
    for (;; ++i) {
      if (!window.has(i) || ++steps > kMaxFlowSteps) {
        return false;
      }
      if (context.visited[static_cast<std::size_t>(i)] != 0) {
        break;
      }
      context.visited[static_cast<std::size_t>(i)] = 1;
      const WindowLine& line = window[i];
      const Step step = registerStep(line, reg, width);
      if (step == Step::Live) {
        return false;
      }
      if (step == Step::PathEnds) {
        break;
      }
      if (equals(line.mnemonic, "bra")) {
        if (!queueLabel(context, line.source)) {
          return false;
        }
        break;
      }
      if (isConditionalBranch(line.mnemonic) && !queueLabel(context, line.source)) {
        return false;
      }
    }
  }
  return true;
}

unsigned flagsSetBy(std::string_view m) {
  if (startsWith(m, "add.") || startsWith(m, "sub.") || startsWith(m, "cmp.") ||
      startsWith(m, "neg.") || startsWith(m, "shal") || startsWith(m, "shar") ||
      startsWith(m, "shll") || startsWith(m, "shlr") || startsWith(m, "rot") ||
      startsWith(m, "addx") || startsWith(m, "subx")) {
    return kAllFlags;
  }
  if (startsWith(m, "mov.") || startsWith(m, "and.") || startsWith(m, "or.") ||
      startsWith(m, "xor.") || startsWith(m, "not.") || startsWith(m, "inc.") ||
      startsWith(m, "dec.") || startsWith(m, "extu") || startsWith(m, "exts")) {
    return kLogicFlags;
  }
  if (equals(m, "mulxs") || startsWith(m, "mulxs.") || startsWith(m, "divx")) {
    return kFlagN | kFlagZ;
  }
  if (equals(m, "btst")) {
    return kFlagZ;
  }
  return 0;
}

unsigned flagsReadBy(std::string_view m) {
  if (equals(m, "beq") || equals(m, "bne")) return kFlagZ;
  if (equals(m, "bpl") || equals(m, "bmi")) return kFlagN;
  if (equals(m, "bge") || equals(m, "blt")) return kFlagN | kFlagV;
  if (equals(m, "bgt") || equals(m, "ble")) return kFlagN | kFlagV | kFlagZ;
  if (equals(m, "bcc") || equals(m, "bcs")) return kFlagC;
  if (equals(m, "bhi") || equals(m, "bls")) return kFlagC | kFlagZ;
  if (equals(m, "bvc") || equals(m, "bvs")) return kFlagV;
  if (startsWith(m, "addx") || startsWith(m, "subx") || startsWith(m, "rotx") || equals(m, "bst") ||
      equals(m, "bist") || startsWith(m, "da")) {
    return kFlagC;
  }
  // A marker becomes a push or "nop" later; data and "org" are not followed; the lines
  // that work on the condition code register as a whole count as reading every flag.
  if (startsWith(m, "stc") || startsWith(m, "ldc") || startsWith(m, "andc") ||
      startsWith(m, "orc") || startsWith(m, "xorc") || equals(m, "bcx") || isDataMnemonic(m) ||
      equals(m, "org")) {
    return kAllFlags;
  }
  return 0;
}

bool flagsDeadFrom(RuleContext& context, int start, unsigned flags) {
  PeepholeWindow& window = context.window();
  // A work item is a line and the flags still waiting for a reader or a setter there.
  const auto size = static_cast<std::size_t>(window.count());
  context.visited.assign(size, 0);
  context.worklist.clear();
  context.worklist.push_back(start * 16 + static_cast<int>(flags & kAllFlags));
  int steps = 0;
  while (!context.worklist.empty()) {
    const int item = context.worklist.back();
    context.worklist.pop_back();
    int i = item / 16;
    auto pending = static_cast<unsigned>(item % 16);
    for (;; ++i) {
      if (pending == 0) {
        break;
      }
      if (!window.has(i) || ++steps > kMaxFlowSteps) {
        return false;
      }
      auto& seen = context.visited[static_cast<std::size_t>(i)];
      if ((pending & ~static_cast<unsigned>(seen)) == 0) {
        break;
      }
      seen = static_cast<char>(static_cast<unsigned>(seen) | pending);
      const WindowLine& line = window[i];
      const std::string_view m = line.mnemonic;
      if ((flagsReadBy(m) & pending) != 0) {
        return false;
      }
      // Calls and returns: callers never test flags left by a compiled routine, and the
      // comparison routines set the flags they return.
      if (equals(m, "bsr") || equals(m, "jsr") || equals(m, "rts") || equals(m, "rte") ||
          equals(m, "jmp")) {
        break;
      }
      pending &= ~flagsSetBy(m);
      if (equals(m, "bra")) {
        const int target = window.findLabel(line.source);
        if (target < 0) {
          return false;
        }
        context.worklist.push_back(target * 16 + static_cast<int>(pending));
        break;
      }
      if (isConditionalBranch(m)) {
        const int target = window.findLabel(line.source);
        if (target < 0) {
          return false;
        }
        context.worklist.push_back(target * 16 + static_cast<int>(pending));
      }
    }
  }
  return true;
}

bool labelNamedElsewhere(const PeepholeWindow& window, std::string_view label, int except) {
  return window.labelNamedElsewhere(label, except);
}

void dropLabelIfUnused(PeepholeWindow& window, int i) {
  const WindowLine& line = window[i];
  if (isLocalLabel(line.label) && window.labelUses().uses(line.label) == 0 &&
      !labelNamedElsewhere(window, line.label, -1)) {
    window.setLabel(i, "");
  }
}

}  // namespace vorax::peephole
