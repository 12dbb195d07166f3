// Every example of the documents compiles, and every example that states its output
// prints exactly that in vorax-sim: on each CPU it can run on (all three unless the source
// selects one), with the optimizer on and off. Examples that show an error stop with it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "diag/text_encoding.h"
#include "docs/doc_examples.h"
#include "driver/compile_file.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax {
namespace {

namespace fs = std::filesystem;
using testing::DocExample;
using testing::RecordingHost;
using testing::SourceTree;

constexpr long kMaxSteps = 50'000'000;

std::vector<DocExample> allExamples() {
  std::vector<fs::path> documents{fs::path(VORAX_SOURCE_DIR) / "README.md"};
  for (const auto& entry : fs::directory_iterator(fs::path(VORAX_SOURCE_DIR) / "docs")) {
    if (entry.path().extension() == ".md") documents.push_back(entry.path());
  }
  std::sort(documents.begin(), documents.end());
  std::vector<DocExample> examples;
  for (const fs::path& document : documents) {
    for (DocExample& example : testing::readDocExamples(document)) {
      examples.push_back(std::move(example));
    }
  }
  return examples;
}

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file << bytes;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct Target {
  const char* name;
  TargetCpu cpu;
};
constexpr Target kTargets[] = {{"300H", TargetCpu::H8_300H},
                               {"300L", TargetCpu::H8_300L},
                               {"2000", TargetCpu::H8_2000}};

// The CPUs an example runs on: the one its source selects, else all.
std::vector<Target> targetsOf(const std::string& source) {
  std::vector<Target> targets;
  for (const Target& target : kTargets) {
    if (contains(source, std::string("{$CPU ") + target.name + "}")) return {target};
  }
  return {std::begin(kTargets), std::end(kTargets)};
}

fs::path simulatorPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "vorax-sim";
}

class DocExampleTest : public ::testing::TestWithParam<DocExample> {
 protected:
  // The example and every named source of its document, in a folder of their own.
  void SetUp() override {
    const DocExample& example = GetParam();
    for (const DocExample& other : allExamples()) {
      if (other.document == example.document && !other.fileName.empty()) {
        writeFile(tree_.root() / other.fileName, utf8ToCp932(other.source));
      }
    }
    fileName_ = example.fileName.empty() ? "EXAMPLE.PAS" : example.fileName;
    writeFile(tree_.root() / fileName_, utf8ToCp932(example.source));
  }

  // Compiles `name` in the folder; the numbers of the errors it stopped with.
  std::vector<int> compile(const std::string& name, const Target& target, bool optimize) {
    RecordingHost host;
    CompileOptions options;
    options.cpu = target.cpu;
    options.localTier = optimize;
    options.blockTier = optimize;
    compileFile((tree_.root() / name).string(), host, options);
    std::vector<int> numbers;
    for (const auto& error : host.errors) numbers.push_back(error.number);
    return numbers;
  }

  static std::string asmName(const std::string& name) {
    return fs::path(name).replace_extension(".asm").string();
  }

  SourceTree tree_;
  std::string fileName_;
};

TEST_P(DocExampleTest, CompilesAndPrintsWhatTheDocumentSays) {
  const DocExample& example = GetParam();
  ASSERT_NE(example.expectedError, -1) << example.source;
  if (example.includeOnly) {
    GTEST_SKIP() << "an include file, compiled with the example that includes it";
  }
  if (example.expectedError != 0) {
    const std::vector<int> errors = compile(fileName_, kTargets[0], true);
    EXPECT_EQ(errors, std::vector<int>{example.expectedError}) << example.source;
    return;
  }
  for (const Target& target : targetsOf(example.source)) {
    for (const bool optimize : {true, false}) {
      const std::string where =
          std::string(target.name) + (optimize ? "" : " --no-peephole") + "\n" + example.source;
      ASSERT_EQ(compile(fileName_, target, optimize), std::vector<int>{}) << where;
      std::string files = "'" + (tree_.root() / asmName(fileName_)).string() + "'";
      for (const std::string& unit : example.links) {
        ASSERT_EQ(compile(unit + ".PAS", target, optimize), std::vector<int>{}) << unit;
        files += " '" + (tree_.root() / (unit + ".asm")).string() + "'";
      }
      // A unit has no start-up code; it runs with the programs that link it.
      if (!contains(readFile(tree_.root() / asmName(fileName_)), "\tdl\tprogram,")) continue;

      writeFile(tree_.root() / "input.txt", example.input);
      const std::string command = "cd '" + tree_.root().string() + "' && '" +
                                  simulatorPath().string() + "' --cpu " + target.name +
                                  " --max-steps " + std::to_string(kMaxSteps) + " " + files +
                                  " < input.txt > output.txt 2> errors.txt";
      const int status = std::system(command.c_str());
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << where << "vorax-sim: " << readFile(tree_.root() / "errors.txt");
      if (example.hasOutput) {
        EXPECT_EQ(cp932ToUtf8(readFile(tree_.root() / "output.txt")), example.output) << where;
      }
    }
  }
}

std::string exampleName(const ::testing::TestParamInfo<DocExample>& info) {
  std::string name = info.param.document + "_line_" + std::to_string(info.param.line);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Documents, DocExampleTest, ::testing::ValuesIn(allExamples()),
                         exampleName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DocExampleTest);

}  // namespace
}  // namespace vorax
