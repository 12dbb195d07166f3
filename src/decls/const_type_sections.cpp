// CONST and TYPE sections.
#include "decls/declaration_sections.h"
#include "decls/typed_constants.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/constant_source.h"
#include "symbols/type_denoter.h"

namespace vorax {
namespace {

void expectSemicolon(Compilation& c) {
  if (c.token() != TokenCode::Semicolon) {
    c.reportError(err::kSemicolonExpected);
  }
  c.nextToken();
}

// name "=" constant-expression
void declareConstant(Compilation& c, const std::string& name, std::int32_t line) {
  c.nextToken();
  const ConstantOperand constant = parseConstantValue(c);
  if (constant.value.kind == ConstKind::String) {
    c.reportError(err::kStringConstantNotAllowed);
  }
  SymbolEntry& entry = c.symbols.newEntry();
  entry.name = name;
  entry.declarationLine = line;
  entry.kind = IdentKind::Constant;
  entry.value = constant.value;
  entry.type = constant.type;
  c.symbols.enterAtCurrentLevel(entry);
}

}  // namespace

std::string equateLine(std::string_view name, std::string_view value) {
  std::string line(name);
  line += name.size() <= 7 ? "\t\t" : "\t";
  line += "equ\t";
  line += value;
  return line;
}

void parseConstSection(Compilation& c) {
  if (c.token() != TokenCode::Identifier) {
    c.reportError(err::kIdentifierExpected);
  }
  while (c.token() == TokenCode::Identifier) {
    const std::string name = c.scanner.currentIdentifier();
    const std::int32_t line = c.symbols.currentDeclarationLine();
    c.nextToken();
    if (c.token() == TokenCode::Equal) {
      declareConstant(c, name, line);
    } else if (c.token() == TokenCode::Colon) {
      parseTypedConstant(c, name, line);
    } else {
      c.reportError(err::kEqualsExpected);
    }
    expectSemicolon(c);
  }
}

void parseTypeSection(Compilation& c) {
  if (c.token() != TokenCode::Identifier) {
    c.reportError(err::kIdentifierExpected);
  }
  SymbolTable& symbols = c.symbols;
  while (c.token() == TokenCode::Identifier) {
    // A pointer type declared earlier may have made a placeholder of this name; the
    // declaration completes it, so both pointer types denote the same type.
    SymbolEntry* entry =
        symbols.searchWholeTree(symbols.rootSlot(symbols.scopeLevel()), IdentKind::Type);
    if (entry != nullptr && !entry->isPlaceholder) {
      c.reportError(err::kDuplicateIdentifier);
    }
    if (entry == nullptr) {
      SymbolEntry& created = symbols.newEntry();
      created.name = c.scanner.currentIdentifier();
      created.declarationLine = symbols.currentDeclarationLine();
      created.kind = IdentKind::Type;
      symbols.enterAtCurrentLevel(created);
      entry = &created;
    }
    entry->isPlaceholder = false;
    c.nextToken();
    if (c.token() != TokenCode::Equal) {
      c.reportError(err::kEqualsExpected);
    }
    c.nextToken();
    entry->type = parseTypeDenoter(c);
    expectSemicolon(c);
  }
}

}  // namespace vorax
