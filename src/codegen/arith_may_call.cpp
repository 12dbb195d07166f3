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

}  // namespace

bool arith::chainMayCall(const ExprNode& leaf) {
  return (leaf.offsetTree != nullptr && mayCall(*leaf.offsetTree)) ||
         (leaf.nextSelector != nullptr && mayCall(*leaf.nextSelector));
}

// True when the product of the two operands needs the runtime multiplication: an
// operand of four bytes, or a WORD with a signed operand (neither 16-bit multiply
// instruction gives that product).
bool multiplyNeedsRoutine(const ExprNode& left, const ExprNode& right) {
  const int a = arith::sizeOf(right.type);
  const int b = arith::sizeOf(left.type);
  if (a < 1 || a > 2 || b < 1 || b > 2) {
    return true;
  }
  const bool anyWord = arith::isWordType(left.type) || arith::isWordType(right.type);
  const bool bothUnsigned = arith::isUnsignedType(left.type) && arith::isUnsignedType(right.type);
  return anyWord && !bothUnsigned;
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
      default:
        return false;
    }
  }
  if (builtByRoutines(tree.type)) {
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
