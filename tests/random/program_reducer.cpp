#include "random/program_reducer.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

#include "random/program_checker.h"
#include "random/program_printer.h"

namespace vorax::randprog {
namespace {

// Every statement block of a program, in one fixed order: the same walk over a copy finds
// the corresponding blocks.
void collectBlocks(Block& block, std::vector<Block*>& out) {
  out.push_back(&block);
  for (StmtPtr& stmt : block) {
    collectBlocks(stmt->body, out);
    collectBlocks(stmt->elseBody, out);
    for (CaseArm& arm : stmt->arms) collectBlocks(arm.body, out);
  }
}

std::vector<Block*> blocksOf(Program& program) {
  std::vector<Block*> blocks;
  for (Routine& routine : program.routines) {
    if (!routine.removed) collectBlocks(routine.body, blocks);
  }
  return blocks;
}

void collectExprs(ExprPtr& expr, std::vector<ExprPtr*>& out);

void collectDesignatorExprs(Designator& designator, std::vector<ExprPtr*>& out) {
  for (Selector& selector : designator.selectors) {
    for (ExprPtr& index : selector.indexes) collectExprs(index, out);
  }
}

void collectExprs(ExprPtr& expr, std::vector<ExprPtr*>& out) {
  if (!expr) return;
  out.push_back(&expr);
  for (ExprPtr& operand : expr->operands) collectExprs(operand, out);
  collectDesignatorExprs(expr->designator, out);
}

void collectStatementExprs(Block& block, std::vector<ExprPtr*>& out) {
  for (StmtPtr& stmt : block) {
    if (stmt->essential) continue;
    collectDesignatorExprs(stmt->target, out);
    collectExprs(stmt->value, out);
    collectExprs(stmt->from, out);
    collectExprs(stmt->to, out);
    for (ExprPtr& argument : stmt->arguments) collectExprs(argument, out);
    for (WriteItem& item : stmt->items) collectExprs(item.value, out);
    for (Designator& item : stmt->withItems) collectDesignatorExprs(item, out);
    collectStatementExprs(stmt->body, out);
    collectStatementExprs(stmt->elseBody, out);
    for (CaseArm& arm : stmt->arms) collectStatementExprs(arm.body, out);
  }
}

std::vector<ExprPtr*> exprsOf(Program& program) {
  std::vector<ExprPtr*> exprs;
  for (Routine& routine : program.routines) {
    if (!routine.removed) collectStatementExprs(routine.body, exprs);
  }
  return exprs;
}

// Is the statement one of the variable's own essential statements: a first value (or
// NEW) stored into it, or the final output of its value?
bool belongsTo(const Stmt& stmt, int variable) {
  if (!stmt.essential) return false;
  if (stmt.target.variable == variable) return true;
  auto writesVariable = [&](const Expr& expr) {
    const Expr* value = &expr;
    // Enumerations and subranges are written through a cast or a sum.
    while ((value->kind == ExprKind::Cast || value->kind == ExprKind::Binary) && !value->operands.empty()) {
      value = value->operands[0].get();
    }
    return value->kind == ExprKind::Designator && value->designator.variable == variable;
  };
  if (stmt.kind == StmtKind::WriteBool) return writesVariable(*stmt.value);
  for (const WriteItem& item : stmt.items) {
    if (writesVariable(*item.value)) return true;
  }
  return false;
}

// Removes the variable's essential statements. The first values of other variables that
// read it stay, so the checker refuses the candidate then.
void removeEssentialsOf(Block& block, int variable) {
  block.erase(std::remove_if(block.begin(), block.end(),
                             [&](const StmtPtr& stmt) { return belongsTo(*stmt, variable); }),
              block.end());
}

ExprPtr literal(ExprKind kind, int64_t value) {
  auto expr = std::make_unique<Expr>();
  expr->kind = kind;
  expr->value = value;
  return expr;
}

class Reducer {
 public:
  Reducer(const Program& program, const GeneratorOptions& options,
          const std::function<bool(const std::string&)>& stillFails, std::ostream& log)
      : best_(cloneProgram(program)), options_(options), stillFails_(stillFails), log_(log) {}

  Program run() {
    bool changed = true;
    while (changed) {
      changed = false;
      changed |= removeRoutines();
      changed |= removeStatements();
      changed |= flattenStatements();
      changed |= removeVariables();
      changed |= simplifyExpressions();
    }
    removeTypes();
    log_ << "  " << kept_ << " reductions kept of " << tried_ << " tried\n";
    return std::move(best_);
  }

 private:
  bool tryCandidate(Program candidate) {
    ProgramChecker checker(candidate, options_);
    std::string problem;
    Cost cost;
    if (!checker.checkProgram(problem, cost)) {
      if (debug_) log_ << "  refused: " << problem << '\n';
      return false;
    }
    ++tried_;
    if (!stillFails_(printProgram(candidate))) return false;
    best_ = std::move(candidate);
    ++kept_;
    if (kept_ % 10 == 0) log_ << "  " << kept_ << " reductions kept of " << tried_ << " tried\n";
    return true;
  }

  bool removeRoutines() {
    bool changed = false;
    for (size_t i = best_.routines.size(); i-- > 1;) {
      if (best_.routines[i].removed) continue;
      Program candidate = cloneProgram(best_);
      candidate.routines[i].removed = true;
      for (size_t nested = 1; nested < candidate.routines.size(); ++nested) {
        if (encloses(candidate, static_cast<int>(i), static_cast<int>(nested))) candidate.routines[nested].removed = true;
      }
      changed |= tryCandidate(std::move(candidate));
    }
    return changed;
  }

  bool removeStatements() {
    bool changed = false;
    for (size_t b = 0; b < blocksOf(best_).size(); ++b) {
      size_t chunk = blocksOf(best_)[b]->size();
      while (chunk >= 1) {
        for (size_t start = 0; b < blocksOf(best_).size() && start < blocksOf(best_)[b]->size();) {
          Program candidate = cloneProgram(best_);
          Block& block = *blocksOf(candidate)[b];
          const size_t end = std::min(block.size(), start + chunk);
          bool removed = false;
          for (size_t i = end; i-- > start;) {
            if (!block[i]->essential) {
              block.erase(block.begin() + static_cast<long>(i));
              removed = true;
            }
          }
          if (removed && tryCandidate(std::move(candidate))) {
            changed = true;
          } else {
            start += chunk;
          }
        }
        chunk /= 2;
      }
    }
    return changed;
  }

  // A compound statement replaced by one of its parts.
  bool flattenStatements() {
    bool changed = false;
    for (size_t b = 0; b < blocksOf(best_).size(); ++b) {
      for (size_t i = 0; b < blocksOf(best_).size() && i < blocksOf(best_)[b]->size(); ++i) {
        const Stmt& stmt = *(*blocksOf(best_)[b])[i];
        std::vector<int> parts;
        switch (stmt.kind) {
          case StmtKind::If: parts = {0, 1}; break;
          case StmtKind::While:
          case StmtKind::Repeat:
          case StmtKind::For:
          case StmtKind::With: parts = {0}; break;
          case StmtKind::Case:
            for (size_t arm = 0; arm < stmt.arms.size(); ++arm) parts.push_back(static_cast<int>(arm) + 2);
            break;
          default: break;
        }
        for (int part : parts) {
          Program candidate = cloneProgram(best_);
          Block& block = *blocksOf(candidate)[b];
          Stmt& target = *block[i];
          Block inner = part == 0 ? std::move(target.body)
                                  : part == 1 ? std::move(target.elseBody)
                                              : std::move(target.arms[static_cast<size_t>(part - 2)].body);
          block.erase(block.begin() + static_cast<long>(i));
          block.insert(block.begin() + static_cast<long>(i), std::make_move_iterator(inner.begin()),
                       std::make_move_iterator(inner.end()));
          if (tryCandidate(std::move(candidate))) {
            changed = true;
            break;
          }
        }
      }
    }
    return changed;
  }

  bool removeVariables() {
    bool changed = false;
    for (size_t v = 0; v < best_.variables.size(); ++v) {
      const Variable& variable = best_.variables[v];
      if (variable.removed || variable.role == VariableRole::ValueParam ||
          variable.role == VariableRole::VarParam || variable.role == VariableRole::Result) {
        continue;
      }
      Program candidate = cloneProgram(best_);
      candidate.variables[v].removed = true;
      // Nested blocks come after the block holding them: walking backwards never visits a
      // block freed with the statement that held it.
      const std::vector<Block*> blocks = blocksOf(candidate);
      for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        removeEssentialsOf(**block, static_cast<int>(v));
      }
      changed |= tryCandidate(std::move(candidate));
    }
    return changed;
  }

  bool simplifyExpressions() {
    bool changed = false;
    for (size_t e = 0; e < exprsOf(best_).size(); ++e) {
      const Expr& expr = **exprsOf(best_)[e];
      // Simpler forms to try: each operand, then literals of each kind.
      std::vector<std::function<ExprPtr(const Expr&)>> replacements;
      for (size_t o = 0; o < expr.operands.size(); ++o) {
        replacements.push_back([o](const Expr& node) { return cloneExpr(*node.operands[o]); });
      }
      const bool isLiteral = expr.kind == ExprKind::IntConst || expr.kind == ExprKind::CharConst ||
                             expr.kind == ExprKind::BoolConst || expr.kind == ExprKind::EnumConst ||
                             expr.kind == ExprKind::StringConst;
      if (!isLiteral) {
        for (int64_t value : {0, 1}) {
          replacements.push_back([value](const Expr&) { return literal(ExprKind::IntConst, value); });
          replacements.push_back([value](const Expr&) { return literal(ExprKind::BoolConst, value); });
        }
        replacements.push_back([](const Expr&) { return literal(ExprKind::CharConst, 'a'); });
        replacements.push_back([](const Expr&) { return literal(ExprKind::StringConst, 0); });
        replacements.push_back([](const Expr& node) {
          ExprPtr result = literal(ExprKind::EnumConst, 0);
          result->type = node.type;
          return result;
        });
      } else if (expr.kind == ExprKind::IntConst && expr.value != 0 && expr.value != 1) {
        replacements.push_back([](const Expr&) { return literal(ExprKind::IntConst, 0); });
        replacements.push_back([](const Expr&) { return literal(ExprKind::IntConst, 1); });
      }
      for (const auto& replacement : replacements) {
        Program candidate = cloneProgram(best_);
        ExprPtr* slot = exprsOf(candidate)[e];
        ExprPtr simpler = replacement(**slot);
        if (simpler->kind == ExprKind::EnumConst && simpler->type == nullptr) continue;
        *slot = std::move(simpler);
        if (tryCandidate(std::move(candidate))) {
          changed = true;
          break;
        }
      }
    }
    return changed;
  }

  // Declared types that nothing uses any more.
  void removeTypes() {
    for (size_t t = best_.declaredTypes.size(); t-- > 0;) {
      Program candidate = cloneProgram(best_);
      const Type* type = candidate.declaredTypes[t];
      if (typeUsed(candidate, type)) continue;
      candidate.declaredTypes.erase(candidate.declaredTypes.begin() + static_cast<long>(t));
      tryCandidate(std::move(candidate));
    }
  }

  static bool typeMentions(const Type& type, const Type* wanted, int depth = 0) {
    if (&type == wanted) return true;
    if (depth > 6) return false;
    if (type.element != nullptr && typeMentions(*type.element, wanted, depth + 1)) return true;
    if (type.target != nullptr && typeMentions(*type.target, wanted, depth + 1)) return true;
    for (const IndexSpec& index : type.indexes) {
      if (index.enumType == wanted) return true;
    }
    for (const Field& field : type.fields) {
      if (typeMentions(*field.type, wanted, depth + 1)) return true;
    }
    return false;
  }

  static bool typeUsed(const Program& program, const Type* type) {
    for (const Variable& variable : program.variables) {
      if (!variable.removed && typeMentions(*variable.type, type)) return true;
    }
    for (const Type* other : program.declaredTypes) {
      if (other != type && typeMentions(*other, type)) return true;
    }
    for (const Routine& routine : program.routines) {
      if (!routine.removed && routine.result != nullptr && typeMentions(*routine.result, type)) return true;
    }
    // Enumeration constants and casts in expressions are found by the printer's output.
    const std::string text = printProgram(program);
    const std::string declaration = "  " + type->name + " = ";
    size_t count = 0;
    for (size_t at = text.find(type->name); at != std::string::npos; at = text.find(type->name, at + 1)) ++count;
    if (count > 1) return true;
    if (type->kind == TypeKind::Enum) {
      for (const std::string& constant : type->constants) {
        size_t uses = 0;
        for (size_t at = text.find(constant); at != std::string::npos; at = text.find(constant, at + 1)) ++uses;
        if (uses > 1) return true;
      }
    }
    (void)declaration;
    return false;
  }

  Program best_;
  const GeneratorOptions& options_;
  const std::function<bool(const std::string&)>& stillFails_;
  std::ostream& log_;
  bool debug_ = std::getenv("VORAX_REDUCE_DEBUG") != nullptr;
  int tried_ = 0;
  int kept_ = 0;
};

}  // namespace

Program reduceWhile(const Program& program, const GeneratorOptions& options,
                    const std::function<bool(const std::string&)>& stillFails, std::ostream& log) {
  return Reducer(program, options, stillFails, log).run();
}

ReduceResult reduceProgram(const Program& program, const GeneratorOptions& options,
                           const OracleOptions& oracle, std::ostream& log) {
  ReduceResult result;
  const OracleReport first = checkProgram(printProgram(program), oracle);
  if (first.verdict == Verdict::Agree || first.verdict == Verdict::InvalidProgram) {
    result.program = cloneProgram(program);
    result.text = printProgram(program);
    result.report = first;
    return result;
  }
  const std::string target = first.signature().front();
  // Candidates are checked on the one configuration that fails first.
  OracleOptions quick = oracle;
  for (const RunResult& run : first.runs) {
    if (run.verdict == Verdict::Agree) continue;
    quick.cpus = {run.cpu};
    quick.bothOptimizerSettings = false;
    quick.peepholeOnly = run.peephole;
    // A failure to compile or assemble needs no run and no Free Pascal; the checker keeps
    // the candidates inside the subset, and the final program is checked whole.
    quick.runPrograms = run.verdict != Verdict::CompileError && run.verdict != Verdict::InternalError &&
                        run.verdict != Verdict::AssemblyError;
    break;
  }
  log << "reducing for \"" << target << "\"\n";
  const bool debug = std::getenv("VORAX_REDUCE_DEBUG") != nullptr;
  const auto stillFails = [&](const std::string& text) {
    const OracleReport report = checkProgram(text, quick);
    const std::vector<std::string> signature = report.signature();
    const bool same = std::find(signature.begin(), signature.end(), target) != signature.end();
    if (!same && debug) log << "  not interesting: " << report.summary();
    return same;
  };
  result.program = reduceWhile(program, options, stillFails, log);
  result.text = printProgram(result.program);
  result.report = checkProgram(result.text, oracle);
  return result;
}

}  // namespace vorax::randprog
