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

CompileResult compileSource(const SourceTree& tree, const std::string& source,
                            const std::string& name, const CompileOptions& options) {
  CompileResult result;
  const auto path = tree.write(name, source);
  compileFile(path.string(), result.host, options);
  const std::string asmName = std::filesystem::path(name).replace_extension(".asm").string();
  if (tree.exists(asmName)) {
    result.lines = tree.readLines(asmName);
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
