// Operand syntax of the dialect: registers by one name for every size, "#" immediates,
// "@" memory forms and plain symbols for fixed addresses.
#pragma once

#include <string>

#include "sim/instruction.h"

namespace vorax::sim {

// Parses one operand; throws AsmError when the text is not an operand.
Operand parseOperand(const std::string& text);

// Register number of "r0".."r6", "fp", "sp" (and "er0".. as a courtesy); -1 otherwise.
int registerNumber(const std::string& text);

}  // namespace vorax::sim
