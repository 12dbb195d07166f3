// Whole programs for the function call tests: compiled through compileFile, their
// assembly lines searched for the sequences a call must produce, or run on the simulator.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/source_tree.h"

namespace vorax::testing {

struct FuncProgram {
  std::string name;          // test case name
  std::string header;        // directives in front of PROGRAM
  std::string declarations;  // VAR section, routines
  std::string body;          // statements of the main program
};

// "\tmnemonic\tsource,destination" as an unlabelled line; "L:" prefixes a labelled one.
std::string funcLine(const std::string& mnemonic, const std::string& source = "",
                     const std::string& destination = "");

CompileResult compileFuncProgram(const FuncProgram& program, bool optimize);

// The lines of the main program's body (after the "\T" entry line), compiled with the
// peephole rules off so that the generated sequences are seen as they were emitted.
std::vector<std::string> bodyLines(const FuncProgram& program);

// The error number a program stops with (0 when it compiles).
int errorNumberOf(const FuncProgram& program);

::testing::AssertionResult containsSequence(const std::vector<std::string>& lines,
                                            const std::vector<std::string>& expected);
::testing::AssertionResult lacksLine(const std::vector<std::string>& lines,
                                     const std::string& fragment);

}  // namespace vorax::testing
