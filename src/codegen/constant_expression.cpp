// Constant expressions of declarations (bounds, lengths, CONST values): an expression
// that folds to a single constant.
#include "codegen/expr_parser.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/constant_source.h"

namespace vorax {
namespace {}  // namespace

ConstantOperand parseConstantValue(Compilation& c) {
  return parseConstantValueAfterSign(c, std::nullopt);
}

ConstantOperand parseConstantValueAfterSign(Compilation& c, std::optional<TokenCode> sign) {
  const ExprPtr expression = parseExpressionAfterSign(c, sign);
  if (!expression->isConstant()) {
    c.reportError(err::kConstantExpected);
  }
  ConstantOperand result;
  result.value = expression->value;
  result.type = expression->type;
  return result;
}

std::optional<std::int32_t> parseIntegerExpressionValue(Compilation& c) {
  const ExprPtr expression = parseExpression(c);
  if (!expression->isConstantOf(ConstKind::Integer)) {
    return std::nullopt;
  }
  return expression->value.intValue;
}

}  // namespace vorax
