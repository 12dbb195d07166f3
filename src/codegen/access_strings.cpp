// STRING values on the machine stack. A value is 256 bytes unless a shorter string type
// wants it (a value parameter of type STRING[n], say); the length byte comes first.
// Concatenations are built left to right on one 256-byte value that each further operand
// is appended to.
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/register_pool.h"
#include "asmout/runtime_names.h"
#include "asmout/stack_adjust.h"
#include "codegen/access_internal.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "decls/typed_constants.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

using namespace access_error;

constexpr std::int32_t kFullString = 256;
constexpr std::int32_t kLongestString = 255;

bool isChar(const Compilation& c, const ExprNode& node) {
  return node.type != nullptr && node.type == c.symbols.types().charType;
}

void callRuntime(Compilation& c, std::string_view routine) {
  c.emitter.emitInstruction("bsr", routine, "");
}

// A word pushed from a register loaded with `value`.
void pushWordConstant(Compilation& c, std::int32_t value) {
  const std::string reg = loadImmediate(c, "#" + std::to_string(value), 2);
  c.emitter.emitInstruction("mov.w", reg, "@-sp");
  c.registers.releaseRegister(reg);
}

// The 256-byte string on top of the stack is stored, cut to `size` - 1 characters, into
// the `size` bytes reserved right above it; the copy stays the value.
void cutIntoReservedArea(Compilation& c, std::int32_t size) {
  const std::string area = c.registers.allocateRegister();
  c.emitter.emitInstruction("lea", "@(256,sp)", area);
  pushWordConstant(c, size);
  c.emitter.emitInstruction("mov.l", area, "@-sp");
  c.registers.releaseRegister(area);
  callRuntime(c, rt::kSaveString);
  c.registers.releaseUnlockedRegisters();
}

void pushStringConstant(Compilation& c, const ExprNode& leaf, std::int32_t size) {
  if (leaf.value.text.empty()) {
    allocateStack(c.emitter, size);
    std::optional<std::string> zero = findZeroRegister(c, 2);
    if (!zero) {
      zero = c.registers.allocateRegister();
      c.emitter.emitInstruction("xor.w", *zero, *zero);
    }
    c.emitter.emitInstruction("mov.b", *zero, "@sp");
    c.registers.releaseRegister(*zero);
    return;
  }
  if (size == kFullString) {
    callRuntime(c, rt::kLoadStringInline);
    emitInlineStringConstant(c, leaf.value, kLongestString, StringParity::Even);
    return;
  }
  allocateStack(c.emitter, size);
  callRuntime(c, rt::kLoadStringInlineLimited);
  emitInlineStringConstant(c, leaf.value, size - 1, StringParity::Even);
}

// A CHAR value as a string of one character.
void pushCharAsString(Compilation& c, ExprPtr& leaf, std::int32_t size) {
  TypeDescriptor* charType = c.symbols.types().charType;
  const bool constant = leaf->isConstantOf(ConstKind::Character);
  if (size == kFullString) {
    if (constant) {
      callRuntime(c, rt::kLoadStringInline);
      emitInlineStringConstant(c, leaf->value, kLongestString, StringParity::Even);
      return;
    }
    const std::string reg = generateInRegister(c, leaf, charType);
    c.emitter.emitInstruction("mov.w", reg, "@-sp");
    c.registers.releaseRegister(reg);
    callRuntime(c, rt::kLoadChar);
    return;
  }
  allocateStack(c.emitter, size);
  if (constant) {
    // Length 1 in the high byte, the character in the low byte of one word.
    const std::string reg = c.registers.allocateRegister();
    c.emitter.emitInstruction("mov.w", "#" + std::to_string(leaf->value.smallValue) + "+256", reg);
    c.emitter.emitInstruction("mov.w", reg, "@sp");
    c.registers.releaseRegister(reg);
    return;
  }
  // Bytes are stored from registers: the processor has no immediate or memory-to-memory
  // byte store.
  const std::string character = generateInRegister(c, leaf, charType);
  const std::string length = loadImmediate(c, "#1", 1);
  c.emitter.emitInstruction("mov.b", length, "@sp");
  c.registers.releaseRegister(length);
  c.emitter.emitInstruction("mov.b", character, "@(1,sp)");
  c.registers.releaseRegister(character);
}

void pushStringVariable(Compilation& c, ExprPtr& leaf, std::int32_t size) {
  if (size == kFullString) {
    pushAddress(c, leaf);
    callRuntime(c, rt::kLoadString);
    return;
  }
  pushWordConstant(c, size);
  pushAddress(c, leaf);
  callRuntime(c, rt::kLoadStringLimited);
}

// A STRING function: the caller reserves its result area.
void pushStringCall(Compilation& c, ExprPtr& leaf, std::int32_t size) {
  allocateStack(c.emitter, size);
  if (size != kFullString) {
    allocateStack(c.emitter, kFullString);
  }
  generateCall(c, leaf);
  if (size != kFullString) {
    cutIntoReservedArea(c, size);
  }
  c.registers.releaseUnlockedRegisters();
}

// The leftmost operand of a concatenation, or any string operand evaluated on its own.
void pushStringOperand(Compilation& c, ExprPtr& node, std::int32_t size) {
  if (!node->isLeaf) {
    if (size != kFullString) {
      allocateStack(c.emitter, size);
      generateConcatenation(c, node);
      cutIntoReservedArea(c, size);
    } else {
      generateConcatenation(c, node);
    }
    return;
  }
  if (isChar(c, *node)) {
    pushCharAsString(c, node, size);
    return;
  }
  switch (node->location) {
    case LocationKind::RuntimeResult:
      return;
    case LocationKind::Constant:
      if (!node->isConstantOf(ConstKind::String)) {
        c.reportError(err::kTypeMismatch);
      }
      pushStringConstant(c, *node, size);
      return;
    case LocationKind::Call:
      pushStringCall(c, node, size);
      return;
    case LocationKind::TypeCast:
      c.reportError(kTypeCastAsAddress);
    default:
      pushStringVariable(c, node, size);
      return;
  }
}

// Appends one further operand to the string on top of the stack.
void appendOperand(Compilation& c, ExprPtr& node) {
  if (!node->isLeaf) {
    generateConcatenation(c, node);
    callRuntime(c, rt::kAppendStackString);
    return;
  }
  if (node->isConstantOf(ConstKind::String)) {
    callRuntime(c, rt::kAppendInlineString);
    emitInlineStringConstant(c, node->value, kLongestString, StringParity::Even);
    return;
  }
  if (isChar(c, *node) || node->location == LocationKind::Call ||
      node->location == LocationKind::TypeCast || node->location == LocationKind::RuntimeResult) {
    pushStringOperand(c, node, kFullString);
    callRuntime(c, rt::kAppendStackString);
    return;
  }
  pushAddress(c, node);
  callRuntime(c, rt::kAppendAddressedString);
}

ExprNode& leftmostLeaf(ExprNode& node) {
  ExprNode* leaf = &node;
  while (!leaf->isLeaf) {
    leaf = leaf->left.get();
  }
  return *leaf;
}

void concatenate(Compilation& c, ExprPtr& node) {
  if (node->isLeaf) {
    pushStringOperand(c, node, kFullString);
    return;
  }
  if (node->op != TokenCode::Plus) {
    c.reportError(err::kTypeMismatch);
  }
  concatenate(c, node->left);
  appendOperand(c, node->right);
}

}  // namespace

void generateConcatenation(Compilation& c, ExprPtr& tree) {
  leftmostLeaf(*tree).firstOperand = true;
  concatenate(c, tree);
  makeRuntimeResultLeaf(*tree, c.symbols.types().stringType);
}

void pushStringValue(Compilation& c, ExprPtr& tree, std::int32_t size) {
  pushStringOperand(c, tree, size);
  makeRuntimeResultLeaf(*tree, c.symbols.types().stringType);
}

}  // namespace vorax
