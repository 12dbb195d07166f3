// Installation, the Debian package and the dependency script, tried for real: the build
// folder is installed into a temporary prefix, packed with cpack, and configured afresh
// the way ./vorax.sh does it on a machine without the test and window libraries.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "support/source_tree.h"

namespace vorax {
namespace {

namespace fs = std::filesystem;
using testing::SourceTree;

struct CommandResult {
  int status = -1;
  std::string output;  // standard output and standard error together
};

CommandResult runCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t count = 0;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, count);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

fs::path sourceDir() { return VORAX_SOURCE_DIR; }

fs::path binaryDir() {
  const char* folder = std::getenv("VORAX_BINARY_DIR");
  return folder != nullptr ? fs::path(folder) : fs::path();
}

std::set<std::string> lines(const std::string& text) {
  std::set<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.insert(line);
  return result;
}

bool isExecutable(const fs::path& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IXUSR) != 0;
}

// Every document of docs/ and the README, by their names below the documents folder.
std::vector<std::string> documentNames() {
  std::vector<std::string> names{"README.md"};
  for (const auto& entry : fs::directory_iterator(sourceDir() / "docs")) {
    if (entry.path().extension() == ".md") names.push_back("docs/" + entry.path().filename().string());
  }
  return names;
}

TEST(InstallDependencies, CompilerTaskTakesOnlyTheCompilersBuildTools) {
  const fs::path script = sourceDir() / "scripts/install-deps.sh";
  const CommandResult compiler = runCommand(quoted(script) + " --list compiler");
  ASSERT_EQ(compiler.status, 0) << compiler.output;
  EXPECT_EQ(lines(compiler.output), (std::set<std::string>{"cmake", "ninja-build", "g++"}));

  const CommandResult window = runCommand(quoted(script) + " --list window");
  const CommandResult everything = runCommand(quoted(script) + " --list test");
  const CommandResult byDefault = runCommand(quoted(script) + " --list");
  EXPECT_EQ(lines(byDefault.output), lines(everything.output)) << "./test.sh's task is the default";
  for (const std::string& package : lines(compiler.output)) {
    EXPECT_TRUE(lines(window.output).count(package)) << package;
  }
  for (const std::string& package : lines(window.output)) {
    EXPECT_TRUE(lines(everything.output).count(package)) << package;
  }
  EXPECT_TRUE(lines(window.output).count("qt6-base-dev"));
  EXPECT_TRUE(lines(everything.output).count("libgtest-dev"));
  EXPECT_EQ(runCommand(quoted(script) + " --list nonsense").status, 2);

  // clang and its fuzzer runtime serve the fuzz runs (./test.sh makes short ones), never
  // the compiler or the window.
  const CommandResult fuzz = runCommand(quoted(script) + " --list fuzz");
  ASSERT_EQ(fuzz.status, 0) << fuzz.output;
  for (const std::string package : {"clang", "libclang-rt-dev", "cmake", "ninja-build"}) {
    EXPECT_TRUE(lines(fuzz.output).count(package)) << package;
  }
  EXPECT_TRUE(lines(everything.output).count("libclang-rt-dev"));
  EXPECT_FALSE(lines(window.output).count("clang"));
}

// What ./vorax.sh configures on a fresh machine must not need GoogleTest, Qt or Google
// Benchmark: CMake is told they are absent.
TEST(InstallDependencies, CompilerBuildConfiguresWithoutTestOrWindowLibraries) {
  SourceTree tree;
  const CommandResult configure = runCommand(
      std::string(VORAX_CMAKE_COMMAND) + " -S " + quoted(sourceDir()) + " -B " +
      quoted(tree.root()) +
      " -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORAX_BUILD_TESTS=OFF"
      " -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON"
      " -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON");
  ASSERT_EQ(configure.status, 0) << configure.output;
  const CommandResult targets =
      runCommand("ninja -C " + quoted(tree.root()) + " -t targets all");
  EXPECT_NE(targets.output.find("vorax:"), std::string::npos);
  EXPECT_NE(targets.output.find("vorax-sim:"), std::string::npos);
  EXPECT_EQ(targets.output.find("test_"), std::string::npos);
}

TEST(Installation, InstallPutsProgramsAndDocumentsUnderThePrefix) {
  ASSERT_FALSE(binaryDir().empty()) << "VORAX_BINARY_DIR is not set";
  SourceTree prefix;
  const CommandResult install = runCommand(std::string(VORAX_CMAKE_COMMAND) + " --install " +
                                           quoted(binaryDir()) + " --prefix " +
                                           quoted(prefix.root()));
  ASSERT_EQ(install.status, 0) << install.output;

  const fs::path bin = prefix.root() / "bin";
  for (const char* program : {"vorax", "vorax-sim", "vorax-gui"}) {
    const bool built = fs::exists(binaryDir() / program);
    EXPECT_EQ(isExecutable(bin / program), built) << program;
  }
  const fs::path doc = prefix.root() / "share/doc/vorax";
  for (const std::string& name : documentNames()) {
    EXPECT_TRUE(fs::exists(doc / name)) << name;
  }

  // The installed programs work on their own: compile and run the installed example.
  const fs::path work = prefix.root() / "work";
  fs::create_directories(work);
  fs::copy_file(doc / "examples/DEMO.PAS", work / "DEMO.PAS");
  const CommandResult compile = runCommand(quoted(bin / "vorax") + " -q " + quoted(work / "DEMO.PAS"));
  ASSERT_EQ(compile.status, 0) << compile.output;
  const CommandResult run = runCommand(quoted(bin / "vorax-sim") + " " + quoted(work / "DEMO.asm"));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("sum of squares = 385"), std::string::npos) << run.output;
}

TEST(Installation, DebianPackageHoldsTheInstalledFiles) {
  ASSERT_FALSE(binaryDir().empty()) << "VORAX_BINARY_DIR is not set";
  if (runCommand("command -v dpkg-deb").status != 0) {
    GTEST_SKIP() << "dpkg-deb is not installed";
  }
  SourceTree output;
  const CommandResult pack = runCommand(std::string(VORAX_CPACK_COMMAND) + " -G DEB --config " +
                                        quoted(binaryDir() / "CPackConfig.cmake") + " -B " +
                                        quoted(output.root()));
  ASSERT_EQ(pack.status, 0) << pack.output;
  fs::path package;
  for (const auto& entry : fs::directory_iterator(output.root())) {
    if (entry.path().extension() == ".deb") package = entry.path();
  }
  ASSERT_FALSE(package.empty()) << pack.output;

  const CommandResult contents = runCommand("dpkg-deb -c " + quoted(package));
  ASSERT_EQ(contents.status, 0) << contents.output;
  for (const char* program : {"vorax", "vorax-sim"}) {
    EXPECT_NE(contents.output.find("./usr/bin/" + std::string(program) + "\n"), std::string::npos)
        << program << " in\n" << contents.output;
  }
  for (const std::string& name : documentNames()) {
    EXPECT_NE(contents.output.find("./usr/share/doc/vorax/" + name + "\n"), std::string::npos)
        << name;
  }
  const CommandResult depends = runCommand("dpkg-deb -f " + quoted(package) + " Package Depends");
  EXPECT_NE(depends.output.find("Package: vorax"), std::string::npos) << depends.output;
  EXPECT_NE(depends.output.find("libstdc++6"), std::string::npos) << depends.output;
}

}  // namespace
}  // namespace vorax
