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
#include "diag/diagnostics.h"
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

  // The driver's own state.
  TokenCode compilationKind = TokenCode::Comment;
  std::string programLabel;  // "\NAME" for a program, the unit name for a unit
  std::string unitName;
  // The next free offset of a unit's work area, shared by its interface and
  // implementation VAR sections.
  std::int32_t unitWorkAreaOffset = 0;
  // Value of the constant STACK that a program with a stack value gets (entered into
  // the program's scope once the identifier table takes it).
  std::optional<std::int32_t> stackConstant;

  // Short-hands for the calls every parser makes.
  [[noreturn]] void reportError(int number) { diagnostics.reportError(number); }
  [[nodiscard]] TokenCode token() const { return scanner.currentToken(); }
  void nextToken() { scanner.nextToken(); }
};

}  // namespace vorax
