#include "random/program_checker.h"

#include <algorithm>

namespace vorax::randprog {
namespace {

bool fail(std::string& why, const std::string& text) {
  why = text;
  return false;
}

bool hasDeref(const Designator& designator) {
  return std::any_of(designator.selectors.begin(), designator.selectors.end(),
                     [](const Selector& s) { return s.kind == Selector::Kind::Deref; });
}

ExprInfo infoOfType(const Type& type) {
  switch (type.kind) {
    case TypeKind::Pointer:
    case TypeKind::Array:
    case TypeKind::Record: return {type.kind, &type, {0, 0}};
    case TypeKind::Byte:
    case TypeKind::Word: return {type.kind, &type, type.range, true};
    // A subrange without negative values is unsigned in Free Pascal.
    case TypeKind::Subrange: return {type.kind, &type, type.range, type.range.low >= 0};
    default: return {type.kind, &type, type.range};
  }
}

int64_t decimalWidth(int64_t value) { return static_cast<int64_t>(std::to_string(value).size()); }

constexpr int64_t kMostLoopRounds = 12;

}  // namespace

bool readsVariables(const Expr& expr) {
  if (expr.kind == ExprKind::Designator || expr.kind == ExprKind::Call) return true;
  if (expr.kind == ExprKind::Standard &&
      (expr.standard == StandardFunction::Copy || expr.standard == StandardFunction::Pos)) {
    return true;
  }
  return std::any_of(expr.operands.begin(), expr.operands.end(),
                     [](const ExprPtr& operand) { return readsVariables(*operand); });
}

bool isSingleOperand(const Expr& expr) {
  switch (expr.kind) {
    case ExprKind::Unary:
    case ExprKind::Binary:
    case ExprKind::SetTest: return false;
    default: return true;
  }
}

int64_t ProgramChecker::forRounds(const ValueRange& from, const ValueRange& to, bool downward) {
  const int64_t rounds = downward ? from.high - to.low + 1 : to.high - from.low + 1;
  return std::max<int64_t>(0, rounds);
}

bool ProgramChecker::forReachesTypeEdge(const Type& counter, const ValueRange& from,
                                        const ValueRange& to, bool downward) {
  const ValueRange all = from.joined(to);
  switch (counter.kind) {
    case TypeKind::Byte:
    case TypeKind::Enum:
      // One-byte control variables: values that read as negative when signed, and the
      // ends of the byte range.
      return all.high >= 128 || (downward && to.low == 0) || (!downward && to.high == 255);
    default: {
      const ValueRange limits = kindLimits(counter.kind);
      return downward ? to.low == limits.low : to.high == limits.high;
    }
  }
}

const Type* ProgramChecker::designatorType(const Designator& designator, const Scope& scope,
                                           std::string& why) {
  why.clear();
  const Type* type = nullptr;
  size_t first = 0;
  if (designator.variable >= 0) {
    if (designator.variable >= static_cast<int>(program_.variables.size())) {
      fail(why, "no such variable");
      return nullptr;
    }
    const Variable& variable = program_.variables[designator.variable];
    if (!visible(program_, designator.variable, scope.routine)) {
      fail(why, "variable " + variable.name + " not visible");
      return nullptr;
    }
    type = variable.type;
  } else {
    // A field named inside WITH: its record is the WITH record of that depth, and no
    // deeper WITH over the same record type may hide it.
    const int depth = designator.withDepth;
    if (depth < 0 || depth >= static_cast<int>(scope.withs.size()) || designator.selectors.empty() ||
        designator.selectors[0].kind != Selector::Kind::Field) {
      fail(why, "bad WITH field");
      return nullptr;
    }
    for (size_t deeper = depth + 1; deeper < scope.withs.size(); ++deeper) {
      if (scope.withs[deeper].record == scope.withs[depth].record) {
        fail(why, "WITH field hidden by a deeper WITH");
        return nullptr;
      }
    }
    type = scope.withs[depth].record;
  }
  for (size_t i = first; i < designator.selectors.size(); ++i) {
    const Selector& selector = designator.selectors[i];
    switch (selector.kind) {
      case Selector::Kind::Field: {
        if (type->kind != TypeKind::Record) {
          fail(why, "field of a non-record");
          return nullptr;
        }
        const auto field = std::find_if(type->fields.begin(), type->fields.end(),
                                        [&](const Field& f) { return f.name == selector.field; });
        if (field == type->fields.end()) {
          fail(why, "no field " + selector.field);
          return nullptr;
        }
        type = field->type;
        break;
      }
      case Selector::Kind::Deref:
        if (type->kind != TypeKind::Pointer) {
          fail(why, "dereference of a non-pointer");
          return nullptr;
        }
        type = type->target;
        break;
      case Selector::Kind::Index: {
        if (type->kind == TypeKind::String) {
          if (selector.indexes.size() != 1) {
            fail(why, "string index count");
            return nullptr;
          }
          const std::optional<ExprInfo> index = analyze(*selector.indexes[0], scope, false, why);
          if (!index) return nullptr;
          // Only characters within the current length: the ones past it differ.
          if (!isIntegralKind(index->kind) || !index->range.within({1, type->range.low})) {
            fail(why, "string index beyond the length");
            return nullptr;
          }
          type = nullptr;  // a CHAR: handled by the caller through designatorInfo
          if (i + 1 != designator.selectors.size()) {
            fail(why, "selector after a string character");
            return nullptr;
          }
          return nullptr;
        }
        if (type->kind != TypeKind::Array || selector.indexes.size() != type->indexes.size()) {
          fail(why, "index of a non-array");
          return nullptr;
        }
        for (size_t d = 0; d < selector.indexes.size(); ++d) {
          const std::optional<ExprInfo> index = analyze(*selector.indexes[d], scope, false, why);
          if (!index) return nullptr;
          const IndexSpec& declared = type->indexes[d];
          if (declared.enumType != nullptr) {
            if (index->kind != TypeKind::Enum || index->type != declared.enumType) {
              fail(why, "index of the wrong enumeration");
              return nullptr;
            }
          } else if (!isIntegralKind(index->kind)) {
            fail(why, "non-integer index");
            return nullptr;
          } else if (index->kind == TypeKind::LongInt && index->type == nullptr &&
                     !index->range.within(kindLimits(TypeKind::Integer))) {
            fail(why, "index beyond INTEGER");
            return nullptr;
          }
          if (!index->range.within(declared.bounds)) {
            fail(why, "index out of bounds");
            return nullptr;
          }
        }
        type = type->element;
        break;
      }
    }
  }
  return type;
}

std::optional<ExprInfo> ProgramChecker::designatorInfo(const Designator& designator,
                                                       const Scope& scope, std::string& why) {
  why.clear();
  const Type* type = designatorType(designator, scope, why);
  if (type == nullptr) {
    // A character of a string comes back without a type and without a complaint.
    if (!why.empty()) return std::nullopt;
    return ExprInfo{TypeKind::Char, nullptr, printableCharacters()};
  }
  return infoOfType(*type);
}

bool ProgramChecker::isResult(const Designator& designator) const {
  return designator.variable >= 0 && program_.variables[designator.variable].role == VariableRole::Result;
}

bool ProgramChecker::writable(const Designator& designator, const Scope& scope, std::string& why) {
  int base = designator.variable;
  bool throughPointer = hasDeref(designator);
  if (base < 0) {
    if (designator.withDepth < 0 || designator.withDepth >= static_cast<int>(scope.withs.size())) {
      return fail(why, "bad WITH field");
    }
    const WithEntry& entry = scope.withs[designator.withDepth];
    base = entry.baseVariable;
    throughPointer = throughPointer || entry.throughPointer;
  }
  if (base < 0 || base >= static_cast<int>(program_.variables.size())) {
    return fail(why, "no base variable");
  }
  const Variable& variable = program_.variables[base];
  switch (variable.role) {
    case VariableRole::ForCounter: return fail(why, "FOR control variables are not written");
    case VariableRole::LoopGuard: return fail(why, "loop counters are not written");
    case VariableRole::Result:
      if (variable.owner != scope.routine || !designator.selectors.empty()) {
        return fail(why, "function result outside its function");
      }
      return true;
    default: break;
  }
  const int root = purityRoot(program_, scope.routine);
  if (root < 0) return true;
  if (throughPointer) return fail(why, "a function changes no heap variable");
  if (!encloses(program_, root, variable.owner)) return fail(why, "a function changes no outer variable");
  if (variable.role == VariableRole::VarParam && variable.owner == root) {
    return fail(why, "a function changes none of its VAR parameters");
  }
  return true;
}

std::optional<ExprInfo> ProgramChecker::analyze(const Expr& expr, const Scope& scope,
                                                bool asCondition, std::string& why) {
  std::optional<ExprInfo> info = analyzeNode(expr, scope, asCondition, why);
  if (info) info->isConstant = isFoldable(expr);
  // Free Pascal folds a constant expression and types the result like a literal of that
  // value (PRED(256) is a BYTE there).
  // Casts and ORD keep their BYTE type even then.
  const bool keepsType = expr.kind == ExprKind::Cast ||
                         (expr.kind == ExprKind::Standard && expr.standard == StandardFunction::Ord);
  if (info && isIntegralKind(info->kind) && info->range.isSingle() && foldedByFreePascal(expr) &&
      expr.kind != ExprKind::IntConst && !keepsType) {
    const int64_t value = info->range.low;
    info->isUnsigned = (value >= 128 && value <= 255) || (value >= 32768 && value <= 65535);
    info->isWideUnsigned = false;
  }
  return info;
}

std::optional<ExprInfo> ProgramChecker::analyzeNode(const Expr& expr, const Scope& scope,
                                                    bool asCondition, std::string& why) {
  switch (expr.kind) {
    case ExprKind::IntConst:
    case ExprKind::CharConst:
    case ExprKind::BoolConst:
    case ExprKind::EnumConst:
    case ExprKind::StringConst: return rules_.literal(expr, why);
    case ExprKind::Designator: {
      const Designator& designator = expr.designator;
      if (designator.variable >= 0 && designator.variable < static_cast<int>(program_.variables.size())) {
        const Variable& variable = program_.variables[designator.variable];
        if (variable.role == VariableRole::Result || variable.role == VariableRole::LoopGuard) {
          why = "read of " + variable.name;
          return std::nullopt;
        }
        if (variable.role == VariableRole::ForCounter &&
            std::find(scope.activeCounters.begin(), scope.activeCounters.end(), designator.variable) ==
                scope.activeCounters.end()) {
          why = "FOR control variable read outside its loop";
          return std::nullopt;
        }
      }
      return designatorInfo(designator, scope, why);
    }
    case ExprKind::Unary: {
      if (expr.operands.size() != 1) break;
      const std::optional<ExprInfo> operand = analyze(*expr.operands[0], scope, false, why);
      if (!operand) return std::nullopt;
      return rules_.unary(expr, *operand, why);
    }
    case ExprKind::Binary: {
      if (expr.operands.size() != 2) break;
      const bool passCondition = asCondition && (expr.op == Op::And || expr.op == Op::Or);
      const std::optional<ExprInfo> left = analyze(*expr.operands[0], scope, passCondition, why);
      if (!left) return std::nullopt;
      const std::optional<ExprInfo> right = analyze(*expr.operands[1], scope, passCondition, why);
      if (!right) return std::nullopt;
      return rules_.binary(expr, *left, *right, why);
    }
    case ExprKind::SetTest: {
      if (expr.operands.size() != 1) break;
      const std::optional<ExprInfo> element = analyze(*expr.operands[0], scope, false, why);
      if (!element) return std::nullopt;
      return rules_.setTest(expr, *element, asCondition, why);
    }
    case ExprKind::Call: {
      if (expr.routine < 0 || expr.routine >= static_cast<int>(program_.routines.size())) break;
      const Routine& callee = program_.routines[expr.routine];
      if (!callee.isFunction || !callable(program_, scope.routine, expr.routine)) {
        why = "function " + callee.name + " not callable here";
        return std::nullopt;
      }
      if (!scope.withs.empty() && !rules_.options().allows(Feature::WithCalls)) {
        why = "calls inside WITH are off";
        return std::nullopt;
      }
      if (scope.forDepth > 0 && !rules_.options().allows(Feature::ForCallsInBody)) {
        why = "calls inside FOR are off";
        return std::nullopt;
      }
      if (!checkArguments(callee, expr.operands, scope, why)) return std::nullopt;
      return infoOfType(*callee.result);
    }
    case ExprKind::Standard: {
      std::vector<ExprInfo> arguments;
      for (const ExprPtr& operand : expr.operands) {
        const std::optional<ExprInfo> info = analyze(*operand, scope, false, why);
        if (!info) return std::nullopt;
        arguments.push_back(*info);
      }
      return rules_.standard(expr, arguments, why);
    }
    case ExprKind::Cast: {
      if (expr.operands.size() != 1) break;
      const std::optional<ExprInfo> operand = analyze(*expr.operands[0], scope, false, why);
      if (!operand) return std::nullopt;
      return rules_.cast(expr, *operand, why);
    }
  }
  why = "malformed expression";
  return std::nullopt;
}

bool ProgramChecker::checkArguments(const Routine& callee, const std::vector<ExprPtr>& arguments,
                                    const Scope& scope, std::string& why) {
  if (arguments.size() != callee.params.size()) return fail(why, "argument count");
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Variable& param = program_.variables[callee.params[i]];
    const Expr& argument = *arguments[i];
    if (param.role == VariableRole::VarParam) {
      if (argument.kind != ExprKind::Designator) return fail(why, "VAR argument is no variable");
      const Designator& designator = argument.designator;
      if (designator.variable >= 0 &&
          program_.variables[designator.variable].role == VariableRole::ForCounter) {
        return fail(why, "FOR control variable as a VAR argument");
      }
      if (designator.variable >= 0 &&
          (program_.variables[designator.variable].role == VariableRole::Result ||
           program_.variables[designator.variable].role == VariableRole::LoopGuard)) {
        return fail(why, "this variable is no VAR argument");
      }
      std::string ignored;
      const Type* type = designatorType(designator, scope, why);
      if (type == nullptr) return fail(why, why.empty() ? "string character as a VAR argument" : why);
      if (type != param.type) return fail(why, "VAR argument of another type");
      // A function never writes its VAR parameters; a procedure may.
      if (!callee.isFunction && !writable(designator, scope, why)) return false;
      (void)ignored;
    } else {
      const std::optional<ExprInfo> info = analyze(argument, scope, false, why);
      if (!info) return false;
      if (!rules_.assignable(*param.type, *info, isSingleOperand(argument), why)) return false;
    }
  }
  return true;
}

bool ProgramChecker::checkBlock(const Block& block, Scope& scope, Cost& cost, std::string& why) {
  for (const StmtPtr& stmt : block) {
    if (!checkStatement(*stmt, scope, cost, why)) return false;
  }
  return true;
}

bool ProgramChecker::checkFor(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why) {
  if (!rules_.options().allows(Feature::For)) return fail(why, "FOR is off");
  const int counter = stmt.target.variable;
  if (counter < 0 || !stmt.target.selectors.empty()) return fail(why, "FOR control is no variable");
  const Variable& variable = program_.variables[counter];
  if (variable.role != VariableRole::ForCounter || variable.owner != scope.routine ||
      variable.removed) {
    return fail(why, "FOR control is no control variable of this routine");
  }
  if (std::find(scope.activeCounters.begin(), scope.activeCounters.end(), counter) !=
      scope.activeCounters.end()) {
    return fail(why, "FOR control variable already in use");
  }
  const Type& type = *variable.type;
  if (type.kind != TypeKind::Integer && type.kind != TypeKind::Byte &&
      type.kind != TypeKind::LongInt && type.kind != TypeKind::Enum) {
    return fail(why, "FOR control type");
  }
  const std::optional<ExprInfo> from = analyze(*stmt.from, scope, false, why);
  if (!from) return false;
  const std::optional<ExprInfo> to = analyze(*stmt.to, scope, false, why);
  if (!to) return false;
  Type bounds = type;
  bounds.range = kindLimits(type.kind);
  if (type.kind == TypeKind::Enum) bounds.range = {0, static_cast<int64_t>(type.constants.size()) - 1};
  if (!rules_.assignable(bounds, *from, true, why) || !rules_.assignable(bounds, *to, true, why)) {
    return false;
  }
  if (!from->range.joined(to->range).within(type.range)) {
    return fail(why, "FOR bounds beyond the control variable's range");
  }
  if (isFoldable(*stmt.from) && isFoldable(*stmt.to)) {
    const bool literals = (stmt.from->kind == ExprKind::IntConst || stmt.from->kind == ExprKind::EnumConst) &&
                          (stmt.to->kind == ExprKind::IntConst || stmt.to->kind == ExprKind::EnumConst);
    if (!literals) return fail(why, "constant FOR bounds must be literals");
    if (stmt.downward ? stmt.from->value < stmt.to->value : stmt.from->value > stmt.to->value) {
      return fail(why, "constant FOR bounds that start beyond the end");
    }
  }
  if (forReachesTypeEdge(type, from->range, to->range, stmt.downward) &&
      !rules_.options().allows(Feature::ForTypeEdges)) {
    return fail(why, "FOR to the edge of the control type is off");
  }
  if (type.kind != TypeKind::Byte && from->kind == TypeKind::Byte && !isFoldable(*stmt.from) &&
      from->range.low == 0 && !rules_.options().allows(Feature::ByteForBounds)) {
    return fail(why, "BYTE start of a wider control variable is off");
  }
  const int64_t rounds = forRounds(from->range, to->range, stmt.downward);
  if (rounds > kMostForRounds) return fail(why, "too many FOR rounds");
  scope.activeCounters.push_back(counter);
  ++scope.forDepth;
  Cost body;
  const bool ok = checkBlock(stmt.body, scope, body, why);
  --scope.forDepth;
  scope.activeCounters.pop_back();
  if (!ok) return false;
  cost.work += 2 + rounds * (body.work + 2);
  cost.output += rounds * body.output;
  return true;
}

bool ProgramChecker::checkCase(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why) {
  if (!rules_.options().allows(Feature::Case)) return fail(why, "CASE is off");
  const std::optional<ExprInfo> selector = analyze(*stmt.value, scope, false, why);
  if (!selector) return false;
  ValueRange labelLimits;
  switch (selector->kind) {
    case TypeKind::Byte:
    case TypeKind::Integer:
    case TypeKind::Word: labelLimits = kindLimits(selector->kind); break;
    // Free Pascal wants labels within the selector's own type.
    case TypeKind::Subrange: labelLimits = selector->type != nullptr ? selector->type->range : kindLimits(TypeKind::Integer); break;
    case TypeKind::LongInt:
      if (!rules_.options().allows(Feature::LongCase)) return fail(why, "LONGINT CASE is off");
      labelLimits = kindLimits(TypeKind::LongInt);
      break;
    case TypeKind::Char: labelLimits = printableCharacters(); break;
    case TypeKind::Enum:
      labelLimits = {0, static_cast<int64_t>(selector->type->constants.size()) - 1};
      break;
    default: return fail(why, "CASE selector type");
  }
  if (selector->isUnsigned) labelLimits.low = std::max<int64_t>(labelLimits.low, 0);
  // A selector without variables is a constant when generated (a cast of a constant
  // included), which CASE refuses.
  if (!readsVariables(*stmt.value) || selector->range.isSingle()) return fail(why, "constant CASE selector");
  const TypeKind labelKind = selector->kind == TypeKind::Char || selector->kind == TypeKind::Enum
                                 ? selector->kind
                                 : TypeKind::Integer;
  if (stmt.labelKind != labelKind ||
      (labelKind == TypeKind::Enum && stmt.labelEnum != selector->type)) {
    return fail(why, "CASE labels of another kind than the selector");
  }
  if (stmt.arms.empty()) return fail(why, "CASE without arms");
  std::vector<ValueRange> seen;
  Cost worst;
  for (const CaseArm& arm : stmt.arms) {
    if (arm.labels.empty()) return fail(why, "CASE arm without labels");
    for (const ValueRange& label : arm.labels) {
      if (!label.within(labelLimits) || label.low > label.high) return fail(why, "CASE label out of range");
      for (const ValueRange& other : seen) {
        if (label.intersected(other)) return fail(why, "CASE labels overlap");
      }
      seen.push_back(label);
    }
    Cost body;
    if (!checkBlock(arm.body, scope, body, why)) return false;
    worst.work = std::max(worst.work, body.work);
    worst.output = std::max(worst.output, body.output);
  }
  if (stmt.hasElse) {
    Cost body;
    if (!checkBlock(stmt.body, scope, body, why)) return false;
    worst.work = std::max(worst.work, body.work);
    worst.output = std::max(worst.output, body.output);
  } else if (!stmt.body.empty()) {
    return fail(why, "CASE ELSE statements without ELSE");
  }
  cost.work += 2 + worst.work;
  cost.output += worst.output;
  return true;
}

bool ProgramChecker::checkWith(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why) {
  if (!rules_.options().allows(Feature::With)) return fail(why, "WITH is off");
  if (stmt.withItems.empty()) return fail(why, "WITH without records");
  if ((stmt.withItems.size() > 1 || !scope.withs.empty()) &&
      !rules_.options().allows(Feature::NestedWith)) {
    return fail(why, "nested WITH is off");
  }
  if (scope.withs.size() + stmt.withItems.size() > 2) return fail(why, "more than two WITH records");
  const size_t outer = scope.withs.size();
  bool ok = true;
  for (const Designator& item : stmt.withItems) {
    const Type* type = designatorType(item, scope, why);
    if (type == nullptr || type->kind != TypeKind::Record) {
      ok = fail(why, why.empty() ? "WITH over a non-record" : why);
      break;
    }
    WithEntry entry{type, item.variable, hasDeref(item)};
    if (item.variable < 0) {
      const WithEntry& base = scope.withs.at(item.withDepth);
      entry.baseVariable = base.baseVariable;
      entry.throughPointer = entry.throughPointer || base.throughPointer;
    }
    scope.withs.push_back(entry);
  }
  Cost body;
  if (ok) ok = checkBlock(stmt.body, scope, body, why);
  scope.withs.resize(outer);
  if (!ok) return false;
  cost.work += 1 + body.work;
  cost.output += body.output;
  return true;
}

bool ProgramChecker::checkStatement(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why) {
  switch (stmt.kind) {
    case StmtKind::Assign: {
      if (!stmt.value) return fail(why, "assignment without a value");
      const Type* target = designatorType(stmt.target, scope, why);
      std::optional<ExprInfo> targetInfo;
      if (target == nullptr) {
        if (!why.empty()) return false;
        targetInfo = ExprInfo{TypeKind::Char, nullptr, printableCharacters()};
      }
      if (!writable(stmt.target, scope, why)) return false;
      const std::optional<ExprInfo> value = analyze(*stmt.value, scope, false, why);
      if (!value) return false;
      if (target == nullptr) {
        // A character of a string: any printable CHAR.
        if (value->kind != TypeKind::Char) return fail(why, "non-CHAR stored in a string character");
      } else {
        if ((target->kind == TypeKind::Pointer || target->isStructured()) &&
            stmt.value->kind != ExprKind::Designator) {
          return fail(why, "structured source must be a variable");
        }
        if (!rules_.assignable(*target, *value, isSingleOperand(*stmt.value), why)) return false;
      }
      cost.work += 1;
      return true;
    }
    case StmtKind::Call: {
      if (stmt.routine <= 0 || stmt.routine >= static_cast<int>(program_.routines.size())) {
        return fail(why, "bad procedure");
      }
      const Routine& callee = program_.routines[stmt.routine];
      if (callee.isFunction || !callable(program_, scope.routine, stmt.routine)) {
        return fail(why, "procedure " + callee.name + " not callable here");
      }
      if (!scope.withs.empty() && !rules_.options().allows(Feature::WithCalls)) {
        return fail(why, "calls inside WITH are off");
      }
      if (scope.forDepth > 0 && !rules_.options().allows(Feature::ForCallsInBody)) {
        return fail(why, "calls inside FOR are off");
      }
      if (!checkArguments(callee, stmt.arguments, scope, why)) return false;
      const std::optional<Cost> calleeCost = routineCost(stmt.routine, why);
      if (!calleeCost) return false;
      if (calleeCost->output > 0 && !mayPrint(program_, scope.routine)) {
        return fail(why, "a printing procedure called where nothing may print");
      }
      cost.work += 2 + calleeCost->work;
      cost.output += calleeCost->output;
      return true;
    }
    case StmtKind::If: {
      if (!rules_.options().allows(Feature::If)) return fail(why, "IF is off");
      const std::optional<ExprInfo> condition = analyze(*stmt.value, scope, true, why);
      if (!condition) return false;
      if (condition->kind != TypeKind::Boolean) return fail(why, "IF condition is no BOOLEAN");
      Cost thenCost;
      Cost elseCost;
      if (!checkBlock(stmt.body, scope, thenCost, why)) return false;
      if (!checkBlock(stmt.elseBody, scope, elseCost, why)) return false;
      if (!stmt.hasElse && !stmt.elseBody.empty()) return fail(why, "ELSE statements without ELSE");
      cost.work += 1 + std::max(thenCost.work, elseCost.work);
      cost.output += std::max(thenCost.output, elseCost.output);
      return true;
    }
    case StmtKind::While:
    case StmtKind::Repeat: {
      if (!rules_.options().allows(stmt.kind == StmtKind::While ? Feature::While : Feature::Repeat)) {
        return fail(why, "loop kind is off");
      }
      const int guard = stmt.guard;
      if (guard < 0 || guard >= static_cast<int>(program_.variables.size())) return fail(why, "loop without a counter");
      const Variable& variable = program_.variables[guard];
      if (variable.role != VariableRole::LoopGuard || variable.owner != scope.routine || variable.removed ||
          variable.type->kind != TypeKind::Integer) {
        return fail(why, "loop counter is no counter of this routine");
      }
      if (std::find(scope.activeGuards.begin(), scope.activeGuards.end(), guard) != scope.activeGuards.end()) {
        return fail(why, "loop counter already in use");
      }
      if (stmt.limit < 1 || stmt.limit > kMostLoopRounds) return fail(why, "loop limit");
      const std::optional<ExprInfo> condition = analyze(*stmt.value, scope, true, why);
      if (!condition) return false;
      if (condition->kind != TypeKind::Boolean) return fail(why, "loop condition is no BOOLEAN");
      scope.activeGuards.push_back(guard);
      Cost body;
      const bool ok = checkBlock(stmt.body, scope, body, why);
      scope.activeGuards.pop_back();
      if (!ok) return false;
      cost.work += 2 + stmt.limit * (body.work + 3);
      cost.output += stmt.limit * body.output;
      return true;
    }
    case StmtKind::For: return checkFor(stmt, scope, cost, why);
    case StmtKind::Case: return checkCase(stmt, scope, cost, why);
    case StmtKind::With: return checkWith(stmt, scope, cost, why);
    case StmtKind::Write: {
      if (!mayPrint(program_, scope.routine)) return fail(why, "output where nothing may print");
      if (stmt.items.empty() && !stmt.newline) return fail(why, "WRITE without items");
      for (const WriteItem& item : stmt.items) {
        const std::optional<ExprInfo> info = analyze(*item.value, scope, false, why);
        if (!info) return false;
        if (!isIntegralKind(info->kind) && info->kind != TypeKind::Char && info->kind != TypeKind::String) {
          return fail(why, "WRITE of this type");
        }
        // WRITE widens the value to LONGINT.
        if (info->kind == TypeKind::Subrange && !rules_.options().allows(Feature::SubrangeToLong)) {
          return fail(why, "WRITE of a subrange (widened to LONGINT) is off");
        }
        if (item.width < 0 || item.width > 20) return fail(why, "WRITE width");
      }
      cost.work += 1 + static_cast<int64_t>(stmt.items.size());
      cost.output += 1;
      return true;
    }
    case StmtKind::WriteBool: {
      if (!mayPrint(program_, scope.routine)) return fail(why, "output where nothing may print");
      const std::optional<ExprInfo> info = analyze(*stmt.value, scope, true, why);
      if (!info) return false;
      if (info->kind != TypeKind::Boolean) return fail(why, "WriteBool of a non-BOOLEAN");
      cost.work += 2;
      cost.output += 1;
      return true;
    }
    case StmtKind::New: {
      if (!rules_.options().allows(Feature::Pointers)) return fail(why, "pointers are off");
      const Type* type = designatorType(stmt.target, scope, why);
      if (type == nullptr || type->kind != TypeKind::Pointer) return fail(why, "NEW of a non-pointer");
      if (purityRoot(program_, scope.routine) >= 0) return fail(why, "NEW inside a function");
      if (isResult(stmt.target)) return fail(why, "a function result only takes assignments");
      if (!writable(stmt.target, scope, why)) return false;
      cost.work += 2;
      return true;
    }
    case StmtKind::Delete: {
      if (!rules_.options().allows(Feature::StringProcedures)) return fail(why, "DELETE is off");
      const Type* type = designatorType(stmt.target, scope, why);
      if (type == nullptr || type->kind != TypeKind::String) return fail(why, "DELETE of a non-string");
      // DELETE's parameter is a VAR STRING, which takes only strings of that size while
      // VAR strings are checked (the default).
      if (type->maxLength != 255) return fail(why, "DELETE of a STRING[n]");
      if (isResult(stmt.target)) return fail(why, "a function result only takes assignments");
      if (!writable(stmt.target, scope, why)) return false;
      const std::optional<ExprInfo> from = analyze(*stmt.from, scope, false, why);
      if (!from) return false;
      const std::optional<ExprInfo> count = analyze(*stmt.to, scope, false, why);
      if (!count) return false;
      if (!isIntegralKind(from->kind) || !isIntegralKind(count->kind) ||
          !from->range.within({1, 255}) || !count->range.within({0, 255})) {
        return fail(why, "DELETE position or count");
      }
      // Deleting may leave any length from the shortest minus the count up, so strings
      // that must keep a least length are only given deletes of nothing.
      if (type->range.low > 0 && count->range.high > 0) {
        return fail(why, "DELETE may leave the string shorter than its range");
      }
      cost.work += 2;
      return true;
    }
    case StmtKind::Str: {
      if (!rules_.options().allows(Feature::StringProcedures)) return fail(why, "STR is off");
      const std::optional<ExprInfo> value = analyze(*stmt.value, scope, false, why);
      if (!value) return false;
      if (value->kind != TypeKind::Integer && value->kind != TypeKind::Byte &&
          value->kind != TypeKind::LongInt) {
        return fail(why, "STR takes INTEGER, BYTE and LONGINT values here");
      }
      const Type* type = designatorType(stmt.target, scope, why);
      if (type == nullptr || type->kind != TypeKind::String) return fail(why, "STR into a non-string");
      if (isResult(stmt.target)) return fail(why, "a function result only takes assignments");
      if (!writable(stmt.target, scope, why)) return false;
      const int64_t widest = std::max(decimalWidth(value->range.low), decimalWidth(value->range.high));
      if (!ValueRange{1, widest}.within(type->range)) return fail(why, "STR result beyond the string's range");
      cost.work += 2;
      return true;
    }
  }
  return fail(why, "unknown statement");
}

std::optional<Cost> ProgramChecker::routineCost(int routine, std::string& why) {
  if (routineCosts_.size() != program_.routines.size()) routineCosts_.assign(program_.routines.size(), std::nullopt);
  if (routineCosts_[routine]) return routineCosts_[routine];
  if (!checkRoutine(routine, why)) return std::nullopt;
  return routineCosts_[routine];
}

bool ProgramChecker::checkRoutine(int routine, std::string& why) {
  const Routine& entry = program_.routines[routine];
  if (entry.removed) return fail(why, "routine " + entry.name + " was removed");
  Scope scope;
  scope.routine = routine;
  Cost cost;
  if (entry.isFunction && entry.result->kind == TypeKind::Subrange &&
      !rules_.options().allows(Feature::SubrangeResult)) {
    return fail(why, "function " + entry.name + " returns a subrange, which is off");
  }
  if (entry.isFunction) {
    // The result gets its value first, so every path returns one.
    const Stmt* first = entry.body.empty() ? nullptr : entry.body.front().get();
    if (first == nullptr || first->kind != StmtKind::Assign || first->target.variable < 0 ||
        program_.variables[first->target.variable].role != VariableRole::Result) {
      return fail(why, "function " + entry.name + " does not start with its result");
    }
  }
  if (!checkBlock(entry.body, scope, cost, why)) {
    why = entry.name + ": " + why;
    return false;
  }
  routineCosts_[routine] = cost;
  return true;
}

bool ProgramChecker::checkProgram(std::string& problem, Cost& cost) {
  routineCosts_.assign(program_.routines.size(), std::nullopt);
  for (size_t i = 0; i < program_.routines.size(); ++i) {
    if (program_.routines[i].removed) continue;
    const std::optional<Cost> routine = routineCost(static_cast<int>(i), problem);
    if (!routine) return false;
  }
  cost = *routineCosts_[0];
  return true;
}

}  // namespace vorax::randprog
