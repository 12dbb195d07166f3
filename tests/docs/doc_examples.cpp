#include "docs/doc_examples.h"

#include <fstream>
#include <sstream>

namespace vorax::testing {
namespace {

std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The words of an HTML comment that stands alone on its line; empty when there is none.
std::vector<std::string> commentWords(const std::string& line) {
  std::vector<std::string> words;
  if (!startsWith(line, "<!--") || line.size() < 7 || line.substr(line.size() - 3) != "-->") {
    return words;
  }
  std::istringstream stream(line.substr(4, line.size() - 7));
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

}  // namespace

void PrintTo(const DocExample& example, std::ostream* stream) {
  *stream << example.document << ":" << example.line;
}

std::vector<DocExample> readDocExamples(const std::filesystem::path& document) {
  const std::vector<std::string> lines = readLines(document);
  const std::string name = document.filename().string();
  std::vector<DocExample> examples;
  // The example that input and output blocks belong to; none after its output.
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t last = kNone;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!startsWith(lines[i], "```")) continue;
    const std::string tag = lines[i].substr(3);
    const int fenceLine = static_cast<int>(i) + 1;
    std::string body;
    for (++i; i < lines.size() && !startsWith(lines[i], "```"); ++i) body += lines[i] + "\n";

    if (tag == "pascal") {
      DocExample example;
      example.document = name;
      example.line = fenceLine;
      example.source = body;
      const std::vector<std::string> words =
          fenceLine >= 2 ? commentWords(lines[fenceLine - 2]) : std::vector<std::string>{};
      for (std::size_t w = 0; w < words.size(); w += 2) {
        const std::string& key = words[w];
        const std::string value = w + 1 < words.size() ? words[w + 1] : "";
        if (key == "file") {
          example.fileName = value;
        } else if (key == "include") {
          example.fileName = value;
          example.includeOnly = true;
        } else if (key == "link") {
          example.links.push_back(value);
        } else if (key == "error") {
          example.expectedError = std::stoi(value);
        } else {
          example.expectedError = -1;
          example.source = "unknown example comment word: " + key;
        }
      }
      examples.push_back(example);
      last = examples.size() - 1;
    } else if (tag == "input" && last != kNone) {
      examples[last].hasInput = true;
      examples[last].input = body;
    } else if (tag == "output" && last != kNone) {
      examples[last].hasOutput = true;
      examples[last].output = body;
      last = kNone;
    }
  }
  return examples;
}

}  // namespace vorax::testing
