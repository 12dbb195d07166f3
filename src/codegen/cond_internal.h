// The pieces of condition generation: single comparisons of each operand type and the
// set membership test, called by generateCondition.
#pragma once

#include <string>
#include <string_view>

#include "codegen/codegen.h"

namespace vorax {

// A relational node ("=" ... ">=", or XOR of two BOOLEANs) of any comparable operand types.
ConditionResult generateComparison(Compilation& c, ExprPtr& node);
// IN with a set constant: branches to the true label when the element is in the set,
// to the false label otherwise; falling through means true.
ConditionResult generateSetTest(Compilation& c, ExprPtr& node, std::string_view falseLabel,
                                std::string_view trueLabel);
// The runtime comparison routine ("\xltys" ...) for `op`.
[[nodiscard]] std::string comparisonRoutine(Compilation& c, TokenCode op, bool strings);

}  // namespace vorax
