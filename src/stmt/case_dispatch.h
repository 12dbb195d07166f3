// The dispatch code of a CASE statement, generated after its arms: a chain of compares
// for sparse tags, or a jump table of "dl" lines for dense ones.
#pragma once

#include <cstdint>
#include <string>

#include "codegen/expr_node.h"
#include "stmt/case_labels.h"

namespace vorax {

class Compilation;

// Error: the selector is a constant, or generates to one.
inline constexpr int kConstantSelector = 24;

enum class CaseDispatchForm { CompareChain, JumpTable };

// What the dispatch needs besides the selector.
struct CaseDispatchPlan {
  const CaseLabelList* labels = nullptr;
  std::string elseLabel;  // the ELSE part's label, or the end label
  std::string endLabel;
};

// The form the estimated sizes choose for a selector of `size` bytes.
[[nodiscard]] CaseDispatchForm chooseDispatch(const CaseLabelList& labels, int size);

// Whether a selector of this type can have the value: the compare chain tests tags in the
// selector's own size, without sign for one-byte and WORD selectors.
[[nodiscard]] bool selectorCanHold(const TypeDescriptor& type, std::int32_t value);

// Generates the selector and branches to the arm of its value, or to the else label.
// Returns the form used.
CaseDispatchForm generateCaseDispatch(Compilation& c, ExprPtr& selector,
                                      const CaseDispatchPlan& plan);

// A "dl" operand: the label right-justified in a field of four characters.
[[nodiscard]] std::string tableEntryText(const std::string& label);

}  // namespace vorax
