// Branch threading on the end label of an IF with ELSE or of a CASE.
#include <string>
#include <vector>

#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/rewrite_passes.h"

namespace vorax {
namespace {

using peephole::isDataMnemonic;
using peephole::isLocalLabel;
using peephole::isMarkerLabel;
using peephole::sameInstruction;

bool isBranchTo(const WindowLine& line, std::string_view label) {
  return line.mnemonic == "bra" && line.source == label;
}

// "L: bra E": whatever branches to L may branch to E at once.
void bypassLabelledBranches(PeepholeWindow& w, std::string_view endLabel) {
  for (int i = 0; i < w.count(); ++i) {
    const WindowLine& line = w[i];
    if (isBranchTo(line, endLabel) && isLocalLabel(line.label) && line.label != endLabel &&
        !w.labelUses().usedOutsideWindow(line.label)) {
      const std::string label = w.takeLabel(i);
      w.redirectLabel(label, endLabel);
    }
  }
}

// A line that a shared tail may hold.
bool isShareable(const WindowLine& line) {
  return line.mnemonic != "nop" && line.mnemonic != "org" && line.mnemonic != "bcx" &&
         line.mnemonic != "bcc" && !isDataMnemonic(line.mnemonic) && !isMarkerLabel(line.label);
}

int previousLine(const PeepholeWindow& w, int i) {
  --i;
  while (i >= 0 && w[i].mnemonic == "nop" && w[i].label.empty()) {
    --i;
  }
  return i;
}

// The lines in front of "bra E" at `early` repeat those in front of "bra E" at `late`:
// the early copy becomes a branch into the late one. Returns whether it did.
bool shareTail(Compilation& c, int early, int late) {
  PeepholeWindow& w = c.emitter.window();
  int earlyLine = previousLine(w, early);
  int lateLine = previousLine(w, late);
  int earlyTop = -1;
  int lateTop = -1;
  while (earlyLine >= 0 && lateLine > early && isShareable(w[earlyLine]) &&
         isShareable(w[lateLine]) && sameInstruction(w[earlyLine], w[lateLine])) {
    earlyTop = earlyLine;
    lateTop = lateLine;
    // A labelled line is where another way enters the early copy: it can be the top of
    // the shared run, never in its middle.
    if (!w[earlyLine].label.empty()) {
      break;
    }
    earlyLine = previousLine(w, earlyLine);
    lateLine = previousLine(w, lateLine);
  }
  if (earlyTop < 0) {
    return false;
  }
  if (w[lateTop].label.empty()) {
    w.setLabel(lateTop, "$" + std::to_string(c.emitter.newLabelNumber()));
  }
  const std::string targetLabel = w[lateTop].label;
  for (int i = earlyTop + 1; i <= early; ++i) {
    w.deleteLine(i);
  }
  w.setMnemonic(earlyTop, "bra");
  w.setSource(earlyTop, targetLabel);
  w.setDestination(earlyTop, "");
  return true;
}

}  // namespace

void threadBranches(Compilation& c, std::string_view endLabel) {
  PeepholeWindow& w = c.emitter.window();
  bypassLabelledBranches(w, endLabel);
  bool shared = true;
  while (shared) {
    shared = false;
    std::vector<int> branches;
    for (int i = 0; i < w.count(); ++i) {
      if (isBranchTo(w[i], endLabel)) {
        branches.push_back(i);
      }
    }
    for (std::size_t late = branches.size(); late-- > 1 && !shared;) {
      for (std::size_t early = 0; early < late && !shared; ++early) {
        shared = shareTail(c, branches[early], branches[late]);
      }
    }
  }
}

}  // namespace vorax
