#include "access_fixture.h"

#include "codegen/expr_parser.h"
#include "decls/declaration_sections.h"
#include "diag/diagnostics.h"
#include "expr_fixture.h"
#include "support/window_lines.h"

namespace vorax::testing {

std::vector<std::string> AccessFixture::run(const std::string& declarations,
                                            const std::vector<std::string>& expressions,
                                            const Generator& generate) {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  compilation_ = std::make_unique<Compilation>(host_, options);
  Compilation& c = *compilation_;
  host_.errors.clear();
  results.clear();
  std::string body;
  for (const std::string& expression : expressions) {
    body += expression + " ;\n";
  }
  tree_.write("T.PAS", declarations + "\nBEGIN\n" + body + "end.\n");
  try {
    c.directives.settings().echoSourceSwitch = false;
    if (withStack) {
      c.directives.settings().stackSetting = "h'0000ff00";
    }
    c.reader.openCompilationFiles((tree_.root() / "T.PAS").string());
    c.scanner.buildReservedWordTable();
    c.symbols.enterPredefinedEnvironment();
    c.symbols.openScope();
    c.routine.level = 1;
    c.nextToken();
    parseDeclarationsAndBegin(c);
    for (std::size_t i = 0; i < expressions.size(); ++i) {
      ExprPtr tree = parseExpression(c);
      generate(c, tree);
      c.nextToken();  // past ";"
    }
  } catch (const tokeninvalid&) {
    return {"error " + std::to_string(host_.errors.empty() ? 0 : host_.errors.back().number)};
  }
  return windowLineTexts(c.emitter.window());
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += (text.empty() ? "" : " / ") + line;
  }
  return text;
}

}  // namespace vorax::testing
