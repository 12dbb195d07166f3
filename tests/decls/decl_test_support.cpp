#include "decl_test_support.h"

namespace vorax::testing {

std::vector<std::string> compileLines(const std::string& source) {
  const SourceTree tree;
  return compileSource(tree, source).lines;
}

ErrorSite errorSite(const std::string& source) {
  const SourceTree tree;
  const CompileResult result = compileSource(tree, source);
  ErrorSite site;
  if (result.host.errors.empty()) {
    return site;
  }
  site.number = result.host.errors.back().number;
  // The error block: source line, caret line, message, "\tend", "".
  const std::vector<std::string>& lines = result.lines;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    if (lines[i].rfind("Error:", 0) == 0) {
      const std::string& sourceLine = lines[i - 2];
      const std::size_t caret = lines[i - 1].find('^');
      site.atCaret = caret < sourceLine.size() ? sourceLine.substr(caret) : "<end of line>";
    }
  }
  return site;
}

::testing::AssertionResult containsSequence(const std::vector<std::string>& lines,
                                            const std::vector<std::string>& expected) {
  if (findSequence(lines, expected) >= 0) {
    return ::testing::AssertionSuccess();
  }
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "expected lines not found in order; output was:\n";
  for (const std::string& line : lines) {
    failure << "  [" << line << "]\n";
  }
  return failure;
}

}  // namespace vorax::testing
