// Result types of operators and the operand check of comparisons.
#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

// The operand classes of arithmetic and logical operators.
enum class OperandClass { Boolean, Char, Integer, Byte, String, Real, LongInt, Other };

OperandClass operandClassOf(const TypeDescriptor* type) {
  if (type == nullptr) {
    return OperandClass::Other;
  }
  switch (typeClassOf(*type)) {
    case TypeClass::Boolean:
      return OperandClass::Boolean;
    case TypeClass::Char:
      return OperandClass::Char;
    case TypeClass::Integer:
      return OperandClass::Integer;
    case TypeClass::Byte:
      return OperandClass::Byte;
    case TypeClass::String:
      return OperandClass::String;
    case TypeClass::Real:
      return OperandClass::Real;
    case TypeClass::LongInt:
      return OperandClass::LongInt;
    default:
      return OperandClass::Other;
  }
}

bool isWholeNumber(OperandClass k) {
  return k == OperandClass::Integer || k == OperandClass::Byte || k == OperandClass::LongInt;
}

bool isNumber(OperandClass k) { return isWholeNumber(k) || k == OperandClass::Real; }

bool isText(OperandClass k) { return k == OperandClass::Char || k == OperandClass::String; }

// "-": INTEGER with INTEGER or BYTE is INTEGER, BYTE with BYTE is BYTE, LONGINT wins over
// both, REAL over everything.
TypeDescriptor* differenceType(const PredefinedTypes& t, OperandClass l, OperandClass r) {
  if (!isNumber(l) || !isNumber(r)) {
    return nullptr;
  }
  if (l == OperandClass::Real || r == OperandClass::Real) {
    return t.realType;
  }
  if (l == OperandClass::LongInt || r == OperandClass::LongInt) {
    return t.longIntType;
  }
  if (l == OperandClass::Byte && r == OperandClass::Byte) {
    return t.byteType;
  }
  return t.integerType;
}

TypeDescriptor* operatorResult(const PredefinedTypes& t, OperandClass l, OperandClass r,
                               TokenCode op) {
  if (l == OperandClass::Boolean || r == OperandClass::Boolean) {
    const bool logical = op == TokenCode::And || op == TokenCode::Or || op == TokenCode::Xor;
    return logical && l == OperandClass::Boolean && r == OperandClass::Boolean ? t.booleanType
                                                                               : nullptr;
  }
  switch (op) {
    case TokenCode::Plus:
      if (isText(l) && isText(r)) {
        return t.stringType;
      }
      return differenceType(t, l, r);
    case TokenCode::Minus:
      return differenceType(t, l, r);
    case TokenCode::Star:
      if (l == OperandClass::Integer && r == OperandClass::Integer) {
        return t.longIntType;
      }
      if (l == OperandClass::Byte && r == OperandClass::Byte) {
        return t.integerType;
      }
      return differenceType(t, l, r);
    case TokenCode::Div:
    case TokenCode::Mod:
    case TokenCode::Shl:
    case TokenCode::Shr:
      if (!isWholeNumber(l) || !isWholeNumber(r)) {
        return nullptr;
      }
      if (l == OperandClass::LongInt || r == OperandClass::LongInt) {
        return t.longIntType;
      }
      return l == OperandClass::Byte ? t.byteType : t.integerType;
    case TokenCode::And:
    case TokenCode::Or:
    case TokenCode::Xor:
      return isWholeNumber(l) && isWholeNumber(r) ? differenceType(t, l, r) : nullptr;
    case TokenCode::Slash:
      return isNumber(l) && isNumber(r) ? t.realType : nullptr;
    default:
      return nullptr;
  }
}

// Classes of comparison operands: the operator classes plus pointers and enumerations.
enum class CompareClass { Boolean, Char, Number, LongInt, Real, String, Pointer, Other };

CompareClass compareClassOf(const TypeDescriptor* type) {
  if (type == nullptr) {
    return CompareClass::Other;
  }
  switch (typeClassOf(*type)) {
    case TypeClass::Boolean:
      return CompareClass::Boolean;
    case TypeClass::Char:
      return CompareClass::Char;
    case TypeClass::Integer:
    case TypeClass::Byte:
      return CompareClass::Number;
    case TypeClass::LongInt:
      return CompareClass::LongInt;
    case TypeClass::Real:
      return CompareClass::Real;
    case TypeClass::String:
      return CompareClass::String;
    case TypeClass::Pointer:
      return CompareClass::Pointer;
    default:
      return CompareClass::Other;
  }
}

bool isNumeric(CompareClass k) {
  return k == CompareClass::Number || k == CompareClass::LongInt || k == CompareClass::Real;
}

bool comparable(CompareClass l, CompareClass r, bool equality) {
  if (l == r && l != CompareClass::Other) {
    return l != CompareClass::Pointer || equality;
  }
  if (isNumeric(l) && isNumeric(r)) {
    // REAL and LONGINT are never compared directly.
    return !((l == CompareClass::Real && r == CompareClass::LongInt) ||
             (l == CompareClass::LongInt && r == CompareClass::Real));
  }
  const bool charAndString = (l == CompareClass::Char && r == CompareClass::String) ||
                             (l == CompareClass::String && r == CompareClass::Char);
  return equality && charAndString;
}

bool isSetElementClass(const TypeDescriptor& type) {
  const TypeClass k = typeClassOf(type);
  return k == TypeClass::Integer || k == TypeClass::Byte || k == TypeClass::LongInt;
}

void checkMembership(Compilation& c, ExprPtr& node) {
  ExprNode& set = *node->right;
  if (!set.isConstantOf(ConstKind::Set)) {
    c.reportError(err::kTypeMismatch);
  }
  if (set.type == nullptr) {
    // Nothing is an element of the empty set.
    node = makeBooleanConstant(c, false);
    return;
  }
  const TypeDescriptor* element = node->left->type;
  if (element == nullptr) {
    c.reportError(err::kTypeMismatch);
  }
  const bool charMember =
      typeClassOf(*element) == TypeClass::Char && set.type->kind == TypeKind::Char;
  const bool numberMember = isSetElementClass(*element) && set.type->kind == TypeKind::Byte;
  if (!charMember && !numberMember) {
    c.reportError(err::kTypeMismatch);
  }
}

}  // namespace

TypeDescriptor* resultTypeOf(Compilation& c, const ExprNode& left, const ExprNode& right,
                             TokenCode op) {
  const OperandClass l = operandClassOf(left.type);
  const OperandClass r = operandClassOf(right.type);
  if (l == OperandClass::Other || r == OperandClass::Other) {
    c.reportError(err::kTypeMismatch);
  }
  TypeDescriptor* result = operatorResult(c.symbols.types(), l, r, op);
  if (result == nullptr) {
    c.reportError(err::kTypeMismatch);
  }
  return result;
}

void checkComparison(Compilation& c, ExprPtr& node) {
  if (node->op == TokenCode::In) {
    checkMembership(c, node);
    return;
  }
  const TypeDescriptor* lt = node->left->type;
  const TypeDescriptor* rt = node->right->type;
  if (lt != nullptr && rt != nullptr && lt->kind == TypeKind::Enumeration &&
      rt->kind == TypeKind::Enumeration) {
    if (lt != rt) {
      c.reportError(err::kTypeMismatch);
    }
    return;
  }
  const bool equality = node->op == TokenCode::Equal || node->op == TokenCode::NotEqual;
  if (!comparable(compareClassOf(lt), compareClassOf(rt), equality)) {
    c.reportError(err::kTypeMismatch);
  }
}

}  // namespace vorax
