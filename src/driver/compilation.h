// One compilation's whole state. compileFile builds a fresh Compilation, so resetting
// the compiler is constructing a new one; nothing of one run is seen by the next.
// Subsystems reach each other through the Compilation they belong to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "asmout/emitter.h"
#include "asmout/output_file.h"
#include "asmout/peephole_optimizer.h"
#include "asmout/register_pool.h"
#include "decls/routine_context.h"
#include "decls/shared_exits.h"
#include "diag/diagnostics.h"
#include "diag/error_table.h"
#include "driver/compile_host.h"
#include "driver/compile_options.h"
#include "source/directives.h"
#include "source/reader.h"
#include "source/scanner.h"
#include "source/token_codes.h"
#include "symbols/symbol_table.h"

namespace vorax {

class Compilation {
 public:
  explicit Compilation(CompileHost& host, CompileOptions options = {});
  Compilation(const Compilation&) = delete;
  Compilation& operator=(const Compilation&) = delete;

  // Member order is construction order: lower layers first.
  CompileHost& host;
  const CompileOptions options;
  OutputFile output;
  Diagnostics diagnostics;
  Directives directives;
  SymbolTable symbols;
  Reader reader;
  Scanner scanner;
  RegisterPool registers;
  PeepholeOptimizer optimizer;
  Emitter emitter;
  // The routine whose body is being compiled.
  RoutineContext routine;
  // Exit sequences a program's routines share, by result kind and parameter area size.
  SharedExitTables sharedExits;

  // The driver's own state.
  TokenCode compilationKind = TokenCode::Comment;
  std::string programLabel;  // "\NAME" for a program, the unit name for a unit
  std::string unitName;
  // The next free offset of a unit's work area, shared by its interface and
  // implementation VAR sections.
  std::int32_t unitWorkAreaOffset = 0;
  // Value of the constant STACK that a program with a stack value gets; the prologue
  // sets it and the driver enters it into the program's scope.
  std::optional<std::int32_t> stackConstant;

  // Held by every recursive-descent level of the parsers (a statement, a routine, a field
  // list, a typed constant's value, an expression, a type): a source nested deeper than
  // kMaxParseNesting levels in all is error 98 long before the recursion could exhaust the
  // machine stack. An expression or a type builds a tree that is walked recursively
  // afterwards; the operators of each outermost one are counted as well (countOperator).
  static constexpr int kMaxParseNesting = 256;
  enum class NestingKind {
    Tree,      // an expression or a type
    Construct  // a statement, routine, field list or typed constant value holding others
  };
  class NestingLevel {
   public:
    explicit NestingLevel(Compilation& c, NestingKind kind = NestingKind::Tree)
        : c_(c), enclosingKind_(c.innermostNestingKind_) {
      if (c_.parseNesting_ >= kMaxParseNesting) {
        c_.reportError(err::kNestingTooDeep);
      }
      if (kind == NestingKind::Tree && (c_.parseNesting_ == 0 || enclosingKind_ != kind)) {
        c_.operatorsInExpression_ = 0;
      }
      ++c_.parseNesting_;
      c_.innermostNestingKind_ = kind;
    }
    ~NestingLevel() {
      --c_.parseNesting_;
      c_.innermostNestingKind_ = enclosingKind_;
    }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

   private:
    Compilation& c_;
    NestingKind enclosingKind_;
  };

  // Held while the IF after an ELSE is compiled. An ELSE IF chain is written as a chain,
  // not as nesting (a state machine of hundreds of arms is a common shape), so its IF
  // takes back the nesting level its statement counts; the chain still recurses, though,
  // and beyond kMaxElseIfChain links on the way down it is error 98 all the same.
  static constexpr int kMaxElseIfChain = 1024;
  class ElseIfLink {
   public:
    explicit ElseIfLink(Compilation& c) : c_(c) {
      if (c_.elseIfLinks_ >= kMaxElseIfChain) {
        c_.reportError(err::kNestingTooDeep);
      }
      ++c_.elseIfLinks_;
      --c_.parseNesting_;
    }
    ~ElseIfLink() {
      ++c_.parseNesting_;
      --c_.elseIfLinks_;
    }
    ElseIfLink(const ElseIfLink&) = delete;
    ElseIfLink& operator=(const ElseIfLink&) = delete;

   private:
    Compilation& c_;
  };

  // Counts one operator of the outermost expression (or type) being parsed. Its tree is
  // walked recursively, so a chain such as 1+1+...+1 may not grow without end either:
  // beyond kMaxOperatorsInExpression operators it is error 98.
  static constexpr int kMaxOperatorsInExpression = 4096;
  void countOperator() {
    if (++operatorsInExpression_ > kMaxOperatorsInExpression) {
      reportError(err::kNestingTooDeep);
    }
  }

  // Short-hands for the calls every parser makes.
  [[noreturn]] void reportError(int number) { diagnostics.reportError(number); }
  [[nodiscard]] TokenCode token() const { return scanner.currentToken(); }
  void nextToken() { scanner.nextToken(); }

 private:
  int parseNesting_ = 0;
  int elseIfLinks_ = 0;
  NestingKind innermostNestingKind_ = NestingKind::Construct;
  int operatorsInExpression_ = 0;
};

}  // namespace vorax
