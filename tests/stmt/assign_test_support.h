// Whole programs for the assignment tests: a PROGRAM with the given declarations and body,
// compiled through compileFile, and the helpers that look at its assembly lines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/source_tree.h"

namespace vorax::testing {

// "\tmnemonic\tsource,destination" as the assembly file writes an unlabelled line.
inline std::string asmLine(const std::string& mnemonic, const std::string& source = "",
                           const std::string& destination = "") {
  std::string line = "\t" + mnemonic;
  if (!source.empty()) {
    line += "\t" + source;
    if (!destination.empty()) {
      line += "," + destination;
    }
  }
  return line;
}

struct AssignProgram {
  std::string header;  // directives in front of PROGRAM
  std::string declarations;
  std::string body;
  bool optimize = false;  // the peephole rules run
};

// The assembly lines of the program; with `optimize` off the generated code stays as the
// generators wrote it.
inline CompileResult compileAssignProgram(const AssignProgram& program) {
  const SourceTree tree;
  CompileOptions options;
  options.localTier = program.optimize;
  options.blockTier = program.optimize;
  return compileSource(tree,
                       program.header + "PROGRAM T;\n" + program.declarations + "\nBEGIN\n" +
                           program.body + "\nEND.\n",
                       "T.PAS", options);
}

inline std::vector<std::string> assignLines(const AssignProgram& program) {
  CompileResult result = compileAssignProgram(program);
  EXPECT_TRUE(result.host.errors.empty())
      << "error " << (result.host.errors.empty() ? 0 : result.host.errors.back().number);
  return std::move(result.lines);
}

// Where a compilation stopped: the error number and the source text from the caret on.
struct AssignErrorSite {
  int number = 0;
  std::string atCaret;
};

inline AssignErrorSite assignErrorSite(const AssignProgram& program) {
  const CompileResult result = compileAssignProgram(program);
  AssignErrorSite site;
  if (result.host.errors.empty()) {
    return site;
  }
  site.number = result.host.errors.back().number;
  // The error block: source line, caret line, then the message.
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

inline ::testing::AssertionResult hasSequence(const std::vector<std::string>& lines,
                                              const std::vector<std::string>& expected) {
  if (findSequence(lines, expected) >= 0) {
    return ::testing::AssertionSuccess();
  }
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "expected lines not found one after the other; output was:\n";
  for (const std::string& line : lines) {
    failure << "  [" << line << "]\n";
  }
  return failure;
}

// True when no instruction line has this mnemonic (labelled lines included).
inline ::testing::AssertionResult lacksMnemonic(const std::vector<std::string>& lines,
                                                const std::string& mnemonic) {
  const auto found = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.find("\t" + mnemonic + "\t") != std::string::npos ||
           line.find(":" + mnemonic + "\t") != std::string::npos;
  });
  if (found == lines.end()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "unexpected line [" << *found << "]";
}

}  // namespace vorax::testing
