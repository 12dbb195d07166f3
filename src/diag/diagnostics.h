// Numbered source errors and warnings. A source error ends the compilation: the error
// block goes into the assembly file, the message to the host, and `tokeninvalid`
// unwinds back to compileFile.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace vorax {

class Compilation;

// Raised by reportError once the error has been written and shown; compileFile catches it.
class tokeninvalid : public std::exception {
 public:
  [[nodiscard]] const char* what() const noexcept override { return ""; }
};

// "Error:" + number + two blanks + text (+ suffix), UTF-8.
[[nodiscard]] std::string composeErrorMessage(int number, std::string_view suffix);

class Diagnostics {
 public:
  explicit Diagnostics(Compilation& compilation);

  [[noreturn]] void reportError(int number);
  // Appends " " + name + " " to the message of `number`.
  [[noreturn]] void reportErrorWithName(int number, std::string_view name);

  // Writes a ";#" warning line into the output and counts it.
  void writeWarning(std::string_view line);

  [[nodiscard]] std::int32_t warningCount() const { return warningCount_; }
  [[nodiscard]] const std::string& errorSuffix() const { return errorSuffix_; }

 private:
  Compilation& compilation_;
  std::string errorSuffix_;
  std::int32_t warningCount_ = 0;
};

}  // namespace vorax
