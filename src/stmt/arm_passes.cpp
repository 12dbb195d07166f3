// Passes over the arms of an IF with ELSE (and of a CASE): instructions every arm starts
// with move in front of the condition, and loads the else arm repeats from the condition
// code are dropped.
#include <algorithm>
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

bool isNameCharacter(char ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
         ch == '_' || ch == '\\';
}

// Where register `reg` stands in an operand as a name of its own ("r1" in "@(4,r1)",
// not in "r10" or a symbol), or npos.
std::size_t findRegister(std::string_view text, std::string_view reg, std::size_t from = 0) {
  for (std::size_t at = text.find(reg, from); at != std::string_view::npos;
       at = text.find(reg, at + 1)) {
    const bool before = at > 0 && isNameCharacter(text[at - 1]);
    const std::size_t end = at + reg.size();
    const bool after = end < text.size() && isNameCharacter(text[end]);
    if (!before && !after) {
      return at;
    }
  }
  return std::string_view::npos;
}

bool mentionsRegisterName(const WindowLine& line, std::string_view reg) {
  return findRegister(line.source, reg) != std::string_view::npos ||
         findRegister(line.destination, reg) != std::string_view::npos;
}

std::string replaceRegister(std::string_view text, std::string_view from, std::string_view to) {
  std::string result(text);
  for (std::size_t at = findRegister(result, from); at != std::string::npos;
       at = findRegister(result, from, at + to.size())) {
    result.replace(at, from.size(), to);
  }
  return result;
}

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

bool mentionsRegister(const PeepholeWindow& w, LineRange lines, std::string_view reg) {
  for (int i = lines.begin; i < lines.end; ++i) {
    if (mentionsRegisterName(w[i], reg)) {
      return true;
    }
  }
  return false;
}

// The line `moved` can run before the code `lines` instead of after it as far as memory
// goes: neither stores where the other reads or stores.
bool memoryIndependent(const PeepholeWindow& w, const WindowLine& moved, LineRange lines,
                       const SharedPlaces& shared) {
  for (int i = lines.begin; i < lines.end; ++i) {
    const WindowLine& other = w[i];
    // Places of different sizes overlap when they lie closer than the larger size; a
    // line that names no size counts as a long word.
    const int movedSize = peephole::operationSize(moved.mnemonic);
    const int otherSize = peephole::operationSize(other.mnemonic);
    const int size = movedSize == 0 || otherSize == 0 ? 4 : std::max(movedSize, otherSize);
    for (const std::string* place : {&other.source, &other.destination}) {
      if (storeMayReach(moved.destination, *place, size, shared)) {
        return false;
      }
    }
    for (const std::string* place : {&moved.source, &moved.destination}) {
      if (storeMayReach(other.destination, *place, size, shared)) {
        return false;
      }
    }
  }
  return true;
}

// The line `moved` can run before the code `later` as well as after it: neither changes
// a register or a memory place the other names. Nothing is renamed there.
bool independentOfLaterCode(const PeepholeWindow& w, const WindowLine& moved, LineRange later,
                            const SharedPlaces& shared) {
  for (int i = later.begin; i < later.end; ++i) {
    for (std::string_view reg : kRegisters) {
      if ((changesRegister(moved, reg) && mentions(w[i], reg)) ||
          (changesRegister(w[i], reg) && mentions(moved, reg))) {
        return false;
      }
    }
  }
  return memoryIndependent(w, moved, later, shared);
}

// The moved lines and the condition code must not share a register. Where they would, the
// condition code takes another register instead: one that neither names and that is not
// locked. That works only for a register the moved lines start by overwriting (then the
// arms never see the condition's value in it).
class RegisterRenaming {
 public:
  RegisterRenaming(Compilation& c, LineRange condition)
      : c_(c), w_(c.emitter.window()), condition_(condition) {}

  // Adds line `line` to the moved run; false when it cannot go before the condition.
  bool accept(int line) {
    const WindowLine& moved = w_[line];
    if (!memoryIndependent(w_, moved, condition_, c_.optimizer.sharedPlaces())) {
      return false;
    }
    for (std::string_view reg : kRegisters) {
      if (!mentionsRegisterName(moved, reg)) {
        continue;
      }
      // A register promised to the condition code stays out of the moved lines.
      if (isReplacement(reg)) {
        return false;
      }
      const bool firstMention = mentionedByRun_.find(std::string(reg)) == std::string::npos;
      if (firstMention) {
        mentionedByRun_ += std::string(reg) + " ";
      }
      if (isRenamed(reg) || !mentionsRegister(w_, condition_, reg)) {
        continue;
      }
      // Both only read it (a WITH base, say): no conflict.
      if (!changesRegister(moved, reg) && !conditionChanges(reg)) {
        continue;
      }
      // Otherwise the condition code gives the register up, which is sound only when
      // both sides start by overwriting it: neither reads a value the other left.
      if (!firstMention || !overwrites(moved, reg) || !conditionOverwritesFirst(reg) ||
          !rename(reg)) {
        return false;
      }
    }
    return true;
  }

  // Rewrites the condition code with the registers chosen.
  void apply() {
    for (const auto& [from, to] : renames_) {
      for (int i = condition_.begin; i < condition_.end; ++i) {
        w_.setSource(i, replaceRegister(w_[i].source, from, to));
        w_.setDestination(i, replaceRegister(w_[i].destination, from, to));
      }
    }
  }

 private:
  bool conditionChanges(std::string_view reg) const {
    for (int i = condition_.begin; i < condition_.end; ++i) {
      if (changesRegister(w_[i], reg)) {
        return true;
      }
    }
    return false;
  }
  bool conditionOverwritesFirst(std::string_view reg) const {
    for (int i = condition_.begin; i < condition_.end; ++i) {
      if (mentionsRegisterName(w_[i], reg)) {
        return overwrites(w_[i], reg);
      }
    }
    return false;
  }
  // "mov.X S,R" or "xor.X R,R" where S does not name R: R's old value is not read.
  static bool overwrites(const WindowLine& line, std::string_view reg) {
    if (line.destination != reg) {
      return false;
    }
    if (peephole::startsWith(line.mnemonic, "mov.")) {
      return findRegister(line.source, reg) == std::string_view::npos;
    }
    return peephole::startsWith(line.mnemonic, "xor.") && line.source == reg;
  }
  bool isRenamed(std::string_view reg) const {
    for (const auto& rename : renames_) {
      if (rename.first == reg) return true;
    }
    return false;
  }
  bool isReplacement(std::string_view reg) const {
    for (const auto& rename : renames_) {
      if (rename.second == reg) return true;
    }
    return false;
  }
  bool rename(std::string_view reg) {
    if (!peephole::isWorkRegister(reg)) {
      return false;
    }
    for (std::string_view candidate : kRegisters) {
      if (peephole::isWorkRegister(candidate) && !isReplacement(candidate) &&
          mentionedByRun_.find(std::string(candidate)) == std::string::npos &&
          !mentionsRegister(w_, condition_, candidate) &&
          !c_.registers.isRegisterLocked(candidate)) {
        renames_.emplace_back(std::string(reg), std::string(candidate));
        return true;
      }
    }
    return false;
  }

  Compilation& c_;
  PeepholeWindow& w_;
  LineRange condition_;
  std::string mentionedByRun_;  // "r0 r3 " : every register a moved line names
  std::vector<std::pair<std::string, std::string>> renames_;
};

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

// The arms all start with the load "mov.X S,R" that an earlier line already did: every
// way into the arms passes that line, and nothing since changed R or S. The arms' copies
// are dropped. Returns whether they were.
bool dropLoadAlreadyDone(Compilation& c, LineRange condition, const std::vector<LineRange>& arms) {
  PeepholeWindow& w = c.emitter.window();
  std::vector<int> firsts;
  for (const LineRange& arm : arms) {
    const int first = skipNops(w, arm.begin, arm.end);
    if (first == arm.end || !isPlainInstruction(w[first]) ||
        !sameInstruction(w[first], w[skipNops(w, arms[0].begin, arms[0].end)])) {
      return false;
    }
    firsts.push_back(first);
  }
  const WindowLine& load = w[firsts[0]];
  if (!peephole::startsWith(load.mnemonic, "mov.") || !peephole::isWorkRegister(load.destination) ||
      findRegister(load.source, load.destination) != std::string_view::npos ||
      peephole::isAutoModifying(load.source)) {
    return false;
  }
  const int size = peephole::operationSize(load.mnemonic);
  // Back from the end of the condition code to the earlier copy. A label on the way
  // is another way in; the condition's branches must all come after the copy, or the
  // arm they lead to would miss it.
  int earlier = condition.end - 1;
  for (; earlier >= 0; --earlier) {
    const WindowLine& line = w[earlier];
    if (sameInstruction(line, load)) {
      break;
    }
    if (!line.label.empty() || changesRegister(line, load.destination) ||
        storeMayReach(line.destination, load.source, size == 0 ? 4 : size,
                      c.optimizer.sharedPlaces())) {
      return false;
    }
    for (std::string_view reg : kRegisters) {
      if (mentionsRegisterName(load, reg) && changesRegister(line, reg)) {
        return false;
      }
    }
  }
  if (earlier < 0) {
    return false;
  }
  for (int i = condition.begin; i < earlier; ++i) {
    if (isBranch(w[i].mnemonic)) {
      return false;
    }
  }
  const unsigned flags = peephole::flagsSetBy(load.mnemonic);
  for (std::size_t a = 0; a < arms.size(); ++a) {
    if (!stmtpass::flagsUnreadFrom(w, firsts[a] + 1, arms[a].end, flags)) {
      return false;
    }
  }
  for (int first : firsts) {
    w.deleteLine(first);
  }
  return true;
}

}  // namespace

int mergeArms(Compilation& c, LineRange condition, const std::vector<LineRange>& arms,
              LineRange laterCode) {
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
  if (containsCall(w, condition) || containsCall(w, laterCode) || armsShareLabels(w, arms)) {
    return 0;
  }
  // Code between the condition and the arms may change what was loaded before.
  if (laterCode.begin >= laterCode.end && dropLoadAlreadyDone(c, condition, arms)) {
    return 0;
  }
  // runs[a][k]: the position of the k-th common line in arm a.
  std::vector<std::vector<int>> runs(arms.size());
  std::vector<int> next(arms.size());
  for (std::size_t a = 0; a < arms.size(); ++a) {
    next[a] = arms[a].begin;
  }
  RegisterRenaming renaming(c, condition);
  while (true) {
    bool common = true;
    for (std::size_t a = 0; a < arms.size() && common; ++a) {
      next[a] = skipNops(w, next[a], arms[a].end);
      common = next[a] < arms[a].end && isPlainInstruction(w[next[a]]) &&
               sameInstruction(w[next[a]], w[next[0]]);
    }
    if (!common || !independentOfLaterCode(w, w[next[0]], laterCode, c.optimizer.sharedPlaces()) ||
        !renaming.accept(next[0])) {
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
  // The registers to rename depend on the lines that really move.
  RegisterRenaming movedRenaming(c, condition);
  for (std::size_t k = 0; k < length; ++k) {
    movedRenaming.accept(runs[0][k]);
  }
  movedRenaming.apply();
  for (std::size_t a = 1; a < arms.size(); ++a) {
    for (std::size_t k = 0; k < length; ++k) {
      w.deleteLine(runs[a][k]);
    }
  }
  // The first arm's copies go in front of the condition, in their order; whatever
  // branched to the condition's first line now reaches them first.
  const std::string conditionLabel = w.takeLabel(condition.begin);
  for (std::size_t k = 0; k < length; ++k) {
    w.moveLines(runs[0][k], 1, condition.begin + static_cast<int>(k));
  }
  w.setLabel(condition.begin, conditionLabel);
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
        if (changesRegister(later, reg) && mentionsRegisterName(load, reg)) {
          kept = false;
        }
      }
      kept = kept && !storeMayReach(later.destination, load.source, 4, c.optimizer.sharedPlaces());
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
