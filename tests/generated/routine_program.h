// Generated Pascal sources of routine code, for the compile benchmark and for the tests
// that compare the optimizer's two engines. Every source is plain Turbo Pascal that both
// this compiler and Free Pascal in its Turbo Pascal mode accept; the same seed always
// gives the same text.
#pragma once

#include <cstdint>
#include <string>

namespace vorax::generated {

struct RoutineProgramOptions {
  int lines = 1000;          // about this many source lines (never fewer)
  std::uint32_t seed = 1;
  // Integer code only (assignments, IF, WHILE, as a typical program's routines are);
  // otherwise also REPEAT, FOR, CASE, WITH, LONGINT, BYTE, strings, arrays and calls.
  bool allStatements = false;
};

// A program of routines of about 60 lines each, and a main program that calls them.
std::string routineProgram(const RoutineProgramOptions& options);

// Programs whose main body is one long routine of a single shape.
enum class LongRoutine {
  Assignments,  // `count` assignments in one block
  WhileBody,    // a WHILE loop whose body holds `count` statements
  RepeatBody,   // a REPEAT loop whose body holds `count` statements
  IfStatements, // `count` IF statements in a row
  ElseIfChain,  // IF ... ELSE IF ... with `count` arms
  DenseCase,    // a CASE with `count` arms labelled 0, 1, 2, ...
  SparseCase,   // a CASE with `count` arms labelled 0, 7, 14, ...
};
std::string longRoutineProgram(LongRoutine shape, int count);
[[nodiscard]] const char* longRoutineName(LongRoutine shape);

}  // namespace vorax::generated
