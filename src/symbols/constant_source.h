// Where the type parser gets its constants from: bounds of subranges, array indexes,
// string lengths and variant labels are constant expressions.
#pragma once

#include <cstdint>
#include <optional>

#include "source/token_codes.h"
#include "symbols/const_value.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;

struct ConstantOperand {
  ConstValue value;
  TypeDescriptor* type = nullptr;
};

// Reads a constant expression starting at the current token and leaves the scanner on
// the first token after it. An expression that is not constant is error 25.
[[nodiscard]] ConstantOperand parseConstantValue(Compilation& compilation);
// The same after a leading "+" or "-" the caller has already read; the sign applies to
// the first operand only ("-N+1" is (-N)+1).
[[nodiscard]] ConstantOperand parseConstantValueAfterSign(Compilation& compilation,
                                                          std::optional<TokenCode> sign);

// Reads an expression starting at the current token: its value when it folds to an
// integer constant, nothing (and no error) otherwise.
[[nodiscard]] std::optional<std::int32_t> parseIntegerExpressionValue(Compilation& compilation);

}  // namespace vorax
