// The command line's own behaviour: options, usage errors and exit statuses.
#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace vorax {
namespace {

using testing::CliRun;

CliRun run(const std::vector<std::string>& arguments) { return testing::runCli(arguments); }

TEST(CommandLine, HelpAndVersionSucceedOnStandardOutput) {
  CliRun help = run({"--help"});
  EXPECT_EQ(help.status, kExitSuccess);
  EXPECT_NE(help.out.find("usage: vorax"), std::string::npos);
  EXPECT_TRUE(help.err.empty());

  CliRun version = run({"--version"});
  EXPECT_EQ(version.status, kExitSuccess);
  EXPECT_EQ(version.out.rfind("VORAX ", 0), 0U);
}

TEST(CommandLine, UsageErrorsExitWithTwo) {
  EXPECT_EQ(run({}).status, kExitUsage);
  CliRun unknown = run({"--frobnicate", "A.PAS"});
  EXPECT_EQ(unknown.status, kExitUsage);
  EXPECT_NE(unknown.err.find("unknown option --frobnicate"), std::string::npos);
}

}  // namespace
}  // namespace vorax
