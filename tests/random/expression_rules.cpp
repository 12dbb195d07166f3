#include "random/expression_rules.h"

#include <cctype>

namespace vorax::randprog {
namespace {

constexpr int64_t kLongMin = -2147483648LL;
constexpr int64_t kLongMax = 2147483647LL;

enum class ArithmeticClass { Byte, Integer, Long };

ArithmeticClass classOf(TypeKind kind) {
  if (kind == TypeKind::Byte) return ArithmeticClass::Byte;
  if (kind == TypeKind::LongInt) return ArithmeticClass::Long;
  return ArithmeticClass::Integer;
}

TypeKind kindOf(ArithmeticClass arithmetic) {
  switch (arithmetic) {
    case ArithmeticClass::Byte: return TypeKind::Byte;
    case ArithmeticClass::Integer: return TypeKind::Integer;
    case ArithmeticClass::Long: return TypeKind::LongInt;
  }
  return TypeKind::Integer;
}

bool fail(std::string& why, const std::string& text) {
  why = text;
  return false;
}

std::optional<ExprInfo> refuse(std::string& why, const std::string& text) {
  why = text;
  return std::nullopt;
}

ExprInfo booleanInfo() { return {TypeKind::Boolean, nullptr, {0, 1}}; }

// Free Pascal gives a literal the smallest of shortint, byte, smallint, word, longint.
bool fpcUnsignedLiteral(int64_t value) {
  return (value >= 128 && value <= 255) || (value >= 32768 && value <= 65535);
}

bool isNegation(const Expr& expr) {
  return (expr.kind == ExprKind::Unary && expr.op == Op::Neg) ||
         (expr.kind == ExprKind::IntConst && expr.value < 0);
}

char upcased(int64_t code) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(code)));
}

}  // namespace

ValueRange kindLimits(TypeKind kind) {
  switch (kind) {
    case TypeKind::Byte: return {0, 255};
    case TypeKind::Integer:
    case TypeKind::Subrange: return {-32768, 32767};
    case TypeKind::Word: return {0, 65535};
    case TypeKind::LongInt: return {kLongMin, kLongMax};
    case TypeKind::Char: return {0, 255};
    case TypeKind::Boolean: return {0, 1};
    case TypeKind::Enum: return {0, 255};
    case TypeKind::String: return {0, 255};
    default: return {0, 0};
  }
}

ValueRange printableCharacters() { return {32, 126}; }

TypeKind literalKind(int64_t value) {
  if (value >= 0 && value <= 255) return TypeKind::Byte;
  if (value >= -32768 && value <= 65535) return TypeKind::Integer;
  return TypeKind::LongInt;
}

bool isIntegralKind(TypeKind kind) {
  return kind == TypeKind::Byte || kind == TypeKind::Integer || kind == TypeKind::Word ||
         kind == TypeKind::LongInt || kind == TypeKind::Subrange;
}

bool isRelational(Op op) {
  return op == Op::Eq || op == Op::Ne || op == Op::Lt || op == Op::Le || op == Op::Gt ||
         op == Op::Ge;
}

std::optional<TypeKind> resultKind(Op op, TypeKind left, TypeKind right) {
  if (!isIntegralKind(left) || !isIntegralKind(right)) return std::nullopt;
  const ArithmeticClass a = classOf(left);
  const ArithmeticClass b = classOf(right);
  const bool anyLong = a == ArithmeticClass::Long || b == ArithmeticClass::Long;
  switch (op) {
    case Op::Add:
    case Op::Sub:
    case Op::And:
    case Op::Or:
    case Op::Xor:
      if (anyLong) return TypeKind::LongInt;
      if (a == ArithmeticClass::Integer || b == ArithmeticClass::Integer) return TypeKind::Integer;
      return TypeKind::Byte;
    case Op::Mul:
      if (anyLong) return TypeKind::LongInt;
      if (a == ArithmeticClass::Integer && b == ArithmeticClass::Integer) return TypeKind::LongInt;
      return TypeKind::Integer;
    case Op::Div:
    case Op::Mod:
    case Op::Shl:
    case Op::Shr:
      if (anyLong) return TypeKind::LongInt;
      return kindOf(a);
    default: return std::nullopt;
  }
}

bool isFoldable(const Expr& expr) {
  switch (expr.kind) {
    case ExprKind::Designator:
    case ExprKind::Call:
    // A type cast stays a cast here even over a constant (Free Pascal folds it).
    case ExprKind::Cast: return false;
    case ExprKind::Standard:
      // COPY and POS always stay calls.
      if (expr.standard == StandardFunction::Copy || expr.standard == StandardFunction::Pos) {
        return false;
      }
      break;
    default: break;
  }
  // XOR of two integers is not folded here.
  if (expr.kind == ExprKind::Binary && expr.op == Op::Xor && !expr.operands.empty() &&
      expr.operands[0]->kind != ExprKind::BoolConst) {
    return false;
  }
  for (const ExprPtr& operand : expr.operands) {
    if (!isFoldable(*operand)) return false;
  }
  return true;
}

bool foldedByFreePascal(const Expr& expr) {
  switch (expr.kind) {
    case ExprKind::Designator:
    case ExprKind::Call: return false;
    case ExprKind::Standard:
      if (expr.standard == StandardFunction::Copy || expr.standard == StandardFunction::Pos) return false;
      break;
    default: break;
  }
  for (const ExprPtr& operand : expr.operands) {
    if (!foldedByFreePascal(*operand)) return false;
  }
  return true;
}

std::optional<ExprInfo> ExpressionRules::literal(const Expr& expr, std::string& why) const {
  switch (expr.kind) {
    case ExprKind::IntConst:
      // -2147483648 is written as a minus and 2147483648, which is no integer literal.
      if (expr.value <= kLongMin || expr.value > kLongMax) return refuse(why, "literal beyond LONGINT");
      return ExprInfo{literalKind(expr.value), nullptr, ValueRange::of(expr.value),
                      fpcUnsignedLiteral(expr.value)};
    case ExprKind::CharConst:
      if (!printableCharacters().contains(expr.value)) return refuse(why, "unprintable character");
      return ExprInfo{TypeKind::Char, nullptr, ValueRange::of(expr.value)};
    case ExprKind::BoolConst: return ExprInfo{TypeKind::Boolean, nullptr, ValueRange::of(expr.value)};
    case ExprKind::EnumConst:
      if (expr.type == nullptr || expr.type->kind != TypeKind::Enum ||
          expr.value < 0 || expr.value >= static_cast<int64_t>(expr.type->constants.size())) {
        return refuse(why, "bad enumeration constant");
      }
      return ExprInfo{TypeKind::Enum, expr.type, ValueRange::of(expr.value)};
    case ExprKind::StringConst: {
      for (char c : expr.text) {
        if (!printableCharacters().contains(static_cast<unsigned char>(c))) {
          return refuse(why, "unprintable character in a string");
        }
      }
      // A one-character string literal is a CHAR constant in Pascal.
      if (expr.text.size() == 1) return refuse(why, "one-character string literal");
      const auto length = static_cast<int64_t>(expr.text.size());
      return ExprInfo{TypeKind::String, nullptr, ValueRange::of(length)};
    }
    default: return refuse(why, "not a literal");
  }
}

std::optional<ExprInfo> ExpressionRules::unary(const Expr& expr, const ExprInfo& operand,
                                               std::string& why) const {
  if (expr.op == Op::Not && operand.kind == TypeKind::Boolean) return booleanInfo();
  // Negation and complement keep the operand's type in this dialect: only the signed
  // INTEGER and LONGINT agree with Free Pascal (which widens first).
  if (operand.kind != TypeKind::Integer && operand.kind != TypeKind::LongInt) {
    return refuse(why, "negation or NOT of a type other than INTEGER and LONGINT");
  }
  if (operand.isWideUnsigned) return refuse(why, "negation or NOT of a value Free Pascal holds unsigned");
  ValueRange result;
  if (expr.op == Op::Neg) {
    result = negateRange(operand.range);
  } else if (expr.op == Op::Not) {
    if (!options_.allows(Feature::Bitwise)) return refuse(why, "bitwise operators are off");
    result = complementRange(operand.range);
  } else {
    return refuse(why, "not a unary operator");
  }
  if (!result.within(kindLimits(operand.kind))) return refuse(why, "unary result out of range");
  return ExprInfo{operand.kind, nullptr, result};
}

std::optional<ExprInfo> ExpressionRules::binary(const Expr& expr, const ExprInfo& left,
                                                const ExprInfo& right, std::string& why) const {
  const Op op = expr.op;
  if (isRelational(op)) {
    const bool ordering = op != Op::Eq && op != Op::Ne;
    if (isIntegralKind(left.kind) && isIntegralKind(right.kind)) {
      if ((left.isWideUnsigned && right.range.low < 0) || (right.isWideUnsigned && left.range.low < 0)) {
        return refuse(why, "a negative value compared with a 64-bit unsigned one in Free Pascal");
      }
      auto signedAgainstWord = [](const ExprInfo& word, const ExprInfo& other) {
        return word.kind == TypeKind::Word && other.kind != TypeKind::Word &&
               other.kind != TypeKind::LongInt && other.range.low < 0;
      };
      if ((signedAgainstWord(left, right) || signedAgainstWord(right, left)) &&
          !options_.allows(Feature::WordIntegerCompare)) {
        return refuse(why, "INTEGER against WORD comparison is off");
      }
      if (!options_.allows(Feature::SubrangeByteOperand) &&
          ((left.kind == TypeKind::Subrange && right.kind == TypeKind::Byte && !right.isConstant) ||
           (right.kind == TypeKind::Subrange && left.kind == TypeKind::Byte && !left.isConstant))) {
        return refuse(why, "a subrange compared with a BYTE value is off");
      }
      const bool longCompare = left.kind == TypeKind::LongInt || right.kind == TypeKind::LongInt;
      if (longCompare && (left.kind == TypeKind::Subrange || right.kind == TypeKind::Subrange) &&
          !options_.allows(Feature::SubrangeToLong)) {
        return refuse(why, "subrange widened to LONGINT is off");
      }
      return booleanInfo();
    }
    if (left.kind == TypeKind::Char && right.kind == TypeKind::Char) return booleanInfo();
    if (left.kind == TypeKind::Boolean && right.kind == TypeKind::Boolean) {
      if (ordering) return refuse(why, "ordering comparison of BOOLEAN values");
      return booleanInfo();
    }
    if (left.kind == TypeKind::Enum && right.kind == TypeKind::Enum) {
      if (left.type != right.type) return refuse(why, "different enumerations compared");
      return booleanInfo();
    }
    if (left.kind == TypeKind::String && right.kind == TypeKind::String) return booleanInfo();
    if ((left.kind == TypeKind::String && right.kind == TypeKind::Char) ||
        (left.kind == TypeKind::Char && right.kind == TypeKind::String)) {
      if (ordering) return refuse(why, "ordering comparison of CHAR and STRING");
      return booleanInfo();
    }
    if (left.kind == TypeKind::Pointer && right.kind == TypeKind::Pointer) {
      if (ordering || left.type != right.type) return refuse(why, "pointer comparison");
      return booleanInfo();
    }
    return refuse(why, "operands cannot be compared");
  }

  if (left.kind == TypeKind::Boolean || right.kind == TypeKind::Boolean) {
    if (left.kind != TypeKind::Boolean || right.kind != TypeKind::Boolean) {
      return refuse(why, "BOOLEAN mixed with another type");
    }
    if (op != Op::And && op != Op::Or && op != Op::Xor) return refuse(why, "not a BOOLEAN operator");
    return booleanInfo();
  }

  if (op == Op::Add && (left.kind == TypeKind::String || left.kind == TypeKind::Char) &&
      (right.kind == TypeKind::String || right.kind == TypeKind::Char)) {
    const ValueRange a = left.kind == TypeKind::Char ? ValueRange::of(1) : left.range;
    const ValueRange b = right.kind == TypeKind::Char ? ValueRange::of(1) : right.range;
    const ValueRange length = addRanges(a, b);
    if (length.high > 255) return refuse(why, "concatenation may pass 255 characters");
    return ExprInfo{TypeKind::String, nullptr, length};
  }

  // This compiler folds a constant expression to a BYTE constant when its value lies in
  // 0..255 (-(-100), NOT (-236)); a shift takes its left operand's type, so such a
  // constant is shifted in 8 bits here, where Free Pascal shifts an integer.
  // The same holds for the type any operator computes in: (256 - 1) is a BYTE, and
  // 1000 * (256 - 1) an INTEGER product that does not fit (error 45 here).
  // A folded constant takes a literal's type from its value in this dialect, so
  // ABS(-40000) is the INTEGER 40000 (Free Pascal keeps a LONGINT): ABS(-40000) + B is
  // 16-bit arithmetic here, and read with sign by DIV, MOD and comparisons.
  auto foldedKind = [](const ExprInfo& operand) {
    const bool folded = operand.isConstant && operand.range.isSingle() && isIntegralKind(operand.kind);
    return folded ? literalKind(operand.range.low) : operand.kind;
  };
  const std::optional<TypeKind> kind = resultKind(op, foldedKind(left), foldedKind(right));
  if (!kind) return refuse(why, "operands do not go with this operator");
  switch (op) {
    case Op::And:
    case Op::Or:
    case Op::Xor:
      if (!options_.allows(Feature::Bitwise)) return refuse(why, "bitwise operators are off");
      if ((isNegation(*expr.operands[0]) || isNegation(*expr.operands[1])) &&
          !options_.allows(Feature::NegatedBitwise)) {
        return refuse(why, "negated operand of a bitwise operator is off");
      }
      break;
    case Op::Div:
    case Op::Mod:
      if (!options_.allows(Feature::DivMod)) return refuse(why, "DIV and MOD are off");
      break;
    case Op::Shl:
    case Op::Shr:
      if (!options_.allows(Feature::Shifts)) return refuse(why, "shifts are off");
      break;
    default: break;
  }
  const bool additive = op == Op::Add || op == Op::Sub || op == Op::And || op == Op::Or || op == Op::Xor;
  if (additive && !options_.allows(Feature::SubrangeByteOperand) &&
      ((left.kind == TypeKind::Subrange && right.kind == TypeKind::Byte && !right.isConstant) ||
       (right.kind == TypeKind::Subrange && left.kind == TypeKind::Byte && !left.isConstant))) {
    return refuse(why, "a subrange and a BYTE operand together are off");
  }
  if (*kind == TypeKind::LongInt &&
      (left.kind == TypeKind::Subrange || right.kind == TypeKind::Subrange) &&
      !options_.allows(Feature::SubrangeToLong)) {
    return refuse(why, "subrange widened to LONGINT is off");
  }
  // The operands must fit the type the node is computed in (INTEGER * INTEGER multiplies
  // 16-bit signed operands into a LONGINT product).
  const bool wordProduct = op == Op::Mul && left.kind != TypeKind::LongInt &&
                           right.kind != TypeKind::LongInt;
  const ValueRange operandLimits = kindLimits(wordProduct ? TypeKind::Integer : *kind);
  if (!left.range.within(operandLimits) || !right.range.within(operandLimits)) {
    return refuse(why, "an operand does not fit the type the operator computes in");
  }

  const bool bothUnsigned = left.isUnsigned && right.isUnsigned;
  if ((op == Op::And || op == Op::Or || op == Op::Xor) && (left.range.low < 0 || right.range.low < 0) &&
      (left.isUnsigned || right.isUnsigned)) {
    return refuse(why, "bitwise operation of a negative value with one Free Pascal holds unsigned");
  }
  if ((left.isWideUnsigned && right.range.low < 0) || (right.isWideUnsigned && left.range.low < 0)) {
    return refuse(why, "a negative value combined with a 64-bit unsigned one in Free Pascal");
  }

  std::optional<ValueRange> result;
  switch (op) {
    case Op::Add: result = addRanges(left.range, right.range); break;
    case Op::Sub: result = subtractRanges(left.range, right.range); break;
    case Op::Mul:
      // A factor 1 or -1 is folded away in this dialect: W * 1 is W with W's own type (a
      // WORD, which NOT refuses), where Free Pascal has a wider product.
      if (left.range == ValueRange::of(1) || left.range == ValueRange::of(-1) ||
          right.range == ValueRange::of(1) || right.range == ValueRange::of(-1)) {
        return refuse(why, "a factor 1 or -1");
      }
      result = multiplyRanges(left.range, right.range);
      break;
    case Op::Div:
      // x DIV 1 is folded to x with x's own type (a WORD stays a WORD, which ABS refuses),
      // x DIV -1 to -x.
      if (right.range == ValueRange::of(1) || right.range == ValueRange::of(-1)) {
        return refuse(why, "DIV by a constant 1 or -1");
      }
      result = divideRanges(left.range, right.range);
      break;
    case Op::Mod:
      if (*kind == TypeKind::LongInt && !right.range.within(kindLimits(TypeKind::Integer)) &&
          !options_.allows(Feature::WideModDivisor)) {
        return refuse(why, "LONGINT MOD with a wide divisor is off");
      }
      // x MOD 1 is left open by this dialect (its folding may keep x), and Free Pascal
      // types the folded 0 like x, which a subrange may not hold.
      if (right.range == ValueRange::of(1) || right.range == ValueRange::of(-1)) {
        return refuse(why, "MOD by a constant 1");
      }
      result = moduloRanges(left.range, right.range);
      break;
    case Op::And: result = andRanges(left.range, right.range); break;
    case Op::Or: result = orRanges(left.range, right.range); break;
    case Op::Xor: result = xorRanges(left.range, right.range); break;
    case Op::Shl:
    case Op::Shr: {
      const int64_t widest = *kind == TypeKind::Byte ? 7 : 15;
      if (right.range.low < 0 || right.range.high > widest) return refuse(why, "shift count out of range");
      result = op == Op::Shl ? shiftLeftRanges(left.range, right.range)
                             : shiftRightRanges(left.range, right.range);
      break;
    }
    default: return refuse(why, "not an arithmetic operator");
  }
  if (!result) return refuse(why, "operation undefined for some values (division by zero?)");
  if (!result->within(kindLimits(*kind))) return refuse(why, "result out of range");
  // Free Pascal keeps a 64-bit unsigned result for the rest of the expression; a shift
  // takes the signedness of the shifted value.
  const bool shift = op == Op::Shl || op == Op::Shr;
  const bool wide = shift ? left.isUnsigned : bothUnsigned || left.isWideUnsigned || right.isWideUnsigned;
  if (wide && result->low < 0) return refuse(why, "unsigned result below zero in Free Pascal");
  ExprInfo info{*kind, nullptr, *result, wide, wide};
  // Products, quotients and remainders leave a LONGINT register whatever their type.
  info.computedInLong = op == Op::Mul || op == Op::Div || op == Op::Mod;
  return info;
}

std::optional<ExprInfo> ExpressionRules::setTest(const Expr& expr, const ExprInfo& element,
                                                 bool asCondition, std::string& why) const {
  if (!options_.allows(Feature::Sets)) return refuse(why, "sets are off");
  if (expr.negated && !asCondition && !options_.allows(Feature::NotInValue)) {
    return refuse(why, "NOT (x IN [...]) as a value is off");
  }
  const bool characters = element.kind == TypeKind::Char;
  if (characters != expr.characterSet) return refuse(why, "set elements of another kind than the value");
  if (!characters && element.kind != TypeKind::Byte && element.kind != TypeKind::Integer &&
      element.kind != TypeKind::Word && element.kind != TypeKind::LongInt) {
    return refuse(why, "IN over an element of this type");
  }
  if (!element.range.within({0, 255})) return refuse(why, "IN element beyond 0..255");
  if (expr.setElements.empty()) return refuse(why, "empty set");
  const ValueRange allowed = characters ? printableCharacters() : ValueRange{0, 255};
  for (size_t i = 0; i < expr.setElements.size(); ++i) {
    const ValueRange& part = expr.setElements[i];
    if (!part.within(allowed) || part.low > part.high) return refuse(why, "set element out of range");
    // Free Pascal refuses an element given twice.
    for (size_t j = 0; j < i; ++j) {
      if (part.intersected(expr.setElements[j])) return refuse(why, "set element given twice");
    }
  }
  return booleanInfo();
}

std::optional<ExprInfo> ExpressionRules::standard(const Expr& expr,
                                                  const std::vector<ExprInfo>& arguments,
                                                  std::string& why) const {
  auto argumentCount = [&](size_t count) { return arguments.size() == count; };
  switch (expr.standard) {
    case StandardFunction::Abs: {
      if (!argumentCount(1)) break;
      const ExprInfo& a = arguments[0];
      if (a.kind != TypeKind::Integer && a.kind != TypeKind::LongInt && a.kind != TypeKind::Byte &&
          a.kind != TypeKind::Subrange) {
        return refuse(why, "ABS of this type");
      }
      if (a.isWideUnsigned) return refuse(why, "ABS of a value Free Pascal holds unsigned");
      if (a.range.low == kindLimits(a.kind).low) return refuse(why, "ABS of the smallest value");
      // The result has the argument's type, a subrange included.
      ExprInfo result{a.kind, a.kind == TypeKind::Subrange ? a.type : nullptr, absRange(a.range), a.isUnsigned};
      return result;
    }
    case StandardFunction::Odd:
      if (!argumentCount(1)) break;
      if (!isIntegralKind(arguments[0].kind)) return refuse(why, "ODD of a non-integer");
      return booleanInfo();
    case StandardFunction::Chr:
      if (!argumentCount(1)) break;
      if (!isIntegralKind(arguments[0].kind) || !arguments[0].range.within(printableCharacters())) {
        return refuse(why, "CHR of a value that is no printable character");
      }
      return ExprInfo{TypeKind::Char, nullptr, arguments[0].range};
    case StandardFunction::Ord:
      if (!argumentCount(1)) break;
      if (arguments[0].kind != TypeKind::Char) return refuse(why, "ORD takes a CHAR here");
      return ExprInfo{TypeKind::Byte, nullptr, arguments[0].range, true};
    case StandardFunction::Upcase: {
      if (!argumentCount(1)) break;
      if (arguments[0].kind != TypeKind::Char) return refuse(why, "UPCASE of a non-CHAR");
      ValueRange result{255, 0};
      for (int64_t code = arguments[0].range.low; code <= arguments[0].range.high; ++code) {
        const int64_t mapped = static_cast<unsigned char>(upcased(code));
        result.low = std::min(result.low, mapped);
        result.high = std::max(result.high, mapped);
      }
      return ExprInfo{TypeKind::Char, nullptr, result};
    }
    case StandardFunction::Succ:
    case StandardFunction::Pred: {
      if (!argumentCount(1)) break;
      const ExprInfo& a = arguments[0];
      ValueRange limits;
      switch (a.kind) {
        case TypeKind::Byte:
        case TypeKind::Integer:
        case TypeKind::LongInt: limits = kindLimits(a.kind); break;
        case TypeKind::Char: limits = printableCharacters(); break;
        case TypeKind::Enum:
          limits = {0, static_cast<int64_t>(a.type->constants.size()) - 1};
          break;
        default: return refuse(why, "SUCC or PRED of this type");
      }
      const int64_t step = expr.standard == StandardFunction::Succ ? 1 : -1;
      const ValueRange result{a.range.low + step, a.range.high + step};
      if (!result.within(limits)) return refuse(why, "SUCC or PRED leaves the type");
      return ExprInfo{a.kind, a.kind == TypeKind::Enum ? a.type : nullptr, result, a.isUnsigned,
                      a.isWideUnsigned};
    }
    case StandardFunction::Length:
      if (!argumentCount(1)) break;
      if (arguments[0].kind != TypeKind::String) return refuse(why, "LENGTH of a non-string");
      return ExprInfo{TypeKind::Byte, nullptr, arguments[0].range, true};
    case StandardFunction::Pos:
      if (!argumentCount(2)) break;
      if (arguments[0].kind != TypeKind::String || arguments[1].kind != TypeKind::String) {
        return refuse(why, "POS of non-strings");
      }
      return ExprInfo{TypeKind::Integer, nullptr, {0, arguments[1].range.high}};
    case StandardFunction::Copy: {
      if (!argumentCount(3)) break;
      const ExprInfo& text = arguments[0];
      const ExprInfo& from = arguments[1];
      const ExprInfo& count = arguments[2];
      if (text.kind != TypeKind::String || !isIntegralKind(from.kind) ||
          !isIntegralKind(count.kind)) {
        return refuse(why, "COPY arguments");
      }
      if (!from.range.within({1, 255}) || !count.range.within({0, 255})) {
        return refuse(why, "COPY position or count out of range");
      }
      const int64_t low = std::max<int64_t>(0, std::min(count.range.low, text.range.low - from.range.high + 1));
      const int64_t high = std::max<int64_t>(0, std::min(count.range.high, text.range.high - from.range.low + 1));
      return ExprInfo{TypeKind::String, nullptr, {low, high}};
    }
  }
  return refuse(why, "wrong number of arguments");
}

std::optional<ExprInfo> ExpressionRules::cast(const Expr& expr, const ExprInfo& operand,
                                              std::string& why) const {
  const Type* target = expr.type;
  if (target == nullptr) return refuse(why, "cast without a type");
  if (target->kind == TypeKind::Enum) {
    // The cast takes INTEGER, BYTE, LONGINT and CHAR values here, no subrange.
    if (!isIntegralKind(operand.kind) || operand.kind == TypeKind::Subrange) {
      return refuse(why, "enumeration cast of a non-integer");
    }
    const ValueRange values{0, static_cast<int64_t>(target->constants.size()) - 1};
    if (!operand.range.within(values)) return refuse(why, "enumeration cast out of range");
    if (!isFoldable(*expr.operands[0]) && !options_.allows(Feature::EnumCast)) {
      return refuse(why, "enumeration cast of a variable value is off");
    }
    return ExprInfo{TypeKind::Enum, target, operand.range};
  }
  if (target->kind == TypeKind::Byte) {
    if (operand.kind != TypeKind::Enum && operand.kind != TypeKind::Char) {
      return refuse(why, "BYTE cast of this type");
    }
    return ExprInfo{TypeKind::Byte, nullptr, operand.range, true};
  }
  return refuse(why, "cast to this type");
}

bool ExpressionRules::assignable(const Type& target, const ExprInfo& source, bool sourceIsLeaf,
                                 std::string& why) const {
  switch (target.kind) {
    case TypeKind::Byte:
    case TypeKind::Integer:
    case TypeKind::Word:
    case TypeKind::LongInt:
    case TypeKind::Subrange:
      if (!isIntegralKind(source.kind)) return fail(why, "non-integer stored in an integer");
      // A LONGINT takes INTEGER, BYTE, WORD and LONGINT values here, no subrange.
      if (target.kind == TypeKind::LongInt && source.kind == TypeKind::Subrange) {
        return fail(why, "subrange stored into a LONGINT");
      }
      if (target.kind == TypeKind::Subrange && !source.isConstant &&
          (source.kind == TypeKind::LongInt || source.kind == TypeKind::Byte || source.computedInLong) &&
          !options_.allows(Feature::ToSubrange)) {
        return fail(why, "BYTE or LONGINT stored into a subrange is off");
      }
      if (!source.range.within(target.range)) return fail(why, "value outside the variable's range");
      return true;
    case TypeKind::Char:
      if (source.kind != TypeKind::Char) return fail(why, "non-CHAR stored in a CHAR");
      if (!source.range.within(target.range)) return fail(why, "character outside the range");
      return true;
    case TypeKind::Boolean:
      if (source.kind != TypeKind::Boolean) return fail(why, "non-BOOLEAN stored in a BOOLEAN");
      return true;
    case TypeKind::Enum:
      if (source.kind != TypeKind::Enum || source.type != &target) {
        return fail(why, "other value stored in an enumeration");
      }
      if (!sourceIsLeaf) return fail(why, "enumeration source must be a single operand");
      if (!source.range.within(target.range)) return fail(why, "enumeration value out of range");
      return true;
    case TypeKind::String: {
      ValueRange lengths;
      if (source.kind == TypeKind::Char) {
        lengths = ValueRange::of(1);
      } else if (source.kind == TypeKind::String) {
        lengths = {std::min<int64_t>(source.range.low, target.maxLength),
                   std::min<int64_t>(source.range.high, target.maxLength)};
      } else {
        return fail(why, "non-string stored in a string");
      }
      if (!lengths.within(target.range)) return fail(why, "string length outside the range");
      return true;
    }
    case TypeKind::Pointer:
    case TypeKind::Array:
    case TypeKind::Record:
      if (source.type != &target) return fail(why, "structured value of another type");
      if (!sourceIsLeaf) return fail(why, "structured source must be a single operand");
      return true;
  }
  return fail(why, "unknown target type");
}

}  // namespace vorax::randprog
