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

constexpr int kStringExpressionExpected = 33;
constexpr int kFieldsOutOfOrder = 69;
constexpr int kPointerNotAllowed = 78;
constexpr int kUnknownScalarKind = 916;
// An INTEGER datum takes the values of its 16 bits read either way: -32768 .. 65535.
constexpr std::int32_t kLowestWordValue = -32768;
constexpr std::int32_t kHighestWordValue = 65535;

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

// An address as data: the symbol of the place named, plus what its field selectors and
// constant indexes add ("\T+4"). An address reached through a pointer, or through an
// index that is not constant, is no constant.
std::string addressText(Compilation& c, const ExprNode& operand, std::string symbol) {
  if (operand.nextSelector) {
    c.reportError(err::kConstantExpected);
  }
  if (operand.offsetTree) {
    if (!operand.offsetTree->isConstantOf(ConstKind::Integer)) {
      c.reportError(err::kConstantExpected);
    }
    const std::int32_t offset = operand.offsetTree->value.intValue;
    if (offset > 0) {
      symbol += "+";
    }
    if (offset != 0) {
      symbol += std::to_string(offset);
    }
  }
  return symbol;
}

// The address of a level-1 variable as data: its equate name.
std::string variableAddressText(Compilation& c, const ExprNode& operand) {
  const SymbolEntry* variable = operand.symbol;
  if (operand.location != LocationKind::FrameVariable || variable == nullptr ||
      variable->level != 1 || c.directives.settings().stackSetting.empty()) {
    c.reportError(err::kConstantExpected);
  }
  return addressText(c, operand, variable->name);
}

void expectToken(Compilation& c, TokenCode token, int errorNumber) {
  if (c.token() != token) {
    c.reportError(errorNumber);
  }
}

// Writes the data of one typed constant and counts its bytes, so that every field and
// element lands at the offset the type's layout gave it.
class ConstantDataWriter {
 public:
  explicit ConstantDataWriter(Compilation& c) : c_(c) {}

  // The data of `type` at the current token. A nested structure is placed by its parent
  // and does not align itself.
  void emit(TypeDescriptor& type, bool nested);

 private:
  void emitByte(std::int32_t value) {
    c_.emitter.emitInstruction("db", byteField(value), "");
    c_.emitter.setOddDataPending(!c_.emitter.oddDataPending());
    ++position_;
  }
  void align() {
    if (c_.emitter.oddDataPending()) {
      ++position_;
    }
    alignData(c_);
  }
  void emitEven(const char* mnemonic, const std::string& value, std::int32_t size) {
    align();
    c_.emitter.emitInstruction(mnemonic, value, "");
    position_ += size;
  }
  // Zero bytes up to `offset` bytes after `start`: the room the layout leaves between
  // fields, after the last element, or for the variants of a record.
  void padTo(std::int64_t start, std::int64_t offset) {
    while (position_ < start + offset) {
      emitByte(0);
    }
  }

  void emitScalar(TypeDescriptor& type);
  void emitPointer(TypeDescriptor& type);
  void emitString(TypeDescriptor& type);
  void emitArray(TypeDescriptor& type, bool nested);
  void emitRecord(TypeDescriptor& type, bool nested);

  Compilation& c_;
  std::int64_t position_ = 0;  // bytes written since the constant's label
};

// The value of a scalar typed constant: a single constant operand that fits the type,
// or for LONGINT an address.
void ConstantDataWriter::emitScalar(TypeDescriptor& type) {
  Compilation& c = c_;
  ExprPtr value = parseExpression(c);
  if (!constantFitsType(c.diagnostics, &type, value->type, value->value)) {
    c.reportError(err::kTypeMismatch);
  }
  if (!value->isLeaf) {
    c.reportError(err::kConstantExpected);
  }
  const bool isAddress = value->addressWanted && value->location == LocationKind::NamedMemory;
  const bool longTarget = type.kind == TypeKind::LongInt || type.kind == TypeKind::Address;
  if (!value->isConstant() && !(longTarget && isAddress)) {
    c.reportError(err::kConstantExpected);
  }
  const ConstValue& v = value->value;
  switch (type.kind) {
    case TypeKind::Char:
    case TypeKind::Byte:
    case TypeKind::Enumeration:
    case TypeKind::Boolean:
      emitByte(ordinalValue(v));
      return;
    case TypeKind::Integer:
      // As in an assignment: what doesn't fit 16 bits is refused, not cut (BYTE data
      // keeps only the low byte, as a BYTE assignment does).
      if (v.kind == ConstKind::Integer &&
          (v.intValue < kLowestWordValue || v.intValue > kHighestWordValue)) {
        c.reportError(err::kConstantOutOfRange);
      }
      emitEven("dw", hexadecimal(static_cast<std::uint32_t>(v.intValue) & 0xffffU, 4), 2);
      return;
    case TypeKind::LongInt:
    case TypeKind::Address:
      emitEven("dl",
               isAddress ? addressText(c, *value, symbolOperand(*value))
                         : hexadecimal(static_cast<std::uint32_t>(v.intValue), 8),
               kPointerSize);
      return;
    case TypeKind::Real: {
      RealBytes bytes = v.realValue;
      if (v.kind == ConstKind::Integer) {
        ExprPtr real = makeRealConstantOf(c, static_cast<double>(v.intValue));
        bytes = real->value.realValue;
      }
      emitEven("db", realBytesText(bytes), static_cast<std::int32_t>(bytes.size()));
      return;
    }
    default:
      c.reportError(kUnknownScalarKind);
  }
}

// NIL, a number, the address of a level-1 variable, or a routine's or typed constant's
// address.
void ConstantDataWriter::emitPointer(TypeDescriptor& type) {
  Compilation& c = c_;
  ExprPtr value = parseExpression(c);
  if (!value->isConstant() && !value->addressWanted) {
    c.reportError(kPointerNotAllowed);
  }
  if (!constantFitsType(c.diagnostics, &type, value->type, value->value)) {
    c.reportError(err::kTypeMismatch);
  }
  if (!value->isLeaf) {
    c.reportError(err::kConstantExpected);
  }
  if (value->isConstantOf(ConstKind::Integer)) {
    emitEven("dl", hexadecimal(static_cast<std::uint32_t>(value->value.intValue), 8), kPointerSize);
  } else if (value->location == LocationKind::FrameVariable) {
    emitEven("dl", variableAddressText(c, *value), kPointerSize);
  } else if (value->location == LocationKind::NamedMemory) {
    emitEven("dl", addressText(c, *value, symbolOperand(*value)), kPointerSize);
  } else {
    c.reportError(err::kConstantExpected);
  }
}

// A string cut or filled with blanks to the type's maximum length.
void ConstantDataWriter::emitString(TypeDescriptor& type) {
  Compilation& c = c_;
  ExprPtr value = parseExpression(c);
  if (!IsAssignable(&type, value->type)) {
    c.reportError(kStringExpressionExpected);
  }
  if (!value->isConstant()) {
    c.reportError(err::kStringConstantNotAllowed);
  }
  std::string text;
  if (value->value.kind == ConstKind::Character) {
    text = std::string(1, static_cast<char>(value->value.smallValue));
  } else if (value->value.kind == ConstKind::String) {
    text = value->value.text;
  } else {
    c.reportError(err::kInternal);
  }
  std::int32_t low = 0;
  std::int32_t length = 0;
  OrdinalBounds(type.index, low, length);
  if (length < 0) {
    length = 0;
  }
  text.resize(static_cast<std::size_t>(length), ' ');
  emitStringData(c, length, text);
  position_ += length + 1;
  if (length % 2 == 0) {
    c.emitter.setOddDataPending(!c.emitter.oddDataPending());
  }
}

// "(" element { "," element } ")", one element per index value, each at its place in
// the array (the element of a two-index array is the inner array, packed as declared).
void ConstantDataWriter::emitArray(TypeDescriptor& type, bool nested) {
  expectToken(c_, TokenCode::OpenParen, err::kOpenParenExpected);
  if (!nested) {
    align();
  }
  const std::int64_t start = position_;
  std::int32_t low = 0;
  std::int32_t high = -1;
  OrdinalBounds(type.index, low, high);
  const std::int64_t count = std::int64_t{high} - low + 1;
  const std::int64_t stride = count > 0 ? type.size / count : 0;
  for (std::int64_t i = low; i <= high; ++i) {
    c_.nextToken();
    padTo(start, (i - low) * stride);
    emit(*type.base, true);
    if (i != high) {
      expectToken(c_, TokenCode::Comma, err::kCommaExpected);
    }
  }
  expectToken(c_, TokenCode::CloseParen, err::kCloseParenExpected);
  padTo(start, type.size);
  c_.nextToken();
}

// "(" field ":" value { ";" field ":" value } ")", the fields in declaration order, each
// at its offset; the variant part gets zero bytes.
void ConstantDataWriter::emitRecord(TypeDescriptor& type, bool nested) {
  expectToken(c_, TokenCode::OpenParen, err::kOpenParenExpected);
  if (!nested) {
    align();
  }
  const std::int64_t start = position_;
  SymbolEntry* field = type.firstField;
  while (field != nullptr) {
    c_.nextToken();
    if (c_.token() != TokenCode::Identifier || c_.scanner.currentIdentifier() != field->name) {
      c_.reportError(kFieldsOutOfOrder);
    }
    c_.nextToken();
    expectToken(c_, TokenCode::Colon, err::kColonExpected);
    c_.nextToken();
    padTo(start, field->offset);
    emit(*field->type, true);
    field = field->next;
    if (c_.token() != TokenCode::Semicolon) {
      break;
    }
  }
  if (field != nullptr) {
    c_.reportError(err::kSemicolonExpected);
  }
  expectToken(c_, TokenCode::CloseParen, err::kCloseParenExpected);
  padTo(start, type.size);
  c_.nextToken();
}

void ConstantDataWriter::emit(TypeDescriptor& type, bool nested) {
  // A structured value holds values of its own, nested as deep as its type.
  const Compilation::NestingLevel level(c_, Compilation::NestingKind::Construct);
  switch (type.kind) {
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Boolean:
    case TypeKind::LongInt:
    case TypeKind::Address:
    case TypeKind::Real:
    case TypeKind::Enumeration:
      emitScalar(type);
      return;
    case TypeKind::Pointer:
      emitPointer(type);
      return;
    case TypeKind::Array:
      emitArray(type, nested);
      return;
    case TypeKind::String:
      emitString(type);
      return;
    case TypeKind::Record:
      emitRecord(type, nested);
      return;
    default:
      c_.reportError(err::kSemicolonExpected);
  }
}

}  // namespace

void emitConstantData(Compilation& c, TypeDescriptor& type) {
  ConstantDataWriter(c).emit(type, false);
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
