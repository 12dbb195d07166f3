// FOR loops compiled by the real compiler and run: the number of rounds and the values
// the control variable takes decide whether the program halts.
#include "loop_run_support.h"

namespace vorax::sim::testing {
namespace {

const char* const kVariables =
    "TYPE COLOUR = (RED, GREEN, BLUE);\r\n"
    "VAR I, J, K, N: INTEGER; B, BN: BYTE; L, LN: LONGINT; C: COLOUR; S: STRING[4];";

class ForLoopRunTest : public ::testing::TestWithParam<std::tuple<CheckedProgram, CpuModel>> {};

TEST_P(ForLoopRunTest, HaltsWithTheRightResults) {
  const auto& [program, cpu] = GetParam();
  std::string messages;
  EXPECT_EQ(compileAndRun(program, cpu, messages), ExitStatus::kHalted) << messages;
}

const CheckedProgram kPrograms[] = {
    {"SumConstantBounds", kVariables,
     "K := 0; FOR I := 1 TO 10 DO K := K + I;\r\n"
     "IF K <> 55 THEN REPEAT UNTIL FALSE"},
    {"CountDownRounds", kVariables,
     "K := 0; FOR I := -3 TO 4 DO K := K + 2;\r\n"
     "IF K <> 16 THEN REPEAT UNTIL FALSE"},
    {"DownToOrder", kVariables,
     "K := 0; FOR I := 10 DOWNTO 1 DO K := K * 2 + I;\r\n"
     "IF K <> 9217 THEN REPEAT UNTIL FALSE"},
    {"VariableEnd", kVariables,
     "N := 7; K := 0; FOR I := 1 TO N DO K := K + I;\r\n"
     "IF K <> 28 THEN REPEAT UNTIL FALSE"},
    {"VariableStartDownTo", kVariables,
     "N := 5; K := 0; FOR I := N DOWNTO -2 DO K := K + 1;\r\n"
     "IF K <> 8 THEN REPEAT UNTIL FALSE"},
    // Empty ranges run the body no time, constant or not.
    {"EmptyRanges", kVariables,
     "K := 0; FOR I := 5 TO 1 DO K := K + 1;\r\n"
     "FOR I := 1 DOWNTO 5 DO K := K + 1;\r\n"
     "N := 0; FOR I := 1 TO N DO K := K + 1;\r\n"
     "IF K <> 0 THEN REPEAT UNTIL FALSE"},
    {"SingleRound", kVariables,
     "K := 0; FOR I := 3 TO 3 DO K := K + I;\r\n"
     "IF K <> 3 THEN REPEAT UNTIL FALSE"},
    // Byte bounds above 127 do not end the loop early.
    {"ByteAbove127", kVariables,
     "K := 0; FOR B := 100 TO 200 DO K := K + 1;\r\n"
     "BN := 250; J := 0; FOR B := 120 TO BN DO J := J + B;\r\n"
     "IF K <> 101 THEN REPEAT UNTIL FALSE;\r\n"
     "IF J <> 24235 THEN REPEAT UNTIL FALSE"},
    {"WholeByteRange", kVariables,
     "K := 0; FOR B := 0 TO 255 DO K := K + 1;\r\n"
     "IF K <> 256 THEN REPEAT UNTIL FALSE"},
    // An end at the last value of the type: the step wraps round after the last round.
    {"EndAtTypeLimits", kVariables,
     "K := 0; FOR B := 250 TO 255 DO K := K + B;\r\n"
     "FOR B := 3 DOWNTO 0 DO K := K + B;\r\n"
     "FOR I := 32765 TO 32767 DO IF I = 32767 THEN K := K + 100;\r\n"
     "FOR I := -32766 DOWNTO -32768 DO IF I = -32768 THEN K := K + 1000;\r\n"
     "IF K <> 2621 THEN REPEAT UNTIL FALSE"},
    {"ByteDownTo", kVariables,
     "K := 0; FOR B := 200 DOWNTO 150 DO K := K + B;\r\n"
     "IF K <> 8925 THEN REPEAT UNTIL FALSE"},
    {"LongCounter", kVariables,
     "L := 0; FOR LN := 1 TO 70000 DO L := L + 1;\r\n"
     "IF L <> 70000 THEN REPEAT UNTIL FALSE"},
    {"Enumeration", kVariables,
     "K := 0; FOR C := RED TO BLUE DO K := K + 1;\r\n"
     "IF K <> 3 THEN REPEAT UNTIL FALSE"},
    {"NestedLoops", kVariables,
     "K := 0; FOR I := 1 TO 4 DO FOR J := I TO 4 DO K := K + J;\r\n"
     "IF K <> 30 THEN REPEAT UNTIL FALSE"},
    // A call in the body keeps the variable in memory and the end value on the stack.
    {"BodyWithCall", kVariables,
     "N := 6; K := 0; FOR I := 2 TO N DO BEGIN S := S; K := K + I END;\r\n"
     "IF K <> 20 THEN REPEAT UNTIL FALSE"},
    {"VariableReadAfterLoopBody", kVariables,
     "K := 0; FOR I := 1 TO 5 DO IF I > 3 THEN K := K + I;\r\n"
     "IF K <> 9 THEN REPEAT UNTIL FALSE"},
    // A VAR parameter as control variable: its address is loaded afresh after the body,
    // into a register other than the step's.
    {"VarParameter",
     "VAR G, K: INTEGER;\r\n"
     "PROCEDURE EMPTY(VAR I: INTEGER); BEGIN FOR I := 1 TO 5 DO END;\r\n"
     "PROCEDURE COUNT(VAR I: INTEGER); BEGIN FOR I := 3 DOWNTO 1 DO K := K + I END;",
     "K := 0; EMPTY(G); COUNT(G);\r\n"
     "IF K <> 6 THEN REPEAT UNTIL FALSE;\r\n"
     "EMPTY(G); IF G <> 6 THEN REPEAT UNTIL FALSE"},
    // Loads hoisted out of a loop that is entered at its test still run before it.
    {"ArrayWithVariableEnd", "VAR A: ARRAY[1..10] OF INTEGER; I, K, N: INTEGER;",
     "N := 6; FOR I := 1 TO N DO A[I] := 5;\r\n"
     "K := 0; FOR I := 1 TO N DO K := K + A[I];\r\n"
     "IF K <> 30 THEN REPEAT UNTIL FALSE"},
    // Counters that index arrays only count in element sizes: word and long counters,
    // negative starts, elements of 1, 2 and 4 bytes, rows of a matrix, local arrays
    // (the frame pointer added to a copy), and a counter also read as a value.
    {"ScaledIndexCounters",
     "VAR GB: ARRAY[0..9] OF BYTE; GL: ARRAY[-3..6] OF LONGINT; GW: ARRAY[-5..5] OF WORD;\r\n"
     "  M: ARRAY[1..3, 1..4] OF INTEGER; I, J, K: INTEGER; L: LONGINT;\r\n"
     "PROCEDURE RUN;\r\n"
     "VAR A: ARRAY[1..6] OF LONGINT; X: LONGINT; N: INTEGER;\r\n"
     "BEGIN FOR N := 1 TO 6 DO A[N] := 9; X := 0; FOR N := 1 TO 6 DO X := X + A[N]; K := K + X END;",
     "FOR I := -5 TO 5 DO GW[I] := 100;\r\n"
     "FOR I := 0 TO 9 DO GB[I] := 3;\r\n"
     "K := 0; FOR I := -5 TO 5 DO K := K + GW[I];\r\n"
     "FOR L := -3 TO 6 DO GL[L] := 7;\r\n"
     "FOR I := 1 TO 3 DO FOR J := 1 TO 4 DO M[I, J] := J;\r\n"
     "FOR I := 2 TO 5 DO GW[I] := GW[I] + I;\r\n"
     "K := K + GB[9] + GL[-3] + GL[6] + M[3, 4] + GW[5];\r\n"
     "RUN;\r\n"
     "IF K <> 1280 THEN REPEAT UNTIL FALSE"},
    // The control variable of an enclosing routine.
    {"OuterVariable",
     "VAR I, K: INTEGER;\r\n"
     "PROCEDURE RUN; BEGIN FOR I := 1 TO 4 DO K := K + I END;",
     "K := 0; RUN; IF K <> 10 THEN REPEAT UNTIL FALSE"},
};

INSTANTIATE_TEST_SUITE_P(Programs, ForLoopRunTest,
                         ::testing::Combine(::testing::ValuesIn(kPrograms),
                                            ::testing::Values(CpuModel::H300H, CpuModel::H2000)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  cpuModelName(std::get<1>(info.param));
                         });

// The checks themselves can fail: a wrong expected value spins until the step limit.
TEST(ForLoopRun, WrongResultIsNoticed) {
  std::string messages;
  const CheckedProgram wrong{"Wrong", kVariables,
                             "K := 0; FOR I := 1 TO 10 DO K := K + I;\r\n"
                             "IF K <> 56 THEN REPEAT UNTIL FALSE"};
  EXPECT_EQ(compileAndRun(wrong, CpuModel::H300H, messages), ExitStatus::kStepLimit);
}

}  // namespace
}  // namespace vorax::sim::testing
