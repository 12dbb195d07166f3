// STR and VAL: numbers to text and back through the runtime's conversion routines.
//
// str = STR "(" number [ ":" width [ ":" decimals ] ] "," string-variable ")"
// val = VAL "(" string "," number-variable "," integer-variable ")"
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/operand_text.h"
#include "asmout/runtime_names.h"
#include "asmout/stack_adjust.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "codegen/expr_parser_parts.h"
#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/call_standard.h"
#include "stmt/call_support.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr int kIntegerVariableExpected = 24;
constexpr int kNumberVariableExpected = 27;
constexpr int kStringVariableExpected = 34;
constexpr std::int32_t kStringArea = 256;
constexpr std::int32_t kRealSize = 6;
constexpr std::int32_t kDefaultRealWidth = 3;
constexpr std::int32_t kDefaultRealDecimals = 1;

// The number as text on the stack, like a WRITE item: an integer through "\str" with an
// optional width, a REAL through "\r2asc" with width and decimals.
void numberToText(Compilation& c, ExprPtr number) {
  const TypeKind kind = number->type != nullptr ? number->type->kind : TypeKind::Record;
  if (kind == TypeKind::Integer || kind == TypeKind::Byte || kind == TypeKind::LongInt ||
      kind == TypeKind::Address) {
    pushLongValue(c, std::move(number));
    emitCall(c, rt::kLongToText);
    if (c.token() == TokenCode::Colon) {
      c.nextToken();
      pushWordValue(c, parseWidth(c));
      emitCall(c, rt::kAdjustLength);
    }
    return;
  }
  if (kind != TypeKind::Real) {
    c.reportError(err::kTypeMismatch);
  }
  ExprPtr width = makeIntegerConstant(c, kDefaultRealWidth);
  ExprPtr decimals = makeIntegerConstant(c, kDefaultRealDecimals);
  if (c.token() == TokenCode::Colon) {
    c.nextToken();
    width = parseWidth(c);
    if (c.token() == TokenCode::Colon) {
      c.nextToken();
      decimals = parseWidth(c);
    }
  }
  allocateStack(c.emitter, kStringArea);
  static_cast<void>(generateValue(c, number, c.symbols.types().realType));
  pushWordValue(c, std::move(width));
  pushWordValue(c, std::move(decimals));
  emitCall(c, rt::kRealToText);
}

// True for the variables VAL can store a number into.
bool isNumberVariable(const ExprNode& node) {
  return isVariable(node) && (isIntegerKind(node.type) || node.type->kind == TypeKind::Real);
}

// The error position is a word: the variable for it must hold one.
bool isWordVariable(const ExprNode& node) {
  return isVariable(node) && isIntegerKind(node.type) && node.type->size == 2;
}

// The error position, in r1 after the conversion, moved out of the way when r1 is a WITH
// base that a store may reload.
std::string securePosition(Compilation& c, bool r1AtRisk) {
  if (!r1AtRisk) {
    return "r1";
  }
  const std::string position = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.w", "r1", position);
  return position;
}

// The REAL that "\asc2r" left goes to `number` through "\storer", which keeps r1.
void storeRealResult(Compilation& c, ExprPtr number, bool addressPushed) {
  if (!addressPushed) {
    pushAddress(c, number);
    emitCall(c, rt::kStoreReal);
    return;
  }
  // The address went below the REAL before the conversion: a copy goes on top for
  // "\storer", and the original is dropped afterwards. No call comes in between, so r1
  // survives.
  const std::string address = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.l", "@(" + std::to_string(kRealSize) + ",sp)", address);
  c.emitter.emitInstruction("mov.l", address, "@-sp");
  c.registers.releaseRegister(address);
  emitCall(c, rt::kStoreReal);
  releaseStack(c.emitter, 4);
}

}  // namespace

void compileStr(const ProcedureCall& call) {
  Compilation& c = call.c;
  expectToken(c, TokenCode::OpenParen, err::kOpenParenExpected);
  c.nextToken();
  numberToText(c, parseExpression(c));
  expectToken(c, TokenCode::Comma, err::kCommaExpected);
  c.nextToken();
  ExprPtr target = parseExpression(c);
  if (!isVariable(*target) || target->type->kind != TypeKind::String) {
    c.reportError(kStringVariableExpected);
  }
  expectToken(c, TokenCode::CloseParen, err::kCloseParenExpected);
  c.nextToken();
  pushWordConstant(c, target->type->size);
  pushAddress(c, target);
  emitCall(c, rt::kSaveString);
}

void compileVal(const ProcedureCall& call) {
  Compilation& c = call.c;
  ExprNode arguments;
  parseArgumentList(c, arguments, call.routine);
  ExprPtr text = std::move(arguments.attached);
  ExprPtr number = std::move(text->next);
  ExprPtr position = std::move(number->next);
  number->addressWanted = false;
  position->addressWanted = false;
  if (!isNumberVariable(*number)) {
    c.reportError(kNumberVariableExpected);
  }
  if (!isWordVariable(*position)) {
    c.reportError(kIntegerVariableExpected);
  }
  // Addresses that need a routine call of their own are computed before the conversion,
  // whose result registers such a call would destroy.
  StoreTarget positionTarget(c, std::move(position));
  RegisterPool& registers = c.registers;
  // r1 may be a WITH base, which reaching a field reloads.
  const bool r1AtRisk = isWithBase(c, "r1");
  std::string errorPosition;
  if (number->type->kind == TypeKind::Real) {
    // With r1 at risk the address is computed before the conversion as well: pushing it
    // afterwards could reload r1.
    const bool pushNumberFirst = addressMayCall(*number) || r1AtRisk;
    if (pushNumberFirst) {
      pushAddress(c, number);
    }
    allocateStack(c.emitter, kRealSize);
    pushArgumentList(c, text);
    emitCall(c, rt::kTextToReal);
    registers.markRegisterInUse("r1");
    storeRealResult(c, std::move(number), pushNumberFirst);
    errorPosition = securePosition(c, r1AtRisk);
  } else {
    StoreTarget numberTarget(c, std::move(number));
    pushArgumentList(c, text);
    emitCall(c, rt::kTextToLong);
    registers.markRegisterInUse("r0");
    registers.markRegisterInUse("r1");
    errorPosition = securePosition(c, r1AtRisk);
    const std::string operand = numberTarget.operand();
    c.emitter.emitInstruction(
        std::string("mov") + std::string(sizeSuffix(numberTarget.type()->size)), "r0", operand);
    registers.releaseRegister(operand);
  }
  const std::string operand = positionTarget.operand();
  c.emitter.emitInstruction("mov.w", errorPosition, operand);
  registers.releaseRegister(operand);
  if (errorPosition != "r1") {
    registers.releaseRegister(errorPosition);
  }
}

}  // namespace vorax
