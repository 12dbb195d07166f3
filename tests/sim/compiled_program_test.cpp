// Programs compiled by the real compiler (build/vorax) run to \halt in the simulator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>  // getpid: two test runs at once keep their folders apart

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

namespace fs = std::filesystem;

struct CompiledCase {
  const char* name;
  const char* directives;
};

class CompiledProgramTest : public ::testing::TestWithParam<std::tuple<CompiledCase, CpuModel>> {};

TEST_P(CompiledProgramTest, EmptyProgramHaltsWithStatusZero) {
  const auto& [c, cpu] = GetParam();
  fs::path folder = fs::temp_directory_path() /
                    ("vorax_sim_compiled_" + std::string(c.name) + "_" + cpuModelName(cpu) + "_" +
                     std::to_string(getpid()));
  fs::create_directories(folder);
  fs::path source = folder / "DEMO.PAS";
  std::ofstream(source, std::ios::binary) << "{$CPU " << cpuModelName(cpu) << "}" << c.directives
                                          << "\r\nPROGRAM DEMO;\r\nBEGIN\r\nEND.\r\n";
  std::string command = std::string("\"") + VORAX_BINARY_DIR + "/vorax\" \"" + source.string() +
                        "\" > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  fs::path assembly = folder / "DEMO.asm";
  ASSERT_TRUE(fs::exists(assembly));

  std::istringstream in;
  std::ostringstream out;
  std::ostringstream messages;
  SimOptions options;
  options.cpu = cpu;
  Simulator simulator(options, in, out, messages);
  EXPECT_EQ(simulator.runFiles({assembly.string()}), ExitStatus::kHalted) << messages.str();
  EXPECT_EQ(messages.str(), "");
  fs::remove_all(folder);
}

const CompiledCase kCompiledCases[] = {
    {"Plain", ""},
    {"MemoryMap", "{$M $8000,$FF00,$100}"},
};

INSTANTIATE_TEST_SUITE_P(RealCompiler, CompiledProgramTest,
                         ::testing::Combine(::testing::ValuesIn(kCompiledCases),
                                            ::testing::ValuesIn(allCpus())),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  cpuModelName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace vorax::sim::testing
