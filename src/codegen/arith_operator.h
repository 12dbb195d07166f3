// The integer operator generators, one per operator family, called by
// generateIntegerOperator. Each replaces the node by a register leaf holding its result.
#pragma once

#include <string>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;

// "+", "-", AND, OR, XOR.
void generateAdditive(Compilation& c, ExprPtr& node, TypeDescriptor* targetType);
// "*".
void generateMultiply(Compilation& c, ExprPtr& node, TypeDescriptor* targetType);
// DIV and MOD.
void generateDivide(Compilation& c, ExprPtr& node);
void generateModulo(Compilation& c, ExprPtr& node);
// SHL and SHR.
void generateShift(Compilation& c, ExprPtr& node);

// `count` shifts of register `reg` by `mnemonic` ("shll.w", "shar.l" ...), using the
// whole-byte moves and, on the 2000, two-bit shifts where they shorten the code.
void emitShifts(Compilation& c, std::string_view mnemonic, std::string_view reg, int count);

}  // namespace vorax

namespace vorax {
// True when the product of the two operands needs the runtime multiplication.
[[nodiscard]] bool multiplyNeedsRoutine(const ExprNode& left, const ExprNode& right);
// True when both factors of a product lie in 0..65535, so that mulxu.w multiplies them.
[[nodiscard]] bool fitsUnsignedWord(const ExprNode& left, const ExprNode& right);
}  // namespace vorax
