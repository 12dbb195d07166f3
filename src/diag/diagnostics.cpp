#include "diag/diagnostics.h"

#include <system_error>

#include "diag/error_table.h"
#include "diag/text_encoding.h"
#include "driver/compilation.h"

namespace vorax {

std::string composeErrorMessage(int number, std::string_view suffix) {
  std::string message = "Error:" + std::to_string(number) + "  ";
  message += errorText(number);
  message += suffix;
  return message;
}

Diagnostics::Diagnostics(Compilation& compilation) : compilation_(compilation) {}

void Diagnostics::reportError(int number) {
  Compilation& c = compilation_;
  OutputFile& output = c.output;
  Reader& reader = c.reader;

  SourceErrorReport report;
  report.number = number;
  report.message = composeErrorMessage(number, errorSuffix_);
  report.text = std::string(errorText(number)) + errorSuffix_;

  try {
    c.emitter.writeWindowUnchanged();
    if (reader.fileDepth() >= 0) {
      report.fileName = reader.innermostFileName();
      report.lineNumber = reader.innermostLineNumber();
      report.hasPosition = report.lineNumber > 0;
      report.indentation = reader.indentation();
      report.column = report.indentation + c.scanner.tokenColumn() + 1;
      report.lineAsWritten = cp932ToUtf8(reader.lineAsWritten());
      const std::string& written = reader.lineAsWritten();
      for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(report.column); ++i) {
        report.caretPrefix += i < written.size() && written[i] == '\t' ? '\t' : ' ';
      }
      if (output.isOpen()) {
        output.flush();
        output.writeLine("");
        output.writeLine(reader.savedLine());
        output.writeLine(std::string(static_cast<std::size_t>(c.scanner.tokenColumn()), ' ') + "^");
      }
    }
  } catch (const std::system_error&) {
    // A failed write ends the writing; the message is still shown.
  }
  reader.closeAllSources();

  try {
    if (output.isOpen()) {
      output.writeLine(utf8ToCp932(report.message));
      output.writeLine("\tend");
      output.writeLine("");
      output.close();
    }
  } catch (const std::system_error&) {
    // As above: the error is shown even when it could not be written.
  }

  c.host.showSourceError(report);
  c.host.repaint();
  throw tokeninvalid();
}

void Diagnostics::reportErrorWithName(int number, std::string_view name) {
  errorSuffix_ = " ";
  errorSuffix_ += name;
  errorSuffix_ += " ";
  reportError(number);
}

void Diagnostics::writeWarning(std::string_view line) {
  compilation_.emitter.emitCommentLine(line);
  ++warningCount_;
}

}  // namespace vorax
