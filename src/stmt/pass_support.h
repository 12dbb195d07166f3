// Small questions the statement passes ask about window lines.
#pragma once

#include <string_view>

#include "asmout/peephole_window.h"

namespace vorax::stmtpass {

// "@(d,fp)" in any spelling of d.
bool isFrameOperand(std::string_view text);

// The condition flags that the lines [begin, end) set, as a mask of peephole flags.
unsigned flagsSetByLines(const PeepholeWindow& w, int begin, int end);

// No line from `start` on reads one of `flags` before an instruction sets it again,
// following straight-line code only: a label, a branch, a call or the end of the window
// reached first counts as a read, except that reaching `regionEnd` (the end of the
// statement's own code, after which no flag is ever live) or a "bra" to a label that is
// not placed yet (a jump out to code still to come) counts as no read.
bool flagsUnreadFrom(const PeepholeWindow& w, int start, int regionEnd, unsigned flags);

}  // namespace vorax::stmtpass
