#include "stmt/control_flow.h"

#include "asmout/labels.h"
#include "codegen/codegen.h"
#include "driver/compilation.h"

namespace vorax {

std::string newLocalLabel(Compilation& c) { return localLabelText(c.emitter.newLabelNumber()); }

void emitLabelCarrier(Compilation& c) { c.emitter.emitLabelFiller("nop", ""); }

void jumpIfFalse(Compilation& c, ExprPtr& condition, std::string_view falseLabel) {
  const std::string trueLabel = newLocalLabel(c);
  // A constant condition emits at most one branch and loads nothing, so the registers
  // known before it stay known after its label; a call in the condition code does not
  // leave them.
  const bool constant = condition->isConstant();
  c.emitter.setCallEmitted(false);
  generateJumpIfFalse(c, condition, trueLabel, falseLabel);
  placeLabelIfUsed(c, !constant || c.emitter.callEmitted(), trueLabel);
}

namespace {

bool isMarkerLabel(std::string_view label) {
  return !label.empty() && (label[0] == '@' || label[0] == '#');
}

}  // namespace

std::optional<MarkerPosition> lookupMarker(Compilation& c, std::string_view marker) {
  PeepholeWindow& window = c.emitter.window();
  const int line = window.findLabelFromNewest(marker);
  if (line < 0) {
    return std::nullopt;
  }
  if (window[line].mnemonic == "bcx") {
    window.setLabel(line, "");
    window.setMnemonic(line, "nop");
    window.setSource(line, "");
    window.setDestination(line, "");
  }
  // Labels of label-carrying "nop" lines move on to the code they announce. A marker
  // label of another statement is never replaced: that statement finds its line by it.
  int position = line;
  while (position < window.count() && window[position].mnemonic == "nop") {
    const WindowLine& carrier = window[position];
    if (!carrier.label.empty() && position + 1 < window.count()) {
      const WindowLine& next = window[position + 1];
      if (isMarkerLabel(next.label) || isMarkerLabel(carrier.label) ||
          (!next.label.empty() && window.labelUses().usedOutsideWindow(carrier.label))) {
        break;
      }
      if (next.label.empty()) {
        window.setLabel(position + 1, carrier.label);
      } else {
        window.redirectLabel(carrier.label, next.label);
      }
      window.setLabel(position, "");
    }
    ++position;
  }
  return MarkerPosition{line, position};
}

std::optional<std::vector<MarkerPosition>> lookupMarkers(
    Compilation& c, std::initializer_list<std::string_view> markers) {
  std::vector<MarkerPosition> positions;
  bool allFound = true;
  for (const std::string_view marker : markers) {
    const std::optional<MarkerPosition> found = lookupMarker(c, marker);
    allFound = allFound && found.has_value();
    if (found) {
      positions.push_back(*found);
    }
  }
  if (!allFound) {
    return std::nullopt;
  }
  return positions;
}

}  // namespace vorax
