#include "asmout/labels.h"

#include "driver/compilation.h"

namespace vorax {

std::string localLabelText(int number) { return "$" + std::to_string(number); }

std::string currentLabel(Compilation& compilation, bool forgetRegisters) {
  if (forgetRegisters) {
    compilation.registers.forgetRegisterContents();
  }
  Emitter& emitter = compilation.emitter;
  if (!emitter.pendingLabel().empty()) {
    return emitter.pendingLabel();
  }
  std::string label = localLabelText(emitter.newLabelNumber());
  emitter.defineLabel(false, label);
  return label;
}

void placeLabelIfUsed(Compilation& compilation, bool forgetRegisters, std::string_view label) {
  Emitter& emitter = compilation.emitter;
  LocalLabelUses& uses = emitter.window().labelUses();
  if (label == emitter.pendingLabel()) {
    uses.countUse(label);
  } else if (uses.uses(label) != 0) {
    emitter.defineLabel(forgetRegisters, label);
  }
}

std::string placeMarker(Compilation& compilation, std::string_view prefix) {
  Emitter& emitter = compilation.emitter;
  std::string marker = std::string(prefix) + std::to_string(emitter.newLabelNumber());
  emitter.defineLabel(false, marker);
  emitter.emitLabelFiller("bcx", marker);
  return marker;
}

namespace {
// The source a spill mark's line carries once its value must be pushed in any case.
constexpr std::string_view kPushRequired = "@-sp";
}  // namespace

void requireSpillPush(Compilation& compilation, int line) {
  compilation.emitter.window().setSource(line, kPushRequired);
}

std::string placeSpillMark(Compilation& compilation, std::string_view registerText) {
  const std::string mark = placeMarker(compilation, "@");
  PeepholeWindow& window = compilation.emitter.window();
  if (!window.empty() && window.last().label == mark) {
    window.setDestination(window.count() - 1, registerText);
  }
  return mark;
}

void resolveSpillMark(Compilation& compilation, std::string_view mark, std::string& registerText,
                      bool isLong) {
  PeepholeWindow& window = compilation.emitter.window();
  int markLine = window.count() - 1;
  while (markLine >= 0 && window[markLine].label != mark) {
    --markLine;
  }
  if (markLine < 0) {
    compilation.registers.releaseRegister(registerText);
    registerText = compilation.registers.allocateRegister();
    compilation.emitter.emitInstruction("mov.l", "@sp+", registerText);
    return;
  }
  bool callFollowed = window[markLine].source == kPushRequired;
  for (int i = markLine; i < window.count() && !callFollowed; ++i) {
    callFollowed = window[i].mnemonic == "bsr";
  }
  window.setLabel(markLine, "");
  if (!callFollowed) {
    window.setMnemonic(markLine, "nop");
    window.setSource(markLine, "");
    window.setDestination(markLine, "");
    return;
  }
  const std::string move = isLong ? "mov.l" : "mov.w";
  window.setMnemonic(markLine, move);
  window.setSource(markLine, registerText);
  window.setDestination(markLine, "@-sp");
  registerText = compilation.registers.allocateRegister();
  compilation.emitter.emitInstruction(move, "@sp+", registerText);
}

}  // namespace vorax
