#include "decls/routine_declarations.h"

#include <memory>
#include <string_view>
#include <vector>

#include "decls/block.h"
#include "decls/routine_heading.h"
#include "decls/routine_labels.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

constexpr int kHeadingDiffers = 37;
constexpr int kForwardNested = 60;
// A routine declared in advance jumps from its stub at the bare name to its body; only
// the program's (or unit's) own routines may do so.
constexpr int kDeepestForwardLevel = 2;

void expectSemicolon(Compilation& c) {
  if (c.token() != TokenCode::Semicolon) {
    c.reportError(err::kSemicolonExpected);
  }
}

IdentKind kindOfKeyword(bool isFunction) {
  return isFunction ? IdentKind::Function : IdentKind::Procedure;
}

// The routine's entry at the enclosing level, where it stays callable after its body's
// level closes. The scanner stands on the routine's name.
SymbolEntry& newRoutineEntry(Compilation& c, bool isFunction) {
  SymbolTable& symbols = c.symbols;
  const int level = symbols.scopeLevel();
  SymbolEntry& routine = symbols.newEntryAt(level - 1);
  routine.name = c.scanner.currentIdentifier();
  routine.declarationLine = symbols.currentDeclarationLine();
  routine.kind = kindOfKeyword(isFunction);
  routine.level = level;
  routine.routineState = RoutineState::Ordinary;
  symbols.EnterIdentifier(symbols.rootSlot(level - 1), routine);
  c.nextToken();
  parseRoutineHeading(c, routine, isFunction, [&symbols, level]() -> SymbolEntry& {
    return symbols.newEntryAt(level - 1);
  });
  return routine;
}

// The body, compiled with the enclosing routine's context kept for after it.
void compileRoutineBody(Compilation& c, SymbolEntry& routine) {
  const RoutineContext enclosing = c.routine;
  compileBlock(c, routine);
  c.routine = enclosing;
}

bool sameHeading(const SymbolEntry& declared, const SymbolEntry& repeated, bool compareResult) {
  const bool declaredFunction = declared.kind == IdentKind::Function;
  if (declaredFunction != (repeated.kind == IdentKind::Function)) {
    return false;
  }
  if (compareResult && declared.type != repeated.type) {
    return false;
  }
  const SymbolEntry* a = declared.parameters;
  const SymbolEntry* b = repeated.parameters;
  for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
    if (a->name != b->name || a->type != b->type || a->isVarParameter != b->isVarParameter) {
      return false;
    }
  }
  return a == nullptr && b == nullptr;
}

// The body of a routine declared FORWARD or in the interface: the heading is written
// again and must match the first one; the first one's entries stay. The scanner stands
// on the routine's name.
void compileAnnouncedBody(Compilation& c, SymbolEntry& routine, bool isFunction) {
  const bool fromInterface = routine.routineState == RoutineState::Interface;
  if (fromInterface) {
    routine.routineState = RoutineState::BodyUnderWay;
  }
  c.nextToken();
  // The repeated heading lives only as long as the comparison.
  std::vector<std::unique_ptr<SymbolEntry>> store;
  SymbolEntry repeated;
  repeated.kind = kindOfKeyword(isFunction);
  repeated.level = routine.level;
  parseRoutineHeading(c, repeated, isFunction, [&store]() -> SymbolEntry& {
    store.push_back(std::make_unique<SymbolEntry>());
    return *store.back();
  });
  // An interface's result type is taken as declared there.
  if (!sameHeading(routine, repeated, !fromInterface)) {
    c.reportError(kHeadingDiffers);
  }
  if (!fromInterface) {
    enterParameters(c, routine);
  }
  expectSemicolon(c);
  c.nextToken();
  if (routine.kind == IdentKind::InterruptProcedure) {
    if (c.token() != TokenCode::Interrupt) {
      c.reportError(kHeadingDiffers);
    }
    c.nextToken();
    expectSemicolon(c);
    c.nextToken();
  }
  if (fromInterface) {
    enterParameters(c, routine);
  }
  compileRoutineBody(c, routine);
}

// INTERRUPT ";" then FORWARD, ABSOLUTE, EXTERNAL or the body.
void compileDirectivesOrBody(Compilation& c, SymbolEntry& routine) {
  if (c.token() == TokenCode::Interrupt) {
    applyInterruptDirective(c, routine);
    expectSemicolon(c);
    c.nextToken();
  }
  switch (c.token()) {
    case TokenCode::Forward:
      if (routine.level > kDeepestForwardLevel) {
        c.reportError(kForwardNested);
      }
      routine.routineState = RoutineState::Forward;
      c.emitter.emitRawLine(routineStubLine(routine.name, routineBodyLabel(routine)));
      c.nextToken();
      break;
    case TokenCode::Absolute:
      parseAbsoluteRoutine(c, routine);
      break;
    case TokenCode::External:
      routine.routineState = RoutineState::External;
      c.nextToken();
      break;
    default:
      enterParameters(c, routine);
      compileRoutineBody(c, routine);
      break;
  }
}

// The routine of the current token's name that the enclosing level announced (FORWARD,
// interface, or already declared): only that level's tree can hold a routine whose body is
// at the new level. Found by the tree's name order without counting as a use, so that a
// routine announced and never called is still listed as unused.
SymbolEntry* announcedRoutine(Compilation& c) {
  const int level = c.symbols.scopeLevel();
  const std::string_view name =
      std::string_view(c.scanner.currentIdentifier()).substr(0, kSymbolNameLength);
  SymbolEntry* node = c.symbols.rootSlot(level - 1);
  while (node != nullptr && node->name != name) {
    node = name < node->name ? node->left : node->right;
  }
  if (node != nullptr && node->isRoutine() && node->level == level) {
    return node;
  }
  return nullptr;
}

}  // namespace

void parseRoutineDeclaration(Compilation& c, bool isFunction) {
  // A routine holds its own routines: each is a level of nesting.
  const Compilation::NestingLevel level(c, Compilation::NestingKind::Construct);
  if (c.token() != TokenCode::Identifier) {
    c.reportError(err::kUndefinedIdentifier);
  }
  c.symbols.openScope();
  SymbolEntry* declared = announcedRoutine(c);
  if (declared != nullptr) {
    if (declared->routineState != RoutineState::Forward &&
        declared->routineState != RoutineState::Interface) {
      c.reportError(err::kDuplicateIdentifier);
    }
    compileAnnouncedBody(c, *declared, isFunction);
  } else {
    SymbolEntry& routine = newRoutineEntry(c, isFunction);
    expectSemicolon(c);
    c.nextToken();
    compileDirectivesOrBody(c, routine);
  }
  expectSemicolon(c);
  c.nextToken();
  c.symbols.CloseScope();
}

void parseInterfaceRoutineHeading(Compilation& c, bool isFunction) {
  if (c.token() != TokenCode::Identifier) {
    c.reportError(err::kUndefinedIdentifier);
  }
  c.symbols.openScope();
  if (c.symbols.LookupIdentifier(kinds::kRoutine) != nullptr) {
    c.reportError(err::kDuplicateIdentifier);
  }
  SymbolEntry& routine = newRoutineEntry(c, isFunction);
  expectSemicolon(c);
  c.nextToken();
  bool absolute = false;
  if (c.token() == TokenCode::Absolute) {
    parseAbsoluteRoutine(c, routine);
    absolute = true;
    c.nextToken();
  } else if (c.token() == TokenCode::Interrupt) {
    applyInterruptDirective(c, routine);
    expectSemicolon(c);
    c.nextToken();
  }
  c.symbols.CloseScope();
  if (!absolute) {
    routine.routineState = RoutineState::Interface;
    c.emitter.emitRawLine(routineStubLine(routine.name, routineBodyLabel(routine)));
  }
}

}  // namespace vorax
