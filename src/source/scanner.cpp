#include "source/scanner.h"

#include <charconv>

#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

// In code order: by length, alphabetical within a length.
constexpr std::array<std::string_view, 42> kReservedWords = {
    "DO",       "IF",       "IN",       "OF",        "OR",        "TO",        "AND",
    "DIV",      "END",      "FOR",      "MOD",       "NIL",       "NOT",       "SHL",
    "SHR",      "VAR",      "XOR",      "CASE",      "ELSE",      "THEN",      "TYPE",
    "UNIT",     "USES",     "WITH",     "ARRAY",     "BEGIN",     "CONST",     "UNTIL",
    "WHILE",    "DOWNTO",   "NEXTOF",   "RECORD",    "REPEAT",    "FORWARD",   "PROGRAM",
    "ABSOLUTE", "EXTERNAL", "FUNCTION", "INTERFACE", "INTERRUPT", "PROCEDURE", "IMPLEMENTATION"};

// Lengths 10 to 13 have no words; their entries point before IMPLEMENTATION, which then
// fails the length test.
constexpr std::array<int, 14> kFirstIndexByLength = {30, 36, 47, 54, 59, 63, 65,
                                                     68, 71, 71, 71, 71, 71, 72};
constexpr std::size_t kShortestReservedWord = 2;
constexpr std::size_t kLongestWordLookedUp = 14;

constexpr std::array<std::string_view, 10> kRegisterNames = {"R0", "R1", "R2", "R3", "R4",
                                                             "R5", "R6", "R7", "FP", "SP"};
constexpr int kMaxHexadecimalDigits = 8;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (upper(c) >= 'A' && upper(c) <= 'F'); }
int hexDigitValue(char c) { return isDigit(c) ? c - '0' : upper(c) - 'A' + 10; }

}  // namespace

Scanner::Scanner(Compilation& compilation) : compilation_(compilation) { buildReservedWordTable(); }

void Scanner::buildReservedWordTable() {
  reservedWords_ = kReservedWords;
  firstIndexByLength_.fill(0);
  for (std::size_t length = kShortestReservedWord; length <= kLongestReservedWord; ++length) {
    firstIndexByLength_[length] = kFirstIndexByLength[length - kShortestReservedWord];
  }
}

std::string_view Scanner::reservedWord(TokenCode code) const {
  const int index = static_cast<int>(code) - kFirstReservedWord;
  return index >= 0 && index < kReservedWordCount ? reservedWords_[static_cast<std::size_t>(index)]
                                                  : std::string_view();
}

std::vector<std::string_view> Scanner::stringChunks() const {
  std::vector<std::string_view> chunks;
  const std::string_view text = stringValue_;
  for (std::size_t start = 0; start < text.size(); start += kStringChunkLength) {
    chunks.push_back(text.substr(start, kStringChunkLength));
  }
  return chunks;
}

void Scanner::nextToken() {
  Reader& reader = compilation_.reader;
  for (;;) {
    while (reader.currentChar() == ' ' || reader.currentChar() == '\t') {
      reader.nextChar();
    }
    tokenColumn_ = reader.currentColumn();
    scanToken();
    // Comments never reach the parser; tokens of inactive text are scanned (so their
    // errors are still found) and dropped.
    if (currentToken_ != TokenCode::Comment && compilation_.directives.textActive()) {
      return;
    }
  }
}

void Scanner::single(TokenCode code) {
  compilation_.reader.nextChar();
  currentToken_ = code;
}

void Scanner::scanToken() {
  Reader& reader = compilation_.reader;
  const char c = reader.currentChar();
  if (isLetter(c)) {
    scanIdentifier();
    return;
  }
  if (isDigit(c)) {
    scanDecimalNumber();
    return;
  }
  switch (c) {
    case '$':
      scanHexadecimalNumber();
      return;
    case '\'':
      scanString();
      return;
    case '{':
      scanBraceComment();
      return;
    case '(':
      reader.nextChar();
      if (reader.currentChar() == '*') {
        scanParenStarComment();
      } else {
        currentToken_ = TokenCode::OpenParen;
      }
      return;
    case '*':
      reader.nextChar();
      if (reader.currentChar() == ')') {
        single(TokenCode::CloseStarParen);
      } else {
        currentToken_ = TokenCode::Star;
      }
      return;
    case '/':
      reader.nextChar();
      if (reader.currentChar() == '/') {
        scanLineComment();
      } else {
        currentToken_ = TokenCode::Slash;
      }
      return;
    case '<':
      reader.nextChar();
      if (reader.currentChar() == '=') {
        single(TokenCode::LessEqual);
      } else if (reader.currentChar() == '>') {
        single(TokenCode::NotEqual);
      } else {
        currentToken_ = TokenCode::Less;
      }
      return;
    case '>':
      reader.nextChar();
      if (reader.currentChar() == '=') {
        single(TokenCode::GreaterEqual);
      } else {
        currentToken_ = TokenCode::Greater;
      }
      return;
    case ':':
      reader.nextChar();
      if (reader.currentChar() == '=') {
        single(TokenCode::Assign);
      } else {
        currentToken_ = TokenCode::Colon;
      }
      return;
    case '.':
      reader.nextChar();
      if (reader.currentChar() == '.') {
        single(TokenCode::Range);
      } else {
        currentToken_ = TokenCode::Period;
      }
      return;
    case ')':
      return single(TokenCode::CloseParen);
    case '+':
      return single(TokenCode::Plus);
    case ',':
      return single(TokenCode::Comma);
    case '-':
      return single(TokenCode::Minus);
    case ';':
      return single(TokenCode::Semicolon);
    case '=':
      return single(TokenCode::Equal);
    case '@':
      return single(TokenCode::At);
    case '[':
      return single(TokenCode::OpenBracket);
    case ']':
      return single(TokenCode::CloseBracket);
    case '^':
      return single(TokenCode::Caret);
    case '}':
      return single(TokenCode::CloseBrace);
    default:
      // Control characters, the other punctuation and every byte from 127 up (which
      // includes all full-width characters) can't start a token.
      compilation_.reportError(err::kInvalidCharacter);
  }
}

void Scanner::scanIdentifier() {
  Reader& reader = compilation_.reader;
  currentIdentifier_.clear();
  currentToken_ = TokenCode::Identifier;
  do {
    // Characters past the significant length are read and dropped.
    if (currentIdentifier_.size() < kSignificantLength) {
      currentIdentifier_ += upper(reader.currentChar());
    }
    reader.nextChar();
  } while (isLetter(reader.currentChar()) || isDigit(reader.currentChar()) ||
           reader.currentChar() == '_');

  const std::size_t length = currentIdentifier_.size();
  if (length < kShortestReservedWord || length > kLongestWordLookedUp) {
    return;
  }
  if (!registerNamesAllowed_) {
    for (const std::string_view name : kRegisterNames) {
      if (currentIdentifier_ == name) {
        compilation_.reportError(err::kRegisterName);
      }
    }
  }
  for (int code = firstIndexByLength_[length] + 1; code <= kLastReservedWord; ++code) {
    const std::string_view word =
        reservedWords_[static_cast<std::size_t>(code - kFirstReservedWord)];
    if (word.size() != length) {
      break;
    }
    if (word == currentIdentifier_) {
      currentToken_ = static_cast<TokenCode>(code);
      return;
    }
  }
}

void Scanner::appendDigits(std::string& text) {
  Reader& reader = compilation_.reader;
  while (isDigit(reader.currentChar())) {
    text += reader.currentChar();
    reader.nextChar();
  }
}

// "E" (as written), then a sign or a digit, then digits.
void Scanner::appendExponent(std::string& text) {
  Reader& reader = compilation_.reader;
  text += reader.currentChar();
  reader.nextChar();
  const char c = reader.currentChar();
  if (c != '+' && c != '-' && !isDigit(c)) {
    compilation_.reportError(err::kConstantOutOfRange);
  }
  text += c;
  reader.nextChar();
  appendDigits(text);
}

// Digits [ "." digits ] [ "E" exponent ]. The whole text is kept, however long: cutting
// it would change the value. A "." followed by another "." is left for the ".." token.
void Scanner::scanDecimalNumber() {
  Reader& reader = compilation_.reader;
  std::string text;
  appendDigits(text);
  if (upper(reader.currentChar()) == 'E') {
    appendExponent(text);
  } else if (reader.currentChar() == '.' && reader.peekChar() != '.') {
    text += '.';
    reader.nextChar();
    appendDigits(text);
    if (upper(reader.currentChar()) == 'E') {
      appendExponent(text);
    }
  }

  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc() && end == text.data() + text.size()) {
    currentToken_ = TokenCode::IntegerConst;
    integerValue_ = value;
    return;
  }
  // Not a 32-bit integer (a fraction, an exponent, or too large): a real constant.
  const std::optional<Real48> real = real48FromDecimal(text);
  if (!real) {
    compilation_.reportError(err::kConstantOutOfRange);
  }
  currentToken_ = TokenCode::RealConst;
  realValue_ = *real;
}

// "$" and 1 to 8 hexadecimal digits; eight F digits are -1.
void Scanner::scanHexadecimalNumber() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  if (!isHexDigit(reader.currentChar())) {
    compilation_.reportError(err::kConstantOutOfRange);
  }
  std::uint32_t value = 0;
  int digits = 0;
  while (isHexDigit(reader.currentChar())) {
    if (++digits > kMaxHexadecimalDigits) {
      compilation_.reportError(err::kConstantOutOfRange);
    }
    value = (value << 4) | static_cast<std::uint32_t>(hexDigitValue(reader.currentChar()));
    reader.nextChar();
  }
  currentToken_ = TokenCode::IntegerConst;
  integerValue_ = static_cast<std::int32_t>(value);
}

// '...' with '' for a quote. Exactly one character is a character constant; any other
// length (0 included) a string constant. The reader reports a string that runs past its
// line.
void Scanner::scanString() {
  Reader& reader = compilation_.reader;
  reader.setInsideString(true);
  std::string text;
  for (;;) {
    reader.nextChar();
    if (reader.currentChar() == '\'') {
      reader.nextChar();
      if (reader.currentChar() != '\'') {
        break;
      }
    }
    text += reader.currentChar();
  }
  reader.setInsideString(false);
  if (text.size() == 1) {
    currentToken_ = TokenCode::CharConst;
    charValue_ = static_cast<std::uint8_t>(text[0]);
  } else {
    currentToken_ = TokenCode::StringConst;
    stringValue_ = std::move(text);
  }
}

void Scanner::scanBraceComment() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  currentToken_ = TokenCode::Comment;
  if (!compilation_.directives.readDirective(CommentKind::Brace)) {
    // The reader walks the text by characters: a "}" that is the second byte of a
    // Shift-JIS character (as in many kanji) belongs to that character.
    while (reader.currentChar() != '}' || reader.currentIsSecondByte()) {
      reader.nextChar();
    }
    reader.nextChar();
  }
  finishComment();
}

void Scanner::scanParenStarComment() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  currentToken_ = TokenCode::Comment;
  if (!compilation_.directives.readDirective(CommentKind::ParenStar)) {
    for (;;) {
      if (reader.currentChar() != '*' || reader.currentIsSecondByte()) {
        reader.nextChar();
        continue;
      }
      reader.nextChar();
      if (reader.currentChar() == ')') {
        break;
      }
    }
    reader.nextChar();
  }
  finishComment();
}

// "//": the rest of the line, directives included; the token after it starts on the next
// line.
void Scanner::scanLineComment() {
  Reader& reader = compilation_.reader;
  while (!reader.lineExhausted()) {
    reader.nextChar();
  }
  reader.nextChar();
  currentToken_ = TokenCode::Comment;
}

void Scanner::finishComment() {
  compilation_.reader.performPendingInclude();
  currentToken_ = TokenCode::Comment;
}

}  // namespace vorax
