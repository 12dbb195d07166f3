// How this compiler types and computes each expression node, and which nodes the
// generator may write. Every generated program is also compiled by Free Pascal in Turbo
// mode (`fpc -Mtp`) and both must print the same, so the generator keeps to the subset
// of the language where the two agree. The places where they differ, and how each is kept
// out of the generated programs:
//
//  1. Integer widths. This dialect computes INTEGER + INTEGER in 16 bits, BYTE + BYTE in 8
//     bits, BYTE DIV INTEGER as a BYTE, INTEGER * INTEGER as a LONGINT; Free Pascal widens
//     every operand to at least 32 bits first. Both agree exactly when no operand and no
//     result leaves the range of the type this dialect computes the node in, so every
//     operator here is given its dialect result type (`resultKind`) and is used only when
//     its operands and its result fit that type.
//  2. WORD in INTEGER arithmetic. A WORD operand joins INTEGER arithmetic as a 16-bit
//     value that this dialect reads as signed and Free Pascal as unsigned; the rule above
//     (operands fit the computing type) admits only WORD values up to 32767 there.
//  3. Negation and NOT of BYTE and WORD values. This dialect keeps the operand's type
//     (-b of a BYTE is a BYTE); Free Pascal widens to a signed type first. Only INTEGER
//     and LONGINT values are negated or complemented.
//  4. Literal typing. Literals from 0 to 255 are BYTE in this dialect, so `b - 5` is BYTE
//     arithmetic; the rule of item 1 covers it because every literal gets its dialect type
//     (`literalKind`).
//  5. Shifts. SHL and SHR are used with non-negative operands, counts of 0 to 15 (0 to 7
//     on BYTE values) and results that fit the left operand's type: Free Pascal shifts in
//     32 bits and masks the count differently.
//  6. Output. WRITE takes no BOOLEAN and no enumeration value in this dialect (Free Pascal
//     writes the names): BOOLEAN values are written through IF ... WRITE('T') ELSE
//     WRITE('F'), enumerations as BYTE(e). ORD takes only CHAR here, so an enumeration's
//     ordinal is BYTE(e) as well.
//  7. Ordering comparisons of BOOLEAN values used as values are left open by this dialect;
//     BOOLEAN operands are compared with = and <> only. CHAR against STRING likewise.
//  8. Sets exist only as constructors after IN; elements are constants from 0 to 255 and
//     a range needs its low bound below its high bound. The tested value is kept within
//     0 to 255 as well: how Free Pascal tests a value outside a set's base type is its own.
//  9. Enumeration and pointer assignments take a single operand (a variable, constant,
//     call or type cast) here; the generator writes no other form.
// 10. Strings: values only ever hold printable characters (no '#' codes in this dialect);
//     concatenations stay within 255 characters; indexes stay within the current length
//     (characters beyond it are whatever each runtime left there).
// 11. Floating point (REAL) is 48-bit here and double in Free Pascal, and the two print
//     differently: the generator writes no REAL values.
// 12. Unsigned arithmetic in Free Pascal. There an operation on two unsigned operands
//     (BYTE and WORD values, LENGTH, BYTE(...), literals from 128 to 255 and from 32768 to
//     65535, subranges without negative values) is computed in a 64-bit unsigned type: ABS
//     of it is ambiguous, its complement or negation is a large unsigned number, a
//     subtraction below zero wraps, and combining it with a negative value (a constant,
//     above all) is refused or wraps as well. `ExprInfo::isUnsigned` and `isWideUnsigned`
//     follow Free Pascal's view, and those forms are not generated.
// 13. x MOD 1 (or -1): this dialect leaves open whether its folding keeps x; never written.
// 14. Subranges: a LONGINT variable takes no subrange value here and an enumeration cast
//     takes none either (Free Pascal takes both); neither is written.
//
// The statement-level differences (FOR control variables, uninitialised variables, the
// order in which calls in one expression run) are described in program_checker.h.
#pragma once

#include <optional>
#include <string>

#include "random/generator_options.h"
#include "random/program_model.h"

namespace vorax::randprog {

// What an expression is as this dialect types it.
struct ExprInfo {
  TypeKind kind = TypeKind::Integer;
  // The type object when there is one (enumerations, pointers, arrays, records, declared
  // subranges, and every designator); null for computed scalars and strings.
  const Type* type = nullptr;
  // Ordinal values, or the lengths of a string.
  ValueRange range;
  // Free Pascal holds this value in an unsigned type (see item 12 above); `isWideUnsigned`:
  // it is the result of an operation on two unsigned values, a 64-bit unsigned number.
  bool isUnsigned = false;
  bool isWideUnsigned = false;
  // The compiler folds it to one constant (no variables, no calls).
  bool isConstant = false;
  // The code computes it in a LONGINT register (*, DIV, MOD) whatever its type.
  bool computedInLong = false;
};

// The values a type of this kind can hold: BYTE 0..255, INTEGER -32768..32767, WORD
// 0..65535, LONGINT the 32-bit range; CHAR the printable characters.
ValueRange kindLimits(TypeKind kind);
// The printable characters every CHAR and string value is kept to.
ValueRange printableCharacters();
// The dialect type of an integer literal: 0..255 BYTE, else -32768..65535 INTEGER, else
// LONGINT.
TypeKind literalKind(int64_t value);
// INTEGER, WORD, subranges; BYTE; LONGINT.
bool isIntegralKind(TypeKind kind);

// Node rules. Each returns the node's ExprInfo, or nothing with `why` set when the node
// is outside the generated subset (or not valid Pascal at all).
class ExpressionRules {
 public:
  explicit ExpressionRules(const GeneratorOptions& options) : options_(options) {}

  std::optional<ExprInfo> literal(const Expr& expr, std::string& why) const;
  // `asCondition`: the node is the whole condition of IF, WHILE or REPEAT.
  std::optional<ExprInfo> unary(const Expr& expr, const ExprInfo& operand, std::string& why) const;
  std::optional<ExprInfo> binary(const Expr& expr, const ExprInfo& left, const ExprInfo& right,
                                 std::string& why) const;
  std::optional<ExprInfo> setTest(const Expr& expr, const ExprInfo& element, bool asCondition,
                                  std::string& why) const;
  std::optional<ExprInfo> standard(const Expr& expr, const std::vector<ExprInfo>& arguments,
                                   std::string& why) const;
  std::optional<ExprInfo> cast(const Expr& expr, const ExprInfo& operand, std::string& why) const;

  // May a value of `source` be stored into a variable of type `target` (assignment and
  // value parameter)? `sourceIsLeaf`: the source is a single operand.
  bool assignable(const Type& target, const ExprInfo& source, bool sourceIsLeaf,
                  std::string& why) const;

  [[nodiscard]] const GeneratorOptions& options() const { return options_; }

 private:
  const GeneratorOptions& options_;
};

// The kind an arithmetic operator's result has in this dialect, or nothing when the
// operand kinds do not go together.
std::optional<TypeKind> resultKind(Op op, TypeKind left, TypeKind right);
bool isRelational(Op op);
// An expression this compiler folds to one constant (no variables, calls, casts, and no
// integer XOR, which it leaves to run time).
bool isFoldable(const Expr& expr);
// An expression Free Pascal folds (casts and XOR included).
bool foldedByFreePascal(const Expr& expr);

}  // namespace vorax::randprog
