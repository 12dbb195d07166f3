// The standard functions compiled in line or through a runtime routine of their own:
// ABS, CHR, ORD, ODD, UPCASE, SUCC, PRED, TRUNC, READKEY, SIN, COS and SQRT. LENGTH has
// a file of its own; every other standard function is a generic call.
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "asmout/runtime_names.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "codegen/func_call_type.h"
#include "codegen/func_internal.h"
#include "codegen/func_io_check.h"
#include "codegen/symbol_operand.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/predefined_types.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

void emit(Compilation& c, std::string_view mnemonic, std::string_view source,
          std::string_view destination = {}) {
  c.emitter.emitInstruction(mnemonic, source, destination);
}

std::string sized(std::string_view mnemonic, std::int64_t size) {
  return std::string(mnemonic) + std::string(sizeSuffix(size));
}

// The one argument of a standard function.
ExprPtr& argumentOf(Compilation& c, ExprNode& call) {
  if (!call.attached) {
    c.reportError(err::kInternal);
  }
  return call.attached;
}

// The leaf becomes register `reg` holding the call's value of `type`; the flags still
// pending on the call (a minus or NOT in front of it) stay with it.
void becomeRegister(ExprNode& leaf, const std::string& reg, TypeDescriptor* type,
                    std::int32_t width) {
  makeRegisterLeaf(leaf, reg, type);
  leaf.registerWidth = width;
}

// The width recorded for the argument's register after it was generated.
std::int32_t widthAfter(const ExprNode& argument, const TypeDescriptor* type) {
  if (argument.location == LocationKind::Register && argument.registerWidth != 0) {
    return argument.registerWidth;
  }
  return type != nullptr ? type->size : 2;
}

// --- ABS ---------------------------------------------------------------------------------

// How ABS treats its argument's type.
enum class AbsForm { Signed, Unchanged, Real, Rejected };

AbsForm absFormOf(const TypeDescriptor* type) {
  if (type == nullptr) {
    return AbsForm::Rejected;
  }
  switch (type->kind) {
    case TypeKind::Integer:
    case TypeKind::LongInt:
      return AbsForm::Signed;
    case TypeKind::Byte:
      return AbsForm::Unchanged;
    case TypeKind::Subrange:
      // A subrange reaching below zero holds negative values like its base type.
      return type->low.intValue < 0 ? AbsForm::Signed : AbsForm::Unchanged;
    case TypeKind::Real:
      return AbsForm::Real;
    default:
      return AbsForm::Rejected;
  }
}

// R := R, negated when the flags of its value say it is negative.
void negateWhenNegative(Compilation& c, const std::string& reg, std::int64_t size) {
  // The compare is dropped when the line that produced R set the flags from it already
  // (a load, an arithmetic result); after a call it becomes "and R,R".
  emit(c, sized("cmp", size), "#0", reg);
  const std::string positive = localLabelText(c.emitter.newLabelNumber());
  emit(c, "bpl", positive);
  emit(c, sized("neg", size), reg);
  c.emitter.defineLabel(false, positive);
}

void generateAbs(Compilation& c, ExprPtr& call) {
  ExprPtr& argument = argumentOf(c, *call);
  TypeDescriptor* type = argument->type;
  switch (absFormOf(type)) {
    case AbsForm::Rejected:
      c.reportError(err::kTypeMismatch);
    case AbsForm::Real: {
      generateValue(c, argument, type);
      const std::string reg = c.registers.allocateRegister();
      emit(c, "mov.b", kRealSignByte, reg);
      emit(c, "bclr", "#7", reg);
      emit(c, "mov.b", reg, kRealSignByte);
      c.registers.releaseRegister(reg);
      takeRealResult(c, *call);
      return;
    }
    case AbsForm::Unchanged: {
      const std::string reg = generateInRegister(c, argument, type);
      becomeRegister(*call, reg, type, widthAfter(*argument, type));
      return;
    }
    case AbsForm::Signed: {
      const std::string reg = generateInRegister(c, argument, type);
      negateWhenNegative(c, reg, type->size);
      becomeRegister(*call, reg, type, type->size);
      return;
    }
  }
}

// --- CHR, ORD, SUCC, PRED ----------------------------------------------------------------

// The argument generated as the call's own type; the call is its register.
std::string retypedArgument(Compilation& c, ExprPtr& call, TypeDescriptor* type) {
  ExprPtr& argument = argumentOf(c, *call);
  const std::string reg = generateInRegister(c, argument, type);
  becomeRegister(*call, reg, type, widthAfter(*argument, type));
  return reg;
}

// SUCC and PRED step the value at its own width, so that a carry out of the low byte
// reaches the rest of a word or long value.
void generateStep(Compilation& c, ExprPtr& call, std::string_view mnemonic) {
  TypeDescriptor* type = call->type;
  if (type == nullptr) {
    c.reportError(err::kTypeMismatch);
  }
  const std::string reg = retypedArgument(c, call, type);
  emit(c, sized(mnemonic, type->size), "#1", reg);
}

// --- ODD ---------------------------------------------------------------------------------

// The low bit of the argument decides: the flags tell the condition, and the register
// holds 0 or 1 for a use as a value. A condition leaf is read as a value from r0, so an
// argument that ended in another register leaves a BOOLEAN register leaf instead, whose
// use as a condition tests the register again.
void generateOdd(Compilation& c, ExprPtr& call) {
  ExprPtr& argument = argumentOf(c, *call);
  const std::int64_t ownSize = argument->type != nullptr ? argument->type->size : 1;
  const std::string reg = generateInRegister(c, argument, c.symbols.types().byteType);
  // Compiled in line: a value waiting beside the call (the left operand of OR) keeps its
  // register.
  emit(c, sized("and", ownSize), "#1", reg);
  becomeRegister(*call, reg, c.symbols.types().booleanType, ownSize == 1 ? 1 : 2);
  if (reg == "r0") {
    call->location = LocationKind::Condition;
  }
  // Kept until the condition or value is used, so that nothing else is loaded into it.
  c.registers.markRegisterInUse(reg);
}

// --- Runtime routines with one word or long argument --------------------------------------

// Pushes the argument generated as `type` (a word for one- and two-byte types).
void pushArgumentAs(Compilation& c, ExprPtr& call, TypeDescriptor* type) {
  ExprPtr& argument = argumentOf(c, *call);
  const std::string reg = generateInRegister(c, argument, type);
  emit(c, type->size == 4 ? "mov.l" : "mov.w", reg, "@-sp");
  c.registers.releaseRegister(reg);
}

void generateUpcase(Compilation& c, ExprPtr& call) {
  pushArgumentAs(c, call, c.symbols.types().charType);
  emit(c, "bsr", rt::kUpcase);
  takeResultInR0(c, *call, call->type);
}

void generateReadKey(Compilation& c, ExprPtr& call) {
  const std::string device = c.registers.allocateRegister();
  emit(c, "mov.l", "#\\con", device);
  emit(c, "mov.l", device, "@-sp");
  c.registers.releaseRegister(device);
  emit(c, "bsr", rt::kReadChar);
  if (call->routine != nullptr) {
    emitIoCheck(c, *call->routine);
  }
  takeResultInR0(c, *call, call->type);
}

// --- REAL arguments ----------------------------------------------------------------------

// The argument as a REAL value on the stack.
void pushRealArgument(Compilation& c, ExprPtr& call) {
  ExprPtr& argument = argumentOf(c, *call);
  generateValue(c, argument, c.symbols.types().realType);
}

void generateTrunc(Compilation& c, ExprPtr& call) {
  pushRealArgument(c, call);
  emit(c, "bsr", rt::kRealToInt);
  takeResultInR0(c, *call, call->type);
}

// SIN, COS and SQRT of a REAL: the routine replaces the value on the stack by the result.
void generateRealFunction(Compilation& c, ExprPtr& call) {
  pushRealArgument(c, call);
  emit(c, "bsr", symbolOperand(*call));
  c.registers.releaseUnlockedRegisters();
  takeRealResult(c, *call);
}

// SQRT of an integer: the whole square root of the LONGINT value.
void generateLongSqrt(Compilation& c, ExprPtr& call) {
  TypeDescriptor* longInt = c.symbols.types().longIntType;
  pushArgumentAs(c, call, longInt);
  emit(c, "bsr", rt::kSqrtLong);
  takeResultInR0(c, *call, longInt);
}

}  // namespace

void typeStandardCall(Compilation& c, ExprNode& call) {
  if (call.location != LocationKind::Call || call.standardRoutine == 0 || call.type != nullptr ||
      !call.attached) {
    return;
  }
  TypeDescriptor* argumentType = call.attached->type;
  switch (static_cast<StandardRoutine>(call.standardRoutine)) {
    case StandardRoutine::Sqrt: {
      const bool real = argumentType != nullptr && argumentType->kind == TypeKind::Real;
      call.type = real ? c.symbols.types().realType : c.symbols.types().longIntType;
      return;
    }
    case StandardRoutine::Abs:
    case StandardRoutine::Succ:
    case StandardRoutine::Pred:
      call.type = argumentType;
      return;
    default:
      return;
  }
}

bool generateStandardFunction(Compilation& c, ExprPtr& call) {
  const auto routine = static_cast<StandardRoutine>(call->standardRoutine);
  if (routine == StandardRoutine::None) {
    return false;
  }
  typeStandardCall(c, *call);
  switch (routine) {
    case StandardRoutine::Abs:
      generateAbs(c, call);
      return true;
    case StandardRoutine::Chr:
    case StandardRoutine::Ord:
      retypedArgument(c, call, call->type);
      return true;
    case StandardRoutine::Length:
      generateLength(c, call);
      return true;
    case StandardRoutine::Odd:
      generateOdd(c, call);
      return true;
    case StandardRoutine::UpCase:
      generateUpcase(c, call);
      return true;
    case StandardRoutine::Succ:
      generateStep(c, call, "inc");
      return true;
    case StandardRoutine::Pred:
      generateStep(c, call, "dec");
      return true;
    case StandardRoutine::Trunc:
      generateTrunc(c, call);
      return true;
    case StandardRoutine::ReadKey:
      generateReadKey(c, call);
      return true;
    case StandardRoutine::Sin:
    case StandardRoutine::Cos:
      generateRealFunction(c, call);
      return true;
    case StandardRoutine::Sqrt:
      if (call->type->kind == TypeKind::Real) {
        generateRealFunction(c, call);
      } else {
        generateLongSqrt(c, call);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace vorax
