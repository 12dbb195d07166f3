#include "source/directives.h"

#include <algorithm>
#include <cstdio>

#include "diag/error_table.h"
#include "diag/short_text.h"
#include "driver/compilation.h"
#include "symbols/constant_source.h"

namespace vorax {
namespace {

constexpr std::size_t kSymbolNameWidth = 28;        // "0" + name, like an identifier entry
constexpr std::size_t kSignificantNameLength = 23;  // as for identifiers

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
bool isFileNameChar(char c) {
  return c == '.' || isDigit(c) || c == ':' || isLetter(c) || c == '\\' || c == '/';
}

// "h'" and the 32 bits as 8 lower-case hexadecimal digits, the form the prologue writes.
std::string hexadecimalSetting(std::int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "h'%08x",
                static_cast<unsigned>(static_cast<std::uint32_t>(value)));
  return text;
}

std::string symbolKey(std::string_view name) {
  return cutText("0" + cutText(name, kSignificantNameLength), kSymbolNameWidth);
}

}  // namespace

// The compilation's options act as directives in front of the first line: the symbols as
// {$DEFINE NAME}, the processor as {$CPU NAME}.
Directives::Directives(Compilation& compilation) : compilation_(compilation) {
  const CompileOptions& options = compilation.options;
  for (const std::string& name : options.definedSymbols) {
    std::string upperName;
    for (const char c : name) upperName += upper(c);
    defineSymbol(upperName);
  }
  if (options.cpu) {
    settings_.cpu300H = *options.cpu == TargetCpu::H8_300H;
    settings_.cpu300L = *options.cpu == TargetCpu::H8_300L;
    settings_.cpu2000 = *options.cpu == TargetCpu::H8_2000;
  }
}

bool Directives::defineSymbol(std::string_view name) {
  return conditionalSymbols_.insert(symbolKey(name)).second;
}

bool Directives::isConditionalSymbolDefined(std::string_view name) const {
  return conditionalSymbols_.count(symbolKey(name)) != 0;
}

bool Directives::readDirective(CommentKind kind) {
  pendingInclude_ = IncludeKind::None;
  includeName_ = " ";
  Reader& reader = compilation_.reader;
  if (reader.currentChar() != '$') {
    return false;
  }
  if (openDirectives_ >= kMaxDirectiveNesting) {
    compilation_.reportError(err::kNestingTooDeep);
  }
  // A directive met inside this one (through the tokens DEFINE or M read) closes its own
  // comment; this one's comment kind is back in force once it returns.
  const CommentKind enclosingKind = commentKind_;
  commentKind_ = kind;
  ++openDirectives_;
  struct Restore {
    Directives& self;
    CommentKind kind;
    ~Restore() {
      --self.openDirectives_;
      self.commentKind_ = kind;
    }
  } restore{*this, enclosingKind};
  reader.nextChar();
  const bool active = conditions_.active();
  switch (upper(reader.currentChar())) {
    case 'C':
      if (active) readEchoOrCpu();
      break;
    case 'D':
      if (active) readSwitchDOrDefine();
      break;
    case 'E':
      readElseOrEndif();
      break;
    case 'I':
      if (active) {
        readSwitchIOrConditionalOrInclude();
      } else {
        readConditionalInInactiveText();
      }
      break;
    case 'L':
      if (active) {
        pendingInclude_ = IncludeKind::Assembly;
        includeName_ = readFileName();
        if (includeName_.empty()) {
          // Nothing to name in the include line: it would read "include .asm".
          compilation_.reportError(err::kInvalidDirective);
        }
      }
      break;
    case 'M':
      if (active) readMemoryMap();
      break;
    case 'U':
      if (active) readSwitch(settings_.unusedReportSwitch);
      break;
    case 'V':
      if (active) readSwitch(settings_.switchV);
      break;
    default:
      break;  // other letters are ignored
  }
  const TokenCode token = compilation_.scanner.currentToken();
  return (kind == CommentKind::Brace && token == TokenCode::CloseBrace) ||
         (kind == CommentKind::ParenStar && token == TokenCode::CloseStarParen);
}

// Word and name reading never takes the comment's closing characters: a directive cut
// short ({$I}, {$IFDEF}) must not swallow the text up to the next comment's end.
bool Directives::atCommentClose() const {
  const Reader& reader = compilation_.reader;
  if (reader.currentIsSecondByte()) {
    return false;  // part of a Shift-JIS character
  }
  if (commentKind_ == CommentKind::Brace) {
    return reader.currentChar() == '}';
  }
  return reader.currentChar() == '*' && reader.peekChar() == ')';
}

void Directives::skipBlanks() {
  Reader& reader = compilation_.reader;
  while (reader.currentChar() == ' ' || reader.currentChar() == '\t') {
    reader.nextChar();
  }
}

// Blanks, then the current character and the letters, digits and "_" after it, upper case.
std::string Directives::readWord() {
  Reader& reader = compilation_.reader;
  skipBlanks();
  std::string word;
  if (atCommentClose()) {
    return word;
  }
  word += upper(reader.currentChar());
  reader.nextChar();
  while (isWordChar(reader.currentChar())) {
    word += upper(reader.currentChar());
    reader.nextChar();
  }
  return word;
}

// The character after the directive letter is passed over (it normally separates the
// name), then blanks; the name is upper case and ends at the first character that can't
// be part of a file name, so names can't hold blanks, "_" or "-".
std::string Directives::readFileName() {
  Reader& reader = compilation_.reader;
  if (!atCommentClose()) {
    reader.nextChar();
  }
  skipBlanks();
  std::string name;
  if (atCommentClose()) {
    return name;
  }
  name += upper(reader.currentChar());
  reader.nextChar();
  while (isFileNameChar(reader.currentChar())) {
    name += upper(reader.currentChar());
    reader.nextChar();
  }
  return name;
}

void Directives::readSwitch(bool& flag) {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  if (reader.currentChar() == '+' || reader.currentChar() == '-') {
    flag = reader.currentChar() == '+';
    reader.nextChar();
  }
}

// C+ / C-, or CPU name.
void Directives::readEchoOrCpu() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  const char c = reader.currentChar();
  if (c == '+' || c == '-') {
    settings_.echoSourceSwitch = c == '+';
    reader.nextChar();
  } else if (upper(c) == 'P') {
    reader.nextChar();
    if (upper(reader.currentChar()) == 'U') {
      readCpuName();
    }
  }
}

void Directives::readCpuName() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  skipBlanks();
  std::string name;
  if (!atCommentClose()) {
    name += reader.currentChar();
    reader.nextChar();
    while (isLetter(reader.currentChar()) || isDigit(reader.currentChar())) {
      name += upper(reader.currentChar());
      reader.nextChar();
    }
  }
  settings_.cpu300H = name == "300H";
  settings_.cpu300L = name == "300L";
  settings_.cpu2000 = name == "2000";
  if (!settings_.cpu300H && !settings_.cpu300L && !settings_.cpu2000) {
    compilation_.reportError(err::kUnsupportedCpu);
  }
  // A memory map given before the CPU must fit the CPU's addresses as well.
  if (highestMemoryAddress_ > addressLimit()) {
    compilation_.reportError(err::kConstantOutOfRange);
  }
}

// D+ / D-, or DEFINE name.
void Directives::readSwitchDOrDefine() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  const char c = reader.currentChar();
  if (c == '+' || c == '-') {
    settings_.switchD = c == '+';
    reader.nextChar();
    return;
  }
  if (readWord() != "EFINE") {
    return;  // other words after D are ignored
  }
  Scanner& scanner = compilation_.scanner;
  scanner.nextToken();
  const auto code = static_cast<int>(scanner.currentToken());
  const bool isName = scanner.currentToken() == TokenCode::Identifier ||
                      (code >= kFirstReservedWord && code <= kLastReservedWord);
  if (!isName) {
    // Without a name there is nothing to define (the identifier read last is not it).
    compilation_.reportError(err::kInvalidDirective);
  }
  if (!defineSymbol(scanner.currentIdentifier())) {
    compilation_.reportError(err::kDuplicateIdentifier);
  }
}

// ELSE and ENDIF are obeyed in dropped text too: they are what ends it.
void Directives::readElseOrEndif() {
  const std::string word = readWord();
  if (word == "ENDIF") {
    if (!conditions_.close()) {
      compilation_.reportError(err::kInvalidDirective);
    }
  } else if (word == "ELSE") {
    if (!conditions_.switchToElse()) {
      compilation_.reportError(err::kInvalidDirective);
    }
  }
}

// I+ / I-, IFDEF / IFNDEF name, or I FILE.
void Directives::readSwitchIOrConditionalOrInclude() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  const char c = reader.currentChar();
  if (c == '+' || c == '-') {
    settings_.switchI = c == '+';
    reader.nextChar();
  } else if (upper(c) == 'F') {
    openConditional(true);
  } else {
    pendingInclude_ = IncludeKind::Source;
    includeName_ = readFileName();
  }
}

// In dropped text the I directives are not obeyed, but a conditional still opens a level
// (one that stays inactive), so that its own ELSE and ENDIF don't end the enclosing one.
void Directives::readConditionalInInactiveText() {
  Reader& reader = compilation_.reader;
  reader.nextChar();
  if (upper(reader.currentChar()) == 'F') {
    openConditional(false);
  }
}

void Directives::openConditional(bool textWasActive) {
  const std::string word = readWord();
  const bool ifdef = word == "FDEF";
  if (!ifdef && word != "FNDEF") {
    if (textWasActive) {
      compilation_.reportError(err::kInvalidDirective);
    }
    return;  // unknown words in dropped text are ignored, like the other I directives
  }
  const bool defined = isConditionalSymbolDefined(readWord());
  if (!conditions_.open(ifdef ? defined : !defined)) {
    compilation_.reportError(err::kNestingTooDeep);
  }
}

// M or MEM heap,stack,pc — every value optional, 0 meaning "not given".
void Directives::readMemoryMap() {
  Reader& reader = compilation_.reader;
  std::string word;
  while (reader.currentChar() != ' ' && reader.currentChar() != '\t' && !atCommentClose()) {
    word += upper(reader.currentChar());
    reader.nextChar();
  }
  if (word != "M" && word != "MEM") {
    return;
  }
  if (memoryMapWritten_) {
    // The prologue (or the unit's map lines) already went out with the map as it stood,
    // and equates written since rely on it: a new map could reach none of them.
    compilation_.reportError(err::kInvalidDirective);
  }
  Scanner& scanner = compilation_.scanner;
  const std::int32_t ram = memoryValueReader_(compilation_);
  checkMemoryAddress(ram);
  if (ram != 0) {
    settings_.ramSetting = hexadecimalSetting(ram);
  }
  if (scanner.currentToken() != TokenCode::Comma) {
    return;
  }
  const std::int32_t stack = memoryValueReader_(compilation_);
  checkMemoryAddress(stack);
  if (stack != 0) {
    settings_.stackSetting = hexadecimalSetting(stack);
  }
  if (scanner.currentToken() != TokenCode::Comma) {
    return;
  }
  const std::int32_t rom = memoryValueReader_(compilation_);
  checkMemoryAddress(rom);
  if (rom != 0) {
    settings_.romSetting = hexadecimalSetting(rom);
    settings_.romAddress = rom;
  }
}

// 300L addresses are 16 bits wide, those of the other CPUs 24 bits.
std::uint32_t Directives::addressLimit() const {
  return settings_.cpu300L ? 0xFFFFu : 0xFFFFFFu;
}

// The values are addresses: the start of RAM, the initial stack pointer, the start of the
// code. A negative one or one beyond the CPU's address space gives a file that no
// assembler takes; 0 stands for "not given".
void Directives::checkMemoryAddress(std::int32_t value) {
  if (value < 0 || static_cast<std::uint32_t>(value) > addressLimit()) {
    compilation_.reportError(err::kConstantOutOfRange);
  }
  highestMemoryAddress_ = std::max(highestMemoryAddress_, static_cast<std::uint32_t>(value));
}

std::int32_t Directives::readMemoryValue(Compilation& compilation) {
  Scanner& scanner = compilation.scanner;
  scanner.nextToken();
  if (scanner.currentToken() != TokenCode::IntegerConst) {
    return 0;
  }
  // A constant expression that starts with a number; anything not constant counts as 0.
  return parseIntegerExpressionValue(compilation).value_or(0);
}

}  // namespace vorax
