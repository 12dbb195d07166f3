// The scanner: turns the reader's characters into tokens for a parser that looks one
// token ahead. Comments are consumed here; directive comments go to Directives; tokens
// of inactive conditional text are scanned and dropped.
#pragma once

#include <cstdint>
#include <string>

#include "source/token_codes.h"

namespace vorax {

class Compilation;

class Scanner {
 public:
  explicit Scanner(Compilation& compilation);

  void buildReservedWordTable();
  void nextToken();

  [[nodiscard]] TokenCode currentToken() const { return currentToken_; }
  [[nodiscard]] const std::string& currentIdentifier() const { return currentIdentifier_; }
  [[nodiscard]] std::int32_t integerValue() const { return integerValue_; }
  // Characters before the current token on its line, counted without the indentation.
  [[nodiscard]] int tokenColumn() const { return tokenColumn_; }

 private:
  Compilation& compilation_;
  TokenCode currentToken_ = TokenCode::Comment;
  std::string currentIdentifier_;
  std::int32_t integerValue_ = 0;
  int tokenColumn_ = 0;
};

}  // namespace vorax
