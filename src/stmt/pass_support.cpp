#include "stmt/pass_support.h"

#include "asmout/peephole_flow.h"
#include "asmout/peephole_text.h"

namespace vorax::stmtpass {

using peephole::contains;
using peephole::startsWith;

bool isFrameOperand(std::string_view text) {
  return startsWith(text, "@(") && contains(text, ",fp)");
}

unsigned flagsSetByLines(const PeepholeWindow& w, int begin, int end) {
  unsigned flags = 0;
  for (int i = begin; i < end; ++i) {
    flags |= peephole::flagsSetBy(w[i].mnemonic);
  }
  return flags;
}

bool flagsUnreadFrom(const PeepholeWindow& w, int start, int regionEnd, unsigned flags) {
  for (int i = start; flags != 0; ++i) {
    if (i >= regionEnd) {
      return true;
    }
    if (i >= w.count()) {
      return false;
    }
    const WindowLine& line = w[i];
    if (line.mnemonic == "nop" && line.label.empty()) {
      continue;
    }
    // A "bra" to a label not placed yet leaves for code that is still to come: a later
    // statement, which never reads flags an earlier one left.
    if (line.label.empty() && line.mnemonic == "bra" && w.findLabel(line.source) < 0) {
      return true;
    }
    if (!line.label.empty() || peephole::isBranch(line.mnemonic) ||
        peephole::isOpaque(line.mnemonic) || (peephole::flagsReadBy(line.mnemonic) & flags) != 0) {
      return false;
    }
    flags &= ~peephole::flagsSetBy(line.mnemonic);
  }
  return true;
}

}  // namespace vorax::stmtpass
