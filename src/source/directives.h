// Compiler directives: switches, target processor, memory map, conditional symbols and
// conditional compilation, source and assembly include requests.
#pragma once

#include <cstdint>
#include <string>

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
};

class Directives {
 public:
  explicit Directives(Compilation& compilation);

  DirectiveSettings& settings() { return settings_; }
  [[nodiscard]] const DirectiveSettings& settings() const { return settings_; }

 private:
  Compilation& compilation_;
  DirectiveSettings settings_;
};

}  // namespace vorax
