// The identifier record: every name a compilation can see, predefined or declared, is one
// SymbolEntry. Which fields mean something depends on the kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "symbols/const_value.h"

namespace vorax {

struct TypeDescriptor;

// Identifier kinds. The numbers are fixed; code 6 is never assigned.
enum class IdentKind : std::uint8_t {
  Type = 0,           // TYPE declarations, predefined types, pointer placeholders
  Constant = 1,       // CONST =, enumeration values, FALSE TRUE PI STACK
  FrameVariable = 2,  // VAR in a program or routine; also conditional symbols
  TypedConstant = 3,  // CONST name: type = value
  ExternalTypedConstant = 4,
  Parameter = 5,
  Field = 7,      // record field
  Procedure = 8,  // also standard procedures and the program itself
  Function = 9,
  InterruptProcedure = 10,
  FixedVariable = 11,  // unit, ABSOLUTE and EXTERNAL variables, IORESULT DOSERROR DATE
  Device = 12,         // CON, AUX, LST and their numbered forms, KBD, DBG, ERRDV
};

// A set of identifier kinds: bit k stands for kind k.
class KindMask {
 public:
  constexpr KindMask() = default;
  constexpr KindMask(std::initializer_list<IdentKind> kinds) {
    for (IdentKind kind : kinds) {
      bits_ = static_cast<std::uint16_t>(bits_ | bitOf(kind));
    }
  }
  [[nodiscard]] constexpr bool contains(IdentKind kind) const { return (bits_ & bitOf(kind)) != 0; }
  [[nodiscard]] constexpr std::uint16_t bits() const { return bits_; }

 private:
  static constexpr std::uint16_t bitOf(IdentKind kind) {
    return static_cast<std::uint16_t>(1U << static_cast<unsigned>(kind));
  }
  std::uint16_t bits_ = 0;
};

// The masks the parsers use.
namespace kinds {
inline constexpr KindMask kType{IdentKind::Type};
inline constexpr KindMask kTypeOrConstant{IdentKind::Type, IdentKind::Constant};
inline constexpr KindMask kFrameVariable{IdentKind::FrameVariable};
inline constexpr KindMask kExternalTypedConstant{IdentKind::ExternalTypedConstant};
inline constexpr KindMask kRoutine{IdentKind::Procedure, IdentKind::Function};
inline constexpr KindMask kRoutineOrInterrupt{IdentKind::Procedure, IdentKind::Function,
                                              IdentKind::InterruptProcedure};
inline constexpr KindMask kVariable{IdentKind::FrameVariable, IdentKind::Parameter,
                                    IdentKind::FixedVariable};
inline constexpr KindMask kTypeOrStorage{IdentKind::Type, IdentKind::FrameVariable,
                                         IdentKind::TypedConstant, IdentKind::Parameter,
                                         IdentKind::FixedVariable};
inline constexpr KindMask kStorage{IdentKind::FrameVariable, IdentKind::TypedConstant,
                                   IdentKind::Parameter, IdentKind::Field,
                                   IdentKind::FixedVariable};
// Everything an expression operand may name: all but procedures and interrupt procedures.
inline constexpr KindMask kOperand{IdentKind::Type,
                                   IdentKind::Constant,
                                   IdentKind::FrameVariable,
                                   IdentKind::TypedConstant,
                                   IdentKind::ExternalTypedConstant,
                                   IdentKind::Parameter,
                                   IdentKind::Field,
                                   IdentKind::Function,
                                   IdentKind::FixedVariable,
                                   IdentKind::Device};
// Every kind there is.
inline constexpr KindMask kAny{IdentKind::Type,
                               IdentKind::Constant,
                               IdentKind::FrameVariable,
                               IdentKind::TypedConstant,
                               IdentKind::ExternalTypedConstant,
                               IdentKind::Parameter,
                               IdentKind::Field,
                               IdentKind::Procedure,
                               IdentKind::Function,
                               IdentKind::InterruptProcedure,
                               IdentKind::FixedVariable,
                               IdentKind::Device};
// What may start a statement: variables, fields, routines, devices.
inline constexpr KindMask kStatementStart{IdentKind::FrameVariable, IdentKind::Parameter,
                                          IdentKind::Field,         IdentKind::Procedure,
                                          IdentKind::Function,      IdentKind::InterruptProcedure,
                                          IdentKind::FixedVariable, IdentKind::Device};
}  // namespace kinds

// Where a routine's body stands.
enum class RoutineState : std::uint8_t {
  Ordinary = 0,      // compiled, or an ordinary declaration
  BodyUnderWay = 1,  // body being compiled after an interface declaration
  Forward = 2,       // declared FORWARD, body still missing
  External = 4,      // external, or in another unit
  Interface = 5,     // declared in this unit's interface, body still missing
};

// Names are kept to this many characters.
inline constexpr std::size_t kSymbolNameLength = 28;

struct SymbolEntry {
  std::string name;  // upper case, at most kSymbolNameLength characters
  // Source line of the declaration; 0 for predefined entries (never listed as unused);
  // negated for typed constants declared at scope level 1.
  std::int32_t declarationLine = 0;
  bool used = false;      // set by every successful block-scope lookup
  bool inserted = false;  // linked into a tree
  // Constants, variables, parameters, fields, function results: their type. Type
  // identifiers: the type denoted. Null for procedures and untyped standard routines.
  TypeDescriptor* type = nullptr;
  SymbolEntry* left = nullptr;  // tree links
  SymbolEntry* right = nullptr;
  // List link: a routine's parameters, a record's fields, the values of one enumeration
  // (newest first), the names of one VAR or field group.
  SymbolEntry* next = nullptr;
  // Record fields copied by WITH: operand text of the record's base address.
  std::string baseText;
  // Fixed-address variables whose assembler symbol is not their name (the predefined DATE
  // is the compile-date string "\date", IORESULT and DOSERROR are cells of the runtime);
  // empty when the name is the symbol.
  std::string assemblerLabel;
  IdentKind kind = IdentKind::Type;

  // Standard routines: their number (non-zero marks a standard routine).
  std::uint8_t standardRoutine = 0;
  // Standard routines: the first argument may be a file.
  bool acceptsFile = false;
  // Parameters: passed by reference (VAR).
  bool isVarParameter = false;
  // VAR parameters: the V switch when the parameter was declared.
  bool varLengthCheck = false;
  // Type identifiers: only a forward placeholder made by a pointer type so far.
  bool isPlaceholder = false;
  // Variables and parameters: the address was taken with "@" or handed to a VAR parameter
  // of a routine of the program, so a pointer may read or write the variable behind the
  // name's back.
  bool addressTaken = false;

  // Variables, parameters and routines: the scope level they were declared at (a routine
  // records the level of its own body). The predefined DATE: -1.
  std::int32_t level = 0;
  // Variables: frame offset or work-area offset. Parameters: frame offset. Record fields:
  // byte offset inside the record.
  std::int32_t offset = 0;
  // Record fields: size in bytes.
  std::int32_t fieldSize = 0;
  // Routines: size in bytes of the parameter area.
  std::int32_t parameterAreaSize = 0;
  RoutineState routineState = RoutineState::Ordinary;
  // Routines: first parameter entry (chained through `next`).
  SymbolEntry* parameters = nullptr;

  // Constants: the value.
  ConstValue value;

  [[nodiscard]] bool isRoutine() const {
    return kind == IdentKind::Procedure || kind == IdentKind::Function ||
           kind == IdentKind::InterruptProcedure;
  }
};

}  // namespace vorax
