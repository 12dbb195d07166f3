// Whole programs for the CASE and FOR tests: the instruction lines of a compiled program,
// without the source lines the assembly file lists as comments and without the unlabelled
// "nop" lines that deleted lines leave while the peephole rules are off.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "assign_test_support.h"

namespace vorax::testing {

inline std::vector<std::string> codeLines(const AssignProgram& program) {
  std::vector<std::string> code;
  for (std::string& line : assignLines(program)) {
    if (!line.starts_with(";") && line != "\tnop") {
      code.push_back(std::move(line));
    }
  }
  return code;
}

}  // namespace vorax::testing
