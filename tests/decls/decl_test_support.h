// Whole sources compiled through compileFile, for the declaration tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/source_tree.h"

namespace vorax::testing {

// The assembly lines of `source` compiled as T.PAS.
std::vector<std::string> compileLines(const std::string& source);

// Where a compilation stopped: the error number, the source line of the error block and
// the text starting at the caret ("" when the source compiled).
struct ErrorSite {
  int number = 0;
  std::string atCaret;
};
ErrorSite errorSite(const std::string& source);

// True when every line of `expected` occurs in `lines`, in this order, one after the
// other; prints the lines otherwise.
::testing::AssertionResult containsSequence(const std::vector<std::string>& lines,
                                            const std::vector<std::string>& expected);

}  // namespace vorax::testing
