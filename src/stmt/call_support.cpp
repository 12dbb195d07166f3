#include "stmt/call_support.h"

#include <utility>

#include "asmout/operand_text.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "codegen/expr_tree.h"
#include "codegen/func_io_check.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

void emitCall(Compilation& c, std::string_view label) {
  c.emitter.emitInstruction("bsr", label, "");
}

void emitIoCall(const ProcedureCall& call, std::string_view label) {
  emitCall(call.c, label);
  if (call.ioCheck) {
    emitIoCheck(call.c, call.routine);
  }
}

void expectToken(Compilation& c, TokenCode token, int error) {
  if (c.token() != token) {
    c.reportError(error);
  }
}

namespace {

void pushValue(Compilation& c, ExprPtr tree, TypeDescriptor* type, std::string_view move) {
  const std::string value = generateInRegister(c, tree, type);
  c.emitter.emitInstruction(move, value, "@-sp");
  c.registers.releaseRegister(value);
}

}  // namespace

void pushWordValue(Compilation& c, ExprPtr tree) {
  pushValue(c, std::move(tree), c.symbols.types().integerType, "mov.w");
}

void pushLongValue(Compilation& c, ExprPtr tree) {
  // As in an assignment to a LONGINT: an operation on narrower operands is computed in 32
  // bits, so WRITE(I + 30000) writes what WRITE(I + I) writes.
  if (!tree->isLeaf && tree->type != nullptr && tree->type->size < 4 &&
      (tree->type->kind == TypeKind::Integer || tree->type->kind == TypeKind::Byte ||
       tree->type->kind == TypeKind::Word || tree->type->kind == TypeKind::Subrange)) {
    tree->expectedType = c.symbols.types().longIntType;
  }
  pushValue(c, std::move(tree), c.symbols.types().longIntType, "mov.l");
}

void pushWordConstant(Compilation& c, std::int32_t value) {
  pushWordValue(c, makeIntegerConstant(c, value));
}

ExprPtr parseWidth(Compilation& c) {
  ExprPtr width = parseExpression(c);
  if (!isIntegerKind(width->type)) {
    c.reportError(err::kTypeMismatch);
  }
  return width;
}

bool isIntegerKind(const TypeDescriptor* type) {
  if (type == nullptr) {
    return false;
  }
  switch (type->kind) {
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::LongInt:
    case TypeKind::Address:
    case TypeKind::Subrange:
      return true;
    default:
      return false;
  }
}

bool isWithBase(const Compilation& c, std::string_view reg) {
  for (int i = 0; i < c.registers.withRegisterCount(); ++i) {
    if (c.registers.withRegister(i).registerText == reg) {
      return true;
    }
  }
  return false;
}

bool isScratchRegister(const Compilation& c, std::string_view reg) {
  return isWorkRegister(reg) && !c.registers.isRegisterLocked(reg) && !isWithBase(c, reg);
}

bool isVariable(const ExprNode& node) {
  if (!node.isLeaf || node.addressWanted || node.type == nullptr) {
    return false;
  }
  switch (node.location) {
    case LocationKind::FrameVariable:
    case LocationKind::Parameter:
    case LocationKind::NamedMemory:  // typed constants
    case LocationKind::FixedAddress:
    case LocationKind::DeviceFrameVariable:
      return true;
    default:
      return false;
  }
}

bool addressMayCall(const ExprNode& leaf) {
  for (const ExprNode* step = &leaf; step != nullptr; step = step->nextSelector.get()) {
    if (step->offsetTree != nullptr && mayCall(*step->offsetTree)) {
      return true;
    }
  }
  return false;
}

ExprPtr cloneTree(const ExprNode& node) {
  ExprPtr copy = newExprNode();
  copy->unaryFlags = node.unaryFlags;
  copy->type = node.type;
  copy->expectedType = node.expectedType;
  copy->text = node.text;
  copy->standardRoutine = node.standardRoutine;
  copy->firstOperand = node.firstOperand;
  copy->oneByteResult = node.oneByteResult;
  copy->isLeaf = node.isLeaf;
  copy->op = node.op;
  copy->declarationLine = node.declarationLine;
  copy->location = node.location;
  copy->value = node.value;
  copy->scopeLevel = node.scopeLevel;
  copy->registerNumber = node.registerNumber;
  copy->registerWidth = node.registerWidth;
  copy->addressWanted = node.addressWanted;
  copy->routine = node.routine;
  copy->symbol = node.symbol;
  for (auto [from, to] :
       {std::pair{&node.left, &copy->left}, std::pair{&node.right, &copy->right},
        std::pair{&node.attached, &copy->attached},
        std::pair{&node.nextSelector, &copy->nextSelector},
        std::pair{&node.offsetTree, &copy->offsetTree}, std::pair{&node.next, &copy->next}}) {
    if (*from) {
      *to = cloneTree(**from);
    }
  }
  return copy;
}

StoreTarget::StoreTarget(Compilation& c, ExprPtr designator)
    : c_(c), designator_(std::move(designator)), type_(designator_->type) {
  designator_->addressWanted = false;
  if (addressMayCall(*designator_)) {
    pushAddress(c_, designator_);
    pushed_ = true;
  }
}

std::string StoreTarget::operand() {
  if (pushed_) {
    const std::string address = c_.registers.allocateRegister();
    c_.emitter.emitInstruction("mov.l", "@sp+", address);
    return "@" + address;
  }
  return generateVariable(c_, designator_);
}

}  // namespace vorax
