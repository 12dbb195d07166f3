// ABSOLUTE groups: variables placed at a given address, over another variable (or just
// below it with NEXTOF), over a value parameter, or at an assembler symbol.
#include <cstdint>
#include <string>

#include "codegen/expr_parser.h"
#include "codegen/symbol_operand.h"
#include "decls/declaration_sections.h"
#include "decls/var_group.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kIntegerConstantExpected = 22;
constexpr int kStackNotDefined = 82;
constexpr int kNextOfNotAllowed = 92;
constexpr int kDataAddressUndefined = 93;
constexpr int kVarParameterAsAddress = 999;

struct Placement {
  Compilation& c;
  VarGroup& group;
  bool nextOf = false;
  bool stackSet = false;
  // Bytes the field and index selectors written after the base add to its place.
  std::int32_t selected = 0;
};

// A level-1 frame variable has an assembler symbol (its equate) only when the stack
// address is known.
bool hasOwnEquate(const Placement& p, const SymbolEntry& base) {
  return base.kind == IdentKind::FrameVariable && base.level == 1 && p.stackSet;
}

// What the field selectors and constant indexes after the base name add to its place. A
// designator whose place is not fixed - one that follows a pointer or takes a variable
// index - is error 22. The designator parser puts a frame variable's own offset into the
// same offset tree, and reaches a variable of an enclosing routine through one more leaf.
std::int32_t selectorOffset(Placement& p, const ExprNode& address) {
  const SymbolEntry* base = address.symbol;
  if (base == nullptr) {
    return 0;
  }
  int expectedLeaves = 1;
  std::int32_t ownOffset = 0;
  const bool inFrame = base->kind == IdentKind::FrameVariable || base->kind == IdentKind::Parameter;
  if (inFrame && !hasOwnEquate(p, *base)) {
    ownOffset = base->offset;
    if (base->level < p.c.symbols.scopeLevel()) {
      ++expectedLeaves;
    }
    if (base->kind == IdentKind::Parameter && base->isVarParameter) {
      ++expectedLeaves;
    }
  }
  const ExprNode* last = &address;
  int leaves = 1;
  while (last->nextSelector) {
    last = last->nextSelector.get();
    ++leaves;
  }
  if (leaves != expectedLeaves) {
    p.c.reportError(kIntegerConstantExpected);
  }
  std::int32_t place = 0;
  if (last->offsetTree) {
    if (!last->offsetTree->isConstantOf(ConstKind::Integer)) {
      p.c.reportError(kIntegerConstantExpected);
    }
    place = last->offsetTree->value.intValue;
  }
  const std::int32_t selected = static_cast<std::int32_t>(static_cast<std::uint32_t>(place) -
                                                          static_cast<std::uint32_t>(ownOffset));
  if (selected != 0 && p.nextOf) {
    p.c.reportError(kNextOfNotAllowed);  // "next of" a part of a variable
  }
  return selected;
}

// "+n" or "-n" for a distance that is not 0.
std::string signedDistance(std::int32_t distance) {
  if (distance > 0) {
    return "+" + std::to_string(distance);
  }
  return distance < 0 ? std::to_string(distance) : std::string();
}

// The assembler symbol of a variable placed at a fixed address: its name, or inside a
// routine name "." declaration line, since routines may reuse the name.
std::string fixedLabel(Compilation& c, SymbolEntry& variable) {
  if (c.symbols.scopeLevel() > 1) {
    return variable.name + "." + std::to_string(variable.declarationLine);
  }
  return variable.name;
}

// The variable becomes a symbol of its own equated to `value`: an address that may be
// another variable's, so the optimizer never takes it for a place of its own.
void equateVariable(Compilation& c, SymbolEntry& variable, const std::string& value) {
  variable.kind = IdentKind::FixedVariable;
  const std::string label = fixedLabel(c, variable);
  if (label != variable.name) {
    variable.assemblerLabel = label;
  }
  c.optimizer.sharedPlaces().add(label);
  c.emitter.emitRawLine(equateLine(label, value));
}

// The operand text a variable at a fixed address is known by.
std::string baseOperandText(const SymbolEntry& base) {
  if (!base.assemblerLabel.empty()) {
    return base.assemblerLabel;
  }
  return base.name;
}

void atConstantAddress(Placement& p, const ExprNode& address) {
  if (p.nextOf) {
    p.c.reportError(kNextOfNotAllowed);
  }
  const TypeKind kind = address.type != nullptr ? address.type->kind : TypeKind::Real;
  if (kind != TypeKind::Integer && kind != TypeKind::Byte && kind != TypeKind::LongInt &&
      kind != TypeKind::Address) {
    p.c.reportError(kIntegerConstantExpected);
  }
  auto value = static_cast<std::uint32_t>(address.value.intValue);
  if (p.group.type->size != 1) {
    value += value & 1U;  // a word or more goes to the next even address
  }
  const auto placed = static_cast<std::int32_t>(value);
  for (SymbolEntry* variable : p.group.variables) {
    variable->offset = placed;
    equateVariable(p.c, *variable, std::to_string(placed));
  }
}

void overVariable(Placement& p, const SymbolEntry& base) {
  Compilation& c = p.c;
  // A level-1 frame variable has no symbol without the stack address; a unit's or an
  // ABSOLUTE variable of level 1 has its own.
  if (base.kind == IdentKind::FrameVariable && base.level == 1 && !p.stackSet) {
    c.reportError(kStackNotDefined);
  }
  std::int32_t offset = base.offset;
  if (p.nextOf) {
    if (base.level != 1) {
      c.reportError(kNextOfNotAllowed);
    }
    if (!p.stackSet) {
      c.reportError(kDataAddressUndefined);
    }
    const std::int32_t baseSize = base.type != nullptr ? base.type->size : 0;
    offset = base.offset - RoundEven(baseSize);
  }
  offset += p.selected;
  const std::int32_t distance = offset - base.offset;
  const std::string value = baseOperandText(base) + signedDistance(distance);
  for (SymbolEntry* variable : p.group.variables) {
    variable->level = base.level;
    variable->offset = offset;
    // A base with a symbol of its own (outer levels, fixed addresses) gives an equate;
    // otherwise the variable is an alias in the same frame, at the base's offset.
    if (base.level < 2 || base.kind == IdentKind::FixedVariable) {
      equateVariable(c, *variable, value);
    }
  }
}

void overParameter(Placement& p, const SymbolEntry& parameter) {
  if (parameter.isVarParameter) {
    p.c.reportError(kVarParameterAsAddress);
  }
  if (p.nextOf) {
    p.c.reportError(kNextOfNotAllowed);
  }
  for (SymbolEntry* variable : p.group.variables) {
    variable->kind = IdentKind::Parameter;
    variable->isVarParameter = false;
    variable->level = parameter.level;
    variable->offset = parameter.offset + p.selected;
  }
}

void atSymbol(Placement& p, const ExprNode& address) {
  std::string text = symbolOperand(address);
  if (!text.empty() && text[0] == '#') {
    text.erase(0, 1);
  }
  text += signedDistance(p.selected);
  if (p.nextOf) {
    if (!text.empty() && text[0] == '@') {
      p.c.reportError(kNextOfNotAllowed);
    }
    const std::string size = std::to_string(address.type != nullptr ? address.type->size : 0);
    text = p.group.type->size == 1 ? text + "+" + size : "(" + text + "+" + size + "+1)/2*2";
  }
  for (SymbolEntry* variable : p.group.variables) {
    equateVariable(p.c, *variable, text);
  }
}

}  // namespace

void placeAbsolute(Compilation& c, VarGroup& group) {
  Placement p{c, group};
  p.stackSet = !c.directives.settings().stackSetting.empty();
  for (SymbolEntry* variable : group.variables) {
    variable->type = group.type;
  }
  c.nextToken();
  if (c.token() == TokenCode::Nextof) {
    p.nextOf = true;
    c.nextToken();
  }
  ExprPtr address = parseExpression(c);
  if (c.token() == TokenCode::Colon) {
    // segment:offset - only the offset counts.
    c.nextToken();
    address = parseExpression(c);
  }
  if (c.token() != TokenCode::Semicolon) {
    c.reportError(err::kSemicolonExpected);
  }
  if (!address->isLeaf) {
    c.reportError(kIntegerConstantExpected);
  }
  const SymbolEntry* base = address->symbol;
  if (!address->isConstant()) {
    p.selected = selectorOffset(p, *address);
  }
  if (address->isConstantOf(ConstKind::Integer)) {
    atConstantAddress(p, *address);
  } else if (base != nullptr && base->kind == IdentKind::Parameter &&
             address->location != LocationKind::NamedMemory) {
    overParameter(p, *base);
  } else if (base != nullptr && address->location != LocationKind::NamedMemory &&
             (base->kind == IdentKind::FrameVariable || base->kind == IdentKind::FixedVariable)) {
    overVariable(p, *base);
  } else if (address->location == LocationKind::NamedMemory) {
    atSymbol(p, *address);
  } else {
    c.reportError(kIntegerConstantExpected);
  }
  c.nextToken();
}

}  // namespace vorax
