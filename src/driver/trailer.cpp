#include "driver/trailer.h"

#include <string>

#include "driver/compilation.h"

namespace vorax {

// Written straight to the file: the window has been flushed already.
void writeTrailer(Compilation& c) {
  OutputFile& out = c.output;
  if (c.compilationKind == TokenCode::Program) {
    out.writeLine("\\eoc\tequ\t($+1)/2*2");
  }
  if (c.diagnostics.warningCount() > 0 || c.directives.settings().unusedReportSwitch) {
    out.writeLine("; (# Warning) " + std::to_string(c.diagnostics.warningCount()));
  }
  out.writeLine("; (pas lines) " + std::to_string(c.reader.sourceLineCount()));
  const Emitter& e = c.emitter;
  // Label-carrying filler lines are no generated code: those the optimizer removed count
  // neither as generated nor as removed. Those still standing (no optimizer to remove
  // them) are output lines like any other, so generated - removed = remaining holds
  // either way and no count goes negative.
  const auto fillersRemoved = e.removedLabelFillers();
  const auto generated = e.emittedLines() - fillersRemoved;
  const auto removed = e.removedLines() - fillersRemoved;
  const auto remaining = e.emittedLines() - e.removedLines();
  out.writeLine("; (asm lines) " + std::to_string(generated) + "-" + std::to_string(removed) + "=" +
                std::to_string(remaining));
  out.writeLine("\tend");
}

}  // namespace vorax
