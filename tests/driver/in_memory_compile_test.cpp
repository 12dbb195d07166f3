// A compilation whose sources and assembly file are held in memory writes the same bytes
// as one on disk, finds include files like one on disk, touches no file, and says which
// processor a finished file was written for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "driver/compile_file.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

const std::string kInclude = "PROCEDURE SHOW(N: INTEGER);\r\nBEGIN WRITELN(N) END;\r\n";
const std::string kProgram =
    "PROGRAM MEM;\r\n{$I sub\\show.inc}\r\nVAR I: INTEGER;\r\n"
    "BEGIN FOR I := 1 TO 3 DO SHOW(I * 7) END.\r\n";

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct MemoryOutcome {
  InMemoryFiles files;
  RecordingHost host;
};

MemoryOutcome compileInMemory(const std::string& source, const std::string& name = "MEM.PAS") {
  MemoryOutcome outcome;
  outcome.files.sources[name] = source;
  outcome.files.sources["SUB/SHOW.PAS"] = kInclude;
  CompileOptions options;
  options.memoryFiles = &outcome.files;
  compileFile(name, outcome.host, options);
  return outcome;
}

TEST(InMemoryCompile, WritesTheSameBytesAsACompilationOnDisk) {
  SourceTree tree;
  tree.write("sub/show.pas", kInclude);
  const std::filesystem::path source = tree.write("MEM.PAS", kProgram);
  RecordingHost diskHost;
  // An include names "x.inc" and opens x.pas. Relative names, so that the file names the output mentions are the same.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(tree.root());
  compileFile("MEM.PAS", diskHost);
  std::filesystem::current_path(previous);
  ASSERT_TRUE(diskHost.errors.empty());

  const MemoryOutcome memory = compileInMemory(kProgram);
  EXPECT_TRUE(memory.host.errors.empty());
  EXPECT_NE(memory.files.assembly.find("\tbsr\t"), std::string::npos);
  EXPECT_EQ(memory.files.assembly, readFile(tree.root() / "MEM.asm"));
}

TEST(InMemoryCompile, TouchesNoFile) {
  const std::string name = "VORAX-IN-MEMORY-" + std::to_string(::getpid()) + ".PAS";
  const MemoryOutcome memory = compileInMemory(kProgram, name);
  EXPECT_TRUE(memory.host.errors.empty());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(name).replace_extension(".asm")));
  EXPECT_FALSE(std::filesystem::exists(name));
}

TEST(InMemoryCompile, AMissingIncludeIsASourceErrorWrittenIntoTheMemoryFile) {
  const MemoryOutcome memory = compileInMemory("PROGRAM MEM;\r\n{$I NOWHERE.INC}\r\nBEGIN END.\r\n");
  ASSERT_EQ(memory.host.errors.size(), 1u);
  EXPECT_FALSE(memory.files.finished);
  EXPECT_NE(memory.files.assembly.find(std::to_string(memory.host.errors[0].number)),
            std::string::npos);
}

TEST(InMemoryCompile, AFinishedFileNamesItsProcessorAndKind) {
  const MemoryOutcome plain = compileInMemory(kProgram);
  ASSERT_TRUE(plain.files.finished);
  EXPECT_EQ(plain.files.finished->cpu, TargetCpu::H8_300H);
  EXPECT_FALSE(plain.files.finished->unit);

  // The last processor directive counts.
  const MemoryOutcome small = compileInMemory("{$CPU 2000}{$CPU 300L}" + kProgram);
  ASSERT_TRUE(small.files.finished);
  EXPECT_EQ(small.files.finished->cpu, TargetCpu::H8_300L);

  const MemoryOutcome unit = compileInMemory(
      "{$CPU 2000}\r\nUNIT MEM;\r\nINTERFACE\r\nPROCEDURE P;\r\nIMPLEMENTATION\r\n"
      "PROCEDURE P; BEGIN END;\r\nEND.\r\n");
  ASSERT_TRUE(unit.files.finished) << (unit.host.errors.empty() ? "" : unit.host.errors[0].message);
  EXPECT_EQ(unit.files.finished->cpu, TargetCpu::H8_2000);
  EXPECT_TRUE(unit.files.finished->unit);

  EXPECT_FALSE(compileInMemory("PROGRAM MEM; BEGIN X := 1 END.").files.finished);
}

}  // namespace
}  // namespace vorax::testing
