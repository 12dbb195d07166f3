// Variables with selectors: what statements store into and expressions read.
#include <algorithm>

#include "random/program_generator.h"

namespace vorax::randprog {
namespace {

struct Step {
  Selector::Kind kind = Selector::Kind::Field;
  std::string field;
  const Type* indexed = nullptr;  // the array or string an Index step selects from
};

struct Candidate {
  int variable = -1;
  int withDepth = -1;
  std::vector<Step> steps;
  const Type* type = nullptr;
};

constexpr int kDeepestPath = 4;

}  // namespace

std::vector<int> ProgramGenerator::readableVariables() {
  // The variables of the routine and of the routines around it.
  std::vector<int> result;
  for (int routine = scope_.routine; routine >= 0; routine = program_.routines[routine].parent) {
    const Routine& entry = program_.routines[routine];
    for (const std::vector<int>* list : {&entry.params, &entry.locals}) {
      for (int index : *list) {
        const Variable& variable = program_.variables[index];
        if (variable.removed || unset_.count(index) > 0) continue;
        switch (variable.role) {
          case VariableRole::Global:
          case VariableRole::Local:
          case VariableRole::ValueParam:
          case VariableRole::VarParam: result.push_back(index); break;
          case VariableRole::ForCounter:
            if (std::find(scope_.activeCounters.begin(), scope_.activeCounters.end(), index) !=
                scope_.activeCounters.end()) {
              result.push_back(index);
            }
            break;
          default: break;
        }
      }
    }
  }
  std::sort(result.begin(), result.end());
  return result;
}

std::string ProgramGenerator::designatorText(const Designator& designator) const {
  std::string text = designator.variable >= 0 ? program_.variables[designator.variable].name : "(WITH)";
  for (const Selector& selector : designator.selectors) {
    text += selector.kind == Selector::Kind::Field ? "." + selector.field
            : selector.kind == Selector::Kind::Deref ? std::string("^") : std::string("[]");
  }
  return text;
}

ExprPtr ProgramGenerator::designatorExpr(Designator designator) {
  auto expr = std::make_unique<Expr>();
  expr->kind = ExprKind::Designator;
  expr->designator = std::move(designator);
  return expr;
}

std::optional<Designator> ProgramGenerator::pickDesignator(
    const std::function<bool(const Type&)>& wanted, bool forWrite, bool allowStringCharacter) {
  std::vector<Candidate> candidates;
  // Every path of selectors below a root whose type is wanted.
  std::function<void(Candidate&, const Type&, int)> walk = [&](Candidate& path, const Type& type,
                                                               int depth) {
    if (wanted(type)) {
      Candidate found = path;
      found.type = &type;
      candidates.push_back(found);
    }
    if (depth >= kDeepestPath) return;
    switch (type.kind) {
      case TypeKind::Record:
        for (const Field& field : type.fields) {
          path.steps.push_back({Selector::Kind::Field, field.name, nullptr});
          walk(path, *field.type, depth + 1);
          path.steps.pop_back();
        }
        break;
      case TypeKind::Array:
        path.steps.push_back({Selector::Kind::Index, "", &type});
        walk(path, *type.element, depth + 1);
        path.steps.pop_back();
        break;
      case TypeKind::Pointer:
        path.steps.push_back({Selector::Kind::Deref, "", nullptr});
        walk(path, *type.target, depth + 1);
        path.steps.pop_back();
        break;
      case TypeKind::String:
        if (allowStringCharacter && type.range.low >= 1 && wanted(*charType_)) {
          Candidate found = path;
          found.steps.push_back({Selector::Kind::Index, "", &type});
          found.type = charType_;
          candidates.push_back(found);
        }
        break;
      default: break;
    }
  };
  for (int variable : readableVariables()) {
    Candidate root;
    root.variable = variable;
    walk(root, *program_.variables[variable].type, 0);
  }
  if (forWrite && program_.routines[scope_.routine].isFunction) {
    for (size_t i = 0; i < program_.variables.size(); ++i) {
      const Variable& variable = program_.variables[i];
      if (variable.role == VariableRole::Result && variable.owner == scope_.routine &&
          wanted(*variable.type)) {
        Candidate root;
        root.variable = static_cast<int>(i);
        root.type = variable.type;
        candidates.push_back(root);
      }
    }
  }
  for (size_t depth = 0; depth < scope_.withs.size(); ++depth) {
    const Type& record = *scope_.withs[depth].record;
    const bool hidden = std::any_of(scope_.withs.begin() + static_cast<long>(depth) + 1, scope_.withs.end(),
                                    [&](const WithEntry& e) { return e.record == &record; });
    if (hidden) continue;
    for (const Field& field : record.fields) {
      Candidate root;
      root.withDepth = static_cast<int>(depth);
      root.steps.push_back({Selector::Kind::Field, field.name, nullptr});
      // Fields named inside WITH are wanted more often: that is what WITH is for.
      walk(root, *field.type, 1);
      walk(root, *field.type, 1);
    }
  }
  if (candidates.empty()) return std::nullopt;

  // Indexes of indexes of indexes are literals: the nesting has to end somewhere.
  struct Nesting {
    int& depth;
    explicit Nesting(int& d) : depth(d) { ++depth; }
    ~Nesting() { --depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
  } nesting(designatorNesting_);
  const bool literalIndexes = designatorNesting_ > 2;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const Candidate& chosen = candidates[random_.below(candidates.size())];
    Designator designator;
    designator.variable = chosen.variable;
    designator.withDepth = chosen.withDepth;
    bool built = true;
    for (const Step& step : chosen.steps) {
      Selector selector{step.kind, step.field, {}};
      if (step.kind == Selector::Kind::Index) {
        const Type& indexed = *step.indexed;
        if (indexed.kind == TypeKind::String) {
          selector.indexes.push_back(literalIndexes ? integerLiteral({1, indexed.range.low})
                                                    : integral(static_cast<int>(random_.between(1, 2)), {1, indexed.range.low}));
        } else {
          for (const IndexSpec& index : indexed.indexes) {
            ExprPtr expr;
            if (literalIndexes) {
              expr = std::make_unique<Expr>();
              expr->kind = index.enumType != nullptr ? ExprKind::EnumConst : ExprKind::IntConst;
              expr->type = index.enumType;
              expr->value = random_.between(index.bounds.low, index.bounds.high);
            } else if (index.enumType != nullptr) {
              expr = enumeration(*index.enumType, static_cast<int>(random_.between(1, 2)), index.enumType->range);
            } else {
              // A FOR control variable that stays within the bounds is the common index.
              std::vector<int> counters;
              for (int counter : scope_.activeCounters) {
                const Type& type = *program_.variables[counter].type;
                if (type.isIntegral() && type.range.within(index.bounds)) counters.push_back(counter);
              }
              if (!counters.empty() && random_.percent(50)) {
                Designator counter;
                counter.variable = random_.pick(counters);
                expr = designatorExpr(std::move(counter));
              } else {
                expr = integral(static_cast<int>(random_.between(1, 3)), index.bounds);
              }
            }
            if (!expr) built = false;
            selector.indexes.push_back(std::move(expr));
          }
        }
      }
      if (!built) break;
      designator.selectors.push_back(std::move(selector));
    }
    if (!built) continue;
    std::string why;
    if (designator.variable >= 0 && program_.variables[designator.variable].role == VariableRole::Result) {
      return designator;
    }
    if (!checker_.designatorInfo(designator, scope_, why)) continue;
    if (forWrite && !checker_.writable(designator, scope_, why)) continue;
    return designator;
  }
  return std::nullopt;
}

}  // namespace vorax::randprog
