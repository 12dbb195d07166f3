#include "func_test_support.h"

#include <algorithm>

namespace vorax::testing {

std::string funcLine(const std::string& mnemonic, const std::string& source,
                     const std::string& destination) {
  std::string line = "\t" + mnemonic;
  if (!source.empty()) {
    line += "\t" + source;
    if (!destination.empty()) {
      line += "," + destination;
    }
  }
  return line;
}

CompileResult compileFuncProgram(const FuncProgram& program, bool optimize) {
  const SourceTree tree;
  CompileOptions options;
  options.localTier = optimize;
  options.blockTier = optimize;
  return compileSource(tree,
                       program.header + "PROGRAM T;\n" + program.declarations + "\nBEGIN\n" +
                           program.body + "\nEND.\n",
                       "T.PAS", options);
}

std::vector<std::string> bodyLines(const FuncProgram& program) {
  CompileResult result = compileFuncProgram(program, false);
  EXPECT_TRUE(result.host.errors.empty())
      << "error " << (result.host.errors.empty() ? 0 : result.host.errors.back().number);
  const auto entry =
      std::find_if(result.lines.begin(), result.lines.end(),
                   [](const std::string& line) { return line.rfind("\\T:", 0) == 0; });
  EXPECT_NE(entry, result.lines.end()) << "no main program entry";
  return {entry, result.lines.end()};
}

int errorNumberOf(const FuncProgram& program) {
  const CompileResult result = compileFuncProgram(program, false);
  return result.host.errors.empty() ? 0 : result.host.errors.back().number;
}

namespace {

::testing::AssertionResult withListing(::testing::AssertionResult failure,
                                       const std::vector<std::string>& lines) {
  failure << "; output was:\n";
  for (const std::string& line : lines) {
    failure << "  [" << line << "]\n";
  }
  return failure;
}

}  // namespace

::testing::AssertionResult containsSequence(const std::vector<std::string>& lines,
                                            const std::vector<std::string>& expected) {
  if (findSequence(lines, expected) >= 0) {
    return ::testing::AssertionSuccess();
  }
  return withListing(::testing::AssertionFailure() << "lines not found one after the other", lines);
}

::testing::AssertionResult lacksLine(const std::vector<std::string>& lines,
                                     const std::string& fragment) {
  for (const std::string& line : lines) {
    if (line.find(fragment) != std::string::npos) {
      return withListing(::testing::AssertionFailure() << "unexpected [" << line << "]", lines);
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vorax::testing
