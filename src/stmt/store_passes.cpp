// Passes over stores into frame slots: a store that repeats the last one into the same
// slot, and the save of a WITH's record address that nothing reads back.
#include "asmout/peephole_flow.h"
#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/pass_support.h"
#include "stmt/rewrite_passes.h"

namespace vorax {
namespace {

using peephole::changesRegister;
using peephole::isOpaque;
using peephole::isWorkRegister;
using peephole::sameInstruction;
using peephole::startsWith;
using peephole::storeMayReach;

// mov.X R,@(d,fp): a register stored into a frame slot.
bool isSlotStore(const WindowLine& line) {
  return startsWith(line.mnemonic, "mov.") && isWorkRegister(line.source) &&
         stmtpass::isFrameOperand(line.destination);
}

// The line leaves the stored register and the slot as they were.
bool keepsStore(const WindowLine& line, const WindowLine& store, const SharedPlaces& shared) {
  const int size = peephole::operationSize(store.mnemonic);
  return !isOpaque(line.mnemonic) && !changesRegister(line, store.source) &&
         !storeMayReach(line.destination, store.destination, size == 0 ? 4 : size, shared);
}

// The newest line before `before` that stores into the slot of `store` is identical to
// it, and every line from there on reaches `before` in a straight line.
bool storedBefore(const PeepholeWindow& w, int before, const WindowLine& store,
                  const SharedPlaces& shared) {
  for (int i = before - 1; i >= 0; --i) {
    const WindowLine& line = w[i];
    if (sameInstruction(line, store)) {
      return true;
    }
    if (!line.label.empty() || !keepsStore(line, store, shared)) {
      return false;
    }
  }
  return false;
}

}  // namespace

int dropRepeatedStores(Compilation& c, LineRange range) {
  PeepholeWindow& w = c.emitter.window();
  const SharedPlaces& shared = c.optimizer.sharedPlaces();
  int dropped = 0;
  // Code that another way leads into knows nothing of the stores before it.
  if (range.begin >= range.end || !w[range.begin].label.empty()) {
    return 0;
  }
  for (int i = range.begin; i < range.end; ++i) {
    const WindowLine& line = w[i];
    // Beyond a label the line may be reached another way; beyond a call nothing is known.
    if ((!line.label.empty() && i > range.begin) || line.mnemonic == "bsr") {
      break;
    }
    if (!isSlotStore(line)) {
      continue;
    }
    bool straight = true;
    for (int k = range.begin; k < i && straight; ++k) {
      straight = keepsStore(w[k], line, shared);
    }
    if (straight && storedBefore(w, range.begin, line, shared) &&
        stmtpass::flagsUnreadFrom(w, i + 1, range.end, peephole::flagsSetBy(line.mnemonic))) {
      w.deleteLine(i);
      ++dropped;
    }
  }
  return dropped;
}

bool dropUnreadSlotStore(Compilation& c, int from, std::string_view slot) {
  PeepholeWindow& w = c.emitter.window();
  int store = from;
  while (store < w.count() && !(w[store].mnemonic == "mov.l" && w[store].destination == slot)) {
    ++store;
  }
  if (store == w.count()) {
    return false;
  }
  for (int i = store + 1; i < w.count(); ++i) {
    if (peephole::contains(w[i].source, slot)) {
      return false;
    }
  }
  if (!stmtpass::flagsUnreadFrom(w, store + 1, w.count(), peephole::flagsSetBy("mov.l"))) {
    return false;
  }
  w.deleteLine(store);
  return true;
}

}  // namespace vorax
