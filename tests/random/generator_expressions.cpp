// Expressions of a generated program. Each is built from random parts and then made to
// fit the values its place accepts (a variable's range, an array's bounds, a non-zero
// divisor); the checker decides what each part computes.
#include <algorithm>

#include "random/program_generator.h"

namespace vorax::randprog {
namespace {

ExprPtr make(ExprKind kind) {
  auto expr = std::make_unique<Expr>();
  expr->kind = kind;
  return expr;
}

ExprPtr intLiteral(int64_t value) {
  ExprPtr expr = make(ExprKind::IntConst);
  expr->value = value;
  return expr;
}

ExprPtr charLiteral(int64_t code) {
  ExprPtr expr = make(ExprKind::CharConst);
  expr->value = code;
  return expr;
}

ExprPtr binary(Op op, ExprPtr left, ExprPtr right) {
  ExprPtr expr = make(ExprKind::Binary);
  expr->op = op;
  expr->operands.push_back(std::move(left));
  expr->operands.push_back(std::move(right));
  return expr;
}

ExprPtr unary(Op op, ExprPtr operand) {
  ExprPtr expr = make(ExprKind::Unary);
  expr->op = op;
  expr->operands.push_back(std::move(operand));
  return expr;
}

ExprPtr standardCall(StandardFunction function, std::vector<ExprPtr> arguments) {
  ExprPtr expr = make(ExprKind::Standard);
  expr->standard = function;
  expr->operands = std::move(arguments);
  return expr;
}

ExprPtr standardCall(StandardFunction function, ExprPtr argument) {
  std::vector<ExprPtr> arguments;
  arguments.push_back(std::move(argument));
  return standardCall(function, std::move(arguments));
}

constexpr int64_t kLongestLiteral = 2147483647;

}  // namespace

std::optional<ExprInfo> ProgramGenerator::infoOf(const Expr& expr, bool asCondition) {
  std::string why;
  return checker_.analyze(expr, scope_, asCondition, why);
}

ExprPtr ProgramGenerator::generateFor(const Type& target, int depth) {
  switch (target.kind) {
    case TypeKind::Byte:
    case TypeKind::Integer:
    case TypeKind::Word:
    case TypeKind::LongInt:
    case TypeKind::Subrange: {
      ExprPtr expr = integral(depth, target.range);
      std::string why;
      const std::optional<ExprInfo> info = infoOf(*expr);
      if (!info || !checker_.rules().assignable(target, *info, isSingleOperand(*expr), why)) {
        return integerLiteral(target.range);
      }
      return expr;
    }
    case TypeKind::Char: return character(depth, target.range);
    case TypeKind::Boolean: return boolean(depth, false);
    case TypeKind::Enum: return enumeration(target, depth, target.range);
    case TypeKind::String: return string(depth, target.range, target.maxLength);
    case TypeKind::Pointer:
    case TypeKind::Array:
    case TypeKind::Record: {
      const Type* wanted = &target;
      std::optional<Designator> source = pickDesignator([wanted](const Type& t) { return &t == wanted; }, false);
      if (!source) return nullptr;
      return designatorExpr(std::move(*source));
    }
  }
  return nullptr;
}

ExprPtr ProgramGenerator::integerLiteral(const ValueRange& accept) {
  static const std::vector<int64_t> kInteresting = {
      0, 1, 2, 3, 5, 7, 10, 16, 100, 127, 128, 200, 255, 256, 1000, 4096, 30000, 32767, 32768,
      65535, 65536, 70000, 100000, 1000000, 2000000000, -1, -2, -7, -100, -128, -129, -1000,
      -30000, -32768, -65536, -100000, -2000000000};
  std::vector<int64_t> choices = {std::max(accept.low, -kLongestLiteral), std::min(accept.high, kLongestLiteral)};
  for (int64_t value : kInteresting) {
    if (accept.contains(value)) choices.push_back(value);
  }
  const int64_t low = std::max(accept.low, -kLongestLiteral);
  const int64_t high = std::min(accept.high, kLongestLiteral);
  if (low > high) return intLiteral(accept.low);  // not representable: the checker refuses it
  int64_t value = std::clamp(random_.pick(choices), low, high);
  if (random_.percent(40)) value = random_.between(low, high);
  return intLiteral(value);
}

ExprPtr ProgramGenerator::integral(int depth, const ValueRange& accept) {
  ExprPtr raw = random_.percent(15) ? integerLiteral(accept) : integralRaw(depth);
  return fitIntegral(std::move(raw), accept);
}

ExprPtr ProgramGenerator::fitIntegral(ExprPtr expr, const ValueRange& accept) {
  const std::optional<ExprInfo> info = expr ? infoOf(*expr) : std::nullopt;
  if (!info || !isIntegralKind(info->kind)) return integerLiteral(accept);
  if (info->range.within(accept)) return expr;
  const int64_t span = accept.span();
  if (span == 0) return integerLiteral(accept);
  // A range as wide as the accepted one only needs moving: x + c.
  if (info->range.span() <= span && random_.percent(60)) {
    const int64_t shift = random_.between(accept.low - info->range.low, accept.high - info->range.high);
    ExprPtr moved = shift >= 0 ? binary(Op::Add, std::move(expr), intLiteral(shift))
                               : binary(Op::Sub, std::move(expr), intLiteral(-shift));
    const std::optional<ExprInfo> movedInfo = infoOf(*moved);
    if (movedInfo && movedInfo->range.within(accept)) return moved;
    return integerLiteral(accept);
  }
  // Otherwise fold it into a smaller range: ABS(x MOD m) + c.
  const int64_t largest = std::min<int64_t>(span + 1, 30000);
  const int64_t modulus = random_.percent(50) ? random_.between(2, std::min<int64_t>(largest, 20))
                                              : random_.between(2, std::max<int64_t>(2, largest));
  ExprPtr folded = binary(Op::Mod, std::move(expr), intLiteral(modulus));
  std::optional<ExprInfo> foldedInfo = infoOf(*folded);
  if (!foldedInfo) return integerLiteral(accept);
  if (foldedInfo->range.low < 0) {
    folded = standardCall(StandardFunction::Abs, std::move(folded));
    foldedInfo = infoOf(*folded);
    if (!foldedInfo) return integerLiteral(accept);
  }
  const int64_t room = span - foldedInfo->range.span();
  if (room < 0) return integerLiteral(accept);
  const int64_t offset = accept.low - foldedInfo->range.low + random_.between(0, room);
  if (offset != 0) {
    folded = offset > 0 ? binary(Op::Add, std::move(folded), intLiteral(offset))
                        : binary(Op::Sub, std::move(folded), intLiteral(-offset));
  }
  const std::optional<ExprInfo> result = infoOf(*folded);
  if (!result || !result->range.within(accept)) return integerLiteral(accept);
  return folded;
}

ExprPtr ProgramGenerator::integralLeaf() {
  const std::vector<int> weights = {25, 50, options_.allows(Feature::Char) ? 4 : 0,
                                    strings_.empty() ? 0 : 5, enums_.empty() ? 0 : 3,
                                    options_.allows(Feature::Functions) ? 6 : 0};
  for (int attempt = 0; attempt < 4; ++attempt) {
    switch (random_.weighted(weights)) {
      case 0: return integerLiteral({-40000, 100000});
      case 1: {
        std::optional<Designator> designator =
            pickDesignator([](const Type& type) { return type.isIntegral(); }, false);
        if (designator) return designatorExpr(std::move(*designator));
        break;
      }
      case 2: return standardCall(StandardFunction::Ord, character(2, printableCharacters()));
      case 3: {
        ExprPtr text = stringRaw(2);
        if (!text) break;
        const std::optional<ExprInfo> info = infoOf(*text);
        if (!info || info->kind != TypeKind::String) break;
        if (random_.percent(70)) return standardCall(StandardFunction::Length, std::move(text));
        std::vector<ExprPtr> arguments;
        arguments.push_back(stringRaw(1));
        arguments.push_back(std::move(text));
        ExprPtr pos = standardCall(StandardFunction::Pos, std::move(arguments));
        if (infoOf(*pos)) return pos;
        break;
      }
      case 4: {
        const Type* type = random_.pick(enums_);
        ExprPtr cast = make(ExprKind::Cast);
        cast->type = byteType_;
        cast->operands.push_back(enumeration(*type, 2, type->range));
        if (cast->operands[0]) return cast;
        break;
      }
      default: {
        ExprPtr call = functionCall([](const Type& type) { return type.isIntegral(); }, 2);
        if (call) return call;
        break;
      }
    }
  }
  return integerLiteral({-1000, 1000});
}

ExprPtr ProgramGenerator::integralRaw(int depth) {
  if (depth <= 1 || random_.percent(20)) return integralLeaf();
  enum Choice { kAdd, kSub, kMul, kDiv, kMod, kAnd, kOr, kXor, kShl, kShr, kNeg, kNot, kAbs, kSucc, kCall };
  const bool divMod = options_.allows(Feature::DivMod);
  const bool bitwise = options_.allows(Feature::Bitwise);
  const bool shifts = options_.allows(Feature::Shifts);
  const std::vector<int> weights = {20, 15, 10, divMod ? 6 : 0, divMod ? 6 : 0, bitwise ? 4 : 0,
                                    bitwise ? 4 : 0, bitwise ? 3 : 0, shifts ? 2 : 0, shifts ? 2 : 0,
                                    5, bitwise ? 2 : 0, 4, 2, options_.allows(Feature::Functions) ? 3 : 0};
  const auto choice = static_cast<Choice>(random_.weighted(weights));
  switch (choice) {
    case kNeg:
    case kNot: {
      ExprPtr node = unary(choice == kNeg ? Op::Neg : Op::Not, integralRaw(depth - 1));
      if (infoOf(*node)) return node;
      return std::move(node->operands[0]);
    }
    case kAbs: {
      ExprPtr node = standardCall(StandardFunction::Abs, integralRaw(depth - 1));
      if (infoOf(*node)) return node;
      return integralLeaf();
    }
    case kSucc: {
      ExprPtr node = standardCall(random_.percent(50) ? StandardFunction::Succ : StandardFunction::Pred,
                                  integralRaw(depth - 1));
      if (infoOf(*node)) return node;
      return integralLeaf();
    }
    case kCall: {
      ExprPtr call = functionCall([](const Type& type) { return type.isIntegral(); }, depth - 1);
      return call ? std::move(call) : integralLeaf();
    }
    default: break;
  }
  static const Op kOps[] = {Op::Add, Op::Sub, Op::Mul, Op::Div, Op::Mod, Op::And, Op::Or, Op::Xor, Op::Shl, Op::Shr};
  const Op op = kOps[choice];
  ExprPtr left = integralRaw(depth - 1);
  ExprPtr right = random_.percent(40) ? integerLiteral({-300, 300}) : integralRaw(depth - 1);
  if (op == Op::Shl || op == Op::Shr) right = random_.percent(70) ? intLiteral(random_.between(0, 7)) : std::move(right);
  ExprPtr node = binary(op, std::move(left), std::move(right));
  if (infoOf(*node)) return node;
  // Make the operands fit the operator, then try once more.
  ValueRange leftWindow{-1000, 1000};
  ValueRange rightWindow{-1000, 1000};
  switch (op) {
    case Op::Mul: leftWindow = rightWindow = {-150, 150}; break;
    case Op::Div:
    case Op::Mod: rightWindow = random_.percent(50) ? ValueRange{1, 40} : ValueRange{-40, -1}; break;
    case Op::Shl: leftWindow = {0, 255}; rightWindow = {0, 6}; break;
    case Op::Shr: leftWindow = {0, 30000}; rightWindow = {0, 9}; break;
    case Op::And:
    case Op::Or:
    case Op::Xor: leftWindow = rightWindow = {0, 4095}; break;
    default: break;
  }
  ExprPtr fittedLeft = fitIntegral(std::move(node->operands[0]), leftWindow);
  ExprPtr fittedRight = fitIntegral(std::move(node->operands[1]), rightWindow);
  ExprPtr retry = binary(op, std::move(fittedLeft), std::move(fittedRight));
  if (infoOf(*retry)) return retry;
  return std::move(retry->operands[0]);
}

ExprPtr ProgramGenerator::character(int depth, const ValueRange& accept) {
  auto fits = [&](const ExprPtr& expr) {
    if (!expr) return false;
    const std::optional<ExprInfo> info = infoOf(*expr);
    return info && info->kind == TypeKind::Char && info->range.within(accept);
  };
  const std::vector<int> weights = {25, 40, depth > 1 ? 10 : 0, depth > 1 ? 8 : 0, depth > 1 ? 5 : 0,
                                    strings_.empty() ? 0 : 8, options_.allows(Feature::Functions) ? 4 : 0};
  for (int attempt = 0; attempt < 4; ++attempt) {
    ExprPtr expr;
    switch (random_.weighted(weights)) {
      case 0: break;
      case 1: {
        std::optional<Designator> designator = pickDesignator(
            [&](const Type& type) { return type.kind == TypeKind::Char && type.range.within(accept); }, false);
        if (designator) expr = designatorExpr(std::move(*designator));
        break;
      }
      case 2: {
        const std::optional<ValueRange> codes = accept.intersected(printableCharacters());
        if (codes) expr = standardCall(StandardFunction::Chr, integral(depth - 1, *codes));
        break;
      }
      case 3: expr = standardCall(StandardFunction::Upcase, character(depth - 1, printableCharacters())); break;
      case 4:
        expr = standardCall(random_.percent(50) ? StandardFunction::Succ : StandardFunction::Pred,
                            character(depth - 1, {accept.low + 1, accept.high - 1}));
        break;
      case 5: {
        std::optional<Designator> designator = pickDesignator(
            [&](const Type& type) { return &type == charType_; }, false, true);
        if (designator) expr = designatorExpr(std::move(*designator));
        break;
      }
      default:
        expr = functionCall([&](const Type& type) { return type.kind == TypeKind::Char && type.range.within(accept); },
                            depth - 1);
        break;
    }
    if (fits(expr)) return expr;
  }
  return charLiteral(random_.between(accept.low, accept.high));
}

ExprPtr ProgramGenerator::comparison(int depth) {
  static const Op kRelations[] = {Op::Eq, Op::Ne, Op::Lt, Op::Le, Op::Gt, Op::Ge};
  const Op op = kRelations[random_.below(6)];
  const std::vector<int> weights = {60, options_.allows(Feature::Char) ? 12 : 0, enums_.empty() ? 0 : 10,
                                    strings_.empty() ? 0 : 10, pointers_.empty() ? 0 : 4, 6};
  ExprPtr left;
  ExprPtr right;
  switch (random_.weighted(weights)) {
    case 0: {
      left = integralRaw(depth - 1);
      const std::optional<ExprInfo> info = left ? infoOf(*left) : std::nullopt;
      right = integral(depth - 1, info ? info->range : ValueRange{-100, 100});
      break;
    }
    case 1:
      left = character(depth - 1, printableCharacters());
      right = character(depth - 1, printableCharacters());
      break;
    case 2: {
      const Type* type = random_.pick(enums_);
      left = enumeration(*type, depth - 1, type->range);
      right = enumeration(*type, depth - 1, type->range);
      break;
    }
    case 3:
      left = stringRaw(depth - 1);
      right = random_.percent(25) ? character(1, printableCharacters()) : stringRaw(depth - 1);
      break;
    case 4: {
      const Type* type = random_.pick(pointers_);
      left = generateFor(*type, 1);
      right = generateFor(*type, 1);
      break;
    }
    default:
      left = boolean(depth - 1, false);
      right = boolean(depth - 1, false);
      break;
  }
  if (!left || !right) return nullptr;
  ExprPtr node = binary(op, std::move(left), std::move(right));
  if (infoOf(*node)) return node;
  node->op = random_.percent(50) ? Op::Eq : Op::Ne;
  if (infoOf(*node)) return node;
  return nullptr;
}

ExprPtr ProgramGenerator::boolean(int depth, bool asCondition) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    ExprPtr expr;
    if (depth <= 1 || random_.percent(35)) {
      const std::vector<int> weights = {50, 20, 8, options_.allows(Feature::Sets) ? 10 : 0, 3,
                                        options_.allows(Feature::Functions) ? 6 : 0};
      switch (random_.weighted(weights)) {
        case 0: expr = comparison(std::max(depth, 2)); break;
        case 1: {
          std::optional<Designator> designator =
              pickDesignator([](const Type& type) { return type.kind == TypeKind::Boolean; }, false);
          if (designator) expr = designatorExpr(std::move(*designator));
          break;
        }
        case 2: expr = standardCall(StandardFunction::Odd, integralRaw(depth - 1)); break;
        case 3: {
          expr = make(ExprKind::SetTest);
          const bool characters = options_.allows(Feature::Char) && random_.percent(30);
          const ValueRange values = characters ? printableCharacters() : ValueRange{0, 255};
          expr->characterSet = characters;
          expr->operands.push_back(characters ? character(depth - 1, values) : integral(depth - 1, values));
          const int parts = static_cast<int>(random_.between(1, 4));
          for (int p = 0; p < parts; ++p) {
            const int64_t low = random_.between(values.low, values.high);
            const int64_t high = random_.percent(30) ? std::min(values.high, low + random_.between(1, 20)) : low;
            const ValueRange part{low, high};
            const bool taken = std::any_of(expr->setElements.begin(), expr->setElements.end(),
                                           [&](const ValueRange& other) { return part.intersected(other).has_value(); });
            if (!taken) expr->setElements.push_back(part);
          }
          expr->negated = random_.percent(30);
          break;
        }
        case 4: {
          expr = make(ExprKind::BoolConst);
          expr->value = random_.between(0, 1);
          break;
        }
        default:
          expr = functionCall([](const Type& type) { return type.kind == TypeKind::Boolean; }, depth - 1);
          break;
      }
    } else {
      switch (random_.weighted({35, 35, 8, 12, 10})) {
        case 0: expr = binary(Op::And, boolean(depth - 1, asCondition), boolean(depth - 1, asCondition)); break;
        case 1: expr = binary(Op::Or, boolean(depth - 1, asCondition), boolean(depth - 1, asCondition)); break;
        case 2: expr = binary(Op::Xor, boolean(depth - 1, false), boolean(depth - 1, false)); break;
        case 3: expr = unary(Op::Not, boolean(depth - 1, false)); break;
        default: expr = comparison(depth); break;
      }
      if (expr && expr->kind != ExprKind::Binary && expr->kind != ExprKind::Unary) {
        // comparison() made it
      } else if (expr) {
        for (const ExprPtr& operand : expr->operands) {
          if (!operand) expr = nullptr;
          if (!expr) break;
        }
      }
    }
    if (!expr) continue;
    const std::optional<ExprInfo> info = infoOf(*expr, asCondition);
    if (info && info->kind == TypeKind::Boolean) return expr;
  }
  ExprPtr fallback = make(ExprKind::BoolConst);
  fallback->value = random_.between(0, 1);
  return fallback;
}

ExprPtr ProgramGenerator::enumeration(const Type& type, int depth, const ValueRange& accept) {
  auto fits = [&](const ExprPtr& expr) {
    if (!expr) return false;
    const std::optional<ExprInfo> info = infoOf(*expr);
    return info && info->kind == TypeKind::Enum && info->type == &type && info->range.within(accept);
  };
  const std::vector<int> weights = {30, 40, depth > 1 ? 10 : 0, depth > 1 ? 10 : 0,
                                    options_.allows(Feature::Functions) ? 5 : 0};
  for (int attempt = 0; attempt < 4; ++attempt) {
    ExprPtr expr;
    switch (random_.weighted(weights)) {
      case 0: break;
      case 1: {
        std::optional<Designator> designator =
            pickDesignator([&](const Type& t) { return &t == &type; }, false);
        if (designator) expr = designatorExpr(std::move(*designator));
        break;
      }
      case 2:
        expr = standardCall(random_.percent(50) ? StandardFunction::Succ : StandardFunction::Pred,
                            enumeration(type, depth - 1, type.range));
        break;
      case 3: {
        expr = make(ExprKind::Cast);
        expr->type = &type;
        expr->operands.push_back(random_.percent(50) ? integerLiteral(accept) : integral(depth - 1, accept));
        break;
      }
      default:
        expr = functionCall([&](const Type& t) { return &t == &type; }, depth - 1);
        break;
    }
    if (fits(expr)) return expr;
  }
  ExprPtr literal = make(ExprKind::EnumConst);
  literal->type = &type;
  literal->value = random_.between(accept.low, accept.high);
  return literal;
}

ExprPtr ProgramGenerator::stringRaw(int depth) {
  const std::vector<int> weights = {25, 40, depth > 1 ? 15 : 0, depth > 1 ? 12 : 0,
                                    options_.allows(Feature::Char) ? 5 : 0,
                                    options_.allows(Feature::Functions) ? 4 : 0};
  for (int attempt = 0; attempt < 4; ++attempt) {
    ExprPtr expr;
    switch (random_.weighted(weights)) {
      case 0: break;
      case 1: {
        std::optional<Designator> designator =
            pickDesignator([](const Type& type) { return type.kind == TypeKind::String; }, false);
        if (designator) expr = designatorExpr(std::move(*designator));
        break;
      }
      case 2: {
        ExprPtr right = random_.percent(30) ? character(depth - 1, printableCharacters()) : stringRaw(depth - 1);
        expr = binary(Op::Add, stringRaw(depth - 1), std::move(right));
        if (!expr->operands[0] || !expr->operands[1]) expr = nullptr;
        break;
      }
      case 3: {
        std::vector<ExprPtr> arguments;
        arguments.push_back(stringRaw(depth - 1));
        if (!arguments[0]) break;
        arguments.push_back(integral(depth - 1, {1, 12}));
        arguments.push_back(integral(depth - 1, {0, 10}));
        expr = standardCall(StandardFunction::Copy, std::move(arguments));
        break;
      }
      case 4: expr = character(depth - 1, printableCharacters()); break;
      default:
        expr = functionCall([](const Type& type) { return type.kind == TypeKind::String; }, depth - 1);
        break;
    }
    if (!expr) continue;
    const std::optional<ExprInfo> info = infoOf(*expr);
    if (info && (info->kind == TypeKind::String || info->kind == TypeKind::Char)) return expr;
  }
  static const std::vector<std::string> kTexts = {"", "ab", "xyz", "Hello", "0123456789", "a b c", "QQ"};
  ExprPtr literal = make(ExprKind::StringConst);
  literal->text = random_.pick(kTexts);
  return literal;
}

ExprPtr ProgramGenerator::string(int depth, const ValueRange& accept, int truncateAt) {
  auto fits = [&](const Expr& expr) {
    const std::optional<ExprInfo> info = infoOf(expr);
    if (!info) return false;
    ValueRange lengths;
    if (info->kind == TypeKind::Char) {
      lengths = ValueRange::of(1);
    } else if (info->kind == TypeKind::String) {
      lengths = info->range;
      if (truncateAt > 0) {
        lengths = {std::min<int64_t>(lengths.low, truncateAt), std::min<int64_t>(lengths.high, truncateAt)};
      }
    } else {
      return false;
    }
    return lengths.within(accept);
  };
  ExprPtr expr = stringRaw(depth);
  if (expr && fits(*expr)) return expr;
  if (expr) {
    // Too short: pad; too long: cut with COPY.
    const std::optional<ExprInfo> info = infoOf(*expr);
    if (info && info->kind == TypeKind::String) {
      if (info->range.low < accept.low) {
        ExprPtr pad = make(ExprKind::StringConst);
        pad->text = std::string(static_cast<size_t>(std::max<int64_t>(2, accept.low)), 'p');
        expr = binary(Op::Add, std::move(expr), std::move(pad));
      }
      const std::optional<ExprInfo> padded = infoOf(*expr);
      if (padded && padded->range.high > accept.high && !fits(*expr)) {
        std::vector<ExprPtr> arguments;
        arguments.push_back(std::move(expr));
        arguments.push_back(intLiteral(1));
        arguments.push_back(intLiteral(accept.high));
        expr = standardCall(StandardFunction::Copy, std::move(arguments));
      }
      if (fits(*expr)) return expr;
    }
  }
  // A literal of an accepted length (never one character: that is a CHAR literal).
  int64_t length = random_.between(accept.low, std::max(accept.low, std::min<int64_t>(accept.high, 10)));
  if (length == 1) length = accept.high >= 2 ? 2 : 0;
  if (!accept.contains(length)) return charLiteral('c');
  ExprPtr literal = make(ExprKind::StringConst);
  static const std::string kLetters = "abcdefghijKLMNOPQRST uvwxyz0123";
  for (int64_t i = 0; i < length; ++i) literal->text += kLetters[random_.below(kLetters.size())];
  return literal;
}

ExprPtr ProgramGenerator::functionCall(const std::function<bool(const Type&)>& resultWanted, int depth) {
  if (initializing_) return nullptr;
  std::vector<int> candidates;
  for (size_t i = 1; i < program_.routines.size(); ++i) {
    const Routine& routine = program_.routines[i];
    if (routine.isFunction && !routine.body.empty() && resultWanted(*routine.result) &&
        callable(program_, scope_.routine, static_cast<int>(i))) {
      candidates.push_back(static_cast<int>(i));
    }
  }
  if (candidates.empty()) return nullptr;
  const int callee = random_.pick(candidates);
  ExprPtr call = make(ExprKind::Call);
  call->routine = callee;
  call->operands = arguments(program_.routines[callee], std::max(1, depth), false);
  if (call->operands.size() != program_.routines[callee].params.size()) return nullptr;
  if (!infoOf(*call)) return nullptr;
  return call;
}

std::vector<ExprPtr> ProgramGenerator::arguments(const Routine& callee, int depth, bool forProcedure) {
  std::vector<ExprPtr> result;
  for (int param : callee.params) {
    const Variable& variable = program_.variables[param];
    if (variable.role == VariableRole::VarParam) {
      const Type* type = variable.type;
      std::optional<Designator> designator =
          pickDesignator([type](const Type& t) { return &t == type; }, forProcedure);
      if (!designator) return {};
      result.push_back(designatorExpr(std::move(*designator)));
    } else {
      ExprPtr value = generateFor(*variable.type, static_cast<int>(random_.between(1, std::max(1, depth))));
      if (!value) return {};
      result.push_back(std::move(value));
    }
  }
  return result;
}

}  // namespace vorax::randprog
