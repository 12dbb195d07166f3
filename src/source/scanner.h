// The scanner: turns the reader's characters into tokens for a parser that looks one
// token ahead. Comments are consumed here; directive comments go to Directives; tokens
// of inactive conditional text are scanned and dropped.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "source/real48.h"
#include "source/token_codes.h"

namespace vorax {

class Compilation;

class Scanner {
 public:
  // Identifiers and reserved words are significant to this many characters.
  static constexpr std::size_t kSignificantLength = 23;
  // String constants are handed on in chunks of this many characters.
  static constexpr std::size_t kStringChunkLength = 8;

  explicit Scanner(Compilation& compilation);

  void buildReservedWordTable();
  void nextToken();

  [[nodiscard]] TokenCode currentToken() const { return currentToken_; }
  // The upper-cased identifier or reserved word read last.
  [[nodiscard]] const std::string& currentIdentifier() const { return currentIdentifier_; }
  [[nodiscard]] std::int32_t integerValue() const { return integerValue_; }
  [[nodiscard]] const Real48& realValue() const { return realValue_; }
  [[nodiscard]] std::uint8_t charValue() const { return charValue_; }
  // The text of the string constant read last (never of exactly one character).
  [[nodiscard]] const std::string& stringValue() const { return stringValue_; }
  // The same text in chunks of kStringChunkLength, all but the last full; none for ''.
  [[nodiscard]] std::vector<std::string_view> stringChunks() const;
  // Characters before the current token on its line, counted without the indentation.
  [[nodiscard]] int tokenColumn() const { return tokenColumn_; }

  // R0..R7, FP and SP are errors as identifiers unless this is on (it is while the field
  // names of the predefined register record are read).
  void setRegisterNamesAllowed(bool on) { registerNamesAllowed_ = on; }
  [[nodiscard]] bool registerNamesAllowed() const { return registerNamesAllowed_; }

  // The reserved word of `code` (31..72) as stored in the table.
  [[nodiscard]] std::string_view reservedWord(TokenCode code) const;

 private:
  static constexpr int kReservedWordCount = kLastReservedWord - kFirstReservedWord + 1;
  static constexpr std::size_t kLongestReservedWord = 15;

  void scanToken();
  void scanIdentifier();
  void scanDecimalNumber();
  void appendDigits(std::string& text);
  void appendExponent(std::string& text);
  void scanHexadecimalNumber();
  void scanString();
  void scanBraceComment();
  void scanParenStarComment();
  void scanLineComment();
  void finishComment();
  // Consumes the current character and makes `code` the token.
  void single(TokenCode code);

  Compilation& compilation_;
  TokenCode currentToken_ = TokenCode::Comment;
  std::string currentIdentifier_;
  std::int32_t integerValue_ = 0;
  Real48 realValue_;
  std::uint8_t charValue_ = 0;
  std::string stringValue_;
  int tokenColumn_ = 0;
  bool registerNamesAllowed_ = false;

  std::array<std::string_view, kReservedWordCount> reservedWords_{};
  // For word length L (2..15), the code just before the first reserved word of length L.
  std::array<int, kLongestReservedWord + 1> firstIndexByLength_{};
};

}  // namespace vorax
