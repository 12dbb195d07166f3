// Statements of a generated routine body.
#include <algorithm>

#include "random/program_generator.h"

namespace vorax::randprog {
namespace {

constexpr int kDeepestStatement = 3;

ExprPtr intLiteral(int64_t value) {
  auto expr = std::make_unique<Expr>();
  expr->kind = ExprKind::IntConst;
  expr->value = value;
  return expr;
}

ExprPtr enumLiteral(const Type* type, int64_t value) {
  auto expr = std::make_unique<Expr>();
  expr->kind = ExprKind::EnumConst;
  expr->type = type;
  expr->value = value;
  return expr;
}

}  // namespace

bool ProgramGenerator::accept(const Stmt& stmt, int64_t rounds) {
  std::string why;
  Cost cost;
  Scope scope = scope_;
  if (!checker_.checkStatement(stmt, scope, cost, why)) return false;
  const int64_t work = committed_.work + pending_.work + rounds * cost.work;
  const int64_t output = committed_.output + pending_.output + rounds * cost.output;
  if (work > limit_.work || output > limit_.output) return false;
  pending_.work += rounds * cost.work;
  pending_.output += rounds * cost.output;
  return true;
}

void ProgramGenerator::generateStatements(Block& out, int count, int depth) {
  for (int i = 0; i < count; ++i) {
    StmtPtr stmt = generateStatement(depth);
    if (!stmt) continue;
    out.push_back(std::move(stmt));
    if (depth == 0) {
      committed_.work += pending_.work;
      committed_.output += pending_.output;
      pending_ = {};
    }
  }
}

Block ProgramGenerator::generateNestedBlock(int depth, int most, int64_t rounds) {
  const int64_t outerRounds = rounds_;
  rounds_ = outerRounds * std::max<int64_t>(1, rounds);
  Block block;
  const int count = static_cast<int>(random_.between(1, most));
  for (int i = 0; i < count; ++i) {
    StmtPtr stmt = generateStatement(depth);
    if (stmt) block.push_back(std::move(stmt));
  }
  rounds_ = outerRounds;
  return block;
}

StmtPtr ProgramGenerator::generateStatement(int depth) {
  const bool compound = depth < kDeepestStatement;
  const bool canPrint = mayPrint(program_, scope_.routine) && options_.allows(Feature::Output);
  const std::vector<int> weights = {
      40,                                                           // assignment
      12,                                                           // procedure call
      compound && options_.allows(Feature::If) ? 10 : 0,            // IF
      compound && options_.allows(Feature::While) ? 4 : 0,          // WHILE
      compound && options_.allows(Feature::Repeat) ? 4 : 0,         // REPEAT
      compound && options_.allows(Feature::For) ? 9 : 0,           // FOR
      compound && options_.allows(Feature::Case) ? 5 : 0,           // CASE
      compound && options_.allows(Feature::With) && !records_.empty() ? 6 : 0,  // WITH
      canPrint ? 6 : 0,                                             // WRITE
      options_.allows(Feature::StringProcedures) && !strings_.empty() ? 3 : 0,
  };
  for (int attempt = 0; attempt < 6; ++attempt) {
    const Cost saved = pending_;
    StmtPtr stmt;
    switch (random_.weighted(weights)) {
      case 0: stmt = makeAssignment(); break;
      case 1: stmt = makeCall(); break;
      case 2: stmt = makeIf(depth + 1); break;
      case 3: stmt = makeLoop(depth + 1, StmtKind::While); break;
      case 4: stmt = makeLoop(depth + 1, StmtKind::Repeat); break;
      case 5: stmt = makeFor(depth + 1); break;
      case 6: stmt = makeCase(depth + 1); break;
      case 7: stmt = makeWith(depth + 1); break;
      case 8: stmt = makeWrite(); break;
      default: stmt = makeStringProcedure(); break;
    }
    // The costs of the nested statements were only provisional: the whole statement is
    // counted now.
    pending_ = saved;
    if (stmt && accept(*stmt, rounds_)) return stmt;
  }
  return nullptr;
}

StmtPtr ProgramGenerator::makeAssignment() {
  std::optional<Designator> target =
      pickDesignator([](const Type&) { return true; }, true, true);
  if (!target) return nullptr;
  std::string why;
  const Type* type = checker_.designatorType(*target, scope_, why);
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = StmtKind::Assign;
  const int depth = static_cast<int>(random_.between(1, options_.maxExpressionDepth));
  if (type == nullptr) {
    stmt->value = character(depth, printableCharacters());
  } else {
    stmt->value = generateFor(*type, depth);
  }
  stmt->target = std::move(*target);
  if (!stmt->value) return nullptr;
  return stmt;
}

StmtPtr ProgramGenerator::makeCall() {
  std::vector<int> candidates;
  for (size_t i = 1; i < program_.routines.size(); ++i) {
    const Routine& routine = program_.routines[i];
    if (!routine.isFunction && !routine.body.empty() &&
        callable(program_, scope_.routine, static_cast<int>(i))) {
      candidates.push_back(static_cast<int>(i));
    }
  }
  if (candidates.empty()) return nullptr;
  const int callee = random_.pick(candidates);
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = StmtKind::Call;
  stmt->routine = callee;
  stmt->arguments = arguments(program_.routines[callee], 3, true);
  if (stmt->arguments.size() != program_.routines[callee].params.size()) return nullptr;
  return stmt;
}

StmtPtr ProgramGenerator::makeIf(int depth) {
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = StmtKind::If;
  stmt->value = boolean(static_cast<int>(random_.between(1, options_.maxExpressionDepth)), true);
  if (!stmt->value) return nullptr;
  stmt->body = generateNestedBlock(depth, 2, 1);
  if (random_.percent(45)) {
    stmt->hasElse = true;
    stmt->elseBody = generateNestedBlock(depth, 2, 1);
  }
  return stmt;
}

StmtPtr ProgramGenerator::makeLoop(int depth, StmtKind kind) {
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = kind;
  const int64_t room = std::max<int64_t>(1, (limit_.work - committed_.work - pending_.work) / (rounds_ * 20));
  stmt->limit = random_.between(1, std::min<int64_t>(12, room));
  stmt->guard = addVariable("k", scalars_[1], VariableRole::LoopGuard, scope_.routine);
  program_.routines[scope_.routine].locals.push_back(stmt->guard);
  stmt->value = boolean(static_cast<int>(random_.between(1, 4)), true);
  if (!stmt->value) return nullptr;
  scope_.activeGuards.push_back(stmt->guard);
  stmt->body = generateNestedBlock(depth, 3, stmt->limit);
  scope_.activeGuards.pop_back();
  return stmt;
}

StmtPtr ProgramGenerator::makeFor(int depth) {
  // The control variable's type.
  std::vector<const Type*> kinds;
  for (const Type* type : scalars_) {
    if (type->kind == TypeKind::Integer || type->kind == TypeKind::Byte || type->kind == TypeKind::LongInt) {
      kinds.push_back(type);
    }
  }
  for (const Type* type : enums_) kinds.push_back(type);
  const Type* base = random_.pick(kinds);
  const bool downward = random_.percent(30);
  const int64_t room = std::max<int64_t>(1, (limit_.work - committed_.work - pending_.work) / (rounds_ * 20));
  const int64_t mostRounds = std::min<int64_t>({kMostForRounds, room, 12});
  ValueRange limits = base->kind == TypeKind::Enum ? base->range : kindLimits(base->kind);
  if (!options_.allows(Feature::ForTypeEdges)) {
    // Keep away from the values the loop test gets wrong at the ends of the type: for
    // one-byte variables the upper half and 0 when counting down.
    if (base->kind == TypeKind::Byte) {
      limits = {downward ? 1 : 0, 127};
    } else if (base->kind == TypeKind::Enum) {
      limits.low = downward ? 1 : 0;
    } else {
      limits = {limits.low + 1, limits.high - 1};
    }
  }
  if (limits.low > limits.high) return nullptr;
  // The window the control variable runs through.
  static const std::vector<int64_t> kAnchors = {0, 1, -5, 10, 100, 120, 250, 32760, -32760, 70000, -70000};
  int64_t low = random_.percent(50) ? random_.pick(kAnchors) : random_.between(-20, 20);
  low = std::clamp(low, limits.low, limits.high);
  const int64_t span = random_.between(0, mostRounds - 1);
  int64_t high = std::min(limits.high, low + span);
  if (random_.percent(10)) {
    // Right at an end of the range allowed.
    if (downward) {
      low = limits.low;
      high = std::min(limits.high, low + span);
    } else {
      high = limits.high;
      low = std::max(limits.low, high - span);
    }
  }
  Type counterType = *base;
  counterType.range = {low, high};
  const Type* counter = base->kind == TypeKind::Enum ? base : program_.typeStore->add(std::move(counterType));

  auto bound = [&](const ValueRange& window, bool literal) -> ExprPtr {
    if (literal) {
      const int64_t value = random_.between(window.low, window.high);
      return base->kind == TypeKind::Enum ? enumLiteral(base, value) : intLiteral(value);
    }
    if (base->kind == TypeKind::Enum) return enumeration(*base, 2, window);
    return integral(static_cast<int>(random_.between(1, 3)), window);
  };
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = StmtKind::For;
  stmt->downward = downward;
  const bool constantBounds = random_.percent(40);
  const int64_t middle = random_.between(low, high);
  const ValueRange startWindow = downward ? ValueRange{middle, high} : ValueRange{low, middle};
  const ValueRange endWindow = downward ? ValueRange{low, middle} : ValueRange{middle, high};
  if (constantBounds) {
    const int64_t start = downward ? high : low;
    const int64_t end = downward ? low : high;
    stmt->from = base->kind == TypeKind::Enum ? enumLiteral(base, start) : intLiteral(start);
    stmt->to = base->kind == TypeKind::Enum ? enumLiteral(base, end) : intLiteral(end);
  } else {
    stmt->from = bound(startWindow, random_.percent(30));
    stmt->to = bound(endWindow, false);
  }
  if (!stmt->from || !stmt->to) return nullptr;
  const int variable = addVariable("i", counter, VariableRole::ForCounter, scope_.routine);
  program_.routines[scope_.routine].locals.push_back(variable);
  stmt->target.variable = variable;
  scope_.activeCounters.push_back(variable);
  ++scope_.forDepth;
  stmt->body = generateNestedBlock(depth, 3, high - low + 1);
  --scope_.forDepth;
  scope_.activeCounters.pop_back();
  return stmt;
}

StmtPtr ProgramGenerator::makeCase(int depth) {
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = StmtKind::Case;
  const int exprDepth = static_cast<int>(random_.between(1, 4));
  std::vector<int> weights = {50, options_.allows(Feature::Char) ? 15 : 0, enums_.empty() ? 0 : 15};
  ValueRange limits;
  switch (random_.weighted(weights)) {
    case 0: {
      static const std::vector<ValueRange> kWindows = {{0, 10}, {-20, 20}, {0, 255}, {-1000, 1000}, {100, 140}};
      stmt->value = integral(exprDepth, random_.pick(kWindows));
      break;
    }
    case 1: stmt->value = character(exprDepth, printableCharacters()); break;
    default: {
      const Type* type = random_.pick(enums_);
      stmt->value = enumeration(*type, exprDepth, type->range);
      break;
    }
  }
  if (!stmt->value) return nullptr;
  const std::optional<ExprInfo> selector = infoOf(*stmt->value);
  if (!selector || !readsVariables(*stmt->value) || selector->range.isSingle()) return nullptr;
  if (selector->kind == TypeKind::Char) {
    limits = printableCharacters();
    stmt->labelKind = TypeKind::Char;
  } else if (selector->kind == TypeKind::Enum) {
    limits = selector->type->range;
    stmt->labelKind = TypeKind::Enum;
    stmt->labelEnum = selector->type;
  } else {
    limits = kindLimits(selector->kind);
    if (selector->kind == TypeKind::Subrange && selector->type != nullptr) limits = selector->type->range;
    if (selector->isUnsigned) limits.low = std::max<int64_t>(limits.low, 0);
  }
  // Labels mostly inside the values the selector takes, some beside them.
  const ValueRange values = *selector->range.intersected(limits);
  const int arms = static_cast<int>(random_.between(1, 5));
  std::vector<ValueRange> used;
  for (int a = 0; a < arms; ++a) {
    CaseArm arm;
    const int labels = static_cast<int>(random_.between(1, 3));
    for (int l = 0; l < labels; ++l) {
      const int64_t widen = selector->kind == TypeKind::Enum ? 0 : 3;
      const int64_t low = std::clamp(random_.between(values.low - widen, values.high + widen), limits.low, limits.high);
      int64_t high = low;
      if (random_.percent(25)) high = std::min(limits.high, low + random_.between(1, 5));
      ValueRange label{low, high};
      const bool overlaps = std::any_of(used.begin(), used.end(),
                                        [&](const ValueRange& other) { return label.intersected(other).has_value(); });
      if (overlaps) continue;
      used.push_back(label);
      arm.labels.push_back(label);
    }
    if (arm.labels.empty()) continue;
    arm.body = generateNestedBlock(depth, 2, 1);
    stmt->arms.push_back(std::move(arm));
  }
  if (stmt->arms.empty()) return nullptr;
  if (random_.percent(35)) {
    stmt->hasElse = true;
    stmt->body = generateNestedBlock(depth, 2, 1);
  }
  return stmt;
}

StmtPtr ProgramGenerator::makeWith(int depth) {
  if (scope_.withs.size() >= 2) return nullptr;
  if (!scope_.withs.empty() && !options_.allows(Feature::NestedWith)) return nullptr;
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = StmtKind::With;
  const bool two = scope_.withs.empty() && options_.allows(Feature::NestedWith) && random_.percent(25);
  const size_t outer = scope_.withs.size();
  for (int i = 0; i < (two ? 2 : 1); ++i) {
    std::optional<Designator> record =
        pickDesignator([](const Type& type) { return type.kind == TypeKind::Record; }, false);
    if (!record) break;
    std::string why;
    const Type* type = checker_.designatorType(*record, scope_, why);
    if (type == nullptr) break;
    WithEntry entry{type, record->variable, false};
    for (const Selector& selector : record->selectors) {
      if (selector.kind == Selector::Kind::Deref) entry.throughPointer = true;
    }
    if (record->variable < 0) {
      entry.baseVariable = scope_.withs[record->withDepth].baseVariable;
      entry.throughPointer = entry.throughPointer || scope_.withs[record->withDepth].throughPointer;
    }
    scope_.withs.push_back(entry);
    stmt->withItems.push_back(std::move(*record));
  }
  if (!stmt->withItems.empty()) stmt->body = generateNestedBlock(depth, 3, 1);
  scope_.withs.resize(outer);
  if (stmt->withItems.empty()) return nullptr;
  return stmt;
}

StmtPtr ProgramGenerator::makeWrite() {
  auto stmt = std::make_unique<Stmt>();
  const int depth = static_cast<int>(random_.between(1, 4));
  if (random_.percent(20)) {
    stmt->kind = StmtKind::WriteBool;
    stmt->value = boolean(depth, true);
    return stmt->value ? std::move(stmt) : nullptr;
  }
  stmt->kind = StmtKind::Write;
  stmt->newline = random_.percent(60);
  const int items = static_cast<int>(random_.between(1, 3));
  for (int i = 0; i < items; ++i) {
    WriteItem item;
    switch (random_.weighted({60, options_.allows(Feature::Char) ? 15 : 0, strings_.empty() ? 0 : 15})) {
      case 0: item.value = integral(depth, kindLimits(TypeKind::LongInt)); break;
      case 1: item.value = character(depth, printableCharacters()); break;
      default: item.value = string(depth, {0, 255}, 0); break;
    }
    if (!item.value) continue;
    if (random_.percent(20)) item.width = static_cast<int>(random_.between(1, 12));
    WriteItem separator;
    separator.value = std::make_unique<Expr>();
    separator.value->kind = ExprKind::CharConst;
    separator.value->value = ' ';
    stmt->items.push_back(std::move(separator));
    stmt->items.push_back(std::move(item));
  }
  if (stmt->items.empty()) return nullptr;
  return stmt;
}

StmtPtr ProgramGenerator::makeStringProcedure() {
  std::optional<Designator> target =
      pickDesignator([](const Type& type) { return type.kind == TypeKind::String; }, true);
  if (!target) return nullptr;
  std::string why;
  const Type* type = checker_.designatorType(*target, scope_, why);
  if (type == nullptr) return nullptr;
  auto stmt = std::make_unique<Stmt>();
  stmt->target = std::move(*target);
  if (type->range.low == 0 && type->maxLength == 255 && random_.percent(50)) {
    stmt->kind = StmtKind::Delete;
    stmt->from = integral(2, {1, 12});
    stmt->to = integral(2, {0, 6});
  } else {
    stmt->kind = StmtKind::Str;
    const int64_t widest = std::min<int64_t>(type->maxLength, 11);
    if (widest < 1 || type->range.low > 1) return nullptr;
    // A value whose decimal text fits: at most `widest` characters, a sign included.
    int64_t bound = 1;
    for (int64_t digits = 1; digits < widest && bound < 1000000000; ++digits) bound *= 10;
    stmt->value = integral(3, {widest >= 2 ? -(bound / 10 - 1) : 0, bound - 1});
  }
  if ((stmt->kind == StmtKind::Delete && (!stmt->from || !stmt->to)) ||
      (stmt->kind == StmtKind::Str && !stmt->value)) {
    return nullptr;
  }
  return stmt;
}

}  // namespace vorax::randprog
