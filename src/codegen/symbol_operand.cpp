#include "codegen/symbol_operand.h"

#include <cctype>

#include "symbols/symbol_entry.h"

namespace vorax {

std::string symbolOperand(const ExprNode& leaf) {
  if (leaf.standardRoutine != 0) {
    std::string label = "\\";
    for (char ch : leaf.text) {
      label += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return label;
  }
  if (leaf.location == LocationKind::Call && leaf.routine != nullptr &&
      (leaf.routine->routineState == RoutineState::External ||
       leaf.routine->routineState == RoutineState::Interface)) {
    return leaf.text;
  }
  if (leaf.text.find('.') != std::string::npos || leaf.declarationLine == 0) {
    return leaf.text;
  }
  if (leaf.location == LocationKind::NamedMemory && leaf.declarationLine < 0) {
    return "\\" + leaf.text;
  }
  return leaf.text + "." + std::to_string(leaf.declarationLine);
}

}  // namespace vorax
