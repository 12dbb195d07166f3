// The command-line switches of the optimizer: accepted, documented in the usage text, and
// the statistics printed as "ID count" lines.
#include <gtest/gtest.h>

#include <sstream>

#include "asmout/peephole_optimizer.h"
#include "shell/cli/cli.h"

namespace vorax {
namespace {

TEST(CliOptimizerFlags, UsageNamesBothSwitches) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runCommandLine({"--help"}, out, err), kExitSuccess);
  EXPECT_NE(out.str().find("--no-peephole"), std::string::npos);
  EXPECT_NE(out.str().find("--rule-stats"), std::string::npos);
}

TEST(CliOptimizerFlags, SwitchesAreNotUnknownOptions) {
  for (const char* flag : {"--no-peephole", "--rule-stats"}) {
    std::ostringstream out;
    std::ostringstream err;
    runCommandLine({flag, "/nonexistent/folder/NOFILE.PAS"}, out, err);
    EXPECT_EQ(err.str().find("unknown option"), std::string::npos) << flag;
  }
}

TEST(CliOptimizerFlags, RuleStatisticsListEveryRule) {
  std::ostringstream out;
  std::ostringstream err;
  runCommandLine({"--rule-stats", "/nonexistent/folder/NOFILE.PAS"}, out, err);
  const std::string text = err.str();
  for (std::string_view id : PeepholeOptimizer::ruleIds()) {
    EXPECT_NE(text.find(std::string(id) + " 0\n"), std::string::npos) << id;
  }
}

TEST(CliOptimizerFlags, NoStatisticsWithoutTheSwitch) {
  std::ostringstream out;
  std::ostringstream err;
  runCommandLine({"/nonexistent/folder/NOFILE.PAS"}, out, err);
  EXPECT_EQ(err.str().find("L01 0"), std::string::npos);
}

}  // namespace
}  // namespace vorax
