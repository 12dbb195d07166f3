// Derives what every node of a generated program computes and verifies that the program
// stays inside the subset where this dialect and Free Pascal's Turbo mode agree. The
// generator asks it about each node it makes; the reducer runs it over every smaller
// candidate program and keeps only those that pass.
//
// The statement-level differences between the two compilers, and how each is avoided
// (the expression-level ones are listed in expression_rules.h):
//
//  1. Uninitialised variables. Free Pascal clears the main program's variables; here they
//     live in a stack frame. Every variable gets a first value before any other statement
//     of its block.
//  2. FOR control variables. Free Pascal refuses assignments to them and their use as VAR
//     arguments, and leaves their value after the loop undefined (this compiler leaves the
//     value past the end). Control variables are locals used only by their own loop and
//     read only inside it, so nested routines never see them.
//  3. FOR with constant bounds. This compiler tests at the bottom of such a loop, so a
//     constant start beyond the end runs the body once. Loops whose bounds are both
//     constants never start beyond their end.
//  4. Termination. WHILE and REPEAT loops carry a counter that bounds their rounds; FOR
//     loops have few rounds; no routine calls itself or one that could call it back.
//  5. Order of evaluation. See program_scope.h: functions change nothing a caller sees.
//  6. WITH. This compiler keeps the address of at most two WITH records at a time.
//  7. CASE. Labels are constants of the selector's type, ranges have their low bound below
//     the high one, and no value appears twice.
//  8. DELETE takes a VAR STRING, and VAR strings must match in size here unless {$V-}:
//     only plain STRING variables are given to it. STR takes only INTEGER, BYTE and LONGINT
//     values here (no WORD, no subrange).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "random/expression_rules.h"
#include "random/program_scope.h"

namespace vorax::randprog {

// The most rounds a FOR loop may run; WHILE and REPEAT loops have their own limit.
constexpr int64_t kMostForRounds = 40;

struct Cost {
  int64_t work = 0;    // statements executed, roughly
  int64_t output = 0;  // lines and WRITE statements executed
};

class ProgramChecker {
 public:
  ProgramChecker(const Program& program, const GeneratorOptions& options)
      : program_(program), rules_(options) {}

  // The whole program: true when every node passes; `problem` says where the first
  // failure is. `cost` is the estimated work of one run.
  bool checkProgram(std::string& problem, Cost& cost);

  // Expression of the scope: its info, or nothing with `why` set.
  std::optional<ExprInfo> analyze(const Expr& expr, const Scope& scope, bool asCondition,
                                  std::string& why);
  std::optional<ExprInfo> designatorInfo(const Designator& designator, const Scope& scope,
                                         std::string& why);
  // The type a designator names (nullptr when it names nothing valid).
  const Type* designatorType(const Designator& designator, const Scope& scope, std::string& why);
  bool writable(const Designator& designator, const Scope& scope, std::string& why);
  // A statement (and what it contains); adds its cost.
  bool checkStatement(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why);
  bool checkBlock(const Block& block, Scope& scope, Cost& cost, std::string& why);
  // The cost of one call of the routine (its body and what it calls).
  std::optional<Cost> routineCost(int routine, std::string& why);

  [[nodiscard]] const ExpressionRules& rules() const { return rules_; }

  // The rounds a FOR loop with these bound ranges may run.
  static int64_t forRounds(const ValueRange& from, const ValueRange& to, bool downward);
  // Does this FOR loop reach a value at the edge of its control type?
  static bool forReachesTypeEdge(const Type& counter, const ValueRange& from, const ValueRange& to,
                                 bool downward);

 private:
  std::optional<ExprInfo> analyzeNode(const Expr& expr, const Scope& scope, bool asCondition,
                                      std::string& why);
  bool checkArguments(const Routine& callee, const std::vector<ExprPtr>& arguments,
                      const Scope& scope, std::string& why);
  bool checkFor(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why);
  bool checkCase(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why);
  bool checkWith(const Stmt& stmt, Scope& scope, Cost& cost, std::string& why);
  bool checkRoutine(int routine, std::string& why);
  // Is it a function's result (which only an assignment may name)?
  [[nodiscard]] bool isResult(const Designator& designator) const;

  const Program& program_;
  ExpressionRules rules_;
  std::vector<std::optional<Cost>> routineCosts_;
};

// A single operand: the only form enumeration, pointer and structured stores take.
bool isSingleOperand(const Expr& expr);
// Does the expression read a variable or call a routine?
bool readsVariables(const Expr& expr);

}  // namespace vorax::randprog
