// VAR sections: variables in the stack frame of a block or in a unit's work area, and
// the EXTERNAL groups whose storage lies outside the compiled file.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "asmout/operand_text.h"
#include "decls/declaration_sections.h"
#include "decls/var_group.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_denoter.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kReservedWord = 53;
// The main program's frame pointer lies below the stack top by the return address of the
// start-up call (2 bytes on 300L, 4 on the others), the saved "\ram+12" and the saved
// frame pointer (4 bytes each).
constexpr std::int32_t kMainFrameSavedLongs = 8;

std::int32_t mainFrameBelowStack(const Compilation& c) {
  return kMainFrameSavedLongs + addressSize(c);
}

// Keeps the raw lines written while it lives withdrawable, and writes them when it ends.
class RawLineHold {
 public:
  explicit RawLineHold(Emitter& emitter) : emitter_(emitter) { emitter_.holdRawLines(); }
  ~RawLineHold() { emitter_.releaseRawLines(); }
  RawLineHold(const RawLineHold&) = delete;
  RawLineHold& operator=(const RawLineHold&) = delete;

 private:
  Emitter& emitter_;
};

// counter + delta, which must stay a 32-bit offset.
std::int32_t movedCounter(Compilation& c, std::int32_t counter, std::int64_t delta) {
  const std::int64_t moved = static_cast<std::int64_t>(counter) + delta;
  if (moved < std::numeric_limits<std::int32_t>::min() ||
      moved > std::numeric_limits<std::int32_t>::max()) {
    c.reportError(err::kConstantOutOfRange);
  }
  return static_cast<std::int32_t>(moved);
}

// Every variable moves the counter down by its size; anything but a single byte sits on
// an even offset.
void allocateOnStack(Compilation& c, VarGroup& group, std::int32_t& counter) {
  const std::string& stackSetting = c.directives.settings().stackSetting;
  for (SymbolEntry* variable : group.variables) {
    const std::int32_t size = group.type->size;
    counter = movedCounter(c, counter, -static_cast<std::int64_t>(size));
    if (size != 1) {
      counter -= counter & 1;  // down to even (two's complement: -7 becomes -8)
    }
    variable->type = group.type;
    variable->offset = counter;
    if (variable->level == 1 && !stackSetting.empty()) {
      // Main program variables are addressed by name when the stack address is known.
      const std::string line =
          equateLine(variable->name, "\\stack" + std::to_string(counter - mainFrameBelowStack(c)));
      c.emitter.emitRawLine(line);
      group.equateLines.push_back(line);
    } else {
      group.equateLines.emplace_back();
    }
  }
}

// Unit variables lie at fixed offsets of the unit's work area, "UNIT.WORK+n".
void allocateInWorkArea(Compilation& c, VarGroup& group, std::int32_t& counter) {
  for (SymbolEntry* variable : group.variables) {
    variable->kind = IdentKind::FixedVariable;
    variable->type = group.type;
    variable->offset = counter;
    std::string value = c.unitName + ".WORK";
    if (counter != 0) {
      value += "+" + std::to_string(counter);
    }
    const std::string line = equateLine(variable->name, value);
    c.emitter.emitRawLine(line);
    group.equateLines.push_back(line);
    counter = RoundEven(movedCounter(c, counter, group.type->size));
  }
}

// VAR list ";" EXTERNAL ";": the storage just allocated is given back and the variables
// become symbols that another file defines. The scanner stands on EXTERNAL. `before` is
// the counter as it stood before the group was allocated.
void makeExternal(Compilation& c, VarGroup& group, AllocationMode mode, std::int32_t& counter,
                  std::int32_t before) {
  c.nextToken();
  if (c.token() != TokenCode::Semicolon) {
    c.reportError(err::kSemicolonExpected);
  }
  for (std::size_t i = 0; i < group.variables.size(); ++i) {
    SymbolEntry& variable = *group.variables[i];
    const std::int32_t size = group.type->size;
    if (mode == AllocationMode::Stack) {
      counter = movedCounter(c, counter, size == 1 ? 1 : RoundEven(size));
    } else {
      counter = movedCounter(c, counter, -static_cast<std::int64_t>(RoundEven(size)));
    }
    if (!group.equateLines[i].empty()) {
      c.emitter.withdrawRawLine(group.equateLines[i]);
    }
    variable.kind = IdentKind::FixedVariable;
    variable.isVarParameter = false;
    variable.level = 0;
    variable.offset = 0;
    // Another file places it, perhaps where another variable lies.
    c.optimizer.sharedPlaces().add(variable.name);
  }
  // A stack variable of odd size above 1 took its size plus at most one byte of alignment
  // but gives back its size rounded up to even; on an odd counter that is one byte more
  // than it took, and the counter must never rise above where the group began, or the
  // next variable would share the byte of the one declared before the group.
  if (mode == AllocationMode::Stack && counter > before) {
    counter = before;
  }
  c.nextToken();
}

// identifier { "," identifier } ":" type
VarGroup parseGroup(Compilation& c) {
  VarGroup group;
  SymbolTable& symbols = c.symbols;
  while (true) {
    if (c.token() != TokenCode::Identifier) {
      c.reportError(err::kIdentifierExpected);
    }
    SymbolEntry& variable = symbols.newEntry();
    variable.name = c.scanner.currentIdentifier();
    variable.declarationLine = symbols.currentDeclarationLine();
    variable.kind = IdentKind::FrameVariable;
    variable.level = symbols.scopeLevel();
    symbols.enterAtCurrentLevel(variable);
    group.variables.push_back(&variable);
    c.nextToken();
    if (c.token() != TokenCode::Comma) {
      break;
    }
    c.nextToken();
  }
  if (c.token() != TokenCode::Colon) {
    c.reportError(err::kColonExpected);
  }
  c.nextToken();
  group.type = parseTypeDenoter(c);
  return group;
}

}  // namespace

void parseVarSection(Compilation& c, AllocationMode mode, std::int32_t& counter) {
  if (c.token() != TokenCode::Identifier) {
    c.reportError(err::kIdentifierExpected);
  }
  while (c.token() == TokenCode::Identifier) {
    VarGroup group = parseGroup(c);
    if (c.token() == TokenCode::Absolute) {
      placeAbsolute(c, group);
    } else if (c.token() == TokenCode::Semicolon) {
      // The equate lines must stay withdrawable until the token after ";" shows whether
      // the group is EXTERNAL.
      const RawLineHold hold(c.emitter);
      const std::int32_t before = counter;
      if (mode == AllocationMode::Stack) {
        allocateOnStack(c, group, counter);
      } else {
        allocateInWorkArea(c, group, counter);
      }
      c.nextToken();
      if (c.token() == TokenCode::Absolute) {
        c.reportError(kReservedWord);
      }
      if (c.token() == TokenCode::External) {
        makeExternal(c, group, mode, counter, before);
      }
    } else {
      c.reportError(err::kSemicolonExpected);
    }
  }
}

}  // namespace vorax
