// Generates a whole random program for one seed: declarations, routines with their bodies,
// the first values of every variable and the final output of every variable. Every node
// it makes is checked by ProgramChecker before it is kept, so the program's meaning is
// defined and the same for this compiler and Free Pascal.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "random/generator_options.h"
#include "random/program_checker.h"
#include "random/program_model.h"
#include "random/random_source.h"

namespace vorax::randprog {

Program generateProgram(const GeneratorOptions& options);

// The implementation, split over generator_*.cpp by subject.
class ProgramGenerator {
 public:
  explicit ProgramGenerator(const GeneratorOptions& options);
  Program run();

 private:
  // ---- declarations (generator_declarations.cpp) ----
  void declareTypes();
  const Type* addScalar(TypeKind kind, ValueRange range);
  const Type* declare(Type type);
  void declareEnums();
  void declareSubranges();
  void declareStrings();
  void declareArrays(bool ofRecords);
  void declareRecords();
  void declarePointers();
  const Type* randomVariableType(bool allowStructured);
  const Type* randomScalarType();
  const Type* randomStringType();
  int addVariable(const std::string& prefix, const Type* type, VariableRole role, int owner);
  std::string newName(const std::string& prefix);

  // ---- routines (generator_routines.cpp) ----
  void planRoutines();
  void planRoutine(int parent, int depth);
  void generateBodies(int routine);
  void generateBody(int routine);
  void initializeVariables(int routine, const std::vector<int>& variables, Block& out);
  void initializeDesignator(const Designator& designator, const Type& type, Block& out, int depth);
  // designator := a value that passes the checker (a literal at worst).
  StmtPtr firstValue(const Designator& designator, const Type& type);
  std::string designatorText(const Designator& designator) const;
  void dumpVariables(const std::vector<int>& variables, Block& out);
  void dumpDesignator(const Designator& designator, const Type& type, const std::string& label,
                      Block& out, int depth);

  // ---- statements (generator_statements.cpp) ----
  void generateStatements(Block& out, int count, int depth);
  StmtPtr generateStatement(int depth);
  StmtPtr makeAssignment();
  StmtPtr makeCall();
  StmtPtr makeIf(int depth);
  StmtPtr makeLoop(int depth, StmtKind kind);
  StmtPtr makeFor(int depth);
  StmtPtr makeCase(int depth);
  StmtPtr makeWith(int depth);
  StmtPtr makeWrite();
  StmtPtr makeStringProcedure();
  Block generateNestedBlock(int depth, int most, int64_t rounds);
  bool accept(const Stmt& stmt, int64_t rounds);

  // ---- expressions (generator_expressions.cpp) ----
  ExprPtr generateFor(const Type& target, int depth);
  ExprPtr integral(int depth, const ValueRange& accept);
  ExprPtr integralRaw(int depth);
  ExprPtr integralLeaf();
  ExprPtr fitIntegral(ExprPtr expr, const ValueRange& accept);
  ExprPtr integerLiteral(const ValueRange& accept);
  ExprPtr character(int depth, const ValueRange& accept);
  ExprPtr boolean(int depth, bool asCondition);
  ExprPtr comparison(int depth);
  ExprPtr enumeration(const Type& type, int depth, const ValueRange& accept);
  ExprPtr string(int depth, const ValueRange& accept, int truncateAt);
  ExprPtr stringRaw(int depth);
  ExprPtr functionCall(const std::function<bool(const Type&)>& resultWanted, int depth);
  std::vector<ExprPtr> arguments(const Routine& callee, int depth, bool forProcedure);
  std::optional<ExprInfo> infoOf(const Expr& expr, bool asCondition = false);

  // ---- designators (generator_designators.cpp) ----
  // A designator whose type satisfies `wanted`; `forWrite` asks for a writable one.
  std::optional<Designator> pickDesignator(const std::function<bool(const Type&)>& wanted,
                                           bool forWrite, bool allowStringCharacter = false);
  std::vector<int> readableVariables();
  ExprPtr designatorExpr(Designator designator);

  const GeneratorOptions& options_;
  RandomSource random_;
  Program program_;
  ProgramChecker checker_;
  Scope scope_;
  std::set<int> unset_;  // variables of the current routine that have no value yet
  int nameCount_ = 0;
  int designatorNesting_ = 0;  // designators being built inside the indexes of others
  // While the first values are given, no routine is called: it could read a variable that
  // has none yet.
  bool initializing_ = false;

  const Type* byteType_ = nullptr;  // BYTE(...) casts
  const Type* charType_ = nullptr;  // a character of a string
  // Scalar types with their value ranges, by kind.
  std::vector<const Type*> scalars_;
  std::vector<const Type*> enums_;
  std::vector<const Type*> subranges_;
  std::vector<const Type*> strings_;
  std::vector<const Type*> arrays_;
  std::vector<const Type*> records_;
  std::vector<const Type*> pointers_;

  // The cost of the statements committed to the current routine and of the nested ones
  // accepted for the statement being built.
  Cost committed_;
  Cost pending_;
  Cost limit_;
  int64_t rounds_ = 1;  // product of the rounds of the loops around the current point
};

}  // namespace vorax::randprog
