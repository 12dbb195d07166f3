// docs/ERRORS.md against the compiler: every numbered text appears exactly as the compiler
// prints it, every error the compiler can report has a sample (the samples themselves are
// run by the document-example test), and an error called "never reported" is indeed not
// raised anywhere in the compiler's sources.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "diag/error_table.h"
#include "docs/doc_examples.h"

namespace vorax {
namespace {

namespace fs = std::filesystem;

constexpr int kHighestNumberWithText = 102;
constexpr std::string_view kNoText = "Need more debug";
constexpr std::string_view kNeverReported = "This compiler never reports this error";

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

fs::path errorsDocument() { return fs::path(VORAX_SOURCE_DIR) / "docs/ERRORS.md"; }

// The entry of each error: the text from its "### N · ..." heading to the next heading.
std::map<int, std::string> entries() {
  const std::string text = readFile(errorsDocument());
  std::map<int, std::string> result;
  const std::regex heading(R"(\n### (\d+) · )");
  std::vector<std::pair<int, std::size_t>> starts;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), heading);
       it != std::sregex_iterator(); ++it) {
    starts.emplace_back(std::stoi((*it)[1]), static_cast<std::size_t>(it->position()));
  }
  for (std::size_t i = 0; i < starts.size(); ++i) {
    std::size_t end = i + 1 < starts.size() ? starts[i + 1].second : text.find("\n## ", starts[i].second);
    if (end == std::string::npos) end = text.size();
    result[starts[i].first] = text.substr(starts[i].second, end - starts[i].second);
  }
  return result;
}

TEST(ErrorsDocument, EveryNumberedTextIsListedAsPrinted) {
  const std::map<int, std::string> listed = entries();
  for (int number = 1; number <= kHighestNumberWithText; ++number) {
    const std::string_view text = errorText(number);
    if (text == kNoText) {
      EXPECT_EQ(listed.count(number), 0U) << number << " has no text and no entry of its own";
      continue;
    }
    ASSERT_EQ(listed.count(number), 1U) << "no entry for error " << number;
    const std::string printed = "`Error:" + std::to_string(number) + "  " + std::string(text) + "`";
    EXPECT_NE(listed.at(number).find(printed), std::string::npos)
        << "error " << number << " should show " << printed;
  }
}

TEST(ErrorsDocument, EveryReportedErrorHasASampleOfItsNumber) {
  std::map<int, int> samples;  // error number -> samples
  for (const auto& example : testing::readDocExamples(errorsDocument())) {
    ++samples[example.expectedError];
  }
  for (const auto& [number, entry] : entries()) {
    const bool neverReported = entry.find(kNeverReported) != std::string::npos;
    EXPECT_EQ(samples.count(number) != 0, !neverReported)
        << "error " << number << (neverReported ? " is never reported but has a sample"
                                                : " has no sample");
  }
}

// The compiler names the numbers it reports as constants ("constexpr int kName = 41;")
// handed to reportError. A number the document calls never reported must have none.
TEST(ErrorsDocument, ErrorsCalledNeverReportedAreNotRaised) {
  std::string sources;
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(VORAX_SOURCE_DIR) / "src")) {
    const std::string path = entry.path().string();
    const bool compiler = path.find("/src/sim/") == std::string::npos &&
                          path.find("/src/shell/") == std::string::npos;
    const std::string extension = entry.path().extension().string();
    if (compiler && (extension == ".cpp" || extension == ".h")) sources += readFile(entry.path());
  }
  const std::regex constant(R"(constexpr int (k\w+) = (\d+);)");
  std::map<int, std::vector<std::string>> raised;
  for (auto it = std::sregex_iterator(sources.begin(), sources.end(), constant);
       it != std::sregex_iterator(); ++it) {
    const std::string name = (*it)[1];
    if (sources.find("reportError(" + name + ")") != std::string::npos ||
        sources.find("reportError(err::" + name + ")") != std::string::npos) {
      raised[std::stoi((*it)[2])].push_back(name);
    }
  }
  for (const auto& [number, entry] : entries()) {
    if (entry.find(kNeverReported) == std::string::npos) continue;
    EXPECT_EQ(raised.count(number), 0U)
        << "error " << number << " is raised through " << raised[number].front()
        << ": describe its cause and add a sample";
  }
}

}  // namespace
}  // namespace vorax
