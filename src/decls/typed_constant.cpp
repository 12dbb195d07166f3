// Typed constants: the declaration, its label, and the data of every type.
#include <cstdint>
#include <cstdio>
#include <string>

#include "codegen/expr_parser.h"
#include "codegen/expr_real.h"
#include "codegen/symbol_operand.h"
#include "decls/typed_constants.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "source/real48.h"
#include "symbols/type_denoter.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kInternal = 99;
constexpr int kConstantExpected = 25;
constexpr int kConstantStringNotAllowed = 32;
constexpr int kStringExpressionExpected = 33;
constexpr int kFieldsOutOfOrder = 69;
constexpr int kPointerNotAllowed = 78;
constexpr int kUnknownScalarKind = 916;

std::string hexadecimal(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "h'%0*x", digits, static_cast<unsigned>(value));
  return text;
}

// The six bytes of a REAL in the target's order, each a three-character field.
std::string realBytesText(const RealBytes& value) {
  Real48 real;
  real.bytes = value;
  std::string text;
  for (std::uint8_t byte : real.targetOrder()) {
    if (!text.empty()) {
      text += ",";
    }
    text += byteField(byte);
  }
  return text;
}

void emitByte(Compilation& c, std::int32_t value) {
  c.emitter.emitInstruction("db", byteField(value), "");
  c.emitter.setOddDataPending(!c.emitter.oddDataPending());
}

// The label of a level-1 variable whose address is data: its equate name.
std::string variableAddressText(Compilation& c, const ExprNode& operand) {
  const SymbolEntry* variable = operand.symbol;
  if (operand.location != LocationKind::FrameVariable || variable == nullptr ||
      variable->level != 1 || operand.nextSelector ||
      c.directives.settings().stackSetting.empty()) {
    c.reportError(kConstantExpected);
  }
  return variable->name;
}

// The value of a scalar typed constant: a single constant operand that fits the type,
// or for LONGINT an address.
void emitScalar(Compilation& c, TypeDescriptor& type) {
  ExprPtr value = parseExpression(c);
  if (!constantFitsType(c.diagnostics, &type, value->type, value->value)) {
    c.reportError(err::kTypeMismatch);
  }
  if (!value->isLeaf) {
    c.reportError(kConstantExpected);
  }
  const bool isAddress = value->addressWanted && value->location == LocationKind::NamedMemory;
  const bool longTarget = type.kind == TypeKind::LongInt || type.kind == TypeKind::Address;
  if (!value->isConstant() && !(longTarget && isAddress)) {
    c.reportError(kConstantExpected);
  }
  const ConstValue& v = value->value;
  switch (type.kind) {
    case TypeKind::Char:
    case TypeKind::Byte:
    case TypeKind::Enumeration:
    case TypeKind::Boolean:
      emitByte(c, ordinalValue(v));
      return;
    case TypeKind::Integer:
      alignData(c);
      c.emitter.emitInstruction(
          "dw", hexadecimal(static_cast<std::uint32_t>(v.intValue) & 0xffffU, 4), "");
      return;
    case TypeKind::LongInt:
    case TypeKind::Address:
      alignData(c);
      c.emitter.emitInstruction("dl",
                                isAddress ? symbolOperand(*value)
                                          : hexadecimal(static_cast<std::uint32_t>(v.intValue), 8),
                                "");
      return;
    case TypeKind::Real: {
      alignData(c);
      RealBytes bytes = v.realValue;
      if (v.kind == ConstKind::Integer) {
        ExprPtr real = makeRealConstantOf(c, static_cast<double>(v.intValue));
        bytes = real->value.realValue;
      }
      c.emitter.emitInstruction("db", realBytesText(bytes), "");
      return;
    }
    default:
      c.reportError(kUnknownScalarKind);
  }
}

// NIL, a number, the address of a level-1 variable, or a routine's or typed constant's
// address.
void emitPointer(Compilation& c, TypeDescriptor& type) {
  ExprPtr value = parseExpression(c);
  if (!value->isConstant() && !value->addressWanted) {
    c.reportError(kPointerNotAllowed);
  }
  if (!constantFitsType(c.diagnostics, &type, value->type, value->value)) {
    c.reportError(err::kTypeMismatch);
  }
  if (!value->isLeaf) {
    c.reportError(kConstantExpected);
  }
  if (value->isConstantOf(ConstKind::Integer)) {
    alignData(c);
    c.emitter.emitInstruction(
        "dl", hexadecimal(static_cast<std::uint32_t>(value->value.intValue), 8), "");
  } else if (value->location == LocationKind::FrameVariable) {
    const std::string name = variableAddressText(c, *value);
    alignData(c);
    c.emitter.emitInstruction("dl", name, "");
  } else if (value->location == LocationKind::NamedMemory) {
    alignData(c);
    c.emitter.emitInstruction("dl", symbolOperand(*value), "");
  } else {
    c.reportError(kConstantExpected);
  }
}

// A string cut or filled with blanks to the type's maximum length.
void emitString(Compilation& c, TypeDescriptor& type) {
  ExprPtr value = parseExpression(c);
  if (!IsAssignable(&type, value->type)) {
    c.reportError(kStringExpressionExpected);
  }
  if (!value->isConstant()) {
    c.reportError(kConstantStringNotAllowed);
  }
  std::string text;
  if (value->value.kind == ConstKind::Character) {
    text = std::string(1, static_cast<char>(value->value.smallValue));
  } else if (value->value.kind == ConstKind::String) {
    text = value->value.text;
  } else {
    c.reportError(kInternal);
  }
  std::int32_t low = 0;
  std::int32_t length = 0;
  OrdinalBounds(type.index, low, length);
  if (length < 0) {
    length = 0;
  }
  text.resize(static_cast<std::size_t>(length), ' ');
  emitStringData(c, length, text);
  if (length % 2 == 0) {
    c.emitter.setOddDataPending(!c.emitter.oddDataPending());
  }
}

void expectToken(Compilation& c, TokenCode token, int errorNumber) {
  if (c.token() != token) {
    c.reportError(errorNumber);
  }
}

// "(" element { "," element } ")", one element per index value.
void emitArray(Compilation& c, TypeDescriptor& type) {
  expectToken(c, TokenCode::OpenParen, err::kOpenParenExpected);
  alignData(c);
  std::int32_t low = 0;
  std::int32_t high = -1;
  OrdinalBounds(type.index, low, high);
  for (std::int64_t i = low; i <= high; ++i) {
    c.nextToken();
    emitConstantData(c, *type.base);
    if (i != high) {
      expectToken(c, TokenCode::Comma, err::kCommaExpected);
    }
  }
  expectToken(c, TokenCode::CloseParen, err::kCloseParenExpected);
  c.nextToken();
}

// "(" field ":" value { ";" field ":" value } ")", the fields in declaration order.
void emitRecord(Compilation& c, TypeDescriptor& type) {
  expectToken(c, TokenCode::OpenParen, err::kOpenParenExpected);
  alignData(c);
  SymbolEntry* field = type.firstField;
  while (field != nullptr) {
    c.nextToken();
    if (c.token() != TokenCode::Identifier || c.scanner.currentIdentifier() != field->name) {
      c.reportError(kFieldsOutOfOrder);
    }
    c.nextToken();
    expectToken(c, TokenCode::Colon, err::kColonExpected);
    c.nextToken();
    emitConstantData(c, *field->type);
    field = field->next;
    if (c.token() != TokenCode::Semicolon) {
      break;
    }
  }
  if (field != nullptr) {
    c.reportError(err::kSemicolonExpected);
  }
  expectToken(c, TokenCode::CloseParen, err::kCloseParenExpected);
  c.nextToken();
}

}  // namespace

void emitConstantData(Compilation& c, TypeDescriptor& type) {
  switch (type.kind) {
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Boolean:
    case TypeKind::LongInt:
    case TypeKind::Address:
    case TypeKind::Real:
    case TypeKind::Enumeration:
      emitScalar(c, type);
      return;
    case TypeKind::Pointer:
      emitPointer(c, type);
      return;
    case TypeKind::Array:
      emitArray(c, type);
      return;
    case TypeKind::String:
      emitString(c, type);
      return;
    case TypeKind::Record:
      emitRecord(c, type);
      return;
    default:
      c.reportError(err::kSemicolonExpected);
  }
}

void parseTypedConstant(Compilation& c, const std::string& name, std::int32_t declarationLine) {
  SymbolTable& symbols = c.symbols;
  SymbolEntry& entry = symbols.newEntry();
  entry.name = name;
  entry.declarationLine = declarationLine;
  entry.kind = IdentKind::TypedConstant;
  c.nextToken();
  entry.type = parseTypeDenoter(c);
  if (c.token() == TokenCode::Equal) {
    if (symbols.scopeLevel() == 1) {
      entry.declarationLine = -entry.declarationLine;
    }
    symbols.enterAtCurrentLevel(entry);
    c.nextToken();
    const std::string label = entry.declarationLine < 0
                                  ? "\\" + name
                                  : name + "." + std::to_string(entry.declarationLine);
    c.emitter.defineLabel(true, label);
    emitConstantData(c, *entry.type);
  } else if (c.token() == TokenCode::Semicolon) {
    c.nextToken();
    if (c.token() != TokenCode::External) {
      c.reportError(err::kEqualsExpected);
    }
    if (symbols.lookupName(name, kinds::kExternalTypedConstant) != nullptr) {
      c.reportError(err::kDuplicateIdentifier);
    }
    entry.kind = IdentKind::ExternalTypedConstant;
    symbols.enterAtCurrentLevel(entry);
    c.nextToken();
  } else {
    c.reportError(err::kEqualsExpected);
  }
}

}  // namespace vorax
