// The expression tree. One ExprNode is both a node of the tree the parser builds for a
// whole expression and, during code generation, the operand descriptor that says where
// an evaluated subtree now lives. Children are owned by their parent; the root by the
// caller. Nodes are replaced in place through the owning ExprPtr slot.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "source/token_codes.h"
#include "symbols/const_value.h"

namespace vorax {

struct TypeDescriptor;
struct SymbolEntry;

// Where the value of a leaf lives.
enum class LocationKind : std::uint8_t {
  Constant = 0,
  FrameVariable = 1,  // also one step of a designator chain
  Parameter = 2,
  Register = 3,
  RuntimeResult = 4,  // left by a runtime routine (REAL accumulator, value on the stack)
  Condition = 5,      // result of ODD, held in the condition flags
  Call = 6,
  NamedMemory = 8,   // typed constant, routine address or finished operand text
  FixedAddress = 9,  // unit, ABSOLUTE and EXTERNAL variables, WITH fields
  Device = 10,
  DeviceFrameVariable = 11,
  TypeCast = 12,
};

// Pending unary operations of a node (UnaryFlags).
inline constexpr std::uint8_t kNegateFlag = 1;
inline constexpr std::uint8_t kComplementFlag = 2;

struct ExprNode;
using ExprPtr = std::unique_ptr<ExprNode>;

struct ExprNode {
  std::uint8_t unaryFlags = 0;
  // Value type; for a set constructor the element type (none for "[]"); none for a call
  // without a result type.
  TypeDescriptor* type = nullptr;
  // The type the context wants (formal parameter type for an argument).
  TypeDescriptor* expectedType = nullptr;
  // Link in an argument list.
  ExprPtr next;
  // Variable or routine name, or a finished operand text (at most 28 characters).
  std::string text;
  // Standard function number of a call leaf (0 for user routines).
  std::uint8_t standardRoutine = 0;
  bool firstOperand = false;   // leftmost leaf of a string concatenation
  bool oneByteResult = false;  // result variable of a one-byte non-BOOLEAN function
  bool isLeaf = true;
  TokenCode op = TokenCode::Comment;  // operator nodes: the operator's token

  // Operator nodes.
  ExprPtr left;
  ExprPtr right;

  // Leaves.
  std::int32_t declarationLine = 0;  // of the named variable or routine
  LocationKind location = LocationKind::Constant;
  // Constants: the value (its kind is the leaf's ConstKind).
  ConstValue value;
  std::int32_t scopeLevel = 0;  // variables
  std::int32_t registerNumber = 0;
  std::int32_t registerWidth = 0;
  ExprPtr attached;      // argument list of a call, operand of a type cast
  ExprPtr nextSelector;  // designators: the next step of the chain
  ExprPtr offsetTree;    // designators: added to the address
  bool addressWanted = false;
  // The routine a call leaf calls (nullptr for others); kept so the call can be
  // generated without looking the name up again.
  const SymbolEntry* routine = nullptr;
  // The entry a designator's base leaf was made from.
  SymbolEntry* symbol = nullptr;

  [[nodiscard]] bool isConstant() const { return isLeaf && location == LocationKind::Constant; }
  [[nodiscard]] bool isConstantOf(ConstKind kind) const {
    return isConstant() && value.kind == kind;
  }
};

[[nodiscard]] inline ExprPtr newExprNode() { return std::make_unique<ExprNode>(); }
inline void freeExprTree(ExprPtr& tree) { tree.reset(); }

// An operator node owning both operands.
[[nodiscard]] ExprPtr makeOperatorNode(TokenCode op, ExprPtr left, ExprPtr right,
                                       TypeDescriptor* type);

}  // namespace vorax
