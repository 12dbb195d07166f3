#include "decls/routine_heading.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "asmout/operand_text.h"
#include "codegen/expr_parser.h"
#include "codegen/symbol_operand.h"
#include "decls/routine_frame.h"
#include "decls/routine_labels.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kIntegerConstantExpected = 22;
constexpr int kResultTypeUndefined = 48;
constexpr int kReservedWord = 53;
constexpr int kReferenceToItself = 61;
constexpr int kNextOfNotAllowed = 92;
constexpr int kProcedureOnly = 95;
constexpr int kInterruptLevel = 96;
constexpr int kParametersNotAllowed = 97;
constexpr int kUnexpectedResultKind = 917;

// Interrupt procedures are called by the hardware from any depth: they sit in the
// program or unit itself.
constexpr std::int32_t kInterruptProcedureLevel = 2;
// The REGISTERS parameter of an interrupt procedure overlays the registers saved on
// entry: r6 at fp+0, r5 from fp+4 on.
constexpr std::int32_t kRegistersParameterOffset = 4;
// Above fp: the saved frame pointer, then the return address.
constexpr std::int32_t kSavedFramePointerSize = 4;
constexpr std::int32_t kVarParameterSize = 4;

bool isReservedWord(TokenCode token) {
  const int code = static_cast<int>(token);
  return code >= kFirstReservedWord && code <= kLastReservedWord;
}

// A type identifier; a pointer's forward placeholder does not denote a type yet.
TypeDescriptor* parseTypeName(Compilation& c) {
  SymbolEntry* entry =
      c.token() == TokenCode::Identifier ? c.symbols.LookupIdentifier(kinds::kType) : nullptr;
  if (entry == nullptr || entry->isPlaceholder || entry->type == nullptr) {
    c.reportError(err::kUndefinedIdentifier);
  }
  return entry->type;
}

// [VAR] name { "," name } ":" type-name; the scanner stands on the group's first token.
void parseParameterGroup(Compilation& c, SymbolEntry& routine,
                         std::vector<SymbolEntry*>& parameters,
                         const ParameterMaker& makeParameter) {
  if (isReservedWord(c.token()) && c.token() != TokenCode::Var) {
    c.reportError(kReservedWord);
  }
  if (c.token() != TokenCode::Identifier && c.token() != TokenCode::Var) {
    c.reportError(err::kIdentifierExpected);
  }
  const bool byReference = c.token() == TokenCode::Var;
  if (byReference) {
    c.nextToken();
  }
  const std::size_t first = parameters.size();
  while (true) {
    if (c.token() != TokenCode::Identifier) {
      c.reportError(err::kUndefinedIdentifier);
    }
    SymbolEntry& parameter = makeParameter();
    parameter.name = c.scanner.currentIdentifier();
    parameter.declarationLine = c.symbols.currentDeclarationLine();
    parameter.kind = IdentKind::Parameter;
    parameter.isVarParameter = byReference;
    parameter.varLengthCheck = byReference && c.directives.settings().switchV;
    parameter.level = routine.level;
    parameters.push_back(&parameter);
    c.nextToken();
    if (c.token() != TokenCode::Comma) {
      break;
    }
    c.nextToken();
  }
  if (c.token() != TokenCode::Colon) {
    c.reportError(err::kColonExpected);
  }
  c.nextToken();
  TypeDescriptor* type = parseTypeName(c);
  for (std::size_t i = first; i < parameters.size(); ++i) {
    parameters[i]->type = type;
  }
  c.nextToken();
}

std::vector<SymbolEntry*> parseParameterList(Compilation& c, SymbolEntry& routine,
                                             const ParameterMaker& makeParameter) {
  std::vector<SymbolEntry*> parameters;
  if (c.token() != TokenCode::OpenParen) {
    return parameters;
  }
  do {
    c.nextToken();
    parseParameterGroup(c, routine, parameters, makeParameter);
  } while (c.token() == TokenCode::Semicolon);
  if (c.token() != TokenCode::CloseParen) {
    c.reportError(err::kCloseParenExpected);
  }
  c.nextToken();
  return parameters;
}

// ":" type-name; structured results do not fit the result slot.
TypeDescriptor* parseResultType(Compilation& c) {
  if (c.token() != TokenCode::Colon) {
    c.reportError(err::kColonExpected);
  }
  c.nextToken();
  TypeDescriptor* type = parseTypeName(c);
  if (type->kind == TypeKind::Array || type->kind == TypeKind::Record ||
      type->kind == TypeKind::Variant) {
    c.reportError(kResultTypeUndefined);
  }
  c.nextToken();
  return type;
}

// The caller pushes the parameters in declaration order, so the last one lies lowest,
// right above the return address and the result slot. A value parameter takes its size
// rounded up to even (a byte sits in the low half of its word, one address higher); a VAR
// parameter its address.
void layOutParameters(Compilation& c, SymbolEntry& routine,
                      const std::vector<SymbolEntry*>& parameters) {
  const std::optional<std::int32_t> resultSlot = resultSlotSize(routine.type);
  if (!resultSlot) {
    c.reportError(kUnexpectedResultKind);
  }
  const std::int64_t base = kSavedFramePointerSize + addressSize(c) + *resultSlot;
  std::int64_t area = 0;
  for (auto it = parameters.rbegin(); it != parameters.rend(); ++it) {
    SymbolEntry& parameter = **it;
    const std::int32_t size = parameter.type->size;
    const bool inLowByte = !parameter.isVarParameter && size == 1;
    const std::int64_t offset = base + area + (inLowByte ? 1 : 0);
    area += parameter.isVarParameter ? kVarParameterSize : RoundEven(size);
    // Parameters of nearly 2 GB leave no 32-bit offset.
    if (offset > std::numeric_limits<std::int32_t>::max() ||
        base + area > std::numeric_limits<std::int32_t>::max()) {
      c.reportError(err::kConstantOutOfRange);
    }
    parameter.offset = static_cast<std::int32_t>(offset);
  }
  routine.parameterAreaSize = static_cast<std::int32_t>(area);
}

// The text an absolute routine is equated to: a symbol or memory operand, or after NEXTOF
// the even address past the symbol's object.
std::string absoluteAddressText(Compilation& c, const SymbolEntry& routine, const ExprNode& address,
                                bool nextOf) {
  if (address.location != LocationKind::NamedMemory || address.nextSelector) {
    c.reportError(kIntegerConstantExpected);
  }
  // "@" of the routine itself would equate its label to itself.
  if (address.routine == &routine) {
    c.reportError(kReferenceToItself);
  }
  std::int32_t distance = 0;
  if (address.offsetTree) {
    if (!address.offsetTree->isConstantOf(ConstKind::Integer)) {
      c.reportError(kIntegerConstantExpected);
    }
    distance = address.offsetTree->value.intValue;
  }
  std::string text = symbolOperand(address);
  if (!text.empty() && text[0] == '#') {
    text.erase(0, 1);
  }
  if (distance > 0) {
    text += "+" + std::to_string(distance);
  } else if (distance < 0) {
    text += std::to_string(distance);
  }
  if (nextOf) {
    if (!text.empty() && text[0] == '@') {
      c.reportError(kNextOfNotAllowed);
    }
    const std::int32_t size = address.type != nullptr ? address.type->size : 0;
    text += "+" + std::to_string(RoundEven(size));
  }
  return text;
}

}  // namespace

void parseRoutineHeading(Compilation& c, SymbolEntry& routine, bool isFunction,
                         const ParameterMaker& makeParameter) {
  const std::vector<SymbolEntry*> parameters = parseParameterList(c, routine, makeParameter);
  routine.parameters = nullptr;
  for (auto it = parameters.rbegin(); it != parameters.rend(); ++it) {
    (*it)->next = routine.parameters;
    routine.parameters = *it;
  }
  if (isFunction) {
    routine.type = parseResultType(c);
  }
  layOutParameters(c, routine, parameters);
}

void applyInterruptDirective(Compilation& c, SymbolEntry& routine) {
  if (routine.kind == IdentKind::Function) {
    c.reportError(kProcedureOnly);
  }
  SymbolEntry* parameter = routine.parameters;
  if (parameter != nullptr) {
    // A VAR parameter would be read as the address of the saved registers, which it is
    // not: only the value form overlays them.
    if (parameter->next != nullptr || parameter->isVarParameter ||
        parameter->type != c.symbols.types().registersType) {
      c.reportError(kParametersNotAllowed);
    }
  }
  if (routine.level != kInterruptProcedureLevel) {
    c.reportError(kInterruptLevel);
  }
  if (parameter != nullptr) {
    parameter->offset = kRegistersParameterOffset;
  }
  routine.kind = IdentKind::InterruptProcedure;
  c.nextToken();
}

void parseAbsoluteRoutine(Compilation& c, SymbolEntry& routine) {
  c.nextToken();
  const bool nextOf = c.token() == TokenCode::Nextof;
  if (nextOf) {
    c.nextToken();
  }
  ExprPtr address = parseExpression(c);
  if (c.token() == TokenCode::Colon) {
    // segment:offset - only the offset counts.
    c.nextToken();
    address = parseExpression(c);
  }
  if (c.token() != TokenCode::Semicolon) {
    c.reportError(err::kSemicolonExpected);
  }
  if (!address->isLeaf) {
    c.reportError(kIntegerConstantExpected);
  }
  std::string value;
  if (address->isConstant()) {
    if (nextOf) {
      c.reportError(kNextOfNotAllowed);
    }
    const TypeKind kind = address->type != nullptr && address->isConstantOf(ConstKind::Integer)
                              ? address->type->kind
                              : TypeKind::Real;
    if (kind != TypeKind::Integer && kind != TypeKind::Byte && kind != TypeKind::LongInt &&
        kind != TypeKind::Address) {
      c.reportError(kIntegerConstantExpected);
    }
    // The entry keeps the address where fixed-address entries keep theirs.
    routine.offset = address->value.intValue;
    value = std::to_string(address->value.intValue);
  } else {
    value = absoluteAddressText(c, routine, *address, nextOf);
  }
  c.emitter.emitRawLine(routineEquateLine(numberedRoutineLabel(routine), value));
}

void enterParameters(Compilation& c, SymbolEntry& routine) {
  for (SymbolEntry* parameter = routine.parameters; parameter != nullptr;
       parameter = parameter->next) {
    c.symbols.enterAtCurrentLevel(*parameter);
  }
}

}  // namespace vorax
