#include "driver/prologue.h"

#include <cstdlib>
#include <string>

#include "asmout/runtime_names.h"
#include "diag/short_text.h"
#include "driver/clock_text.h"
#include "driver/compilation.h"
#include "driver/version.h"

namespace vorax {
namespace {

constexpr std::size_t kDateTextWidth = 64;

// "h'0000ff00" -> 65280. The settings are always written by the M directive in that form.
std::int32_t settingValue(const std::string& setting) {
  std::string digits = setting.rfind("h'", 0) == 0 ? setting.substr(2) : setting;
  return static_cast<std::int32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

}  // namespace

void writeProgramPrologue(Compilation& c) {
  c.directives.closeMemoryMap();
  DirectiveSettings& settings = c.directives.settings();
  Emitter& emitter = c.emitter;
  if (settings.ramSetting.empty()) {
    settings.ramSetting = "(\\eoc+1)/2*2";
  }
  emitter.emitRawLine("\\ram\tequ\t" + settings.ramSetting);
  const bool hasStack = !settings.stackSetting.empty();
  if (hasStack) {
    emitter.emitRawLine("\\stack\tequ\t" + settings.stackSetting);
    c.stackConstant = settingValue(settings.stackSetting);
  }
  if (!settings.romSetting.empty()) {
    emitter.emitRawLine("\\rom\tequ\t" + settings.romSetting);
    emitter.emitRawLine("\torg\t\\rom");
  }
  emitter.emitRawLine("\tdl\tprogram,\\ram");
  emitter.defineLabel(true, "program");
  if (hasStack) {
    emitter.emitInstruction("mov.l", "sp", "\\ram");
    emitter.emitInstruction("mov.l", "#\\stack", "sp");
  }
  emitter.emitInstruction("bsr", rt::kLinkFree, "");
  emitter.emitInstruction("bsr", c.programLabel, "");
  if (hasStack) {
    emitter.emitInstruction("mov.l", "\\ram", "sp");
  }
  emitter.emitInstruction("bra", rt::kHalt, "");
  emitter.emitRawLine(";");
}

void writeUnitMemoryMap(Compilation& c) {
  c.directives.closeMemoryMap();
  const DirectiveSettings& settings = c.directives.settings();
  Emitter& emitter = c.emitter;
  if (!settings.ramSetting.empty()) {
    emitter.emitRawLine("\\ram\tequ\t" + settings.ramSetting);
  }
  if (!settings.stackSetting.empty()) {
    emitter.emitRawLine("\\stack\tequ\t" + settings.stackSetting);
  }
  if (!settings.romSetting.empty()) {
    emitter.emitRawLine("\\rom\tequ\t" + settings.romSetting);
    emitter.emitRawLine("\torg\t\\rom");
  }
}

void writeSignature(Compilation& c, bool isProgram) {
  const LocalDateTime now = c.host.now();
  const std::string dateText = cutText(
      "\"compiled: " + shortDateText(now) + " " + longTimeText(now) + "\"", kDateTextWidth);
  const std::string count = std::to_string(dateText.size() - 2);
  Emitter& emitter = c.emitter;
  emitter.emitRawLine("\tdb\t\"KESTRIL " + std::string(kVersionText) + "  " +
                      std::string(kProductDate) + "\"");
  emitter.emitRawLine((isProgram ? "\\date:\tdb\t" : "\tdb\t") + count + "," + dateText);
  emitter.emitRawLine(";");
  emitter.emitRawLine("\torg\t($+15)/16*16");
  emitter.setOddDataPending(false);
}

}  // namespace vorax
