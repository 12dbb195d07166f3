// REAL operators and REAL variables. The runtime routines keep REAL values on the machine
// stack (6 bytes, the exponent at @sp and the sign in bit 7 of @(1,sp)); an operator pushes
// its left operand, then its right one, and the routine replaces both by the result.
#include "codegen/real_arith.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "asmout/runtime_names.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr int kNoRealOperator = 928;

// The byte of a REAL on the stack that carries the sign (bit 7).
constexpr std::string_view kSignByte = "@(1,sp)";

std::string_view routineFor(Compilation& c, TokenCode op) {
  switch (op) {
    case TokenCode::Plus:
      return rt::kAddReal;
    case TokenCode::Minus:
      return rt::kSubReal;
    case TokenCode::Star:
      return rt::kMulReal;
    case TokenCode::Slash:
    case TokenCode::Div:
      return rt::kDivReal;
    default:
      c.reportError(kNoRealOperator);
  }
}

// A result left on the stack takes over the pending negation of the node it replaces: the
// sign is flipped at once, so the runtime-result leaf carries no flags.
void finishOnStack(Compilation& c, ExprNode& node, bool negated) {
  if (negated) {
    negateRealOnStack(c);
  }
  makeRuntimeResultLeaf(node, c.symbols.types().realType);
}

}  // namespace

void negateRealOnStack(Compilation& c) {
  const std::string reg = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.b", kSignByte, reg);
  c.emitter.emitInstruction("bnot", "#7", reg);
  c.emitter.emitInstruction("mov.b", reg, kSignByte);
  c.registers.releaseRegister(reg);
}

void generateRealOperator(Compilation& c, ExprPtr& node) {
  TypeDescriptor* real = c.symbols.types().realType;
  const std::string_view routine = routineFor(c, node->op);
  const bool negated = (node->unaryFlags & kNegateFlag) != 0;
  (void)generateValue(c, node->left, real);
  (void)generateValue(c, node->right, real);
  c.emitter.emitInstruction("bsr", routine, "");
  finishOnStack(c, *node, negated);
}

void loadRealLeaf(Compilation& c, ExprPtr& leaf) {
  const bool negated = (leaf->unaryFlags & kNegateFlag) != 0;
  leaf->unaryFlags = 0;
  pushAddress(c, leaf);
  c.emitter.emitInstruction("bsr", rt::kLoadReal, "");
  finishOnStack(c, *leaf, negated);
}

void generateRealValue(Compilation& c, ExprPtr& node) {
  if (!node->isLeaf) {
    generateRealOperator(c, node);
    return;
  }
  switch (node->location) {
    case LocationKind::Constant:
      return;  // pushed with its data when the result is converted
    case LocationKind::RuntimeResult:
      return;  // already on the stack, its sign done by the routine call that left it
    default:
      loadRealLeaf(c, node);
  }
}

}  // namespace vorax
