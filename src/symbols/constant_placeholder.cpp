// Constant bounds until the expression parser reads them: an optional sign with an
// integer literal, or the name of a constant.
#include <cstdint>

#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/constant_source.h"
#include "symbols/symbol_table.h"

namespace vorax {
namespace {

constexpr int kConstantExpected = 25;
// Character literals need the scanner's character value, which the expression parser
// will read; until then they stop here.
constexpr int kCharacterLiteralNotYetRead = 950;

// INTEGER for -32768..65535, else LONGINT; an INTEGER whose bits 8..15 are clear is BYTE.
TypeDescriptor* integerConstantType(const PredefinedTypes& types, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  if (bits >= 65536U && bits < 4294934528U) {
    return types.longIntType;
  }
  return (bits & 0xFF00U) == 0 ? types.byteType : types.integerType;
}

}  // namespace

ConstantOperand parseConstantValue(Compilation& c) {
  const bool negate = c.token() == TokenCode::Minus;
  const bool hasSign = negate || c.token() == TokenCode::Plus;
  if (hasSign) {
    c.nextToken();
  }
  ConstantOperand result;
  switch (c.token()) {
    case TokenCode::IntegerConst:
      result.value = ConstValue::integer(c.scanner.integerValue());
      break;
    case TokenCode::CharConst:
      c.reportError(kCharacterLiteralNotYetRead);
    case TokenCode::Identifier: {
      SymbolEntry* entry = c.symbols.LookupIdentifier(kinds::kOperand);
      if (entry == nullptr) {
        c.reportError(err::kUndefinedIdentifier);
      }
      if (entry->kind != IdentKind::Constant) {
        c.reportError(kConstantExpected);
      }
      result.value = entry->value;
      result.type = entry->type;
      break;
    }
    default:
      c.reportError(kConstantExpected);
  }
  if (hasSign && result.value.kind != ConstKind::Integer) {
    c.reportError(kConstantExpected);
  }
  if (result.value.kind == ConstKind::Integer && (result.type == nullptr || hasSign)) {
    if (negate) {
      result.value.intValue =
          static_cast<std::int32_t>(0U - static_cast<std::uint32_t>(result.value.intValue));
    }
    if (result.type == nullptr || result.type->kind != TypeKind::Enumeration) {
      result.type = integerConstantType(c.symbols.types(), result.value.intValue);
    }
  }
  c.nextToken();
  return result;
}

}  // namespace vorax
