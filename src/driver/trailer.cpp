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
  const auto generated = e.emittedLines() - e.labelFillerNops();
  const auto removed = e.removedLines() - e.labelFillerNops();
  const auto remaining = e.emittedLines() - e.removedLines();
  out.writeLine("; (asm lines) " + std::to_string(generated) + "-" + std::to_string(removed) +
                "=" + std::to_string(remaining));
  out.writeLine("\tend");
}

}  // namespace vorax
