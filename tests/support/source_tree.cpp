#include "support/source_tree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "driver/compile_file.h"
#include "support/assembly_check.h"

namespace vorax::testing {

SourceTree::SourceTree() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vorax-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  root_ = pattern;
}

SourceTree::~SourceTree() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path SourceTree::write(const std::string& name, const std::string& text) const {
  std::filesystem::path path = root_ / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary);
  file << text;
  return path;
}

bool SourceTree::exists(const std::string& name) const {
  return std::filesystem::exists(root_ / name);
}

std::vector<std::string> SourceTree::readLines(const std::string& name) const {
  std::ifstream file(root_ / name, std::ios::binary);
  std::stringstream buffer;
  buffer << file.rdbuf();
  const std::string text = buffer.str();
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << name << ": last line has no CR LF: " << text.substr(start);
      lines.push_back(text.substr(start));
      break;
    }
    std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << name << ": bare LF in " << line;
    lines.push_back(std::move(line));
    start = end + 2;
  }
  return lines;
}

namespace {

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream buffer;
  buffer << file.rdbuf();
  return buffer.str();
}

// The line where two assembly texts first differ, for the failure message.
std::string firstDifference(const std::string& fast, const std::string& reference) {
  std::size_t at = 0;
  while (at < fast.size() && at < reference.size() && fast[at] == reference[at]) {
    ++at;
  }
  const std::size_t start = fast.rfind('\n', at) == std::string::npos ? 0 : fast.rfind('\n', at) + 1;
  const auto lineAt = [start](const std::string& text) {
    return text.substr(start, text.find('\n', start) - start);
  };
  return "fast: " + lineAt(fast) + " | full rescan: " + lineAt(reference);
}

}  // namespace

CompileResult compileSource(const SourceTree& tree, const std::string& source,
                            const std::string& name, const CompileOptions& options) {
  CompileResult result;
  const auto path = tree.write(name, source);
  const std::filesystem::path asmPath =
      tree.root() / std::filesystem::path(name).replace_extension(".asm");
  // Every program a test compiles is compiled once more with the optimizer's full-rescan
  // engine, which must write the very same bytes (in the release build: the sanitizer
  // build leaves that to the engine comparison's own test).
#ifdef VORAX_SANITIZER_BUILD
  constexpr bool kCompareEngines = false;
#else
  constexpr bool kCompareEngines = true;
#endif
  const bool compareEngines = kCompareEngines && options.localTier && !options.fullRescanReference;
  std::string reference;
  if (compareEngines) {
    CompileOptions referenceOptions = options;
    referenceOptions.fullRescanReference = true;
    referenceOptions.ruleStatistics = nullptr;
    RecordingHost referenceHost;
    compileFile(path.string(), referenceHost, referenceOptions);
    reference = readBytes(asmPath);
    std::filesystem::remove(asmPath);
  }
  compileFile(path.string(), result.host, options);
  const std::string asmName = std::filesystem::path(name).replace_extension(".asm").string();
  if (tree.exists(asmName)) {
    result.lines = tree.readLines(asmName);
    if (compareEngines) {
      const std::string fast = readBytes(asmPath);
      EXPECT_TRUE(fast == reference) << name << ": the optimizer's engines disagree: "
                                     << firstDifference(fast, reference);
    }
    if (result.host.errors.empty()) {
      const TargetCpu starting = options.cpu.value_or(TargetCpu::H8_300H);
      const std::string startingCpu = starting == TargetCpu::H8_300L   ? "300L"
                                      : starting == TargetCpu::H8_2000 ? "2000"
                                                                       : "300H";
      expectAssembles(tree.root() / asmName, cpuSelectedBy(source, startingCpu));
    }
  }
  return result;
}

int findSequence(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  if (expected.empty() || lines.size() < expected.size()) {
    return expected.empty() ? 0 : -1;
  }
  for (std::size_t i = 0; i + expected.size() <= lines.size(); ++i) {
    bool match = true;
    for (std::size_t j = 0; j < expected.size() && match; ++j) {
      match = lines[i + j] == expected[j];
    }
    if (match) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace vorax::testing
