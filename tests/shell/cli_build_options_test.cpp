// The options a build system uses: -o, -I, -D, --cpu, -M and -q. Each is run through the
// command line in-process on sources in a temporary folder.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/cli_run.h"
#include "support/source_tree.h"

namespace vorax {
namespace {

using testing::CliRun;
using testing::SourceTree;

CliRun run(const std::vector<std::string>& arguments) { return testing::runCli(arguments); }

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A program that writes the text of the include file it names, so the output tells which
// of several files of that name was read.
constexpr const char* kIncludingProgram =
    "PROGRAM P;\n"
    "{$I GREET}\n"
    "BEGIN\n"
    "  GREET\n"
    "END.\n";

std::string greeting(const std::string& text) {
  return "PROCEDURE GREET;\nBEGIN\n  WRITELN('" + text + "')\nEND;\n";
}

TEST(CliBuildOptions, OutputGoesWhereDashOSays) {
  SourceTree tree;
  const auto source = tree.write("src/P.PAS", "PROGRAM P;\nBEGIN\nEND.\n");
  const auto output = tree.root() / "out" / "program.s";
  std::filesystem::create_directories(output.parent_path());

  const CliRun spaced = run({"-o", output.string(), source.string()});
  EXPECT_EQ(spaced.status, kExitSuccess) << spaced.err;
  EXPECT_TRUE(contains(readFile(output), "\\P"));
  EXPECT_FALSE(tree.exists("src/P.asm")) << "the default output was written as well";

  std::filesystem::remove(output);
  const CliRun attached = run({"-o" + output.string(), source.string()});
  EXPECT_EQ(attached.status, kExitSuccess) << attached.err;
  EXPECT_TRUE(std::filesystem::exists(output));
}

TEST(CliBuildOptions, DashOWithSeveralSourcesIsAUsageError) {
  SourceTree tree;
  const auto a = tree.write("A.PAS", "PROGRAM A;\nBEGIN\nEND.\n");
  const auto b = tree.write("B.PAS", "PROGRAM B;\nBEGIN\nEND.\n");
  const CliRun several = run({"-o", (tree.root() / "X.asm").string(), a.string(), b.string()});
  EXPECT_EQ(several.status, kExitUsage);
  EXPECT_TRUE(contains(several.err, "-o"));
  EXPECT_FALSE(tree.exists("X.asm"));
  EXPECT_FALSE(tree.exists("A.asm")) << "nothing may be compiled after a usage error";

  EXPECT_EQ(run({a.string(), "-o"}).status, kExitUsage) << "-o without a value";
}

// Writing the assembly over the source would destroy it before anything is compiled.
TEST(CliBuildOptions, DashOOntoTheSourceItselfIsRefused) {
  SourceTree tree;
  const std::string text = "PROGRAM P;\nBEGIN\nEND.\n";
  const auto source = tree.write("P.PAS", text);
  const CliRun onto = run({"-o", source.string(), source.string()});
  EXPECT_EQ(onto.status, kExitCompileError);
  EXPECT_TRUE(contains(onto.err, "error 101")) << onto.err;
  EXPECT_EQ(readFile(source), text);
}

TEST(CliBuildOptions, IncludeFoldersComeAfterTheIncludingFilesOwnFolder) {
  SourceTree tree;
  const auto source = tree.write("src/P.PAS", kIncludingProgram);
  tree.write("first/greet.pas", greeting("from first"));
  tree.write("second/GREET.PAS", greeting("from second"));
  const std::string first = (tree.root() / "first").string();
  const std::string second = (tree.root() / "second/").string();

  // Without -I the include is missing: error 100.
  EXPECT_EQ(run({source.string()}).status, kExitCompileError);

  // Folders are searched in the order given.
  EXPECT_EQ(run({"-I", second, "-I" + first, source.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "src/P.asm"), "from second"));
  EXPECT_EQ(run({"-I", first, "-I", second, source.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "src/P.asm"), "from first"));

  // The including file's own folder wins over every -I folder.
  tree.write("src/greet.pas", greeting("from beside"));
  EXPECT_EQ(run({"-I", first, source.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "src/P.asm"), "from beside"));
}

TEST(CliBuildOptions, IncludeFoldersServeNestedIncludesToo) {
  SourceTree tree;
  const auto source = tree.write("P.PAS", kIncludingProgram);
  tree.write("lib/greet.pas", "{$I TEXT}\n");
  tree.write("other/text.pas", greeting("nested"));
  const CliRun both = run({"-I", (tree.root() / "lib").string(), "-I",
                           (tree.root() / "other").string(), source.string()});
  EXPECT_EQ(both.status, kExitSuccess) << both.err;
  EXPECT_TRUE(contains(readFile(tree.root() / "P.asm"), "nested"));
}

TEST(CliBuildOptions, DashDDefinesASymbolBeforeTheFirstLine) {
  SourceTree tree;
  const auto source = tree.write("P.PAS",
                                 "PROGRAM P;\n"
                                 "BEGIN\n"
                                 "{$IFDEF DEBUG} WRITELN('debug on') {$ELSE} WRITELN('debug off') "
                                 "{$ENDIF}\n"
                                 "END.\n");
  EXPECT_EQ(run({source.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "P.asm"), "debug off"));
  // Letter case does not matter, as in the source; attached and spaced forms both work.
  EXPECT_EQ(run({"-D", "debug", source.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "P.asm"), "debug on"));
  EXPECT_EQ(run({"-DOTHER", "-DDEBUG", source.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "P.asm"), "debug on"));
}

TEST(CliBuildOptions, DashDActsLikeADefineDirective) {
  SourceTree tree;
  const auto source = tree.write("P.PAS", "PROGRAM P;\n{$DEFINE X}\nBEGIN\nEND.\n");
  const CliRun twice = run({"-D", "X", source.string()});
  EXPECT_EQ(twice.status, kExitCompileError);
  EXPECT_TRUE(contains(twice.err, "error 43")) << twice.err;

  for (const char* bad : {"1X", "A-B", ""}) {
    EXPECT_EQ(run({"-D", bad, source.string()}).status, kExitUsage) << bad;
  }
}

TEST(CliBuildOptions, CpuOptionSelectsTheTargetUnlessTheSourceDoes) {
  SourceTree tree;
  const std::string body = "PROGRAM P;\nVAR W: INTEGER;\nBEGIN\n  W := W SHL 2\nEND.\n";
  const auto plain = tree.write("P.PAS", body);
  const auto directed = tree.write("Q.PAS", "{$CPU 300H}\n" + body);

  // Only the 2000 shifts by two bits in one instruction.
  EXPECT_EQ(run({plain.string()}).status, kExitSuccess);
  EXPECT_FALSE(contains(readFile(tree.root() / "P.asm"), "shll.w\t#2"));
  EXPECT_EQ(run({"--cpu", "2000", plain.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "P.asm"), "shll.w\t#2"));
  EXPECT_EQ(run({"--cpu=2000", directed.string()}).status, kExitSuccess);
  EXPECT_FALSE(contains(readFile(tree.root() / "Q.asm"), "shll.w\t#2"))
      << "a CPU directive in the source wins over the option";

  // On 300L a return address is two bytes.
  const auto routine = tree.write("R.PAS",
                                  "PROGRAM R;\nPROCEDURE S(A: INTEGER);\nBEGIN\nEND;\n"
                                  "BEGIN\n  S(1)\nEND.\n");
  EXPECT_EQ(run({"--cpu", "300l", routine.string()}).status, kExitSuccess);
  EXPECT_TRUE(contains(readFile(tree.root() / "R.asm"), "mov.w\t@sp+,r1"));

  for (const char* bad : {"68K", "300", ""}) {
    EXPECT_EQ(run({"--cpu", bad, plain.string()}).status, kExitUsage) << bad;
  }
}

TEST(CliBuildOptions, DependencyRuleNamesTheFilesActuallyRead) {
  SourceTree tree;
  const auto source = tree.write("P.PAS",
                                 "PROGRAM P;\n"
                                 "{$I GREET}\n"
                                 "{$IFDEF NEVER}{$I MISSING}{$ENDIF}\n"
                                 "{$L ROUTINES}\n"
                                 "BEGIN\n  GREET\nEND.\n");
  tree.write("lib/GREET.pas", "{$I inner}\n" + greeting("x"));
  tree.write("lib/inner.pas", "{ nothing }\n");
  const std::string lib = (tree.root() / "lib").string();
  const std::string rules = (tree.root() / "P.d").string();

  const CliRun build = run({"-I", lib, "-M", rules, source.string()});
  ASSERT_EQ(build.status, kExitSuccess) << build.err;
  // The include of the dropped branch was never read; the assembly include is the
  // assembler's business. Include files are named where they were found.
  EXPECT_EQ(readFile(rules), (tree.root() / "P.asm").string() + ": \\\n  " + source.string() +
                                 " \\\n  " + lib + "/GREET.pas \\\n  " + lib + "/inner.pas\n");

  // With -o the rule's target is that file.
  const std::string output = (tree.root() / "P.s").string();
  ASSERT_EQ(run({"-I", lib, "-o", output, "-M" + rules, source.string()}).status, kExitSuccess);
  EXPECT_EQ(readFile(rules).rfind(output + ": \\\n", 0), 0U) << readFile(rules);
}

TEST(CliBuildOptions, DependencyFileHoldsOneRulePerCompiledSource) {
  SourceTree tree;
  const auto a = tree.write("A.PAS", "PROGRAM A;\nBEGIN\nEND.\n");
  const auto b = tree.write("my dir/B.PAS", "PROGRAM B;\nBEGIN\nEND.\n");
  const auto bad = tree.write("C.PAS", "PROGRAM C;\nBEGIN X\nEND.\n");
  const std::string rules = (tree.root() / "all.d").string();
  const CliRun build = run({"-M", rules, a.string(), b.string(), bad.string()});
  EXPECT_EQ(build.status, kExitCompileError);
  const std::string text = readFile(rules);
  EXPECT_TRUE(contains(text, (tree.root() / "A.asm").string() + ": \\\n  " + a.string() + "\n"));
  // make reads a blank in a name as a separator unless it is escaped.
  EXPECT_TRUE(contains(text, "my\\ dir/B.asm: \\\n"));
  EXPECT_FALSE(contains(text, "C.asm")) << "a source that failed has no rule";
}

TEST(CliBuildOptions, QuietDropsTheCompletionLineButNotErrors) {
  SourceTree tree;
  const auto good = tree.write("G.PAS", "PROGRAM G;\nBEGIN\nEND.\n");
  const auto bad = tree.write("B.PAS", "PROGRAM B;\nBEGIN X\nEND.\n");

  const CliRun loud = run({good.string()});
  EXPECT_TRUE(contains(loud.out, "コンパイル終了"));
  const CliRun quiet = run({"-q", good.string()});
  EXPECT_EQ(quiet.status, kExitSuccess);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");

  const CliRun failing = run({"-q", bad.string()});
  EXPECT_EQ(failing.status, kExitCompileError);
  EXPECT_TRUE(contains(failing.err, ":2:7: error ")) << failing.err;
}

TEST(CliBuildOptions, HelpListsEveryOption) {
  const CliRun help = run({"--help"});
  for (const char* option : {"-o FILE", "-I DIR", "-D NAME", "--cpu NAME", "-M FILE", "-q"}) {
    EXPECT_TRUE(contains(help.out, option)) << option;
  }
}

}  // namespace
}  // namespace vorax
