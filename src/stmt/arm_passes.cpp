// Passes over the arms of an IF with ELSE (and of a CASE): instructions every arm starts
// with move in front of the condition, and loads the else arm repeats from the condition
// code are dropped.
#include <array>
#include <string>
#include <vector>

#include "asmout/peephole_flow.h"
#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/pass_support.h"
#include "stmt/rewrite_passes.h"

namespace vorax {
namespace {

using peephole::changesRegister;
using peephole::isBranch;
using peephole::isConditionalBranch;
using peephole::isDataMnemonic;
using peephole::isMarkerLabel;
using peephole::isOpaque;
using peephole::mentions;
using peephole::namesLabel;
using peephole::sameInstruction;
using peephole::storeMayReach;

constexpr std::array<std::string_view, 8> kRegisters = {"r0", "r1", "r2", "r3",
                                                        "r4", "r5", "r6", "fp"};

// The next line from `i` on inside `end` that is not an unlabelled "nop"; `end` if none.
int skipNops(const PeepholeWindow& w, int i, int end) {
  while (i < end && w[i].mnemonic == "nop" && w[i].label.empty()) {
    ++i;
  }
  return i;
}

// An instruction that may stand anywhere in straight-line code: no label (nothing
// branches to it), no control transfer, no marker, no data, nothing on the stack.
bool isPlainInstruction(const WindowLine& line) {
  return line.label.empty() && line.mnemonic != "nop" && line.mnemonic != "org" &&
         !isDataMnemonic(line.mnemonic) && !isBranch(line.mnemonic) && !isOpaque(line.mnemonic) &&
         !mentions(line, "sp");
}

// The line `moved` can run before the code `lines` instead of after it: neither writes
// a register or memory place that the other reads or writes.
bool independentOf(const PeepholeWindow& w, const WindowLine& moved, LineRange lines) {
  for (int i = lines.begin; i < lines.end; ++i) {
    const WindowLine& other = w[i];
    for (std::string_view reg : kRegisters) {
      if ((changesRegister(moved, reg) && mentions(other, reg)) ||
          (changesRegister(other, reg) && mentions(moved, reg))) {
        return false;
      }
    }
    for (const std::string* place : {&other.source, &other.destination}) {
      if (storeMayReach(moved.destination, *place, 4)) {
        return false;
      }
    }
    for (const std::string* place : {&moved.source, &moved.destination}) {
      if (storeMayReach(other.destination, *place, 4)) {
        return false;
      }
    }
  }
  return true;
}

// A label carried inside one arm that a line of another arm names: the arms share code
// and cannot be changed one without the other.
bool armsShareLabels(const PeepholeWindow& w, const std::vector<LineRange>& arms) {
  for (std::size_t a = 0; a < arms.size(); ++a) {
    for (int i = arms[a].begin; i < arms[a].end; ++i) {
      const std::string& label = w[i].label;
      if (label.empty()) {
        continue;
      }
      for (std::size_t b = 0; b < arms.size(); ++b) {
        for (int j = arms[b].begin; b != a && j < arms[b].end; ++j) {
          if (namesLabel(w[j].source, label)) {
            return true;
          }
        }
      }
    }
  }
  return false;
}

bool containsCall(const PeepholeWindow& w, LineRange lines) {
  for (int i = lines.begin; i < lines.end; ++i) {
    if (w[i].mnemonic == "bsr" || w[i].mnemonic == "jsr") {
      return true;
    }
  }
  return false;
}

// The flags the moved lines set are not read where each arm goes on, nor by the
// condition code that now runs after them.
bool flagsStayUnread(const PeepholeWindow& w, const std::vector<std::vector<int>>& runs,
                     std::size_t length, LineRange condition, const std::vector<LineRange>& arms) {
  unsigned flags = 0;
  for (std::size_t k = 0; k < length; ++k) {
    flags |= peephole::flagsSetBy(w[runs[0][k]].mnemonic);
  }
  if (flags == 0) {
    return true;
  }
  const int conditionStart = skipNops(w, condition.begin, condition.end);
  if (conditionStart < condition.end &&
      (peephole::flagsReadBy(w[conditionStart].mnemonic) & flags) != 0) {
    return false;
  }
  for (std::size_t a = 0; a < arms.size(); ++a) {
    if (!stmtpass::flagsUnreadFrom(w, runs[a][length - 1] + 1, arms[a].end, flags)) {
      return false;
    }
  }
  return true;
}

}  // namespace

int mergeArms(Compilation& c, LineRange condition, const std::vector<LineRange>& arms) {
  PeepholeWindow& w = c.emitter.window();
  if (arms.size() < 2) {
    return 0;
  }
  const int conditionStart = skipNops(w, condition.begin, condition.end);
  if (conditionStart < condition.end && isConditionalBranch(w[conditionStart].mnemonic)) {
    return 0;
  }
  // The moved lines take over the condition's label: a marker label must stay put.
  if (condition.begin < w.count() && isMarkerLabel(w[condition.begin].label)) {
    return 0;
  }
  if (containsCall(w, condition) || armsShareLabels(w, arms)) {
    return 0;
  }
  // runs[a][k]: the position of the k-th common line in arm a.
  std::vector<std::vector<int>> runs(arms.size());
  std::vector<int> next(arms.size());
  for (std::size_t a = 0; a < arms.size(); ++a) {
    next[a] = arms[a].begin;
  }
  while (true) {
    bool common = true;
    for (std::size_t a = 0; a < arms.size() && common; ++a) {
      next[a] = skipNops(w, next[a], arms[a].end);
      common = next[a] < arms[a].end && isPlainInstruction(w[next[a]]) &&
               sameInstruction(w[next[a]], w[next[0]]);
    }
    if (!common || !independentOf(w, w[next[0]], condition)) {
      break;
    }
    for (std::size_t a = 0; a < arms.size(); ++a) {
      runs[a].push_back(next[a]);
      ++next[a];
    }
  }
  std::size_t length = runs[0].size();
  while (length > 0 && !flagsStayUnread(w, runs, length, condition, arms)) {
    --length;
  }
  if (length == 0) {
    return 0;
  }
  for (std::size_t a = 1; a < arms.size(); ++a) {
    for (std::size_t k = 0; k < length; ++k) {
      w.deleteLine(runs[a][k]);
    }
  }
  // The first arm's copies go in front of the condition, in their order; whatever
  // branched to the condition's first line now reaches them first.
  std::string conditionLabel = std::move(w[condition.begin].label);
  w[condition.begin].label.clear();
  for (std::size_t k = 0; k < length; ++k) {
    w.moveLines(runs[0][k], 1, condition.begin + static_cast<int>(k));
  }
  w[condition.begin].label = std::move(conditionLabel);
  return static_cast<int>(length);
}

int reuseConditionLoadsInElse(Compilation& c, LineRange condition, int elseStart) {
  PeepholeWindow& w = c.emitter.window();
  std::vector<int> repeated;
  int i = skipNops(w, condition.begin, condition.end);
  int j = skipNops(w, elseStart, w.count());
  while (i < condition.end && j < w.count()) {
    const WindowLine& load = w[i];
    // Only the lines before the condition's first branch have run on every way into the
    // else arm; and only a load leaves a value behind that the else arm can use.
    const bool isLoad =
        peephole::startsWith(load.mnemonic, "mov.") && peephole::isWorkRegister(load.destination);
    const bool isClear = !peephole::clearedRegister(load).empty();
    if (!isPlainInstruction(load) || !(isLoad || isClear) || !isPlainInstruction(w[j]) ||
        !sameInstruction(load, w[j]) || peephole::isAutoModifying(load.source)) {
      break;
    }
    // The rest of the condition code must leave the register, and what it was loaded
    // from, as they were.
    bool kept = true;
    for (int k = i + 1; k < condition.end && kept; ++k) {
      const WindowLine& later = w[k];
      for (std::string_view reg : kRegisters) {
        if (changesRegister(later, reg) && (mentions(load, reg))) {
          kept = false;
        }
      }
      kept = kept && !storeMayReach(later.destination, load.source, 4);
    }
    if (!kept) {
      break;
    }
    repeated.push_back(j);
    i = skipNops(w, i + 1, condition.end);
    j = skipNops(w, j + 1, w.count());
  }
  // The else arm must not go on to read the flags the dropped loads set.
  while (!repeated.empty()) {
    const unsigned flags = stmtpass::flagsSetByLines(w, repeated.front(), repeated.back() + 1);
    if (stmtpass::flagsUnreadFrom(w, repeated.back() + 1, w.count(), flags)) {
      break;
    }
    repeated.pop_back();
  }
  for (int line : repeated) {
    w.deleteLine(line);
  }
  return static_cast<int>(repeated.size());
}

}  // namespace vorax
