// The examples of the documents, read from their Markdown text. A fenced block tagged
// "pascal" is a source that must compile; what the document says about it is written in an
// HTML comment on the line before its fence (invisible when the page is shown):
//   <!-- file NAME -->     the source is saved as NAME (a unit that later examples link)
//   <!-- include NAME -->  the source is an include file saved as NAME, not compiled alone
//   <!-- link NAME -->     the program runs together with the unit saved as NAME.PAS
//   <!-- error N -->       the source must stop with error N
// A following block tagged "input" is the program's standard input, one tagged "output"
// what it must print.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vorax::testing {

struct DocExample {
  std::string document;  // file name of the document, e.g. "LANGUAGE.md"
  int line = 0;          // line of the opening fence
  std::string source;    // UTF-8, as written in the document
  std::string fileName;  // where the source is saved; "" gives a name of its own
  bool includeOnly = false;
  std::vector<std::string> links;  // units to run with
  int expectedError = 0;           // 0: the source compiles
  bool hasInput = false;
  std::string input;
  bool hasOutput = false;
  std::string output;
};

// How a failing example is named in test output: its document and line.
void PrintTo(const DocExample& example, std::ostream* stream);

// The examples of one document in their order. Unknown comment words are a failure of the
// document, reported as an example with expectedError -1 and the text in `source`.
[[nodiscard]] std::vector<DocExample> readDocExamples(const std::filesystem::path& document);

}  // namespace vorax::testing
