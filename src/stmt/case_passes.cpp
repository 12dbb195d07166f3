#include "stmt/case_passes.h"

#include <map>
#include <optional>
#include <string_view>

#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/case_dispatch.h"
#include "stmt/control_flow.h"
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

// An arm that does nothing but call a routine: "L: bsr X" then "bra end".
struct CallArm {
  int call = 0;
  int exit = 0;
  std::string routine;
};

std::optional<CallArm> callArmAt(const PeepholeWindow& w, std::string_view label,
                                 std::string_view endLabel) {
  const int at = w.findLabel(label);
  if (at < 0 || w[at].mnemonic != "bsr") {
    return std::nullopt;
  }
  const int next = nextCode(w, at + 1);
  if (next >= w.count() || w[next].mnemonic != "bra" || w[next].source != endLabel ||
      !w[next].label.empty()) {
    return std::nullopt;
  }
  return CallArm{at, next, w[at].source};
}

// The line of a jump-table dispatch that the call table changes.
struct TableLines {
  int jump = -1;             // "jmp @R"
  std::vector<int> entries;  // the "dl" lines
  int belowRange = -1;       // "blt else"
  int aboveRange = -1;       // "bgt else"
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
  for (int i = t.jump - 1; i >= dispatchStart && t.belowRange < 0; --i) {
    if (w[i].mnemonic == "bgt" && w[i].source == lines.elseLabel && t.aboveRange < 0) {
      t.aboveRange = i;
    } else if (w[i].mnemonic == "blt" && w[i].source == lines.elseLabel && t.aboveRange >= 0) {
      t.belowRange = i;
    }
  }
  if (t.entries.empty() || t.belowRange < 0) {
    return std::nullopt;
  }
  t.scale = nextCode(w, t.aboveRange + 1);
  return t;
}

// Fills a line that insertBefore made.
void setLine(PeepholeWindow& w, int i, std::string_view mnemonic, std::string_view source,
             std::string_view destination) {
  w[i].mnemonic = mnemonic;
  w.setSource(i, source);
  w[i].destination = destination;
}

}  // namespace

// jmp @R / org / T: dl A1,A2...   with every arm Ak: bsr Pk / bra E
//   =>   jsr @R / bra E / org / T: dl P1,P2...
// With an ELSE part of the same form its routine becomes entry 0, which the selectors
// outside the table's range index:
//   blt P / cmp.l #n,R / ble Q / P: mov.l #-1,R / Q: inc.l #1,R / (scale, load, jsr)
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

  for (const auto& [label, arm] : arms) {
    w.deleteLine(arm.call);
    w.deleteLine(arm.exit);
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
    w.deleteLine(elseArm->call);
    w.deleteLine(elseArm->exit);
    // The new entry takes the table's label: it is entry 0 now.
    w.insertBefore(table->entries.front());
    setLine(w, table->entries.front(), "dl", tableEntryText(elseArm->routine), "");
  }
  w[table->jump].mnemonic = "jsr";
  w.insertBefore(table->jump + 1);
  setLine(w, table->jump + 1, "bra", lines.endLabel, "");
  if (elseArm) {
    const std::string below = newLocalLabel(c);
    const std::string inRange = newLocalLabel(c);
    w.insertBefore(table->scale);
    setLine(w, table->scale, "mov.l", "#-1", reg);
    w[table->scale].label = below;
    w.insertBefore(table->scale + 1);
    setLine(w, table->scale + 1, "inc.l", "#1", reg);
    w[table->scale + 1].label = inRange;
    w.setSource(table->belowRange, below);
    w[table->aboveRange].mnemonic = "ble";
    w.setSource(table->aboveRange, inRange);
  }
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

void runCasePasses(Compilation& c, const CaseLines& lines) {
  for (const std::string& marker : lines.markers) {
    lookupMarker(c, marker);
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
