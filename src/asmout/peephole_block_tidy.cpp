// Block tier, tidying passes: labels nobody uses, shift pairs, the final jump, and the
// removal of the "nop" lines every deleting rule leaves behind.
#include <string>

#include "asmout/peephole_flow.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_text.h"

namespace vorax::peephole {

// $n: x   =>   x                     ($n has no uses)
// bra L / $n: x / y   =>   bra L / nop / nop      (then the code is unreachable)
// A label nothing branches to only marks a place; after a "bra" the lines up to the next
// label can no longer be reached and go, giving up their own label uses.
int unusedLocalLabels(RuleContext& context) {
  PeepholeWindow& w = context.window();
  int changes = 0;
  for (int i = 1; i < w.count(); ++i) {
    const WindowLine& line = w[i];
    if (!isLocalLabel(line.label) || isBranch(line.mnemonic) ||
        w.labelUses().uses(line.label) != 0 || labelNamedElsewhere(w, line.label, -1)) {
      continue;
    }
    w.setLabel(i, "");
    ++changes;
    if (w[i - 1].mnemonic == "bra") {
      for (int j = i; j < w.count() && (j == i || w[j].label.empty()); ++j) {
        if (w[j].mnemonic != "nop") {
          w.deleteLine(j);
        }
      }
    }
  }
  return changes;
}

// shar.X #1,R / shal.X #1,R   =>   bclr #0,R
// Shifting right and back left clears bit 0 and keeps every other bit. "bclr" sets no
// flags, so the flags must be dead after the pair, and the second line not a target.
bool shiftPair(RuleContext& context, int a) {
  PeepholeWindow& w = context.window();
  if (a + 1 >= w.count()) {
    return false;
  }
  const WindowLine& right = w[a];
  const WindowLine& left = w[a + 1];
  if (!startsWith(right.mnemonic, "shar.") || right.source != "#1" ||
      !startsWith(left.mnemonic, "shal.") || left.source != "#1" ||
      operationSize(left.mnemonic) != operationSize(right.mnemonic) ||
      left.destination != right.destination || !left.label.empty() ||
      !flagsDeadFrom(context, a + 2)) {
    return false;
  }
  w.setMnemonic(a, "bclr");
  w.setSource(a, "#0");
  w.deleteLine(a + 1);
  return true;
}

// bra L / [org, dl ...] / L: jmp X   =>   L: jmp X / [org, dl ...] / nop
// The branch to a jump becomes the jump; the label moves with it, so other branches to L
// still arrive at "jmp X".
int finalJump(RuleContext& context) {
  PeepholeWindow& w = context.window();
  const int newest = w.count() - 1;
  if (newest < 1 || w[newest].label.empty() || w[newest].mnemonic != "jmp") {
    return 0;
  }
  int j = newest - 1;
  while (j >= 0 && (w[j].mnemonic == "org" || w[j].mnemonic == "dl")) {
    --j;
  }
  if (j < 0 || w[j].mnemonic != "bra" || !w[j].label.empty() || w[j].source != w[newest].label) {
    return 0;
  }
  const std::string label = w[newest].label;
  const std::string target = w[newest].source;
  w.setLabel(j, label);
  w.setMnemonic(j, "jmp");
  w.setSource(j, target);
  w.deleteLine(newest);
  w.setLabel(newest, "");
  return 1;
}

namespace {

bool isGlobalLabel(std::string_view label) {
  return !label.empty() && !isLocalLabel(label) && !isMarkerLabel(label);
}

// The nop at i carries a label and line i+1 does too: keep one, send the other's users
// to it. A global label always stays; otherwise the one some line still names.
void mergeLabelIntoNext(PeepholeWindow& w, int i) {
  const std::string own = w[i].label;
  const std::string next = w[i + 1].label;
  bool keepOwn = false;
  if (isGlobalLabel(next)) {
    keepOwn = false;
  } else if (isGlobalLabel(own)) {
    keepOwn = true;
  } else {
    keepOwn = labelNamedElsewhere(w, own, -1) && !labelNamedElsewhere(w, next, -1);
  }
  if (keepOwn) {
    w.redirectLabel(next, own);
    w.setLabel(i + 1, own);
  } else {
    w.redirectLabel(own, next);
  }
}

}  // namespace

// nop   =>   (nothing);   L: nop / x   =>   L: x
// Deleted lines leave "nop"; they go now, their attached lines joining the line before.
// A labelled "nop" hands its label to the next line, except when it is the newest line or
// the next line carries a marker label.
int nopRemoval(RuleContext& context) {
  PeepholeWindow& w = context.window();
  int removed = 0;
  int i = 0;
  while (i < w.count()) {
    if (w[i].mnemonic != "nop") {
      ++i;
      continue;
    }
    if (!w[i].label.empty()) {
      if (i == w.count() - 1 || isMarkerLabel(w[i + 1].label)) {
        ++i;
        continue;
      }
      if (w[i + 1].label.empty()) {
        w.setLabel(i + 1, w[i].label);
      } else if (w.labelUses().usedOutsideWindow(w[i].label) ||
                 w.labelUses().usedOutsideWindow(w[i + 1].label)) {
        // A line already written branches to one of the labels: both stay.
        ++i;
        continue;
      } else {
        mergeLabelIntoNext(w, i);
      }
    }
    w.removeLineKeepingAttached(i);
    ++removed;
  }
  return removed;
}

}  // namespace vorax::peephole
