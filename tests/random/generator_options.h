// What the program generator may use. Every language feature and every shape that has
// been seen to go wrong can be switched off on its own, so that a failure can be pinned to
// one feature and a fixed test set can leave out what is not yet repaired.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace vorax::randprog {

enum class Feature {
  // Types and variables.
  Byte,
  Word,
  LongInt,
  Char,
  Enums,
  Subranges,
  Strings,
  Records,
  Arrays,
  Arrays2D,
  Pointers,
  // Routines.
  Functions,
  VarParams,
  NestedRoutines,
  // Statements.
  If,
  While,
  Repeat,
  For,
  Case,
  With,
  NestedWith,
  StringProcedures,  // DELETE and STR
  Output,            // WRITE statements along the way (the final output is always there)
  // Expressions.
  Sets,              // x IN [...]
  Shifts,            // SHL, SHR
  Bitwise,           // AND, OR, XOR, NOT on integers
  DivMod,
  // Shapes that have been seen to compute wrong results or stop the compiler; each can
  // be left out until its repair has landed.
  NotInValue,          // NOT (x IN [...]) used as a value rather than a condition
  ForTypeEdges,        // FOR loops that run to the last or first value of the control type
  WordIntegerCompare,  // an INTEGER that may be negative compared with a WORD
  SubrangeToLong,      // an INTEGER subrange value widened to LONGINT
  WideModDivisor,      // LONGINT MOD with a divisor beyond 16 bits
  LongCase,            // CASE over a LONGINT selector
  EnumCast,            // Enumeration(x) of a value that is not a constant
  NegatedBitwise,      // a negated value as an operand of AND, OR or XOR
  ByteForBounds,       // a BYTE start value for an INTEGER or LONGINT control variable
  ForCallsInBody,      // FOR loops whose body calls a routine
  WithCalls,           // calls inside a WITH body
  ToSubrange,          // a BYTE or LONGINT value stored into a subrange variable
  SubrangeResult,      // functions whose result type is a subrange
  SubrangeByteOperand,  // a subrange and a BYTE value as the operands of +, -, AND, OR, XOR
  kCount,
};

struct GeneratorOptions {
  uint64_t seed = 1;
  std::set<Feature> disabled;
  int routineCount = 0;            // 0: chosen by the seed (2 to 6)
  int maxStatements = 30;          // per routine body (at least 4)
  int maxExpressionDepth = 6;
  int64_t workBudget = 20000;      // an estimate of the statements the program executes
  int64_t outputBudget = 400;      // and of the lines it writes

  [[nodiscard]] bool allows(Feature feature) const { return disabled.count(feature) == 0; }
};

// The name of a feature as the command line and the test set write it ("nested-with").
std::string featureName(Feature feature);
std::vector<Feature> allFeatures();
// Parses a comma-separated list of feature names; false with `error` set when one is unknown.
bool parseFeatureList(const std::string& text, std::set<Feature>& features, std::string& error);
std::string featureListText(const std::set<Feature>& features);

}  // namespace vorax::randprog
