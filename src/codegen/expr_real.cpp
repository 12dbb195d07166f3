#include "codegen/expr_real.h"

#include <cmath>
#include <optional>

#include "codegen/expr_tree.h"
#include "codegen/relational.h"
#include "driver/compilation.h"
#include "source/real48.h"

namespace vorax {

std::optional<double> numericValue(const ExprNode& leaf) {
  if (leaf.isConstantOf(ConstKind::Integer)) {
    return static_cast<double>(leaf.value.intValue);
  }
  if (leaf.isConstantOf(ConstKind::Real)) {
    Real48 real;
    real.bytes = leaf.value.realValue;
    return real48ToDouble(real);
  }
  return std::nullopt;
}

ExprPtr makeRealConstantOf(Compilation& c, double value) {
  const std::optional<Real48> real = real48FromDouble(value);
  if (!real) {
    return nullptr;  // beyond the REAL range: left to the generated code
  }
  return makeRealConstant(c, real->bytes);
}

ExprPtr foldRealOperation(Compilation& c, const ExprNode& node) {
  const std::optional<double> a = numericValue(*node.left);
  const std::optional<double> b = numericValue(*node.right);
  if (!a || !b) {
    return nullptr;
  }
  if (isRelational(node.op)) {
    return makeBooleanConstant(c, compareValues(node.op, *a, *b));
  }
  switch (node.op) {
    case TokenCode::Plus:
      return makeRealConstantOf(c, *a + *b);
    case TokenCode::Minus:
      return makeRealConstantOf(c, *a - *b);
    case TokenCode::Star:
      return makeRealConstantOf(c, *a * *b);
    case TokenCode::Slash:
      return *b == 0.0 ? nullptr : makeRealConstantOf(c, *a / *b);
    default:
      return nullptr;
  }
}

}  // namespace vorax
