// Routines of a generated program: their plan (parameters, locals, nesting), and the
// parts of every body that keep it meaningful: the first values of the variables and the
// final output of every variable.
#include <algorithm>
#include <stdexcept>

#include "random/program_generator.h"

namespace vorax::randprog {
namespace {

bool usesHeap(const Type& type) {
  switch (type.kind) {
    case TypeKind::Pointer: return true;
    case TypeKind::Array: return usesHeap(*type.element);
    case TypeKind::Record:
      return std::any_of(type.fields.begin(), type.fields.end(),
                         [](const Field& f) { return usesHeap(*f.type); });
    default: return false;
  }
}

int resultVariable(const Program& program, int routine) {
  for (size_t i = 0; i < program.variables.size(); ++i) {
    const Variable& variable = program.variables[i];
    if (variable.role == VariableRole::Result && variable.owner == routine) return static_cast<int>(i);
  }
  return -1;
}

ExprPtr literalIndex(const IndexSpec& index, int64_t value) {
  auto expr = std::make_unique<Expr>();
  if (index.enumType != nullptr) {
    expr->kind = ExprKind::EnumConst;
    expr->type = index.enumType;
  } else {
    expr->kind = ExprKind::IntConst;
  }
  expr->value = value;
  return expr;
}

std::string indexText(const IndexSpec& index, int64_t value) {
  if (index.enumType != nullptr) return index.enumType->constants[value];
  return std::to_string(value);
}

}  // namespace

Program generateProgram(const GeneratorOptions& options) { return ProgramGenerator(options).run(); }

ProgramGenerator::ProgramGenerator(const GeneratorOptions& options)
    : options_(options), random_(options.seed), checker_(program_, options) {
  Type byte;
  byte.kind = TypeKind::Byte;
  byte.range = {0, 255};
  byteType_ = program_.typeStore->add(std::move(byte));
  Type character;
  character.kind = TypeKind::Char;
  character.range = printableCharacters();
  charType_ = program_.typeStore->add(std::move(character));
}

Program ProgramGenerator::run() {
  program_.name = "RND" + std::to_string(options_.seed);
  Routine main;
  main.name = program_.name;
  main.level = 1;
  program_.routines.push_back(std::move(main));
  declareTypes();
  const int globals = static_cast<int>(random_.between(3, 10));
  for (int i = 0; i < globals; ++i) {
    program_.routines[0].locals.push_back(
        addVariable("g", randomVariableType(true), VariableRole::Global, 0));
  }
  planRoutines();
  for (int routine : std::vector<int>(program_.routines[0].nested)) generateBodies(routine);
  generateBody(0);
  return std::move(program_);
}

void ProgramGenerator::planRoutines() {
  const int count = options_.routineCount > 0 ? options_.routineCount
                                             : static_cast<int>(random_.between(2, 6));
  for (int i = 0; i < count; ++i) planRoutine(0, 1);
}

void ProgramGenerator::planRoutine(int parent, int depth) {
  const int index = static_cast<int>(program_.routines.size());
  Routine routine;
  routine.parent = parent;
  routine.level = program_.routines[parent].level + 1;
  routine.isFunction = options_.allows(Feature::Functions) && random_.percent(40);
  routine.name = newName(routine.isFunction ? "F" : "P");
  program_.routines.push_back(std::move(routine));
  program_.routines[parent].nested.push_back(index);
  const bool pure = purityRoot(program_, index) >= 0;

  if (program_.routines[index].isFunction) {
    const Type* result = randomScalarType();
    if (result->kind == TypeKind::Subrange && !options_.allows(Feature::SubrangeResult)) result = scalars_[0];
    if (!strings_.empty() && random_.percent(10)) result = randomStringType();
    program_.routines[index].result = result;
    Variable variable;
    variable.name = program_.routines[index].name;
    variable.type = result;
    variable.role = VariableRole::Result;
    variable.owner = index;
    program_.variables.push_back(variable);
  }
  const int params = static_cast<int>(random_.between(0, 4));
  for (int i = 0; i < params; ++i) {
    const bool byReference = options_.allows(Feature::VarParams) && random_.percent(40);
    const Type* type = randomVariableType(byReference || random_.percent(30));
    const int variable = addVariable("a", type, byReference ? VariableRole::VarParam : VariableRole::ValueParam, index);
    program_.routines[index].params.push_back(variable);
  }
  const int locals = static_cast<int>(random_.between(1, 5));
  for (int i = 0; i < locals; ++i) {
    const Type* type = randomVariableType(true);
    // A function allocates nothing on the heap: NEW changes what every caller can see.
    if (pure && usesHeap(*type)) type = random_.pick(scalars_);
    program_.routines[index].locals.push_back(addVariable("l", type, VariableRole::Local, index));
  }
  if (options_.allows(Feature::NestedRoutines) && depth < 3) {
    const int nested = random_.percent(35) ? static_cast<int>(random_.between(1, 2)) : 0;
    for (int i = 0; i < nested; ++i) planRoutine(index, depth + 1);
  }
}

void ProgramGenerator::generateBodies(int routine) {
  for (int child : std::vector<int>(program_.routines[routine].nested)) generateBodies(child);
  generateBody(routine);
}

void ProgramGenerator::generateBody(int routine) {
  scope_ = Scope{};
  scope_.routine = routine;
  const std::vector<int> locals = program_.routines[routine].locals;
  unset_ = std::set<int>(locals.begin(), locals.end());
  committed_ = {};
  pending_ = {};
  rounds_ = 1;
  limit_ = routine == 0 ? Cost{options_.workBudget, options_.outputBudget}
                        : Cost{options_.workBudget / 10, options_.outputBudget / 10};
  Block body;
  const bool isFunction = program_.routines[routine].isFunction;
  initializing_ = true;
  if (isFunction) {
    // The result first, from what is set already (parameters and outer variables).
    Designator result;
    result.variable = resultVariable(program_, routine);
    body.push_back(firstValue(result, *program_.routines[routine].result));
  }
  initializeVariables(routine, locals, body);
  initializing_ = false;
  const int most = std::max(4, options_.maxStatements);
  const int count = static_cast<int>(random_.between(4, most));
  generateStatements(body, count, 0);
  if (isFunction && random_.percent(50)) {
    auto stmt = std::make_unique<Stmt>();
    stmt->kind = StmtKind::Assign;
    stmt->target.variable = resultVariable(program_, routine);
    stmt->value = generateFor(*program_.routines[routine].result, 3);
    if (stmt->value && accept(*stmt, 1)) body.push_back(std::move(stmt));
  }
  if (mayPrint(program_, routine)) {
    std::vector<int> shown = program_.routines[routine].params;
    for (int local : program_.routines[routine].locals) {
      if (program_.variables[local].role == VariableRole::Local ||
          program_.variables[local].role == VariableRole::Global) {
        shown.push_back(local);
      }
    }
    dumpVariables(shown, body);
  }
  program_.routines[routine].body = std::move(body);
}

void ProgramGenerator::initializeVariables(int routine, const std::vector<int>& variables,
                                           Block& out) {
  (void)routine;
  for (int variable : variables) {
    const Variable& entry = program_.variables[variable];
    if (entry.role != VariableRole::Local && entry.role != VariableRole::Global) continue;
    Designator designator;
    designator.variable = variable;
    // Now and then a whole structured variable takes the value of another one.
    if (entry.type->isStructured() && random_.percent(30)) {
      const Type* type = entry.type;
      std::optional<Designator> source =
          pickDesignator([type](const Type& t) { return &t == type; }, false);
      if (source) {
        auto stmt = std::make_unique<Stmt>();
        stmt->kind = StmtKind::Assign;
        stmt->target = cloneDesignator(designator);
        stmt->value = designatorExpr(std::move(*source));
        stmt->essential = true;
        out.push_back(std::move(stmt));
        unset_.erase(variable);
        continue;
      }
    }
    initializeDesignator(designator, *entry.type, out, 0);
    unset_.erase(variable);
  }
}

void ProgramGenerator::initializeDesignator(const Designator& designator, const Type& type,
                                            Block& out, int depth) {
  switch (type.kind) {
    case TypeKind::Record:
      for (const Field& field : type.fields) {
        Designator part = cloneDesignator(designator);
        part.selectors.push_back(Selector{Selector::Kind::Field, field.name, {}});
        initializeDesignator(part, *field.type, out, depth + 1);
      }
      return;
    case TypeKind::Array: {
      const IndexSpec& first = type.indexes[0];
      for (int64_t i = first.bounds.low; i <= first.bounds.high; ++i) {
        if (type.indexes.size() == 1) {
          Designator part = cloneDesignator(designator);
          Selector selector{Selector::Kind::Index, "", {}};
          selector.indexes.push_back(literalIndex(first, i));
          part.selectors.push_back(std::move(selector));
          initializeDesignator(part, *type.element, out, depth + 1);
          continue;
        }
        const IndexSpec& second = type.indexes[1];
        for (int64_t j = second.bounds.low; j <= second.bounds.high; ++j) {
          Designator part = cloneDesignator(designator);
          Selector selector{Selector::Kind::Index, "", {}};
          selector.indexes.push_back(literalIndex(first, i));
          selector.indexes.push_back(literalIndex(second, j));
          part.selectors.push_back(std::move(selector));
          initializeDesignator(part, *type.element, out, depth + 1);
        }
      }
      return;
    }
    case TypeKind::Pointer: {
      auto stmt = std::make_unique<Stmt>();
      stmt->kind = StmtKind::New;
      stmt->target = cloneDesignator(designator);
      stmt->essential = true;
      out.push_back(std::move(stmt));
      Designator target = cloneDesignator(designator);
      target.selectors.push_back(Selector{Selector::Kind::Deref, "", {}});
      initializeDesignator(target, *type.target, out, depth + 1);
      return;
    }
    default: out.push_back(firstValue(designator, type)); return;
  }
}

StmtPtr ProgramGenerator::firstValue(const Designator& designator, const Type& type) {
  auto stmt = std::make_unique<Stmt>();
  stmt->kind = StmtKind::Assign;
  stmt->target = cloneDesignator(designator);
  stmt->essential = true;
  std::string why;
  Cost ignored;
  for (int depth : {static_cast<int>(random_.between(1, 3)), 0, 0, 0}) {
    stmt->value = generateFor(type, depth);
    if (stmt->value && checker_.checkStatement(*stmt, scope_, ignored, why)) return stmt;
  }
  throw std::logic_error("no first value for " + designatorText(designator) + ": " + why);
}

void ProgramGenerator::dumpVariables(const std::vector<int>& variables, Block& out) {
  for (int variable : variables) {
    Designator designator;
    designator.variable = variable;
    dumpDesignator(designator, *program_.variables[variable].type, program_.variables[variable].name,
                   out, 0);
  }
}

void ProgramGenerator::dumpDesignator(const Designator& designator, const Type& type,
                                      const std::string& label, Block& out, int depth) {
  auto labelItem = [&](const std::string& text) {
    WriteItem item;
    item.value = std::make_unique<Expr>();
    item.value->kind = ExprKind::StringConst;
    item.value->text = text + "=";
    return item;
  };
  switch (type.kind) {
    case TypeKind::Record:
      for (const Field& field : type.fields) {
        Designator part = cloneDesignator(designator);
        part.selectors.push_back(Selector{Selector::Kind::Field, field.name, {}});
        dumpDesignator(part, *field.type, label + "." + field.name, out, depth + 1);
      }
      return;
    case TypeKind::Array: {
      const IndexSpec& first = type.indexes[0];
      for (int64_t i = first.bounds.low; i <= first.bounds.high; ++i) {
        if (type.indexes.size() == 1) {
          Designator part = cloneDesignator(designator);
          Selector selector{Selector::Kind::Index, "", {}};
          selector.indexes.push_back(literalIndex(first, i));
          part.selectors.push_back(std::move(selector));
          dumpDesignator(part, *type.element, label + "[" + indexText(first, i) + "]", out, depth + 1);
          continue;
        }
        const IndexSpec& second = type.indexes[1];
        for (int64_t j = second.bounds.low; j <= second.bounds.high; ++j) {
          Designator part = cloneDesignator(designator);
          Selector selector{Selector::Kind::Index, "", {}};
          selector.indexes.push_back(literalIndex(first, i));
          selector.indexes.push_back(literalIndex(second, j));
          part.selectors.push_back(std::move(selector));
          dumpDesignator(part, *type.element,
                         label + "[" + indexText(first, i) + "," + indexText(second, j) + "]", out,
                         depth + 1);
        }
      }
      return;
    }
    case TypeKind::Pointer: {
      Designator target = cloneDesignator(designator);
      target.selectors.push_back(Selector{Selector::Kind::Deref, "", {}});
      dumpDesignator(target, *type.target, label + "^", out, depth + 1);
      return;
    }
    case TypeKind::Boolean: {
      auto head = std::make_unique<Stmt>();
      head->kind = StmtKind::Write;
      head->items.push_back(labelItem(label));
      head->essential = true;
      out.push_back(std::move(head));
      auto value = std::make_unique<Stmt>();
      value->kind = StmtKind::WriteBool;
      value->value = designatorExpr(cloneDesignator(designator));
      value->essential = true;
      out.push_back(std::move(value));
      auto end = std::make_unique<Stmt>();
      end->kind = StmtKind::Write;
      end->newline = true;
      end->essential = true;
      out.push_back(std::move(end));
      return;
    }
    default: {
      auto stmt = std::make_unique<Stmt>();
      stmt->kind = StmtKind::Write;
      stmt->newline = true;
      stmt->essential = true;
      stmt->items.push_back(labelItem(label));
      WriteItem value;
      value.value = designatorExpr(cloneDesignator(designator));
      if (type.kind == TypeKind::Enum) {
        // Enumerations are written as their ordinal number.
        auto cast = std::make_unique<Expr>();
        cast->kind = ExprKind::Cast;
        cast->type = byteType_;
        cast->operands.push_back(std::move(value.value));
        value.value = std::move(cast);
      } else if (type.kind == TypeKind::Subrange && !options_.allows(Feature::SubrangeToLong)) {
        // WRITE widens a subrange value itself to LONGINT; s + 0 is an INTEGER.
        auto sum = std::make_unique<Expr>();
        sum->kind = ExprKind::Binary;
        sum->op = Op::Add;
        sum->operands.push_back(std::move(value.value));
        sum->operands.push_back(std::make_unique<Expr>());
        sum->operands.back()->kind = ExprKind::IntConst;
        value.value = std::move(sum);
      }
      stmt->items.push_back(std::move(value));
      out.push_back(std::move(stmt));
      return;
    }
  }
}

}  // namespace vorax::randprog
