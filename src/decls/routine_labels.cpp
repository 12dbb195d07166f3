#include "decls/routine_labels.h"

#include "symbols/symbol_entry.h"

namespace vorax {
namespace {

// Labels of up to this many characters, colon included, leave room for a second tab
// before the mnemonic column.
constexpr std::size_t kShortLabelWidth = 7;

std::string padded(std::string label) {
  label += label.size() <= kShortLabelWidth ? "\t\t" : "\t";
  return label;
}

}  // namespace

std::string numberedRoutineLabel(const SymbolEntry& routine) {
  return routine.name + "." + std::to_string(routine.declarationLine);
}

std::string routineBodyLabel(const SymbolEntry& routine) {
  if (!routine.name.empty() && routine.name[0] == '\\') {
    return routine.name;
  }
  if (routine.kind == IdentKind::InterruptProcedure &&
      routine.routineState == RoutineState::Ordinary) {
    return routine.name;
  }
  return numberedRoutineLabel(routine);
}

std::string routineCallLabel(const SymbolEntry& routine) {
  if (routine.routineState == RoutineState::BodyUnderWay ||
      routine.routineState == RoutineState::External) {
    return routine.name;
  }
  // A compiled interrupt procedure has no NAME.line: its body is its bare name.
  if (routine.kind == IdentKind::InterruptProcedure &&
      routine.routineState == RoutineState::Ordinary) {
    return routine.name;
  }
  return numberedRoutineLabel(routine);
}

std::string functionCallLabel(const SymbolEntry& routine) {
  if (routine.routineState == RoutineState::External ||
      routine.routineState == RoutineState::Interface) {
    return routine.name;
  }
  return numberedRoutineLabel(routine);
}

std::string routineAddressLabel(const SymbolEntry& routine) {
  if (routine.kind == IdentKind::InterruptProcedure ||
      routine.routineState == RoutineState::External) {
    return routine.name;
  }
  return numberedRoutineLabel(routine);
}

std::string routineStubLine(std::string_view name, std::string_view bodyLabel) {
  return padded(std::string(name) + ":") + "jmp\t" + std::string(bodyLabel);
}

std::string routineEquateLine(std::string_view label, std::string_view value) {
  // Padded as if the label carried the stub's colon.
  std::string line(label);
  line += line.size() + 1 <= kShortLabelWidth ? "\t\t" : "\t";
  return line + "equ\t" + std::string(value);
}

}  // namespace vorax
