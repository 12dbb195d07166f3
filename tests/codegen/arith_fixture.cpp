#include "arith_fixture.h"

#include "asmout/operand_text.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "decls/declaration_sections.h"
#include "diag/diagnostics.h"
#include "expr_fixture.h"
#include "support/window_lines.h"
#include "symbols/symbol_entry.h"

namespace vorax::testing {

const char* const kArithDeclarations =
    "VAR I, J: INTEGER; B, C: BYTE; W: WORD; L, M: LONGINT; P, Q: BOOLEAN; CH: CHAR;\n"
    "S: STRING; PT: ^INTEGER; X: INTEGER ABSOLUTE $A000; Y: INTEGER ABSOLUTE $A002;\n"
    "R: REAL; E: (RED, GREEN, BLUE);\n";

std::string ArithFixture::run(const std::string& expression, const Generator& generate,
                              const std::string& extraDeclarations) {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  compilation_ = std::make_unique<Compilation>(host_, options);
  Compilation& c = *compilation_;
  host_.errors.clear();
  registersInUse.clear();
  tree_.write("T.PAS", std::string(kArithDeclarations) + extraDeclarations + "\nBEGIN\n" +
                           expression + " ;\nend.\n");
  try {
    c.directives.settings().echoSourceSwitch = false;
    if (cpu2000) {
      c.directives.settings().cpu300H = false;
      c.directives.settings().cpu2000 = true;
    }
    c.reader.openCompilationFiles((tree_.root() / "T.PAS").string());
    c.scanner.buildReservedWordTable();
    c.symbols.enterPredefinedEnvironment();
    c.symbols.openScope();
    c.routine.level = 1;
    c.nextToken();
    parseDeclarationsAndBegin(c);
    ExprPtr tree = parseExpression(c);
    generate(c, tree);
  } catch (const tokeninvalid&) {
    return "error " + std::to_string(host_.errors.empty() ? 0 : host_.errors.back().number);
  }
  for (int n = 0; n < kWorkRegisterCount; ++n) {
    if (c.registers.isRegisterInUse(registerName(n))) {
      registersInUse += (registersInUse.empty() ? "" : " ") + registerName(n);
    }
  }
  std::string text;
  for (const std::string& line : windowLineTexts(c.emitter.window())) {
    text += (text.empty() ? "" : " / ") + line;
  }
  return text;
}

std::string ArithFixture::value(const std::string& expression, const std::string& target) {
  std::string operand;
  const std::string lines = run(expression, [&](Compilation& c, ExprPtr& tree) {
    // "ADDRESS" names the unnamed type of index arithmetic.
    const SymbolEntry* type = c.symbols.lookupName(target, kinds::kType);
    TypeDescriptor* targetType = type != nullptr ? type->type : nullptr;
    if (target == "ADDRESS") {
      targetType = c.symbols.types().addressType;
    }
    operand = generateValue(c, tree, targetType);
  });
  return operand.empty() ? lines : lines + " => " + operand;
}

std::string ArithFixture::jump(const std::string& expression) {
  return run(expression,
             [](Compilation& c, ExprPtr& tree) { generateJumpIfFalse(c, tree, "T", "F"); });
}

}  // namespace vorax::testing
