// Statements whose code is longer than the optimizer's window (their first lines, marker
// lines among them, are written out before the statement ends), a statement interrupted
// by an assembly include, and names longer than any fixed field: each compiles, assembles
// and prints what the source computes, on every processor, with the optimizer and
// without it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

struct LongCase {
  const char* name;
  std::string source;  // without the processor directive
  std::string expected;
  ExtraFiles files;
};

void PrintTo(const LongCase& c, std::ostream* os) { *os << c.name; }

// 1,400 assignments inside WITH inside WHILE: the loop's and the WITH's markers leave the
// window long before the loop ends.
LongCase longWhileWithBody() {
  std::string body;
  std::int32_t s = 0;
  std::int32_t t = 0;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 700; ++i) {
      s += i % 7;
      t ^= s;
    }
  }
  for (int i = 0; i < 700; ++i) {
    body += "    S := S + " + std::to_string(i % 7) + "; T := T XOR S;\n";
  }
  return {"WhileWithLongBody",
          "PROGRAM T;\nTYPE R = RECORD S, T: INTEGER END;\nVAR I: INTEGER; X: R;\n"
          "BEGIN\n  I := 0; X.S := 0; X.T := 0;\n  WHILE I < 3 DO WITH X DO BEGIN\n" +
              body + "    I := I + 1\n  END;\n  WRITELN(X.S, ' ', X.T)\nEND.\n",
          std::to_string(s) + " " + std::to_string(t) + "\n",
          {}};
}

// A FOR loop (its variable promotion looks for four markers) over a long body.
LongCase longForBody() {
  std::string body;
  std::int32_t s = 0;
  for (int j = 1; j <= 2; ++j) {
    for (int i = 0; i < 1400; ++i) {
      s ^= j + i % 9;
    }
  }
  for (int i = 0; i < 1400; ++i) {
    body += "    S := S XOR (J + " + std::to_string(i % 9) + ");\n";
  }
  return {"ForWithLongBody",
          "PROGRAM T;\nVAR J, S: INTEGER;\nBEGIN\n  S := 0;\n  FOR J := 1 TO 2 DO BEGIN\n" + body +
              "  END;\n  WRITELN(S)\nEND.\n",
          std::to_string(s) + "\n",
          {}};
}

// A state machine written as an ELSE IF chain of 300 arms.
LongCase elseIfChain() {
  std::string chain = "    IF K = 0 THEN BEGIN S := S + 1; L := 0 END\n";
  std::int32_t s = 0;
  std::int32_t l = 0;
  for (int k = 0; k <= 310; ++k) {
    if (k == 0) {
      s += 1;
      l = 0;
    } else if (k < 300) {
      s += k % 5;
      l = k;
    } else {
      s -= 1;
    }
  }
  for (int i = 1; i < 300; ++i) {
    chain += "    ELSE IF K = " + std::to_string(i) + " THEN BEGIN S := S + " +
             std::to_string(i % 5) + "; L := " + std::to_string(i) + " END\n";
  }
  return {"ElseIfChainOf300Arms",
          "PROGRAM T;\nVAR K, L, S: INTEGER;\nBEGIN\n  S := 0; L := -1;\n  FOR K := 0 TO 310 DO\n" +
              chain + "    ELSE S := S - 1;\n  WRITELN(S, ' ', L)\nEND.\n",
          std::to_string(s) + " " + std::to_string(l) + "\n",
          {}};
}

LongCase caseOf1000Arms() {
  std::string arms;
  std::int32_t s = 0;
  for (int k = 0; k <= 1010; ++k) {
    s += k < 1000 ? k % 13 : 100;
  }
  for (int i = 0; i < 1000; ++i) {
    arms += "    " + std::to_string(i) + ": S := S + " + std::to_string(i % 13) + ";\n";
  }
  return {"CaseOf1000Arms",
          "PROGRAM T;\nVAR K, S: INTEGER;\nBEGIN\n  S := 0;\n  FOR K := 0 TO 1010 DO\n"
          "  CASE K OF\n" +
              arms + "  ELSE S := S + 100\n  END;\n  WRITELN(S)\nEND.\n",
          std::to_string(s) + "\n",
          {}};
}

// The include writes the window out in the middle of the IF statement; the module adds
// nothing that runs.
LongCase assemblyIncludeInsideIf() {
  return {"AssemblyIncludeBeforeTheEndOfAnIf",
          "PROGRAM T;\nVAR K: INTEGER;\nBEGIN\n  FOR K := 1 TO 3 DO BEGIN\n"
          "    IF K > 2 THEN WRITE('big ') ELSE WRITE('small ')\n    {$L FOO}\n  END;\n"
          "  WRITELN\nEND.\n",
          "small small big \n",
          {{"FOO.asm", "\tnop\n"}}};
}

// A routine name of 23 characters declared at line 10003: its label "NAME.10003" is longer
// than 28 characters, and the definition, the stub and the call must all spell it whole.
LongCase longRoutineLabel() {
  std::string source = "PROGRAM T;\nVAR K: INTEGER;\n";
  for (int line = 3; line < 10003; ++line) {
    source += "{}\n";
  }
  source +=
      "PROCEDURE A_ROUTINE_NAME_OF_23_CH(N: INTEGER); FORWARD;\n"
      "PROCEDURE A_ROUTINE_NAME_OF_23_CH(N: INTEGER); BEGIN WRITELN('called ', N) END;\n"
      "BEGIN K := 5; A_ROUTINE_NAME_OF_23_CH(K) END.\n";
  return {"RoutineLabelLongerThan28", source, "called 5\n", {}};
}

// Operands longer than 28 and 48 characters: a long variable name plus a large offset,
// and an indexed store whose closing parenthesis comes after the 28th character.
LongCase longOperands() {
  return {"OperandsLongerThanTheirFields",
          "{$M $1000,$FF00}\nPROGRAM T;\n"
          "VAR TABLE_OF_MEASURED_VALUES: ARRAY[0..6000] OF INTEGER;\n"
          "    ANOTHER_LONG_VARIABLE_NAME: ARRAY[0..10] OF INTEGER; I: INTEGER;\n"
          "BEGIN\n  TABLE_OF_MEASURED_VALUES[1200] := 3; TABLE_OF_MEASURED_VALUES[6000] := 7;\n"
          "  I := 5; ANOTHER_LONG_VARIABLE_NAME[I] := 9;\n"
          "  TABLE_OF_MEASURED_VALUES[I + 5990] := 11;\n"
          "  WRITELN(TABLE_OF_MEASURED_VALUES[1200], ' ', TABLE_OF_MEASURED_VALUES[6000], ' ',\n"
          "          ANOTHER_LONG_VARIABLE_NAME[5], ' ', TABLE_OF_MEASURED_VALUES[5995])\nEND.\n",
          "3 7 9 11\n",
          {}};
}

class LongStatementRun
    : public ::testing::TestWithParam<std::tuple<LongCase, const char*, bool>> {};

TEST_P(LongStatementRun, PrintsWhatTheSourceComputes) {
  const auto& [program, cpu, optimize] = GetParam();
#ifdef VORAX_SANITIZER_BUILD
  // The sanitizer build's optimizer takes a minute or more over a statement of hundreds
  // of lines: the release build runs these optimized, the sanitizer build unoptimized.
  if (optimize && program.source.size() > 4000) {
    GTEST_SKIP() << "optimized long bodies run in the release build";
  }
#endif
  CompileOptions options;
  options.localTier = optimize;
  options.blockTier = optimize;
  EXPECT_EQ(compileAndRun("{$CPU " + std::string(cpu) + "}" + program.source, cpu, 20000000,
                          options, program.files),
            program.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, LongStatementRun,
    ::testing::Combine(::testing::Values(longWhileWithBody(), longForBody(), elseIfChain(),
                                         caseOf1000Arms(), assemblyIncludeInsideIf(),
                                         longRoutineLabel(), longOperands()),
                       ::testing::Values("300H", "300L", "2000"), ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param) +
             (std::get<2>(info.param) ? "_Optimized" : "_Unoptimized");
    });

}  // namespace
}  // namespace vorax::testing
