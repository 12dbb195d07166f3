// Code generation for expression trees: the entry points statements call once the parser
// has built, typed and folded a tree. Each generator replaces the tree it is given by a
// leaf that says where the result now lives (a register, a constant, a memory operand,
// the result of a runtime routine) and returns that place as an operand text; the caller
// drops the leaf when it no longer needs it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;

// --- Variables, leaves, registers -------------------------------------------------

// The value of `tree` converted to `targetType`; an empty text when a runtime routine
// left the value (REAL accumulator, a string or structured value on the stack).
std::string generateValue(Compilation& c, ExprPtr& tree, TypeDescriptor* targetType);
// As generateValue, but an immediate result of a 1-, 2- or 4-byte type is first loaded
// into a register.
std::string generateInRegister(Compilation& c, ExprPtr& tree, TypeDescriptor* targetType);
// The operand text of a designator: its memory operand, or its address when the
// designator's address-wanted mark is set.
std::string generateVariable(Compilation& c, ExprPtr& designator);
// Pushes the 4-byte address of a designator.
void pushAddress(Compilation& c, ExprPtr& designator);
// Pushes the arguments of a call, first argument first.
void pushArgumentList(Compilation& c, ExprPtr& firstArgument);
// The memory operand `n` bytes after `text`.
[[nodiscard]] std::string offsetOperand(Compilation& c, std::string_view text, std::int32_t n);
// A register known to hold zero in the given size, if any.
[[nodiscard]] std::optional<std::string> findZeroRegister(Compilation& c, int size);

// --- Operators and conditions -----------------------------------------------------

// What generating a condition leaves for the branch that follows.
struct ConditionResult {
  bool inverted = false;    // branch on the complement of `op`
  bool isUnsigned = false;  // unsigned comparison
  // The relational operator whose truth the flags now express; none when the jumps
  // were already emitted.
  std::optional<TokenCode> op;
};

// An operator node of any type: dispatches to the integer, BOOLEAN, REAL or STRING
// generator and replaces the node by its result leaf.
void generateOperator(Compilation& c, ExprPtr& node, TypeDescriptor* targetType);
void generateIntegerOperator(Compilation& c, ExprPtr& node, TypeDescriptor* targetType);
// A BOOLEAN tree as the value 0 or 1 in a register.
void generateBooleanValue(Compilation& c, ExprPtr& node);
// Emits the comparisons of a condition and the jumps needed inside AND and OR.
ConditionResult generateCondition(Compilation& c, ExprPtr& tree, std::string_view falseLabel,
                                  std::string_view trueLabel);
// Falls through when the BOOLEAN `tree` holds and branches to `falseLabel` otherwise.
void generateJumpIfFalse(Compilation& c, ExprPtr& tree, std::string_view trueLabel,
                         std::string_view falseLabel);
// True when evaluating the tree may emit a "bsr".
[[nodiscard]] bool mayCall(const ExprNode& tree);
// The conditional branch mnemonic for a relational operator.
[[nodiscard]] std::string_view branchFor(Compilation& c, TokenCode op, bool isUnsigned);

// --- Calls and REAL values ---------------------------------------------------------

// A call leaf (user function or standard function compiled as a call).
void generateCall(Compilation& c, ExprPtr& callLeaf);
// A REAL operator node or REAL variable leaf as a value on the stack (real_arith.cpp).
void generateRealValue(Compilation& c, ExprPtr& node);

}  // namespace vorax
