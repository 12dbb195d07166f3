#include "support/emit_fixture.h"

#include <gtest/gtest.h>

namespace vorax::testing {

CompileOptions pipelineOnly() {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  options.guardLines = false;  // the tests feed the window fragments, not programs
  return options;
}

EmitFixture::EmitFixture(CompileOptions options)
    : outputPath_(tree_.root() / "OUT.asm"),
      compilation_(std::make_unique<Compilation>(host_, options)) {
  compilation_->output.create(outputPath_);
}

namespace {

// Position of the first "," outside parentheses and quotes, or npos.
std::size_t operandSplit(std::string_view operands) {
  int depth = 0;
  char quote = '\0';
  for (std::size_t i = 0; i < operands.size(); ++i) {
    const char c = operands[i];
    if (quote != '\0') {
      quote = c == quote ? '\0' : quote;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

void EmitFixture::emit(std::string_view line) {
  const std::size_t colon = line.find(':');
  const std::size_t firstBlank = line.find(' ');
  if (colon != std::string_view::npos && colon < firstBlank) {
    emitter().defineLabel(false, line.substr(0, colon));
    line.remove_prefix(colon + 1);
    while (!line.empty() && line[0] == ' ') {
      line.remove_prefix(1);
    }
  }
  const std::size_t blank = line.find(' ');
  const std::string_view mnemonic = line.substr(0, blank);
  const std::string_view operands =
      blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
  const std::size_t comma = operandSplit(operands);
  if (comma == std::string_view::npos) {
    emitter().emitInstruction(mnemonic, operands, "");
  } else {
    emitter().emitInstruction(mnemonic, operands.substr(0, comma), operands.substr(comma + 1));
  }
}

void EmitFixture::emitAll(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    emit(line);
  }
}

std::vector<std::string> EmitFixture::writtenLines() {
  compilation_->output.flush();
  return tree_.readLines(outputPath_.filename().string());
}

std::vector<std::string> EmitFixture::flushAndReadLines() {
  emitter().flushWindow();
  return writtenLines();
}

std::vector<std::string> windowText(const PeepholeWindow& window) {
  std::vector<std::string> lines;
  for (int i = 0; i < window.count(); ++i) {
    formatWindowLine(window[i], lines);
    lines.insert(lines.end(), window[i].attached.begin(), window[i].attached.end());
  }
  return lines;
}

}  // namespace vorax::testing
