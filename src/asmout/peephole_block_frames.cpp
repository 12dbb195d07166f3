// Block tier, procedure-frame passes: the temporary-area reservation at routine entry,
// and the entry and exit sequences of routines that turn out not to need their frame.
// A window at flush time holds one routine from its entry (line 0) to its exit (the
// newest lines), which is what these passes rely on; anything that does not look exactly
// like an entry or exit sequence is left alone.
#include <algorithm>
#include <string>

#include "asmout/peephole_flow.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_text.h"

namespace vorax::peephole {
namespace {

bool isLine(const WindowLine& line, std::string_view mnemonic, std::string_view source,
            std::string_view destination) {
  return line.mnemonic == mnemonic && line.source == source && line.destination == destination;
}

// An immediate adjustment of the stack pointer ("sub.l #24,sp", "adds #2,sp").
bool isStackAdjustment(const WindowLine& line) {
  return startsWith(line.source, "#") && line.destination == "sp";
}

// The pop of a function result at the exit, with the number of bytes it pops.
int resultPopSize(const WindowLine& line) {
  if (line.source != "@sp+" || line.destination != "r0") {
    return 0;
  }
  if (line.mnemonic == "mov.w") return 2;
  if (line.mnemonic == "mov.l") return 4;
  return 0;
}

// The push of the function result slot at entry ("mov.w r0,@-sp"), with its size.
int resultSlotPushSize(const WindowLine& line) {
  if (line.source != "r0" || line.destination != "@-sp") {
    return 0;
  }
  if (line.mnemonic == "mov.w") return 2;
  if (line.mnemonic == "mov.l") return 4;
  return 0;
}

// The body neither calls a compiled routine (which would read the display through fp),
// nor jumps through a register, nor addresses anything relative to a register, nor names
// fp at all outside the lines that are about to go.
bool bodyNeedsNoFrame(const PeepholeWindow& w, int firstKept, int lastKept) {
  for (int i = 0; i < w.count(); ++i) {
    const WindowLine& line = w[i];
    if ((line.mnemonic == "bsr" && !startsWith(line.source, "\\")) || line.mnemonic == "jsr" ||
        startsWith(line.source, "@(") || startsWith(line.destination, "@(")) {
      return false;
    }
    if (i >= firstKept && i <= lastKept && mentions(line, "fp")) {
      return false;
    }
  }
  return true;
}

// The exit "mov.l fp,sp / mov.l @sp+,fp / [adds #r,sp / [extu.w r0]] / rts" at the end
// of the window: the position of "mov.l fp,sp", or -1. `resultSize` 0 asks for a
// procedure's exit, 2 or 4 for a function whose result pop became "adds".
int frameExitAtEnd(const PeepholeWindow& w, int resultSize) {
  int i = w.count() - 1;
  if (i < 2 || w[i].mnemonic != "rts") {
    return -1;
  }
  --i;
  if (resultSize != 0) {
    if (isLine(w[i], "extu.w", "r0", "")) {
      --i;
    }
    if (i < 2 || !isLine(w[i], "adds", immediateText(resultSize), "sp")) {
      return -1;
    }
    --i;
  }
  if (i < 1 || !isLine(w[i], "mov.l", "@sp+", "fp") || !isLine(w[i - 1], "mov.l", "fp", "sp")) {
    return -1;
  }
  return i - 1;
}

}  // namespace

// Entry "bsr \slset / sub.l #n,sp" (or the inline entries): the last 24 bytes of the
// reservation are the WITH slots; a routine that never stored into them does not need
// them. n = 24 drops the line; 26 and 28 become "subs".
int stackReservationAdjustment(RuleContext& context) {
  PeepholeWindow& w = context.window();
  if (context.withSlotsUsed) {
    return 0;
  }
  const int last = std::min(10, w.count() - 1);
  int target = -1;
  for (int i = 1; i <= last && target < 0; ++i) {
    if (w[i].mnemonic == "bsr" && w[i].source == "\\slset") target = i + 1;
  }
  for (int i = 1; i <= last && target < 0; ++i) {
    if (isLine(w[i], "mov.l", "fp", "\\ram+12")) target = i + 2;
  }
  for (int i = 1; i <= last && target < 0; ++i) {
    if (isLine(w[i], "mov.l", "\\ram+12", "r0")) target = i + 3;
  }
  if (target < 0 || target >= w.count()) {
    return 0;
  }
  const WindowLine& line = w[target];
  const auto size = immediateValue(line.source);
  if (line.mnemonic != "sub.l" || line.destination != "sp" || !size || *size < 24) {
    return 0;
  }
  if (*size == 24) {
    w.deleteLine(target);
    return 1;
  }
  if (*size == 26 || *size == 28) {
    w.setMnemonic(target, "subs");
  }
  w.setSource(target, immediateText(*size - 24));
  return 1;
}

// mov.b #k,r0 / bsr \slset / body / mov.l fp,sp / mov.l @sp+,fp / rts   =>   body / rts
// A procedure that reaches nothing through its frame (no "@(" operand, no call of a
// compiled routine) and reserves no locals does not need the frame built for it.
int leafRoutineFrame(RuleContext& context) {
  PeepholeWindow& w = context.window();
  const int n = w.count();
  if (n <= 3 || w[0].mnemonic != "mov.b" || w[1].source != "\\slset" || isStackAdjustment(w[2]) ||
      !w[2].label.empty()) {
    return 0;
  }
  if (!isLine(w[n - 3], "mov.l", "fp", "sp") || w[n - 2].source != "@sp+" ||
      w[n - 1].mnemonic != "rts" || !bodyNeedsNoFrame(w, 2, n - 4)) {
    return 0;
  }
  w.deleteLine(0);
  w.deleteLine(1);
  w.deleteLine(n - 3);
  w.deleteLine(n - 2);
  return 1;
}

// mov.w R,@(4,fp) / mov.l fp,sp / mov.l @sp+,fp / mov.w @sp+,r0
//   =>   mov.w R,r0 / mov.l fp,sp / mov.l @sp+,fp / adds #2,sp
// (likewise "mov.l" with "mov.l @sp+,r0" and "adds #4"; and "mov.b R,@(5,fp)" when the
// exit zero-extends r0 with "extu.w r0" before "rts" or "jmp @r1".)
// The result slot is written and then popped into r0 at once, so the value can go to r0
// directly and the pop only has to release the slot. The three exit lines must not be
// branch targets (a path jumping there would find r0 unset); the frame release and the
// restore of fp leave r0 alone; the return-address pop and "adds" that may follow do too.
// A byte result is allowed only with the extension, which makes the slot's other byte
// irrelevant.
int resultSlotIntoRegister(RuleContext& context) {
  PeepholeWindow& w = context.window();
  int changes = 0;
  for (int i = 1; i + 2 < w.count(); ++i) {
    if (!isLine(w[i], "mov.l", "fp", "sp") || !isLine(w[i + 1], "mov.l", "@sp+", "fp") ||
        !w[i].label.empty() || !w[i + 1].label.empty() || !w[i + 2].label.empty()) {
      continue;
    }
    const int popSize = resultPopSize(w[i + 2]);
    const WindowLine& store = w[i - 1];
    if (popSize == 0 || !isWorkRegister(store.source)) {
      continue;
    }
    bool matches = store.destination == "@(4,fp)" && operationSize(store.mnemonic) == popSize &&
                   startsWith(store.mnemonic, "mov.");
    if (!matches && store.mnemonic == "mov.b" && store.destination == "@(5,fp)" && popSize == 2) {
      int j = i + 3;
      while (j < w.count() && w[j].label.empty() &&
             ((startsWith(w[j].mnemonic, "mov.") && w[j].source == "@sp+" &&
               w[j].destination == "r1") ||
              isStackAdjustment(w[j]))) {
        ++j;
      }
      matches = j < w.count() && w[j].label.empty() && isLine(w[j], "extu.w", "r0", "");
    }
    if (!matches) {
      continue;
    }
    if (store.source == "r0") {
      w.deleteLine(i - 1);
    } else {
      w.setDestination(i - 1, "r0");
    }
    w.setMnemonic(i + 2, "adds");
    w.setDestination(i + 2, "sp");
    w.setSource(i + 2, popSize == 2 ? "#2" : "#4");
    ++changes;
  }
  return changes;
}

// mov.w r0,@-sp / mov.b #k,r0 / bsr \slset / body /
//   mov.l fp,sp / mov.l @sp+,fp / adds #2,sp / [extu.w r0] / rts
// =>mov.w r0,@-sp / body / adds #2,sp / [extu.w r0] / rts
// A function whose result already goes to r0 directly (see the result-slot pass) and that
// reaches nothing through its frame does not need the frame, as the leaf-routine pass
// finds for procedures. The result slot stays: "adds" still releases it.
int leafFunctionFrame(RuleContext& context) {
  PeepholeWindow& w = context.window();
  if (w.count() <= 6) {
    return 0;
  }
  const int slot = resultSlotPushSize(w[0]);
  if (slot == 0 || w[1].mnemonic != "mov.b" || w[1].destination != "r0" ||
      !isLine(w[2], "bsr", "\\slset", "") || isStackAdjustment(w[3]) || !w[3].label.empty() ||
      !w[1].label.empty() || !w[2].label.empty()) {
    return 0;
  }
  const int exit = frameExitAtEnd(w, slot);
  if (exit <= 3 || !bodyNeedsNoFrame(w, 3, exit - 1)) {
    return 0;
  }
  w.deleteLine(1);
  w.deleteLine(2);
  w.deleteLine(exit);
  w.deleteLine(exit + 1);
  return 1;
}

// mov.l fp,@-sp / mov.l sp,fp / mov.l \ram+12,r0 / mov.l r0,@-sp / mov.l fp,@-sp /
//   body / mov.l fp,sp / mov.l @sp+,fp / rts          =>   body / rts
// The inline entry (routines declared in advance) builds the same frame as "\slset";
// when the body needs no frame the entry and the frame release go, as in the leaf pass.
// A function (result slot pushed first) qualifies once its result pop became "adds".
int leafInlineEntryFrame(RuleContext& context) {
  PeepholeWindow& w = context.window();
  const int slot = w.count() > 0 ? resultSlotPushSize(w[0]) : 0;
  const int k = slot == 0 ? 0 : 1;
  if (w.count() <= k + 8) {
    return 0;
  }
  if (!isLine(w[k], "mov.l", "fp", "@-sp") || !isLine(w[k + 1], "mov.l", "sp", "fp") ||
      !isLine(w[k + 2], "mov.l", "\\ram+12", "r0") || !isLine(w[k + 3], "mov.l", "r0", "@-sp") ||
      !isLine(w[k + 4], "mov.l", "fp", "@-sp") || isStackAdjustment(w[k + 5]) ||
      !w[k + 5].label.empty()) {
    return 0;
  }
  for (int i = 1; i <= k + 4; ++i) {
    if (!w[i].label.empty()) {
      return 0;
    }
  }
  const int exit = frameExitAtEnd(w, slot);
  if (exit <= k + 5 || !bodyNeedsNoFrame(w, k + 5, exit - 1)) {
    return 0;
  }
  for (int i = k; i <= k + 4; ++i) {
    w.deleteLine(i);
  }
  w.deleteLine(exit);
  w.deleteLine(exit + 1);
  return 1;
}

// adds #4,sp / mov.l fp,sp   =>   mov.l fp,sp         (also subs, add.l, sub.l on sp)
// The frame release sets sp from fp, so an adjustment of sp just before it is lost anyway;
// it touches no flags and no other register.
int stackAdjustBeforeFrameRelease(RuleContext& context) {
  PeepholeWindow& w = context.window();
  int changes = 0;
  for (int i = 1; i < w.count(); ++i) {
    const WindowLine& before = w[i - 1];
    const std::string_view m = before.mnemonic;
    if (isLine(w[i], "mov.l", "fp", "sp") && isStackAdjustment(before) &&
        (m == "adds" || m == "subs" || m == "add.l" || m == "sub.l")) {
      w.deleteLine(i - 1);
      ++changes;
    }
  }
  return changes;
}

}  // namespace vorax::peephole
