// The call test that decides the order in which two operands are evaluated: a value may
// wait in a register only while nothing that follows calls a routine.
#include "codegen/arith_internal.h"
#include "codegen/arith_operator.h"
#include "codegen/codegen.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using arith::chainMayCall;

namespace {

// REAL and STRING values are loaded and combined by runtime routines.
bool builtByRoutines(const TypeDescriptor* type) {
  return type != nullptr && (type->kind == TypeKind::Real || type->kind == TypeKind::String);
}

bool isReal(const ExprNode* node) {
  return node != nullptr && node->type != nullptr && node->type->kind == TypeKind::Real;
}

}  // namespace

bool arith::chainMayCall(const ExprNode& leaf) {
  return (leaf.offsetTree != nullptr && mayCall(*leaf.offsetTree)) ||
         (leaf.nextSelector != nullptr && mayCall(*leaf.nextSelector));
}

// True when the product of the two operands needs the runtime multiplication: an
// operand of four bytes, or a WORD with a signed operand (neither 16-bit multiply
// instruction gives that product).
namespace {

// Whether a factor's value lies in 0..65535 (mulxu.w reads it right) or in -32768..32767
// (mulxs.w reads it right). A constant is judged by its value: integer constants up to
// 65535 are typed INTEGER although they do not fit a signed word.
bool isUnsignedFactor(const ExprNode& factor) {
  if (factor.isConstantOf(ConstKind::Integer)) {
    return factor.value.intValue >= 0 && factor.value.intValue <= 65535;
  }
  return arith::isUnsignedType(factor.type);
}

bool isSignedFactor(const ExprNode& factor) {
  if (factor.isConstantOf(ConstKind::Integer)) {
    return factor.value.intValue >= -32768 && factor.value.intValue <= 32767;
  }
  return !arith::isUnsignedType(factor.type) || arith::sizeOf(factor.type) == 1;
}

}  // namespace

bool fitsUnsignedWord(const ExprNode& left, const ExprNode& right) {
  return isUnsignedFactor(left) && isUnsignedFactor(right);
}

bool multiplyNeedsRoutine(const ExprNode& left, const ExprNode& right) {
  const int a = arith::sizeOf(right.type);
  const int b = arith::sizeOf(left.type);
  if (a < 1 || a > 2 || b < 1 || b > 2) {
    return true;
  }
  // A WORD above 32767 times a negative value fits neither multiply instruction.
  return !fitsUnsignedWord(left, right) && !(isSignedFactor(left) && isSignedFactor(right));
}

bool mayCall(const ExprNode& tree) {
  if (tree.isLeaf) {
    switch (tree.location) {
      case LocationKind::Call:
        // ORD is compiled in line: only its argument can call.
        if (tree.text == "ORD") {
          return tree.attached != nullptr && mayCall(*tree.attached);
        }
        return true;
      case LocationKind::FrameVariable:
      case LocationKind::Parameter:
      case LocationKind::FixedAddress:
      case LocationKind::NamedMemory:
      case LocationKind::DeviceFrameVariable:
        return builtByRoutines(tree.type) || chainMayCall(tree);
      case LocationKind::TypeCast:
        return tree.attached != nullptr && mayCall(*tree.attached);
      case LocationKind::Constant:
        return isReal(&tree);  // pushed by "\lodri"
      default:
        return false;
    }
  }
  // A comparison with a REAL side is BOOLEAN itself but calls the REAL routines.
  if (builtByRoutines(tree.type) || isReal(tree.left.get()) || isReal(tree.right.get())) {
    return true;
  }
  switch (tree.op) {
    case TokenCode::Div:
    case TokenCode::Mod:
      return true;
    case TokenCode::Star:
      if (multiplyNeedsRoutine(*tree.left, *tree.right)) {
        return true;
      }
      break;
    default:
      break;
  }
  return mayCall(*tree.left) || mayCall(*tree.right);
}

}  // namespace vorax
