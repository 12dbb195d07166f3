#include "random/program_model.h"

namespace vorax::randprog {

bool Type::isIntegral() const {
  return kind == TypeKind::Byte || kind == TypeKind::Integer || kind == TypeKind::Word ||
         kind == TypeKind::LongInt || kind == TypeKind::Subrange;
}

bool Type::isOrdinal() const {
  return isIntegral() || kind == TypeKind::Char || kind == TypeKind::Boolean || kind == TypeKind::Enum;
}

Designator cloneDesignator(const Designator& designator) {
  Designator copy;
  copy.variable = designator.variable;
  copy.withDepth = designator.withDepth;
  for (const Selector& selector : designator.selectors) {
    Selector part{selector.kind, selector.field, {}};
    for (const ExprPtr& index : selector.indexes) part.indexes.push_back(cloneExpr(*index));
    copy.selectors.push_back(std::move(part));
  }
  return copy;
}

ExprPtr cloneExpr(const Expr& expr) {
  auto copy = std::make_unique<Expr>();
  copy->kind = expr.kind;
  copy->op = expr.op;
  copy->value = expr.value;
  copy->text = expr.text;
  copy->type = expr.type;
  copy->designator = cloneDesignator(expr.designator);
  for (const ExprPtr& operand : expr.operands) copy->operands.push_back(cloneExpr(*operand));
  copy->setElements = expr.setElements;
  copy->characterSet = expr.characterSet;
  copy->negated = expr.negated;
  copy->routine = expr.routine;
  copy->standard = expr.standard;
  return copy;
}

Block cloneBlock(const Block& block) {
  Block copy;
  for (const StmtPtr& stmt : block) copy.push_back(cloneStmt(*stmt));
  return copy;
}

StmtPtr cloneStmt(const Stmt& stmt) {
  auto copy = std::make_unique<Stmt>();
  copy->kind = stmt.kind;
  copy->target = cloneDesignator(stmt.target);
  if (stmt.value) copy->value = cloneExpr(*stmt.value);
  if (stmt.from) copy->from = cloneExpr(*stmt.from);
  if (stmt.to) copy->to = cloneExpr(*stmt.to);
  copy->downward = stmt.downward;
  copy->routine = stmt.routine;
  for (const ExprPtr& argument : stmt.arguments) copy->arguments.push_back(cloneExpr(*argument));
  copy->body = cloneBlock(stmt.body);
  copy->elseBody = cloneBlock(stmt.elseBody);
  copy->hasElse = stmt.hasElse;
  for (const CaseArm& arm : stmt.arms) copy->arms.push_back(CaseArm{arm.labels, cloneBlock(arm.body)});
  copy->labelKind = stmt.labelKind;
  copy->labelEnum = stmt.labelEnum;
  copy->guard = stmt.guard;
  copy->limit = stmt.limit;
  for (const Designator& item : stmt.withItems) copy->withItems.push_back(cloneDesignator(item));
  for (const WriteItem& item : stmt.items) copy->items.push_back(WriteItem{cloneExpr(*item.value), item.width});
  copy->newline = stmt.newline;
  copy->essential = stmt.essential;
  return copy;
}

Program cloneProgram(const Program& program) {
  Program copy;
  copy.name = program.name;
  copy.typeStore = program.typeStore;
  copy.declaredTypes = program.declaredTypes;
  copy.variables = program.variables;
  for (const Routine& routine : program.routines) {
    Routine part;
    part.name = routine.name;
    part.isFunction = routine.isFunction;
    part.result = routine.result;
    part.parent = routine.parent;
    part.level = routine.level;
    part.params = routine.params;
    part.locals = routine.locals;
    part.nested = routine.nested;
    part.body = cloneBlock(routine.body);
    part.removed = routine.removed;
    copy.routines.push_back(std::move(part));
  }
  return copy;
}

}  // namespace vorax::randprog
