// Compiler directives: comments whose first character is "$". They set switches, select
// the target processor, give the memory map, define conditional symbols and control
// conditional compilation, and request source or assembly includes (which the reader
// carries out once the comment is closed).
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "driver/compile_options.h"
#include "source/condition_stack.h"

namespace vorax {

class Compilation;

// The switches and settings the directives change. Defaults are those of a new compilation.
struct DirectiveSettings {
  bool echoSourceSwitch = true;
  bool cpu300H = true;
  bool cpu300L = false;
  bool cpu2000 = false;
  bool switchD = false;
  bool switchI = false;
  bool switchV = true;
  bool unusedReportSwitch = false;
  std::string ramSetting;    // empty or "h'" + 8 lower-case hexadecimal digits
  std::string stackSetting;  // likewise
  std::string romSetting;    // likewise
  std::int32_t romAddress = 0;

  // The processor the {$CPU ...} in force selects.
  [[nodiscard]] TargetCpu targetCpu() const {
    return cpu2000 ? TargetCpu::H8_2000 : cpu300L ? TargetCpu::H8_300L : TargetCpu::H8_300H;
  }
};

// How the comment being read closes: "}" or "*)".
enum class CommentKind { Brace, ParenStar };

enum class IncludeKind { None, Source, Assembly };

class Directives {
 public:
  // A directive read inside this many directives that are still being read is error 98:
  // each level is a recursion of the scanner, which a source must not drive without end.
  static constexpr int kMaxDirectiveNesting = 8;

  // Reads one value of the memory-map directive, starting with the token after the "M"
  // word or after a ","; leaves the token after the value in the scanner. 0 means "not
  // given".
  using MemoryValueReader = std::function<std::int32_t(Compilation&)>;

  explicit Directives(Compilation& compilation);

  DirectiveSettings& settings() { return settings_; }
  [[nodiscard]] const DirectiveSettings& settings() const { return settings_; }

  // Called by the scanner right after a comment's opening characters, with currentToken
  // set to the comment code. Returns true when the directive has read the comment's
  // closing characters as a token (the scanner then doesn't skip to the comment's end).
  bool readDirective(CommentKind kind);

  // Whether source text is active (not dropped by conditional compilation).
  [[nodiscard]] bool textActive() const { return conditions_.active(); }
  [[nodiscard]] const ConditionStack& conditions() const { return conditions_; }

  // The include request of the comment just read; the reader takes it at the comment's end.
  [[nodiscard]] IncludeKind pendingInclude() const { return pendingInclude_; }
  [[nodiscard]] const std::string& includeName() const { return includeName_; }
  void clearPendingInclude() { pendingInclude_ = IncludeKind::None; }

  // Conditional symbols are kept under the name "0" + symbol, which no source identifier
  // can have. `name` is the symbol as written in the directive, upper case.
  [[nodiscard]] bool isConditionalSymbolDefined(std::string_view name) const;
  // Defines a conditional symbol; false when it was defined already.
  bool defineSymbol(std::string_view name);

  // Called once the memory map has been written into the output (right after the program
  // or unit heading): a memory directive after that point is error 64.
  void closeMemoryMap() { memoryMapWritten_ = true; }

  // The reader of memory-map values; by default a constant expression.
  void setMemoryValueReader(MemoryValueReader reader) { memoryValueReader_ = std::move(reader); }
  static std::int32_t readMemoryValue(Compilation& compilation);

 private:
  [[nodiscard]] bool atCommentClose() const;
  void skipBlanks();
  std::string readWord();
  std::string readFileName();
  void readSwitch(bool& flag);

  void readEchoOrCpu();
  void readCpuName();
  void readSwitchDOrDefine();
  void readElseOrEndif();
  void readSwitchIOrConditionalOrInclude();
  void readConditionalInInactiveText();
  void openConditional(bool textWasActive);
  void readMemoryMap();
  // A memory-map value that is not an address of the chosen CPU is error 45.
  void checkMemoryAddress(std::int32_t value);
  [[nodiscard]] std::uint32_t addressLimit() const;

  Compilation& compilation_;
  DirectiveSettings settings_;
  ConditionStack conditions_;
  std::set<std::string> conditionalSymbols_;  // "0" + name
  CommentKind commentKind_ = CommentKind::Brace;
  // Directives being read right now: one that reads tokens (DEFINE, M) meets the comments
  // inside it, and those may be directives again.
  int openDirectives_ = 0;
  bool memoryMapWritten_ = false;
  IncludeKind pendingInclude_ = IncludeKind::None;
  std::string includeName_ = " ";
  MemoryValueReader memoryValueReader_ = &Directives::readMemoryValue;
  // The highest address the memory map names so far: a CPU chosen after it must reach it.
  std::uint32_t highestMemoryAddress_ = 0;
};

}  // namespace vorax
