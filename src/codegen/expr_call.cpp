// Function calls in expressions: the argument list, SIZEOF, and the standard functions
// that are computed while parsing when their argument is a constant.
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "codegen/expr_parser.h"
#include "codegen/expr_parser_parts.h"
#include "codegen/expr_real.h"
#include "codegen/expr_tree.h"
#include "codegen/func_call_type.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "source/real48.h"
#include "symbols/type_descriptor.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kTypeNameExpected = 63;
constexpr int kNoFoldingRule = 940;
constexpr int kInvalidVariableReference = 50;

// SIZEOF "(" type-identifier ")": the size of the type as an integer constant.
ExprPtr parseSizeOf(Compilation& c) {
  if (c.token() != TokenCode::OpenParen) {
    c.reportError(err::kOpenParenExpected);
  }
  c.nextToken();
  SymbolEntry* type =
      c.token() == TokenCode::Identifier ? c.symbols.LookupIdentifier(kinds::kType) : nullptr;
  if (type == nullptr || type->type == nullptr) {
    c.reportError(kTypeNameExpected);
  }
  c.nextToken();
  if (c.token() != TokenCode::CloseParen) {
    c.reportError(err::kCloseParenExpected);
  }
  c.nextToken();
  ExprPtr size = makeIntegerConstant(c, type->type->size);
  retypeSmallConstant(c, *size);
  return size;
}

// The argument of a VAR parameter must be a variable: its address is passed.
bool isVariableArgument(const ExprNode& argument) {
  if (!argument.isLeaf || argument.addressWanted) {
    return false;
  }
  switch (argument.location) {
    case LocationKind::FrameVariable:
    case LocationKind::Parameter:
    case LocationKind::NamedMemory:
    case LocationKind::FixedAddress:
    case LocationKind::Device:
    case LocationKind::DeviceFrameVariable:
      return true;
    case LocationKind::TypeCast:
      return argument.attached != nullptr && isVariableArgument(*argument.attached);
    default:
      return false;
  }
}

// The file parameter of a standard routine takes a file or a device: the runtime
// works on the variable's file record.
bool isFileArgument(const Compilation& c, const ExprNode& argument) {
  if (argument.location == LocationKind::Device ||
      argument.location == LocationKind::DeviceFrameVariable) {
    return true;
  }
  const TypeDescriptor* type = argument.type;
  return type != nullptr && (type == c.symbols.types().chdevpType || type->kind == TypeKind::Text ||
                             type->kind == TypeKind::TypedFile);
}

void checkArgument(Compilation& c, ExprNode& argument, const SymbolEntry& parameter,
                   const SymbolEntry& routine) {
  if (!parameter.isVarParameter) {
    // A compiled routine reads its value parameter in the parameter's own type: an
    // argument that cannot be assigned to it would be pushed as bytes of another kind.
    if (routine.standardRoutine == 0 && parameter.type != nullptr && argument.type != nullptr &&
        !IsAssignable(parameter.type, argument.type)) {
      c.reportError(err::kTypeMismatch);
    }
    return;
  }
  if (!isVariableArgument(argument)) {
    c.reportError(kInvalidVariableReference);
  }
  if (routine.standardRoutine != 0 && parameter.type == c.symbols.types().textType &&
      !isFileArgument(c, argument)) {
    c.reportError(err::kTypeMismatch);
  }
  argument.addressWanted = true;
  if (routine.standardRoutine == 0 && argument.symbol != nullptr) {
    argument.symbol->addressTaken = true;
  }
}

}  // namespace

// "(" expression { "," expression } ")", one expression per parameter.
void parseArgumentList(Compilation& c, ExprNode& call, const SymbolEntry& routine) {
  const SymbolEntry* parameter = routine.parameters;
  if (parameter == nullptr) {
    if (c.token() == TokenCode::OpenParen) {
      c.reportError(err::kEndExpected);
    }
    return;
  }
  if (c.token() != TokenCode::OpenParen) {
    c.reportError(err::kOpenParenExpected);
  }
  ExprPtr* tail = &call.attached;
  while (true) {
    c.nextToken();
    ExprPtr argument = parseExpression(c);
    argument->expectedType = parameter->type;
    checkArgument(c, *argument, *parameter, routine);
    *tail = std::move(argument);
    tail = &(*tail)->next;
    parameter = parameter->next;
    if (c.token() != TokenCode::Comma) {
      break;
    }
    if (parameter == nullptr) {
      c.reportError(err::kSemicolonExpected);  // more arguments than parameters
    }
  }
  if (parameter != nullptr) {
    c.reportError(err::kCommaExpected);  // fewer arguments than parameters
  }
  if (c.token() != TokenCode::CloseParen) {
    c.reportError(err::kCloseParenExpected);
  }
  c.nextToken();
}

namespace {

bool staysCall(StandardRoutine routine) {
  switch (routine) {
    case StandardRoutine::Copy:
    case StandardRoutine::Pos:
    case StandardRoutine::ReadKey:
    case StandardRoutine::Eof:
    case StandardRoutine::MaxAvail:
    case StandardRoutine::MemAvail:
    case StandardRoutine::FileSize:
      return true;
    default:
      return false;
  }
}

// An integer result typed like any new integer constant.
ExprPtr integerResult(Compilation& c, std::int32_t value) {
  ExprPtr result = makeIntegerConstant(c, value);
  retypeSmallConstant(c, *result);
  return result;
}

ExprPtr absoluteValue(Compilation& c, const ExprNode& argument) {
  if (argument.isConstantOf(ConstKind::Integer)) {
    const std::int32_t v = argument.value.intValue;
    const auto magnitude =
        v < 0 ? 0U - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    return integerResult(c, static_cast<std::int32_t>(magnitude));
  }
  if (argument.isConstantOf(ConstKind::Real)) {
    RealBytes value = argument.value.realValue;
    value[5] = static_cast<std::uint8_t>(value[5] & 0x7fU);
    return makeRealConstant(c, value);
  }
  c.reportError(err::kTypeMismatch);
}

ExprPtr successor(Compilation& c, const ExprNode& argument, int step) {
  ExprPtr result = makeConstantLeaf(argument.value, argument.type);
  ConstValue& value = result->value;
  if (value.kind == ConstKind::Integer) {
    value.intValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(value.intValue) +
                                               static_cast<std::uint32_t>(step));
  } else if (value.kind == ConstKind::Character || value.kind == ConstKind::Boolean) {
    value.smallValue = static_cast<std::uint8_t>(value.smallValue + step);
  } else {
    c.reportError(err::kTypeMismatch);
  }
  return result;
}

ExprPtr truncated(Compilation& c, const ExprNode& argument) {
  if (argument.isConstantOf(ConstKind::Integer)) {
    return integerResult(c, argument.value.intValue);
  }
  if (!argument.isConstantOf(ConstKind::Real)) {
    c.reportError(err::kTypeMismatch);
  }
  const double value = std::trunc(*numericValue(argument));
  if (value < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
      value > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    c.reportError(err::kConstantOutOfRange);
  }
  return integerResult(c, static_cast<std::int32_t>(value));
}

// SIN, COS, SQRT of an integer or REAL constant; nothing when the result is no REAL (the
// square root of a negative number is left to the runtime routine).
ExprPtr realFunction(Compilation& c, const ExprNode& argument, StandardRoutine routine) {
  const std::optional<double> x = numericValue(argument);
  if (!x) {
    c.reportError(err::kTypeMismatch);
  }
  switch (routine) {
    case StandardRoutine::Sin:
      return makeRealConstantOf(c, std::sin(*x));
    case StandardRoutine::Cos:
      return makeRealConstantOf(c, std::cos(*x));
    default:
      return *x < 0 ? nullptr : makeRealConstantOf(c, std::sqrt(*x));
  }
}

ExprPtr foldedResult(Compilation& c, const ExprNode& argument, StandardRoutine routine) {
  const ConstValue& value = argument.value;
  switch (routine) {
    case StandardRoutine::Abs:
      return absoluteValue(c, argument);
    case StandardRoutine::Chr:
      return makeCharConstant(c, static_cast<std::uint8_t>(ordinalValue(value) & 0xff));
    case StandardRoutine::UpCase: {
      if (value.kind != ConstKind::Character) {
        c.reportError(err::kTypeMismatch);
      }
      const std::uint8_t ch = value.smallValue;
      return makeCharConstant(c, ch >= 'a' && ch <= 'z' ? static_cast<std::uint8_t>(ch - 32) : ch);
    }
    case StandardRoutine::Length:
      if (value.kind == ConstKind::Character) {
        return integerResult(c, 1);
      }
      if (value.kind == ConstKind::String) {
        return integerResult(c, static_cast<std::int32_t>(value.text.size()));
      }
      c.reportError(err::kTypeMismatch);
    case StandardRoutine::Ord:
      if (value.kind == ConstKind::Integer) {
        return integerResult(c, value.intValue);
      }
      if (value.kind == ConstKind::Character) {
        return integerResult(c, value.smallValue);
      }
      c.reportError(err::kTypeMismatch);
    case StandardRoutine::Trunc:
      return truncated(c, argument);
    case StandardRoutine::Odd:
      return makeBooleanConstant(c, (ordinalValue(value) & 1) != 0);
    case StandardRoutine::Succ:
      return successor(c, argument, 1);
    case StandardRoutine::Pred:
      return successor(c, argument, -1);
    case StandardRoutine::Sin:
    case StandardRoutine::Cos:
    case StandardRoutine::Sqrt:
      return realFunction(c, argument, routine);
    default:
      c.reportError(kNoFoldingRule);
  }
}

}  // namespace

void foldStandardFunction(Compilation& c, ExprPtr& call) {
  const auto routine = static_cast<StandardRoutine>(call->standardRoutine);
  if (routine == StandardRoutine::None || staysCall(routine) || !call->attached ||
      !call->attached->isConstant()) {
    return;
  }
  ExprPtr result = foldedResult(c, *call->attached, routine);
  if (result) {
    call = std::move(result);
  }
}

ExprPtr parseFunctionCall(Compilation& c, SymbolEntry& routine) {
  if (routine.standardRoutine == static_cast<std::uint8_t>(StandardRoutine::SizeOf)) {
    return parseSizeOf(c);
  }
  ExprPtr call = newExprNode();
  call->location = LocationKind::Call;
  call->text = routine.name;
  call->declarationLine = routine.declarationLine;
  call->standardRoutine = routine.standardRoutine;
  call->routine = &routine;
  call->scopeLevel = routine.level;
  call->type = routine.type;
  parseArgumentList(c, *call, routine);
  foldStandardFunction(c, call);
  typeStandardCall(c, *call);
  return call;
}

}  // namespace vorax
