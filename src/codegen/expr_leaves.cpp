// Constant leaves, leaves made by code generation, and leaf comparison.
#include <cstdint>
#include <utility>

#include "codegen/expr_tree.h"
#include "driver/compilation.h"

namespace vorax {

ExprPtr makeOperatorNode(TokenCode op, ExprPtr left, ExprPtr right, TypeDescriptor* type) {
  ExprPtr node = newExprNode();
  node->isLeaf = false;
  node->op = op;
  node->left = std::move(left);
  node->right = std::move(right);
  node->type = type;
  return node;
}

ExprPtr makeConstantLeaf(const ConstValue& value, TypeDescriptor* type) {
  ExprPtr leaf = newExprNode();
  leaf->location = LocationKind::Constant;
  leaf->value = value;
  leaf->type = type;
  return leaf;
}

TypeDescriptor* integerConstantType(Compilation& c, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  const bool sixteenBits = bits < 65536U || bits >= 4294934528U;
  return sixteenBits ? c.symbols.types().integerType : c.symbols.types().longIntType;
}

void retypeSmallConstant(Compilation& c, ExprNode& leaf) {
  if (leaf.isConstantOf(ConstKind::Integer) && leaf.type == c.symbols.types().integerType &&
      (static_cast<std::uint32_t>(leaf.value.intValue) & 0xff00U) == 0) {
    leaf.type = c.symbols.types().byteType;
  }
}

ExprPtr makeIntegerConstant(Compilation& c, std::int32_t value) {
  return makeConstantLeaf(ConstValue::integer(value), integerConstantType(c, value));
}

ExprPtr makeCharConstant(Compilation& c, std::uint8_t value) {
  return makeConstantLeaf(ConstValue::character(value), c.symbols.types().charType);
}

ExprPtr makeBooleanConstant(Compilation& c, bool value) {
  return makeConstantLeaf(ConstValue::boolean(value), c.symbols.types().booleanType);
}

ExprPtr makeRealConstant(Compilation& c, const RealBytes& value) {
  return makeConstantLeaf(ConstValue::real(value), c.symbols.types().realType);
}

ExprPtr makeStringConstant(Compilation& c, std::string text) {
  ConstValue value;
  value.kind = ConstKind::String;
  value.text = std::move(text);
  return makeConstantLeaf(value, c.symbols.types().stringType);
}

void makeRegisterLeaf(ExprNode& node, std::string_view registerText, TypeDescriptor* type) {
  const std::uint8_t flags = node.unaryFlags;
  node = ExprNode{};
  node.unaryFlags = flags;
  node.location = LocationKind::Register;
  node.text = std::string(registerText);
  node.registerNumber = registerText.size() >= 2 ? registerText[1] - '0' : 0;
  node.registerWidth = type != nullptr ? type->size : 0;
  node.type = type;
}

void makeRuntimeResultLeaf(ExprNode& node, TypeDescriptor* type) {
  node = ExprNode{};
  node.location = LocationKind::RuntimeResult;
  node.type = type;
}

bool sameLeaf(const ExprNode& a, const ExprNode& b) {
  if (!a.isLeaf || !b.isLeaf || a.location != b.location || a.text != b.text ||
      a.declarationLine != b.declarationLine || a.scopeLevel != b.scopeLevel ||
      a.addressWanted != b.addressWanted) {
    return false;
  }
  if (a.attached || b.attached) {
    return false;  // calls and type casts are evaluated, never assumed equal
  }
  if (a.location == LocationKind::Constant) {
    const ConstValue& x = a.value;
    const ConstValue& y = b.value;
    return x.kind == y.kind && x.smallValue == y.smallValue && x.intValue == y.intValue &&
           x.realValue == y.realValue && x.setBits == y.setBits && x.text == y.text;
  }
  if (a.location == LocationKind::Register && a.registerNumber != b.registerNumber) {
    return false;
  }
  // Offsets and further chain steps must match too.
  const auto sameOptional = [](const ExprPtr& x, const ExprPtr& y) {
    if (!x || !y) {
      return !x && !y;
    }
    if (x->isLeaf != y->isLeaf || x->unaryFlags != y->unaryFlags) {
      return false;
    }
    if (x->isLeaf) {
      return sameLeaf(*x, *y);
    }
    return false;  // operator trees are not compared: treat as different
  };
  if (a.offsetTree || b.offsetTree) {
    if (!sameOptional(a.offsetTree, b.offsetTree)) {
      return false;
    }
  }
  if (a.nextSelector || b.nextSelector) {
    return sameOptional(a.nextSelector, b.nextSelector);
  }
  return true;
}

}  // namespace vorax
