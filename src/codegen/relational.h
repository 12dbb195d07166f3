// The six comparison operators (=, <>, <, <=, >, >=) as folding sees them: which tokens
// they are, and what they give for two values of any ordered type.
#pragma once

#include "source/token_codes.h"

namespace vorax {

[[nodiscard]] inline bool isRelational(TokenCode op) {
  switch (op) {
    case TokenCode::Equal:
    case TokenCode::NotEqual:
    case TokenCode::Less:
    case TokenCode::LessEqual:
    case TokenCode::Greater:
    case TokenCode::GreaterEqual:
      return true;
    default:
      return false;
  }
}

// `op` must be one of the six (isRelational); anything else is taken as >=.
template <typename T>
[[nodiscard]] bool compareValues(TokenCode op, const T& a, const T& b) {
  switch (op) {
    case TokenCode::Equal:
      return a == b;
    case TokenCode::NotEqual:
      return a != b;
    case TokenCode::Less:
      return a < b;
    case TokenCode::LessEqual:
      return a <= b;
    case TokenCode::Greater:
      return a > b;
    default:
      return a >= b;
  }
}

}  // namespace vorax
