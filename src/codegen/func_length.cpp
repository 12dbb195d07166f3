// LENGTH of a STRING expression. The length byte comes first in every string, so a
// variable's length is one byte load; a function result is made on the stack, its length
// byte read and the result dropped; a concatenation's length is the sum of the lengths
// of its parts, computed without building the concatenated string.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "asmout/labels.h"
#include "asmout/stack_adjust.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "codegen/func_internal.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr std::int32_t kFullString = 256;
// A concatenation is cut to the longest string.
constexpr std::int32_t kLongestString = 255;

bool isCharType(const Compilation& c, const TypeDescriptor* type) {
  return type != nullptr && type == c.symbols.types().charType;
}

// True when reading the part's length may call a routine (which leaves no work register
// intact).
bool partCalls(const ExprNode& part) {
  if (part.location == LocationKind::Call) {
    return true;
  }
  for (const ExprNode* step = &part; step != nullptr; step = step->nextSelector.get()) {
    if (step->offsetTree && mayCall(*step->offsetTree)) {
      return true;
    }
  }
  return false;
}

// The length byte of the 256-byte string on top of the stack, which is then dropped.
std::string lengthOfStackString(Compilation& c) {
  const std::string reg = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.b", "@sp", reg);
  releaseStack(c.emitter, kFullString);
  return reg;
}

// The length of one part that is not a concatenation: a constant, or a register.
struct PartLength {
  std::optional<std::int32_t> constant;
  std::string reg;
};

PartLength lengthOfLeaf(Compilation& c, ExprPtr& leaf) {
  if (isCharType(c, leaf->type)) {
    if (mayCall(*leaf)) {
      // The character itself is not needed, but a routine that yields it must still run.
      const std::string reg = generateInRegister(c, leaf, c.symbols.types().charType);
      c.registers.releaseRegister(reg);
    }
    return {1, {}};
  }
  switch (leaf->location) {
    case LocationKind::Constant:
      if (!leaf->isConstantOf(ConstKind::String)) {
        c.reportError(err::kTypeMismatch);
      }
      return {static_cast<std::int32_t>(leaf->value.text.size()), {}};
    case LocationKind::Register:
      return {std::nullopt, leaf->text};
    case LocationKind::TypeCast:
      c.reportError(func::kTypeCastInLength);
    case LocationKind::RuntimeResult:
      return {std::nullopt, lengthOfStackString(c)};
    case LocationKind::Call:
      allocateStack(c.emitter, kFullString);
      generateGenericCall(c, leaf);
      return {std::nullopt, lengthOfStackString(c)};
    default: {
      const std::string operand = generateVariable(c, leaf);
      c.registers.releaseRegister(operand);
      const std::string reg = c.registers.allocateRegister();
      c.emitter.emitInstruction("mov.b", operand, reg);
      return {std::nullopt, reg};
    }
  }
}

// The parts of a concatenation, left to right.
void collectParts(Compilation& c, ExprPtr& node, std::vector<ExprPtr*>& parts) {
  if (node->isLeaf) {
    parts.push_back(&node);
    return;
  }
  if (node->op != TokenCode::Plus) {
    c.reportError(err::kTypeMismatch);
  }
  collectParts(c, node->left, parts);
  collectParts(c, node->right, parts);
}

// A running sum of lengths that stops at the longest string, as the concatenation does.
class LengthSum {
 public:
  explicit LengthSum(Compilation& c) : c_(c) {}

  // Adds one part; a total held in a register waits on the stack while the part calls.
  void add(ExprPtr& part) {
    const bool spill = !total_.empty() && partCalls(*part);
    if (spill) {
      c_.emitter.emitInstruction("mov.w", total_, "@-sp");
      c_.registers.releaseRegister(total_);
      total_.clear();
    }
    const PartLength length = lengthOfLeaf(c_, part);
    if (spill) {
      total_ = c_.registers.allocateRegister();
      c_.emitter.emitInstruction("mov.w", "@sp+", total_);
    }
    if (length.constant) {
      constant_ = std::min(constant_ + *length.constant, kLongestString);
      return;
    }
    if (total_.empty()) {
      total_ = length.reg;
      return;
    }
    addSaturated(length.reg);
    c_.registers.releaseRegister(length.reg);
  }

  // The sum as the call's result: a constant, or a BYTE register.
  void finish(ExprNode& call) {
    TypeDescriptor* byte = c_.symbols.types().byteType;
    const std::uint8_t flags = call.unaryFlags;
    if (total_.empty()) {
      // A constant takes its pending minus or NOT at once.
      std::int32_t value = constant_;
      if ((flags & kNegateFlag) != 0) {
        value = -value;
      }
      if ((flags & kComplementFlag) != 0) {
        value = ~value;
      }
      ExprPtr constant = makeIntegerConstant(c_, value);
      retypeSmallConstant(c_, *constant);
      call = std::move(*constant);
      return;
    }
    if (constant_ != 0) {
      addConstantSaturated();
    }
    makeRegisterLeaf(call, total_, byte);
    call.registerWidth = 1;
  }

 private:
  // total := total + source, or the longest length when the byte sum carries out (the
  // source is a register or a constant other than 1).
  void addSaturated(const std::string& source) {
    c_.emitter.emitInstruction("add.b", source, total_);
    const std::string noCarry = localLabelText(c_.emitter.newLabelNumber());
    c_.emitter.emitInstruction("bcc", noCarry, "");
    c_.emitter.emitInstruction("mov.b", "#" + std::to_string(kLongestString), total_);
    c_.emitter.defineLabel(false, noCarry);
  }

  // total := total + constant, stopping at the longest length. An add of 1 is written as
  // an increment, which leaves the carry alone: that step stops at 255 by a compare.
  void addConstantSaturated() {
    if (constant_ != 1) {
      addSaturated("#" + std::to_string(constant_));
      return;
    }
    c_.emitter.emitInstruction("cmp.b", "#" + std::to_string(kLongestString), total_);
    const std::string atLongest = localLabelText(c_.emitter.newLabelNumber());
    c_.emitter.emitInstruction("beq", atLongest, "");
    c_.emitter.emitInstruction("add.b", "#1", total_);
    c_.emitter.defineLabel(false, atLongest);
  }

  Compilation& c_;
  std::string total_;
  std::int32_t constant_ = 0;
};

}  // namespace

void generateLength(Compilation& c, ExprPtr& call) {
  if (!call->attached) {
    c.reportError(err::kInternal);
  }
  std::vector<ExprPtr*> parts;
  collectParts(c, call->attached, parts);
  LengthSum sum(c);
  for (ExprPtr* part : parts) {
    sum.add(*part);
  }
  sum.finish(*call);
}

}  // namespace vorax
