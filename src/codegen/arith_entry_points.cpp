// Temporary bodies of the operator and condition generators, so that the other
// generators link while these are written.
#include "codegen/codegen.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

void generateOperator(Compilation& c, ExprPtr& /*node*/, TypeDescriptor* /*targetType*/) {
  c.reportError(err::kInternal);
}
void generateIntegerOperator(Compilation& c, ExprPtr& /*node*/, TypeDescriptor* /*targetType*/) {
  c.reportError(err::kInternal);
}
void generateBooleanValue(Compilation& c, ExprPtr& /*node*/) { c.reportError(err::kInternal); }
ConditionResult generateCondition(Compilation& c, ExprPtr& /*tree*/,
                                  std::string_view /*falseLabel*/,
                                  std::string_view /*trueLabel*/) {
  c.reportError(err::kInternal);
}
void generateJumpIfFalse(Compilation& c, ExprPtr& /*tree*/, std::string_view /*trueLabel*/,
                         std::string_view /*falseLabel*/) {
  c.reportError(err::kInternal);
}
bool mayCall(const ExprNode& /*tree*/) { return false; }
std::string_view branchFor(Compilation& c, TokenCode /*op*/, bool /*isUnsigned*/) {
  c.reportError(err::kInternal);
}

}  // namespace vorax
