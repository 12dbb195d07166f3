// The tree of a generated program: types, variables, routines, statements and expressions.
// The generator builds it, the printer writes it as Pascal source, the checker derives and
// verifies what every node computes, and the reducer deletes and simplifies nodes of it.
//
// Every scalar type object carries the range of values that variables of that type hold
// throughout the run (an invariant kept by every assignment). Two variables printed as
// INTEGER may therefore have different type objects; a VAR parameter accepts only
// variables of its own type object, so a routine can never store a value outside the range
// its caller relies on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "random/value_range.h"

namespace vorax::randprog {

enum class TypeKind {
  Byte,
  Integer,
  Word,
  LongInt,
  Subrange,  // an INTEGER subrange declared as lo..hi
  Char,
  Boolean,
  Enum,
  String,
  Array,
  Record,
  Pointer,
};

struct Type;

struct Field {
  std::string name;
  const Type* type = nullptr;
};

// One index of an array: an integer range, or an enumeration type (all of its values).
struct IndexSpec {
  ValueRange bounds;
  const Type* enumType = nullptr;
};

struct Type {
  TypeKind kind = TypeKind::Integer;
  // Declared name; empty for the predefined scalars, which are printed by their own name.
  std::string name;
  // Scalars (enumerations and CHAR by ordinal number): the values variables of this type
  // hold. For a subrange also its declared bounds.
  ValueRange range;
  // Enumeration: the constant names, ordinal 0 first.
  std::vector<std::string> constants;
  // STRING[maxLength] (255 is written as plain STRING); `range` holds the lengths its
  // variables keep. Strings and CHAR values only ever hold printable characters.
  int maxLength = 0;
  // Array: one or two indexes and the element type.
  std::vector<IndexSpec> indexes;
  const Type* element = nullptr;
  // Record fields in declaration order.
  std::vector<Field> fields;
  // Pointer target.
  const Type* target = nullptr;

  [[nodiscard]] bool isOrdinal() const;   // integer kinds, CHAR, BOOLEAN, enumerations
  [[nodiscard]] bool isIntegral() const;  // BYTE, INTEGER, WORD, LONGINT, subranges
  [[nodiscard]] bool isStructured() const { return kind == TypeKind::Array || kind == TypeKind::Record; }
};

enum class VariableRole {
  Global,      // main program variable
  Local,       // routine variable
  ValueParam,
  VarParam,
  ForCounter,  // a FOR control variable: never written but by its loop, never read after it
  LoopGuard,   // the counter that bounds a WHILE or REPEAT loop
  Result,      // a function's result, assigned through the function's name and never read
};

struct Variable {
  std::string name;
  const Type* type = nullptr;
  VariableRole role = VariableRole::Local;
  int owner = 0;  // the routine whose frame holds it (0: the main program)
  bool removed = false;  // taken out by the reducer: neither declared nor referenced
};

// ---- expressions ----

enum class ExprKind {
  IntConst,
  CharConst,
  BoolConst,
  EnumConst,    // `value` is the ordinal, `type` the enumeration
  StringConst,  // `text`
  Designator,   // a variable with selectors
  Unary,        // `op`: Neg, Not
  Binary,       // `op`: arithmetic, bitwise, boolean and relational operators
  SetTest,      // operand IN [elements]; `negated` for NOT (x IN [...])
  Call,         // user function `routine`
  Standard,     // standard function `standard`
  Cast,         // `type`(operand): to an enumeration, BYTE or INTEGER
};

enum class Op {
  Add, Sub, Mul, Div, Mod, And, Or, Xor, Shl, Shr,
  Eq, Ne, Lt, Le, Gt, Ge,
  Neg, Not,
};

enum class StandardFunction { Abs, Odd, Chr, Ord, Upcase, Succ, Pred, Length, Pos, Copy };

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Selector {
  enum class Kind { Field, Index, Deref };
  Kind kind = Kind::Field;
  std::string field;
  std::vector<ExprPtr> indexes;  // one per dimension
};

struct Designator {
  int variable = -1;      // the base variable, or -1 for a field named inside WITH
  int withDepth = -1;     // for a field named inside WITH: the WITH level it belongs to
  std::vector<Selector> selectors;
};

struct Expr {
  ExprKind kind = ExprKind::IntConst;
  Op op = Op::Add;
  int64_t value = 0;
  std::string text;
  const Type* type = nullptr;  // EnumConst, Cast: the type named in the source
  Designator designator;
  std::vector<ExprPtr> operands;  // operator operands, call arguments
  std::vector<ValueRange> setElements;
  bool characterSet = false;  // SetTest: the elements are characters
  bool negated = false;
  int routine = -1;
  StandardFunction standard = StandardFunction::Abs;
};

// ---- statements ----

enum class StmtKind {
  Assign,     // designator := value
  Call,       // procedure `routine` (arguments)
  If,
  While,      // guarded: counter := 0; WHILE (counter < limit) AND cond DO ...
  Repeat,     // guarded likewise
  For,
  Case,
  With,
  Write,      // WRITE or WRITELN of `items`
  WriteBool,  // IF cond THEN WRITE('T') ELSE WRITE('F')
  New,        // NEW(designator)
  Delete,     // DELETE(designator, from, count)
  Str,        // STR(value, designator)
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct CaseArm {
  std::vector<ValueRange> labels;  // single values have low == high
  Block body;
};

struct WriteItem {
  ExprPtr value;
  int width = 0;  // 0: no width
};

struct Stmt {
  StmtKind kind = StmtKind::Assign;
  Designator target;                 // Assign, New, Delete, Str; the FOR control variable
  ExprPtr value;                     // Assign, Str; If/While/Repeat condition; Case selector
  ExprPtr from;                      // For start; Delete position
  ExprPtr to;                        // For end; Delete count
  bool downward = false;             // For ... DOWNTO
  int routine = -1;                  // Call
  std::vector<ExprPtr> arguments;    // Call
  Block body;                        // If then-part, loop body, With body, Case ELSE part
  Block elseBody;                    // If else-part
  bool hasElse = false;              // If, Case
  std::vector<CaseArm> arms;         // Case
  TypeKind labelKind = TypeKind::Integer;  // Case: Char and Enum labels are written as such
  const Type* labelEnum = nullptr;   // Case over an enumeration
  int guard = -1;                    // While/Repeat: the LoopGuard variable
  int64_t limit = 0;                 // While/Repeat: the most rounds
  std::vector<Designator> withItems;  // With: one or two records
  std::vector<WriteItem> items;      // Write
  bool newline = false;              // Write: WRITELN
  // Lines that keep the program meaningful when others are removed: the first values of
  // variables and the final output of every variable. The reducer removes them only
  // together with their variable.
  bool essential = false;
};

// ---- routines and the program ----

struct Routine {
  std::string name;
  bool isFunction = false;
  const Type* result = nullptr;  // functions
  int parent = -1;               // enclosing routine (0 = main program); -1 for the main program
  int level = 1;                 // main program 1, its routines 2, ...
  std::vector<int> params;       // variable indexes in order
  std::vector<int> locals;       // variable indexes
  std::vector<int> nested;       // routine indexes in declaration order
  Block body;
  bool removed = false;          // taken out by the reducer
};

// Every type object of a program. Types never change once made, so the copies of a
// program that the reducer makes share one store.
struct TypeStore {
  std::vector<std::unique_ptr<Type>> types;
  Type* add(Type type) {
    types.push_back(std::make_unique<Type>(std::move(type)));
    return types.back().get();
  }
};

struct Program {
  std::string name;
  std::shared_ptr<TypeStore> typeStore = std::make_shared<TypeStore>();
  std::vector<const Type*> declaredTypes;  // the TYPE section in order
  std::vector<Variable> variables;
  std::vector<Routine> routines;           // routines[0] is the main program
};

// Deep copies (the reducer works on copies of the tree).
ExprPtr cloneExpr(const Expr& expr);
StmtPtr cloneStmt(const Stmt& stmt);
Block cloneBlock(const Block& block);
Designator cloneDesignator(const Designator& designator);
Program cloneProgram(const Program& program);

}  // namespace vorax::randprog
