#include "stmt/case_passes.h"

#include <array>
#include <map>
#include <optional>
#include <string_view>

#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/case_dispatch.h"
#include "stmt/control_flow.h"
#include "stmt/for_passes.h"
#include "stmt/rewrite_passes.h"

namespace vorax {
namespace {

using peephole::startsWith;

// The next line from `i` on that is not an unlabelled "nop".
int nextCode(const PeepholeWindow& w, int i) {
  while (i < w.count() && w[i].mnemonic == "nop" && w[i].label.empty()) {
    ++i;
  }
  return i;
}

std::string_view trimBlanks(std::string_view item) {
  while (!item.empty() && item.front() == ' ') {
    item.remove_prefix(1);
  }
  return item;
}

// The items of a "dl" operand, blanks in front of each dropped.
std::vector<std::string> tableItems(std::string_view source) {
  std::vector<std::string> items;
  while (true) {
    const std::size_t comma = source.find(',');
    items.emplace_back(trimBlanks(source.substr(0, comma)));
    if (comma == std::string_view::npos) {
      return items;
    }
    source.remove_prefix(comma + 1);
  }
}

// An arm that does nothing but call a routine: "L: bsr X" then "bra end". The arm may
// reach that pair through label-carrying "nop" lines and one "bra" into a copy that
// branch threading shared with another arm.
struct CallArm {
  std::vector<int> lines;  // from the arm's label to its "bra end"
  std::string routine;
};

// The next line from `i` on that is not a "nop", labelled or not.
int skipAnyNops(const PeepholeWindow& w, int i) {
  while (i < w.count() && w[i].mnemonic == "nop") {
    ++i;
  }
  return i;
}

std::optional<CallArm> callArmAt(const PeepholeWindow& w, std::string_view label,
                                 std::string_view endLabel) {
  int at = w.findLabel(label);
  if (at < 0) {
    return std::nullopt;
  }
  CallArm arm;
  for (int i = at; i < skipAnyNops(w, at); ++i) {
    arm.lines.push_back(i);
  }
  at = skipAnyNops(w, at);
  if (at < w.count() && w[at].mnemonic == "bra" && w[at].source != endLabel) {
    arm.lines.push_back(at);
    const int target = w.findLabel(w[at].source);
    if (target < 0) {
      return std::nullopt;
    }
    for (int i = target; i < skipAnyNops(w, target); ++i) {
      arm.lines.push_back(i);
    }
    at = skipAnyNops(w, target);
  }
  if (at >= w.count() || w[at].mnemonic != "bsr") {
    return std::nullopt;
  }
  const int next = nextCode(w, at + 1);
  if (next >= w.count() || w[next].mnemonic != "bra" || w[next].source != endLabel ||
      !w[next].label.empty()) {
    return std::nullopt;
  }
  arm.lines.push_back(at);
  arm.lines.push_back(next);
  arm.routine = w[at].source;
  return arm;
}

// Deletes the lines of the arms the table no longer branches to, unless code outside
// them still names one of their labels (a copy shared with an arm that stays): then they
// are left for the unreachable-code passes.
void deleteArmLines(PeepholeWindow& w, const std::vector<const CallArm*>& arms) {
  std::vector<bool> inArms(static_cast<std::size_t>(w.count()), false);
  for (const CallArm* arm : arms) {
    for (int line : arm->lines) {
      inArms[static_cast<std::size_t>(line)] = true;
    }
  }
  for (const CallArm* arm : arms) {
    for (int line : arm->lines) {
      const std::string& label = w[line].label;
      for (int i = 0; i < w.count() && !label.empty(); ++i) {
        if (!inArms[static_cast<std::size_t>(i)] && peephole::namesLabel(w[i].source, label)) {
          return;
        }
      }
    }
  }
  for (const CallArm* arm : arms) {
    for (int line : arm->lines) {
      if (w[line].mnemonic != "nop") {
        w.deleteLine(line);
      }
    }
  }
}

// The line of a jump-table dispatch that the call table changes.
struct TableLines {
  int jump = -1;             // "jmp @R"
  std::vector<int> entries;  // the "dl" lines
  int outOfRange = -1;       // "bhi else"
  int scale = -1;            // the first line after the range check
};

std::optional<TableLines> findTableLines(const PeepholeWindow& w, const CaseLines& lines,
                                         int dispatchStart) {
  TableLines t;
  for (int i = dispatchStart; i < w.count(); ++i) {
    if (w[i].mnemonic == "jmp") {
      t.jump = i;
    }
  }
  if (t.jump < 0) {
    return std::nullopt;
  }
  for (int i = t.jump + 1; i < w.count(); ++i) {
    if (w[i].mnemonic == "dl") {
      t.entries.push_back(i);
    } else if (w[i].mnemonic != "org" && w[i].mnemonic != "nop") {
      return std::nullopt;
    }
  }
  for (int i = t.jump - 1; i >= dispatchStart && t.outOfRange < 0; --i) {
    if (w[i].mnemonic == "bhi" && w[i].source == lines.elseLabel) {
      t.outOfRange = i;
    }
  }
  if (t.entries.empty() || t.outOfRange < 0) {
    return std::nullopt;
  }
  t.scale = nextCode(w, t.outOfRange + 1);
  return t;
}

// Fills a line that insertBefore made.
void setLine(PeepholeWindow& w, int i, std::string_view mnemonic, std::string_view source,
             std::string_view destination) {
  w.setMnemonic(i, mnemonic);
  w.setSource(i, source);
  w.setDestination(i, destination);
}

}  // namespace

// jmp @R / org / T: dl A1,A2...   with every arm Ak: bsr Pk / bra E
//   =>   jsr @R / bra E / org / T: dl P1,P2...
// With an ELSE part of the same form its routine becomes entry 0, which the selectors
// outside the table's range index:
//   cmp.l #n,R / bls Q / mov.l #-1,R / Q: inc.l #1,R / (scale, load, jsr)
bool makeCallTable(Compilation& c, const CaseLines& lines, int dispatchStart) {
  PeepholeWindow& w = c.emitter.window();
  const std::optional<TableLines> table = findTableLines(w, lines, dispatchStart);
  if (!table || !startsWith(w[table->jump].source, "@")) {
    return false;
  }
  std::map<std::string, CallArm, std::less<>> arms;
  for (int line : table->entries) {
    for (const std::string& label : tableItems(w[line].source)) {
      if (arms.contains(label)) {
        continue;
      }
      const std::optional<CallArm> arm = callArmAt(w, label, lines.endLabel);
      if (!arm) {
        return false;
      }
      arms.emplace(label, *arm);
    }
  }
  std::optional<CallArm> elseArm;
  if (lines.hasElse) {
    elseArm = callArmAt(w, lines.elseLabel, lines.endLabel);
  }

  for (int line : table->entries) {
    std::string source;
    for (const std::string& label : tableItems(w[line].source)) {
      source += (source.empty() ? "" : ",") + tableEntryText(arms.at(label).routine);
    }
    w.setSource(line, source);
  }
  const std::string reg = w[table->jump].source.substr(1);
  if (elseArm) {
    // The new entry takes the table's label: it is entry 0 now.
    w.insertBefore(table->entries.front());
    setLine(w, table->entries.front(), "dl", tableEntryText(elseArm->routine), "");
  }
  w.setMnemonic(table->jump, "jsr");
  w.insertBefore(table->jump + 1);
  setLine(w, table->jump + 1, "bra", lines.endLabel, "");
  if (elseArm) {
    const std::string inRange = newLocalLabel(c);
    w.insertBefore(table->scale);
    setLine(w, table->scale, "mov.l", "#-1", reg);
    w.insertBefore(table->scale + 1);
    setLine(w, table->scale + 1, "inc.l", "#1", reg);
    w.setLabel(table->scale + 1, inRange);
    w.setMnemonic(table->outOfRange, "bls");
    w.setSource(table->outOfRange, inRange);
  }
  // Positions: the arms stand in front of the dispatch, where lines were inserted.
  std::vector<const CallArm*> deleted;
  for (const auto& [label, arm] : arms) {
    deleted.push_back(&arm);
  }
  if (elseArm) {
    deleted.push_back(&*elseArm);
  }
  deleteArmLines(w, deleted);
  return true;
}

// cmp.X #v,R / beq else            =>   (nothing)
// cmp.X #lo,R / blt else / cmp.X #hi,R / ble else   =>   (nothing)
// when the chain ends in "bra else" anyway. A range group stays when the next range left
// its own lower test out because this group's upper test stood right before it.
bool dropTestsForElse(Compilation& c, const CaseLines& lines, int dispatchStart) {
  PeepholeWindow& w = c.emitter.window();
  const int newest = w.count() - 1;
  if (newest < dispatchStart || w[newest].mnemonic != "bra" ||
      w[newest].source != lines.elseLabel) {
    return false;
  }
  std::vector<int> code;
  for (int i = nextCode(w, dispatchStart); i < newest; i = nextCode(w, i + 1)) {
    code.push_back(i);
  }
  const auto is = [&](std::size_t k, std::initializer_list<std::string_view> mnemonics,
                      bool toElse) {
    if (k >= code.size()) {
      return false;
    }
    const WindowLine& line = w[code[k]];
    bool match = false;
    for (std::string_view m : mnemonics) {
      match = match || (m.back() == '.' ? startsWith(line.mnemonic, m) : line.mnemonic == m);
    }
    return match && (!toElse || line.source == lines.elseLabel);
  };
  bool changed = false;
  std::size_t k = 0;
  while (k < code.size()) {
    if (is(k, {"cmp."}, false) && is(k + 1, {"beq"}, true)) {
      w.deleteLine(code[k]);
      w.deleteLine(code[k + 1]);
      changed = true;
      k += 2;
    } else if (is(k, {"cmp."}, false) && is(k + 1, {"blt", "bcs"}, true) &&
               is(k + 2, {"cmp."}, false) && is(k + 3, {"ble", "bls"}, true) &&
               !(is(k + 4, {"cmp."}, false) && is(k + 5, {"ble", "bls"}, false))) {
      for (std::size_t j = k; j < k + 4; ++j) {
        w.deleteLine(code[j]);
      }
      changed = true;
      k += 4;
    } else {
      ++k;
    }
  }
  return changed;
}

namespace {

constexpr std::array<std::string_view, 6> kWorkRegisters = {"r0", "r1", "r2", "r3", "r4", "r5"};

bool isNameCharacter(char ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
         ch == '_' || ch == '\\' || ch == '.';
}

// Where `reg` stands in `text` as a name of its own, or npos.
std::size_t findRegister(std::string_view text, std::string_view reg, std::size_t from = 0) {
  for (std::size_t at = text.find(reg, from); at != std::string_view::npos;
       at = text.find(reg, at + 1)) {
    const std::size_t end = at + reg.size();
    if ((at == 0 || !isNameCharacter(text[at - 1])) &&
        (end == text.size() || !isNameCharacter(text[end]))) {
      return at;
    }
  }
  return std::string_view::npos;
}

bool namesRegister(const WindowLine& line, std::string_view reg) {
  return findRegister(line.source, reg) != std::string_view::npos ||
         findRegister(line.destination, reg) != std::string_view::npos;
}

std::string renamed(std::string_view text, std::string_view from, std::string_view to) {
  std::string result(text);
  for (std::size_t at = findRegister(result, from); at != std::string::npos;
       at = findRegister(result, from, at + to.size())) {
    result.replace(at, from.size(), to);
  }
  return result;
}

// The dispatch code gives the registers the first arm starts with up for registers the
// whole CASE leaves alone, so that lines every arm starts with can run before it. A
// register is renamed only when the dispatch sets it before any other use: then its value
// comes from nowhere else.
void freeDispatchRegisters(Compilation& c, LineRange firstArm, LineRange dispatch, int caseStart) {
  PeepholeWindow& w = c.emitter.window();
  std::vector<std::string_view> wanted;
  for (int i = nextCode(w, firstArm.begin); i < firstArm.end; i = nextCode(w, i + 1)) {
    if (peephole::isBranch(w[i].mnemonic) || peephole::isOpaque(w[i].mnemonic)) {
      break;
    }
    for (std::string_view reg : kWorkRegisters) {
      if (namesRegister(w[i], reg)) {
        wanted.push_back(reg);
      }
    }
  }
  for (std::string_view reg : wanted) {
    int first = dispatch.begin;
    while (first < dispatch.end && !namesRegister(w[first], reg)) {
      ++first;
    }
    if (first == dispatch.end) {
      continue;
    }
    const WindowLine& setter = w[first];
    const bool sets = peephole::clearsRegister(setter, reg) ||
                      (startsWith(setter.mnemonic, "mov.") && setter.destination == reg &&
                       findRegister(setter.source, reg) == std::string_view::npos);
    const std::string other = findUnusedRegister(c, caseStart);
    if (!sets || other.empty()) {
      return;
    }
    for (int i = dispatch.begin; i < dispatch.end; ++i) {
      if (namesRegister(w[i], reg)) {
        w.setSource(i, renamed(w[i].source, reg, other));
        w.setDestination(i, renamed(w[i].destination, reg, other));
      }
    }
  }
}

// Instructions every arm starts with run once, in front of the branch to the dispatch.
// Only with an ELSE part: without one, a selector that matches no tag runs no arm.
void mergeCaseArms(Compilation& c, const CaseLines& lines,
                   const std::vector<MarkerPosition>& arms) {
  PeepholeWindow& w = c.emitter.window();
  if (!lines.hasElse || arms.size() < 2) {
    return;
  }
  int jump = arms.front().markerLine - 1;
  while (jump >= 0 && !(w[jump].mnemonic == "bra" && w[jump].source == lines.dispatchLabel)) {
    --jump;
  }
  const int dispatch = w.findLabel(lines.dispatchLabel);
  if (jump < 0 || dispatch < 0) {
    return;
  }
  // Nothing to do unless every arm starts with the same instruction.
  for (const MarkerPosition& arm : arms) {
    const int first = arm.position;
    const int model = arms.front().position;
    if (first >= w.count() || model >= w.count() ||
        !peephole::sameInstruction(w[first], w[model])) {
      return;
    }
  }
  // Each arm's first line carries the arm's label, which must stay where the arm begins:
  // a "nop" takes the label over, and the arm's code follows it.
  std::vector<int> inserted(arms.size(), 0);
  for (std::size_t a = arms.size(); a-- > 0;) {
    const int start = arms[a].position;
    if (start < w.count() && !w[start].label.empty()) {
      w.insertBefore(start);
      w.setMnemonic(start, "nop");
      inserted[a] = 1;
    }
  }
  std::vector<LineRange> ranges;
  int shift = 0;
  for (std::size_t a = 0; a < arms.size(); ++a) {
    const int begin = arms[a].position + shift + inserted[a];
    shift += inserted[a];
    const int end = a + 1 < arms.size() ? arms[a + 1].markerLine + shift : dispatch + shift;
    ranges.push_back({begin, end});
  }
  const LineRange dispatchCode{dispatch + shift, w.count()};
  if (callsBetween(c, dispatchCode.begin, dispatchCode.end - 1)) {
    return;
  }
  freeDispatchRegisters(c, ranges.front(), dispatchCode, jump);
  mergeArms(c, {jump, jump + 1}, ranges, dispatchCode);
}

}  // namespace

void runCasePasses(Compilation& c, const CaseLines& lines) {
  std::vector<MarkerPosition> arms;
  bool allArms = true;
  for (const std::string& marker : lines.markers) {
    const std::optional<MarkerPosition> arm = lookupMarker(c, marker);
    allArms = allArms && arm.has_value();
    if (arm) {
      arms.push_back(*arm);
    }
  }
  if (allArms) {
    mergeCaseArms(c, lines, arms);
  }
  threadBranches(c, lines.endLabel);
  PeepholeWindow& w = c.emitter.window();
  const int dispatchStart = w.findLabel(lines.dispatchLabel);
  if (dispatchStart < 0 || w.empty()) {
    return;
  }
  if (w.last().mnemonic == "dl") {
    makeCallTable(c, lines, dispatchStart);
  } else {
    dropTestsForElse(c, lines, dispatchStart);
  }
}

}  // namespace vorax
